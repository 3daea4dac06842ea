#pragma once
// Shows an object's property pages in the system's OLE property frame, as a media player does
// (ISpecifyPropertyPages, then OleCreatePropertyFrame), and lets the caller act while it is open.
// The frame, like a message box, is modal: the caller acts from a timer inside its loop.

#include <windows.h>
#include <unknwn.h>

#include <functional>

namespace qv {

// Watches this thread's visible top-level windows of class `cls` ("#32770": frames, dialogs and
// message boxes; "#32768": popup menus) from a timer: `action` runs on each one whose caption is
// `caption` (any for null) until it returns true.
class WindowWatch {
public:
    WindowWatch(const wchar_t* cls, const wchar_t* caption, std::function<bool(HWND)> action);
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;
    bool done() const { return done_; }

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD);
    const wchar_t* class_;
    const wchar_t* caption_;
    std::function<bool(HWND)> action_;
    UINT_PTR timer_ = 0;
    bool done_ = false;
};

// Called once the page's dialog is up. `page` is the dialog window of the page that holds a
// control with id `pageMarkerId`. The frame is closed with Cancel afterwards unless the function
// closed it already (closeFrame).
using PageFrameAction = std::function<void(HWND frame, HWND page)>;

// S_OK after the frame was shown and closed and the action ran; E_FAIL when the page never
// appeared within `timeoutMs`; otherwise the failure of a step.
HRESULT showPropertyFrame(IUnknown* object, int pageMarkerId, const PageFrameAction& action, DWORD timeoutMs = 15000);

// Presses the frame's OK button or closes it with Cancel.
void closeFrame(HWND frame, bool ok = false);

// The class factory of `clsid` straight from the COM server `dll`.
HRESULT classFactory(HMODULE dll, REFCLSID clsid, IClassFactory** factory);

// Makes `clsid` of the COM server `dll` creatable in this process without the registry, as the
// frame creates its pages with CoCreateInstance. The cookie for CoRevokeClassObject, 0 on failure.
DWORD serveClassInProcess(HMODULE dll, REFCLSID clsid);

// Handles whatever is queued for this thread, for `ms` milliseconds (0: once).
void pumpMessages(DWORD ms = 0);

}  // namespace qv
