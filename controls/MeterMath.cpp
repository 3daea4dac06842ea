#include "MeterMath.h"

#include "ScaleMath.h"

#include <cmath>

namespace qv {

void meterUpdate(MeterLevels& m, int a, int b)
{
    if (!m.peakMode) {
        m.levelA = a;
        m.levelB = b;
        return;
    }
    m.levelA -= m.fall;
    m.levelB -= m.fall;
    if (m.holdA == 0)
        m.peakA -= 30;
    else
        --m.holdA;
    if (m.holdB == 0)
        m.peakB -= 30;
    else
        --m.holdB;
    // Keep the falling values from running off towards the integer minimum during long silences.
    if (m.levelA < -9999)
        m.levelA = -9999;
    if (m.levelB < -9999)
        m.levelB = -9999;
    if (m.peakA < -9999)
        m.peakA = -9999;
    if (m.peakB < -9999)
        m.peakB = -9999;
    if (a > m.levelA)
        m.levelA = a;
    if (b > m.levelB)
        m.levelB = b;
    if (a > m.maxA)
        m.maxA = a;
    if (b > m.maxB)
        m.maxB = b;
    if (m.levelA > m.peakA) {
        m.peakA = m.levelA;
        m.holdA = 30;
    }
    if (m.levelB > m.peakB) {
        m.peakB = m.levelB;
        m.holdB = 30;
    }
}

int meterPixels(const MeterLevels& m, int v, int length)
{
    const int span = m.maximum - m.minimum;
    if (span == 0)
        return 0;
    const double x = std::floor(static_cast<double>(v - m.minimum) * length / span + 0.5);
    if (x > 1e6)
        return 1000000;
    if (x < -1e6)
        return -1000000;
    return static_cast<int>(x);
}

static MeterSpan clampSpan(MeterSpan s, int limit)
{
    if (s.first < 0)
        s.first = 0;
    if (s.last > limit - 1)
        s.last = limit - 1;
    return s;
}

MeterPaint meterPaint(const MeterLevels& m, MeterLayout layout, int clientWidth, int clientHeight, Scale percent)
{
    MeterPaint p;
    // The sprite's frame (2 pixels at 100 %) and the marker grow with the display scale.
    const int f = scalePx(2, percent);
    if (layout == kMeterHorizontal || layout == kMeterHorizontalMarker) {
        p.vertical = false;
        const int w = clientWidth - 2 * f;
        // Spans reaching left of column 0 are trimmed, so x = -1 still lights column 0.
        if (layout == kMeterHorizontal) {
            const int x = meterPixels(m, m.levelA, w);
            p.bar = {0, x + f - 1};
        } else {
            const int x = meterPixels(m, m.levelA, w - scalePx(3, percent));
            p.bar = {x + f, x + f + scalePx(3, percent) - 1};
        }
        p.bar = clampSpan(p.bar, clientWidth);
        return p;
    }
    const int h = clientHeight - 2 * f;
    auto top = [&](int v) {
        const int x = meterPixels(m, v, h);
        if (layout == kMeterTopDown)
            return x;
        const int pos = h - x;
        return pos < 0 ? 0 : pos;
    };
    const int pa = top(m.levelA);
    if (layout == kMeterUp) {
        if (pa < h)
            p.bar = {pa + f, h + f - 1};
    } else if (layout == kMeterTopDown) {
        if (pa > 0)
            p.bar = {f, pa + f - 1};
    } else {  // centre zero: a bar growing from the middle of a 144-pixel meter
        if (m.levelA < 0)
            p.bar = {scalePx(77, percent), pa + f - 1};
        else
            p.bar = {pa + f, h - scalePx(74, percent)};
    }
    if (m.peakMode) {
        const int pp = top(m.peakA);
        const int marker = scalePx(2, percent);
        if (layout == kMeterTopDown) {
            if (pp > 0)
                p.marker = {pp, pp + marker - 1};
        } else if (pp < h) {
            p.marker = {pp + f, pp + f + marker - 1};
        }
    }
    p.bar = clampSpan(p.bar, clientHeight);
    p.marker = clampSpan(p.marker, clientHeight);
    return p;
}

}  // namespace qv
