#include "DownloadEngine.h"
#include "WinHttpCalls.h"

#include "../support/NetRig.h"
#include "TextConvert.h"

#include "TextConvert.h"

#include "../support/Links.h"
#include "../support/TestFiles.h"
#include "../support/CapturedOutput.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using testsupport::Exists;
using testsupport::ReadFileText;

class RecordingListener : public IDownloadListener
{
public:
    void OnProgress(unsigned percentage) override { progress.push_back(percentage); }
    void OnDownloaded(DownloadedFile file) override { downloaded = std::move(file); }
    void OnFailed() override { ++failures; }

    std::vector<unsigned> progress;
    std::optional<DownloadedFile> downloaded;
    int failures = 0;
};

std::string RandomBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

bool StartsWith(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

// Windows answers the tunnel's 407 as a status; Wine fails the secure channel.
bool IsProxyRefusal(const std::string& log)
{
    return log == "download last error HTTP status : 407" || log == "download last error WinHttpSendRequest : 12157";
}

class DownloadEngineTest : public testing::Test
{
protected:
    // One attempt each, unless a test asks for automatic retries.
    void SetUp() override
    {
        target_ = testsupport::FreshTempFolder(L"download") + L"\\Mevra.exe";
        timings_.retryWaitsMs.clear();
    }

    // Runs one attempt with standard output (the diagnostic lines) captured.
    int Run(const std::wstring& url, const ProxySettings& proxy = ProxySettings(),
            std::int32_t expectedSize = kExpectedInstallerSize, std::shared_ptr<PartialDownload> partial = nullptr)
    {
        DownloadJob job;
        job.url = url;
        job.targetPath = target_;
        job.expectedSize = expectedSize;
        job.proxy = proxy;
        job.timings = timings_;
        job.partial = std::move(partial);
        testsupport::StartCapturingStdout();
        const int result = DownloadInstaller(job, listener_);
        log_ = testsupport::CapturedStdout();
        return result;
    }

    void ExpectFailure(int result, const std::string& log)
    {
        EXPECT_EQ(result, -1);
        EXPECT_EQ(log_, log);
        EXPECT_EQ(listener_.failures, 1);
        EXPECT_FALSE(listener_.downloaded.has_value());
    }

    void ExpectSuccess(int result, const std::string& body)
    {
        EXPECT_EQ(log_, "");
        ExpectSuccessAfterRetries(result, body);
    }

    // Success, whatever the attempts before said in their lines.
    void ExpectSuccessAfterRetries(int result, const std::string& body)
    {
        ASSERT_EQ(result, 0) << log_;
        EXPECT_EQ(listener_.failures, 0);
        ASSERT_TRUE(listener_.downloaded.has_value());
        EXPECT_EQ(listener_.downloaded->Path(), target_);
        listener_.downloaded->Close();
        EXPECT_TRUE(ReadFileText(target_) == body) << "the file differs from the body sent";
    }

    static ProxySettings Proxy(const char* port, std::string account = "", std::string password = "")
    {
        ProxySettings proxy;
        proxy.useProxy = true;
        proxy.ip = L"127.0.0.1";
        proxy.port = ToWide(port);
        proxy.account = ToWide(account);
        proxy.password = ToWide(password);
        return proxy;
    }

    void TearDown() override { netrig::ClearRules(); }

    // The updater's timings, with waits short enough for a test; one attempt.
    static DownloadTimings ShortTimings()
    {
        DownloadTimings timings;
        timings.resolveMs = timings.connectMs = timings.sendMs = timings.receiveMs = 2000;
        timings.rateWindowMs = 3000;
        timings.retryWaitsMs.clear();
        return timings;
    }

    std::wstring target_;
    RecordingListener listener_;
    std::string log_;
    DownloadTimings timings_;
};

TEST_F(DownloadEngineTest, InstallerArrivesByteForByteStaysLockedAndStarts)
{
    const std::string installer = ReadFileText(testsupport::ProgramFolder() + L"\\fake_installer.exe");
    ASSERT_FALSE(installer.empty());
    netrig::Publish(L"fake_installer.exe", installer);

    const int result = Run(L"https://localhost/body/fake_installer.exe");
    ASSERT_EQ(result, 0) << log_;
    EXPECT_EQ(log_, "");
    ASSERT_TRUE(listener_.downloaded.has_value());
    DownloadedFile& file = *listener_.downloaded;
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(ReadFileText(target_) == installer);

    // Until it is let go, nobody may change, replace or delete the file...
    EXPECT_EQ(CreateFileW(target_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(target_.c_str()));
    // ...but it can be started.
    DWORD error = 0;
    EXPECT_TRUE(file.Start(&error)) << error;
    file.Close();
    for (int i = 0; i < 300 && !Exists(target_ + L".ran"); ++i)
        Sleep(100);
    EXPECT_EQ(ReadFileText(target_ + L".ran"), "ran");
    EXPECT_TRUE(DeleteFileW(target_.c_str()));
}

TEST_F(DownloadEngineTest, ProgressIsReportedOnlyWhenThePercentageChanges)
{
    const std::string body = RandomBytes(250000, 2);
    netrig::Publish(L"progress.bin", body);

    // 1000 bytes per percent: every chunk moves the value, which ends at 250.
    ExpectSuccess(Run(L"https://localhost/slow/progress.bin", ProxySettings(), 100000), body);
    ASSERT_FALSE(listener_.progress.empty());
    for (size_t i = 1; i < listener_.progress.size(); ++i)
        EXPECT_LT(listener_.progress[i - 1], listener_.progress[i]) << "at report " << i;
    EXPECT_EQ(listener_.progress.back(), 250u);
}

TEST_F(DownloadEngineTest, ManyChunksBelowOnePercentAreReportedOnce)
{
    const std::string body = RandomBytes(300000, 3);
    netrig::Publish(L"small.bin", body);
    ExpectSuccess(Run(L"https://localhost/body/small.bin"), body);
    EXPECT_EQ(listener_.progress, std::vector<unsigned>{0u});
}

TEST_F(DownloadEngineTest, FailuresBeforeTheBodyLeaveNothingToStart)
{
    // Nothing listens on 127.0.0.3.
    ExpectFailure(Run(L"https://127.0.0.3/body/any.bin"), "download last error WinHttpSendRequest : 12029");
    EXPECT_FALSE(Exists(target_));
}

TEST_F(DownloadEngineTest, ErrorStatusIsAFailureAndNotSaved)
{
    ExpectFailure(Run(L"https://localhost/status/404"), "download last error HTTP status : 404");
    EXPECT_FALSE(Exists(target_));
}

TEST_F(DownloadEngineTest, UntrustedCertificateIsRefused)
{
    // The same names, signed by a CA that this prefix does not trust.
    netrig::Publish(L"rogue.bin", RandomBytes(1000, 4));
    netrig::Publish(L".untrusted", "");
    const int result = Run(L"https://localhost/body/rogue.bin");
    DeleteFileW((netrig::DocumentRoot() + L"\\.untrusted").c_str());
    EXPECT_EQ(result, -1);
    EXPECT_EQ(listener_.failures, 1);
    // Windows names the unknown CA (12175); Wine reports a failed secure channel (12157).
    EXPECT_TRUE(log_ == "download last error WinHttpSendRequest : 12175" ||
                log_ == "download last error WinHttpSendRequest : 12157")
        << log_;
    EXPECT_FALSE(Exists(target_));
}

TEST_F(DownloadEngineTest, ConnectionResetInTheMiddleOfTheBodyFails)
{
    netrig::Publish(L"reset.bin", RandomBytes(400000, 5));
    const int result = Run(L"https://localhost/reset/reset.bin");
    EXPECT_EQ(result, -1);
    // Depending on when the reset is noticed: a failed read, or an early end;
    // on a loaded machine the reset may even overtake the unread response
    // (the peer's system discards what was received but not yet read).
    EXPECT_TRUE(StartsWith(log_, "download last error Content-Length : ") ||
                StartsWith(log_, "download last error WinHttpReceiveResponse : ") ||
                StartsWith(log_, "download last error WinHttpReadData : ") ||
                StartsWith(log_, "download last error WinHttpQueryDataAvailable : "))
        << log_;
    EXPECT_NE(log_, "download last error Content-Length : 400000");
    EXPECT_EQ(listener_.failures, 1);
    EXPECT_FALSE(listener_.downloaded.has_value());
}

TEST_F(DownloadEngineTest, BodyShorterThanItsLengthFails)
{
    netrig::Publish(L"short.bin", RandomBytes(400000, 6));
    ExpectFailure(Run(L"https://localhost/short/short.bin"), "download last error Content-Length : 200000");
}

TEST_F(DownloadEngineTest, UnwritableTargetFailsWithoutAFileHandle)
{
    netrig::Publish(L"unwritable.bin", RandomBytes(1000, 7));
    target_ = testsupport::FreshTempFolder(L"download") + L"\\no such folder\\Mevra.exe";
    ExpectFailure(Run(L"https://localhost/body/unwritable.bin"),
                  "download last error create " + ToNarrow(PartialPathOf(target_)) + " : 3");
}

// A failure on disk says which operation on which file failed, never a
// network step: a folder that has the installer's name, or an earlier
// installer that a program holds open.
TEST_F(DownloadEngineTest, FailuresOnDiskNameTheOperationAndTheFile)
{
    netrig::Publish(L"disk.bin", RandomBytes(5000, 14));
    ASSERT_TRUE(CreateDirectoryW(target_.c_str(), nullptr));
    ExpectFailure(Run(L"https://localhost/body/disk.bin"), "download last error replace " + ToNarrow(target_) + " : 5");
    EXPECT_FALSE(Exists(PartialPathOf(target_)));
    ASSERT_TRUE(RemoveDirectoryW(target_.c_str()));

    testsupport::WriteFileText(target_, "earlier installer, running");
    HANDLE held = CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    listener_ = RecordingListener();
    const int result = Run(L"https://localhost/body/disk.bin");
    CloseHandle(held);
    EXPECT_EQ(result, -1);
    // Windows refuses the replacement as a sharing violation (32), Wine as access denied (5).
    EXPECT_TRUE(log_ == "download last error replace " + ToNarrow(target_) + " : 32" ||
                log_ == "download last error replace " + ToNarrow(target_) + " : 5")
        << log_;
    EXPECT_EQ(ReadFileText(target_), "earlier installer, running");
}

// Bodies that are no installer, or not all of one, are refused by the engine
// itself (an HTML page with its length is left to the signature check, see
// the end-to-end tests): a Content-Length that is not a number,
// an empty body, and a body without a length that is not a whole program (the
// end of a body without a length is only the connection's end; a chunked body
// cut before its last chunk looks the same through WinHTTP under Wine).
TEST_F(DownloadEngineTest, BodiesThatAreNoWholeInstallerAreRefused)
{
    const std::string installer = ReadFileText(netrig::SignedInstaller(L"publisher-padded"));
    ASSERT_EQ(installer.size(), 1048576u);
    netrig::Publish(L"hostile.exe", installer);
    const std::string half = std::to_string(installer.size() / 2);
    const struct
    {
        const char* body;
        std::string rules;
        std::string log;
    } bodies[] = {
        {"Content-Length: abc", R"({"length": "bad"})", "download last error Content-Length : 12153"},
        {"empty 200", R"({"body": "empty"})", "download last error empty body : 0"},
        {"no length, closed half way", R"({"length": "none", "cut": {"at": [)" + half + R"(], "how": "close"}})",
         "download last error body without a length : " + half},
        {"chunked, no last chunk", R"({"length": "chunked", "cut": {"at": [)" + half + R"(], "how": "close"}})", ""},
    };
    for (const auto& body : bodies) {
        SCOPED_TRACE(body.body);
        netrig::ServeByRules(body.rules);
        listener_ = RecordingListener();
        const int result = Run(L"https://localhost/client/hostile.exe");
        EXPECT_EQ(result, -1);
        EXPECT_EQ(listener_.failures, 1);
        EXPECT_FALSE(listener_.downloaded.has_value());
        if (!body.log.empty())
            EXPECT_EQ(log_, body.log);
        else
            EXPECT_TRUE(StartsWith(log_, "download last error ")) << log_;
        EXPECT_FALSE(Exists(target_));
    }
    // The same program whole, with no length or chunked, is taken.
    for (const char* rules : {R"({"length": "none"})", R"({"length": "chunked"})"}) {
        SCOPED_TRACE(rules);
        netrig::ServeByRules(rules);
        listener_ = RecordingListener();
        ExpectSuccess(Run(L"https://localhost/client/hostile.exe"), installer);
        EXPECT_TRUE(DeleteFileW(target_.c_str()));
    }
}

// A server that stops answering, or answers too slowly, ends the attempt at the
// job's timings: before the TLS handshake, before the status line, and a body
// that trickles in a byte at a time (under the minimum rate over the window).
TEST_F(DownloadEngineTest, StalledAndTricklingServersEndTheAttempt)
{
    netrig::Publish(L"stall.bin", RandomBytes(200000, 15));
    timings_ = ShortTimings();
    const struct
    {
        const char* server;
        const char* rules;
        const char* log;
    } servers[] = {
        {"stall before the handshake", R"({"stall": "handshake", "seconds": 20})",
         "download last error WinHttpSendRequest : "},
        {"stall before the status line", R"({"stall": "status", "seconds": 20})",
         "download last error WinHttpReceiveResponse : "},
        {"a byte every half second", R"({"trickle": 0.5})", "download last error transfer rate : "},
        {"stall in the body", R"({"cut": {"at": [100000], "how": "stall"}, "seconds": 20})", ""},
    };
    for (const auto& server : servers) {
        SCOPED_TRACE(server.server);
        netrig::ServeByRules(server.rules);
        listener_ = RecordingListener();
        EXPECT_EQ(Run(L"https://localhost/client/stall.bin"), -1);
        EXPECT_EQ(listener_.failures, 1);
        EXPECT_TRUE(StartsWith(log_, server.log)) << log_;
        EXPECT_FALSE(Exists(target_));
    }
}

// The codes of a stall: Windows reports its timeout (12002) for both; Wine 8
// reports a failed secure channel (12157) for the handshake, and the socket's
// own timeout (10060) for the status line.
TEST_F(DownloadEngineTest, AStallIsReportedAsATimeout)
{
    netrig::Publish(L"stall.bin", RandomBytes(1000, 16));
    timings_ = ShortTimings();
    netrig::ServeByRules(R"({"stall": "handshake", "seconds": 20})");
    EXPECT_EQ(Run(L"https://localhost/client/stall.bin"), -1);
    EXPECT_TRUE(log_ == "download last error WinHttpSendRequest : 12002" ||
                (testsupport::RunsUnderWine() && log_ == "download last error WinHttpSendRequest : 12157"))
        << log_;
    netrig::ServeByRules(R"({"stall": "status", "seconds": 20})");
    EXPECT_EQ(Run(L"https://localhost/client/stall.bin"), -1);
    EXPECT_TRUE(log_ == "download last error WinHttpReceiveResponse : 12002" ||
                (testsupport::RunsUnderWine() && log_ == "download last error WinHttpReceiveResponse : 10060"))
        << log_;
}

// --- Resume, automatic retries, stall detection ---

// The server's responses to /client/ since `first`.
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
    if (range.rfind("bytes=", 0) != 0)
        return -1;
    return std::atoll(range.c_str() + 6);
}

void ExpectNeverBack(const std::vector<unsigned>& progress)
{
    for (size_t i = 1; i < progress.size(); ++i)
        EXPECT_LE(progress[i - 1], progress[i]) << "the percentage went back at report " << i;
}

// A reset at 60 %: one more request, for the rest from the byte where the part
// ends, with the validator; the file is the server's byte for byte, and the
// percentage never went back.
TEST_F(DownloadEngineTest, AResetAt60PercentIsResumedFromTheRightByte)
{
    const std::string body = RandomBytes(1000000, 20);
    netrig::Publish(L"resumed.bin", body);
    timings_.retryWaitsMs = {1000, 2000, 4000};
    const size_t first = netrig::ServerResponses().size();
    netrig::ServeByRules(R"({"cut": {"at": [600000], "how": "reset", "times": 1}})");
    ASSERT_EQ(Run(L"https://localhost/client/resumed.bin", ProxySettings(), 1000000), 0) << log_;
    listener_.downloaded->Close();
    EXPECT_TRUE(ReadFileText(target_) == body) << "the resumed file differs from the body sent";
    const std::vector<netrig::ServerResponse> responses = ResponsesSince(first);
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(responses[0].ended, "reset");
    EXPECT_EQ(responses[0].range, "-");
    EXPECT_EQ(responses[1].status, 206);
    EXPECT_NE(responses[1].ifRange, "-") << "the rest was asked for without the validator";
    // The rest runs from where the part ended to the end of the body.
    EXPECT_EQ(RangeStart(responses[1].range) + static_cast<long long>(responses[1].bodyBytes), 1000000);
    EXPECT_GT(RangeStart(responses[1].range), 0);
    EXPECT_NE(log_.find("download retry 1 in 1000 ms\n"), std::string::npos) << log_;
    ExpectNeverBack(listener_.progress);
    EXPECT_EQ(listener_.progress.back(), 100u);
    EXPECT_FALSE(Exists(PartialPathOf(target_)));
}

// Resuming needs a validator and a server that honours ranges: without a
// validator the rest is never asked for; a server that ignores the range sends
// the whole body again, which starts a fresh part (and the bar from zero).
TEST_F(DownloadEngineTest, WithoutAValidatorOrRangesTheBodyStartsAgain)
{
    const std::string body = RandomBytes(500000, 21);
    netrig::Publish(L"again.bin", body);
    timings_.retryWaitsMs = {100, 200, 400};
    for (const char* rules : {R"({"validator": "none", "cut": {"at": [300000], "how": "reset", "times": 1}})",
                              R"({"ranges": false, "cut": {"at": [300000], "how": "reset", "times": 1}})"}) {
        SCOPED_TRACE(rules);
        const size_t first = netrig::ServerResponses().size();
        netrig::ServeByRules(rules);
        listener_ = RecordingListener();
        ExpectSuccessAfterRetries(Run(L"https://localhost/client/again.bin", ProxySettings(), 500000), body);
        const std::vector<netrig::ServerResponse> responses = ResponsesSince(first);
        ASSERT_EQ(responses.size(), 2u);
        EXPECT_EQ(responses[1].status, 200);
        EXPECT_EQ(responses[1].bodyBytes, 500000u);
        EXPECT_TRUE(DeleteFileW(target_.c_str()));
    }
}

// A part kept by one call is continued by the next (the user's retry), unless
// the file changed in between: its new validator brings the whole new body,
// which is never spliced onto the old part.
TEST_F(DownloadEngineTest, APartIsContinuedByTheNextCallButNeverSplicedOntoAChangedFile)
{
    const std::string before = RandomBytes(400000, 22);
    netrig::Publish(L"changing.bin", before);
    netrig::ServeByRules(R"({"cut": {"at": [250000], "how": "reset"}})");
    auto partial = std::make_shared<PartialDownload>();
    EXPECT_EQ(Run(L"https://localhost/client/changing.bin", ProxySettings(), 400000, partial), -1);
    ASSERT_TRUE(partial->CanResume()) << log_;
    EXPECT_TRUE(Exists(PartialPathOf(target_)));
    EXPECT_FALSE(Exists(target_));
    const unsigned reached = listener_.progress.back();

    // The same file: the next call continues the part.
    {
        const std::uint64_t at = partial->received;
        netrig::ServeByRules("{}");
        listener_ = RecordingListener();
        const size_t first = netrig::ServerResponses().size();
        ExpectSuccessAfterRetries(Run(L"https://localhost/client/changing.bin", ProxySettings(), 400000, partial),
                                  before);
        EXPECT_EQ(log_, "download asks for the rest from byte " + std::to_string(at) + "\n");
        const std::vector<netrig::ServerResponse> responses = ResponsesSince(first);
        ASSERT_EQ(responses.size(), 1u);
        EXPECT_EQ(responses[0].status, 206);
        EXPECT_EQ(responses[0].range, "bytes=" + std::to_string(at) + "-");
        ASSERT_FALSE(listener_.progress.empty());
        EXPECT_GE(listener_.progress.front(), reached) << "the bar went back on the user's retry";
        EXPECT_TRUE(DeleteFileW(target_.c_str()));
    }

    // A changed file between the calls: a fresh body, from zero.
    netrig::ServeByRules(R"({"cut": {"at": [250000], "how": "reset"}})");
    listener_ = RecordingListener();
    EXPECT_EQ(Run(L"https://localhost/client/changing.bin", ProxySettings(), 400000, partial), -1);
    ASSERT_TRUE(partial->CanResume());
    const std::string after = RandomBytes(400000, 23);
    netrig::Publish(L"changing.bin", after);
    netrig::ServeByRules("{}");
    listener_ = RecordingListener();
    const size_t first = netrig::ServerResponses().size();
    ExpectSuccessAfterRetries(Run(L"https://localhost/client/changing.bin", ProxySettings(), 400000, partial), after);
    const std::vector<netrig::ServerResponse> responses = ResponsesSince(first);
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].status, 200) << "the rest of another file was sent";
    EXPECT_NE(responses[0].range, "-");
}

