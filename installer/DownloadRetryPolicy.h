// Which failed attempts are tried again on their own, and after what wait.
#pragma once

#include "DownloadTimings.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

// Why an attempt failed, as far as the next one is concerned.
struct AttemptFailure
{
    // Worth an automatic retry: the network or the server may do better soon
    // (a reset, a refused connection, a timeout, a 5xx, 408 or 429 status, a
    // short body). A certificate, a 4xx status, the disk or a refused file
    // would fail the same way again.
    bool transient = false;
    // What a 503's Retry-After asked for, in milliseconds (delta-seconds only).
    std::optional<DWORD> retryAfterMs;
};

// A WinHTTP error of sending, receiving or reading: transient unless it is about
// the server's certificate or the secure channel, the URL, or a redirect.
AttemptFailure FailureOfWinHttpError(DWORD error);

// A status other than 2xx, with the response's Retry-After header ("" without).
AttemptFailure FailureOfStatus(DWORD status, const std::wstring& retryAfter);

// The wait before automatic retry `retry` (0 for the first) after `failure`;
// nothing when the retry page is to show: a permanent failure, no retries left,
// or a Retry-After beyond the longest the updater waits.
std::optional<DWORD> WaitBeforeRetry(const AttemptFailure& failure, const DownloadTimings& timings, std::size_t retry);
