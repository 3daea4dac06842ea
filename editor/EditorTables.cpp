#include "EditorTables.h"

#include "EditorIds.h"

#include "resources/skin_ids.h"

namespace qv {

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

const BandDefault kInitialProgramBands[6] = {{kLowShelf, 40, 10}, {kPeakDip, 60, 8},     {kPeakDip, 200, 8},
                                             {kPeakDip, 800, 6},  {kHighShelf, 4600, 6}, {kHighShelf, 15000, 5}};

namespace {

// A band as "Reset" leaves it.
constexpr BandDefault resetBand(int column)
{
    return {kResetTable[column].type, kResetTable[column].frequency, resetQForType(kResetTable[column].type)};
}

}  // namespace

const BandDefault kResetBands[6] = {resetBand(1), resetBand(2), resetBand(3), resetBand(4), resetBand(5), resetBand(6)};

const TopButton kTopButtons[7] = {
    {kBypassId, "Bypass", layout::kBypass, SKIN_VST_RAW_BUTTON, SKIN_VST_RAW_BUTTON_DOWN, 0, 0, 0},
    {kUndoId, "Undo", layout::kUndo, SKIN_VST_RAW_BUTTON, SKIN_VST_RAW_BUTTON_DOWN, 0, 0, 0},
    {kSetupId, "Setup A", layout::kSetup, SKIN_VST_RAW_SETUP, SKIN_VST_RAW_SETUP_DOWN, 0, 0, 1},
    {kSetupArrowId, "", layout::kSetupArrow, SKIN_VST_RAW_ARROW, SKIN_VST_RAW_ARROW_DOWN, PBS_ARROW, -2, 0},
    {kResetId, "Reset", layout::kReset, SKIN_VST_RAW_BUTTON, SKIN_VST_RAW_BUTTON_DOWN, 0, 0, 0},
    {kPresetsId, "Presets", layout::kPresets, SKIN_VST_RAW_BUTTON, SKIN_VST_RAW_BUTTON_DOWN, PBS_ARROW, 0, 0},
    {kHelpId, "Help", layout::kHelp, SKIN_VST_RAW_BUTTON, SKIN_VST_RAW_BUTTON_DOWN, 0, 0, 0},
};

int typeImage(int32_t type)
{
    static const int kImages[kFilterTypeCount] = {SKIN_VST_BMP_TYPE_PEAK, SKIN_VST_BMP_TYPE_LOWSHELF,
                                                  SKIN_VST_BMP_TYPE_HIGHSHELF, SKIN_VST_BMP_TYPE_LOWPASS,
                                                  SKIN_VST_BMP_TYPE_HIGHPASS};
    return type >= 0 && type < kFilterTypeCount ? kImages[type] : SKIN_VST_BMP_TYPE_PEAK;
}

}  // namespace qv
