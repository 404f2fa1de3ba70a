#include "DownloadWorker.h"

#include "Diagnostics.h"
#include "DownloadEngine.h"
#include "InstallerSignature.h"
#include "PreviousInstallation.h"
#include "WindowMessages.h"

#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// Turns the attempt's reports into messages for the main window.
class PostingListener : public IDownloadListener
{
public:
    explicit PostingListener(HWND mainWindow) : m_mainWindow(mainWindow) {}

    void OnProgress(unsigned percentage) override { PostMessageW(m_mainWindow, WM_DOWNLOAD_PROGRESS, percentage, 0); }

    void OnDownloaded(DownloadedFile file) override
    {
        // Only the vendor's own installer reaches the hand-off: checked here, off
        // the UI thread, while the file is still held against changes. A refused
        // file is gone and the attempt has failed.
        if (!AdmitInstaller(file, BuildPublisher())) {
            OnFailed();
            return;
        }
        auto handOff = std::make_unique<HandOff>(HandOff{std::move(file)});
        if (PostMessageW(m_mainWindow, WM_DOWNLOAD_FINISHED, 0, reinterpret_cast<LPARAM>(handOff.get())))
            handOff.release(); // the main window owns it now
        else
            WriteDiagnosticLine(stdout, "download finished, but the main window is gone");
    }

    void OnFailed() override { PostMessageW(m_mainWindow, WM_DOWNLOAD_FAILED, 0, 0); }

private:
    HWND m_mainWindow;
};

void RunAttempt(HWND mainWindow, ProxySettings proxy, std::shared_ptr<PartialDownload> partial)
{
    DownloadJob job;
    job.url = InstallerUrl();
    job.targetPath = GetTargetFolder() + L"\\Mevra.exe";
    job.expectedSize = kExpectedInstallerSize;
    job.timings = UpdaterDownloadTimings();
    job.proxy = std::move(proxy);
    job.partial = std::move(partial);
    PostingListener listener(mainWindow);
    DownloadInstaller(std::move(job), listener);
}

} // namespace

bool StartDownloadWorker(HWND mainWindow, const ProxySettings& proxy, std::shared_ptr<PartialDownload> partial)
{
    try {
        std::thread(RunAttempt, mainWindow, proxy, std::move(partial)).detach();
        return true;
    } catch (const std::system_error& error) {
        WriteDiagnosticLine(stdout, std::string("download worker not started: ") + error.what());
        return false;
    }
}
