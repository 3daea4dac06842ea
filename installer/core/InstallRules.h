#pragma once
// The installer's decisions that need no Windows: the size text of the component labels, the checks
// of a typed install directory, the overwrite rules of the copy, the VST directory limit and the
// error report. Platform-free.

#include <cstdint>
#include <string>
#include <vector>

namespace qvsetup {

// "999 bytes", "0.97KB", "1.00MB", "1.00GB" (binary units, two truncated decimals).
std::string formatSize(uint32_t bytes);

enum class DirCheck {
    Ok,
    Empty,
    NotRooted,
    Illegal
};
// A typed install directory: empty, not starting with a drive ("C:") or a UNC prefix, or holding a
// character Windows refuses in a path (or an empty path element) after the first two characters.
DirCheck checkInstallDir(const std::string& dir);
// Whether the text is a bare drive root ("C:\"), accepted without a creation attempt.
bool isThreeCharacterRoot(const std::string& dir);
// The ancestors to create one after another, shortest first, ending with the whole path: each prefix
// ending before a backslash past the drive letter (or past the leading two backslashes).
std::vector<std::string> creationSteps(const std::string& dir);

// A preset file: a name longer than five characters ending in ".ini", in any case.
bool isPresetFile(const std::string& path);

// What the copy knows of one file; a fact it could not read is absent.
struct FileFacts {
    bool hasVersion = false;
    uint64_t version = 0;  // most significant word first
    bool hasTime = false;
    uint64_t time = 0;  // last write, in any monotonic unit
    bool hasSize = false;
    uint64_t size = 0;
};

// The question asked before overwriting an existing destination; None overwrites without asking.
enum class Question {
    None,
    NewerVersion,
    NewerDate,
    Preset,
    Replace,
    DestinationLarger,
    SourceLarger
};
struct OverwriteDecision {
    Question question = Question::None;
    bool noKeepsDestination = false;  // No keeps the existing file and counts as a success
};
OverwriteDecision decideOverwrite(const FileFacts& destination, const FileFacts& source, bool presetFile);
// The question's text for destination D and source S.
std::string questionText(Question question, const std::string& destination, const std::string& source);

// Host plug-in directories the VST plug-in goes to; one slot of the fixed table stays the end mark.
constexpr size_t kMaxVstDirectories = 49;
constexpr size_t kVstDirectoryBytes = 260;
// A host directory too long for its slot would be cut into another path.
bool fitsVstSlot(const std::string& dir);

// The failure lines for the last page; a line that no longer fits is dropped whole.
class ErrorReport {
public:
    static constexpr size_t kCapacity = 4095;
    void add(const std::string& line);
    const std::string& text() const { return text_; }
    bool empty() const { return text_.empty(); }

private:
    std::string text_;
};

}  // namespace qvsetup
