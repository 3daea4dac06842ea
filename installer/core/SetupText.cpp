#include "SetupText.h"

#include <cstdio>
#include <vector>

#include "ClassIds.h"

namespace qvsetup {

// Slots 0 and 1 belong to other products of the family, which this package does not carry.
const char* const kProductClsid[kProductCount] = {nullptr, nullptr, qv::kEqualizerClsidText};

std::string formatV(const char* fmt, va_list args)
{
    va_list again;
    va_copy(again, args);
    char small[512];
    const int n = std::vsnprintf(small, sizeof small, fmt, args);
    std::string out;
    if (n < 0) {
        va_end(again);
        return out;
    }
    if (static_cast<size_t>(n) < sizeof small) {
        out.assign(small, static_cast<size_t>(n));
    } else {
        std::vector<char> big(static_cast<size_t>(n) + 1);
        std::vsnprintf(big.data(), big.size(), fmt, again);
        out.assign(big.data(), static_cast<size_t>(n));
    }
    va_end(again);
    return out;
}

std::string format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string out = formatV(fmt, args);
    va_end(args);
    return out;
}

std::string joinPath(const std::string& dir, const std::string& name)
{
    if (!dir.empty() && dir.back() == '\\')
        return dir + name;
    return dir + "\\" + name;
}

std::string fileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

static char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    return true;
}

std::string programDirectory(const std::string& commandLine)
{
    std::string path;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t close = commandLine.find('"', 1);
        path = commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        path = commandLine.substr(0, commandLine.find(' '));
    }
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return std::string();
    if (slash == 0)
        return "\\";
    path.resize(slash);
    if (!path.empty() && path.back() == ':')
        path += '\\';
    return path;
}

}  // namespace qvsetup
