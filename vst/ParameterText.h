#pragma once
// The parameter names, value texts and units a VST host shows. Each text, with its terminator, fits
// in 10 bytes.

#include <cstddef>
#include <cstdint>

namespace qv {

constexpr size_t kParamTextSize = 10;

void parameterName(int index, char* out, size_t size);
void parameterDisplay(int index, int32_t value, char* out, size_t size);
void parameterLabel(int index, char* out, size_t size);

// "-1.5", "0.0", "18.0": a gain in tenths of a decibel.
void formatGainTenths(int32_t tenths, char* out, size_t size);

}  // namespace qv
