#pragma once
// This equalizer's settings as a parametric EQ text: each band as the textbook filter that
// reproduces it best, chosen so that reading the text back gives the same settings. Free of any
// platform header.

#include <string>
#include <vector>

#include "ParameterModel.h"

namespace qv {

struct EqExport {
    std::string text;                // "Preamp: ..." and six "Filter N: ..." lines, CRLF line ends
    std::vector<std::string> notes;  // bands the text cannot say within 1 dB
};

// The settings are limited to the integer ranges first, as the editor would hold them.
EqExport exportEqText(const ParameterRecord& settings);

}  // namespace qv
