// One attempt to fetch the client installer over HTTPS (WinHTTP, synchronous)
// into a target file. The attempt works on copies only and reports through a
// listener, so it can run on any thread and never touches a window.
#pragma once

#include "ConfigStore.h"
#include "DownloadTimings.h"
#include "DownloadedFile.h"
#include "PartialDownload.h"

#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <memory>
#include <string>

// The size the percentage is measured against. The real body may differ: the
// "latest" installer changes size, so the size is never used to verify it.
constexpr std::int32_t kExpectedInstallerSize = 105694568;

// "https://" + the vendor's download host (a build setting) + "/client/latest/mevra.exe".
std::wstring InstallerUrl();

// Where an attempt keeps the part of the body received so far: "<target>.partial".
std::wstring PartialPathOf(const std::wstring& targetPath);

// received / (expected / 100), truncating, in 64-bit arithmetic: it grows with
// `received` for any body, beyond 4 GiB too, and may exceed 100 for a longer
// body (up to the largest unsigned value, where it stays). An expected size
// below 100 counts as 100.
unsigned DownloadPercentage(std::uint64_t received, std::int32_t expectedSize);

struct DownloadJob
{
    std::wstring url;        // https URL; its port is ignored, the connection goes to 443
    std::wstring targetPath; // replaced by every attempt that receives the whole body
    std::int32_t expectedSize = kExpectedInstallerSize;
    ProxySettings proxy;     // as shown on the page when the attempt starts
    DownloadTimings timings; // how long an attempt waits before it fails, and the retries' waits
    // Where a failed attempt leaves the part of the body it received, for the
    // next call to continue; null: only this call's own retries continue it.
    std::shared_ptr<PartialDownload> partial;
};

class IDownloadListener
{
public:
    // After a chunk has been written, when the percentage differs from the last
    // one reported (the first chunk is always reported).
    virtual void OnProgress(unsigned percentage) = 0;
    // The whole body is in the target file, and every network handle is closed.
    // `file` keeps the target open against changes until it is closed or destroyed:
    // start it (DownloadedFile::Start), then let it go.
    virtual void OnDownloaded(DownloadedFile file) = 0;
    // The download failed; its diagnostic lines have been written. No network
    // handle is left open; only the part of the body, when it can be continued.
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

// Downloads the installer: 0 after OnDownloaded, -1 after OnFailed.
// These fail an attempt, each with a line "download last error <step> : <code>"
// on standard output (<step> names what failed, on disk with the file's path):
// a status other than 2xx, a Content-Length that is not a number, a failed
// read or write, no data for the receive time or too slow a body (see
// DownloadTimings), a body shorter than its Content-Length, an empty body, a
// body without a length (its end was only the connection's end, or a chunked
// body's last chunk) that is not a whole Windows program, or a refused proxy.
// A transient failure (DownloadRetryPolicy.h) is tried again on its own after
// the job's waits ("download retry <n> in <ms> ms"); OnFailed comes after a
// permanent one, or when the retries are used up.
// The body is written into the part, a new file beside the target
// (PartialPathOf), which replaces what had the target's name (itself, never
// what a link there leads to) only once the whole body is in. When an attempt
// fails after part of the body came with a validator and the full length, the
// part stays (in the job's PartialDownload) and the next attempt asks for the
// rest ("download asks for the rest from byte <n>"); a part that cannot be
// continued is deleted. The target's name stays as it was until success.
int DownloadInstaller(DownloadJob job, IDownloadListener& listener);
