// Times a full repaint of a 471x140 EQ graph with six active bands and a 12x144 meter update,
// against a BitBlt of the graph's area as the reference; the graph's repaint at 200 % (942x280)
// as a ratio to the one at 100 %; and at both scales the repaint with the analyzer's input and output
// traces of the demo signal as a ratio to the one without. Run under Wine: wine-exec controls_bench.exe
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "BandDesign.h"
#include "DemoSignal.h"
#include "GraphMath.h"
#include "FrequencyAnalyzer.h"
#include "controls/Skin.h"
#include "editor/EditorLayout.h"
#include "WinTiming.h"

using namespace qv;

namespace {

// Cookbook peaking biquad, enough to give the curve real work.
BandRecord peak(double f0, double gainDb, double q)
{
    const double A = std::pow(10.0, gainDb / 40.0), w = 2 * 3.14159265358979 * f0 / 44100.0;
    const double alpha = std::sin(w) / (2 * q), a0 = 1 + alpha / A;
    return BandRecord{static_cast<float>((1 + alpha * A) / a0),
                      static_cast<float>(-2 * std::cos(w) / a0),
                      static_cast<float>((1 - alpha * A) / a0),
                      static_cast<float>(2 * std::cos(w) / a0),
                      static_cast<float>(-(1 - alpha / A) / a0),
                      static_cast<float>(f0),
                      static_cast<float>(gainDb * 10),
                      1,
                      0,
                      0,
                      static_cast<float>(q * 10),
                      0};
}

// An analyzer on a graph's axes that has taken a second of the demo signal (its input and, a little
// quieter, as its output): both traces as they stand while music plays.
void feedDemo(FrequencyAnalyzer& analyzer, HWND graph, Scale scale)
{
    RECT c;
    GetClientRect(graph, &c);
    analyzer.configure(44100.0f, makeGraphAxes(c.right, c.bottom, 44100.0f, 20, scale), true);
    const std::vector<float> demo = makeDemoSignal(44100, 1.0);
    const size_t frames = demo.size() / 2;
    std::vector<float> l(frames), r(frames), ol(frames), orr(frames);
    for (size_t i = 0; i < frames; ++i) {
        l[i] = demo[2 * i];
        r[i] = demo[2 * i + 1];
        ol[i] = 0.7f * l[i];
        orr[i] = 0.7f * r[i];
    }
    for (size_t at = 0; at < frames; at += 1470) {
        const uint32_t n = static_cast<uint32_t>(std::min<size_t>(1470, frames - at));
        analyzer.feed(ol.data() + at, orr.data() + at, l.data() + at, r.data() + at, n);
        analyzer.frame(n / 44100.0f);
    }
}

}  // namespace

