#pragma once
// A parametric EQ text as this equalizer's settings: up to six filters on the six bands in the
// file's order, the preamp as the output gain, each filter matched as closely as the band's stored
// values allow, and a note for everything left out or limited. Free of any platform header.

#include <cstddef>
#include <string>
#include <vector>

#include "EqText.h"
#include "ParameterModel.h"

namespace qv {

constexpr double kEqNoteThresholdDb = 1.0;  // a match worse than this is told

struct EqImport {
    ParameterRecord record = kDefaultParameters;  // bands 1..6 and the output gain set; placeholders as the default
    std::vector<std::string> notes;               // one line each, for the user, before the preset is stored
    bool usable = false;                          // false: nothing in the file could be used; refuse it with refusal
    std::string refusal;
};

EqImport importEqText(const EqTextFile& file);

// Reads and converts bytes of a file in one step.
EqImport importEqTextBytes(const char* data, std::size_t size);

// The name of a preset made from a file: its name without folder and extension, cut to a preset
// name's length; "Imported EQ" when nothing is left.
std::string eqPresetName(const std::string& path);

}  // namespace qv
