#include "Measure.h"

#include <cmath>
#include <complex>

namespace qvresp {

qv::BandRecord designBand(int type, int freq, int qTenths, int gainTenths, double fs)
{
    qv::ParameterRecord setup{};
    setup.values[qv::paramIndex(qv::kRowEnabled, 1)] = 1;
    setup.values[qv::paramIndex(qv::kRowFilter, 1)] = type;
    setup.values[qv::paramIndex(qv::kRowFreq, 1)] = freq;
    setup.values[qv::paramIndex(qv::kRowQ, 1)] = qTenths;
    setup.values[qv::paramIndex(qv::kRowGain, 1)] = gainTenths;
    qv::BandRecord band = qv::initialBandRecord();
    qv::designColumn(setup, 1, qv::designSampleRate(static_cast<float>(fs)), band);
    return band;
}

double responseDb(const qv::BandRecord& b, double hz, double fs)
{
    const double w = 2.0 * M_PI * hz / fs;
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> num = double(b.b0) + double(b.b1) * z1 + double(b.b2) * z2;
    const std::complex<double> den = 1.0 - double(b.a1) * z1 - double(b.a2) * z2;
    return 20.0 * std::log10(std::abs(num / den));
}

SetupDesign designSetup(const qv::ParameterRecord& setup, double fs)
{
    SetupDesign d;
    const float rate = qv::designSampleRate(static_cast<float>(fs));
    qv::BandRecord output = qv::initialBandRecord();
    d.outputGain = qv::designColumn(setup, 0, rate, output).gainLinear;
    for (int c = 1; c < qv::kColumns; ++c) {
        d.bands[c - 1] = qv::initialBandRecord();
        qv::designColumn(setup, c, rate, d.bands[c - 1]);  // identity coefficients when inactive
    }
    return d;
}

double responseDb(const SetupDesign& setup, double hz, double fs)
{
    double db = 20.0 * std::log10(setup.outputGain);
    for (const qv::BandRecord& b : setup.bands)
        db += responseDb(b, hz, fs);
    return db;
}

qv::BandRecord textbookPeak(double f0, double q, double gainDb, double fs)
{
    const double A = std::pow(10.0, gainDb / 40.0);
    const double w0 = 2.0 * M_PI * f0 / fs;
    const double alpha = std::sin(w0) / (2.0 * q);
    const double k = std::cos(w0);
    const double a0 = 1.0 + alpha / A;
    qv::BandRecord r = qv::initialBandRecord();
    r.b0 = static_cast<float>((1.0 + alpha * A) / a0);
    r.b1 = static_cast<float>(-2.0 * k / a0);
    r.b2 = static_cast<float>((1.0 - alpha * A) / a0);
    r.a1 = static_cast<float>(2.0 * k / a0);
    r.a2 = static_cast<float>(-(1.0 - alpha / A) / a0);
    r.frequency = static_cast<float>(f0);
    r.gain = static_cast<float>(gainDb * 10.0);
    r.q = static_cast<float>(q * 10.0);
    return r;
}

double Width::octaves() const { return std::log2(high / low); }
double Width::q(double centre) const { return centre / (high - low); }

namespace {

// The crossing of `level` between lo (above the level side) and hi, on a log frequency scale.
double bisect(const qv::BandRecord& band, double inside, double outside, double level, double fs)
{
    const bool peakUp = responseDb(band, inside, fs) > level;
    for (int i = 0; i < 80; ++i) {
        const double mid = std::sqrt(inside * outside);
        if ((responseDb(band, mid, fs) > level) == peakUp)
            inside = mid;
        else
            outside = mid;
    }
    return std::sqrt(inside * outside);
}

}  // namespace

Width widthAt(const qv::BandRecord& band, double centre, double level, double fs)
{
    Width w;
    w.low = bisect(band, centre, 1.0, level, fs);
    w.high = bisect(band, centre, fs * 0.5 * 0.999999, level, fs);
    return w;
}

double equivalentTextbookQ(const qv::BandRecord& band, double centre, double gainDb, double fs)
{
    const double target = widthAt(band, centre, gainDb * 0.5, fs).octaves();
    // A wider peak has a smaller Q: search on log Q.
    double lo = 0.01, hi = 100.0;
    for (int i = 0; i < 80; ++i) {
        const double q = std::sqrt(lo * hi);
        const double width = widthAt(textbookPeak(centre, q, gainDb, fs), centre, gainDb * 0.5, fs).octaves();
        if (width > target)
            lo = q;
        else
            hi = q;
    }
    return std::sqrt(lo * hi);
}

}  // namespace qvresp
