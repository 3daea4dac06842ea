// Engine throughput on the native build (Google Benchmark): stereo 512-frame blocks with 0, 1 and 6
// active bands, beside the textbook reference cascade with as many bands; and six bands on silence
// after loud input, beside the same engine on the normal signal.
#include <benchmark/benchmark.h>

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

BENCHMARK(BM_Engine)->Arg(0)->Arg(1)->Arg(6);
BENCHMARK(BM_EngineSilence)->Arg(6);
BENCHMARK(BM_Reference)->Arg(0)->Arg(1)->Arg(6);
BENCHMARK_MAIN();
