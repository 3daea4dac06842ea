#pragma once
// log10 of a float as the double-precision logarithm rounded to float, which is what the Windows
// runtime's log10f returns, at a fraction of its cost. Inline: a 32-bit call would return through
// the x87 stack.

#include <emmintrin.h>

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

// The same for four floats at once, lane by lane with the scalar operations in the same order.
inline __m128 log10Rounded(__m128 x)
{
    const __m128i bits = _mm_castps_si128(x);
    const __m128i offset = _mm_sub_epi32(bits, _mm_set1_epi32(0x00800000));
    const __m128i rare =
        _mm_or_si128(_mm_cmplt_epi32(offset, _mm_setzero_si128()), _mm_cmpgt_epi32(offset, _mm_set1_epi32(0x7EFFFFFF)));
    if (_mm_movemask_epi8(rare)) {
        alignas(16) float lanes[4];
        _mm_store_ps(lanes, x);
        for (float& lane : lanes)
            lane = log10Rounded(lane);
        return _mm_load_ps(lanes);
    }
    alignas(16) int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_and_si128(_mm_srli_epi32(bits, 15), _mm_set1_epi32(0xFF)));
    const Log10Step* s[4] = {&kLog10Table.steps[index[0]], &kLog10Table.steps[index[1]], &kLog10Table.steps[index[2]],
                             &kLog10Table.steps[index[3]]};
    const __m128i mantissa = _mm_and_si128(bits, _mm_set1_epi32(0x7FFFFF));
    const __m128i exponent = _mm_sub_epi32(_mm_srli_epi32(bits, 23), _mm_set1_epi32(127));
    __m128 halves[2];
    for (int h = 0; h < 2; ++h) {
        const Log10Step& lo = *s[2 * h];
        const Log10Step& hi = *s[2 * h + 1];
        const __m128i m = h == 0 ? mantissa : _mm_shuffle_epi32(mantissa, _MM_SHUFFLE(3, 2, 3, 2));
        const __m128i e = h == 0 ? exponent : _mm_shuffle_epi32(exponent, _MM_SHUFFLE(3, 2, 3, 2));
        const __m128d t = _mm_add_pd(_mm_set1_pd(1.0), _mm_mul_pd(_mm_cvtepi32_pd(m), _mm_set1_pd(1.0 / 8388608.0)));
        const __m128d r = _mm_mul_pd(_mm_sub_pd(t, _mm_setr_pd(lo.c, hi.c)), _mm_setr_pd(lo.inverse, hi.inverse));
        const __m128d r2 = _mm_mul_pd(r, r);
        const auto term = [&](double a, double b) { return _mm_add_pd(_mm_set1_pd(a), _mm_mul_pd(r, _mm_set1_pd(b))); };
        const __m128d p = _mm_add_pd(
            r, _mm_mul_pd(r2, _mm_add_pd(term(-1.0 / 2, 1.0 / 3),
                                         _mm_mul_pd(r2, _mm_add_pd(term(-1.0 / 4, 1.0 / 5),
                                                                   _mm_mul_pd(r2, term(-1.0 / 6, 1.0 / 7)))))));
        const __m128d ed = _mm_add_pd(_mm_cvtepi32_pd(e), _mm_setr_pd(lo.raise, hi.raise));
        const __m128d ln =
            _mm_add_pd(_mm_mul_pd(ed, _mm_set1_pd(0.6931471805599453094)), _mm_add_pd(_mm_setr_pd(lo.log, hi.log), p));
        halves[h] = _mm_cvtpd_ps(_mm_mul_pd(ln, _mm_set1_pd(0.4342944819032518277)));
    }
    return _mm_movelh_ps(halves[0], halves[1]);
}

}  // namespace qv
