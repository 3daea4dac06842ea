#pragma once
// Platform-free arithmetic of the slider and the edit field: offsets along the track, tick
// positions, the square law, the derived page step and the edit field's drag axis.

#include <cstddef>
#include <vector>

#include "ScaleMath.h"

namespace qv {

// The skin's slider thumb at 100 %: its length along the track and its thickness across it.
constexpr int kSliderThumbLength = 29;
constexpr int kSliderThumbThickness = 16;

struct SliderTrack {
    int minimum = 0;
    int range = 0;   // maximum - minimum
    int travel = 0;  // track length - thumb length
};

int sliderTickOffset(const SliderTrack& t, int value);
int sliderThumbOffset(const SliderTrack& t, int value);

// Where a press grabs the thumb, along the track: from `first` up to but not including `last`. The
// position is the one the paint left (the thumb's left edge, or its bottom edge on a vertical slider);
// the box leaves out the sprite's shadow edge.
struct ThumbSpan {
    int first;
    int last;
};
// The shadow edge and the point grow with the display scale (percent).
ThumbSpan sliderThumbSpan(bool vertical, int thumbPosition, int thumbLength, Scale scale = kScale100);
// The point along the track where the pointer is put back onto a grabbed thumb after a drag.
int sliderThumbMiddle(bool vertical, int thumbPosition, int thumbLength, Scale scale = kScale100);

struct SliderTick {
    int value;
    bool major;  // the minimum, 0 or the maximum
};

// Most ticks one track draws, the last at the maximum: a huge range with a small step stays bounded.
constexpr size_t kMaxSliderTicks = 4096;

// Tick values from the minimum by `step` (after `offset` for the second), always ending at the maximum.
std::vector<SliderTick> sliderTicks(int minimum, int maximum, int step, int offset);

// Slider square law: d*d/2 + 1 for positive motion, its mirror for negative, 0 stays 0.
int sliderSquareLaw(int delta);

// Page step derived from the range when none was set: range * 15 / (length - 4), at least 1.
int derivedPageStep(int range, int length);

int clampInt(int v, int lo, int hi);

// Edit field drag: keeps or switches the axis and returns the step of one mouse move.
struct EditDrag {
    bool verticalAxis = false;
    bool squareLaw = true;
    bool inverted = false;
};
int editDragStep(EditDrag& d, int dx, int du);

// EDN_STEP carries a signed 16-bit step; larger steps saturate instead of wrapping round.
int saturateStep16(int step);

}  // namespace qv
