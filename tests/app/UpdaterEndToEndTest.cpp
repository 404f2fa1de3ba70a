// The real MevraUpdater.exe against the network rig: the installer is served on
// https://localhost/client/latest/mevra.exe, the updater downloads it into the
// per-user folder, clears the previous installation and starts it.
#include "ConfigStore.h"
#include "PreviousInstallation.h"
#include "TextConvert.h"
#include "UpdaterDriver.h"
#include "UpdaterProcess.h"

#include "../installer/NetRig.h"
#include "../support/Leftovers.h"
#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

using testsupport::Exists;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

using testsupport::KeyExists;
using testsupport::kSharedFolder;
using testsupport::kUninstallKey;
using testsupport::MakeKey;
using testsupport::ServiceExists;
using namespace updaterdriver;


class UpdaterEndToEndTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = GetTargetFolder();
        target_ = folder_ + L"\\Mevra.exe";
        settings_ = folder_ + L"\\installer.ini";
        DeleteFileW(target_.c_str());
        DeleteFileW(Marker().c_str());
        DeleteFileW(settings_.c_str());
        ClearSwitches();
        DeleteFileW((netrig::DocumentRoot() + L"\\mevra.exe").c_str());
        installer_ = ReadFileText(testsupport::ProgramFolder() + L"\\fake_installer.exe");
        ASSERT_FALSE(installer_.empty());
    }

    void TearDown() override
    {
        ClearSwitches();
        DeleteFileW(settings_.c_str());
        if (paused_)
            netrig::ResumeServer();
    }

    void ClearSwitches()
    {
        for (const wchar_t* name : {L"\\.untrusted", L"\\.slow", L"\\.reset"})
            DeleteFileW((netrig::DocumentRoot() + name).c_str());
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

    void ExpectInstallerStartedByteForByte(const UpdaterProcess& updater)
    {
        EXPECT_EQ(updater.WaitForExit(120000), 0u);
        EXPECT_TRUE(InstallerRan());
        EXPECT_TRUE(ReadFileText(target_) == installer_) << "the installer did not arrive byte for byte";
    }

    void PrepareLeftovers()
    {
        for (const wchar_t* sub : {L"\\uninstall\\nested", L"\\bin", L"\\data"}) {
            SHCreateDirectoryExW(nullptr, (folder_ + sub).c_str(), nullptr);
            WriteFileText(folder_ + sub + L"\\left.txt", "old client", FILE_ATTRIBUTE_READONLY);
        }
        MakeKey(std::wstring(kUninstallKey) + L"\\Sub\\Deeper");
        SHCreateDirectoryExW(nullptr, (std::wstring(kSharedFolder) + L"\\drivers").c_str(), nullptr);
        WriteFileText(std::wstring(kSharedFolder) + L"\\drivers\\cap.sys", "sys", FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(testsupport::CreateTestService());
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

    // From the retry page to the proxy page.
    void OpenProxyPage(const UpdaterProcess& updater)
    {
        Click(updater.MainWindow(), kRetrySettingsButton);
        ASSERT_EQ(PageOf(updater.MainWindow()), kProxyPage);
    }

    // The start's attempt fails (nothing published), the installer is published,
    // and the retry page's settings button leads to the proxy page.
    void FailThenOpenProxyPage(const UpdaterProcess& updater)
    {
        ASSERT_TRUE(updater.Started());
        ASSERT_TRUE(updater.WaitForPage(kRetryPage, 60000));
        PublishInstaller();
        OpenProxyPage(updater);
    }

    void TypeOnProxyPage(const UpdaterProcess& updater, POINT field, const std::wstring& text)
    {
        ASSERT_TRUE(TypeInto(updater.MainWindow(), field, text)) << "no edit box opened at " << field.x << "," << field.y;
    }

    // From the proxy page back to the retry page, and a new attempt from there.
    void ReturnAndRetry(const UpdaterProcess& updater)
    {
        Click(updater.MainWindow(), kReturnButton);
        ASSERT_EQ(PageOf(updater.MainWindow()), kRetryPage);
        Click(updater.MainWindow(), kRetryButton);
    }

    std::string SettingsText() const { return ReadFileText(settings_); }

    std::wstring folder_;
    std::wstring target_;
    std::wstring settings_;
    std::string installer_;
    bool paused_ = false;
};

TEST_F(UpdaterEndToEndTest, DownloadsStartsTheInstallerAndClearsThePreviousInstallation)
{
    PrepareLeftovers();
    PublishInstaller();
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());

    ExpectInstallerStartedByteForByte(updater);
    // The hand-off waits for the removal, so it is over once the updater has gone.
    EXPECT_FALSE(Exists(folder_ + L"\\uninstall"));
    EXPECT_FALSE(Exists(folder_ + L"\\bin"));
    EXPECT_FALSE(Exists(folder_ + L"\\data"));
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(Exists(kSharedFolder));
    EXPECT_FALSE(ServiceExists());
}

TEST_F(UpdaterEndToEndTest, FailedDownloadsShowTheRetryPageAndStartNothing)
{
    // Each failure is made by a switch file in the server's document root;
    // the first, with nothing published, is a 404.
    const struct {
        const char* failure;
        const wchar_t* switchFile;
    } failures[] = {
        {"not found (404)", nullptr},
        {"untrusted certificate", L"\\.untrusted"},
        {"connection reset in the middle of the body", L"\\.reset"},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.failure);
        if (failure.switchFile != nullptr) {
            PublishInstaller();
            WriteFileText(netrig::DocumentRoot() + failure.switchFile, "");
        }
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ExpectRetryPageAndNothingStarted(updater);
        CloseUpdater(updater);
        ClearSwitches();
    }
}

