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

    void applyParam(int index, float normalized);  // by the host mapping
    void applyData(const std::string& dataText);   // by the preset code's Data text reading
};

// Limits every acting value (bands 1 to 6, the output gain) to the range the editor and the filter
// allow, each Q by its band's type and the frequency by the sample rate. Returns a warning for each
// value of the options that it changed.
std::vector<std::string> limitSettings(RenderSettings& settings, uint32_t sampleRate);

// The settings options touched, one line per band: "  band 2  on   Peak/Dip   1000 Hz  Q 1.0   6.0 dB".
std::string settingsTable(const RenderSettings& settings);

}  // namespace qv
