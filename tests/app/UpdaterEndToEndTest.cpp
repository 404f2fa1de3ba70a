// The real MevraUpdater.exe against the network rig: the installer is served on
// https://localhost/client/latest/mevra.exe, the updater downloads it into the
// per-user folder, clears the previous installation and starts it.
#include "PreviousInstallation.h"

#include "../installer/NetRig.h"
#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

using testsupport::Exists;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MevraCloudMeetings";
// Answered by the main window: the index of the page showing.
constexpr UINT kQueryPage = WM_APP + 3;
constexpr int kRetryPage = 1;

class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle()
    {
        if (handle_ != nullptr)
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void MakeKey(const std::wstring& path)
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (key != nullptr)
        RegCloseKey(key);
}

// The updater runs as a child process; its main window is found through its
// host window, the top-level window of that process.
class UpdaterProcess {
public:
    UpdaterProcess()
    {
        std::wstring line = L"\"" + testsupport::ProgramFolder() + L"\\MevraUpdater.exe\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
            id_ = process.dwProcessId;
        }
    }
    ~UpdaterProcess()
    {
        if (process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_, 99);
        if (process_ != nullptr)
            CloseHandle(process_);
    }
    UpdaterProcess(const UpdaterProcess&) = delete;
    UpdaterProcess& operator=(const UpdaterProcess&) = delete;

    bool Started() const { return process_ != nullptr; }

    // The exit code, or STILL_ACTIVE when it did not end within `limitMs`.
    DWORD WaitForExit(DWORD limitMs) const
    {
        WaitForSingleObject(process_, limitMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_, &code);
        return code;
    }

    HWND HostWindow() const
    {
        struct Search {
            DWORD id;
            HWND found;
        } search = {id_, nullptr};
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->id && FindWindowExW(window, nullptr, L"MvMainUI", nullptr) != nullptr) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND MainWindow() const
    {
        HWND host = HostWindow();
        return host != nullptr ? FindWindowExW(host, nullptr, L"MvMainUI", nullptr) : nullptr;
    }

    // Polls the page showing until it is `page` or `limitMs` have passed.
    bool WaitForPage(int page, DWORD limitMs) const
    {
        for (DWORD waited = 0; waited < limitMs; waited += 100) {
            HWND main = MainWindow();
            DWORD_PTR shown = static_cast<DWORD_PTR>(-1);
            if (main != nullptr &&
                SendMessageTimeoutW(main, kQueryPage, 0, 0, SMTO_ABORTIFHUNG, 2000, &shown) != 0 &&
                static_cast<int>(shown) == page)
                return true;
            if (WaitForSingleObject(process_, 100) == WAIT_OBJECT_0)
                return false;
        }
        return false;
    }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

class UpdaterEndToEndTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = GetTargetFolder();
        target_ = folder_ + L"\\Mevra.exe";
        DeleteFileW(target_.c_str());
        DeleteFileW(Marker().c_str());
        DeleteFileW((netrig::DocumentRoot() + L"\\.untrusted").c_str());
        DeleteFileW((netrig::DocumentRoot() + L"\\.slow").c_str());
        DeleteFileW((netrig::DocumentRoot() + L"\\mevra.exe").c_str());
        installer_ = ReadFileText(testsupport::ProgramFolder() + L"\\fake_installer.exe");
        ASSERT_FALSE(installer_.empty());
    }

    void TearDown() override
    {
        DeleteFileW((netrig::DocumentRoot() + L"\\.untrusted").c_str());
        DeleteFileW((netrig::DocumentRoot() + L"\\.slow").c_str());
    }

    std::wstring Marker() const { return target_ + L".ran"; }

    void PublishInstaller() { netrig::Publish(L"mevra.exe", installer_); }

    // The installer runs on its own after the updater has gone: wait for its mark.
    bool InstallerRan() const
    {
        for (int i = 0; i < 100; ++i) {
            if (Exists(Marker()))
                return true;
            Sleep(100);
        }
        return false;
    }

    void PrepareLeftovers()
    {
        for (const wchar_t* sub : {L"\\uninstall\\nested", L"\\bin", L"\\data"}) {
            SHCreateDirectoryExW(nullptr, (folder_ + sub).c_str(), nullptr);
            WriteFileText(folder_ + sub + L"\\left.txt", "old client", FILE_ATTRIBUTE_READONLY);
        }
        MakeKey(std::wstring(kUninstallKey) + L"\\Sub\\Deeper");
    }

    void ExpectRetryPageAndNothingStarted(const UpdaterProcess& updater)
    {
        EXPECT_TRUE(updater.WaitForPage(kRetryPage, 60000)) << "the retry page did not show";
        EXPECT_FALSE(Exists(Marker())) << "an installer was started after a failed download";
    }

    // The close button's way out: a close message to the host window.
    void CloseUpdater(const UpdaterProcess& updater)
    {
        HWND host = updater.HostWindow();
        ASSERT_NE(host, nullptr);
        PostMessageW(host, WM_CLOSE, 0, 0);
        EXPECT_EQ(updater.WaitForExit(30000), 0u);
    }

    std::wstring folder_;
    std::wstring target_;
    std::string installer_;
};

