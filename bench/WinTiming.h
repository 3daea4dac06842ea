#pragma once
// Wall-clock timing for the Windows benchmarks.
#include <windows.h>

inline double benchNow()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Seconds per call of f over n calls, after one call to warm up tables and off-screen bitmaps.
template <class F>
double perCall(int n, F f)
{
    f();
    const double t0 = benchNow();
    for (int i = 0; i < n; ++i)
        f();
    return (benchNow() - t0) / n;
}
