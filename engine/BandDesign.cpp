#include "BandDesign.h"

#include <cmath>

#include "ExactMath.h"

namespace qv {

BandRecord initialBandRecord()
{
    BandRecord r{};
    r.b0 = 1.0f;
    r.frequency = 1000.0f;
    r.enabled = 1.0f;
    r.q = 10.0f;
    return r;
}

float designSampleRate(float sampleRate)
{
    float fs = sampleRate;
    if (!(fs > 0.0f))
        fs = 44100.0f;
    if (fs < 1000.0f)
        fs = 1000.0f;
    if (fs > 200000.0f)
        fs = 200000.0f;
    return fs;
}

bool isColumnActive(int32_t enabled, int32_t type, int32_t gain)
{
    // A type outside 0..4 can only come from a host value above 1.0; it has no filter.
    if (enabled == 0 || type < 0 || type >= kFilterTypeCount)
        return false;
    return gain != 0 || type == kLowpass || type == kHighpass;
}

ColumnDesign designColumn(const ParameterRecord& setup, int column, float fs, BandRecord& band)
{
    const int32_t enabled = setup.values[paramIndex(kRowEnabled, column)];
    const int32_t type = setup.values[paramIndex(kRowFilter, column)];
    const int32_t freq = setup.values[paramIndex(kRowFreq, column)];
    const int32_t qTenths = setup.values[paramIndex(kRowQ, column)];
    const int32_t gain = setup.values[paramIndex(kRowGain, column)];

    ColumnDesign result{isColumnActive(enabled, type, gain), 1.0f};

    const float nyquist = fs * 0.5f;
    float f = static_cast<float>(freq);
    if (f >= nyquist)
        f = nyquist - 1.0f;
    if (f < 10.0f)
        f = 10.0f;

    const int32_t g = gain < -240 ? -240 : (gain > 240 ? 240 : gain);
    const float G = exactPow10(static_cast<float>(g) * 0.005f);
    const float A = exactPow10(static_cast<float>(g) * 0.0025f);
    result.gainLinear = G;

    band.frequency = f;
    band.gain = static_cast<float>(gain);
    band.enabled = static_cast<float>(enabled);
    band.q = static_cast<float>(qTenths);
    band.type = static_cast<float>(type);

    if (column == 0 || !result.active) {
        result.active = column != 0 && result.active;
        band.b0 = 1.0f;
        band.b1 = band.b2 = band.a1 = band.a2 = 0.0f;
        return result;
    }

    // A host value below 0 can store a Q of 0 or less; the smallest Q the ranges know keeps the
    // coefficients finite.
    const float Q = static_cast<float>(qTenths < 1 ? 1 : qTenths) * 0.1f;
    const float w0 = f * 6.2831855f / fs;
    const float s = exactSin(w0);
    const float k = exactCos(w0);

    float h = (A * A + 1.0f) / Q - (A - 1.0f) * (A - 1.0f);
    if (h < 0.0f)
        h = 0.0f;
    const float beta = s * std::sqrt(h);

    const float r = 2.0f * f / fs;
    const float alpha = (0.187f * (1.0f + r) / (1.0f - r) + 0.81f) * s / Q;

    float b0, b1, b2, a0, a1, a2;
    switch (type) {
    case kPeakDip:
        b0 = 1.0f + alpha * A;
        b1 = -2.0f * k;
        b2 = 1.0f - alpha * A;
        a0 = 1.0f + alpha / A;
        a1 = -2.0f * k;
        a2 = 1.0f - alpha / A;
        break;
    case kLowShelf:
        b0 = A * ((A + 1.0f) - (A - 1.0f) * k + beta);
        b1 = 2.0f * A * ((A - 1.0f) - (A + 1.0f) * k);
        b2 = A * ((A + 1.0f) - (A - 1.0f) * k - beta);
        a0 = (A + 1.0f) + (A - 1.0f) * k + beta;
        a1 = -2.0f * ((A - 1.0f) + (A + 1.0f) * k);
        a2 = (A + 1.0f) + (A - 1.0f) * k - beta;
        break;
    case kHighShelf:
        b0 = A * ((A + 1.0f) + (A - 1.0f) * k + beta);
        b1 = -2.0f * A * ((A - 1.0f) + (A + 1.0f) * k);
        b2 = A * ((A + 1.0f) + (A - 1.0f) * k - beta);
        a0 = (A + 1.0f) - (A - 1.0f) * k + beta;
        a1 = 2.0f * ((A - 1.0f) - (A + 1.0f) * k);
        a2 = (A + 1.0f) - (A - 1.0f) * k - beta;
        break;
    case kLowpass:
        b0 = (1.0f - k) / 2.0f;
        b1 = 1.0f - k;
        b2 = (1.0f - k) / 2.0f;
        a0 = 1.0f + alpha;
        a1 = -2.0f * k;
        a2 = 1.0f - alpha;
        break;
    default:  // kHighpass
        b0 = (1.0f + k) / 2.0f;
        b1 = -(1.0f + k);
        b2 = (1.0f + k) / 2.0f;
        a0 = 1.0f + alpha;
        a1 = -2.0f * k;
        a2 = 1.0f - alpha;
        break;
    }

    band.b0 = b0 / a0;
    band.b1 = b1 / a0;
    band.b2 = b2 / a0;
    band.a1 = -a1 / a0;
    band.a2 = -a2 / a0;
    if (!(std::isfinite(band.b0) && std::isfinite(band.b1) && std::isfinite(band.b2) && std::isfinite(band.a1) &&
          std::isfinite(band.a2))) {
        result.active = false;
        band.b0 = 1.0f;
        band.b1 = band.b2 = band.a1 = band.a2 = 0.0f;
    }
    return result;
}

}  // namespace qv
