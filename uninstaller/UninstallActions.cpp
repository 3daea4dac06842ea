#include "UninstallActions.h"

#include "FileTable.h"
#include "InstallLog.h"
#include "PluginContract.h"
#include "SetupText.h"
#include "win/SetupWin.h"

namespace qvsetup {

int warnBox(HWND owner, const std::string& text) { return showBox(owner, kUninstallCaption, BoxKind::Warning, text); }
int askBox(HWND owner, const std::string& text) { return showBox(owner, kUninstallCaption, BoxKind::Question, text); }

static std::string classKey(int product) { return joinPath(qv::kClassesKey, kProductClsid[product]); }
static std::string serverKey(int product) { return joinPath(classKey(product), qv::kServerSubkey); }

std::string className(int product)
{
    std::string text;
    qv::readRegistryString(HKEY_LOCAL_MACHINE, classKey(product).c_str(), nullptr, text);
    return text;
}

std::string serverPath(int product)
{
    std::string text;
    qv::readRegistryString(HKEY_LOCAL_MACHINE, serverKey(product).c_str(), nullptr, text);
    return text;
}

static std::string readSmallFile(const std::string& path)
{
    qv::ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (!file)
        return text;
    // The log holds at most a few hundred lines; a huge file is no log of ours.
    const DWORD limit = 4u << 20;
    char buffer[65536];
    DWORD n = 0;
    while (text.size() < limit && ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) && n > 0)
        text.append(buffer, n);
    return text;
}

// The file a registered path names, by its long name: a short 8.3 path to our own filter is ours.
static std::string realPath(const std::string& path)
{
    const DWORD n = GetLongPathNameA(path.c_str(), nullptr, 0);
    if (n == 0)
        return path;
    std::string text(n, '\0');
    const DWORD written = GetLongPathNameA(path.c_str(), &text[0], n);
    if (written == 0 || written >= n)
        return path;
    text.resize(written);
    return text;
}

static bool isOwnFilter(const std::string& realFile)
{
    for (const FileEntry* e = kFileTable; e->name; ++e)
        if ((e->flags & kEntryRegister) && equalsNoCase(fileNameOf(realFile), e->name))
            return true;
    return false;
}

void buildComponentList(UninstallContext& c)
{
    c.list.directX.clear();
    for (int i = 0; i < kProductCount; ++i) {
        if (!kProductClsid[i])
            continue;
        qv::RegKey key;
        if (key.open(HKEY_LOCAL_MACHINE, serverKey(i).c_str(), KEY_READ) != ERROR_SUCCESS)
            continue;
        auto record = std::make_unique<DirectXRecord>();
        record->product = i;
        record->foreign = !isOwnFilter(realPath(serverPath(i)));
        qv::readRegistryString(HKEY_LOCAL_MACHINE, classKey(i).c_str(), nullptr, record->name);
        qv::readRegistryString(HKEY_LOCAL_MACHINE, classKey(i).c_str(), qv::kPluginPathValue, record->pluginPath);
        c.list.directX.push_back(std::move(record));
    }
    c.list.vstPaths.clear();
    const std::string log = joinPath(c.installDirectory, kInstallLogName);
    if (isFile(log))
        c.list.vstPaths = installedVstPaths(readSmallFile(log), [](const std::string& p) { return isFile(p); });
}

static void restoreClassKey(const DirectXRecord& record)
{
    qv::RegKey key;
    if (key.create(HKEY_LOCAL_MACHINE, classKey(record.product).c_str(), KEY_WRITE) != ERROR_SUCCESS)
        return;
    writeRegistryString(key.get(), nullptr, record.name);
    writeRegistryString(key.get(), qv::kPluginPathValue, record.pluginPath);
}

static bool deletePlugin(HWND owner, const std::string& path)
{
    if (DeleteFileA(path.c_str()))
        return true;
    warnBox(owner, format("Unable to delete plugin DLL \"%s\"!", path.c_str()));
    return false;
}

