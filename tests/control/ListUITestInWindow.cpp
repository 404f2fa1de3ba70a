// Lists laid out in a real window: header and body, columns, selection by
// mouse and keys with "itemselect", scrolling to the selection, column
// resizing by the separator, links in text rows and expanding rows.
#include "../support/LayoutTestSupport.h"

#include "../support/DibCanvas.h"
#include "../support/TestWindow.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace Facet;
using namespace testsupport;

namespace {

class ListInWindow : public testing::Test
{
protected:
    // A list filling a 200 x 150 window: a 20-pixel header with an 80-pixel
    // and a stretching column, and ten 20-pixel text rows.
    void SetUp() override
    {
        list = new CListUI;
        list->SetAttribute(L"itemheight", L"20");
        auto* name = new CListHeaderItemUI;
        name->SetAttribute(L"width", L"80");
        name->SetAttribute(L"height", L"20");
        name->SetText(L"Name");
        list->Add(name);
        auto* size = new CListHeaderItemUI;
        size->SetAttribute(L"height", L"20");
        list->Add(size);
        for (int i = 0; i < 10; ++i) {
            auto* row = new CListTextElementUI;
            row->SetText(0, (L"row " + std::to_wstring(i)).c_str());
            row->SetText(1, L"1 KB");
            list->Add(row);
        }
        window.manager.AttachDialog(list);
        window.manager.AddNotifier(&log);
        // The first paint lays the list out; the manager gives the first tab
        // stop (the list) the focus at the paint after, forced here so that
        // it does not come in the middle of a test.
        window.Pump();
        InvalidateRect(window.Handle(), nullptr, FALSE);
        window.Pump();
        EXPECT_EQ(window.manager.GetFocus(), list);
    }

    CControlUI* Row(int i) const { return list->GetItemAt(i); }
    void Key(WPARAM key)
    {
        window.Send(WM_KEYDOWN, key, 0);
        window.Send(WM_KEYUP, key, 0);
        window.Pump();
    }
    void Click(int x, int y)
    {
        window.ButtonDown(x, y);
        window.ButtonUp(x, y);
        window.Pump();
    }

    ScopedDpi dpi{96};
    NotifyLog log;
    testsupport::TestWindow window{200, 150};
    CListUI* list = nullptr;
};

TEST_F(ListInWindow, HeaderOnTopRowsBelowAndTheHeaderItemsAreTheColumns)
{
    EXPECT_EQ(R(list->GetHeader()->GetPos()), (Rect{0, 0, 200, 20}));
    EXPECT_EQ(R(list->GetList()->GetPos()), (Rect{0, 20, 200, 150}));
    EXPECT_EQ(Row(0)->GetPos().top, 20);
    EXPECT_EQ(Row(0)->GetHeight(), 20);
    EXPECT_EQ(Row(1)->GetPos().top, 40);
    // Ten rows do not fit in 130 pixels: the body scrolls.
    ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
    EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(list->GetScrollRange().cy, 70);

    const TListInfoUI* info = list->GetListInfo();
    ASSERT_EQ(info->nColumns, 2);
    EXPECT_EQ(info->rcColumn[0].left, 0);
    EXPECT_EQ(info->rcColumn[0].right, 80);
    EXPECT_EQ(info->rcColumn[1].left, 80);
    EXPECT_EQ(info->rcColumn[1].right, 200);

    // A hidden header takes no room but still gives the columns.
    list->SetAttribute(L"header", L"hidden");
    window.Pump();
    EXPECT_EQ(list->GetList()->GetPos().top, 0);
    EXPECT_EQ(list->GetListInfo()->rcColumn[0].right, 80);
}

TEST_F(ListInWindow, ClicksAndKeysSelectRowsAndReportItemSelect)
{
    Click(30, 70); // the third row
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_TRUE(AsListItem(Row(2))->IsSelected());
    ASSERT_NE(log.Last(L"itemselect"), nullptr);
    EXPECT_EQ(log.Last(L"itemselect")->pSender, list);
    EXPECT_EQ(log.Last(L"itemselect")->wParam, 2u);
    EXPECT_EQ(log.Last(L"itemselect")->lParam, -1);
    EXPECT_EQ(window.manager.GetFocus(), Row(2));

    // Clicking the selected row again changes nothing.
    Click(30, 70);
    EXPECT_EQ(log.Count(L"itemselect"), 1);

    Key(VK_DOWN);
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_FALSE(AsListItem(Row(2))->IsSelected());
    EXPECT_EQ(log.Last(L"itemselect")->wParam, 3u);
    EXPECT_EQ(log.Last(L"itemselect")->lParam, 2);

    // Disabled rows are stepped over.
    Row(4)->SetEnabled(false);
    Key(VK_DOWN);
    EXPECT_EQ(list->GetCurSel(), 5);
    Key(VK_UP);
    EXPECT_EQ(list->GetCurSel(), 3);

    // End selects the last row and scrolls it into view.
    Key(VK_END);
    EXPECT_EQ(list->GetCurSel(), 9);
    EXPECT_EQ(list->GetScrollPos().cy, 70);
    EXPECT_LE(Row(9)->GetPos().bottom, 150);
    Key(VK_HOME);
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_EQ(list->GetScrollPos().cy, 0);
    EXPECT_EQ(Row(0)->GetPos().top, 20);

    // Page down moves by the rows a page holds (130 / 20 = 6).
    Key(VK_NEXT);
    EXPECT_EQ(list->GetCurSel(), 6);

    // Clicks on the header do not select.
    const int before = log.Count(L"itemselect");
    Click(30, 10);
    EXPECT_EQ(log.Count(L"itemselect"), before);
}

TEST_F(ListInWindow, TheWheelScrollsOrWithScrollSelectMovesTheSelection)
{
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(30, 70));
    window.Pump();
    EXPECT_GT(list->GetScrollPos().cy, 0);
    EXPECT_EQ(list->GetCurSel(), -1);

