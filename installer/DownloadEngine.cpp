#include "DownloadEngine.h"

#include "Diagnostics.h"
#include "DownloadRetryPolicy.h"
#include "KernelHandle.h"
#include "LinkSafeFiles.h"
#include "ProgramImage.h"
#include "TextConvert.h"
#include "WinHttpCalls.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#ifndef MEVRA_DOWNLOAD_HOST
#define MEVRA_DOWNLOAD_HOST "download.mevra.com"
#endif

namespace {

const DWORD kChunkSize = 4096;
// Room for each part of the download URL as WinHttpCrackUrl splits it, in characters.
const DWORD kUrlSchemeChars = 64;
const DWORD kUrlPartChars = 1024;

// "download last error <step> : <code>", no line end.
void LogFailure(const char* step, long code)
{
    WriteDiagnosticText(stdout, std::string("download last error ") + step + " : " + std::to_string(code));
}

void LogLastError(const char* step)
{
    LogFailure(step, static_cast<long>(static_cast<int>(GetLastError())));
}

// A failure on disk names the operation and the file: "download last error
// replace C:\...\Mevra.exe : 32".
void LogFileError(const wchar_t* operation, const std::wstring& path)
{
    const long code = static_cast<long>(static_cast<int>(GetLastError()));
    WriteDiagnosticText(stdout, std::wstring(L"download last error ") + operation + L" " + path + L" : " +
                                    std::to_wstring(code));
}

bool IsSameFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& expected, unsigned long long size)
{
    BY_HANDLE_FILE_INFORMATION found = {};
    return GetFileInformationByHandle(file, &found) && found.dwVolumeSerialNumber == expected.dwVolumeSerialNumber &&
           found.nFileIndexHigh == expected.nFileIndexHigh && found.nFileIndexLow == expected.nFileIndexLow &&
           ((static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow) == size;
}

// Reports the percentage whenever it grows, the first time always; it goes
// back only when the body starts again from zero.
class ProgressReporter
{
public:
    ProgressReporter(IDownloadListener& listener, std::int32_t expectedSize)
        : m_listener(listener), m_expectedSize(expectedSize)
    {
    }

    void Report(std::uint64_t received)
    {
        const unsigned percentage = DownloadPercentage(received, m_expectedSize);
        if (m_last && percentage <= *m_last)
            return;
        m_last = percentage;
        m_listener.OnProgress(percentage);
    }

    void Restart() { m_last.reset(); }

private:
    IDownloadListener& m_listener;
    std::int32_t m_expectedSize;
    std::optional<unsigned> m_last;
};

// One request for the body, or for its rest: the body goes into the part (a
// fresh one for a whole body), which takes the target's name once whole.
class Attempt
{
public:
    Attempt(const DownloadJob& job, PartialDownload& partial, ProgressReporter& progress)
        : m_job(job), m_partial(partial), m_progress(progress)
    {
    }

    // The downloaded file, still locked; no network handle open when the
    // attempt failed, and the part as far as it got.
    std::optional<DownloadedFile> Run();

    const AttemptFailure& Failure() const { return m_failure; }

private:
    bool OpenSession();
    bool SetTimeouts();
    bool SetProxyCredentials();
    bool SendAndReceive();
    bool AnswerProxyChallenge();
    bool AskForTheRest();
    void FailOnWinHttp(const char* step);
    void FailOnStatus(std::optional<DWORD> status);
    std::optional<DownloadedFile> Transfer(DWORD status);
    bool ContinueThePart();
    bool StartThePart(const ContentLength& contentLength);
    KernelHandle CreatePartialFile();
    bool ReceiveBody();
    bool IsWhole();
    bool PutUnderTheTargetName();
    std::optional<DownloadedFile> LockWrittenFile();

    const DownloadJob& m_job;
    PartialDownload& m_partial;
    ProgressReporter& m_progress;
    AttemptFailure m_failure;
    bool m_restAsked = false;
    std::wstring m_account;
    std::wstring m_password;
    WinHttpHandle m_session;
    WinHttpHandle m_connection;
    WinHttpHandle m_request;
};

// What WinHTTP said when sending, receiving or reading decides whether the
// attempt is worth repeating.
void Attempt::FailOnWinHttp(const char* step)
{
    const DWORD error = GetLastError();
    LogFailure(step, static_cast<long>(static_cast<int>(error)));
    m_failure = FailureOfWinHttpError(error);
}

void Attempt::FailOnStatus(std::optional<DWORD> status)
{
    LogFailure("HTTP status", status ? static_cast<long>(*status) : 0);
    if (status)
        m_failure = FailureOfStatus(*status, QueryHeaderText(m_request.Get(), WINHTTP_QUERY_RETRY_AFTER));
}

bool Attempt::OpenSession()
{
    const ProxySettings& proxy = m_job.proxy;
    if (proxy.useProxy) {
        // The proxy text is taken as typed: address, ":", port.
        const std::wstring proxyText = proxy.ip + L":" + proxy.port;
        m_session = WinHttpHandle(
            WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxyText.c_str(), WINHTTP_NO_PROXY_BYPASS, 0));
        m_account = proxy.account;
        m_password = proxy.password;
        if (m_session)
            return true;
        LogLastError("WinHttpOpen");
        // Credentials cannot be given to a proxy that is not there.
        if (!m_account.empty())
            return false;
        // Without an account the attempt goes on without the proxy.
    }
    m_session = WinHttpHandle(
        WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!m_session) {
        LogLastError("WinHttpOpen");
        return false;
    }
    m_account.clear();
    m_password.clear();
    return true;
}

