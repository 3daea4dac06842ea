#include "DataText.h"

#include <cstdio>

#include "PresetText.h"

namespace qv {

bool formatDataText(const ParameterRecord& record, char* out, std::size_t size)
{
    if (out == nullptr || size == 0)
        return false;
    std::size_t used = 0;
    for (int i = 0; i < kDataValueCount; ++i) {
        int n = std::snprintf(out + used, size - used, i + 1 < kDataValueCount ? "%ld," : "%ld",
                              static_cast<long>(record.values[dataParamIndex(i)]));
        if (n < 0 || static_cast<std::size_t>(n) >= size - used) {
            out[0] = '\0';
            return false;
        }
        used += static_cast<std::size_t>(n);
    }
    return true;
}

int parseDataText(const char* text, int32_t values[kDataValueCount])
{
    if (text == nullptr || *text == '\0')
        return 0;
    int count = 0;
    const char* field = text;
    while (count < kDataValueCount) {
        values[count++] = leadingInteger(field);
        while (*field != ',' && *field != '\0')
            ++field;
        if (*field == '\0')
            break;
        ++field;
    }
    return count;
}

int applyDataText(const char* text, ParameterRecord& record)
{
    int32_t values[kDataValueCount];
    int count = parseDataText(text, values);
    for (int i = 0; i < count; ++i)
        record.values[dataParamIndex(i)] = values[i];
    return count;
}

}  // namespace qv
