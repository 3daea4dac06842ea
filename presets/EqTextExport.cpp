#include "EqTextExport.h"

#include <cmath>

#include "EqFit.h"
#include "EqText.h"
#include "DataText.h"
#include "EqTextImport.h"

namespace qv {
namespace {

const char* const kCodes[] = {"PK", "LSC", "HSC", "LPQ", "HPQ"};
const char* const kTypeNames[] = {"Peak/Dip", "LowShelf", "HighShelf", "Lowpass", "Highpass"};

EqTextKind kindOf(int32_t type)
{
    switch (type) {
    case kLowShelf:
        return EqTextKind::LowShelf;
    case kHighShelf:
        return EqTextKind::HighShelf;
    case kLowpass:
        return EqTextKind::LowPass;
    case kHighpass:
        return EqTextKind::HighPass;
    default:
        return EqTextKind::Peak;
    }
}

TextbookFilter textbookFor(const BandSetting& b, double q)
{
    TextbookFilter t;
    t.kind = kindOf(b.type);
    t.frequency = b.frequency;
    t.gain = (b.type == kLowpass || b.type == kHighpass) ? 0 : b.gain / 10.0;
    t.q = q;
    return t;
}

// The textbook Q whose filter is closest to the band over both rates. The band's width depends on
// the rate where the textbook filter's does not, so between the two rates' exact values lies the
// best compromise; a golden-section search finds it.
double bestTextbookQ(const BandSetting& b, double exact[2])
{
    if (b.type == kLowShelf || b.type == kHighShelf) {
        exact[0] = exact[1] = shelfQFromSlope(b.q / 10.0, b.gain / 10.0);
        return exact[0];
    }
    for (int r = 0; r < 2; ++r)
        exact[r] = b.q / 10.0 / bandQForTextbookQ(1.0, b.frequency, kEqFitRates[r]);
    double lo = std::log(std::fmin(exact[0], exact[1])), hi = std::log(std::fmax(exact[0], exact[1]));
    if (hi - lo < 1e-6)
        return exact[0];
    const double golden = 0.6180339887498949;
    auto cost = [&](double logQ) { return worstDeviation(textbookFor(b, std::exp(logQ)), b); };
    double x1 = hi - golden * (hi - lo), x2 = lo + golden * (hi - lo);
    double c1 = cost(x1), c2 = cost(x2);
    for (int i = 0; i < 24; ++i) {
        if (c1 < c2)
            hi = x2, x2 = x1, c2 = c1, x1 = hi - golden * (hi - lo), c1 = cost(x1);
        else
            lo = x1, x1 = x2, c1 = c2, x2 = lo + golden * (hi - lo), c2 = cost(x2);
    }
    return std::exp((lo + hi) / 2);
}

double roundTo(double v, int places) { return std::round(v * std::pow(10.0, places)) / std::pow(10.0, places); }

struct WrittenQ {
    double value;
    std::string text;
};

// The Q as written: the fewest decimals (from 2) whose value reads back as the same band.
WrittenQ writtenQ(const BandSetting& b)
{
    double exact[2];
    const double best = bestTextbookQ(b, exact);
    for (int places = 2; places <= 5; ++places)
        for (double q : {best, exact[0], exact[1]}) {
            const double written = roundTo(q, places);
            if (written > 0 && fitBand(textbookFor(b, written)).band == b)
                return {written, formatDecimal(written, places)};
        }
    return {best, formatDecimal(best, 5)};
}

}  // namespace

EqExport exportEqText(const ParameterRecord& settings)
{
    ParameterRecord r = settings;
    clampRecord(r, kDefaultFreqLimit);
    EqExport out;
    // Other programs pass over the comment; this one reads back the exact settings from it.
    char data[1024];
    formatDataText(r, data, sizeof data);
    out.text = std::string(kEqTextDataComment) + " " + data + "\r\n";
    out.text += "Preamp: " + formatDecimal(r.values[kOutputGainIndex] / 10.0, 1) + " dB\r\n";
    for (int column = 1; column <= 6; ++column) {
        const BandSetting b{r.values[paramIndex(kRowFilter, column)], r.values[paramIndex(kRowFreq, column)],
                            r.values[paramIndex(kRowQ, column)], r.values[paramIndex(kRowGain, column)]};
        const bool on = r.values[paramIndex(kRowEnabled, column)] != 0;
        const bool pass = b.type == kLowpass || b.type == kHighpass;
        const WrittenQ q = writtenQ(b);
        std::string line = "Filter " + std::to_string(column) + ": " + (on ? "ON " : "OFF ") + kCodes[b.type] + " Fc " +
                           std::to_string(b.frequency) + " Hz";
        if (!pass)
            line += " Gain " + formatDecimal(b.gain / 10.0, 1) + " dB";
        out.text += line + " Q " + q.text + "\r\n";

        const double worst = worstDeviation(textbookFor(b, q.value), b);
        if (worst > kEqNoteThresholdDb) {
            std::string what = "Band " + std::to_string(column) + " (" + kTypeNames[b.type] + " " +
                               std::to_string(b.frequency) + " Hz";
            if (!pass)
                what += ", " + formatDecimal(b.gain / 10.0, 1) + " dB";
            out.notes.push_back(what + ", Q " + formatDecimal(b.q / 10.0, 1) +
                                "): the file's filter differs from the band by up to " + formatDecimal(worst, 1) +
                                " dB.");
        }
    }
    return out;
}

}  // namespace qv
