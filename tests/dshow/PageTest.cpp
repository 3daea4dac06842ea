// The property page as an OLE property page: created by the server, connected to a filter,
// activated in a window of ours, and what it leaves behind when a frame lets it go.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "DllServer.h"
#include "PageFrame.h"
#include "PluginContract.h"
#include "TestPage.h"
#include "../support/WindowPixels.h"

using namespace qv;

namespace {

// The DLL alone in a folder of its own, with the test manual beside it or not: the page's Help
// looks beside the DLL.
struct DllCopy {
    std::wstring dir, dll, manual;
    explicit DllCopy(const wchar_t* name, bool withManual)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir = std::wstring(temp) + name;
        dll = dir + L"\\" QV_FILTER_FILE_NAME;
        manual = dir + L"\\qvEqualizer.chm";
        CreateDirectoryW(dir.c_str(), nullptr);
        CopyFileW(L"" QV_FILTER_FILE_NAME, dll.c_str(), FALSE);
        if (withManual)
            CopyFileW(L"pagehelp\\qvEqualizer.chm", manual.c_str(), FALSE);
        else
            DeleteFileW(manual.c_str());
    }
    ~DllCopy()
    {
        DeleteFileW(dll.c_str());
        DeleteFileW(manual.c_str());
        RemoveDirectoryW(dir.c_str());
    }
    std::string manualAnsi() const
    {
        char path[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, manual.c_str(), -1, path, sizeof path, nullptr, nullptr);
        return path;
    }
};

// The texts of a message box's static controls, joined.
std::string boxText(HWND box)
{
    std::string all;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = {}, text[600] = {};
        GetClassNameA(c, cls, sizeof cls);
        GetWindowTextA(c, text, sizeof text);
        if (lstrcmpiA(cls, "Static") == 0)
            all += text;
    }
    return all;
}

}  // namespace

TEST(PropertyPage, InfoAndArgumentChecks)
{
    Page p;
    ASSERT_NE(p.page, nullptr);
    EXPECT_EQ(p.page->GetPageInfo(nullptr), E_POINTER);
    PROPPAGEINFO info{};
    ASSERT_EQ(p.page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(info.cb, sizeof info);
    ASSERT_NE(info.pszTitle, nullptr);
    EXPECT_EQ(std::wstring(info.pszTitle), L"qv:equalizer");
    EXPECT_EQ(info.size.cx, 506);
    EXPECT_EQ(info.size.cy, 411);
    EXPECT_EQ(info.pszDocString, nullptr);
    EXPECT_EQ(info.pszHelpFile, nullptr);
    EXPECT_EQ(info.dwHelpContext, 0u);
    CoTaskMemFree(info.pszTitle);

    // Unconnected: nothing to disconnect or apply; objects without the control interface refused.
    EXPECT_EQ(p.page->SetObjects(0, nullptr), E_UNEXPECTED);
    EXPECT_EQ(p.page->Apply(), E_UNEXPECTED);
    EXPECT_EQ(p.page->SetObjects(1, nullptr), E_POINTER);
    IUnknown* none = nullptr;
    EXPECT_EQ(p.page->SetObjects(1, &none), E_POINTER);
    IUnknown* stranger = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(&stranger));
    EXPECT_EQ(p.page->SetObjects(1, &stranger), E_NOINTERFACE);
    EXPECT_EQ(p.page->SetObjects(0, nullptr), E_UNEXPECTED);  // still unconnected
    IUnknown* two[2] = {p.filter, p.filter};
    EXPECT_EQ(p.page->SetObjects(2, two), E_INVALIDARG);
    stranger->Release();

    // Not active: no window to show, move or take down.
    const RECT r{0, 0, 10, 10};
    EXPECT_EQ(p.page->Show(SW_SHOW), E_UNEXPECTED);
    EXPECT_EQ(p.page->Move(&r), E_UNEXPECTED);
    EXPECT_EQ(p.page->Deactivate(), E_UNEXPECTED);
    EXPECT_EQ(p.page->Activate(p.parent, nullptr, TRUE), E_POINTER);
    EXPECT_EQ(p.page->Activate(nullptr, &r, TRUE), E_INVALIDARG);
    EXPECT_EQ(p.page->TranslateAccelerator(nullptr), E_NOTIMPL);
    EXPECT_EQ(p.page->IsPageDirty(), S_FALSE);
}