TEST_F(UpdaterEndToEndTest, RetryDownloadsOnceTheServerIsBack)
{
    PublishInstaller();
    paused_ = true;
    ASSERT_TRUE(netrig::PauseServer());
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    ExpectRetryPageAndNothingStarted(updater);

    ASSERT_TRUE(netrig::ResumeServer());
    paused_ = false;
    Click(updater.MainWindow(), kRetryButton);
    ExpectInstallerStartedByteForByte(updater);
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

TEST_F(UpdaterEndToEndTest, ProxyTypedOnThePageIsUsedWithoutBeingSaved)
{
    UpdaterProcess updater;
    ASSERT_NO_FATAL_FAILURE(FailThenOpenProxyPage(updater));
    TypeOnProxyPage(updater, kAddressField, L"127.0.0.1");
    TypeOnProxyPage(updater, kPortField, L"18080");
    Click(updater.MainWindow(), kUseProxyBox);
    const int tunnels = netrig::TunnelsOpenedBy(L"proxy");
    ReturnAndRetry(updater);

    ExpectInstallerStartedByteForByte(updater);
    EXPECT_GT(netrig::TunnelsOpenedBy(L"proxy"), tunnels) << "the download did not go through the proxy";
    // Ticking the box and typing saved nothing.
    const ProxySettings stored = ReadProxySettingsFile(ToNarrow(settings_.c_str()));
    EXPECT_FALSE(stored.useProxy);
    EXPECT_EQ(stored.ip, "");
    EXPECT_EQ(stored.port, "");
}

TEST_F(UpdaterEndToEndTest, AuthenticatingProxyRefusesWrongCredentialsAndPassesRightOnes)
{
    UpdaterProcess updater;
    ASSERT_NO_FATAL_FAILURE(FailThenOpenProxyPage(updater));
    Click(updater.MainWindow(), kUseProxyBox);
    TypeOnProxyPage(updater, kAddressField, L"127.0.0.1");
    TypeOnProxyPage(updater, kPortField, L"18081");
    TypeOnProxyPage(updater, kAccountField, L"proxyuser");
    TypeOnProxyPage(updater, kPasswordField, L"not-the-password");
    const int tunnels = netrig::TunnelsOpenedBy(L"authproxy");
    ReturnAndRetry(updater);
    ExpectRetryPageAndNothingStarted(updater);
    EXPECT_EQ(netrig::TunnelsOpenedBy(L"authproxy"), tunnels) << "the proxy let a wrong password through";

    OpenProxyPage(updater);
    TypeOnProxyPage(updater, kPasswordField, L"Secr3t-pass");
    ReturnAndRetry(updater);
    ExpectInstallerStartedByteForByte(updater);
    EXPECT_EQ(netrig::TunnelsOpenedBy(L"authproxy"), tunnels + 1);
}

// installer.ini as the proxy page writes it, reads it back and uses it.
TEST_F(UpdaterEndToEndTest, ProxySettingsSavedOnThePageAreKeptAndUsedByTheNextStart)
{
    const std::string corrupt = "usingProxy = 1\nip = \"127.0.0.1\nport = {{{\n";
    WriteFileText(settings_, corrupt);
    {
        SCOPED_TRACE("a corrupt file reads as defaults and is replaced by the first save");
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ASSERT_TRUE(updater.WaitForPage(kRetryPage, 60000));
        OpenProxyPage(updater);
        Click(updater.MainWindow(), kUseProxyBox); // defaults: unticked; ticking saves nothing
        TypeOnProxyPage(updater, kAddressField, L"127.0.0.1");
        TypeOnProxyPage(updater, kPortField, L"18081");
        TypeOnProxyPage(updater, kAccountField, L"DOMAIN\\user");
        TypeOnProxyPage(updater, kPasswordField, L"pa\"ss\\word");
        EXPECT_EQ(SettingsText(), corrupt);
        Click(updater.MainWindow(), kSaveButton);
        EXPECT_EQ(SettingsText(), "usingProxy = 1\r\n"
                                  "ip = \"127.0.0.1\"\r\n"
                                  "port = \"18081\"\r\n"
                                  "account = \"DOMAIN\\\\user\"\r\n"
                                  "password = \"pa\\\"ss\\\\word\"\r\n");
        CloseUpdater(updater);
    }
    const int tunnels = netrig::TunnelsOpenedBy(L"authproxy");
    {
        SCOPED_TRACE("the saved values come back on the page; unticking saves at once");
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ASSERT_TRUE(updater.WaitForPage(kRetryPage, 60000));
        OpenProxyPage(updater);
        HWND main = updater.MainWindow();
        EXPECT_EQ(TextOf(main, kAddressField), L"127.0.0.1");
        EXPECT_EQ(TextOf(main, kPortField), L"18081");
        EXPECT_EQ(TextOf(main, kAccountField), L"DOMAIN\\user");
        EXPECT_EQ(TextOf(main, kPasswordField), L"pa\"ss\\word");
        // The attempt at start went through the saved proxy, and failed on the wrong password.
        EXPECT_EQ(netrig::TunnelsOpenedBy(L"authproxy"), tunnels);

        Click(main, kUseProxyBox);
        EXPECT_EQ(SettingsText().rfind("usingProxy = 0\r\n", 0), 0u) << SettingsText();
        Click(main, kUseProxyBox);
        TypeOnProxyPage(updater, kAccountField, L"proxyuser");
        TypeOnProxyPage(updater, kPasswordField, L"Secr3t-pass");
        Click(main, kSaveButton);
        EXPECT_EQ(ReadProxySettingsFile(ToNarrow(settings_.c_str())).password, "Secr3t-pass");
        CloseUpdater(updater);
    }
    {
        SCOPED_TRACE("the next start downloads through the saved proxy");
        PublishInstaller();
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ExpectInstallerStartedByteForByte(updater);
        EXPECT_EQ(netrig::TunnelsOpenedBy(L"authproxy"), tunnels + 1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new netrig::Environment);
    return RUN_ALL_TESTS();
}
