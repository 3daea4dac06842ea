#include "InstallRules.h"

#include "SetupText.h"

namespace qvsetup {

std::string formatSize(uint32_t n)
{
    if (n < 1000)
        return format("%u bytes", n);
    if (n <= 1023999)
        return format("%u.%02uKB", n / 1024, ((n % 1024) * 100) / 1024);
    const uint32_t k = n / 1024;
    if (k > 1023999)
        return format("%u.%02uGB", k / 1048576, (((k / 1024) % 1024) * 100) / 1024);
    return format("%u.%02uMB", k / 1024, ((k % 1024) * 100) / 1024);
}

static bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Only a real drive root: any other three characters would name a folder relative to wherever the
// setup program was started.
bool isThreeCharacterRoot(const std::string& dir)
{
    return dir.size() == 3 && isLetter(dir[0]) && dir[1] == ':' && dir[2] == '\\';
}

DirCheck checkInstallDir(const std::string& dir)
{
    if (dir.empty())
        return DirCheck::Empty;
    if (isThreeCharacterRoot(dir))
        return DirCheck::Ok;
    const bool drive = dir.size() > 3 && isLetter(dir[0]) && dir[1] == ':';
    const bool unc = dir.size() > 4 && dir[0] == '\\' && dir[1] == '\\';
    if (!drive && !unc)
        return DirCheck::NotRooted;
    for (size_t i = 2; i < dir.size(); ++i) {
        const char c = dir[i];
        if (std::string("*?<>:\"/|").find(c) != std::string::npos)
            return DirCheck::Illegal;
        if (c == '\\' && i + 1 < dir.size() && dir[i + 1] == '\\')
            return DirCheck::Illegal;
        // Control characters cannot stand in a Windows file name either.
        if (static_cast<unsigned char>(c) < 32)
            return DirCheck::Illegal;
    }
    return DirCheck::Ok;
}

std::vector<std::string> creationSteps(const std::string& dir)
{
    std::vector<std::string> steps;
    // Past "C:\" the first element is a folder; past "\\" the first element is the server.
    const size_t start = (dir.size() > 1 && dir[0] == '\\' && dir[1] == '\\') ? 2 : 3;
    for (size_t i = start; i < dir.size(); ++i)
        if (dir[i] == '\\')
            steps.push_back(dir.substr(0, i));
    if (steps.empty() || steps.back() != dir)
        steps.push_back(dir);
    return steps;
}

bool isPresetFile(const std::string& path)
{
    return path.size() > 5 && equalsNoCase(path.substr(path.size() - 4), ".ini");
}

static int compare(uint64_t a, uint64_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

OverwriteDecision decideOverwrite(const FileFacts& d, const FileFacts& s, bool presetFile)
{
    if (d.hasVersion && s.hasVersion) {
        const int c = compare(d.version, s.version);
        if (c > 0)
            return {Question::NewerVersion, false};
        if (c < 0)
            return {Question::None, false};
    }
    if (d.hasTime && s.hasTime) {
        const int c = compare(d.time, s.time);
        if (c > 0)
            return {presetFile ? Question::Preset : Question::NewerDate, true};
        if (c < 0)
            return {presetFile ? Question::Preset : Question::None, true};
    }
    if (!d.hasSize || !s.hasSize)
        return {Question::Replace, false};
    const int c = compare(d.size, s.size);
    if (c > 0)
        return {Question::DestinationLarger, false};
    if (c < 0)
        return {Question::SourceLarger, false};
    return {Question::None, false};
}

std::string questionText(Question q, const std::string& d, const std::string& s)
{
    switch (q) {
    case Question::NewerVersion:
        return format("The destination file: \"%s\"\nhas a newer version than the source file: \"%s\".\nDo you "
                      "want to overwrite it anyway?",
                      d.c_str(), s.c_str());
    case Question::NewerDate:
        return format("The destination file: \"%s\"\nhas a newer date than the source file: \"%s\".\nDo you want "
                      "to overwrite it anyway?",
                      d.c_str(), s.c_str());
    case Question::Preset:
        return format("Your current preset file \"%s\" has been changed.\nAll the changes you have made to the preset "
                      "file will be lost if you replace it.\n\nDo you want to replace it with the installation preset "
                      "file anyway?",
                      d.c_str());
    case Question::Replace:
        return format("Destination file: \"%s\" already exists, do you want to replace it?", d.c_str());
    case Question::DestinationLarger:
        return format("The destination file: \"%s\"\nis larger than the source file: \"%s\".\nDo you want to "
                      "overwrite it anyway?",
                      d.c_str(), s.c_str());
    case Question::SourceLarger:
        return format("The source file: \"%s\"\nis larger than the destination file: \"%s\".\nDo you want to "
                      "overwrite it?",
                      s.c_str(), d.c_str());
    case Question::None:
        break;
    }
    return std::string();
}

bool fitsVstSlot(const std::string& dir) { return !dir.empty() && dir.size() < kVstDirectoryBytes; }

void ErrorReport::add(const std::string& line)
{
    if (text_.size() + line.size() + 1 <= kCapacity)
        text_ += line + "\n";
}

}  // namespace qvsetup
