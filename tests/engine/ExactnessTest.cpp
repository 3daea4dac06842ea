// Every processing path against a plain frame-by-frame evaluation of the definition, bit for bit:
// every subset of active bands, blocks of awkward lengths (chunk edges, the noise table's wrap), a
// gliding and a settled output gain, clips and peaks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "EqualizerEngine.h"

using namespace qv;

namespace {

const int kBandSettings[6][4] = {
    // type, frequency, Q, gain
    {kLowShelf, 120, 10, 90}, {kPeakDip, 900, 25, -70}, {kHighShelf, 6000, 10, 50},
    {kLowpass, 15000, 7, 0},  {kHighpass, 30, 7, 0},    {kPeakDip, 3000, 40, 120},
};
const int kBlocks[] = {1, 7, 64, 333, 2, 700, 5, 2100, 3, 512};

enum class Path {
    Replacing,
    Accumulating,
    Stereo,
    Mono
};

// The definition, one frame at a time.
struct Reference {
    BandRecord band[kColumns];
    bool active[kColumns];
    float history[kColumns][2][4] = {};  // x1, x2, y1, y2
    float noise[EqualizerEngine::kNoiseTableSize];
    float gain = 1.0f;
    float target = 1.0f;
    int position = 0;

    void frame(float* samples, int channels, float* peaks, bool* clipped)
    {
        const float n = noise[position];
        position = (position + 1) % EqualizerEngine::kNoiseTableSize;
        const float next = gain + (target - gain) * 0.01f;
        gain = next == gain ? target : next;
        for (int ch = 0; ch < channels; ++ch) {
            float x = samples[ch] + n;
            for (int c = 1; c < kColumns; ++c) {
                if (!active[c])
                    continue;
                const BandRecord& b = band[c];
                float* h = history[c][ch];
                const float y = b.b0 * x + b.b1 * h[0] + b.b2 * h[1] + b.a1 * h[2] + b.a2 * h[3];
                h[1] = h[0];
                h[0] = x;
                h[3] = h[2];
                h[2] = y;
                x = y;
            }
            const float out = x * gain;
            samples[ch] = out;
            if (out > 1.0f || !(out >= -1.0f))
                clipped[ch] = true;
            const float a = out < 0.0f ? -out : out;
            if (a > peaks[ch])
                peaks[ch] = a;
        }
    }
};

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The noise table as the engine adds it: a flat engine's output for silence.
std::vector<float> noiseTable()
{
    EqualizerEngine flat;
    std::vector<float> zeros(EqualizerEngine::kNoiseTableSize, 0.0f), l(zeros), r(zeros);
    const float* in[2] = {zeros.data(), zeros.data()};
    float* out[2] = {l.data(), r.data()};
    flat.processReplacing(in, out, EqualizerEngine::kNoiseTableSize);
    return l;
}

std::vector<float> signal(size_t n, uint32_t seed)
{
    std::vector<float> s(n);
    for (float& v : s) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<float>(static_cast<int32_t>(seed) >> 8) / 8388608.0f * 0.8f;
    }
    return s;
}

