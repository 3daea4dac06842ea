#include "EqualizerPropertyPage.h"

#include <new>

#include "FilterNotices.h"
#include "PageEditorProfile.h"
#include "base/ClassFactory.h"

namespace qv {

EqualizerPropertyPage::EqualizerPropertyPage(IUnknown* outer)
    : CBasePropertyPage(outer, kDialogId, kTitleId), editor_(ds::gModule, model_, kDirectShowEditorProfile)
{
    // Registered with the page, not with its dialog; held until the page goes.
    classesHeld_ = acquireEditorClasses(ds::gModule);
}

EqualizerPropertyPage::~EqualizerPropertyPage()
{
    // A frame may release the page without deactivating or disconnecting it first.
    destroyDialog();
    if (model_.control())
        OnDisconnect();
    editor_.close();
    if (classesHeld_)
        releaseEditorClasses(ds::gModule);
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
    // The editor's own size at the display scale, whatever the dialog font makes of the template.
    const Scale scale = editor_.sizingScale();
    return fillPageInfo(info, SIZE{layout::editorWidth(scale), layout::editorHeight(scale)});
}

HRESULT STDMETHODCALLTYPE EqualizerPropertyPage::Help(LPCOLESTR)
{
    showManual(dialog(), HelpSource::kModulePath, ds::gModule);
    return S_OK;
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
        // The editor came up without a filter: it opens now, with the filter's values.
        model_.setEditorOpen(true);
        registerNotices(window);
        editor_.modelConnected();
    }
    return S_OK;
}

HRESULT EqualizerPropertyPage::OnDisconnect()
{
    if (!model_.control())
        return E_UNEXPECTED;
    unregisterNotices();
    if (dialog()) {
        editor_.modelDisconnecting();
        model_.setEditorOpen(false);
    }
    model_.disconnect();
    return S_OK;
}

void EqualizerPropertyPage::registerNotices(HWND window)
{
    unregisterNotices();
    IEqualizerControl* control = model_.control();
    if (control && SUCCEEDED(control->SetNotifyWindow(window, kPageNotifyCommand)))
        noticeWindow_ = window;
}

void EqualizerPropertyPage::unregisterNotices()
{
    if (noticeWindow_ && model_.control())
        model_.control()->SetNotifyWindow(noticeWindow_, 0);
    noticeWindow_ = nullptr;
}

INT_PTR EqualizerPropertyPage::OnReceiveMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        editor_.attach(window);
        registerNotices(window);
        return FALSE;  // the editor has given the focus to its own button
    case WM_DESTROY:
        unregisterNotices();
        editor_.detach();
        return FALSE;
    case WM_COMMAND:
        // The filter's notice, from no control: the editor hears it as its own request.
        if (LOWORD(wParam) == kPageNotifyCommand && lParam == 0) {
            editor_.onNotice(HIWORD(wParam) == kNoticeSettingsLoaded ? Editor::Notice::kSettingsReplaced
                                                                     : Editor::Notice::kFormatChanged);
            return TRUE;
        }
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (!editor_.handleMessage(window, message, wParam, lParam, &result))
        return FALSE;
    return dialogResult(window, message, result);
}

}  // namespace qv
