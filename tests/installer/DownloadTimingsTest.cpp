#include "DownloadRetryPolicy.h"
#include "DownloadTimings.h"
#include "PartialDownload.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <winhttp.h>

#include <optional>

namespace {

// A minimum of 1000 bytes per second over windows of 10 s: 10,000 bytes a window.
TEST(TransferRateRule, FailsAWindowThatEndsWithTooFewBytes)
{
    TransferRateRule rule(10000, 1000, 500);
    EXPECT_TRUE(rule.Admits(1500, 1));
    EXPECT_TRUE(rule.Admits(10499, 1)) << "the window has not ended yet";
    EXPECT_FALSE(rule.Admits(10500, 1)) << "3 bytes in 10 s";
}

TEST(TransferRateRule, AWindowWithEnoughBytesStartsTheNextOne)
{
    TransferRateRule rule(10000, 1000, 0);
    EXPECT_TRUE(rule.Admits(4000, 6000));
    EXPECT_TRUE(rule.Admits(10000, 4000)) << "10,000 bytes in the first window";
    // The next window counts from here: its bytes alone must reach the rate.
    EXPECT_TRUE(rule.Admits(15000, 9999));
    EXPECT_FALSE(rule.Admits(20000, 0));
}

TEST(TransferRateRule, OneByteEveryTwentySecondsFailsWithinOneWindowAndOneWait)
{
    const DownloadTimings timings;
    TransferRateRule rule(timings.rateWindowMs, timings.minimumBytesPerSecond, 0);
    ULONGLONG failedAt = 0;
    for (ULONGLONG now = 20000; now <= 600000 && failedAt == 0; now += 20000) {
        if (!rule.Admits(now, 1))
            failedAt = now;
    }
    EXPECT_EQ(failedAt, 60000u);
}

TEST(DownloadTimings, DividedKeepsTheRateAndAtLeastAMillisecond)
{
    DownloadTimings timings;
    timings.resolveMs = 3;
    const DownloadTimings divided = DividedBy(timings, 10);
    EXPECT_EQ(divided.resolveMs, 1u);
    EXPECT_EQ(divided.connectMs, 3000u);
    EXPECT_EQ(divided.receiveMs, 3000u);
    EXPECT_EQ(divided.rateWindowMs, 6000u);
    EXPECT_EQ(divided.minimumBytesPerSecond, timings.minimumBytesPerSecond);
    EXPECT_EQ(DividedBy(timings, 0).receiveMs, timings.receiveMs);
}

// The test divisor only ever shortens the waits, and only a plain number from
// 2 to 1000 counts.
TEST(DownloadTimings, TheUpdaterReadsTheTestDivisorStrictly)
{
    const DownloadTimings normal;
    const struct
    {
        const wchar_t* value;
        DWORD receiveMs;
    } cases[] = {
        {nullptr, normal.receiveMs}, {L"10", normal.receiveMs / 10}, {L"1000", normal.receiveMs / 1000},
        {L"1", normal.receiveMs},    {L"0", normal.receiveMs},       {L"1001", normal.receiveMs},
        {L"-5", normal.receiveMs},   {L"10s", normal.receiveMs},     {L"99999999999999", normal.receiveMs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value != nullptr ? testing::PrintToString(std::wstring(c.value)) : "unset");
        SetEnvironmentVariableW(L"MEVRA_TEST_TIME_DIVISOR", c.value);
        EXPECT_EQ(UpdaterDownloadTimings().receiveMs, c.receiveMs);
    }
    SetEnvironmentVariableW(L"MEVRA_TEST_TIME_DIVISOR", nullptr);
}

} // namespace