// Set on the session before any connection, so that they cover the name
// lookup, the TLS handshake and the headers as well as the body.
bool Attempt::SetTimeouts()
{
    const DownloadTimings& timings = m_job.timings;
    if (!WinHttpSetTimeouts(m_session.Get(), static_cast<int>(timings.resolveMs), static_cast<int>(timings.connectMs),
                            static_cast<int>(timings.sendMs), static_cast<int>(timings.receiveMs))) {
        LogLastError("WinHttpSetTimeouts");
        return false;
    }
    // The wait for the whole status line and headers, which WinHttpSetTimeouts
    // leaves at the platform's default.
    DWORD headersMs = timings.receiveMs;
    if (!WinHttpSetOption(m_session.Get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headersMs, sizeof(headersMs))) {
        LogLastError("WinHttpSetOption");
        return false;
    }
    AskForModernTls(m_session.Get());
    return true;
}

// Proxy credentials belong on the request handle: a session refuses them.
bool Attempt::SetProxyCredentials()
{
    if (GiveProxyCredentials(m_request.Get(), m_account, m_password))
        return true;
    LogLastError("WinHttpSetOption");
    return false;
}

bool Attempt::SendAndReceive()
{
    if (!WinHttpSendRequest(m_request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        FailOnWinHttp("WinHttpSendRequest");
        return false;
    }
    if (!WinHttpReceiveResponse(m_request.Get(), nullptr)) {
        FailOnWinHttp("WinHttpReceiveResponse");
        return false;
    }
    return true;
}

// After a 407 the proxy's own scheme is answered with the account once.
bool Attempt::AnswerProxyChallenge()
{
    DWORD supported = 0;
    DWORD first = 0;
    DWORD target = 0;
    if (!WinHttpQueryAuthSchemes(m_request.Get(), &supported, &first, &target)) {
        LogLastError("WinHttpQueryAuthSchemes");
        return false;
    }
    const DWORD scheme = (supported & WINHTTP_AUTH_SCHEME_BASIC) != 0 ? WINHTTP_AUTH_SCHEME_BASIC : first;
    if (!WinHttpSetCredentials(m_request.Get(), WINHTTP_AUTH_TARGET_PROXY, scheme, m_account.c_str(),
                               m_password.c_str(), nullptr)) {
        LogLastError("WinHttpSetCredentials");
        return false;
    }
    return SendAndReceive();
}

// The rest of the part, only while the body is the one the part began with.
bool Attempt::AskForTheRest()
{
    const std::wstring headers = L"Range: bytes=" + std::to_wstring(m_partial.received) + L"-\r\nIf-Range: " +
                                 m_partial.validator;
    if (!WinHttpAddRequestHeaders(m_request.Get(), headers.c_str(), static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD)) {
        LogLastError("WinHttpAddRequestHeaders");
        return false;
    }
    m_restAsked = true;
    WriteDiagnosticLine(stdout, "download asks for the rest from byte " + std::to_string(m_partial.received));
    return true;
}

std::optional<DownloadedFile> Attempt::Run()
{
    wchar_t scheme[kUrlSchemeChars] = {};
    std::vector<wchar_t> host(kUrlPartChars), user(kUrlPartChars), password(kUrlPartChars), path(kUrlPartChars),
        extra(kUrlPartChars);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszScheme = scheme;
    parts.dwSchemeLength = kUrlSchemeChars;
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = kUrlPartChars;
    parts.lpszUserName = user.data();
    parts.dwUserNameLength = kUrlPartChars;
    parts.lpszPassword = password.data();
    parts.dwPasswordLength = kUrlPartChars;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = kUrlPartChars;
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = kUrlPartChars;
    if (!WinHttpCrackUrl(m_job.url.c_str(), 0, ICU_ESCAPE, &parts)) {
        LogLastError("WinHttpCrackUrl");
        return std::nullopt;
    }

    if (!OpenSession() || !SetTimeouts())
        return std::nullopt;
    m_connection = WinHttpHandle(WinHttpConnect(m_session.Get(), host.data(), INTERNET_DEFAULT_HTTPS_PORT, 0));
    if (!m_connection) {
        LogLastError("WinHttpConnect");
        return std::nullopt;
    }
    m_request = WinHttpHandle(WinHttpOpenRequest(m_connection.Get(), L"GET", path.data(), L"HTTP/1.1",
                                                 WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                 WINHTTP_FLAG_SECURE));
    if (!m_request) {
        LogLastError("WinHttpOpenRequest");
        return std::nullopt;
    }
    if (!SetProxyCredentials() || (m_partial.CanResume() && !AskForTheRest()) || !SendAndReceive())
        return std::nullopt;

    std::optional<DWORD> status = QueryStatusCode(m_request.Get());
    if (status == DWORD(HTTP_STATUS_PROXY_AUTH_REQ) && !m_account.empty()) {
        if (!AnswerProxyChallenge())
            return std::nullopt;
        status = QueryStatusCode(m_request.Get());
    }
    // Only a success answer is the installer; an error page is never saved as one.
    if (!status || *status < 200 || *status > 299) {
        FailOnStatus(status);
        return std::nullopt;
    }
    return Transfer(*status);
}

// The body goes into a file of its own beside the target (the part), which
// takes the target's name only once the whole body is in: the installer's name
// never holds a part, and nothing is ever written through a link that had it.
// A 206 continues the part; any other success status is a whole body, which
// starts a fresh part (the server ignored the range, or the file changed).
std::optional<DownloadedFile> Attempt::Transfer(DWORD status)
{
    const ContentLength contentLength = QueryContentLength(m_request.Get());
    if (contentLength.present && !contentLength.valid) {
        LogFailure("Content-Length", ERROR_WINHTTP_INVALID_HEADER);
        return std::nullopt;
    }
    const bool started = status == HTTP_STATUS_PARTIAL_CONTENT ? ContinueThePart() : StartThePart(contentLength);
    if (!started || !ReceiveBody() || !IsWhole() || !PutUnderTheTargetName())
        return std::nullopt;
    return LockWrittenFile();
}

// Only the rest that was asked for, of the same body, is appended.
bool Attempt::ContinueThePart()
{
    const std::wstring range = QueryHeaderText(m_request.Get(), WINHTTP_QUERY_CONTENT_RANGE);
    if (m_restAsked && ContinuesThePart(range, m_partial.received, m_partial.fullLength))
        return true;
    LogFailure("Content-Range", static_cast<long>(m_partial.received));
    m_partial.Discard();
    m_failure.transient = true;
    return false;
}

// The bar starts again from zero when a part is given up.
bool Attempt::StartThePart(const ContentLength& contentLength)
{
    if (m_partial.received > 0)
        m_progress.Restart();
    m_partial.Discard();
    m_partial.file = CreatePartialFile();
    if (!m_partial.file)
        return false;
    m_partial.validator = ResumeValidator(QueryHeaderText(m_request.Get(), WINHTTP_QUERY_ETAG),
                                          QueryHeaderText(m_request.Get(), WINHTTP_QUERY_LAST_MODIFIED));
    m_partial.fullLength = contentLength.valid ? contentLength.value : 0;
    return true;
}

// "<target>.partial": made new under a unique name (CREATE_NEW, so no link that
// has a name there is ever opened) and then given the partial name, replacing
// what had it (the part of an attempt that was closed, or a link, itself); so
// at most one part is ever left behind. Others may read it while it grows, but
// nobody may change or delete it.
KernelHandle Attempt::CreatePartialFile()
{
    std::wstring createdPath;
    KernelHandle partial = CreateUniqueSibling(m_job.targetPath, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                               createdPath);
    if (partial && PutUnderName(partial.Get(), PartialPathOf(m_job.targetPath)))
        return partial;
    LogFileError(L"create", PartialPathOf(m_job.targetPath));
    if (partial)
        DeleteOnClose(partial.Get());
    return KernelHandle();
}

// Appends to the part what it holds so far. Each wait for data ends at the
// receive timeout (a stall); a body that keeps arriving, but too slowly, is
// ended by the rate rule. Both are worth a retry.
bool Attempt::ReceiveBody()
{
    const HANDLE target = m_partial.file.Get();
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(m_partial.received);
    if (!SetFilePointerEx(target, end, nullptr, FILE_BEGIN) || !SetEndOfFile(target)) {
        LogFileError(L"write", PartialPathOf(m_job.targetPath));
        return false;
    }
    std::vector<char> buffer(kChunkSize);
    TransferRateRule rate(m_job.timings.rateWindowMs, m_job.timings.minimumBytesPerSecond, GetTickCount64());
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(m_request.Get(), &available)) {
        FailOnWinHttp("WinHttpQueryDataAvailable");
        return false;
    }
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        DWORD read = 0;
        if (!WinHttpReadData(m_request.Get(), buffer.data(), (std::min)(available, kChunkSize), &read)) {
            FailOnWinHttp("WinHttpReadData");
            return false;
        }
        if (read == 0)
            return true;
        DWORD written = 0;
        if (!WriteFile(target, buffer.data(), read, &written, nullptr) || written != read) {
            LogFileError(L"write", PartialPathOf(m_job.targetPath));
            return false;
        }
        m_partial.received += read;
        m_progress.Report(m_partial.received);
        if (!rate.Admits(GetTickCount64(), read)) {
            LogFailure("transfer rate", static_cast<long>(m_partial.received));
            m_failure.transient = true;
            return false;
        }
        if (!WinHttpQueryDataAvailable(m_request.Get(), &available)) {
            FailOnWinHttp("WinHttpQueryDataAvailable");
            return false;
        }
    }
}

