// The Add, Rename and New bank dialogs.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "PresetDialogs.h"
#include "PresetResources.h"
#include "PresetText.h"

namespace qv {

namespace {
// The Add dialog's proposed preset, beside the store in its user data.
const char kFillProp[] = "qvAddFill";

PresetStore* storeOf(HWND dialog) { return reinterpret_cast<PresetStore*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

struct AddRequest {
    PresetStore* store;
    const AddPresetFill* fill;  // null: the editor's current settings
};

void setTitle(HWND dialog, const char* pattern, const std::string& text)
{
    char title[300];
    std::snprintf(title, sizeof title, pattern, text.c_str());
    SetWindowTextA(dialog, title);
}

void fillBankCombo(PresetStore& store, HWND combo)
{
    PresetList& list = store.working();
    for (int i = 0; i < list.count(); ++i) {
        const std::string& bank = list.at(i)->bank;
        // A whole-name search: a prefix search would hide "Rock" behind an earlier "Rock Ballads".
        if (!bank.empty() && SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(bank.c_str())) == CB_ERR)
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(bank.c_str()));
    }
}

void addPreset(HWND dialog, PresetStore& store)
{
    std::string name = dialogText(dialog, IDC_PRESET_NAME);
    if (name.empty()) {
        store.messageBox(dialog, "Unable to add preset because no name was specified.", MB_OK | MB_ICONERROR);
        return;
    }
    auto record = std::make_unique<PresetRecord>();
    const auto* fill = static_cast<const AddPresetFill*>(GetPropA(dialog, kFillProp));
    if (fill) {
        record->data = fill->data;
    } else if (!store.requestData(record->data)) {
        EndDialog(dialog, 0);
        return;
    }
    record->name = name;
    record->bank = dialogText(dialog, IDC_PRESET_BANK);
    record->version = kPresetVersion;
    record->commandId = store.nextCommandId();
    int32_t id = store.working().append(std::move(record))->commandId;
    if (store.manager().dialog) {
        fillPresetTree(store);
        selectPresetItem(store, id);
    }
    if (!fill)
        store.setCurrent(id);
    store.manager().modified = true;
    EndDialog(dialog, 1);
}

// What the add and rename dialogs share: OK runs `ok`, Cancel ends with 0, closing with 1.
INT_PTR okCancelClose(HWND dialog, UINT message, WPARAM wParam, void (*ok)(HWND, PresetStore&))
{
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == IDOK)
            ok(dialog, *storeOf(dialog));
        if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    }
    if (message == WM_CLOSE) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK addProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const auto& request = *reinterpret_cast<const AddRequest*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(request.store));
        if (request.fill)
            SetPropA(dialog, kFillProp, const_cast<AddPresetFill*>(request.fill));
        PresetStore& store = *request.store;
        setTitle(dialog, "Add %s preset", store.pluginName());
        centreOnOwner(dialog);
        SendDlgItemMessageA(dialog, IDC_PRESET_NAME, EM_LIMITTEXT, kPresetTextMax, 0);
        SendDlgItemMessageA(dialog, IDC_PRESET_BANK, CB_LIMITTEXT, kPresetTextMax, 0);
        fillBankCombo(store, GetDlgItem(dialog, IDC_PRESET_BANK));
        if (const auto* fill = static_cast<const AddPresetFill*>(GetPropA(dialog, kFillProp))) {
            SetDlgItemTextA(dialog, IDC_PRESET_NAME, cutText(fill->name).c_str());
            SetDlgItemTextA(dialog, IDC_PRESET_BANK, cutText(fill->bank).c_str());
        }
        return TRUE;
    }
    case WM_DESTROY:
        RemovePropA(dialog, kFillProp);
        return FALSE;
    default:
        return okCancelClose(dialog, message, wParam, addPreset);
    }
}

