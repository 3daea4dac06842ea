#include "GraphMath.h"

#include "ScaleMath.h"

#include <emmintrin.h>

#include <cmath>

#include "Log10.h"

namespace qv {

namespace {

// Truncation that survives infinities and NaNs from extreme records (a perfect notch gives log 0).
int truncSafe(double v)
{
    if (!(v == v))
        return 0;
    if (v > 1e6)
        return 1000000;
    if (v < -1e6)
        return -1000000;
    return static_cast<int>(v);
}

}  // namespace

float graphSampleRate(int hz) { return hz < 11025 ? 44100.0f : static_cast<float>(hz); }

int labelRightClearOf(int right, int width, int top, int bottom, const std::vector<GraphPoint>& handles, int radius,
                      int gap, int left)
{
    int end = right;
    for (size_t pass = 0; pass <= handles.size(); ++pass) {
        bool moved = false;
        for (const GraphPoint& h : handles) {
            const bool rows = h.y + radius >= top && h.y - radius <= bottom;
            if (rows && h.x - radius - gap < end && h.x + radius + gap > end - width) {
                end = h.x - radius - gap;
                moved = true;
            }
        }
        if (!moved)
            break;
    }
    return end - width < left ? right : end;
}

int graphFrame(Scale percent) { return scalePx(2, percent); }
int graphHandleRadius(Scale percent) { return scalePx(4, percent); }

GraphAxes makeGraphAxes(int clientWidth, int clientHeight, float sampleRate, int range, Scale percent)
{
    GraphAxes a;
    a.scale = percent;
    a.width = clientWidth - graphFrame(percent);
    a.top = graphFrame(percent);
    a.bottom = clientHeight - graphFrame(percent);
    a.centre = (a.top + a.bottom) / 2;
    a.half = (a.bottom - a.top) / 2;
    a.topFrequency = sampleRate * 0.5f;
    a.span = std::log10(a.topFrequency / a.lowest);
    a.range = range != 0 ? range : 20;  // a zero range would divide by zero
    return a;
}

int graphX(const GraphAxes& a, float frequency)
{
    if (a.span <= 0.0f)
        return 0;
    return truncSafe(std::log10(static_cast<double>(frequency) / 16.0) * a.width / a.span);
}

int graphY(const GraphAxes& a, float gainTenths)
{
    return a.centre - truncSafe(static_cast<double>(a.half) * gainTenths * 0.1 / a.range);
}

FrequencyTables makeFrequencyTables(const GraphAxes& a, float sampleRate)
{
    FrequencyTables t;
    if (a.width <= 0)
        return t;
    const int n = 4 * a.width;
    t.cos1.resize(n);
    t.sin1.resize(n);
    t.cos2.resize(n);
    t.sin2.resize(n);
    for (int i = 0; i < n; ++i) {
        const float f = 16.0f * std::pow(10.0f, static_cast<float>(i) * a.span / static_cast<float>(a.width) * 0.25f);
        const float w = 6.2831855f * f / sampleRate;
        t.cos1[i] = std::cos(w);
        t.sin1[i] = -std::sin(w);
        t.cos2[i] = std::cos(2.0f * w);
        t.sin2[i] = -std::sin(2.0f * w);
    }
    return t;
}

std::vector<int> responseCurve(const GraphAxes& a, const FrequencyTables& t, const BandRecord* bands, int count)
{
    static const BandRecord kNeutral{1, 0, 0, 0, 0, 1000, 0, 1, 0, 0, 10, 0};
    if (!bands || count <= 0) {
        bands = &kNeutral;
        count = 1;
    }
    // A record with identity coefficients adds log10(1) = +0 at every point: no sum changes.
    std::vector<const BandRecord*> shaping;
    for (int b = 0; b < count; ++b) {
        const BandRecord& r = bands[b];
        if (!(r.b0 == 1.0f && r.b1 == 0.0f && r.b2 == 0.0f && r.a1 == 0.0f && r.a2 == 0.0f))
            shaping.push_back(&r);
    }
    // Points 0 .. n - 2 in groups of four, one group to a column; a last, partial group draws nothing.
    const int n = static_cast<int>(t.cos1.size());
    const int columns = n >= 5 ? (n - 5) / 4 + 1 : 0;
    std::vector<int> ys;
    ys.reserve(static_cast<size_t>(columns));
    const __m128 one = _mm_set1_ps(1.0f);
    for (int k = 0; k < columns; ++k) {
        // The four points of a column side by side, each lane with the scalar operations in order.
        const __m128 c1 = _mm_loadu_ps(&t.cos1[4 * k]), s1 = _mm_loadu_ps(&t.sin1[4 * k]);
        const __m128 c2 = _mm_loadu_ps(&t.cos2[4 * k]), s2 = _mm_loadu_ps(&t.sin2[4 * k]);
        __m128 sum = _mm_setzero_ps();
        for (const BandRecord* r : shaping) {
            const __m128 b0 = _mm_set1_ps(r->b0), b1 = _mm_set1_ps(r->b1), b2 = _mm_set1_ps(r->b2);
            const __m128 a1 = _mm_set1_ps(r->a1), a2 = _mm_set1_ps(r->a2), na1 = _mm_set1_ps(-r->a1);
            const __m128 nr = _mm_add_ps(_mm_add_ps(b0, _mm_mul_ps(b1, c1)), _mm_mul_ps(b2, c2));
            const __m128 ni = _mm_add_ps(_mm_mul_ps(b1, s1), _mm_mul_ps(b2, s2));
            const __m128 dr = _mm_sub_ps(_mm_sub_ps(one, _mm_mul_ps(a1, c1)), _mm_mul_ps(a2, c2));
            const __m128 di = _mm_sub_ps(_mm_mul_ps(na1, s1), _mm_mul_ps(a2, s2));
            const __m128 ratio = _mm_div_ps(_mm_add_ps(_mm_mul_ps(nr, nr), _mm_mul_ps(ni, ni)),
                                            _mm_add_ps(_mm_mul_ps(dr, dr), _mm_mul_ps(di, di)));
            sum = _mm_add_ps(sum, log10Rounded(ratio));
        }
        alignas(16) float sums[4];
        _mm_store_ps(sums, sum);
        // The largest of the four, so that narrow peaks stay visible.
        float keeper = 0.0f;
        for (float s : sums) {
            if (std::fabs(s) > std::fabs(keeper))
                keeper = s;
        }
        ys.push_back(a.centre - truncSafe(static_cast<double>(a.half) * keeper * 10.0f / a.range));
    }
    return ys;
}

std::vector<GraphPoint> curvePolyline(const std::vector<int>& ys, int left)
{
    std::vector<GraphPoint> points;
    const size_t n = ys.size();
    for (size_t k = 0; k < n; ++k) {
        if (k > 0 && k + 1 < n) {
            const int before = ys[k] - ys[k - 1], after = ys[k + 1] - ys[k];
            if (before == after && before >= -1 && before <= 1)
                continue;
        }
        points.push_back(GraphPoint{left + static_cast<int>(k), ys[k]});
    }
    return points;
}

std::vector<int> gridGains(int range, int step)
{
    std::vector<int> gains;
    if (step <= 0)
        return gains;
    const int m = step * (range / step);
    for (int g = -m; g <= m; g += step)
        gains.push_back(g);
    return gains;
}

std::vector<float> gridFrequencies(float sampleRate)
{
    std::vector<float> fs;
    if (!(sampleRate > 31.25f))
        return fs;
    for (float f = 31.25f;; f *= 2.0f) {
        fs.push_back(f);
        if (!(f * 2.0f < sampleRate))
            break;
    }
    return fs;
}

int graphHitTest(const GraphAxes& a, const BandRecord* bands, int count, int px, int py)
{
    if (!bands)
        return 0;
    for (int pass = 0; pass < 2; ++pass) {
        const bool wantOn = pass == 0;
        for (int n = count - 1; n >= 0; --n) {
            if ((bands[n].enabled != 0.0f) != wantOn)
                continue;
            const int x = graphX(a, bands[n].frequency), y = graphY(a, bands[n].gain);
            const int half = scalePx(5, a.scale);
            if (x - half <= px && px < x + half && y - half <= py && py < y + half)
                return n + 1;
        }
    }
    return 0;
}

bool rubberBandSelect(const GraphAxes& a, BandRecord* bands, int count, int x1, int y1, int x2, int y2)
{
    if (!bands)
        return false;
    const int left = x1 < x2 ? x1 : x2, right = x1 < x2 ? x2 : x1;
    const int top = y1 < y2 ? y1 : y2, bottom = y1 < y2 ? y2 : y1;
    const int near = scalePx(4, a.scale);
    bool changed = false;
    for (int n = 0; n < count; ++n) {
        const int x = graphX(a, bands[n].frequency), y = graphY(a, bands[n].gain);
        const bool inside = !(x < left - near || x > right + near || y < top - near || y > bottom + near);
        const float want = inside ? 1.0f : 0.0f;
        if ((bands[n].selected != 0.0f) != inside)
            changed = true;
        bands[n].selected = want;
    }
    return changed;
}

float limitQ(float q, float type)
{
    // A record whose type is none of the five keeps its Q.
    if (!(type >= 0.0f && type < static_cast<float>(kFilterTypeCount)) || type != std::floor(type))
        return q;
    const ValueRange r = qRange(static_cast<int32_t>(type));
    const float lo = static_cast<float>(r.minimum), hi = static_cast<float>(r.maximum);
    return q < lo ? lo : (q > hi ? hi : q);
}

static int dragPositionOf(float frequency)
{
    // A frequency below 1 Hz would give a negative or infinite logarithm.
    return truncSafe(1000.0 * std::log10(frequency < 1.0f ? 1.0 : static_cast<double>(frequency)));
}

DragLimits beginDrag(BandRecord* bands, int count, float sampleRate)
{
    DragLimits lim;
    lim.sampleRate = sampleRate;
    lim.logFloor = truncSafe(1000.0 * std::log10(16.0));
    lim.logCeiling = truncSafe(1000.0 * std::log10(sampleRate * 0.5 - 1.0));
    lim.low = lim.logCeiling;
    lim.high = lim.logFloor;
    lim.gainLow = 1000.0f;
    lim.gainHigh = -1000.0f;
    if (!bands)
        return lim;
    for (int n = 0; n < count; ++n) {
        const int pos = dragPositionOf(bands[n].frequency);
        bands[n].dragPosition = static_cast<float>(pos);
        if (bands[n].selected == 0.0f)
            continue;
        if (pos < lim.low)
            lim.low = pos;
        if (pos > lim.high)
            lim.high = pos;
        if (bands[n].gain < lim.gainLow)
            lim.gainLow = bands[n].gain;
        if (bands[n].gain > lim.gainHigh)
            lim.gainHigh = bands[n].gain;
    }
    return lim;
}

void dragSelection(BandRecord* bands, int count, DragLimits& lim, int dx, int dy, bool shift)
{
    if (!bands)
        return;
    int m = dx * (dx < 0 ? -dx : dx);
    if (m > 128)
        m = 128;
    if (m < -128)
        m = -128;
    if (shift) {
        for (int n = 0; n < count; ++n)
            if (bands[n].selected != 0.0f)
                bands[n].q = limitQ(bands[n].q + static_cast<float>(m), bands[n].type);
        return;
    }
    int l = -dy;
    const int gainHigh = truncSafe(lim.gainHigh), gainLow = truncSafe(lim.gainLow);
    if (gainHigh + l > kBandGainRange.maximum)
        l = kBandGainRange.maximum - gainHigh;
    if (gainLow + l < kBandGainRange.minimum)
        l = kBandGainRange.minimum - gainLow;
    lim.gainHigh += static_cast<float>(l);
    lim.gainLow += static_cast<float>(l);
    if (lim.high + m > lim.logCeiling)
        m = lim.logCeiling - lim.high;
    if (lim.low + m < lim.logFloor)
        m = lim.logFloor - lim.low;
    lim.high += m;
    lim.low += m;
    const float top = lim.sampleRate * 0.5f - 1.0f;
    for (int n = 0; n < count; ++n) {
        BandRecord& r = bands[n];
        if (r.selected == 0.0f)
            continue;
        r.dragPosition += static_cast<float>(m);
        float f = static_cast<float>(truncSafe(std::pow(10.0, r.dragPosition * 0.001)));
        if (f < 16.0f)
            f = 16.0f;
        if (f > top)
            f = top;
        r.frequency = f;
        r.gain += static_cast<float>(l);
    }
}

bool wheelSelection(BandRecord* bands, int count, int step)
{
    bool any = false;
    if (!bands)
        return false;
    for (int n = 0; n < count; ++n) {
        if (bands[n].selected == 0.0f)
            continue;
        any = true;
        bands[n].q = limitQ(bands[n].q + static_cast<float>(step), bands[n].type);
    }
    return any;
}

}  // namespace qv
