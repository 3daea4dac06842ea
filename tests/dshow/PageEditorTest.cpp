// The editor as the filter's property page runs it: the window classes and the preset id it takes
// from the filter and gives back, the preset files it accepts, and the page's own rules for undo,
// the clip lamps, the peak text and the first tick.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../support/MachineRegistry.h"
#include "../support/UnwritableInstall.h"
#include "ControlProtocol.h"
#include "PageFrame.h"
#include "PluginContract.h"
#include "TestPage.h"
#include "UiDriver.h"
#include "resources/editor_ids.h"

using namespace qv;
using namespace qvtest;

namespace {

const char kPageKey[] = "SOFTWARE\\Classes\\CLSID\\{7A3D5E11-4B2C-41F8-9E61-2C7B8D04A9F3}";
const char kManager[] = "qv:Equalizer Preset Manager";

void writeText(const std::string& path, const std::string& text)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // drop any cached copy
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

std::string readText(const std::string& path)
{
    std::string text;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(f);
    return text;
}

std::string presetFile(const char* key, const std::vector<std::string>& names)
{
    std::string text = "[Plug-in]\r\nPluginName=qv:Equalizer\r\nCLSID=" + std::string(key) + "\r\n";
    for (size_t i = 0; i < names.size(); ++i)
        text += "[Preset" + std::to_string(i + 1) + "]\r\nVersion=3\r\nName=" + names[i] +
                "\r\nBank=\r\nData=0,1,0,100,10," + std::to_string(10 * (i + 1)) + "\r\n";
    return text;
}

// A preset folder of the test's own, named to the store through "PluginPath".
struct PresetFolder {
    std::string dir;
    PresetFolder()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        dir = std::string(temp) + "qvpage-presets\\";
        CreateDirectoryA(dir.c_str(), nullptr);
        setPluginPath(dir.c_str());
    }
    ~PresetFolder()
    {
        setPluginPath(nullptr);
        for (const char* name : {kPresetFileName, "other.ini"})
            DeleteFileA((dir + name).c_str());
        RemoveDirectoryA(dir.c_str());
    }
};

// Presses the page's "Presets" button; the menu that opens is read ("[check]" marks the checked
// item, "-" a separator) and then gets `keys`.
std::vector<std::string> presetsMenu(HWND dialog, std::vector<UINT> keys)
{
    std::vector<std::string> items;
    WindowWatch watch(L"#32768", nullptr, [&](HWND window) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, 0x01E1 /* MN_GETHMENU */, 0, 0));
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            char text[256] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
            items.push_back(state & MF_SEPARATOR ? "-" : std::string(text) + (state & MF_CHECKED ? " [check]" : ""));
        }
        for (UINT k : keys) {
            PostMessageW(window, WM_KEYDOWN, k, 0);
            PostMessageW(window, WM_KEYUP, k, 0xC0000000);
        }
        return true;
    });
    click(GetDlgItem(dialog, 20015));
    pumpMessages(100);
    return items;
}

