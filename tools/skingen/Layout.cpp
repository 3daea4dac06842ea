#include "Layout.h"

#include <cmath>

namespace skingen {

int meterRow(int tenths)
{
    const int H = 140, lo = -600, hi = 0;
    int x = static_cast<int>(std::floor((tenths - lo) * double(H) / (hi - lo) + 0.5));
    int p = H - x;
    if (p < 0)
        p = 0;
    return p + 2;
}

std::vector<Rect> controlRects()
{
    std::vector<Rect> r = {kGraph, kBypass,  kUndo,      kSetup,  kSetupArrow, kReset,   kPresets, kHelp,
                           kFlat,  kOutGain, kOutSlider, kMeterL, kMeterR,     kReadout, kClipL,   kClipR};
    for (int b = 1; b <= 6; ++b)
        for (Rect c : {bandNumber(b), bandType(b), bandArrow(b), bandFreq(b), bandQ(b), bandGain(b), bandSlider(b)})
            r.push_back(c);
    return r;
}

}  // namespace skingen
