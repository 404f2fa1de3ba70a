// The rich edit hosted through the platform's text services, in a real window:
// typing through key messages delivered by the framework's message
// translation, selection by mouse and keys, the clipboard, undo, multi-line
// text with the container's scroll bars, password and read-only modes, the
// Tab and Return keys, the pixels it paints, and many lives without leaks.
#include "Facet.h"

#include "../support/ControlTestSupport.h"
#include "../support/DibCanvas.h"
#include "../support/GdiObjectCount.h"
#include "../support/TestWindow.h"
#include "../support/ControlInputSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace Facet;
using testsupport::ScopedHeldKeys;
using testsupport::TestWindow;

namespace {

const int kWidth = 320;
const int kHeight = 200;

// A window with a rich edit at (10, 10, 210, 70) above a button.
class RichEdit : public ::testing::Test
{
protected:
    RichEdit() : window(kWidth, kHeight) {}

    void SetUp() override
    {
        window.manager.AddNotifier(&log);
        root = new CVerticalLayoutUI();
        root->SetInset(RECT{10, 10, 10, 10});
        rich = new CRichEditUI();
        rich->SetFixedWidth(200);
        rich->SetFixedHeight(60);
        rich->SetBkColor(0xFFFFFFFF);
        rich->SetTextColor(0xFF000000);
        button = new CButtonUI();
        button->SetFixedHeight(30);
        root->Add(rich);
        root->Add(button);
        window.manager.AttachDialog(root);
        Deliver();
        ASSERT_NE(rich->GetTextServices(), nullptr) << "the platform's text services are required";
    }
    void TearDown() override { window.manager.RemoveNotifier(&log); }

    // Paints and delivers what is queued through the framework's translation
    // (as its message loop does; no platform translation, the tests post the
    // characters themselves).
    void Deliver()
    {
        UpdateWindow(window.Handle());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CPaintManagerUI::TranslateMessage(&msg))
                DispatchMessageW(&msg);
        }
        UpdateWindow(window.Handle());
    }

    // A key press as the platform queues it: down, the character it makes
    // (when any), up.
    void PressKey(UINT vk, wchar_t ch = 0)
    {
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        const LPARAM down = 1 | static_cast<LPARAM>(scan << 16);
        PostMessageW(window.Handle(), WM_KEYDOWN, vk, down);
        if (ch != 0)
            PostMessageW(window.Handle(), WM_CHAR, ch, down);
        PostMessageW(window.Handle(), WM_KEYUP, vk, down | static_cast<LPARAM>(0xC0000000u));
        Deliver();
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text) {
            const SHORT key = VkKeyScanW(ch);
            PressKey(key != -1 ? LOBYTE(key) : 0, ch);
        }
    }
    // A control key chord: Ctrl+`letter` makes its control character.
    void PressCtrl(wchar_t letter)
    {
        ScopedHeldKeys ctrl({VK_CONTROL});
        PressKey(static_cast<UINT>(letter), static_cast<wchar_t>(letter - L'A' + 1));
    }
    void ClickAt(int x, int y)
    {
        window.ButtonDown(x, y);
        window.ButtonUp(x, y);
        Deliver();
    }
    std::wstring Text() const { return rich->GetText().GetData(); }

    TestWindow window;
    testsupport::NotifyLog log;
    CVerticalLayoutUI* root = nullptr;
    CRichEditUI* rich = nullptr;
    CButtonUI* button = nullptr;
};

// Renders the window's tree into a canvas the size of the window.
void Render(TestWindow& window, testsupport::DibCanvas& canvas)
{
    canvas.Fill(0xFF808080u);
    SendMessageW(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
}

// How many pixels of `rc` are darker than mid grey.
int DarkPixels(const testsupport::DibCanvas& canvas, const RECT& rc)
{
    int dark = 0;
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) {
            const uint32_t rgb = canvas.Rgb(x, y);
            if (((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF) < 3 * 0x60)
                ++dark;
        }
    }
    return dark;
}

} // namespace

TEST_F(RichEdit, TypingThroughKeyMessagesEditsTheTextAndMovesTheCaret)
{
    ClickAt(20, 20);
    ASSERT_EQ(window.manager.GetFocus(), rich);
    POINT before = {};
    GetCaretPos(&before);
    Type(L"Hello");
    EXPECT_EQ(Text(), L"Hello");
    EXPECT_EQ(rich->GetTextLength(), 5);
    POINT after = {};
    ASSERT_TRUE(GetCaretPos(&after));
    EXPECT_GT(after.x, before.x);
    EXPECT_GE(log.Count(L"textchanged"), 1);

    // Keys move the caret: Home, then typing inserts at the start; Backspace
    // and Delete remove around it.
    PressKey(VK_HOME);
    Type(L">");
    EXPECT_EQ(Text(), L">Hello");
    PressKey(VK_BACK, L'\b');
    EXPECT_EQ(Text(), L"Hello");
    PressKey(VK_DELETE);
    EXPECT_EQ(Text(), L"ello");
    PressKey(VK_END);
    Type(L"!");
    EXPECT_EQ(Text(), L"ello!");
}

