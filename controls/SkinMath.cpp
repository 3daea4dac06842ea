#include "SkinMath.h"

#include <cstdio>
#include <cstring>

namespace qv {

int tintChannel(int channel, uint32_t tint, int shift)
{
    const uint32_t divisor = tint >> 24;
    if (divisor == 0)
        return channel;
    const uint32_t factor = (tint >> shift) & 0xFF;
    const uint32_t v = static_cast<uint32_t>(channel) * factor / divisor;
    return v > 255 ? 255 : static_cast<int>(v);
}

int fadedTransparency(int transparency, int fade)
{
    if (fade == 255)
        return transparency;
    return fade + (255 - fade) * transparency / 255;
}

bool insideTintArea(int c, int r, int width, int height, int borderMode)
{
    switch (borderMode) {
    case 0:
        return true;
    case 1:
        return c >= 2 && c <= width - 2 && r >= 2 && r <= height - 2;
    case 2:
        return c >= 1 && c <= width - 3 && r >= 1 && r <= height - 3;
    default:
        return true;
    }
}

void blendSprite(uint32_t* destination, int stride, int width, int height, const SpriteBlend& b)
{
    if (width <= 0 || height <= 0 || !destination || !b.sprite)
        return;
    const int spriteWidth = b.spriteWidth > 0 ? b.spriteWidth : width;
    for (int r = 0; r < height; ++r) {
        uint32_t* row = destination + static_cast<ptrdiff_t>(r) * stride;
        const uint8_t* src = b.sprite + (static_cast<size_t>(b.sourceY + r) * spriteWidth + b.sourceX) * 4;
        for (int c = 0; c < width; ++c, src += 4) {
            const int w = blendWeight(fadedTransparency(src[3], b.fade));
            int red = src[0], green = src[1], blue = src[2];
            if (b.tint != 0 && insideTintArea(c, r, width, height, b.borderMode)) {
                red = tintChannel(red, b.tint, 0);
                green = tintChannel(green, b.tint, 8);
                blue = tintChannel(blue, b.tint, 16);
            }
            const uint32_t d = row[c];
            const uint8_t ob = blendChannel(blue, static_cast<int>(d & 0xFF), w);
            const uint8_t og = blendChannel(green, static_cast<int>((d >> 8) & 0xFF), w);
            const uint8_t orr = blendChannel(red, static_cast<int>((d >> 16) & 0xFF), w);
            row[c] = (d & 0xFF000000u) | (uint32_t(orr) << 16) | (uint32_t(og) << 8) | ob;
        }
    }
}

int wheelStep(int delta, uint32_t elapsedMs)
{
    int s = delta / 120;
    if (s == 0)
        s = delta <= 0 ? -1 : 1;
    if (elapsedMs < 1)
        elapsedMs = 1;
    const int factor = elapsedMs >= 500 ? 1 : static_cast<int>(500 / elapsedMs);
    const int magnitude = s < 0 ? -s : s;
    return s * magnitude * factor;
}

int ParseFixed(const char* text, int decimals)
{
    if (!text)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    // Held at a cap beyond the int range, so that a long run of digits ends at the nearest limit
    // instead of wrapping round to a value of the other sign.
    constexpr int64_t kCap = int64_t{1} << 32;
    auto grow = [](int64_t v, int64_t digit) { return v >= kCap ? kCap : v * 10 + digit; };
    int64_t value = 0;
    while (*p >= '0' && *p <= '9')
        value = grow(value, *p++ - '0');
    for (int i = 0; i < decimals; ++i)
        value = grow(value, 0);
    if (*p == '.') {
        ++p;
        int64_t scale = 1;
        for (int i = 1; i < decimals; ++i)
            scale *= 10;
        for (int i = 0; i < decimals; ++i, scale /= 10) {
            if (*p >= '0' && *p <= '9')
                value += (*p++ - '0') * scale;
            else
                break;  // a non-digit counts as 0 and every later position does too
        }
    }
    if (negative)
        value = -value;
    return static_cast<int>(value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : value);
}

void formatDbValue(int tenths, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    if (tenths < -999)
        snprintf(out, size, "-Inf");
    else
        snprintf(out, size, "%.1f", tenths * 0.1);
}

int dbPairSpaces(int widthA, int widthB, Scale scale)
{
    const int n = (scalePx(47, scale) - widthA - widthB) / scalePx(3, scale);
    return n < 1 ? 1 : n;
}

uint8_t marchingPatternRow(int row, int phase)
{
    static const uint8_t kStripes[8] = {0x0F, 0x1E, 0x3C, 0x78, 0xF0, 0xE1, 0xC3, 0x87};
    return kStripes[((row - phase) % 8 + 8) % 8];
}

bool expandRle8(const uint8_t* data, size_t size, int width, int height, uint8_t* out, size_t outSize)
{
    if (!data || !out || width <= 0 || height <= 0)
        return false;
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t(3);
    if (stride * static_cast<size_t>(height) > outSize)
        return false;
    memset(out, 0, stride * static_cast<size_t>(height));
    size_t i = 0;
    int x = 0, y = 0;
    auto put = [&](uint8_t v) {
        if (x < width && y < height)
            out[static_cast<size_t>(y) * stride + x] = v;
        ++x;
    };
    while (i + 1 < size) {
        const uint8_t count = data[i], value = data[i + 1];
        i += 2;
        if (count != 0) {
            for (int k = 0; k < count; ++k)
                put(value);
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            ++y;
            break;
        case 1:  // end of image
            return true;
        case 2:  // delta
            if (i + 1 >= size)
                return false;
            x += data[i];
            y += data[i + 1];
            i += 2;
            break;
        default: {  // literal run, padded to an even count
            const size_t n = value;
            if (i + n > size)
                return false;
            for (size_t k = 0; k < n; ++k)
                put(data[i + k]);
            i += (n + 1) & ~size_t(1);
            break;
        }
        }
        if (y > height)
            return false;
    }
    return false;  // ran out of data before the end-of-image escape
}

}  // namespace qv
