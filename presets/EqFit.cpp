#include "EqFit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "BandDesign.h"
#include "ParameterModel.h"

namespace qv {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLowest = 20.0, kHighest = 20000.0;
constexpr int kGridPoints = 240;  // 24 per octave
constexpr double kSignificantDb = 0.01;

struct Coefficients {
    double b0, b1, b2, a1, a2;  // normalized by a0, denominator 1 + a1 z^-1 + a2 z^-2
};

// e^-jw and e^-2jw of one grid point, computed once per grid.
struct Point {
    double c1, s1, c2, s2;
};

Point pointAt(double w) { return {std::cos(w), std::sin(w), std::cos(2 * w), std::sin(2 * w)}; }

// The power gain |H|^2; a zero on the unit circle (a deep notch of a pass filter at Nyquist) stays
// finite.
double responsePower(const Coefficients& c, const Point& p)
{
    const double c1 = p.c1, s1 = p.s1, c2 = p.c2, s2 = p.s2;
    const double nr = c.b0 + c.b1 * c1 + c.b2 * c2, ni = -(c.b1 * s1 + c.b2 * s2);
    const double dr = 1 + c.a1 * c1 + c.a2 * c2, di = -(c.a1 * s1 + c.a2 * s2);
    const double num = nr * nr + ni * ni, den = dr * dr + di * di;
    return std::max(num, 1e-30) / std::max(den, 1e-30);
}

double responseDb(const Coefficients& c, const Point& p) { return 10.0 * std::log10(responsePower(c, p)); }

Coefficients normalize(double b0, double b1, double b2, double a0, double a1, double a2)
{
    return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

Coefficients textbookCoefficients(const TextbookFilter& f, double fs)
{
    const double w0 = 2 * kPi * std::min(f.frequency, fs * 0.5 - 1) / fs;
    const double cw = std::cos(w0), sw = std::sin(w0);
    const double A = std::pow(10.0, f.gain / 40.0);
    const double q = f.q > 1e-3 ? f.q : 1e-3;
    switch (f.kind) {
    case EqTextKind::Peak: {
        const double alpha = sw / (2 * q);
        return normalize(1 + alpha * A, -2 * cw, 1 - alpha * A, 1 + alpha / A, -2 * cw, 1 - alpha / A);
    }
    case EqTextKind::LowShelf:
    case EqTextKind::HighShelf: {
        const double alpha =
            f.bySlope ? sw / 2 * std::sqrt(std::max(0.0, (A + 1 / A) * (1 / q - 1) + 2)) : sw / (2 * q);
        const double t = 2 * std::sqrt(A) * alpha;
        if (f.kind == EqTextKind::LowShelf)
            return normalize(A * ((A + 1) - (A - 1) * cw + t), 2 * A * ((A - 1) - (A + 1) * cw),
                             A * ((A + 1) - (A - 1) * cw - t), (A + 1) + (A - 1) * cw + t,
                             -2 * ((A - 1) + (A + 1) * cw), (A + 1) + (A - 1) * cw - t);
        return normalize(A * ((A + 1) + (A - 1) * cw + t), -2 * A * ((A - 1) + (A + 1) * cw),
                         A * ((A + 1) + (A - 1) * cw - t), (A + 1) - (A - 1) * cw + t, 2 * ((A - 1) - (A + 1) * cw),
                         (A + 1) - (A - 1) * cw - t);
    }
    case EqTextKind::LowPass:
    case EqTextKind::HighPass: {
        const double alpha = sw / (2 * q);
        const double b = f.kind == EqTextKind::LowPass ? 1 - cw : 1 + cw;
        const double sign = f.kind == EqTextKind::LowPass ? 1 : -1;
        return normalize(b / 2, sign * b, b / 2, 1 + alpha, -2 * cw, 1 - alpha);
    }
    case EqTextKind::LowPass1:
    case EqTextKind::HighPass1: {
        // The bilinear transform of a first-order section, its corner pre-warped.
        const double k = std::tan(w0 / 2);
        if (f.kind == EqTextKind::LowPass1)
            return normalize(k, k, 0, k + 1, k - 1, 0);
        return normalize(1, -1, 0, k + 1, k - 1, 0);
    }
    default:
        return {1, 0, 0, 0, 0};
    }
}

Coefficients bandCoefficients(const BandSetting& b, double fs)
{
    ParameterRecord record = kDefaultParameters;
    record.values[paramIndex(kRowEnabled, 1)] = 1;
    record.values[paramIndex(kRowFilter, 1)] = b.type;
    record.values[paramIndex(kRowFreq, 1)] = b.frequency;
    record.values[paramIndex(kRowQ, 1)] = b.q;
    record.values[paramIndex(kRowGain, 1)] = b.gain;
    BandRecord band = initialBandRecord();
    designColumn(record, 1, designSampleRate(static_cast<float>(fs)), band);
    return {band.b0, band.b1, band.b2, -static_cast<double>(band.a1), -static_cast<double>(band.a2)};
}

// The grid for one target: the log grid plus a fine one around its frequency, where a narrow peak
// would slip between the log grid's points.
struct Grid {
    std::vector<Point> w[2];        // per rate
    std::vector<double> target[2];  // the textbook filter's dB
    std::vector<double> power[2];   // and its power gain
    std::size_t firstAudible = 0;   // points below 20 Hz guide the fit but are not reported
};

Grid makeGrid(const TextbookFilter& f)
{
    // A filter below 40 Hz is judged down to an octave below it (10 Hz at the least), or its shape
    // would hardly be seen.
    const double lowest = std::min(kLowest, std::max(10.0, f.frequency / 2));
    std::vector<double> hz;
    for (int i = 0; i < kGridPoints; ++i)
        hz.push_back(lowest * std::pow(kHighest / lowest, i / double(kGridPoints - 1)));
    for (int j = -32; j <= 32; ++j) {
        const double near = f.frequency * std::pow(2.0, j / 128.0);
        if (near >= lowest && near <= kHighest)
            hz.push_back(near);
    }
    Grid g;
    std::sort(hz.begin(), hz.end());
    g.firstAudible = static_cast<std::size_t>(std::lower_bound(hz.begin(), hz.end(), kLowest * 0.999) - hz.begin());
    for (int r = 0; r < 2; ++r) {
        const Coefficients c = textbookCoefficients(f, kEqFitRates[r]);
        for (double h : hz) {
            const Point p = pointAt(2 * kPi * h / kEqFitRates[r]);
            g.w[r].push_back(p);
            g.power[r].push_back(responsePower(c, p));
            g.target[r].push_back(10.0 * std::log10(g.power[r].back()));
        }
    }
    return g;
}

struct Cost {
    double worst = 1e30;
    double squares = 1e30;
    double audible = 1e30;  // the worst from 20 Hz up, what the user is told
};

Cost cost(const Grid& g, const BandSetting& b)
{
    Cost c{0, 0, 0};
    for (int r = 0; r < 2; ++r) {
        const Coefficients k = bandCoefficients(b, kEqFitRates[r]);
        for (std::size_t i = 0; i < g.w[r].size(); ++i) {
            const double d = responseDb(k, g.w[r][i]) - g.target[r][i];
            c.worst = std::max(c.worst, std::fabs(d));
            c.squares += d * d;
            if (i >= g.firstAudible)
                c.audible = std::max(c.audible, std::fabs(d));
        }
    }
    return c;
}

// Whether the band stays within `limit` dB of the target everywhere from 20 Hz up, compared as
// power ratios (no logarithm); stops at the first point past it, which for most of the bands a
// scan tries comes early.
bool audibleWithin(const Grid& g, const BandSetting& b, double limit)
{
    const double high = std::pow(10.0, limit / 10.0), low = 1.0 / high;
    for (int r = 0; r < 2; ++r) {
        const Coefficients k = bandCoefficients(b, kEqFitRates[r]);
        for (std::size_t i = g.firstAudible; i < g.w[r].size(); ++i) {
            const double ratio = responsePower(k, g.w[r][i]) / g.power[r][i];
            if (!(ratio < high && ratio > low))
                return false;
        }
    }
    return true;
}

int32_t clampInt(double v, int32_t lo, int32_t hi)
{
    if (!(v > lo))
        return lo;
    if (!(v < hi))
        return hi;
    return static_cast<int32_t>(std::lround(v));
}

bool better(const Cost& a, const Cost& b, bool leastSquares)
{
    // Only a clear gain moves the match off the values the file states (or the closed form made of
    // them): the single-precision design's noise must not decide, and a text written from a band
    // then reads back as that very band.
    if (leastSquares)
        return a.squares < b.squares * 0.999 - 1e-9;
    return a.worst < b.worst - kSignificantDb || (a.worst < b.worst + 1e-9 && a.squares < b.squares * 0.9);
}

// The band with each value inside the range it may be stored with.
BandSetting clampToRanges(BandSetting b)
{
    const ValueRange qr = qRange(b.type);
    b.frequency = std::clamp<int32_t>(b.frequency, 10, kDefaultFreqLimit);
    b.q = std::clamp(b.q, qr.minimum, qr.maximum);
    b.gain = std::clamp(b.gain, kBandGainRange.minimum, kBandGainRange.maximum);
    return b;
}

// Pattern search on the integer grid: steps halve down to one, then every neighbour one step away.
BandSetting search(const Grid& g, BandSetting start, int32_t steps[3], bool fitGain, bool leastSquares)
{
    BandSetting best = clampToRanges(start);
    Cost bestCost = cost(g, best);
    for (int round = 0; round < 200; ++round) {
        bool moved = false;
        for (int d = 0; d < 3 && !moved; ++d) {
            if (steps[d] == 0 || (d == 2 && !fitGain))
                continue;
            for (int sign : {1, -1}) {
                BandSetting c = best;
                int32_t& v = d == 0 ? c.frequency : (d == 1 ? c.q : c.gain);
                v += sign * steps[d];
                c = clampToRanges(c);
                if (c == best)
                    continue;
                const Cost cc = cost(g, c);
                if (better(cc, bestCost, leastSquares)) {
                    best = c, bestCost = cc, moved = true;
                    break;
                }
            }
        }
        if (moved)
            continue;
        bool shrunk = false;
        for (int d = 0; d < 3; ++d)
            if (steps[d] > 1)
                steps[d] /= 2, shrunk = true;
        if (!shrunk)
            break;
    }
    // The grid's corners: one step in two or three values at once.
    for (bool again = true; again;) {
        again = false;
        const BandSetting centre = best;
        for (int df = -1; df <= 1; ++df)
            for (int dq = -1; dq <= 1; ++dq)
                for (int dg = fitGain ? -1 : 0; dg <= (fitGain ? 1 : 0); ++dg) {
                    BandSetting c =
                        clampToRanges({centre.type, centre.frequency + df, centre.q + dq, centre.gain + dg});
                    if (c == best)
                        continue;
                    const Cost cc = cost(g, c);
                    if (better(cc, bestCost, leastSquares))
                        best = c, bestCost = cc, again = true;
                }
    }
    return best;
}

// Every neighbour of `centre` within a tenth of its Q, one Hz and three tenths of a dB (for a band of
// Q under 1: 3 % of its frequency and 1 dB), judged from 20 Hz up as the user is told, replaces
// `best` where it comes clearly closer: a narrow low band's single-precision design answers a
// step of Q with a jump of its own (for a file's Q 10 peak at 24 Hz, band Q 19.9, 20.0, 20.1 and
// 20.2 differ from it by up to 1.0, 0.5, 0.3 and 1.1 dB), which only trying each value finds. These
// jumps are the band as it plays, so they may decide; a gain below the significant one does not
// move the answer, so that a text written from a band still reads back as that very band.
BandSetting polish(const Grid& g, BandSetting best, const BandSetting& centre, bool fitGain)
{
    double bestDb = cost(g, best).audible;
    const int32_t span = std::max<int32_t>(2, centre.q / 10);
    // A band of Q under 1 is matched by moving its frequency and gain further for each step of Q.
    const bool wide = centre.q < 10;
    const int32_t gains = fitGain ? (wide ? 10 : 3) : 0;
    const int32_t hzStep = wide ? std::max<int32_t>(1, centre.frequency / 200) : 1;
    const int32_t hzSteps = wide ? 6 : 1;
    for (int32_t df = -hzSteps; df <= hzSteps; ++df)
        for (int32_t dq = -span; dq <= span; ++dq)
            for (int32_t dg = -gains; dg <= gains; ++dg) {
                const BandSetting c{centre.type, centre.frequency + df * hzStep, centre.q + dq, centre.gain + dg};
                if (!(clampToRanges(c) == c) || c == best || !audibleWithin(g, c, bestDb - kSignificantDb))
                    continue;
                best = c;
                bestDb = cost(g, c).audible;
            }
    return best;
}

}  // namespace

double textbookDb(const TextbookFilter& f, double fs, double hz)
{
    return responseDb(textbookCoefficients(f, fs), pointAt(2 * kPi * hz / fs));
}

double bandDb(const BandSetting& band, double fs, double hz)
{
    return responseDb(bandCoefficients(band, fs), pointAt(2 * kPi * hz / fs));
}

int bandTypeFor(EqTextKind kind)
{
    switch (kind) {
    case EqTextKind::Peak:
        return kPeakDip;
    case EqTextKind::LowShelf:
        return kLowShelf;
    case EqTextKind::HighShelf:
        return kHighShelf;
    case EqTextKind::LowPass:
    case EqTextKind::LowPass1:
        return kLowpass;
    case EqTextKind::HighPass:
    case EqTextKind::HighPass1:
        return kHighpass;
    default:
        return -1;
    }
}

double shelfSlopeFromQ(double q, double gainDb)
{
    // Both shelves share one alpha: s/2 sqrt((A + 1/A)(1/S - 1) + 2) = s/(2Q).
    const double A = std::pow(10.0, gainDb / 40.0);
    return (A * A + 1) / (A / (q * q) + (A - 1) * (A - 1));
}

double shelfQFromSlope(double slope, double gainDb)
{
    const double A = std::pow(10.0, gainDb / 40.0);
    const double h = (A * A + 1) / slope - (A - 1) * (A - 1);
    return h > 0 ? std::sqrt(A / h) : 1e3;
}

double bandQForTextbookQ(double textbookQ, double hz, double fs)
{
    const double f = std::min(std::max(hz, 10.0), fs * 0.5 - 1);
    const double r = 2 * f / fs;
    return 2 * textbookQ * (0.187 * (1 + r) / (1 - r) + 0.81);
}

BandFit fitBand(const TextbookFilter& target)
{
    BandFit fit;
    const int type = bandTypeFor(target.kind);
    const bool firstOrder = target.kind == EqTextKind::LowPass1 || target.kind == EqTextKind::HighPass1;
    const bool pass = type == kLowpass || type == kHighpass;
    const Grid grid = makeGrid(target);
    fit.idealFrequency = target.frequency;
    fit.idealGain = pass ? 0 : target.gain * 10;
    const int32_t gain = pass ? 0 : clampInt(fit.idealGain, kBandGainRange.minimum, kBandGainRange.maximum);
    const int32_t freq = clampInt(target.frequency, 10, kDefaultFreqLimit);

    // Closed forms at each rate; the better of the two starts the search.
    double ideal[2];
    for (int r = 0; r < 2; ++r) {
        if (type == kLowShelf || type == kHighShelf)
            ideal[r] = 10 * (target.bySlope ? target.q : shelfSlopeFromQ(target.q, gain / 10.0));
        else
            ideal[r] = 10 * bandQForTextbookQ(firstOrder ? 0.5 : target.q, freq, kEqFitRates[r]);
    }
    fit.idealQ = (ideal[0] + ideal[1]) / 2;
    const ValueRange qr = qRange(type);
    BandSetting starts[2];
    Cost startCost[2];
    for (int r = 0; r < 2; ++r) {
        starts[r] = {type, freq, clampInt(ideal[r], qr.minimum, qr.maximum), gain};
        startCost[r] = cost(grid, starts[r]);
    }
    const BandSetting start = better(startCost[1], startCost[0], firstOrder) ? starts[1] : starts[0];
    // Wide steps first: a wide filter rounded to the Q grid is best matched by moving its
    // frequency and gain too, by more than one step.
    int32_t steps[3] = {std::max(1, freq / (firstOrder ? 8 : 32)), std::max(1, start.q / (firstOrder ? 2 : 8)), 4};
    fit.band = search(grid, start, steps, !pass, firstOrder);
    // Below 20 Hz the part the user is told of is only a skirt: the whole shape decides there.
    // Around the search's answer and around the values the file states.
    if (!firstOrder && target.frequency >= kLowest) {
        fit.band = polish(grid, fit.band, fit.band, !pass);
        fit.band = polish(grid, fit.band, start, !pass);
    }
    fit.worstDb = cost(grid, fit.band).audible;
    return fit;
}

double worstDeviation(const TextbookFilter& target, const BandSetting& band)
{
    return cost(makeGrid(target), band).audible;
}

}  // namespace qv
