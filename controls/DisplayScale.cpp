#include "DisplayScale.h"

#include "ScaleMath.h"

namespace qv {

int windowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const GetDpiForWindowFn getDpi = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        return user32 ? reinterpret_cast<GetDpiForWindowFn>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                      : nullptr;
    }();
    const UINT dpi = getDpi && window ? getDpi(window) : 0;
    return dpi ? static_cast<int>(dpi) : 96;
}

int windowScale(HWND window) { return scaleForDpi(windowDpi(window)); }

}  // namespace qv
