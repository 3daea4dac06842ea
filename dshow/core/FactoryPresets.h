#pragma once
// The filter's two built-in presets.

#include "ParameterModel.h"

namespace qv {

struct FactoryPreset {
    char name[64];
    ParameterRecord record;
};

constexpr int kFactoryPresetCount = 2;
extern const FactoryPreset kFactoryPresets[kFactoryPresetCount];

}  // namespace qv
