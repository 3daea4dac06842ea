#include "EditorProfile.h"

#include "EditorLogic.h"
#include "resources/skin_ids.h"

namespace qv {

const EditorProfile kVstEditorProfile = {
    SKIN_VST_BMP_BACKGROUND,
    SKIN_VST_BMP_GRAPH,
    SKIN_VST_BMP_CLIP_OFF,
    SKIN_VST_BMP_CLIP_HELD,
    SKIN_VST_BMP_CLIP_ACTIVE,
    0,
    {10600, 10601},
    1,
    {true, true, false, false},
    kInitialProgramBands,
    HelpSource::kRegistry,
};

const EditorProfile kDirectShowEditorProfile = {
    SKIN_DS_BMP_BACKGROUND,
    SKIN_DS_BMP_GRAPH,
    SKIN_DS_BMP_CLIP_OFF,
    SKIN_DS_BMP_CLIP_HELD,
    SKIN_DS_BMP_CLIP_ACTIVE,
    SKIN_VST_RAW_FIRST - SKIN_DS_RAW_FIRST,
    {1020, 1021},
    0,
    {false, false, true, true},
    kResetBands,
    HelpSource::kModulePath,
};

}  // namespace qv
