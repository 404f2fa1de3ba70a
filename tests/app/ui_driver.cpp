// Drives a running MevraUpdater.exe from outside, for the page screenshots:
//   ui_driver page          prints the index of the page showing (-1 without a window)
//   ui_driver click <x> <y> presses and releases the left button at a point of the main window
//   ui_driver close         posts the close message to the host window
// Exit code 0 when the window was found, 1 otherwise, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr UINT kQueryPage = WM_APP + 3;

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
        DWORD_PTR page = static_cast<DWORD_PTR>(-1);
        if (main == nullptr || !SendMessageTimeoutW(main, kQueryPage, 0, 0, SMTO_ABORTIFHUNG, 2000, &page)) {
            std::puts("-1");
            return 1;
        }
        std::printf("%d\n", static_cast<int>(page));
        return 0;
    }
    if (main == nullptr)
        return 1;
    if (std::wcscmp(argv[1], L"click") == 0 && argc == 4) {
        const LPARAM point = MAKELPARAM(_wtoi(argv[2]), _wtoi(argv[3]));
        PostMessageW(main, WM_MOUSEMOVE, 0, point);
        PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(main, WM_LBUTTONUP, 0, point);
        return 0;
    }
    if (std::wcscmp(argv[1], L"close") == 0) {
        PostMessageW(GetParent(main), WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
