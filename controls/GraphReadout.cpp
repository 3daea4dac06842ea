#include "GraphReadout.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qv {

float graphFrequencyAt(const GraphAxes& a, int x)
{
    if (a.width <= 0)
        return a.lowest;
    return static_cast<float>(a.lowest * std::pow(10.0, (x + 0.5) * a.span / a.width));
}

float graphGainAt(const GraphAxes& a, int y)
{
    if (a.half <= 0)
        return 0.0f;
    return static_cast<float>(static_cast<double>(a.centre - y) * a.range / a.half);
}

void formatReadingFrequency(float hz, char* out, size_t size)
{
    if (hz < 999.5f)
        std::snprintf(out, size, "%d Hz", static_cast<int>(std::lround(hz)));
    else if (hz < 9995.0f)
        std::snprintf(out, size, "%.2f kHz", hz * 0.001);
    else
        std::snprintf(out, size, "%.1f kHz", hz * 0.001);
}

namespace {

// Tenths as the fields show them, with the sign a gain reads by.
void signedTenths(float tenths, char* out, size_t size)
{
    const long t = std::lround(tenths);
    std::snprintf(out, size, "%s%ld.%ld", t < 0 ? "-" : (t > 0 ? "+" : ""), std::labs(t) / 10, std::labs(t) % 10);
}

}  // namespace

void formatPointerReadout(const GraphAxes& a, int x, int y, char* out, size_t size)
{
    char frequency[24], gain[24];
    formatReadingFrequency(graphFrequencyAt(a, x), frequency, sizeof frequency);
    signedTenths(graphGainAt(a, y) * 10.0f, gain, sizeof gain);
    std::snprintf(out, size, "%s, %s dB", frequency, gain);
}

void formatBandReadout(int number, const BandRecord& band, char* out, size_t size)
{
    char gain[24];
    signedTenths(std::trunc(band.gain), gain, sizeof gain);
    const long q = std::lround(std::trunc(band.q));
    const long hz = static_cast<long>(band.frequency);
    const bool pass = band.type == 3.0f || band.type == 4.0f;
    if (pass)
        std::snprintf(out, size, "Band %d: %ld Hz, Q %ld.%ld", number, hz, q / 10, q % 10);
    else
        std::snprintf(out, size, "Band %d: %ld Hz, %s dB, Q %ld.%ld", number, hz, gain, q / 10, q % 10);
}

ReadoutBox placeReadout(int x, int y, int width, int height, int gap, int left, int top, int right, int bottom)
{
    int boxLeft = x + gap;
    if (boxLeft + width > right)
        boxLeft = x - gap - width;
    int boxTop = y - gap - height;
    if (boxTop < top)
        boxTop = y + gap;
    if (boxLeft + width > right)
        boxLeft = right - width;
    if (boxLeft < left)
        boxLeft = left;
    if (boxTop + height > bottom)
        boxTop = bottom - height;
    if (boxTop < top)
        boxTop = top;
    return ReadoutBox{boxLeft, boxTop};
}

}  // namespace qv
