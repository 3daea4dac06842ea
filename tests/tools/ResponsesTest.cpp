// The measurements behind the manual's statements about Q: checked against the textbook filter's
// known widths and the design's worked numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "Measure.h"

using namespace qvresp;

TEST(ResponseMeasure, TextbookPeakHasItsOwnWidth)
{
    // Analog prototype: 2/ln2 * asinh(1/2Q) octaves at half gain; at 1 kHz the digital peak is within 1 %.
    for (double q : {0.5, 1.0, 4.0}) {
        const qv::BandRecord b = textbookPeak(1000, q, 6.0);
        const double expected = 2.0 / std::log(2.0) * std::asinh(1.0 / (2.0 * q));
        EXPECT_NEAR(widthAt(b, 1000, 3.0).octaves(), expected, expected * 0.01) << q;
        EXPECT_NEAR(equivalentTextbookQ(b, 1000, 6.0), q, q * 1e-3) << q;
    }
    // A dip is measured the same way: the crossings lie where it is half as deep.
    const Width dip = widthAt(textbookPeak(1000, 1.0, -6.0), 1000, -3.0);
    EXPECT_NEAR(dip.octaves(), 2.0 / std::log(2.0) * std::asinh(0.5), 0.02);
    EXPECT_LT(dip.low, 1000);
    EXPECT_GT(dip.high, 1000);
}

TEST(ResponseMeasure, ThisEqualizersQIsHalfTheTextbookQ)
{
    EXPECT_NEAR(equivalentTextbookQ(designBand(qv::kPeakDip, 1000, 10, 60), 1000, 6.0), 0.49, 0.01);
    EXPECT_NEAR(equivalentTextbookQ(designBand(qv::kPeakDip, 1000, 40, 60), 1000, 6.0), 1.97, 0.03);
    // Near the top of the range the same setting is narrower still.
    EXPECT_LT(equivalentTextbookQ(designBand(qv::kPeakDip, 10000, 10, 60), 10000, 6.0), 0.45);
}

TEST(ResponseMeasure, DesignedBandsHaveTheWorkedLevels)
{
    const qv::BandRecord peak = designBand(qv::kPeakDip, 1000, 10, 60);
    EXPECT_NEAR(responseDb(peak, 1000), 6.0, 0.01);
    EXPECT_NEAR(responseDb(peak, 1.0), 0.0, 0.01);
    EXPECT_NEAR(responseDb(designBand(qv::kLowShelf, 100, 10, -60), 100), -3.0, 0.05);
    EXPECT_NEAR(responseDb(designBand(qv::kHighShelf, 10000, 10, 60), 10000), 3.0, 0.05);
    EXPECT_NEAR(responseDb(designBand(qv::kLowpass, 1000, 7, 0), 1000), -9.2, 0.1);
    EXPECT_NEAR(responseDb(designBand(qv::kHighpass, 100, 7, 0), 100), -9.1, 0.1);
}

TEST(ResponseMeasure, WholeSetupAddsItsEnabledBandsAndTheOutputGain)
{
    qv::ParameterRecord r = qv::kDefaultParameters;  // all on at 0 dB: no change anywhere
    r.values[qv::kOutputGainIndex] = -20;
    r.values[qv::paramIndex(qv::kRowFreq, 2)] = 1000;
    r.values[qv::paramIndex(qv::kRowQ, 2)] = 100;
    r.values[qv::paramIndex(qv::kRowGain, 2)] = 60;  // band 2: a narrow +6 dB at 1 kHz
    r.values[qv::paramIndex(qv::kRowEnabled, 4)] = 0;
    r.values[qv::paramIndex(qv::kRowGain, 4)] = 180;  // switched off: adds nothing
    const SetupDesign d = designSetup(r);
    EXPECT_NEAR(responseDb(d, 1000), 6.0 - 2.0, 0.01);
    EXPECT_NEAR(responseDb(d, 20), -2.0, 0.01);
    EXPECT_NEAR(responseDb(d, 20000), -2.0, 0.01);
}
