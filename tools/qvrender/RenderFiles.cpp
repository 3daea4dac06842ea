#include "RenderFiles.h"

#include <atomic>

namespace qv {
namespace {

// What went wrong in plain words; the system's number only where it says nothing better.
std::string windowsError(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return "file not found";
    case ERROR_PATH_NOT_FOUND:
        return "folder not found";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "in use by another program";
    case ERROR_WRITE_PROTECT:
        return "the disk is write-protected";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return "not a valid file name";
    case ERROR_NOT_READY:
        return "the drive is not ready";
    default:
        return "Windows error " + std::to_string(code);
    }
}

std::atomic<bool> gInterrupted{false};

BOOL WINAPI onConsoleEvent(DWORD)
{
    gInterrupted = true;
    return TRUE;
}

// The identity of a file however it is named: the volume and the file's index on it.
bool identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = GetFileInformationByHandle(h, &info) != FALSE;
    CloseHandle(h);
    return ok;
}

}  // namespace

InputFile::~InputFile()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
}

bool InputFile::open(const std::string& path, std::string& error)
{
    file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                        nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        error = "cannot open \"" + path + "\" (" + windowsError(GetLastError()) + ")";
        return false;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size)) {
        error = "cannot read \"" + path + "\"";
        return false;
    }
    size_ = static_cast<uint64_t>(size.QuadPart);
    return true;
}

bool InputFile::readAt(uint64_t offset, void* buffer, size_t n)
{
    if (offset > size_ || n > size_ - offset)
        return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN))
        return false;
    auto* p = static_cast<uint8_t*>(buffer);
    while (n > 0) {
        const DWORD want = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
        DWORD got = 0;
        if (!ReadFile(file_, p, want, &got, nullptr) || got == 0)
            return false;
        p += got;
        n -= got;
    }
    return true;
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard()
{
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    if (!temp_.empty()) {
        DeleteFileA(temp_.c_str());
        temp_.clear();
    }
}

bool OutputFile::create(const std::string& path, const std::vector<uint8_t>& header, std::string& error)
{
    path_ = path;
    temp_ = path + ".part" + std::to_string(GetCurrentProcessId());
    file_ = CreateFileA(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        error = "cannot create the output \"" + path + "\" (" + windowsError(GetLastError()) + ")";
        temp_.clear();
        return false;
    }
    if (!write(header.data(), header.size(), error))
        return false;
    written_ = 0;
    return true;
}

bool OutputFile::write(const void* data, size_t n, std::string& error)
{
    const auto* p = static_cast<const uint8_t*>(data);
    while (n > 0) {
        const DWORD want = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
        DWORD put = 0;
        if (!WriteFile(file_, p, want, &put, nullptr) || put != want) {
            error = "cannot write \"" + path_ + "\" (disk full?)";
            discard();
            return false;
        }
        p += put;
        n -= put;
        written_ += put;
    }
    return true;
}

bool OutputFile::commit(const std::vector<uint8_t>& header, std::string& error)
{
    if (file_ == INVALID_HANDLE_VALUE) {
        error = "cannot write \"" + path_ + "\"";
        return false;
    }
    // A pad byte keeps an odd-sized data chunk's successors (none here) and strict readers happy.
    if ((written_ & 1) && !write("", 1, error))
        return false;
    LARGE_INTEGER start{};
    DWORD put = 0;
    const bool ok = SetFilePointerEx(file_, start, nullptr, FILE_BEGIN) &&
                    WriteFile(file_, header.data(), static_cast<DWORD>(header.size()), &put, nullptr) &&
                    put == header.size();
    const bool closed = CloseHandle(file_) != FALSE;
    file_ = INVALID_HANDLE_VALUE;
    if (!ok || !closed) {
        error = "cannot write \"" + path_ + "\" (disk full?)";
        discard();
        return false;
    }
    if (!MoveFileExA(temp_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot replace \"" + path_ + "\" (" + windowsError(GetLastError()) + ")";
        discard();
        return false;
    }
    temp_.clear();
    return true;
}

bool checkOutputPath(const std::string& input, const std::string& output, std::string& error)
{
    const DWORD attributes = GetFileAttributesA(output.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;  // a new file
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "the output \"" + output + "\" is a folder; name a file";
        return false;
    }
    BY_HANDLE_FILE_INFORMATION in{}, out{};
    if (!input.empty() && identify(input, in) && identify(output, out) &&
        in.dwVolumeSerialNumber == out.dwVolumeSerialNumber && in.nFileIndexHigh == out.nFileIndexHigh &&
        in.nFileIndexLow == out.nFileIndexLow) {
        error = "the output \"" + output +
                "\" is the input file; writing it would destroy the original. Name "
                "another output file";
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        error = "the output \"" + output +
                "\" is read-only; it is left as it is. Name another output file or "
                "make it writable";
        return false;
    }
    return true;
}

bool sameFileName(const std::string& a, const std::string& b)
{
    char fullA[MAX_PATH], fullB[MAX_PATH];
    const DWORD na = GetFullPathNameA(a.c_str(), MAX_PATH, fullA, nullptr);
    const DWORD nb = GetFullPathNameA(b.c_str(), MAX_PATH, fullB, nullptr);
    if (na == 0 || na >= MAX_PATH || nb == 0 || nb >= MAX_PATH)
        return false;
    return lstrcmpiA(fullA, fullB) == 0;
}

bool writeTextFile(const std::string& path, const std::string& text, std::string& error)
{
    const std::string temp = path + ".part" + std::to_string(GetCurrentProcessId());
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot create \"" + path + "\" (" + windowsError(GetLastError()) + ")";
        return false;
    }
    DWORD put = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &put, nullptr) && put == text.size();
    const bool closed = CloseHandle(file) != FALSE;
    if (!ok || !closed) {
        error = "cannot write \"" + path + "\" (disk full?)";
        DeleteFileA(temp.c_str());
        return false;
    }
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot replace \"" + path + "\" (" + windowsError(GetLastError()) + ")";
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

void watchInterrupts() { SetConsoleCtrlHandler(onConsoleEvent, TRUE); }

bool interrupted() { return gInterrupted; }

}  // namespace qv
