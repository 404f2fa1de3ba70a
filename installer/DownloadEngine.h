// One attempt to fetch the client installer over HTTPS (WinHTTP, synchronous)
// into a target file. The attempt works on copies only and reports through a
// listener, so it can run on any thread and never touches a window.
#pragma once

#include "ConfigStore.h"
#include "DownloadedFile.h"

#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <string>

// The size the percentage is measured against. The real body may differ: the
// "latest" installer changes size, so the size is never used to verify it.
constexpr std::int32_t kExpectedInstallerSize = 105694568;

// "https://" + the vendor's download host (a build setting) + "/client/latest/mevra.exe".
std::wstring InstallerUrl();

// Where an attempt keeps the part of the body received so far: "<target>.partial".
std::wstring PartialPathOf(const std::wstring& targetPath);

// received / (expected / 100) in unsigned 32-bit arithmetic, truncating; may
// exceed 100 for a longer body. An expected size below 100 counts as 100.
unsigned DownloadPercentage(std::uint32_t received, std::int32_t expectedSize);

struct DownloadJob {
    std::wstring url;        // https URL; its port is ignored, the connection goes to 443
    std::wstring targetPath; // replaced by every attempt that receives the whole body
    std::int32_t expectedSize = kExpectedInstallerSize;
    ProxySettings proxy;     // as shown on the page when the attempt starts
};

class IDownloadListener {
public:
    // After a chunk has been written, when the percentage differs from the last
    // one reported (the first chunk is always reported).
    virtual void OnProgress(unsigned percentage) = 0;
    // The whole body is in the target file, and every network handle is closed.
    // `file` keeps the target open against changes until it is closed or destroyed:
    // start it (DownloadedFile::Start), then let it go.
    virtual void OnDownloaded(DownloadedFile file) = 0;
    // The attempt failed; its diagnostic line has been written. Nothing of the
    // attempt is left open.
    virtual void OnFailed() = 0;

protected:
    ~IDownloadListener() = default;
};

// Gives `request` the proxy account through WinHTTP's documented calls alone
// (the proxy user name and password options, and Basic credentials for the
// proxy), so that WinHTTP sends them to the proxy and to no other server. The
// attempt adds no header of its own. Nothing is set for an empty account; false
// when WinHTTP refuses them.
bool GiveProxyCredentials(HINTERNET request, const std::wstring& account, const std::wstring& password);

// Runs one attempt: 0 after OnDownloaded, -1 after OnFailed.
// A status other than 2xx, a failed read or write, a body shorter than its
// Content-Length, or a refused proxy are failures, each with a line
// "download last error <step> : <code>" on standard output.
// The body is written into a new file beside the target (PartialPathOf), which
// replaces what had the target's name (itself, never what a link there leads to)
// only once the whole body is in; a failed attempt deletes its file and leaves
// the target's name as it was.
int DownloadInstaller(DownloadJob job, IDownloadListener& listener);
