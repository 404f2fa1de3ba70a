// Showing, centring, resizing and the icons of native windows.
#include "WindowWndTestSupport.h"

using Facet::CWindowWnd;
using testsupport::OwnedWindow;
using testsupport::PlainWindowClass;
using testsupport::RecordingWindow;
using testsupport::WindowTest;

namespace {

// The icon compiled into this program (WindowWndTestResources.rc).
const UINT kTestIcon = 101;

RECT Rect(int left, int top, int right, int bottom)
{
    const RECT rc = {left, top, right, bottom};
    return rc;
}

RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

RECT ClientRect(HWND hWnd)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    return rc;
}

RECT WorkAreaOf(HWND hWnd)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

// The size of a colour icon (the test icon has colour images only).
SIZE IconSize(HICON icon)
{
    ICONINFO info = {};
    BITMAP bitmap = {};
    if (::GetIconInfo(icon, &info)) {
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    const SIZE size = {bitmap.bmWidth, bitmap.bmHeight};
    return size;
}

int RoundedToSixteen(int value)
{
    return (value + 15) & ~15;
}

} // namespace

// -- Centring arithmetic --

TEST(CenteredPositionTest, CentresOnTheAreaAndStaysInsideTheWorkArea)
{
    const struct
    {
        const char* what;
        RECT window;
        RECT work;
        RECT centre;
        LONG x;
        LONG y;
    } cases[] = {
        {"no owner", Rect(5, 5, 405, 305), Rect(0, 0, 1920, 1040), Rect(0, 0, 1920, 1040), 760, 370},
        {"work area narrower than the window", Rect(0, 0, 400, 300), Rect(0, 0, 300, 1040), Rect(0, 0, 300, 1040), 0,
         370},
        {"window larger than the work area", Rect(0, 0, 400, 300), Rect(0, 0, 300, 200), Rect(0, 0, 300, 200), 0, 0},
        {"owner", Rect(0, 0, 400, 300), Rect(0, 0, 1920, 1040), Rect(100, 100, 700, 600), 200, 200},
        {"owner at the bottom right", Rect(0, 0, 400, 300), Rect(0, 0, 1920, 1040), Rect(1700, 900, 1900, 1000), 1520,
         740},
        {"owner above and left of the work area", Rect(0, 0, 400, 300), Rect(0, 0, 1920, 1040),
         Rect(-300, -200, 100, 100), 0, 0},
        // (-1919 + 0) / 2 truncates toward zero to -959; 401 / 2 is 200.
        {"monitor left of the primary, odd sizes", Rect(0, 0, 401, 301), Rect(-1919, 0, 0, 1039),
         Rect(-1919, 0, 0, 1039), -1159, 369},
    };
    for (const auto& c : cases) {
        const POINT pt = CWindowWnd::CenteredPosition(c.window, c.work, c.centre);
        EXPECT_EQ(c.x, pt.x) << c.what;
        EXPECT_EQ(c.y, pt.y) << c.what;
    }
}

// -- Centring real windows --

TEST_F(WindowTest, CenterWindowCentresOnTheOwner)
{
    OwnedWindow owner(PlainWindowClass::Create(nullptr, WS_POPUP, 100, 100, 400, 300));
    RecordingWindow window;
    OwnedWindow owned(window.Create(owner.get(), L"owned", WS_POPUP, 0, 0, 0, 200, 100));
    ASSERT_NE(nullptr, owned.get());

    window.CenterWindow();
    const RECT rc = WindowRect(owned.get());
    EXPECT_EQ(200, rc.left);
    EXPECT_EQ(200, rc.top);
    EXPECT_EQ(200, rc.right - rc.left);
    EXPECT_EQ(100, rc.bottom - rc.top);
}

TEST_F(WindowTest, CenterWindowWithMinimisedOwnerCentresOnTheWorkArea)
{
    OwnedWindow owner(PlainWindowClass::Create(nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300));
    ::ShowWindow(owner.get(), SW_MINIMIZE);
    if (!::IsIconic(owner.get())) {
        GTEST_SKIP() << "the display does not minimise windows";
    }
    RecordingWindow window;
    OwnedWindow owned(window.Create(owner.get(), L"owned", WS_POPUP, 0, 0, 0, 200, 100));
    ASSERT_NE(nullptr, owned.get());

    window.CenterWindow();
    const RECT work = WorkAreaOf(owner.get());
    const RECT rc = WindowRect(owned.get());
    EXPECT_EQ((work.left + work.right) / 2 - 100, rc.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - 50, rc.top);
}

// -- Client size --

