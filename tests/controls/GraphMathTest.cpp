// EQ graph arithmetic: axes, the response curve against an independent double-precision biquad,
// hit testing, rubber band and the block drag limits.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GraphMath.h"

using namespace qv;

namespace {

const double kPi = 3.14159265358979323846;

BandRecord neutral(float freq = 1000, float gain = 0, float enabled = 1)
{
    return BandRecord{1, 0, 0, 0, 0, freq, gain, enabled, 0, 0, 10, 0};
}

// Peaking biquad of the usual cookbook form, computed here in double precision.
BandRecord peak(double f0, double gainDb, double q, double fs)
{
    const double A = std::pow(10.0, gainDb / 40.0), w = 2 * kPi * f0 / fs, alpha = std::sin(w) / (2 * q);
    const double a0 = 1 + alpha / A;
    BandRecord r = neutral(static_cast<float>(f0), static_cast<float>(gainDb * 10));
    r.b0 = static_cast<float>((1 + alpha * A) / a0);
    r.b1 = static_cast<float>(-2 * std::cos(w) / a0);
    r.b2 = static_cast<float>((1 - alpha * A) / a0);
    r.a1 = static_cast<float>(2 * std::cos(w) / a0);
    r.a2 = static_cast<float>(-(1 - alpha / A) / a0);
    return r;
}

GraphAxes editorAxes() { return makeGraphAxes(471, 140, 44100.0f, 20); }

}  // namespace

TEST(GraphAxes, EditorCoordinates)
{
    const GraphAxes a = editorAxes();
    EXPECT_EQ(a.width, 469);
    EXPECT_EQ(a.centre, 70);
    EXPECT_EQ(a.half, 68);
    EXPECT_EQ(graphX(a, 31.25f), 43);
    EXPECT_EQ(graphX(a, 1000.0f), 268);
    EXPECT_EQ(graphX(a, 16000.0f), 448);
    EXPECT_EQ(graphY(a, 60.0f), 50);
    EXPECT_EQ(graphY(a, -180.0f), 131);
    EXPECT_EQ(graphSampleRate(8000), 44100.0f);
    EXPECT_EQ(makeGraphAxes(471, 140, graphSampleRate(48000), 20).topFrequency, 24000.0f);
}

TEST(GraphAxes, GridLines)
{
    EXPECT_EQ(gridGains(20, 6), (std::vector<int>{-18, -12, -6, 0, 6, 12, 18}));
    std::vector<int> g40 = gridGains(40, 6);
    EXPECT_EQ(g40.front(), -36);
    EXPECT_EQ(g40.back(), 36);
    EXPECT_EQ(gridGains(5, 1).size(), 11u);
    const std::vector<float> f = gridFrequencies(44100.0f);
    ASSERT_EQ(f.size(), 11u);  // 31.25 ... 32000; the last one lies beyond the right edge
    EXPECT_EQ(f[9], 16000.0f);
}

TEST(GraphCurve, NeutralBandsDrawTheCentreLine)
{
    const GraphAxes a = editorAxes();
    const FrequencyTables t = makeFrequencyTables(a, 44100.0f);
    ASSERT_EQ(t.cos1.size(), 4u * 469);
    std::vector<BandRecord> bands(6, neutral());
    const std::vector<int> ys = responseCurve(a, t, bands.data(), 6);
    ASSERT_EQ(ys.size(), 468u);
    for (int y : ys)
        ASSERT_EQ(y, 70);
    EXPECT_EQ(responseCurve(a, t, nullptr, 0), ys);
}

TEST(GraphCurve, PeakAt1kHzMatchesAnIndependentResponse)
{
    const GraphAxes a = editorAxes();
    const FrequencyTables t = makeFrequencyTables(a, 44100.0f);
    std::vector<BandRecord> bands(6, neutral());
    bands[2] = peak(1000, 6.0, 1.0, 44100);
    const std::vector<int> ys = responseCurve(a, t, bands.data(), 6);
    size_t top = 0;
    for (size_t k = 0; k < ys.size(); ++k)
        if (ys[k] < ys[top])
            top = k;
    size_t last = top;
    while (last + 1 < ys.size() && ys[last + 1] == ys[top])
        ++last;
    EXPECT_NEAR(ys[top], 50, 1);
    EXPECT_NEAR(2 + static_cast<int>(top + last) / 2, 270, 2);  // the middle of the flat top
    // Every column against the double-precision magnitude at the column's four points.
    for (size_t k = 0; k < ys.size(); k += 37) {
        double keep = 0;
        for (int j = 0; j < 4; ++j) {
            const double f = 16.0 * std::pow(10.0, (4.0 * k + j) * a.span / a.width * 0.25);
            const double w = 2 * kPi * f / 44100;
            const BandRecord& r = bands[2];
            const double nr = r.b0 + r.b1 * std::cos(w) + r.b2 * std::cos(2 * w);
            const double ni = -r.b1 * std::sin(w) - r.b2 * std::sin(2 * w);
            const double dr = 1 - r.a1 * std::cos(w) - r.a2 * std::cos(2 * w);
            const double di = r.a1 * std::sin(w) + r.a2 * std::sin(2 * w);
            const double db = std::log10((nr * nr + ni * ni) / (dr * dr + di * di));
            if (std::fabs(db) > std::fabs(keep))
                keep = db;
        }
        EXPECT_NEAR(ys[k], 70 - std::trunc(68 * keep * 10 / 20), 1) << "column " << k;
    }
}

TEST(GraphCurve, DegenerateRecordsStayFinite)
{
    const GraphAxes a = editorAxes();
    const FrequencyTables t = makeFrequencyTables(a, 44100.0f);
    BandRecord zero = neutral();
    zero.b0 = 0;  // a response of exactly 0: log of 0
    const std::vector<int> ys = responseCurve(a, t, &zero, 1);
    for (int y : ys)
        EXPECT_GT(y, 1000);  // far below the window, clipped away, no undefined conversion
}

