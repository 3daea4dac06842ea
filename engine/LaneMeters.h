#pragma once
// Output gain glide, clip detection and peaks: the scalar definitions and their four-lane form.

#include <emmintrin.h>

#include <cmath>

namespace qv {

inline bool clips(float y) { return y > 1.0f || !(y >= -1.0f); }

inline void meter(float y, float& peak, bool& clip)
{
    clip |= clips(y);
    const float a = std::fabs(y);
    if (a > peak)
        peak = a;
}

// One step of the output gain glide. In single precision g + (t - g) * 0.01 stalls a few ulp short
// of its target; once a step no longer moves the gain, the gain is the target. From then on every
// step gives the target again, so the gain is a constant.
inline float glide(float current, float target)
{
    const float next = current + (target - current) * 0.01f;
    return next == current ? target : next;
}

// Clips and peaks of four lanes at once. The peak keeps the larger of itself and |y| as the scalar
// comparison does: a NaN never replaces it, and the maximum of a set does not depend on the order.
struct LaneMeters {
    __m128 peak = _mm_setzero_ps();
    __m128 clip = _mm_setzero_ps();

    void add(__m128 y)
    {
        const __m128 over = _mm_cmpgt_ps(y, _mm_set1_ps(1.0f));
        const __m128 under = _mm_cmpnge_ps(y, _mm_set1_ps(-1.0f));  // also a NaN
        clip = _mm_or_ps(clip, _mm_or_ps(over, under));
        peak = _mm_max_ps(_mm_andnot_ps(_mm_set1_ps(-0.0f), y), peak);
    }

    // Folds lanes first, first + stride, ... into one channel's block maximum and clip flag.
    void mergeInto(int first, int stride, float& maxValue, bool& clipped) const
    {
        alignas(16) float peaks[4];
        _mm_store_ps(peaks, peak);
        const int clipBits = _mm_movemask_ps(clip);
        for (int lane = first; lane < 4; lane += stride) {
            if (peaks[lane] > maxValue)
                maxValue = peaks[lane];
            if (clipBits >> lane & 1)
                clipped = true;
        }
    }
};

}  // namespace qv
