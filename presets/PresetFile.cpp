#include "PresetFile.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "DataText.h"
#include "PluginContract.h"
#include "PresetText.h"

namespace qv {

namespace {
const char kAbsent[] = "KEY_NOT_FOUND";

std::string sectionName(int n)
{
    char section[32];
    std::snprintf(section, sizeof section, "Preset%d", n);
    return section;
}

// Flushing a file from the profile cache: the call is documented to return FALSE.
void flushProfile(const std::string& path) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); }

// A profile read into a buffer that grows until the text fits; no section can be larger than the file.
std::vector<char> readGrowing(const std::function<DWORD(char*, DWORD)>& read, DWORD limit)
{
    std::vector<char> buffer(4096);
    for (;;) {
        DWORD got = read(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got + 2 < buffer.size() || buffer.size() > limit) {
            buffer.resize(got < buffer.size() ? got : buffer.size());
            buffer.push_back('\0');
            buffer.push_back('\0');
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool deniedError(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT || error == ERROR_NOT_READY ||
           error == ERROR_PRIVILEGE_NOT_HELD;
}

// Whether the whole file can be opened for reading now; the profile functions would read a file
// they cannot open as an empty one.
bool readable(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// The sections of the old file in order, each once, as the profile functions read them.
std::vector<IniSection> readSections(const std::string& path)
{
    std::vector<IniSection> sections;
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info))
        return sections;
    DWORD limit = info.nFileSizeLow + 4096;
    std::vector<char> names =
        readGrowing([&](char* b, DWORD n) { return GetPrivateProfileSectionNamesA(b, n, path.c_str()); }, limit);
    for (const char* name = names.data(); *name; name += std::strlen(name) + 1) {
        bool seen = false;
        for (const IniSection& s : sections)
            seen = seen || equalNoCase(s.name, name);
        if (seen)
            continue;
        IniSection section{name, {}};
        std::vector<char> lines =
            readGrowing([&](char* b, DWORD n) { return GetPrivateProfileSectionA(name, b, n, path.c_str()); }, limit);
        for (const char* line = lines.data(); *line; line += std::strlen(line) + 1)
            section.lines.push_back(line);
        sections.push_back(std::move(section));
    }
    return sections;
}

// False with the system's error in *error when the file could not be written whole.
bool writeWhole(const std::string& path, const std::string& text, DWORD* error)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    DWORD written = 0;
    bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    ok = FlushFileBuffers(file) && ok;
    if (!ok)
        *error = GetLastError();
    return CloseHandle(file) && ok;
}

// Reads the written copy back from disk: a full disk or a cut file shows as a missing or wrong value.
bool verifyWrite(const std::string& path, const PresetFileWrite& w)
{
    if (readPresetIdentity(path) != cutText(w.pluginKey, kPresetIdentityLength))
        return false;
    int n = 1;
    for (const PresetRecord* r : w.records) {
        std::string section = sectionName(n++);
        char version[16];
        std::snprintf(version, sizeof version, "%ld", static_cast<long>(r->version));
        if (readProfileText(path, section.c_str(), "Version", kAbsent, 15) != version)
            return false;
        if (readProfileText(path, section.c_str(), "Data", kAbsent, kDataTextMax) == kAbsent)
            return false;
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}
}  // namespace

std::string readProfileText(const std::string& path, const char* section, const char* key, const char* def,
                            std::size_t max)
{
    std::vector<char> buffer(max + 1, '\0');
    GetPrivateProfileStringA(section, key, def, buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    buffer[max] = '\0';
    return buffer.data();
}

std::string readPresetIdentity(const std::string& path)
{
    return readProfileText(path, kPresetIdentitySection, kPresetIdentityKey, "", kPresetIdentityLength);
}

void readPresetSections(const std::string& path, PresetList& into, int32_t largestUsed,
                        const std::function<bool(const PresetRecord&)>& accept)
{
    int32_t largest = std::max(largestUsed, into.largestCommandId());
    for (int n = 1; n > 0; ++n) {
        std::string section = sectionName(n);
        std::string version = readProfileText(path, section.c_str(), "Version", kAbsent, 15);
        std::string name = readProfileText(path, section.c_str(), "Name", kAbsent, kPresetTextMax);
        std::string bank = readProfileText(path, section.c_str(), "Bank", kAbsent, kPresetTextMax);
        std::string data = readProfileText(path, section.c_str(), "Data", kAbsent, kDataTextMax);
        if (version == kAbsent || name == kAbsent || bank == kAbsent || data == kAbsent)
            break;
        auto record = std::make_unique<PresetRecord>();
        record->version = leadingInteger(version.c_str());
        record->name = name;
        record->bank = bank;
        record->data = data;
        record->commandId = commandIdAfter(largest);
        if (!accept || accept(*record))
            largest = into.append(std::move(record))->commandId;
    }
}

PresetWriteResult writePresetFile(const std::string& path, const PresetFileWrite& write,
                                  const std::string& sectionsFrom)
{
    if (path.empty() || path.size() > kPresetPathMax)
        return PresetWriteResult::kFailed;
    const std::string& source = sectionsFrom.empty() ? path : sectionsFrom;
    // A copy is made from a complete read only: a source that exists but cannot be opened would give
    // a file without the sections it holds.
    if (GetFileAttributesA(source.c_str()) != INVALID_FILE_ATTRIBUTES && !readable(source))
        return PresetWriteResult::kFailed;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return PresetWriteResult::kFailed;
    // A read-only file is the user's word that it stays as it is; not every system refuses to replace
    // it. Nor is it a place to move away from: the user hears that the presets were not saved.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return PresetWriteResult::kFailed;
    char temp[MAX_PATH];
    // Some systems name a temporary file they could not create: the write below says so then.
    if (!GetTempFileNameA(folderOf(path).c_str(), "qvp", 0, temp))
        return deniedError(GetLastError()) ? PresetWriteResult::kDenied : PresetWriteResult::kFailed;
    std::string tempPath = temp;
    std::string text = composePresetFile(readSections(source), write);
    DWORD error = ERROR_SUCCESS;
    bool ok = writeWhole(tempPath, text, &error) && verifyWrite(tempPath, write);
    flushProfile(tempPath);
    if (ok && !MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        ok = false;
    }
    if (!ok)
        DeleteFileA(temp);
    flushProfile(path);
    if (ok)
        return PresetWriteResult::kWritten;
    return deniedError(error) ? PresetWriteResult::kDenied : PresetWriteResult::kFailed;
}

std::string userPresetPath(const std::string& fileName)
{
    char folder[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) || folder[0] == '\0')
        return std::string();
    const std::string path = userPresetFileIn(folder, fileName.c_str());
    return path.size() > kPresetPathMax ? std::string() : path;
}

bool fileWritesVirtualized()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD enabled = 0, size = 0;
    // Systems before Vista know no such class and say so.
    const bool virtualized =
        GetTokenInformation(token, TokenVirtualizationEnabled, &enabled, sizeof enabled, &size) && enabled != 0;
    CloseHandle(token);
    return virtualized;
}

}  // namespace qv
