#include "ControlsTestSupport.h"

#include "../support/TestFiles.h"
#include "../support/TestImages.h"

using namespace Facet;
using testsupport::ControlsTest;

namespace {

const RECT kButtonRect = {20, 20, 120, 60};

class ButtonTest : public ControlsTest
{
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        button = Place(new CButtonUI, kButtonRect, L"btn");
    }

    CButtonUI* button = nullptr;
};

TEST_F(ButtonTest, PressAndReleaseInsideClicksAndDraggingOutCancelsUntilBack)
{
    window.ButtonDown(50, 40);
    EXPECT_NE(button->GetButtonState() & UISTATE_PUSHED, 0u);
    window.ButtonUp(52, 41);
    EXPECT_EQ(notes.Of(L"click"), std::vector<std::wstring>{L"click btn"});
    EXPECT_EQ(button->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED), 0u);

    // Dragged out and released outside: no click.
    notes.entries.clear();
    window.ButtonDown(50, 40);
    window.MouseMove(200, 150, MK_LBUTTON);
    EXPECT_EQ(button->GetButtonState() & UISTATE_PUSHED, 0u);
    EXPECT_NE(button->GetButtonState() & UISTATE_CAPTURED, 0u);
    window.ButtonUp(200, 150);
    EXPECT_TRUE(notes.Of(L"click").empty());

    // Dragged out, back in, released: click.
    window.ButtonDown(50, 40);
    window.MouseMove(200, 150, MK_LBUTTON);
    window.MouseMove(60, 45, MK_LBUTTON);
    EXPECT_NE(button->GetButtonState() & UISTATE_PUSHED, 0u);
    window.ButtonUp(60, 45);
    EXPECT_EQ(notes.Of(L"click").size(), 1u);
}

TEST_F(ButtonTest, SpaceAndReturnClickOnlyWhileKeyboardAndControlAreEnabled)
{
    window.manager.SetFocus(button);
    window.Send(WM_KEYDOWN, VK_SPACE);
    window.Send(WM_KEYDOWN, VK_RETURN);
    window.Send(WM_KEYDOWN, 'A');
    EXPECT_EQ(notes.Of(L"click").size(), 2u);

    notes.entries.clear();
    button->SetKeyboardEnabled(false);
    window.Send(WM_KEYDOWN, VK_SPACE);
    EXPECT_TRUE(notes.Of(L"click").empty());
    EXPECT_EQ(button->GetControlFlags(), static_cast<UINT>(UIFLAG_SETCURSOR));
}

TEST_F(ButtonTest, DisabledOrHiddenButtonNeverClicks)
{
    button->SetEnabled(false);
    window.ButtonDown(50, 40);
    window.ButtonUp(50, 40);
    EXPECT_FALSE(button->Activate());
    EXPECT_TRUE(notes.Of(L"click").empty());
    EXPECT_EQ(button->GetControlFlags(), static_cast<UINT>(UIFLAG_TABSTOP));

    // Disabled while held down: the release sends nothing and clears the press.
    button->SetEnabled(true);
    window.ButtonDown(50, 40);
    button->SetEnabled(false);
    window.ButtonUp(50, 40);
    EXPECT_TRUE(notes.Of(L"click").empty());
    EXPECT_EQ(button->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED), 0u);

    button->SetEnabled(true);
    button->SetVisible(false);
    EXPECT_FALSE(button->Activate());
    EXPECT_TRUE(notes.Of(L"click").empty());
}

TEST_F(ButtonTest, MouseEnterAndLeaveFollowTheRectangle)
{
    window.MouseMove(50, 40);
    EXPECT_NE(button->GetButtonState() & UISTATE_HOT, 0u);
    window.MouseMove(200, 150);
    EXPECT_EQ(button->GetButtonState() & UISTATE_HOT, 0u);
}

