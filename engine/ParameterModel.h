#pragma once
// The 35 integer parameters of the six bands and the output stage, their ranges and the mapping
// between a VST host's normalized floats and the stored integers. Free of any platform header.

#include <cstdint>

namespace qv {

constexpr int kParamCount = 35;
constexpr int kColumns = 7;  // column 0 is the output stage, columns 1..6 are bands 1..6
constexpr int kRows = 5;

enum Row : int {
    kRowEnabled = 0,
    kRowFilter = 1,
    kRowFreq = 2,
    kRowQ = 3,
    kRowGain = 4
};

enum FilterType : int {
    kPeakDip = 0,
    kLowShelf = 1,
    kHighShelf = 2,
    kLowpass = 3,
    kHighpass = 4
};
constexpr int kFilterTypeCount = 5;

constexpr int kOutputGainIndex = 28;
constexpr int kDefaultFreqLimit = 22049;

// A range of stored integers, both ends included.
struct ValueRange {
    int32_t minimum;
    int32_t maximum;
};
constexpr ValueRange kBandGainRange{-180, 180};    // tenths of a decibel
constexpr ValueRange kOutputGainRange{-240, 240};  // tenths of a decibel

// The Q range (in tenths) of a filter type; a type outside the five bounds Q as a peak/dip does.
constexpr ValueRange qRange(int32_t filterType)
{
    switch (filterType) {
    case kLowpass:
    case kHighpass:
        return {1, 190};
    case kLowShelf:
    case kHighShelf:
        return {3, 20};
    default:
        return {1, 1000};
    }
}

constexpr int paramIndex(int row, int column) { return row * kColumns + column; }
constexpr int rowOf(int index) { return index / kColumns; }
constexpr int columnOf(int index) { return index % kColumns; }
constexpr bool isValidIndex(int index) { return index >= 0 && index < kParamCount; }

// One setup: the 35 values in index order. Also the undo buffer, a preset's data and the
// DirectShow filter's persisted settings.
struct ParameterRecord {
    int32_t values[kParamCount];
};
static_assert(sizeof(ParameterRecord) == 140, "ParameterRecord is 35 packed 32-bit integers");

// The host's view of the one program: normalized values and a name of at most 23 characters.
struct ProgramRecord {
    float values[kParamCount];
    char name[24];
};
static_assert(sizeof(ProgramRecord) == 35 * 4 + 24, "ProgramRecord layout");

// The settings of the default program "[1] Default EQ" (column 0 holds placeholders).
extern const ParameterRecord kDefaultParameters;
extern const char kDefaultProgramName[];

// Host float to stored integer. Not clamped: a value outside 0..1 maps outside the ranges, as a host
// may send it. Only the conversion itself saturates at the int32 limits (and a NaN maps as 0.0 would), since
// a float beyond them has no integer to become.
int32_t normalizedToValue(int index, float x);

// Stored integer to host float (the inverse mapping).
float valueToNormalized(int index, int32_t v);

// The integer path's limits. filterType is the band's current type (it bounds Q); freqLimit the
// top frequency for the current sample rate.
int32_t clampValue(int index, int32_t v, int32_t filterType, int32_t freqLimit);

// The top of the frequency range: the whole sample rate / 2 - 1, or 22049 while no rate is known.
int32_t freqLimitForRate(float sampleRate);

// Clamps every field of a record as the integer path would, each Q by the type the same record
// gives its band.
void clampRecord(ParameterRecord& record, int32_t freqLimit);

}  // namespace qv
