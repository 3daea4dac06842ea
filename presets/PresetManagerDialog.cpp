// The Preset Manager dialog: the tree of banks and presets over the store's working list, with its
// buttons, context menu, moves, deletes, import, export, save and cancel.
#include <windows.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "WindowDpi.h"
#include "PresetDialogs.h"
#include "PresetResources.h"
#include "PresetText.h"
#include "ScopedWin.h"

namespace qv {

namespace {
const char kOldProc[] = "oldproc";

PresetStore* storeOf(HWND dialog) { return reinterpret_cast<PresetStore*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

HTREEITEM insertItem(HWND tree, HTREEITEM parent, HTREEITEM after, const std::string& text, uint32_t value, int image,
                     int selectedImage)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.lParam = static_cast<LPARAM>(value);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

uint32_t itemValue(HWND tree, HTREEITEM item)
{
    TVITEMA data = {};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data)))
        return 0;
    return static_cast<uint32_t>(data.lParam);
}

std::string itemText(HWND tree, HTREEITEM item)
{
    char text[kPresetTextMax + 1] = {};
    TVITEMA data = {};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    text[kPresetTextMax] = '\0';
    return text;
}

void updateButtons(HWND dialog, PresetStore& store)
{
    TreeSelection selection = treeSelection(store);
    bool any = !store.working().empty();
    EnableWindow(GetDlgItem(dialog, IDC_PRESET_UPDATE), selection.kind == TreeSelection::kPreset);
    EnableWindow(GetDlgItem(dialog, IDC_PRESET_DELETE), any);
    EnableWindow(GetDlgItem(dialog, IDC_PRESET_RENAME),
                 any && (selection.kind == TreeSelection::kBank || selection.kind == TreeSelection::kPreset));
    EnableWindow(GetDlgItem(dialog, IDC_PRESET_EXPORT), any);
}

LRESULT CALLBACK treeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto oldProc = reinterpret_cast<WNDPROC>(GetPropA(tree, kOldProc));
    if (oldProc == nullptr)
        return DefWindowProcA(tree, message, wParam, lParam);
    switch (message) {
    case WM_RBUTTONDOWN:
        // Select the item under the mouse first, as a left press would, then offer the menu.
        CallWindowProcA(oldProc, tree, WM_LBUTTONDOWN, wParam, lParam);
        PostMessageA(GetParent(tree), kTreeContextMenu, 0, 0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
        RemovePropA(tree, kOldProc);
        break;
    }
    return CallWindowProcA(oldProc, tree, message, wParam, lParam);
}

// A failed save keeps the dialog open, so the changes can still be exported; without a known file
// there is nothing to retry, and the edits stay in memory for the session.
bool saveOrKeep(PresetStore& store) { return store.save() || !store.fileKnown(); }

