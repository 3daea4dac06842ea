#pragma once
// Reading the install log and naming what it lists. The log is a plain text file anyone can edit, so
// only lines naming the VST plug-in's own file are taken: the uninstaller deletes what it lists.
// Platform-free.

#include <functional>
#include <string>
#include <vector>

namespace qvsetup {

constexpr size_t kMaxLogPaths = 500;
// Longest path the ANSI file functions take; a longer line cannot name a file we installed.
constexpr size_t kMaxLogLine = 259;

// The log's lines, each without its line end (CR LF or LF; a last line may have none).
std::vector<std::string> splitLines(const std::string& text);
// The distinct (case-insensitively) plug-in paths of the log that exist, in log order, at most 500.
std::vector<std::string> installedVstPaths(const std::string& logText,
                                           const std::function<bool(const std::string&)>& isFile);
// Whether a log line names the VST plug-in file: an absolute path whose file name is the plug-in's.
bool isVstPluginPath(const std::string& path);
// The list's "Component" text of a VST item: the file name without its extension.
std::string vstComponentName(const std::string& path);

// Delete-by-pattern: the directory part of a pattern (up to its last backslash), or nothing when the
// pattern holds no "." and so names no file.
bool patternDirectory(const std::string& pattern, std::string& directory);

}  // namespace qvsetup
