#include "FactoryPresets.h"

namespace qv {

const FactoryPreset kFactoryPresets[kFactoryPresetCount] = {
    {"(Default)", kDefaultParameters},
    {"[1] Default EQ", kDefaultParameters},
};

}  // namespace qv
