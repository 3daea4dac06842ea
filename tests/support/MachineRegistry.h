#pragma once
// The registry values the tests set as the setup program would: a string under HKEY_LOCAL_MACHINE,
// and the "PluginPath" through which both plug-ins find their presets and manual.
#include <windows.h>

#include <cstring>
#include <string>

#include "PluginContract.h"

namespace qvtest {

// Sets a string value (a null name is the key's default value); a null value removes it. Says
// whether the key could be opened or made.
inline bool setMachineValue(const std::string& key, const char* name, const char* value)
{
    HKEY handle;
    if (value == nullptr) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_WRITE, &handle) != ERROR_SUCCESS)
            return false;
        RegDeleteValueA(handle, name);
        RegCloseKey(handle);
        return true;
    }
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(handle);
    return true;
}

inline void setPluginPath(const char* folder) { setMachineValue(qv::kEqualizerClassKey, qv::kPluginPathValue, folder); }

}  // namespace qvtest
