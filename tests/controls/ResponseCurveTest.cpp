// The graph's curve as computed for drawing against its plain definition: per point and band the
// float response, its logarithm as the double-precision log10 rounded to float, summed in band
// order; per column the largest of four points. Same pixels, not merely close ones.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "GraphMath.h"
#include "Log10.h"

using namespace qv;

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::vector<int> definitionCurve(const GraphAxes& a, const FrequencyTables& t, const BandRecord* bands, int count)
{
    std::vector<int> ys;
    const int n = static_cast<int>(t.cos1.size());
    float keeper = 0.0f;
    for (int i = 0; i <= n - 2; ++i) {
        float s = 0.0f;
        for (int b = 0; b < count; ++b) {
            const BandRecord& r = bands[b];
            const float nr = r.b0 + r.b1 * t.cos1[i] + r.b2 * t.cos2[i];
            const float ni = r.b1 * t.sin1[i] + r.b2 * t.sin2[i];
            const float dr = 1.0f - r.a1 * t.cos1[i] - r.a2 * t.cos2[i];
            const float di = -r.a1 * t.sin1[i] - r.a2 * t.sin2[i];
            s += static_cast<float>(std::log10(static_cast<double>((nr * nr + ni * ni) / (dr * dr + di * di))));
        }
        if (i % 4 == 0)
            keeper = 0.0f;
        if (std::fabs(s) > std::fabs(keeper))
            keeper = s;
        if (i % 4 == 3) {
            const double v = static_cast<double>(a.half) * keeper * 10.0f / a.range;
            ys.push_back(a.centre - (v != v ? 0 : v > 1e6 ? 1000000 : v < -1e6 ? -1000000 : static_cast<int>(v)));
        }
    }
    return ys;
}

}  // namespace

TEST(Log10Rounded, IsTheDoubleLogarithmRoundedToFloat)
{
    // Every 4099th float from the smallest subnormal up to infinity, and the neighbours of 1.
    std::vector<float> xs = {0.0f, 1.0f, 0.75f, 1.5f, 2.0f, 0.5f, INFINITY, NAN};
    for (uint32_t bits = 1; bits < 0x7F800000u; bits += 4099) {
        float x;
        std::memcpy(&x, &bits, sizeof x);
        xs.push_back(x);
    }
    float above = 1.0f, below = 1.0f;
    for (int i = 0; i < 50000; ++i) {
        above = std::nextafter(above, 2.0f);
        below = std::nextafter(below, 0.0f);
        xs.push_back(above);
        xs.push_back(below);
    }
    xs.resize(xs.size() / 4 * 4);
    size_t wrong = 0;
    for (size_t i = 0; i < xs.size(); i += 4) {
        // Four at once, each lane as the single one; groups with and without special values.
        float four[4];
        _mm_storeu_ps(four, log10Rounded(_mm_loadu_ps(&xs[i])));
        for (size_t j = 0; j < 4; ++j) {
            const float x = xs[i + j];
            const float want = static_cast<float>(std::log10(static_cast<double>(x)));
            const float got[2] = {log10Rounded(x), four[j]};
            for (float g : got) {
                if (!sameBits(g, want) && !(std::isnan(want) && std::isnan(g)) && wrong++ < 5)
                    ADD_FAILURE() << "log10 of " << x << ": " << g << ", want " << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(GraphCurve, DrawsThePixelsOfTheDefinition)
{
    // Random biquads (stable or not, notches and all), some records left neutral, at two sizes.
    uint32_t seed = 12345;
    auto uniform = [&](float lo, float hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + (hi - lo) * static_cast<float>(seed >> 8) / 16777216.0f;
    };
    for (int round = 0; round < 200; ++round) {
        const int width = round % 2 ? 471 : 300;
        const float rate = round % 3 ? 44100.0f : 96000.0f;
        const GraphAxes a = makeGraphAxes(width, 140, rate, round % 4 ? 20 : 6);
        const FrequencyTables t = makeFrequencyTables(a, rate);
        std::vector<BandRecord> bands(6);
        for (BandRecord& r : bands) {
            r = BandRecord{1, 0, 0, 0, 0, 1000, 0, 1, 0, 0, 10, 0};
            if (uniform(0, 1) < 0.25f)
                continue;
            // Each coefficient random or left at its identity value.
            r.b0 = uniform(0, 1) < 0.8f ? uniform(-2, 2) : 1.0f;
            r.b1 = uniform(0, 1) < 0.8f ? uniform(-2, 2) : 0.0f;
            r.b2 = uniform(0, 1) < 0.8f ? uniform(-1, 1) : 0.0f;
            r.a1 = uniform(0, 1) < 0.8f ? uniform(-2, 2) : 0.0f;
            r.a2 = uniform(0, 1) < 0.8f ? uniform(-1, 1) : 0.0f;
        }
        if (round == 7)
            bands[2] = BandRecord{0, 0, 0, 0, 0, 1000, 0, 1, 0, 0, 10, 0};  // a response of exactly 0
        EXPECT_EQ(responseCurve(a, t, bands.data(), 6), definitionCurve(a, t, bands.data(), 6)) << "round " << round;
    }
}
