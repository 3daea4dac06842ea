#include "ValueMath.h"

#include "ScaleMath.h"

#include <cstdlib>

namespace qv {

int sliderTickOffset(const SliderTrack& t, int value)
{
    if (t.range == 0)
        return 0;
    return static_cast<int>(
        (static_cast<long long>(t.range) / 2 + static_cast<long long>(t.travel) * (value - t.minimum)) / t.range);
}

int sliderThumbOffset(const SliderTrack& t, int value)
{
    if (t.range == 0)
        return 0;
    return static_cast<int>((static_cast<long long>(value - t.minimum) * t.travel + t.range / 2) / t.range);
}

ThumbSpan sliderThumbSpan(bool vertical, int thumbPosition, int thumbLength, Scale percent)
{
    if (vertical)
        return {thumbPosition - thumbLength, thumbPosition - scalePx(5, percent)};
    return {thumbPosition, thumbPosition + thumbLength - scalePx(3, percent)};
}

int sliderThumbMiddle(bool vertical, int thumbPosition, int thumbLength, Scale percent)
{
    if (vertical)
        return thumbPosition - (thumbLength + scalePx(3, percent)) / 2;
    return thumbPosition + (thumbLength - scalePx(5, percent)) / 2;
}

std::vector<SliderTick> sliderTicks(int minimum, int maximum, int step, int offset)
{
    std::vector<SliderTick> ticks;
    if (step <= 0)
        return ticks;  // a negative step would never reach the maximum
    long long v = minimum;
    // The offset applies once: applied whenever v is back at the minimum, an offset of -step would
    // return there for ever.
    bool first = true;
    while (true) {
        const int iv = static_cast<int>(v);
        ticks.push_back({iv, iv == minimum || iv == 0 || iv == maximum});
        if (first)
            v += offset;
        first = false;
        v += step;
        // Past the cap the ticks are denser than any track's pixels: finish at the maximum.
        if (v > maximum || ticks.size() >= kMaxSliderTicks - 1) {
            if (ticks.back().value != maximum)
                ticks.push_back({maximum, true});
            break;
        }
    }
    return ticks;
}

int sliderSquareLaw(int d)
{
    if (d > 0)
        return d * d / 2 + 1;
    if (d < 0)
        return -(d * d / 2) - 1;
    return 0;
}

int derivedPageStep(int range, int length)
{
    int d = length - 4;
    if (length < 5)
        d = 1;
    const int step = range * 15 / d;
    return step <= 0 ? 1 : step;
}

int clampInt(int v, int lo, int hi)
{
    if (v < lo)
        return lo;
    if (v > hi)
        return hi;
    return v;
}

int editDragStep(EditDrag& d, int dx, int du)
{
    if (d.verticalAxis && 2 * std::abs(du) < std::abs(dx))
        d.verticalAxis = false;
    else if (!d.verticalAxis && 2 * std::abs(dx) < std::abs(du))
        d.verticalAxis = true;
    int step = d.verticalAxis ? du : dx;
    if (d.inverted)
        step = -step;
    if (d.squareLaw)
        step = step * std::abs(step);
    return step;
}

int saturateStep16(int step) { return clampInt(step, -32768, 32767); }

}  // namespace qv
