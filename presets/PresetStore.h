#pragma once
// The in-memory preset store behind the editor's presets menu and the Preset Manager: the preset
// file, the working and backup lists, the current preset, import and export.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "PluginContract.h"
#include "PresetFile.h"
#include "PresetList.h"

namespace qv {

// Sent to the owner window to obtain the current settings: wParam is the address of a char
// pointer, through which the owner stores a malloc'd 1024-byte buffer holding the Data text; the
// store frees it.
constexpr UINT kPresetDataRequest = 10900;
constexpr std::size_t kPresetDataBufferSize = 1024;

constexpr char kPluginName[] = "qv:Equalizer";
constexpr const char* kPluginKey = kEqualizerClassKey;

// The file types a file dialog offers. kPresetsOrEqText adds parametric EQ texts after the preset
// file types (its third filter); kEqText offers them first and gives a name typed without an
// extension ".txt".
enum class FileTypes {
    kPresets,
    kPresetsOrEqText,
    kEqText,
};
constexpr DWORD kEqTextFilterIndex = 3;  // of kPresetsOrEqText

struct PresetManagerState;  // the Preset Manager's own record (PresetDialogs.h)

// What an export writes, by the Preset Manager's selection.
enum class ExportKind {
    kNothing,
    kAll,
    kBank,
    kPreset
};

class PresetStore {
public:
    PresetStore(HINSTANCE module, HWND owner, const char* pluginName);
    ~PresetStore();
    PresetStore(const PresetStore&) = delete;
    PresetStore& operator=(const PresetStore&) = delete;

    void setAlternativeKey(const char* keyPath);
    void load(const char* keyPath, const char* fileName);
    void setCurrent(int32_t id) { current_ = id; }
    int32_t getCurrent() const { return current_; }
    void addMenuItems(HMENU menu);
    // 1503 runs the update question and yields nothing; a preset's id makes it current and yields its
    // Data text (owned by the record) and version; other ids yield nothing.
    const char* select(int32_t id, int32_t* version);
    // The Add dialog over the owner window, then sort and save. Without a known file only an added
    // preset tries the save (and hears that it stays in memory).
    int addPreset();
    // Full save of the store's file; a failure is reported to the user and returns false. Where the
    // installed file may not be written by this user, the presets go to his per-user copy, which is
    // the store's file from then on.
    bool save();
    // Whether the registry named a place for the file. Without one nothing can be written: a save
    // says so once, and the presets stay in memory for the session.
    bool fileKnown() const { return !path_.empty(); }
    bool importFile(const char* fileName);
    bool exportFile(const char* fileName, ExportKind kind, const std::string& bank, int32_t presetId);

    // For the dialogs.
    PresetList& working() { return *working_; }
    PresetList* backup() { return backup_.get(); }
    void takeBackup();
    void restoreBackup();
    // The id of a new record: above every id of the working and the backup list, so that an id
    // added in the Preset Manager never names a preset that a restored backup still holds.
    int32_t nextCommandId() const { return commandIdAfter(largestCommandId()); }
    const std::string& pluginName() const { return pluginName_; }
    const std::string& caption() const { return caption_; }
    const std::string& path() const { return path_; }
    HINSTANCE module() const { return module_; }
    HWND owner() const { return owner_; }
    // The Preset Manager's windows and edit state, kept with the store it shows.
    PresetManagerState& manager() { return *manager_; }

    // A fresh Data text from the owner window; false when it gave none.
    bool requestData(std::string& data);
    // Asks (over `boxOwner`) whether the preset shall take the current settings; true with the Data
    // text when the user agreed and the owner window gave it.
    bool confirmUpdate(HWND boxOwner, const std::string& presetName, std::string& data);
    int messageBox(HWND owner, const char* text, UINT flags) const;
    // Open or save dialog; fileName (260 bytes) is pre-filled by the caller. True when chosen, with
    // the 1-based filter the user had chosen in *filter.
    bool chooseFile(bool forSave, const char* title, char* fileName, std::size_t size,
                    FileTypes types = FileTypes::kPresets, DWORD* filter = nullptr);

private:
    // quietWhenDenied: a denied write is not reported, as another place will be tried. sectionsFrom:
    // the file whose other sections the written file keeps (default: the target itself).
    PresetWriteResult writeChecked(const std::string& target, bool fullSave,
                                   const std::vector<const PresetRecord*>& records, bool quietWhenDenied = false,
                                   const std::string& sectionsFrom = std::string());
    std::vector<const PresetRecord*> allRecords() const;
    int32_t largestCommandId() const;  // of both lists

    std::unique_ptr<PresetList> working_;
    std::unique_ptr<PresetList> backup_;
    std::unique_ptr<PresetManagerState> manager_;
    std::string path_;           // the file the store reads and saves
    std::string installedPath_;  // the file the registry names, beside the plug-ins
    std::string userPath_;       // this user's copy, used once the installed file could not be written
    std::string pluginName_;
    std::string pluginKey_;
    std::string alternativeKey_;
    std::string caption_;
    HWND owner_;
    HINSTANCE module_;
    int32_t current_ = -1;
    int openUses_ = 0;
    int saveUses_ = 0;
};

// The Preset Manager: 0, or the command id of a preset the user double-clicked. 0 at once when the
// store's Preset Manager is already open.
int runPresetManager(PresetStore& store);
// The Add dialog: 1 when a preset was added (or the dialog was closed with its close box), 0 when
// cancelled.
int runAddPreset(PresetStore& store, HWND owner);

}  // namespace qv
