// The real MevraUpdater.exe against the network rig: the installer is served on
// https://localhost/client/latest/mevra.exe, the updater downloads it into the
// per-user folder, checks its signature, clears the previous installation and
// starts it. The installer is the stand-in signed as the test publisher (the
// ctest fixture "signed_installers").
#include "ConfigStore.h"
#include "DownloadEngine.h"
#include "PreviousInstallation.h"
#include "TextConvert.h"
#include "UpdaterDriver.h"
#include "UpdaterProcess.h"

#include "../support/NetRig.h"
#include "../support/Leftovers.h"
#include "../support/Links.h"
#include "../support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

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

// The previous installation's data folder of the slow removal: folders of files.
constexpr int kManyFolders = 20;
constexpr int kFilesPerFolder = 100;

// The stand-ins for system libraries (tests/app/planted_library.cpp), built into
// the folder "planted" beside this program: one per library that is not a known
// DLL and that the updater uses.
std::vector<std::wstring> PlantedLibraries()
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((testsupport::ProgramFolder() + L"\\planted\\*.dll").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
}

// Files outside the updater's places that it must never touch: a file, and a
// read-only file one level down, each checked byte for byte.
class OutsideFolder
{
public:
    explicit OutsideFolder(const std::wstring& tag)
        : path_(testsupport::FreshTempFolder(tag)), text_("outside " + ToNarrow(tag.c_str()))
    {
        CreateDirectoryW((path_ + L"\\inner").c_str(), nullptr);
        WriteFileText(File(), text_);
        WriteFileText(path_ + L"\\inner\\deeper.txt", text_ + ", deeper", FILE_ATTRIBUTE_READONLY);
    }
    const std::wstring& Path() const { return path_; }
    std::wstring File() const { return path_ + L"\\precious.txt"; }

    void ExpectWhole() const
    {
        EXPECT_EQ(ReadFileText(File()), text_) << ToNarrow(path_.c_str());
        EXPECT_EQ(ReadFileText(path_ + L"\\inner\\deeper.txt"), text_ + ", deeper") << ToNarrow(path_.c_str());
    }

private:
    std::wstring path_;
    std::string text_;
};

// The updater with its waits shortened (by 10: receive 3 s, the rate's window
// 6 s, retries after 0.1, 0.2 and 0.4 s), its diagnostic lines going to a file
// of the test's.
class QuickUpdater : public UpdaterProcess
{
public:
    explicit QuickUpdater(const std::wstring& output, int divisor = 10)
        : UpdaterProcess(testsupport::ProgramFolder() + L"\\MevraUpdater.exe",
                         L"MEVRA_TEST_TIME_DIVISOR=" + std::to_wstring(divisor), output)
    {
    }
};

class UpdaterEndToEndTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RemoveLinksAtTheLeftoversPlaces();
        folder_ = GetTargetFolder();
        target_ = folder_ + L"\\Mevra.exe";
        settings_ = folder_ + L"\\installer.ini";
        RemoveEarlierDownload();
        DeleteFileW(PartialPathOf(target_).c_str());
        DeleteFileW(settings_.c_str());
        ClearSwitches();
        DeleteFileW((netrig::DocumentRoot() + L"\\mevra.exe").c_str());
        installer_ = ReadFileText(netrig::SignedInstaller(L"publisher"));
        ASSERT_FALSE(installer_.empty());
    }

    void TearDown() override
    {
        RemoveLinksAtTheLeftoversPlaces();
        ClearSwitches();
        DeleteFileW(settings_.c_str());
        if (paused_)
            netrig::ResumeServer();
    }

    // A test that makes links where the leftovers go removes them itself, but
    // one that stops half way could leave them for the next: never follow them.
    static void RemoveLinksAtTheLeftoversPlaces()
    {
        const std::wstring folder = GetTargetFolder();
        for (const std::wstring& place : {folder + L"\\bin", folder + L"\\data", folder + L"\\uninstall",
                                          folder + L"\\uninstall\\inner", std::wstring(kSharedFolder)}) {
            if (testsupport::IsLink(place))
                testsupport::RemoveLink(place);
        }
    }

    void ClearSwitches()
    {
        for (const wchar_t* name : {L"\\.untrusted", L"\\.slow", L"\\.reset", L"\\.serve"})
            DeleteFileW((netrig::DocumentRoot() + name).c_str());
    }

    std::wstring Marker() const { return target_ + L".ran"; }

    // The installer an earlier run started may still be ending: its file goes
    // once it has (waited for at most 10 s), and its marks with it.
    void RemoveEarlierDownload() const
    {
        SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
        for (int i = 0; i < 100 && !DeleteFileW(target_.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND; ++i)
            Sleep(100);
        DeleteFileW(Marker().c_str());
        DeleteFileW((target_ + L".leftovers").c_str());
    }

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

    // Publishes the installer and runs the updater until the installer has
    // started: byte for byte, and after the removal of the previous installation
    // had ended (the installer found none of its leftovers).
    // `leftovers`: what the installer is to find of them (one name a line, see
    // tests/installer/fake_installer.cpp).
    void DownloadAndStartTheInstaller(const std::string& leftovers = std::string())
    {
        PublishInstaller();
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ExpectInstallerStartedByteForByte(updater);
        EXPECT_EQ(ReadFileText(target_ + L".leftovers"), leftovers) << "the installer started beside the removal";
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

    // Everything PrepareLeftovers made is still there.
    void ExpectLeftoversInPlace()
    {
        for (const wchar_t* sub : {L"\\uninstall\\nested", L"\\bin", L"\\data"})
            EXPECT_EQ(ReadFileText(folder_ + sub + L"\\left.txt"), "old client") << ToNarrow(sub);
        EXPECT_TRUE(KeyExists(std::wstring(kUninstallKey) + L"\\Sub\\Deeper"));
        EXPECT_EQ(ReadFileText(std::wstring(kSharedFolder) + L"\\drivers\\cap.sys"), "sys");
        EXPECT_TRUE(ServiceExists());
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
        ASSERT_TRUE(TypeInto(updater.MainWindow(), field, text))
            << "no edit box opened at " << field.x << "," << field.y;
    }

    // From the proxy page back to the retry page, and a new attempt from there.
    void ReturnAndRetry(const UpdaterProcess& updater)
    {
        Click(updater.MainWindow(), kReturnButton);
        ASSERT_EQ(PageOf(updater.MainWindow()), kRetryPage);
        Click(updater.MainWindow(), kRetryButton);
    }

    std::string SettingsText() const { return ReadFileText(settings_); }

    // No request the download server received since `first` carried the proxy's credentials.
    static void ExpectNoProxyCredentialsReachedTheServer(size_t first)
    {
        const std::vector<netrig::ServerRequest> requests = netrig::ServerRequests();
        for (size_t i = first; i < requests.size(); ++i)
            EXPECT_FALSE(requests[i].Carries("proxy-authorization")) << "request for " << requests[i].path;
    }

    std::wstring folder_;
    std::wstring target_;
    std::wstring settings_;
    std::string installer_;
    bool paused_ = false;
};

TEST_F(UpdaterEndToEndTest, DownloadsStartsTheInstallerAndClearsThePreviousInstallation)
{
    PrepareLeftovers();
    ASSERT_NO_FATAL_FAILURE(DownloadAndStartTheInstaller());
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
    const struct
    {
        const char* failure;
        const wchar_t* switchFile;
    } failures[] = {
        {"not found (404)", nullptr},
        {"untrusted certificate", L"\\.untrusted"},
        {"connection reset in the middle of the body", L"\\.reset"},
    };
    // A failed attempt touches nothing of the previous installation.
    PrepareLeftovers();
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.failure);
        if (failure.switchFile != nullptr) {
            PublishInstaller();
            WriteFileText(netrig::DocumentRoot() + failure.switchFile, "");
        }
        // The reset is retried on its own: with waits shortened.
        QuickUpdater updater(testsupport::FreshTempFolder(L"failed") + L"\\updater.log");
        ASSERT_TRUE(updater.Started());
        ExpectRetryPageAndNothingStarted(updater);
        ExpectLeftoversInPlace();
        CloseUpdater(updater);
        ClearSwitches();
    }
    RemovePreviousInstallation();
}

// Servers that send no installer, or not all of one, or stop sending: each
// download ends on the retry page with nothing started, and the diagnostic
// lines say why. Waits shortened by 20 (receive 1.5 s, the rate's window 3 s).
TEST_F(UpdaterEndToEndTest, HostileServersEndOnTheRetryPageAndStartNothing)
{
    const std::string installer = ReadFileText(netrig::SignedInstaller(L"publisher-padded"));
    ASSERT_EQ(installer.size(), 1048576u);
    netrig::Publish(L"mevra.exe", installer);
    const std::string half = std::to_string(installer.size() / 2);
    const struct
    {
        const char* server;
        std::string rules;
        std::string line;
    } servers[] = {
        {"no length, closed half way", R"({"length": "none", "cut": {"at": [)" + half + R"(], "how": "close"}})",
         "download last error body without a length : " + half},
        {"chunked, no last chunk", R"({"length": "chunked", "cut": {"at": [)" + half + R"(], "how": "close"}})",
         "download last error "},
        {"empty 200", R"({"body": "empty"})", "download last error empty body : 0"},
        {"HTML 200", R"({"body": "html"})", "installer signature: "},
        {"Content-Length: abc", R"({"length": "bad"})", "download last error Content-Length : 12153"},
        {"stall before the handshake", R"({"stall": "handshake", "seconds": 60})",
         "download last error WinHttpSendRequest : "},
        {"stall before the status line", R"({"stall": "status", "seconds": 60})",
         "download last error WinHttpReceiveResponse : "},
        {"one byte a second", R"({"trickle": 1})", "download last error transfer rate : "},
    };
    const std::wstring output = testsupport::FreshTempFolder(L"hostile") + L"\\updater.log";
    for (const auto& server : servers) {
        SCOPED_TRACE(server.server);
        netrig::ServeByRules(server.rules);
        {
            QuickUpdater updater(output, 20);
            ASSERT_TRUE(updater.Started());
            ExpectRetryPageAndNothingStarted(updater);
            CloseUpdater(updater);
        }
        const std::string log = ReadFileText(output);
        EXPECT_NE(log.find(server.line), std::string::npos) << log;
        EXPECT_FALSE(Exists(target_));
    }
}

