#include "DownloadEngine.h"
#include "DownloadRemovalTask.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

namespace {

TEST(DownloadPercentage, IsTheTruncatedShareOfTheExpectedSize)
{
    EXPECT_EQ(DownloadPercentage(0, kExpectedInstallerSize), 0u);
    EXPECT_EQ(DownloadPercentage(1056944, kExpectedInstallerSize), 0u);
    EXPECT_EQ(DownloadPercentage(1056945, kExpectedInstallerSize), 1u);
    EXPECT_EQ(DownloadPercentage(52847250, kExpectedInstallerSize), 50u);
    EXPECT_EQ(DownloadPercentage(105694568, kExpectedInstallerSize), 100u);
    EXPECT_EQ(DownloadPercentage(110000000, kExpectedInstallerSize), 104u);
    // An expected size too small for whole percents divides by one, never by zero.
    EXPECT_EQ(DownloadPercentage(7, 50), 7u);
}

TEST(InstallerUrl, IsTheLatestClientOnTheDownloadHost)
{
    const std::wstring url = InstallerUrl();
    EXPECT_EQ(url.rfind(L"https://", 0), 0u);
    const std::wstring path = L"/client/latest/mevra.exe";
    ASSERT_GT(url.size(), 8 + path.size());
    EXPECT_EQ(url.substr(url.size() - path.size()), path);
}

TEST(RemovalTask, WaitEndsWhenTheRemovalHasRunOrTheLimitHasPassed)
{
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(release, nullptr);
    std::atomic<int> runs{0};
    RemovalTask task([&] {
        WaitForSingleObject(release, INFINITE);
        ++runs;
    });
    EXPECT_FALSE(task.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_FALSE(task.WaitFor(std::chrono::milliseconds(50)));
    SetEvent(release);
    EXPECT_TRUE(task.WaitFor(std::chrono::seconds(60)));
    EXPECT_TRUE(task.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_EQ(runs.load(), 1);
    CloseHandle(release);
}

TEST(RemovalTask, RemovalThatThrowsStillEnds)
{
    RemovalTask task([] { throw 1; });
    EXPECT_TRUE(task.WaitFor(std::chrono::seconds(60)));
}

} // namespace
