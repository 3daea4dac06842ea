#pragma once
// The Data text with which presets carry the settings: 31 comma-separated decimal integers, the
// output gain first, then enabled, type, frequency, Q and gain of bands 1 to 6. Free of any platform
// header.

#include <cstddef>
#include <cstdint>

#include "ParameterModel.h"

namespace qv {

constexpr int kDataValueCount = 31;
constexpr std::size_t kDataTextMax = 4095;  // read limit of a "Data" value

// The parameter index the i-th value of a Data text belongs to.
constexpr int dataParamIndex(int i) { return i == 0 ? kOutputGainIndex : paramIndex((i - 1) % 5, 1 + (i - 1) / 5); }

// Writes the Data text of a record into out (1024 bytes are always enough). False only when the
// buffer is too small, and then out holds an empty text.
bool formatDataText(const ParameterRecord& record, char* out, std::size_t size);

// Reads a Data text: each value is the leading integer of its field (0 if none, saturated at the
// int32 limits) and the next field starts after the next comma. Stores at most 31 values in
// Data order and returns how many fields the text had, up to 31; an empty text has none.
int parseDataText(const char* text, int32_t values[kDataValueCount]);

// Applies the values of a Data text to a record, field by field; fields the text lacks stay as they
// are. Returns the number of fields applied. No clamping: that is the caller's path.
int applyDataText(const char* text, ParameterRecord& record);

}  // namespace qv
