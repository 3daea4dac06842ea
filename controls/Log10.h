#pragma once
// log10 of a float as the double-precision logarithm rounded to float, which is what the Windows
// runtime's log10f returns, at a fraction of its cost. Inline: a 32-bit call would return through
// the x87 stack.

#include <cmath>
#include <cstdint>
#include <cstring>

namespace qv {

// A float is 2^e * t with t = 1 + m / 2^23 in [1, 2). The top 8 bits of m choose c, the nearest
// step of 1/256 below t in the lower half and above t in the upper half, where c is halved into
// [0.75, 1] and e raised by one. Then ln x = e ln 2 + ln c + ln(1 + r), r = (t - c) / c with t - c
// exact and |r| < 1/256. Next to t = 1 (from either side) c is exactly 1, and elsewhere ln c and r
// have one sign, so nothing cancels: about 1e-16 relative error, far inside the rounding to float.
struct Log10Step {
    double c;        // in t's units, 1 .. 2
    double inverse;  // 1 / c
    double log;      // ln c, less ln 2 in the upper half
    double raise;    // 0, or 1 in the upper half
};
struct Log10Table {
    Log10Step steps[256];
    Log10Table();
};
extern const Log10Table kLog10Table;

inline float log10Rounded(float x)
{
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    // Zero, negative, subnormal, infinite and NaN arguments: rare, left to the library.
    if (bits - 0x00800000u >= 0x7F000000u)
        return static_cast<float>(std::log10(static_cast<double>(x)));
    const Log10Step& s = kLog10Table.steps[(bits >> 15) & 0xFF];
    const double t = 1.0 + static_cast<double>(static_cast<int32_t>(bits & 0x7FFFFFu)) * (1.0 / 8388608.0);
    const double r = (t - s.c) * s.inverse;
    // ln(1 + r) to r^7: the next term is below 2^-59 of the result.
    const double r2 = r * r;
    const double p =
        r + r2 * ((-1.0 / 2 + r * (1.0 / 3)) + r2 * ((-1.0 / 4 + r * (1.0 / 5)) + r2 * (-1.0 / 6 + r * (1.0 / 7))));
    const double e = static_cast<double>(static_cast<int32_t>(bits >> 23) - 127) + s.raise;
    return static_cast<float>((e * 0.6931471805599453094 + (s.log + p)) * 0.4342944819032518277);
}

}  // namespace qv
