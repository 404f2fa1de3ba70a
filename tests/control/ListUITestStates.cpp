// The states of the list family's parts and what they paint: the header
// item's and the combo's state images (each with its own fallback when a
// state has no image), and the hot, disabled and mouse-less behaviour that
// plain rows and container rows share.
#include "../support/LayoutTestSupport.h"

#include "../support/DibCanvas.h"
#include "../support/TestWindow.h"
#include "control/ListOwnerRows.h"

using namespace Facet;
using namespace testsupport;

namespace {

const wchar_t* const kBlue = L"color='#FF0000FF'";
const wchar_t* const kGreen = L"color='#FF00FF00'";
const wchar_t* const kRed = L"color='#FFFF0000'";
const wchar_t* const kYellow = L"color='#FFFFFF00'";
const wchar_t* const kGray = L"color='#FF808080'";

class ListStates : public testing::Test
{
protected:
    // A 20-pixel header item, a 24-pixel combo and below them a list whose
    // first row is a plain text row and whose second holds a control.
    void SetUp() override
    {
        root = new CVerticalLayoutUI;
        header = new CListHeaderItemUI;
        header->SetAttribute(L"height", L"20");
        combo = new CComboUI;
        combo->SetAttribute(L"height", L"24");
        list = new CListUI;
        list->SetAttributeList(L"itemheight=\"20\" itembkcolor=\"#FFFFFFFF\" itemhotbkcolor=\"#FF00FF00\" "
                               L"itemdisabledbkcolor=\"#FF808080\"");
        list->Add(new CListLabelElementUI);
        auto* container = new CListContainerElementUI;
        container->Add(new CControlUI);
        list->Add(container);
        root->Add(header);
        root->Add(combo);
        root->Add(list);
        window.manager.AttachDialog(root);
        window.manager.AddNotifier(&log);
        window.Pump();
    }

