#pragma once
// Where the preset file lives and which files the store may read or write. Free of any platform
// header: the shell reads the registry and the file, these functions decide.

#include <string>

namespace qv {

// The preset file path from the registry: the "PluginPath" folder when present, else the folder of
// the registered DLL path when that names a ".dll" with a backslash. Either may be null (absent).
// Empty when neither gives a folder, or when the path would not fit a 260-byte buffer: a cut path
// would name another file.
std::string resolvePresetPath(const char* pluginPath, const char* dllPath, const std::string& fileName);

// What a file's "CLSID" value says about it.
enum class FileIdentity {
    kNone,     // empty: no preset data of ours (or no file)
    kOurs,     // the plug-in key, or the alternative key where that is accepted
    kForeign,  // another plug-in's presets
};
FileIdentity classifyIdentity(const std::string& fileClsid, const std::string& pluginKey,
                              const std::string& alternativeKey = std::string());

// Whether a save may write into a file.
enum class SaveCheck {
    kWrite,
    kNoPath,       // the file path is unresolved
    kForeignFile,  // the file holds another plug-in's presets and keeps them
};
SaveCheck checkSave(const std::string& path, const std::string& fileClsid, const std::string& pluginKey);

}  // namespace qv
