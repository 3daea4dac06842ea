// The editor's layout as the skin generator uses it: the background is drawn around the editor's
// control rectangles and the preview places the control faces on them.
#pragma once

#include <vector>

#include "EditorLayout.h"
#include "ValueMath.h"

namespace skingen {

using namespace qv::layout;

constexpr int kGraphW = kGraph.w;
constexpr int kGraphH = kGraph.h;

// Slider geometry: thumb travel and the x of a value's tick relative to the slider.
constexpr int kSliderTravel = 150 - qv::kSliderThumbLength;
constexpr int sliderTickX(int v, int min, int max)
{
    return 12 + ((max - min) / 2 + kSliderTravel * (v - min)) / (max - min);
}

// Meter: the first row lit for a level in tenths of a dB (range -600..0, H = 140).
int meterRow(int tenths);

}  // namespace skingen
