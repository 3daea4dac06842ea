// EQ graph protocol with real windows: selection by click, Ctrl+click and rubber band, drags with
// their limits, Shift+drag, the wheel, double-click, capture loss, and the drawn grid, curve and handles.
#include <gtest/gtest.h>

#include <cmath>

#include "BandDesign.h"
#include "GraphMath.h"
#include "ScaleMath.h"
#include "WindowTestSupport.h"

using namespace qv;
using namespace qvtest;

namespace {

struct GraphFixture : ControlFixture {
    BandRecord bands[6];
    HWND graph;
    GraphAxes axes;
    // The editor's graph, at a display scale.
    explicit GraphFixture(Scale scale = kScale100)
        : axes(makeGraphAxes(scalePx(471, scale), scalePx(140, scale), 44100.0f, 20, scale))
    {
        const float freqs[6] = {50, 200, 1000, 3000, 8000, 15000};
        for (int i = 0; i < 6; ++i)
            bands[i] = BandRecord{1, 0, 0, 0, 0, freqs[i], 0, 1, 0, 0, 10, 0};
        graph = create("qv:EQGraph", nullptr, 20000, scale == kScale100 ? 17 : 0, scale == kScale100 ? 45 : 0,
                       scalePx(471, scale), scalePx(140, scale));
        SendMessageA(graph, QV_SETSCALE, static_cast<WPARAM>(percentOf(scale)), 0);
        SendMessageA(graph, EQ_SETSAMPLERATE, 44100, 0);
        SendMessageA(graph, EQ_SETBANDS, reinterpret_cast<WPARAM>(bands), 6);
    }
    LPARAM handle(int n) { return at(graphX(axes, bands[n].frequency), graphY(axes, bands[n].gain)); }
    void click(int n, WPARAM keys = 0)
    {
        SendMessageA(graph, WM_LBUTTONDOWN, MK_LBUTTON | keys, handle(n));
        SendMessageA(graph, WM_LBUTTONUP, keys, handle(n));
    }
    int selectedMask()
    {
        int m = 0;
        for (int i = 0; i < 6; ++i)
            if (bands[i].selected != 0.0f)
                m |= 1 << i;
        return m;
    }
    int count(UINT msg)
    {
        pump();
        int c = 0;
        for (const Note& n : notes())
            c += n.msg == msg;
        return c;
    }
};

}  // namespace

TEST(EqGraph, ClickCtrlClickAndEmptyClick)
{
    GraphFixture f;
    f.click(2);
    EXPECT_EQ(f.selectedMask(), 0b000100);
    EXPECT_EQ(GetFocus(), f.graph);
    f.click(4, MK_CONTROL);
    EXPECT_EQ(f.selectedMask(), 0b010100);
    // Pressing a band of the selection keeps the group until the release without motion.
    SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, f.handle(2));
    EXPECT_EQ(f.selectedMask(), 0b010100);
    SendMessageA(f.graph, WM_LBUTTONUP, 0, f.handle(2));
    EXPECT_EQ(f.selectedMask(), 0b000100);
    EXPECT_EQ(f.count(EQN_RELEASED), 3);
    // Empty space clears the selection and starts a rubber band.
    SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, at(20, 10));
    EXPECT_EQ(f.selectedMask(), 0);
    EXPECT_EQ(GetCapture(), f.graph);
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(300, 100));  // over bands 1 to 3 (x 49 .. 268)
    EXPECT_EQ(f.selectedMask(), 0b000111);
    SendMessageA(f.graph, WM_TIMER, 1, 0);
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(900, 900));  // corner limited to the window
    EXPECT_EQ(f.selectedMask(), 0b111111);
    SendMessageA(f.graph, WM_LBUTTONUP, 0, at(900, 900));
    EXPECT_NE(GetCapture(), f.graph);
    EXPECT_EQ(f.selectedMask(), 0b111111);
}

