#include <gtest/gtest.h>

#include <cmath>

#include "EqualizerEngine.h"
#include "ExactMath.h"
#include "Response.h"

using namespace qv;

namespace {

// Band 1 of an engine set to one filter, designed for display.
const BandRecord& designBand(EqualizerEngine& e, int type, int freq, int q, int gain)
{
    e.setValue(paramIndex(kRowEnabled, 1), 1);
    e.setValue(paramIndex(kRowFilter, 1), type);
    e.setValue(paramIndex(kRowFreq, 1), freq);
    e.setValue(paramIndex(kRowQ, 1), q);
    e.setValue(paramIndex(kRowGain, 1), gain);
    e.designCoefficients();
    return *e.bandRecord(1);
}

}  // namespace

TEST(ExactMath, AgreesWithDoublePrecisionToTheLastBit)
{
    for (float x = 0.0001f; x < 3.2f; x *= 1.37f) {
        EXPECT_EQ(exactSin(x), static_cast<float>(std::sin(static_cast<double>(x)))) << x;
        EXPECT_EQ(exactCos(x), static_cast<float>(std::cos(static_cast<double>(x)))) << x;
    }
    for (int g = -240; g <= 240; g += 7) {
        const float x = static_cast<float>(g) * 0.005f;
        EXPECT_EQ(exactPow10(x), static_cast<float>(std::pow(10.0, static_cast<double>(x)))) << g;
    }
}

TEST(Design, PeakAtOneKilohertzMatchesTheWorkedNumbers)
{
    EqualizerEngine e;
    const BandRecord& b = designBand(e, kPeakDip, 1000, 10, 60);
    EXPECT_NEAR(b.b0, 1.092128, 2e-6);
    EXPECT_NEAR(b.b1, -1.796478, 2e-6);
    EXPECT_NEAR(b.b2, 0.722740, 2e-6);
    EXPECT_NEAR(b.a1, 1.796478, 2e-6);
    EXPECT_NEAR(b.a2, -0.814868, 2e-6);
    EXPECT_NEAR(responseDb(b, 1000, 44100), 6.0, 0.01);
    EXPECT_NEAR(responseDb(b, 0, 44100), 0.0, 0.01);
    EXPECT_NEAR(responseDb(b, 22050, 44100), 0.0, 0.01);
}

TEST(Design, ShelvesAndPassFiltersHaveTheirCornerFigures)
{
    EqualizerEngine e;
    BandRecord low = designBand(e, kLowShelf, 100, 10, -60);
    EXPECT_NEAR(responseDb(low, 0, 44100), -6.0, 0.02);
    EXPECT_NEAR(responseDb(low, 100, 44100), -3.0, 0.05);
    EXPECT_NEAR(responseDb(low, 22050, 44100), 0.0, 0.02);

    BandRecord high = designBand(e, kHighShelf, 10000, 10, 60);
    EXPECT_NEAR(responseDb(high, 0, 44100), 0.0, 0.02);
    EXPECT_NEAR(responseDb(high, 10000, 44100), 3.0, 0.05);
    EXPECT_NEAR(responseDb(high, 22050, 44100), 6.0, 0.02);

    BandRecord lp = designBand(e, kLowpass, 1000, 7, 0);
    EXPECT_NEAR(responseDb(lp, 1000, 44100), -9.2, 0.1);
    EXPECT_NEAR(responseDb(lp, 0, 44100), 0.0, 0.01);

    BandRecord hp = designBand(e, kHighpass, 100, 7, 0);
    EXPECT_NEAR(responseDb(hp, 100, 44100), -9.1, 0.1);
}