TEST_F(RichEdit, InputMethodCharactersAreTyped)
{
    rich->SetFocus();
    Deliver();
    // A character the input method produced arrives as WM_IME_CHAR.
    PostMessageW(window.Handle(), WM_IME_CHAR, 0x4E2D, 1);
    Deliver();
    EXPECT_EQ(Text(), std::wstring(1, static_cast<wchar_t>(0x4E2D)));
}

TEST_F(RichEdit, MouseAndShiftKeysSelect)
{
    rich->SetText(L"alpha beta gamma");
    Deliver();
    const RECT area = rich->GetTextArea();
    const int y = area.top + 6;
    // Press at the start of the text, drag far right, release: all selected.
    window.ButtonDown(area.left + 1, y);
    window.MouseMove(area.right - 2, y, MK_LBUTTON);
    window.ButtonUp(area.right - 2, y);
    Deliver();
    long start = -1;
    long end = -1;
    rich->GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 16);
    EXPECT_EQ(rich->GetSelText(), L"alpha beta gamma");

    // A click puts the caret where it lands (no selection; away from the
    // first press, which a second one there would make a double click), and
    // Shift+Left selects back from the end.
    ClickAt(area.left + 60, y);
    rich->GetSel(start, end);
    EXPECT_EQ(start, end);
    PressKey(VK_END);
    {
        ScopedHeldKeys shift({VK_SHIFT});
        PressKey(VK_LEFT);
        PressKey(VK_LEFT);
    }
    EXPECT_EQ(rich->GetSelText(), L"ma");
}

TEST_F(RichEdit, ClipboardRoundTripThroughCopyCutAndPaste)
{
    ClickAt(20, 20);
    Type(L"one two");
    rich->SetSel(4, 7);
    PressCtrl(L'C');
    // The text reached the platform clipboard.
    ASSERT_TRUE(OpenClipboard(window.Handle()));
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(data))), L"two");
    GlobalUnlock(data);
    CloseClipboard();

    PressKey(VK_HOME);
    PressCtrl(L'V');
    EXPECT_EQ(Text(), L"twoone two");
    rich->SetSel(0, 3);
    PressCtrl(L'X');
    EXPECT_EQ(Text(), L"one two");
    PressKey(VK_END);
    PressCtrl(L'V');
    EXPECT_EQ(Text(), L"one twotwo");
}

TEST_F(RichEdit, UndoTakesBackAndRedoRepeats)
{
    rich->SetText(L"base");
    EXPECT_FALSE(rich->CanUndo()); // a text set in code is not undone
    ClickAt(20, 20);
    PressKey(VK_END);
    Type(L" more");
    ASSERT_EQ(Text(), L"base more");
    EXPECT_TRUE(rich->CanUndo());
    PressCtrl(L'Z');
    EXPECT_EQ(Text(), L"base");
    EXPECT_TRUE(rich->CanRedo());
    PressCtrl(L'Y');
    EXPECT_EQ(Text(), L"base more");
    EXPECT_TRUE(rich->Undo());
    EXPECT_EQ(Text(), L"base");
}

TEST_F(RichEdit, ReturnStartsLinesOnlyWhenWanted)
{
    ClickAt(20, 20);
    Type(L"a");
    PressKey(VK_RETURN, L'\r');
    Type(L"b");
    EXPECT_EQ(rich->GetLineCount(), 2);

    rich->SetWantReturn(false);
    PressKey(VK_RETURN, L'\r');
    EXPECT_EQ(rich->GetLineCount(), 2);
    // Ctrl+Return still does while "wantctrlreturn" holds.
    {
        ScopedHeldKeys ctrl({VK_CONTROL});
        PressKey(VK_RETURN, L'\n');
    }
    EXPECT_EQ(rich->GetLineCount(), 3);

    rich->SetMultiLine(false);
    EXPECT_FALSE(rich->IsMultiLine());
}

TEST_F(RichEdit, TabKeysLeaveUnlessTabsAreWantedThroughTheMessageLoop)
{
    ClickAt(20, 20);
    Type(L"x");
    PressKey(VK_TAB, L'\t');
    EXPECT_EQ(window.manager.GetFocus(), button);
    EXPECT_EQ(Text(), L"x");

    rich->SetAttribute(L"wanttab", L"true");
    rich->SetFocus();
    PressKey(VK_END);
    PressKey(VK_TAB, L'\t');
    EXPECT_EQ(window.manager.GetFocus(), rich);
    EXPECT_EQ(Text(), L"x\t");
    {
        ScopedHeldKeys ctrl({VK_CONTROL});
        PressKey(VK_TAB, L'\t');
    }
    EXPECT_EQ(window.manager.GetFocus(), button);
    EXPECT_EQ(Text(), L"x\t");
}

TEST_F(RichEdit, ReadOnlyRefusesEditsButSelectsAndCopies)
{
    rich->SetText(L"fixed");
    rich->SetAttribute(L"readonly", L"true");
    ClickAt(20, 20);
    Type(L"zz");
    PressKey(VK_BACK, L'\b');
    PressCtrl(L'V');
    EXPECT_EQ(Text(), L"fixed");
    rich->SetSel(0, -1);
    EXPECT_EQ(rich->GetSelText(), L"fixed");

    rich->SetReadOnly(false);
    PressKey(VK_END);
    Type(L"!");
    EXPECT_EQ(Text(), L"fixed!");
}

