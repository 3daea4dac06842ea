#pragma once
// Texts and names the installer and the uninstaller share: safe formatting, path joining, the product
// family's class ids and the names through which the two programs meet (the install log, the
// uninstall entry). What they share with the plug-ins is in PluginContract.h. Platform-free.

#include <cstdarg>
#include <string>

namespace qvsetup {

// printf-style formatting into a string of whatever length the result needs: a message naming a
// 1023-character path shows the whole path.
std::string format(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string formatV(const char* fmt, va_list args);

// "dir\name", or "dirname" when dir already ends in a backslash.
std::string joinPath(const std::string& dir, const std::string& name);

// The part after the last backslash (the whole text when there is none).
std::string fileNameOf(const std::string& path);

// Windows file names compare without regard to case; ASCII folding is enough for our own names.
bool equalsNoCase(const std::string& a, const std::string& b);

// The product family's class ids, in braces, indexed by the file table's product index; a null slot
// names no product of this package.
constexpr int kProductCount = 3;
extern const char* const kProductClsid[kProductCount];
constexpr int kEqualizerProduct = 2;

constexpr const char* kInstallLogName = "vstinst.log";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kUninstallEntry = "Velquin-qv-R3";
constexpr const char* kUninstallDisplayName = "Zorvath Velquin:qv R3 plug-in uninstaller";
constexpr const char* kStartMenuGroup = "\\Zorvath Velquin-qv R3";

// Said at start-up by a setup or an uninstaller that runs without administrator rights; it then
// changes nothing.
constexpr const char* kSetupNeedsAdministrator =
    "Setup needs administrator rights: it installs into the Program Files folder and registers the "
    "DirectShow filter for every user of this computer.\n\nNothing has been installed. Please start "
    "Setup.exe again with the right mouse button, \"Run as administrator\", or log on as an "
    "administrator.";
constexpr const char* kUninstallNeedsAdministrator =
    "The uninstaller needs administrator rights: it removes files from the Program Files folder and "
    "the DirectShow filter's registration for every user of this computer.\n\nNothing has been "
    "removed. Please start Uninstall.exe again with the right mouse button, \"Run as "
    "administrator\", or log on as an administrator.";

// The directory of a program from its command line: a leading quote skipped, cut at the closing
// quote (quoted form) or the first blank, then at its last backslash. Empty when the command line
// holds no backslash (the caller then takes the current directory). "C:" becomes "C:\".
std::string programDirectory(const std::string& commandLine);

}  // namespace qvsetup
