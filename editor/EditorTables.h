#pragma once
// The editor's tables: the filter type and graph range menus, the reset and band default tables and
// the type images. Free of any platform header.

#include <cstdint>

#include "EditorLayout.h"
#include "EditorProfile.h"
#include "ParameterModel.h"

namespace qv {

// Filter type menu: the type of a command id, -1 for another id.
int typeOfMenuCommand(int id);
int typeMenuCommand(int type);

struct GraphRange {
    int command;
    int range;
    int second;
};
extern const GraphRange kGraphRanges[4];
int rangeMenuPosition(int range);  // -1 when the range is none of the menu's

// "Reset": each column's type and frequency, column 0's being unused.
struct ResetColumn {
    int32_t type;
    int32_t frequency;
};
constexpr ResetColumn kResetTable[7] = {{5, 1},          {kLowShelf, 48},  {kPeakDip, 40},     {kPeakDip, 160},
                                        {kPeakDip, 650}, {kPeakDip, 4600}, {kHighShelf, 15800}};
constexpr int32_t resetQForType(int32_t type) { return type == kLowpass || type == kHighpass ? 7 : 5; }

// "Set band defaults": the VST DLL's initial program, the DirectShow DLL's reset bands.
extern const BandDefault kInitialProgramBands[6];
extern const BandDefault kResetBands[6];

// The buttons along the top: where they stand, their images (the VST DLL's sprite ids), style bits
// and the focus rectangle's adjustment of its left and right edges.
struct TopButton {
    int id;
    const char* caption;
    layout::Rect rect;
    int normal, pressed;
    unsigned style;
    int focusLeft, focusRight;
};
extern const TopButton kTopButtons[7];

// Filter type image resource ids, by type.
int typeImage(int32_t type);

}  // namespace qv
