#include "Charts.h"

#include <cstdio>

#include "Measure.h"

namespace qvresp {

namespace {

const unsigned kColours[] = {0x1F5FBF, 0xD0452B, 0x2A9D4B, 0x8E44AD};
const char* const kTypeNames[] = {"Peak/Dip", "Shelving Low", "Shelving High", "Lowpass", "Highpass"};

std::string fmt(const char* f, double v)
{
    char buf[64];
    snprintf(buf, sizeof(buf), f, v);
    return buf;
}

std::string hz(int f) { return f >= 1000 ? fmt("%g kHz", f / 1000.0) : fmt("%g Hz", f); }
std::string db(int tenths) { return tenths == 0 ? "0 dB" : fmt("%+g dB", tenths / 10.0); }

Curve band(int type, int freq, int q, int gain, const std::string& label, int n)
{
    const qv::BandRecord b = designBand(type, freq, q, gain);
    return Curve{[b](double f) { return responseDb(b, f); }, label, kColours[n % 4]};
}

struct Sweep {
    int type;
    const char* what;  // "frequency", "q", "gain"
    std::vector<int> values;
    int freq, q, gain;  // the others
};

NamedChart sweep(const char* slug, const Sweep& s)
{
    NamedChart nc;
    nc.file = std::string(slug) + "-" + s.what + ".png";
    Chart& c = nc.chart;
    const bool pass = s.type == qv::kLowpass || s.type == qv::kHighpass;
    if (pass) {
        c.dbMin = -36, c.dbMax = 12, c.dbStep = 6;
    } else {
        c.dbMin = -20, c.dbMax = 20, c.dbStep = 5;
    }
    std::string fixed;
    const std::string what = s.what;
    if (what != "frequency")
        fixed += ", " + hz(s.freq);
    if (what != "q")
        fixed += ", Q " + fmt("%.1f", s.q / 10.0);
    if (what != "gain" && !pass)
        fixed += ", " + db(s.gain);
    const std::string title = what == "frequency" ? "frequency" : (what == "q" ? "Q" : "gain");
    c.title = std::string(kTypeNames[s.type]) + ": changing the " + title + fixed;
    int n = 0;
    for (int v : s.values) {
        int f = s.freq, q = s.q, g = s.gain;
        std::string label;
        if (what == "frequency")
            f = v, label = hz(v);
        else if (what == "q")
            q = v, label = "Q " + fmt("%.1f", v / 10.0);
        else
            g = v, label = db(v);
        c.curves.push_back(band(s.type, f, q, g, label, n++));
    }
    return nc;
}

// This equalizer's Q 1.0 beside the textbook Q 1.0 and Q 0.5, on a 6 dB peak: the dotted line is
// 3 dB below the top, where the width is measured.
NamedChart qMeaning()
{
    NamedChart nc;
    nc.file = "q-meaning.png";
    Chart& c = nc.chart;
    c.title = "What Q 1.0 means here: a 6 dB peak at 1 kHz";
    c.dbMin = -1, c.dbMax = 7, c.dbStep = 1;
    const qv::BandRecord ours = designBand(qv::kPeakDip, 1000, 10, 60);
    const qv::BandRecord book1 = textbookPeak(1000, 1.0, 6.0);
    const qv::BandRecord book05 = textbookPeak(1000, 0.5, 6.0);
    c.curves.push_back(Curve{[ours](double f) { return responseDb(ours, f); }, "qv:equalizer Q 1.0", kColours[0]});
    c.curves.push_back(
        Curve{[book05](double f) { return responseDb(book05, f); }, "textbook Q 0.5", kColours[1], true});
    c.curves.push_back(Curve{[book1](double f) { return responseDb(book1, f); }, "textbook Q 1.0", kColours[2], true});
    const Width w = widthAt(ours, 1000, 3.0);
    c.hasLevel = true;
    c.level = 3.0;
    c.levelLabel = "3 dB below the top";
    c.markers = {w.low, w.high};
    return nc;
}

}  // namespace

std::vector<NamedChart> manualCharts()
{
    using namespace qv;
    std::vector<NamedChart> all;
    all.push_back(qMeaning());
    all.push_back(sweep("peak", {kPeakDip, "frequency", {100, 1000, 10000}, 0, 10, 120}));
    all.push_back(sweep("peak", {kPeakDip, "q", {3, 10, 30, 100}, 1000, 0, 120}));
    all.push_back(sweep("peak", {kPeakDip, "gain", {180, 90, -90, -180}, 1000, 10, 0}));
    all.push_back(sweep("lowshelf", {kLowShelf, "frequency", {50, 200, 800}, 0, 10, 120}));
    all.push_back(sweep("lowshelf", {kLowShelf, "q", {3, 10, 20}, 200, 0, 120}));
    all.push_back(sweep("lowshelf", {kLowShelf, "gain", {180, 60, -60, -180}, 200, 10, 0}));
    all.push_back(sweep("highshelf", {kHighShelf, "frequency", {1000, 4000, 12000}, 0, 10, 120}));
    all.push_back(sweep("highshelf", {kHighShelf, "q", {3, 10, 20}, 4000, 0, 120}));
    all.push_back(sweep("highshelf", {kHighShelf, "gain", {180, 60, -60, -180}, 4000, 10, 0}));
    all.push_back(sweep("lowpass", {kLowpass, "frequency", {500, 2000, 8000}, 0, 7, 0}));
    all.push_back(sweep("lowpass", {kLowpass, "q", {3, 7, 14, 40}, 2000, 0, 0}));
    all.push_back(sweep("highpass", {kHighpass, "frequency", {50, 200, 800}, 0, 7, 0}));
    all.push_back(sweep("highpass", {kHighpass, "q", {3, 7, 14, 40}, 200, 0, 0}));
    return all;
}

}  // namespace qvresp
