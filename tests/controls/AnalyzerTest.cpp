// The analyzer: tones at their x and level over the graph's axes at every FFT size, rate
// and scale, pink noise flat, and the trace gone after silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "AnalyzerReplica.h"
#include "AnalyzerRing.h"
#include "ScaleMath.h"
#include "FrequencyAnalyzer.h"

using namespace qv;

namespace {

const double kPi = 3.14159265358979323846;

// Feeds stereo samples from a generator, in blocks as a host would deliver them.
template <class Gen>
void feedSamples(FrequencyAnalyzer& an, Gen&& gen, int frames)
{
    std::vector<float> l(512), r(512);
    for (int done = 0; done < frames; done += 512) {
        const int n = std::min(512, frames - done);
        for (int i = 0; i < n; ++i)
            gen(l[static_cast<size_t>(i)], r[static_cast<size_t>(i)]);
        an.feed(l.data(), r.data(), nullptr, nullptr, static_cast<uint32_t>(n));
    }
}

int loudestColumn(const AnalyzerTrace& t)
{
    return static_cast<int>(std::max_element(t.db.begin(), t.db.end()) - t.db.begin());
}

}  // namespace

// A tone peaks at the column graphX gives its frequency, within a pixel, and reads its level in
// dBFS within 1 dB: the mean power of the channels, so a tone in one channel reads 3 dB lower.
TEST(FrequencyAnalyzer, TonesAtTheirPlaceAndLevel)
{
    struct Case {
        float rate;
        int width, height;
        Scale scale;
        int expectedFft;
    };
    const Case cases[] = {{44100, 471, 140, kScale100, 4096}, {48000, 471, 140, kScale100, 4096},
                          {44100, 942, 280, kScale200, 4096}, {48000, 707, 210, kScale150, 4096},
                          {96000, 471, 140, kScale100, 8192}, {192000, 942, 280, kScale200, 16384}};
    for (const Case& c : cases) {
        const GraphAxes axes = makeGraphAxes(c.width, c.height, c.rate, 20, c.scale);
        FrequencyAnalyzer an;
        an.configure(c.rate, axes, false);
        EXPECT_EQ(an.fftSize(), c.expectedFft);
        EXPECT_EQ(an.columns(), axes.width - 1);
        int worstPlace = 0;
        double worstLevel = 0.0;
        // 50 Hz to 15 kHz in steps that fall anywhere between bins and columns.
        for (double f = 50.0; f <= 15000.0; f *= 1.0373) {
            const double left = 0.5, right = (static_cast<int>(f) % 3) == 0 ? 0.0 : 0.25;
            const double expectDb = 10.0 * std::log10((left * left + right * right) / 2.0);  // 0 dBFS: amplitude 1
            double phase = 0.3;
            const double step = 2.0 * kPi * f / c.rate;
            an.reset();
            feedSamples(
                an,
                [&](float& l, float& r) {
                    l = static_cast<float>(left * std::sin(phase));
                    r = static_cast<float>(right * std::sin(phase + 1.0));
                    phase += step;
                },
                an.fftSize() + 700);
            an.frame(1.0f);  // long enough that the trace has risen all the way
            const int peak = loudestColumn(an.output());
            const int place = peak - graphX(axes, static_cast<float>(f));
            const double level = an.output().db[static_cast<size_t>(peak)] - expectDb;
            EXPECT_LE(std::abs(place), 1) << c.rate << " Hz, " << c.scale << " %, tone " << f;
            EXPECT_LE(std::abs(level), 1.0) << c.rate << " Hz, " << c.scale << " %, tone " << f;
            worstPlace = std::max(worstPlace, std::abs(place));
            worstLevel = std::max(worstLevel, std::abs(level));
        }
        RecordProperty("worst_" + std::to_string(static_cast<int>(c.rate)) + "_" + std::to_string(percentOf(c.scale)),
                       std::to_string(worstPlace) + " px, " + std::to_string(worstLevel) + " dB");
    }
}

