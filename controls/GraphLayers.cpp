// What the EQ graph draws beside its curve and handles: the analyzer's traces behind them and the
// read-outs over them.
#include "GraphLayers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "GraphReadout.h"
#include "ScaleMath.h"
#include "Skin.h"

namespace qv {
namespace {

// Colours of the analyzer and the read-outs, against the graph's light steel-blue picture.
constexpr COLORREF kOutputFill = RGB(32, 58, 98);  // blended at kOutputAlpha / 256
constexpr int kOutputAlpha = 72;
constexpr COLORREF kOutputLine = RGB(38, 66, 108);
constexpr COLORREF kInputLine = RGB(226, 214, 160);  // pale, thin and unfilled: the dimmer trace
constexpr COLORREF kMarkInk = RGB(52, 76, 112);
constexpr COLORREF kReadoutFace = RGB(246, 243, 236);
constexpr COLORREF kReadoutEdge = RGB(75, 117, 149);
constexpr COLORREF kReadoutInk = RGB(37, 58, 73);

// Below the output trace the backdrop is tinted, column by column, straight in the pixels.
void fillBelow(PixelWindow& p, const std::vector<int>& ys, int left, int top, int right, int bottom)
{
    GdiFlush();
    uint32_t* pixels = p.pixels();
    const int stride = p.width();
    const uint32_t fr = GetRValue(kOutputFill), fg = GetGValue(kOutputFill), fb = GetBValue(kOutputFill);
    for (size_t k = 0; k < ys.size(); ++k) {
        const int x = left + static_cast<int>(k);
        if (ys[k] == kAnalyzerNone || x >= right || x >= p.width())
            continue;
        const int end = std::min(bottom, p.height());
        for (int y = std::max(ys[k], top); y < end; ++y) {
            uint32_t& px = pixels[static_cast<size_t>(y) * stride + x];
            const uint32_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
            const uint32_t nr = r + ((static_cast<int>(fr - r) * kOutputAlpha) >> 8);
            const uint32_t ng = g + ((static_cast<int>(fg - g) * kOutputAlpha) >> 8);
            const uint32_t nb = b + ((static_cast<int>(fb - b) * kOutputAlpha) >> 8);
            px = (nr & 0xFF) << 16 | (ng & 0xFF) << 8 | (nb & 0xFF);
        }
    }
}

// A trace's line, straight in the pixels as well: GDI's wide pens cost more at 200 % than the whole
// graph. A jump between two columns is split between them, as a line drawn from one to the other
// would be; each point is `weight` pixels square.
void lineAlong(PixelWindow& p, const std::vector<int>& ys, int left, int top, int right, int bottom, COLORREF colour,
               int weight)
{
    uint32_t* pixels = p.pixels();
    const int stride = p.width();
    right = std::min(right, p.width());
    bottom = std::min(bottom, p.height());
    const uint32_t ink = static_cast<uint32_t>(GetRValue(colour)) << 16 |
                         static_cast<uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
    auto span = [&](int x, int from, int to) {
        if (from > to)
            std::swap(from, to);
        for (int y = std::max(from, top); y < std::min(to + weight, bottom); ++y)
            for (int dx = 0; dx < weight && x + dx < right; ++dx)
                if (x + dx >= left)
                    pixels[static_cast<size_t>(y) * stride + x + dx] = ink;
    };
    for (size_t k = 0; k < ys.size(); ++k) {
        const int y = ys[k];
        if (y == kAnalyzerNone)
            continue;
        const int x = left + static_cast<int>(k);
        const int before = k > 0 ? ys[k - 1] : kAnalyzerNone;
        const int after = k + 1 < ys.size() ? ys[k + 1] : kAnalyzerNone;
        int from = y, to = y;
        if (before != kAnalyzerNone)
            (before < y ? from : to) = (before + y + (before < y ? 1 : 0)) / 2;
        if (after != kAnalyzerNone) {
            const int half = (after + y + (after < y ? 1 : 0)) / 2;
            from = std::min(from, half);
            to = std::max(to, half);
        }
        span(x, from, to);
    }
}

// A read-out: the text on a small light plate with a thin edge, so that it reads over the curve,
// the grid and the analyzer alike. `place` gets the plate's size and gives its top-left corner.
template <class Place>
void drawReadout(HDC dc, const char* text, Scale scale, Place&& place)
{
    auto px = [scale](int v) { return scalePx(v, scale); };
    Font font(CreateFontA(px(12), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &extent);
    const int padX = px(4), padY = px(1), edge = px(1);
    const int width = extent.cx + 2 * padX, height = extent.cy + 2 * padY;
    const ReadoutBox at = place(width, height);
    RECT box{at.left, at.top, at.left + width, at.top + height};
    Brush edgeBrush(CreateSolidBrush(kReadoutEdge)), faceBrush(CreateSolidBrush(kReadoutFace));
    FillRect(dc, &box, edgeBrush.get());
    RECT face{box.left + edge, box.top + edge, box.right - edge, box.bottom - edge};
    FillRect(dc, &face, faceBrush.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kReadoutInk);
    DrawTextA(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
}

}  // namespace

bool analyzerShown(const GraphAxes& a, const FrequencyAnalyzer* analyzer)
{
    return analyzer && !analyzer->idle() && analyzer->columns() == a.width - 1 &&
           static_cast<int>(analyzer->output().y.size()) == analyzer->columns();
}

// The marks stand at the right edge, where the curve's own gain labels (at the left) cannot be taken
// for them; a label a band's handle would cover moves left of it.
void drawAnalyzer(HDC dc, PixelWindow& canvas, const RECT& c, const GraphAxes& a, const FrequencyAnalyzer& sa,
                  const std::vector<GraphPoint>& handles, Scale scale)
{
    const int frame = graphFrame(scale);
    auto px = [scale](int v) { return scalePx(v, scale); };
    fillBelow(canvas, sa.output().y, frame, frame, c.right - frame, c.bottom - frame);
    const int line = px(1);
    if (sa.hasInput())
        lineAlong(canvas, sa.input().y, frame, frame, c.right - frame, c.bottom - frame, kInputLine, line);
    lineAlong(canvas, sa.output().y, frame, frame, c.right - frame, c.bottom - frame, kOutputLine, line);

    Font font(CreateFontA(px(11), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kMarkInk);
    const int right = c.right - frame, tick = px(5);
    char label[16];
    for (const AnalyzerMark& m : analyzerMarks(a)) {
        for (int i = 0; i < line; ++i)
            DrawLine(dc, right - tick, m.y + i, right, m.y + i, kMarkInk);
        const int n = snprintf(label, sizeof label, "%d dBFS", m.db);
        SIZE size{px(50), px(11)};
        GetTextExtentPoint32A(dc, label, n > 0 ? n : 0, &size);
        const int end = labelRightClearOf(right - tick - px(2), size.cx, m.y - size.cy / 2, m.y + size.cy / 2, handles,
                                          graphHandleRadius(scale), px(2), frame);
        RECT r{end - px(60), m.y - px(8), end, m.y + px(8)};
        DrawTextA(dc, label, -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
}

void drawPointerReadout(HDC dc, const RECT& c, const GraphAxes& a, int x, int y, Scale scale)
{
    char text[64];
    formatPointerReadout(a, x, y, text, sizeof text);
    const int frame = graphFrame(scale), inset = scalePx(3, scale);
    drawReadout(dc, text, scale, [&](int width, int) {
        return ReadoutBox{c.right - frame - inset - width, frame + inset};
    });
}

void drawBandReadout(HDC dc, const RECT& c, const GraphAxes& a, int number, const BandRecord& band, Scale scale)
{
    char text[64];
    formatBandReadout(number, band, text, sizeof text);
    const int x = graphX(a, band.frequency), y = graphY(a, band.gain);
    const int frame = graphFrame(scale), gap = graphHandleRadius(scale) + scalePx(3, scale);
    drawReadout(dc, text, scale, [&](int width, int height) {
        return placeReadout(x, y, width, height, gap, frame, frame, c.right - frame, c.bottom - frame);
    });
}

}  // namespace qv
