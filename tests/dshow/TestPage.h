#pragma once
// A property page of the filter DLL, connected to a filter of the same DLL and activated in a
// window of the test's own, as a frame would do it.

#include <windows.h>
#include <ocidl.h>

#include "DllServer.h"
#include "PluginContract.h"

namespace qv {

struct Page {
    Server server;
    IPropertyPage* page = nullptr;
    IUnknown* filter = nullptr;
    IEqualizerControl* control = nullptr;
    HWND parent = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr, nullptr, nullptr);

    explicit Page(const wchar_t* dll = L"" QV_FILTER_FILE_NAME) : server(dll)
    {
        server.create(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page), CLSID_qvEqualizerPropertyPage);
        server.create(nullptr, IID_IUnknown, reinterpret_cast<void**>(&filter));
        if (filter)
            control = query<IEqualizerControl>(filter, IID_IEqualizerControl);
    }
    ~Page()
    {
        if (page)
            page->Release();
        if (control)
            control->Release();
        if (filter)
            filter->Release();
        DestroyWindow(parent);
    }
    HRESULT connect() { return page->SetObjects(1, &filter); }
    HRESULT activate()
    {
        const RECT r{0, 0, 506, 411};
        return page->Activate(parent, &r, TRUE);
    }
    int editorOpen()
    {
        int open = -1;
        control->GetEditorOpen(&open);
        return open;
    }
    int freeNoticeEntries() { return qv::freeNoticeEntries(control); }
};

inline HWND pageDialog(HWND parent) { return FindWindowExW(parent, nullptr, nullptr, nullptr); }

inline void click(HWND button)
{
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    if (IsWindow(button))
        SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

}  // namespace qv
