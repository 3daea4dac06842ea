// Engine throughput on a Windows build, run under Wine: the same workloads as the native benchmark,
// timed with the performance counter, each against the reference measured in the same run; and the
// block feeding the analyzer's ring against the block alone.
#include <windows.h>

#include <cstdio>

#include "EngineWorkload.h"

using namespace qvbench;

namespace {

double secondsOf(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

// Nanoseconds per frame of two workloads, timed in alternating short rounds and each taken at its
// best round: on a busy machine both then see the same disturbances, and the ratio holds.
template <typename A, typename B>
void nsPerFrame(A&& first, B&& second, double& nsFirst, double& nsSecond)
{
    for (int i = 0; i < 200; ++i) {
        first();  // warm up
        second();
    }
    nsFirst = nsSecond = 1e30;
    const int blocks = 400;
    for (int round = 0; round < 40; ++round) {
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        for (int i = 0; i < blocks; ++i)
            first();
        QueryPerformanceCounter(&t1);
        for (int i = 0; i < blocks; ++i)
            second();
        QueryPerformanceCounter(&t2);
        const double a = secondsOf(t0, t1) * 1e9 / (double(blocks) * kBlock);
        const double b = secondsOf(t1, t2) * 1e9 / (double(blocks) * kBlock);
        nsFirst = a < nsFirst ? a : nsFirst;
        nsSecond = b < nsSecond ? b : nsSecond;
    }
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
        double engine, reference;
        nsPerFrame([&] { e.processReplacing(b.in, b.out, kBlock); }, [&] { ref.process(b.in, b.out, kBlock); }, engine,
                   reference);
        std::printf("%-8d %14.0f %12.2f %14.0f %12.2f %8.2f\n", bands, 1e9 / engine, engine, 1e9 / reference, reference,
                    engine / reference);
    }
    // Silence after loud input against the same engine on the normal signal.
    qv::EqualizerEngine e, silent;
    configure(e, 6);
    configure(silent, 6);
    StereoBlock b, quiet(0.0f);
    decayAfterLoudInput(silent, quiet);
    double normal, decayed;
    nsPerFrame([&] { e.processReplacing(b.in, b.out, kBlock); },
               [&] { silent.processReplacing(quiet.in, quiet.out, kBlock); }, normal, decayed);
    std::printf("%-8s %14.0f %12.2f %14s %12.2f %8.2f\n", "6 silent", 1e9 / decayed, decayed, "(6 bands)", normal,
                decayed / normal);
    // Six bands handing their input to an attached analyzer ring, against six bands alone.
    qv::EqualizerEngine fed;
    configure(fed, 6);
    qv::AnalyzerRing ring;
    ring.attach();
    int blocks = 0;
    double plain, feeding;
    nsPerFrame([&] { e.processReplacing(b.in, b.out, kBlock); }, [&] { feedAnalyzerBlock(fed, ring, b, blocks++); },
               plain, feeding);
    std::printf("%-8s %14.0f %12.2f %14s %12.2f %8.3f\n", "6 fed", 1e9 / feeding, feeding, "(6 bands)", plain,
                feeding / plain);
    return 0;
}
