// The property page as an OLE property page: created by the server, connected to a filter,
// activated in a window of ours, and what it leaves behind when a frame lets it go.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>

#include <string>

#include "DllServer.h"

using namespace qv;

namespace {

struct Page {
    Server server;
    IPropertyPage* page = nullptr;
    IUnknown* filter = nullptr;
    IEqualizerControl* control = nullptr;
    HWND parent = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr, nullptr, nullptr);

    Page()
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

HWND pageDialog(HWND parent) { return FindWindowExW(parent, nullptr, nullptr, nullptr); }

}  // namespace

TEST(PropertyPage, InfoAndArgumentChecks)
{
    Page p;
    ASSERT_NE(p.page, nullptr);
    EXPECT_EQ(p.page->GetPageInfo(nullptr), E_POINTER);
    PROPPAGEINFO info{};
    ASSERT_EQ(p.page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(info.cb, sizeof info);
    ASSERT_NE(info.pszTitle, nullptr);
    EXPECT_EQ(std::wstring(info.pszTitle), L"qv:equalizer");
    EXPECT_EQ(info.size.cx, 506);
    EXPECT_EQ(info.size.cy, 411);
    EXPECT_EQ(info.pszDocString, nullptr);
    EXPECT_EQ(info.pszHelpFile, nullptr);
    EXPECT_EQ(info.dwHelpContext, 0u);
    CoTaskMemFree(info.pszTitle);

    // Unconnected: nothing to disconnect or apply; objects without the control interface refused.
    EXPECT_EQ(p.page->SetObjects(0, nullptr), E_UNEXPECTED);
    EXPECT_EQ(p.page->Apply(), E_UNEXPECTED);
    EXPECT_EQ(p.page->SetObjects(1, nullptr), E_POINTER);
    IUnknown* none = nullptr;
    EXPECT_EQ(p.page->SetObjects(1, &none), E_POINTER);
    IUnknown* stranger = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(&stranger));
    EXPECT_EQ(p.page->SetObjects(1, &stranger), E_NOINTERFACE);
    EXPECT_EQ(p.page->SetObjects(0, nullptr), E_UNEXPECTED);  // still unconnected
    IUnknown* two[2] = {p.filter, p.filter};
    EXPECT_EQ(p.page->SetObjects(2, two), E_INVALIDARG);
    stranger->Release();

    // Not active: no window to show, move or take down.
    const RECT r{0, 0, 10, 10};
    EXPECT_EQ(p.page->Show(SW_SHOW), E_UNEXPECTED);
    EXPECT_EQ(p.page->Move(&r), E_UNEXPECTED);
    EXPECT_EQ(p.page->Deactivate(), E_UNEXPECTED);
    EXPECT_EQ(p.page->Activate(p.parent, nullptr, TRUE), E_POINTER);
    EXPECT_EQ(p.page->Activate(nullptr, &r, TRUE), E_INVALIDARG);
    EXPECT_EQ(p.page->TranslateAccelerator(nullptr), E_NOTIMPL);
    EXPECT_EQ(p.page->IsPageDirty(), S_FALSE);
}

TEST(PropertyPage, ActiveConnectedPageIsRegisteredOnce)
{
    Page p;
    ASSERT_NE(p.control, nullptr);
    // Activated before connecting: the connection registers the existing dialog.
    ASSERT_EQ(p.activate(), S_OK);
    HWND dialog = pageDialog(p.parent);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD, WS_CHILD);
    EXPECT_EQ(p.activate(), E_UNEXPECTED);
    EXPECT_EQ(p.freeNoticeEntries(), 2);
    ASSERT_EQ(p.connect(), S_OK);
    ASSERT_EQ(p.connect(), S_OK);  // twice: still one entry
    EXPECT_EQ(p.freeNoticeEntries(), 1);
    EXPECT_EQ(p.editorOpen(), 1);

    RECT placed{10, 20, 516, 431};
    EXPECT_EQ(p.page->Move(&placed), S_OK);
    EXPECT_EQ(p.page->Show(SW_SHOW), S_OK);
    EXPECT_TRUE(IsWindowVisible(dialog) || !IsWindowVisible(p.parent));
    RECT got;
    GetWindowRect(dialog, &got);
    MapWindowPoints(nullptr, p.parent, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got.left, 10);
    EXPECT_EQ(got.bottom, 431);
    EXPECT_EQ(p.page->Show(SW_HIDE), S_OK);
    EXPECT_EQ(p.page->Show(SW_MAXIMIZE), E_INVALIDARG);
    // Every edit reaches the filter at once: nothing is ever pending.
    EXPECT_EQ(p.page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(p.page->Apply(), S_OK);

    EXPECT_EQ(p.page->Deactivate(), S_OK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(p.editorOpen(), 0);
    EXPECT_EQ(p.freeNoticeEntries(), 2);

    // Connected first, then activated: the new dialog registers itself.
    ASSERT_EQ(p.activate(), S_OK);
    EXPECT_EQ(p.freeNoticeEntries(), 1);
    EXPECT_EQ(p.page->SetObjects(0, nullptr), S_OK);
    EXPECT_EQ(p.freeNoticeEntries(), 2);
    EXPECT_EQ(p.editorOpen(), 0);
    EXPECT_EQ(p.page->SetObjects(0, nullptr), E_UNEXPECTED);
    EXPECT_EQ(p.page->Deactivate(), S_OK);
}

// Wine's frame releases its pages without deactivating or disconnecting them when its window is
// gone; a host may do so with the page still up.
TEST(PropertyPage, ReleasedWhileActiveLeavesNothingBehind)
{
    Page p;
    ASSERT_EQ(p.connect(), S_OK);
    ASSERT_EQ(p.activate(), S_OK);
    HWND dialog = pageDialog(p.parent);
    EXPECT_EQ(p.freeNoticeEntries(), 1);
    EXPECT_EQ(p.page->Release(), 0u);
    p.page = nullptr;
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(p.freeNoticeEntries(), 2);
    EXPECT_EQ(p.editorOpen(), 0);
    p.control->Release();
    p.control = nullptr;
    EXPECT_EQ(p.filter->Release(), 0u);
    p.filter = nullptr;
    EXPECT_TRUE(p.server.canUnload());
}