// A failure on disk (a folder has the installer's name) shows the retry page,
// and the diagnostic line names the file and the operation, not the network.
TEST_F(UpdaterEndToEndTest, AFailureOnDiskIsNamedInTheDiagnosticLine)
{
    PublishInstaller();
    ASSERT_TRUE(CreateDirectoryW(target_.c_str(), nullptr));
    const std::wstring output = testsupport::FreshTempFolder(L"disk") + L"\\updater.log";
    {
        QuickUpdater updater(output);
        ASSERT_TRUE(updater.Started());
        ExpectRetryPageAndNothingStarted(updater);
        CloseUpdater(updater);
    }
    RemoveDirectoryW(target_.c_str());
    const std::string log = ReadFileText(output);
    EXPECT_NE(log.find("download last error replace " + ToNarrow(target_) + " : 5"), std::string::npos) << log;
}

// The responses to the installer's URL since `first`.
std::vector<netrig::ServerResponse> ResponsesSince(size_t first)
{
    std::vector<netrig::ServerResponse> responses = netrig::ServerResponses();
    responses.erase(responses.begin(),
                    responses.begin() + static_cast<std::ptrdiff_t>((std::min)(first, responses.size())));
    return responses;
}

// The first byte a logged Range header asked for ("bytes=N-"), or -1.
long long RangeStart(const std::string& range)
{
    return range.rfind("bytes=", 0) == 0 ? std::atoll(range.c_str() + 6) : -1;
}

// A transfer reset at 60 % goes on by itself with one request for the rest,
// from the byte where the part ended; the whole file passes the signature
// check and is started, byte for byte. The real waits (1 s).
TEST_F(UpdaterEndToEndTest, ATransferResetAt60PercentIsResumedCheckedAndStarted)
{
    installer_ = ReadFileText(netrig::SignedInstaller(L"publisher-padded"));
    ASSERT_EQ(installer_.size(), 1048576u);
    const size_t first = netrig::ServerResponses().size();
    netrig::ServeByRules(R"({"cut": {"at": [629146], "how": "reset", "times": 1}})");
    PublishInstaller();
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    ExpectInstallerStartedByteForByte(updater);
    const std::vector<netrig::ServerResponse> responses = ResponsesSince(first);
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(responses[0].ended, "reset");
    EXPECT_EQ(responses[1].status, 206);
    EXPECT_NE(responses[1].ifRange, "-");
    EXPECT_GT(RangeStart(responses[1].range), 0);
    EXPECT_EQ(RangeStart(responses[1].range) + static_cast<long long>(responses[1].bodyBytes), 1048576);
    EXPECT_FALSE(Exists(PartialPathOf(target_)));
}

// The installer changes on the server between the break and the retry: its new
// validator brings the whole new file, which is started; nothing of the old
// one is spliced in.
TEST_F(UpdaterEndToEndTest, AFileChangedBetweenAttemptsIsNeverSpliced)
{
    const std::string old = ReadFileText(netrig::SignedInstaller(L"publisher-padded"));
    const size_t first = netrig::ServerResponses().size();
    netrig::ServeByRules(R"({"cut": {"at": [629146], "how": "reset", "times": 1}})");
    netrig::Publish(L"mevra.exe", old);
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    // The retry waits a second: the new file is in place well before.
    bool broken = false;
    for (int i = 0; i < 600 && !broken; ++i) {
        broken = ResponsesSince(first).size() == 1;
        if (!broken)
            Sleep(50);
    }
    ASSERT_TRUE(broken) << "the first response did not end";
    PublishInstaller(); // the publisher's smaller signed installer
    ExpectInstallerStartedByteForByte(updater);
    const std::vector<netrig::ServerResponse> responses = ResponsesSince(first);
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_NE(responses[1].range, "-") << "the rest was not asked for";
    EXPECT_EQ(responses[1].status, 200) << "the rest of another file was sent";
}

