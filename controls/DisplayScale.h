#pragma once
// The display scale of the window an editor or dialog is shown in.

#include <windows.h>

#include "ScaleMath.h"
#include "WindowDpi.h"

namespace qv {

// The skin's scale for the DPI the system gives that window (ScaleMath.h).
inline Scale windowScale(HWND window) { return scaleForDpi(windowDpi(window)); }

}  // namespace qv