// A connection that ends early looks like the end of the body: with a length,
// the length tells; without one (a body that ends with the connection, or a
// chunked body, whose missing last chunk WinHTTP may not report), only a whole
// program is taken. An empty body is never an installer.
bool Attempt::IsWhole()
{
    const std::uint64_t received = m_partial.received;
    if (received == 0) {
        LogFailure("empty body", 0);
        return false;
    }
    m_failure.transient = true; // what is missing may still come
    if (m_partial.fullLength > 0) {
        if (m_partial.fullLength == received)
            return true;
        LogFailure("Content-Length", static_cast<long>(received));
        return false;
    }
    if (IsWholeProgramImage(m_partial.file.Get(), received))
        return true;
    LogFailure("body without a length", static_cast<long>(received));
    return false;
}

// Whatever had the target's name (an earlier download, read-only or not, a
// link, a file with other names) is replaced as itself.
bool Attempt::PutUnderTheTargetName()
{
    m_failure.transient = false;
    if (PutUnderName(m_partial.file.Get(), m_job.targetPath))
        return true;
    LogFileError(L"replace", m_job.targetPath);
    return false;
}

// A program cannot be started while a handle may write to it, so the writer
// gives way to a reader that still keeps everybody else from changing or
// deleting the file. The reader must find the very file that was written, at
// its full length, as the only name of that file.
std::optional<DownloadedFile> Attempt::LockWrittenFile()
{
    KernelHandle writer = std::move(m_partial.file);
    const std::uint64_t received = m_partial.received;
    m_partial = PartialDownload();
    BY_HANDLE_FILE_INFORMATION written = {};
    if (!GetFileInformationByHandle(writer.Get(), &written)) {
        LogFileError(L"inspect", m_job.targetPath);
        return std::nullopt;
    }
    writer.Reset();
    KernelHandle reader = OpenPlainFile(m_job.targetPath, GENERIC_READ, FILE_SHARE_READ);
    if (!reader) {
        LogFileError(L"reopen", m_job.targetPath);
        return std::nullopt;
    }
    if (!IsSameFile(reader.Get(), written, received)) {
        SetLastError(ERROR_FILE_INVALID);
        LogFileError(L"reopen", m_job.targetPath);
        return std::nullopt;
    }
    return DownloadedFile(reader.Release(), m_job.targetPath);
}

} // namespace

