// Containers that overflow: their scroll bars, the bounded re-layout, scrolling
// steps, and dragging the thumb in a window.
#include "../support/LayoutTestSupport.h"

#include "../support/TestWindow.h"

using namespace Facet;
using namespace testsupport;

namespace {

class OverflowingLayout : public testing::Test
{
protected:
    void Fill(int count, int height, int width = 0)
    {
        for (int i = 0; i < count; ++i) {
            Box* box = new Box(width, height);
            boxes.push_back(box);
            layout.Add(box);
        }
    }
    int Placements() const
    {
        int total = 0;
        for (const Box* box : boxes)
            total += box->placements;
        return total;
    }

    ScopedDpi dpi{96};
    CVerticalLayoutUI layout;
    std::vector<Box*> boxes;
};

TEST_F(OverflowingLayout, ShowsItsBarAndScrollsItsChildren)
{
    layout.EnableScrollBar(true, false);
    CScrollBarUI* bar = layout.GetVerticalScrollBar();
    Fill(5, 30);
    layout.SetPos(RECT{0, 0, 100, 100});

    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 50);
    EXPECT_EQ(R(bar->GetPos()), (Rect{84, 0, 100, 100}));
    EXPECT_EQ(R(boxes[0]->GetPos()), (Rect{0, 0, 84, 30}));
    EXPECT_EQ(R(layout.GetClientPos()), (Rect{0, 0, 84, 100}));

    layout.SetScrollPos(SIZE{0, 20});
    EXPECT_EQ(bar->GetScrollPos(), 20);
    EXPECT_EQ(R(boxes[0]->GetPos()), (Rect{0, -20, 84, 10}));
    EXPECT_EQ(R(boxes[4]->GetPos()), (Rect{0, 100, 84, 130}));

    layout.LineDown(); // 8 pixels without a manager
    EXPECT_EQ(layout.GetScrollPos().cy, 28);
    layout.EndDown();
    EXPECT_EQ(layout.GetScrollPos().cy, 50);
    EXPECT_EQ(boxes[4]->GetPos().bottom, 100);
    layout.PageUp();
    EXPECT_EQ(layout.GetScrollPos().cy, 0);
    layout.PageDown();
    EXPECT_EQ(layout.GetScrollPos().cy, 50);

    // A later layout keeps the scrolled offset.
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(boxes[0]->GetPos().top, -50);

    // Content that fits again hides the bar and puts everything back.
    layout.RemoveAt(4);
    layout.RemoveAt(3);
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 0);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(R(boxes[0]->GetPos()), (Rect{0, 0, 100, 30}));
}

TEST_F(OverflowingLayout, AShrinkingRangePullsThePositionBackAndLaysOutAgain)
{
    layout.EnableScrollBar(true, false);
    Fill(5, 30);
    layout.SetPos(RECT{0, 0, 100, 100});
    layout.EndDown();
    boxes[4]->SetVisible(false); // 120 needed: range 20
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(layout.GetScrollPos().cy, 20);
    EXPECT_EQ(boxes[0]->GetPos().top, -20);
    EXPECT_EQ(boxes[3]->GetPos().bottom, 100);
}

TEST_F(OverflowingLayout, BarsThatAppearCostAtMostOneMoreLayoutPass)
{
    layout.EnableScrollBar(true, true);
    // 100 wide fits exactly until the vertical bar takes 16 pixels; then the
    // horizontal bar is needed as well.
    Fill(4, 30, 100);
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(Placements(), 2 * 4);
    EXPECT_TRUE(layout.GetVerticalScrollBar()->IsVisible());
    EXPECT_TRUE(layout.GetHorizontalScrollBar()->IsVisible());
    EXPECT_EQ(layout.GetVerticalScrollBar()->GetScrollRange(), 120 - 84);
    EXPECT_EQ(layout.GetHorizontalScrollBar()->GetScrollRange(), 100 - 84);
    EXPECT_EQ(R(layout.GetHorizontalScrollBar()->GetPos()), (Rect{0, 84, 84, 100}));
    EXPECT_EQ(R(layout.GetVerticalScrollBar()->GetPos()), (Rect{84, 0, 100, 84}));

    // Nothing changes: one pass.
    layout.SetPos(RECT{0, 0, 100, 100});
    EXPECT_EQ(Placements(), 3 * 4);

    // Both bars go away together, again with a single extra pass.
    for (int i = 0; i < 3; ++i)
        layout.RemoveAt(1);
    const int before = boxes[0]->placements;
    layout.SetPos(RECT{0, 0, 200, 200});
    EXPECT_FALSE(layout.GetVerticalScrollBar()->IsVisible());
    EXPECT_FALSE(layout.GetHorizontalScrollBar()->IsVisible());
    EXPECT_EQ(boxes[0]->placements, before + 2);
    EXPECT_EQ(R(boxes[0]->GetPos()), (Rect{0, 0, 100, 30}));
}

