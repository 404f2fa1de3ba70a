// Drives the updater's main window the way a user does, from this process or
// from another one: mouse presses and releases at points of the window, and
// keys typed into the native edit box that a pressed text field opens.
// Every step is sent, not posted, so it has happened when the call returns.
#pragma once

#include "WindowMessages.h"

#include <windows.h>

#include <string>
#include <vector>

namespace updaterdriver {

// Points of the main window at 96 DPI inside the controls they name. The
// proxy labels are 55 pixels wide in Chinese and 75 in the other languages,
// which moves the text fields; each point lies inside its field both ways.
constexpr POINT kSettingsButton = {567, 37};      // download page
constexpr POINT kCloseButton = {643, 37};         // download page
constexpr POINT kRetrySettingsButton = {567, 37}; // retry page
constexpr POINT kRetryButton = {541, 380};        // retry page
constexpr POINT kReturnButton = {37, 37};         // proxy page
constexpr POINT kAddressField = {200, 176};
constexpr POINT kPortField = {540, 176};
constexpr POINT kAccountField = {200, 261};
constexpr POINT kPasswordField = {540, 261};
constexpr POINT kUseProxyBox = {40, 386};
constexpr POINT kSaveButton = {470, 372};

// The window class of the native edit box a text field opens while it has the focus.
constexpr wchar_t kEditBoxClass[] = L"EditWnd";

// The page showing (0 download, 1 retry, 2 proxy), or -1 when the window does not answer.
inline int PageOf(HWND mainWindow)
{
    DWORD_PTR page = static_cast<DWORD_PTR>(-1);
    if (mainWindow == nullptr ||
        SendMessageTimeoutW(mainWindow, WM_QUERY_PAGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &page) == 0)
        return -1;
    return static_cast<int>(page);
}

// Moves the mouse to the point, presses and releases the left button.
// The window lays out a page it has just switched to when it next paints, and
// a sent message overtakes that paint: the paint is asked for first, so the
// press finds the controls where the page shows them.
inline void Click(HWND mainWindow, POINT at)
{
    UpdateWindow(mainWindow);
    const LPARAM point = MAKELPARAM(at.x, at.y);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(mainWindow, WM_MOUSEMOVE, 0, point, SMTO_ABORTIFHUNG, 5000, &ignored);
    SendMessageTimeoutW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, point, SMTO_ABORTIFHUNG, 5000, &ignored);
    SendMessageTimeoutW(mainWindow, WM_LBUTTONUP, 0, point, SMTO_ABORTIFHUNG, 5000, &ignored);
}

// The visible edit box of the main window that covers the point, or null.
inline HWND EditBoxAt(HWND mainWindow, POINT at)
{
    HWND box = nullptr;
    while ((box = FindWindowExW(mainWindow, box, kEditBoxClass, nullptr)) != nullptr) {
        RECT rect = {};
        GetWindowRect(box, &rect);
        POINT onScreen = at;
        ClientToScreen(mainWindow, &onScreen);
        if (IsWindowVisible(box) && PtInRect(&rect, onScreen))
            return box;
    }
    return nullptr;
}

// Presses the text field at the point and waits (bounded) for its edit box,
// pressing again each second while none has opened.
inline HWND OpenField(HWND mainWindow, POINT at)
{
    for (int i = 0; i < 100; ++i) {
        if (i % 10 == 0)
            Click(mainWindow, at);
        if (HWND box = EditBoxAt(mainWindow, at))
            return box;
        Sleep(100);
    }
    return nullptr;
}

// Replaces the text of the field at the point by typing: select all, erase,
// then one character message per character. False when no edit box opened.
inline bool TypeInto(HWND mainWindow, POINT at, const std::wstring& text)
{
    HWND box = OpenField(mainWindow, at);
    if (box == nullptr)
        return false;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(box, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &ignored);
    SendMessageTimeoutW(box, WM_CHAR, VK_BACK, 1, SMTO_ABORTIFHUNG, 5000, &ignored);
    for (wchar_t c : text)
        SendMessageTimeoutW(box, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, 5000, &ignored);
    return true;
}

// The text the field at the point shows, read from its edit box.
inline std::wstring TextOf(HWND mainWindow, POINT at)
{
    HWND box = OpenField(mainWindow, at);
    if (box == nullptr)
        return L"<no edit box>";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(box, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::vector<wchar_t> text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return std::wstring(text.data(), copied);
}

} // namespace updaterdriver