TEST_F(ButtonTest, ContextMenuNotifiesOnlyWhenUsedAndEnabled)
{
    POINT screen = {50, 40};
    ClientToScreen(window.Handle(), &screen);
    const LPARAM at = MAKELPARAM(screen.x, screen.y);
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 40));
    window.Send(WM_CONTEXTMENU, 0, at);
    EXPECT_TRUE(notes.Of(L"menu").empty());

    button->SetContextMenuUsed(true);
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 40));
    window.Send(WM_CONTEXTMENU, 0, at);
    EXPECT_EQ(notes.Of(L"menu"), std::vector<std::wstring>{L"menu btn"});

    notes.entries.clear();
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 40));
    button->SetEnabled(false);
    window.Send(WM_CONTEXTMENU, 0, at);
    EXPECT_TRUE(notes.Of(L"menu").empty());
}

TEST_F(ButtonTest, LeaveWhileStillOverTheButtonKeepsItHot)
{
    window.MouseMove(50, 40);
    ASSERT_NE(button->GetButtonState() & UISTATE_HOT, 0u);
    TEventUI leave = {};
    leave.Type = UIEVENT_MOUSELEAVE;
    leave.pSender = button;
    leave.ptMouse = POINT{60, 45};
    button->Event(leave);
    EXPECT_NE(button->GetButtonState() & UISTATE_HOT, 0u);
    leave.ptMouse = POINT{200, 150};
    button->Event(leave);
    EXPECT_EQ(button->GetButtonState() & UISTATE_HOT, 0u);
}

TEST_F(ButtonTest, EachStatePaintsItsOwnImageAndTheForeImageOnTop)
{
    button->SetAttribute(L"normalimage", L"color='#FF0000FF'");
    button->SetAttribute(L"hotimage", L"color='#FF00FF00'");
    button->SetAttribute(L"pushedimage", L"color='#FFFF0000'");
    button->SetAttribute(L"focusedimage", L"color='#FFFFFF00'");
    button->SetAttribute(L"disabledimage", L"color='#FF808080'");

    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), 0x0000FFu);

    window.MouseMove(50, 40);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), 0x00FF00u);

    window.ButtonDown(50, 40); // also takes the focus; pushed wins
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), 0xFF0000u);
    window.ButtonUp(50, 40);

    window.MouseMove(200, 150); // not hot, still focused
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), 0xFFFF00u);

    button->SetEnabled(false);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), 0x808080u);

    // A missing state image falls back to the normal one.
    button->SetEnabled(true);
    window.manager.SetFocus(nullptr);
    button->SetAttribute(L"hotimage", L"file='missing.png'");
    window.MouseMove(50, 40);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), 0x0000FFu);

    // The fore image is drawn last, into its own destination.
    button->SetAttribute(L"foreimage", L"color='#FF00FFFF' dest='0,0,10,10'");
    PaintAlone(button);
    EXPECT_EQ(canvas.Rgb(kButtonRect.left + 5, kButtonRect.top + 5), 0x00FFFFu);
    EXPECT_EQ(CentreOf(button), 0x0000FFu);
}

TEST_F(ButtonTest, StateTextColoursReplaceTheTextColour)
{
    button->SetAttribute(L"font", L"16");
    button->SetAttribute(L"text", L"MMMM");
    button->SetAttribute(L"textcolor", L"#FF000000");
    button->SetAttribute(L"hottextcolor", L"#FF00C000");
    button->SetAttribute(L"pushedtextcolor", L"#FFC00000");
    auto hasInk = [this](uint32_t rgb) {
        for (int y = kButtonRect.top; y < kButtonRect.bottom; ++y)
            for (int x = kButtonRect.left; x < kButtonRect.right; ++x)
                if (canvas.Rgb(x, y) == rgb)
                    return true;
        return false;
    };
    PaintAlone(button);
    EXPECT_TRUE(hasInk(0x000000));
    window.MouseMove(50, 40);
    PaintAlone(button);
    EXPECT_TRUE(hasInk(0x00C000));
    EXPECT_FALSE(hasInk(0x000000));
    window.ButtonDown(50, 40);
    PaintAlone(button);
    EXPECT_TRUE(hasInk(0xC00000));
    window.ButtonUp(50, 40);
}

