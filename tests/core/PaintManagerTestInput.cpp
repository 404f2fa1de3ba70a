#include "../support/NotifyLog.h"
#include "../support/TestWindow.h"
#include "control/ButtonUI.h"
#include "control/LabelUI.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Facet;
using testsupport::ProbeControl;
using testsupport::TestContainer;
using testsupport::TestWindow;

namespace {

// Records every notification the manager delivers.
class NotifyLog : public INotifyUI
{
public:
    void Notify(TNotifyUI& msg) override
    {
        entries.push_back(std::wstring(msg.sType.GetData()) + L" " +
                          (msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"-"));
        params.push_back(msg.wParam);
    }
    std::vector<std::wstring> entries;
    std::vector<WPARAM> params;
};

class PaintManagerInput : public testing::Test
{
protected:
    void SetUp() override
    {
        root = new TestContainer(L"root", nullptr, RECT{0, 0, 200, 150});
        a = root->Add(new ProbeControl(L"A", &log, RECT{10, 10, 60, 40}, true));
        b = root->Add(new ProbeControl(L"B", &log, RECT{100, 10, 150, 40}, true));
        c = root->Add(new ProbeControl(L"C", &log, RECT{10, 80, 60, 110}, true));
        window.manager.AttachDialog(root);
        window.manager.AddNotifier(&notes);
        window.Pump(); // first layout
        log.clear();
        notes.entries.clear();
        notes.params.clear();
    }

    TestWindow window;
    std::vector<std::wstring> log;
    NotifyLog notes;
    TestContainer* root = nullptr;
    ProbeControl* a = nullptr;
    ProbeControl* b = nullptr;
    ProbeControl* c = nullptr;
};

TEST_F(PaintManagerInput, FirstLayoutPlacesTheTreeAndSaysWindowInit)
{
    TestWindow fresh;
    NotifyLog freshNotes;
    auto* tree = new TestContainer(L"tree", nullptr, RECT{0, 0, 0, 0});
    auto* child = tree->Add(new ProbeControl(L"child", nullptr, RECT{5, 5, 25, 25}));
    fresh.manager.AttachDialog(tree);
    fresh.manager.AddNotifier(&freshNotes);
    fresh.Pump();
    EXPECT_EQ(tree->GetPos().right, 200);
    EXPECT_EQ(tree->GetPos().bottom, 150);
    EXPECT_EQ(child->GetPos().left, 5);
    ASSERT_FALSE(freshNotes.entries.empty());
    EXPECT_EQ(freshNotes.entries.front(), L"windowinit tree");
    EXPECT_EQ(fresh.manager.FindControl(L"child"), child);
}

// A window may replace its whole tree (to build it again for another display
// scale): the new tree's names are found, the old tree's are not.
TEST(PaintManagerTree, ANewTreeReplacesTheOldOnesNames)
{
    TestWindow window;
    auto* first = new TestContainer(L"first", nullptr, RECT{0, 0, 0, 0});
    first->Add(new ProbeControl(L"old", nullptr, RECT{5, 5, 25, 25}));
    window.manager.AttachDialog(first);
    window.Pump();
    ASSERT_NE(window.manager.FindControl(L"old"), nullptr);

    auto* second = new TestContainer(L"second", nullptr, RECT{0, 0, 0, 0});
    ProbeControl* fresh = second->Add(new ProbeControl(L"fresh", nullptr, RECT{5, 5, 25, 25}));
    window.manager.AttachDialog(second);
    EXPECT_EQ(window.manager.FindControl(L"fresh"), fresh);
    EXPECT_EQ(window.manager.FindControl(L"second"), second);
    EXPECT_EQ(window.manager.FindControl(L"old"), nullptr);
    window.Pump(); // the old tree goes with the delayed clean-up
    EXPECT_EQ(window.manager.GetRoot(), second);
}

TEST(PaintManagerFocus, FirstTabStopHasTheFocusOnceTheFirstPaintsAreDone)
{
    TestWindow window;
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 200, 150});
    root->Add(new ProbeControl(L"plain", nullptr, RECT{0, 0, 10, 10}));
    ProbeControl* first = root->Add(new ProbeControl(L"first", nullptr, RECT{10, 10, 60, 40}, true));
    root->Add(new ProbeControl(L"second", nullptr, RECT{100, 10, 150, 40}, true));
    window.manager.AttachDialog(root);
    window.Pump();
    EXPECT_EQ(window.manager.GetFocus(), first);
}

