// The editor on a high-DPI desktop: the size a host is told and the window it gets follow the
// desktop's scale, and the editor as it first appears there is the editor a full repaint shows. Each
// DPI runs in a fresh copy of this program (DesktopDpi.h), which runs only EditorAtScale.InThisProcess.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../dshow/TestPage.h"
#include "../support/DesktopDpi.h"
#include "../support/FirstPaint.h"
#include "PluginContract.h"
#include "PluginHost.h"

using namespace qvtest;

namespace {

const char kVariable[] = "QV_SCALE_CHILD";  // "width height" the child expects

}  // namespace

TEST(EditorAtScale, InThisProcess)
{
    QVTEST_ONLY_IN_COPY(kVariable, "EditorAtScale.SizeAndFirstPaintFollowTheDesktop");
    int width = 0, height = 0;
    ASSERT_EQ(std::sscanf(std::getenv(kVariable), "%d %d", &width, &height), 2);

    qv::PluginHost host;
    std::string error;
    ASSERT_TRUE(host.load(qv::kVstFileName, error)) << error;
    host.dispatch(vst::effOpen);
    // Asked before the first open, as hosts do, and again after it.
    for (int pass = 0; pass < 2; ++pass) {
        vst::ERect* rect = nullptr;
        host.dispatch(vst::effEditGetRect, 0, 0, &rect);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, width) << "pass " << pass;
        EXPECT_EQ(rect->bottom - rect->top, height) << "pass " << pass;
        HWND frame = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                     width + 40, height + 60, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(host.dispatch(vst::effEditOpen, 0, 0, frame), 1);
        HWND editor = GetWindow(frame, GW_CHILD);
        ASSERT_NE(editor, nullptr);
        RECT client{};
        GetClientRect(editor, &client);
        EXPECT_EQ(client.right, width);
        EXPECT_EQ(client.bottom, height);
        pumpFor(700);
        EXPECT_EQ(repaintChanges(frame, "vst-scale-" + std::to_string(width)), 0);
        host.dispatch(vst::effEditClose);
        DestroyWindow(frame);
    }

    // The filter's page: the size it asks its frame for, and its first paint in a frame of that size.
    qv::Ole ole;
    qv::Page p;
    ASSERT_TRUE(p.page && p.filter);
    IPropertyPage* page = p.page;
    PROPPAGEINFO info{};
    info.cb = sizeof info;
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);
    EXPECT_EQ(info.size.cx, width);
    EXPECT_EQ(info.size.cy, height);
    HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                 width + 40, height + 60, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(p.connect(), S_OK);
    const RECT r{0, 0, width, height};
    EXPECT_EQ(page->Activate(frame, &r, TRUE), S_OK);
    EXPECT_EQ(page->Show(SW_SHOW), S_OK);
    pumpFor(700);
    EXPECT_EQ(repaintChanges(frame, "page-scale-" + std::to_string(width)), 0);
    page->Deactivate();
    page->SetObjects(0, nullptr);
    DestroyWindow(frame);
}

TEST(EditorAtScale, SizeAndFirstPaintFollowTheDesktop)
{
    QVTEST_NOT_IN_COPY(kVariable);
    const struct {
        int dpi;
        const char* size;
    } cases[] = {{96, "506 411"}, {144, "759 617"}, {192, "1012 822"}};
    for (const auto& c : cases)
        EXPECT_EQ(runAtDpi(kVariable, c.size, c.dpi, "EditorAtScale.InThisProcess"), 0) << "LogPixels " << c.dpi;
}