// Transient failures are retried on their own (a stall in the body, a 503 with
// its Retry-After); permanent ones (a 404, a Retry-After beyond 30 s) and a
// failure that keeps coming with no progress end after at most three retries.
TEST_F(DownloadEngineTest, TransientFailuresAreRetriedAndPermanentOnesAreNot)
{
    const std::string body = RandomBytes(300000, 24);
    netrig::Publish(L"retried.bin", body);
    timings_ = ShortTimings();
    timings_.retryWaitsMs = {100, 200, 400};
    const struct
    {
        const char* server;
        const char* rules;
        int result;
        size_t responses;
        const char* retryLine; // "" for none
    } servers[] = {
        {"stall in the body, once", R"({"cut": {"at": [200000], "how": "stall", "times": 1}, "seconds": 20})", 0, 2,
         "download retry 1 in 100 ms\n"},
        {"503 with Retry-After: 1, once", R"({"status": 503, "retry_after": 1, "times": 1})", 0, 2,
         "download retry 1 in 1000 ms\n"},
        {"404", R"({"status": 404})", -1, 1, ""},
        {"503 with Retry-After: 31", R"({"status": 503, "retry_after": 31})", -1, 1, ""},
        {"503 every time", R"({"status": 503})", -1, 4, "download retry 3 in 400 ms\n"},
    };
    for (const auto& server : servers) {
        SCOPED_TRACE(server.server);
        const size_t first = netrig::ServerResponses().size();
        netrig::ServeByRules(server.rules);
        listener_ = RecordingListener();
        const int result = Run(L"https://localhost/client/retried.bin", ProxySettings(), 300000);
        EXPECT_EQ(result, server.result) << log_;
        EXPECT_EQ(ResponsesSince(first).size(), server.responses);
        if (*server.retryLine != '\0')
            EXPECT_NE(log_.find(server.retryLine), std::string::npos) << log_;
        else
            EXPECT_EQ(log_.find("download retry"), std::string::npos) << log_;
        EXPECT_EQ(log_.find("download retry 4"), std::string::npos) << log_;
        if (result == 0) {
            listener_.downloaded->Close();
            EXPECT_TRUE(ReadFileText(target_) == body);
            EXPECT_TRUE(DeleteFileW(target_.c_str()));
        } else {
            EXPECT_FALSE(Exists(target_));
            EXPECT_FALSE(Exists(PartialPathOf(target_))) << "a part nobody can continue was left";
        }
    }
}

