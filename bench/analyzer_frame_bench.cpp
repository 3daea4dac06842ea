// One analyzer frame as the editor computes it 25 or more times a second: the samples of 1/25 s
// taken in through the bands' copy (six bands), the windowed transform of both channels, the band levels with rise and fall, and the
// polylines of the trace; on the editor's graph (layout::kGraph) at 100 % and at 200 %, at 44.1 and
// 96 kHz, with and without the input trace. Absolute times: the budget is 0.5 ms at 100 %.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "AnalyzerReplica.h"
#include "ScaleMath.h"
#include "editor/EditorLayout.h"
#include "FrequencyAnalyzer.h"

static void BM_AnalyzerFrame(benchmark::State& state)
{
    const qv::Scale scale =
        qv::scaleFromPercent(static_cast<unsigned long long>(state.range(0))).value_or(qv::kScale100);
    const float rate = static_cast<float>(state.range(1));
    const bool withInput = state.range(2) != 0;
    const qv::GraphAxes axes = qv::makeGraphAxes(qv::scalePx(qv::layout::kGraph.w, scale),
                                                 qv::scalePx(qv::layout::kGraph.h, scale), rate, 20, scale);
    qv::FrequencyAnalyzer an;
    an.configure(rate, axes, withInput);

    // Music-like material: a few tones over noise, one frame's worth per iteration.
    const int perFrame = static_cast<int>(rate / 25.0f);
    std::vector<float> l(static_cast<size_t>(perFrame)), r(static_cast<size_t>(perFrame));
    uint32_t seed = 1;
    for (int i = 0; i < perFrame; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        const float t = static_cast<float>(i) / rate;
        l[static_cast<size_t>(i)] =
            0.3f * std::sin(6.2831853f * 110.0f * t) + 0.1f * std::sin(6.2831853f * 2500.0f * t) + 0.05f * noise;
        r[static_cast<size_t>(i)] = 0.9f * l[static_cast<size_t>(i)] + 0.02f * noise;
    }
    std::vector<qv::GraphPoint> points;
    std::vector<int> starts;
    points.reserve(static_cast<size_t>(axes.width));
    starts.reserve(static_cast<size_t>(axes.width));
    qv::AnalyzerReplica replica;
    qv::ParameterRecord setup = qv::kDefaultParameters;
    for (int b = 1; b <= 6; ++b)
        setup.values[qv::paramIndex(qv::kRowGain, b)] = 30 * b;
    replica.follow(setup, false, rate);
    for (auto _ : state) {
        replica.run(l.data(), r.data(), static_cast<uint32_t>(perFrame), an, withInput);
        an.frame(0.04f);
        qv::analyzerPath(an.output().y, qv::graphFrame(scale), points, starts);
        if (withInput)
            qv::analyzerPath(an.input().y, qv::graphFrame(scale), points, starts);
        benchmark::DoNotOptimize(points.data());
    }
}

BENCHMARK(BM_AnalyzerFrame)
    ->ArgNames({"scale", "rate", "input"})
    ->Args({100, 44100, 0})
    ->Args({100, 44100, 1})
    ->Args({200, 44100, 0})
    ->Args({200, 44100, 1})
    ->Args({100, 96000, 1})
    ->Args({200, 192000, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
