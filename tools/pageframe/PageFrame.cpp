#include "PageFrame.h"

#include <ocidl.h>
#include <olectl.h>
#include <prsht.h>

#include <cstdio>

namespace qv {
namespace {

struct Running {
    UINT_PTR timer;
    WindowWatch* watch;
};
Running gRunning[8];  // the watches of this (the user interface) thread

struct PageSearch {
    int marker;
    HWND page;
};

BOOL CALLBACK matchMarker(HWND window, LPARAM io)
{
    auto* s = reinterpret_cast<PageSearch*>(io);
    if (GetDlgCtrlID(window) != s->marker)
        return TRUE;
    s->page = GetParent(window);
    return FALSE;
}

// The window holding a child with the id `marker`, below `frame`; null when there is none yet.
HWND findPage(HWND frame, int marker)
{
    PageSearch search{marker, nullptr};
    EnumChildWindows(frame, matchMarker, reinterpret_cast<LPARAM>(&search));
    return search.page;
}

struct WindowSearch {
    const wchar_t* cls;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM io)
{
    auto* s = reinterpret_cast<WindowSearch*>(io);
    wchar_t cls[16] = {}, caption[128] = {};
    GetClassNameW(window, cls, 16);
    GetWindowTextW(window, caption, 128);
    if (!IsWindowVisible(window) || lstrcmpW(cls, s->cls) != 0 || (s->caption && lstrcmpW(caption, s->caption) != 0))
        return TRUE;
    s->found = window;
    return FALSE;
}

}  // namespace

WindowWatch::WindowWatch(const wchar_t* cls, const wchar_t* caption, std::function<bool(HWND)> action)
    : class_(cls), caption_(caption), action_(std::move(action))
{
    for (Running& r : gRunning)
        if (!r.watch) {
            timer_ = SetTimer(nullptr, 0, 50, onTimer);
            r = {timer_, this};
            break;
        }
}

WindowWatch::~WindowWatch()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    for (Running& r : gRunning)
        if (r.watch == this)
            r = {};
}

void CALLBACK WindowWatch::onTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    WindowWatch* watch = nullptr;
    for (const Running& r : gRunning)
        if (r.watch && r.timer == timer)
            watch = r.watch;
    if (!watch || watch->done_)
        return;
    WindowSearch search{watch->class_, watch->caption_, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), matchWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return;
    // Marked first: the action may run a modal loop of its own, where this timer fires again.
    watch->done_ = true;
    watch->done_ = watch->action_(search.found);
    if (watch->done_)
        KillTimer(nullptr, timer);
}

HRESULT showPropertyFrame(IUnknown* object, int pageMarkerId, const PageFrameAction& action, DWORD timeoutMs)
{
    if (!object)
        return E_POINTER;
    ISpecifyPropertyPages* specify = nullptr;
    HRESULT hr = object->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify));
    if (FAILED(hr))
        return hr;
    CAUUID pages{};
    hr = specify->GetPages(&pages);
    specify->Release();
    if (FAILED(hr))
        return hr;
    const DWORD deadline = GetTickCount() + timeoutMs;
    bool ran = false;
    WindowWatch watch(L"#32770", nullptr, [&](HWND frame) {
        HWND page = findPage(frame, pageMarkerId);
        if (!page) {
            if (static_cast<LONG>(GetTickCount() - deadline) < 0)
                return false;
            closeFrame(frame);  // the page never came
            return true;
        }
        ran = true;
        action(frame, page);
        if (IsWindow(frame))
            closeFrame(frame);
        return true;
    });
    hr = OleCreatePropertyFrame(nullptr, 0, 0, L"Equalizer", 1, &object, pages.cElems, pages.pElems, 0, 0, nullptr);
    CoTaskMemFree(pages.pElems);
    if (FAILED(hr))
        return hr;
    return ran ? S_OK : E_FAIL;
}

HRESULT classFactory(HMODULE dll, REFCLSID clsid, IClassFactory** factory)
{
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = dll ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")))
                   : nullptr;
    return get ? get(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory)) : E_NOINTERFACE;
}

DWORD serveClassInProcess(HMODULE dll, REFCLSID clsid)
{
    IClassFactory* factory = nullptr;
    if (FAILED(classFactory(dll, clsid, &factory)))
        return 0;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        cookie = 0;
    factory->Release();
    return cookie;
}

void closeFrame(HWND frame, bool ok) { PropSheet_PressButton(frame, ok ? PSBTN_OK : PSBTN_CANCEL); }

void pumpMessages(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms)
            Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

}  // namespace qv