TEST(GraphHit, OnBandsWinAndLaterRecordsFirst)
{
    const GraphAxes a = editorAxes();
    std::vector<BandRecord> bands = {neutral(1000, 0, 0), neutral(1000, 0, 1), neutral(1000, 0, 1),
                                     neutral(100, 60, 0)};
    EXPECT_EQ(graphHitTest(a, bands.data(), 4, 268, 70), 3);
    EXPECT_EQ(graphHitTest(a, bands.data(), 4, 263, 65), 3);
    EXPECT_EQ(graphHitTest(a, bands.data(), 4, 273, 70), 0);  // x + 5 is outside
    EXPECT_EQ(graphHitTest(a, bands.data(), 4, graphX(a, 100), 50), 4);
    EXPECT_EQ(graphHitTest(a, nullptr, 4, 268, 70), 0);
}

TEST(GraphRubberBand, SelectsHandlesWithin4Pixels)
{
    const GraphAxes a = editorAxes();
    std::vector<BandRecord> bands = {neutral(1000, 0, 1), neutral(100, 0, 0), neutral(10000, 0, 1)};
    bands[2].selected = 1;
    EXPECT_TRUE(rubberBandSelect(a, bands.data(), 3, 272, 74, 200, 60));  // corner 4 px right of the handle
    EXPECT_EQ(bands[0].selected, 1.0f);
    EXPECT_EQ(bands[1].selected, 0.0f);
    EXPECT_EQ(bands[2].selected, 0.0f);
    EXPECT_FALSE(rubberBandSelect(a, bands.data(), 3, 272, 74, 200, 60));
    EXPECT_TRUE(rubberBandSelect(a, bands.data(), 3, 273, 74, 280, 60));
    EXPECT_EQ(bands[0].selected, 0.0f);
}

TEST(GraphDrag, FrequencyMovesByTheSquareOfTheMotion)
{
    std::vector<BandRecord> bands(2, neutral(1000));
    bands[0].selected = 1;
    DragLimits lim = beginDrag(bands.data(), 2, 44100.0f);
    EXPECT_EQ(lim.logFloor, 1204);
    EXPECT_EQ(lim.logCeiling, 4343);
    EXPECT_EQ(bands[1].dragPosition, 3000.0f);  // every record gets its position
    dragSelection(bands.data(), 2, lim, 3, 0, false);
    EXPECT_EQ(bands[0].dragPosition, 3009.0f);
    EXPECT_EQ(bands[0].frequency, 1020.0f);
    EXPECT_EQ(bands[1].frequency, 1000.0f);
    dragSelection(bands.data(), 2, lim, 12, 0, false);
    EXPECT_EQ(bands[0].dragPosition, 3137.0f);
    dragSelection(bands.data(), 2, lim, 100, 0, false);
    dragSelection(bands.data(), 2, lim, 100, 0, false);
    EXPECT_LE(bands[0].frequency, 22049.0f);
}

TEST(GraphDrag, SelectionMovesAsABlockWithinTheLimits)
{
    std::vector<BandRecord> bands = {neutral(20, 170), neutral(2000, -40), neutral(500, 0)};
    bands[0].selected = bands[1].selected = 1;
    DragLimits lim = beginDrag(bands.data(), 3, 44100.0f);
    dragSelection(bands.data(), 3, lim, 0, -5, false);  // up 5 tenths
    EXPECT_EQ(bands[0].gain, 175.0f);
    EXPECT_EQ(bands[1].gain, -35.0f);
    dragSelection(bands.data(), 3, lim, 0, -50, false);  // only 0.5 dB left
    EXPECT_EQ(bands[0].gain, 180.0f);
    EXPECT_EQ(bands[1].gain, -30.0f);
    EXPECT_EQ(bands[2].gain, 0.0f);
    for (int i = 0; i < 10; ++i)
        dragSelection(bands.data(), 3, lim, -12, 0, false);
    EXPECT_EQ(bands[0].dragPosition, 1204.0f);
    EXPECT_EQ(bands[0].frequency, 16.0f);
    EXPECT_EQ(bands[1].dragPosition, 3204.0f);  // two decades higher, spacing kept
    EXPECT_EQ(bands[2].frequency, 500.0f);
}

TEST(GraphDrag, ShiftChangesQWithinTheTypesLimits)
{
    std::vector<BandRecord> bands(3, neutral());
    for (auto& b : bands)
        b.selected = 1;
    bands[0].q = 999;
    bands[1].type = 1;
    bands[1].q = 19;
    bands[2].type = 3;
    bands[2].q = 180;
    DragLimits lim = beginDrag(bands.data(), 3, 44100.0f);
    dragSelection(bands.data(), 3, lim, 10, -30, true);
    EXPECT_EQ(bands[0].q, 1000.0f);
    EXPECT_EQ(bands[1].q, 20.0f);
    EXPECT_EQ(bands[2].q, 190.0f);
    EXPECT_EQ(bands[0].gain, 0.0f);
    EXPECT_EQ(bands[0].frequency, 1000.0f);
    dragSelection(bands.data(), 3, lim, -12, 0, true);
    EXPECT_EQ(bands[1].q, 3.0f);
    EXPECT_EQ(bands[2].q, 62.0f);
    EXPECT_TRUE(wheelSelection(bands.data(), 3, -2000));
    EXPECT_EQ(bands[0].q, 1.0f);
    for (auto& b : bands)
        b.selected = 0;
    EXPECT_FALSE(wheelSelection(bands.data(), 3, 5));
}
