#include "Golden.h"

#include <cstdio>
#include <cstring>

#include "EqualizerEngine.h"
#include "ExactMath.h"
#include "WholeFile.h"

using namespace qv;

namespace {

constexpr int kFrames = 2048;

// Inputs made only of operations that give the same bits everywhere.
struct Signal {
    std::vector<float> left, right;
};

Signal chirp(float amplitude)
{
    Signal s;
    float phase = 0.0f;
    for (int i = 0; i < kFrames; ++i) {
        const float f = 0.001f + 0.6f * static_cast<float>(i) / kFrames;  // radians per sample
        phase += f;
        if (phase > 3.14159265f)
            phase -= 6.2831853f;
        s.left.push_back(amplitude * exactSin(phase));
        s.right.push_back(amplitude * exactCos(phase * 0.5f));
    }
    return s;
}

Signal noise(float amplitude, uint32_t seed)
{
    Signal s;
    for (int i = 0; i < kFrames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float a = static_cast<float>(static_cast<int32_t>(seed) >> 8) / 8388608.0f;
        seed = seed * 1664525u + 1013904223u;
        const float b = static_cast<float>(static_cast<int32_t>(seed) >> 8) / 8388608.0f;
        s.left.push_back(amplitude * a);
        s.right.push_back(amplitude * b);
    }
    return s;
}

void setBands(GoldenTarget& e, const int (*bands)[5], int output)
{
    e.setValue(kOutputGainIndex, output);
    for (int b = 0; b < 6; ++b) {
        // Type first, so that the Q is clamped by the band's own type.
        e.setValue(paramIndex(kRowFilter, b + 1), bands[b][1]);
        e.setValue(paramIndex(kRowEnabled, b + 1), bands[b][0]);
        e.setValue(paramIndex(kRowFreq, b + 1), bands[b][2]);
        e.setValue(paramIndex(kRowQ, b + 1), bands[b][3]);
        e.setValue(paramIndex(kRowGain, b + 1), bands[b][4]);
    }
}

std::vector<float> runStereo(GoldenTarget& e, const Signal& in, int block, bool accumulate = false)
{
    std::vector<float> l(kFrames, accumulate ? 0.25f : 0.0f), r(l);
    for (int start = 0; start < kFrames; start += block) {
        const int n = kFrames - start < block ? kFrames - start : block;
        const float* inputs[2] = {in.left.data() + start, in.right.data() + start};
        float* outputs[2] = {l.data() + start, r.data() + start};
        e.process(inputs, outputs, n, accumulate);
    }
    std::vector<float> out;
    for (int i = 0; i < kFrames; ++i) {
        out.push_back(l[i]);
        out.push_back(r[i]);
    }
    return out;
}

const int kAllTypes[6][5] = {
    {1, kLowShelf, 100, 10, -60}, {1, kPeakDip, 1000, 10, 60}, {1, kHighShelf, 10000, 10, 60},
    {1, kLowpass, 12000, 7, 0},   {1, kHighpass, 40, 7, 0},    {1, kPeakDip, 3500, 30, -90},
};
const int kHeavy[6][5] = {
    {1, kPeakDip, 60, 5, 180},     {1, kPeakDip, 120, 20, 150},     {1, kLowShelf, 300, 20, 180},
    {1, kHighShelf, 5000, 3, 180}, {1, kPeakDip, 19000, 1000, 180}, {0, kPeakDip, 800, 10, 120},
};

class EngineTarget : public GoldenTarget {
public:
    void setSampleRate(float rate) override { engine_.setSampleRate(rate); }
    void setValue(int index, int32_t v) override { engine_.setValue(index, v); }
    void setNormalized(int index, float x) override { engine_.setNormalized(index, x); }
    void process(const float* const* inputs, float* const* outputs, int32_t frames, bool accumulate) override
    {
        if (accumulate)
            engine_.process(inputs, outputs, frames);
        else
            engine_.processReplacing(inputs, outputs, frames);
    }
    EqualizerEngine* engine() override { return &engine_; }

private:
    EqualizerEngine engine_;
};

}  // namespace

std::vector<GoldenCase> computeGoldenCases()
{
    return computeGoldenCases([] { return std::unique_ptr<GoldenTarget>(new EngineTarget); });
}

