#pragma once
// Command line of the render tool. Pure code.

#include <string>
#include <utility>
#include <vector>

namespace qv {

struct RenderOptions {
    std::string dllPath;  // empty: the plug-in beside the tool
    std::string input;
    std::string output;
    std::vector<std::pair<int, float>> params;  // index, normalized value, in command-line order
    int blockSize = 512;
    bool directShow = false;
    bool demoSignal = false;  // write the demo input signal to `output` instead of rendering
};

// Parses argv[1..]. Returns false with a message for the user.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

// The 31 integers of a Data text (output gain, then Enabled, type, frequency, Q and gain of bands
// 1 to 6) as parameter index and normalized value pairs, by the integer-to-host mapping.
bool dataTextToParams(const std::string& text, std::vector<std::pair<int, float>>& params, std::string& error);

const char* renderUsage();

}  // namespace qv
