// The display scale a window gets from the desktop's DPI. Wine reads the DPI (LogPixels under
// HKCU "Control Panel\Desktop") when a process starts, so each DPI is tried in a fresh copy of this program,
// started with QV_DPI_CHILD set, that answers through its exit code. Wine 8 gives every window the
// desktop's DPI, whatever awareness the process declares; a per-monitor difference cannot be made
// there, so this checks the lookup and the buckets the way a host on one monitor sees them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

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
    const int code = qv::windowDpi(parent) * 1000 + qv::windowScale(parent);
    DestroyWindow(host);
    ExitProcess(static_cast<UINT>(code));
}();

const char kDesktopKey[] = "Control Panel\\Desktop";

// Puts the desktop's DPI back as it was, or removes the value if there was none.
class LogPixels {
public:
    LogPixels()
    {
        DWORD size = sizeof old_;
        had_ = RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
               ERROR_SUCCESS;
    }
    ~LogPixels()
    {
        if (had_)
            set(old_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
    }
    static bool set(DWORD dpi)
    {
        return RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &dpi, sizeof dpi) ==
               ERROR_SUCCESS;
    }

private:
    DWORD old_ = 96;
    bool had_ = false;
};

// Runs the child and returns its exit code, or -1.
long childAnswer()
{
    char self[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, self, sizeof self))
        return -1;
    SetEnvironmentVariableA("QV_DPI_CHILD", "1");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessA(self, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("QV_DPI_CHILD", nullptr);
    if (!started)
        return -1;
    DWORD code = 0;
    const bool done =
        WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done ? static_cast<long>(code) : -1;
}

}  // namespace

TEST(DisplayScale, TheDesktopDpiPicksTheScale)
{
    ASSERT_EQ(gChild, 0);
    LogPixels restore;
    const struct {
        int dpi, scale;
    } cases[] = {{96, 100}, {119, 100}, {120, 150}, {144, 150}, {167, 150}, {168, 200}, {192, 200}};
    for (const auto& c : cases) {
        ASSERT_TRUE(LogPixels::set(static_cast<DWORD>(c.dpi)));
        EXPECT_EQ(childAnswer(), c.dpi * 1000L + c.scale) << "LogPixels " << c.dpi;
    }
}

TEST(DisplayScale, NoWindowIs96)
{
    EXPECT_EQ(qv::windowDpi(nullptr), 96);
    EXPECT_EQ(qv::windowScale(nullptr), 100);
}
