#include "DownloadRetryPolicy.h"

#include <winhttp.h>

namespace {

// Errors that the same request would meet again.
const DWORD kPermanentErrors[] = {
    ERROR_WINHTTP_SECURE_FAILURE,
    ERROR_WINHTTP_SECURE_CHANNEL_ERROR,
    ERROR_WINHTTP_SECURE_INVALID_CA,
    ERROR_WINHTTP_SECURE_INVALID_CERT,
    ERROR_WINHTTP_SECURE_CERT_DATE_INVALID,
    ERROR_WINHTTP_SECURE_CERT_CN_INVALID,
    ERROR_WINHTTP_SECURE_CERT_REVOKED,
    ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE,
    ERROR_WINHTTP_SECURE_CERT_REV_FAILED,
    ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED,
    ERROR_WINHTTP_INVALID_URL,
    ERROR_WINHTTP_UNRECOGNIZED_SCHEME,
    ERROR_WINHTTP_REDIRECT_FAILED,
};

// "Too Many Requests", which WinHTTP's header does not name.
const DWORD kHttpStatusTooManyRequests = 429;

std::optional<DWORD> DeltaSecondsMs(const std::wstring& text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    DWORD seconds = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        seconds = seconds * 10 + static_cast<DWORD>(c - L'0');
    }
    return seconds <= 4000000u ? std::optional<DWORD>(seconds * 1000u) : std::nullopt;
}

} // namespace

AttemptFailure FailureOfWinHttpError(DWORD error)
{
    AttemptFailure failure;
    failure.transient = true;
    for (DWORD permanent : kPermanentErrors) {
        if (error == permanent)
            failure.transient = false;
    }
    return failure;
}

AttemptFailure FailureOfStatus(DWORD status, const std::wstring& retryAfter)
{
    AttemptFailure failure;
    failure.transient = status >= HTTP_STATUS_SERVER_ERROR || status == HTTP_STATUS_REQUEST_TIMEOUT ||
                        status == kHttpStatusTooManyRequests;
    if (status == HTTP_STATUS_SERVICE_UNAVAIL)
        failure.retryAfterMs = DeltaSecondsMs(retryAfter);
    return failure;
}

std::optional<DWORD> WaitBeforeRetry(const AttemptFailure& failure, const DownloadTimings& timings, std::size_t retry)
{
    if (!failure.transient || retry >= timings.retryWaitsMs.size())
        return std::nullopt;
    if (failure.retryAfterMs) {
        if (*failure.retryAfterMs > timings.longestRetryAfterMs)
            return std::nullopt;
        return *failure.retryAfterMs;
    }
    return timings.retryWaitsMs[retry];
}