    list->SetScrollSelect(true);
    list->SelectItem(1);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(30, 70));
    window.Pump();
    EXPECT_EQ(list->GetCurSel(), 2);
}

TEST_F(ListInWindow, DraggingTheSeparatorResizesTheColumnAndClickingReportsHeaderClick)
{
    auto* name = static_cast<CListHeaderItemUI*>(list->GetHeader()->GetItemAt(0));
    window.ButtonDown(78, 10); // on the 4-pixel separator at the right edge
    window.MouseMove(98, 10, MK_LBUTTON);
    window.ButtonUp(98, 10);
    window.Pump();
    EXPECT_EQ(name->GetWidth(), 100);
    EXPECT_EQ(list->GetListInfo()->rcColumn[0].right, 100);
    EXPECT_EQ(list->GetListInfo()->rcColumn[1].left, 100);
    EXPECT_EQ(log.Count(L"headerclick"), 0);

    Click(30, 10);
    ASSERT_NE(log.Last(L"headerclick"), nullptr);
    EXPECT_EQ(log.Last(L"headerclick")->pSender, name);

    // A header item that may not be dragged is only clicked.
    name->SetDragable(false);
    window.ButtonDown(98, 10);
    window.MouseMove(120, 10, MK_LBUTTON);
    window.ButtonUp(98, 10);
    window.Pump();
    EXPECT_EQ(name->GetWidth(), 100);
    EXPECT_EQ(log.Count(L"headerclick"), 2);
}

TEST_F(ListInWindow, HBoxRowsFollowTheColumnsAndContainerRowsExpand)
{
    auto* hbox = new CListHBoxElementUI;
    auto* first = new CControlUI;
    auto* second = new CControlUI;
    hbox->Add(first);
    hbox->Add(second);
    list->AddAt(hbox, 0);
    window.Pump();
    EXPECT_EQ(first->GetPos().left, 0);
    EXPECT_EQ(first->GetPos().right, 80);
    EXPECT_EQ(second->GetPos().left, 80);
    EXPECT_EQ(second->GetPos().right, 200);
    EXPECT_EQ(hbox->GetHeight(), 20);

    // A click on a child selects the row holding it.
    Click(100, 30);
    EXPECT_EQ(list->GetCurSel(), 0);

    // Expandable rows: a double click opens and closes them; one row is
    // open at a time unless "multiexpanding".
    auto* other = new CListContainerElementUI;
    list->AddAt(other, 1);
    hbox->SetExpandable(true);
    other->SetExpandable(true);
    window.Pump();
    window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 30));
    window.Pump();
    EXPECT_TRUE(hbox->IsExpanded());
    EXPECT_EQ(list->GetExpandedItem(), 0);
    EXPECT_EQ(log.Count(L"itemexpand"), 1);
    EXPECT_TRUE(other->Expand(true));
    EXPECT_FALSE(hbox->IsExpanded());
    EXPECT_EQ(list->GetExpandedItem(), 1);
    EXPECT_EQ(log.Count(L"itemcollapse"), 1);

    // Plain rows do not expand.
    EXPECT_FALSE(AsListItem(Row(2))->Expand(true));
}

