#include "PresetFile.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "DataText.h"
#include "PresetText.h"

namespace qv {

namespace {
const char kAbsent[] = "KEY_NOT_FOUND";

std::string sectionName(int n) {
    char section[32];
    std::snprintf(section, sizeof section, "Preset%d", n);
    return section;
}

bool writeText(const std::string& path, const char* section, const char* key, const std::string& value) {
    return WritePrivateProfileStringA(section, key, value.c_str(), path.c_str()) != FALSE;
}

bool writeRecord(const std::string& path, int n, const PresetRecord& r) {
    std::string section = sectionName(n);
    char version[16];
    std::snprintf(version, sizeof version, "%ld", static_cast<long>(r.version));
    return writeText(path, section.c_str(), "Version", version) && writeText(path, section.c_str(), "Name", r.name) &&
           writeText(path, section.c_str(), "Bank", r.bank) && writeText(path, section.c_str(), "Data", r.data);
}

// Flushing a file from the profile cache: the call is documented to return FALSE.
void flushProfile(const std::string& path) { WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); }

bool applyWrite(const std::string& path, const PresetFileWrite& w) {
    if (w.fullSave) {
        for (int n = 1;; ++n) {
            std::string section = sectionName(n);
            if (readProfileText(path, section.c_str(), "Version", kAbsent, 99) == kAbsent) break;
            if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str())) return false;
        }
    }
    if (!writeText(path, "Plug-in", "PluginName", w.pluginName) || !writeText(path, "Plug-in", "CLSID", w.pluginKey))
        return false;
    if (w.fullSave && !writeText(path, "Plug-in", "DefaultPreset", "1")) return false;
    int n = 1;
    for (const PresetRecord* r : w.records) {
        if (!writeRecord(path, n++, *r)) return false;
    }
    flushProfile(path);
    return true;
}

// Reads the written copy back from disk: a full disk or a cut file shows as a missing or wrong value.
bool verifyWrite(const std::string& path, const PresetFileWrite& w) {
    if (readProfileText(path, "Plug-in", "CLSID", "", 99) != cutText(w.pluginKey, 99)) return false;
    int n = 1;
    for (const PresetRecord* r : w.records) {
        std::string section = sectionName(n++);
        char version[16];
        std::snprintf(version, sizeof version, "%ld", static_cast<long>(r->version));
        if (readProfileText(path, section.c_str(), "Version", kAbsent, 15) != version) return false;
        if (readProfileText(path, section.c_str(), "Data", kAbsent, kDataTextMax) == kAbsent) return false;
    }
    return true;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}
}  // namespace

std::string readProfileText(const std::string& path, const char* section, const char* key, const char* def,
                            std::size_t max) {
    std::vector<char> buffer(max + 1, '\0');
    GetPrivateProfileStringA(section, key, def, buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    buffer[max] = '\0';
    return buffer.data();
}

void readPresetSections(const std::string& path, PresetList& into,
                        const std::function<bool(const PresetRecord&)>& accept) {
    for (int n = 1; n > 0; ++n) {
        std::string section = sectionName(n);
        std::string version = readProfileText(path, section.c_str(), "Version", kAbsent, 15);
        std::string name = readProfileText(path, section.c_str(), "Name", kAbsent, kPresetTextMax);
        std::string bank = readProfileText(path, section.c_str(), "Bank", kAbsent, kPresetTextMax);
        std::string data = readProfileText(path, section.c_str(), "Data", kAbsent, kDataTextMax);
        if (version == kAbsent || name == kAbsent || bank == kAbsent || data == kAbsent) break;
        auto record = std::make_unique<PresetRecord>();
        record->version = leadingInteger(version.c_str());
        record->name = name;
        record->bank = bank;
        record->data = data;
        record->commandId = into.nextCommandId();
        if (!accept || accept(*record)) into.append(std::move(record));
    }
}

bool writePresetFile(const std::string& path, const PresetFileWrite& write) {
    if (path.empty() || path.size() > kPresetPathMax) return false;
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folderOf(path).c_str(), "qvp", 0, temp)) return false;
    std::string tempPath = temp;
    bool ok = true;
    DWORD attributes = GetFileAttributesA(path.c_str());
    // A read-only file is the user's word that it stays as it is; not every system refuses to replace it.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        ok = false;
    if (ok && attributes != INVALID_FILE_ATTRIBUTES) {
        ok = CopyFileA(path.c_str(), temp, FALSE) != FALSE;
        // A copy of a read-only file is read-only too; the copy is ours to write.
        if (ok) SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    }
    ok = ok && applyWrite(tempPath, write) && verifyWrite(tempPath, write);
    flushProfile(tempPath);
    ok = ok && MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!ok) DeleteFileA(temp);
    flushProfile(path);
    return ok;
}

}  // namespace qv