std::wstring PartialPathOf(const std::wstring& targetPath)
{
    return targetPath + L".partial";
}

std::wstring InstallerUrl()
{
    return L"https://" MEVRA_DOWNLOAD_HOST L"/client/latest/mevra.exe";
}

bool GiveProxyCredentials(HINTERNET request, const std::wstring& account, const std::wstring& password)
{
    if (account.empty())
        return true;
    if (!WinHttpSetOption(request, WINHTTP_OPTION_PROXY_USERNAME, const_cast<wchar_t*>(account.c_str()),
                          static_cast<DWORD>(account.size())) ||
        !WinHttpSetOption(request, WINHTTP_OPTION_PROXY_PASSWORD, const_cast<wchar_t*>(password.c_str()),
                          static_cast<DWORD>(password.size())))
        return false;
    // Offering Basic at once is only a head start: where it is not taken, the
    // proxy's 407 is answered after the response (AnswerProxyChallenge).
    WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_PROXY, WINHTTP_AUTH_SCHEME_BASIC, account.c_str(),
                          password.c_str(), nullptr);
    return true;
}

unsigned DownloadPercentage(std::uint64_t received, std::int32_t expectedSize)
{
    const std::uint64_t expected = expectedSize > 0 ? static_cast<std::uint64_t>(expectedSize) : 0;
    const std::uint64_t percentage = received / (std::max)(expected / 100u, static_cast<std::uint64_t>(1));
    return static_cast<unsigned>((std::min)(percentage, static_cast<std::uint64_t>(~0u)));
}

// Attempts until one brings the whole body, a failure is permanent, or the
// automatic retries are used up (the job's waits, one per retry).
int DownloadInstaller(DownloadJob job, IDownloadListener& listener)
{
    // Without a part of the caller's, the part serves this call's retries alone.
    const std::shared_ptr<PartialDownload> partial = job.partial ? job.partial : std::make_shared<PartialDownload>();
    ProgressReporter progress(listener, job.expectedSize);
    for (std::size_t retry = 0;; ++retry) {
        std::optional<DownloadedFile> file;
        AttemptFailure failure;
        {
            Attempt attempt(job, *partial, progress);
            file = attempt.Run();
            failure = attempt.Failure();
        }
        if (file) {
            listener.OnDownloaded(std::move(*file));
            return 0;
        }
        if (!partial->CanResume())
            partial->Discard();
        const std::optional<DWORD> wait = WaitBeforeRetry(failure, job.timings, retry);
        if (!wait)
            break;
        WriteDiagnosticLine(stdout,
                            "download retry " + std::to_string(retry + 1) + " in " + std::to_string(*wait) + " ms");
        Sleep(*wait);
    }
    if (!job.partial)
        partial->Discard();
    listener.OnFailed();
    return -1;
}