TEST_F(ListInWindow, LinksInTextRowsAreReported)
{
    list->SetAttribute(L"itemshowhtml", L"true");
    auto* row = static_cast<CListTextElementUI*>(Row(0));
    row->SetText(0, L"{a first}go{/a}");
    window.Pump();
    ASSERT_EQ(row->GetLinkCount(), 1);
    EXPECT_EQ(row->GetLinkContent(0), L"first");
    const RECT link = row->GetLinkRect(0);
    EXPECT_LE(link.right, 80); // inside the first column
    Click((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    ASSERT_NE(log.Last(L"link"), nullptr);
    EXPECT_EQ(log.Last(L"link")->pSender, row);
    EXPECT_EQ(log.Last(L"link")->wParam, 0u);
}

TEST_F(ListInWindow, ATextCallbackGivesTheCells)
{
    class Callback : public IListCallbackUI
    {
    public:
        const wchar_t* GetItemText(CControlUI*, int index, int subItem) override
        {
            calls.push_back(index * 10 + subItem);
            return L"x";
        }
        std::vector<int> calls;
    } callback;
    list->SetTextCallback(&callback);
    window.Pump();
    EXPECT_NE(std::find(callback.calls.begin(), callback.calls.end(), 1), callback.calls.end());  // row 0, column 1
    EXPECT_NE(std::find(callback.calls.begin(), callback.calls.end(), 20), callback.calls.end()); // row 2, column 0
    list->SetTextCallback(nullptr);
}

// The list painted alone into a canvas first filled with `background`.
void PaintInto(testsupport::DibCanvas& canvas, CControlUI* control, uint32_t background)
{
    canvas.Fill(background);
    control->Paint(canvas.Dc(), RECT{0, 0, canvas.Width(), canvas.Height()}, nullptr);
}

POINT Centre(const RECT& rc)
{
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

TEST_F(ListInWindow, AnUnstyledScrollBarIsDrawnInThePlainLook)
{
    CScrollBarUI* bar = list->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->IsVisible());
    testsupport::DibCanvas canvas(200, 150);
    PaintInto(canvas, list, 0xFF123456);
    const POINT thumb = Centre(bar->GetThumbRect());
    const RECT track = bar->GetTrackRect();
    ASSERT_LT(bar->GetThumbRect().bottom + 2, track.bottom);
    const POINT rail = {thumb.x, track.bottom - 2}; // below the thumb, which is at the top
    EXPECT_NE(canvas.Rgb(rail.x, rail.y), 0x123456u) << "nothing drawn where the bar is";
    EXPECT_NE(canvas.Rgb(thumb.x, thumb.y), canvas.Rgb(rail.x, rail.y)) << "the thumb does not stand out";
}

TEST_F(ListInWindow, ScrollBarStyleOfTheListReachesTheBarThatIsShown)
{
    list->SetAttribute(L"vscrollbarstyle", L"width=\"9\" thumbcolor=\"#FF00FF00\" bkcolor=\"#FF000000\"");
    window.Pump();
    CScrollBarUI* bar = list->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetWidth(), 9);
    EXPECT_EQ(Row(0)->GetPos().right, 191);
    testsupport::DibCanvas canvas(200, 150);
    PaintInto(canvas, list, 0xFF123456);
    const POINT thumb = Centre(bar->GetThumbRect());
    EXPECT_EQ(canvas.Rgb(thumb.x, thumb.y), 0x00FF00u);
}

TEST(ListScrollBar, TheWindowsDefaultScrollBarStyleReachesListsOfTheSkin)
{
    ScopedDpi dpi{96};
    testsupport::TestWindow window{200, 150};
    std::wstring rows;
    for (int i = 0; i < 10; ++i)
        rows += L"<ListLabelElement text=\"row\" />";
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        (L"<Window><Default name=\"VScrollBar\" value=\"width=&quot;7&quot;\" />"
         L"<HorizontalLayout><List name=\"plain\" itemheight=\"20\">" +
         rows + L"</List><List name=\"own\" itemheight=\"20\" vscrollbarstyle=\"width=&quot;11&quot;\">" + rows +
         L"</List></HorizontalLayout></Window>")
            .c_str(),
        nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    window.manager.AttachDialog(root);
    window.Pump();
    auto* plain = static_cast<CListUI*>(window.manager.FindControl(L"plain"));
    auto* own = static_cast<CListUI*>(window.manager.FindControl(L"own"));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(own, nullptr);
    ASSERT_NE(plain->GetVerticalScrollBar(), nullptr);
    ASSERT_NE(own->GetVerticalScrollBar(), nullptr);
    EXPECT_EQ(plain->GetVerticalScrollBar()->GetFixedWidth(), 7);
    // The list's own style comes after the window's default.
    EXPECT_EQ(own->GetVerticalScrollBar()->GetFixedWidth(), 11);
    EXPECT_TRUE(plain->GetVerticalScrollBar()->IsVisible());
}

} // namespace
