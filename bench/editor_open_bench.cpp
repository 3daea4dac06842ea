// Times the real VST DLL's editor: effEditOpen up to the first complete paint against creating and
// painting one plain 506x411 window with the background bitmap, and against the same window with as
// many children of a plain class as the editor has, in the editor's places (what any window of that
// shape costs); then a burst of all 35 parameters written by the host reaching the screen at the next
// idle against one full EQ graph repaint. Then the open to the first complete paint at 200 % against the
// same at 100 %, each in copies of this program started with the desktop at 192 and at 96 DPI, taken
// in turn twice so that both meet the same load on the machine.
// Run under Wine from the build's bin folder: wine-exec editor_bench.exe
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "VstInterface.h"
#include "WinTiming.h"
#include "editor/EditorLayout.h"
#include "win/PluginContract.h"
#include "win/ScopedWin.h"
#include "tests/support/DesktopDpi.h"

using namespace vst;

namespace {

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

VstIntPtr QV_VSTCALL callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

HBITMAP gBackground;

// A window that erases nothing and paints what `Paint` draws.
template <void (*Paint)(HDC, const RECT&)>
LRESULT CALLBACK paintingProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_ERASEBKGND)
        return 1;
    if (m != WM_PAINT)
        return DefWindowProcA(w, m, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    Paint(dc, ps.rcPaint);
    EndPaint(w, &ps);
    return 0;
}

// The plain editor: the background picture.
void paintBackground(HDC dc, const RECT&)
{
    qv::CompatibleDC src(dc);
    qv::SelectedObject selected(src.get(), gBackground);
    BitBlt(dc, 0, 0, qv::layout::kEditorW, qv::layout::kEditorH, src.get(), 0, 0, SRCCOPY);
}

// A plain child: one fill of its client area.
void paintFill(HDC dc, const RECT& area) { FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))); }

struct Place {
    int x, y, w, h;
};

// Where the editor's children are, relative to the editor.
int childPlaces(HWND editor, Place* places, int capacity)
{
    int n = 0;
    for (HWND c = GetWindow(editor, GW_CHILD); c && n < capacity; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&r), 2);
        places[n++] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    return n;
}

void firstPaint(HWND frame)
{
    RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump();
    GdiFlush();
}

AEffect* loadPlugin(HMODULE* plugin)
{
    *plugin = LoadLibraryA(qv::kVstFileName);
    auto entry = *plugin ? reinterpret_cast<AEffect*(QV_VSTCALL*)(AudioMasterCallback)>(
                               reinterpret_cast<void*>(GetProcAddress(*plugin, "main")))
                         : nullptr;
    AEffect* e = entry ? entry(callback) : nullptr;
    if (!e)
        std::fprintf(stderr, "cannot load the plug-in\n");
    return e;
}

constexpr char kScaleVariable[] = "QV_BENCH_AT_SCALE";
constexpr int kRounds = 40;

// A copy at the desktop's DPI: the editor opened to its first complete paint in a host window of the
// size the plug-in asks for. At 200 % its bottom 54 rows (background only) lie beyond Wine's 768-row
// screen and are not drawn. Prints "width height wall-seconds processor-seconds".
int openInThisProcess()
{
    HMODULE plugin = nullptr;
    AEffect* e = loadPlugin(&plugin);
    if (!e)
        return 1;
    ERect* rect = nullptr;
    e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0.0f);
    const int w = rect ? rect->right - rect->left : 0, h = rect ? rect->bottom - rect->top : 0;
    HWND frame = CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    double cpu = 0;
    const double open = perCall(
        kRounds,
        [&] {
            e->dispatcher(e, effEditOpen, 0, 0, frame, 0.0f);
            firstPaint(frame);
            e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
        },
        &cpu);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    DestroyWindow(frame);
    FreeLibrary(plugin);
    std::printf("%d %d %.9f %.9f\n", w, h, open, cpu);
    return 0;
}

struct ScaledOpen {
    int width = 0, height = 0;
    double wall = 1e30, cpu = 1e30;
};

// Runs a copy at `dpi`; keeps the best of its times and those already in `best`. False if it gave none.
bool openInCopy(DWORD dpi, ScaledOpen& best)
{
    std::string answer;
    ScaledOpen got;
    if (!qvtest::LogPixels::set(dpi) || qvtest::runChild(kScaleVariable, "1", "", 300000, &answer) != 0 ||
        std::sscanf(answer.c_str(), "%d %d %lf %lf", &got.width, &got.height, &got.wall, &got.cpu) != 4)
        return false;
    best.width = got.width;
    best.height = got.height;
    best.wall = got.wall < best.wall ? got.wall : best.wall;
    best.cpu = got.cpu < best.cpu ? got.cpu : best.cpu;
    return true;
}

void compareScales()
{
    qvtest::LogPixels restore;
    ScaledOpen at100, at200;
    for (int pass = 0; pass < 2; ++pass)
        if (!openInCopy(96, at100) || !openInCopy(192, at200)) {
            std::printf("editor open at 200 %%: a copy at 96 or 192 DPI gave no answer\n");
            return;
        }
    std::printf("editor open to first paint at 200 %% (%dx%d) against 100 %% (%dx%d), fresh processes:\n", at200.width,
                at200.height, at100.width, at100.height);
    std::printf("  %-30s %8.3f ms   %8.3f ms   ratio %.2f\n", "by the wall clock", at200.wall * 1e3, at100.wall * 1e3,
                at200.wall / at100.wall);
    std::printf("  %-30s %8.3f ms   %8.3f ms   ratio %.2f\n", "by processor time", at200.cpu * 1e3, at100.cpu * 1e3,
                at200.cpu / at100.cpu);
}

}  // namespace

