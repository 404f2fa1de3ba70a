// The native edit window in a real window: opening on focus, typing through
// the platform's edit, the flags it is given, and its closing.
#include "EditTestSupport.h"

#include "control/EditUIWnd.h"
#include "../support/DibCanvas.h"

#include <imm.h>

using namespace Facet;
using testsupport::EditWindow;

namespace {

std::wstring ClassOf(HWND hWnd)
{
    wchar_t name[64] = {};
    GetClassNameW(hWnd, name, 64);
    return name;
}

RECT ClientRectInParent(HWND hWnd)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

} // namespace

TEST_F(EditWindow, FocusOpensANativeEditOverTheTextAreaWithTheText)
{
    edit->SetText(L"hello");
    EXPECT_EQ(notes.Count(L"textchanged"), 0); // no native window yet
    EXPECT_EQ(edit->GetNativeEditHWND(), nullptr);

    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(edit->GetNativeWindow(), native);
    EXPECT_EQ(ClassOf(native), L"EditWnd");
    EXPECT_EQ(GetParent(native), window.Handle());
    EXPECT_TRUE(IsWindowVisible(native));
    EXPECT_EQ(GetFocus(), native);
    EXPECT_EQ(NativeText(native), L"hello");
    EXPECT_EQ(notes.Count(L"textchanged"), 0); // the initial text is not a change
    EXPECT_EQ(window.manager.GetNativeWindowCount(), 1);
    EXPECT_EQ(window.manager.GetFocus(), edit);

    const int fontHeight = window.manager.GetFontInfo(-1)->tm.tmHeight;
    const RECT expected = EditTextArea(edit->GetPos(), edit->GetTextPadding(), fontHeight);
    const RECT actual = ClientRectInParent(native);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
    EXPECT_EQ(actual.bottom - actual.top, fontHeight);
}

TEST_F(EditWindow, ProgramFocusOpensItWithTheCaretAtTheEndOrEverythingSelected)
{
    edit->SetText(L"hello");
    window.manager.SetFocus(edit);
    HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    DWORD start = 99, end = 99;
    SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 5u);
    EXPECT_EQ(end, 5u);

    window.manager.SetFocus(other);
    window.Pump();
    ASSERT_EQ(edit->GetNativeEditHWND(), nullptr);
    edit->SetAttribute(L"autoselall", L"true");
    window.manager.SetFocus(edit);
    native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
}

TEST_F(EditWindow, TypingReportsEveryChangeAndTheTextOutlivesTheNativeWindow)
{
    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    notes.Clear(); // "killfocus" and "setfocus"
    Type(native, L"ab");
    SendMessageW(native, WM_CHAR, VK_BACK, 1);
    Type(native, L"c");
    const std::vector<std::wstring> types = {L"textchanged", L"textchanged", L"textchanged", L"textchanged"};
    EXPECT_EQ(notes.types, types);
    // The control's text is already the new one when the listeners hear of it.
    const std::vector<std::wstring> texts = {L"a", L"ab", L"a", L"ac"};
    EXPECT_EQ(notes.texts, texts);

    // A click elsewhere: the window closes itself by a posted message, so it
    // is still there right after the focus moved and gone once it is read.
    window.ButtonDown(kOtherPlace.left + 5, kOtherPlace.top + 5);
    EXPECT_TRUE(IsWindow(native));
    window.ButtonUp(kOtherPlace.left + 5, kOtherPlace.top + 5);
    window.Pump();
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(edit->GetNativeEditHWND(), nullptr);
    EXPECT_EQ(window.manager.GetNativeWindowCount(), 0);
    EXPECT_EQ(window.manager.GetFocus(), other);
    EXPECT_EQ(edit->GetText(), L"ac");

    // Opened again, the native window starts with the kept text, and a text
    // set by the program reaches it.
    ClickEdit();
    const HWND reopened = edit->GetNativeEditHWND();
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(NativeText(reopened), L"ac");
    edit->SetText(L"set");
    EXPECT_EQ(NativeText(reopened), L"set");
    EXPECT_EQ(edit->GetText(), L"set");
}

TEST_F(EditWindow, AClickAnywhereInTheFieldKeepsEditingWithTheCaretWhereItAsks)
{
    // A 36-pixel field: the native edit is the one-line strip in its middle.
    edit->SetPos(RECT{10, 10, 160, 46}, false);
    edit->SetText(L"hello world");
    Click(60, 28);
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    const RECT strip = ClientRectInParent(native);
    ASSERT_GT(strip.top, 13) << "the strip fills the field: nothing to test";

    // Above the strip, at the left: editing goes on, the caret at the start.
    Click(12, 12);
    EXPECT_TRUE(IsWindow(native));
    EXPECT_EQ(edit->GetNativeEditHWND(), native);
    EXPECT_EQ(GetFocus(), native);
    EXPECT_EQ(window.manager.GetFocus(), edit);
    DWORD start = 99, end = 99;
    SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);

    // Below the strip, at the right: the caret after the last character.
    Click(157, 44);
    EXPECT_EQ(edit->GetNativeEditHWND(), native);
    EXPECT_EQ(GetFocus(), native);
    SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 11u);
    EXPECT_EQ(end, 11u);

    // A click outside the field still ends editing.
    ClickOther();
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(edit->GetText(), L"hello world");
}

