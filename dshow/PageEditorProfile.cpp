#include "PageEditorProfile.h"

#include "ClassIds.h"
#include "EditorTables.h"
#include "resources/editor_ids.h"
#include "resources/skin_ids.h"

namespace qv {
namespace {
// The filter's page is the maker's further class: files naming its key are accepted on import.
constexpr char kPageClassKey[] = "SOFTWARE\\Classes\\CLSID\\" QV_PROPERTY_PAGE_CLSID_TEXT;
}  // namespace

const EditorProfile kDirectShowEditorProfile = {
    SKIN_DS_BMP_BACKGROUND,                     // backgroundBitmap
    SKIN_DS_BMP_GRAPH,                          // graphBitmap
    SKIN_DS_BMP_CLIP_OFF,                       // clipOffBitmap
    SKIN_DS_BMP_CLIP_HELD,                      // clipHeldBitmap
    SKIN_DS_BMP_CLIP_ACTIVE,                    // clipActiveBitmap
    SKIN_DS_SPRITE_SHIFT,                       // spriteShift
    {IDC_PAGE_CLIP_LEFT, IDC_PAGE_CLIP_RIGHT},  // clipLampIds
    0,                                          // timerId
    {false, false, true, true},                 // undo: dismissedMenu, editCommit, setupClick, taggedGestures
    kResetBands,                                // bandDefaults
    HelpSource::kModulePath,                    // help
    kPageClassKey,                              // alternativePresetKey
};

}  // namespace qv
