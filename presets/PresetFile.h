#pragma once
// The preset file through the system's private-profile functions: reading presets up to the first
// gap, and writing a whole file so that it is either the old or the new file, never a mix.

#include <functional>
#include <string>

#include "PresetFileText.h"
#include "PresetList.h"

namespace qv {

// A value of an INI file, cut to max characters; def when the key is absent.
std::string readProfileText(const std::string& path, const char* section, const char* key, const char* def,
                            std::size_t max);

// The plug-in a preset file says it belongs to; empty when it names none (or there is no file).
std::string readPresetIdentity(const std::string& path);

// Reads Preset1, Preset2, ... until a section lacks one of its four keys. Each record gets the next
// command id above both into's ids and largestUsed; accept decides whether it is appended (null:
// every record).
void readPresetSections(const std::string& path, PresetList& into, int32_t largestUsed,
                        const std::function<bool(const PresetRecord&)>& accept);

// Writes beside the file (a copy of it, so that sections we do not own survive), checks what was
// written and replaces the file in one move. False when anything failed; the file is then as it was.
bool writePresetFile(const std::string& path, const PresetFileWrite& write);

}  // namespace qv
