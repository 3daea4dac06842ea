#pragma once
// The editor as the VST plug-in shows it: the plug-in's own skin, lamps and timer, its undo snapshots,
// the first program's bands as defaults, and the manual found through the registry.

#include "EditorProfile.h"

namespace qv {

extern const EditorProfile kVstEditorProfile;

}  // namespace qv
