#pragma once
// An independent double-precision evaluation of a biquad's magnitude response, for checking designs.

#include <cmath>
#include <complex>

#include "BandDesign.h"

inline double responseDb(const qv::BandRecord& b, double hz, double fs)
{
    const double w = 2.0 * 3.14159265358979323846 * hz / fs;
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> num = double(b.b0) + double(b.b1) * z1 + double(b.b2) * z2;
    const std::complex<double> den = 1.0 - double(b.a1) * z1 - double(b.a2) * z2;
    return 20.0 * std::log10(std::abs(num / den));
}