TEST_F(EditWindow, ReturnTabAndCapsLockAreReportedAndConsumed)
{
    edit->SetText(L"x");
    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    notes.Clear();
    SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(native, WM_CHAR, L'\r', 1);
    SendMessageW(native, WM_KEYUP, VK_RETURN, 1);
    SendMessageW(native, WM_KEYUP, VK_TAB, 1);
    SendMessageW(native, WM_KEYUP, VK_CAPITAL, 1);
    const std::vector<std::wstring> types = {L"return", L"tabclick", L"capslock"};
    EXPECT_EQ(notes.types, types);
    EXPECT_EQ(NativeText(native), L"x");
    EXPECT_EQ(edit->GetText(), L"x");
}

TEST_F(EditWindow, PasswordModeMasksTheNativeEditButKeepsTheText)
{
    // A plain field does not start masking when its password char changes.
    ClickEdit();
    HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    edit->SetPasswordChar(L'%');
    EXPECT_EQ(SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), 0);
    ClickOther();

    edit->SetPasswordChar(L'*');
    edit->SetAttribute(L"password", L"true");
    ClickEdit();
    native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    EXPECT_NE(Style(native) & ES_PASSWORD, 0u);
    EXPECT_EQ(SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'*');
    Type(native, L"abc");
    EXPECT_EQ(edit->GetText(), L"abc");
    edit->SetPasswordChar(L'#');
    EXPECT_EQ(SendMessageW(native, EM_GETPASSWORDCHAR, 0, 0), L'#');
}

TEST_F(EditWindow, NumberOnlyRefusesLettersFromTheNextOpening)
{
    ClickEdit();
    HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    edit->SetAttribute(L"numberonly", L"true"); // the open window keeps its style
    Type(native, L"a1");
    EXPECT_EQ(edit->GetText(), L"a1");

    ClickOther();
    edit->SetText(L"");
    ClickEdit();
    native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    EXPECT_NE(Style(native) & ES_NUMBER, 0u);
    Type(native, L"x7y8");
    EXPECT_EQ(edit->GetText(), L"78");
}

TEST_F(EditWindow, MaxCharLimitsTheNativeText)
{
    edit->SetAttribute(L"maxchar", L"5");
    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(SendMessageW(native, EM_GETLIMITTEXT, 0, 0), 5);
    notes.Clear();
    Type(native, L"1234567");
    EXPECT_EQ(edit->GetText(), L"12345");
    // Each refused character is reported, so the field can show that it is full.
    EXPECT_EQ(notes.Count(L"maxtext"), 2);
    edit->SetMaxChar(3);
    EXPECT_EQ(SendMessageW(native, EM_GETLIMITTEXT, 0, 0), 3);
}

TEST_F(EditWindow, ReadOnlyRefusesTypingUntilSwitchedOffAndDisabledDoesNotOpen)
{
    edit->SetText(L"keep");
    edit->SetAttribute(L"readonly", L"true");
    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    EXPECT_NE(Style(native) & ES_READONLY, 0u);
    Type(native, L"zz");
    EXPECT_EQ(edit->GetText(), L"keep");
    EXPECT_EQ(notes.Count(L"textchanged"), 0);

    edit->SetReadOnly(false);
    EXPECT_EQ(Style(native) & ES_READONLY, 0u);
    Type(native, L"!");
    EXPECT_EQ(notes.Count(L"textchanged"), 1);
    EXPECT_EQ(edit->GetText().GetLength(), 5);

    // A disabled field opens no native window at all.
    ClickOther();
    edit->SetEnabled(false);
    ClickEdit();
    EXPECT_EQ(edit->GetNativeEditHWND(), nullptr);
}

TEST_F(EditWindow, CompositionWindowIsPlacedAtTheCaret)
{
    edit->SetText(L"abc");
    window.manager.SetFocus(edit);
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    const HIMC context = ImmGetContext(native);
    if (context == nullptr)
        GTEST_SKIP() << "no input context for the window";
    COMPOSITIONFORM form = {};
    const BOOL read = ImmGetCompositionWindow(context, &form);
    ImmReleaseContext(native, context);
    ASSERT_TRUE(read);
    POINT caret = {-1, -1};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_GT(caret.x, 0); // after "abc"
    EXPECT_NE(form.dwStyle & CFS_POINT, 0u);
    EXPECT_EQ(form.ptCurrentPos.x, caret.x);
    EXPECT_EQ(form.ptCurrentPos.y, caret.y);

    // An input method that starts composing after the caret moved finds its
    // window at the new place.
    SendMessageW(native, EM_SETSEL, 0, 0);
    POINT home = {-1, -1};
    ASSERT_TRUE(GetCaretPos(&home));
    ASSERT_LT(home.x, caret.x);
    SendMessageW(native, WM_IME_STARTCOMPOSITION, 0, 0);
    const HIMC again = ImmGetContext(native);
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(ImmGetCompositionWindow(again, &form));
    ImmReleaseContext(native, again);
    EXPECT_EQ(form.ptCurrentPos.x, home.x);
}