// The session asks for TLS 1.2 and 1.3 (the rig's server speaks nothing
// older). Limit under Wine 8: it may refuse the TLS 1.3 flag; the session then
// asks for TLS 1.2 alone, and downloads go on.
TEST(ModernTls, IsAskedForExplicitly)
{
    HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    ASSERT_NE(session, nullptr);
    const DWORD protocols = AskForModernTls(session);
    EXPECT_TRUE(protocols == (WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3) ||
                protocols == WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2)
        << std::hex << protocols;
    WinHttpCloseHandle(session);
}

TEST_F(DownloadEngineTest, MalformedUrlFails)
{
    ExpectFailure(Run(L"not a url"), "download last error WinHttpCrackUrl : 12006");
}

TEST_F(DownloadEngineTest, OpenProxyCarriesTheDownload)
{
    const std::string body = RandomBytes(120000, 8);
    netrig::Publish(L"proxied.bin", body);
    ExpectSuccess(Run(L"https://localhost/body/proxied.bin", Proxy(netrig::kProxyPort)), body);
}

// Limit under Wine 8: its WinHTTP opens a tunnel through an authenticating
// proxy only when the client adds a Proxy-Authorization header of its own,
// which Wine then also sends to the download server inside the tunnel. The
// engine gives the account through WinHTTP's proxy calls alone (see
// ProxyCredentials.GoToWinHttpThroughItsProxyCallsAndAddNoHeader), so under Wine
// the proxy refuses it as it refuses a wrong one, and nothing is saved.
TEST_F(DownloadEngineTest, ProxyWithBasicAuthenticationTakesTheAccount)
{
    const std::string body = RandomBytes(120000, 9);
    netrig::Publish(L"authproxied.bin", body);
    const int result = Run(L"https://localhost/body/authproxied.bin",
                           Proxy(netrig::kAuthProxyPort, netrig::kProxyUser, netrig::kProxyPassword));
    if (testsupport::RunsUnderWine()) {
        EXPECT_EQ(result, -1);
        EXPECT_TRUE(IsProxyRefusal(log_)) << log_;
        EXPECT_FALSE(Exists(target_));
        return;
    }
    ExpectSuccess(result, body);
}

