#pragma once
// The filter DLL loaded as a COM client loads it, for tests that create its objects directly.

#include <windows.h>
#include <ole2.h>
#include <unknwn.h>

#include "IEqualizerControl.h"
#include "PluginContract.h"

namespace qv {

// OLE on the test's thread while it lives, as a player has it for a property frame.
struct Ole {
    Ole() { OleInitialize(nullptr); }
    ~Ole() { OleUninitialize(); }
    Ole(const Ole&) = delete;
    Ole& operator=(const Ole&) = delete;
};

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

struct Server {
    HMODULE module;
    explicit Server(const wchar_t* path = L"" QV_FILTER_FILE_NAME) : module(LoadLibraryW(path)) {}
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    ~Server()
    {
        if (module)
            FreeLibrary(module);
    }
    template <class F>
    F proc(const char* name)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    HRESULT factory(REFCLSID clsid, IClassFactory** out)
    {
        return proc<GetClassObject>("DllGetClassObject")(clsid, IID_IClassFactory, reinterpret_cast<void**>(out));
    }
    HRESULT create(IUnknown* outer, REFIID riid, void** ppv, REFCLSID clsid = CLSID_qvEqualizer)
    {
        IClassFactory* f = nullptr;
        HRESULT hr = factory(clsid, &f);
        if (FAILED(hr))
            return hr;
        hr = f->CreateInstance(outer, riid, ppv);
        f->Release();
        return hr;
    }
    bool canUnload() { return proc<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow")() == S_OK; }
};

template <class T>
T* query(IUnknown* u, REFIID riid)
{
    T* p = nullptr;
    return SUCCEEDED(u->QueryInterface(riid, reinterpret_cast<void**>(&p))) ? p : nullptr;
}

// How many of the filter's two notice entries are free (probed with windows of our own).
inline int freeNoticeEntries(IEqualizerControl* control)
{
    HWND probes[2];
    int free = 0;
    for (HWND& p : probes) {
        p = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (control->SetNotifyWindow(p, 7) == S_OK)
            ++free;
    }
    for (HWND p : probes) {
        control->SetNotifyWindow(p, 0);
        DestroyWindow(p);
    }
    return free;
}

}  // namespace qv