TEST(PropertyPage, ActiveConnectedPageIsRegisteredOnce)
{
    Page p;
    ASSERT_NE(p.control, nullptr);
    // Activated before connecting: the connection registers the existing dialog.
    ASSERT_EQ(p.activate(), S_OK);
    HWND dialog = pageDialog(p.parent);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD, WS_CHILD);
    EXPECT_EQ(p.activate(), E_UNEXPECTED);
    EXPECT_EQ(p.freeNoticeEntries(), 2);
    ASSERT_EQ(p.connect(), S_OK);
    ASSERT_EQ(p.connect(), S_OK);  // twice: still one entry
    EXPECT_EQ(p.freeNoticeEntries(), 1);
    EXPECT_EQ(p.editorOpen(), 1);

    RECT placed{10, 20, 516, 431};
    EXPECT_EQ(p.page->Move(&placed), S_OK);
    // A shown frame, or the page's visibility could not be seen.
    ShowWindow(p.parent, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(IsWindowVisible(p.parent));
    EXPECT_EQ(p.page->Show(SW_HIDE), S_OK);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(p.page->Show(SW_SHOW), S_OK);
    EXPECT_TRUE(IsWindowVisible(dialog));
    RECT got;
    GetWindowRect(dialog, &got);
    MapWindowPoints(nullptr, p.parent, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got.left, 10);
    EXPECT_EQ(got.bottom, 431);
    EXPECT_EQ(p.page->Show(SW_HIDE), S_OK);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(p.page->Show(SW_MAXIMIZE), E_INVALIDARG);
    // Every edit reaches the filter at once: nothing is ever pending.
    EXPECT_EQ(p.page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(p.page->Apply(), S_OK);

    EXPECT_EQ(p.page->Deactivate(), S_OK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(p.editorOpen(), 0);
    EXPECT_EQ(p.freeNoticeEntries(), 2);

    // Connected first, then activated: the new dialog registers itself.
    ASSERT_EQ(p.activate(), S_OK);
    EXPECT_EQ(p.freeNoticeEntries(), 1);
    EXPECT_EQ(p.page->SetObjects(0, nullptr), S_OK);
    EXPECT_EQ(p.freeNoticeEntries(), 2);
    EXPECT_EQ(p.editorOpen(), 0);
    EXPECT_EQ(p.page->SetObjects(0, nullptr), E_UNEXPECTED);
    EXPECT_EQ(p.page->Deactivate(), S_OK);
}

// Wine's frame releases its pages without deactivating or disconnecting them when its window is
// gone; a host may do so with the page still up.
TEST(PropertyPage, ReleasedWhileActiveLeavesNothingBehind)
{
    Page p;
    ASSERT_EQ(p.connect(), S_OK);
    ASSERT_EQ(p.activate(), S_OK);
    HWND dialog = pageDialog(p.parent);
    EXPECT_EQ(p.freeNoticeEntries(), 1);
    EXPECT_EQ(p.page->Release(), 0u);
    p.page = nullptr;
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(p.freeNoticeEntries(), 2);
    EXPECT_EQ(p.editorOpen(), 0);
    p.control->Release();
    p.control = nullptr;
    EXPECT_EQ(p.filter->Release(), 0u);
    p.filter = nullptr;
    EXPECT_TRUE(p.server.canUnload());
}

TEST(PropertyPage, HelpWarnsWithoutTheManualAndShowsItWhenThere)
{
    {
        DllCopy copy(L"qvpage-nomanual", false);
        Page p(copy.dll.c_str());
        ASSERT_NE(p.page, nullptr);
        ASSERT_EQ(p.connect(), S_OK);
        ASSERT_EQ(p.activate(), S_OK);
        std::string shown;
        bool warningIcon = false;
        WindowWatch box(L"#32770", L"Error", [&](HWND b) {
            shown = boxText(b);
            for (HWND c = GetWindow(b, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (SendMessageW(c, STM_GETICON, 0, 0) == reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_WARNING)))
                    warningIcon = true;
            PostMessageW(b, WM_COMMAND, IDOK, 0);
            return true;
        });
        EXPECT_EQ(p.page->Help(nullptr), S_OK);
        EXPECT_TRUE(box.done());
        EXPECT_EQ(shown, "Unable to open the Zorvath qv:Equalizer R3 help file:\n" + copy.manualAnsi());
        EXPECT_TRUE(warningIcon);
        EXPECT_TRUE(IsWindow(pageDialog(p.parent)));  // the page stays open
    }
    {
        DllCopy copy(L"qvpage-manual", true);
        Page p(copy.dll.c_str());
        ASSERT_EQ(p.connect(), S_OK);
        ASSERT_EQ(p.activate(), S_OK);
        bool warned = false;
        WindowWatch box(L"#32770", L"Error", [&](HWND b) {
            warned = true;
            PostMessageW(b, WM_COMMAND, IDOK, 0);
            return true;
        });
        EXPECT_EQ(p.page->Help(nullptr), S_OK);
        pumpMessages(200);
        EXPECT_FALSE(warned);
        HWND viewer = FindWindowW(L"HH Parent", nullptr);
        EXPECT_NE(viewer, nullptr);
        if (viewer)
            SendMessageW(viewer, WM_CLOSE, 0, 0);
        pumpMessages(100);
    }
}

// A media player may let the page go from a timer while its editor has a message box, a menu or
// the Preset Manager open: the page is torn down under the open loop, which then ends without
// touching what is gone.
TEST(PropertyPage, ReleasedFromInsideItsEditorsModalLoops)
{
    DllCopy copy(L"qvpage-modal", false);
    struct Case {
        const char* what;
        int button;
        const wchar_t* cls;
        const wchar_t* caption;
        std::vector<UINT> keys;  // for a menu: the keys that choose an item
    } cases[] = {
        {"help message box", 20016, L"#32770", L"Error", {}},
        {"presets menu", 20015, L"#32768", nullptr, {}},
        {"Preset Manager", 20015, L"#32768", nullptr, {VK_DOWN, VK_DOWN, VK_RETURN}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Page p(copy.dll.c_str());
        ASSERT_EQ(p.connect(), S_OK);
        ASSERT_EQ(p.activate(), S_OK);
        HWND dialog = pageDialog(p.parent);
        bool released = false;
        auto release = [&](HWND modal) {
            EXPECT_EQ(p.page->Deactivate(), S_OK);
            EXPECT_EQ(p.page->SetObjects(0, nullptr), S_OK);
            p.page->Release();
            p.page = nullptr;
            released = true;
            if (IsWindow(modal))
                PostMessageW(modal, WM_CLOSE, 0, 0);
            return true;
        };
        WindowWatch dialogs(L"#32770", nullptr, release);
        WindowWatch menus(c.cls, c.caption, [&](HWND modal) {
            if (c.keys.empty())
                return release(modal);
            for (UINT k : c.keys) {
                PostMessageW(modal, WM_KEYDOWN, k, 0);
                PostMessageW(modal, WM_KEYUP, k, 0xC0000000);
            }
            return true;
        });
        click(GetDlgItem(dialog, c.button));
        pumpMessages(100);
        EXPECT_TRUE(released);
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(p.freeNoticeEntries(), 2);
        EXPECT_EQ(p.editorOpen(), 0);
    }
}

TEST(PropertyPage, TheFiltersNoticesRefreshTheEditor)
{
    Page p;
    ASSERT_NE(p.control, nullptr);
    ASSERT_EQ(p.connect(), S_OK);
    ASSERT_EQ(p.activate(), S_OK);
    HWND dialog = pageDialog(p.parent);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(p.control->SetFrequency(2, 1234), S_OK);
    ASSERT_EQ(p.control->SetEnabled(3, 0), S_OK);
    char text[32] = {};
    GetDlgItemTextA(dialog, 1202, text, sizeof text);
    ASSERT_STRNE(text, "1234");
    // A new format: enable states and graph only.
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(32700, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1301)));
    GetDlgItemTextA(dialog, 1202, text, sizeof text);
    EXPECT_STRNE(text, "1234");
    // Loaded settings: everything.
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(32700, 100), 0);
    GetDlgItemTextA(dialog, 1202, text, sizeof text);
    EXPECT_STREQ(text, "1234");
    EXPECT_EQ(p.page->Deactivate(), S_OK);
}