TEST_F(OverflowingLayout, KeysAndTheWheelScrollThroughTheEvents)
{
    layout.EnableScrollBar(true, false);
    layout.GetVerticalScrollBar()->SetScrollUnit(5);
    Fill(10, 30);
    layout.SetPos(RECT{0, 0, 100, 100});

    TEventUI event = testsupport::MakeEvent(UIEVENT_SCROLLWHEEL, &layout);
    event.wParam = 1; // towards the user
    layout.DoEvent(event);
    EXPECT_EQ(layout.GetScrollPos().cy, 5);
    event.wParam = 0;
    layout.DoEvent(event);
    EXPECT_EQ(layout.GetScrollPos().cy, 0);

    TEventUI key = testsupport::MakeEvent(UIEVENT_KEYDOWN, &layout);
    key.chKey = VK_END;
    layout.DoEvent(key);
    EXPECT_EQ(layout.GetScrollPos().cy, 200);
    key.chKey = VK_PRIOR;
    layout.DoEvent(key);
    EXPECT_EQ(layout.GetScrollPos().cy, 100);
    key.chKey = VK_UP;
    layout.DoEvent(key);
    EXPECT_EQ(layout.GetScrollPos().cy, 95);
    key.chKey = VK_HOME;
    layout.DoEvent(key);
    EXPECT_EQ(layout.GetScrollPos().cy, 0);

    layout.SetKeyboardEnabled(false);
    key.chKey = VK_END;
    layout.DoEvent(key);
    EXPECT_EQ(layout.GetScrollPos().cy, 0);
}

TEST_F(OverflowingLayout, HorizontalLayoutScrollsSideways)
{
    CHorizontalLayoutUI row;
    row.EnableScrollBar(false, true);
    std::vector<Box*> cells;
    for (int i = 0; i < 4; ++i) {
        cells.push_back(new Box(40, 0));
        row.Add(cells.back());
    }
    row.SetPos(RECT{0, 0, 100, 50});
    CScrollBarUI* bar = row.GetHorizontalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 60);
    EXPECT_EQ(R(bar->GetPos()), (Rect{0, 34, 100, 50}));
    EXPECT_EQ(R(cells[0]->GetPos()), (Rect{0, 0, 40, 34}));
    row.EndRight();
    EXPECT_EQ(R(cells[3]->GetPos()), (Rect{60, 0, 100, 34}));
}

class ScrollInWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        layout = new CVerticalLayoutUI;
        layout->EnableScrollBar(true, false);
        for (int i = 0; i < 10; ++i) {
            boxes.push_back(new Box(0, 50));
            layout->Add(boxes.back());
        }
        window.manager.AttachDialog(layout);
        window.manager.AddNotifier(&notes);
        window.Pump();
        bar = layout->GetVerticalScrollBar();
    }

    ScopedDpi dpi{96};
    testsupport::TestWindow window{200, 150};
    NotifyLog notes;
    CVerticalLayoutUI* layout = nullptr;
    CScrollBarUI* bar = nullptr;
    std::vector<Box*> boxes;
};

