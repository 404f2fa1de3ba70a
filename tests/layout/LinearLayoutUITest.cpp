// The horizontal and the vertical layout run the same arrangements along
// their own axis. Each case is written once, for a horizontal layout ("along"
// is x, "across" is y), and run on both: for the vertical layout every
// rectangle, size and point is transposed on the way in and out. The few
// places where the two layouts differ on purpose have their own cases below.
#include "../support/LayoutTestSupport.h"

#include "../support/DibCanvas.h"

#include <memory>

using namespace Facet;
using namespace testsupport;

namespace {

enum class Axis { Horizontal, Vertical };

void PrintTo(Axis axis, std::ostream* out)
{
    *out << (axis == Axis::Vertical ? "vertical" : "horizontal");
}

RECT Transposed(const RECT& rc)
{
    return RECT{rc.top, rc.left, rc.bottom, rc.right};
}

class BothAxes : public testing::TestWithParam<Axis>
{
protected:
    BothAxes()
    {
        if (Vertical())
            layout.reset(new CVerticalLayoutUI);
        else
            layout.reset(new CHorizontalLayoutUI);
    }

    bool Vertical() const { return GetParam() == Axis::Vertical; }

    // Screen rectangles from and to the horizontal frame the cases use.
    RECT Screen(const RECT& frame) const { return Vertical() ? Transposed(frame) : frame; }
    Rect Frame(const RECT& screen) const { return R(Vertical() ? Transposed(screen) : screen); }
    SIZE Size(long along, long across) const { return Vertical() ? SIZE{across, along} : SIZE{along, across}; }

    Box* AddBox(long along = 0, long across = 0)
    {
        const SIZE size = Size(along, across);
        Box* box = new Box(size.cx, size.cy);
        layout->Add(box);
        return box;
    }
    void SetMinAlong(CControlUI* control, int value)
    {
        if (Vertical())
            control->SetMinHeight(value);
        else
            control->SetMinWidth(value);
    }
    void SetMaxAlong(CControlUI* control, int value)
    {
        if (Vertical())
            control->SetMaxHeight(value);
        else
            control->SetMaxWidth(value);
    }
    void SetMaxAcross(CControlUI* control, int value)
    {
        if (Vertical())
            control->SetMaxWidth(value);
        else
            control->SetMaxHeight(value);
    }
    // 0 start, 1 centre, 2 end of the cross axis.
    void AlignAcross(int where)
    {
        if (Vertical())
            layout->SetChildAlign(where == 1 ? 1 : where == 2 ? 2 : 0);
        else
            layout->SetChildVAlign(where == 1 ? 4 : where == 2 ? 8 : 0);
    }
    void EnableBars(bool along, bool across)
    {
        if (Vertical())
            layout->EnableScrollBar(along, across);
        else
            layout->EnableScrollBar(across, along);
    }
    void ScrollTo(long along, long across) { layout->SetScrollPos(Size(along, across)); }
    void Place(const RECT& frame) { layout->SetPos(Screen(frame)); }

    // -- Separator --
    const wchar_t* SeparatorAttribute() const { return Vertical() ? L"sepheight" : L"sepwidth"; }
    RECT Thumb(bool useNew = false) const
    {
        return Vertical() ? static_cast<CVerticalLayoutUI*>(layout.get())->GetThumbRect(useNew)
                          : static_cast<CHorizontalLayoutUI*>(layout.get())->GetThumbRect(useNew);
    }
    long FixedAlong() const { return Vertical() ? layout->GetFixedHeight() : layout->GetFixedWidth(); }
    void Mouse(int type, long x, long y)
    {
        TEventUI event = testsupport::MakeEvent(type, layout.get());
        event.ptMouse = Vertical() ? POINT{y, x} : POINT{x, y};
        layout->DoEvent(event);
    }