// A page opened before its filter knows the stream's rate takes the rate with the format notice: its
// graph then looks as it does on a page opened after the filter connected at 48 kHz.
TEST(PropertyPage, AFormatNoticeBringsTheStreamsRateToTheGraph)
{
    const WAVEFORMATEX at48{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
    auto graphOf = [](Page& p) {
        ShowWindow(p.parent, SW_SHOWNOACTIVATE);
        p.page->Show(SW_SHOWNORMAL);
        pumpMessages(100);
        return windowPixels(GetDlgItem(pageDialog(p.parent), 20000));
    };
    Page late;
    ASSERT_EQ(late.control->SetStreamFormat(&at48), S_OK);
    ASSERT_EQ(late.connect(), S_OK);
    ASSERT_EQ(late.activate(), S_OK);
    const std::vector<uint32_t> expected = graphOf(late);
    late.page->Deactivate();

    Page early;
    ASSERT_EQ(early.connect(), S_OK);
    ASSERT_EQ(early.activate(), S_OK);
    ASSERT_NE(graphOf(early), expected);  // another rate's axis
    ASSERT_EQ(early.control->SetStreamFormat(&at48), S_OK);
    SendMessageW(pageDialog(early.parent), WM_COMMAND, MAKEWPARAM(32700, 0), 0);
    EXPECT_EQ(graphOf(early), expected);
    early.page->Deactivate();
}
