#include "RenderOptions.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ParameterModel.h"

namespace qv {
namespace {

bool parseInt(const char* text, long lo, long hi, long& value)
{
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < lo || v > hi)
        return false;
    value = v;
    return true;
}

}  // namespace

const char* renderUsage()
{
    return "usage: qvrender [options] INPUT.wav OUTPUT.wav\n"
           "       qvrender --demo-signal OUTPUT.wav\n"
           "Equalizes a WAV file (PCM 16, 24 or 32-bit, or 32-bit float; mono or stereo) through the\n"
           "qv:equalizer VST plug-in, loaded exactly as a host loads it, and writes the result in the\n"
           "input's format.\n"
           "  --dll PATH          the plug-in DLL (default: \"Zorvath qvEqualizer R3.dll\" beside qvrender)\n"
           "  --param INDEX=X     set parameter INDEX (0..34) to the normalized value X (repeatable)\n"
           "  --data \"N,N,...\"    the 31 integers of a preset's Data text\n"
           "  --block N           frames per processing call (1..65536, default 512)\n"
           "  --dshow             run the file through a DirectShow graph with the registered filter\n";
}

bool dataTextToParams(const std::string& text, std::vector<std::pair<int, float>>& params, std::string& error)
{
    std::vector<long> numbers;
    const char* p = text.c_str();
    while (*p) {
        while (*p == ' ')
            ++p;
        errno = 0;
        char* end = nullptr;
        const long v = std::strtol(p, &end, 10);
        if (end == p || errno != 0 || v < INT32_MIN || v > INT32_MAX) {
            error = "--data: \"" + text + "\" is not a list of whole numbers separated by commas";
            return false;
        }
        numbers.push_back(v);
        p = end;
        while (*p == ' ')
            ++p;
        if (*p == ',')
            ++p;
        else if (*p != '\0') {
            error = "--data: unexpected character '" + std::string(1, *p) + "'";
            return false;
        }
    }
    if (numbers.size() != 31) {
        error = "--data: a Data text has 31 numbers, this one has " + std::to_string(numbers.size());
        return false;
    }
    auto add = [&](int index, long v) {
        params.emplace_back(index, valueToNormalized(index, static_cast<int32_t>(v)));
    };
    add(kOutputGainIndex, numbers[0]);
    for (int band = 1; band <= 6; ++band)
        for (int row = 0; row < kRows; ++row)
            add(paramIndex(row, band), numbers[static_cast<size_t>(1 + (band - 1) * kRows + row)]);
    return true;
}

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& o, std::string& error)
{
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "--dll") {
            const char* v = value("--dll");
            if (!v)
                return false;
            o.dllPath = v;
        } else if (arg == "--param") {
            const char* v = value("--param");
            if (!v)
                return false;
            const char* eq = std::strchr(v, '=');
            long index;
            if (!eq || !parseInt(std::string(v, eq).c_str(), LONG_MIN, LONG_MAX, index)) {
                error = "--param: expected INDEX=VALUE, got \"" + std::string(v) + "\"";
                return false;
            }
            if (index < 0 || index >= kParamCount) {
                error = "--param: parameter index " + std::to_string(index) + " is out of range (0..34)";
                return false;
            }
            char* end = nullptr;
            const float x = std::strtof(eq + 1, &end);
            if (end == eq + 1 || *end != '\0' || !std::isfinite(x)) {
                error = "--param: \"" + std::string(eq + 1) + "\" is not a number";
                return false;
            }
            o.params.emplace_back(static_cast<int>(index), x);
        } else if (arg == "--data") {
            const char* v = value("--data");
            if (!v || !dataTextToParams(v, o.params, error))
                return false;
        } else if (arg == "--block") {
            const char* v = value("--block");
            long n;
            if (!v)
                return false;
            if (!parseInt(v, 1, 65536, n)) {
                error = "--block: expected a number of frames from 1 to 65536";
                return false;
            }
            o.blockSize = static_cast<int>(n);
        } else if (arg == "--dshow") {
            o.directShow = true;
        } else if (arg == "--demo-signal") {
            o.demoSignal = true;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + arg;
            return false;
        } else {
            files.push_back(arg);
        }
    }
    if (o.demoSignal) {
        if (files.size() != 1) {
            error = "--demo-signal takes one output file";
            return false;
        }
        o.output = files[0];
        return true;
    }
    if (files.size() != 2) {
        error = "expected an input and an output file";
        return false;
    }
    o.input = files[0];
    o.output = files[1];
    return true;
}

}  // namespace qv
