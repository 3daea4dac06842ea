#pragma once
// Pieces shared by the Preset Manager and its small dialogs.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "PresetStore.h"
#include "ScopedWin.h"

namespace qv {

constexpr UINT kTreeContextMenu = WM_USER + 1000;  // posted by the tree on a right button press
constexpr uint32_t kRootMarker = 0xAABBCCDDu;
constexpr uint32_t kBankMarker = 0xBAADBEEFu;

// The Preset Manager's record: its windows while it is open, whether the list changed since it
// opened, and the icons it made. The store keeps it; the dialogs alone change it.
struct PresetManagerState {
    HWND dialog = nullptr;
    HWND tree = nullptr;
    bool modified = false;
    ImageList images;
    Icon smallIcon;
};

// What the Preset Manager's tree has selected.
struct TreeSelection {
    enum Kind {
        kNone,
        kRoot,
        kBank,
        kPreset
    } kind = kNone;
    HTREEITEM item = nullptr;
    std::string bank;  // of a bank item: its text
    PresetRecord* preset = nullptr;
};
TreeSelection treeSelection(PresetStore& store);

// Refills the tree from the sorted working list and selects the root.
void fillPresetTree(PresetStore& store);
// Selects the item of a preset; the selection stays when no item has the id.
void selectPresetItem(PresetStore& store, int32_t id);

void centreOnOwner(HWND dialog);
std::string dialogText(HWND dialog, int id);  // up to 127 characters

// What the Add dialog adds when the settings do not come from the editor: a preset read from a file.
struct AddPresetFill {
    std::string name;  // proposed, editable
    std::string bank;  // proposed, editable
    std::string data;  // the Data text the preset gets
};
// The Add dialog with the fields proposed and the Data text given; the new preset does not become
// the current one, as the editor does not hold its settings.
int runAddPreset(PresetStore& store, HWND owner, const AddPresetFill& fill);

// A file chosen in the import dialog (`filter`: the filter the user had chosen) taken as a parametric
// EQ text: by that filter or a ".txt" name, else by lines that read as one; a preset file never is.
// Such a file becomes a new preset through the Add dialog, after the user has heard what is left out
// and agreed. False: the file is for the preset import.
bool tryEqTextImport(HWND dialog, PresetStore& store, const std::string& path, DWORD filter);
// The selected preset, or with no preset selected the editor's current settings, as a parametric EQ
// text file.
void exportEqTextFile(HWND dialog, PresetStore& store);

// Rename the selection: 1 when renamed (or closed with the close box), 0 when cancelled.
int runRenameDialog(PresetStore& store, HWND owner);
// A new bank name for the selected preset; false when cancelled.
bool runNewBankDialog(PresetStore& store, HWND owner, std::string& bank);

}  // namespace qv
