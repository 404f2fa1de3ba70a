// Timing shared by the benchmark programs: a high-resolution clock and a
// repeat-until-stable loop.
#pragma once

#include <windows.h>

namespace bench {

// Seconds since construction, from the performance counter.
class Clock {
public:
    Clock()
    {
        QueryPerformanceFrequency(&m_frequency);
        QueryPerformanceCounter(&m_start);
    }
    double Seconds() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_start;
};

// Repeats `run` until it has run at least `minRuns` times and for at least
// `minSeconds`, so short operations are timed over many runs; returns the
// mean seconds per run and stores the number of runs in `runs` when given.
template <typename Run>
double SecondsPerRun(Run run, double minSeconds, int minRuns, int* runs = nullptr)
{
    Clock clock;
    int count = 0;
    do {
        run();
        ++count;
    } while (count < minRuns || clock.Seconds() < minSeconds);
    if (runs != nullptr)
        *runs = count;
    return clock.Seconds() / count;
}

} // namespace bench
