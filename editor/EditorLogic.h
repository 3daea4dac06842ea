#pragma once
// The editor's decisions that need no window: which controls a refresh rewrites and the clamps of a
// user's entry. Its ids, texts and tables have their own headers, included here for the editor's
// code and tests. Free of any platform header.

#include <cstdint>

#include "EditorIds.h"
#include "EditorTables.h"
#include "EditorTexts.h"

namespace qv {

// ---- refreshes --------------------------------------------------------------------------------
// What refreshControls rewrites.
struct Refresh {
    enum Kind {
        kAll,      // every control, the graph's rate too
        kDrag,     // a graph drag step: frequency and gain of the dragged band
        kDragQ,    // a graph wheel step: Q of the dragged band
        kStates,   // enable states and graph only (a filter's notice)
        kControl,  // the one control `id`
    };
    Kind kind = kAll;
    int id = 0;
    static constexpr Refresh control(int controlId) { return {kControl, controlId}; }
    constexpr bool dragging() const { return kind == kDrag || kind == kDragQ; }
};
constexpr Refresh kRefreshAll{Refresh::kAll, 0};
constexpr Refresh kRefreshDrag{Refresh::kDrag, 0};
constexpr Refresh kRefreshDragQ{Refresh::kDragQ, 0};
constexpr Refresh kRefreshStates{Refresh::kStates, 0};

// Whether a field of a band is rewritten by `request`. `selected`: the band's handle is the one
// being dragged; `qMode`: Shift held or a wheel step.
bool refreshesField(Refresh request, int id, int offset, bool selected, bool qMode);

// ---- clamps and numbers -----------------------------------------------------------------------
// The top frequency a user may enter: half the rate less one, 22049 without a usable rate, never
// below the 10 Hz the lowest entry becomes.
int32_t frequencyBound(float sampleRate);
// The rate the graph draws at: 44100 for none, else 1000..200000.
int graphRateFor(float sampleRate);
// The clamp of a user's value for a slot, given the column's current filter type.
int32_t clampForSlot(ControlSlot slot, int32_t value, int32_t type, int32_t freqBound);

// A typed whole number, signed, so that an entry below the range clamps to its lowest end; one
// beyond the int range gives the nearest limit, and text without a number 0.
int32_t readTypedInteger(const char* text);
// A float of a band record as an integer, towards zero; NaN gives 0 and the int32 limits hold.
int32_t truncateToInt(float v);

// ---- the analyzer -----------------------------------------------------------------------
enum AnalyzerMode : int {
    kAnalyzerOff = 0,
    kAnalyzerOutput = 1,
    kAnalyzerBoth = 2,  // input and output
};
// The user's remembered choice from its stored value: a missing value, or one that is not a 32-bit
// number of the three, shows the output.
AnalyzerMode analyzerModeFromStored(bool present, uint32_t value);
// The range menu's analyzer command of a mode and back (-1 for another command).
int analyzerMenuCommand(AnalyzerMode mode);
int analyzerModeOfCommand(int command);

}  // namespace qv
