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

namespace {

const char* skipSpaces(const char* p)
{
    while (*p == ' ')
        ++p;
    return p;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

DataFields readDataText(const char* text)
{
    DataFields d;
    if (text == nullptr || *text == '\0')
        return d;
    d.wholeNumbers = true;
    const char* field = text;
    for (;;) {
        const char* p = field;
        while (*p == ' ' || *p == '\t')
            ++p;
        if (*p == '-' || *p == '+')
            ++p;
        const bool present = isDigit(*p);
        if (d.count < kDataValueCount) {
            d.present[d.count] = present;
            d.values[d.count] = present ? leadingInteger(field) : 0;
            ++d.count;
        }
        ++d.total;
        // Strict form: spaces, a sign, digits, spaces.
        p = skipSpaces(field);
        if (*p == '-' || *p == '+')
            ++p;
        const char* digits = p;
        while (isDigit(*p))
            ++p;
        p = skipSpaces(p);
        if (p == digits || (*p != ',' && *p != '\0'))
            d.wholeNumbers = false;
        while (*field != ',' && *field != '\0')
            ++field;
        if (*field == '\0')
            break;
        ++field;
    }
    return d;
}

int applyDataText(const char* text, ParameterRecord& record)
{
    const DataFields d = readDataText(text);
    int applied = 0;
    for (int i = 0; i < d.count; ++i) {
        if (d.present[i]) {
            record.values[dataParamIndex(i)] = d.values[i];
            ++applied;
        }
    }
    return applied;
}

}  // namespace qv