TEST_F(UpdaterEndToEndTest, DownloadsStartsTheInstallerAndClearsThePreviousInstallation)
{
    PrepareLeftovers();
    PublishInstaller();
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());

    EXPECT_EQ(updater.WaitForExit(120000), 0u);
    EXPECT_TRUE(InstallerRan());
    EXPECT_TRUE(ReadFileText(target_) == installer_) << "the installer did not arrive byte for byte";
    // The hand-off waits for the removal, so it is over once the updater has gone.
    EXPECT_FALSE(Exists(folder_ + L"\\uninstall"));
    EXPECT_FALSE(Exists(folder_ + L"\\bin"));
    EXPECT_FALSE(Exists(folder_ + L"\\data"));
    EXPECT_FALSE(KeyExists(kUninstallKey));
}

TEST_F(UpdaterEndToEndTest, FailedDownloadsShowTheRetryPageAndStartNothing)
{
    {
        SCOPED_TRACE("not found (404)");
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ExpectRetryPageAndNothingStarted(updater);
        CloseUpdater(updater);
    }
    {
        SCOPED_TRACE("untrusted certificate");
        PublishInstaller();
        WriteFileText(netrig::DocumentRoot() + L"\\.untrusted", "");
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ExpectRetryPageAndNothingStarted(updater);
        CloseUpdater(updater);
    }
}

TEST_F(UpdaterEndToEndTest, RetryDownloadsOnceTheInstallerIsThere)
{
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    ASSERT_TRUE(updater.WaitForPage(kRetryPage, 60000));
    PublishInstaller();

    // Press and release the retry button (lower right of the retry page).
    HWND main = updater.MainWindow();
    ASSERT_NE(main, nullptr);
    const LPARAM retryButton = MAKELPARAM(540, 380);
    PostMessageW(main, WM_MOUSEMOVE, 0, retryButton);
    PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, retryButton);
    PostMessageW(main, WM_LBUTTONUP, 0, retryButton);

    EXPECT_EQ(updater.WaitForExit(120000), 0u);
    EXPECT_TRUE(InstallerRan());
    EXPECT_TRUE(ReadFileText(target_) == installer_);
}

TEST_F(UpdaterEndToEndTest, ClosingDuringTheDownloadEndsWithExitCodeZero)
{
    // A body of some megabytes, sent slowly: the transfer is surely running when the window closes.
    std::string body = installer_;
    body.resize(8 * 1024 * 1024, '\0');
    netrig::Publish(L"mevra.exe", body);
    WriteFileText(netrig::DocumentRoot() + L"\\.slow", "");
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    bool transferring = false;
    for (int i = 0; i < 600 && !transferring; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        transferring = GetFileAttributesExW(target_.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0;
        Sleep(100);
    }
    ASSERT_TRUE(transferring);

    CloseUpdater(updater);
    Sleep(500);
    EXPECT_FALSE(Exists(Marker()));
    EXPECT_LT(ReadFileText(target_).size(), body.size());
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new netrig::Environment);
    return RUN_ALL_TESTS();
}
