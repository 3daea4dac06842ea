#pragma once
// The render tool's files: the input read at any offset (64-bit, so hours of audio work in a 32-bit
// process), the output written beside its final name and moved into place only when complete.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "WavFile.h"

namespace qv {

class InputFile : public ByteSource {
public:
    InputFile() = default;
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool open(const std::string& path, std::string& error);
    uint64_t size() const override { return size_; }
    bool readAt(uint64_t offset, void* buffer, size_t n) override;

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint64_t size_ = 0;
};

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();  // a file not committed is removed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Starts the file with `header`, which commit() rewrites once the sizes are known.
    bool create(const std::string& path, const std::vector<uint8_t>& header, std::string& error);
    bool write(const void* data, size_t n, std::string& error);
    uint64_t written() const { return written_; }  // bytes after the header
    // Rewrites the header (its length unchanged), closes the file and moves it over `path`.
    bool commit(const std::vector<uint8_t>& header, std::string& error);

private:
    void discard();

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string path_;
    std::string temp_;
    uint64_t written_ = 0;
};

// Refuses, with a message, an output that is a folder, that is read-only, or that is the input
// itself under any name (another spelling, a link).
bool checkOutputPath(const std::string& input, const std::string& output, std::string& error);

// Whether two paths name the same file by their full names (the file need not exist yet).
bool sameFileName(const std::string& a, const std::string& b);

// A small file written beside `path` and moved over it only when whole, as the outputs are.
bool writeTextFile(const std::string& path, const std::string& text, std::string& error);

// Ctrl+C and closing the console stop a render at the next block instead of killing the process, so
// that its temporary file goes. After watchInterrupts(), interrupted() says whether one came.
void watchInterrupts();
bool interrupted();

}  // namespace qv
