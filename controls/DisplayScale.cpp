#include "DisplayScale.h"

#include "ScaleMath.h"

namespace qv {

namespace {

// A function of user32 that older systems lack, or null there.
template <typename Fn>
Fn user32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

int windowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const GetDpiForWindowFn getDpi = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = getDpi && window ? getDpi(window) : 0;
    return dpi ? static_cast<int>(dpi) : 96;
}

int windowScale(HWND window) { return scaleForDpi(windowDpi(window)); }

int systemMetricForDpi(int index, int dpi)
{
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const GetSystemMetricsForDpiFn forDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi && dpi > 0 ? forDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

}  // namespace qv
