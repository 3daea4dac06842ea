// The display scale a window gets from the desktop's DPI. Wine reads the DPI (LogPixels under
// HKCU "Control Panel\Desktop") when a process starts, so each DPI is tried in a fresh copy of this program,
// started with QV_DPI_CHILD set, that answers through its exit code. Wine 8 gives every window the
// desktop's DPI, whatever awareness the process declares; a per-monitor difference cannot be made
// there, so this checks the lookup and the buckets the way a host on one monitor sees them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "../support/DesktopDpi.h"
#include "DisplayScale.h"

namespace {

// The child: declares per-monitor awareness as current hosts do, makes a host-like parent window with
// a child in it (the editor's parent), and exits with dpi * 1000 + scale of that child.
const int gChild = [] {
    if (!std::getenv("QV_DPI_CHILD"))
        return 0;
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
    if (setContext)
        setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor, version 2
    HWND host =
        CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND parent = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD, 0, 0, 100, 100, host, nullptr, nullptr, nullptr);
    const int code = qv::windowDpi(parent) * 1000 + qv::percentOf(qv::windowScale(parent));
    DestroyWindow(host);
    ExitProcess(static_cast<UINT>(code));
}();

}  // namespace

TEST(DisplayScale, TheDesktopDpiPicksTheScale)
{
    ASSERT_EQ(gChild, 0);
    const struct {
        int dpi, scale;
    } cases[] = {{96, 100}, {119, 100}, {120, 150}, {144, 150}, {167, 150}, {168, 200}, {192, 200}};
    for (const auto& c : cases)
        EXPECT_EQ(qvtest::runAtDpi("QV_DPI_CHILD", "1", c.dpi), c.dpi * 1000L + c.scale) << "LogPixels " << c.dpi;
}

TEST(DisplayScale, NoWindowIs96)
{
    EXPECT_EQ(qv::windowDpi(nullptr), 96);
    EXPECT_EQ(qv::windowScale(nullptr), qv::kScale100);
}