TEST(EqGraph, DragMovesTheSelectionAndReports)
{
    GraphFixture f;
    f.bands[2].gain = 170;
    f.bands[3].gain = 0;
    f.bands[2].selected = f.bands[3].selected = 1;
    const LPARAM p = f.handle(2);
    const int x = LOWORD(p), y = HIWORD(p);
    f.notes().clear();
    SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, p);
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(x + 3, y - 20));
    EXPECT_EQ(f.bands[2].gain, 180.0f);  // the group stops at +18 dB
    EXPECT_EQ(f.bands[3].gain, 10.0f);
    EXPECT_EQ(f.bands[2].frequency, 1020.0f);
    EXPECT_EQ(f.bands[3].frequency, 3061.0f);  // trunc(10^(3477 + 9) / 1000)
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_SHIFT | MK_LBUTTON, at(x + 13, y - 20));
    EXPECT_EQ(f.bands[2].q, 110.0f);  // Shift: Q by 10 * 10, gains stay
    EXPECT_EQ(f.bands[2].gain, 180.0f);
    SendMessageA(f.graph, WM_LBUTTONUP, 0, at(x + 13, y - 20));
    EXPECT_EQ(f.count(EQN_CHANGED), 2);
    EXPECT_EQ(f.count(EQN_RELEASED), 1);
    EXPECT_EQ(f.selectedMask(), 0b001100);  // moved: the group stays selected
    EXPECT_EQ(f.notes()[0].wp, 0u);
}

TEST(EqGraph, AtTwiceTheScaleTheSamePhysicalGesturesChangeTheSameValues)
{
    // One gesture at 100 % in pixels, the same hand motion at 200 % in twice as many.
    auto gesture = [](GraphFixture& f, int k) {
        f.bands[2].gain = 100;
        const LPARAM p = f.handle(2);
        const int x = LOWORD(p), y = HIWORD(p);
        SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, at(x + 4 * k, y - 4 * k));  // near the edge of the box
        EXPECT_NE(f.bands[2].selected, 0.0f) << k;
        for (int i = 1; i <= 3; ++i)
            SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(x + 4 * k + 2 * i * k, y - 4 * k - 5 * i * k));
        SendMessageA(f.graph, WM_MOUSEMOVE, MK_SHIFT | MK_LBUTTON, at(x + 4 * k + 10 * k, y - 4 * k - 15 * k));
        SendMessageA(f.graph, WM_LBUTTONUP, 0, at(x + 4 * k + 10 * k, y - 4 * k - 15 * k));
        SendMessageA(f.graph, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    };
    GraphFixture one, two(kScale200);
    gesture(one, 1);
    gesture(two, 2);
    for (int n = 0; n < 6; ++n) {
        EXPECT_EQ(one.bands[n].frequency, two.bands[n].frequency) << n;
        EXPECT_EQ(one.bands[n].gain, two.bands[n].gain) << n;
        EXPECT_EQ(one.bands[n].q, two.bands[n].q) << n;
        EXPECT_EQ(one.bands[n].selected, two.bands[n].selected) << n;
    }
    EXPECT_EQ(one.bands[2].gain, 115.0f);  // it did move
    // The hit box is 20 pixels square: a press 10 pixels right of the centre misses. (Band 2 stands
    // away from the grid lines, inside the test's parent window.)
    two.bands[1].frequency = 300;
    two.bands[1].gain = 90;
    two.click(5);
    const LPARAM p = two.handle(1);
    const int hx = LOWORD(p), hy = HIWORD(p);
    SendMessageA(two.graph, WM_LBUTTONDOWN, MK_LBUTTON, at(hx + 10, hy));
    SendMessageA(two.graph, WM_LBUTTONUP, 0, at(hx + 10, hy));
    EXPECT_EQ(two.selectedMask(), 0);
    // Handles are 17 pixels across, from the 200 % sheet.
    int width = 0;
    std::vector<uint32_t> px = two.pixels(two.graph, &width);
    auto dark = [&](int x, int y) {
        const uint32_t c = px[y * width + x];
        return (c & 0xFF) < 0x50 && ((c >> 8) & 0xFF) < 0x50 && ((c >> 16) & 0xFF) < 0x50;
    };
    EXPECT_TRUE(dark(hx - 8, hy) && dark(hx + 8, hy) && dark(hx, hy - 8) && dark(hx, hy + 8));  // the rim
    EXPECT_FALSE(dark(hx - 10, hy) || dark(hx + 10, hy) || dark(hx, hy - 10) || dark(hx, hy + 10));
}

