#include "ScaleMath.h"

namespace qv {

Scale scaleForDpi(int dpi)
{
    if (dpi <= 0)
        dpi = kBaseDpi;
    if (dpi >= 168)
        return kScale200;
    if (dpi >= 120)
        return kScale150;
    return kScale100;
}

int MotionScaler::step(int devicePixels, Scale scale)
{
    const int percent = percentOf(scale);
    if (scale == kScale100)
        return devicePixels;
    // Whole 100 % pixels go out; the remainder, toward zero, waits for the next move.
    rest_ += devicePixels * 100;
    const int whole = rest_ / percent;
    rest_ -= whole * percent;
    return whole;
}

}  // namespace qv
