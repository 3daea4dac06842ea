#pragma once
// Biquad design of one column from its stored integers: pure arithmetic, single precision.

#include "ParameterModel.h"

namespace qv {

// Twelve floats per column, read and edited in place by the EQ graph; the order is fixed.
struct BandRecord {
    float b0;
    float b1;
    float b2;
    float a1;         // -a1/a0: the sign is already applied
    float a2;         // -a2/a0
    float frequency;  // Hz used by the design, after clamping
    float gain;       // stored gain in tenths of a dB, not clamped
    float enabled;
    float selected;      // owned by the EQ graph
    float dragPosition;  // owned by the EQ graph: 1000 * log10(Hz) while dragged
    float q;             // stored Q in tenths
    float type;          // filter type code
};
static_assert(sizeof(BandRecord) == 48, "BandRecord is twelve packed floats");

// The record of a column before its first design.
BandRecord initialBandRecord();

// The sample rate the design uses for a given host or stream rate.
float designSampleRate(float sampleRate);

// Whether a column filters: enabled, a known type, and a non-zero gain unless it is a pass filter.
bool isColumnActive(int32_t enabled, int32_t type, int32_t gain);

struct ColumnDesign {
    bool active;
    float gainLinear;  // 10^(g/200): the output gain target for column 0
};

// Designs column `column` of `setup` at rate `fs` (already limited by designSampleRate) into `band`:
// coefficients (identity when inactive) and the display fields 5, 6, 7, 10 and 11. Fields 8 and 9
// belong to the graph and are left alone.
ColumnDesign designColumn(const ParameterRecord& setup, int column, float fs, BandRecord& band);

}  // namespace qv
