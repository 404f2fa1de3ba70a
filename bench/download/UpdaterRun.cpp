#include "UpdaterRun.h"

#include "HostWindow.h"
#include "MainFrame.h"
#include "PreviousInstallation.h"
#include "WindowMessages.h"

#include "../BenchTiming.h"

#include <Facet.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MevraCloudMeetings";
const wchar_t kSharedFolder[] = L"C:\\Program Files (x86)\\Common Files\\MEVRA\\Support";

// The main window with its repaints and progress messages counted and the
// time spent painting summed, on the UI thread where they compete with
// nothing but the download worker.
class CountingFrame : public mainFrame
{
public:
    using mainFrame::mainFrame;

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (uMsg == WM_DOWNLOAD_PROGRESS)
            ++progressMessages;
        if (uMsg == WM_DOWNLOAD_FINISHED)
            finishedAt = clock.Seconds();
        if (uMsg != WM_PAINT)
            return mainFrame::HandleMessage(uMsg, wParam, lParam);
        const double start = clock.Seconds();
        const LRESULT result = mainFrame::HandleMessage(uMsg, wParam, lParam);
        paintSeconds += clock.Seconds() - start;
        ++paints;
        return result;
    }

    bench::Clock clock;
    int paints = 0;
    double paintSeconds = 0;
    int progressMessages = 0;
    double finishedAt = -1;
};

// The message loop of MevraUpdater.exe, until the host window is destroyed.
void RunMessageLoop()
{
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (Facet::CPaintManagerUI::TranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WriteFileOfSize(const std::wstring& path, size_t bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const std::vector<char> block(64 * 1024, 'm');
    bool written = true;
    for (size_t left = bytes; left > 0 && written;) {
        const DWORD piece = static_cast<DWORD>(left < block.size() ? left : block.size());
        DWORD done = 0;
        written = WriteFile(file, block.data(), piece, &done, nullptr) && done == piece;
        left -= piece;
    }
    CloseHandle(file);
    return written;
}

// Creates the folder and the folders above it that are missing.
bool MakeFolders(const std::wstring& path)
{
    for (size_t at = path.find(L'\\', 3);; at = path.find(L'\\', at + 1)) {
        const std::wstring level = path.substr(0, at);
        if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (at == std::wstring::npos)
            return true;
    }
}

struct PlantedFolder
{
    std::wstring path;
    int folders; // sub-folders, each holding `files` files
    int files;
    size_t fileBytes;
};

// Makes the folder with its files in sub-folders; counts what it made.
bool PlantFolder(const PlantedFolder& planted, int& files, unsigned long long& bytes)
{
    for (int folder = 0; folder < planted.folders; ++folder) {
        const std::wstring sub = planted.path + L"\\part" + std::to_wstring(folder);
        if (!MakeFolders(sub))
            return false;
        for (int file = 0; file < planted.files; ++file) {
            if (!WriteFileOfSize(sub + L"\\file" + std::to_wstring(file) + L".dll", planted.fileBytes))
                return false;
            ++files;
            bytes += planted.fileBytes;
        }
    }
    return true;
}

bool PlantUninstallKey()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const wchar_t name[] = L"Mevra Cloud Meetings";
    RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof(name));
    for (int i = 0; i < 4; ++i) {
        HKEY sub = nullptr;
        if (RegCreateKeyExW(key, (L"Component" + std::to_wstring(i)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &sub, nullptr) == ERROR_SUCCESS)
            RegCloseKey(sub);
    }
    RegCloseKey(key);
    return true;
}

} // namespace

int RunUpdaterWindow(bool shown)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterHostWindowClass(instance, L"BenchUpdaterHost");
    HWND host = CreateHostWindow(instance, L"BenchUpdaterHost", shown ? SW_SHOWNORMAL : SW_HIDE);
    if (host == nullptr)
        return 1;
    if (!shown)
        ShowWindow(host, SW_HIDE);
    Facet::DpiManager::GetInstance()->SetDisplayDpi(Facet::DpiManager::DpiOfWindow(host));
    Facet::CWndShadow::Initialize(instance);
    Facet::CPaintManagerUI::SetInstance(instance);

    // The removal is the real one, timed on its own thread.
    std::atomic<double> removalSeconds(-1);
    CountingFrame frame(host, [&removalSeconds] {
        bench::Clock clock;
        RemovePreviousInstallation();
        removalSeconds = clock.Seconds();
    });
    if (frame.Create(host, L"MainFrame", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0) == nullptr)
        return 1;
    FitHostToChild(host, frame.GetHWND());
    if (shown)
        frame.ShowWindow(true, true);
    frame.StartDownload();
    RunMessageLoop();
    const double closedAt = frame.clock.Seconds();
    std::printf("frame-%s %d %.4f %d %.3f %.3f\n", shown ? "shown" : "hidden", frame.paints, frame.paintSeconds,
                frame.progressMessages, removalSeconds.load(),
                frame.finishedAt < 0 ? -1.0 : closedAt - frame.finishedAt);
    return frame.finishedAt < 0 || removalSeconds.load() < 0 ? 1 : 0;
}

int PlantPreviousInstallation()
{
    const std::wstring target = GetTargetFolder();
    const PlantedFolder folders[] = {
        {target + L"\\uninstall", 1, 4, 64 * 1024},
        {target + L"\\bin", 8, 40, 64 * 1024},
        {target + L"\\data", 10, 30, 4 * 1024},
        {kSharedFolder, 2, 20, 64 * 1024},
    };
    int files = 0;
    unsigned long long bytes = 0;
    for (const PlantedFolder& folder : folders) {
        if (!PlantFolder(folder, files, bytes)) {
            std::fwprintf(stderr, L"cannot plant %ls\n", folder.path.c_str());
            return 1;
        }
    }
    if (!PlantUninstallKey()) {
        std::fprintf(stderr, "cannot make the uninstall key\n");
        return 1;
    }
    std::printf("planted %d files, %llu bytes, the uninstall key with 4 sub-keys\n", files, bytes);
    return 0;
}

int ClearPreviousInstallation()
{
    const std::wstring target = GetTargetFolder();
    DeleteFolderTree(target + L"\\uninstall");
    DeleteFolderTree(target + L"\\bin");
    DeleteFolderTree(target + L"\\data");
    DeleteFolderTree(kSharedFolder);
    DeleteRegistryTree(HKEY_CURRENT_USER, kUninstallKey);
    return 0;
}
