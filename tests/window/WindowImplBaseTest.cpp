// The template window built from a skin file: its frameless style, hit testing
// of the size box and caption (maximised and not), the round-corner region,
// the system buttons, the default keys and the minimum size.
#include "TemplateTestSupport.h"

using testsupport::SkinWindow;

namespace {

class WindowImplBaseTest : public testsupport::SkinSettingsTest
{
protected:
    void SetUp() override
    {
        SkinSettingsTest::SetUp();
        Facet::CPaintManagerUI::SetResourcePath(testsupport::DataFolder().c_str());
    }
};

// Removes the first close message waiting for `hWnd`; false when there is none.
bool TakeCloseMessage(HWND hWnd, WPARAM& wParam)
{
    MSG msg;
    if (!::PeekMessageW(&msg, hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        return false;
    wParam = msg.wParam;
    return true;
}

} // namespace

TEST_F(WindowImplBaseTest, CreationBuildsTheSkinWithoutNativeFrameWhereTheWindowWasPlaced)
{
    SkinWindow window(L"frame.xml");
    ASSERT_NE(window.Open(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60), nullptr);
    EXPECT_EQ(window.initCount, 1);
    ASSERT_NE(window.Find(L"closebtn"), nullptr);

    const LONG style = ::GetWindowLongW(window.GetHWND(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_CLIPCHILDREN, 0);
    EXPECT_NE(style & WS_CLIPSIBLINGS, 0);
    EXPECT_EQ(window.GetStyle(), style & ~WS_CAPTION);

    // The skin's size, no non-client area, and the position given to Create kept.
    RECT rcWindow = {};
    RECT rcClient = {};
    ::GetWindowRect(window.GetHWND(), &rcWindow);
    ::GetClientRect(window.GetHWND(), &rcClient);
    EXPECT_EQ(rcWindow.left, 50);
    EXPECT_EQ(rcWindow.top, 60);
    EXPECT_EQ(rcClient.right, 200);
    EXPECT_EQ(rcClient.bottom, 150);
    EXPECT_EQ(rcWindow.right - rcWindow.left, rcClient.right);
    EXPECT_EQ(rcWindow.bottom - rcWindow.top, rcClient.bottom);
    EXPECT_EQ(::GetClassLongW(window.GetHWND(), GCL_STYLE) & CS_DBLCLKS, static_cast<DWORD>(CS_DBLCLKS));

    ::DestroyWindow(window.GetHWND());
    EXPECT_EQ(window.finalCount, 1);
    EXPECT_EQ(window.GetHWND(), nullptr);
}

TEST_F(WindowImplBaseTest, HitTestingOfTheSizeBoxAndCaption)
{
    // Client 200 x 150, size box 4,4,6,6, caption 30 high. The caption strip
    // holds a plain control ("grip") that fills what the check box and the
    // buttons at its right end leave.
    SkinWindow window(L"frame.xml");
    ASSERT_NE(window.Open(), nullptr);
    ASSERT_FALSE(::IsZoomed(window.GetHWND()));

    EXPECT_EQ(window.HitAt(2, 2), HTTOPLEFT);
    EXPECT_EQ(window.HitAt(100, 3), HTTOP);
    EXPECT_EQ(window.HitAt(195, 1), HTTOPRIGHT);
    EXPECT_EQ(window.HitAt(3, 145), HTBOTTOMLEFT);
    EXPECT_EQ(window.HitAt(100, 149), HTBOTTOM);
    EXPECT_EQ(window.HitAt(199, 145), HTBOTTOMRIGHT);
    // The band edges: x < left + 4 is the left edge, x > right - 6 the right one.
    EXPECT_EQ(window.HitAt(3, 80), HTLEFT);
    EXPECT_EQ(window.HitAt(4, 80), HTCLIENT);
    EXPECT_EQ(window.HitAt(195, 80), HTRIGHT);
    EXPECT_EQ(window.HitAt(194, 80), HTCLIENT);
    EXPECT_EQ(window.HitAt(100, 144), HTCLIENT);
    EXPECT_EQ(window.HitAt(100, 145), HTBOTTOM);
    // Size-box left - 1 inside the caption band is still the left edge.
    EXPECT_EQ(window.HitAt(3, 15), HTLEFT);

    // Inside the caption: plain controls drag the window, buttons of any kind
    // are clicked; below the caption is the client area.
    EXPECT_EQ(window.HitAt(50, 15), HTCAPTION);
    EXPECT_EQ(window.HitAt(50, 29), HTCAPTION);
    EXPECT_EQ(window.HitAt(50, 30), HTCLIENT);
    const RECT closePos = window.Find(L"closebtn")->GetPos();
    EXPECT_EQ(window.HitAt(closePos.left + 2, 15), HTCLIENT);
    const RECT pinPos = window.Find(L"pin")->GetPos();
    EXPECT_EQ(window.HitAt(pinPos.left + 2, 15), HTCLIENT);

    // Maximised: no size box, the caption reaches the window's edges.
    ::SendMessageW(window.GetHWND(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    window.Pump();
    ASSERT_TRUE(::IsZoomed(window.GetHWND()));
    RECT rcClient = {};
    ::GetClientRect(window.GetHWND(), &rcClient);
    EXPECT_GT(rcClient.right, 200);
    EXPECT_EQ(window.HitAt(3, 15), HTCAPTION);
    EXPECT_EQ(window.HitAt(0, 0), HTCAPTION);
    EXPECT_EQ(window.HitAt(3, 80), HTCLIENT);
    EXPECT_EQ(window.HitAt(rcClient.right - 1, rcClient.bottom - 1), HTCLIENT);
    const RECT maximisedClose = window.Find(L"closebtn")->GetPos();
    EXPECT_EQ(window.HitAt(maximisedClose.left + 2, 15), HTCLIENT);
}

TEST_F(WindowImplBaseTest, SystemButtonsMaximiseRestoreAndClose)
{
    SkinWindow window(L"frame.xml");
    ASSERT_NE(window.Open(), nullptr);
    Facet::CPaintManagerUI& pm = window.GetPaintManager();
    Facet::CControlUI* maxButton = window.Find(L"maxbtn");
    Facet::CControlUI* restoreButton = window.Find(L"restorebtn");
    ASSERT_NE(maxButton, nullptr);
    ASSERT_NE(restoreButton, nullptr);

    // "click" reaches OnClick through the window's message map.
    pm.SendNotify(maxButton, L"click");
    window.Pump();
    EXPECT_TRUE(::IsZoomed(window.GetHWND()));
    EXPECT_FALSE(maxButton->IsVisible());
    EXPECT_TRUE(restoreButton->IsVisible());

    pm.SendNotify(restoreButton, L"click");
    window.Pump();
    EXPECT_FALSE(::IsZoomed(window.GetHWND()));
    EXPECT_TRUE(maxButton->IsVisible());
    EXPECT_FALSE(restoreButton->IsVisible());

    pm.SendNotify(window.Find(L"minbtn"), L"click");
    window.Pump();
    EXPECT_TRUE(::IsIconic(window.GetHWND()));
    ::ShowWindow(window.GetHWND(), SW_RESTORE);
    window.Pump();

    // A click on any other control does nothing.
    pm.SendNotify(window.Find(L"grip"), L"click");
    EXPECT_TRUE(::IsWindow(window.GetHWND()));

    // "closebtn" posts a close message with 1 as its result.
    pm.SendNotify(window.Find(L"closebtn"), L"click");
    WPARAM result = 0;
    ASSERT_TRUE(TakeCloseMessage(window.GetHWND(), result));
    EXPECT_EQ(result, 1u);
    EXPECT_EQ(window.clicked, (std::vector<std::wstring>{L"maxbtn", L"restorebtn", L"minbtn", L"grip", L"closebtn"}));

    // The system menu's close command closes the window too.
    ::SendMessageW(window.GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(window.GetHWND()));
}

TEST_F(WindowImplBaseTest, EscapeClosesAndReturnDoesNot)
{
    SkinWindow window(L"frame.xml");
    ASSERT_NE(window.Open(), nullptr);

    ::PostMessageW(window.GetHWND(), WM_KEYDOWN, VK_RETURN, 0);
    window.Pump();
    EXPECT_TRUE(::IsWindow(window.GetHWND()));

    EXPECT_EQ(window.ResponseDefaultKeyEvent(VK_RETURN), 0);
    EXPECT_EQ(window.ResponseDefaultKeyEvent('A'), 0);
    WPARAM ignored = 0;
    EXPECT_FALSE(TakeCloseMessage(window.GetHWND(), ignored));

    const HWND hWnd = window.GetHWND();
    ::PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    window.Pump();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(window.finalCount, 1);
}

TEST_F(WindowImplBaseTest, RoundCornersMakeTheWindowRegion)
{
    SkinWindow window(L"round.xml");
    ASSERT_NE(window.Open(), nullptr);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(window.GetHWND(), region), ERROR);
    RECT box = {};
    ::GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_GE(box.right, 99);
    EXPECT_GE(box.bottom, 79);
    EXPECT_FALSE(::PtInRegion(region, 0, 0));
    EXPECT_FALSE(::PtInRegion(region, 98, 0));
    EXPECT_FALSE(::PtInRegion(region, 0, 78));
    EXPECT_TRUE(::PtInRegion(region, 50, 40));
    EXPECT_TRUE(::PtInRegion(region, 10, 10));
    EXPECT_TRUE(::PtInRegion(region, 0, 40));
    EXPECT_TRUE(::PtInRegion(region, 50, 0));

    // The region follows the window's size.
    ::SetWindowPos(window.GetHWND(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_NE(::GetWindowRgn(window.GetHWND(), region), ERROR);
    EXPECT_TRUE(::PtInRegion(region, 250, 100));
    EXPECT_FALSE(::PtInRegion(region, 298, 198));
    ::DeleteObject(region);

    // A skin without round corners leaves the window rectangular.
    SkinWindow square(L"frame.xml");
    ASSERT_NE(square.Open(), nullptr);
    HRGN none = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(square.GetHWND(), none), ERROR);
    ::DeleteObject(none);
}

TEST_F(WindowImplBaseTest, MinimumAndMaximumTrackingSizes)
{
    SkinWindow window(L"frame.xml");
    ASSERT_NE(window.Open(), nullptr);
    MINMAXINFO info = {};
    ::SendMessageW(window.GetHWND(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 150);
    EXPECT_EQ(info.ptMinTrackSize.y, 100);

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_EQ(info.ptMaxTrackSize.x, monitor.rcWork.right - monitor.rcWork.left);
    EXPECT_EQ(info.ptMaxTrackSize.y, monitor.rcWork.bottom - monitor.rcWork.top);
    EXPECT_EQ(info.ptMaxPosition.x, monitor.rcWork.left - monitor.rcMonitor.left);
    EXPECT_EQ(info.ptMaxPosition.y, monitor.rcWork.top - monitor.rcMonitor.top);
}
