#pragma once
// The editor's decisions that need no window: which parameter a control shows, the clamps of a
// user's entry, texts, the Data text, refresh rules, menu tables and the default band tables.
// Free of any platform header.

#include <cstddef>
#include <cstdint>

#include "EditorProfile.h"
#include "FilterNotices.h"
#include "EqualizerModel.h"

namespace qv {

// ---- control ids: 1000 + 100 * column + offset ---------------------------------------------------
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

constexpr int kEditorWidth = 506;
constexpr int kEditorHeight = 411;
// WM_COMMAND id of the DirectShow filter's notices to the page, and their codes.
constexpr int kNoticeCommandId = kPageNotifyCommand;

// ---- refreshControls modes --------------------------------------------------------------------
constexpr int kRefreshAll = 0;
constexpr int kRefreshDrag = 20001;    // a graph drag step: frequency and gain of the dragged band
constexpr int kRefreshDragQ = 20002;   // a graph wheel step: Q of the dragged band
constexpr int kRefreshNotice = 32700;  // enable states and graph only

// Whether a field of a band is rewritten by a refresh in `mode`. `selected`: the band's handle is
// the one being dragged; `qMode`: Shift held or a wheel step.
bool refreshesField(int mode, int id, int offset, bool selected, bool qMode);

// ---- clamps and numbers -----------------------------------------------------------------------
// The top frequency a user may enter: half the rate less one, 22049 without a usable rate, never
// below the 10 Hz the lowest entry becomes.
int32_t frequencyBound(float sampleRate);
// The rate the graph draws at: 44100 for none, else 1000..200000.
int graphRateFor(float sampleRate);
// The clamp of a user's value for a slot, given the column's current filter type.
int32_t clampForSlot(ControlSlot slot, int32_t value, int32_t type, int32_t freqBound);

// A float of a band record as an integer, towards zero; NaN gives 0 and the int32 limits hold.
int32_t truncateToInt(float v);
// "-Inf." at -9999 or less, else one decimal with the sign: -5 gives "-0.5", 125 "12.5".
void formatTenths(int32_t tenths, char* out, std::size_t size);
// A peak amplitude in tenths of a dB, truncated; -9999 for silence (and for what is no amplitude).
int peakTenths(float peak);

// ---- Data text --------------------------------------------------------------------------------
// The control a Data text's i-th value goes to: 1004, then enabled..gain of bands 1 to 6.
int dataControlId(int i);

// ---- menus ------------------------------------------------------------------------------------
enum MenuCommand : int {
    kCmdPresetManager = 10500,
    kCmdAddPreset = 10501,
    kCmdSetupA = 10502,
    kCmdSetupB = 10503,
    kCmdCopyTo = 10504,
    kCmdCopyFrom = 10505,
    kCmdUpdatePreset = 1503,
    kCmdHomePage = 1001,
    kCmdBandDefaults = 30002,
    kCmdCopyToBand1 = 30003,  // .. 30008 for band 6
    kCmdCopyToAll = 30009,
};
constexpr int kBandMenu = 117;
constexpr int kTypeMenu = 118;
constexpr int kRangeMenu = 121;

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

// A menu can carry a preset's id only when a WM_COMMAND word can and no fixed command has it.
bool presetIdFitsMenu(int32_t id);

constexpr char kHomePage[] = "http://www.example.com/qvequalizer/";

// ---- help ---------------------------------------------------------------------------------------
constexpr char kManualName[] = "qvEqualizer.chm";
// The manual in a folder (a backslash added unless it ends with one); empty folder gives the name.
void manualInFolder(const char* folder, char* out, std::size_t size);
// The manual beside a file: what follows the last backslash (or colon, with `colonToo`) replaced;
// a path without one is returned as it is.
void manualBesideFile(const char* file, bool colonToo, char* out, std::size_t size);

// ---- default tables ---------------------------------------------------------------------------
struct ResetColumn {
    int32_t type;
    int32_t frequency;
};
extern const ResetColumn kResetTable[7];
int32_t resetQForType(int32_t type);
extern const BandDefault kInitialProgramBands[6];
extern const BandDefault kResetBands[6];

// Filter type image resource ids, by type.
int typeImage(int32_t type);

}  // namespace qv
