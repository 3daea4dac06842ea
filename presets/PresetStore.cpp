#include "PresetStore.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "PresetDialogs.h"
#include "PluginContract.h"
#include "PresetFile.h"
#include "PresetRules.h"
#include "PresetText.h"
#include "ScopedWin.h"

namespace qv {

namespace {

bool fileExists(const std::string& path)
{
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

PresetStore::PresetStore(HINSTANCE module, HWND owner, const char* pluginName)
    : working_(std::make_unique<PresetList>()), backup_(std::make_unique<PresetList>()),
      manager_(std::make_unique<PresetManagerState>()), pluginName_(cutText(pluginName ? pluginName : "")),
      owner_(owner), module_(module)
{
    caption_ = pluginName_.empty() ? std::string("Zorvath Velquin:qv Preset Manager") : pluginName_ + " Preset Manager";
}

PresetStore::~PresetStore() = default;

void PresetStore::setAlternativeKey(const char* keyPath) { alternativeKey_ = cutText(keyPath ? keyPath : ""); }

void PresetStore::load(const char* keyPath, const char* fileName)
{
    pluginKey_ = cutText(keyPath ? keyPath : "");
    const PluginLocation at = findPluginLocation(pluginKey_, MachineRegistry());
    path_ = resolvePresetPath(at.hasFolder ? at.folder.c_str() : nullptr, at.hasServer ? at.server.c_str() : nullptr,
                              fileName ? fileName : "");
    installedPath_ = path_;
    // A user who could not save into the installed file keeps a copy of his own; it is the preset
    // file for him from then on, as long as it is ours. Anything else there is left alone.
    userPath_ = fileName && *fileName ? userPresetPath(fileName) : std::string();
    if (fileExists(userPath_) && classifyIdentity(readPresetIdentity(userPath_), pluginKey_) == FileIdentity::kOurs)
        path_ = userPath_;
    if (!fileExists(path_))
        return;
    std::string clsid = readPresetIdentity(path_);
    FileIdentity identity = classifyIdentity(clsid, pluginKey_);
    if (identity == FileIdentity::kNone)
        return;
    if (identity == FileIdentity::kForeign) {
        messageBox(
            nullptr,
            formatText("No presets could be loaded because the preset file\n\"%s\"\ndoes not contain preset data "
                       "compatible with this plug-in.",
                       path_)
                .c_str(),
            MB_OK | MB_ICONERROR);
        return;
    }
    readPresetSections(path_, *working_, largestCommandId(), nullptr);
    working_->sort();
}

void PresetStore::addMenuItems(HMENU menu)
{
    if (const PresetRecord* current = working_->findById(current_)) {
        std::string text = "Update Preset: " + current->name + "...";
        InsertMenuA(menu, 1, MF_BYPOSITION | MF_STRING, kUpdatePresetCommand, text.c_str());
    }
    if (!working_->empty())
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    auto addItem = [this](HMENU into, const PresetRecord& r) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        item.fType = MFT_STRING | MFT_RADIOCHECK;
        item.fState = r.commandId == current_ ? MFS_CHECKED : MFS_UNCHECKED;
        item.wID = static_cast<UINT>(r.commandId);
        item.dwTypeData = const_cast<char*>(r.name.c_str());
        InsertMenuItemA(into, static_cast<UINT>(GetMenuItemCount(into)), TRUE, &item);
    };
    for (const MenuEntry& entry : planPresetMenu(*working_)) {
        if (entry.commandId != 0) {
            addItem(menu, *working_->findById(entry.commandId));
            continue;
        }
        HMENU sub = CreatePopupMenu();
        if (sub == nullptr)
            continue;
        for (int index : entry.recordIndexes)
            addItem(sub, *working_->at(index));
        AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), entry.text.c_str());
    }
}

const char* PresetStore::select(int32_t id, int32_t* version)
{
    if (id == kUpdatePresetCommand) {
        PresetRecord* record = working_->findById(current_);
        if (record == nullptr)
            return nullptr;
        std::string data;
        if (confirmUpdate(owner_, record->name, data)) {
            record->data = data;
            record->version = kPresetVersion;
            working_->sort();
            save();
        }
        return nullptr;
    }
    PresetRecord* record = working_->findById(id);
    if (record == nullptr)
        return nullptr;
    current_ = id;
    if (version)
        *version = record->version;
    return record->data.c_str();
}

