// The shadow window with a real parent in the virtual display: the class, the
// setters, and how the shadow follows the parent's moves, sizes and visibility.
#include "ShadowTestSupport.h"

#include <memory>

using namespace Facet;
using namespace shadowtest;

namespace {

class ShadowWindow : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(InitializeOnce()); }
    void TearDown() override { Pump(); }
};

// A parent at (100, 100), 100 x 100, with the default shadow.
RECT DefaultShadowRect(const RECT& parent)
{
    return MakeRect(parent.left + 5, parent.top + 5, parent.right + 5, parent.bottom + 5);
}

} // namespace

TEST_F(ShadowWindow, ClassIsRegisteredOnceAndTheWindowNeverActivates)
{
    EXPECT_FALSE(CWndShadow::Initialize(GetModuleHandleW(nullptr)));

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"FacetShadowWnd", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(wc.hIcon, nullptr);

    CWndShadow shadow;
    EXPECT_EQ(shadow.GetHWND(), reinterpret_cast<HWND>(INVALID_HANDLE_VALUE));
    ParentWindow parent(100, 100, 100, 100);
    shadow.Create(parent.Handle());
    const HWND hShadow = shadow;
    ASSERT_TRUE(IsWindow(hShadow));
    wchar_t className[64] = {};
    GetClassNameW(hShadow, className, 64);
    EXPECT_STREQ(className, L"FacetShadowWnd");
    const LONG exStyle = GetWindowLongW(hShadow, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT);
    EXPECT_NE(GetWindowLongW(hShadow, GWL_STYLE) & WS_POPUP, 0);
    EXPECT_EQ(GetWindow(hShadow, GW_OWNER), parent.Handle());
    EXPECT_EQ(SendMessageW(hShadow, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(parent.Handle()), 0),
              static_cast<LRESULT>(MA_NOACTIVATE));
}

TEST_F(ShadowWindow, SettersRefuseOutOfRangeValuesAndKeepTheOldOnes)
{
    CWndShadow shadow;
    const RECT parent = MakeRect(100, 100, 200, 200);

    EXPECT_FALSE(shadow.SetSharpness(21));
    EXPECT_TRUE(shadow.SetSharpness(20));
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_FALSE(shadow.SetDarkness(256));

    EXPECT_TRUE(shadow.SetPosition(-20, 20));
    EXPECT_FALSE(shadow.SetPosition(0, 21));
    EXPECT_FALSE(shadow.SetPosition(-21, 0));
    POINT position = shadow.GetShadowPosition(parent);
    EXPECT_EQ(position.x, 80);
    EXPECT_EQ(position.y, 120);

    // The size is kept in a signed byte: values it cannot hold are refused.
    EXPECT_TRUE(shadow.SetSize(-128));
    EXPECT_TRUE(shadow.SetSize(127));
    EXPECT_FALSE(shadow.SetSize(128));
    EXPECT_FALSE(shadow.SetSize(-129));
    EXPECT_EQ(shadow.GetShadowSize(parent).cx, 100 + 2 * 127);
    position = shadow.GetShadowPosition(parent);
    EXPECT_EQ(position.x, 100 - 20 - 127);

    EXPECT_TRUE(shadow.SetColor(RGB(1, 2, 3)));
    EXPECT_FALSE(shadow.SetImage(L"absent.png", MakeRect(1, 1, 1, 1), MakeRect(0, 0, 0, 0)));
    EXPECT_EQ(shadow.GetShadowSize(parent).cx, 100 + 2 * 127);
}

TEST_F(ShadowWindow, FollowsTheParentsMovesAndSettings)
{
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    ASSERT_TRUE(IsWindowVisible(shadow.GetHWND()));
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(105, 105, 205, 205)));

    parent.MoveTo(300, 200);
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(305, 205, 405, 305)));

    // A visible shadow is redrawn at once by its setters.
    ASSERT_TRUE(shadow.SetSize(10));
    ASSERT_TRUE(shadow.SetPosition(-3, 4));
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(300 - 3 - 10, 200 + 4 - 10, 400 - 3 + 10, 300 + 4 + 10)));

    parent.MoveTo(50, 60);
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(50 - 13, 60 - 6, 150 + 7, 160 + 14)));
    EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
}

