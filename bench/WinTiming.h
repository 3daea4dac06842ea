#pragma once
// Timing for the Windows benchmarks.
#include <windows.h>

#include <cstdint>

inline double benchNow()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// This thread's processor time in seconds: on a machine busy with other work, the time the calls
// themselves took, where the clock on the wall also counts the others' turns.
inline double threadTime()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>(static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

// The smallest step of threadTime() seen within a fraction of a second: the processor clock moves in
// scheduler ticks (10 to 16 ms), so a figure per call is only good to a step over the calls made.
inline double threadTimeStep()
{
    double step = 1e30, last = threadTime();
    const double until = benchNow() + 0.25;
    for (int seen = 0; seen < 4 && benchNow() < until;) {
        const double now = threadTime();
        if (now != last) {
            step = now - last < step ? now - last : step;
            last = now;
            ++seen;
        }
    }
    return step < 1e29 ? step : 0.016;
}

// Seconds per call of f: the best of ten rounds of n / 10 calls by the wall clock, after one call to
// warm up tables and off-screen bitmaps; `processor` gets the processor time per call over all rounds
// (coarse per round, but over all of them it holds on a busy machine too).
template <class F>
double perCall(int n, F f, double* processor = nullptr)
{
    f();
    const int perRound = n >= 10 ? n / 10 : 1;
    double best = 1e30;
    const double cpu0 = threadTime();
    for (int round = 0; round < 10; ++round) {
        const double t0 = benchNow();
        for (int i = 0; i < perRound; ++i)
            f();
        const double t = (benchNow() - t0) / perRound;
        best = t < best ? t : best;
    }
    if (processor)
        *processor = (threadTime() - cpu0) / (perRound * 10);
    return best;
}
