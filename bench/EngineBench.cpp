// Engine throughput on the native build (Google Benchmark): stereo 512-frame blocks with 0, 1 and 6
// active bands, beside the textbook reference cascade with as many bands; and six bands on silence
// after loud input, beside the same engine on the normal signal; and six bands feeding the
// analyzer's ring (detached, attached), beside the six bands alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "AnalyzerRing.h"
#include "EngineWorkload.h"

using namespace qvbench;

static void BM_Engine(benchmark::State& state)
{
    qv::EqualizerEngine e;
    configure(e, static_cast<int>(state.range(0)));
    StereoBlock b;
    for (auto _ : state) {
        e.processReplacing(b.in, b.out, kBlock);
        benchmark::DoNotOptimize(b.ol.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

static void BM_EngineSilence(benchmark::State& state)
{
    qv::EqualizerEngine e;
    configure(e, static_cast<int>(state.range(0)));
    StereoBlock b(0.0f);
    decayAfterLoudInput(e, b);
    for (auto _ : state) {
        e.processReplacing(b.in, b.out, kBlock);
        benchmark::DoNotOptimize(b.ol.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

static void BM_Reference(benchmark::State& state)
{
    ReferenceCascade ref(static_cast<int>(state.range(0)));
    StereoBlock b;
    for (auto _ : state) {
        ref.process(b.in, b.out, kBlock);
        benchmark::DoNotOptimize(b.ol.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

static void BM_EngineAnalyzer(benchmark::State& state)
{
    qv::EqualizerEngine e;
    configure(e, 6);
    qv::AnalyzerRing ring;
    if (state.range(0) > 0)
        ring.attach();
    StereoBlock b;
    int blocks = 0;
    for (auto _ : state) {
        feedAnalyzerBlock(e, ring, b, blocks++);
        benchmark::DoNotOptimize(b.ol.data());
    }
    if (ring.dropped() != 0)
        state.SkipWithError("the ring dropped blocks");
    state.SetItemsProcessed(state.iterations() * kBlock);
}

// The same cost as one ratio that holds on a machine whose speed drifts during the run: rounds of 32
// blocks without the ring and 32 with it (detached or attached), timed alternately; the counter is
// the median of the rounds' ratios.
static void BM_AnalyzerCost(benchmark::State& state)
{
    qv::EqualizerEngine plain, fed;
    configure(plain, 6);
    configure(fed, 6);
    qv::AnalyzerRing ring;
    if (state.range(0) > 0)
        ring.attach();
    StereoBlock b;
    std::vector<double> ratios;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < 32; ++i) {
            plain.processReplacing(b.in, b.out, kBlock);
            benchmark::DoNotOptimize(b.ol.data());
        }
        const auto t1 = Clock::now();
        for (int i = 0; i < 32; ++i) {
            feedAnalyzerBlock(fed, ring, b, i);
            benchmark::DoNotOptimize(b.ol.data());
        }
        const auto t2 = Clock::now();
        ratios.push_back(std::chrono::duration<double>(t2 - t1).count() / std::chrono::duration<double>(t1 - t0).count());
    }
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    state.counters["ratio"] = ratios.empty() ? 0.0 : ratios[ratios.size() / 2];
    state.SetItemsProcessed(state.iterations() * 64 * kBlock);
}

BENCHMARK(BM_Engine)->Arg(0)->Arg(1)->Arg(6);
BENCHMARK(BM_EngineAnalyzer)->ArgName("ring")->Arg(0)->Arg(1);
BENCHMARK(BM_AnalyzerCost)->ArgName("ring")->Arg(0)->Arg(1);
BENCHMARK(BM_EngineSilence)->Arg(6);
BENCHMARK(BM_Reference)->Arg(0)->Arg(1)->Arg(6);
BENCHMARK_MAIN();