TEST_F(PaintManagerInput, ClickCapturesAndReleasesOutsideToTheSameControl)
{
    window.ButtonDown(20, 20);
    EXPECT_TRUE(window.manager.IsCaptured());
    EXPECT_EQ(window.manager.GetFocus(), a);
    window.MouseMove(180, 140, MK_LBUTTON); // dragged outside while held
    window.ButtonUp(180, 140);
    EXPECT_FALSE(window.manager.IsCaptured());
    // A, the first tab stop, had the focus since the first paints.
    const std::vector<std::wstring> expected = {L"down A", L"move A", L"up A"};
    EXPECT_EQ(log, expected);

    // A second click on another control moves the focus first.
    notes.entries.clear();
    window.ButtonDown(120, 20);
    window.ButtonUp(120, 20);
    const std::vector<std::wstring> focusNotes = {L"killfocus A", L"setfocus B"};
    EXPECT_EQ(notes.entries, focusNotes);
    EXPECT_EQ(window.manager.GetFocus(), b);
}

TEST_F(PaintManagerInput, RightPressFocusesWithoutCaptureAndDoubleClickKeepsTheFocus)
{
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(120, 20));
    EXPECT_FALSE(window.manager.IsCaptured());
    EXPECT_EQ(window.manager.GetFocus(), b);
    const std::vector<std::wstring> rightPress = {L"killfocus A", L"setfocus B", L"rdown B"};
    EXPECT_EQ(log, rightPress);

    // A double click goes to the control under the mouse and captures it, but
    // the focus stays where the first click of the pair left it.
    log.clear();
    window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 90));
    EXPECT_TRUE(window.manager.IsCaptured());
    EXPECT_EQ(window.manager.GetFocus(), b);
    window.ButtonUp(20, 90);
    EXPECT_FALSE(window.manager.IsCaptured());
    const std::vector<std::wstring> doubleClick = {L"dblclick C", L"up C"};
    EXPECT_EQ(log, doubleClick);
}

TEST_F(PaintManagerInput, EnterAndLeaveFollowTheMouseBetweenControls)
{
    window.manager.AddMouseLeaveNeeded(c);
    window.MouseMove(20, 20);
    window.MouseMove(30, 20);
    window.MouseMove(120, 20);
    const std::vector<std::wstring> expected = {L"enter A", L"move A",  L"move A", L"leave C",
                                                L"leave A", L"enter B", L"move B"};
    EXPECT_EQ(log, expected);

    // While the button is held on B, moves go to B wherever the mouse is.
    log.clear();
    window.ButtonDown(120, 20);
    log.clear();
    window.MouseMove(20, 20, MK_LBUTTON);
    EXPECT_EQ(log, std::vector<std::wstring>{L"move B"});
    window.ButtonUp(20, 20);
}

