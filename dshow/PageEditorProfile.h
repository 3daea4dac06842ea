#pragma once
// The editor as the filter's property page shows it: the page's skin (its sprites shifted), lamps and
// no timer of its own, its undo snapshots, the reset bands as defaults, the manual beside the DLL, and
// the page's class accepted as a second identity in imported preset files.

#include "EditorProfile.h"

namespace qv {

extern const EditorProfile kDirectShowEditorProfile;

}  // namespace qv
