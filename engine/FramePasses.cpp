#include "FramePasses.h"

#include "LaneMeters.h"

namespace qv {
namespace {

inline void put(float* out, float y, bool accumulate)
{
    if (accumulate)
        *out += y;
    else
        *out = y;
}

inline void put(float* out, __m128 y, bool accumulate)
{
    _mm_storeu_ps(out, accumulate ? _mm_add_ps(_mm_loadu_ps(out), y) : y);
}

}  // namespace

void interleaveWithNoise(const float* left, const float* right, const float* noise, float* frames, int32_t count)
{
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 n = _mm_loadu_ps(noise + i);
        const __m128 l = _mm_add_ps(_mm_loadu_ps(left + i), n);
        const __m128 r = _mm_add_ps(_mm_loadu_ps(right + i), n);
        _mm_storeu_ps(frames + 2 * i, _mm_unpacklo_ps(l, r));
        _mm_storeu_ps(frames + 2 * i + 4, _mm_unpackhi_ps(l, r));
    }
    for (; i < count; ++i) {
        frames[2 * i] = left[i] + noise[i];
        frames[2 * i + 1] = right[i] + noise[i];
    }
}

void addNoise(float* frames, int channels, const float* noise, int32_t count)
{
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 n = _mm_loadu_ps(noise + i);
        if (channels == 2) {
            float* f = frames + 2 * i;
            _mm_storeu_ps(f, _mm_add_ps(_mm_loadu_ps(f), _mm_unpacklo_ps(n, n)));
            _mm_storeu_ps(f + 4, _mm_add_ps(_mm_loadu_ps(f + 4), _mm_unpackhi_ps(n, n)));
        } else {
            _mm_storeu_ps(frames + i, _mm_add_ps(_mm_loadu_ps(frames + i), n));
        }
    }
    for (; i < count; ++i) {
        for (int ch = 0; ch < channels; ++ch)
            frames[i * channels + ch] += noise[i];
    }
}

void finishFrames(float* frames, int channels, int32_t count, BlockRun& run)
{
    int32_t i = 0;
    // While the gain glides, each frame's gain depends on the one before: frame by frame.
    for (; i < count && run.gain != run.target; ++i) {
        run.gain = glide(run.gain, run.target);
        float* f = frames + i * channels;
        f[0] *= run.gain;
        meter(f[0], run.maxLeft, run.clipLeft);
        if (channels == 2) {
            f[1] *= run.gain;
            meter(f[1], run.maxRight, run.clipRight);
        }
    }
    // Then a constant. Stereo lanes alternate left and right, as the frames do.
    const __m128 gain = _mm_set1_ps(run.gain);
    float* p = frames + i * channels;
    const int32_t floats = (count - i) * channels;
    LaneMeters lanes;
    int32_t k = 0;
    for (; k + 4 <= floats; k += 4) {
        const __m128 y = _mm_mul_ps(_mm_loadu_ps(p + k), gain);
        _mm_storeu_ps(p + k, y);
        lanes.add(y);
    }
    lanes.mergeInto(0, channels, run.maxLeft, run.clipLeft);
    if (channels == 2)
        lanes.mergeInto(1, 2, run.maxRight, run.clipRight);
    for (; k < floats; ++k) {
        p[k] *= run.gain;
        if (channels == 2 && (k & 1))
            meter(p[k], run.maxRight, run.clipRight);
        else
            meter(p[k], run.maxLeft, run.clipLeft);
    }
}

void deinterleave(const float* frames, float* left, float* right, int32_t count, bool accumulate)
{
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 a = _mm_loadu_ps(frames + 2 * i);
        const __m128 b = _mm_loadu_ps(frames + 2 * i + 4);
        put(left + i, _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)), accumulate);
        put(right + i, _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)), accumulate);
    }
    for (; i < count; ++i) {
        put(left + i, frames[2 * i], accumulate);
        put(right + i, frames[2 * i + 1], accumulate);
    }
}

void finishSeparate(const float* inLeft, const float* inRight, const float* noise, float* outLeft, float* outRight,
                    int32_t count, bool accumulate, BlockRun& run)
{
    // Each frame reads both inputs before it writes either output: a host may process in place.
    const auto frame = [&](int32_t i) {
        const float l = (inLeft[i] + noise[i]) * run.gain;
        const float r = (inRight[i] + noise[i]) * run.gain;
        meter(l, run.maxLeft, run.clipLeft);
        meter(r, run.maxRight, run.clipRight);
        put(outLeft + i, l, accumulate);
        put(outRight + i, r, accumulate);
    };
    int32_t i = 0;
    for (; i < count && run.gain != run.target; ++i) {
        run.gain = glide(run.gain, run.target);
        frame(i);
    }
    const __m128 gain = _mm_set1_ps(run.gain);
    LaneMeters metersLeft, metersRight;
    for (; i + 4 <= count; i += 4) {
        const __m128 n = _mm_loadu_ps(noise + i);
        const __m128 l = _mm_mul_ps(_mm_add_ps(_mm_loadu_ps(inLeft + i), n), gain);
        const __m128 r = _mm_mul_ps(_mm_add_ps(_mm_loadu_ps(inRight + i), n), gain);
        metersLeft.add(l);
        metersRight.add(r);
        put(outLeft + i, l, accumulate);
        put(outRight + i, r, accumulate);
    }
    metersLeft.mergeInto(0, 1, run.maxLeft, run.clipLeft);
    metersRight.mergeInto(0, 1, run.maxRight, run.clipRight);
    for (; i < count; ++i)
        frame(i);
}

}  // namespace qv
