#pragma once
// The passes over a chunk of frames around the bands: the noise going in, the output gain, clip
// detection and peaks coming out. Each gives the bits of the frame-by-frame definition.

#include <cstdint>

namespace qv {

// The running state of one block, carried from chunk to chunk.
struct BlockRun {
    float gain = 1.0f;
    float target = 1.0f;
    float maxLeft = 0.0f;
    float maxRight = 0.0f;
    bool clipLeft = false;
    bool clipRight = false;
    int position = 0;
};

// frames[2i] = left[i] + noise[i], frames[2i + 1] = right[i] + noise[i].
void interleaveWithNoise(const float* left, const float* right, const float* noise, float* frames, int32_t count);
// Adds noise[i] to each channel of interleaved frame i, in place.
void addNoise(float* frames, int channels, const float* noise, int32_t count);
// Output gain, clips and peaks of interleaved frames, in place.
void finishFrames(float* frames, int channels, int32_t count, BlockRun& run);
// Interleaved stereo frames into two channels, written or added.
void deinterleave(const float* frames, float* left, float* right, int32_t count, bool accumulate);
// With no band active: noise, gain, clips and peaks from two input channels to two output
// channels in one pass. An output may be its own input.
void finishSeparate(const float* inLeft, const float* inRight, const float* noise, float* outLeft, float* outRight,
                    int32_t count, bool accumulate, BlockRun& run);

}  // namespace qv