    uint32_t PaintedCentre(CControlUI* control)
    {
        canvas.Fill(0);
        control->Paint(canvas.Dc(), control->GetPos(), nullptr);
        const RECT& rc = control->GetPos();
        return canvas.Rgb((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    static void Send(CControlUI* control, int type, WPARAM key = 0)
    {
        TEventUI event = {};
        event.Type = type;
        event.pSender = control;
        event.chKey = static_cast<WCHAR>(key);
        const RECT& rc = control->GetPos();
        event.ptMouse = POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        control->DoEvent(event);
    }

    ScopedDpi dpi{96};
    NotifyLog log;
    testsupport::TestWindow window{200, 150};
    testsupport::DibCanvas canvas{200, 150};
    CVerticalLayoutUI* root = nullptr;
    CListHeaderItemUI* header = nullptr;
    CComboUI* combo = nullptr;
    CListUI* list = nullptr;
};

TEST_F(ListStates, AHeaderItemWithoutAnImageForItsStateShowsTheNextStateThatHasOne)
{
    header->SetAttributeList(L"sepwidth=\"4\" sepcolor=\"#FFFF0000\"");
    header->SetAttribute(L"normalimage", kBlue);
    header->SetAttribute(L"hotimage", kGreen);
    header->SetAttribute(L"focusedimage", kYellow);
    EXPECT_EQ(PaintedCentre(header), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(198, 10), 0xFF0000u); // the separator strip

    Send(header, UIEVENT_MOUSEENTER);
    EXPECT_EQ(PaintedCentre(header), 0x00FF00u);
    // Pushed without a pushed image: still hot.
    Send(header, UIEVENT_BUTTONDOWN);
    EXPECT_NE(header->GetButtonState() & UISTATE_PUSHED, 0u);
    EXPECT_EQ(PaintedCentre(header), 0x00FF00u);
    header->SetAttribute(L"pushedimage", kRed);
    EXPECT_EQ(PaintedCentre(header), 0xFF0000u);
    Send(header, UIEVENT_BUTTONUP);
    EXPECT_EQ(log.Count(L"headerclick"), 1);

    Send(header, UIEVENT_MOUSELEAVE);
    Send(header, UIEVENT_SETFOCUS);
    EXPECT_EQ(PaintedCentre(header), 0xFFFF00u);
}

TEST_F(ListStates, AComboWithoutAnImageForItsStateShowsTheNormalImage)
{
    combo->SetAttribute(L"normalimage", kBlue);
    combo->SetAttribute(L"hotimage", kGreen);
    combo->SetAttribute(L"disabledimage", kGray);
    EXPECT_EQ(PaintedCentre(combo), 0x0000FFu);

    Send(combo, UIEVENT_MOUSEENTER);
    EXPECT_EQ(PaintedCentre(combo), 0x00FF00u);
    // Pushed (the drop-down opens) without a pushed image: the normal one,
    // not the hot one.
    Send(combo, UIEVENT_BUTTONDOWN);
    ASSERT_NE(combo->GetDropWindow(), nullptr);
    EXPECT_EQ(PaintedCentre(combo), 0x0000FFu);
    combo->SetAttribute(L"pushedimage", kRed);
    EXPECT_EQ(PaintedCentre(combo), 0xFF0000u);
    combo->CloseDropDown();

    combo->SetEnabled(false);
    EXPECT_EQ(combo->GetButtonState(), 0u);
    EXPECT_EQ(PaintedCentre(combo), 0x808080u);
}

TEST_F(ListStates, PlainAndContainerRowsShareHotStateActivationAndMouselessBehaviour)
{
    for (int i = 0; i < 2; ++i) {
        CControlUI* row = list->GetItemAt(i);
        SCOPED_TRACE(row->GetClass());
        EXPECT_EQ(PaintedCentre(row), 0xFFFFFFu);
        Send(row, UIEVENT_MOUSEENTER);
        EXPECT_EQ(PaintedCentre(row), 0x00FF00u);
        Send(row, UIEVENT_MOUSELEAVE);
        EXPECT_EQ(PaintedCentre(row), 0xFFFFFFu);

        // Disabling a hot row drops its hot state.
        Send(row, UIEVENT_MOUSEENTER);
        row->SetEnabled(false);
        EXPECT_EQ(PaintedCentre(row), 0x808080u);
        row->SetEnabled(true);
        EXPECT_EQ(PaintedCentre(row), 0xFFFFFFu);

        const int activations = log.Count(L"itemactivate");
        Send(row, UIEVENT_DBLCLICK);
        EXPECT_EQ(log.Count(L"itemactivate"), activations + 1);
        EXPECT_EQ(log.Last(L"itemactivate")->pSender, row);

        // Without mouse input a press goes to the list, which does not select.
        list->SelectItem(-1);
        row->SetMouseEnabled(false);
        Send(row, UIEVENT_BUTTONDOWN);
        EXPECT_EQ(list->GetCurSel(), -1);
        row->SetMouseEnabled(true);
        Send(row, UIEVENT_BUTTONDOWN);
        EXPECT_EQ(list->GetCurSel(), i);

        // Keys that reach a row move the list's selection.
        Send(row, UIEVENT_KEYDOWN, i == 0 ? VK_DOWN : VK_UP);
        EXPECT_EQ(list->GetCurSel(), 1 - i);

        // The "selected" attribute selects the row in its list.
        row->SetAttribute(L"selected", L"true");
        EXPECT_EQ(list->GetCurSel(), i);
        EXPECT_TRUE(AsListItem(row)->IsSelected());
    }
}

TEST_F(ListStates, EitherButtonSelectsAnEnabledRowAndADisabledRowIgnoresPressesAndDoubleClicks)
{
    for (int i = 0; i < 2; ++i) {
        CControlUI* row = list->GetItemAt(i);
        SCOPED_TRACE(row->GetClass());
        list->SelectItem(-1);
        Send(row, UIEVENT_RBUTTONDOWN);
        EXPECT_EQ(list->GetCurSel(), i);

        list->SelectItem(-1);
        row->SetEnabled(false);
        const int activations = log.Count(L"itemactivate");
        Send(row, UIEVENT_BUTTONDOWN);
        Send(row, UIEVENT_RBUTTONDOWN);
        Send(row, UIEVENT_DBLCLICK);
        EXPECT_EQ(list->GetCurSel(), -1);
        EXPECT_EQ(log.Count(L"itemactivate"), activations);
        row->SetEnabled(true);
    }
}

} // namespace

namespace {

TEST_F(ListStates, ArrowKeysNameTheSelectableRowAboveOrBelowAndOtherKeysNone)
{
    int row = -7;
    EXPECT_TRUE(ArrowKeyRow(*list, 0, VK_DOWN, row));
    EXPECT_EQ(row, 1);
    EXPECT_TRUE(ArrowKeyRow(*list, 1, VK_UP, row));
    EXPECT_EQ(row, 0);
    EXPECT_TRUE(ArrowKeyRow(*list, -1, VK_DOWN, row));
    EXPECT_EQ(row, 0);
    row = 5;
    EXPECT_FALSE(ArrowKeyRow(*list, 0, VK_F4, row));
    EXPECT_FALSE(ArrowKeyRow(*list, 0, VK_NEXT, row));
    EXPECT_EQ(row, 5);
}

} // namespace