TEST(EqGraph, WheelDoubleClickAndRightClick)
{
    GraphFixture f;
    f.bands[1].selected = 1;
    f.bands[1].type = 1;
    SendMessageA(f.graph, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(f.bands[1].q, 11.0f);
    EXPECT_EQ(f.count(EQN_CHANGED), 1);
    EXPECT_EQ(f.count(EQN_RELEASED), 1);
    EXPECT_EQ(f.notes()[0].wp, 1u);
    f.notes().clear();
    f.bands[1].selected = 0;
    SendMessageA(f.graph, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(f.count(EQN_CHANGED), 0);  // nothing selected: nothing to report
    SendMessageA(f.graph, WM_LBUTTONDBLCLK, MK_LBUTTON, f.handle(4));
    EXPECT_NE(GetCapture(), f.graph);  // no drag
    f.pump();
    ASSERT_EQ(f.notes().size(), 1u);
    EXPECT_EQ(f.notes()[0].msg, EQN_DBLCLK);
    EXPECT_EQ(f.notes()[0].wp, 20000u);
    EXPECT_EQ(f.notes()[0].lp, 5);
    f.notes().clear();
    SendMessageA(f.graph, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, at(33, 44));
    f.pump();
    ASSERT_EQ(f.notes().size(), 1u);
    EXPECT_EQ(f.notes()[0].msg, EQN_RCLICK);
    EXPECT_EQ(static_cast<LPARAM>(f.notes()[0].wp), at(33, 44));
    EXPECT_EQ(f.notes()[0].lp, MK_RBUTTON | MK_SHIFT);
}

TEST(EqGraph, RangeAndWithoutRecords)
{
    ControlFixture f;
    HWND g = f.create("qv:EQGraph", nullptr, 20000, 17, 45, 471, 140);
    EXPECT_EQ(SendMessageA(g, EQ_GETRANGE, 0, 0), 20);
    SendMessageA(g, EQ_SETRANGE, 40, 6);
    EXPECT_EQ(SendMessageA(g, EQ_GETRANGE, 0, 0), 40);
    SendMessageA(g, WM_LBUTTONDOWN, MK_LBUTTON, at(100, 70));  // no records: nothing happens
    EXPECT_NE(GetCapture(), g);
    // A range or step of 0 or less is refused: the previous range stays.
    SendMessageA(g, EQ_SETRANGE, 0, 0);
    EXPECT_EQ(SendMessageA(g, EQ_GETRANGE, 0, 0), 40);
    SendMessageA(g, EQ_SETRANGE, 10, 0);
    EXPECT_EQ(SendMessageA(g, EQ_GETRANGE, 0, 0), 40);
    SendMessageA(g, EQ_SETRANGE, static_cast<WPARAM>(-5), 1);
    EXPECT_EQ(SendMessageA(g, EQ_GETRANGE, 0, 0), 40);
    SendMessageA(g, EQ_SETRANGE, 5, 1);
    EXPECT_EQ(SendMessageA(g, EQ_GETRANGE, 0, 0), 5);
}

namespace {

// Pixels of a 9x9 strip cell that differ from the graph's at (x0, y0); magenta ones are transparent.
int cellMismatches(const std::vector<uint32_t>& px, HDC strip, int column, int row, int x0, int y0)
{
    int bad = 0;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c) {
            const COLORREF k = GetPixel(strip, column * 10 + c, row * 10 + r);
            if (k == RGB(255, 0, 255))
                continue;
            const uint32_t want = (GetRValue(k) << 16) | (GetGValue(k) << 8) | GetBValue(k);
            bad += rgb(px[(y0 + r) * 471 + x0 + c]) != want;
        }
    return bad;
}

}  // namespace

TEST(EqGraph, DrawsGridCurveAndHandles)
{
    GraphFixture f;
    f.bands[1].selected = 1;  // on, selected: row 3
    f.bands[3].enabled = 0;   // off: row 0
    // An off band over an on one: the off ones are drawn first, so the on handle shows.
    f.bands[5].frequency = f.bands[4].frequency;
    f.bands[5].enabled = 0;
    RedrawWindow(f.graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<uint32_t> px = f.pixels(f.graph);
    auto pix = [&](int x, int y) { return rgb(px[y * 471 + x]); };
    // The curve of neutral bands is the white centre line; the +6 dB grid line is at y = 50.
    EXPECT_EQ(pix(120, 70), 0xFFFFFFu);
    EXPECT_EQ(pix(120, 50), 0x4B7595u);                     // COLORREF 0x95754B read back as RGB
    EXPECT_EQ(pix(120, 30), 0x4B7595u);                     // +12 dB: 70 - 816 / 20
    EXPECT_EQ(pix(120, 110), 0x4B7595u);                    // -12 dB
    EXPECT_EQ(pix(graphX(f.axes, 500.0f), 40), 0x4B7595u);  // vertical line at 500 Hz
    EXPECT_EQ(pix(120, 0), 0x336699u);  // outside the inner rectangle only the background (fixture's)
    // No grid line runs through a label: the gain lines start right of the label column, and the
    // frequency labels stand above the -18 dB line, which would cross the bottom row.
    for (int x = 0; x < 20; ++x)
        for (int y : {30, 50, 110, 131})
            EXPECT_NE(pix(x, y), 0x4B7595u) << "gain line in the label column at " << x << "," << y;
    EXPECT_EQ(pix(22, 131), 0x4B7595u);
    int labelInk = 0;
    for (int y = 132; y < 138; ++y)
        for (int x = graphX(f.axes, 62.5f) + 2; x < graphX(f.axes, 125.0f); ++x)
            labelInk += pix(x, y) == 0x253A49u;
    EXPECT_EQ(labelInk, 0) << "the 62 Hz label sits in the bottom row under the -18 dB line";
    for (int y = 118; y < 131; ++y)
        for (int x = graphX(f.axes, 62.5f) + 2; x < graphX(f.axes, 125.0f); ++x)
            labelInk += pix(x, y) == 0x253A49u;
    EXPECT_GT(labelInk, 0) << "the 62 Hz label stands right of its line, above the -18 dB line";

    // Each handle is its band's cell of the strip, in the row of its state, centred on (x, y).
    HBITMAP strip = LoadSkinBitmap(GetModuleHandleA(nullptr), 119, nullptr);
    ASSERT_NE(strip, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, strip);
    struct {
        int band, row;
    } expected[] = {{1, 3}, {2, 2}, {3, 0}, {4, 2}};
    for (const auto& e : expected) {
        const int x = graphX(f.axes, f.bands[e.band].frequency), y = graphY(f.axes, f.bands[e.band].gain);
        EXPECT_EQ(cellMismatches(px, mem, e.band, e.row, x - 4, y - 4), 0) << "band " << e.band;
        EXPECT_GT(cellMismatches(px, mem, e.band, e.row, x - 1, y - 4), 0) << "band " << e.band;
        for (int other = 0; other < 4; ++other)  // a swapped row would show
            if (other != e.row) {
                EXPECT_GT(cellMismatches(px, mem, e.band, other, x - 4, y - 4), 0) << e.band << " row " << other;
            }
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(strip);
}

TEST(EqGraph, RubberBandCornerStaysInsideTheInnerRectangle)
{
    GraphFixture f;
    // The corner stops at (W - 1, B - 1) = (468, 137); handles count within 4 pixels of it.
    auto frequencyAt = [&](int x) {
        float fr = 16000.0f;
        while (graphX(f.axes, fr) < x)
            fr += 1.0f;
        return fr;
    };
    auto gainAt = [&](int y) {
        float g = 0.0f;
        while (graphY(f.axes, g) < y)
            g -= 1.0f;
        return g;
    };
    f.bands[4].frequency = frequencyAt(472);  // inside
    f.bands[5].frequency = frequencyAt(473);  // outside
    f.bands[3].gain = gainAt(141);            // inside
    f.bands[2].gain = gainAt(142);            // outside
    ASSERT_EQ(graphX(f.axes, f.bands[5].frequency), 473);
    ASSERT_EQ(graphY(f.axes, f.bands[2].gain), 142);
    SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, at(20, 10));
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(900, 900));
    EXPECT_EQ(f.selectedMask(), 0b011011);
    SendMessageA(f.graph, WM_LBUTTONUP, 0, at(900, 900));
}

TEST(EqGraph, DragCapsFrequenciesAtTheCurrentSampleRate)
{
    GraphFixture f;
    SendMessageA(f.graph, EQ_SETSAMPLERATE, 48000, 0);
    const GraphAxes a48 = makeGraphAxes(471, 140, 48000.0f, 20);
    f.bands[5].frequency = 20000.0f;
    const int x = graphX(a48, 20000.0f), y = graphY(a48, 0.0f);
    SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
    ASSERT_EQ(f.selectedMask(), 0b100000);
    // The stream drops to 44.1 kHz mid-drag: the log ceiling stays (23999 Hz), the cap follows the rate.
    SendMessageA(f.graph, EQ_SETSAMPLERATE, 44100, 0);
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(x + 9, y));
    EXPECT_EQ(f.bands[5].frequency, 22049.0f);
    SendMessageA(f.graph, WM_LBUTTONUP, 0, at(x + 9, y));
}

