#pragma once
// The settings a render applies: the default program with the command line's settings options on
// top, limited to the ranges, and their texts. Pure code.

#include <string>
#include <vector>

#include "ParameterModel.h"

namespace qv {

struct RenderSettings {
    ParameterRecord record = kDefaultParameters;
    bool touched[kParamCount] = {};  // set by an option (or changed by the limits)

    // By the host mapping. A value outside 0 .. 1 is taken as the nearer end, with a warning that
    // names the value as typed (kept for limitSettings to return first).
    void applyParam(int index, float normalized);
    std::vector<std::string> paramWarnings;
    void applyData(const std::string& dataText);  // by the preset code's Data text reading
    // A parametric EQ text's bands 1 to 6 and output gain (the whole file's bytes). False with the
    // file's refusal in `error` when nothing in it is usable; `notes` tells what was left out or limited.
    bool applyEqText(const std::string& bytes, std::vector<std::string>& notes, std::string& error);
};

// The settings as a parametric EQ text, with a note for each band the text cannot say within 1 dB.
std::string eqTextOf(const RenderSettings& settings, std::vector<std::string>& notes);

// Limits every acting value (bands 1 to 6, the output gain) to the range the editor and the filter
// allow, each Q by its band's type and the frequency by the sample rate. Returns a warning for each
// value of the options that it changed.
std::vector<std::string> limitSettings(RenderSettings& settings, uint32_t sampleRate);

// The settings options touched, one line per band: "  band 2  on   Peak/Dip   1000 Hz  Q 1.0   6.0 dB".
std::string settingsTable(const RenderSettings& settings);

}  // namespace qv
