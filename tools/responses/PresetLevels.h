#pragma once
// The levels of a preset file's presets at fixed frequencies: what the manual's descriptions of the
// factory presets rest on.

namespace qvresp {

// Prints, for every preset of the preset file at `path`, the level in dB of a steady sine tone through
// it at 44.1 kHz, output gain included, and the bands it sets. Returns 0, or 1 when the file cannot be
// read or holds no presets.
int printPresetLevels(const char* path);

}  // namespace qvresp
