#pragma once
// The display scale of the window an editor or dialog is shown in.

#include <windows.h>

namespace qv {

// WM_DPICHANGED_AFTERPARENT (Windows 10 1703 on, beyond the headers' WINVER): sent to a child window
// after its top-level window moved to a display of another DPI.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The DPI the system gives a window (GetDpiForWindow, looked up at run time so that the DLLs load
// where it is missing); 96 without it, or for no window.
int windowDpi(HWND window);

// 100, 150 or 200 (ScaleMath.h) for that DPI.
int windowScale(HWND window);

// A system metric (an SM_ index) at a DPI, as a window of that DPI should be laid out: the plain
// metric is at the system's DPI, which a per-monitor aware window on another monitor does not have.
// GetSystemMetricsForDpi is looked up at run time; where it is missing, the plain metric, since a
// window there has the system's DPI anyway.
int systemMetricForDpi(int index, int dpi);

}  // namespace qv
