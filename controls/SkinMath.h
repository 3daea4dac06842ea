#pragma once
// Platform-free arithmetic of the skinned controls: sprite blending and tint, wheel acceleration,
// number parsing and the level readout texts, the marching-rectangle pattern and RLE8 expansion.

#include <cstddef>
#include <cstdint>

#include "ScaleMath.h"

namespace qv {

// Applies one channel factor of a tint word (factor in bits `shift`, divisor in bits 24-31).
// A zero divisor leaves the channel unchanged rather than dividing by zero.
int tintChannel(int channel, uint32_t tint, int shift);

// Transparency of a sprite pixel after fading: fade 255 keeps it, anything else is the least
// transparency every pixel gets.
int fadedTransparency(int transparency, int fade);

// Blend weight of the destination for a transparency value (0 or t + 1).
inline int blendWeight(int t) { return t > 0 ? t + 1 : 0; }

// source + ((destination - source) * weight) >> 8, with an arithmetic shift.
inline uint8_t blendChannel(int source, int destination, int weight)
{
    return static_cast<uint8_t>(source + (((destination - source) * weight) >> 8));
}

// Whether column c, row r of a width x height sprite lies inside the tinted area of a border mode.
bool insideTintArea(int c, int r, int width, int height, int borderMode);

struct SpriteBlend {
    const uint8_t* sprite = nullptr;  // red, green, blue, transparency per pixel
    int spriteWidth = 0;              // pixels per sprite row
    int sourceX = 0, sourceY = 0;
    int fade = 255;
    uint32_t tint = 0;
    int borderMode = 0;
};

// Blends a width x height window of a sprite over 32-bit destination pixels (blue, green, red, x),
// top row first, `stride` pixels per destination row.
void blendSprite(uint32_t* destination, int stride, int width, int height, const SpriteBlend& blend);

// Milliseconds between two message times. The tick count wraps after 49.7 days, so the difference is
// taken unsigned: a signed one turns negative after 24.9 days of uptime and the first notch jumps.
inline uint32_t wheelElapsed(uint32_t previous, uint32_t now) { return now - previous; }

// Step of a wheel message of delta `delta`, `elapsedMs` after the previous one: fast turns accelerate.
int wheelStep(int delta, uint32_t elapsedMs);

// Decimal number with `decimals` fraction digits as an integer scaled by 10^decimals. A number
// beyond the int range gives the nearest limit; a null text gives 0.
int ParseFixed(const char* text, int decimals);

// "-Inf" below -999 tenths, else "%.1f" of the level in dB.
void formatDbValue(int tenths, char* out, size_t size);

// Spaces between the two readout texts of pixel widths a and b at a display scale: the pair fills
// 47 pixels at 100 %, in spaces 3 pixels wide, and as much more as the font grows with the scale.
int dbPairSpaces(int widthA, int widthB, Scale scale = kScale100);

// Row i of the marching rectangle's 8x8 pattern at a given phase.
uint8_t marchingPatternRow(int row, int phase);

// Expands BI_RLE8 data into rows of `width` bytes padded to 4, `height` rows, in storage order.
// Hostile input cannot write outside `out`; returns false when the data is malformed or truncated.
bool expandRle8(const uint8_t* data, size_t size, int width, int height, uint8_t* out, size_t outSize);

}  // namespace qv