// Runs `path` over the blocks and compares every sample, and each block's peaks and clips.
void checkPath(Path path, int bandMask, int outputGain, const std::vector<float>& noise)
{
    EqualizerEngine e;
    e.setValue(kOutputGainIndex, outputGain);
    for (int b = 0; b < 6; ++b) {
        const int c = b + 1;
        e.setValue(paramIndex(kRowFilter, c), kBandSettings[b][0]);
        e.setValue(paramIndex(kRowFreq, c), kBandSettings[b][1]);
        e.setValue(paramIndex(kRowQ, c), kBandSettings[b][2]);
        e.setValue(paramIndex(kRowGain, c), kBandSettings[b][3]);
        e.setValue(paramIndex(kRowEnabled, c), bandMask >> b & 1);
    }
    const int channels = path == Path::Mono ? 1 : 2;
    const ParameterRecord setup = e.workingSetup();
    // An empty block designs without moving the noise or the gain.
    uint32_t none = 0;
    float dummy = 0.0f;
    const float* noIn[2] = {&dummy, &dummy};
    float* noOut[2] = {&dummy, &dummy};
    if (path == Path::Replacing || path == Path::Accumulating)
        e.processReplacing(noIn, noOut, 0);
    else
        e.processInterleaved(&dummy, &none, channels, setup, false);

    Reference ref;
    e.designCoefficients();
    for (int c = 0; c < kColumns; ++c) {
        ref.band[c] = *e.bandRecord(c);
        ref.active[c] =
            c > 0 && isColumnActive(e.getValue(paramIndex(kRowEnabled, c)), e.getValue(paramIndex(kRowFilter, c)),
                                    e.getValue(paramIndex(kRowGain, c)));
    }
    std::memcpy(ref.noise, noise.data(), sizeof ref.noise);
    ref.target = e.outputGainTarget();

    const std::vector<float> left = signal(4200, 11u + bandMask), right = signal(4200, 5u * bandMask + 1u);
    size_t start = 0;
    for (int block : kBlocks) {
        const size_t n = static_cast<size_t>(block);
        std::vector<float> expected, got;
        for (size_t i = 0; i < n; ++i) {
            expected.push_back(left[start + i]);
            if (channels == 2)
                expected.push_back(right[start + i]);
        }
        float peaks[2] = {0.0f, 0.0f};
        bool clipped[2] = {false, false};
        const float prior = 0.125f;  // what an accumulating output holds already
        for (size_t i = 0; i < n; ++i)
            ref.frame(&expected[i * channels], channels, peaks, clipped);
        if (path == Path::Accumulating) {
            for (float& v : expected)
                v = prior + v;
        }

        if (path == Path::Replacing || path == Path::Accumulating) {
            // In place for the replacing path, as hosts may do.
            std::vector<float> l(left.begin() + start, left.begin() + start + n);
            std::vector<float> r(right.begin() + start, right.begin() + start + n);
            std::vector<float> ol(n, prior), orr(n, prior);
            const float* in[2] = {l.data(), r.data()};
            if (path == Path::Replacing) {
                float* out[2] = {l.data(), r.data()};
                e.processReplacing(in, out, block);
            } else {
                float* out[2] = {ol.data(), orr.data()};
                e.process(in, out, block);
                l = ol;
                r = orr;
            }
            for (size_t i = 0; i < n; ++i) {
                got.push_back(l[i]);
                got.push_back(r[i]);
            }
        } else {
            got.assign(expected.size(), 0.0f);
            for (size_t i = 0; i < n; ++i) {
                got[i * channels] = left[start + i];
                if (channels == 2)
                    got[i * 2 + 1] = right[start + i];
            }
            uint32_t frames = static_cast<uint32_t>(block);
            e.processInterleaved(got.data(), &frames, channels, setup, false);
        }

        for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_TRUE(sameBits(expected[i], got[i]))
                << "bands " << bandMask << ", path " << static_cast<int>(path) << ", block of " << block << ", sample "
                << i << ": expected " << expected[i] << ", got " << got[i];
        }
        float meterLeft, meterRight;
        e.readMeters(meterLeft, meterRight);
        EXPECT_TRUE(sameBits(meterLeft, peaks[0])) << bandMask << " block " << block;
        EXPECT_TRUE(sameBits(meterRight, channels == 2 ? peaks[1] : peaks[0])) << bandMask << " block " << block;
        const int32_t clipValue = path == Path::Replacing || path == Path::Accumulating
                                      ? EqualizerEngine::kClipFromVst
                                      : EqualizerEngine::kClipFromStream;
        EXPECT_EQ(e.getClipCounter(0, 0), clipped[0] ? clipValue : 0) << bandMask << " block " << block;
        if (channels == 2) {
            EXPECT_EQ(e.getClipCounter(1, 0), clipped[1] ? clipValue : 0) << bandMask << " block " << block;
        }
        e.clearClip();
        start += n;
    }
    EXPECT_EQ(e.outputGainCurrent(), ref.gain);
}

}  // namespace

TEST(Exactness, EveryPathMatchesTheFrameByFrameDefinitionForEverySetOfBands)
{
    const std::vector<float> noise = noiseTable();
    for (int mask = 0; mask < 64; ++mask) {
        // Half the sets, every count of bands among them, glide the output gain down over the
        // first two thousand frames.
        const int outputGain = __builtin_popcount(static_cast<unsigned>(mask * 3)) % 2 ? -60 : 0;
        for (Path path : {Path::Replacing, Path::Accumulating, Path::Stereo, Path::Mono}) {
            checkPath(path, mask, outputGain, noise);
            if (HasFatalFailure())
                return;
        }
    }
}
