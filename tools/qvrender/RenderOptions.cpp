#include "RenderOptions.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "DataText.h"
#include "PluginContract.h"

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

SettingArg textSetting(SettingArg::Kind kind, const char* text)
{
    SettingArg setting;
    setting.kind = kind;
    setting.text = text;
    return setting;
}

}  // namespace

const char* renderUsage()
{
    return "usage: qvrender [options] INPUT.wav OUTPUT.wav\n"
           "       qvrender --list-presets\n"
           "       qvrender --demo-signal OUTPUT.wav\n"
           "       qvrender --help    (the options and the parameter formats)\n";
}

const char* renderHelp()
{
    return "usage: qvrender [options] INPUT.wav OUTPUT.wav\n"
           "       qvrender [--dll PATH | --preset-file PATH] --list-presets\n"
           "       qvrender --demo-signal OUTPUT.wav\n"
           "       qvrender [settings options] --write-eq-file FILE\n"
           "\n"
           "Equalizes a WAV file (PCM 16, 24 or 32-bit, or 32-bit float; mono or stereo; any rate)\n"
           "through the qv:equalizer VST plug-in, loaded exactly as a host loads it, and writes the\n"
           "result in the input's format, LIST metadata included. The file is streamed: its length\n"
           "costs no memory. The output is written beside its final name and moved into place at\n"
           "the end, so a failed or interrupted run never leaves a partial file.\n"
           "\n"
           "Options:\n"
           "  --param INDEX=X     set parameter INDEX (0..34) to the host value X (0..1)\n"
           "  --data \"N,N,...\"    settings as the 31 numbers of a preset's Data text\n"
           "  --preset NAME       a preset from the preset file (BANK/NAME where names repeat)\n"
           "  --eq-file FILE      settings from a parametric EQ text (\"Preamp: -6.2 dB\",\n"
           "                      \"Filter 1: ON PK Fc 105 Hz Gain 5.6 dB Q 0.70\", ...): up to six\n"
           "                      filters on bands 1 to 6, the preamp as the output gain; what does\n"
           "                      not fit is listed\n"
           "  --write-eq-file FILE\n"
           "                      write the settings applied as a parametric EQ text (with no\n"
           "                      INPUT and OUTPUT only that: nothing is rendered)\n"
           "  --list-presets      print the banks and presets of the preset file\n"
           "  --preset-file PATH  the preset file (default: " QV_PRESET_FILE_NAME " beside the plug-in)\n"
           "  --dll PATH          the plug-in DLL (default: \"" QV_VST_FILE_NAME "\" beside\n"
           "                      qvrender; with --dshow, the filter DLL instead of the registered one)\n"
           "  --dshow             run the file through a DirectShow graph with the equalizer filter\n"
           "                      (16-bit PCM or 32-bit float only)\n"
           "  --block N           frames per processing call (1..65536, default 512)\n"
           "  --help              this text\n"
           "Settings options (--param, --data, --preset, --eq-file) apply in order, over the default\n"
           "program: --preset \"Gentle Smile\" --param 28=0.55\n"
           "takes the preset and then changes its output gain. A value outside its range is limited\n"
           "to the range, with a warning.\n"
           "\n"
           "Parametric EQ texts (headphone and room corrections):\n"
           "  qvrender --eq-file correction.txt in.wav out.wav    render with a correction\n"
           "  qvrender --preset Rock --write-eq-file rock.txt     convert a preset, render nothing\n"
           "What a file holds beyond six filters, or cannot be matched within 1 dB, is listed as a\n"
           "warning; bands a written text cannot say within 1 dB are listed too. A written text\n"
           "carries the exact settings in a comment, so reading it back gives the same settings.\n"
           "\n"
           "Parameters: INDEX = row x 7 + column. Column 0 is the output stage (only 28, the output\n"
           "gain, acts), columns 1 to 6 are bands 1 to 6.\n"
           "  row  indexes  parameter  host value X (0..1) becomes     range\n"
           "  0    0..6     Enabled    off below 0.5, on from 0.5      0 or 1\n"
           "  1    7..13    Filter     round(X x 4): 0 Peak/Dip,       0..4\n"
           "                           1 LowShelf, 2 HighShelf, 3 Lowpass, 4 Highpass\n"
           "  2    14..20   Freq       10 + X x 22039 Hz (linear)      10 Hz .. rate/2 - 1\n"
           "  3    21..27   Q          0.1 + X x 99.9                  see below\n"
           "  4    28       Output     -24 + X x 48 dB                 -24.0..24.0 dB\n"
           "  4    29..34   Gain       -18 + X x 36 dB (0.5 = 0 dB)    -18.0..18.0 dB\n"
           "Example: --param 30=0.6667 is +6.0 dB on band 2; --param 9=0 makes band 2 a Peak/Dip.\n"
           "\n"
           "Data text: 31 whole numbers separated by commas, as presets store them: the output gain\n"
           "in tenths of a dB, then for band 1 to band 6 in turn: enabled (0/1), filter type (0..4,\n"
           "as above), frequency in Hz, Q in tenths, gain in tenths of a dB. For example\n"
           "  -20,1,4,30,7,0,1,1,100,10,45,1,0,400,10,-30,1,0,2500,20,15,1,2,8000,10,30,0,0,1000,10,0\n"
           "is: output -2.0 dB; band 1 high-pass at 30 Hz, Q 0.7; band 2 low shelf at 100 Hz,\n"
           "+4.5 dB; band 3 -3.0 dB at 400 Hz, Q 1.0; band 4 +1.5 dB at 2500 Hz, Q 2.0; band 5 high\n"
           "shelf at 8000 Hz, +3.0 dB; band 6 off.\n"
           "\n"
           "What Q does (measured on this equalizer's filters):\n"
           "  Peak/Dip   the width of the peak, between the points where it reaches half its dB:\n"
           "             Q 0.5 = 4.2 octaves, 1.0 = 2.6, 2.0 = 1.4, 4.0 = 0.7, 10.0 = 0.3 (twice as\n"
           "             wide as a textbook filter of the same Q). Range 0.1..100.0.\n"
           "  LowShelf,  the slope: the gain is half way at the frequency; 1.0 is the steepest\n"
           "  HighShelf  slope without overshoot, lower is gentler, above 1.0 the shelf overshoots\n"
           "             (at 2.0 a 12 dB shelf bulges 1.4 dB beyond itself). Range 0.3..2.0.\n"
           "  Lowpass,   12 dB per octave; Q is the level at the frequency: 1.0 = -6 dB,\n"
           "  Highpass   1.4 = -3 dB (the flattest), 2.0 = a 1 dB bump, 5.0 = an 8 dB resonance.\n"
           "             Range 0.1..19.0.\n"
           "\n"
           "Exit status: 0 when the file was rendered (warnings and clipping included), 1 when it\n"
           "was not, 2 for a mistake on the command line.\n";
}