TEST_F(DownloadEngineTest, ProxyRefusingTheAccountOrMissingOneFails)
{
    netrig::Publish(L"refused.bin", RandomBytes(1000, 10));
    const int wrong = Run(L"https://localhost/body/refused.bin",
                          Proxy(netrig::kAuthProxyPort, netrig::kProxyUser, "wrong"));
    EXPECT_EQ(wrong, -1);
    EXPECT_TRUE(IsProxyRefusal(log_)) << log_;
    EXPECT_FALSE(Exists(target_));

    listener_ = RecordingListener();
    const int none = Run(L"https://localhost/body/refused.bin", Proxy(netrig::kAuthProxyPort));
    EXPECT_EQ(none, -1);
    EXPECT_TRUE(IsProxyRefusal(log_)) << log_;
    EXPECT_FALSE(Exists(target_));
}

TEST_F(DownloadEngineTest, ProxyThatIsNotThereFails)
{
    ExpectFailure(Run(L"https://localhost/body/any.bin", Proxy("18099")),
                  "download last error WinHttpSendRequest : 12029");
}

// A file outside the download's folder that it must never write.
std::wstring OutsideFile(const std::string& text, DWORD attributes = 0)
{
    const std::wstring path = testsupport::FreshTempFolder(L"outside") + L"\\system.dll";
    testsupport::WriteFileText(path, text, attributes);
    return path;
}