namespace {

TEST(DownloadRetryPolicy, TransientFailuresWaitOneTwoFourSecondsThenStop)
{
    const DownloadTimings timings;
    const AttemptFailure reset = FailureOfWinHttpError(ERROR_WINHTTP_CONNECTION_ERROR);
    EXPECT_EQ(WaitBeforeRetry(reset, timings, 0), std::optional<DWORD>(1000));
    EXPECT_EQ(WaitBeforeRetry(reset, timings, 1), std::optional<DWORD>(2000));
    EXPECT_EQ(WaitBeforeRetry(reset, timings, 2), std::optional<DWORD>(4000));
    EXPECT_EQ(WaitBeforeRetry(reset, timings, 3), std::nullopt);
    for (DWORD error :
         {DWORD(ERROR_WINHTTP_TIMEOUT), DWORD(ERROR_WINHTTP_CANNOT_CONNECT),
          DWORD(ERROR_WINHTTP_INVALID_SERVER_RESPONSE), DWORD(10060) /* WSAETIMEDOUT, Wine's socket timeout */})
        EXPECT_TRUE(FailureOfWinHttpError(error).transient) << error;
}

TEST(DownloadRetryPolicy, CertificatesAndClientErrorsAreNotRetried)
{
    const DownloadTimings timings;
    for (DWORD error : {DWORD(ERROR_WINHTTP_SECURE_FAILURE), DWORD(ERROR_WINHTTP_SECURE_INVALID_CA),
                        DWORD(ERROR_WINHTTP_SECURE_CHANNEL_ERROR), DWORD(ERROR_WINHTTP_SECURE_CERT_DATE_INVALID),
                        DWORD(ERROR_WINHTTP_REDIRECT_FAILED)}) {
        EXPECT_FALSE(FailureOfWinHttpError(error).transient) << error;
        EXPECT_EQ(WaitBeforeRetry(FailureOfWinHttpError(error), timings, 0), std::nullopt);
    }
    for (DWORD status : {400u, 401u, 403u, 404u, 410u, 416u})
        EXPECT_FALSE(FailureOfStatus(status, L"").transient) << status;
    for (DWORD status : {408u, 429u, 500u, 502u, 503u, 504u})
        EXPECT_TRUE(FailureOfStatus(status, L"").transient) << status;
}

TEST(DownloadRetryPolicy, A503WaitsForItsRetryAfterUpTo30Seconds)
{
    const DownloadTimings timings;
    EXPECT_EQ(WaitBeforeRetry(FailureOfStatus(503, L"7"), timings, 0), std::optional<DWORD>(7000));
    EXPECT_EQ(WaitBeforeRetry(FailureOfStatus(503, L"30"), timings, 2), std::optional<DWORD>(30000));
    EXPECT_EQ(WaitBeforeRetry(FailureOfStatus(503, L"31"), timings, 0), std::nullopt) << "the retry page shows";
    // A date, or anything else, is no number of seconds: the usual waits.
    EXPECT_EQ(WaitBeforeRetry(FailureOfStatus(503, L"Wed, 21 Oct 2026 07:28:00 GMT"), timings, 1),
              std::optional<DWORD>(2000));
    EXPECT_EQ(WaitBeforeRetry(FailureOfStatus(503, L"-5"), timings, 0), std::optional<DWORD>(1000));
    // Only a 503 carries it.
    EXPECT_EQ(WaitBeforeRetry(FailureOfStatus(500, L"20"), timings, 0), std::optional<DWORD>(1000));
}

TEST(PartialDownload, TheValidatorIsAStrongETagElseLastModified)
{
    EXPECT_EQ(ResumeValidator(L"\"abc\"", L"Wed, 09 Dec 2026 02:38:58 GMT"), L"\"abc\"");
    EXPECT_EQ(ResumeValidator(L"W/\"abc\"", L"Wed, 09 Dec 2026 02:38:58 GMT"), L"Wed, 09 Dec 2026 02:38:58 GMT");
    EXPECT_EQ(ResumeValidator(L"", L""), L"");
    // Never a value that would carry a line into the next request's headers.
    EXPECT_EQ(ResumeValidator(L"\"a\r\nRange: bytes=0-\"", L"x\ny"), L"");
}

TEST(PartialDownload, OnlyAContentRangeThatContinuesThePartIsTaken)
{
    EXPECT_TRUE(ContinuesThePart(L"bytes 600000-999999/1000000", 600000, 1000000));
    EXPECT_FALSE(ContinuesThePart(L"bytes 500000-999999/1000000", 600000, 1000000)) << "another start";
    EXPECT_FALSE(ContinuesThePart(L"bytes 600000-999999/2000000", 600000, 1000000)) << "another length";
    EXPECT_FALSE(ContinuesThePart(L"bytes 600000-899999/1000000", 600000, 1000000)) << "not to the end";
    EXPECT_FALSE(ContinuesThePart(L"bytes 600000-999999/*", 600000, 1000000));
    EXPECT_FALSE(ContinuesThePart(L"", 600000, 1000000));
    EXPECT_FALSE(ContinuesThePart(L"bytes 600000-999999/1000000 ", 600000, 1000000));
    EXPECT_FALSE(ContinuesThePart(L"bytes 600000-99999999999999999999999/1000000", 600000, 1000000));
}

} // namespace
