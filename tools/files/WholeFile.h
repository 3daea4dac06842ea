#pragma once
// A whole file read into memory, for the tools and the tests. The path goes to fopen as it is: a
// Windows path under Wine, a host path natively.

#include <cstdio>
#include <string>
#include <vector>

namespace qv {

// Appends the file's bytes to `data`; false when it cannot be opened.
template <typename Byte>
bool readWholeFile(const std::string& path, std::vector<Byte>& data)
{
    static_assert(sizeof(Byte) == 1, "a file is read as bytes");
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    Byte buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    std::fclose(f);
    return true;
}

// The file's bytes; empty when it cannot be opened.
template <typename Byte = char>
std::vector<Byte> wholeFile(const std::string& path)
{
    std::vector<Byte> data;
    readWholeFile(path, data);
    return data;
}

}  // namespace qv
