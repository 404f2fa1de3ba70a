// The host window: a plain borderless popup that gives the updater its place on
// the desktop and parents the skinned main window.
#pragma once

#include <windows.h>

constexpr int kHostWidth = 680;
constexpr int kHostHeight = 443;

// Where a window of the given size stands centred on a screen of the given
// size; each half is truncated toward zero (it may be negative).
POINT CenteredOnScreen(SIZE screen, SIZE window);

bool RegisterHostWindowClass(HINSTANCE instance, const wchar_t* className);
// Creates, centres, shows and paints the host window; null on failure.
HWND CreateHostWindow(HINSTANCE instance, const wchar_t* className, int showCommand);
// Gives the host window the size of `child` (its only child) and centres it again.
void FitHostToChild(HWND host, HWND child);

// Passes the keyboard focus and a change of the display scale (WM_DPICHANGED,
// after taking the suggested rectangle) on to the main window.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
