#include "ParameterModel.h"

#include <cmath>
#include <cstdint>

namespace qv {

const ParameterRecord kDefaultParameters = {{
    // Enabled
    1,
    1,
    1,
    1,
    1,
    1,
    1,
    // Filter: column 0 is a placeholder outside the range
    5,
    kLowShelf,
    kPeakDip,
    kPeakDip,
    kPeakDip,
    kHighShelf,
    kHighShelf,
    // Freq
    1,
    40,
    60,
    200,
    800,
    4600,
    15000,
    // Q in tenths
    0,
    10,
    8,
    8,
    6,
    6,
    5,
    // Gain in tenths of a decibel
    0,
    0,
    0,
    0,
    0,
    0,
    0,
}};

const char kDefaultProgramName[] = "[1] Default EQ";

namespace {

// floor() of a float into int32, saturating; NaN becomes 0.
// Exact: a float times one of the spans below fits a double's mantissa, so the floor is taken of
// the true value, never of a sum rounded up onto the next step.
int32_t floorToInt(double v)
{
    if (std::isnan(v))
        return 0;
    const double f = std::floor(v);
    if (f >= 2147483648.0)
        return INT32_MAX;
    if (f < -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(f);
}

int32_t clampInt(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

const float kInvFreqSpan = 1.0f / 22039.0f;
const float kInvQSpan = 1.0f / 999.0f;
const float kInvOutputSpan = 1.0f / 480.0f;
const float kInvBandSpan = 1.0f / 360.0f;

}  // namespace

int32_t normalizedToValue(int index, float x)
{
    if (std::isnan(x))
        x = 0.0f;
    switch (rowOf(index)) {
    case kRowEnabled:
        return floorToInt(double(x) + 0.5);
    case kRowFilter:
        return floorToInt(double(x) * 4.0 + 0.5);
    case kRowFreq:
        return floorToInt(double(x) * 22039.0 + 10.5);
    case kRowQ:
        return floorToInt(double(x) * 999.0 + 1.5);
    default:
        if (index == kOutputGainIndex)
            return floorToInt(double(x) * 480.0 - 239.5);
        return floorToInt(double(x) * 360.0 - 179.5);
    }
}

float valueToNormalized(int index, int32_t v)
{
    const float fv = static_cast<float>(v);
    switch (rowOf(index)) {
    case kRowEnabled:
        return fv;
    case kRowFilter:
        return fv * 0.25f;
    // In 64 bits: a stored host value may sit at the int32 limits.
    case kRowFreq:
        return static_cast<float>(int64_t{v} - 10) * kInvFreqSpan;
    case kRowQ:
        return static_cast<float>(int64_t{v} - 1) * kInvQSpan;
    default:
        if (index == kOutputGainIndex)
            return static_cast<float>(int64_t{v} + 240) * kInvOutputSpan;
        return static_cast<float>(int64_t{v} + 180) * kInvBandSpan;
    }
}

int32_t clampValue(int index, int32_t v, int32_t filterType, int32_t freqLimit)
{
    switch (rowOf(index)) {
    case kRowEnabled:
        return clampInt(v, 0, 1);
    case kRowFilter:
        return clampInt(v, 0, kFilterTypeCount - 1);
    case kRowFreq:
        return clampInt(v, 10, freqLimit < 10 ? 10 : freqLimit);
    case kRowQ: {
        const ValueRange q = qRange(filterType);
        return clampInt(v, q.minimum, q.maximum);
    }
    default: {
        const ValueRange gain = index == kOutputGainIndex ? kOutputGainRange : kBandGainRange;
        return clampInt(v, gain.minimum, gain.maximum);
    }
    }
}

int32_t freqLimitForRate(float sampleRate)
{
    if (!(sampleRate >= 22.0f) || !(sampleRate < 2.0e9f))
        return kDefaultFreqLimit;
    return static_cast<int32_t>(sampleRate) / 2 - 1;
}

void clampRecord(ParameterRecord& record, int32_t freqLimit)
{
    // Types first, so that each Q is bounded by its band's clamped type.
    for (int c = 0; c < kColumns; ++c) {
        const int ti = paramIndex(kRowFilter, c);
        record.values[ti] = clampValue(ti, record.values[ti], 0, freqLimit);
    }
    for (int i = 0; i < kParamCount; ++i) {
        if (rowOf(i) == kRowFilter)
            continue;
        const int32_t type = record.values[paramIndex(kRowFilter, columnOf(i))];
        record.values[i] = clampValue(i, record.values[i], type, freqLimit);
    }
}

}  // namespace qv
