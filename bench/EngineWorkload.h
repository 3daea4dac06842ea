#pragma once
// Shared workloads of the engine benchmarks: the engine with 0, 1 or 6 active bands, and the
// reference it is measured against in the same run: a textbook direct-form-I biquad cascade in
// single precision, processing frame by frame.

#include <vector>

#include "AnalyzerRing.h"
#include "EqualizerEngine.h"

namespace qvbench {

constexpr int kBlock = 512;

inline void configure(qv::EqualizerEngine& e, int activeBands)
{
    using namespace qv;
    for (int b = 1; b <= 6; ++b) {
        e.setValue(paramIndex(kRowFilter, b), kPeakDip);
        e.setValue(paramIndex(kRowFreq, b), 100 * b * b);
        e.setValue(paramIndex(kRowQ, b), 10);
        e.setValue(paramIndex(kRowGain, b), b <= activeBands ? 30 : 0);
    }
}

struct Biquad {
    float b0, b1, b2, a1, a2;  // a1, a2 as subtracted
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

class ReferenceCascade {
public:
    explicit ReferenceCascade(int bands)
    {
        for (int i = 0; i < bands; ++i) {
            for (int ch = 0; ch < 2; ++ch)
                stages_[ch].push_back(Biquad{1.09f, -1.79f, 0.72f, -1.79f, 0.81f});
        }
    }
    void process(const float* const* in, float* const* out, int frames)
    {
        for (int ch = 0; ch < 2; ++ch) {
            for (int i = 0; i < frames; ++i) {
                float x = in[ch][i];
                for (Biquad& s : stages_[ch]) {
                    const float y = s.b0 * x + s.b1 * s.x1 + s.b2 * s.x2 - s.a1 * s.y1 - s.a2 * s.y2;
                    s.x2 = s.x1;
                    s.x1 = x;
                    s.y2 = s.y1;
                    s.y1 = y;
                    x = y;
                }
                out[ch][i] = x;
            }
        }
    }

private:
    std::vector<Biquad> stages_[2];
};

struct StereoBlock {
    std::vector<float> l, r, ol, or_;
    const float* in[2];
    float* out[2];
    explicit StereoBlock(float amplitude = 0.3f) : l(kBlock), r(kBlock), ol(kBlock), or_(kBlock)
    {
        for (int i = 0; i < kBlock; ++i) {
            l[i] = amplitude * static_cast<float>((i * 37) % 101 - 50) / 50.0f;
            r[i] = -l[i];
        }
        in[0] = l.data();
        in[1] = r.data();
        out[0] = ol.data();
        out[1] = or_.data();
    }
};

// The wrappers' call shape around processing: the ring takes each block's input. The editor drains
// about every third or fourth block (25 frames a second at 44.1 kHz); here every fourth, into
// nothing.
inline void feedAnalyzerBlock(qv::EqualizerEngine& e, qv::AnalyzerRing& ring, StereoBlock& b, int blocks)
{
    const qv::AnalyzerRing::Block tap = ring.beginBlock(b.in[0], b.in[1], kBlock);
    e.processReplacing(b.in, b.out, kBlock);
    ring.endBlock(tap);
    if (blocks % 4 == 3)
        ring.drain([](const float*, const float*, uint32_t) {});
}

// Silence after loud input: the filters' tails decay towards nothing, where denormal numbers would
// make every operation slow. Left in that state, the engine is timed on silent blocks.
inline void decayAfterLoudInput(qv::EqualizerEngine& e, StereoBlock& silence)
{
    StereoBlock loud(1.0f);
    for (int i = 0; i < 8; ++i)
        e.processReplacing(loud.in, loud.out, kBlock);
    for (int i = 0; i < 400; ++i)
        e.processReplacing(silence.in, silence.out, kBlock);
}

}  // namespace qvbench
