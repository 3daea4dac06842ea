#include "PropertyPage.h"

#include <cstring>

#include "ClassFactory.h"

namespace qv::ds {

CBasePropertyPage::CBasePropertyPage(IUnknown* outer, int dialogId, int titleId)
    : CUnknown(outer), dialogId_(dialogId), titleId_(titleId)
{}

CBasePropertyPage::~CBasePropertyPage()
{
    // The derived page has ended its dialog already; this only covers a page that did not.
    if (HWND left = dialog_) {
        dialog_ = nullptr;
        SetWindowLongPtrW(left, DWLP_USER, 0);
        DestroyWindow(left);
    }
}

HRESULT STDMETHODCALLTYPE CBasePropertyPage::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IPropertyPage))
        return GetInterface(static_cast<IPropertyPage*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CBasePropertyPage::SetPageSite(IPropertyPageSite* site)
{
    if (site && site_)
        return E_UNEXPECTED;
    site_.reset(site);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePropertyPage::Activate(HWND parent, LPCRECT rect, BOOL)
{
    if (!rect)
        return E_POINTER;
    if (!parent || !IsWindow(parent))
        return E_INVALIDARG;
    if (dialog_)
        return E_UNEXPECTED;
    HWND window =
        CreateDialogParamW(gModule, MAKEINTRESOURCEW(dialogId_), parent, dialogProc, reinterpret_cast<LPARAM>(this));
    if (!window)
        return E_OUTOFMEMORY;
    dialog_ = window;
    const HRESULT hr = OnActivate();
    if (FAILED(hr)) {
        destroyDialog();
        return hr;
    }
    return Move(rect);
}

HRESULT STDMETHODCALLTYPE CBasePropertyPage::Deactivate()
{
    if (!dialog_)
        return E_UNEXPECTED;
    const HRESULT hr = OnDeactivate();
    destroyDialog();
    return hr;
}

HRESULT STDMETHODCALLTYPE CBasePropertyPage::SetObjects(ULONG count, IUnknown** objects)
{
    if (count == 0) {
        connected_ = false;
        return OnDisconnect();
    }
    if (!objects || !objects[0])
        return E_POINTER;
    // One filter per page: the page edits one engine.
    if (count > 1)
        return E_INVALIDARG;
    const HRESULT hr = OnConnect(objects[0]);
    connected_ = SUCCEEDED(hr);
    return hr;
}

HRESULT STDMETHODCALLTYPE CBasePropertyPage::Show(UINT command)
{
    if (!dialog_)
        return E_UNEXPECTED;
    if (command != SW_SHOW && command != SW_SHOWNORMAL && command != SW_SHOWNA && command != SW_HIDE)
        return E_INVALIDARG;
    ShowWindow(dialog_, static_cast<int>(command));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePropertyPage::Move(LPCRECT rect)
{
    if (!rect)
        return E_POINTER;
    if (!dialog_)
        return E_UNEXPECTED;
    MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePropertyPage::Apply() { return connected_ ? OnApplyChanges() : E_UNEXPECTED; }

INT_PTR CBasePropertyPage::dialogResult(HWND window, UINT message, LRESULT result)
{
    switch (message) {
    // These few return their result directly; every other goes through DWLP_MSGRESULT.
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return static_cast<INT_PTR>(result);
    default:
        SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

HRESULT CBasePropertyPage::fillPageInfo(PROPPAGEINFO* info, SIZE size) const
{
    if (!info)
        return E_POINTER;
    // With a zero length LoadString hands out the resource's own text, which is not terminated.
    const WCHAR* text = nullptr;
    const int length = LoadStringW(gModule, static_cast<UINT>(titleId_), reinterpret_cast<LPWSTR>(&text), 0);
    const size_t chars = text && length > 0 ? static_cast<size_t>(length) : 0;
    auto* title = static_cast<WCHAR*>(CoTaskMemAlloc((chars + 1) * sizeof(WCHAR)));
    if (!title)
        return E_OUTOFMEMORY;
    if (chars)
        std::memcpy(title, text, chars * sizeof(WCHAR));
    title[chars] = L'\0';
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = title;
    info->size = size;
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

void CBasePropertyPage::destroyDialog()
{
    if (HWND window = dialog_) {
        dialog_ = nullptr;
        DestroyWindow(window);
    }
}

INT_PTR CALLBACK CBasePropertyPage::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* page = reinterpret_cast<CBasePropertyPage*>(GetWindowLongPtrW(window, DWLP_USER));
    // Only the first WM_INITDIALOG, the one CreateDialogParam sends, carries our page.
    if (message == WM_INITDIALOG && !page && lParam) {
        page = reinterpret_cast<CBasePropertyPage*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        page->dialog_ = window;
    }
    if (!page)
        return FALSE;
    // The host may release the page from inside a message (a timer while a menu is open): the
    // page lives until the message returns.
    page->NonDelegatingAddRef();
    const INT_PTR result = page->OnReceiveMessage(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        if (page->dialog_ == window)
            page->dialog_ = nullptr;
    }
    page->NonDelegatingRelease();
    return result;
}

}  // namespace qv::ds
