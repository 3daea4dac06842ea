#pragma once
// An install folder this user may not write (made by tests/support/unwritable-folders.sh and named
// in an environment variable), set as the plug-ins' "PluginPath", and this user's own preset copy,
// which the plug-ins then write instead. Nothing of it is left behind.
#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "MachineRegistry.h"

namespace qvtest {

class UnwritableInstall {
public:
    // `variable`: QV_READONLY_FOLDER or QV_DENIED_FOLDER. ok() is false where it is not given.
    explicit UnwritableInstall(const char* variable)
    {
        const char* folder = std::getenv(variable);
        char appData[MAX_PATH] = {};
        if (folder == nullptr || *folder == '\0' ||
            FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData)))
            return;
        installed = std::string(folder) + qv::kPresetFileName;
        userFolder_ = std::string(appData) + "\\" + qv::kUserPresetFolder;
        userCopy = qv::userPresetFileIn(appData);
        DeleteFileA(userCopy.c_str());
        setPluginPath(folder);
    }
    ~UnwritableInstall()
    {
        if (!ok())
            return;
        setPluginPath(nullptr);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, userCopy.c_str());  // the cached copy
        DeleteFileA(userCopy.c_str());
        RemoveDirectoryA(userFolder_.c_str());
    }
    UnwritableInstall(const UnwritableInstall&) = delete;
    UnwritableInstall& operator=(const UnwritableInstall&) = delete;
    bool ok() const { return !installed.empty(); }

    std::string installed;  // the installed preset file
    std::string userCopy;   // where this user's presets go

private:
    std::string userFolder_;
};

}  // namespace qvtest
