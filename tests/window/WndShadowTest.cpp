// The shadow window beside a real parent in the virtual display: its class,
// the setters, and how it follows the parent's moves, sizes and visibility.
#include "ShadowTestSupport.h"

#include <memory>

using namespace Facet;
using namespace testsupport;

namespace {

class ShadowWindow : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(InitializeOnce()); }
    void TearDown() override { Pump(); }
};

} // namespace

TEST_F(ShadowWindow, ClassIsRegisteredOnceAndTheWindowNeverActivates)
{
    EXPECT_FALSE(CWndShadow::Initialize(GetModuleHandleW(nullptr)));
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"FacetShadowWnd", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));

    CWndShadow shadow;
    EXPECT_EQ(shadow.GetHWND(), reinterpret_cast<HWND>(INVALID_HANDLE_VALUE));
    ParentWindow parent(100, 100, 100, 100);
    shadow.Create(parent.Handle());
    const HWND hShadow = shadow;
    ASSERT_TRUE(IsWindow(hShadow));
    const LONG exStyle = GetWindowLongW(hShadow, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT);
    EXPECT_EQ(GetWindow(hShadow, GW_OWNER), parent.Handle());
    EXPECT_EQ(SendMessageW(hShadow, WM_MOUSEACTIVATE, 0, 0), static_cast<LRESULT>(MA_NOACTIVATE));
}

TEST_F(ShadowWindow, SettersRefuseOutOfRangeValuesAndKeepTheOldOnes)
{
    CWndShadow shadow;
    const RECT parent = R(100, 100, 200, 200);
    EXPECT_FALSE(shadow.SetSharpness(21));
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_FALSE(shadow.SetDarkness(256));
    EXPECT_TRUE(shadow.SetPosition(-20, 20));
    EXPECT_FALSE(shadow.SetPosition(0, 21));
    EXPECT_FALSE(shadow.SetPosition(-21, 0));
    // The size is kept in a signed byte: values it cannot hold are refused.
    EXPECT_TRUE(shadow.SetSize(127));
    EXPECT_FALSE(shadow.SetSize(128));
    EXPECT_FALSE(shadow.SetSize(-129));
    const POINT position = shadow.GetShadowPosition(parent);
    EXPECT_EQ(position.x, 100 - 20 - 127);
    EXPECT_EQ(position.y, 100 + 20 - 127);
    EXPECT_EQ(shadow.GetShadowSize(parent).cx, 100 + 2 * 127);
}

TEST_F(ShadowWindow, FollowsTheParentsMovesAndSettings)
{
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    EXPECT_TRUE(IsWindowVisible(shadow));
    EXPECT_TRUE(WindowAt(shadow, R(105, 105, 205, 205)));
    parent.MoveTo(300, 200);
    EXPECT_TRUE(WindowAt(shadow, R(305, 205, 405, 305)));

    // A visible shadow is redrawn at once by its setters.
    ASSERT_TRUE(shadow.SetSize(10) && shadow.SetPosition(-3, 4));
    EXPECT_TRUE(WindowAt(shadow, R(287, 194, 407, 314)));
    parent.MoveTo(50, 60);
    EXPECT_TRUE(WindowAt(shadow, R(37, 54, 157, 174)));

    // A size that leaves nothing hides the shadow until it has something again.
    ASSERT_TRUE(shadow.SetSize(-60));
    EXPECT_FALSE(IsWindowVisible(shadow));
    parent.MoveTo(120, 130);
    ASSERT_TRUE(shadow.SetSize(0));
    EXPECT_TRUE(IsWindowVisible(shadow));
    EXPECT_TRUE(WindowAt(shadow, R(117, 134, 217, 234)));
}