    ScopedDpi dpi{96};
    std::unique_ptr<CContainerUI> layout;
};

INSTANTIATE_TEST_SUITE_P(Layouts, BothAxes, testing::Values(Axis::Horizontal, Axis::Vertical),
                         [](const testing::TestParamInfo<Axis>& info) {
                             return info.param == Axis::Vertical ? "Vertical" : "Horizontal";
                         });

TEST_P(BothAxes, FixedAndStretchableChildrenWithPaddingsLimitsAndAlignment)
{
    layout->SetInset(Screen(RECT{5, 3, 7, 2})); // client: along 5..193, across 3..98
    layout->SetChildPadding(4);
    Box* fixed = AddBox(30, 20);
    fixed->SetPadding(Screen(RECT{1, 2, 3, 4}));
    Box* atLeast10 = AddBox();
    SetMinAlong(atLeast10, 10);
    SetMaxAcross(atLeast10, 50);
    AddBox(40, 40)->SetVisible(false);
    Box* atMost25 = AddBox();
    SetMaxAlong(atMost25, 25);
    Box* last = AddBox();

    // 188 - (30 + 1 + 3) - 3 * 4 = 142 shared by three stretchable children:
    // 47 each, the capped one gives up 22 that the last one takes.
    Place(RECT{0, 0, 200, 100});
    EXPECT_EQ(Frame(fixed->GetPos()), (Rect{6, 5, 36, 25}));
    EXPECT_EQ(Frame(atLeast10->GetPos()), (Rect{43, 3, 90, 53}));
    EXPECT_EQ(Frame(atMost25->GetPos()), (Rect{94, 3, 119, 98}));
    EXPECT_EQ(Frame(last->GetPos()), (Rect{123, 3, 193, 98}));

    AlignAcross(1); // centred on the client, paddings not applied
    Place(RECT{0, 0, 200, 100});
    EXPECT_EQ(Frame(fixed->GetPos()), (Rect{6, 40, 36, 60}));
    EXPECT_EQ(Frame(atLeast10->GetPos()), (Rect{43, 25, 90, 75}));

    AlignAcross(2); // at the end, less the end padding
    Place(RECT{0, 0, 200, 100});
    EXPECT_EQ(Frame(fixed->GetPos()), (Rect{6, 74, 36, 94}));
    EXPECT_EQ(Frame(atMost25->GetPos()), (Rect{94, 3, 119, 98}));
}

TEST_P(BothAxes, ScrollBarsShiftTheChildrenAlongAndAcross)
{
    EnableBars(true, false);
    std::vector<Box*> cells;
    for (int i = 0; i < 4; ++i)
        cells.push_back(AddBox(40, 0));
    Place(RECT{0, 0, 100, 50});
    EXPECT_EQ(Frame(cells[0]->GetPos()), (Rect{0, 0, 40, 34}));
    ScrollTo(60, 0);
    Place(RECT{0, 0, 100, 50}); // a later layout keeps the offset
    EXPECT_EQ(Frame(cells[0]->GetPos()), (Rect{-60, 0, -20, 34}));
    EXPECT_EQ(Frame(cells[3]->GetPos()), (Rect{60, 0, 100, 34}));

    // Across: a child 150 tall in 100 makes a range of 50; alignment works
    // on the whole scrolled extent.
    for (Box* cell : cells)
        layout->Remove(cell);
    EnableBars(false, true);
    Box* tall = AddBox(50, 150);
    Box* small = AddBox(30, 20);
    AlignAcross(1);
    Place(RECT{0, 0, 200, 100});
    EXPECT_EQ(Frame(tall->GetPos()), (Rect{0, 0, 50, 150}));
    EXPECT_EQ(Frame(small->GetPos()), (Rect{50, 65, 80, 85}));
    ScrollTo(0, 30);
    Place(RECT{0, 0, 200, 100});
    EXPECT_EQ(Frame(small->GetPos()), (Rect{50, 35, 80, 55}));
    AlignAcross(2);
    Place(RECT{0, 0, 200, 100});
    EXPECT_EQ(Frame(small->GetPos()), (Rect{50, 100, 80, 120}));
    AlignAcross(0);
    Place(RECT{0, 0, 200, 100});
    EXPECT_EQ(Frame(small->GetPos()), (Rect{50, -30, 80, -10}));
}

TEST_P(BothAxes, TheSeparatorStripLiesOnTheEndOrStartEdge)
{
    EXPECT_EQ(layout->GetControlFlags(), 0u);
    layout->SetAttribute(SeparatorAttribute(), L"6");
    EXPECT_EQ(layout->GetControlFlags(), static_cast<UINT>(UIFLAG_SETCURSOR));
    Place(RECT{10, 20, 110, 70});
    EXPECT_EQ(Frame(Thumb()), (Rect{104, 20, 110, 70}));
    layout->SetAttribute(SeparatorAttribute(), L"-6");
    EXPECT_EQ(Frame(Thumb()), (Rect{10, 20, 16, 70}));
    Place(RECT{10, 20, 14, 70}); // never past the opposite edge
    EXPECT_EQ(Frame(Thumb()), (Rect{10, 20, 14, 70}));
    layout->SetAttribute(SeparatorAttribute(), L"6");
    EXPECT_EQ(Frame(Thumb()), (Rect{10, 20, 14, 70}));

    layout->SetEnabled(false);
    EXPECT_EQ(layout->GetControlFlags(), 0u);
}

TEST_P(BothAxes, DraggingTheEndSeparatorFollowsThePointerWithinTheLimits)
{
    layout->SetAttribute(SeparatorAttribute(), L"6");
    SetMinAlong(layout.get(), 40);
    SetMaxAlong(layout.get(), 120);
    Place(RECT{0, 0, 100, 50});

    Mouse(UIEVENT_BUTTONDOWN, 97, 10);
    Mouse(UIEVENT_MOUSEMOVE, 103, 10); // outward but short of end + separator: ignored
    EXPECT_EQ(Frame(Thumb(true)), (Rect{94, 0, 100, 50}));
    Mouse(UIEVENT_MOUSEMOVE, 110, 10); // only this move's 7 count
    EXPECT_EQ(Frame(Thumb(true)), (Rect{101, 0, 107, 50}));
    EXPECT_EQ(FixedAlong(), 107);
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{0, 0, 100, 50})); // shown, not applied
    Mouse(UIEVENT_MOUSEMOVE, 95, 10);
    EXPECT_EQ(FixedAlong(), 92);
    Mouse(UIEVENT_MOUSEMOVE, 140, 10); // held at the maximum
    EXPECT_EQ(FixedAlong(), 120);
    Mouse(UIEVENT_MOUSEMOVE, 150, 10); // nothing left to change
    Mouse(UIEVENT_MOUSEMOVE, 140, 10); // inward but still beyond the end: ignored
    EXPECT_EQ(Frame(Thumb(true)), (Rect{114, 0, 120, 50}));
    Mouse(UIEVENT_MOUSEMOVE, 20, 10); // held at the minimum
    EXPECT_EQ(FixedAlong(), 40);
    Mouse(UIEVENT_MOUSEMOVE, 10, 10);
    EXPECT_EQ(FixedAlong(), 40);
    Mouse(UIEVENT_BUTTONUP, 10, 10);
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{0, 0, 40, 50}));

    // Later moves are plain mouse moves.
    Mouse(UIEVENT_MOUSEMOVE, 80, 10);
    EXPECT_EQ(FixedAlong(), 40);
}

