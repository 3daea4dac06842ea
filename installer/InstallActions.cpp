#include "InstallActions.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "FileTable.h"
#include "PluginContract.h"
#include "SetupText.h"

namespace qvsetup {

InstallState gState;

void setDefaults(InstallState& state)
{
    state.mask = kComponentAll;
    state.filesInstalled = 0;
    state.vstCopiesFailed = 0;
    state.log.reset();
    state.report = ErrorReport();
    state.sourceDirectory = ownDirectory();
    std::string programFiles;
    if (qv::readRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                               programFiles) &&
        programFiles.size() < 256)
        state.installDirectory = programFiles + "\\Velquin-qv-R3";
    else
        state.installDirectory.clear();
    state.filesToInstall = countFiles(state.mask);
}

uint32_t sourceFileSize(const InstallState& state, const char* name)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    const std::string path = joinPath(state.sourceDirectory, name);
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return data.nFileSizeHigh ? 0xFFFFFFFFu : data.nFileSizeLow;
}

static FileFacts factsOf(const std::string& path)
{
    FileFacts facts;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size > 0) {
        std::vector<char> block(size);
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (GetFileVersionInfoA(path.c_str(), 0, size, block.data()) &&
            VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) && info &&
            length >= sizeof(VS_FIXEDFILEINFO)) {
            facts.hasVersion = true;
            facts.version = (static_cast<uint64_t>(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
        }
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        facts.hasTime = facts.hasSize = true;
        facts.time =
            (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
        facts.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return facts;
}

static bool overwrite(const std::string& source, const std::string& destination)
{
    return CopyFileA(source.c_str(), destination.c_str(), FALSE) != 0;
}

bool copyWithRules(InstallState& state, InstallUi& ui, const std::string& s, const std::string& d)
{
    if (isInUse(d)) {
        ui.warn(format("The destination file: \"%s\" is in use!", d.c_str()));
        state.report.add(format("The destination file: \"%s\" was in use!", d.c_str()));
        return false;
    }
    if (!isFile(s)) {
        ui.warn(format("Source file: \"%s\" is missing!", s.c_str()));
        state.report.add(format("Source file: \"%s\" was missing!", s.c_str()));
        return false;
    }
    bool ok = CopyFileA(s.c_str(), d.c_str(), TRUE) != 0;
    if (!ok) {
        const OverwriteDecision decision = decideOverwrite(factsOf(d), factsOf(s), isPresetFile(s));
        if (decision.question == Question::None)
            ok = overwrite(s, d);
        else if (ui.ask(questionText(decision.question, d, s)) == IDYES)
            ok = overwrite(s, d);
        else
            ok = decision.noKeepsDestination;
    }
    // A read-only flag copied from a CD must not stay on the installed file.
    SetFileAttributesA(d.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ok;
}

static void openLog(InstallState& state)
{
    const std::string path = joinPath(state.installDirectory, kInstallLogName);
    state.log.reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (state.log)
        SetFilePointer(state.log.get(), 0, nullptr, FILE_END);
}

static void appendLog(InstallState& state, const std::string& path)
{
    if (!state.log)
        return;
    const std::string line = path + "\r\n";
    DWORD written = 0;
    WriteFile(state.log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

static bool createDirectory(const std::string& dir)
{
    return isDirectory(dir) || CreateDirectoryA(dir.c_str(), nullptr);
}

static void countInstalled(InstallState& state, InstallUi& ui)
{
    ui.stepProgress();
    ++state.filesInstalled;
}

// The VST plug-in into every host directory. It counts once, whatever its copies gave, so that one
// host holding the file does not cost the installation its registration and its uninstaller; step 5
// still names every copy that failed.
static void installVstPlugin(InstallState& state, InstallUi& ui, const FileEntry& e)
{
    const std::string source = joinPath(state.sourceDirectory, e.name);
    for (const std::string& dir : state.vstDirectories) {
        const std::string destination = joinPath(dir, e.name);
        ui.showPaths(source, destination);
        const size_t reported = state.report.text().size();
        if (copyWithRules(state, ui, source, destination)) {
            appendLog(state, destination);
            continue;
        }
        ++state.vstCopiesFailed;
        // A declined question leaves no line of its own.
        if (state.report.text().size() == reported)
            state.report.add(format("The VST plug-in was not copied to: \"%s\"", destination.c_str()));
    }
    countInstalled(state, ui);
}

// A file of the install directory, or of a subdirectory of it made when missing.
static void installFile(InstallState& state, InstallUi& ui, const FileEntry& e)
{
    std::string from = joinPath(state.sourceDirectory, e.name), to = joinPath(state.installDirectory, e.name);
    if (e.subdirectory) {
        const std::string sub = joinPath(state.installDirectory, e.subdirectory);
        if (!createDirectory(sub))
            return;
        from = joinPath(joinPath(state.sourceDirectory, e.subdirectory), e.name);
        to = joinPath(sub, e.name);
    }
    ui.showPaths(from, to);
    if (copyWithRules(state, ui, from, to))
        countInstalled(state, ui);
}

bool installRun(InstallState& state, InstallUi& ui)
{
    if (state.mask & kComponentVst)
        openLog(state);
    const std::string programs = programsFolder();
    if (!programs.empty())
        DeleteFileA((programs + "\\Zorvath Velquin-qv\\Velquin-qv R2 Readme.lnk").c_str());

    // An abort answered during a question stops the run before its next file.
    forEachFile(state.mask, [&](const FileEntry& e, uint32_t component) {
        if (state.abortRequested)
            return;
        if (component == kComponentVst)
            installVstPlugin(state, ui, e);
        else if (e.flags & kEntryDirectory)
            createDirectory(joinPath(state.installDirectory, e.subdirectory ? e.subdirectory : ""));
        else
            installFile(state, ui, e);
    });
    if (state.abortRequested) {
        ui.warn("Unable to copy files!");
        state.report.add(format("CRITICAL: Unable to copy files from source: \"%s\"", state.sourceDirectory.c_str()));
        return false;
    }
    return state.filesInstalled == state.filesToInstall;
}

int filesFullyInstalled(const InstallState& state)
{
    return state.filesInstalled - (state.vstCopiesFailed > 0 ? 1 : 0);
}

static void writePluginPath(const InstallState& state, int product)
{
    const char* clsid = product >= 0 && product < kProductCount ? kProductClsid[product] : nullptr;
    if (!clsid)
        return;
    qv::RegKey key;
    if (key.create(HKEY_LOCAL_MACHINE, joinPath(qv::kClassesKey, clsid).c_str(), KEY_WRITE) == ERROR_SUCCESS)
        writeRegistryString(key.get(), qv::kPluginPathValue, state.installDirectory);
}

static bool writeUninstallEntry(const InstallState& state)
{
    qv::RegKey key;
    if (key.create(HKEY_LOCAL_MACHINE, joinPath(kUninstallKey, kUninstallEntry).c_str(), KEY_WRITE) != ERROR_SUCCESS)
        return false;
    std::string command = joinPath(state.installDirectory, "uninstall.exe");
    // Unquoted, a path with blanks would let Windows try "C:\Program.exe" first.
    if (command.find(' ') != std::string::npos)
        command = "\"" + command + "\"";
    return writeRegistryString(key.get(), "DisplayName", kUninstallDisplayName) &&
           writeRegistryString(key.get(), "UninstallString", command);
}

static void createLink(const std::string& target, const char* description, const std::string& linkPath)
{
    qv::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.put()))) ||
        !link)
        return;
    link->SetPath(target.c_str());
    link->SetDescription(description);
    qv::ComPtr<IPersistFile> file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) && file) {
        WCHAR wide[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0)
            file->Save(wide, TRUE);
    }
}

