// The editor's other windows as they first appear: the filter's property page in the system's
// property frame and in a frame of a host's own, the Preset Manager and the small preset dialogs.
// Each, once open and its messages run, must already show what a full repaint shows.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>

#include "../dshow/DllServer.h"
#include "../presets/PresetTestEnv.h"
#include "../support/FirstPaint.h"
#include "PageFrame.h"
#include "PresetDialogs.h"
#include "resources/editor_ids.h"

using namespace qvtest;

namespace {

constexpr DWORD kSettle = 700;

}  // namespace

TEST(PageFirstPaint, SystemFrameAndAHostsOwnFrame)
{
    qv::Ole ole;
    qv::Server server;
    ASSERT_NE(server.module, nullptr);
    IUnknown* filter = nullptr;
    ASSERT_EQ(server.create(nullptr, IID_IUnknown, reinterpret_cast<void**>(&filter)), S_OK);
    const DWORD cookie = qv::serveClassInProcess(server.module, CLSID_qvEqualizerPropertyPage);
    ASSERT_NE(cookie, 0u);

    bool ran = false;
    qv::showPropertyFrame(filter, IDC_PAGE_CLIP_LEFT, [&](HWND frame, HWND page) {
        ran = true;
        qv::pumpMessages(kSettle);
        EXPECT_EQ(repaintChanges(frame, "page-system-frame"), 0);
        EXPECT_EQ(repaintChanges(page, "page-system-frame-page"), 0);
    });
    EXPECT_TRUE(ran);

    // A host's own frame: Activate into a visible window, then Show.
    IPropertyPage* page = nullptr;
    ASSERT_EQ(server.create(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page), CLSID_qvEqualizerPropertyPage),
              S_OK);
    HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 30, 30, 540,
                                 460, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(page->SetObjects(1, &filter), S_OK);
    const RECT r{0, 0, 506, 411};
    EXPECT_EQ(page->Activate(frame, &r, TRUE), S_OK);
    EXPECT_EQ(page->Show(SW_SHOW), S_OK);
    pumpFor(kSettle);
    EXPECT_EQ(repaintChanges(frame, "page-own-frame"), 0);
    page->Deactivate();
    page->SetObjects(0, nullptr);
    page->Release();
    DestroyWindow(frame);

    CoRevokeClassObject(cookie);
    filter->Release();
}

class PresetDialogFirstPaint : public PresetEnv {
protected:
    // Runs `open` (a modal dialog); once the dialog has been up for a while it is checked and
    // cancelled with `cancelId`.
    void check(const char* name, int cancelId, const std::function<void()>& open)
    {
        DWORD seen = 0;
        bool checked = false;
        qv::WindowWatch watch(L"#32770", nullptr, [&](HWND dialog) {
            if (!seen)
                seen = GetTickCount();
            if (GetTickCount() - seen < kSettle)
                return false;
            EXPECT_EQ(repaintChanges(dialog, name), 0) << name;
            checked = true;
            PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(cancelId), 0);
            return true;
        });
        open();
        EXPECT_TRUE(checked) << name;
    }
};

TEST_F(PresetDialogFirstPaint, ManagerAndSmallDialogs)
{
    ASSERT_TRUE(CopyFileA(qv::kPresetFileName, presetPath().c_str(), FALSE));
    auto store = openStore();
    ASSERT_GT(store->working().count(), 0);
    check("preset-manager", 1514, [&] { qv::runPresetManager(*store); });
    check("preset-add", IDCANCEL, [&] { qv::runAddPreset(*store, owner); });
    check("preset-rename", IDCANCEL, [&] { qv::runRenameDialog(*store, owner); });
    std::string bank;
    check("preset-new-bank", IDCANCEL, [&] { qv::runNewBankDialog(*store, owner, bank); });
}