std::vector<GoldenCase> computeGoldenCases(const GoldenTargetFactory& makeTarget)
{
    std::vector<GoldenCase> cases;

    {
        auto e = makeTarget();
        cases.push_back({"flat-chirp", runStereo(*e, chirp(0.5f), 512)});
    }
    {
        auto e = makeTarget();
        setBands(*e, kAllTypes, -30);
        cases.push_back({"all-types-44100-chirp", runStereo(*e, chirp(0.4f), 333)});
    }
    {
        auto e = makeTarget();
        e->setSampleRate(48000.0f);
        setBands(*e, kAllTypes, 0);
        // Host values beyond the ranges: unclamped Q and gain, an unknown type.
        e->setNormalized(paramIndex(kRowQ, 2), 3.0f);
        e->setNormalized(paramIndex(kRowGain, 3), 1.2f);
        e->setNormalized(paramIndex(kRowFilter, 6), 1.5f);
        Signal in = noise(0.3f, 7);
        std::vector<float> first = runStereo(*e, in, 2048);
        e->setValue(kOutputGainIndex, -240);  // glides down across the next block
        std::vector<float> second = runStereo(*e, in, 64);
        first.insert(first.end(), second.begin(), second.end());
        cases.push_back({"host-extremes-48000-noise", first});
    }
    {
        auto e = makeTarget();
        setBands(*e, kHeavy, 60);
        cases.push_back({"heavy-boost-clipping", runStereo(*e, noise(0.9f, 99), 1)});
    }
    {
        auto e = makeTarget();
        setBands(*e, kAllTypes, 15);
        cases.push_back({"accumulating", runStereo(*e, chirp(0.7f), 2048, true)});
    }
    if (auto target = makeTarget(); EqualizerEngine* engine = target->engine()) {
        // The DirectShow path: stream start with its fade-in, mono then stereo buffers.
        EqualizerEngine& e = *engine;
        target->setSampleRate(22050.0f);
        setBands(*target, kAllTypes, -20);
        const ParameterRecord snapshot = e.workingSetup();
        e.startStream(snapshot);
        Signal in = chirp(0.6f);
        std::vector<float> mono(in.left);
        uint32_t frames = kFrames;
        e.processInterleaved(mono.data(), &frames, 1, snapshot, false);
        std::vector<float> stereo;
        for (int i = 0; i < kFrames; ++i) {
            stereo.push_back(in.left[i]);
            stereo.push_back(in.right[i]);
        }
        frames = kFrames;
        e.processInterleaved(stereo.data(), &frames, 2, snapshot, true);
        mono.insert(mono.end(), stereo.begin(), stereo.end());
        cases.push_back({"interleaved-stream-22050", mono});
    }
    {
        // Tiny signals into resonant filters: the noise table keeps them out of denormals.
        auto e = makeTarget();
        const int resonant[6][5] = {{1, kLowpass, 200, 190, 0}, {1, kPeakDip, 50, 1000, 180},
                                    {0, 0, 1000, 10, 0},        {0, 0, 1000, 10, 0},
                                    {0, 0, 1000, 10, 0},        {1, kHighpass, 20, 190, 0}};
        setBands(*e, resonant, 0);
        Signal in = noise(1e-30f, 3);
        cases.push_back({"denormal-guard", runStereo(*e, in, 256)});
    }
    return cases;
}

bool loadGoldenFile(std::vector<GoldenCase>& cases, std::string& error)
{
    std::vector<uint8_t> data;
    if (!qv::readWholeFile(QV_GOLDEN_FILE, data)) {
        error = "missing " QV_GOLDEN_FILE;
        return false;
    }
    if (!parseGolden(data, cases)) {
        error = "damaged " QV_GOLDEN_FILE;
        return false;
    }
    return true;
}

std::string goldenDifference(const GoldenCase& stored, const GoldenCase& computed)
{
    char text[256];
    if (stored.name != computed.name || stored.output.size() != computed.output.size()) {
        std::snprintf(text, sizeof text, "stored %s of %zu samples, computed %s of %zu", stored.name.c_str(),
                      stored.output.size(), computed.name.c_str(), computed.output.size());
        return text;
    }
    size_t mismatches = 0, first = 0;
    for (size_t i = 0; i < computed.output.size(); ++i) {
        if (std::memcmp(&stored.output[i], &computed.output[i], sizeof(float)) != 0 && mismatches++ == 0)
            first = i;
    }
    if (mismatches == 0)
        return {};
    std::snprintf(text, sizeof text, "%s: %zu samples differ, the first at %zu: stored %.9g, computed %.9g",
                  computed.name.c_str(), mismatches, first, double(stored.output[first]),
                  double(computed.output[first]));
    return text;
}

std::vector<uint8_t> serializeGolden(const std::vector<GoldenCase>& cases)
{
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    for (const GoldenCase& c : cases) {
        char name[32] = {};
        std::strncpy(name, c.name.c_str(), sizeof name - 1);
        out.insert(out.end(), name, name + sizeof name);
        put32(static_cast<uint32_t>(c.output.size()));
        for (float f : c.output) {
            uint32_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            put32(bits);
        }
    }
    return out;
}

bool parseGolden(const std::vector<uint8_t>& data, std::vector<GoldenCase>& cases)
{
    size_t pos = 0;
    auto get32 = [&](uint32_t& v) {
        if (data.size() - pos < 4)
            return false;
        v = static_cast<uint32_t>(data[pos]) | static_cast<uint32_t>(data[pos + 1]) << 8 |
            static_cast<uint32_t>(data[pos + 2]) << 16 | static_cast<uint32_t>(data[pos + 3]) << 24;
        pos += 4;
        return true;
    };
    while (pos < data.size()) {
        if (data.size() - pos < 36)
            return false;
        GoldenCase c;
        c.name.assign(reinterpret_cast<const char*>(&data[pos]),
                      strnlen(reinterpret_cast<const char*>(&data[pos]), 31));
        pos += 32;
        uint32_t count;
        if (!get32(count) || count > (data.size() - pos) / 4)
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t bits = 0;
            get32(bits);
            float f;
            std::memcpy(&f, &bits, sizeof f);
            c.output.push_back(f);
        }
        cases.push_back(std::move(c));
    }
    return true;
}
