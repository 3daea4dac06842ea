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

// How a write ended. kDenied: the folder or the file may not be written by this user (access denied,
// a write-protected medium), so another place may serve; kFailed: anything else.
enum class PresetWriteResult {
    kWritten,
    kDenied,
    kFailed,
};

// Writes beside the file (a copy of the sections of `sectionsFrom`, by default the file itself, so
// that sections we do not own survive), checks what was written and replaces the file in one move.
// On any failure the file is as it was. When `sectionsFrom` names a file that exists but cannot be
// read whole, nothing is written.
PresetWriteResult writePresetFile(const std::string& path, const PresetFileWrite& write,
                                  const std::string& sectionsFrom = std::string());

// The per-user preset file: the application-data folder joined with "\Velquin-qv-R3\" and the file
// name; empty when the system names no such folder or the path would not fit.
std::string userPresetPath(const std::string& fileName);

// Whether the system quietly redirects this process's writes into a per-user store (a 32-bit program
// without a manifest on Windows Vista and later). Its saves would land where no other host looks.
bool fileWritesVirtualized();

}  // namespace qv
