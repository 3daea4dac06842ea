// The editor moved to a display of another DPI while open: it lays itself out again at the new scale,
// asks the host for the new size, and keeps what the user had. Under Wine a window made while its
// thread is DPI-unaware has 96 DPI and one made while it is aware has the desktop's, so a fresh copy
// of this program on a 192-DPI desktop (DesktopDpi.h) moves the editor between two such frames and
// tells it, as the system does, with WM_DPICHANGED_AFTERPARENT. Opened straight into either frame, it
// asks the host for the size it was built at where that is not the size the host was told.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "../dshow/TestPage.h"
#include "../support/DesktopDpi.h"
#include "../support/FirstPaint.h"
#include "../support/WindowPixels.h"
#include "PluginContract.h"
#include "PluginHost.h"

using namespace qvtest;

namespace {

const char kVariable[] = "QV_DPI_CHANGE_CHILD";
constexpr int kGraphId = 20000, kUndoId = 20011, kPresetsId = 20015, kFlatId = 20022;

using SetContextFn = HANDLE(WINAPI*)(HANDLE);
using GetDpiFn = UINT(WINAPI*)(HWND);
const HANDLE kUnaware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

template <typename Fn>
Fn user32(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

HWND frame(const char* title)
{
    return CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1060, 900,
                           nullptr, nullptr, nullptr, nullptr);
}

SIZE clientSize(HWND w)
{
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right, r.bottom};
}

void click(HWND control)
{
    qv::click(control);
    pumpFor(100);
}

std::vector<float> parameters(vst::AEffect* e)
{
    std::vector<float> v;
    for (int i = 0; i < e->numParams; ++i)
        v.push_back(e->getParameter(e, i));
    return v;
}

// Moves the open editor into `to` and tells it, as the system tells a child whose top-level window
// changed DPI (or, `tell` false, as a host that does not pass that on); then lets it paint.
void moveEditor(HWND editor, HWND to, bool tell = true)
{
    SetParent(editor, to);
    if (tell)
        SendMessageA(editor, kDpiChangedAfterParent, 0, 0);
    pumpFor(300);
}

// A move made while a menu is open, from a timer, which then closes the menu with Escape.
struct MoveUnderMenu {
    HWND editor, to;
    size_t requestsUnderMenu;
} gMove;

void CALLBACK moveUnderMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu) || !gMove.editor)
        return;
    SetParent(gMove.editor, gMove.to);
    SendMessageA(gMove.editor, kDpiChangedAfterParent, 0, 0);
    gMove.requestsUnderMenu = qv::PluginHost::s_sizeRequests.size();
    gMove.editor = nullptr;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(menu, WM_KEYUP, VK_ESCAPE, 0xC0000000);
}

// What the editor shows once its queued paints are done, with no repaint forced.
struct Shown {
    std::vector<uint32_t> pixels;
    int width = 0;
    bool operator==(const Shown& o) const { return pixels == o.pixels && width == o.width; }
};
Shown shown(HWND editor)
{
    pumpFor(300);
    Shown s;
    s.pixels = qv::windowPixels(editor, &s.width);
    return s;
}

// Where two pictures of one size differ: the box around every pixel that changed.
std::string whereDiffers(const Shown& a, const Shown& b)
{
    if (a.width != b.width || a.pixels.size() != b.pixels.size() || a.width <= 0)
        return "sizes differ";
    int left = a.width, top = INT_MAX, right = -1, bottom = -1, count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        if (a.pixels[i] == b.pixels[i])
            continue;
        const int x = static_cast<int>(i % static_cast<size_t>(a.width)), y = static_cast<int>(i / a.width);
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        ++count;
    }
    return std::to_string(count) + " pixels in " + std::to_string(left) + "," + std::to_string(top) + " .. " +
           std::to_string(right) + "," + std::to_string(bottom);
}

}  // namespace

