#pragma once
// Shows an object's property pages in the system's OLE property frame, as a media player does
// (ISpecifyPropertyPages, then OleCreatePropertyFrame), and lets the caller act while it is open.
// The frame is modal: the caller's function runs from a timer inside the frame's own loop.

#include <windows.h>
#include <unknwn.h>

#include <functional>

namespace qv {

// Called once the page's dialog is up. `page` is the dialog window of the page that holds a
// control with id `pageMarkerId`. The frame is closed with Cancel afterwards unless the function
// closed it already (closeFrame).
using PageFrameAction = std::function<void(HWND frame, HWND page)>;

// S_OK after the frame was shown and closed and the action ran; E_FAIL when the page never
// appeared within `timeoutMs`; otherwise the failure of a step.
HRESULT showPropertyFrame(IUnknown* object, int pageMarkerId, const PageFrameAction& action, DWORD timeoutMs = 15000);

// Makes `clsid` of the COM server `dll` creatable in this process without the registry, as the
// frame creates its pages with CoCreateInstance. The cookie for CoRevokeClassObject, 0 on failure.
DWORD serveClassInProcess(HMODULE dll, REFCLSID clsid);

// Presses the frame's OK button (IDOK) or closes it with Cancel.
void closeFrame(HWND frame, bool ok = false);

// Handles whatever is queued for this thread, for `ms` milliseconds (0: once).
void pumpMessages(DWORD ms = 0);

// Copies what `window` shows, frame and title included, into a 24-bit BMP file.
bool saveWindowBmp(HWND window, const wchar_t* path);

}  // namespace qv