TEST_F(PaintManagerInput, TabWrapsBothWays)
{
    window.manager.SetFocus(c);
    EXPECT_TRUE(window.manager.SetNextTabControl(true));
    EXPECT_EQ(window.manager.GetFocus(), a);
    EXPECT_TRUE(window.manager.SetNextTabControl(true));
    EXPECT_EQ(window.manager.GetFocus(), b);
    window.manager.SetFocus(a);
    EXPECT_TRUE(window.manager.SetNextTabControl(false));
    EXPECT_EQ(window.manager.GetFocus(), c);

    // Disabled and hidden controls are passed over.
    b->SetEnabled(false);
    window.manager.SetFocus(a);
    window.manager.SetNextTabControl(true);
    EXPECT_EQ(window.manager.GetFocus(), c);

    // The Tab key does the same through the pre-translation.
    MSG tab = {window.Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(CPaintManagerUI::TranslateMessage(&tab));
    EXPECT_EQ(window.manager.GetFocus(), a);
}

TEST_F(PaintManagerInput, KeysGoToTheFocusAndKeyUpToTheKeyDownControl)
{
    window.manager.SetFocus(a);
    log.clear();
    window.Send(WM_KEYDOWN, 'X', 0);
    window.manager.SetFocus(b);
    window.Send(WM_CHAR, 'x', 0);
    window.Send(WM_KEYUP, 'X', 0);
    const std::vector<std::wstring> expected = {L"keydown A", L"killfocus A", L"setfocus B", L"char B", L"keyup A"};
    EXPECT_EQ(log, expected);
}

TEST_F(PaintManagerInput, AsynchronousNotificationsRespectTheRepeatRule)
{
    window.manager.SendNotify(a, L"progress", 1, 0, true, false);
    window.manager.SendNotify(a, L"progress", 2, 0, true, false);
    window.manager.SendNotify(b, L"progress", 3, 0, true, false);
    EXPECT_TRUE(notes.entries.empty()); // nothing before the posted message
    window.Pump();
    EXPECT_EQ(notes.entries, (std::vector<std::wstring>{L"progress A", L"progress B"}));
    EXPECT_EQ(notes.params, (std::vector<WPARAM>{2, 3}));

    notes.entries.clear();
    notes.params.clear();
    window.manager.SendNotify(a, L"progress", 1, 0, true, true);
    window.manager.SendNotify(a, L"progress", 2, 0, true, true);
    window.Pump();
    EXPECT_EQ(notes.entries, (std::vector<std::wstring>{L"progress A", L"progress A"}));
    EXPECT_EQ(notes.params, (std::vector<WPARAM>{1, 2}));
}

TEST_F(PaintManagerInput, QueuedNotificationOfADestroyedSenderArrivesWithoutIt)
{
    window.manager.SendNotify(b, L"late", 0, 0, true);
    root->Remove(b);
    b = nullptr;
    window.Pump();
    EXPECT_EQ(notes.entries, std::vector<std::wstring>{L"late -"});
    EXPECT_EQ(window.manager.FindControl(L"B"), nullptr);
}

// Destroys the control that is about to get the focus, from inside the
// notification that the old focus lost it.
class DestroyOnKillFocus : public INotifyUI
{
public:
    DestroyOnKillFocus(TestContainer* root, ProbeControl** victim) : m_root(root), m_victim(victim) {}
    void Notify(TNotifyUI& msg) override
    {
        if (msg.sType == L"killfocus" && *m_victim != nullptr) {
            m_root->Remove(*m_victim);
            *m_victim = nullptr;
        }
    }

private:
    TestContainer* m_root;
    ProbeControl** m_victim;
};

TEST_F(PaintManagerInput, ListenerThatDestroysControlsDuringNotificationsDoesNotCrash)
{
    DestroyOnKillFocus destroyer(root, &b);
    window.manager.SetFocus(a);
    window.manager.AddNotifier(&destroyer);
    window.ButtonDown(120, 20); // B is clicked: A loses the focus and the listener destroys B
    window.ButtonUp(120, 20);
    window.MouseMove(125, 25);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(window.manager.GetFocus(), nullptr);
    EXPECT_FALSE(window.manager.IsCaptured());
    window.manager.RemoveNotifier(&destroyer);
    window.Pump();
}

TEST_F(PaintManagerInput, ControlTimersReuseTheirIdAndNeverShareOne)
{
    ASSERT_TRUE(window.manager.SetTimer(a, 7, 100000));
    EXPECT_FALSE(window.manager.SetTimer(a, 7, 100000)); // already running
    // The first window timer id after the initial counter is 17.
    window.Send(WM_TIMER, 17, 0);
    EXPECT_EQ(log, std::vector<std::wstring>{L"timer A"});
    EXPECT_EQ(notes.entries, std::vector<std::wstring>{L"timer A"});

    EXPECT_TRUE(window.manager.KillTimer(a, 7));
    EXPECT_FALSE(window.manager.KillTimer(a, 7));
    log.clear();
    window.Send(WM_TIMER, 17, 0); // a killed timer fires nothing
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(window.manager.SetTimer(a, 7, 100000)); // revived under the same id
    window.Send(WM_TIMER, 17, 0);
    EXPECT_EQ(log, std::vector<std::wstring>{L"timer A"});

    // 254 more timers take every other id once; the next one finds none free
    // instead of sharing a live control's id.
    for (UINT id = 0; id < 254; ++id)
        ASSERT_TRUE(window.manager.SetTimer(b, 1000 + id, 100000)) << id;
    EXPECT_FALSE(window.manager.SetTimer(c, 1, 100000));
    window.manager.KillTimer(b);
    EXPECT_TRUE(window.manager.SetTimer(c, 1, 100000));
    log.clear();
    window.Send(WM_TIMER, 17, 0);
    EXPECT_EQ(log, std::vector<std::wstring>{L"timer A"});
    window.manager.RemoveAllTimers();
}

TEST_F(PaintManagerInput, NamesPointsAndClasses)
{
    EXPECT_EQ(window.manager.FindControl(L"A"), a);
    EXPECT_EQ(window.manager.FindControl(L"a"), nullptr); // names are exact
    EXPECT_EQ(window.manager.FindSubControlByName(nullptr, L"b"), b);
    EXPECT_EQ(window.manager.FindControl(POINT{120, 20}), b);
    EXPECT_EQ(window.manager.FindControl(POINT{90, 60}), root);
    EXPECT_EQ(window.manager.FindSubControlByClass(nullptr, L"Control", 2), c);
    EXPECT_EQ(window.manager.FindSubControlsByClass(nullptr, L"*")->GetSize(), 4);

    EXPECT_FALSE(window.manager.RenameControl(a, L"B")); // taken
    EXPECT_EQ(a->GetName(), L"A");
    EXPECT_EQ(window.manager.FindControl(L"B"), b);
    EXPECT_TRUE(window.manager.RenameControl(a, L"First"));
    EXPECT_EQ(window.manager.FindControl(L"First"), a);
    EXPECT_EQ(window.manager.FindControl(L"A"), nullptr);
    EXPECT_EQ(a->GetName(), L"First");

    // A hidden control is not found by point.
    b->SetVisible(false);
    EXPECT_EQ(window.manager.FindControl(POINT{120, 20}), root);
}

TEST(PaintManagerNames, ASecondTreeAttachedToTheManagerIsFoundByName)
{
    TestWindow window;
    auto* first = new TestContainer(L"first", nullptr, RECT{0, 0, 200, 150});
    first->Add(new ProbeControl(L"old", nullptr, RECT{0, 0, 10, 10}));
    window.manager.AttachDialog(first);
    window.Pump();

    auto* second = new TestContainer(L"second", nullptr, RECT{0, 0, 200, 150});
    ProbeControl* fresh = second->Add(new ProbeControl(L"fresh", nullptr, RECT{10, 10, 50, 50}));
    window.manager.AttachDialog(second);
    EXPECT_EQ(window.manager.FindControl(L"second"), second);
    EXPECT_EQ(window.manager.FindControl(L"fresh"), fresh);
    EXPECT_EQ(window.manager.FindControl(L"old"), nullptr);
    // A rename reported as done can be found under the new name.
    EXPECT_TRUE(window.manager.RenameControl(fresh, L"renamed"));
    EXPECT_EQ(window.manager.FindControl(L"renamed"), fresh);
    window.Pump(); // the first tree goes with the posted clean-up
    EXPECT_EQ(window.manager.FindControl(L"renamed"), fresh);
}

TEST_F(PaintManagerInput, NamingAnAttachedControlThatHadNoNameMakesItFindable)
{
    ProbeControl* unnamed = root->Add(new ProbeControl(L"", nullptr, RECT{150, 100, 190, 140}));
    unnamed->SetName(L"late");
    EXPECT_EQ(window.manager.FindControl(L"late"), unnamed);
    unnamed->SetName(L"later");
    EXPECT_EQ(window.manager.FindControl(L"later"), unnamed);
    EXPECT_EQ(window.manager.FindControl(L"late"), nullptr);

    // A name another control holds stays with that control.
    ProbeControl* twin = root->Add(new ProbeControl(L"", nullptr, RECT{150, 10, 190, 40}));
    twin->SetName(L"A");
    EXPECT_EQ(twin->GetName(), L"A");
    EXPECT_EQ(window.manager.FindControl(L"A"), a);

    // A control that only borrows the manager (as the builder does while it
    // applies attributes) is not in the window: it does not enter the map.
    CControlUI loose;
    loose.SetManager(&window.manager, nullptr, false);
    loose.SetName(L"loose");
    EXPECT_EQ(window.manager.FindControl(L"loose"), nullptr);
    loose.SetManager(nullptr, nullptr, false);

    // Destroyed, the named control leaves the map.
    root->Remove(unnamed);
    EXPECT_EQ(window.manager.FindControl(L"later"), nullptr);
}

TEST(PaintManagerShortcut, ALabelsShortcutSelectsAndClicksTheControlAfterIt)
{
    TestWindow window;
    testsupport::NotifyLog clicks;
    auto* root = new TestContainer(L"root", nullptr, RECT{0, 0, 200, 150});
    ProbeControl* before = root->Add(new ProbeControl(L"before", nullptr, RECT{0, 0, 50, 20}, true));
    auto* label = root->Add(new CLabelUI);
    label->SetShortcut(L'n');
    auto* button = root->Add(new CButtonUI);
    button->SetName(L"go");
    root->Add(new ProbeControl(L"after", nullptr, RECT{0, 100, 50, 120}, true));
    window.manager.AttachDialog(root);
    window.manager.AddNotifier(&clicks);
    window.Pump();
    window.manager.SetFocus(before);
    clicks.entries.clear();

    MSG alt = {window.Handle(), WM_SYSCHAR, L'N', 0, 0, {0, 0}};
    EXPECT_TRUE(CPaintManagerUI::TranslateMessage(&alt));
    EXPECT_EQ(window.manager.GetFocus(), button);
    ASSERT_EQ(clicks.Count(L"click"), 1);
    EXPECT_EQ(clicks.Last(L"click")->pSender, button);
    window.manager.RemoveNotifier(&clicks);
}

TEST_F(PaintManagerInput, ACloseThatTheWindowSurvivesLeavesNoCapture)
{
    window.ButtonDown(20, 20);
    ASSERT_TRUE(window.manager.IsCaptured());
    ASSERT_EQ(GetCapture(), window.Handle());
    // The manager's part of the close; the window then cancels it and stays.
    LRESULT result = 0;
    window.manager.MessageHandler(WM_CLOSE, 0, 0, result);
    EXPECT_FALSE(window.manager.IsCaptured());
    EXPECT_NE(GetCapture(), window.Handle());

    // Hover works again at once, without a click first.
    log.clear();
    window.MouseMove(120, 20);
    const std::vector<std::wstring> expected = {L"enter B", L"move B"};
    EXPECT_EQ(log, expected);
}

TEST_F(PaintManagerInput, OpacityValuesOutsideTheByteRangeAreClamped)
{
    window.manager.SetWindowAttribute(L"opacity", L"300");
    EXPECT_EQ(window.manager.GetOpacity(), 255);
    window.manager.SetWindowAttribute(L"opacity", L"-1");
    EXPECT_EQ(window.manager.GetOpacity(), 0);
    window.manager.SetWindowAttribute(L"opacity", L"128");
    EXPECT_EQ(window.manager.GetOpacity(), 128);
    window.manager.SetWindowAttribute(L"layeredopacity", L"1000");
    EXPECT_EQ(window.manager.GetLayeredOpacity(), 255);
    window.manager.SetWindowAttribute(L"layeredopacity", L"-20");
    EXPECT_EQ(window.manager.GetLayeredOpacity(), 0);
}

TEST_F(PaintManagerInput, OptionGroupsAndCustomAttributes)
{
    EXPECT_TRUE(window.manager.AddOptionGroup(L"g", a));
    EXPECT_TRUE(window.manager.AddOptionGroup(L"g", b));
    EXPECT_FALSE(window.manager.AddOptionGroup(L"g", a));
    EXPECT_EQ(window.manager.GetOptionGroup(L"g")->GetSize(), 2);
    window.manager.RemoveOptionGroup(L"g", a);
    window.manager.RemoveOptionGroup(L"g", b);
    EXPECT_EQ(window.manager.GetOptionGroup(L"g"), nullptr);

    window.manager.AddWindowCustomAttribute(L"k", L"first");
    window.manager.AddWindowCustomAttribute(L"k", L"second");
    window.manager.AddWindowCustomAttribute(L"", L"x");
    EXPECT_STREQ(window.manager.GetWindowCustomAttribute(L"k"), L"first");
    window.manager.SetWindowAttributeList(L"size=\"300,200\" caption=\"0,0,0,30\" theme=\"dark\" broken=x z=\"1\"");
    EXPECT_EQ(window.manager.GetInitSize().cx, 300);
    EXPECT_EQ(window.manager.GetCaptionRect().bottom, 30);
    EXPECT_STREQ(window.manager.GetWindowCustomAttribute(L"theme"), L"dark");
    EXPECT_EQ(window.manager.GetWindowCustomAttribute(L"z"), nullptr); // the broken pair ended the list
}

TEST_F(PaintManagerInput, TooltipShowsTheHoveredControlsText)
{
    b->SetToolTip(L"Bee");
    window.MouseMove(120, 20);
    window.Send(WM_MOUSEHOVER, 0, MAKELPARAM(120, 20));
    HWND tip = window.manager.GetTooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t text[64] = {};
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = window.Handle();
    info.uId = reinterpret_cast<UINT_PTR>(window.Handle());
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"Bee");
    // Destroying the control with the tooltip leaves nothing pointing at it.
    root->Remove(b);
    b = nullptr;
    window.MouseMove(120, 20);
}