TEST_F(EditWindow, DeletingTheControlDestroysItsOpenNativeWindow)
{
    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    root->Remove(edit);
    edit = nullptr;
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(window.manager.GetNativeWindowCount(), 0);
    window.Pump(); // nothing left to reach the deleted control
    EXPECT_EQ(window.manager.GetFocus(), nullptr);
}

TEST_F(EditWindow, AListenerMayDeleteTheEditFromInsideANativeMessage)
{
    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    notes.onNotify = [this](TNotifyUI& msg) {
        if (msg.sType == L"return" && msg.pSender == edit) {
            root->Remove(edit);
            edit = nullptr;
        }
    };
    SendMessageW(native, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(edit, nullptr);
    // The window outlives the message it was deleted in, hidden, and then goes.
    EXPECT_TRUE(IsWindow(native));
    EXPECT_FALSE(IsWindowVisible(native));
    EXPECT_EQ(window.manager.GetNativeWindowCount(), 0);
    window.Pump();
    EXPECT_FALSE(IsWindow(native));

    // Typing into a window whose owner went from a "textchanged" listener.
    auto* second = root->Add(new CEditUI());
    second->SetPos(kEditPlace, false);
    window.manager.SetFocus(second);
    const HWND secondNative = second->GetNativeEditHWND();
    ASSERT_NE(secondNative, nullptr);
    notes.onNotify = [this, &second](TNotifyUI& msg) {
        if (msg.sType == L"textchanged" && msg.pSender == second) {
            root->Remove(second);
            second = nullptr;
        }
    };
    Type(secondNative, L"q");
    EXPECT_EQ(second, nullptr);
    window.Pump();
    EXPECT_FALSE(IsWindow(secondNative));
}

TEST_F(EditWindow, HidingTheEditEndsEditing)
{
    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    edit->SetVisible(false);
    window.Pump();
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(edit->GetNativeEditHWND(), nullptr);
    EXPECT_EQ(window.manager.GetFocus(), nullptr);
}

TEST_F(EditWindow, TheNativeWindowFollowsTheControlAndHidesWhenClippedAway)
{
    ClickEdit();
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    const RECT moved = {40, 50, 200, 80};
    edit->SetPos(moved);
    const int fontHeight = window.manager.GetFontInfo(-1)->tm.tmHeight;
    const RECT expected = EditTextArea(moved, edit->GetTextPadding(), fontHeight);
    RECT actual = ClientRectInParent(native);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_TRUE(IsWindowVisible(native));

    // Partly outside its parent: clipped to the parent's client area.
    edit->SetPos(RECT{250, 50, 400, 80});
    actual = ClientRectInParent(native);
    EXPECT_EQ(actual.right, 300);

    // Entirely outside: hidden, not destroyed.
    edit->SetPos(RECT{10, 300, 160, 330});
    EXPECT_TRUE(IsWindow(native));
    EXPECT_FALSE(IsWindowVisible(native));
    edit->SetPos(moved);
    EXPECT_TRUE(IsWindowVisible(native));
}

TEST_F(EditWindow, ResizingTheWindowGivesTheFocusBackAndReopensTheEdit)
{
    ClickEdit();
    ASSERT_NE(edit->GetNativeEditHWND(), nullptr);
    SetWindowPos(window.Handle(), nullptr, 0, 0, 320, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.Pump();
    window.Pump();
    EXPECT_EQ(window.manager.GetFocus(), edit);
    EXPECT_NE(edit->GetNativeEditHWND(), nullptr);
}

TEST_F(EditWindow, ALayeredWindowGetsTheCaretDrawnIntoThePrintedEdit)
{
    window.manager.SetLayered(true);
    if (!window.manager.IsLayered())
        GTEST_SKIP() << "no per-pixel-alpha windows";
    edit->SetText(L"ab");
    window.manager.SetFocus(edit);
    const HWND native = edit->GetNativeEditHWND();
    ASSERT_NE(native, nullptr);
    RECT client = {};
    GetClientRect(native, &client);
    POINT caret = {};
    ASSERT_TRUE(GetCaretPos(&caret));
    ASSERT_LT(caret.x, client.right);

    auto printedAtCaret = [&]() {
        testsupport::DibCanvas canvas(client.right, client.bottom);
        canvas.Fill(0xFFFFFFFF);
        SendMessageW(native, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
        return canvas.Rgb(caret.x, client.bottom - 1);
    };
    SendMessageW(native, WM_TIMER, 20, 0); // the blink timer shows the caret
    EXPECT_EQ(printedAtCaret(), 0x000000u);
    SendMessageW(native, WM_TIMER, 20, 0); // and hides it
    EXPECT_EQ(printedAtCaret(), 0xFFFFFFu);
}
