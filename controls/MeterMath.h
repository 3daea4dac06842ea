#pragma once
// Platform-free part of the level meter: the fall, peak hold and maxima of an update, and which
// rows (or columns) of the lit sprite a paint shows.

#include "ScaleMath.h"

namespace qv {

struct MeterLevels {
    int levelA = -9999, levelB = -9999;
    int minimum = 0, maximum = 100;
    int peakA = -9999, peakB = -9999;
    int maxA = -9999, maxB = -9999;
    int holdA = 0, holdB = 0;
    int fall = 20;
    bool peakMode = false;
};

void meterUpdate(MeterLevels& m, int a, int b);

// A span of rows or columns of the lit sprite to show, first to last inclusive; empty when last < first.
struct MeterSpan {
    int first = 0, last = -1;
    bool empty() const { return last < first; }
};

struct MeterPaint {
    bool vertical = true;
    MeterSpan bar;
    MeterSpan marker;
};

enum MeterLayout {
    kMeterUp,
    kMeterTopDown,
    kMeterCentreZero,
    kMeterHorizontal,
    kMeterHorizontalMarker
};

// Pixel length of a level over `length` pixels; a zero-width range gives 0 instead of dividing by zero.
int meterPixels(const MeterLevels& m, int v, int length);

// At a display scale (percent) the frame, the marker and the centre line are scaled with the sprite.
MeterPaint meterPaint(const MeterLevels& m, MeterLayout layout, int clientWidth, int clientHeight,
                      Scale scale = kScale100);

inline bool sameSpan(const MeterSpan& a, const MeterSpan& b)
{
    return (a.empty() && b.empty()) || (a.first == b.first && a.last == b.last);
}
// Whether two updates show the same picture.
inline bool samePaint(const MeterPaint& a, const MeterPaint& b)
{
    return a.vertical == b.vertical && sameSpan(a.bar, b.bar) && sameSpan(a.marker, b.marker);
}

}  // namespace qv
