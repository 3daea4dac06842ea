#include "PresetTestEnv.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "../support/MachineRegistry.h"
#include "WholeFile.h"

namespace qvtest {

std::string gOwnerData = "0,1,1,40,10,0,1,0,60,8,0,1,0,200,8,0,1,0,800,6,0,1,2,4600,6,0,1,2,15000,5,0";

namespace {
LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == qv::kPresetDataRequest) {
        if (gOwnerData.empty())
            return 0;
        char* buffer = static_cast<char*>(std::malloc(qv::kPresetDataBufferSize));
        std::snprintf(buffer, qv::kPresetDataBufferSize, "%s", gOwnerData.c_str());
        *reinterpret_cast<char**>(wParam) = buffer;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createOwner()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ownerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "qvPresetTestOwner";
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowA("qvPresetTestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 506, 411, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

std::string ownKey() { return qv::kPluginKey; }

void PresetEnv::setPluginPath(const char* folder)
{
    EXPECT_TRUE(setMachineValue(ownKey(), "PluginPath", folder) || !folder);
}
void PresetEnv::setDllPath(const char* path)
{
    EXPECT_TRUE(setMachineValue(ownKey() + "\\InProcserver32", nullptr, path) || !path);
}

std::string PresetEnv::userCopy() { return qv::userPresetPath(qv::kPresetFileName); }

void PresetEnv::removeUserCopy()
{
    const std::string copy = userCopy();
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy.c_str());
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(copy.c_str());
    RemoveDirectoryA(copy.substr(0, copy.find_last_of('\\')).c_str());
}

void PresetEnv::SetUp()
{
    removeUserCopy();
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%sqvpresets-%lu-%d\\", temp, GetCurrentProcessId(), ++counter);
    dir = name;
    CreateDirectoryA(dir.c_str(), nullptr);
    setPluginPath(dir.c_str());
    setDllPath(nullptr);
    owner = createOwner();
    gOwnerData = "0,1,1,40,10,0,1,0,60,8,0,1,0,200,8,0,1,0,800,6,0,1,2,4600,6,0,1,2,15000,5,0";
}

void PresetEnv::TearDown()
{
    removeUserCopy();
    DestroyWindow(owner);
    setPluginPath(nullptr);
    setDllPath(nullptr);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (ownKey() + "\\InProcserver32").c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ownKey().c_str());
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string file = dir + found.cFileName;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

std::unique_ptr<qv::PresetStore> PresetEnv::openStore()
{
    auto store = std::make_unique<qv::PresetStore>(GetModuleHandleA(nullptr), owner, qv::kPluginName);
    store->load(qv::kPluginKey, qv::kPresetFileName);
    return store;
}

std::string readFile(const std::string& path)
{
    const std::vector<char> bytes = qv::wholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeFile(const std::string& path, const std::string& bytes)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // drop any cached copy
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string profile(const std::string& path, const char* section, const char* key)
{
    char value[8192];
    GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, path.c_str());
    return value;
}

std::string listFolder(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    std::sort(names.begin(), names.end());
    std::string list;
    for (const auto& n : names)
        list += n + ";";
    return list;
}

}  // namespace qvtest