// Closes the dialog, asking first whether to save when the list was changed.
void closeAsking(HWND dialog, PresetStore& store, int result)
{
    if (store.manager().modified) {
        int answer = store.messageBox(dialog, "Save changes before exiting the Preset Manager?",
                                      MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return;
        if (answer == IDYES) {
            if (!saveOrKeep(store))
                return;
        } else {
            store.restoreBackup();
        }
    }
    EndDialog(dialog, result);
}

void updatePreset(HWND dialog, PresetStore& store)
{
    TreeSelection selection = treeSelection(store);
    if (selection.kind != TreeSelection::kPreset)
        return;
    std::string data;
    if (store.confirmUpdate(dialog, selection.preset->name, data))
        selection.preset->data = data;
}

void deleteSelection(HWND dialog, PresetStore& store)
{
    TreeSelection selection = treeSelection(store);
    PresetList& list = store.working();
    const std::string& plugin = store.pluginName();
    if (selection.kind == TreeSelection::kRoot) {
        std::string question = formatText("Are you sure you want to delete ALL the %s banks and presets?", plugin);
        if (store.messageBox(dialog, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        if (!list.empty())
            store.manager().modified = true;
        list.clear();
        fillPresetTree(store);
    } else if (selection.kind == TreeSelection::kBank) {
        std::string question = formatText(
            "Do you want to delete the %s preset bank \"%s\"?\nAll presets contained in this bank will be lost.",
            plugin, selection.bank);
        if (store.messageBox(dialog, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        for (int i = list.count() - 1; i >= 0; --i) {
            if (equalNoCase(list.at(i)->bank, selection.bank))
                list.removeAt(i);
        }
        store.manager().modified = true;
        fillPresetTree(store);
    } else if (selection.kind == TreeSelection::kPreset) {
        std::string question =
            formatText("Do you want to delete the %s preset \"%s\"?", plugin, selection.preset->name);
        if (store.messageBox(dialog, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        list.removeAt(list.indexOfId(selection.preset->commandId));
        store.manager().modified = true;
        if (TreeView_GetNextSibling(store.manager().tree, selection.item) != nullptr) {
            TreeView_DeleteItem(store.manager().tree, selection.item);
        } else {
            fillPresetTree(store);
        }
        SetFocus(store.manager().tree);
    }
}

void importPresets(HWND dialog, PresetStore& store)
{
    char file[MAX_PATH] = {};
    DWORD filter = 0;
    if (!store.chooseFile(false, "Import Preset(s)", file, sizeof file, FileTypes::kPresetsOrEqText, &filter))
        return;
    if (tryEqTextImport(dialog, store, file, filter))
        return;
    if (store.importFile(file)) {
        store.manager().modified = true;
        fillPresetTree(store);
    }
}

void exportPresets(PresetStore& store)
{
    TreeSelection selection = treeSelection(store);
    const char* title = nullptr;
    std::string name;
    ExportKind kind = ExportKind::kNothing;
    switch (selection.kind) {
    case TreeSelection::kNone:
        return;
    case TreeSelection::kRoot:
        title = "Export all presets", name = store.pluginName(), kind = ExportKind::kAll;
        break;
    case TreeSelection::kBank:
        title = "Export preset bank", name = selection.bank, kind = ExportKind::kBank;
        break;
    case TreeSelection::kPreset:
        title = "Export preset", name = selection.preset->name, kind = ExportKind::kPreset;
        break;
    }
    char file[MAX_PATH] = {};
    std::snprintf(file, sizeof file, "%s", sanitizeFileName(name).c_str());
    if (!store.chooseFile(true, title, file, sizeof file))
        return;
    store.exportFile(file, kind, selection.bank, selection.preset ? selection.preset->commandId : -1);
}

void onCommand(HWND dialog, PresetStore& store, int id)
{
    switch (id) {
    case IDC_PRESET_ADD:
        runAddPreset(store, dialog);
        break;
    case IDC_PRESET_UPDATE:
        updatePreset(dialog, store);
        break;
    case IDC_PRESET_RENAME:
        runRenameDialog(store, dialog);
        break;
    case IDC_PRESET_DELETE:
        deleteSelection(dialog, store);
        updateButtons(dialog, store);
        break;
    case IDC_PRESET_IMPORT:
        importPresets(dialog, store);
        break;
    case IDC_PRESET_EXPORT:
        exportPresets(store);
        break;
    case IDC_PRESET_EXPORT_EQ:
        exportEqTextFile(dialog, store);
        break;
    case IDOK:
        if (saveOrKeep(store))
            EndDialog(dialog, 0);
        break;
    case IDC_PRESET_CANCEL:
        store.restoreBackup();
        EndDialog(dialog, 0);
        break;
    case IDCANCEL:
        closeAsking(dialog, store, 0);
        break;
    }
}

void movePreset(PresetStore& store, PresetRecord& preset, const std::string& bank)
{
    int32_t id = preset.commandId;
    preset.bank = cutText(bank);
    fillPresetTree(store);
    selectPresetItem(store, id);
    store.manager().modified = true;
}

// The context menu for the tree's selection; the command chosen, or 0.
int trackContextMenu(HWND dialog, PresetStore& store, const TreeSelection& selection, bool byKeyboard)
{
    Menu resource(LoadMenuA(store.module(), MAKEINTRESOURCEA(IDM_PRESET_CONTEXT)));
    HMENU menu = resource ? GetSubMenu(resource.get(), 0) : nullptr;
    if (menu == nullptr)
        return 0;
    const PresetList& list = store.working();
    bool isPreset = selection.kind == TreeSelection::kPreset;
    auto grey = [menu](UINT id, bool off) { EnableMenuItem(menu, id, MF_BYCOMMAND | (off ? MF_GRAYED : MF_ENABLED)); };
    grey(IDC_PRESET_UPDATE, !isPreset);
    grey(IDC_PRESET_DELETE, list.empty());
    grey(IDC_PRESET_RENAME, !(isPreset || selection.kind == TreeSelection::kBank));
    if (isPreset) {
        HMENU move = CreatePopupMenu();
        if (!selection.preset->bank.empty())
            AppendMenuA(move, MF_STRING, IDC_MOVE_TO_ROOT, "to Root");
        AppendMenuA(move, MF_STRING, IDC_MOVE_TO_NEW_BANK, "to New Bank...");
        std::vector<MoveTarget> targets = moveTargets(list, *selection.preset);
        if (!targets.empty())
            AppendMenuA(move, MF_SEPARATOR, 0, nullptr);
        for (const MoveTarget& target : targets)
            AppendMenuA(move, MF_STRING, static_cast<UINT_PTR>(target.commandId), target.bank.c_str());
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(move), "Move Preset");
    }
    // Beside the item it exports: a preset, or with none selected the editor's current settings.
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDC_PRESET_EXPORT_EQ, "Export as parametric EQ text...");
    POINT at;
    GetCursorPos(&at);
    RECT item;
    // From the keyboard the menu opens at the selected item, not wherever the mouse rests.
    if (byKeyboard && selection.item && TreeView_GetItemRect(store.manager().tree, selection.item, &item, TRUE)) {
        at = {item.left, item.bottom};
        ClientToScreen(store.manager().tree, &at);
    }
    return static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x, at.y, 0, dialog, nullptr));
}

void onContextMenu(HWND dialog, PresetStore& store, bool byKeyboard)
{
    const int chosen = trackContextMenu(dialog, store, treeSelection(store), byKeyboard);
    if (chosen == 0)
        return;
    // The menu ran its own message loop: look the selection up again.
    const TreeSelection selection = treeSelection(store);
    PresetList& list = store.working();
    if (selection.kind == TreeSelection::kPreset &&
        (chosen == IDC_MOVE_TO_ROOT || chosen == IDC_MOVE_TO_NEW_BANK ||
         (chosen >= kFirstPresetId - 1 && chosen <= list.largestCommandId()))) {
        std::string bank;
        if (chosen == IDC_MOVE_TO_NEW_BANK) {
            if (!runNewBankDialog(store, dialog, bank))
                return;
            SetFocus(store.manager().tree);
        } else if (chosen != IDC_MOVE_TO_ROOT) {
            const PresetRecord* target = list.findById(chosen);
            if (target == nullptr)
                return;
            bank = target->bank;
        }
        movePreset(store, *selection.preset, bank);
        return;
    }
    onCommand(dialog, store, chosen);
}

void onNotify(HWND dialog, PresetStore& store, const NMHDR& header)
{
    if (header.hwndFrom != store.manager().tree)
        return;
    switch (header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        updateButtons(dialog, store);
        break;
    case TVN_KEYDOWN:
        if (reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey == VK_DELETE && !store.working().empty())
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRESET_DELETE, BN_CLICKED), 0);
        break;
    case NM_DBLCLK: {
        TreeSelection selection = treeSelection(store);
        if (selection.kind == TreeSelection::kPreset)
            closeAsking(dialog, store, selection.preset->commandId);
        break;
    }
    }
}

// The caption's and the tree's icons at the small-icon size of `dpi`, replacing those there were.
void loadIcons(HWND dialog, PresetManagerState& state, HINSTANCE module, int dpi)
{
    const int cx = systemMetricForDpi(SM_CXSMICON, dpi), cy = systemMetricForDpi(SM_CYSMICON, dpi);
    auto load = [&](int id) {
        return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    };
    if (HICON small = load(IDI_PRESET_ROOT)) {
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
        state.smallIcon.reset(small);
    }
    ImageList images(ImageList_Create(cx, cy, ILC_MASK | ILC_COLOR32, 9, 1));
    if (!images)
        return;
    for (int id : {IDI_PRESET_ROOT, IDI_PRESET_ITEM, IDI_PRESET_BANK, IDI_PRESET_OPENBANK}) {
        if (const Icon icon{load(id)})
            ImageList_AddIcon(images.get(), icon.get());
    }
    // The tree lets go of the old list before it is destroyed.
    TreeView_SetImageList(state.tree, images.get(), TVSIL_NORMAL);
    state.images = std::move(images);
}

void onInit(HWND dialog, PresetStore& store)
{
    PresetManagerState& state = store.manager();
    state.dialog = dialog;
    store.takeBackup();
    char title[300];
    std::snprintf(title, sizeof title, "%s Preset Manager", store.pluginName().c_str());
    SetWindowTextA(dialog, title);
    centreOnOwner(dialog);

    HWND tree = GetDlgItem(dialog, IDC_PRESET_TREE);
    state.tree = tree;
    SetPropA(tree, kOldProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(tree, GWLP_WNDPROC)));
    SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeProc));

    // The system's small-icon size is that of the system's DPI; a per-monitor aware host may show
    // the dialog on a display of another.
    loadIcons(dialog, state, store.module(), windowDpi(dialog));
    fillPresetTree(store);
    if (store.getCurrent() >= 0)
        selectPresetItem(store, store.getCurrent());
    updateButtons(dialog, store);
}