// A server that stops sending in the middle of the body: the receive timeout
// ends the attempt (3 s with the test divisor) and the retry asks for the rest.
TEST_F(UpdaterEndToEndTest, AStallInTheBodyEndsInAResumedRetry)
{
    installer_ = ReadFileText(netrig::SignedInstaller(L"publisher-padded"));
    const size_t first = netrig::ServerResponses().size();
    netrig::ServeByRules(R"({"cut": {"at": [629146], "how": "stall", "times": 1}, "seconds": 60})");
    PublishInstaller();
    QuickUpdater updater(testsupport::FreshTempFolder(L"stall") + L"\\updater.log");
    ASSERT_TRUE(updater.Started());
    ExpectInstallerStartedByteForByte(updater);
    // The stalled response is logged once the updater has let it go, which may
    // be after the rest arrived.
    const std::vector<netrig::ServerResponse> responses = ResponsesSince(first);
    ASSERT_EQ(responses.size(), 2u);
    const auto rest = std::find_if(responses.begin(), responses.end(),
                                   [](const netrig::ServerResponse& response) { return response.status == 206; });
    ASSERT_NE(rest, responses.end());
    EXPECT_EQ(RangeStart(rest->range), 629146);
}

// A 404 shows the retry page after one request; a 503 with Retry-After: 1 is
// waited out on the download page, and the next request brings the installer.
TEST_F(UpdaterEndToEndTest, TheServersAnswerDecidesTheAutomaticRetry)
{
    PublishInstaller();
    size_t first = netrig::ServerResponses().size();
    netrig::ServeByRules(R"({"status": 404})");
    {
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ExpectRetryPageAndNothingStarted(updater);
        CloseUpdater(updater);
    }
    EXPECT_EQ(ResponsesSince(first).size(), 1u) << "a 404 was retried";

    first = netrig::ServerResponses().size();
    netrig::ServeByRules(R"({"status": 503, "retry_after": 1, "times": 1})");
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    ExpectInstallerStartedByteForByte(updater);
    const std::vector<netrig::ServerResponse> responses = ResponsesSince(first);
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(responses[0].status, 503);
    EXPECT_EQ(responses[1].status, 200);
}

TEST_F(UpdaterEndToEndTest, RetryDownloadsOnceTheServerIsBack)
{
    PublishInstaller();
    paused_ = true;
    ASSERT_TRUE(netrig::PauseServer());
    // The refused connection is retried on its own: with waits shortened.
    QuickUpdater updater(testsupport::FreshTempFolder(L"back") + L"\\updater.log");
    ASSERT_TRUE(updater.Started());
    ExpectRetryPageAndNothingStarted(updater);

    ASSERT_TRUE(netrig::ResumeServer());
    paused_ = false;
    Click(updater.MainWindow(), kRetryButton);
    ExpectInstallerStartedByteForByte(updater);
}

TEST_F(UpdaterEndToEndTest, ATamperedInstallerIsRefusedAndDeletedAndTheGenuineOneStartedOnRetry)
{
    // One byte of the program changed after signing, as a compromised server could serve it.
    std::string tampered = installer_;
    tampered[tampered.size() / 2] = static_cast<char>(tampered[tampered.size() / 2] ^ 0x01);
    netrig::Publish(L"mevra.exe", tampered);
    PrepareLeftovers();
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    ExpectRetryPageAndNothingStarted(updater);
    EXPECT_FALSE(Exists(target_)) << "the refused installer was left in the per-user folder";
    ExpectLeftoversInPlace(); // a refused installer touches nothing of the previous installation

    PublishInstaller();
    Click(updater.MainWindow(), kRetryButton);
    ExpectInstallerStartedByteForByte(updater);
}