static void createShortcuts(const InstallState& state)
{
    const std::string programs = programsFolder();
    if (programs.empty())
        return;
    const std::string group = programs + kStartMenuGroup;
    CreateDirectoryA(group.c_str(), nullptr);
    for (const FileEntry* e = kFileTable; e->name; ++e)
        if (e->shortcut)
            createLink(joinPath(state.installDirectory, e->name), e->shortcut, joinPath(group, e->shortcut) + ".lnk");
    qv::ScopedFile url(CreateFileA((group + "\\Velquin-qv Homepage.url").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (url) {
        const std::string text = format("[InternetShortcut]\nURL=%s\nModified=3090F1390EFFBE01B6", qv::kHomePage);
        DWORD written = 0;
        WriteFile(url.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

void finishInstall(InstallState& state, InstallUi& ui)
{
    for (const FileEntry* e = kFileTable; e->name; ++e) {
        if ((state.mask & kComponentDirectX) && (e->flags & kEntryRegister)) {
            const std::string path = joinPath(state.installDirectory, e->name);
            if (callServerExport(path, "DllRegisterServer") != 0) {
                ui.warn(format("Unable to register directshow plugin: \"%s\"", path.c_str()));
                state.report.add(format("Unable to register directshow plugin: \"%s\"", e->name));
            }
        }
        if (e->flags & (kComponentDirectX | kComponentVst))
            writePluginPath(state, e->product);
    }
    if (!writeUninstallEntry(state))
        state.report.add(format("%s: Failed to register the Velquin:qv plug-in Uninstaller.", "Warning"));
    if (state.comInitialised) {
        createShortcuts(state);
    } else {
        ui.warn("Failed to initialize OLE, unable to create shortcuts on the Start menu");
        state.report.add(
            format("%s: Failed to initialize OLE, unable to create shortcuts on the Start menu", "Warning"));
    }
}

}  // namespace qvsetup