// Whatever had the target's name is replaced, itself: the body never goes
// through a link into another file, and a read-only earlier download is
// replaced as well.
TEST_F(DownloadEngineTest, TargetThatLeadsElsewhereOrIsReadOnlyIsReplacedNeverWrittenThrough)
{
    const std::string body = RandomBytes(50000, 11);
    netrig::Publish(L"replaced.bin", body);
    const std::string before = "outside, before the download";
    const struct
    {
        const char* kind;
        DWORD outsideAttributes;
        bool (*make)(const std::wstring& target, const std::wstring& outside);
    } kinds[] = {
        {"symbolic link", 0, testsupport::MakeFileLink},
        {"hard link", 0, testsupport::MakeHardLink},
        {"hard link of a read-only file", FILE_ATTRIBUTE_READONLY, testsupport::MakeHardLink},
        {"read-only earlier download", 0,
         [](const std::wstring& target, const std::wstring&) {
             testsupport::WriteFileText(target, "earlier download", FILE_ATTRIBUTE_READONLY);
             return true;
         }},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.kind);
        const std::wstring outside = OutsideFile(before, kind.outsideAttributes);
        if (!kind.make(target_, outside)) {
            ADD_FAILURE() << "cannot make the " << kind.kind << " (error " << GetLastError() << ")";
            continue;
        }
        listener_ = RecordingListener();
        ExpectSuccess(Run(L"https://localhost/body/replaced.bin"), body);
        EXPECT_EQ(ReadFileText(outside), before);
        EXPECT_EQ((GetFileAttributesW(outside.c_str()) & FILE_ATTRIBUTE_READONLY) != 0,
                  kind.outsideAttributes == FILE_ATTRIBUTE_READONLY);
        EXPECT_FALSE(testsupport::IsLink(target_));
        listener_ = RecordingListener();
        EXPECT_TRUE(DeleteFileW(target_.c_str()));
    }
}

