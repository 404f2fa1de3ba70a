// How long a download attempt waits for the network, and how slow a body may
// become, before the attempt ends as a failure.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The values, and why:
// - name lookup, connect, send: 30 s each. A working link answers within a few
//   seconds even over a congested mobile hotspot; past 30 s the user is better
//   served by the retry page than by a bar at 0 %.
// - receive: 30 s for every wait for data (the TLS handshake's answer, the
//   status line and headers, each piece of the body): a server that sends
//   nothing for 30 s has stalled.
// - the body's rate: under 1 kB/s over 60 s fails the attempt. A server that
//   trickles a byte now and then never trips the receive timeout, yet the
//   105 MB installer would take days; 1 kB/s is far below any link on which
//   the download could finish in reasonable time, and 60 s rides out a short
//   dip of a working link.
// - automatic retries of a transient failure: up to 3 in a row, after 1, 2 and
//   4 s (a 503's Retry-After of up to 30 s instead): long enough for a Wi-Fi
//   roam or a server restart, short enough that the page stays honest.
struct DownloadTimings
{
    DWORD resolveMs = 30000;
    DWORD connectMs = 30000;
    DWORD sendMs = 30000;
    DWORD receiveMs = 30000;
    DWORD rateWindowMs = 60000;
    std::uint32_t minimumBytesPerSecond = 1024;
    std::vector<DWORD> retryWaitsMs{1000, 2000, 4000}; // one per automatic retry
    DWORD longestRetryAfterMs = 30000;                 // a longer Retry-After shows the retry page
};

// The timings of a run of the updater: the values above, each divided by the
// whole number in the environment variable MEVRA_TEST_TIME_DIVISOR (2 to 1000)
// when it is set. The end-to-end tests set it so that stalls end within
// seconds; it can only make an attempt give up sooner, never wait longer.
DownloadTimings UpdaterDownloadTimings();

// The timings divided by `divisor` (at least 1 ms each; the retries' waits
// too, but not what a server's Retry-After asks for).
DownloadTimings DividedBy(const DownloadTimings& timings, unsigned divisor);

// The minimum-rate rule over consecutive windows of a body's arrival: a window
// that ends with fewer bytes than the rate asks for fails the body.
class TransferRateRule
{
public:
    TransferRateRule(DWORD windowMs, std::uint32_t minimumBytesPerSecond, ULONGLONG startMs);

    // Counts `bytes` that arrived at `nowMs`; false once a whole window has
    // passed with too few bytes.
    bool Admits(ULONGLONG nowMs, std::uint64_t bytes);

private:
    DWORD m_windowMs;
    std::uint64_t m_bytesPerWindow;
    ULONGLONG m_windowStartMs;
    std::uint64_t m_bytesInWindow = 0;
};
