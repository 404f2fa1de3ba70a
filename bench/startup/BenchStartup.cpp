// Start-up benchmark: starts the updater and a minimal Win32 program that
// paints a window of the same size (bench_minimal_window.exe) the same way, in
// alternating rounds, and for each tells the time from the start of the
// process to its window being visible and then fully painted, and the peak
// memory until then. A window is fully painted when it and every child of it
// have no region left to paint. Each process is ended after it is measured.
//
// Arguments: the path of MevraUpdater.exe (default: the build's, beside the
// bench folder).
#include "../BenchTiming.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kRounds = 7;
const DWORD kLimitMs = 30000;

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

struct Search
{
    DWORD process;
    HWND visible; // a visible top-level window of the process
    bool pending; // some window of the process still has a region to paint
};

BOOL CALLBACK CheckChild(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE))
        search->pending = true;
    return TRUE;
}

BOOL CALLBACK CheckTopLevel(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window))
        return TRUE;
    search->visible = window;
    if (GetUpdateRect(window, nullptr, FALSE))
        search->pending = true;
    EnumChildWindows(window, CheckChild, param);
    return TRUE;
}

struct Sample
{
    double visibleMs = 0;
    double paintedMs = 0;
    double peakMiB = 0;
    bool ok = false;
};

// Starts `program`, waits until its window is visible and fully painted, reads
// its peak memory and ends it.
Sample Measure(const std::wstring& program)
{
    Sample sample;
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    bench::Clock clock;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return sample;
    CloseHandle(process.hThread);
    bool visible = false;
    while (clock.Seconds() * 1000.0 < kLimitMs && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        Search search = {process.dwProcessId, nullptr, false};
        EnumWindows(CheckTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.visible != nullptr && !visible) {
            visible = true;
            sample.visibleMs = clock.Seconds() * 1000.0;
        }
        if (search.visible != nullptr && !search.pending) {
            sample.paintedMs = clock.Seconds() * 1000.0;
            sample.ok = true;
            break;
        }
        Sleep(1);
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters)))
        sample.peakMiB = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, kLimitMs);
    CloseHandle(process.hProcess);
    return sample;
}

struct Series
{
    const char* name;
    std::wstring program;
    std::vector<double> visibleMs, paintedMs, peakMiB;
};

void PrintRatio(const char* label, const std::vector<double>& ours, const std::vector<double>& peer)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < ours.size() && i < peer.size(); ++i)
        ratios.push_back(ours[i] / peer[i]);
    const bench::Spread ratio = bench::SpreadOf(ratios);
    std::printf("  %-34s x%.2f (%.2f .. %.2f)\n", label, ratio.median, ratio.low, ratio.high);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Series updater = {
        "MevraUpdater", argc > 1 ? argv[1] : ProgramFolder() + L"\\..\\installer\\MevraUpdater.exe", {}, {}, {}};
    Series minimal = {"minimal window", ProgramFolder() + L"\\bench_minimal_window.exe", {}, {}, {}};
    Series* series[] = {&updater, &minimal};

    Measure(minimal.program); // the first start of any program loads the system's files
    Measure(updater.program);
    for (int round = 0; round < kRounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            Series& s = *series[(k + round) % 2];
            const Sample sample = Measure(s.program);
            if (!sample.ok) {
                std::printf("%s: no fully painted window within %lu ms\n", s.name, kLimitMs);
                return 1;
            }
            s.visibleMs.push_back(sample.visibleMs);
            s.paintedMs.push_back(sample.paintedMs);
            s.peakMiB.push_back(sample.peakMiB);
        }
    }

    std::printf("Start-up: process start to a visible and a fully painted window, and peak memory until then;\n");
    std::printf("median of %d interleaved rounds (range).\n", kRounds);
    for (Series* s : series) {
        const bench::Spread visible = bench::SpreadOf(s->visibleMs);
        const bench::Spread painted = bench::SpreadOf(s->paintedMs);
        const bench::Spread peak = bench::SpreadOf(s->peakMiB);
        std::printf(
            "%-15s visible %7.1f ms (%.1f .. %.1f)  painted %7.1f ms (%.1f .. %.1f)  peak %6.1f MiB (%.1f .. %.1f)\n",
            s->name, visible.median, visible.low, visible.high, painted.median, painted.low, painted.high, peak.median,
            peak.low, peak.high);
    }
    std::vector<double> updaterPaintAfterVisible, minimalPaintAfterVisible;
    for (int i = 0; i < kRounds; ++i) {
        updaterPaintAfterVisible.push_back(updater.paintedMs[i] - updater.visibleMs[i]);
        minimalPaintAfterVisible.push_back(minimal.paintedMs[i] - minimal.visibleMs[i]);
    }
    const bench::Spread ua = bench::SpreadOf(updaterPaintAfterVisible);
    const bench::Spread ma = bench::SpreadOf(minimalPaintAfterVisible);
    std::printf("visible -> painted: updater %.1f ms (%.1f .. %.1f), minimal %.1f ms (%.1f .. %.1f)\n", ua.median,
                ua.low, ua.high, ma.median, ma.low, ma.high);
    std::printf("MevraUpdater / minimal window, median of the rounds' ratios (range):\n");
    PrintRatio("start -> fully painted", updater.paintedMs, minimal.paintedMs);
    PrintRatio("peak memory", updater.peakMiB, minimal.peakMiB);
    return 0;
}