// A connected page whose editor is up and past its first tick.
struct OpenPage : Page {
    HWND dialog = nullptr;
    OpenPage()
    {
        connect();
        activate();
        dialog = pageDialog(parent);
        pumpMessages(200);
    }
    HWND item(int id) const { return GetDlgItem(dialog, id); }
    int gain(int band)
    {
        int v = 0;
        control->GetGain(band, &v);
        return v;
    }
    void key(HWND w, UINT vk)
    {
        SendMessageW(w, WM_KEYDOWN, vk, 0);
        SendMessageW(w, WM_KEYUP, vk, 0xC0000000);
        pumpMessages();
    }
    // The in-place entry of an edit field: opened, typed into, committed with Enter.
    void enter(int fieldId, const char* text)
    {
        HWND field = item(fieldId);
        SendMessageA(field, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
        SendMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        pumpMessages();
        HWND entry = GetWindow(field, GW_CHILD);
        ASSERT_NE(entry, nullptr);
        SetWindowTextA(entry, text);
        key(entry, VK_RETURN);
        pumpMessages(50);
    }
    HBITMAP lamp(int id) const
    {
        return reinterpret_cast<HBITMAP>(SendMessageW(item(id), STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
};

}  // namespace

TEST(PageEditor, TheControlClassesComeWithThePageAndGoWithIt)
{
    Page p;
    ASSERT_NE(p.page, nullptr);
    WNDCLASSA wc;
    for (const char* cls : {"qv:PushButton", "qv:Slider", "qv:Meter"})
        EXPECT_TRUE(GetClassInfoA(p.server.module, cls, &wc)) << cls << " before any dialog";
    ASSERT_EQ(p.connect(), S_OK);
    ASSERT_EQ(p.activate(), S_OK);
    EXPECT_EQ(p.page->Deactivate(), S_OK);
    EXPECT_TRUE(GetClassInfoA(p.server.module, "qv:PushButton", &wc)) << "the editor's close leaves the page's";
    EXPECT_EQ(p.page->SetObjects(0, nullptr), S_OK);
    EXPECT_EQ(p.page->Release(), 0u);
    p.page = nullptr;
    EXPECT_FALSE(GetClassInfoA(p.server.module, "qv:PushButton", &wc)) << "gone with the page";
}

// A frame may activate the page before it hands it the filter; the presets menu still marks the
// filter's preset, and a preset chosen before the filter is taken away stays the filter's.
TEST(PageEditor, ThePresetIdIsTheFiltersWheneverThePageConnects)
{
    PresetFolder folder;
    writeText(folder.dir + kPresetFileName, presetFile(kEqualizerClassKey, {"Alpha", "Beta"}));
    Page p;
    ASSERT_NE(p.control, nullptr);
    p.control->SetEditorState(3502);
    ASSERT_EQ(p.activate(), S_OK);
    ASSERT_EQ(p.connect(), S_OK);
    HWND dialog = pageDialog(p.parent);
    const std::vector<std::string> shown =
        presetsMenu(dialog, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // the fourth item: Alpha
    const std::vector<std::string> expected = {
        "Add Preset...", "Update Preset: Beta...", "Preset Manager...", "-", "Alpha", "Beta [check]"};
    EXPECT_EQ(shown, expected);
    int gain = 0;
    p.control->GetGain(1, &gain);
    EXPECT_EQ(gain, 10);  // Alpha was applied
    EXPECT_EQ(p.page->SetObjects(0, nullptr), S_OK);
    int id = 0;
    p.control->GetEditorState(&id);
    EXPECT_EQ(id, 3501);
    EXPECT_EQ(p.page->Deactivate(), S_OK);
    p.control->GetEditorState(&id);
    EXPECT_EQ(id, 3501);
}

// The page accepts files of the maker's further class on import, beside its own.
TEST(PageEditor, ImportAcceptsThePagesSecondIdentity)
{
    PresetFolder folder;
    writeText(folder.dir + kPresetFileName, presetFile(kEqualizerClassKey, {"Alpha"}));
    const std::string other = folder.dir + "other.ini";
    writeText(other, presetFile(kPageKey, {"Gamma"}));
    OpenPage p;
    std::string tree;
    // The host's current folder stays as it was, wherever the open-file dialog went.
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof cwd, cwd);
    {
        UiDriver ui;
        ui.then(ui.inDialog(kManager, [&](HWND d) { qvtest::click(d, 1500); }))
            .then(ui.inDialog("Import Preset(s)",
                              [&](HWND d) {
                                  SetDlgItemTextA(d, 0x47c, other.c_str());
                                  qvtest::click(d, IDOK);
                              }))
            .then(ui.inDialog(kManager, [&](HWND d) {
                tree = treeShape(GetDlgItem(d, 1510));
                qvtest::click(d, 1514);
            }));
        presetsMenu(p.dialog, {VK_DOWN, VK_DOWN, VK_RETURN});  // "Preset Manager..."
        pumpMessages(100);
        EXPECT_TRUE(ui.finished());
    }
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(after, cwd);
    SetCurrentDirectoryA(cwd);
    EXPECT_EQ(tree, "Available qv:Equalizer presets{Alpha,Gamma}");
}

TEST(PageEditor, GesturesAreOneUndoStepEachAndTypedEntriesNone)
{
    OpenPage p;
    ASSERT_NE(p.dialog, nullptr);
    // Two key steps of a slider are two gestures: each its own step.
    HWND slider = p.item(1305);
    SetFocus(slider);
    const int g0 = p.gain(3);
    p.key(slider, VK_RIGHT);
    const int g1 = p.gain(3);
    p.key(slider, VK_RIGHT);
    const int g2 = p.gain(3);
    ASSERT_LT(g0, g1);
    ASSERT_LT(g1, g2);
    p.control->Undo();
    EXPECT_EQ(p.gain(3), g1);
    p.control->Undo();  // one level: undo again restores
    EXPECT_EQ(p.gain(3), g2);

    // Two notches of the wheel over the gain field are one run of edit steps.
    RECT r;
    GetWindowRect(p.item(1304), &r);
    for (int notch = 0; notch < 2; ++notch) {
        SendMessageW(p.item(1304), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(r.left + 5, r.top + 5));
        pumpMessages(20);
    }
    ASSERT_GT(p.gain(3), g2);
    p.control->Undo();
    EXPECT_EQ(p.gain(3), g2);

    // The setup button takes a snapshot before it switches.
    p.control->SetGain(3, 77);
    click(p.item(20012));
    pumpMessages();
    EXPECT_NE(p.gain(3), 77);
    p.control->Undo();
    EXPECT_EQ(p.gain(3), 77);

    // A typed entry takes none: Undo goes back past it to the last snapshot (Flat's).
    p.control->SetGain(3, 33);
    click(p.item(20022));
    pumpMessages();
    EXPECT_EQ(p.gain(3), 0);
    p.enter(1304, "5");
    EXPECT_EQ(p.gain(3), 50);
    p.control->Undo();
    EXPECT_EQ(p.gain(3), 33);
}

// Pumps until `done` holds or two seconds pass: the editor's 50 ms ticks come late on a busy machine.
template <typename Done>
void pumpUntil(Done done)
{
    const DWORD end = GetTickCount() + 2000;
    while (!done() && GetTickCount() < end)
        pumpMessages(5);
}

TEST(PageEditor, ClipLampsFollowTheCountersAndAClickPutsThemOut)
{
    OpenPage p;
    const HBITMAP off = p.lamp(IDC_PAGE_CLIP_LEFT);
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(p.lamp(IDC_PAGE_CLIP_RIGHT), off);
    // The filter's clip start value: clipping for two ticks, then held.
    p.control->SetClipCounterRight(0, 3);
    // Ticks come late on a busy machine: watch until the third image shows (or 3 s pass), then a
    // while longer to see that nothing follows it.
    // The first image is read before any pump: an overdue tick may come in the first one.
    std::vector<HBITMAP> seen{p.lamp(IDC_PAGE_CLIP_RIGHT)};
    auto watch = [&](DWORD ms, bool untilThird) {
        const DWORD end = GetTickCount() + ms;
        while (GetTickCount() < end && !(untilThird && seen.size() >= 3)) {
            pumpMessages(5);
            if (seen.empty() || seen.back() != p.lamp(IDC_PAGE_CLIP_RIGHT))
                seen.push_back(p.lamp(IDC_PAGE_CLIP_RIGHT));
        }
    };
    watch(3000, true);
    watch(200, false);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], off);
    EXPECT_NE(seen[1], off);
    EXPECT_NE(seen[2], off);
    EXPECT_NE(seen[2], seen[1]);
    int counter = -1;
    p.control->GetClipCounterRight(0, &counter);
    EXPECT_EQ(counter, 1);  // held until a click
    EXPECT_EQ(p.lamp(IDC_PAGE_CLIP_LEFT), off);

    // A click on either lamp clears both channels; the next tick shows it.
    p.control->SetClipCounterLeft(0, 1);
    pumpUntil([&] { return p.lamp(IDC_PAGE_CLIP_LEFT) == seen[2]; });
    EXPECT_EQ(p.lamp(IDC_PAGE_CLIP_LEFT), seen[2]);
    SendMessageW(p.item(IDC_PAGE_CLIP_LEFT), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(p.item(IDC_PAGE_CLIP_LEFT), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    pumpUntil([&] { return p.lamp(IDC_PAGE_CLIP_LEFT) == off && p.lamp(IDC_PAGE_CLIP_RIGHT) == off; });
    p.control->GetClipCounterRight(0, &counter);
    EXPECT_EQ(counter, 0);
    p.control->GetClipCounterLeft(0, &counter);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(p.lamp(IDC_PAGE_CLIP_LEFT), off);
    EXPECT_EQ(p.lamp(IDC_PAGE_CLIP_RIGHT), off);
}

TEST(PageEditor, AClickOnThePeakTextForgetsTheHeldPeaks)
{
    OpenPage p;
    auto text = [&] {
        char t[64] = {};
        GetWindowTextA(p.item(20032), t, sizeof t);
        return std::string(t);
    };
    SendMessageW(p.item(20030), MT_SETLEVELS, static_cast<WPARAM>(-60), 0);  // a peak of -6 dB, held
    pumpUntil([&] { return text().substr(0, 5) == "-6.0 "; });
    ASSERT_EQ(text().substr(0, 5), "-6.0 ");
    SendMessageW(p.item(20032), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(p.item(20032), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    pumpMessages();
    const std::string shown = text();
    EXPECT_EQ(shown.substr(0, 5), "-Inf ");
    EXPECT_EQ(shown.substr(shown.size() - 5), " -Inf");
}

// The first tick after the page's first activation copies setup A into B; later activations leave
// B as the user made it.
TEST(PageEditor, TheFirstTickCopiesTheSetupOnce)
{
    Page p;
    ASSERT_NE(p.control, nullptr);
    ASSERT_EQ(p.connect(), S_OK);
    auto setBGain = [&](int gain) {
        p.control->SelectSetup(1);
        p.control->SetGain(2, gain);
        p.control->SelectSetup(0);
    };
    auto bGain = [&] {
        int gain = 0;
        p.control->SelectSetup(1);
        p.control->GetGain(2, &gain);
        p.control->SelectSetup(0);
        return gain;
    };
    p.control->SetGain(2, 40);
    setBGain(90);
    ASSERT_EQ(p.activate(), S_OK);
    pumpUntil([&] { return bGain() == 40; });
    EXPECT_EQ(bGain(), 40);
    EXPECT_EQ(p.page->Deactivate(), S_OK);

    setBGain(90);
    ASSERT_EQ(p.activate(), S_OK);
    pumpMessages(150);
    EXPECT_EQ(bGain(), 90);
    EXPECT_EQ(p.page->Deactivate(), S_OK);
}

// A player without the right to write the install folder (access denied): a preset added in the
// Preset Manager is saved without a word into the user's own copy; the installed file stays as it was.
TEST(PageEditor, APresetAddedOverAnUnwritableInstallFolderGoesToTheUsersCopy)
{
    const UnwritableInstall at("QV_DENIED_FOLDER");
    if (!at.ok())
        GTEST_SKIP() << "no unwritable folder given (tests/support/unwritable-folders.sh runs as root)";
    const std::string factory = readText(at.installed);
    {
        OpenPage p;
        UiDriver ui;  // a message box (a failed save) stays unanswered and fails the test
        ui.then(ui.inDialog(kManager, [&](HWND d) { qvtest::click(d, 1501); }))
            .then(ui.inDialog("Add qv:Equalizer preset",
                              [&](HWND d) {
                                  SetDlgItemTextA(d, 1511, "Late night");
                                  qvtest::click(d, IDOK);
                              }))
            .then(ui.inDialog(kManager, [&](HWND d) { qvtest::click(d, IDOK); }));
        presetsMenu(p.dialog, {VK_DOWN, VK_DOWN, VK_RETURN});  // "Preset Manager..."
        pumpMessages(100);
        EXPECT_TRUE(ui.finished());
    }
    EXPECT_EQ(readText(at.installed), factory);
    EXPECT_NE(readText(at.userCopy).find("Name=Late night"), std::string::npos);
}
