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

// What a Data text holds. Each field runs to the next comma and its value is the field's leading
// integer (saturated at the int32 limits). A field without digits (after blanks and a sign) is
// absent: the parameter it stands for stays as it is. A trailing comma opens an empty last field,
// so "1," has two fields, the second absent.
struct DataFields {
    int32_t values[kDataValueCount] = {};  // 0 where absent
    bool present[kDataValueCount] = {};
    int count = 0;              // fields read, up to 31; an empty text has none
    int total = 0;              // fields of the whole text, beyond 31 too
    bool wholeNumbers = false;  // every field is a number with nothing but spaces around it
};
DataFields readDataText(const char* text);

// Applies the present values of a Data text to a record; the others stay as they are. Returns the
// number of values applied. No clamping: that is the caller's path.
int applyDataText(const char* text, ParameterRecord& record);

}  // namespace qv