// A filter that answers the messages it is given and records their numbers.
class AnsweringFilter : public IMessageFilterUI
{
public:
    LRESULT MessageHandler(UINT uMsg, WPARAM, LPARAM, bool& bHandled) override
    {
        seen.push_back(uMsg);
        bHandled = uMsg == handles;
        return 42;
    }
    UINT handles = 0;
    std::vector<UINT> seen;
};

TEST_F(PaintManagerInput, MessageFiltersAnswerFirstAndTheMousePositionStillFollows)
{
    AnsweringFilter filter;
    filter.handles = WM_LBUTTONDOWN;
    ASSERT_TRUE(window.manager.AddMessageFilter(&filter));
    EXPECT_EQ(window.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 20)), 42);
    EXPECT_TRUE(log.empty()); // the filter took it: no control heard the press
    EXPECT_FALSE(window.manager.IsCaptured());
    EXPECT_EQ(window.manager.GetMousePos().x, 120);
    EXPECT_EQ(window.manager.GetMousePos().y, 20);
    // A message the filter leaves goes on to the controls.
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 90));
    EXPECT_EQ(window.manager.GetFocus(), c);
    ASSERT_EQ(filter.seen.size(), 2u);
    EXPECT_EQ(filter.seen[1], static_cast<UINT>(WM_RBUTTONDOWN));
    window.manager.RemoveMessageFilter(&filter);
}