TEST(EqGraph, LosingTheCaptureEndsTheGestureOnly)
{
    GraphFixture f;
    f.bands[2].selected = f.bands[4].selected = 1;
    POINT before;
    GetCursorPos(&before);
    // A band drag interrupted by another window taking the mouse.
    SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, f.handle(2));
    ASSERT_EQ(GetCapture(), f.graph);
    f.notes().clear();
    SetCapture(f.parent());
    EXPECT_EQ(GetCapture(), f.parent());    // not taken back
    EXPECT_EQ(f.selectedMask(), 0b010100);  // the group stays selected
    POINT after;
    GetCursorPos(&after);
    EXPECT_EQ(after.x, before.x);  // the pointer stays where it is
    EXPECT_EQ(after.y, before.y);
    const float frequency = f.bands[2].frequency;
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(400, 20));
    SendMessageA(f.graph, WM_LBUTTONUP, 0, at(400, 20));
    EXPECT_EQ(f.bands[2].frequency, frequency);  // no drag any more
    EXPECT_EQ(f.count(EQN_RELEASED), 1);
    EXPECT_EQ(f.count(EQN_CHANGED), 0);
    ReleaseCapture();

    // A rubber band likewise: the selection it made stays, later moves select nothing.
    SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, at(20, 10));
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(300, 100));
    ASSERT_EQ(f.selectedMask(), 0b000111);
    f.notes().clear();
    SetCapture(f.parent());
    EXPECT_EQ(GetCapture(), f.parent());
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(900, 900));
    EXPECT_EQ(f.selectedMask(), 0b000111);
    EXPECT_EQ(f.count(EQN_RELEASED), 1);
    ReleaseCapture();
}