// A host sizes its frame by the size asked before open, the desktop's; opened in a frame of another
// DPI, the editor asks for the size it was built at, and answers it from then on.
TEST(EditorAtScale, OpenAtAnotherScaleInThisProcess)
{
    QVTEST_ONLY_IN_COPY(kVariable, "EditorAtScale.FollowsItsHostToAnotherDisplay");
    const auto setContext = user32<SetContextFn>("SetThreadDpiAwarenessContext");
    ASSERT_TRUE(setContext);
    qv::PluginHost host;
    std::string error;
    ASSERT_TRUE(host.load(qv::kVstFileName, error)) << error;
    host.dispatch(vst::effOpen);
    const auto askedRect = [&host] {
        vst::ERect* rect = nullptr;
        host.dispatch(vst::effEditGetRect, 0, 0, &rect);
        return rect ? SIZE{rect->right - rect->left, rect->bottom - rect->top} : SIZE{-1, -1};
    };
    ASSERT_EQ(askedRect().cx, 1012) << "the desktop's 200 %";
    qv::PluginHost::s_sizeRequests.clear();

    // Opens the editor in `parent`: built `width` wide, it has asked the host for its size as the
    // `requests`-th request and answers that size from then on.
    const auto openAndCheck = [&](HWND parent, int width, size_t requests) {
        ASSERT_EQ(host.dispatch(vst::effEditOpen, 0, 0, parent), 1);
        HWND editor = GetWindow(parent, GW_CHILD);
        ASSERT_NE(editor, nullptr);
        const SIZE built = clientSize(editor);
        EXPECT_EQ(built.cx, width);
        ASSERT_EQ(qv::PluginHost::s_sizeRequests.size(), requests);
        EXPECT_EQ(qv::PluginHost::s_sizeRequests.back().cx, built.cx);
        EXPECT_EQ(qv::PluginHost::s_sizeRequests.back().cy, built.cy);
        EXPECT_EQ(askedRect().cx, built.cx);
        EXPECT_EQ(askedRect().cy, built.cy);
    };
    const HANDLE before = setContext(kUnaware);
    HWND low = frame("96 DPI");
    openAndCheck(low, 506, 1u);
    host.dispatch(vst::effEditClose);

    // Told 100 % now, opened in a frame at the desktop's 200 %: asked again, the other way.
    setContext(kPerMonitorAware);
    HWND high = frame("192 DPI");
    openAndCheck(high, 1012, 2u);
    // Opened again at the size the host has, it asks nothing.
    host.dispatch(vst::effEditClose);
    ASSERT_EQ(host.dispatch(vst::effEditOpen, 0, 0, high), 1);
    EXPECT_EQ(qv::PluginHost::s_sizeRequests.size(), 2u);
    host.dispatch(vst::effEditClose);
    DestroyWindow(high);
    setContext(kUnaware);
    DestroyWindow(low);
    setContext(before);
}