void onDestroy(PresetManagerState& state)
{
    TreeView_SetImageList(state.tree, nullptr, TVSIL_NORMAL);
    state.images.reset();
    state.smallIcon.reset();
    state.dialog = nullptr;
    state.tree = nullptr;
}

INT_PTR CALLBACK managerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    PresetStore* store = storeOf(dialog);
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        onInit(dialog, *reinterpret_cast<PresetStore*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (store)
            onCommand(dialog, *store, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        if (store && lParam)
            onNotify(dialog, *store, *reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case kTreeContextMenu:
        if (store)
            onContextMenu(dialog, *store, false);
        return TRUE;
    case WM_CONTEXTMENU:
        // Shift+F10 or the menu key on the tree; a mouse press has already been handled by the tree.
        if (store && reinterpret_cast<HWND>(wParam) == store->manager().tree &&
            static_cast<DWORD>(lParam) == 0xFFFFFFFFu) {
            onContextMenu(dialog, *store, true);
            return TRUE;
        }
        return FALSE;
    case WM_DPICHANGED:
        // Moved to a display of another DPI: the dialog manager scales the dialog; the icons are ours.
        if (store)
            loadIcons(dialog, store->manager(), store->module(), LOWORD(wParam));
        return FALSE;
    case WM_DESTROY:
        if (store)
            onDestroy(store->manager());
        return TRUE;
    }
    return FALSE;
}
}  // namespace