TEST_P(BothAxes, DraggingTheStartSeparatorInImmediateModeMovesTheStartEdge)
{
    layout->SetAttribute(SeparatorAttribute(), L"-6");
    layout->SetAttribute(L"sepimm", L"true");
    SetMinAlong(layout.get(), 40);
    SetMaxAlong(layout.get(), 120);
    Place(RECT{0, 0, 100, 50});

    Mouse(UIEVENT_BUTTONDOWN, 50, 10); // outside the strip: no drag
    Mouse(UIEVENT_MOUSEMOVE, 30, 10);
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{0, 0, 100, 50}));

    Mouse(UIEVENT_BUTTONDOWN, 3, 10);
    Mouse(UIEVENT_MOUSEMOVE, -4, 10); // outward but short of start - separator width: ignored
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{0, 0, 100, 50}));
    Mouse(UIEVENT_MOUSEMOVE, -11, 10);                          // only this move's 7 count
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{-7, 0, 100, 50})); // applied at once
    EXPECT_EQ(FixedAlong(), 107);
    Mouse(UIEVENT_MOUSEMOVE, -50, 10); // held at the maximum
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{-20, 0, 100, 50}));
    Mouse(UIEVENT_MOUSEMOVE, -40, 10); // inward but still before the start: ignored
    EXPECT_EQ(FixedAlong(), 120);
    Mouse(UIEVENT_MOUSEMOVE, 10, 10);
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{30, 0, 100, 50}));
    Mouse(UIEVENT_MOUSEMOVE, 90, 10); // held at the minimum
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{60, 0, 100, 50}));
    Mouse(UIEVENT_MOUSEMOVE, 80, 10); // outward but short of start - separator width: ignored
    EXPECT_EQ(FixedAlong(), 40);
    Mouse(UIEVENT_MOUSEMOVE, 56, 10); // still short: ignored
    EXPECT_EQ(FixedAlong(), 40);
    Mouse(UIEVENT_MOUSEMOVE, 50, 10);
    Mouse(UIEVENT_BUTTONUP, 50, 10);
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{54, 0, 100, 50}));
    EXPECT_EQ(FixedAlong(), 46);
    EXPECT_EQ(Frame(Thumb()), (Rect{54, 0, 60, 50}));
}

