// "qv:EQGraph": the summed response of the bands over a log-frequency grid, with a handle per band
// that can be selected, rubber-banded and dragged; the band records are edited in place.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "GraphMath.h"
#include "GraphLayers.h"
#include "ScaleMath.h"
#include "ScaledArt.h"
#include "Skin.h"
#include "SkinInternal.h"

namespace qv {

namespace {

struct EqGraphState : ScaledState {
    std::unique_ptr<OffscreenDC> off;  // made at the first paint, at the size the client had then
    FrequencyTables tables;
    BandRecord* bands = nullptr;
    int count = 0;
    float sampleRate = 44100.0f;
    int range = 20;
    int gridStep = 6;
    int depth = 24;
    HBITMAP background = nullptr;
    int hovered = 0;
    int mode = 0;
    short anchorX = 0, anchorY = 0;
    short cornerX = 0, cornerY = 0;
    short phase = 0;
    bool skipNextMove = false, moved = false;
    uint32_t wheelTime = 0;
    MotionScaler motionX, motionY;  // drags move values as far per physical inch at every scale
    DragLimits limits;
    HCURSOR savedCursor = nullptr;
    std::unique_ptr<KeyedSheet> handleStrip;
    // Background and grid change only with these; between changes each paint copies them.
    std::unique_ptr<OffscreenDC> gridLayer;
    struct GridKey {
        int width = 0, height = 0, range = 0, step = 0;
        float sampleRate = 0.0f;
        Scale scale = kScale100;
        bool operator==(const GridKey& o) const
        {
            return width == o.width && height == o.height && range == o.range && step == o.step &&
                   sampleRate == o.sampleRate && scale == o.scale;
        }
    } gridKey;
    // The analyzer's traces, borrowed; drawn through a pixel window of their own so that the
    // output's fill blends over the backdrop.
    const FrequencyAnalyzer* analyzer = nullptr;
    std::unique_ptr<PixelWindow> canvas;
    int dragged = 0;         // 1-based band whose handle the press took, for its read-out (mode 1)
    bool pointerIn = false;  // the pointer's read-out is shown while it is over the graph
    short pointerX = 0, pointerY = 0;
};

GraphAxes axesOf(HWND w, const EqGraphState* s)
{
    RECT c = clientRect(w);
    return makeGraphAxes(c.right, c.bottom, s->sampleRate, s->range, s->scale);
}

// A label that stays readable where a grid line passes behind it: on a rich display it is first drawn
// one pixel around in the tone of the graph's lower part, which cuts the lines back from its strokes.
void drawLabel(HDC dc, const char* text, RECT r, UINT format, bool rich, COLORREF ink, int halo)
{
    if (rich) {
        SetTextColor(dc, 0xB69E84);
        for (int dy = -halo; dy <= halo; ++dy)
            for (int dx = -halo; dx <= halo; ++dx) {
                RECT o{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
                if (dx != 0 || dy != 0)
                    DrawTextA(dc, text, -1, &o, format);
            }
    }
    SetTextColor(dc, ink);
    DrawTextA(dc, text, -1, &r, format);
}

void drawGrid(HDC dc, const GraphAxes& a, const EqGraphState* s)
{
    Font font(CreateFontA(s->px(12), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    const bool rich = s->depth > 8;
    const COLORREF ink = rich ? 0x493A25 : 0;
    SetBkMode(dc, TRANSPARENT);
    // The gain labels stand in a column of their own at the left: the lines start beside it, so no
    // line runs through "0" or "-18".
    const int labelColumn = s->px(20), lineLeft = labelColumn + s->px(2), halo = s->px(1);
    // Grid lines two pixels wide at 200 %; at 150 % one, which reads as a hairline, as at 100 %.
    const int weight = s->scale == kScale200 ? 2 : 1;
    char label[16];
    const int step = s->gridStep;
    for (int g : gridGains(s->range, step)) {
        const int y = a.centre - (g * a.half) / (s->range != 0 ? s->range : 20);
        const COLORREF col = rich ? (g == 0 ? 0x5E4839 : 0x95754B) : (g == 0 ? 0 : 0x808080);
        for (int i = 0; i < weight; ++i)
            DrawLine(dc, lineLeft, y + i, a.width, y + i, col);
        snprintf(label, sizeof(label), "%d", g);
        drawLabel(dc, label, RECT{0, y - s->px(10), labelColumn, y + s->px(10)},
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP, false, ink, halo);
    }
    // The frequency labels stand just right of their lines (the last one that has no room there, left of
    // its line), along the bottom, or on the lowest gain line when that runs through the bottom row.
    const std::vector<int> gains = gridGains(s->range, step);
    int bottom = a.bottom;
    if (!gains.empty()) {
        const int lowest = a.centre - (gains.front() * a.half) / (s->range != 0 ? s->range : 20);
        if (a.bottom - lowest < s->px(12))
            bottom = lowest - 1;
    }
    for (float f : gridFrequencies(s->sampleRate)) {
        const int x = graphX(a, f);
        for (int i = 0; rich && i < weight; ++i)
            DrawLine(dc, x + i, a.top, x + i, a.bottom, 0x95754B);
        if (f >= 1000.0f)
            snprintf(label, sizeof(label), "%dk", static_cast<int>(f * 0.001f));
        else
            snprintf(label, sizeof(label), "%d", static_cast<int>(f));
        SIZE extent{};
        GetTextExtentPoint32A(dc, label, static_cast<int>(strlen(label)), &extent);
        const bool roomRight = x + s->px(2) + extent.cx <= a.width;
        const int top = bottom - s->px(20);
        const RECT r =
            roomRight ? RECT{x + s->px(2), top, x + s->px(42), bottom} : RECT{x - s->px(42), top, x - s->px(1), bottom};
        drawLabel(dc, label, r, (roomRight ? DT_LEFT : DT_RIGHT) | DT_BOTTOM | DT_SINGLELINE | DT_NOCLIP, rich, ink,
                  halo);
    }
}

void drawHandles(HDC dc, const GraphAxes& a, EqGraphState* s)
{
    if (!s->bands || s->count <= 0)
        return;
    // The strip, loaded and prepared for keyed drawing once, not at every paint.
    if (!s->handleStrip || !s->handleStrip->ok()) {
        const int id = scaledArtId(SKIN_SCALED_BMP_HANDLES, kHandleStripBitmap, s->scale);
        const Bitmap strip(LoadSkinBitmap(skinInstance(), id, nullptr));
        if (!strip)
            return;
        s->handleStrip = std::make_unique<KeyedSheet>(dc, strip.get(), 0xFF00FF);
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int n = 0; n < s->count; ++n) {
            const BandRecord& b = s->bands[n];
            const bool on = b.enabled != 0.0f;
            if (on != (pass == 1))
                continue;
            // The strip has six columns; further records reuse them rather than read past the strip.
            const int radius = graphHandleRadius(s->scale), side = 2 * radius + 1, pitch = side + 1;
            const int column = (n % 6) * pitch;
            const int row = pitch * ((b.selected != 0.0f ? 1 : 0) + (on ? 2 : 0));
            // Centred on (x, y), as the hit box and the pointer put back after a drag are.
            s->handleStrip->draw(dc, graphX(a, b.frequency) - radius, graphY(a, b.gain) - radius, column, row, side,
                                 side);
        }
    }
}

// The background picture with the grid over it, clipped to the inner rectangle.
void drawBackdrop(HDC dc, const RECT& c, const GraphAxes& a, const EqGraphState* s)
{
    blitBitmap(dc, 0, 0, c.right, c.bottom, s->background, 0, 0);
    const int frame = graphFrame(s->scale);
    IntersectClipRect(dc, frame, frame, c.right - frame, c.bottom - frame);
    drawGrid(dc, a, s);
    SelectClipRgn(dc, nullptr);
}

// The backdrop as last drawn, drawn again only when what it shows has changed; null if no bitmap
// could be made for it.
HDC backdropLayer(HDC reference, const RECT& c, const GraphAxes& a, EqGraphState* s)
{
    const EqGraphState::GridKey key{c.right, c.bottom, s->range, s->gridStep, s->sampleRate, s->scale};
    if (!s->gridLayer || !(s->gridKey == key)) {
        s->gridLayer = std::make_unique<OffscreenDC>(reference, c.right, c.bottom);
        s->gridKey = key;
        if (s->gridLayer->ok())
            drawBackdrop(s->gridLayer->dc(), c, a, s);
    }
    return s->gridLayer->ok() ? s->gridLayer->dc() : nullptr;
}

void drawCurve(HDC dc, const std::vector<int>& ys, Scale percent)
{
    std::vector<POINT> curve;
    for (const GraphPoint& p : curvePolyline(ys, graphFrame(percent)))
        curve.push_back(POINT{p.x, p.y});
    if (curve.empty())
        return;
    Pen pen(CreatePen(PS_SOLID, scalePx(1, percent), 0xFFFFFF));
    SelectedObject selected(dc, pen.get());
    Polyline(dc, curve.data(), static_cast<int>(curve.size()));
}

// While a handle is dragged, the band's values beside it; else the pointer's reading.
void drawReadouts(HDC dc, const RECT& c, const GraphAxes& a, EqGraphState* s)
{
    const int dragged = s->mode == 1 && s->bands && s->dragged >= 1 && s->dragged <= s->count ? s->dragged : 0;
    if (dragged)
        drawBandReadout(dc, c, a, dragged, s->bands[dragged - 1], s->scale);
    else if (s->mode == 0 && s->pointerIn)
        drawPointerReadout(dc, c, a, s->pointerX, s->pointerY, s->scale);
}

void draw(HWND w, HDC dc, const RECT& c, EqGraphState* s, PixelWindow* canvas)
{
    const GraphAxes a = axesOf(w, s);
    SelectClipRgn(dc, nullptr);
    if (HDC backdrop = backdropLayer(dc, c, a, s))
        BitBlt(dc, 0, 0, c.right, c.bottom, backdrop, 0, 0, SRCCOPY);
    else
        drawBackdrop(dc, c, a, s);
    const int frame = graphFrame(s->scale);
    IntersectClipRect(dc, frame, frame, c.right - frame, c.bottom - frame);
    if (canvas) {
        std::vector<GraphPoint> handles;
        for (int n = 0; n < s->count; ++n)
            handles.push_back(GraphPoint{graphX(a, s->bands[n].frequency), graphY(a, s->bands[n].gain)});
        drawAnalyzer(dc, *canvas, c, a, *s->analyzer, handles, s->scale);
    }
    if (s->tables.empty())
        s->tables = makeFrequencyTables(a, s->sampleRate);
    drawCurve(dc, responseCurve(a, s->tables, s->bands, s->count), s->scale);
    drawHandles(dc, a, s);
    drawReadouts(dc, c, a, s);
    SelectClipRgn(dc, nullptr);
}

// The graph keeps its off-screen bitmap between paints; the marching rectangle goes straight to the
// window, over the copy.
void paint(HWND w, EqGraphState* s)
{
    RECT c = clientRect(w);
    WindowDC wdc(w);
    if (!wdc)
        return;
    // With a trace to show the whole graph is drawn in the pixel window, without in the display's own
    // format; either way it reaches the window in one copy.
    PixelWindow* canvas =
        analyzerShown(axesOf(w, s), s->analyzer) ? keptOffscreen(s->canvas, wdc.get(), c.right, c.bottom) : nullptr;
    if (canvas && (canvas->width() != c.right || canvas->height() != c.bottom)) {
        s->canvas.reset();
        canvas = keptOffscreen(s->canvas, wdc.get(), c.right, c.bottom);
    }
    HDC target = nullptr;
    if (canvas) {
        target = canvas->dc();
    } else {
        const OffscreenDC* off = keptOffscreen(s->off, wdc.get(), c.right, c.bottom);
        if (!off)
            return;
        target = off->dc();
    }
    draw(w, target, c, s, canvas);
    BitBlt(wdc.get(), 0, 0, c.right, c.bottom, target, 0, 0, SRCCOPY);
    if (s->mode == 2)
        DrawMarchingRect(w, s->anchorX, s->anchorY, s->cornerX, s->cornerY, s->phase, wdc.get());
}

void repaint(HWND w, EqGraphState* s)
{
    InvalidateRect(w, nullptr, FALSE);
    paint(w, s);
    ValidateRect(w, nullptr);
}

void setCursor(HWND w, EqGraphState* s)
{
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(w, &p);
    s->hovered = graphHitTest(axesOf(w, s), s->bands, s->count, p.x, p.y);
    if (s->hovered)
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
    else
        SetCursor(LoadCursorA(skinInstance(), MAKEINTRESOURCEA(kGraphCursor)));
}

void deselectAll(EqGraphState* s)
{
    for (int n = 0; n < s->count; ++n)
        s->bands[n].selected = 0.0f;
}

void pointerMove(HWND w, EqGraphState* s, LPARAM lp)
{
    const short x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    if (s->pointerIn && x == s->pointerX && y == s->pointerY)
        return;
    if (!s->pointerIn) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, w, 0};
        TrackMouseEvent(&track);
    }
    s->pointerIn = true;
    s->pointerX = x;
    s->pointerY = y;
    repaint(w, s);
}

void press(HWND w, EqGraphState* s, WPARAM wp, LPARAM lp, bool doubleClick)
{
    if (!s->bands || s->count <= 0)
        return;
    SetFocus(w);
    // The press point decides, as the pointer test before it would have: messages may be synthesised.
    s->hovered =
        graphHitTest(axesOf(w, s), s->bands, s->count, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
    const int h = s->hovered >= 1 && s->hovered <= s->count ? s->hovered : 0;
    if (!(wp & MK_CONTROL) && !(h && s->bands[h - 1].selected != 0.0f))
        deselectAll(s);
    if (h) {
        s->bands[h - 1].selected = 1.0f;
        if (doubleClick) {
            PostMessageA(GetParent(w), EQN_DBLCLK, GetDlgCtrlID(w), h);
            repaint(w, s);
            return;
        }
        s->mode = 1;
        s->dragged = h;
    } else {
        s->mode = 2;
        s->phase = 0;
        SetTimer(w, 1, 100, nullptr);
    }
    s->limits = beginDrag(s->bands, s->count, s->sampleRate);
    s->anchorX = s->cornerX = static_cast<short>(LOWORD(lp));
    s->anchorY = s->cornerY = static_cast<short>(HIWORD(lp));
    s->moved = false;
    s->skipNextMove = false;
    s->motionX.reset();
    s->motionY.reset();
    SetCapture(w);
    if (s->mode == 1)
        s->savedCursor = SetCursor(nullptr);
    repaint(w, s);
}

void dragMove(HWND w, EqGraphState* s, WPARAM wp, LPARAM lp)
{
    const short x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    if (x == s->anchorX && y == s->anchorY)
        return;
    const int dx = x - s->anchorX, dy = y - s->anchorY;
    if (warpPointerAtEdge()) {
        s->skipNextMove = true;
        return;
    }
    s->anchorX = x;
    s->anchorY = y;
    if (s->skipNextMove) {
        s->skipNextMove = false;
        return;
    }
    s->moved = true;
    dragSelection(s->bands, s->count, s->limits, s->motionX.step(dx, s->scale), s->motionY.step(dy, s->scale),
                  (wp & MK_SHIFT) != 0);
    PostMessageA(GetParent(w), EQN_CHANGED, 0, reinterpret_cast<LPARAM>(w));
}

void rubberMove(HWND w, EqGraphState* s, LPARAM lp)
{
    const GraphAxes a = axesOf(w, s);
    DrawMarchingRect(w, s->anchorX, s->anchorY, s->cornerX, s->cornerY, s->phase, nullptr);
    int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    x = x < a.top ? a.top : (x > a.width - 1 ? a.width - 1 : x);  // the frame is as wide as the top
    y = y < a.top ? a.top : (y > a.bottom - 1 ? a.bottom - 1 : y);
    s->cornerX = static_cast<short>(x);
    s->cornerY = static_cast<short>(y);
    if (rubberBandSelect(a, s->bands, s->count, s->anchorX, s->anchorY, x, y))
        repaint(w, s);  // the repaint draws the rectangle again
    else
        DrawMarchingRect(w, s->anchorX, s->anchorY, s->cornerX, s->cornerY, s->phase, nullptr);
}

void release(HWND w, EqGraphState* s, WPARAM wp)
{
    if (s->mode == 0)
        return;
    if (s->mode == 2) {
        KillTimer(w, 1);
        DrawMarchingRect(w, s->anchorX, s->anchorY, s->cornerX, s->cornerY, s->phase, nullptr);
    }
    s->mode = 0;
    ReleaseCapture();
    const int h = s->hovered >= 1 && s->hovered <= s->count && s->bands ? s->hovered : 0;
    if (h) {
        if (!s->moved && !(wp & MK_CONTROL)) {
            deselectAll(s);
            s->bands[h - 1].selected = 1.0f;
        }
        const GraphAxes a = axesOf(w, s);
        POINT p{graphX(a, s->bands[h - 1].frequency), graphY(a, s->bands[h - 1].gain)};
        s->pointerX = static_cast<short>(p.x);
        s->pointerY = static_cast<short>(p.y);
        // The band's read-out goes with the drag; the pointer's, where it is put back, comes.
        repaint(w, s);
        ClientToScreen(w, &p);
        SetCursorPos(p.x, p.y);
    }
    PostMessageA(GetParent(w), EQN_RELEASED, 0, reinterpret_cast<LPARAM>(w));
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

// Another window took the mouse (a menu, a dialog): end the gesture without touching its capture,
// the selection or the pointer's position.
void captureLost(HWND w, EqGraphState* s)
{
    if (s->mode == 2) {
        KillTimer(w, 1);
        DrawMarchingRect(w, s->anchorX, s->anchorY, s->cornerX, s->cornerY, s->phase, nullptr);
    }
    const bool dragging = s->mode == 1;
    s->mode = 0;
    s->skipNextMove = false;
    if (dragging)
        repaint(w, s);  // without the band's read-out
    PostMessageA(GetParent(w), EQN_RELEASED, 0, reinterpret_cast<LPARAM>(w));
}

LRESULT message(HWND w, EqGraphState* s, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        repaint(w, s);
        return 0;
    case WM_SETCURSOR:
        if (s->mode == 0)
            setCursor(w, s);
        return TRUE;
    case WM_TIMER:
        if (wp == 1 && s->mode == 2) {
            WindowDC dc(w);
            DrawMarchingRect(w, s->anchorX, s->anchorY, s->cornerX, s->cornerY, s->phase, dc.get());
            ++s->phase;
            DrawMarchingRect(w, s->anchorX, s->anchorY, s->cornerX, s->cornerY, s->phase, dc.get());
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        press(w, s, wp, lp, msg == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE:
        if (s->mode == 0)
            pointerMove(w, s, lp);
        else if (s->mode == 1)
            dragMove(w, s, wp, lp);
        else if (s->mode == 2)
            rubberMove(w, s, lp);
        return 0;
    case WM_LBUTTONUP:
        release(w, s, wp);
        return 0;
    case WM_MOUSELEAVE:
        s->pointerIn = false;
        if (s->mode == 0)
            repaint(w, s);
        return 0;
    case WM_CAPTURECHANGED:
        if (s->mode != 0 && reinterpret_cast<HWND>(lp) != w)
            captureLost(w, s);
        return 0;
    case WM_RBUTTONDOWN:
        if (s->mode == 0)
            PostMessageA(GetParent(w), EQN_RCLICK, static_cast<WPARAM>(lp), static_cast<LPARAM>(wp));
        return 0;
    case WM_MOUSEWHEEL: {
        const int step = controlWheelStep(wp, &s->wheelTime);
        if (step == 0)
            return 0;
        if (wheelSelection(s->bands, s->count, step)) {
            PostMessageA(GetParent(w), EQN_CHANGED, 1, reinterpret_cast<LPARAM>(w));
            PostMessageA(GetParent(w), EQN_RELEASED, 0, reinterpret_cast<LPARAM>(w));
        }
        return 0;
    }
    case EQ_SETBANDS:
        s->bands = reinterpret_cast<BandRecord*>(wp);
        s->count = s->bands && lp > 0 ? static_cast<int>(lp) : 0;
        s->hovered = 0;
        return 0;
    case EQ_SETRANGE:
        // A range or step of 0 or less would divide by zero or never end the grid: refused.
        if (static_cast<int>(wp) <= 0 || static_cast<int>(lp) <= 0)
            return 0;
        s->range = static_cast<int>(wp);
        s->gridStep = static_cast<int>(lp);
        repaint(w, s);
        return 0;
    case EQ_GETRANGE:
        return s->range;
    case EQ_SETANALYZER:
        s->analyzer = reinterpret_cast<const FrequencyAnalyzer*>(wp);
        InvalidateRect(w, nullptr, FALSE);
        return 0;
    case EQ_SETSAMPLERATE:
        s->sampleRate = graphSampleRate(static_cast<int>(wp));
        s->limits.sampleRate = s->sampleRate;  // a drag in progress caps frequencies at the new rate
        s->tables = FrequencyTables();
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

struct EqGraph : SkinnedControl<EqGraphState> {
    static LRESULT create(HWND, State* s, LPARAM lp)
    {
        s->background = creationBitmap(lp);
        s->depth = displayBitsPerPixel();
        return 0;
    }
    static void destroy(HWND w, State*) { KillTimer(w, 1); }
    static void paint(HWND w, State* s) { qv::paint(w, s); }
    static void rescale(HWND w, State* s)
    {
        s->handleStrip.reset();
        s->tables = FrequencyTables();
        repaint(w, s);
    }
    static LRESULT message(HWND w, State* s, UINT msg, WPARAM wp, LPARAM lp) { return qv::message(w, s, msg, wp, lp); }
};

}  // namespace

LRESULT CALLBACK EqGraphProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return skinnedControlProc<EqGraph>(w, msg, wp, lp);
}

}  // namespace qv
