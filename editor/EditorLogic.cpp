#include "EditorLogic.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/skin_ids.h"

namespace qv {

ControlSlot controlSlot(int id)
{
    if (id < 1000)
        return {};
    const int column = (id - 1000) / 100;
    const int offset = (id - 1000) % 100;
    if (column > 6 || offset > 6)
        return {};
    return {column, offset};
}

int slotParameter(ControlSlot slot)
{
    if (!slot.valid() || slot.offset == kOffTypeArrow)
        return -1;
    const int row = slot.offset == kOffSlider ? kRowGain : slot.offset;
    return paramIndex(row, slot.column);
}

bool refreshesField(int mode, int id, int offset, bool selected, bool qMode)
{
    const bool named = mode == kRefreshAll || mode == id;
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
        return mode == id;  // the slider's refresh writes it otherwise
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

void formatTenths(int32_t tenths, char* out, std::size_t size)
{
    if (!out || size == 0)
        return;
    if (tenths <= -9999) {
        std::snprintf(out, size, "-Inf.");
        return;
    }
    // Unsigned, so that the most negative value has a magnitude too.
    const uint32_t magnitude = tenths < 0 ? 0u - static_cast<uint32_t>(tenths) : static_cast<uint32_t>(tenths);
    std::snprintf(out, size, "%s%u.%u", tenths < 0 ? "-" : "", magnitude / 10u, magnitude % 10u);
}

int peakTenths(float peak)
{
    if (!(peak > 0.0f))
        return -9999;
    const double tenths = 200.0 * std::log10(static_cast<double>(peak));
    if (tenths > 100000.0)
        return 100000;  // an infinite or absurd peak still reads as a number
    return tenths < -9999.0 ? -9999 : static_cast<int>(tenths);
}

int dataControlId(int i)
{
    if (i == 0)
        return controlId(0, kOffGain);
    return controlId(1 + (i - 1) / 5, (i - 1) % 5);
}

int typeOfMenuCommand(int id)
{
    for (int t = 0; t < kFilterTypeCount; ++t)
        if (typeMenuCommand(t) == id)
            return t;
    return -1;
}

int typeMenuCommand(int type)
{
    static const int kCommands[kFilterTypeCount] = {30014, 30012, 30013, 30010, 30011};
    return type >= 0 && type < kFilterTypeCount ? kCommands[type] : 0;
}

const GraphRange kGraphRanges[4] = {{30018, 40, 6}, {30015, 20, 6}, {30016, 10, 3}, {30017, 5, 1}};

int rangeMenuPosition(int range)
{
    for (int i = 0; i < 4; ++i)
        if (kGraphRanges[i].range == range)
            return i;
    return -1;
}

bool presetIdFitsMenu(int32_t id)
{
    static const int32_t kFixed[] = {kCmdPresetManager, kCmdAddPreset, kCmdUpdatePreset};
    if (id <= 0 || id > 0xFFFF)
        return false;
    for (int32_t f : kFixed)
        if (id == f)
            return false;
    return true;
}

void manualInFolder(const char* folder, char* out, std::size_t size)
{
    if (!out || size == 0)
        return;
    if (!folder || !*folder) {
        std::snprintf(out, size, "%s", kManualName);
        return;
    }
    const std::size_t n = std::strlen(folder);
    std::snprintf(out, size, "%s%s%s", folder, folder[n - 1] == '\\' ? "" : "\\", kManualName);
}

void manualBesideFile(const char* file, bool colonToo, char* out, std::size_t size)
{
    if (!out || size == 0)
        return;
    if (!file)
        file = "";
    const char* cut = nullptr;
    for (const char* p = file; *p; ++p)
        if (*p == '\\' || (colonToo && *p == ':'))
            cut = p + 1;
    if (!cut) {
        std::snprintf(out, size, "%s", file);
        return;
    }
    std::snprintf(out, size, "%.*s%s", static_cast<int>(cut - file), file, kManualName);
}

const ResetColumn kResetTable[7] = {{5, 1},          {kLowShelf, 48},  {kPeakDip, 40},     {kPeakDip, 160},
                                    {kPeakDip, 650}, {kPeakDip, 4600}, {kHighShelf, 15800}};

int32_t resetQForType(int32_t type) { return type == kLowpass || type == kHighpass ? 7 : 5; }

const BandDefault kInitialProgramBands[6] = {{kLowShelf, 40, 10}, {kPeakDip, 60, 8},     {kPeakDip, 200, 8},
                                             {kPeakDip, 800, 6},  {kHighShelf, 4600, 6}, {kHighShelf, 15000, 5}};

const BandDefault kResetBands[6] = {{kLowShelf, 48, 5}, {kPeakDip, 40, 5},   {kPeakDip, 160, 5},
                                    {kPeakDip, 650, 5}, {kPeakDip, 4600, 5}, {kHighShelf, 15800, 5}};

int typeImage(int32_t type)
{
    static const int kImages[kFilterTypeCount] = {SKIN_VST_BMP_TYPE_PEAK, SKIN_VST_BMP_TYPE_LOWSHELF,
                                                  SKIN_VST_BMP_TYPE_HIGHSHELF, SKIN_VST_BMP_TYPE_LOWPASS,
                                                  SKIN_VST_BMP_TYPE_HIGHPASS};
    return type >= 0 && type < kFilterTypeCount ? kImages[type] : SKIN_VST_BMP_TYPE_PEAK;
}

}  // namespace qv