TEST(Design, ClampsFrequencyAndGainButShowsTheStoredGain)
{
    EqualizerEngine e;
    EXPECT_EQ(designBand(e, kPeakDip, 22049, 10, 60).frequency, 22049.0f);
    e.setSampleRate(32000.0f);
    e.setNormalized(paramIndex(kRowFreq, 1), 1.0f);  // 22049 Hz through the host path
    e.designCoefficients();
    EXPECT_EQ(e.bandRecord(1)->frequency, 15999.0f);
    e.setNormalized(paramIndex(kRowFreq, 1), 0.0f);
    e.setNormalized(paramIndex(kRowFreq, 1), -5.0f / 22039.0f);  // 5 Hz
    e.designCoefficients();
    EXPECT_EQ(e.getValue(paramIndex(kRowFreq, 1)), 5);
    EXPECT_EQ(e.bandRecord(1)->frequency, 10.0f);

    // A stored gain of 300 is designed as 240 but shown as 300.
    EqualizerEngine a, b;
    designBand(a, kPeakDip, 1000, 10, 0);
    a.setNormalized(paramIndex(kRowGain, 1), (300.0f + 179.5f + 0.25f) / 360.0f);
    ASSERT_EQ(a.getValue(paramIndex(kRowGain, 1)), 300);
    a.designCoefficients();
    b.setValue(paramIndex(kRowGain, 0), 240);  // output column allows 240 on the integer path
    ParameterRecord r = a.workingSetup();
    r.values[paramIndex(kRowGain, 1)] = 240;
    BandRecord expected = initialBandRecord();
    designColumn(r, 1, 44100.0f, expected);
    EXPECT_EQ(a.bandRecord(1)->gain, 300.0f);
    EXPECT_EQ(a.bandRecord(1)->b0, expected.b0);
    EXPECT_EQ(a.bandRecord(1)->a2, expected.a2);
}

TEST(Design, SampleRateLimits)
{
    EXPECT_EQ(designSampleRate(500.0f), 1000.0f);
    EXPECT_EQ(designSampleRate(0.0f), 44100.0f);
    EXPECT_EQ(designSampleRate(-48000.0f), 44100.0f);
    EXPECT_EQ(designSampleRate(std::nanf("")), 44100.0f);
    EXPECT_EQ(designSampleRate(400000.0f), 200000.0f);
}

TEST(Design, InactiveColumnsAreIdentityAndGraphFieldsSurvive)
{
    EqualizerEngine e;
    BandRecord* b = e.bandRecord(2);
    b->selected = 1.0f;
    b->dragPosition = 3000.0f;
    e.designCoefficients();  // default: every band at 0 dB, so none is active
    for (int c = 0; c < kColumns; ++c) {
        const BandRecord* r = e.bandRecord(c);
        EXPECT_EQ(r->b0, 1.0f);
        EXPECT_EQ(r->b1 + r->b2 + r->a1 + r->a2, 0.0f);
    }
    EXPECT_EQ(b->selected, 1.0f);
    EXPECT_EQ(b->dragPosition, 3000.0f);
    EXPECT_EQ(e.bandRecord(5)->frequency, 4600.0f);
    EXPECT_EQ(e.bandRecord(5)->type, 2.0f);
    EXPECT_EQ(e.bandRecord(7), nullptr);

    // An enabled low-pass filters at 0 dB; a peak at 0 dB does not.
    EXPECT_NE(designBand(e, kLowpass, 1000, 7, 0).b0, 1.0f);
    EXPECT_EQ(designBand(e, kPeakDip, 1000, 7, 0).b0, 1.0f);
}

TEST(Design, HostValuesOutsideTheRangesNeverGiveNonFiniteCoefficients)
{
    for (float qx : {-1.0f, -0.001f, 0.0f, 1.0f, 5.0f, 1e9f}) {
        for (float tx : {-0.5f, 0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 1.5f, 3.0f}) {
            EqualizerEngine e;
            e.setNormalized(paramIndex(kRowFilter, 1), tx);
            e.setNormalized(paramIndex(kRowQ, 1), qx);
            e.setNormalized(paramIndex(kRowGain, 1), 0.9f);
            e.setNormalized(paramIndex(kRowFreq, 1), 2.0f);
            e.designCoefficients();
            const BandRecord& b = *e.bandRecord(1);
            for (float v : {b.b0, b.b1, b.b2, b.a1, b.a2})
                EXPECT_TRUE(std::isfinite(v)) << "q " << qx << " type " << tx;
            const int type = e.getValue(paramIndex(kRowFilter, 1));
            if (type > 4 || type < 0) {
                EXPECT_EQ(b.b0, 1.0f);  // an unknown type is inactive
            }
        }
    }
}
