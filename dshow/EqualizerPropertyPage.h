#pragma once
// The filter's property page: dialog IDD_EQUALIZER_PAGE with the editor as its dialog procedure, reaching the
// filter only through its IEqualizerControl. The dialog is registered with the filter for its notices (WM_COMMAND
// 32700) while it exists and the page is connected.

#include <windows.h>

#include "Editor.h"
#include "FilterModel.h"
#include "base/PropertyPage.h"
#include "resources/editor_ids.h"

namespace qv {

class EqualizerPropertyPage final : public ds::CBasePropertyPage {
public:
    static constexpr int kDialogId = IDD_EQUALIZER_PAGE;
    static constexpr int kTitleId = 1;

    static ds::CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    ~EqualizerPropertyPage() override;

    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
    // The manual beside this DLL, over the page; a warning when it cannot be shown.
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override;

protected:
    HRESULT OnConnect(IUnknown* object) override;
    HRESULT OnDisconnect() override;
    INT_PTR OnReceiveMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    explicit EqualizerPropertyPage(IUnknown* outer);
    void registerNotices(HWND window);
    void unregisterNotices();

    FilterModel model_;
    Editor editor_;                // after the model: it closes before the model goes
    HWND noticeWindow_ = nullptr;  // the dialog as registered with the filter
    bool classesHeld_ = false;
};

}  // namespace qv