TEST_F(WindowTest, ResizeClientKeepsADimensionGivenAsMinusOne)
{
    RecordingWindow window;
    OwnedWindow owned(window.Create(nullptr, L"resize", WS_OVERLAPPEDWINDOW, 0, 50, 60, 300, 250));
    ASSERT_NE(nullptr, owned.get());
    const RECT before = ClientRect(owned.get());

    window.ResizeClient(-1, 200);
    RECT rc = ClientRect(owned.get());
    EXPECT_EQ(before.right, rc.right);
    EXPECT_EQ(200, rc.bottom);

    window.ResizeClient(180, -1);
    rc = ClientRect(owned.get());
    EXPECT_EQ(180, rc.right);
    EXPECT_EQ(200, rc.bottom);

    // Neither moved.
    const RECT frame = WindowRect(owned.get());
    EXPECT_EQ(50, frame.left);
    EXPECT_EQ(60, frame.top);
}

TEST_F(WindowTest, ResizeClientCountsTheMenuBarOfATopLevelWindow)
{
    RecordingWindow window;
    OwnedWindow owned(window.Create(nullptr, L"menu", WS_OVERLAPPEDWINDOW, 0, 50, 60, 300, 250));
    ASSERT_NE(nullptr, owned.get());
    const HMENU menu = ::CreateMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"File");
    ASSERT_TRUE(::SetMenu(owned.get(), menu)); // the window owns the menu from here

    window.ResizeClient(220, 120);
    const RECT rc = ClientRect(owned.get());
    EXPECT_EQ(220, rc.right);
    EXPECT_EQ(120, rc.bottom);
}

TEST_F(WindowTest, ResizeClientTreatsAChildIdentifierAsNoMenu)
{
    OwnedWindow parent(PlainWindowClass::Create(nullptr, WS_POPUP, 0, 0, 500, 400));
    RecordingWindow child;
    OwnedWindow owned(child.Create(parent.get(), L"child", WS_CHILD | WS_BORDER | WS_VISIBLE, 0, 10, 10, 100, 80,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(5))));
    ASSERT_NE(nullptr, owned.get());
    const RECT before = ClientRect(owned.get());

    child.ResizeClient(150, -1);
    const RECT rc = ClientRect(owned.get());
    EXPECT_EQ(150, rc.right);
    EXPECT_EQ(before.bottom, rc.bottom);
}

// -- Showing --

TEST_F(WindowTest, ShowWindowActivatesOnlyWhenAskedToTakeTheFocus)
{
    RecordingWindow first;
    OwnedWindow firstWindow(first.Create(nullptr, L"first", WS_POPUP, 0, 0, 0, 100, 100));
    RecordingWindow second;
    OwnedWindow secondWindow(second.Create(nullptr, L"second", WS_POPUP, 0, 200, 0, 100, 100));
    ASSERT_NE(nullptr, firstWindow.get());
    ASSERT_NE(nullptr, secondWindow.get());

    first.ShowWindow(true, true);
    EXPECT_TRUE(::IsWindowVisible(firstWindow.get()));
    EXPECT_EQ(firstWindow.get(), ::GetActiveWindow());

    second.ShowWindow(true, false);
    EXPECT_TRUE(::IsWindowVisible(secondWindow.get()));
    EXPECT_EQ(firstWindow.get(), ::GetActiveWindow());

    first.ShowWindow(false);
    EXPECT_FALSE(::IsWindowVisible(firstWindow.get()));
}

// -- Icons --

TEST_F(WindowTest, SetIconLoadsTheBigAndSmallIconRoundedToSixteen)
{
    RecordingWindow window;
    OwnedWindow owned(window.Create(nullptr, L"icon", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100));
    ASSERT_NE(nullptr, owned.get());

    window.SetIcon(kTestIcon);
    const HICON bigIcon = reinterpret_cast<HICON>(window.SendMessageW(WM_GETICON, ICON_BIG));
    const HICON smallIcon = reinterpret_cast<HICON>(window.SendMessageW(WM_GETICON, ICON_SMALL));
    ASSERT_NE(nullptr, bigIcon);
    ASSERT_NE(nullptr, smallIcon);
    const SIZE bigSize = IconSize(bigIcon);
    EXPECT_EQ(RoundedToSixteen(::GetSystemMetrics(SM_CXICON)), bigSize.cx);
    EXPECT_EQ(RoundedToSixteen(::GetSystemMetrics(SM_CYICON)), bigSize.cy);
    const SIZE smallSize = IconSize(smallIcon);
    EXPECT_EQ(RoundedToSixteen(::GetSystemMetrics(SM_CXSMICON)), smallSize.cx);
    EXPECT_EQ(RoundedToSixteen(::GetSystemMetrics(SM_CYSMICON)), smallSize.cy);

    // The window does not own the icons it is given.
    ::DestroyWindow(owned.get());
    ::DestroyIcon(bigIcon);
    ::DestroyIcon(smallIcon);
}
