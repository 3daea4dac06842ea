#pragma once
// Platform-free arithmetic of the display scale: the scale a window's DPI asks for, lengths at a
// scale, and pointer motion taken back to 100 % so that a drag moves a value as far per physical
// inch at every scale.

namespace qv {

// The scales the skin is drawn at, in percent.
constexpr int kScale100 = 100;
constexpr int kScale150 = 150;
constexpr int kScale200 = 200;

// Whether a control's scale message names one of those scales.
constexpr bool isSkinScale(unsigned long long percent)
{
    return percent == kScale100 || percent == kScale150 || percent == kScale200;
}

// 100 below 120 DPI, 150 from 120 to 167, 200 from 168 up. A DPI of 0 or less (no answer from the
// system) counts as 96.
int scaleForDpi(int dpi);

// A length or coordinate at a scale, rounded half up. At 100 it is the length itself.
constexpr int scalePx(int v, int percent)
{
    const int n = v * percent;
    return n >= 0 ? (n + 50) / 100 : -((-n + 50) / 100);
}

// Turns pointer motion in device pixels into motion in 100 % pixels. What a move leaves over is
// kept for the next one, so a slow drag at 200 % (one pixel per message) still moves the value.
class MotionScaler {
public:
    void reset() { rest_ = 0; }
    int step(int devicePixels, int percent);

private:
    int rest_ = 0;  // in hundredths of a 100 % pixel
};

}  // namespace qv
