// The graph's read-outs: what a point of the axes reads (against the editor's worked axis values),
// the texts, and a box kept inside the graph beside a handle at each edge.
#include <gtest/gtest.h>

#include <string>

#include "GraphReadout.h"

using namespace qv;

TEST(GraphReadout, APointReadsWhatTheAxesDrawThere)
{
    // The editor's graph at 44.1 kHz: x(1000 Hz) = 268, x(16 kHz) = 448, y(+6.0 dB) = 50.
    const GraphAxes a = makeGraphAxes(471, 140, 44100.0f, 20);
    for (float f : {31.25f, 1000.0f, 16000.0f})
        EXPECT_EQ(graphX(a, graphFrequencyAt(a, graphX(a, f))), graphX(a, f)) << f;
    EXPECT_NEAR(graphFrequencyAt(a, 268), 1000.0f, 1000.0f * 0.012f);
    EXPECT_FLOAT_EQ(graphGainAt(a, a.centre), 0.0f);
    EXPECT_NEAR(graphGainAt(a, 50), 6.0f, 0.3f);
    EXPECT_EQ(graphY(a, graphGainAt(a, 131) * 10.0f), 131);

    char text[64];
    const struct {
        float hz;
        const char* shown;
    } frequencies[] = {{16.0f, "16 Hz"},      {999.4f, "999 Hz"},    {999.6f, "1.00 kHz"},
                       {1250.0f, "1.25 kHz"}, {9994.0f, "9.99 kHz"}, {12500.0f, "12.5 kHz"}};
    for (const auto& f : frequencies) {
        formatReadingFrequency(f.hz, text, sizeof text);
        EXPECT_STREQ(text, f.shown);
    }
    formatPointerReadout(a, graphX(a, 1250.0f) + 1, graphY(a, -35.0f), text, sizeof text);
    EXPECT_EQ(std::string(text).substr(0, 3), "1.2") << text;
    EXPECT_NE(std::string(text).find(" kHz, -3."), std::string::npos) << text;
    formatPointerReadout(a, 0, a.centre, text, sizeof text);
    EXPECT_STREQ(text, "16 Hz, 0.0 dB");
}

TEST(GraphReadout, ABandTellsItsFieldsValues)
{
    char text[64];
    BandRecord peak{1, 0, 0, 0, 0, 1250.9f, 45.7f, 1, 1, 0, 14.2f, 0};
    formatBandReadout(3, peak, text, sizeof text);
    EXPECT_STREQ(text, "Band 3: 1250 Hz, +4.5 dB, Q 1.4");
    peak.gain = -5.0f;
    formatBandReadout(1, peak, text, sizeof text);
    EXPECT_STREQ(text, "Band 1: 1250 Hz, -0.5 dB, Q 1.4");
    BandRecord lowpass{1, 0, 0, 0, 0, 18000.0f, 0, 1, 1, 0, 7.0f, 3};
    formatBandReadout(6, lowpass, text, sizeof text);
    EXPECT_STREQ(text, "Band 6: 18000 Hz, Q 0.7");
}

TEST(GraphReadout, TheBoxStaysInsideTheGraphBesideTheHandle)
{
    const int left = 2, top = 2, right = 469, bottom = 138, w = 120, h = 16, gap = 7;
    // Room everywhere: right of the handle and above it.
    ReadoutBox b = placeReadout(200, 80, w, h, gap, left, top, right, bottom);
    EXPECT_EQ(b.left, 207);
    EXPECT_EQ(b.top, 80 - gap - h);
    // Near the right edge it goes left of the handle; near the top, below it; never over it.
    b = placeReadout(440, 10, w, h, gap, left, top, right, bottom);
    EXPECT_EQ(b.left + w, 440 - gap);
    EXPECT_EQ(b.top, 10 + gap);
    // In every corner and beyond the axes it stays inside.
    for (int x : {left, 60, right - 1, right + 30})
        for (int y : {top, 70, bottom - 1, -40}) {
            b = placeReadout(x, y, w, h, gap, left, top, right, bottom);
            EXPECT_GE(b.left, left);
            EXPECT_LE(b.left + w, right);
            EXPECT_GE(b.top, top);
            EXPECT_LE(b.top + h, bottom);
        }
}
