#pragma once
// The desktop's DPI under Wine, which reads it (LogPixels under HKCU "Control Panel\Desktop") when a
// process starts: a test sets it and asks a fresh copy of itself, started with an environment variable
// set, for what a window gets there. The copy answers through its exit code (runAtDpi).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "WindowDpi.h"

namespace qvtest {

// WM_DPICHANGED_AFTERPARENT, as the editor names it.
using qv::kDpiChangedAfterParent;

// Puts the desktop's DPI back as it was, or removes the value if there was none.
class LogPixels {
public:
    LogPixels()
    {
        DWORD size = sizeof old_;
        had_ = RegGetValueA(HKEY_CURRENT_USER, kKey, "LogPixels", RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
               ERROR_SUCCESS;
    }
    ~LogPixels()
    {
        if (had_)
            set(old_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "LogPixels");
    }
    LogPixels(const LogPixels&) = delete;
    LogPixels& operator=(const LogPixels&) = delete;
    static bool set(DWORD dpi)
    {
        return RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "LogPixels", REG_DWORD, &dpi, sizeof dpi) == ERROR_SUCCESS;
    }

private:
    static constexpr const char* kKey = "Control Panel\\Desktop";
    DWORD old_ = 96;
    bool had_ = false;
};

// Runs this program again with `variable` set to `value` and `arguments` on its command line, its output
// going to ours (or, with `output`, into that string: read to its end before the timeout counts), and
// returns its exit code, or -1.
inline long runChild(const char* variable, const char* value, const std::string& arguments = "",
                     DWORD timeoutMs = 60000, std::string* output = nullptr)
{
    char self[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, self, sizeof self))
        return -1;
    std::string line = std::string("\"") + self + "\" " + arguments;
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    if (output &&
        (!CreatePipe(&readEnd, &writeEnd, &inherit, 0) || !SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0)))
        return -1;
    SetEnvironmentVariableA(variable, value);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = output ? writeEnd : GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessA(self, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(variable, nullptr);
    if (output) {
        // Ours closed, the pipe ends when the copy ends.
        CloseHandle(writeEnd);
        char buffer[512];
        DWORD got = 0;
        while (started && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output->append(buffer, got);
        CloseHandle(readEnd);
    }
    if (!started)
        return -1;
    DWORD code = 0;
    const bool done =
        WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code);
    if (!done)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done ? static_cast<long>(code) : -1;
}

// Runs this program again on a desktop of `dpi`, with `variable` set to `value` and only the gtest cases
// `filter` (none given: the copy answers before its cases, through its exit code), then puts the
// desktop's DPI back. Returns the copy's exit code (0: its cases passed), or -1 where the DPI could not
// be set or the copy did not run.
inline long runAtDpi(const char* variable, const std::string& value, DWORD dpi, const std::string& filter = "")
{
    LogPixels restore;
    if (!LogPixels::set(dpi))
        return -1;
    return runChild(variable, value.c_str(), filter.empty() ? std::string() : "--gtest_filter=" + filter);
}

}  // namespace qvtest

// The first line of a case that only a copy started by runAtDpi runs (by the case `starter`, a text):
// anywhere else the case is skipped. What the copy was given is std::getenv(variable).
#define QVTEST_ONLY_IN_COPY(variable, starter)                                                                         \
    if (!std::getenv(variable))                                                                                        \
    GTEST_SKIP() << "run by " starter
// The first line of a case that starts such copies: in the copies it is skipped.
#define QVTEST_NOT_IN_COPY(variable)                                                                                   \
    if (std::getenv(variable))                                                                                         \
    GTEST_SKIP()
