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
    EXPECT_EQ(DownloadPercentage(7, -1), 7u);
}

// Bodies beyond 4 GiB: the value keeps growing past the 32-bit boundary and
// never falls back.
TEST(DownloadPercentage, NeverGoesBackForBodiesAbove4GiB)
{
    const std::uint64_t fourGiB = 1ull << 32;
    EXPECT_EQ(DownloadPercentage(fourGiB - 1, kExpectedInstallerSize), 4063u);
    EXPECT_EQ(DownloadPercentage(fourGiB, kExpectedInstallerSize), 4063u);
    EXPECT_EQ(DownloadPercentage(fourGiB + 1056945, kExpectedInstallerSize), 4064u);
    EXPECT_EQ(DownloadPercentage(5ull * fourGiB, kExpectedInstallerSize), 20317u);
    unsigned previous = 0;
    for (std::uint64_t received = fourGiB - 4 * 1056945; received < fourGiB + 4 * 1056945; received += 65536) {
        const unsigned percentage = DownloadPercentage(received, kExpectedInstallerSize);
        ASSERT_GE(percentage, previous) << "at " << received;
        previous = percentage;
    }
    // The largest value stays where it is.
    EXPECT_EQ(DownloadPercentage(~0ull, 100), ~0u);
}

TEST(InstallerUrl, IsTheLatestClientOnTheDownloadHost)
{
    const std::wstring url = InstallerUrl();
    EXPECT_EQ(url.rfind(L"https://", 0), 0u);
    const std::wstring path = L"/client/latest/mevra.exe";
    ASSERT_GT(url.size(), 8 + path.size());
    EXPECT_EQ(url.substr(url.size() - path.size()), path);
}

// A window of this thread that only receives messages, and the removal's
// message as it arrives there.
class DoneMessageWindow
{
public:
    DoneMessageWindow()
        : m_window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr))
    {
    }
    ~DoneMessageWindow() { DestroyWindow(m_window); }
    DoneMessageWindow(const DoneMessageWindow&) = delete;
    DoneMessageWindow& operator=(const DoneMessageWindow&) = delete;

    HWND Get() const { return m_window; }

    // Whether the message has arrived, waiting for it up to `limitMs`.
    bool Received(DWORD limitMs) const
    {
        for (DWORD waited = 0;; waited += 10) {
            MSG msg;
            if (PeekMessageW(&msg, m_window, kDone, kDone, PM_REMOVE))
                return true;
            if (waited >= limitMs)
                return false;
            Sleep(10);
        }
    }

    static constexpr UINT kDone = WM_APP + 77;

private:
    HWND m_window;
};

TEST(RemovalTask, TheWindowHearsOfTheRemovalOnlyOnceItHasRun)
{
    DoneMessageWindow window;
    ASSERT_NE(window.Get(), nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(release, nullptr);
    std::atomic<int> runs{0};
    StartRemoval(window.Get(), DoneMessageWindow::kDone, [&] {
        WaitForSingleObject(release, INFINITE);
        ++runs;
    });
    EXPECT_FALSE(window.Received(0));
    EXPECT_FALSE(window.Received(50));
    SetEvent(release);
    EXPECT_TRUE(window.Received(60000));
    EXPECT_EQ(runs.load(), 1);
    EXPECT_FALSE(window.Received(0)) << "told twice";
    CloseHandle(release);
}

TEST(RemovalTask, RemovalThatThrowsStillEnds)
{
    DoneMessageWindow window;
    StartRemoval(window.Get(), DoneMessageWindow::kDone, [] { throw 1; });
    EXPECT_TRUE(window.Received(60000));
}

} // namespace
