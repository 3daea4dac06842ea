#pragma once
// Finding a preset by the name a user types, and the listing of a preset file. Pure code over the
// preset store's list.

#include <string>

#include "PresetList.h"

namespace qv {

// "NAME" or "BANK/NAME", compared as the preset store compares (case-insensitively). Null with a
// message when no preset or more than one fits; the message lists the close matches or the choices.
const PresetRecord* findPreset(const PresetList& list, const std::string& query, std::string& error);

// The banks with their presets, then the presets without a bank, each in the store's sort order.
std::string presetListing(const PresetList& sortedList);

}  // namespace qv