bool checkDataText(const std::string& text, std::string& error)
{
    // Strict where the preset code is lenient: a typo on the command line must not become a zero.
    const DataFields d = readDataText(text.c_str());
    if (!d.wholeNumbers) {
        error = "\"" + text + "\" is not a list of whole numbers separated by commas";
        return false;
    }
    if (d.total != kDataValueCount) {
        error = "a Data text has 31 numbers, this one has " + std::to_string(d.total);
        return false;
    }
    return true;
}

namespace {

bool takesValue(const std::string& option)
{
    for (const char* name :
         {"--dll", "--param", "--data", "--preset", "--preset-file", "--block", "--eq-file", "--write-eq-file"})
        if (option == name)
            return true;
    return false;
}

// --param INDEX=X
bool parseParam(const char* v, RenderOptions& o, std::string& error)
{
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
    SettingArg setting;
    setting.index = static_cast<int>(index);
    setting.value = x;
    o.settings.push_back(setting);
    return true;
}

// An option that takes a value (takesValue), with the value.
bool applyValueOption(const std::string& option, const char* v, RenderOptions& o, std::string& error)
{
    if (option == "--dll") {
        o.dllPath = v;
    } else if (option == "--param") {
        return parseParam(v, o, error);
    } else if (option == "--data") {
        if (!checkDataText(v, error)) {
            error = "--data: " + error;
            return false;
        }
        o.settings.push_back(textSetting(SettingArg::Kind::Data, v));
    } else if (option == "--preset") {
        o.settings.push_back(textSetting(SettingArg::Kind::Preset, v));
    } else if (option == "--eq-file") {
        o.settings.push_back(textSetting(SettingArg::Kind::EqFile, v));
    } else if (option == "--write-eq-file") {
        o.writeEqFile = v;
    } else if (option == "--preset-file") {
        o.presetFile = v;
    } else if (option == "--block") {
        long n;
        if (!parseInt(v, 1, 65536, n)) {
            error = "--block: expected a number of frames from 1 to 65536";
            return false;
        }
        o.blockSize = static_cast<int>(n);
    }
    return true;
}

// The file arguments, by what the command does.
bool placeFiles(const std::vector<std::string>& files, RenderOptions& o, std::string& error)
{
    if (o.help)
        return true;
    if (o.listPresets) {
        if (!files.empty()) {
            error = "--list-presets takes no files";
            return false;
        }
        return true;
    }
    if (o.demoSignal) {
        if (files.size() != 1) {
            error = "--demo-signal takes one output file";
            return false;
        }
        o.output = files[0];
        return true;
    }
    if (files.empty() && !o.writeEqFile.empty()) {
        o.writeOnly = true;
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

}  // namespace

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& o, std::string& error)
{
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (takesValue(arg)) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            if (!applyValueOption(arg, argv[++i], o, error))
                return false;
        } else if (arg == "--list-presets") {
            o.listPresets = true;
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            o.help = true;
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
    return placeFiles(files, o, error);
}

}  // namespace qv
