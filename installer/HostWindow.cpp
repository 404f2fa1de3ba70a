#include "HostWindow.h"

#include "ResourceIds.h"

#include <algorithm>

POINT CenteredOnScreen(SIZE screen, SIZE window)
{
    return {(screen.cx - window.cx) / 2, (screen.cy - window.cy) / 2};
}

namespace {

SIZE PrimaryScreenSize()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void PlaceCentred(HWND window, SIZE size)
{
    const POINT position = CenteredOnScreen(PrimaryScreenSize(), size);
    SetWindowPos(window, nullptr, position.x, position.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOOWNERZORDER);
}

} // namespace

bool RegisterHostWindowClass(HINSTANCE instance, const wchar_t* className)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN_ICON));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL_ICON));
    return RegisterClassExW(&windowClass) != 0;
}

HWND CreateHostWindow(HINSTANCE instance, const wchar_t* className, int showCommand)
{
    HWND window = CreateWindowExW(0, className, L"", WS_POPUP, CW_USEDEFAULT, 0, kHostWidth, kHostHeight, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr)
        return nullptr;
    PlaceCentred(window, {kHostWidth, kHostHeight});
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

void FitHostToChild(HWND host, HWND child)
{
    RECT rect = {};
    if (!GetWindowRect(child, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    // At scale 1.0 the host keeps its classic 680 x 443; only a larger child grows it.
    PlaceCentred(host, {(std::max)(size.cx, static_cast<LONG>(kHostWidth)),
                        (std::max)(size.cy, static_cast<LONG>(kHostHeight))});
}

namespace {

// The window takes the rectangle the platform suggests for the new scale, and
// the main window lays itself out for it.
void OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam)
{
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested != nullptr)
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (HWND child = GetWindow(window, GW_CHILD))
        SendMessageW(child, WM_DPICHANGED, wParam, lParam);
}

} // namespace

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
    case WM_SIZE:
        return 0;
    case WM_SETFOCUS:
        // The keyboard belongs to the main window, whose controls take it.
        if (HWND child = GetWindow(window, GW_CHILD))
            SetFocus(child);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(window, wParam, lParam);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