// Pink noise (equal power per octave) reads flat where the FFT resolves a 1/3 octave, and higher,
// never lower, where it does not.
TEST(FrequencyAnalyzer, PinkNoiseReadsFlat)
{
    const float rate = 44100.0f;
    const GraphAxes axes = makeGraphAxes(471, 140, rate, 20);
    FrequencyAnalyzer an;
    an.configure(rate, axes, false);
    // Pink from white through a sum of first-order low-passes (P. Kellett's filter, within 0.05 dB of
    // -3 dB per octave from 9 Hz up at 44.1 kHz), independent channels.
    struct Pink {
        double b[7] = {};
        double next(double w)
        {
            b[0] = 0.99886 * b[0] + w * 0.0555179;
            b[1] = 0.99332 * b[1] + w * 0.0750759;
            b[2] = 0.96900 * b[2] + w * 0.1538520;
            b[3] = 0.86650 * b[3] + w * 0.3104856;
            b[4] = 0.55000 * b[4] + w * 0.5329522;
            b[5] = -0.7616 * b[5] - w * 0.0168980;
            const double p = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
            b[6] = w * 0.115926;
            return p * 0.05;
        }
    } pl, pr;
    std::mt19937 rng(7);
    std::normal_distribution<double> white(0.0, 1.0);
    auto gen = [&](float& l, float& r) {
        l = static_cast<float>(pl.next(white(rng)));
        r = static_cast<float>(pr.next(white(rng)));
    };
    feedSamples(an, gen, 44100);
    std::vector<double> mean(static_cast<size_t>(an.columns()), 0.0);
    const int frames = 300;
    for (int i = 0; i < frames; ++i) {
        feedSamples(an, gen, 1764);  // 25 frames a second
        an.frame(0.04f);
        for (size_t k = 0; k < mean.size(); ++k)
            mean[k] += std::pow(10.0, an.output().db[k] / 10.0) / frames;
    }
    auto dbAt = [&](double f) {
        return 10.0 * std::log10(mean[static_cast<size_t>(graphX(axes, static_cast<float>(f)))]);
    };
    const double reference = dbAt(1000.0);
    double lo = 1e9, hi = -1e9;
    for (double f = 100.0; f <= 15000.0; f *= 1.05) {
        lo = std::min(lo, dbAt(f) - reference);
        hi = std::max(hi, dbAt(f) - reference);
    }
    EXPECT_GT(lo, -1.0);
    EXPECT_LT(hi, 1.0);
    RecordProperty("pink_100_15k", std::to_string(lo) + " .. " + std::to_string(hi) + " dB");
    for (double f = 50.0; f < 100.0; f *= 1.05) {
        EXPECT_GT(dbAt(f) - reference, -1.0) << f;
        EXPECT_LT(dbAt(f) - reference, 4.5) << f;
    }
    RecordProperty("pink_50", std::to_string(dbAt(50.0) - reference) + " dB");
}

