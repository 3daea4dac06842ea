#include "EqualizerPropertyPage.h"

#include <new>

namespace qv {

EqualizerPropertyPage::EqualizerPropertyPage(IUnknown* outer) : CBasePropertyPage(outer, kDialogId, kTitleId) {}

EqualizerPropertyPage::~EqualizerPropertyPage()
{
    // A frame may release the page without deactivating or disconnecting it first.
    destroyDialog();
    if (model_.control())
        OnDisconnect();
}

ds::CUnknown* EqualizerPropertyPage::CreateInstance(IUnknown* outer, HRESULT* hr)
{
    auto* page = new (std::nothrow) EqualizerPropertyPage(outer);
    if (!page && hr)
        *hr = E_OUTOFMEMORY;
    return page;
}

HRESULT STDMETHODCALLTYPE EqualizerPropertyPage::GetPageInfo(PROPPAGEINFO* info)
{
    // The editor's own size, whatever the dialog font makes of the template.
    return fillPageInfo(info, SIZE{kWidth, kHeight});
}

HRESULT EqualizerPropertyPage::OnConnect(IUnknown* object)
{
    if (!object)
        return E_POINTER;
    if (model_.control())
        OnDisconnect();
    ds::ComPtr<IEqualizerControl> control;
    if (FAILED(object->QueryInterface(IID_IEqualizerControl, reinterpret_cast<void**>(control.put()))) || !control)
        return E_NOINTERFACE;
    model_.connect(control.get());
    if (HWND window = dialog()) {
        model_.setEditorOpen(true);
        registerNotices(window);
    }
    return S_OK;
}

HRESULT EqualizerPropertyPage::OnDisconnect()
{
    if (!model_.control())
        return E_UNEXPECTED;
    unregisterNotices();
    if (dialog())
        model_.setEditorOpen(false);
    model_.disconnect();
    return S_OK;
}

void EqualizerPropertyPage::registerNotices(HWND window)
{
    unregisterNotices();
    IEqualizerControl* control = model_.control();
    if (control && SUCCEEDED(control->SetNotifyWindow(window, kNoticeCommand)))
        noticeWindow_ = window;
}

void EqualizerPropertyPage::unregisterNotices()
{
    if (noticeWindow_ && model_.control())
        model_.control()->SetNotifyWindow(noticeWindow_, 0);
    noticeWindow_ = nullptr;
}

INT_PTR EqualizerPropertyPage::OnReceiveMessage(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        model_.setEditorOpen(true);
        registerNotices(window);
        return TRUE;
    case WM_DESTROY:
        unregisterNotices();
        model_.setEditorOpen(false);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace qv
