#pragma once
// Reading of parametric EQ text files (headphone and room corrections): a "Preamp:" line and
// "Filter N: ON PK Fc 105 Hz Gain 5.6 dB Q 0.70" lines. Free of any platform header; reads any
// bytes safely.

#include <cstddef>
#include <string>
#include <vector>

namespace qv {

// The filter types the text may name, by the textbook biquad each stands for.
enum class EqTextKind {
    None,       // "NONE": a filter line that says nothing
    Peak,       // PK, PEQ
    LowShelf,   // LS, LSC, LS 6dB, LSC 12dB, ...: Q, or a slope in dB per octave
    HighShelf,  // HS, HSC, ...
    LowPass,    // LP, LPQ, LP 12dB: second order, Q 0.7071 unless given
    HighPass,   // HP, HPQ, HP 12dB
    LowPass1,   // LP1, LP 6dB: first order
    HighPass1,  // HP1, HP 6dB
    Unknown,    // NO, BP, AP and anything else: no band for it
};

struct EqTextFilter {
    int line = 0;    // 1-based line of the file
    int number = 0;  // the N of "Filter N:", 0 when the line has none
    bool on = true;  // OFF filters keep their place but are switched off
    EqTextKind kind = EqTextKind::Unknown;
    std::string code;  // the type as written, upper case and cut short, e.g. "LSC 12DB"
    bool hasFrequency = false, hasGain = false, hasQ = false, hasSlope = false;
    double frequency = 0;  // Hz
    double gain = 0;       // dB
    double q = 0;          // textbook Q (a bandwidth in octaves is converted)
    double slope = 0;      // shelf slope S: 12 dB per octave is 1.0
};

struct EqTextFile {
    bool hasPreamp = false;
    double preamp = 0;                  // dB
    std::vector<EqTextFilter> filters;  // in the file's order, at most kEqTextMaxFilters
    int filtersDropped = 0;             // filter lines beyond that
    std::vector<int> unreadLines;       // Preamp/Filter lines that could not be read, at most kEqTextMaxUnread
    int unreadCount = 0;                // all of them
    std::string settingsData;           // the Data text this equalizer wrote in its comment line
};

// The comment with which an exported text carries the exact settings it was made from.
constexpr char kEqTextDataComment[] = "# qv:equalizer Data:";

constexpr std::size_t kEqTextMaxFilters = 256;
constexpr std::size_t kEqTextMaxUnread = 32;
constexpr double kEqTextMaxNumber = 1e7;  // larger magnitudes are rubbish, not settings

// Reads the text. Lines end in LF, CR or CRLF; keywords are case-insensitive; "#", ";" and "//"
// start comments; other text lines (titles, notes) are passed over. Numbers take "." or a comma
// between digits as the decimal mark.
EqTextFile parseEqText(const char* data, std::size_t size);

// A textbook Q from a bandwidth in octaves.
double qFromOctaves(double octaves);

// A number with `places` decimals and always a "." (snprintf's mark follows the locale a host set).
std::string formatDecimal(double value, int places);

}  // namespace qv
