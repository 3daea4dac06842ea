#pragma once
// Responses of single bands for the manual: the engine's own design, evaluated and measured in double
// precision, beside a textbook peaking filter for comparison.

#include "BandDesign.h"
#include "ParameterModel.h"

namespace qvresp {

constexpr double kSampleRate = 44100.0;

// One band as the engine designs it: type code, frequency in Hz, Q and gain in tenths.
qv::BandRecord designBand(int type, int freq, int qTenths, int gainTenths, double fs = kSampleRate);

// Magnitude in dB of a designed band at hz.
double responseDb(const qv::BandRecord& band, double hz, double fs = kSampleRate);

// A whole setup as the engine designs it: bands 1 to 6 in turn, then the output gain.
struct SetupDesign {
    qv::BandRecord bands[qv::kColumns - 1];
    double outputGain = 1.0;  // linear
};
SetupDesign designSetup(const qv::ParameterRecord& setup, double fs = kSampleRate);

// Magnitude in dB of a whole setup at hz: what a steady sine tone at hz gains or loses through it.
double responseDb(const SetupDesign& setup, double hz, double fs = kSampleRate);

// The textbook peaking filter (alpha = sin w0 / 2Q), designed in double precision.
qv::BandRecord textbookPeak(double f0, double q, double gainDb, double fs = kSampleRate);

struct Width {
    double low = 0, high = 0;  // Hz where the response crosses the level
    double octaves() const;
    double q(double centre) const;  // centre / (high - low)
};

// The two frequencies around `centre` where a peak's response falls to `level` dB; found by bisection
// on the response itself, so it does not depend on any formula for Q.
Width widthAt(const qv::BandRecord& band, double centre, double level, double fs = kSampleRate);

// The textbook Q whose peak has the same width at half its gain as `band` (a peak of gainDb at
// centre): the measured meaning of this equalizer's Q.
double equivalentTextbookQ(const qv::BandRecord& band, double centre, double gainDb, double fs = kSampleRate);

}  // namespace qvresp