TEST_F(RichEdit, PasswordModeShowsOnlyMaskCharacters)
{
    // Two texts of one length but very different glyphs paint alike when
    // masked and differently when not.
    testsupport::DibCanvas first(kWidth, kHeight);
    testsupport::DibCanvas second(kWidth, kHeight);
    const RECT area = rich->GetTextArea();
    auto same = [&]() {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (first.Rgb(x, y) != second.Rgb(x, y))
                    return false;
        return true;
    };
    rich->SetAttribute(L"password", L"true");
    rich->SetText(L"iiii");
    Render(window, first);
    rich->SetText(L"WWWW");
    Render(window, second);
    EXPECT_GT(DarkPixels(first, area), 0);
    EXPECT_TRUE(same());
    EXPECT_EQ(Text(), L"WWWW"); // the text itself is kept

    rich->SetPasswordMode(false);
    Render(window, second);
    EXPECT_FALSE(same());
}

TEST_F(RichEdit, PaintsItsTextInsideItsRectangleOnly)
{
    testsupport::DibCanvas canvas(kWidth, kHeight);
    Render(window, canvas);
    const RECT item = rich->GetPos();
    ASSERT_TRUE(testsupport::SameRect(item, RECT{10, 10, 210, 70}));
    EXPECT_EQ(DarkPixels(canvas, item), 0); // empty: only its white background
    EXPECT_EQ(canvas.Rgb(100, 40), 0xFFFFFFu);

    rich->SetText(L"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
    Render(window, canvas);
    EXPECT_GT(DarkPixels(canvas, item), 20);
    // The text wraps inside the control: nothing dark right of it or below.
    EXPECT_EQ(DarkPixels(canvas, RECT{item.right, item.top, kWidth, item.bottom}), 0);
    EXPECT_EQ(canvas.Rgb(item.right + 2, item.top + 5), 0x808080u);

    // Moved by its container, it paints at its new place.
    root->SetInset(RECT{60, 80, 10, 10});
    Deliver();
    Render(window, canvas);
    const RECT moved = rich->GetPos();
    ASSERT_EQ(moved.left, 60);
    EXPECT_GT(DarkPixels(canvas, moved), 20);
    EXPECT_EQ(DarkPixels(canvas, RECT{0, 0, kWidth, moved.top}), 0);
}

TEST_F(RichEdit, MultiLineTextScrollsWithTheContainersScrollBars)
{
    rich->SetAttribute(L"vscrollbar", L"true");
    rich->SetAttribute(L"autovscroll", L"true");
    std::wstring lines;
    for (int i = 0; i < 30; ++i)
        lines += L"line " + std::to_wstring(i) + L"\r";
    rich->SetText(lines.c_str());
    Deliver();
    CScrollBarUI* bar = rich->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_GT(bar->GetScrollRange(), 0);
    EXPECT_EQ(bar->GetScrollPos(), 0);
    // The bar sits on the right edge and the text area leaves room for it.
    EXPECT_EQ(bar->GetPos().right, rich->GetPos().right);
    EXPECT_LE(rich->GetTextArea().right, bar->GetPos().left);
    EXPECT_EQ(rich->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    // The bar moves the text...
    rich->LineDown();
    rich->LineDown();
    Deliver();
    EXPECT_GT(bar->GetScrollPos(), 0);
    EXPECT_GT(rich->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    // ...and the text moves the bar: the caret at the end shows the last line.
    rich->SetFocus();
    {
        ScopedHeldKeys ctrl({VK_CONTROL});
        PressKey(VK_END);
    }
    EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange());
    EXPECT_GT(rich->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0), 20);

    // Short text needs no bar.
    rich->SetText(L"short");
    Deliver();
    EXPECT_FALSE(bar->IsVisible());
}

TEST(RichEditLives, ManyCreateDestroyCyclesLeakNoObjects)
{
    TestWindow window(kWidth, kHeight);
    auto* root = new CVerticalLayoutUI();
    window.manager.AttachDialog(root);
    window.Pump();
    auto oneLife = [&]() {
        auto* rich = new CRichEditUI();
        rich->SetAttributeList(L"vscrollbar=\"true\" autovscroll=\"true\" text=\"some text\"");
        root->Add(rich);
        window.Pump();
        rich->SetFocus();
        rich->ReplaceSel(L"more\rlines\rof\rtext\rto\rscroll\rthrough", true);
        rich->Copy();
        window.manager.Invalidate();
        window.Pump();
        root->Remove(rich);
        window.Pump();
    };
    // The first lives load the library and fill the platform's caches.
    for (int i = 0; i < 5; ++i)
        oneLife();
    const DWORD gdi = testsupport::CountGdiObjects();
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 150; ++i)
        oneLife();
    EXPECT_LE(testsupport::CountGdiObjects(), gdi + 2);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), user + 2);
    EXPECT_EQ(window.manager.GetFocus(), nullptr);
}
