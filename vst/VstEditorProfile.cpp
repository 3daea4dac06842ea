#include "VstEditorProfile.h"

#include "EditorTables.h"
#include "resources/editor_ids.h"
#include "resources/skin_ids.h"

namespace qv {

const EditorProfile kVstEditorProfile = {
    SKIN_VST_BMP_BACKGROUND,                  // backgroundBitmap
    SKIN_VST_BMP_GRAPH,                       // graphBitmap
    SKIN_VST_BMP_CLIP_OFF,                    // clipOffBitmap
    SKIN_VST_BMP_CLIP_HELD,                   // clipHeldBitmap
    SKIN_VST_BMP_CLIP_ACTIVE,                 // clipActiveBitmap
    0,                                        // spriteShift
    {IDC_VST_CLIP_LEFT, IDC_VST_CLIP_RIGHT},  // clipLampIds
    1,                                        // timerId
    {true, true, false, false},               // undo: dismissedMenu, editCommit, setupClick, taggedGestures
    kInitialProgramBands,                     // bandDefaults
    HelpSource::kRegistry,                    // help
    nullptr,                                  // alternativePresetKey
};

}  // namespace qv
