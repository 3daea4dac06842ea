// The editor as hosts open it: whatever the host's window arrangement, the editor as it first
// appears must already be the editor a full repaint shows (the background picture included).
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "../support/FirstPaint.h"
#include "PluginContract.h"
#include "PluginHost.h"

using namespace qvtest;

namespace {

constexpr DWORD kSettle = 700;  // what a host's loop runs before a user looks

// A white host class: a background the editor failed to paint shows as white, never as its art.
const char* hostClass()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "FirstPaintHost";
        registered = RegisterClassA(&wc) != 0;
    }
    return "FirstPaintHost";
}

HWND topLevel(DWORD style, DWORD exStyle = 0, int x = 20, int width = 560)
{
    return CreateWindowExA(exStyle, hostClass(), "host", style | WS_CLIPCHILDREN, x, 20, width, 480, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND container(HWND parent, int x)
{
    return CreateWindowExA(0, hostClass(), "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, 0, 506, 411, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

constexpr DWORD kVisibleHost = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

struct Plugin {
    qv::PluginHost host;
    Plugin()
    {
        std::string error;
        if (host.load(qv::kVstFileName, error))
            host.dispatch(vst::effOpen);
        else
            ADD_FAILURE() << error;
    }
    // As a host opens an editor: its size first, then the window.
    HWND open(HWND parent)
    {
        vst::ERect* rect = nullptr;
        host.dispatch(vst::effEditGetRect, 0, 0, &rect);
        EXPECT_TRUE(rect && rect->right - rect->left == 506 && rect->bottom - rect->top == 411);
        if (host.dispatch(vst::effEditOpen, 0, 0, parent) != 1)
            return nullptr;
        return GetWindow(parent, GW_CHILD);
    }
    void close() { host.dispatch(vst::effEditClose); }
};

struct Window {
    HWND handle;
    ~Window() { DestroyWindow(handle); }
};

Plugin* gIdled[2];
void CALLBACK idleTimer(HWND, UINT, UINT_PTR, DWORD)
{
    for (Plugin* p : gIdled)
        if (p)
            p->host.dispatch(vst::effEditIdle);
}

// The real pointer is parked on the screen's corner, off every editor, before any case: the pointer
// stays where an earlier test program left it, and a graph laid out under it gets a mouse move and
// shows its read-out in one picture and not in the one it is compared with.
class PointerAway : public ::testing::Environment {
    void SetUp() override { SetCursorPos(0, 0); }
};
const ::testing::Environment* const gPointerAway = ::testing::AddGlobalTestEnvironment(new PointerAway);

}  // namespace

TEST(EditorFirstPaint, VisibleAndLateShownParents)
{
    {
        Plugin plugin;
        Window frame{topLevel(kVisibleHost)};
        ASSERT_NE(plugin.open(frame.handle), nullptr);
        pumpFor(kSettle);
        EXPECT_EQ(repaintChanges(frame.handle, "vst-visible"), 0);
        plugin.close();
    }
    {
        // Hosts that embed the editor show their frame once it holds the editor.
        Plugin plugin;
        Window frame{topLevel(WS_OVERLAPPEDWINDOW)};
        ASSERT_NE(plugin.open(frame.handle), nullptr);
        pumpFor(50);
        ShowWindow(frame.handle, SW_SHOW);
        pumpFor(kSettle);
        EXPECT_EQ(repaintChanges(frame.handle, "vst-shown-late"), 0);
        plugin.close();
    }
}

TEST(EditorFirstPaint, ParentInsideAToolWindow)
{
    Plugin plugin;
    Window frame{topLevel(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, WS_EX_TOOLWINDOW)};
    HWND parent = container(frame.handle, 0);
    ASSERT_NE(plugin.open(parent), nullptr);
    pumpFor(kSettle);
    EXPECT_EQ(repaintChanges(frame.handle, "vst-tool-window"), 0);
    plugin.close();
}

TEST(EditorFirstPaint, OpenedAgainAfterClosing)
{
    Plugin plugin;
    Window frame{topLevel(kVisibleHost)};
    ASSERT_NE(plugin.open(frame.handle), nullptr);
    pumpFor(200);
    plugin.close();
    pumpFor(100);
    ASSERT_NE(plugin.open(frame.handle), nullptr);
    pumpFor(kSettle);
    EXPECT_EQ(repaintChanges(frame.handle, "vst-reopened"), 0);
    plugin.close();
}

TEST(EditorFirstPaint, TwoEditorsSideBySideIdledFromTimers)
{
    // Hosts idle their editors from a timer; 10 and 50 times a second cover slow and busy ones.
    for (UINT hz : {10u, 50u}) {
        Plugin left, right;
        Window frame{topLevel(kVisibleHost, 0, 0, 1040)};
        gIdled[0] = &left;
        gIdled[1] = &right;
        const UINT_PTR timer = SetTimer(nullptr, 0, 1000 / hz, idleTimer);
        ASSERT_NE(left.open(container(frame.handle, 0)), nullptr);
        ASSERT_NE(right.open(container(frame.handle, 510)), nullptr);
        pumpFor(kSettle);
        KillTimer(nullptr, timer);
        EXPECT_EQ(repaintChanges(frame.handle, "vst-two-" + std::to_string(hz) + "hz"), 0) << hz << " Hz";
        gIdled[0] = gIdled[1] = nullptr;
        left.close();
        right.close();
    }
}

TEST(EditorFirstPaint, AnotherWindowMovedOverAndAway)
{
    Plugin plugin;
    Window frame{topLevel(kVisibleHost)};
    ASSERT_NE(plugin.open(frame.handle), nullptr);
    pumpFor(200);
    Window cover{CreateWindowExA(WS_EX_TOPMOST, hostClass(), "cover", WS_POPUP | WS_VISIBLE, 120, 120, 300, 200,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)};
    pumpFor(200);
    SetWindowPos(cover.handle, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpFor(200);
    SetWindowPos(cover.handle, nullptr, 900, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpFor(kSettle);
    EXPECT_EQ(repaintChanges(frame.handle, "vst-uncovered"), 0);
    plugin.close();
}