int PresetStore::addPreset()
{
    const int before = working_->count();
    int result = runAddPreset(*this, owner_);
    working_->sort();
    if (fileKnown() || working_->count() != before)
        save();
    return result;
}

std::vector<const PresetRecord*> PresetStore::allRecords() const
{
    std::vector<const PresetRecord*> records;
    for (int i = 0; i < working_->count(); ++i)
        records.push_back(working_->at(i));
    return records;
}

bool PresetStore::save()
{
    const bool canMove = !path_.empty() && !userPath_.empty() && path_ != userPath_;
    PresetWriteResult result = PresetWriteResult::kDenied;
    // Where the system would quietly divert the write into its own per-user store, no other host
    // would see the presets: the installed file counts as one this user cannot write.
    if (!(canMove && fileWritesVirtualized()))
        result = writeChecked(path_, true, allRecords(), canMove);
    if (result != PresetWriteResult::kDenied || !canMove)
        return result == PresetWriteResult::kWritten;
    // The installed file is not this user's to write (Program Files, a write-protected medium): the
    // presets go to his own copy, made from the installed file with what it holds besides, which
    // stays as the factory file.
    CreateDirectoryA(userPath_.substr(0, userPath_.find_last_of('\\')).c_str(), nullptr);
    const std::string& from = fileExists(path_) ? path_ : userPath_;
    if (writeChecked(userPath_, true, allRecords(), false, from) != PresetWriteResult::kWritten)
        return false;
    path_ = userPath_;
    return true;
}

PresetWriteResult PresetStore::writeChecked(const std::string& target, bool fullSave,
                                            const std::vector<const PresetRecord*>& records, bool quietWhenDenied,
                                            const std::string& sectionsFrom)
{
    HWND boxOwner = manager_->dialog ? manager_->dialog : owner_;
    std::string clsid = fileExists(target) ? readPresetIdentity(target) : std::string();
    switch (checkSave(target, clsid, pluginKey_)) {
    case SaveCheck::kNoPath:
        messageBox(boxOwner, "The presets could not be saved because the location of the preset file is not known.",
                   MB_OK | MB_ICONERROR);
        return PresetWriteResult::kFailed;
    case SaveCheck::kForeignFile:
        messageBox(
            boxOwner,
            formatText("The presets were not saved because the file\n\"%s\"\nholds presets of another plug-in.", target)
                .c_str(),
            MB_OK | MB_ICONERROR);
        return PresetWriteResult::kFailed;
    case SaveCheck::kWrite:
        break;
    }
    PresetFileWrite write{pluginName_, pluginKey_, fullSave, records};
    PresetWriteResult result = writePresetFile(target, write, sectionsFrom);
    if (result == PresetWriteResult::kWritten || (result == PresetWriteResult::kDenied && quietWhenDenied))
        return result;
    messageBox(boxOwner, formatText("The presets could not be saved to the file\n\"%s\".", target).c_str(),
               MB_OK | MB_ICONERROR);
    return result;
}