// The body grows in a file of its own beside the installer's name, which it
// takes only once whole: closing in the middle starts nothing and leaves no
// part under the installer's name.
TEST_F(UpdaterEndToEndTest, ClosingDuringTheDownloadEndsWithExitCodeZero)
{
    // A body of some megabytes, sent slowly: the transfer is surely running when the window closes.
    std::string body = installer_;
    body.resize(8 * 1024 * 1024, '\0');
    netrig::Publish(L"mevra.exe", body);
    WriteFileText(netrig::DocumentRoot() + L"\\.slow", "");
    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    const std::wstring partial = PartialPathOf(target_);
    bool transferring = false;
    for (int i = 0; i < 600 && !transferring; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        transferring = GetFileAttributesExW(partial.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0;
        Sleep(100);
    }
    ASSERT_TRUE(transferring) << "no part of the body arrived";

    CloseUpdater(updater);
    Sleep(500);
    EXPECT_FALSE(Exists(Marker()));
    EXPECT_FALSE(Exists(target_)) << "a part of the body has the installer's name";
    EXPECT_LT(ReadFileText(partial).size(), body.size());
    DeleteFileW(partial.c_str());
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
    const ProxySettings stored = ReadProxySettingsFile(settings_);
    EXPECT_FALSE(stored.useProxy);
    EXPECT_EQ(stored.ip, L"");
    EXPECT_EQ(stored.port, L"");
}

// The account goes to the authenticating proxy alone: a wrong or missing one
// fails to the retry page with no tunnel opened, the right one opens it, and no
// request that reaches the download server carries the proxy's credentials.
//
// Limit under Wine 8: its WinHTTP opens a tunnel through an authenticating
// proxy only when the client adds a Proxy-Authorization header of its own,
// which Wine then sends to the download server inside the tunnel as well. The
// updater adds none (it gives the account through WinHTTP's proxy calls, see
// download_tests' ProxyCredentials case), so under Wine the right account is
// refused like a wrong one; the rest is checked all the same.
TEST_F(UpdaterEndToEndTest, AuthenticatingProxyRefusesWrongCredentialsAndPassesRightOnes)
{
    const size_t firstRequest = netrig::ServerRequests().size();
    UpdaterProcess updater;
    ASSERT_NO_FATAL_FAILURE(FailThenOpenProxyPage(updater));
    Click(updater.MainWindow(), kUseProxyBox);
    TypeOnProxyPage(updater, kAddressField, L"127.0.0.1");
    TypeOnProxyPage(updater, kPortField, L"18081");
    const int tunnels = netrig::TunnelsOpenedBy(L"authproxy");
    ReturnAndRetry(updater);
    ExpectRetryPageAndNothingStarted(updater);
    EXPECT_EQ(netrig::TunnelsOpenedBy(L"authproxy"), tunnels) << "the proxy let a missing account through";

    OpenProxyPage(updater);
    TypeOnProxyPage(updater, kAccountField, L"proxyuser");
    TypeOnProxyPage(updater, kPasswordField, L"not-the-password");
    ReturnAndRetry(updater);
    ExpectRetryPageAndNothingStarted(updater);
    EXPECT_EQ(netrig::TunnelsOpenedBy(L"authproxy"), tunnels) << "the proxy let a wrong password through";

    OpenProxyPage(updater);
    TypeOnProxyPage(updater, kPasswordField, L"Secr3t-pass");
    ReturnAndRetry(updater);
    if (testsupport::RunsUnderWine()) {
        ExpectRetryPageAndNothingStarted(updater);
        EXPECT_EQ(netrig::TunnelsOpenedBy(L"authproxy"), tunnels);
        CloseUpdater(updater);
    } else {
        ExpectInstallerStartedByteForByte(updater);
        EXPECT_EQ(netrig::TunnelsOpenedBy(L"authproxy"), tunnels + 1);
    }
    ExpectNoProxyCredentialsReachedTheServer(firstRequest);
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
        // The open proxy, with the account kept: under Wine no authenticated
        // tunnel can open (see AuthenticatingProxyRefusesWrongCredentialsAndPassesRightOnes).
        TypeOnProxyPage(updater, kPortField, L"18080");
        TypeOnProxyPage(updater, kAccountField, L"proxyuser");
        TypeOnProxyPage(updater, kPasswordField, L"Secr3t-pass");
        Click(main, kSaveButton);
        EXPECT_EQ(ReadProxySettingsFile(settings_).password, L"Secr3t-pass");
        CloseUpdater(updater);
    }
    {
        SCOPED_TRACE("the next start downloads through the saved proxy, and its account reaches no server");
        PublishInstaller();
        const int openTunnels = netrig::TunnelsOpenedBy(L"proxy");
        const size_t firstRequest = netrig::ServerRequests().size();
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ExpectInstallerStartedByteForByte(updater);
        EXPECT_EQ(netrig::TunnelsOpenedBy(L"proxy"), openTunnels + 1);
        EXPECT_GT(netrig::ServerRequests().size(), firstRequest);
        ExpectNoProxyCredentialsReachedTheServer(firstRequest);
    }
}

