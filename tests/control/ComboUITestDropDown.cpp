// The combo box in a real window: its drop-down pop-up opens under it with
// the rows, a click on a row selects it ("itemselect") and closes the pop-up,
// escape restores the previous choice, keys work on the closed combo, and a
// combo destroyed while open leaves nothing behind.
#include "../support/LayoutTestSupport.h"

#include "../support/TestWindow.h"

using namespace Facet;
using namespace testsupport;

namespace {

class ComboInWindow : public testing::Test
{
protected:
    // A 24-pixel combo on top of a 200 x 150 window, with three 20-pixel rows.
    void SetUp() override
    {
        root = new CVerticalLayoutUI;
        combo = new CComboUI;
        combo->SetAttribute(L"height", L"24");
        combo->SetAttribute(L"itemheight", L"20");
        for (const wchar_t* text : {L"One", L"Two", L"Three"}) {
            auto* row = new CListLabelElementUI;
            row->SetText(text);
            combo->Add(row);
        }
        root->Add(combo);
        root->Add(new CControlUI);
        window.manager.AttachDialog(root);
        window.manager.AddNotifier(&log);
        window.Pump();
    }

    // Clicks the combo and lays the pop-up out.
    HWND Open()
    {
        window.ButtonDown(20, 12);
        window.ButtonUp(20, 12);
        CComboWnd* drop = combo->GetDropWindow();
        if (drop == nullptr)
            return nullptr;
        UpdateWindow(drop->GetHWND());
        return drop->GetHWND();
    }

    // The centre of a row in the pop-up's client coordinates.
    static LPARAM RowPoint(CControlUI* row)
    {
        const RECT rc = row->GetPos();
        return MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    ScopedDpi dpi{96};
    NotifyLog log;
    testsupport::TestWindow window{200, 150};
    CVerticalLayoutUI* root = nullptr;
    CComboUI* combo = nullptr;
};

TEST_F(ComboInWindow, ADropDownOpensUnderTheComboWithTheRows)
{
    const HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(IsWindow(popup));
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(GetWindow(popup, GW_OWNER), window.Handle());
    RECT rc;
    GetWindowRect(popup, &rc);
    POINT below = {0, 24};
    ClientToScreen(window.Handle(), &below);
    EXPECT_EQ(rc.top, below.y);
    EXPECT_EQ(rc.right - rc.left, 200);
    EXPECT_EQ(rc.bottom - rc.top, 62); // three rows and the border

    // The rows live in the pop-up while it is open.
    CComboWnd* drop = combo->GetDropWindow();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(combo->GetItemAt(i)->GetManager(), drop->GetPaintManager());
        EXPECT_EQ(combo->GetItemAt(i)->GetParent(), drop->GetBody());
    }
    EXPECT_EQ(combo->GetItemAt(1)->GetHeight(), 20);

    window.Pump();
    ASSERT_NE(log.Last(L"dropdown"), nullptr);
    EXPECT_EQ(log.Last(L"dropdown")->pSender, combo);
}

TEST_F(ComboInWindow, ClickingARowSelectsItAndClosesTheDropDown)
{
    const HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    CControlUI* two = combo->GetItemAt(1);
    SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(two));
    EXPECT_EQ(combo->GetCurSel(), 1);
    ASSERT_NE(log.Last(L"itemselect"), nullptr);
    EXPECT_EQ(log.Last(L"itemselect")->pSender, combo);
    EXPECT_EQ(log.Last(L"itemselect")->wParam, 1u);
    EXPECT_EQ(log.Last(L"itemselect")->lParam, -1);
    SendMessageW(popup, WM_LBUTTONUP, 0, RowPoint(two));
    window.Pump();

    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(combo->GetDropWindow(), nullptr);
    // The rows are back in the combo, out of sight.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(combo->GetItemAt(i)->GetManager(), &window.manager);
        EXPECT_EQ(combo->GetItemAt(i)->GetParent(), combo);
        EXPECT_EQ(combo->GetItemAt(i)->GetWidth(), 0);
    }
    EXPECT_EQ(window.manager.FindControl(POINT{20, 30}), root->GetItemAt(1));
    EXPECT_TRUE(AsListItem(two)->IsSelected());

    // It opens again with the same rows.
    const HWND again = Open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(combo->GetItemAt(2)->GetParent(), combo->GetDropWindow()->GetBody());
    combo->CloseDropDown();
    EXPECT_FALSE(IsWindow(again));
    EXPECT_EQ(combo->GetItemAt(2)->GetParent(), combo);
}

TEST_F(ComboInWindow, KeysInTheDropDownMoveTheChoiceAndEscapeRestoresIt)
{
    combo->SelectItem(0);
    const HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(log.Last(L"itemselect")->wParam, 2u);
    SendMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(combo->GetCurSel(), 0);
    window.Pump();
    EXPECT_FALSE(IsWindow(popup));

    // Return keeps the choice.
    const HWND second = Open();
    ASSERT_NE(second, nullptr);
    SendMessageW(second, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(second, WM_KEYDOWN, VK_RETURN, 0);
    window.Pump();
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(combo->GetCurSel(), 1);
}

TEST_F(ComboInWindow, ArrowsAndTheWheelChangeAClosedCombo)
{
    combo->SetFocus();
    window.Send(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo->GetCurSel(), 0);
    window.Send(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(combo->GetCurSel(), 1);
    window.Send(WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(log.Count(L"itemselect"), 3);
    EXPECT_EQ(combo->GetDropWindow(), nullptr);

    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(20, 12));
    EXPECT_EQ(combo->GetCurSel(), 1);

    // A disabled combo does not open.
    combo->SetEnabled(false);
    EXPECT_EQ(Open(), nullptr);
}

TEST_F(ComboInWindow, DestroyingAnOpenComboClosesItsDropDown)
{
    const HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    root->SetDelayedDestroy(false);
    EXPECT_TRUE(root->Remove(combo));
    combo = nullptr;
    EXPECT_FALSE(IsWindow(popup));
    window.Pump();
    EXPECT_EQ(root->GetCount(), 1);
}

TEST_F(ComboInWindow, RowsCannotChangeWhileTheDropDownIsOpen)
{
    ASSERT_NE(Open(), nullptr);
    auto* extra = new CListLabelElementUI;
    EXPECT_FALSE(combo->Add(extra));
    extra->Delete();
    EXPECT_FALSE(combo->RemoveAt(0));
    combo->CloseDropDown();
    EXPECT_TRUE(combo->RemoveAt(0));
    EXPECT_EQ(combo->GetCount(), 2);
    EXPECT_EQ(AsListItem(combo->GetItemAt(1))->GetIndex(), 1);
}

TEST_F(ComboInWindow, WithoutRoomBelowTheDropDownOpensAbove)
{
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window.Handle(), nullptr, 0, work.bottom - 40, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    const HWND popup = Open();
    ASSERT_NE(popup, nullptr);
    RECT rc;
    GetWindowRect(popup, &rc);
    POINT top = {0, 0};
    ClientToScreen(window.Handle(), &top);
    EXPECT_EQ(rc.bottom, top.y);
    EXPECT_EQ(rc.bottom - rc.top, 62);
    combo->CloseDropDown();
}

} // namespace
