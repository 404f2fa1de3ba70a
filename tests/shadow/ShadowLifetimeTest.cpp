// Which of the shadow and its parent goes first: the one left behind keeps
// working.
#include "ShadowTestSupport.h"

#include <memory>

using namespace Facet;
using namespace shadowtest;

namespace {

class ShadowLifetime : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(InitializeOnce()); }
    void TearDown() override { Pump(); }
};

WNDPROC ProcedureOf(HWND hWnd)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
}

// Another subclass installed over the shadow's hook, counting what passes.
class OuterSubclass
{
public:
    explicit OuterSubclass(HWND hWnd) : m_hWnd(hWnd)
    {
        s_instance = this;
        m_previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
    }
    ~OuterSubclass()
    {
        Remove();
        s_instance = nullptr;
    }
    OuterSubclass(const OuterSubclass&) = delete;
    OuterSubclass& operator=(const OuterSubclass&) = delete;

    void Remove()
    {
        if (m_previous != nullptr && IsWindow(m_hWnd))
            SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        m_previous = nullptr;
    }
    int Passed() const { return m_passed; }

private:
    static LRESULT CALLBACK Procedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        OuterSubclass* self = s_instance;
        ++self->m_passed;
        return CallWindowProcW(self->m_previous, hWnd, message, wParam, lParam);
    }

    static OuterSubclass* s_instance;
    HWND m_hWnd;
    WNDPROC m_previous = nullptr;
    int m_passed = 0;
};

OuterSubclass* OuterSubclass::s_instance = nullptr;

} // namespace

TEST_F(ShadowLifetime, ShadowDestroyedFirstGivesTheParentItsProcedureBack)
{
    ParentWindow parent(100, 100, 100, 100);
    const WNDPROC own = ProcedureOf(parent.Handle());
    ASSERT_EQ(own, ParentWindow::OwnProcedure());

    auto shadow = std::make_unique<CWndShadow>();
    shadow->Create(parent.Handle());
    const HWND hShadow = shadow->GetHWND();
    ASSERT_TRUE(IsWindow(hShadow));
    EXPECT_NE(ProcedureOf(parent.Handle()), own);

    shadow.reset();
    EXPECT_EQ(ProcedureOf(parent.Handle()), own);
    EXPECT_EQ(CWndShadow::FindShadowWindow(parent.Handle()), nullptr);
    Pump();
    EXPECT_FALSE(IsWindow(hShadow));

    // The parent goes on as before, and takes a new shadow.
    EXPECT_TRUE(parent.AnswersProbe());
    parent.MoveTo(150, 160);
    parent.Resize(90, 90);
    UpdateWindow(parent.Handle());
    CWndShadow next;
    next.Create(parent.Handle());
    parent.MoveTo(10, 10);
    EXPECT_TRUE(RectIs(WindowRect(next), MakeRect(15, 15, 105, 105)));
}

TEST_F(ShadowLifetime, ShadowDestroyedUnderAnotherSubclassLeavesAWorkingHook)
{
    ParentWindow parent(100, 100, 100, 100);
    const WNDPROC own = ProcedureOf(parent.Handle());
    auto shadow = std::make_unique<CWndShadow>();
    shadow->Create(parent.Handle());
    OuterSubclass outer(parent.Handle());

    // The hook cannot be taken out from under the outer subclass: it stays and
    // passes every message on to the parent's own procedure.
    shadow.reset();
    EXPECT_NE(ProcedureOf(parent.Handle()), own);
    EXPECT_TRUE(parent.AnswersProbe());
    parent.MoveTo(150, 160);
    parent.Resize(80, 80);
    ShowWindow(parent.Handle(), SW_HIDE);
    ShowWindow(parent.Handle(), SW_SHOWNA);
    UpdateWindow(parent.Handle());
    EXPECT_GT(outer.Passed(), 0);

    outer.Remove();
    EXPECT_TRUE(parent.AnswersProbe());

    // A new shadow uses the hook left in the chain, and takes it out at its end.
    auto next = std::make_unique<CWndShadow>();
    next->Create(parent.Handle());
    parent.MoveTo(20, 30);
    EXPECT_TRUE(RectIs(WindowRect(*next), MakeRect(25, 35, 105, 115)));
    next.reset();
    EXPECT_EQ(ProcedureOf(parent.Handle()), own);
    EXPECT_TRUE(parent.AnswersProbe());
}

TEST_F(ShadowLifetime, ParentDestroyedFirstTakesTheShadowWindowAndEntryWithIt)
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
        hShadow = shadow->GetHWND();
        ASSERT_TRUE(IsWindow(hShadow));
        ASSERT_NE(CWndShadow::FindShadowWindow(hParent), nullptr);
    }
    EXPECT_FALSE(IsWindow(hParent));
    EXPECT_FALSE(IsWindow(hShadow));
    EXPECT_EQ(CWndShadow::FindShadowWindow(hParent), nullptr);

    // The object outlives its parent, can be destroyed, and the other shadow
    // still follows its own parent.
    shadow.reset();
    Pump();
    EXPECT_EQ(CWndShadow::FindShadowWindow(other.Handle()), &otherShadow);
    other.MoveTo(200, 200);
    EXPECT_TRUE(RectIs(WindowRect(otherShadow), MakeRect(205, 205, 255, 255)));
}

TEST_F(ShadowLifetime, ShadowObjectServesANewParentAfterItsParentIsGone)
{
    CWndShadow shadow;
    {
        ParentWindow parent(100, 100, 100, 100);
        shadow.Create(parent.Handle());
        ASSERT_TRUE(IsWindow(shadow.GetHWND()));
    }
    ParentWindow parent(40, 40, 60, 60);
    shadow.Create(parent.Handle());
    ASSERT_TRUE(IsWindow(shadow.GetHWND()));
    EXPECT_EQ(CWndShadow::FindShadowWindow(parent.Handle()), &shadow);
    EXPECT_TRUE(RectIs(WindowRect(shadow), MakeRect(45, 45, 105, 105)));
}
