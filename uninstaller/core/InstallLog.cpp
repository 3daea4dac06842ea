#include "InstallLog.h"

#include "PluginContract.h"
#include "SetupText.h"

namespace qvsetup {

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last)
            end = text.size();
        size_t stop = end;
        if (!last && stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(start, stop - start));
        start = last ? text.size() : end + 1;
    }
    return lines;
}

static bool isAbsolute(const std::string& p)
{
    const bool drive = p.size() > 3 && ((p[0] | 0x20) >= 'a' && (p[0] | 0x20) <= 'z') && p[1] == ':' && p[2] == '\\';
    const bool unc = p.size() > 4 && p[0] == '\\' && p[1] == '\\';
    return drive || unc;
}

bool isVstPluginPath(const std::string& path)
{
    if (path.size() > kMaxLogLine || !isAbsolute(path))
        return false;
    // A path element ".." could lead a listed name out of the folder it appears to be in.
    if (path.find("\\..\\") != std::string::npos || path.find('/') != std::string::npos)
        return false;
    // A stray CR or other control character cannot stand in a Windows path.
    for (char c : path)
        if (static_cast<unsigned char>(c) < 32)
            return false;
    return equalsNoCase(fileNameOf(path), qv::kVstFileName);
}

std::vector<std::string> installedVstPaths(const std::string& logText,
                                           const std::function<bool(const std::string&)>& isFile)
{
    std::vector<std::string> paths;
    for (const std::string& line : splitLines(logText)) {
        if (paths.size() >= kMaxLogPaths)
            break;
        if (!isVstPluginPath(line))
            continue;
        bool seen = false;
        for (const std::string& p : paths)
            seen = seen || equalsNoCase(p, line);
        if (!seen && isFile(line))
            paths.push_back(line);
    }
    return paths;
}

std::string vstComponentName(const std::string& path)
{
    std::string name = fileNameOf(path);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

bool patternDirectory(const std::string& pattern, std::string& directory)
{
    if (pattern.find('.') == std::string::npos)
        return false;
    const size_t slash = pattern.find_last_of('\\');
    directory = slash == std::string::npos ? std::string() : pattern.substr(0, slash);
    return true;
}

}  // namespace qvsetup
