#pragma once
// Win32 helpers of the setup program and the uninstaller (never of the plug-in DLLs): the message box
// both use, file tests and the call of a COM server's (un)registration export. Handle owners come from
// ScopedWin.h, as the plug-ins' do.

#include <windows.h>

#include <string>

#include "ScopedWin.h"

namespace qvsetup {

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