// The leftovers that are links (the folders bin and data, the shared Support
// folder, and links inside uninstall) are removed as links: what they lead to
// survives byte for byte.
TEST_F(UpdaterEndToEndTest, LinkedLeftoversAreRemovedAsLinksAndWhatTheyLeadToIsKept)
{
    const OutsideFolder forBin(L"for-bin"), forData(L"for-data"), forSupport(L"for-support"),
        forUninstall(L"for-uninstall");
    SHCreateDirectoryExW(nullptr, (folder_ + L"\\uninstall").c_str(), nullptr);
    SHCreateDirectoryExW(
        nullptr, std::wstring(kSharedFolder).substr(0, std::wstring(kSharedFolder).rfind(L'\\')).c_str(), nullptr);
    const struct
    {
        std::wstring link;
        std::wstring target;
        bool folder;
    } links[] = {
        {folder_ + L"\\bin", forBin.Path(), true},
        {folder_ + L"\\data", forData.Path(), true},
        {kSharedFolder, forSupport.Path(), true},
        {folder_ + L"\\uninstall\\inner", forUninstall.Path() + L"\\inner", true},
        {folder_ + L"\\uninstall\\uninst.exe", forUninstall.File(), false},
    };
    for (const auto& link : links) {
        const bool made = link.folder ? testsupport::MakeFolderLink(link.link, link.target)
                                      : testsupport::MakeFileLink(link.link, link.target);
        ASSERT_TRUE(made) << "cannot make the link " << ToNarrow(link.link.c_str()) << " (error " << GetLastError()
                          << ")";
    }
    // Limit under Wine: its Windows API cannot remove a (Unix) link to a folder
    // at all, so there those links stay, still links, and the installer finds
    // them; the folders they lead to are whole all the same.
    const bool folderLinksStay = testsupport::RunsUnderWine();
    ASSERT_NO_FATAL_FAILURE(DownloadAndStartTheInstaller(folderLinksStay ? "uninstall\nbin\ndata\nSupport\n" : ""));
    for (const auto& link : links) {
        if (link.folder && folderLinksStay) {
            EXPECT_TRUE(testsupport::IsLink(link.link)) << ToNarrow(link.link.c_str());
        } else {
            EXPECT_FALSE(Exists(link.link)) << ToNarrow(link.link.c_str());
        }
    }
    if (!folderLinksStay) {
        EXPECT_FALSE(Exists(folder_ + L"\\uninstall"));
    }
    forBin.ExpectWhole();
    forData.ExpectWhole();
    forSupport.ExpectWhole();
    forUninstall.ExpectWhole();
    testsupport::RemoveLink(folder_ + L"\\uninstall\\uninst.exe");
    RemoveLinksAtTheLeftoversPlaces();
    RemoveDirectoryW((folder_ + L"\\uninstall").c_str());
}

// What has the installer's name is replaced, never written through: a link or
// a second name of another file (which survives byte for byte), or a read-only
// earlier download. The file started is the one written.
TEST_F(UpdaterEndToEndTest, InstallerNameThatLeadsElsewhereOrIsReadOnlyIsReplaced)
{
    PublishInstaller();
    const testsupport::FileLinkKind kinds[] = {
        testsupport::kFileLinkKinds[0],
        testsupport::kFileLinkKinds[1],
        {"read-only earlier download",
         [](const std::wstring& target, const std::wstring&) {
             WriteFileText(target, "earlier download", FILE_ATTRIBUTE_READONLY);
             return true;
         }},
    };
    for (const testsupport::FileLinkKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const OutsideFolder outside(L"outside-target");
        RemoveEarlierDownload();
        ASSERT_TRUE(kind.make(target_, outside.File())) << "error " << GetLastError();
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ExpectInstallerStartedByteForByte(updater);
        EXPECT_FALSE(testsupport::IsLink(target_));
        outside.ExpectWhole();
    }
}

// Neither the settings file nor its temporary file is opened through a link:
// a link at installer.ini is not read, a link named like the temporary file
// ("installer.ini.tmp") is left alone, and a save writes a file of its own.
TEST_F(UpdaterEndToEndTest, SettingsAreNeverReadOrWrittenThroughALink)
{
    const OutsideFolder outside(L"outside-settings");
    const std::string outsideSettings = "usingProxy = 1\nip = \"198.51.100.1\"\nport = \"9\"\n";
    WriteFileText(outside.Path() + L"\\settings.ini", outsideSettings);
    ASSERT_TRUE(testsupport::MakeFileLink(settings_, outside.Path() + L"\\settings.ini")) << GetLastError();
    ASSERT_TRUE(testsupport::MakeFileLink(settings_ + L".tmp", outside.File())) << GetLastError();

    UpdaterProcess updater;
    ASSERT_TRUE(updater.Started());
    ASSERT_TRUE(updater.WaitForPage(kRetryPage, 60000));
    OpenProxyPage(updater);
    EXPECT_EQ(TextOf(updater.MainWindow(), kAddressField), L"") << "the settings were read through the link";
    Click(updater.MainWindow(), kUseProxyBox);
    TypeOnProxyPage(updater, kAddressField, L"192.0.2.44");
    TypeOnProxyPage(updater, kPortField, L"3128");
    Click(updater.MainWindow(), kSaveButton);
    CloseUpdater(updater);

    EXPECT_EQ(ReadFileText(outside.Path() + L"\\settings.ini"), outsideSettings);
    outside.ExpectWhole();
    EXPECT_EQ(ReadProxySettingsFile(settings_).ip, L"192.0.2.44");
    // Not the updater's: still there, still leading to the outside file.
    EXPECT_EQ(ReadFileText(settings_ + L".tmp"), ReadFileText(outside.File()));
    testsupport::RemoveLink(settings_ + L".tmp");
}