TEST_F(ScrollInWindow, DraggingTheThumbScrollsTheContentAndSaysScroll)
{
    ASSERT_TRUE(bar->IsVisible());
    ASSERT_EQ(bar->GetScrollRange(), 350);
    const RECT thumb = bar->GetThumbRect();
    // Track 118 pixels, thumb 118 * 150 / 500 = 35, travel 83.
    ASSERT_EQ(R(thumb), (Rect{184, 16, 200, 51}));
    const int x = 192, y = 30;
    window.MouseMove(x, y);
    window.ButtonDown(x, y);
    window.MouseMove(x, y + 41, MK_LBUTTON);
    // 41 * 350 / 83 = 172.9, rounded to 173.
    EXPECT_EQ(bar->GetScrollPos(), 173);
    EXPECT_EQ(boxes[0]->GetPos().top, -173);
    const TNotifyUI* note = notes.Last(L"scroll");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->pSender, bar);
    EXPECT_EQ(note->wParam, 173u);
    EXPECT_EQ(note->lParam, 0);

    window.MouseMove(x, 500, MK_LBUTTON); // far past the end
    EXPECT_EQ(bar->GetScrollPos(), 350);
    window.ButtonUp(x, 500);
    window.MouseMove(x, 20);
    EXPECT_EQ(bar->GetScrollPos(), 350); // released: moves no longer drag
    EXPECT_EQ(boxes[9]->GetPos().bottom, 150);
}

TEST_F(ScrollInWindow, ButtonsAndTrackStepTheOwner)
{
    const int lineStep = window.manager.GetDefaultFontInfo()->tm.tmHeight + 8;
    window.ButtonDown(192, 140); // lower button
    window.ButtonUp(192, 140);
    EXPECT_EQ(bar->GetScrollPos(), lineStep);
    EXPECT_EQ(notes.Count(L"scroll"), 1);

    window.ButtonDown(192, 120); // track below the thumb: a page
    window.ButtonUp(192, 120);
    EXPECT_EQ(bar->GetScrollPos(), lineStep + 150);
    window.ButtonDown(192, 5); // upper button
    window.ButtonUp(192, 5);
    EXPECT_EQ(bar->GetScrollPos(), 150);
    EXPECT_EQ(boxes[0]->GetPos().top, -150);
}

// Sends the bar its repeat timer's tick, as the manager does for its window timer.
void RepeatTick(CScrollBarUI* bar)
{
    TEventUI tick = {};
    tick.Type = UIEVENT_TIMER;
    tick.pSender = bar;
    tick.wParam = CScrollBarUI::kRepeatTimerId;
    bar->Event(tick);
}

TEST_F(ScrollInWindow, AHeldButtonRepeatsAfterADelayAndAHeldTrackPagesTowardsThePointer)
{
    const int lineStep = window.manager.GetDefaultFontInfo()->tm.tmHeight + 8;
    window.ButtonDown(192, 140); // lower button, held
    ASSERT_EQ(bar->GetScrollPos(), lineStep);
    for (int i = 0; i < 5; ++i)
        RepeatTick(bar);
    EXPECT_EQ(bar->GetScrollPos(), lineStep); // still the delay
    RepeatTick(bar);
    EXPECT_EQ(bar->GetScrollPos(), 2 * lineStep);
    window.ButtonUp(192, 140);
    RepeatTick(bar);
    EXPECT_EQ(bar->GetScrollPos(), 2 * lineStep); // released: no more steps

    // The track held far below the thumb pages until the thumb covers the pointer.
    bar->SetScrollPos(0);
    window.ButtonDown(192, 150 - 17);
    const int afterFirstPage = bar->GetScrollPos();
    EXPECT_EQ(afterFirstPage, 150);
    for (int i = 0; i < 20; ++i)
        RepeatTick(bar);
    EXPECT_GT(bar->GetScrollPos(), afterFirstPage);
    const RECT thumb = bar->GetThumbRect();
    EXPECT_LE(thumb.top, 150 - 17);
    window.ButtonUp(192, 150 - 17);

    // A timer that is not the bar's own goes on to the control's default.
    TEventUI other = {};
    other.Type = UIEVENT_TIMER;
    other.pSender = bar;
    other.wParam = 99;
    notes.entries.clear();
    bar->Event(other);
    EXPECT_EQ(notes.Count(L"timer"), 1);
}

TEST_F(ScrollInWindow, TheWheelOverAChildScrollsTheLayout)
{
    POINT screen = {50, 50};
    ClientToScreen(window.Handle(), &screen);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
    EXPECT_GT(bar->GetScrollPos(), 0);
    EXPECT_EQ(boxes[0]->GetPos().top, -bar->GetScrollPos());
}

} // namespace
