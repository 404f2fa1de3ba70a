// Whichever of the shadow and its parent goes first, the one left keeps working.
#include "ShadowTestSupport.h"

#include <memory>

using namespace Facet;
using namespace testsupport;

namespace {

class ShadowLifetime : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(InitializeOnce()); }
    void TearDown() override { Pump(); }
};

// One more procedure subclassed over the parent's, passing everything on.
WNDPROC g_outerPrevious = nullptr;

LRESULT CALLBACK OuterProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(g_outerPrevious, hWnd, message, wParam, lParam);
}

} // namespace

TEST_F(ShadowLifetime, ShadowGoingFirstGivesTheParentItsProcedureBack)
{
    ParentWindow parent(100, 100, 100, 100);
    auto shadow = std::make_unique<CWndShadow>();
    shadow->Create(parent.Handle());
    const HWND hShadow = *shadow;
    EXPECT_NE(parent.CurrentProcedure(), ParentWindow::OwnProcedure());

    shadow.reset();
    EXPECT_EQ(parent.CurrentProcedure(), ParentWindow::OwnProcedure());
    EXPECT_EQ(CWndShadow::FindShadowWindow(parent.Handle()), nullptr);
    Pump();
    EXPECT_FALSE(IsWindow(hShadow));
    EXPECT_TRUE(parent.AnswersProbe());

    // The parent goes on, and takes a new shadow.
    parent.Resize(90, 90);
    CWndShadow next;
    next.Create(parent.Handle());
    parent.MoveTo(10, 10);
    EXPECT_TRUE(WindowAt(next, R(15, 15, 105, 105)));
}

TEST_F(ShadowLifetime, ShadowGoingFirstUnderAnotherSubclassLeavesAWorkingHook)
{
    ParentWindow parent(100, 100, 100, 100);
    auto shadow = std::make_unique<CWndShadow>();
    shadow->Create(parent.Handle());
    g_outerPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(parent.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterProcedure)));

    // The hook below the other procedure stays and passes messages on.
    shadow.reset();
    EXPECT_EQ(parent.CurrentProcedure(), OuterProcedure);
    EXPECT_TRUE(parent.AnswersProbe());
    parent.MoveTo(150, 160);
    parent.Resize(80, 80);
    ShowWindow(parent.Handle(), SW_HIDE);
    ShowWindow(parent.Handle(), SW_SHOWNA);
    UpdateWindow(parent.Handle());
    SetWindowLongPtrW(parent.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_outerPrevious));
    EXPECT_TRUE(parent.AnswersProbe());

    // A new shadow uses the hook left behind and takes it out at its end.
    auto next = std::make_unique<CWndShadow>();
    next->Create(parent.Handle());
    parent.MoveTo(20, 30);
    EXPECT_TRUE(WindowAt(*next, R(25, 35, 105, 115)));
    next.reset();
    EXPECT_EQ(parent.CurrentProcedure(), ParentWindow::OwnProcedure());
    EXPECT_TRUE(parent.AnswersProbe());
}

TEST_F(ShadowLifetime, ParentGoingFirstTakesTheShadowWindowAndEntry)
{
    ParentWindow other(300, 100, 50, 50);
    CWndShadow otherShadow;
    otherShadow.Create(other.Handle());
    auto shadow = std::make_unique<CWndShadow>();
    HWND hParent = nullptr;
    HWND hShadow = nullptr;
    {
        ParentWindow parent(100, 100, 100, 100);
        hParent = parent.Handle();
        shadow->Create(hParent);
        hShadow = *shadow;
        ASSERT_TRUE(IsWindow(hShadow));
    }
    EXPECT_FALSE(IsWindow(hShadow));
    EXPECT_EQ(CWndShadow::FindShadowWindow(hParent), nullptr);

    // The object serves a new parent, and goes without harm to the others.
    ParentWindow parent(40, 40, 60, 60);
    shadow->Create(parent.Handle());
    EXPECT_EQ(CWndShadow::FindShadowWindow(parent.Handle()), shadow.get());
    EXPECT_TRUE(WindowAt(*shadow, R(45, 45, 105, 105)));
    shadow.reset();
    other.MoveTo(200, 200);
    EXPECT_TRUE(WindowAt(otherShadow, R(205, 205, 255, 255)));
}
