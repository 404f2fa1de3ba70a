// Throughput of one download, three ways apart from curl (which the script
// tools/bench-download runs on the host):
//   engine  the updater's download engine on a worker thread, its progress posted
//           to a window that the main thread pumps, as the updater does;
//   bare    a plain synchronous WinHTTP loop with a 64 KiB buffer writing the same file;
//   bare4k  the same loop with the engine's 4096-byte chunk, which tells the cost
//           of the engine's own per-chunk work (zeroing, writing, posting) apart
//           from the cost of the chunk size.
// Usage: bench_download <https URL> <target folder> [rounds]
// Prints "<name> <bytes> <seconds>" per way (the best of the rounds), and the
// number of progress messages the engine posted.
//
// bench_download --until-whole <https URL> <target folder>
// runs the engine as the updater does over a link that keeps breaking: its
// automatic retries, and the user's retry pressed at once whenever the retry
// page would show, with the part of the body carried from one to the next,
// until the file is whole. Prints "until-whole <bytes> <seconds> <presses>"
// (tools/bench-download resume serves it and counts what the server sent).
//
// bench_download --engine-once <https URL> <target file>
// one download through the engine as above; prints "engine <bytes> <seconds>
// <progress messages>".
// bench_download --window shown|hidden
// the updater's main window over one download and its hand-off (UpdaterRun.h).
// bench_download --plant-previous | --clear-previous
// puts a previous installation where the removal looks, or takes it away.
// tools/bench-download updater runs these beside MevraUpdater.exe.
#include "DownloadEngine.h"
#include "UpdaterRun.h"

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const UINT kProgressMessage = WM_APP + 1;
const UINT kDoneMessage = WM_APP + 2;

using Clock = std::chrono::steady_clock;

struct Measure
{
    unsigned long long bytes = 0;
    double seconds = 0;
    unsigned long long messages = 0;
};

unsigned long long FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

class PostingListener : public IDownloadListener
{
public:
    explicit PostingListener(HWND window) : window_(window) {}
    void OnProgress(unsigned percentage) override { PostMessageW(window_, kProgressMessage, percentage, 0); }
    void OnDownloaded(DownloadedFile file) override { file.Close(); }
    void OnFailed() override {}

private:
    HWND window_;
};

unsigned long long g_messages = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kProgressMessage) {
        ++g_messages;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class SilentListener : public IDownloadListener
{
public:
    void OnProgress(unsigned) override {}
    void OnDownloaded(DownloadedFile file) override { file.Close(); }
    void OnFailed() override {}
};

int RunUntilWhole(const std::wstring& url, const std::wstring& target)
{
    const int kMostPresses = 50;
    SilentListener listener;
    DownloadJob job;
    job.url = url;
    job.targetPath = target;
    job.partial = std::make_shared<PartialDownload>();
    const Clock::time_point start = Clock::now();
    int presses = 0;
    while (DownloadInstaller(job, listener) != 0) {
        if (++presses > kMostPresses) {
            std::fprintf(stderr, "the file was not whole after %d presses of retry\n", kMostPresses);
            return 1;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("until-whole %llu %.3f %d\n", FileSize(target), seconds, presses);
    return 0;
}

Measure RunEngine(const std::wstring& url, const std::wstring& target)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BenchDownloadWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"BenchDownloadWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    g_messages = 0;
    const DWORD mainThread = GetCurrentThreadId();
    int result = -1;
    const Clock::time_point start = Clock::now();
    std::thread worker([&] {
        PostingListener listener(window);
        DownloadJob job;
        job.url = url;
        job.targetPath = target;
        result = DownloadInstaller(job, listener);
        PostThreadMessageW(mainThread, kDoneMessage, 0, 0);
    });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kDoneMessage)
            break;
        DispatchMessageW(&message);
    }
    worker.join();
    // The messages still queued are part of the cost.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    Measure measure;
    measure.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    measure.bytes = result == 0 ? FileSize(target) : 0;
    measure.messages = g_messages;
    DestroyWindow(window);
    return measure;
}

Measure RunBare(const std::wstring& url, const std::wstring& target, size_t bufferSize)
{
    Measure measure;
    URL_COMPONENTS parts = {};
    wchar_t host[256] = {};
    wchar_t path[2048] = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 2048;
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts))
        return measure;
    const Clock::time_point start = Clock::now();
    HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection = session ? WinHttpConnect(session, host, INTERNET_DEFAULT_HTTPS_PORT, 0) : nullptr;
    HINTERNET request = connection ? WinHttpOpenRequest(connection, L"GET", path, nullptr, WINHTTP_NO_REFERER,
                                                        WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE)
                                   : nullptr;
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (request && file != INVALID_HANDLE_VALUE &&
        WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        std::vector<char> buffer(bufferSize);
        DWORD read = 0;
        while (WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &read) && read > 0) {
            DWORD written = 0;
            WriteFile(file, buffer.data(), read, &written, nullptr);
            measure.bytes += written;
        }
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (request)
        WinHttpCloseHandle(request);
    if (connection)
        WinHttpCloseHandle(connection);
    if (session)
        WinHttpCloseHandle(session);
    measure.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return measure;
}

void Print(const char* name, const Measure& best)
{
    std::printf("%s %llu %.3f\n", name, best.bytes, best.seconds);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wcscmp(argv[1], L"--until-whole") == 0)
        return RunUntilWhole(argv[2], std::wstring(argv[3]) + L"\\until-whole.bin");
    if (argc == 4 && std::wcscmp(argv[1], L"--engine-once") == 0) {
        const Measure engine = RunEngine(argv[2], argv[3]);
        std::printf("engine %llu %.3f %llu\n", engine.bytes, engine.seconds, engine.messages);
        return engine.bytes == 0 ? 1 : 0;
    }
    if (argc == 3 && std::wcscmp(argv[1], L"--window") == 0)
        return RunUpdaterWindow(std::wcscmp(argv[2], L"shown") == 0);
    if (argc == 2 && std::wcscmp(argv[1], L"--plant-previous") == 0)
        return PlantPreviousInstallation();
    if (argc == 2 && std::wcscmp(argv[1], L"--clear-previous") == 0)
        return ClearPreviousInstallation();
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_download <https URL> <target folder> [rounds]\n");
        return 2;
    }
    const std::wstring url = argv[1];
    const std::wstring folder = argv[2];
    const int rounds = argc > 3 ? (std::max)(1, _wtoi(argv[3])) : 3;
    Measure engine;
    Measure bare;
    Measure bare4k;
    // The best of the rounds: the least disturbed by the rest of the machine.
    auto keepBest = [](Measure& best, const Measure& measured) {
        if (best.bytes == 0 || measured.seconds < best.seconds)
            best = measured;
    };
    for (int round = 0; round < rounds; ++round) {
        const Measure e = RunEngine(url, folder + L"\\engine.bin");
        const Measure b = RunBare(url, folder + L"\\bare.bin", 64 * 1024);
        const Measure b4 = RunBare(url, folder + L"\\bare4k.bin", 4096);
        if (e.bytes == 0 || b.bytes == 0 || b4.bytes == 0) {
            std::fprintf(stderr, "a download failed (engine %llu, bare %llu, bare4k %llu bytes)\n", e.bytes, b.bytes,
                         b4.bytes);
            return 1;
        }
        keepBest(engine, e);
        keepBest(bare, b);
        keepBest(bare4k, b4);
    }
    Print("engine", engine);
    Print("bare", bare);
    Print("bare4k", bare4k);
    std::printf("engine_messages %llu\n", engine.messages);
    return 0;
}
