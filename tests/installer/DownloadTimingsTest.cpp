#include "DownloadTimings.h"

#include <gtest/gtest.h>

#include <windows.h>

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
    const struct {
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