int main()
{
    if (std::getenv(kScaleVariable))
        return openInThisProcess();
    HMODULE plugin = nullptr;
    AEffect* e = loadPlugin(&plugin);
    if (!e)
        return 1;
    HINSTANCE self = GetModuleHandleA(nullptr);
    HWND frame = CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, qv::layout::kEditorW,
                                 qv::layout::kEditorH, nullptr, nullptr, self, nullptr);
    gBackground =
        static_cast<HBITMAP>(LoadImageA(plugin, MAKEINTRESOURCEA(102), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    WNDCLASSA wc{};
    wc.lpfnWndProc = paintingProc<paintBackground>;
    wc.hInstance = self;
    wc.lpszClassName = "PlainBackground";
    RegisterClassA(&wc);
    wc.lpfnWndProc = paintingProc<paintFill>;
    wc.lpszClassName = "PlainChild";
    RegisterClassA(&wc);

    Place places[128];
    e->dispatcher(e, effEditOpen, 0, 0, frame, 0.0f);
    const int children = childPlaces(GetWindow(frame, GW_CHILD), places, 128);
    e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
    pump();

    const int n = kRounds;
    const double plain = perCall(n, [&] {
        HWND w = CreateWindowExA(0, "PlainBackground", "", WS_CHILD | WS_VISIBLE, 0, 0, qv::layout::kEditorW,
                                 qv::layout::kEditorH, frame, nullptr, self, nullptr);
        UpdateWindow(w);
        GdiFlush();
        DestroyWindow(w);
    });
    // The same shape of window of plain classes: created hidden, filled, shown, painted.
    auto createPlain = [&] {
        HWND w = CreateWindowExA(0, "PlainBackground", "", WS_CHILD | WS_CLIPCHILDREN, 0, 0, qv::layout::kEditorW,
                                 qv::layout::kEditorH, frame, nullptr, self, nullptr);
        for (int i = 0; i < children; ++i)
            CreateWindowExA(0, "PlainChild", "", WS_CHILD | WS_VISIBLE, places[i].x, places[i].y, places[i].w,
                            places[i].h, w, nullptr, self, nullptr);
        ShowWindow(w, SW_SHOWNA);
        return w;
    };
    // Processor times too: on a busy machine the wall clock's best round still counts others' turns.
    double cpuPlain = 0, cpuOpen = 0, cpuPlainMade = 0, cpuEditorMade = 0;
    const double plainChildren = perCall(
        n,
        [&] {
            HWND w = createPlain();
            firstPaint(frame);
            DestroyWindow(w);
        },
        &cpuPlain);
    const double open = perCall(
        n,
        [&] {
            e->dispatcher(e, effEditOpen, 0, 0, frame, 0.0f);
            firstPaint(frame);
            e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
        },
        &cpuOpen);

    // What the parts cost: the same without the paint.
    const double plainMade = perCall(
        n, [&] { DestroyWindow(createPlain()); }, &cpuPlainMade);
    const double editorMade = perCall(
        n,
        [&] {
            e->dispatcher(e, effEditOpen, 0, 0, frame, 0.0f);
            e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
        },
        &cpuEditorMade);
    e->dispatcher(e, effEditOpen, 0, 0, frame, 0.0f);
    firstPaint(frame);
    HWND graph = GetDlgItem(GetWindow(frame, GW_CHILD), 20000);
    const double graphPaint = perCall(n, [&] {
        RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
    });
    int round = 0;
    const double burst = perCall(n, [&] {
        ++round;
        for (int i = 0; i < 35; ++i)
            e->setParameter(e, i, (round & 1) ? 0.45f : 0.55f);
        e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f);
        RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        pump();
        GdiFlush();
    });
    e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);

    std::printf("editor open to first paint   %8.3f ms   plain background window %8.3f ms   ratio %.2f\n", open * 1e3,
                plain * 1e3, open / plain);
    auto row = [](const char* what, double editor, double reference) {
        std::printf("  %-30s %8.3f ms   %8.3f ms   ratio %.2f\n", what, editor * 1e3, reference * 1e3,
                    editor / reference);
    };
    std::printf("editor against the same window with %d plain children:\n", children);
    row("open to first paint", open, plainChildren);
    row("  by processor time", cpuOpen, cpuPlain);
    row("creating and closing", editorMade, plainMade);
    row("  by processor time", cpuEditorMade, cpuPlainMade);
    // The first paint alone is a difference of two figures, each off by up to `noise`: shown, with its
    // ratio, only where both differences stand clear of twice that; else it can come out negative.
    auto difference = [&](const char* what, double editorWith, double editorWithout, double referenceWith,
                          double referenceWithout, double noise) {
        const double editor = editorWith - editorWithout, reference = referenceWith - referenceWithout;
        if (editor > 2 * noise && reference > 2 * noise)
            row(what, editor, reference);
        else if (noise > 0)
            std::printf("  %-30s not told apart: a difference within %.3f ms, the figures' resolution\n", what,
                        2 * noise * 1e3);
        else
            std::printf("  %-30s not told apart: a difference at or below zero\n", what);
    };
    // The best round by the wall clock is read to well under a microsecond; the processor time of a
    // call is only good to one step of the processor clock over the calls made.
    const double processorStep = threadTimeStep() / n;
    difference("the first paint (the rest)", open, editorMade, plainChildren, plainMade, 0);
    difference("  by processor time", cpuOpen, cpuEditorMade, cpuPlain, cpuPlainMade, processorStep);
    std::printf("automation burst to screen   %8.3f ms   full EQ graph repaint   %8.3f ms   ratio %.2f\n", burst * 1e3,
                graphPaint * 1e3, burst / graphPaint);
    DestroyWindow(frame);
    DeleteObject(gBackground);
    FreeLibrary(plugin);
    compareScales();
    return 0;
}
