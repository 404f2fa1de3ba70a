// The updater's entry: the host window, the skinned main window as its child,
// the first download attempt and the message loop.
#include "HostWindow.h"
#include "KernelHandle.h"
#include "MainFrame.h"
#include "ResourceIds.h"
#include "SystemLibraries.h"

#include <Facet.h>

#include <windows.h>

#include <cstdio>

namespace {

// Ends the process at once: detached download threads may still run, and they
// must not outlive the objects of this thread while those are destroyed.
[[noreturn]] void EndProcess(UINT exitCode)
{
    std::fflush(stdout);
    std::fflush(stderr);
    ExitProcess(exitCode);
}

// Only one updater runs at a time: two would remove the same previous
// installation and start two installers. The name lives in the global
// namespace because the shared folder and the service are the machine's.
const wchar_t kInstanceMutexName[] = L"Global\\MevraUpdater.Instance";

// True when no other updater runs; `claim` then holds the name for this
// process's lifetime. (When the name cannot be made at all the updater runs
// without it.) A name this process may not open belongs to a running updater.
bool ClaimTheOnlyInstance(KernelHandle& claim)
{
    claim = KernelHandle(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    const DWORD error = GetLastError();
    return claim ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

// Brings the running updater's window to the front. It may have only just
// started and not made its window yet, so it is looked for a little while.
void ShowTheRunningUpdater(const wchar_t* hostClassName)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        HWND host = nullptr;
        while ((host = FindWindowExW(nullptr, host, hostClassName, nullptr)) != nullptr) {
            if (FindWindowExW(host, nullptr, kMainFrameClass, nullptr) == nullptr)
                continue;
            if (IsIconic(host))
                ShowWindow(host, SW_RESTORE);
            SetForegroundWindow(host);
            return;
        }
        Sleep(100);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // Elevated: libraries loaded from now on come from the system folder only,
    // never from the folder the updater was started in.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // GDI+ may paint: it is loaded now. The common controls (tooltips, none
    // on the first page) and WinHTTP are loaded after the first paint.
    if (!LoadDelayedLibraryFromSystemFolder("gdiplus"))
        EndProcess(1);
    // Screen readers in other processes reach the window's accessible objects
    // through COM, which calls into this thread's apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(com))
        std::fprintf(stderr, "COM is not available (0x%08lx): assistive technology sees the window only\n",
                     static_cast<unsigned long>(com));

    wchar_t className[100] = {};
    LoadStringW(instance, IDS_HOST_WINDOW_CLASS, className, static_cast<int>(sizeof(className) / sizeof(className[0])));
    KernelHandle instanceClaim;
    if (!ClaimTheOnlyInstance(instanceClaim)) {
        ShowTheRunningUpdater(className);
        EndProcess(0);
    }
    RegisterHostWindowClass(instance, className);
    HWND host = CreateHostWindow(instance, className, showCommand);
    if (host == nullptr)
        return 0;

    // The skin is scaled for the display the window stands on (the manifest
    // makes the platform report each monitor's own scale).
    Facet::DpiManager::GetInstance()->SetDisplayDpi(Facet::DpiManager::DpiOfWindow(host));
    Facet::CWndShadow::Initialize(instance);
    Facet::CPaintManagerUI::SetInstance(instance);
    const Facet::CFacetString instancePath = Facet::CPaintManagerUI::GetInstancePath();
    Facet::CPaintManagerUI::SetCurrentPath(instancePath);
    Facet::CPaintManagerUI::SetResourcePath(instancePath);

    mainFrame frame(host);
    if (frame.Create(host, L"MainFrame", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0) == nullptr) {
        // The skin is missing (its message box has been shown): nothing to run.
        DestroyWindow(host);
        EndProcess(1);
    }
    FitHostToChild(host, frame.GetHWND());
    frame.ShowWindow(true, true);
    frame.StartDownloadOncePainted([] {
        if (!LoadDelayedLibraryFromSystemFolder("comctl32") || !LoadDelayedLibraryFromSystemFolder("winhttp"))
            EndProcess(1);
    });

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(138));
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        if (accelerators != nullptr && TranslateAcceleratorW(msg.hwnd, accelerators, &msg))
            continue;
        // The framework's keyboard handling first: Tab moves between controls.
        if (Facet::CPaintManagerUI::TranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    EndProcess(got == 0 ? static_cast<UINT>(msg.wParam) : 1);
}
