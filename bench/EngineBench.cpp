// Engine throughput on the native build (Google Benchmark): stereo 512-frame blocks with 0, 1 and 6
// active bands, beside the textbook reference cascade with as many bands; and six bands on silence
// after loud input, beside the same engine on the normal signal; and six bands feeding the
// analyzer's ring (detached, output only, output and input), beside the six bands alone.
#include <benchmark/benchmark.h>

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

// The wrappers' call shape around processing. The editor drains about every third or fourth block
// (25 frames a second at 44.1 kHz); here every fourth, into a sink that takes nothing.
static void BM_EngineAnalyzer(benchmark::State& state)
{
    struct Discard {
        void feed(const float*, const float*, const float*, const float*, uint32_t) {}
    } sink;
    qv::EqualizerEngine e;
    configure(e, 6);
    qv::AnalyzerRing ring;
    if (state.range(0) > 0)
        ring.attach(state.range(0) == 2);
    StereoBlock b;
    int blocks = 0;
    for (auto _ : state) {
        const qv::AnalyzerRing::Block tap = ring.beginBlock(b.in[0], b.in[1], kBlock);
        e.processReplacing(b.in, b.out, kBlock);
        ring.endBlock(tap, b.out[0], b.out[1]);
        if (++blocks % 4 == 0)
            ring.drain(sink);
        benchmark::DoNotOptimize(b.ol.data());
    }
    if (ring.dropped() != 0)
        state.SkipWithError("the ring dropped blocks");
    state.SetItemsProcessed(state.iterations() * kBlock);
}

BENCHMARK(BM_Engine)->Arg(0)->Arg(1)->Arg(6);
BENCHMARK(BM_EngineAnalyzer)->ArgName("ring")->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_EngineSilence)->Arg(6);
BENCHMARK(BM_Reference)->Arg(0)->Arg(1)->Arg(6);
BENCHMARK_MAIN();
