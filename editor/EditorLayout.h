#pragma once
// Where the editor puts its controls, in client pixels of its window at 100 %. The skin's background is
// drawn around these rectangles, and the gallery lays its panels out on them. At 150 % and 200 % every
// rectangle is scaled(). Free of any platform header.

#include <vector>

#include "ScaleMath.h"

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

// A rectangle at a scale: its place and its size each rounded half up, so that controls of one size
// keep one size (one face of the skin fits them all) and 100 % is the rectangle itself.
constexpr Rect scaled(Rect r, Scale percent)
{
    return Rect{scalePx(r.x, percent), scalePx(r.y, percent), scalePx(r.w, percent), scalePx(r.h, percent)};
}
constexpr int editorWidth(Scale percent) { return scalePx(kEditorW, percent); }
constexpr int editorHeight(Scale percent) { return scalePx(kEditorH, percent); }

// Left (0) and right (1).
constexpr Rect meter(int side) { return side == 0 ? kMeterL : kMeterR; }
constexpr Rect clipLamp(int side) { return side == 0 ? kClipL : kClipR; }
// A clip lamp reaches down to its meter at every scale: with its height rounded on its own it would
// overlap the meter at 150 % (13.5 pixels between the readout and the meter).
constexpr Rect clipLamp(int side, Scale percent)
{
    const Rect r = scaled(clipLamp(side), percent);
    return Rect{r.x, r.y, r.w, scaled(meter(side), percent).y - r.y};
}

// Band rows, b = 1..6.
constexpr int bandY(int b) { return 206 + 23 * (b - 1); }
constexpr Rect bandNumber(int b) { return Rect{20, bandY(b), 24, 21}; }
constexpr Rect bandType(int b) { return Rect{48, bandY(b), 27, 21}; }
constexpr Rect bandArrow(int b) { return Rect{75, bandY(b), 15, 21}; }
constexpr Rect bandFreq(int b) { return Rect{94, bandY(b), 40, 21}; }
constexpr Rect bandQ(int b) { return Rect{154, bandY(b), 40, 21}; }
constexpr Rect bandGain(int b) { return Rect{199, bandY(b), 40, 21}; }
constexpr Rect bandSlider(int b) { return Rect{261, bandY(b) + 3, 150, 20}; }

// Every control's rectangle at a scale.
inline std::vector<Rect> controlRects(Scale percent = kScale100)
{
    std::vector<Rect> r;
    for (Rect c : {kGraph, kBypass, kUndo, kSetup, kSetupArrow, kReset, kPresets, kHelp, kFlat, kOutGain, kOutSlider,
                   kMeterL, kMeterR, kReadout})
        r.push_back(scaled(c, percent));
    r.push_back(clipLamp(0, percent));
    r.push_back(clipLamp(1, percent));
    for (int b = 1; b <= 6; ++b)
        for (Rect c : {bandNumber(b), bandType(b), bandArrow(b), bandFreq(b), bandQ(b), bandGain(b), bandSlider(b)})
            r.push_back(scaled(c, percent));
    return r;
}

// A right click at this client y or below, on the background, opens the background popup.
constexpr int kBackgroundPopupTop = 377;

}  // namespace qv::layout
