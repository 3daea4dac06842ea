#include "PresetText.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace qv {

namespace {
int lowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }
}  // namespace

int compareNoCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        int ca = lowerAscii(static_cast<unsigned char>(*a));
        int cb = lowerAscii(static_cast<unsigned char>(*b));
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            return 0;
    }
}

int compareSortText(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return (a.empty() ? 1 : 0) - (b.empty() ? 1 : 0);
    return compareNoCase(a.c_str(), b.c_str());
}

std::string cutText(const std::string& text, std::size_t max)
{
    // A text read from outside may hold a NUL; the fields are C strings.
    std::size_t n = std::strlen(text.c_str());
    return text.substr(0, n < max ? n : max);
}

std::string sanitizeFileName(const std::string& text)
{
    std::string name = text + ".ini";
    for (char& c : name) {
        if (std::strchr(" *?<>:\\\"/|\t\r\n", c) != nullptr && c != '\0')
            c = '_';
    }
    return name;
}

std::string formatText(const char* pattern, const std::string& a, const std::string& b)
{
    std::vector<char> text(std::strlen(pattern) + a.size() + b.size() + 1);
    std::snprintf(text.data(), text.size(), pattern, a.c_str(), b.c_str());
    return text.data();
}

std::string updatePresetQuestion(const std::string& presetName)
{
    return formatText(
        "Would you like to update the stored parameters for\nthe \"%s\" preset with the current settings?", presetName);
}

int32_t leadingInteger(const char* text)
{
    if (text == nullptr)
        return 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = false;
    if (*text == '-' || *text == '+')
        negative = (*text++ == '-');
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value <= static_cast<int64_t>(INT32_MAX) + 1)
            value = value * 10 + (*text - '0');
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace qv
