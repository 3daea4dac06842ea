#pragma once
// Golden vectors: fixed settings and input signals whose engine output is kept as exact bits.
// Every build (native, 32-bit and 64-bit Windows) must reproduce them bit for bit.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qv {
class EqualizerEngine;
}

struct GoldenCase {
    std::string name;
    std::vector<float> output;  // the case's output, interleaved where the case is stereo
};

// What a case drives: the engine itself, or a deliverable through its host's calls.
class GoldenTarget {
public:
    virtual ~GoldenTarget() = default;
    virtual void setSampleRate(float rate) = 0;
    virtual void setValue(int index, int32_t v) = 0;     // the integer path, clamped
    virtual void setNormalized(int index, float x) = 0;  // the host path, unclamped
    virtual void process(const float* const* inputs, float* const* outputs, int32_t frames, bool accumulate) = 0;
    // The DirectShow path's streaming calls, where the target has them.
    virtual qv::EqualizerEngine* engine() { return nullptr; }
};
using GoldenTargetFactory = std::function<std::unique_ptr<GoldenTarget>()>;

// Every case, each on a fresh target; a target without engine() skips the cases that need it.
std::vector<GoldenCase> computeGoldenCases(const GoldenTargetFactory& makeTarget);
std::vector<GoldenCase> computeGoldenCases();  // on the engine
// The stored cases, from QV_GOLDEN_FILE; false with a message when missing or damaged.
bool loadGoldenFile(std::vector<GoldenCase>& cases, std::string& error);
// Empty when the two hold the same bits, else where they first differ and how many samples do.
std::string goldenDifference(const GoldenCase& stored, const GoldenCase& computed);

// The file holds, per case: a 32-byte zero-padded name, a 32-bit little-endian sample count, the
// samples' bits little-endian.
std::vector<uint8_t> serializeGolden(const std::vector<GoldenCase>& cases);
bool parseGolden(const std::vector<uint8_t>& data, std::vector<GoldenCase>& cases);
