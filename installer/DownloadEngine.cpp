#include "DownloadEngine.h"

#include "Diagnostics.h"
#include "KernelHandle.h"
#include "LinkSafeFiles.h"
#include "TextConvert.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <utility>
#include <vector>

#ifndef MEVRA_DOWNLOAD_HOST
#define MEVRA_DOWNLOAD_HOST "download.mevra.com"
#endif

namespace {

const DWORD kChunkSize = 4096;

class WinHttpHandle {
public:
    explicit WinHttpHandle(HINTERNET handle = nullptr) : handle_(handle) {}
    ~WinHttpHandle()
    {
        if (handle_ != nullptr)
            WinHttpCloseHandle(handle_);
    }
    WinHttpHandle(const WinHttpHandle&) = delete;
    WinHttpHandle& operator=(const WinHttpHandle&) = delete;
    WinHttpHandle& operator=(WinHttpHandle&& other) noexcept
    {
        std::swap(handle_, other.handle_);
        return *this;
    }
    HINTERNET Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

// "download last error <step> : <code>", no line end.
void LogFailure(const char* step, long code)
{
    WriteDiagnosticText(stdout, std::string("download last error ") + step + " : " + std::to_string(code));
}

void LogLastError(const char* step)
{
    LogFailure(step, static_cast<long>(static_cast<int>(GetLastError())));
}

std::optional<DWORD> QueryStatusCode(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    return status;
}

std::optional<unsigned long long> QueryContentLength(HINTERNET request)
{
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    wchar_t* end = nullptr;
    const unsigned long long length = std::wcstoull(text, &end, 10);
    if (end == text || *end != L'\0')
        return std::nullopt;
    return length;
}

bool IsSameFile(HANDLE file, const BY_HANDLE_FILE_INFORMATION& expected, unsigned long long size)
{
    BY_HANDLE_FILE_INFORMATION found = {};
    return GetFileInformationByHandle(file, &found) && found.dwVolumeSerialNumber == expected.dwVolumeSerialNumber &&
           found.nFileIndexHigh == expected.nFileIndexHigh && found.nFileIndexLow == expected.nFileIndexLow &&
           ((static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow) == size;
}

class Attempt {
public:
    Attempt(DownloadJob job, IDownloadListener& listener) : job_(std::move(job)), listener_(listener) {}

    // The downloaded file, still locked; nothing open when the attempt failed.
    std::optional<DownloadedFile> Run();

private:
    bool OpenSession();
    bool SetProxyCredentials();
    bool SendAndReceive();
    bool AnswerProxyChallenge();
    std::optional<DownloadedFile> Transfer();
    KernelHandle CreatePartialFile();
    bool ReceiveBody(HANDLE target);
    bool IsWhole(std::optional<unsigned long long> contentLength) const;
    bool PutUnderTheTargetName(HANDLE partial);
    std::optional<DownloadedFile> LockWrittenFile(KernelHandle writer);
    void ReportProgress();

    DownloadJob job_;
    IDownloadListener& listener_;
    std::wstring account_;
    std::wstring password_;
    WinHttpHandle session_;
    WinHttpHandle connection_;
    WinHttpHandle request_;
    unsigned long long received_ = 0;
    std::optional<unsigned> lastPercentage_;
};

bool Attempt::OpenSession()
{
    const ProxySettings& proxy = job_.proxy;
    if (proxy.useProxy) {
        // The proxy text is taken as typed: address, ":", port.
        const std::wstring proxyText = ToWide(proxy.ip) + L":" + ToWide(proxy.port);
        session_ = WinHttpHandle(
            WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxyText.c_str(), WINHTTP_NO_PROXY_BYPASS, 0));
        account_ = ToWide(proxy.account);
        password_ = ToWide(proxy.password);
        if (session_)
            return true;
        LogLastError("WinHttpOpen");
        // Credentials cannot be given to a proxy that is not there.
        if (!account_.empty())
            return false;
        // Without an account the attempt goes on without the proxy.
    }
    session_ = WinHttpHandle(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session_) {
        LogLastError("WinHttpOpen");
        return false;
    }
    account_.clear();
    password_.clear();
    return true;
}

// Proxy credentials belong on the request handle: a session refuses them.
bool Attempt::SetProxyCredentials()
{
    if (GiveProxyCredentials(request_.Get(), account_, password_))
        return true;
    LogLastError("WinHttpSetOption");
    return false;
}

bool Attempt::SendAndReceive()
{
    if (!WinHttpSendRequest(request_.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        LogLastError("WinHttpSendRequest");
        return false;
    }
    if (!WinHttpReceiveResponse(request_.Get(), nullptr)) {
        LogLastError("WinHttpReceiveResponse");
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
    if (!WinHttpQueryAuthSchemes(request_.Get(), &supported, &first, &target)) {
        LogLastError("WinHttpQueryAuthSchemes");
        return false;
    }
    const DWORD scheme = (supported & WINHTTP_AUTH_SCHEME_BASIC) != 0 ? WINHTTP_AUTH_SCHEME_BASIC : first;
    if (!WinHttpSetCredentials(request_.Get(), WINHTTP_AUTH_TARGET_PROXY, scheme, account_.c_str(),
                               password_.c_str(), nullptr)) {
        LogLastError("WinHttpSetCredentials");
        return false;
    }
    return SendAndReceive();
}

void Attempt::ReportProgress()
{
    const unsigned percentage = DownloadPercentage(static_cast<std::uint32_t>(received_), job_.expectedSize);
    if (lastPercentage_ == percentage)
        return;
    lastPercentage_ = percentage;
    listener_.OnProgress(percentage);
}

std::optional<DownloadedFile> Attempt::Run()
{
    wchar_t scheme[64] = {};
    std::vector<wchar_t> host(1024), user(1024), password(1024), path(1024), extra(1024);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszScheme = scheme;
    parts.dwSchemeLength = 64;
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = 1024;
    parts.lpszUserName = user.data();
    parts.dwUserNameLength = 1024;
    parts.lpszPassword = password.data();
    parts.dwPasswordLength = 1024;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = 1024;
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = 1024;
    if (!WinHttpCrackUrl(job_.url.c_str(), 0, ICU_ESCAPE, &parts)) {
        LogLastError("WinHttpCrackUrl");
        return std::nullopt;
    }

    if (!OpenSession())
        return std::nullopt;
    connection_ = WinHttpHandle(WinHttpConnect(session_.Get(), host.data(), INTERNET_DEFAULT_HTTPS_PORT, 0));
    if (!connection_) {
        LogLastError("WinHttpConnect");
        return std::nullopt;
    }
    request_ = WinHttpHandle(WinHttpOpenRequest(connection_.Get(), L"GET", path.data(), L"HTTP/1.1",
                                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                WINHTTP_FLAG_SECURE));
    if (!request_) {
        LogLastError("WinHttpOpenRequest");
        return std::nullopt;
    }
    if (!SetProxyCredentials() || !SendAndReceive())
        return std::nullopt;

    std::optional<DWORD> status = QueryStatusCode(request_.Get());
    if (status == DWORD(HTTP_STATUS_PROXY_AUTH_REQ) && !account_.empty()) {
        if (!AnswerProxyChallenge())
            return std::nullopt;
        status = QueryStatusCode(request_.Get());
    }
    // Only a success answer is the installer; an error page is never saved as one.
    if (!status || *status < 200 || *status > 299) {
        LogFailure("HTTP status", status ? static_cast<long>(*status) : 0);
        return std::nullopt;
    }
    return Transfer();
}

// The body goes into a file of its own beside the target, which takes the
// target's name only once the whole body is in: the installer's name never
// holds a part, and nothing is ever written through a link that had it.
std::optional<DownloadedFile> Attempt::Transfer()
{
    const std::optional<unsigned long long> contentLength = QueryContentLength(request_.Get());
    KernelHandle partial = CreatePartialFile();
    if (!partial)
        return std::nullopt;
    if (!ReceiveBody(partial.Get()) || !IsWhole(contentLength) || !PutUnderTheTargetName(partial.Get())) {
        DeleteOnClose(partial.Get());
        return std::nullopt;
    }
    return LockWrittenFile(std::move(partial));
}

// "<target>.partial": made new under a unique name (CREATE_NEW, so no link that
// has a name there is ever opened) and then given the partial name, replacing
// what had it (the part of an attempt that was closed, or a link, itself); so
// at most one part is ever left behind. Others may read it while it grows, but
// nobody may change or delete it.
KernelHandle Attempt::CreatePartialFile()
{
    std::wstring createdPath;
    KernelHandle partial = CreateUniqueSibling(job_.targetPath, GENERIC_WRITE | DELETE, FILE_SHARE_READ, createdPath);
    if (partial && PutUnderName(partial.Get(), PartialPathOf(job_.targetPath)))
        return partial;
    LogLastError("7");
    if (partial)
        DeleteOnClose(partial.Get());
    return KernelHandle();
}

bool Attempt::ReceiveBody(HANDLE target)
{
    std::vector<char> buffer(kChunkSize);
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request_.Get(), &available)) {
        LogLastError("WinHttpQueryDataAvailable");
        return false;
    }
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        DWORD read = 0;
        if (!WinHttpReadData(request_.Get(), buffer.data(), (std::min)(available, kChunkSize), &read)) {
            LogLastError("WinHttpReadData");
            return false;
        }
        if (read == 0)
            return true;
        received_ += read;
        DWORD written = 0;
        if (!WriteFile(target, buffer.data(), read, &written, nullptr) || written != read) {
            LogLastError("WriteFile");
            return false;
        }
        ReportProgress();
        if (!WinHttpQueryDataAvailable(request_.Get(), &available)) {
            LogLastError("WinHttpQueryDataAvailable");
            return false;
        }
    }
}

// A connection that ends early looks like the end of the body.
bool Attempt::IsWhole(std::optional<unsigned long long> contentLength) const
{
    if (!contentLength || *contentLength == received_)
        return true;
    LogFailure("Content-Length", static_cast<long>(received_));
    return false;
}

// Whatever had the target's name (an earlier download, read-only or not, a
// link, a file with other names) is replaced as itself.
bool Attempt::PutUnderTheTargetName(HANDLE partial)
{
    if (PutUnderName(partial, job_.targetPath))
        return true;
    LogLastError("7");
    return false;
}

// A program cannot be started while a handle may write to it, so the writer
// gives way to a reader that still keeps everybody else from changing or
// deleting the file. The reader must find the very file that was written, at
// its full length, as the only name of that file.
std::optional<DownloadedFile> Attempt::LockWrittenFile(KernelHandle writer)
{
    BY_HANDLE_FILE_INFORMATION written = {};
    if (!GetFileInformationByHandle(writer.Get(), &written)) {
        LogLastError("7");
        return std::nullopt;
    }
    writer.Close();
    KernelHandle reader = OpenPlainFile(job_.targetPath, GENERIC_READ, FILE_SHARE_READ);
    if (!reader) {
        LogLastError("7");
        return std::nullopt;
    }
    if (!IsSameFile(reader.Get(), written, received_)) {
        LogFailure("7", ERROR_FILE_INVALID);
        return std::nullopt;
    }
    return DownloadedFile(reader.Release(), job_.targetPath);
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

unsigned DownloadPercentage(std::uint32_t received, std::int32_t expectedSize)
{
    const std::uint32_t divisor = (std::max)(static_cast<std::uint32_t>(expectedSize) / 100u, 1u);
    return received / divisor;
}

int DownloadInstaller(DownloadJob job, IDownloadListener& listener)
{
    std::optional<DownloadedFile> file = Attempt(std::move(job), listener).Run();
    if (!file) {
        listener.OnFailed();
        return -1;
    }
    listener.OnDownloaded(std::move(*file));
    return 0;
}
