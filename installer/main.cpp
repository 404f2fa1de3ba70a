// The updater's entry point.
//
// The window, the download and the hand-off are not built yet: they need the UI
// framework. Until then the program says so on standard error and exits with 1,
// touching nothing.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    std::fputs("MevraUpdater: the updater's window and download are not built yet.\n", stderr);
    std::fflush(stderr);
    return 1;
}
