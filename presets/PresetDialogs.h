#pragma once
// Pieces shared by the Preset Manager and its small dialogs.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "PresetStore.h"

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
    HIMAGELIST images = nullptr;
    HICON smallIcon = nullptr;
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

// Rename the selection: 1 when renamed (or closed with the close box), 0 when cancelled.
int runRenameDialog(PresetStore& store, HWND owner);
// A new bank name for the selected preset; false when cancelled.
bool runNewBankDialog(PresetStore& store, HWND owner, std::string& bank);

}  // namespace qv
