#pragma once
// Where the editor puts its controls, in client pixels of its fixed window. The skin's background is
// drawn around these rectangles, and the gallery lays its panels out on them. Free of any platform
// header.

namespace qv::layout {

constexpr int kEditorW = 506;
constexpr int kEditorH = 411;

struct Rect {
    int x, y, w, h;
    constexpr int right() const { return x + w; }
    constexpr int bottom() const { return y + h; }
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

// Left (0) and right (1).
constexpr Rect meter(int side) { return side == 0 ? kMeterL : kMeterR; }
constexpr Rect clipLamp(int side) { return side == 0 ? kClipL : kClipR; }

// Band rows, b = 1..6.
constexpr int bandY(int b) { return 206 + 23 * (b - 1); }
constexpr Rect bandNumber(int b) { return Rect{20, bandY(b), 24, 21}; }
constexpr Rect bandType(int b) { return Rect{48, bandY(b), 27, 21}; }
constexpr Rect bandArrow(int b) { return Rect{75, bandY(b), 15, 21}; }
constexpr Rect bandFreq(int b) { return Rect{94, bandY(b), 40, 21}; }
constexpr Rect bandQ(int b) { return Rect{154, bandY(b), 40, 21}; }
constexpr Rect bandGain(int b) { return Rect{199, bandY(b), 40, 21}; }
constexpr Rect bandSlider(int b) { return Rect{261, bandY(b) + 3, 150, 20}; }

// A right click at this client y or below, on the background, opens the background popup.
constexpr int kBackgroundPopupTop = 377;

}  // namespace qv::layout
