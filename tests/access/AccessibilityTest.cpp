// Events a screen reader hears through a SetWinEventHook when controls change,
// and the objects it finds from them; the focus frame that keyboard users see.
#include "AccessTestSupport.h"

#include "../support/DibCanvas.h"

using namespace testsupport;

TEST_F(AccessibleWindow, FocusValueNameAndVisibilityChangesRaiseEvents)
{
    WinEventLog hook(GetCurrentProcessId());
    ASSERT_TRUE(hook.Installed());
    const HWND hwnd = window.Handle();

    ::SetFocus(hwnd);
    window.manager.SetFocus(Control(L"go"));
    window.Pump();
    const WinEventLog::Event* focus = hook.Last(EVENT_OBJECT_FOCUS, hwnd);
    ASSERT_NE(focus, nullptr);
    const LONG goId = focus->child;
    EXPECT_LT(goId, 0); // a control below the client, by its event id
    EXPECT_EQ(NameOf(ObjectOfEvent(*focus)), L"Go");

    auto* bar = static_cast<Facet::CProgressUI*>(Control(L"bar")->GetInterface(L"Progress"));
    bar->SetValue(150);
    window.Pump();
    const WinEventLog::Event* value = hook.Last(EVENT_OBJECT_VALUECHANGE, hwnd);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(ValueOf(ObjectOfEvent(*value)), L"75%");
    // The same value again is no change.
    const int changes = hook.Count(EVENT_OBJECT_VALUECHANGE, hwnd);
    bar->SetValue(150);
    window.Pump();
    EXPECT_EQ(hook.Count(EVENT_OBJECT_VALUECHANGE, hwnd), changes);

    Control(L"title")->SetText(L"Your account");
    window.Pump();
    const WinEventLog::Event* name = hook.Last(EVENT_OBJECT_NAMECHANGE, hwnd);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(NameOf(ObjectOfEvent(*name)), L"Your account");

    Control(L"options")->SetVisible(false);
    window.Pump();
    const WinEventLog::Event* hidden = hook.Last(EVENT_OBJECT_HIDE, hwnd);
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(NameOf(ObjectOfEvent(*hidden)), L"Options");
    Control(L"options")->SetVisible(true);
    window.Pump();
    EXPECT_NE(hook.Last(EVENT_OBJECT_SHOW, hwnd), nullptr);

    Control(L"remember")->SetEnabled(false);
    window.Pump();
    const WinEventLog::Event* state = hook.Last(EVENT_OBJECT_STATECHANGE, hwnd);
    ASSERT_NE(state, nullptr);
    EXPECT_NE(StateOf(ObjectOfEvent(*state)) & STATE_SYSTEM_UNAVAILABLE, 0);

    // A destroyed control's id is announced gone and names nothing after.
    auto* row = static_cast<Facet::IContainerUI*>(Control(L"buttons")->GetInterface(L"IContainer"));
    ASSERT_TRUE(row->Remove(Control(L"go")));
    window.Pump();
    const WinEventLog::Event* destroyed = hook.Last(EVENT_OBJECT_DESTROY, hwnd);
    ASSERT_NE(destroyed, nullptr);
    EXPECT_EQ(destroyed->child, goId);
    IDispatch* gone = nullptr;
    EXPECT_EQ(client->get_accChild(ChildId(goId), &gone), E_INVALIDARG);
}

namespace {

// Counts the pixels of `colour` on the top line of the focus frame, 3 pixels
// inside the control at 96 DPI.
int FramePixels(const DibCanvas& canvas, const RECT& rc, uint32_t colour)
{
    int count = 0;
    for (int x = rc.left + 3; x < rc.right - 3; ++x)
        count += canvas.Rgb(x, rc.top + 3) == colour ? 1 : 0;
    return count;
}

} // namespace

TEST_F(AccessibleWindow, TheFocusFrameShowsAfterAKeyUntilTheNextMousePress)
{
    Facet::CControlUI* go = Control(L"go");
    const RECT rc = go->GetPos();
    DibCanvas canvas(400, 420);
    auto paint = [&] {
        canvas.Fill(0xFFFFFFFF);
        window.manager.GetRoot()->Paint(canvas.Dc(), RECT{0, 0, 400, 420}, nullptr);
    };

    ::SetFocus(window.Handle());
    window.manager.SetFocus(go);
    paint();
    EXPECT_EQ(FramePixels(canvas, rc, 0x000000), 0) << "no frame before any key";

    window.Send(WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_TRUE(window.manager.AreFocusCuesShown());
    paint();
    const int dots = FramePixels(canvas, rc, 0x000000);
    EXPECT_GT(dots, 5) << "a dotted frame in the text colour";
    EXPECT_LT(dots, rc.right - rc.left - 6) << "dotted, not solid";

    // A press with the mouse puts it away again.
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rc.left + 1, rc.top + 1));
    window.Send(WM_LBUTTONUP, 0, MAKELPARAM(rc.left + 1, rc.top + 1));
    EXPECT_FALSE(window.manager.AreFocusCuesShown());
    paint();
    EXPECT_EQ(FramePixels(canvas, rc, 0x000000), 0);

    // A skin that shows the focus its own way gets no frame.
    window.Send(WM_KEYDOWN, VK_SHIFT, 0);
    go->SetFocusBorderColor(0xFF0000FF);
    window.manager.SetFocus(go);
    paint();
    EXPECT_EQ(FramePixels(canvas, rc, 0x000000), 0);
}
