#pragma once
// Drives the real setup program and uninstaller from this separate test process: finds their windows,
// presses buttons, types text, answers message boxes and takes pictures, all through window messages.

#include <windows.h>

#include <string>
#include <vector>

namespace qvtest {

constexpr const char* kSetupCaption = "Zorvath setup:marlin";
constexpr const char* kUninstallCaption = "Zorvath Velquin:qv R3 plug-in uninstaller";

class Program {
public:
    // limited: started as a process without administrator rights (the Administrators group for
    // denying only), as a limited account or an administrator's process that was not elevated.
    Program(const std::string& exe, const std::string& directory, bool limited = false);
    ~Program();  // ends a program a failed test left running
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    // Waits for the program to end; false on timeout.
    bool waitExit(DWORD milliseconds, DWORD* exitCode = nullptr);

    // The program's enabled top-level window whose title starts with `title`, or null after timeout.
    HWND waitWindow(const std::string& title, DWORD milliseconds = 20000) const;
    HWND waitStep(int step) const;
    // Waits for a step, noting every step title seen on the way.
    HWND waitStepNoting(int step, std::vector<int>& seen) const;
    // Waits for a message box with this caption, checks its text and presses the button. The text
    // seen is returned (empty when no box came).
    std::string answer(const char* caption, const std::string& expected, int button) const;
    // Any message box up at the moment: its text, or empty.
    std::string pendingBox(const char* caption) const;
    // The titles of the program's visible windows, for failure messages.
    std::string describe() const;
    // A picture of the window's top-level window as resources/.../<name>.bmp in the snapshot folder.
    void snap(HWND window, const std::string& name) const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

std::string textOf(HWND window);
// The page of the wizard on screen, and one of its controls.
HWND currentPage(HWND sheet);
HWND pageItem(HWND sheet, int id);
void pressSheet(HWND sheet, int button);  // PSBTN_NEXT, PSBTN_BACK, PSBTN_CANCEL, PSBTN_FINISH
void clickItem(HWND dialog, int id);
void setItemText(HWND dialog, int id, const std::string& text);
// Waits until the thread of `window` has finished what it was handling (a message sent to it is only
// taken from its message loop): after a message box was answered, the handler that asked is done.
void settle(HWND window);
// Polls `done` until it holds; false if it still does not after `milliseconds`.
template <class Predicate>
bool waitUntil(Predicate done, DWORD milliseconds = 10000)
{
    for (DWORD start = GetTickCount(); !done();) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(10);
    }
    return true;
}
// Picks a folder in the directory chooser that is up with this title.
// With a picture name, the chooser is pictured once it shows the folder.
bool chooseFolder(const Program& program, const std::string& title, const std::string& folder,
                  const std::string& picture = std::string());

// Files and registry as the test checks them.
std::vector<char> readFile(const std::string& path);
bool writeFile(const std::string& path, const std::string& data);
bool exists(const std::string& path);
bool sameBytes(const std::string& a, const std::string& b);
bool registryString(HKEY root, const std::string& key, const char* value, std::string& text);
bool keyExists(HKEY root, const std::string& key);
void setRegistryString(HKEY root, const std::string& key, const char* value, const std::string& text);
// A console program's exit code and output.
DWORD runConsole(const std::string& commandLine, std::string* output = nullptr);

// Where the test finds the download copy, its own tools and where pictures go.
std::string downloadDir();  // C:\download
std::string toolsDir();     // the build's bin folder (qvrender.exe)
std::string snapDir();      // empty: no pictures

}  // namespace qvtest
