// Drives a running MevraUpdater.exe from outside, for the page screenshots:
//   ui_driver page          prints the index of the page showing (-1 without a window)
//   ui_driver click <x> <y> presses and releases the left button at a point of the main window
//   ui_driver close         posts the close message to the host window
// Exit code 0 when the window was found, 1 otherwise, 2 on a usage error.
#include "UpdaterDriver.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

HWND FindMainWindow()
{
    HWND host = nullptr;
    while ((host = FindWindowExW(nullptr, host, L"installer", nullptr)) != nullptr) {
        if (HWND main = FindWindowExW(host, nullptr, L"MvMainUI", nullptr))
            return main;
    }
    return nullptr;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    HWND main = FindMainWindow();
    if (std::wcscmp(argv[1], L"page") == 0) {
        const int page = updaterdriver::PageOf(main);
        std::printf("%d\n", page);
        return page >= 0 ? 0 : 1;
    }
    if (main == nullptr)
        return 1;
    if (std::wcscmp(argv[1], L"click") == 0 && argc == 4) {
        updaterdriver::Click(main, POINT{_wtoi(argv[2]), _wtoi(argv[3])});
        return 0;
    }
    if (std::wcscmp(argv[1], L"close") == 0) {
        PostMessageW(GetParent(main), WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
