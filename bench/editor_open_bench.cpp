// Times the real VST DLL's editor: effEditOpen up to the first complete paint against creating and
// painting one plain 506x411 window with the background bitmap, and a burst of all 35 parameters
// written by the host reaching the screen at the next idle against one full EQ graph repaint.
// Run under Wine from the build's bin folder: wine-exec editor_bench.exe
#include <windows.h>

#include <cstdio>

#include "VstInterface.h"
#include "WinTiming.h"

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

LRESULT CALLBACK plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_ERASEBKGND)
        return 1;
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        HDC src = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(src, gBackground);
        BitBlt(dc, 0, 0, 506, 411, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

}  // namespace

int main()
{
    HMODULE plugin = LoadLibraryA("Zorvath qvEqualizer R3.dll");
    auto entry = plugin ? reinterpret_cast<AEffect*(QV_VSTCALL*)(AudioMasterCallback)>(
                              reinterpret_cast<void*>(GetProcAddress(plugin, "main")))
                        : nullptr;
    AEffect* e = entry ? entry(callback) : nullptr;
    if (!e) {
        std::fprintf(stderr, "cannot load the plug-in\n");
        return 1;
    }
    HINSTANCE self = GetModuleHandleA(nullptr);
    HWND frame =
        CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 506, 411, nullptr, nullptr, self, nullptr);
    gBackground =
        static_cast<HBITMAP>(LoadImageA(plugin, MAKEINTRESOURCEA(102), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    WNDCLASSA wc{};
    wc.lpfnWndProc = plainProc;
    wc.hInstance = self;
    wc.lpszClassName = "PlainBackground";
    RegisterClassA(&wc);

    const int n = 40;
    const double plain = perCall(n, [&] {
        HWND w = CreateWindowExA(0, "PlainBackground", "", WS_CHILD | WS_VISIBLE, 0, 0, 506, 411, frame, nullptr, self,
                                 nullptr);
        UpdateWindow(w);
        GdiFlush();
        DestroyWindow(w);
    });
    const double open = perCall(n, [&] {
        e->dispatcher(e, effEditOpen, 0, 0, frame, 0.0f);
        RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        pump();
        GdiFlush();
        e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f);
    });

    double t0 = benchNow();
    e->dispatcher(e, effEditOpen, 0, 0, frame, 0.0f);
    const double openCall = benchNow() - t0;
    t0 = benchNow();
    RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump();
    std::printf("of which effEditOpen %.3f ms, first paint %.3f ms\n", openCall * 1e3, (benchNow() - t0) * 1e3);
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
    std::printf("automation burst to screen   %8.3f ms   full EQ graph repaint   %8.3f ms   ratio %.2f\n", burst * 1e3,
                graphPaint * 1e3, burst / graphPaint);
    DestroyWindow(frame);
    DeleteObject(gBackground);
    FreeLibrary(plugin);
    return 0;
}
