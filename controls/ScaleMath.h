#pragma once
// Platform-free arithmetic of the display scale: the scale a window's DPI asks for, lengths at a
// scale, and pointer motion taken back to 100 % so that a drag moves a value as far per physical
// inch at every scale.

#include <optional>

namespace qv {

// The scales the skin is drawn at. Every seam passes one of these, never a bare percentage; a
// percentage from outside (a control's scale message) becomes one through scaleFromPercent.
enum class Scale : int {
    P100 = 100,
    P150 = 150,
    P200 = 200
};
constexpr Scale kScale100 = Scale::P100;
constexpr Scale kScale150 = Scale::P150;
constexpr Scale kScale200 = Scale::P200;

// The DPI of the 100 % scale.
constexpr int kBaseDpi = 96;

constexpr int percentOf(Scale scale) { return static_cast<int>(scale); }

// Written to a stream (messages, test output) as its percentage.
template <class Stream>
Stream& operator<<(Stream& out, Scale scale)
{
    out << percentOf(scale);
    return out;
}

// The scale a percentage names, or nothing for any other number.
constexpr std::optional<Scale> scaleFromPercent(unsigned long long percent)
{
    if (percent == 100)
        return Scale::P100;
    if (percent == 150)
        return Scale::P150;
    if (percent == 200)
        return Scale::P200;
    return std::nullopt;
}

// 100 below 120 DPI, 150 from 120 to 167, 200 from 168 up. A DPI of 0 or less (no answer from the
// system) counts as 96.
Scale scaleForDpi(int dpi);

// A length or coordinate at a scale, rounded half up. At 100 it is the length itself.
constexpr int scalePx(int v, Scale scale)
{
    const int n = v * percentOf(scale);
    return n >= 0 ? (n + 50) / 100 : -((-n + 50) / 100);
}

// Turns pointer motion in device pixels into motion in 100 % pixels. What a move leaves over is
// kept for the next one, so a slow drag at 200 % (one pixel per message) still moves the value.
class MotionScaler {
public:
    void reset() { rest_ = 0; }
    int step(int devicePixels, Scale scale);

private:
    int rest_ = 0;  // in hundredths of a 100 % pixel
};

}  // namespace qv