TEST(EditorAtScale, DpiChangeInThisProcess)
{
    QVTEST_ONLY_IN_COPY(kVariable, "EditorAtScale.FollowsItsHostToAnotherDisplay");
    const auto setContext = user32<SetContextFn>("SetThreadDpiAwarenessContext");
    const auto dpiOf = user32<GetDpiFn>("GetDpiForWindow");
    ASSERT_TRUE(setContext && dpiOf);
    // Wine maps sizes between a window's DPI and its thread's: each frame is handled while the thread
    // has the awareness it was made with, as its host would.
    setContext(kPerMonitorAware);
    HWND high = frame("192 DPI");
    setContext(kUnaware);
    HWND low = frame("96 DPI");
    ASSERT_EQ(dpiOf(low), 96u);
    ASSERT_EQ(dpiOf(high), 192u);

    qv::PluginHost host;
    std::string error;
    ASSERT_TRUE(host.load(qv::kVstFileName, error)) << error;
    vst::AEffect* e = host.effect();
    host.dispatch(vst::effOpen);
    ASSERT_EQ(host.dispatch(vst::effEditOpen, 0, 0, low), 1);
    HWND editor = GetWindow(low, GW_CHILD);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(clientSize(editor).cx, 506);
    pumpFor(300);  // the first ticks after opening take their own undo step

    // What the user had: every band selected by a rubber band over the whole graph, values from the
    // host, and an undo step from the editor ("Flat" after the host lifted band 2).
    HWND graph = GetDlgItem(editor, kGraphId);
    SendMessageA(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(graph, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(468, 137));
    SendMessageA(graph, WM_LBUTTONUP, 0, MAKELPARAM(468, 137));
    // The pointer then leaves for the Flat button. Told here, not by the system's own leave check,
    // which runs on a timer and would take the read-out away before or after the picture below.
    SendMessageA(graph, WM_MOUSELEAVE, 0, 0);
    const int bandGain = 30;  // band 2, a peak
    e->setParameter(e, bandGain, 0.75f);
    const float lifted = e->getParameter(e, bandGain);
    click(GetDlgItem(editor, kFlatId));
    const std::vector<float> flat = parameters(e);
    ASSERT_NE(flat[bandGain], lifted);
    const Shown before = shown(editor);

    qv::PluginHost::s_sizeRequests.clear();
    setContext(kPerMonitorAware);
    moveEditor(editor, high);
    EXPECT_EQ(GetParent(editor), high);
    EXPECT_EQ(clientSize(editor).cx, 1012);
    EXPECT_EQ(clientSize(editor).cy, 822);
    RECT graphPlace{};
    GetWindowRect(GetDlgItem(editor, kGraphId), &graphPlace);
    MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&graphPlace), 2);
    EXPECT_EQ(graphPlace.left, 34);
    EXPECT_EQ(graphPlace.right - graphPlace.left, 942);
    ASSERT_EQ(qv::PluginHost::s_sizeRequests.size(), 1u);
    EXPECT_EQ(qv::PluginHost::s_sizeRequests[0].cx, 1012);
    EXPECT_EQ(qv::PluginHost::s_sizeRequests[0].cy, 822);
    vst::ERect* rect = nullptr;
    host.dispatch(vst::effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 1012);
    EXPECT_EQ(parameters(e), flat);
    // Laid out again, it is the editor an open at this scale shows: its first paint complete.
    EXPECT_EQ(repaintChanges(editor, "dpi-change-200"), 0);

    // The same DPI again changes nothing; back at 96, untold (its tick notices), the editor is what it
    // was, pixel for pixel (values, selection, lamps), and the undo step taken before the moves still
    // undoes "Flat".
    SendMessageA(editor, kDpiChangedAfterParent, 0, 0);
    EXPECT_EQ(qv::PluginHost::s_sizeRequests.size(), 1u);
    setContext(kUnaware);
    moveEditor(editor, low, false);
    EXPECT_EQ(clientSize(editor).cx, 506);
    EXPECT_EQ(qv::PluginHost::s_sizeRequests.size(), 2u);
    const Shown after = shown(editor);
    EXPECT_TRUE(after == before) << "the editor at 100 % after 200 % differs from before: "
                                 << whereDiffers(before, after);
    click(GetDlgItem(editor, kUndoId));
    EXPECT_EQ(e->getParameter(e, bandGain), lifted);

    // Told while its Presets menu is open, the editor keeps the controls the menu hangs on and follows
    // once the menu has closed.
    setContext(kPerMonitorAware);
    gMove = {editor, high, 0};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, moveUnderMenu);
    click(GetDlgItem(editor, kPresetsId));  // returns when the menu has closed
    KillTimer(nullptr, timer);
    EXPECT_EQ(gMove.requestsUnderMenu, 2u) << "re-laid out under its open menu";
    pumpFor(300);
    EXPECT_EQ(clientSize(editor).cx, 1012);
    EXPECT_EQ(qv::PluginHost::s_sizeRequests.size(), 3u);

    host.dispatch(vst::effEditClose);

    // The filter's page, its controls attached to the page's own dialog, follows its frame the same way.
    qv::Ole ole;
    qv::Page p;
    ASSERT_TRUE(p.page && p.filter);
    IPropertyPage* page = p.page;
    EXPECT_EQ(p.connect(), S_OK);
    const RECT r{0, 0, 506, 411};
    EXPECT_EQ(page->Activate(low, &r, TRUE), S_OK);
    EXPECT_EQ(page->Show(SW_SHOW), S_OK);
    HWND dialog = GetWindow(low, GW_CHILD);
    ASSERT_NE(dialog, nullptr);
    pumpFor(300);
    setContext(kPerMonitorAware);
    moveEditor(dialog, high);
    EXPECT_EQ(clientSize(dialog).cx, 1012);
    EXPECT_EQ(clientSize(dialog).cy, 822);
    EXPECT_EQ(repaintChanges(dialog, "dpi-change-page-200"), 0);
    // A page not shown (another page in front of it) changes its scale without showing itself.
    EXPECT_EQ(page->Show(SW_HIDE), S_OK);
    setContext(kUnaware);
    moveEditor(dialog, low);
    EXPECT_EQ(clientSize(dialog).cx, 506);
    EXPECT_FALSE(IsWindowVisible(dialog));
    page->Deactivate();
    page->SetObjects(0, nullptr);
    DestroyWindow(high);
    DestroyWindow(low);
}

TEST(EditorAtScale, FollowsItsHostToAnotherDisplay)
{
    QVTEST_NOT_IN_COPY(kVariable);
    EXPECT_EQ(runAtDpi(kVariable, "1", 192,
                       "EditorAtScale.OpenAtAnotherScaleInThisProcess:EditorAtScale.DpiChangeInThisProcess"),
              0);
}