int main()
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    RegisterSkinClasses(inst);
    HWND top = CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, qv::layout::kEditorW,
                               qv::layout::kEditorH, nullptr, nullptr, inst, nullptr);
    HDC screen = GetDC(nullptr);
    HBITMAP background = CreateCompatibleBitmap(screen, qv::layout::kEditorW, qv::layout::kEditorH);
    ReleaseDC(nullptr, screen);
    HWND graph = CreateWindowExA(0, "qv:EQGraph", nullptr, WS_CHILD | WS_VISIBLE, qv::layout::kGraph.x,
                                 qv::layout::kGraph.y, qv::layout::kGraph.w, qv::layout::kGraph.h, top,
                                 reinterpret_cast<HMENU>(20000), inst, background);
    BandRecord bands[6] = {peak(60, 4, 0.7),  peak(200, -6, 1.4), peak(1000, 6, 2),
                           peak(2500, -3, 4), peak(6000, 5, 1),   peak(12000, -8, 0.5)};
    SendMessageA(graph, EQ_SETBANDS, reinterpret_cast<WPARAM>(bands), 6);
    SendMessageA(graph, EQ_SETSAMPLERATE, 44100, 0);

    std::vector<uint8_t> unlit(12 * 144 * 4, 0), lit(12 * 144 * 4, 0);
    for (size_t i = 0; i < lit.size(); i += 4)
        lit[i + 1] = 255;
    HWND meter = CreateWindowExA(0, "qv:Meter", nullptr, WS_CHILD | WS_VISIBLE | 0x0009, 432, 210, 12, 144, top,
                                 reinterpret_cast<HMENU>(20030), inst, nullptr);
    SendMessageA(meter, MT_SETSPRITES, reinterpret_cast<WPARAM>(unlit.data()), reinterpret_cast<LPARAM>(lit.data()));
    SendMessageA(meter, MT_SETRANGE, static_cast<WPARAM>(-600), 0);

    const double graphFirst = [&] {
        const double t0 = benchNow();
        SendMessageA(graph, EQ_SETSAMPLERATE, 48000, 0);  // discards the tables: a first paint again
        RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return benchNow() - t0;
    }();
    double graphProcessor = 0.0;
    const double graphPaint = perCall(
        2000, [&] { RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }, &graphProcessor);
    // The same graph at 200 %, in a window of the editor's size at that scale.
    HDC screen2 = GetDC(nullptr);
    HBITMAP background2 = CreateCompatibleBitmap(screen2, 942, 280);
    ReleaseDC(nullptr, screen2);
    HWND top2 = CreateWindowExA(0, "STATIC", "bench 200", WS_POPUP | WS_VISIBLE, 0, 0, 1012, 822, nullptr, nullptr,
                                inst, nullptr);
    HWND graph2 = CreateWindowExA(0, "qv:EQGraph", nullptr, WS_CHILD | WS_VISIBLE, 34, 90, 942, 280, top2,
                                  reinterpret_cast<HMENU>(20000), inst, background2);
    SendMessageA(graph2, QV_SETSCALE, 200, 0);
    SendMessageA(graph2, EQ_SETBANDS, reinterpret_cast<WPARAM>(bands), 6);
    SendMessageA(graph2, EQ_SETSAMPLERATE, 44100, 0);
    RedrawWindow(graph2, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const double graphPaint200 =
        perCall(2000, [&] { RedrawWindow(graph2, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });
    // The analyzer's traces behind the curve, at both scales, in the same run as the repaints without.
    FrequencyAnalyzer analyzer100, analyzer200;
    feedDemo(analyzer100, graph, kScale100);
    feedDemo(analyzer200, graph2, kScale200);
    SendMessageA(graph, EQ_SETANALYZER, reinterpret_cast<WPARAM>(&analyzer100), 0);
    SendMessageA(graph2, EQ_SETANALYZER, reinterpret_cast<WPARAM>(&analyzer200), 0);
    const double analyzerPaint =
        perCall(2000, [&] { RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });
    const double analyzerPaint200 =
        perCall(2000, [&] { RedrawWindow(graph2, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); });
    SendMessageA(graph, EQ_SETANALYZER, 0, 0);
    DestroyWindow(top2);
    DeleteObject(background2);
    int level = -300;
    const double meterUpdate = perCall(2000, [&] {
        level = level > -20 ? -600 : level + 37;
        SendMessageA(meter, MT_SETLEVELS, static_cast<WPARAM>(level), 0);
    });
    HDC gdc = GetDC(graph);
    HDC mem = CreateCompatibleDC(gdc);
    HBITMAP area = CreateCompatibleBitmap(gdc, qv::layout::kGraph.w, qv::layout::kGraph.h);
    HGDIOBJ old = SelectObject(mem, area);
    double copyProcessor = 0.0;
    const double copy = perCall(
        20000,
        [&] {
            BitBlt(gdc, 0, 0, qv::layout::kGraph.w, qv::layout::kGraph.h, mem, 0, 0, SRCCOPY);
            GdiFlush();
        },
        &copyProcessor);
    SelectObject(mem, old);
    DeleteObject(area);
    DeleteDC(mem);
    ReleaseDC(graph, gdc);

    printf("reference: BitBlt 471x140          %9.1f us\n", copy * 1e6);
    printf("EQ graph first paint (tables)      %9.1f us\n", graphFirst * 1e6);
    printf("EQ graph full repaint, 6 bands     %9.1f us  (%.1f x reference)\n", graphPaint * 1e6, graphPaint / copy);
    printf("  the same in processor time       %9.1f us  (%.1f x reference's %.1f us)\n", graphProcessor * 1e6,
           graphProcessor / copyProcessor, copyProcessor * 1e6);
    printf("EQ graph full repaint at 200 %%    %9.1f us  (%.2f x the repaint at 100 %%)\n", graphPaint200 * 1e6,
           graphPaint200 / graphPaint);
    printf("EQ graph with the analyzer         %9.1f us  (%.2f x the repaint without)\n", analyzerPaint * 1e6,
           analyzerPaint / graphPaint);
    printf("  the same at 200 %%               %9.1f us  (%.2f x the repaint without at 200 %%)\n",
           analyzerPaint200 * 1e6, analyzerPaint200 / graphPaint200);
    printf("meter update 12x144                %9.1f us  (%.1f x reference)\n", meterUpdate * 1e6, meterUpdate / copy);
    DestroyWindow(top);
    DeleteObject(background);
    return 0;
}
