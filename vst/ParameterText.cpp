#include "ParameterText.h"

#include <cstdio>
#include <cstdlib>

#include "ParameterModel.h"

namespace qv {
namespace {

bool isPlaceholder(int index) { return !isValidIndex(index) || (columnOf(index) == 0 && index != kOutputGainIndex); }

void copyText(const char* text, char* out, size_t size)
{
    if (out && size > 0)
        std::snprintf(out, size, "%s", text);
}

}  // namespace

void parameterName(int index, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    if (index == kOutputGainIndex) {
        copyText("Output", out, size);
        return;
    }
    if (isPlaceholder(index)) {
        copyText("", out, size);
        return;
    }
    static const char* const kRowNames[kRows] = {"Enabled", "Filter", "Freq", "Q", "Gain"};
    std::snprintf(out, size, "%s %d", kRowNames[rowOf(index)], columnOf(index));
}

void formatGainTenths(int32_t tenths, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    const int64_t magnitude = std::llabs(static_cast<int64_t>(tenths));
    std::snprintf(out, size, "%s%lld.%lld", tenths < 0 ? "-" : "", static_cast<long long>(magnitude / 10),
                  static_cast<long long>(magnitude % 10));
}

void parameterDisplay(int index, int32_t value, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    if (isPlaceholder(index)) {
        copyText("-", out, size);
        return;
    }
    switch (rowOf(index)) {
    case kRowEnabled:
        copyText(value != 0 ? "Yes" : "No", out, size);
        break;
    case kRowFilter: {
        static const char* const kTypes[kFilterTypeCount] = {"Peak/Dip", "LowShelf", "HighShelf", "Lowpass",
                                                             "Highpass"};
        copyText(value >= 0 && value < kFilterTypeCount ? kTypes[value] : "-", out, size);
        break;
    }
    case kRowFreq:
        std::snprintf(out, size, "%d", static_cast<int>(value));
        break;
    case kRowQ: {
        // Host values may store a negative Q; show it with one sign like the gain.
        formatGainTenths(value, out, size);
        break;
    }
    default:
        formatGainTenths(value, out, size);
        break;
    }
}

void parameterLabel(int index, char* out, size_t size)
{
    const char* label = "";
    if (isValidIndex(index) && !isPlaceholder(index)) {
        if (rowOf(index) == kRowFreq)
            label = "Hz";
        else if (rowOf(index) == kRowGain)
            label = "dB";
    }
    copyText(label, out, size);
}

}  // namespace qv
