#pragma once
// Win32 helpers of the setup program and the uninstaller (never of the plug-in DLLs): scoped owners
// of the handles ScopedWin.h has none for, the message box both use, file tests and the call of a COM
// server's (un)registration export.

#include <windows.h>

#include <string>

#include "ScopedWin.h"

namespace qvsetup {

// A file handle from CreateFile, closed once.
class ScopedFile {
public:
    explicit ScopedFile(HANDLE file = INVALID_HANDLE_VALUE) : file_(file) {}
    ~ScopedFile() { reset(); }
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    HANDLE get() const { return file_; }
    bool valid() const { return file_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE file = INVALID_HANDLE_VALUE)
    {
        if (valid())
            CloseHandle(file_);
        file_ = file;
    }

private:
    HANDLE file_;
};

// A DLL from LoadLibrary, freed once.
class ScopedLibrary {
public:
    explicit ScopedLibrary(const std::string& path) : module_(LoadLibraryA(path.c_str())) {}
    ~ScopedLibrary()
    {
        if (module_)
            FreeLibrary(module_);
    }
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

enum class BoxKind {
    Warning,
    Question
};
// A message box of the given kind; returns the button pressed (IDYES, IDNO or IDOK).
int showBox(HWND owner, const char* caption, BoxKind kind, const std::string& text);

bool isFile(const std::string& path);
bool isDirectory(const std::string& path);
// An existing file that cannot be opened for writing (held by a host, or read-only).
bool isInUse(const std::string& path);
bool writeRegistryString(HKEY key, const char* value, const std::string& text);
// The Programs folder of the Start menu for all users (where an elevated setup must put its group, so
// that the user who asked for it sees it, not only the administrator who approved it), or empty.
std::string programsFolder();
// The Programs folder of the account that runs this program, where earlier versions put the group.
std::string ownProgramsFolder();

// The preset file the plug-ins keep for this account when the installed one cannot be written
// (application data, "Velquin-qv-R3"), or empty when the system names no such folder.
std::string userPresetFile();

// Whether this process holds administrator rights now: an administrator's elevated process, or any
// administrator on a system without elevation. A limited account, and an administrator's process
// that was not elevated, have not.
bool haveAdministratorRights();

// Calls a COM server's DllRegisterServer or DllUnregisterServer inside OLE: 0 success, 2 OLE could
// not start, 3 the DLL did not load, 4 no such export, 5 the export failed.
int callServerExport(const std::string& dllPath, const char* exportName);

// The program's own directory from its command line, else the current directory.
std::string ownDirectory();

}  // namespace qvsetup
