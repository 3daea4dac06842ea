#pragma once
// A folder of its own, the registry values that point the store at it, and an owner window that
// answers the preset data request as the editor does.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PresetStore.h"

namespace qvtest {

extern std::string gOwnerData;  // what the owner window answers; empty: it gives no buffer

class PresetEnv : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string presetPath() const { return dir + qv::kPresetFileName; }
    // This user's own copy, where the store saves when the installed file may not be written; no
    // test leaves one behind.
    static std::string userCopy();
    static void removeUserCopy();
    std::unique_ptr<qv::PresetStore> openStore();
    static void setPluginPath(const char* folder);  // null removes it
    static void setDllPath(const char* path);       // null removes it

    std::string dir;  // ends with a backslash
    HWND owner = nullptr;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
std::string profile(const std::string& path, const char* section, const char* key);  // "<absent>" when absent
// The files in a folder, sorted, joined with ";".
std::string listFolder(const std::string& dir);
std::string ownKey();

}  // namespace qvtest
