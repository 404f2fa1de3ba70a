// The accessible tree of a framework window as a screen reader reads it in the
// same process: roles by class, names, values, states, locations, hit tests,
// navigation, default actions, and objects that outlive their controls.
#include "AccessTestSupport.h"

#include <memory>

using namespace testsupport;

namespace {

bool Has(LONG states, LONG state)
{
    return states != -1 && (states & state) == state;
}

// Asks accHitTest from the client down until an object answers for itself.
Accessible HitTest(const Accessible& from, POINT screen)
{
    Accessible current = from;
    for (int depth = 0; depth < 16; ++depth) {
        VARIANT hit;
        VariantInit(&hit);
        if (current->accHitTest(screen.x, screen.y, &hit) != S_OK)
            return Accessible();
        if (hit.vt == VT_I4 && hit.lVal == CHILDID_SELF)
            return current;
        if (hit.vt != VT_DISPATCH)
            return Accessible();
        current = FromDispatch(hit.pdispVal);
    }
    return Accessible();
}

POINT Centre(const RECT& rc)
{
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

} // namespace

TEST_F(AccessibleWindow, ClientObjectIsTheRootControlWithEveryControlBelowIt)
{
    EXPECT_EQ(RoleOf(client), ROLE_SYSTEM_GROUPING);
    auto* root = static_cast<Facet::IContainerUI*>(Control(L"root")->GetInterface(L"IContainer"));
    EXPECT_EQ(ChildrenOf(client).size(), static_cast<size_t>(root->GetCount()));

    // Above the client area stands the platform's object of the window. (Wine
    // 8's window object answers nothing yet: E_NOTIMPL for every property.)
    IDispatch* parent = nullptr;
    ASSERT_EQ(client->get_accParent(&parent), S_OK);
    const Accessible window = FromDispatch(parent);
    ASSERT_TRUE(window);
    VARIANT role;
    VariantInit(&role);
    const HRESULT answered = window->get_accRole(ChildId(), &role);
    if (answered != E_NOTIMPL) {
        EXPECT_EQ(answered, S_OK);
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_WINDOW);
    }