bool uninstallItems(UninstallContext& c, HWND owner, const std::vector<size_t>& ticked)
{
    bool ok = true;
    for (size_t index : ticked) {
        if (index < c.list.directX.size()) {
            const DirectXRecord& record = *c.list.directX[index];
            const std::string path = realPath(serverPath(record.product));
            // The server path is a registry value anyone with the rights could point at any DLL: only
            // our own filter file is unregistered and deleted. Another file is no failure of ours.
            if (!isOwnFilter(path)) {
                warnBox(owner, format("The plugin: \"%s\" is not a file of this installation.\nIt was left in place.",
                                      path.c_str()));
                continue;
            }
            if (isInUse(path)) {
                warnBox(owner, format("The plugin: \"%s\" is in use!\nUnable to unregister and uninstall plugin.",
                                      path.c_str()));
                ok = false;
                continue;
            }
            if (callServerExport(path, "DllUnregisterServer") != 0) {
                warnBox(owner, format("Unable to unregister plugin: \"%s\"!", path.c_str()));
                ok = false;
            } else {
                // A VST plug-in left behind still finds its presets through the class key.
                restoreClassKey(record);
            }
            if (!deletePlugin(owner, path))
                ok = false;
        } else if (index - c.list.directX.size() < c.list.vstPaths.size()) {
            const std::string& path = c.list.vstPaths[index - c.list.directX.size()];
            // A plug-in held open by a running host stays, without a message.
            if (!isInUse(path) && !deletePlugin(owner, path))
                ok = false;
        }
    }
    return ok;
}

// Deletes the files matching the pattern; true when any was deleted.
static bool deleteByPattern(HWND owner, const std::string& pattern)
{
    std::string directory;
    if (!patternDirectory(pattern, directory))
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool any = false;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == ".." || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const std::string path = joinPath(directory, name);
        if (isInUse(path))
            warnBox(owner, format("Unable to delete the file: \"%s\" because it is in use!", path.c_str()));
        else if (DeleteFileA(path.c_str()))
            any = true;
        else
            warnBox(owner, format("Unable to delete the file: \"%s\"", path.c_str()));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return any;
}

static bool anyMatch(const std::string& pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

void removeRest(UninstallContext& c, HWND owner)
{
    {
        qv::RegKey uninstall, entry;
        if (uninstall.open(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_ALL_ACCESS) == ERROR_SUCCESS &&
            entry.open(HKEY_LOCAL_MACHINE, joinPath(kUninstallKey, kUninstallEntry).c_str(), KEY_ALL_ACCESS) ==
                ERROR_SUCCESS) {
            RegDeleteValueA(entry.get(), "DisplayName");
            RegDeleteValueA(entry.get(), "UninstallString");
            entry.reset();
            RegDeleteKeyA(uninstall.get(), kUninstallEntry);
        }
    }
    for (int i = 0; i < kProductCount; ++i) {
        if (!kProductClsid[i])
            continue;
        qv::RegKey classes;
        if (classes.open(HKEY_LOCAL_MACHINE, qv::kClassesKey, KEY_ALL_ACCESS) == ERROR_SUCCESS)
            RegDeleteKeyA(classes.get(), kProductClsid[i]);  // refuses a key that still has subkeys
    }
    for (const char* pattern : {"qv*.chm", "qv*.hlp", "qv*.cnt", "qv*.gid", "readme.*", "vstinst.*"})
        deleteByPattern(owner, joinPath(c.installDirectory, pattern));
    // The group is everyone's since setup asked for administrator rights; earlier versions put it
    // into the Start menu of the account that ran them.
    for (const std::string& group : {c.startMenuGroup, c.ownStartMenuGroup}) {
        if (group.empty())
            continue;
        deleteByPattern(owner, group + "\\*.*");
        RemoveDirectoryA(group.c_str());
    }
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    const std::string presets = joinPath(c.installDirectory, "qv*.ini");
    // A user whose host could not write the installed file keeps his presets in a copy of his own.
    const bool ownCopy = !c.userPresetFile.empty() && isFile(c.userPresetFile);
    const bool installed = anyMatch(presets);
    std::string question;
    if (installed && ownCopy)
        question = format("Do you want to delete all plug-in preset files from the installation directory\n\"%s\"\n"
                          "and your own preset file\n\"%s\"?",
                          c.installDirectory.c_str(), c.userPresetFile.c_str());
    else if (installed)
        question = format("Do you want to delete all plug-in preset files from the installation directory\n\"%s\"?",
                          c.installDirectory.c_str());
    else if (ownCopy)
        question = format("Do you want to delete your own plug-in preset file\n\"%s\"?", c.userPresetFile.c_str());
    if (!question.empty() &&
        askBox(owner, question +
                          "\n\n(If you want to keep these select \"No\", then copy them to another folder\nbefore "
                          "re-installing other Velquin plug-ins. Use the \"Import\" function in the\nPreset "
                          "Manager to restore your presets.)" +
                          (ownCopy ? "\n\nOther users' own preset files are left in place." : "")) == IDYES) {
        if (installed)
            deleteByPattern(owner, presets);
        if (ownCopy && deleteByPattern(owner, c.userPresetFile))
            RemoveDirectoryA(c.userPresetFile.substr(0, c.userPresetFile.find_last_of('\\')).c_str());
    }
    warnBox(owner, "All plug-in components have been unregistered and uninstalled.");
}

}  // namespace qvsetup
