// Engine throughput on a Windows build, run under Wine: the same workloads as the native benchmark,
// timed with the performance counter, each against the reference measured in the same run.
#include <windows.h>

#include <cstdio>

#include "EngineWorkload.h"

using namespace qvbench;

namespace {

template <typename Fn>
double nsPerFrame(Fn&& processBlock)
{
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    for (int i = 0; i < 200; ++i)
        processBlock();  // warm up
    double best = 1e30;
    for (int round = 0; round < 5; ++round) {
        const int blocks = 4000;
        QueryPerformanceCounter(&t0);
        for (int i = 0; i < blocks; ++i)
            processBlock();
        QueryPerformanceCounter(&t1);
        const double ns = double(t1.QuadPart - t0.QuadPart) * 1e9 / double(freq.QuadPart) / (double(blocks) * kBlock);
        if (ns < best)
            best = ns;
    }
    return best;
}

}  // namespace

int main()
{
    std::printf("%-8s %14s %12s %14s %12s %8s\n", "bands", "engine fr/s", "ns/frame", "reference fr/s", "ns/frame",
                "ratio");
    for (int bands : {0, 1, 6}) {
        qv::EqualizerEngine e;
        configure(e, bands);
        ReferenceCascade ref(bands);
        StereoBlock b;
        const double engine = nsPerFrame([&] { e.processReplacing(b.in, b.out, kBlock); });
        const double reference = nsPerFrame([&] { ref.process(b.in, b.out, kBlock); });
        std::printf("%-8d %14.0f %12.2f %14.0f %12.2f %8.2f\n", bands, 1e9 / engine, engine, 1e9 / reference, reference,
                    engine / reference);
    }
    return 0;
}