bool PresetStore::importFile(const char* fileName)
{
    if (fileName == nullptr || *fileName == '\0' || pluginKey_.empty())
        return false;
    std::string file = fileName;
    std::string clsid = fileExists(file) ? readPresetIdentity(file) : std::string();
    switch (classifyIdentity(clsid, pluginKey_, alternativeKey_)) {
    case FileIdentity::kNone:
        messageBox(manager_->dialog, "The file you selected does not contain Zorvath Velquin:qv plug-in preset data.",
                   MB_OK | MB_ICONERROR);
        return false;
    case FileIdentity::kForeign:
        messageBox(manager_->dialog, "The preset file you are trying to import does not contain data for this plug-in.",
                   MB_OK | MB_ICONERROR);
        return false;
    case FileIdentity::kOurs:
        break;
    }
    readPresetSections(file, *working_, largestCommandId(), [this](const PresetRecord& record) {
        if (!working_->containsEqual(record))
            return true;
        std::string question = formatText(
            "The preset \"%s\" you are importing already exists in the %s preset list.\nDo you want to add it anyway?",
            record.name, pluginName_);
        return messageBox(manager_->dialog, question.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
    });
    return true;
}

bool PresetStore::exportFile(const char* fileName, ExportKind kind, const std::string& bank, int32_t presetId)
{
    if (fileName == nullptr || *fileName == '\0')
        return false;
    std::vector<const PresetRecord*> records;
    switch (kind) {
    case ExportKind::kNothing:
        return false;
    case ExportKind::kAll:
        return writeChecked(fileName, true, allRecords()) == PresetWriteResult::kWritten;
    case ExportKind::kBank:
        for (int i = 0; i < working_->count(); ++i) {
            if (equalNoCase(working_->at(i)->bank, bank))
                records.push_back(working_->at(i));
        }
        break;
    case ExportKind::kPreset:
        if (const PresetRecord* record = working_->findById(presetId))
            records.push_back(record);
        break;
    }
    return writeChecked(fileName, false, records) == PresetWriteResult::kWritten;
}

void PresetStore::takeBackup()
{
    if (!backup_) {
        messageBox(manager_->dialog, "Failed to create backup preset list, changes can not be cancelled!",
                   MB_OK | MB_ICONERROR);
        return;
    }
    backup_ = working_->deepCopy();
    working_.swap(backup_);
}

void PresetStore::restoreBackup()
{
    if (backup_)
        working_.swap(backup_);
}

int32_t PresetStore::largestCommandId() const
{
    int32_t largest = working_->largestCommandId();
    return backup_ ? std::max(largest, backup_->largestCommandId()) : largest;
}

bool PresetStore::requestData(std::string& data)
{
    if (owner_ == nullptr)
        return false;
    char* text = nullptr;
    SendMessageA(owner_, kPresetDataRequest, reinterpret_cast<WPARAM>(&text), 0);
    if (text == nullptr)
        return false;
    // The buffer is 1024 bytes; read no further even when it lacks its NUL.
    data.assign(text, strnlen(text, kPresetDataBufferSize));
    std::free(text);
    return !data.empty();
}

bool PresetStore::confirmUpdate(HWND boxOwner, const std::string& presetName, std::string& data)
{
    return messageBox(boxOwner, updatePresetQuestion(presetName).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES &&
           requestData(data);
}

int PresetStore::messageBox(HWND boxOwner, const char* text, UINT flags) const
{
    return MessageBoxA(boxOwner, text, caption_.c_str(), flags);
}

bool PresetStore::chooseFile(bool forSave, const char* title, char* fileName, std::size_t size, FileTypes types,
                             DWORD* filter)
{
    static const char kPresetFilter[] = "Preset Files (*.ini)\0*.ini\0All Files (*.*)\0*.*\0";
    static const char kImportFilter[] =
        "Preset Files (*.ini)\0*.ini\0All Files (*.*)\0*.*\0Parametric EQ text (*.txt)\0*.txt\0";
    static const char kEqTextFilter[] = "Parametric EQ text (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
    const char* kFilter = types == FileTypes::kEqText
                              ? kEqTextFilter
                              : (types == FileTypes::kPresetsOrEqText ? kImportFilter : kPresetFilter);
    int& uses = forSave ? saveUses_ : openUses_;
    std::string folder;
    std::size_t slash = path_.rfind('\\');
    if (slash != std::string::npos)
        folder = path_.substr(0, slash);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = manager_->dialog;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = fileName;
    ofn.nMaxFile = static_cast<DWORD>(size);
    ofn.lpstrTitle = title;
    ofn.lpstrInitialDir = uses == 0 && !folder.empty() ? folder.c_str() : nullptr;
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (forSave ? OFN_OVERWRITEPROMPT : 0);
    // Other programs look for the text by its extension; a name typed without one gets it.
    ofn.lpstrDefExt = types == FileTypes::kEqText ? "txt" : nullptr;
    // The dialogs leave the process in the folder the user browsed to (the open dialog whatever its
    // flags say); the host's current folder is its own.
    char hostFolder[MAX_PATH];
    const DWORD hostFolderLength = GetCurrentDirectoryA(sizeof hostFolder, hostFolder);
    BOOL chosen = forSave ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (hostFolderLength > 0 && hostFolderLength < sizeof hostFolder)
        SetCurrentDirectoryA(hostFolder);
    if (chosen) {
        ++uses;
        if (filter)
            *filter = ofn.nFilterIndex;
        return true;
    }
    if (CommDlgExtendedError() != 0)
        messageBox(manager_->dialog, "Unable to open file dialog.", MB_OK | MB_ICONERROR);
    return false;
}

}  // namespace qv
