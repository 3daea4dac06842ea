#include "EditorProfile.h"

#include "ClassIds.h"
#include "EditorLogic.h"
#include "resources/skin_ids.h"

namespace qv {
namespace {
// The filter's page is the maker's further class: files naming its key are accepted on import.
constexpr char kPageClassKey[] = "SOFTWARE\\Classes\\CLSID\\" QV_PROPERTY_PAGE_CLSID_TEXT;
}  // namespace

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
    nullptr,
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
    kPageClassKey,
};

}  // namespace qv
