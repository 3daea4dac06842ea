#pragma once
// Text rules of the preset store: case-insensitive comparison as the file's texts are compared,
// the sort order of bank and preset names, the cut to the 127-character fields, default export
// names and the leading integer of a "Version" value. Free of any platform header.

#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

constexpr std::size_t kPresetTextMax = 127;  // names and banks live in 128-byte fields
constexpr std::size_t kPresetPathMax = 259;  // file paths live in 260-byte buffers

// ASCII case-insensitive comparison (the C locale's rule): <0, 0 or >0.
int compareNoCase(const char* a, const char* b);
inline bool equalNoCase(const std::string& a, const std::string& b) { return compareNoCase(a.c_str(), b.c_str()) == 0; }

// Sort order of banks and names: an empty text sorts after any non-empty one, two empty texts are
// equal, otherwise case-insensitive.
int compareSortText(const std::string& a, const std::string& b);

// Cut to what a 128-byte field holds; a text that comes from outside may be longer.
std::string cutText(const std::string& text, std::size_t max = kPresetTextMax);

// Default export file name: the text plus ".ini", with every character a file system dislikes
// replaced by "_".
std::string sanitizeFileName(const std::string& text);

// `pattern` with its "%s" fields filled by `a` and then `b`, however long they are.
std::string formatText(const char* pattern, const std::string& a, const std::string& b = std::string());

// The question before a preset takes the current settings.
std::string updatePresetQuestion(const std::string& presetName);

// The leading decimal integer of a text, 0 when there is none; saturates at the int32 limits.
int32_t leadingInteger(const char* text);

}  // namespace qv
