#pragma once
// Shared steps of the end-to-end scenarios: running the wizard through to its end and the checks of
// an installation.

#include <string>
#include <vector>

#include "PluginContract.h"
#include "SetupDriver.h"

namespace qvtest {

constexpr const char* kEntryKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velquin-qv-R3";

struct Choice {
    std::string directory;  // typed on step 2 (empty: keep the default)
    bool directX = true, vst = true;
    std::vector<std::string> added;  // host directories added on step 3 through the chooser
};

std::string defaultInstallDir();
std::string programsGroup();
std::string join(const std::string& dir, const std::string& name);
void makeDirs(const std::string& path);
// Step 1 passed: the sheet on step 2, or null.
HWND toStepTwo(const Program& setup, const std::string& picturePrefix = std::string());
// Ticks or clears a component box as a click does.
void setComponent(HWND page, int id, bool on);
// Steps 1 to 3 as chosen, leaving the wizard on its way to step 4.
void throughStepThree(const Program& setup, const Choice& choice, const std::string& picturePrefix = std::string());
// A whole run that expects no question; returns step 5's text.
std::string installQuietly(const Choice& choice);
std::string resultText(HWND sheet);
void finish(Program& setup, HWND sheet);
std::string logText(const std::string& installDir);

}  // namespace qvtest