// A link to a file that is not there: the download makes no file where it leads.
TEST_F(DownloadEngineTest, TargetLinkLeadingNowhereMakesNoFileThere)
{
    const std::string body = RandomBytes(20000, 12);
    netrig::Publish(L"nowhere.bin", body);
    const std::wstring nowhere = testsupport::FreshTempFolder(L"nowhere") + L"\\planted.dll";
    if (!testsupport::MakeFileLink(target_, nowhere))
        GTEST_SKIP() << "this platform cannot make a file link here (error " << GetLastError() << ")";
    ExpectSuccess(Run(L"https://localhost/body/nowhere.bin"), body);
    EXPECT_FALSE(Exists(nowhere));
}

// The proxy account is handed to WinHTTP through its documented proxy calls
// alone: the request carries no Proxy-Authorization header of the updater's
// own, which a client would send inside the tunnel to the download server.
TEST(ProxyCredentials, GoToWinHttpThroughItsProxyCallsAndAddNoHeader)
{
    HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY, L"127.0.0.1:18081",
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    ASSERT_NE(session, nullptr);
    HINTERNET connection = WinHttpConnect(session, L"localhost", INTERNET_DEFAULT_HTTPS_PORT, 0);
    HINTERNET request = WinHttpOpenRequest(connection, L"GET", L"/body/any.bin", L"HTTP/1.1", WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
    ASSERT_NE(request, nullptr);

    ASSERT_TRUE(GiveProxyCredentials(request, L"proxyuser", L"Secr3t-pass"));
    const auto option = [request](DWORD which) {
        wchar_t text[64] = {};
        DWORD size = sizeof(text);
        return WinHttpQueryOption(request, which, text, &size) ? std::wstring(text) : std::wstring(L"<none>");
    };
    EXPECT_EQ(option(WINHTTP_OPTION_PROXY_USERNAME), L"proxyuser");
    EXPECT_EQ(option(WINHTTP_OPTION_PROXY_PASSWORD), L"Secr3t-pass");
    wchar_t header[256] = {};
    DWORD size = sizeof(header);
    EXPECT_FALSE(WinHttpQueryHeaders(request, WINHTTP_QUERY_PROXY_AUTHORIZATION | WINHTTP_QUERY_FLAG_REQUEST_HEADERS,
                                     WINHTTP_HEADER_NAME_BY_INDEX, header, &size, WINHTTP_NO_HEADER_INDEX))
        << "the request carries its own Proxy-Authorization: " << testing::PrintToString(std::wstring(header));

    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
}

// Whatever the proxy and the account, and wherever a redirect leads, no
// request that reaches the download server carries the proxy's credentials.
//
// Limit under Wine 8: a redirect to another server through a proxy never
// completes (Wine opens the new connection to the proxy without a CONNECT),
// so there the redirects stay on the same server; and no tunnel through the
// authenticating proxy opens at all (see ProxyWithBasicAuthenticationTakesTheAccount).
TEST_F(DownloadEngineTest, ProxyCredentialsNeverReachTheDownloadServer)
{
    const std::string body = RandomBytes(30000, 13);
    netrig::Publish(L"credentials.bin", body);
    const size_t first = netrig::ServerRequests().size();
    const std::wstring redirect = testsupport::RunsUnderWine() ? L"https://localhost/moved/credentials.bin"
                                                               : L"https://localhost/redirect/credentials.bin";
    const ProxySettings open = Proxy(netrig::kProxyPort, netrig::kProxyUser, netrig::kProxyPassword);
    const ProxySettings authenticating = Proxy(netrig::kAuthProxyPort, netrig::kProxyUser, netrig::kProxyPassword);
    const struct
    {
        const char* attempt;
        std::wstring url;
        ProxySettings proxy;
    } attempts[] = {
        {"open proxy with an account", L"https://localhost/body/credentials.bin", open},
        {"open proxy with an account, redirected", redirect, open},
        {"authenticating proxy, right account", L"https://localhost/body/credentials.bin", authenticating},
        {"authenticating proxy, right account, redirected", redirect, authenticating},
        {"authenticating proxy, wrong password", L"https://localhost/body/credentials.bin",
         Proxy(netrig::kAuthProxyPort, netrig::kProxyUser, "wrong")},
    };
    for (const auto& attempt : attempts) {
        SCOPED_TRACE(attempt.attempt);
        listener_ = RecordingListener();
        Run(attempt.url, attempt.proxy);
        if (listener_.downloaded)
            listener_.downloaded->Close();
    }

    const std::vector<netrig::ServerRequest> requests = netrig::ServerRequests();
    ASSERT_GT(requests.size(), first) << "no request reached the server, so none could be looked at";
    for (size_t i = first; i < requests.size(); ++i)
        EXPECT_FALSE(requests[i].Carries("proxy-authorization")) << "request for " << requests[i].path;
    // The redirect was followed: the body was asked for after the redirect.
    const auto isRedirect = [](const netrig::ServerRequest& request) {
        return request.path.find("/moved/") != std::string::npos ||
               request.path.find("/redirect/") != std::string::npos;
    };
    const auto redirectAt = std::find_if(requests.begin() + first, requests.end(), isRedirect);
    ASSERT_NE(redirectAt, requests.end());
    EXPECT_TRUE(std::any_of(redirectAt + 1, requests.end(), [](const netrig::ServerRequest& request) {
        return request.path.find("/body/credentials.bin") != std::string::npos;
    }));
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new netrig::Environment);
    return RUN_ALL_TESTS();
}