TEST(EqGraph, NewSampleRateRebuildsTheCurvesTables)
{
    GraphFixture f;
    // A +12 dB peak designed at 44.1 kHz for 10 kHz (cookbook form); its handle is moved out of the way.
    const double kPi = 3.14159265358979323846;
    const double A = std::pow(10.0, 12.0 / 40.0), w = 2 * kPi * 10000.0 / 44100.0, alpha = std::sin(w) / 4.0;
    const double a0 = 1 + alpha / A;
    BandRecord& b = f.bands[3];
    b.b0 = static_cast<float>((1 + alpha * A) / a0);
    b.b1 = static_cast<float>(-2 * std::cos(w) / a0);
    b.b2 = static_cast<float>((1 - alpha * A) / a0);
    b.a1 = static_cast<float>(2 * std::cos(w) / a0);
    b.a2 = static_cast<float>(-(1 - alpha / A) / a0);
    b.gain = -150;
    auto top = [&](float rate, int* column) {
        const GraphAxes a = makeGraphAxes(471, 140, rate, 20);
        const std::vector<int> ys = responseCurve(a, makeFrequencyTables(a, rate), f.bands, 6);
        size_t k = 0;
        for (size_t i = 1; i < ys.size(); ++i)
            if (ys[i] < ys[k])
                k = i;
        *column = 2 + static_cast<int>(k);
        return ys[k];
    };
    auto whiteAt = [&](int x, int y) {
        RedrawWindow(f.graph, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return rgb(f.pixels(f.graph)[y * 471 + x]) == 0xFFFFFFu;
    };
    int x44, x48;
    const int y44 = top(44100.0f, &x44), y48 = top(48000.0f, &x48);
    ASSERT_NE(x44, x48);
    EXPECT_TRUE(whiteAt(x44, y44));
    SendMessageA(f.graph, EQ_SETSAMPLERATE, 48000, 0);
    EXPECT_TRUE(whiteAt(x48, y48));
    EXPECT_FALSE(whiteAt(x44, y44));
}

TEST(EqGraph, DragAtTheScreenEdgeWarpsWithoutAStep)
{
    GraphFixture f;
    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    const POINT centre{(desk.left + desk.right) / 2, (desk.top + desk.bottom) / 2};
    const float freq = f.bands[2].frequency, gain = f.bands[2].gain;
    const LPARAM start = f.handle(2);
    const int x = static_cast<short>(LOWORD(start)), y = static_cast<short>(HIWORD(start));
    // The moves are the test's own: those the system queues for the real pointer are dropped.
    const auto dropRealMoves = [&] {
        MSG m;
        while (PeekMessageA(&m, f.graph, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
        }
    };
    SendMessageA(f.graph, WM_LBUTTONDOWN, MK_LBUTTON, start);
    f.pump();
    f.notes().clear();
    // The pointer reached the screen edge: the move is ignored and the pointer jumps to the centre.
    SetCursorPos(desk.left, centre.y);
    dropRealMoves();
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(x - 60, y + 30));
    dropRealMoves();
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, centre.x);
    EXPECT_EQ(p.y, centre.y);
    // The move the jump causes only re-anchors; the next one steps again.
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(x + 90, y - 40));
    EXPECT_EQ(f.bands[2].frequency, freq);
    EXPECT_EQ(f.bands[2].gain, gain);
    SendMessageA(f.graph, WM_MOUSEMOVE, MK_LBUTTON, at(x + 90, y - 50));
    EXPECT_EQ(f.bands[2].frequency, freq);
    EXPECT_GT(f.bands[2].gain, gain);
    dropRealMoves();
    EXPECT_EQ(f.count(EQN_CHANGED), 1);
    SendMessageA(f.graph, WM_LBUTTONUP, 0, at(x + 90, y - 50));
}

TEST(EqGraph, WithoutBackgroundEachPaintStartsFromTheGridAlone)
{
    ControlFixture f;
    HWND g = CreateWindowExA(0, "qv:EQGraph", nullptr, WS_CHILD | WS_VISIBLE, 17, 45, 471, 140, f.parent(),
                             reinterpret_cast<HMENU>(20000), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(g, nullptr);
    // b0 = 1.5 lifts the whole curve by 3.5 dB, to y = 59, between grid lines.
    BandRecord band{1.5f, 0, 0, 0, 0, 1000, 0, 1, 0, 0, 10, 0};
    SendMessageA(g, EQ_SETBANDS, reinterpret_cast<WPARAM>(&band), 1);
    RedrawWindow(g, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(rgb(f.pixels(g)[59 * 471 + 120]), 0xFFFFFFu);
    band.b0 = 1.0f;  // flat again: the old curve must not stay behind
    RedrawWindow(g, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<uint32_t> px = f.pixels(g);
    EXPECT_NE(rgb(px[59 * 471 + 120]), 0xFFFFFFu);
    EXPECT_EQ(rgb(px[70 * 471 + 120]), 0xFFFFFFu);
    DestroyWindow(g);
}