// A file an earlier updater wrote in the ANSI code page fills the page; text
// in Chinese and in letters outside that code page, typed on the page, is
// saved in UTF-8 and comes back exactly on the next start.
TEST_F(UpdaterEndToEndTest, TextOutsideTheAnsiCodePageSurvivesASaveAndTheNextStart)
{
    const std::wstring legacy = L"Jos\u00E9";
    const bool ansiHasIt = ToWide(ToNarrow(legacy)) == legacy;
    WriteFileText(settings_, "usingProxy = 0\r\nip = \"127.0.0.1\"\r\nport = \"3128\"\r\naccount = \"" +
                                 (ansiHasIt ? ToNarrow(legacy) : std::string("ascii")) + "\"\r\n");
    const std::wstring address = L"\u4EE3\u7406.example";
    const std::wstring account = L"\u5F20\u4F1F \u0141ukasz \u0100";
    const std::wstring password = L"\u5BC6\u7801\u00E9\U0001F511";
    {
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ASSERT_TRUE(updater.WaitForPage(kRetryPage, 60000));
        OpenProxyPage(updater);
        if (ansiHasIt) {
            EXPECT_EQ(TextOf(updater.MainWindow(), kAccountField), legacy);
        }
        Click(updater.MainWindow(), kUseProxyBox);
        TypeOnProxyPage(updater, kAddressField, address);
        TypeOnProxyPage(updater, kAccountField, account);
        TypeOnProxyPage(updater, kPasswordField, password);
        Click(updater.MainWindow(), kSaveButton);
        CloseUpdater(updater);
    }
    EXPECT_NE(SettingsText().find("account = \"" + ToUtf8(account) + "\""), std::string::npos) << SettingsText();
    {
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ASSERT_TRUE(updater.WaitForPage(kRetryPage, 60000));
        OpenProxyPage(updater);
        EXPECT_EQ(TextOf(updater.MainWindow(), kAddressField), address);
        EXPECT_EQ(TextOf(updater.MainWindow(), kAccountField), account);
        EXPECT_EQ(TextOf(updater.MainWindow(), kPasswordField), password);
        CloseUpdater(updater);
    }
}

// A 10 MB installer.ini, one long value or many small settings, is far larger
// than any settings file: the window comes up with its controls and answers
// at once, the page shows the defaults, and the file stays as it is until the
// user saves.
TEST_F(UpdaterEndToEndTest, AHugeSettingsFileLeavesTheWindowUsableAndTheFileUntouched)
{
    const size_t size = 10 * 1024 * 1024;
    std::string manySettings;
    for (int i = 0; manySettings.size() < size; ++i)
        manySettings += "setting" + std::to_string(i) + " = \"value of setting " + std::to_string(i) + "\"\n";
    const std::string oneLongValue = "usingProxy = 1\nport = \"3128\"\nip = \"" + std::string(size, 'a') + "\"\n";
    for (const std::string* text : {&oneLongValue, static_cast<const std::string*>(&manySettings)}) {
        SCOPED_TRACE(text == &oneLongValue ? "one long value" : "many small settings");
        WriteFileText(settings_, *text);
        UpdaterProcess updater;
        ASSERT_TRUE(updater.Started());
        ASSERT_TRUE(updater.WaitForPage(kRetryPage, 60000)) << "the window did not come up";
        OpenProxyPage(updater);
        EXPECT_EQ(TextOf(updater.MainWindow(), kAddressField), L"");
        EXPECT_EQ(TextOf(updater.MainWindow(), kPortField), L"");
        if (text == &manySettings) {
            // Saving replaces the file with the settings of the page.
            Click(updater.MainWindow(), kUseProxyBox);
            TypeOnProxyPage(updater, kAddressField, L"192.0.2.8");
            TypeOnProxyPage(updater, kPortField, L"3128");
            Click(updater.MainWindow(), kSaveButton);
            CloseUpdater(updater);
            EXPECT_EQ(ReadProxySettingsFile(settings_).ip, L"192.0.2.8");
            EXPECT_LT(SettingsText().size(), 200u);
            continue;
        }
        CloseUpdater(updater);
        EXPECT_TRUE(SettingsText() == *text) << "the file changed without a save";
    }
}

