// "qv:Meter": a level bar of two sprites (unlit and lit); in peak mode the bar falls at a fixed
// rate, a peak marker holds, and the maxima since the last reset are kept.
#include <memory>

#include "MeterMath.h"
#include "ScaleMath.h"
#include "Skin.h"
#include "SkinMath.h"
#include "SkinInternal.h"

namespace qv {

namespace {

struct MeterState : ScaledState {
    std::unique_ptr<PixelWindow> off;  // made at the first paint, at the size the client had then
    MeterLevels levels;
    MeterLayout layout = kMeterUp;
    const uint8_t* background = nullptr;
    const uint8_t* lit = nullptr;
};

MeterLayout layoutOf(LONG style)
{
    if (!(style & MTS_VERTICAL))
        return (style & MTS_MARKER) ? kMeterHorizontalMarker : kMeterHorizontal;
    if (style & MTS_CENTREZERO)
        return kMeterCentreZero;
    return (style & MTS_TOPDOWN) ? kMeterTopDown : kMeterUp;
}

void blendInto(MeterState* s, const uint8_t* sprite, int x, int y, int w, int h, int width)
{
    SpriteBlend b;
    b.sprite = sprite;
    b.spriteWidth = width;
    b.sourceX = x;
    b.sourceY = y;
    blendSprite(s->off->pixels() + static_cast<ptrdiff_t>(y) * width + x, width, w, h, b);
}

void showSpan(MeterState* s, const MeterSpan& span, bool vertical, int width, int height)
{
    if (span.empty())
        return;
    const int n = span.last - span.first + 1;
    if (vertical)
        blendInto(s, s->lit, 0, span.first, width, n, width);
    else
        blendInto(s, s->lit, span.first, 0, n, height, width);
}

void paint(HWND w, MeterState* s)
{
    RECT c = clientRect(w);
    WindowDC wdc(w);
    if (!wdc)
        return;
    PixelWindow* off = keptOffscreen(s->off, wdc.get(), c.right, c.bottom);
    if (!off)
        return;
    // A meter resized after its first paint keeps drawing at the size its bitmap was made with.
    const int width = off->width(), height = off->height();
    if (s->background && s->lit) {
        GdiFlush();
        blendInto(s, s->background, 0, 0, width, height, width);
        const MeterPaint p = meterPaint(s->levels, s->layout, width, height, s->scale);
        showSpan(s, p.bar, p.vertical, width, height);
        showSpan(s, p.marker, p.vertical, width, height);
    }
    off->write(wdc.get(), 0, 0);
}

void writeTwo(WPARAM wp, LPARAM lp, int a, int b)
{
    if (int* pa = reinterpret_cast<int*>(wp))
        *pa = a;
    if (int* pb = reinterpret_cast<int*>(lp))
        *pb = b;
}

LRESULT message(HWND w, MeterState* s, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case MT_SETRANGE:
        s->levels.minimum = static_cast<int>(wp);
        s->levels.maximum = static_cast<int>(lp);
        return 0;
    case MT_SETLEVELS: {
        // The editor sends levels every 50 ms; a bar and marker that stay where they are (silence)
        // are not drawn again.
        RECT c = clientRect(w);
        const MeterPaint before = meterPaint(s->levels, s->layout, c.right, c.bottom);
        meterUpdate(s->levels, static_cast<int>(wp), static_cast<int>(lp));
        const MeterPaint after = meterPaint(s->levels, s->layout, c.right, c.bottom);
        if (s->off && samePaint(before, after))
            return 0;
        InvalidateRect(w, nullptr, FALSE);
        paint(w, s);
        ValidateRect(w, nullptr);
        return 0;
    }
    case MT_GETHOLD:
        writeTwo(wp, lp, s->levels.peakA, s->levels.peakB);
        return 0;
    case MT_RESETMAX:
        s->levels.maxA = s->levels.maxB = kSilentLevel;
        return 0;
    case MT_GETMAX:
        writeTwo(wp, lp, s->levels.maxA, s->levels.maxB);
        return 0;
    case MT_SETSPRITES:
        s->background = reinterpret_cast<const uint8_t*>(wp);
        s->lit = reinterpret_cast<const uint8_t*>(lp);
        InvalidateRect(w, nullptr, FALSE);
        return 0;
    case MT_SETFALL:
        s->levels.fall = static_cast<int>(wp);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

struct Meter : SkinnedControl<MeterState> {
    static LRESULT create(HWND w, State* s, LPARAM)
    {
        const LONG style = GetWindowLongA(w, GWL_STYLE);
        s->layout = layoutOf(style);
        s->levels.peakMode = (style & MTS_PEAK) != 0;
        return 0;
    }
    static void paint(HWND w, State* s) { qv::paint(w, s); }
    static void rescale(HWND w, State* s)
    {
        s->off.reset();  // the next paint makes its bitmap at the size the new scale gave the meter
        InvalidateRect(w, nullptr, FALSE);
    }
    static LRESULT message(HWND w, State* s, UINT msg, WPARAM wp, LPARAM lp) { return qv::message(w, s, msg, wp, lp); }
};

}  // namespace

LRESULT CALLBACK MeterProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) { return skinnedControlProc<Meter>(w, msg, wp, lp); }

}  // namespace qv
