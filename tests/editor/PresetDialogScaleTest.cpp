// The Preset Manager and its Add dialog on a high-DPI desktop, opened from the real editor as a user
// opens them: they grow with their text, the tree's icons come at the small-icon size of the DPI, and
// each appears whole at its first paint. Each DPI runs in a fresh copy of this program (DesktopDpi.h),
// which writes the sizes it saw to a file for the comparison across DPIs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "../support/DesktopDpi.h"
#include "../support/FirstPaint.h"
#include "../support/MachineRegistry.h"
#include "PageFrame.h"
#include "PluginContract.h"
#include "PluginHost.h"
#include "PresetResources.h"

using namespace qvtest;

namespace {

const char kVariable[] = "QV_DIALOG_SCALE_CHILD";  // the desktop's DPI
constexpr DWORD kSettle = 700;
constexpr int kPresetsButton = 20015;

std::string sizesFile(int dpi)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "qv-dialog-scale-" + std::to_string(dpi) + ".txt";
}

// The width and height of an icon.
SIZE iconSize(HICON icon)
{
    ICONINFO info{};
    BITMAP bitmap{};
    if (!icon || !GetIconInfo(icon, &info))
        return {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

// Watches for a dialog with `caption`; once it has been up a while, `check` runs on it.
struct DialogCheck {
    DialogCheck(const wchar_t* caption, std::function<void(HWND)> check)
        : watch(L"#32770", caption, [this, check](HWND dialog) {
              if (!seen)
                  seen = GetTickCount();
              if (GetTickCount() - seen < kSettle)
                  return false;
              GetClientRect(dialog, &client);
              check(dialog);
              return true;
          })
    {}
    DWORD seen = 0;
    RECT client{};
    qv::WindowWatch watch;
};

}  // namespace

TEST(PresetDialogsAtScale, InThisProcess)
{
    QVTEST_ONLY_IN_COPY(kVariable, "PresetDialogsAtScale.GrowWithTheDesktopDpi");
    const int dpi = std::atoi(std::getenv(kVariable));
    const int smallIcon = 16 * dpi / 96;

    qv::PluginHost host;
    std::string error;
    ASSERT_TRUE(host.load(qv::kVstFileName, error)) << error;
    host.dispatch(vst::effOpen);
    HWND frame = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1100,
                                 900, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(host.dispatch(vst::effEditOpen, 0, 0, frame), 1);
    HWND presets = GetDlgItem(GetWindow(frame, GW_CHILD), kPresetsButton);
    ASSERT_NE(presets, nullptr);
    pumpFor(300);

    const std::string suffix = "-" + std::to_string(dpi);
    // Presets menu, "Preset Manager...", then its Add button; each dialog is cancelled once checked.
    qv::WindowWatch menu(L"#32768", nullptr, [](HWND m) {
        for (UINT k : {VK_DOWN, VK_DOWN, VK_RETURN}) {
            PostMessageA(m, WM_KEYDOWN, k, 0);
            PostMessageA(m, WM_KEYUP, k, 0xC0000000);
        }
        return true;
    });
    DialogCheck manager(L"qv:Equalizer Preset Manager", [&](HWND dialog) {
        HWND tree = GetDlgItem(dialog, IDC_PRESET_TREE);
        int cx = 0, cy = 0;
        EXPECT_TRUE(ImageList_GetIconSize(TreeView_GetImageList(tree, TVSIL_NORMAL), &cx, &cy));
        EXPECT_EQ(cx, smallIcon);
        EXPECT_EQ(cy, smallIcon);
        EXPECT_GE(TreeView_GetItemHeight(tree), smallIcon);
        EXPECT_GT(TreeView_GetCount(tree), 1u) << "the factory presets";
        const SIZE caption = iconSize(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0)));
        EXPECT_EQ(caption.cx, smallIcon);
        EXPECT_EQ(caption.cy, smallIcon);
        EXPECT_EQ(repaintChanges(dialog, "preset-manager" + suffix), 0);
        // Dragged to a display of twice the DPI, as the system tells a per-monitor aware window.
        RECT place{};
        GetWindowRect(dialog, &place);
        SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), reinterpret_cast<LPARAM>(&place));
        EXPECT_TRUE(ImageList_GetIconSize(TreeView_GetImageList(tree, TVSIL_NORMAL), &cx, &cy));
        EXPECT_EQ(cx, 2 * smallIcon) << "after a change of DPI";
        EXPECT_EQ(iconSize(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0))).cx, 2 * smallIcon);
        PostMessageA(GetDlgItem(dialog, IDC_PRESET_ADD), BM_CLICK, 0, 0);
    });
    DialogCheck add(L"Add qv:Equalizer preset", [&](HWND dialog) {
        EXPECT_EQ(repaintChanges(dialog, "preset-add" + suffix), 0);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(GetWindow(dialog, GW_OWNER), WM_COMMAND, IDC_PRESET_CANCEL, 0);
    });
    SendMessageA(presets, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(presets, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));  // returns once the dialogs are closed
    EXPECT_TRUE(manager.watch.done() && add.watch.done());
    host.dispatch(vst::effEditClose);
    DestroyWindow(frame);

    FILE* out = std::fopen(sizesFile(dpi).c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fprintf(out, "%ld %ld %ld %ld\n", manager.client.right, manager.client.bottom, add.client.right,
                 add.client.bottom);
    std::fclose(out);
}

TEST(PresetDialogsAtScale, GrowWithTheDesktopDpi)
{
    QVTEST_NOT_IN_COPY(kVariable);
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    setPluginPath(folder);  // the factory presets beside this program
    long sizes[2][4] = {};
    const int dpis[2] = {96, 192};
    for (int i = 0; i < 2; ++i) {
        DeleteFileA(sizesFile(dpis[i]).c_str());
        EXPECT_EQ(runAtDpi(kVariable, std::to_string(dpis[i]), dpis[i], "PresetDialogsAtScale.InThisProcess"), 0)
            << "LogPixels " << dpis[i];
        FILE* in = std::fopen(sizesFile(dpis[i]).c_str(), "r");
        ASSERT_NE(in, nullptr) << "LogPixels " << dpis[i];
        EXPECT_EQ(std::fscanf(in, "%ld %ld %ld %ld", &sizes[i][0], &sizes[i][1], &sizes[i][2], &sizes[i][3]), 4);
        std::fclose(in);
        DeleteFileA(sizesFile(dpis[i]).c_str());
    }
    setPluginPath(nullptr);
    // Twice the DPI, about twice the size: the templates grow with their font, whose rounded height
    // makes it a little less than exactly twice.
    const char* names[4] = {"manager width", "manager height", "add width", "add height"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_GT(sizes[0][k], 0) << names[k];
        EXPECT_GE(sizes[1][k] * 10, sizes[0][k] * 18) << names[k];
        EXPECT_LE(sizes[1][k] * 10, sizes[0][k] * 22) << names[k];
    }
}