// A removal of many files takes as long as it takes: the installer starts only
// once it has ended, and finds nothing of the previous installation.
TEST_F(UpdaterEndToEndTest, ARemovalOfManyFilesEndsBeforeTheInstallerStarts)
{
    PrepareLeftovers();
    for (int folder = 0; folder < kManyFolders; ++folder) {
        const std::wstring path = folder_ + L"\\data\\" + std::to_wstring(folder);
        CreateDirectoryW(path.c_str(), nullptr);
        for (int file = 0; file < kFilesPerFolder; ++file)
            WriteFileText(path + L"\\" + std::to_wstring(file) + L".dat", "old client data");
    }
    ASSERT_NO_FATAL_FAILURE(DownloadAndStartTheInstaller());
    EXPECT_FALSE(Exists(folder_ + L"\\data"));
}

// Only one updater runs: a second start brings the first one's window to the
// front and ends with exit code 0, and one installer runs.
TEST_F(UpdaterEndToEndTest, ASecondUpdaterShowsTheFirstAndOneInstallerRuns)
{
    // A signed body of a megabyte, sent slowly: the first updater is still at it
    // when the second starts.
    const std::string body = ReadFileText(netrig::SignedInstaller(L"publisher-padded"));
    ASSERT_EQ(body.size(), 1048576u);
    netrig::Publish(L"mevra.exe", body);
    WriteFileText(netrig::DocumentRoot() + L"\\.slow", "");
    UpdaterProcess first;
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(first.WaitForPage(0, 60000));
    ShowWindow(first.HostWindow(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(first.HostWindow()));

    UpdaterProcess second;
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitForExit(60000), 0u);
    EXPECT_FALSE(IsIconic(first.HostWindow())) << "the first updater's window was not brought back";

    ClearSwitches();
    EXPECT_EQ(first.WaitForExit(120000), 0u);
    EXPECT_TRUE(InstallerRan());
    EXPECT_EQ(ReadFileText(Marker()), "ran");
}

// No system library is loaded from the updater's own folder: copies planted
// beside it (built by the tests; each records when it is loaded) stay unloaded,
// although Wine is told to prefer them to its own ("native first").
TEST_F(UpdaterEndToEndTest, LibrariesPlantedBesideTheUpdaterAreNotLoaded)
{
    const std::vector<std::wstring> libraries = PlantedLibraries();
    ASSERT_FALSE(libraries.empty()) << "no stand-in libraries were built";
    const std::wstring downloads = testsupport::FreshTempFolder(L"downloads");
    ASSERT_TRUE(CopyFileW((testsupport::ProgramFolder() + L"\\MevraUpdater.exe").c_str(),
                          (downloads + L"\\MevraUpdater.exe").c_str(), FALSE));
    std::wstring overrides = L"WINEDLLOVERRIDES=mscoree,mshtml=";
    for (const std::wstring& library : libraries) {
        ASSERT_TRUE(CopyFileW((testsupport::ProgramFolder() + L"\\planted\\" + library).c_str(),
                              (downloads + L"\\" + library).c_str(), FALSE))
            << ToNarrow(library.c_str());
        overrides += L";" + library.substr(0, library.size() - 4) + L"=n,b";
    }
    // The stand-ins do record a load: a copy under a name of its own (this
    // program has the real libraries loaded already), loaded here, says so.
    const std::wstring probe = testsupport::FreshTempFolder(L"stand-in") + L"\\stand-in.dll";
    ASSERT_TRUE(CopyFileW((downloads + L"\\" + libraries.front()).c_str(), probe.c_str(), FALSE));
    HMODULE probed = LoadLibraryW(probe.c_str());
    ASSERT_NE(probed, nullptr);
    FreeLibrary(probed);
    EXPECT_TRUE(Exists(probe + L".loaded")) << "the stand-ins record no load";

    // Nothing published: the attempt runs (through WinHTTP) to the retry page.
    UpdaterProcess updater(downloads + L"\\MevraUpdater.exe", overrides);
    ASSERT_TRUE(updater.Started());
    EXPECT_TRUE(updater.WaitForPage(kRetryPage, 60000));
    // The libraries it delay-loads are loaded, each from the system's own folders.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::vector<std::wstring> loaded = updater.LoadedLibraries();
    for (const wchar_t* library : {L"\\gdiplus.dll", L"\\winhttp.dll", L"\\comctl32.dll"}) {
        const auto found = std::find_if(loaded.begin(), loaded.end(), [library](const std::wstring& path) {
            return path.size() > wcslen(library) &&
                   _wcsicmp(path.c_str() + path.size() - wcslen(library), library) == 0;
        });
        ASSERT_NE(found, loaded.end()) << ToNarrow(library) << " is not loaded";
        EXPECT_EQ(_wcsnicmp(found->c_str(), windows, wcslen(windows)), 0) << ToNarrow(found->c_str());
    }
    CloseUpdater(updater);
    for (const std::wstring& library : libraries)
        EXPECT_FALSE(Exists(downloads + L"\\" + library + L".loaded"))
            << ToNarrow(library.c_str()) << " was loaded from beside the updater";
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new netrig::Environment);
    return RUN_ALL_TESTS();
}
