#include "EqTextImport.h"

#include <cmath>

#include "DataText.h"
#include "EqFit.h"
#include "EqTextExport.h"
#include "PresetText.h"

namespace qv {
namespace {

constexpr int kBands = 6;

std::string qText(double q) { return formatDecimal(q, q < 1 ? 3 : 2); }
std::string dbText(double db) { return formatDecimal(db, 1) + " dB"; }

std::string hzText(double hz)
{
    return formatDecimal(hz, std::fabs(hz - std::round(hz)) < 0.05 || std::fabs(hz) >= 1000 ? 0 : 1) + " Hz";
}

bool isPass(EqTextKind k) { return bandTypeFor(k) == kLowpass || bandTypeFor(k) == kHighpass; }

// "Filter 7 (PK 8000 Hz, -2.0 dB)": how the user finds the line again.
std::string label(const EqTextFilter& f)
{
    std::string text =
        f.number > 0 ? "Filter " + std::to_string(f.number) : "The filter on line " + std::to_string(f.line);
    text += " (" + (f.code.empty() ? std::string("?") : f.code);
    if (f.hasFrequency)
        text += " " + hzText(f.frequency);
    if (f.hasGain && !isPass(f.kind))
        text += ", " + dbText(f.gain);
    if (!f.on)
        text += ", off";
    return text + ")";
}

// Why a filter cannot be used at all; empty when it can.
std::string unusable(const EqTextFilter& f)
{
    if (bandTypeFor(f.kind) < 0)
        return "left out, the equalizer has no band for this type.";
    if (!f.hasFrequency)
        return "left out, it gives no frequency.";
    if (!(f.frequency > 0))
        return "left out, " + hzText(f.frequency) + " is no frequency.";
    if (!isPass(f.kind) && !f.hasGain)
        return "left out, it gives no gain.";
    if (f.kind == EqTextKind::Peak && !f.hasQ)
        return "left out, it gives no Q.";
    if (f.hasQ && !(f.q > 0) && f.kind != EqTextKind::LowPass1 && f.kind != EqTextKind::HighPass1)
        return "left out, its Q of " + qText(f.q) + " gives no width.";
    return std::string();
}

TextbookFilter textbook(const EqTextFilter& f)
{
    TextbookFilter t;
    t.kind = f.kind;
    t.frequency = f.frequency;
    t.gain = isPass(f.kind) ? 0 : f.gain;
    if (f.kind == EqTextKind::LowShelf || f.kind == EqTextKind::HighShelf) {
        // A shelf without a Q is given by its slope, 12 dB per octave unless it says otherwise.
        t.bySlope = !f.hasQ;
        t.q = f.hasQ ? f.q : (f.hasSlope ? f.slope : 1.0);
    } else {
        t.q = f.hasQ ? f.q : 0.7071;
    }
    return t;
}

// The file's own Q that the band stands for, for telling how far a Q was limited.
double textbookQOfBand(const BandSetting& b)
{
    if (b.type == kLowShelf || b.type == kHighShelf)
        return shelfQFromSlope(b.q / 10.0, b.gain / 10.0);
    double sum = 0;
    for (double fs : kEqFitRates)
        sum += b.q / 10.0 / bandQForTextbookQ(1.0, b.frequency, fs);
    return sum / 2;
}

// Places a filter on band `column` and says what it could not keep.
void placeFilter(const EqTextFilter& f, int column, EqImport& out)
{
    const TextbookFilter t = textbook(f);
    const BandFit fit = fitBand(t);
    const BandSetting& b = fit.band;
    ParameterRecord& r = out.record;
    r.values[paramIndex(kRowEnabled, column)] = f.on ? 1 : 0;
    r.values[paramIndex(kRowFilter, column)] = b.type;
    r.values[paramIndex(kRowFreq, column)] = b.frequency;
    r.values[paramIndex(kRowQ, column)] = b.q;
    r.values[paramIndex(kRowGain, column)] = b.gain;

    std::vector<std::string> limits;
    const bool frequencyLimited = t.frequency > kDefaultFreqLimit + 0.5 || t.frequency < 9.5;
    if (frequencyLimited)
        limits.push_back("Fc " + hzText(t.frequency) + " limited to " + hzText(b.frequency));
    if (std::fabs(fit.idealGain) > kBandGainRange.maximum + 0.5)
        limits.push_back("gain " + dbText(t.gain) + " limited to " + dbText(b.gain / 10.0));
    const ValueRange qr = qRange(b.type);
    // A frequency moved to the range's end takes whatever width matches best; its Q says nothing.
    if (!frequencyLimited && (fit.idealQ > qr.maximum + 0.5 || fit.idealQ < qr.minimum - 0.5)) {
        if (t.bySlope)
            limits.push_back("slope " + formatDecimal(t.q * 12, 1) + " dB per octave limited to " +
                             formatDecimal(b.q * 1.2, 1) + " dB per octave");
        else if (f.kind != EqTextKind::LowPass1 && f.kind != EqTextKind::HighPass1)
            limits.push_back("Q " + qText(t.q) + " limited to " + qText(textbookQOfBand(b)));
    }
    const std::string deviation = formatDecimal(fit.worstDb, 1) + " dB";
    if (!limits.empty()) {
        std::string text = label(f) + ": ";
        for (std::size_t i = 0; i < limits.size(); ++i)
            text += (i ? ", " : "") + limits[i];
        out.notes.push_back(text + "; the band differs from the file's filter by up to " + deviation + ".");
    } else if (fit.worstDb > kEqNoteThresholdDb) {
        out.notes.push_back(label(f) + ": the closest band differs from the file's filter by up to " + deviation + ".");
    }
}

void clearBand(ParameterRecord& r, int column)
{
    r.values[paramIndex(kRowEnabled, column)] = 0;
    r.values[paramIndex(kRowFilter, column)] = kPeakDip;
    r.values[paramIndex(kRowFreq, column)] = 1000;
    r.values[paramIndex(kRowQ, column)] = 10;
    r.values[paramIndex(kRowGain, column)] = 0;
}

bool sameFilter(const EqTextFilter& a, const EqTextFilter& b)
{
    auto same = [](double x, double y) { return std::fabs(x - y) <= 1e-9 * (1 + std::fabs(x)); };
    return a.on == b.on && a.kind == b.kind && a.hasFrequency == b.hasFrequency && a.hasGain == b.hasGain &&
           a.hasQ == b.hasQ && a.hasSlope == b.hasSlope && same(a.frequency, b.frequency) && same(a.gain, b.gain) &&
           same(a.q, b.q) && same(a.slope, b.slope);
}

// The settings of the file's Data comment, when its filters and preamp are still those that this
// equalizer writes for them: then nothing was edited, and the exact settings come back.
bool exactSettings(const EqTextFile& file, ParameterRecord& record)
{
    const DataFields d = readDataText(file.settingsData.c_str());
    if (file.settingsData.empty() || !d.wholeNumbers || d.total != kDataValueCount)
        return false;
    ParameterRecord r = kDefaultParameters;
    applyDataText(file.settingsData.c_str(), r);
    ParameterRecord limited = r;
    clampRecord(limited, kDefaultFreqLimit);
    for (int i = 0; i < kDataValueCount; ++i)
        if (limited.values[dataParamIndex(i)] != r.values[dataParamIndex(i)])
            return false;
    const std::string text = exportEqText(r).text;
    const EqTextFile written = parseEqText(text.data(), text.size());
    if (written.filters.size() != file.filters.size() || written.hasPreamp != file.hasPreamp ||
        written.preamp != file.preamp || file.unreadCount != 0 || file.filtersDropped != 0)
        return false;
    for (std::size_t i = 0; i < file.filters.size(); ++i)
        if (!sameFilter(written.filters[i], file.filters[i]))
            return false;
    record = r;
    return true;
}

}  // namespace

EqImport importEqText(const EqTextFile& file)
{
    EqImport out;
    if (exactSettings(file, out.record)) {
        out.usable = true;
        return out;
    }
    for (int column = 1; column <= kBands; ++column)
        clearBand(out.record, column);
    out.record.values[kOutputGainIndex] = 0;

    // Switched-off filters keep their place while there is room; when there is not, the ones that
    // sound come first. Notes follow the file's order.
    std::size_t usable = 0;
    for (const EqTextFilter& f : file.filters)
        usable += f.kind != EqTextKind::None && unusable(f).empty();
    const bool keepOff = usable <= static_cast<std::size_t>(kBands);
    int column = 1;
    for (const EqTextFilter& f : file.filters) {
        if (f.kind == EqTextKind::None)
            continue;
        const std::string why = unusable(f);
        if (!why.empty())
            out.notes.push_back(label(f) + ": " + why);
        else if (!f.on && !keepOff)
            out.notes.push_back(label(f) + ": left out, it is switched off and the equalizer has six bands.");
        else if (column > kBands)
            out.notes.push_back(label(f) + ": left out, the equalizer has six bands.");
        else
            placeFilter(f, column++, out);
    }
    if (file.filtersDropped > 0)
        out.notes.push_back(std::to_string(file.filtersDropped) + " more filters after the first " +
                            std::to_string(kEqTextMaxFilters) + ": left out, the equalizer has six bands.");

    if (file.hasPreamp) {
        const double tenths = std::round(file.preamp * 10);
        const int32_t limited =
            tenths > kOutputGainRange.maximum
                ? kOutputGainRange.maximum
                : (tenths < kOutputGainRange.minimum ? kOutputGainRange.minimum : static_cast<int32_t>(tenths));
        out.record.values[kOutputGainIndex] = limited;
        if (limited != tenths)
            out.notes.push_back("Preamp " + dbText(file.preamp) + " limited to " + dbText(limited / 10.0) + ".");
    }
    for (int line : file.unreadLines)
        out.notes.push_back("Line " + std::to_string(line) + ": left out, it could not be read.");
    if (file.unreadCount > static_cast<int>(file.unreadLines.size()))
        out.notes.push_back(std::to_string(file.unreadCount - static_cast<int>(file.unreadLines.size())) +
                            " more lines that could not be read: left out.");

    out.usable = column > 1 || file.hasPreamp;
    if (!out.usable) {
        out.refusal = file.filters.empty() && file.unreadCount == 0
                          ? "The file holds no parametric EQ settings: no \"Preamp:\" or \"Filter:\" line."
                          : "None of the file's settings can be used by the equalizer.";
    }
    return out;
}

EqImport importEqTextBytes(const char* data, std::size_t size) { return importEqText(parseEqText(data, size)); }

std::string eqPresetName(const std::string& path)
{
    std::size_t start = path.find_last_of("/\\:");
    start = start == std::string::npos ? 0 : start + 1;
    std::string name = path.substr(start);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    // Control characters and the rubbish of a wrong encoding have no place in a menu.
    std::string clean;
    for (char c : name)
        clean += (static_cast<unsigned char>(c) < 32 || c == 127) ? ' ' : c;
    while (!clean.empty() && clean.back() == ' ')
        clean.pop_back();
    while (!clean.empty() && clean.front() == ' ')
        clean.erase(clean.begin());
    return clean.empty() ? std::string("Imported EQ") : cutText(clean);
}

}  // namespace qv