TreeSelection treeSelection(PresetStore& store)
{
    TreeSelection selection;
    HWND tree = store.manager().tree;
    if (tree == nullptr)
        return selection;
    selection.item = TreeView_GetSelection(tree);
    if (selection.item == nullptr)
        return selection;
    uint32_t value = itemValue(tree, selection.item);
    if (value == kRootMarker) {
        selection.kind = TreeSelection::kRoot;
    } else if (value == kBankMarker) {
        selection.kind = TreeSelection::kBank;
        selection.bank = itemText(tree, selection.item);
    } else if ((selection.preset = store.working().findById(static_cast<int32_t>(value))) != nullptr) {
        selection.kind = TreeSelection::kPreset;
    }
    return selection;
}

void fillPresetTree(PresetStore& store)
{
    HWND tree = store.manager().tree;
    if (tree == nullptr)
        return;
    TreeView_DeleteAllItems(tree);
    PresetList& list = store.working();
    list.sort();
    std::string rootText = "Available " + store.pluginName() + " presets";
    HTREEITEM root = insertItem(tree, TVI_ROOT, TVI_LAST, rootText, kRootMarker, 0, 0);
    TreePlan plan = planPresetTree(list);
    for (const TreeBank& bank : plan.banks) {
        HTREEITEM bankItem = insertItem(tree, root, TVI_LAST, bank.name, kBankMarker, 2, 3);
        for (int index : bank.recordIndexes) {
            const PresetRecord& r = *list.at(index);
            insertItem(tree, bankItem, TVI_SORT, r.name, static_cast<uint32_t>(r.commandId), 1, 1);
        }
    }
    for (int index : plan.looseIndexes) {
        const PresetRecord& r = *list.at(index);
        insertItem(tree, root, TVI_LAST, r.name, static_cast<uint32_t>(r.commandId), 1, 1);
    }
    TreeView_Expand(tree, root, TVE_EXPAND);
    TreeView_SelectItem(tree, root);
}

void selectPresetItem(PresetStore& store, int32_t id)
{
    HWND tree = store.manager().tree;
    if (tree == nullptr)
        return;
    HTREEITEM root = TreeView_GetRoot(tree);
    for (HTREEITEM child = root ? TreeView_GetChild(tree, root) : nullptr; child;
         child = TreeView_GetNextSibling(tree, child)) {
        uint32_t value = itemValue(tree, child);
        if (value == static_cast<uint32_t>(id)) {
            TreeView_SelectItem(tree, child);
            return;
        }
        if (value != kBankMarker)
            continue;
        for (HTREEITEM item = TreeView_GetChild(tree, child); item; item = TreeView_GetNextSibling(tree, item)) {
            if (itemValue(tree, item) == static_cast<uint32_t>(id)) {
                TreeView_SelectItem(tree, item);
                return;
            }
        }
    }
}

int runPresetManager(PresetStore& store)
{
    PresetManagerState& state = store.manager();
    if (state.dialog != nullptr)
        return 0;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    state.modified = false;
    INT_PTR result = DialogBoxParamA(store.module(), MAKEINTRESOURCEA(IDD_PRESET_MANAGER), store.owner(), managerProc,
                                     reinterpret_cast<LPARAM>(&store));
    state.dialog = nullptr;
    state.tree = nullptr;
    // A deleted current preset, or one added and then given up with the backup, is no longer current:
    // the menu would otherwise mark and offer to update a preset that is not there.
    if (store.working().findById(store.getCurrent()) == nullptr)
        store.setCurrent(-1);
    return result < 0 ? 0 : static_cast<int>(result);
}

}  // namespace qv