void renameSelection(HWND dialog, PresetStore& store)
{
    std::string text = dialogText(dialog, IDC_PRESET_NAME);
    if (text.empty()) {
        store.messageBox(dialog, "Unable to rename preset because you did not specify any name.", MB_OK | MB_ICONERROR);
        return;
    }
    TreeSelection selection = treeSelection(store);
    int32_t renamed = -1;
    if (selection.kind == TreeSelection::kBank) {
        PresetList& list = store.working();
        for (int i = 0; i < list.count(); ++i) {
            if (equalNoCase(list.at(i)->bank, selection.bank))
                list.at(i)->bank = text;
        }
    } else if (selection.kind == TreeSelection::kPreset) {
        selection.preset->name = text;
        renamed = selection.preset->commandId;
    }
    fillPresetTree(store);
    if (renamed >= 0)
        selectPresetItem(store, renamed);
    store.manager().modified = true;
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK renameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        PresetStore& store = *reinterpret_cast<PresetStore*>(lParam);
        centreOnOwner(dialog);
        SendDlgItemMessageA(dialog, IDC_PRESET_NAME, EM_LIMITTEXT, kPresetTextMax, 0);
        TreeSelection selection = treeSelection(store);
        if (selection.kind == TreeSelection::kBank) {
            setTitle(dialog, "Rename %s bank", store.pluginName());
            SetDlgItemTextA(dialog, IDC_PRESET_NAME, selection.bank.c_str());
        } else if (selection.kind == TreeSelection::kPreset) {
            setTitle(dialog, "Rename %s preset", store.pluginName());
            SetDlgItemTextA(dialog, IDC_PRESET_NAME, selection.preset->name.c_str());
        }
        return TRUE;
    }
    default:
        return okCancelClose(dialog, message, wParam, renameSelection);
    }
}

struct NewBankState {
    PresetStore* store;
    std::string bank;
};

INT_PTR CALLBACK newBankProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<NewBankState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<NewBankState*>(lParam);
        TreeSelection selection = treeSelection(*state->store);
        setTitle(dialog, "Move preset \"%s\" to new bank", selection.preset ? selection.preset->name : std::string());
        centreOnOwner(dialog);
        SendDlgItemMessageA(dialog, IDC_PRESET_BANK, EM_LIMITTEXT, kPresetTextMax, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            state->bank = dialogText(dialog, IDC_PRESET_BANK);
            if (state->bank.empty()) {
                state->store->messageBox(dialog,
                                         "Unable to move preset to new bank because no bank name was specified.",
                                         MB_OK | MB_ICONERROR);
                return TRUE;
            }
            EndDialog(dialog, 1);
        }
        if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
}  // namespace

void centreOnOwner(HWND dialog)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT ownerRect, rect;
    if (owner == nullptr || !GetWindowRect(owner, &ownerRect) || !GetWindowRect(dialog, &rect))
        return;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = ownerRect.left + ((ownerRect.right - ownerRect.left) - width) / 2;
    int y = ownerRect.top + ((ownerRect.bottom - ownerRect.top) - height) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string dialogText(HWND dialog, int id)
{
    char text[kPresetTextMax + 1] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

namespace {
int runAdd(PresetStore& store, HWND owner, const AddPresetFill* fill)
{
    AddRequest request{&store, fill};
    return static_cast<int>(DialogBoxParamA(store.module(), MAKEINTRESOURCEA(IDD_PRESET_ADD), owner, addProc,
                                            reinterpret_cast<LPARAM>(&request)));
}
}  // namespace

int runAddPreset(PresetStore& store, HWND owner) { return runAdd(store, owner, nullptr); }

int runAddPreset(PresetStore& store, HWND owner, const AddPresetFill& fill) { return runAdd(store, owner, &fill); }

int runRenameDialog(PresetStore& store, HWND owner)
{
    return static_cast<int>(DialogBoxParamA(store.module(), MAKEINTRESOURCEA(IDD_PRESET_RENAME), owner, renameProc,
                                            reinterpret_cast<LPARAM>(&store)));
}

bool runNewBankDialog(PresetStore& store, HWND owner, std::string& bank)
{
    NewBankState state{&store, std::string()};
    if (DialogBoxParamA(store.module(), MAKEINTRESOURCEA(IDD_PRESET_NEWBANK), owner, newBankProc,
                        reinterpret_cast<LPARAM>(&state)) != 1)
        return false;
    bank = state.bank;
    return true;
}

}  // namespace qv
