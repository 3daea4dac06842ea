#pragma once
// A property page for an OLE property frame: the page's child dialog, its site and the
// IPropertyPage contract. A derived page answers GetPageInfo and fills in the hooks.

#include <windows.h>
#include <ocidl.h>

#include "ComBase.h"

namespace qv::ds {

class CBasePropertyPage : public CUnknown, public IPropertyPage {
public:
    CBasePropertyPage(IUnknown* outer, int dialogId, int titleId);
    ~CBasePropertyPage() override;

    QV_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IPropertyPage
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE Show(UINT command) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
    // Pages of ours hand every edit to their object at once: nothing ever waits for Apply.
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return E_NOTIMPL; }

protected:
    // Hooks. OnConnect gets the object of SetObjects, OnDisconnect answers SetObjects with none.
    virtual HRESULT OnConnect(IUnknown*) { return S_OK; }
    virtual HRESULT OnDisconnect() { return S_OK; }
    virtual HRESULT OnActivate() { return S_OK; }
    virtual HRESULT OnDeactivate() { return S_OK; }
    virtual HRESULT OnApplyChanges() { return S_OK; }
    // The dialog procedure; returns what a dialog procedure returns.
    virtual INT_PTR OnReceiveMessage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    // What a dialog procedure returns for a handled message with this result.
    static INT_PTR dialogResult(HWND window, UINT message, LRESULT result);
    // Fills `info` with the title string resource and `size`; the caller frees the title.
    HRESULT fillPageInfo(PROPPAGEINFO* info, SIZE size) const;
    // The page's dialog, null while not active.
    HWND dialog() const { return dialog_; }
    // A derived page calls it from its destructor, while its hooks still run.
    void destroyDialog();

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    int dialogId_;
    int titleId_;
    ComPtr<IPropertyPageSite> site_;
    HWND dialog_ = nullptr;
    bool connected_ = false;
};

}  // namespace qv::ds