    EXPECT_EQ(RoleOf(Find(L"Account")), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(RoleOf(Find(L"Go")), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(RoleOf(Find(L"Remember me")), ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_EQ(RoleOf(Find(L"Fast")), ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ(RoleOf(Find(L"Host")), ROLE_SYSTEM_TEXT);
    EXPECT_EQ(RoleOf(Find(L"Progress", ROLE_SYSTEM_PROGRESSBAR)), ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(RoleOf(Find(L"Volume")), ROLE_SYSTEM_SLIDER);
    EXPECT_EQ(RoleOf(Find(L"Two")), ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(RoleOf(Find(L"Leaf")), ROLE_SYSTEM_OUTLINEITEM);

    // A tab layout is a list of pages.
    const Accessible pages = FindByRole(client, ROLE_SYSTEM_PAGETABLIST);
    ASSERT_TRUE(pages);
    const std::vector<Accessible> pageObjects = ChildrenOf(pages);
    ASSERT_EQ(pageObjects.size(), 2u);
    EXPECT_EQ(RoleOf(pageObjects[0]), ROLE_SYSTEM_PROPERTYPAGE);
    // A list holds its rows, then its scroll bar (hidden while the rows fit);
    // a tree view its nodes, one item each.
    const auto roles = [](const Accessible& object) {
        std::vector<LONG> found;
        for (const Accessible& child : ChildrenOf(object))
            found.push_back(RoleOf(child));
        return found;
    };
    const Accessible list = FindByRole(client, ROLE_SYSTEM_LIST);
    ASSERT_TRUE(list);
    EXPECT_EQ(roles(list), (std::vector<LONG>{ROLE_SYSTEM_LISTITEM, ROLE_SYSTEM_LISTITEM, ROLE_SYSTEM_SCROLLBAR}));
    const Accessible tree = FindByRole(client, ROLE_SYSTEM_OUTLINE);
    ASSERT_TRUE(tree);
    EXPECT_EQ(roles(tree),
              (std::vector<LONG>{ROLE_SYSTEM_OUTLINEITEM, ROLE_SYSTEM_OUTLINEITEM, ROLE_SYSTEM_SCROLLBAR}));
    // A node is one item: the buttons of its row are not read one by one.
    EXPECT_EQ(ChildrenOf(Find(L"Root")).size(), 0u);
}

TEST_F(AccessibleWindow, NamesComeFromTheTextTheAccnameTheTooltipOrTheLabelBefore)
{
    // The text, with a tooltip that says more as the description.
    const Accessible go = Find(L"Go");
    ASSERT_TRUE(go);
    BSTR description = nullptr;
    ASSERT_EQ(go->get_accDescription(ChildId(), &description), S_OK);
    EXPECT_EQ(TakeText(description), L"Start now");
    // No text: the tooltip; an accname comes first.
    EXPECT_TRUE(Find(L"Options", ROLE_SYSTEM_PUSHBUTTON));
    EXPECT_TRUE(Find(L"Close window", ROLE_SYSTEM_PUSHBUTTON));
    EXPECT_FALSE(Find(L"Close"));
    // Mark-up is not read out.
    EXPECT_TRUE(Find(L"Bold text", ROLE_SYSTEM_STATICTEXT));
    // A field is named by the label before it (a spacer between them does not
    // count, nor does a colon), never by the text typed into it.
    EXPECT_TRUE(Find(L"Host", ROLE_SYSTEM_TEXT));
    EXPECT_TRUE(Find(L"Secret", ROLE_SYSTEM_TEXT));
    EXPECT_FALSE(Find(L"example.org"));
    EXPECT_TRUE(Find(L"Progress", ROLE_SYSTEM_PROGRESSBAR));

    // Names follow the controls.
    Control(L"options")->SetAccessibleName(L"Preferences");
    EXPECT_TRUE(Find(L"Preferences", ROLE_SYSTEM_PUSHBUTTON));
    Control(L"title")->SetText(L"Profile");
    EXPECT_TRUE(Find(L"Profile", ROLE_SYSTEM_STATICTEXT));
}

TEST_F(AccessibleWindow, ValuesTellProgressSliderTextAndTreeLevel)
{
    EXPECT_EQ(ValueOf(Find(L"Progress", ROLE_SYSTEM_PROGRESSBAR)), L"25%"); // 50 of 0..200
    EXPECT_EQ(ValueOf(Find(L"Volume")), L"7");
    EXPECT_EQ(ValueOf(Find(L"Host")), L"example.org");
    EXPECT_EQ(ValueOf(Find(L"Root")), L"0");
    EXPECT_EQ(ValueOf(Find(L"Leaf")), L"1");

    // A password is there but not told.
    BSTR secret = nullptr;
    EXPECT_EQ(Find(L"Secret", ROLE_SYSTEM_TEXT)->get_accValue(ChildId(), &secret), E_ACCESSDENIED);
    EXPECT_EQ(secret, nullptr);

    static_cast<Facet::CProgressUI*>(Control(L"bar")->GetInterface(L"Progress"))->SetValue(200);
    EXPECT_EQ(ValueOf(Find(L"Progress", ROLE_SYSTEM_PROGRESSBAR)), L"100%");
    // A label has no value.
    BSTR none = nullptr;
    EXPECT_EQ(Find(L"Account")->get_accValue(ChildId(), &none), DISP_E_MEMBERNOTFOUND);
}

TEST_F(AccessibleWindow, StatesFollowTheControls)
{
    EXPECT_TRUE(Has(StateOf(Find(L"Disabled")), STATE_SYSTEM_UNAVAILABLE));
    EXPECT_TRUE(Has(StateOf(Find(L"Hidden")), STATE_SYSTEM_INVISIBLE));
    EXPECT_FALSE(Has(StateOf(Find(L"Go")), STATE_SYSTEM_INVISIBLE));
    EXPECT_TRUE(Has(StateOf(Find(L"Secret", ROLE_SYSTEM_TEXT)), STATE_SYSTEM_PROTECTED));
    EXPECT_FALSE(Has(StateOf(Find(L"Host")), STATE_SYSTEM_PROTECTED));
    EXPECT_TRUE(Has(StateOf(Find(L"Go")), STATE_SYSTEM_FOCUSABLE));
    EXPECT_TRUE(Has(StateOf(Find(L"Fast")), STATE_SYSTEM_CHECKED));
    EXPECT_FALSE(Has(StateOf(Find(L"Slow")), STATE_SYSTEM_CHECKED));
    EXPECT_FALSE(Has(StateOf(Find(L"Remember me")), STATE_SYSTEM_CHECKED));
    static_cast<Facet::CCheckBoxUI*>(Control(L"remember")->GetInterface(L"CheckBox"))->SetCheck(true);
    EXPECT_TRUE(Has(StateOf(Find(L"Remember me")), STATE_SYSTEM_CHECKED));

    // The shown page is selected, the other one hidden.
    const std::vector<Accessible> pages = ChildrenOf(FindByRole(client, ROLE_SYSTEM_PAGETABLIST));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(StateOf(pages[0]), STATE_SYSTEM_SELECTED));
    EXPECT_TRUE(Has(StateOf(pages[1]), STATE_SYSTEM_INVISIBLE));

    // A tree node with children tells whether it is open.
    const LONG root = StateOf(Find(L"Root"));
    EXPECT_TRUE(Has(root, STATE_SYSTEM_EXPANDED) || Has(root, STATE_SYSTEM_COLLAPSED));

    // The control that holds the keyboard is focused, and the client says so.
    ::SetFocus(window.Handle());
    window.manager.SetFocus(Control(L"go"));
    EXPECT_TRUE(Has(StateOf(Find(L"Go")), STATE_SYSTEM_FOCUSED));
    EXPECT_FALSE(Has(StateOf(Find(L"Fast")), STATE_SYSTEM_FOCUSED));
    VARIANT focus;
    VariantInit(&focus);
    ASSERT_EQ(client->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_DISPATCH);
    EXPECT_EQ(NameOf(FromDispatch(focus.pdispVal)), L"Go");

    // While the edit box of a field holds the keyboard, the field answers.
    window.Pump(); // the box the first paint's focus opened has closed
    window.manager.SetFocus(Control(L"host"));
    ASSERT_NE(::GetFocus(), window.Handle()) << "no edit box opened";
    EXPECT_TRUE(Has(StateOf(Find(L"Host", ROLE_SYSTEM_TEXT)), STATE_SYSTEM_FOCUSED));
    VARIANT field;
    VariantInit(&field);
    ASSERT_EQ(client->get_accFocus(&field), S_OK);
    ASSERT_EQ(field.vt, VT_DISPATCH);
    EXPECT_EQ(NameOf(FromDispatch(field.pdispVal)), L"Host");
}

TEST_F(AccessibleWindow, LocationsAndHitTestsFollowTheLayout)
{
    const RECT go = ScreenRect(L"go");
    const RECT located = LocationOf(Find(L"Go"));
    EXPECT_EQ(located.left, go.left);
    EXPECT_EQ(located.top, go.top);
    EXPECT_EQ(located.right, go.right);
    EXPECT_EQ(located.bottom, go.bottom);

    // From the client down, the point finds the button, then the slider.
    EXPECT_EQ(NameOf(HitTest(client, Centre(go))), L"Go");
    EXPECT_EQ(NameOf(HitTest(client, Centre(ScreenRect(L"volume")))), L"Volume");
    // Outside the window nothing answers.
    RECT window = {};
    GetWindowRect(this->window.Handle(), &window);
    VARIANT outside;
    VariantInit(&outside);
    EXPECT_EQ(client->accHitTest(window.right + 5, window.bottom + 5, &outside), S_FALSE);
    EXPECT_EQ(outside.vt, VT_EMPTY);
}

TEST_F(AccessibleWindow, NavigationWalksSiblingsAndChildren)
{
    VARIANT first;
    VariantInit(&first);
    ASSERT_EQ(client->accNavigate(NAVDIR_FIRSTCHILD, ChildId(), &first), S_OK);
    ASSERT_EQ(first.vt, VT_DISPATCH);
    const Accessible title = FromDispatch(first.pdispVal);
    EXPECT_EQ(NameOf(title), L"Account");

    VARIANT next;
    VariantInit(&next);
    ASSERT_EQ(title->accNavigate(NAVDIR_NEXT, ChildId(), &next), S_OK);
    ASSERT_EQ(next.vt, VT_DISPATCH);
    const Accessible fields = FromDispatch(next.pdispVal);
    EXPECT_EQ(ChildrenOf(fields).size(), 5u);

    VARIANT before;
    VariantInit(&before);
    EXPECT_EQ(title->accNavigate(NAVDIR_PREVIOUS, ChildId(), &before), S_FALSE);
    VARIANT last;
    VariantInit(&last);
    ASSERT_EQ(client->accNavigate(NAVDIR_LASTCHILD, ChildId(), &last), S_OK);
    ASSERT_EQ(last.vt, VT_DISPATCH);
    EXPECT_EQ(RoleOf(FromDispatch(last.pdispVal)), ROLE_SYSTEM_OUTLINE);

    // Children by position; a position past the end names nothing.
    EXPECT_EQ(NameOf(client, 1), L"Account");
    IDispatch* missing = nullptr;
    EXPECT_EQ(client->get_accChild(ChildId(100), &missing), E_INVALIDARG);
    EXPECT_EQ(missing, nullptr);
}

TEST_F(AccessibleWindow, DefaultActionsDoWhatAClickDoesOnceTheCallHasReturned)
{
    const Accessible go = Find(L"Go");
    EXPECT_EQ(DefaultActionOf(go), L"Press");
    ASSERT_EQ(go->accDoDefaultAction(ChildId()), S_OK);
    EXPECT_EQ(log.Count(L"click"), 0); // not inside the client's call
    window.Pump();
    ASSERT_EQ(log.Count(L"click"), 1);
    EXPECT_EQ(log.Last(L"click")->pSender, Control(L"go"));

    const Accessible box = Find(L"Remember me");
    EXPECT_EQ(DefaultActionOf(box), L"Check");
    ASSERT_EQ(box->accDoDefaultAction(ChildId()), S_OK);
    window.Pump();
    EXPECT_TRUE(static_cast<Facet::CCheckBoxUI*>(Control(L"remember")->GetInterface(L"CheckBox"))->GetCheck());
    EXPECT_EQ(DefaultActionOf(box), L"Uncheck");

    ASSERT_EQ(Find(L"Slow")->accDoDefaultAction(ChildId()), S_OK);
    window.Pump();
    EXPECT_TRUE(Has(StateOf(Find(L"Slow")), STATE_SYSTEM_CHECKED));
    EXPECT_FALSE(Has(StateOf(Find(L"Fast")), STATE_SYSTEM_CHECKED));

    // Nothing for a disabled button or a label.
    const int clicks = log.Count(L"click");
    EXPECT_EQ(Find(L"Disabled")->accDoDefaultAction(ChildId()), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Find(L"Account")->accDoDefaultAction(ChildId()), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(DefaultActionOf(Find(L"Account")), L"");
    window.Pump();
    EXPECT_EQ(log.Count(L"click"), clicks);

    // Selecting and focusing through the interface.
    ::SetFocus(window.Handle());
    ASSERT_EQ(Find(L"Two")->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, ChildId()), S_OK);
    EXPECT_TRUE(Has(StateOf(Find(L"Two")), STATE_SYSTEM_SELECTED));
}

TEST_F(AccessibleWindow, ObjectsOfDestroyedControlsAnswerNotConnected)
{
    const Accessible go = Find(L"Go");
    const Accessible buttons = FindByRole(client, ROLE_SYSTEM_CHECKBUTTON); // in the same row
    ASSERT_TRUE(go);
    auto* row = static_cast<Facet::IContainerUI*>(Control(L"buttons")->GetInterface(L"IContainer"));
    ASSERT_TRUE(row->Remove(Control(L"go")));
    window.Pump(); // delayed clean-up
    EXPECT_EQ(Control(L"go"), nullptr);

    BSTR name = nullptr;
    EXPECT_EQ(go->get_accName(ChildId(), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    VARIANT role;
    VariantInit(&role);
    EXPECT_EQ(go->get_accRole(ChildId(), &role), CO_E_OBJNOTCONNECTED);
    LONG count = 0;
    EXPECT_EQ(go->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(go->accDoDefaultAction(ChildId()), CO_E_OBJNOTCONNECTED);
    EXPECT_FALSE(Find(L"Go"));
    EXPECT_EQ(NameOf(buttons), L"Remember me"); // its neighbours are unaffected
}

TEST(AccessibleWindowLifetime, TheClientObjectOutlivesItsWindow)
{
    testsupport::ScopedDpi dpi(96);
    auto window = std::make_unique<testsupport::TestWindow>(200, 100);
    Facet::CDialogBuilder builder;
    Facet::CControlUI* root = builder.Create(
        L"<Window><VerticalLayout><Button text=\"Only\" /></VerticalLayout></Window>", nullptr, nullptr,
        &window->manager);
    ASSERT_NE(root, nullptr);
    window->manager.AttachDialog(root);
    window->Pump();
    const Accessible client = ClientObjectOf(window->Handle());
    ASSERT_TRUE(client);
    const std::vector<Accessible> children = ChildrenOf(client);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(NameOf(children[0]), L"Only");

    window.reset();
    LONG count = 0;
    EXPECT_EQ(client->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(children[0]->get_accName(ChildId(), nullptr), CO_E_OBJNOTCONNECTED);
}

TEST(AccessibleWindowLifetime, AWindowWithoutControlsLeavesTheQuestionToThePlatform)
{
    testsupport::TestWindow window(120, 80);
    const Accessible client = ClientObjectOf(window.Handle());
    // The platform's own client object: a client area with no children of ours.
    ASSERT_TRUE(client);
    EXPECT_EQ(RoleOf(client), ROLE_SYSTEM_CLIENT);
}