TEST_F(ShadowWindow, HidesAndShowsWithTheParent)
{
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    ASSERT_TRUE(IsWindowVisible(shadow.GetHWND()));

    ShowWindow(parent.Handle(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));
    // A hidden shadow does not follow moves; it is placed again when shown.
    parent.MoveTo(200, 150);
    ShowWindow(parent.Handle(), SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
    UpdateWindow(parent.Handle());
    EXPECT_TRUE(RectIs(WindowRect(shadow), DefaultShadowRect(WindowRect(parent.Handle()))));
}

TEST_F(ShadowWindow, ParentHiddenAtCreationGetsItsShadowWhenShown)
{
    ParentWindow parent(100, 100, 100, 100, false);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    ASSERT_TRUE(IsWindow(shadow.GetHWND()));
    EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));

    ShowWindow(parent.Handle(), SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
    UpdateWindow(parent.Handle());
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(105, 105, 205, 205)));
}

TEST_F(ShadowWindow, MaximisingHidesTheShadowAndRestoringShowsIt)
{
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    ASSERT_TRUE(IsWindowVisible(shadow.GetHWND()));

    ShowWindow(parent.Handle(), SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(parent.Handle()));
    EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));

    ShowWindow(parent.Handle(), SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
    UpdateWindow(parent.Handle());
    EXPECT_TRUE(RectIs(WindowRect(shadow), DefaultShadowRect(WindowRect(parent.Handle()))));
}

TEST_F(ShadowWindow, ShrinkingRedrawsAtOnceGrowingAtTheNextPaint)
{
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    UpdateWindow(parent.Handle());

    parent.Resize(80, 70);
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(105, 105, 185, 175)));

    parent.Resize(150, 120);
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(105, 105, 185, 175)));
    UpdateWindow(parent.Handle());
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(105, 105, 255, 225)));
}

TEST_F(ShadowWindow, SizeThatLeavesNothingHidesTheShadowUntilItGrowsAgain)
{
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    ASSERT_TRUE(IsWindowVisible(shadow.GetHWND()));

    ASSERT_TRUE(shadow.SetSize(-60));
    EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));
    parent.MoveTo(120, 130);
    UpdateWindow(parent.Handle());
    EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));

    ASSERT_TRUE(shadow.SetSize(0));
    EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(125, 135, 225, 235)));
}

TEST_F(ShadowWindow, ImageShadowReachesItsMarginAroundTheParent)
{
    UseShadowImage();
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    ASSERT_TRUE(shadow.SetImage(L"shadow.png", MakeRect(6, 7, 8, 9), MakeRect(0, 0, 0, 0)));
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(94, 93, 208, 209)));

    parent.MoveTo(10, 20);
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(4, 13, 118, 129)));

    // The corner setter changes the margin only; the next redraw uses it.
    ASSERT_TRUE(shadow.SetCorner(MakeRect(2, 2, 2, 2)));
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(4, 13, 118, 129)));
    parent.Resize(90, 90);
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(8, 18, 102, 112)));
}

TEST_F(ShadowWindow, RegistryMapsEachParentToOneShadow)
{
    ParentWindow first(0, 0, 50, 50);
    ParentWindow second(60, 0, 50, 50);
    auto shadowOne = std::make_unique<CWndShadow>();
    CWndShadow shadowTwo;
    EXPECT_EQ(CWndShadow::FindShadowWindow(first.Handle()), nullptr);
    EXPECT_EQ(CWndShadow::GetShadowWindowIndex(first.Handle()), -1);

    shadowOne->Create(first.Handle());
    shadowTwo.Create(second.Handle());
    const int firstIndex = CWndShadow::GetShadowWindowIndex(first.Handle());
    ASSERT_GE(firstIndex, 0);
    EXPECT_EQ(CWndShadow::GetShadowWindowIndex(second.Handle()), firstIndex + 1);
    EXPECT_EQ(CWndShadow::FindShadowWindow(first.Handle()), shadowOne.get());
    EXPECT_EQ(CWndShadow::FindShadowWindow(second.Handle()), &shadowTwo);

    // A second shadow for the same parent, or a second parent for the same
    // shadow, is not taken.
    CWndShadow another;
    another.Create(first.Handle());
    EXPECT_EQ(another.GetHWND(), reinterpret_cast<HWND>(INVALID_HANDLE_VALUE));
    ParentWindow third(120, 0, 50, 50);
    const HWND before = shadowTwo.GetHWND();
    shadowTwo.Create(third.Handle());
    EXPECT_EQ(shadowTwo.GetHWND(), before);
    EXPECT_EQ(CWndShadow::FindShadowWindow(third.Handle()), nullptr);
    EXPECT_EQ(CWndShadow::FindShadowWindow(first.Handle()), shadowOne.get());

    shadowOne.reset();
    EXPECT_EQ(CWndShadow::FindShadowWindow(first.Handle()), nullptr);
    EXPECT_EQ(CWndShadow::GetShadowWindowIndex(second.Handle()), firstIndex);
}