TEST_F(ButtonTest, FadeBlendsNormalAndHotImagesStepByStep)
{
    button->SetAttribute(L"normalimage", L"color='#FF0000FF'");
    button->SetAttribute(L"hotimage", L"color='#FF00FF00'");
    button->SetAttribute(L"fadedelta", L"100");
    TEventUI tick = {};
    tick.Type = UIEVENT_TIMER;
    tick.wParam = CButtonUI::kFadeTimerId;

    window.MouseMove(50, 40); // hot; the fade runs 255 -> 155 -> 55 -> 0
    button->DoEvent(tick);
    PaintAlone(button);
    const uint32_t halfway = CentreOf(button);
    EXPECT_GT(halfway & 0xFF, 0u) << std::hex << halfway;        // some normal (blue)
    EXPECT_GT((halfway >> 8) & 0xFF, 0u) << std::hex << halfway; // some hot (green)
    button->DoEvent(tick);
    button->DoEvent(tick);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), 0x00FF00u);

    window.MouseMove(200, 150); // back to 255
    for (int i = 0; i < 3; ++i)
        button->DoEvent(tick);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), 0x0000FFu);
}

TEST_F(ButtonTest, FiveStatusImageIsCutIntoFiveSlicesInItsOrder)
{
    // Slices from the left: normal, pushed, hot, focused, disabled.
    const uint32_t colours[5] = {0xFF0000FF, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF808080};
    testsupport::Picture picture(500, 20, 0);
    for (int i = 0; i < 5; ++i)
        picture.FillRect(i * 100, 0, (i + 1) * 100, 20, colours[i]);
    const std::vector<unsigned char> png = testsupport::EncodePng(picture);
    const std::wstring folder = testsupport::FreshTempFolder(L"five");
    testsupport::WriteFileText(folder + L"\\five.png", std::string(png.begin(), png.end()));
    CPaintManagerUI::SetResourcePath(folder.c_str());

    auto* floating = new CButtonUI;
    floating->SetFloat(true);
    floating->SetManager(&window.manager, nullptr, false);
    floating->SetAttribute(L"fivestatusimage", L"file='five.png'");
    floating->SetManager(nullptr, nullptr, false);
    EXPECT_EQ(floating->GetFixedWidth(), 100);
    EXPECT_EQ(floating->GetFixedHeight(), 20);
    floating->Delete();

    button->SetAttribute(L"fivestatusimage", L"file='five.png'");
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), colours[0] & 0xFFFFFF);
    window.MouseMove(50, 40);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), colours[2] & 0xFFFFFF);
    window.ButtonDown(50, 40);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), colours[1] & 0xFFFFFF);
    window.ButtonUp(50, 40);
    window.MouseMove(200, 150);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), colours[3] & 0xFFFFFF);
    button->SetEnabled(false);
    PaintAlone(button);
    EXPECT_EQ(CentreOf(button), colours[4] & 0xFFFFFF);
    CPaintManagerUI::SetResourcePath(L"");
}

TEST_F(ButtonTest, EstimateIsTheFixedSizeOrTheFontHeightPlusEight)
{
    button->SetAttribute(L"font", L"16");
    const int fontHeight = window.manager.GetFontInfo(16)->tm.tmHeight;
    button->SetFixedWidth(80);
    EXPECT_EQ(button->EstimateSize(SIZE{300, 200}).cx, 80);
    EXPECT_EQ(button->EstimateSize(SIZE{300, 200}).cy, fontHeight + 8);
    button->SetFixedHeight(30);
    EXPECT_EQ(button->EstimateSize(SIZE{300, 200}).cy, 30);
}

} // namespace
