#pragma once
// Matching one band of this equalizer to one textbook biquad of a parametric EQ text, and back.
// The band's response comes from the engine's own design (single precision coefficients, evaluated
// in double precision); the textbook filter's from its textbook formulas. Both are compared in dB on
// a log grid from 20 Hz to 20 kHz at 44.1 and 48 kHz, since a preset plays at either rate.

#include <cstdint>

#include "EqText.h"

namespace qv {

// A textbook filter as the text describes it.
struct TextbookFilter {
    EqTextKind kind = EqTextKind::Peak;
    double frequency = 1000;  // Hz
    double gain = 0;          // dB; passes ignore it
    double q = 0.7071;        // Q of peaks and passes; of shelves unless bySlope
    bool bySlope = false;     // shelves: q holds the slope S instead of a Q
};

// A band's stored integers: type code, whole Hz, Q in tenths, gain in tenths of a dB.
struct BandSetting {
    int32_t type = 0;
    int32_t frequency = 1000;
    int32_t q = 10;
    int32_t gain = 0;
    bool operator==(const BandSetting& o) const
    {
        return type == o.type && frequency == o.frequency && q == o.q && gain == o.gain;
    }
};

constexpr double kEqFitRates[2] = {44100.0, 48000.0};

// dB response of a textbook filter at `hz` for sample rate `fs` (double precision throughout).
double textbookDb(const TextbookFilter& f, double fs, double hz);

// dB response of a band as the engine designs it at rate `fs` (an inactive band is flat).
double bandDb(const BandSetting& band, double fs, double hz);

// The band type a textbook kind maps to, -1 for none.
int bandTypeFor(EqTextKind kind);

// The shelf slope S of a textbook shelf given by Q, at a gain in dB (the two are one family).
double shelfSlopeFromQ(double q, double gainDb);
double shelfQFromSlope(double slope, double gainDb);

// The band's Q (as a plain number, 1.0 = 10 tenths) that gives a textbook peak's or pass's
// bandwidth at one rate: the band's alpha is s/Q times a factor growing towards Nyquist.
double bandQForTextbookQ(double textbookQ, double hz, double fs);

struct BandFit {
    BandSetting band;
    double worstDb = 0;    // largest deviation on the grid from 20 Hz up, both rates
    double idealQ = 0;     // the band Q (tenths, unrounded) the match wanted before the range limit
    double idealGain = 0;  // tenths
    double idealFrequency = 0;
};

// The band on the stored integer grid that matches the textbook filter best: closed forms give the
// start, a search over neighbouring grid values the smallest worst deviation; first-order passes,
// which no band reproduces, are fitted by least squares.
BandFit fitBand(const TextbookFilter& target);

// The worst deviation between a band and a textbook filter on the grid from 20 Hz up, both rates.
double worstDeviation(const TextbookFilter& target, const BandSetting& band);

}  // namespace qv
