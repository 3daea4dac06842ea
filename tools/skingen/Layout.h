// Where the editor puts its controls (client pixels of the 506 x 411 window). The background is
// drawn around these rectangles and the preview places the control faces on them.
#pragma once

#include <vector>

namespace skingen {

constexpr int kEditorW = 506;
constexpr int kEditorH = 411;
constexpr int kGraphW = 471;
constexpr int kGraphH = 140;

struct Rect {
    int x, y, w, h;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
};

constexpr Rect kGraph{17, 45, 471, 140};
constexpr Rect kBypass{16, 16, 76, 21};
constexpr Rect kUndo{95, 16, 76, 21};
constexpr Rect kSetup{174, 16, 61, 21};
constexpr Rect kSetupArrow{235, 16, 15, 21};
constexpr Rect kReset{253, 16, 76, 21};
constexpr Rect kPresets{332, 16, 76, 21};
constexpr Rect kHelp{411, 16, 76, 21};
constexpr Rect kFlat{20, 345, 50, 21};
constexpr Rect kOutGain{199, 344, 40, 21};
constexpr Rect kOutSlider{261, 347, 150, 20};
constexpr Rect kMeterL{432, 210, 12, 144};
constexpr Rect kMeterR{462, 210, 12, 144};
constexpr Rect kReadout{427, 190, 52, 11};
constexpr Rect kClipL{432, 201, 12, 9};
constexpr Rect kClipR{462, 201, 12, 9};

// Band rows, b = 1..6.
constexpr int bandY(int b) { return 206 + 23 * (b - 1); }
constexpr Rect bandNumber(int b) { return Rect{20, bandY(b), 24, 21}; }
constexpr Rect bandType(int b) { return Rect{48, bandY(b), 27, 21}; }
constexpr Rect bandArrow(int b) { return Rect{75, bandY(b), 15, 21}; }
constexpr Rect bandFreq(int b) { return Rect{94, bandY(b), 40, 21}; }
constexpr Rect bandQ(int b) { return Rect{154, bandY(b), 40, 21}; }
constexpr Rect bandGain(int b) { return Rect{199, bandY(b), 40, 21}; }
constexpr Rect bandSlider(int b) { return Rect{261, bandY(b) + 3, 150, 20}; }

// Slider geometry: thumb travel and the x of a value's tick relative to the slider.
constexpr int kSliderTravel = 150 - 29;
constexpr int sliderTickX(int v, int min, int max)
{
    return 12 + ((max - min) / 2 + kSliderTravel * (v - min)) / (max - min);
}

// Every control's rectangle.
std::vector<Rect> controlRects();

// Meter: the first row lit for a level in tenths of a dB (range -600..0, H = 140).
int meterRow(int tenths);

}  // namespace skingen
