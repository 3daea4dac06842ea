#include "PresetLevels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "DataText.h"
#include "Measure.h"

namespace qvresp {
namespace {

struct FilePreset {
    std::string bank, name, data;
};

std::string trimmed(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t\r");
    const size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// The [PresetN] sections in file order; other sections are skipped.
std::vector<FilePreset> readPresets(const char* path)
{
    std::vector<FilePreset> presets;
    std::ifstream in(path);
    std::string line;
    bool inPreset = false;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (!line.empty() && line[0] == '[') {
            inPreset = line.compare(0, 7, "[Preset") == 0;
            if (inPreset)
                presets.emplace_back();
            continue;
        }
        const size_t eq = line.find('=');
        if (!inPreset || eq == std::string::npos)
            continue;
        const std::string key = trimmed(line.substr(0, eq)), value = trimmed(line.substr(eq + 1));
        if (key == "Name")
            presets.back().name = value;
        else if (key == "Bank")
            presets.back().bank = value;
        else if (key == "Data")
            presets.back().data = value;
    }
    return presets;
}

const char* typeName(int type)
{
    static const char* const names[] = {"peak", "low shelf", "high shelf", "low-pass", "high-pass"};
    return type >= 0 && type < qv::kFilterTypeCount ? names[type] : "?";
}

void printBands(const qv::ParameterRecord& r)
{
    printf("   output %+.1f dB", r.values[qv::kOutputGainIndex] / 10.0);
    for (int c = 1; c < qv::kColumns; ++c) {
        if (!r.values[qv::paramIndex(qv::kRowEnabled, c)])
            continue;
        const int type = r.values[qv::paramIndex(qv::kRowFilter, c)];
        printf("; %s %d Hz Q %.1f", typeName(type), r.values[qv::paramIndex(qv::kRowFreq, c)],
               r.values[qv::paramIndex(qv::kRowQ, c)] / 10.0);
        if (type != qv::kLowpass && type != qv::kHighpass)
            printf(" %+.1f dB", r.values[qv::paramIndex(qv::kRowGain, c)] / 10.0);
    }
    printf("\n");
}

// The highest and lowest level between 20 Hz and 20 kHz, in steps of 1/48 octave.
void printExtremes(const SetupDesign& d)
{
    double top = -1e9, bottom = 1e9, topHz = 0, bottomHz = 0;
    for (int i = 0; i <= 48 * 10; ++i) {
        const double hz = std::min(20000.0, 20.0 * std::pow(2.0, i / 48.0));  // 2^(480/48) x 20 passes 20 kHz
        const double db = responseDb(d, hz);
        if (db > top)
            top = db, topHz = hz;
        if (db < bottom)
            bottom = db, bottomHz = hz;
    }
    printf("   highest %+.1f dB at %.0f Hz, lowest %+.1f dB at %.0f Hz\n", top, topHz, bottom, bottomHz);
}

}  // namespace

int printPresetLevels(const char* path)
{
    const std::vector<FilePreset> presets = readPresets(path);
    if (presets.empty()) {
        fprintf(stderr, "no presets read from %s\n", path);
        return 1;
    }
    static const int freqs[] = {20, 30, 50, 100, 175, 300, 500, 1000, 2000, 3000, 5000, 8000, 10000, 15000, 20000};
    printf("Level in dB of a steady sine tone through each preset at 44.1 kHz, output gain included\n");
    printf("%-30s", "Hz");
    for (int f : freqs)
        printf(f < 1000 ? "%6d" : "%5dk", f < 1000 ? f : f / 1000);
    printf("\n");
    for (const FilePreset& p : presets) {
        // As loading does: the Data text over the current settings, each value within its range.
        qv::ParameterRecord r = qv::kDefaultParameters;
        qv::applyDataText(p.data.c_str(), r);
        qv::clampRecord(r, qv::freqLimitForRate(static_cast<float>(kSampleRate)));
        const SetupDesign d = designSetup(r);
        const std::string title = p.bank.empty() ? p.name : p.bank + "/" + p.name;
        printf("%-30.30s", title.c_str());
        for (int f : freqs)
            printf("%6.1f", responseDb(d, f));
        printf("\n");
        printBands(r);
        printExtremes(d);
    }
    return 0;
}

}  // namespace qvresp
