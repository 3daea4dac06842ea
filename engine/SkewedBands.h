#pragma once
// The active bands of a chunk of frames, run side by side in SSE2 lanes.

#include <cstdint>

#include "FramePasses.h"

namespace qv {

// Up to six bands of up to two channels: lane = band * channels + channel, in the order the bands
// run. Lanes past the last band hold zero coefficients and history.
struct BandLanes {
    static constexpr int kLanes = 12;
    float b0[kLanes], b1[kLanes], b2[kLanes], a1[kLanes], a2[kLanes];
    float x1[kLanes], x2[kLanes], y1[kLanes], y2[kLanes];
};

// Runs `bands` (1..6) bands in series over `count` interleaved frames of `channels` (1 or 2)
// channels, in place, reading and updating the history in `lanes`.
void runSkewedBands(BandLanes& lanes, int channels, int bands, float* frames, int32_t count);

// The same with the noise going in and the output gain, clips and peaks coming out in the same
// pass, for a gain that no longer glides (run.gain == run.target).
void runSkewedBands(BandLanes& lanes, int channels, int bands, float* frames, const float* noise, int32_t count,
                    BlockRun& run);

// The same from two input channels to two output channels, written or added. An output may be its
// own input.
struct SeparateChannels {
    const float* inLeft;
    const float* inRight;
    float* outLeft;
    float* outRight;
};
void runSkewedBands(BandLanes& lanes, int bands, const SeparateChannels& channels, bool accumulate, const float* noise,
                    int32_t count, BlockRun& run);

}  // namespace qv