TEST_P(BothAxes, ADisabledSeparatorDoesNotDrag)
{
    layout->SetAttribute(SeparatorAttribute(), L"6");
    Place(RECT{0, 0, 100, 50});
    layout->SetEnabled(false);
    Mouse(UIEVENT_BUTTONDOWN, 97, 10);
    Mouse(UIEVENT_MOUSEMOVE, 120, 10);
    Mouse(UIEVENT_BUTTONUP, 120, 10);
    EXPECT_EQ(Frame(layout->GetPos()), (Rect{0, 0, 100, 50}));
    EXPECT_EQ(FixedAlong(), 0);
}

TEST_P(BothAxes, TheDraggedPlaceIsShadedAndTheCursorShowsTheAxis)
{
    layout->SetAttribute(SeparatorAttribute(), L"6");
    Place(RECT{0, 0, 100, 50});
    testsupport::DibCanvas canvas(150, 150);
    canvas.Fill(0xFFFFFFFF);
    const RECT all = {0, 0, 150, 150};

    layout->DoPostPaint(canvas.Dc(), all); // no drag: nothing drawn
    EXPECT_EQ(canvas.Rgb(97, 97), 0xFFFFFFu);

    Mouse(UIEVENT_BUTTONDOWN, 97, 10);
    Mouse(UIEVENT_MOUSEMOVE, 120, 10);
    layout->DoPostPaint(canvas.Dc(), all);
    const RECT shade = Screen(RECT{117, 0, 123, 50});
    EXPECT_EQ(canvas.Rgb(shade.left, shade.top), 0x555555u); // 0xAA black over white
    EXPECT_EQ(canvas.Rgb(shade.right - 1, shade.bottom - 1), 0x555555u);
    EXPECT_EQ(canvas.Rgb(shade.right, shade.bottom), 0xFFFFFFu);
    Mouse(UIEVENT_BUTTONUP, 120, 10);

    Mouse(UIEVENT_SETCURSOR, 119, 10);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, Vertical() ? IDC_SIZENS : IDC_SIZEWE));
}

// A child that estimates a size of its own without a fixed one, as a label
// does from its text.
class Estimating : public Box
{
public:
    explicit Estimating(SIZE estimate) : m_estimate(estimate) {}
    SIZE EstimateSize(SIZE) override { return m_estimate; }

private:
    SIZE m_estimate;
};

TEST(LayoutDifference, OnlyAFixedWidthLetsAChildOfAHorizontalLayoutKeepItsEstimate)
{
    ScopedDpi dpi(96);
    CHorizontalLayoutUI row;
    row.EnableScrollBar(true, false);
    auto* unsized = new Estimating(SIZE{30, 200});
    auto* sized = new Estimating(SIZE{30, 50});
    sized->SetFixedWidth(10);
    row.Add(unsized);
    row.Add(sized);
    row.SetPos(RECT{0, 0, 200, 100});
    // The unsized child stretches, and its estimated height does not count
    // towards the height the row needs: no vertical bar.
    EXPECT_EQ(R(unsized->GetPos()), (Rect{0, 0, 170, 100}));
    EXPECT_EQ(R(sized->GetPos()), (Rect{170, 0, 200, 100}));
    EXPECT_FALSE(row.GetVerticalScrollBar()->IsVisible());

    CVerticalLayoutUI column;
    column.EnableScrollBar(false, true);
    auto* estimated = new Estimating(SIZE{200, 30});
    auto* rest = new Box;
    column.Add(estimated);
    column.Add(rest);
    column.SetPos(RECT{0, 0, 100, 200});
    // A vertical layout keeps any estimate, and its width needs a bar.
    EXPECT_EQ(estimated->GetHeight(), 30);
    EXPECT_TRUE(column.GetHorizontalScrollBar()->IsVisible());
}

} // namespace