TEST_F(ShadowWindow, HidesAndShowsWithTheParent)
{
    ParentWindow parent(100, 100, 100, 100, false);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    ASSERT_TRUE(IsWindow(shadow));
    EXPECT_FALSE(IsWindowVisible(shadow));

    ShowWindow(parent.Handle(), SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(shadow));
    UpdateWindow(parent.Handle()); // drawn at the parent's paint
    EXPECT_TRUE(WindowAt(shadow, R(105, 105, 205, 205)));

    ShowWindow(parent.Handle(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(shadow));
    parent.MoveTo(200, 150);
    ShowWindow(parent.Handle(), SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(shadow));
    UpdateWindow(parent.Handle());
    EXPECT_TRUE(WindowAt(shadow, R(205, 155, 305, 255)));

    ShowWindow(parent.Handle(), SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(parent.Handle()));
    EXPECT_FALSE(IsWindowVisible(shadow));
    ShowWindow(parent.Handle(), SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(shadow));
    UpdateWindow(parent.Handle());
    EXPECT_TRUE(WindowAt(shadow, R(205, 155, 305, 255)));
}

TEST_F(ShadowWindow, ShrinkingRedrawsAtOnceGrowingAtTheNextPaint)
{
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    UpdateWindow(parent.Handle());
    parent.Resize(80, 70);
    EXPECT_TRUE(WindowAt(shadow, R(105, 105, 185, 175)));
    parent.Resize(150, 120);
    EXPECT_TRUE(WindowAt(shadow, R(105, 105, 185, 175)));
    UpdateWindow(parent.Handle());
    EXPECT_TRUE(WindowAt(shadow, R(105, 105, 255, 225)));
}

TEST_F(ShadowWindow, ImageShadowReachesItsMarginAroundTheParent)
{
    UseShadowImage();
    ParentWindow parent(100, 100, 100, 100);
    CWndShadow shadow;
    shadow.Create(parent.Handle());
    ASSERT_TRUE(shadow.SetImage(L"shadow.png", R(6, 7, 8, 9), R(0, 0, 0, 0)));
    EXPECT_TRUE(WindowAt(shadow, R(94, 93, 208, 209)));
    parent.MoveTo(10, 20);
    EXPECT_TRUE(WindowAt(shadow, R(4, 13, 118, 129)));

    // The corner setter changes the margin only; the next redraw uses it.
    ASSERT_TRUE(shadow.SetCorner(R(2, 2, 2, 2)));
    EXPECT_TRUE(WindowAt(shadow, R(4, 13, 118, 129)));
    parent.Resize(90, 90);
    EXPECT_TRUE(WindowAt(shadow, R(8, 18, 102, 112)));
}

TEST_F(ShadowWindow, RegistryMapsEachParentToOneShadow)
{
    ParentWindow first(0, 0, 50, 50), second(60, 0, 50, 50), third(120, 0, 50, 50);
    auto shadowOne = std::make_unique<CWndShadow>();
    CWndShadow shadowTwo, another;
    EXPECT_EQ(CWndShadow::FindShadowWindow(first.Handle()), nullptr);
    EXPECT_EQ(CWndShadow::GetShadowWindowIndex(first.Handle()), -1);
    shadowOne->Create(first.Handle());
    shadowTwo.Create(second.Handle());
    const int index = CWndShadow::GetShadowWindowIndex(first.Handle());
    ASSERT_GE(index, 0);
    EXPECT_EQ(CWndShadow::GetShadowWindowIndex(second.Handle()), index + 1);
    EXPECT_EQ(CWndShadow::FindShadowWindow(second.Handle()), &shadowTwo);

    // Neither a second shadow for a parent nor a second parent for a shadow.
    another.Create(first.Handle());
    EXPECT_EQ(another.GetHWND(), reinterpret_cast<HWND>(INVALID_HANDLE_VALUE));
    shadowTwo.Create(third.Handle());
    EXPECT_EQ(CWndShadow::FindShadowWindow(third.Handle()), nullptr);
    EXPECT_EQ(CWndShadow::FindShadowWindow(first.Handle()), shadowOne.get());

    shadowOne.reset();
    EXPECT_EQ(CWndShadow::FindShadowWindow(first.Handle()), nullptr);
    EXPECT_EQ(CWndShadow::GetShadowWindowIndex(second.Handle()), index);
}
