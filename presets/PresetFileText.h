#pragma once
// The text of a preset file after a save, composed in memory from the sections the old file holds.
// Written in one piece, a save costs the same for three presets or three thousand, where profile
// writes that each rewrite the whole file grow with the square. Free of any platform header.

#include <string>
#include <vector>

#include "PresetList.h"

namespace qv {

// One section of the old file as the profile functions give it: "key=value" lines.
struct IniSection {
    std::string name;
    std::vector<std::string> lines;
};

struct PresetFileWrite {
    std::string pluginName;
    std::string pluginKey;
    bool fullSave = true;  // remove the old preset sections up to the first gap, write "DefaultPreset"
    std::vector<const PresetRecord*> records;
};

// The sections kept from the old file in their order, "Plug-in" updated in place (or added), and the
// records as Preset1, Preset2, ... (replacing sections of the same name, else appended).
std::string composePresetFile(const std::vector<IniSection>& old, const PresetFileWrite& write);

}  // namespace qv
