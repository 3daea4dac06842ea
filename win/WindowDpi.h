#pragma once
// The DPI a window is shown at and system metrics at a DPI, header only. The functions newer
// systems add are looked up at run time, so that the DLLs and programs still load where they are
// missing.

#include <windows.h>

namespace qv {

// WM_DPICHANGED_AFTERPARENT (Windows 10 1703 on, beyond the headers' WINVER): sent to a child window
// after its top-level window moved to a display of another DPI.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// A function of user32 that older systems lack, or null there.
template <typename Fn>
Fn user32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The DPI the system gives a window (GetDpiForWindow); 96 without it, or for no window.
inline int windowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const GetDpiForWindowFn getDpi = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = getDpi && window ? getDpi(window) : 0;
    return dpi ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// A system metric (an SM_ index) at a DPI, as a window of that DPI should be laid out: the plain
// metric is at the system's DPI, which a per-monitor aware window on another monitor does not have.
// Where GetSystemMetricsForDpi is missing, the plain metric, since a window there has the system's
// DPI anyway.
inline int systemMetricForDpi(int index, int dpi)
{
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const GetSystemMetricsForDpiFn forDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi && dpi > 0 ? forDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

}  // namespace qv