// Samples taken through the ring and the bands' copy as the editor takes them (the output 6 dB
// above the input): output and input each read their level. After the last samples, or when the
// samples that arrive are silent, both traces fall under the floor within about a second, and not
// at once; then the analyzer is idle, silence arriving or not.
TEST(FrequencyAnalyzer, TraceFallsAwayAfterSilence)
{
    const GraphAxes axes = makeGraphAxes(471, 140, 48000.0f, 20);
    for (bool silentSamples : {false, true}) {
        FrequencyAnalyzer an;
        an.configure(48000.0f, axes, true);
        AnalyzerRing ring;
        ring.attach();
        AnalyzerReplica replica;
        ParameterRecord setup = kDefaultParameters;
        setup.values[kOutputGainIndex] = 60;
        replica.follow(setup, false, 48000.0f);
        auto drain = [&] {
            ring.drain([&](const float* l, const float* r, uint32_t n) { replica.run(l, r, n, an, true); });
        };
        double phase = 0.0;
        std::vector<float> in(512);
        auto block = [&](float gain) {
            for (size_t i = 0; i < in.size(); ++i) {
                in[i] = gain * 0.5f * static_cast<float>(std::sin(phase));  // -6 dBFS in, full scale out
                phase += 2.0 * kPi * 997.0 / 48000.0;
            }
            ring.endBlock(ring.beginBlock(in.data(), in.data(), 512));
        };
        auto loudest = [](const AnalyzerTrace& t) { return *std::max_element(t.db.begin(), t.db.end()); };
        auto visible = [](const AnalyzerTrace& t) {
            return std::count_if(t.y.begin(), t.y.end(), [](int y) { return y != kAnalyzerNone; });
        };
        for (int frame = 0; frame < 10; ++frame) {
            for (int b = 0; b < 4; ++b)
                block(1.0f);
            drain();
            an.frame(0.04f);
        }
        EXPECT_FALSE(an.idle());
        EXPECT_NEAR(loudest(an.output()), 0.0f, 1.0f);
        EXPECT_NEAR(loudest(an.input()), -6.02f, 1.0f);
        for (int i = 1; i <= 25; ++i) {  // one second at 25 frames a second
            for (int b = 0; silentSamples && b < 4; ++b)
                block(0.0f);
            drain();
            an.frame(0.04f);
            if (i == 12) {
                EXPECT_GT(visible(an.output()), 0) << "half a second after";
            }
        }
        EXPECT_EQ(visible(an.output()), 0) << silentSamples;
        EXPECT_EQ(visible(an.input()), 0) << silentSamples;
        EXPECT_TRUE(an.idle()) << silentSamples;
    }
}

TEST(FrequencyAnalyzer, LevelScaleAndPath)
{
    for (Scale scale : {kScale100, kScale150, kScale200}) {
        const GraphAxes a = makeGraphAxes(scalePx(471, scale), scalePx(140, scale), 44100.0f, 20, scale);
        const int inner = a.bottom - 1 - a.top;
        EXPECT_EQ(analyzerY(a, 0.0f), a.top);
        EXPECT_EQ(analyzerY(a, 6.0f), a.top);
        EXPECT_EQ(analyzerY(a, -80.0f), a.bottom - 1);
        EXPECT_EQ(analyzerY(a, -80.5f), kAnalyzerNone);
        const auto marks = analyzerMarks(a);
        EXPECT_EQ(marks[0].db, -20);
        EXPECT_NEAR(marks[1].y, a.top + inner / 2.0, 0.5);
        EXPECT_NEAR(marks[2].y, a.top + inner * 0.75, 0.5);
    }
    // Runs between columns under the floor, each drawn from its own first column.
    const std::vector<int> ys{kAnalyzerNone, 50, 51, 52, 53, kAnalyzerNone, kAnalyzerNone, 40, 60, 40};
    std::vector<GraphPoint> points;
    std::vector<int> starts;
    analyzerPath(ys, 2, points, starts);
    ASSERT_EQ(starts, (std::vector<int>{0, 2}));
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[0].x, 3);
    EXPECT_EQ(points[1].x, 6);
    EXPECT_EQ(points[1].y, 53);
    EXPECT_EQ(points[2].x, 9);
    EXPECT_EQ(points[4].y, 40);
}

TEST(FrequencyAnalyzer, LevelLabelsKeepClearOfHandles)
{
    // A label 40 wide ending at 460 between rows 50 and 60; handles of radius 4, kept 2 away.
    auto end = [](std::vector<GraphPoint> handles) { return labelRightClearOf(460, 40, 50, 60, handles, 4, 2, 2); };
    EXPECT_EQ(end({}), 460);
    EXPECT_EQ(end({{440, 20}, {440, 90}}), 460);  // above and below its rows
    EXPECT_EQ(end({{450, 55}}), 444);             // under it: moved left of the handle
    // Pushed by one handle onto another, it goes past both.
    EXPECT_EQ(end({{450, 55}, {420, 58}}), 414);
    // No room left of them: it stays where it was rather than leave the graph.
    EXPECT_EQ(end({{450, 55},
                   {420, 58},
                   {380, 52},
                   {340, 56},
                   {300, 50},
                   {260, 60},
                   {220, 55},
                   {180, 55},
                   {140, 55},
                   {100, 55},
                   {60, 55},
                   {30, 55}}),
              460);
}
