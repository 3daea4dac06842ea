#pragma once
// The editor's ids: its controls (1000 + 100 * column + offset, and the fixed ones), the style bits
// of its control table, its menus and their commands. Free of any platform header.

#include "ControlProtocol.h"

namespace qv {

// ---- controls ---------------------------------------------------------------------------------
enum ControlOffset : int {
    kOffEnabled = 0,
    kOffType = 1,
    kOffFreq = 2,
    kOffQ = 3,
    kOffGain = 4,
    kOffSlider = 5,
    kOffTypeArrow = 6,
};
constexpr int controlId(int column, int offset) { return 1000 + 100 * column + offset; }

struct ControlSlot {
    int column = -1;
    int offset = -1;
    bool valid() const { return column >= 0; }
};
// The column and offset of an id; invalid outside columns 0..6 and offsets 0..6.
ControlSlot controlSlot(int id);
// The parameter index an offset edits; -1 for the type arrow or an invalid slot.
int slotParameter(ControlSlot slot);
// The control a Data text's i-th value goes to: 1004, then enabled..gain of bands 1 to 6.
int dataControlId(int i);

enum FixedId : int {
    kGraphId = 20000,
    kBypassId = 20010,
    kUndoId = 20011,
    kSetupId = 20012,
    kSetupArrowId = 20013,
    kResetId = 20014,
    kPresetsId = 20015,
    kHelpId = 20016,
    kFlatId = 20022,
    kMeterLeftId = 20030,
    kMeterRightId = 20031,
    kPeakTextId = 20032,
};

// Style bits of the control table: the fields are right-aligned (with a plain edit's multi-line and
// auto-scroll bits, which the skinned field ignores) and the meters vertical with a held peak.
constexpr unsigned kPlainEditBits = 0x0084;
constexpr unsigned kFieldStyle = EDS_RIGHT | kPlainEditBits;
constexpr unsigned kMeterStyle = MTS_VERTICAL | MTS_PEAK;

// ---- menus ------------------------------------------------------------------------------------
// The presets menu's own commands are the preset code's (PresetList.h).
enum MenuCommand : int {
    kCmdSetupA = 10502,
    kCmdSetupB = 10503,
    kCmdCopyTo = 10504,
    kCmdCopyFrom = 10505,
    kCmdHomePage = 1001,
    kCmdBandDefaults = 30002,
    kCmdCopyToBand1 = 30003,  // .. 30008 for band 6
    kCmdCopyToAll = 30009,
    // Appended to the graph's range menu after a separator, in this order.
    kCmdAnalyzerOff = 30019,
    kCmdAnalyzerOutput = 30020,
    kCmdAnalyzerBoth = 30021,
};
// The analyzer's own timer, beside the 50 ms tick (1 in the VST DLL, 0 in the page).
constexpr unsigned kAnalyzerTimerId = 2;
// Menu resources.
constexpr int kBandMenu = 117;
constexpr int kTypeMenu = 118;
constexpr int kRangeMenu = 121;

}  // namespace qv
