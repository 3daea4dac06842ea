#include "EditorLogic.h"

#include <cstdint>
#include <cstdlib>

#include "ParameterModel.h"

namespace qv {

bool refreshesField(Refresh request, int id, int offset, bool selected, bool qMode)
{
    const bool one = request.kind == Refresh::kControl && request.id == id;
    const bool named = request.kind == Refresh::kAll || one;
    switch (offset) {
    case kOffEnabled:
    case kOffType:
        return named;
    case kOffFreq:
    case kOffSlider:
        return named || (selected && !qMode);
    case kOffQ:
        return named || (selected && qMode);
    case kOffGain:
        return one;  // the slider's refresh writes it otherwise
    default:
        return false;
    }
}

int32_t frequencyBound(float sampleRate)
{
    const int32_t bound = sampleRate > 0.0f ? freqLimitForRate(sampleRate) : kDefaultFreqLimit;
    return bound < 10 ? 10 : bound;
}

int graphRateFor(float sampleRate)
{
    if (!(sampleRate > 0.0f))
        return 44100;
    if (sampleRate < 1000.0f)
        return 1000;
    if (sampleRate > 200000.0f)
        return 200000;
    return static_cast<int>(sampleRate);
}

int32_t readTypedInteger(const char* text)
{
    if (!text)
        return 0;
    // long long: a long is 32 bits on Windows and 64 here, and the clamp must be the same.
    const long long typed = std::strtoll(text, nullptr, 10);
    return static_cast<int32_t>(typed < INT32_MIN ? INT32_MIN : typed > INT32_MAX ? INT32_MAX : typed);
}

int32_t clampForSlot(ControlSlot slot, int32_t value, int32_t type, int32_t freqBound)
{
    const int index = slotParameter(slot);
    if (index < 0)
        return value;
    // A Q entry under a type the engine does not know is stored as typed.
    if (slot.offset == kOffQ && (type < 0 || type >= kFilterTypeCount))
        return value;
    // The engine's integer limits, with the frequency bound of the rate the editor sees.
    return clampValue(index, value, type, freqBound);
}

int32_t truncateToInt(float v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0f)
        return INT32_MAX;
    if (v <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

AnalyzerMode analyzerModeFromStored(bool present, uint32_t value)
{
    return present && value <= kAnalyzerBoth ? static_cast<AnalyzerMode>(value) : kAnalyzerOutput;
}

int analyzerMenuCommand(AnalyzerMode mode) { return kCmdAnalyzerOff + static_cast<int>(mode); }

int analyzerModeOfCommand(int command)
{
    return command >= kCmdAnalyzerOff && command <= kCmdAnalyzerBoth ? command - kCmdAnalyzerOff : -1;
}

}  // namespace qv
