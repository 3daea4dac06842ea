#include "PresetRules.h"

#include <cstring>

#include "PresetText.h"

namespace qv {

namespace {
bool containsNoCase(const std::string& text, const char* part)
{
    std::size_t n = std::strlen(part);
    for (std::size_t i = 0; i + n <= text.size(); ++i) {
        if (compareNoCase(text.substr(i, n).c_str(), part) == 0)
            return true;
    }
    return false;
}

std::string fitted(std::string path) { return path.size() <= kPresetPathMax ? path : std::string(); }
}  // namespace

std::string resolvePresetPath(const char* pluginPath, const char* dllPath, const std::string& fileName)
{
    if (fileName.empty())
        return std::string();
    if (pluginPath != nullptr && *pluginPath != '\0') {
        std::string folder(pluginPath);
        if (folder.back() != '\\')
            folder += '\\';
        return fitted(folder + fileName);
    }
    if (dllPath != nullptr) {
        std::string dll(dllPath);
        std::size_t slash = dll.rfind('\\');
        if (containsNoCase(dll, ".dll") && slash != std::string::npos) {
            return fitted(dll.substr(0, slash + 1) + fileName);
        }
    }
    return std::string();
}

FileIdentity classifyIdentity(const std::string& fileClsid, const std::string& pluginKey,
                              const std::string& alternativeKey)
{
    if (fileClsid.empty())
        return FileIdentity::kNone;
    if (!pluginKey.empty() && equalNoCase(fileClsid, pluginKey))
        return FileIdentity::kOurs;
    if (!alternativeKey.empty() && equalNoCase(fileClsid, alternativeKey))
        return FileIdentity::kOurs;
    return FileIdentity::kForeign;
}

SaveCheck checkSave(const std::string& path, const std::string& fileClsid, const std::string& pluginKey)
{
    if (path.empty() || pluginKey.empty())
        return SaveCheck::kNoPath;
    if (classifyIdentity(fileClsid, pluginKey) == FileIdentity::kForeign)
        return SaveCheck::kForeignFile;
    return SaveCheck::kWrite;
}

}  // namespace qv
