#pragma once
// The benchmarks' clock and the one way they report repeated timings.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

inline double NowSeconds()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

inline double NowMs()
{
    return NowSeconds() * 1000.0;
}

// Runs op `repeat` times per run, `runs` times, and prints the best and the median time per operation.
inline void MeasureBestMedian(const char* name, int runs, int repeat, const std::function<void()>& op)
{
    std::vector<double> perOp;
    for (int run = 0; run < runs; ++run)
    {
        const double start = NowMs();
        for (int i = 0; i < repeat; ++i)
            op();
        GdiFlush();  // queued GDI work belongs to the operation that queued it
        perOp.push_back((NowMs() - start) / repeat);
    }
    std::sort(perOp.begin(), perOp.end());
    std::printf("%-34s best %9.4f ms  median %9.4f ms\n", name, perOp.front(), perOp[perOp.size() / 2]);
}
