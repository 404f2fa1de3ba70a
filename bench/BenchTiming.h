// Timing shared by the benchmark programs: a high-resolution clock, a
// repeat-until-stable loop and the median and spread of repeated rounds.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

// Seconds since construction, from the performance counter.
class Clock
{
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

// The median and the extremes of the figures of several rounds. Rounds of
// the things compared are interleaved, so that a disturbance of the machine
// falls on all of them alike; the median is the figure, the range its spread.
struct Spread
{
    double median = 0;
    double low = 0;
    double high = 0;
};

inline Spread SpreadOf(std::vector<double> samples)
{
    Spread spread;
    if (samples.empty())
        return spread;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    spread.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    spread.low = samples.front();
    spread.high = samples.back();
    return spread;
}

} // namespace bench
