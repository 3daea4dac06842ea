#include "SetupWin.h"

#include <ole2.h>
#include <shlobj.h>

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
    ScopedFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file.valid();
}

bool writeRegistryString(HKEY key, const char* value, const std::string& text)
{
    return RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

std::string programsFolder()
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list)) || !list)
        return std::string();
    char path[MAX_PATH] = "";
    const BOOL ok = SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    return ok ? std::string(path) : std::string();
}

int callServerExport(const std::string& dllPath, const char* exportName)
{
    if (FAILED(OleInitialize(nullptr)))
        return 2;
    int result = 0;
    {
        ScopedLibrary dll(dllPath);
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
