#include "SetupWin.h"

#include <ole2.h>
#include <shlobj.h>

#include "PluginContract.h"
#include "SetupText.h"

namespace qvsetup {

int showBox(HWND owner, const char* caption, BoxKind kind, const std::string& text)
{
    const UINT style = kind == BoxKind::Question ? (MB_YESNO | MB_ICONQUESTION) : (MB_OK | MB_ICONEXCLAMATION);
    return MessageBoxA(owner, text.c_str(), caption, style);
}

bool isFile(const std::string& path)
{
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isDirectory(const std::string& path)
{
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isInUse(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // Read-only counts as in use even where the process could open it anyway (an administrator).
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return true;
    qv::ScopedFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file;
}

bool writeRegistryString(HKEY key, const char* value, const std::string& text)
{
    return RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

namespace {
std::string specialFolder(int id)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, id, &list)) || !list)
        return std::string();
    char path[MAX_PATH] = "";
    const BOOL ok = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    return ok ? std::string(path) : std::string();
}
}  // namespace

std::string programsFolder()
{
    // Windows 95 and 98 without profiles know no common group: there the user's folder is everyone's.
    const std::string common = specialFolder(CSIDL_COMMON_PROGRAMS);
    return common.empty() ? specialFolder(CSIDL_PROGRAMS) : common;
}

std::string ownProgramsFolder() { return specialFolder(CSIDL_PROGRAMS); }

std::string userPresetFile()
{
    const std::string data = specialFolder(CSIDL_APPDATA);
    return data.empty() ? data : qv::userPresetFileIn(data);
}

bool haveAdministratorRights()
{
    using CheckMembership = BOOL(WINAPI*)(HANDLE, PSID, PBOOL);
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const auto check = reinterpret_cast<CheckMembership>(
        reinterpret_cast<void*>(advapi ? GetProcAddress(advapi, "CheckTokenMembership") : nullptr));
    if (!check)
        return true;  // Windows 9x: no accounts, no rights to lack
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return true;
    // In a process that was not elevated the group is there for denying only, and does not count.
    BOOL member = FALSE;
    const BOOL answered = check(nullptr, administrators, &member);
    FreeSid(administrators);
    return !answered || member;
}

int callServerExport(const std::string& dllPath, const char* exportName)
{
    if (FAILED(OleInitialize(nullptr)))
        return 2;
    int result = 0;
    {
        qv::ScopedLibrary dll(LoadLibraryA(dllPath.c_str()));
        if (!dll.get()) {
            result = 3;
        } else {
            using Entry = HRESULT(STDAPICALLTYPE*)();
            auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll.get(), exportName)));
            if (!entry)
                result = 4;
            else if (FAILED(entry()))
                result = 5;
        }
    }
    OleUninitialize();
    return result;
}

std::string ownDirectory()
{
    std::string dir = programDirectory(GetCommandLineA());
    if (dir.empty()) {
        char current[MAX_PATH] = "";
        const DWORD n = GetCurrentDirectoryA(sizeof current, current);
        if (n > 0 && n < sizeof current)
            dir = current;
    }
    return dir;
}

}  // namespace qvsetup
