#include "PageFrame.h"

#include <ocidl.h>
#include <olectl.h>
#include <prsht.h>

#include <cstdio>

namespace qv {
namespace {

struct FrameWatch {
    const PageFrameAction* action;
    int markerId;
    DWORD deadline;
    HWND frame = nullptr;
    bool ran = false;
};
FrameWatch* gWatch = nullptr;  // the frame being watched on this (the UI) thread

BOOL CALLBACK findFrame(HWND window, LPARAM out)
{
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (IsWindowVisible(window) && lstrcmpA(cls, "#32770") == 0) {
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findMarker(HWND window, LPARAM out)
{
    if (GetDlgCtrlID(window) == gWatch->markerId) {
        *reinterpret_cast<HWND*>(out) = GetParent(window);
        return FALSE;
    }
    return TRUE;
}

void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    FrameWatch* watch = gWatch;
    if (!watch || watch->ran)
        return;
    HWND frame = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findFrame, reinterpret_cast<LPARAM>(&frame));
    HWND page = nullptr;
    if (frame)
        EnumChildWindows(frame, findMarker, reinterpret_cast<LPARAM>(&page));
    if (!page) {
        if (frame && GetTickCount() > watch->deadline) {
            KillTimer(nullptr, timer);
            watch->ran = true;
            closeFrame(frame);
        }
        return;
    }
    KillTimer(nullptr, timer);
    watch->ran = true;
    watch->frame = frame;
    (*watch->action)(frame, page);
    if (IsWindow(frame))
        closeFrame(frame);
}

}  // namespace

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
    FrameWatch watch{&action, pageMarkerId, GetTickCount() + timeoutMs};
    gWatch = &watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, onTimer);
    hr = OleCreatePropertyFrame(nullptr, 0, 0, L"Equalizer", 1, &object, pages.cElems, pages.pElems, 0, 0, nullptr);
    KillTimer(nullptr, timer);
    gWatch = nullptr;
    CoTaskMemFree(pages.pElems);
    if (FAILED(hr))
        return hr;
    return watch.frame ? S_OK : E_FAIL;
}

DWORD serveClassInProcess(HMODULE dll, REFCLSID clsid)
{
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    IUnknown* factory = nullptr;
    if (!get || FAILED(get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
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

bool saveWindowBmp(HWND window, const wchar_t* path)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const DWORD size = ((static_cast<DWORD>(width) * 3 + 3) & ~3u) * static_cast<DWORD>(height);
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + size;
        if (FILE* f = _wfopen(path, L"wb")) {
            ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                 fwrite(bits, size, 1, f) == 1;
            ok = fclose(f) == 0 && ok;
        }
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(window, source);
    return ok;
}

}  // namespace qv
