#pragma once
// Command line of the render tool. Pure code.

#include <string>
#include <vector>

namespace qv {

// One settings option, applied in command-line order so that a later one overrides an earlier one.
struct SettingArg {
    enum class Kind {
        Param,   // --param INDEX=X: a host's normalized value
        Data,    // --data TEXT: a Data text, checked to hold 31 whole numbers
        Preset,  // --preset NAME or BANK/NAME, looked up in the preset file
        EqFile,  // --eq-file FILE: a parametric EQ text, read when the settings are resolved
    };
    Kind kind = Kind::Param;
    int index = 0;
    float value = 0.0f;
    std::string text;
};

struct RenderOptions {
    std::string dllPath;     // empty: the plug-in beside the tool (or the registered filter with --dshow)
    std::string presetFile;  // empty: the preset file beside the plug-in
    std::string input;
    std::string output;
    std::string writeEqFile;  // --write-eq-file: the applied settings as a parametric EQ text
    std::vector<SettingArg> settings;
    int blockSize = 512;
    bool directShow = false;
    bool demoSignal = false;  // write the demo input signal to `output` instead of rendering
    bool listPresets = false;
    bool writeOnly = false;  // --write-eq-file without INPUT and OUTPUT: convert, render nothing
    bool help = false;
};

// Parses argv[1..]. Returns false with a message for the user.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

// Whether a Data text is 31 whole numbers separated by commas; else false with a message.
bool checkDataText(const std::string& text, std::string& error);

const char* renderUsage();  // the short form, shown after a mistake
const char* renderHelp();   // --help: the usage and the parameter formats

}  // namespace qv
