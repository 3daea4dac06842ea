#pragma once
// What the setup program, the uninstaller, both plug-in DLLs and the render tool agree on: the file
// names, where the installer leaves the install folder in the registry, the home page and the preset
// file's identity. The class id texts themselves are in ClassIds.h. Header only and free of any
// platform header, so that the installer shares these facts with the DLLs and no code.

#include <cstddef>
#include <string>

#include "ClassIds.h"

// Macros so that the names can be joined into longer texts at compile time (L"" QV_FILTER_FILE_NAME
// for a wide one).
#define QV_VST_FILE_NAME    "Zorvath qvEqualizer R3.dll"
#define QV_FILTER_FILE_NAME "qvEqualizer.dll"
#define QV_PRESET_FILE_NAME "qvEqualizerR3.ini"

namespace qv {

constexpr char kVstFileName[] = QV_VST_FILE_NAME;
constexpr char kFilterFileName[] = QV_FILTER_FILE_NAME;

// Under HKEY_LOCAL_MACHINE: the class keys, and the equalizer's, whose "PluginPath" names the install
// folder (for both plug-ins, also where only the VST plug-in was installed) and whose server subkey
// names the registered filter DLL.
constexpr char kClassesKey[] = "SOFTWARE\\Classes\\CLSID";
constexpr char kEqualizerClassKey[] = "SOFTWARE\\Classes\\CLSID\\" QV_EQUALIZER_CLSID_TEXT;
constexpr char kServerSubkey[] = "InprocServer32";
constexpr char kPluginPathValue[] = "PluginPath";

// The maker's product page: the editor's menu and the Start-menu Internet shortcut.
constexpr char kHomePage[] = "http://www.example.com/qvequalizer/";

// A preset file names the plug-in it belongs to in this value, at most this many characters.
constexpr char kPresetIdentitySection[] = "Plug-in";
constexpr char kPresetIdentityKey[] = "CLSID";
constexpr std::size_t kPresetIdentityLength = 99;

// The per-user folder under the application-data folder where a user keeps the presets the installed
// file cannot take (a host without administrator rights); the uninstaller offers to remove it.
constexpr char kUserPresetFolder[] = "Velquin-qv-R3";
// The preset file both plug-ins share, in the install folder and in the per-user folder.
constexpr char kPresetFileName[] = QV_PRESET_FILE_NAME;
// Per-user settings of the editors (never in presets or host projects), under HKEY_CURRENT_USER.
constexpr char kUserSettingsKey[] = "Software\\Velquin-qv-R3";

// A user's own preset file for `fileName` inside his application-data folder `appData`.
inline std::string userPresetFileIn(const std::string& appData, const char* fileName = kPresetFileName)
{
    std::string path = appData;
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path + kUserPresetFolder + '\\' + fileName;
}

// The two registry values that say where an installed plug-in's files are: "PluginPath" of its class
// key and the registered server path. Either may be absent.
struct PluginLocation {
    bool hasFolder = false;
    std::string folder;
    bool hasServer = false;
    std::string server;
};

// read(keyPath, valueName, out) reads a string value under HKEY_LOCAL_MACHINE (a null name is the
// key's default value) and says whether it was there.
template <class ReadString>
PluginLocation findPluginLocation(const std::string& classKey, ReadString read)
{
    PluginLocation at;
    at.hasFolder = read(classKey.c_str(), kPluginPathValue, at.folder);
    at.hasServer = read((classKey + "\\" + kServerSubkey).c_str(), nullptr, at.server);
    return at;
}

}  // namespace qv
