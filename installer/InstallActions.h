#pragma once
// Everything the setup program does to the machine: its state, the copy with the overwrite rules,
// the install run, the install log, and the finishing actions (filter registration, plug-in path,
// uninstall entry, Start-menu shortcuts).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FileTable.h"
#include "InstallRules.h"
#include "win/SetupWin.h"

namespace qvsetup {

struct InstallState {
    std::string installDirectory;
    std::string sourceDirectory;
    std::vector<std::string> vstDirectories;  // at most kMaxVstDirectories
    uint32_t mask = kComponentAll;            // the components chosen in step 1
    int filesToInstall = 0;
    int filesInstalled = 0;
    int vstCopiesFailed = 0;  // host directories the VST plug-in did not reach
    ErrorReport report;
    qv::ScopedFile log;
    bool comInitialised = false;
    bool abortRequested = false;
    bool installStarted = false;
};

extern InstallState gState;

// What the install actions need from the wizard: questions, warnings and the progress display.
struct InstallUi {
    virtual int ask(const std::string& text) = 0;  // IDYES or IDNO
    virtual void warn(const std::string& text) = 0;
    virtual void showPaths(const std::string& source, const std::string& destination) = 0;
    virtual void stepProgress() = 0;

protected:
    ~InstallUi() = default;
};

void setDefaults(InstallState& state);
uint32_t sourceFileSize(const InstallState& state, const char* name);
bool copyWithRules(InstallState& state, InstallUi& ui, const std::string& source, const std::string& destination);
// The copy run; true when every file of the mask was installed (the VST plug-in counting once,
// whatever its copies gave).
bool installRun(InstallState& state, InstallUi& ui);
// What step 5 reports: the VST plug-in counts only when every host directory got it.
int filesFullyInstalled(const InstallState& state);
void finishInstall(InstallState& state, InstallUi& ui);

// The maker's support page named in the start-up messages.
constexpr const char* kSupportAddress = "http://www.example.com/support/";

}  // namespace qvsetup