TEST_F(PaintManagerInput, SizeLimitsActivationAndNotifyWithoutHeader)
{
    window.manager.SetMinInfo(120, 90);
    window.manager.SetMaxInfo(400, 0);
    MINMAXINFO info = {};
    info.ptMaxTrackSize.y = 777;
    window.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 120);
    EXPECT_EQ(info.ptMinTrackSize.y, 90);
    EXPECT_EQ(info.ptMaxTrackSize.x, 400);
    EXPECT_EQ(info.ptMaxTrackSize.y, 777); // a zero limit leaves the system's value

    window.manager.SetNoActivate(true);
    EXPECT_EQ(window.Send(WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
    window.manager.SetNoActivate(false);
    EXPECT_EQ(window.Send(WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(window.Send(WM_NOTIFY, 0, 0), 0);

    // A size change tells the focus control.
    window.manager.SetFocus(b);
    log.clear();
    window.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 150));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), L"size B"); // then passed up to its parent
}

TEST_F(PaintManagerInput, WheelGoesUnderTheMouseAndTheContextMenuToThePressedControl)
{
    POINT screen = {20, 90};
    ClientToScreen(window.Handle(), &screen);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], L"wheel C");
    EXPECT_EQ(window.manager.GetMousePos().y, 90);

    // The right press names the control the context menu that follows is for.
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(120, 20));
    log.clear();
    POINT elsewhere = {20, 20};
    ClientToScreen(window.Handle(), &elsewhere);
    window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.Handle()), MAKELPARAM(elsewhere.x, elsewhere.y));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), L"menu B");
    // Only once: a second menu without a press reaches nobody.
    log.clear();
    window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.Handle()), MAKELPARAM(elsewhere.x, elsewhere.y));
    EXPECT_TRUE(log.empty());
}

TEST(PaintManagerBinding, SecondInitMovesToTheNewWindowAndIsListedOnce)
{
    TestWindow first;
    TestWindow second;
    const int before = CPaintManagerUI::GetPaintManagers()->GetSize();
    first.manager.Init(second.Handle(), L"moved");
    EXPECT_EQ(first.manager.GetPaintWindow(), second.Handle());
    EXPECT_EQ(CPaintManagerUI::GetPaintManagers()->GetSize(), before);
    EXPECT_EQ(CPaintManagerUI::GetPaintManager(L"moved"), &first.manager);
    first.manager.Init(second.Handle(), L"moved");
    EXPECT_EQ(CPaintManagerUI::GetPaintManagers()->GetSize(), before);
}

TEST(PaintManagerBinding, FailedPostDoesNotStopLaterNotifications)
{
    NotifyLog notes;
    auto* manager = new CPaintManagerUI();
    auto* control = new ProbeControl(L"p", nullptr, RECT{0, 0, 10, 10});
    {
        TestWindow gone;
        manager->Init(gone.Handle());
        manager->AttachDialog(control);
        manager->AddNotifier(&notes);
    }
    // The window is gone: the post fails and must not block the queue for good.
    manager->SendNotify(control, L"first", 0, 0, true);
    TestWindow next;
    next.manager.Init(nullptr);
    manager->Init(next.Handle());
    manager->SendNotify(control, L"second", 0, 0, true);
    MSG msg;
    while (PeekMessageW(&msg, next.Handle(), 0, 0, PM_REMOVE)) {
        LRESULT result = 0;
        manager->MessageHandler(msg.message, msg.wParam, msg.lParam, result);
    }
    // (The new window's first paint may add "windowinit" after them.)
    ASSERT_GE(notes.entries.size(), 2u);
    EXPECT_EQ(notes.entries[0], L"first p");
    EXPECT_EQ(notes.entries[1], L"second p");
    delete manager;
}

} // namespace
