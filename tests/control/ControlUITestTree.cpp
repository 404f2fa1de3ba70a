// Geometry, visibility, covers, hit testing and event bubbling of controls
// that have no paint manager.
#include "../support/ControlTestSupport.h"
#include "core/ResourceManager.h"

#include <gtest/gtest.h>

#include <vector>

using Facet::CControlUI;
using Facet::TEventUI;
using testsupport::EventRecorder;
using testsupport::MakeEvent;
using testsupport::SameRect;
using testsupport::ScopedDpi;

namespace {

TEST(ControlGeometry, SetPosClampsReversedEdges)
{
    CControlUI control;
    control.SetPos(RECT{50, 60, 40, 10});
    EXPECT_TRUE(SameRect(RECT{50, 60, 50, 60}, control.GetPos()));
    EXPECT_EQ(0, control.GetWidth());
    EXPECT_EQ(0, control.GetHeight());
    control.SetPos(RECT{5, 6, 25, 46});
    EXPECT_EQ(20, control.GetWidth());
    EXPECT_EQ(40, control.GetHeight());
    EXPECT_EQ(5, control.GetX());
    EXPECT_EQ(6, control.GetY());
    EXPECT_TRUE(SameRect(control.GetPos(), control.GetClientPos()));
}

TEST(ControlGeometry, FloatingControlIsPlacedRelativeToItsParentAndWritesBackItsOffsets)
{
    CControlUI parent;
    parent.SetPos(RECT{100, 50, 300, 251}); // 200 x 201
    CControlUI child;
    child.SetManager(nullptr, &parent, false);
    child.SetFloat(true);
    child.SetFloatPercent(Facet::TPercentInfo{0.5, 0.5, 0.75, 1.0});

    child.SetPos(RECT{10, 20, 160, 230});
    EXPECT_TRUE(SameRect(RECT{110, 70, 260, 280}, child.GetPos()));
    EXPECT_TRUE(SameRect(RECT{10, 20, 160, 230}, child.GetRelativePos()));
    // fixed X = 10 - int(200 * 0.5); fixed Y = 20 - int(201 * 0.5) (100.5 truncated)
    EXPECT_EQ(-90, child.GetFixedXY().cx);
    EXPECT_EQ(-80, child.GetFixedXY().cy);
    // width = 160 - int(200 * 0.75) - (-90); height = 230 - 201 - (-80)
    EXPECT_EQ(100, child.GetFixedWidth());
    EXPECT_EQ(109, child.GetFixedHeight());
}

TEST(ControlGeometry, FloatingControlWithoutParentKeepsItsRectangle)
{
    CControlUI control;
    control.SetPos(RECT{1, 2, 3, 4});
    control.SetFloat(true);
    control.SetPos(RECT{10, 20, 30, 40});
    EXPECT_TRUE(SameRect(RECT{1, 2, 3, 4}, control.GetPos()));
    EXPECT_TRUE(SameRect(RECT{0, 0, 0, 0}, control.GetRelativePos()));
}

TEST(ControlGeometry, MoveShiftsControlAndCover)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 20, 20});
    CControlUI* cover = new CControlUI;
    control.SetCover(cover);
    cover->SetPos(RECT{10, 10, 20, 20});
    control.Move(SIZE{5, -3});
    EXPECT_TRUE(SameRect(RECT{15, 7, 25, 17}, control.GetPos()));
    EXPECT_TRUE(SameRect(RECT{15, 7, 25, 17}, cover->GetPos()));
}

TEST(ControlGeometry, SizeLimitsIgnoreNegativeValuesAndMaxIsAtLeastMin)
{
    ScopedDpi dpi(96);
    CControlUI control;
    EXPECT_EQ(9999, control.GetMaxWidth());
    control.SetMinWidth(-1);
    EXPECT_EQ(0, control.GetMinWidth());
    control.SetMaxWidth(20);
    control.SetMinWidth(30);
    EXPECT_EQ(30, control.GetMaxWidth());
    control.SetMaxHeight(5);
    control.SetMinHeight(8);
    EXPECT_EQ(8, control.GetMaxHeight());
    control.SetFixedWidth(-3);
    control.SetFixedHeight(12);
    const SIZE estimate = control.EstimateSize(SIZE{500, 500});
    EXPECT_EQ(0, estimate.cx);
    EXPECT_EQ(12, estimate.cy);
}

TEST(ControlVisibility, OwnAndInheritedFlagsBothCountAndReachTheCover)
{
    CControlUI control;
    CControlUI* cover = new CControlUI;
    control.SetCover(cover);
    EXPECT_TRUE(control.Activate());

    control.SetInternVisible(false);
    EXPECT_FALSE(control.IsVisible());
    EXPECT_FALSE(cover->IsVisible());
    control.SetInternVisible(true);
    EXPECT_TRUE(cover->IsVisible());

    control.SetVisible(false);
    EXPECT_FALSE(control.IsVisible());
    EXPECT_FALSE(control.Activate());
    EXPECT_FALSE(cover->IsVisible());
    control.SetVisible(true);
    EXPECT_TRUE(cover->IsVisible());

    control.SetEnabled(false);
    EXPECT_FALSE(control.Activate());
}

TEST(ControlVisibility, CoverOfAHiddenControlStartsHidden)
{
    CControlUI control;
    control.SetVisible(false);
    CControlUI* cover = new CControlUI;
    control.SetCover(cover);
    EXPECT_FALSE(cover->IsVisible());
    EXPECT_EQ(&control, cover->GetParent());
}

std::vector<void*>& Destroyed()
{
    static std::vector<void*> destroyed;
    return destroyed;
}

bool RecordDestroyed(void* control)
{
    Destroyed().push_back(control);
    return true;
}

TEST(ControlLifetime, CoversAreOwnedAndReplacedCoversDestroyed)
{
    Destroyed().clear();
    CControlUI* owner = new CControlUI;
    CControlUI* first = new CControlUI;
    CControlUI* second = new CControlUI;
    first->OnDestroy += &RecordDestroyed;
    second->OnDestroy += &RecordDestroyed;
    owner->OnDestroy += &RecordDestroyed;

    owner->SetCover(first);
    owner->SetCover(first); // the same cover again changes nothing
    EXPECT_TRUE(Destroyed().empty());
    owner->SetCover(second);
    ASSERT_EQ(1u, Destroyed().size());
    EXPECT_EQ(first, Destroyed()[0]);
    EXPECT_EQ(second, owner->GetCover());

    owner->Delete();
    ASSERT_EQ(3u, Destroyed().size());
    EXPECT_EQ(second, Destroyed()[1]);
    EXPECT_EQ(owner, Destroyed()[2]);
}

std::vector<CControlUI*>& Visited()
{
    static std::vector<CControlUI*> visited;
    return visited;
}

CControlUI* CALLBACK AnswerEveryone(CControlUI* control, LPVOID)
{
    Visited().push_back(control);
    return control;
}

CControlUI* CALLBACK AnswerNobody(CControlUI* control, LPVOID)
{
    Visited().push_back(control);
    return nullptr;
}

TEST(ControlFindControl, FlagsFilterVisibleEnabledAndHitControls)
{
    CControlUI control;
    control.SetPos(RECT{10, 10, 50, 50});
    POINT inside = {20, 20};
    POINT outside = {60, 20};
    POINT rightEdge = {50, 20};
    const UINT hit = Facet::UIFIND_VISIBLE | Facet::UIFIND_HITTEST;

    EXPECT_EQ(&control, control.FindControl(AnswerEveryone, &inside, hit));
    EXPECT_EQ(nullptr, control.FindControl(AnswerEveryone, &outside, hit));
    EXPECT_EQ(nullptr, control.FindControl(AnswerEveryone, &rightEdge, hit));
    EXPECT_EQ(nullptr, control.FindControl(AnswerEveryone, nullptr, hit));

    control.SetMouseEnabled(false);
    EXPECT_EQ(nullptr, control.FindControl(AnswerEveryone, &inside, hit));
    EXPECT_EQ(&control, control.FindControl(AnswerEveryone, &inside, Facet::UIFIND_VISIBLE));
    control.SetMouseEnabled(true);

    control.SetEnabled(false);
    EXPECT_EQ(nullptr, control.FindControl(AnswerEveryone, nullptr, Facet::UIFIND_ENABLED));
    EXPECT_EQ(&control, control.FindControl(AnswerEveryone, nullptr, Facet::UIFIND_VISIBLE));
    control.SetVisible(false);
    EXPECT_EQ(nullptr, control.FindControl(AnswerEveryone, nullptr, Facet::UIFIND_VISIBLE));
    EXPECT_EQ(&control, control.FindControl(AnswerEveryone, nullptr, Facet::UIFIND_ALL));

    // The update test rejects a control that the callback answers.
    EXPECT_EQ(nullptr, control.FindControl(AnswerEveryone, nullptr, Facet::UIFIND_UPDATETEST));
}

TEST(ControlFindControl, CoverIsAskedBeforeTheControlUnlessMeFirst)
{
    CControlUI control;
    control.SetPos(RECT{0, 0, 40, 40});
    CControlUI* cover = new CControlUI;
    control.SetCover(cover);
    cover->SetPos(RECT{0, 0, 40, 40});
    POINT point = {5, 5};
    const UINT hit = Facet::UIFIND_VISIBLE | Facet::UIFIND_HITTEST;

    Visited().clear();
    EXPECT_EQ(cover, control.FindControl(AnswerEveryone, &point, hit));
    EXPECT_EQ(std::vector<CControlUI*>{cover}, Visited());

    Visited().clear();
    EXPECT_EQ(&control, control.FindControl(AnswerEveryone, &point, hit | Facet::UIFIND_ME_FIRST));
    EXPECT_EQ(std::vector<CControlUI*>{&control}, Visited());

    Visited().clear();
    EXPECT_EQ(nullptr, control.FindControl(AnswerNobody, &point, hit | Facet::UIFIND_ME_FIRST));
    EXPECT_EQ((std::vector<CControlUI*>{&control, cover}), Visited());

    // With the mouse off the control itself is skipped, its cover still answers.
    control.SetMouseEnabled(false);
    EXPECT_EQ(cover, control.FindControl(AnswerEveryone, &point, hit | Facet::UIFIND_ME_FIRST));
    cover->SetMouseEnabled(false);
    EXPECT_EQ(nullptr, control.FindControl(AnswerEveryone, &point, hit));
}

bool StopEvents(void*)
{
    return false;
}

bool PassEvents(void*)
{
    return true;
}

TEST(ControlEvents, OnEventListenersCanStopDoEvent)
{
    EventRecorder control;
    TEventUI event = MakeEvent(Facet::UIEVENT_MOUSEMOVE, &control);
    control.Event(event);
    EXPECT_EQ(std::vector<int>{Facet::UIEVENT_MOUSEMOVE}, control.received);

    control.OnEvent += &PassEvents;
    control.Event(event);
    EXPECT_EQ(2u, control.received.size());

    control.OnEvent += &StopEvents;
    control.Event(event);
    EXPECT_EQ(2u, control.received.size());
}

TEST(ControlEvents, UnhandledEventsBubbleToTheParent)
{
    EventRecorder root;
    EventRecorder middle;
    CControlUI leaf;
    middle.SetManager(nullptr, &root, false);
    leaf.SetManager(nullptr, &middle, false);

    TEventUI click = MakeEvent(Facet::UIEVENT_BUTTONDOWN, &leaf);
    leaf.Event(click);
    EXPECT_EQ(std::vector<int>{Facet::UIEVENT_BUTTONDOWN}, middle.received);
    EXPECT_EQ(std::vector<int>{Facet::UIEVENT_BUTTONDOWN}, root.received);

    // A context menu bubbles unless the control uses menus.
    TEventUI menu = MakeEvent(Facet::UIEVENT_CONTEXTMENU, &leaf);
    leaf.Event(menu);
    EXPECT_EQ(2u, root.received.size());
    leaf.SetContextMenuUsed(true);
    leaf.Event(menu);
    EXPECT_EQ(2u, root.received.size());

    // Focus, cursor and timer events are handled by the control itself.
    for (int type :
         {Facet::UIEVENT_SETFOCUS, Facet::UIEVENT_KILLFOCUS, Facet::UIEVENT_SETCURSOR, Facet::UIEVENT_TIMER}) {
        TEventUI event = MakeEvent(type, &leaf);
        leaf.Event(event);
    }
    EXPECT_EQ(2u, root.received.size());
}

TEST(ControlEvents, FocusEventsSetTheFocusedFlag)
{
    CControlUI control;
    TEventUI setFocus = MakeEvent(Facet::UIEVENT_SETFOCUS, &control);
    control.Event(setFocus);
    EXPECT_TRUE(control.IsFocused());
    TEventUI killFocus = MakeEvent(Facet::UIEVENT_KILLFOCUS, &control);
    control.Event(killFocus);
    EXPECT_FALSE(control.IsFocused());

    control.Event(setFocus);
    control.SetVisible(false);
    EXPECT_FALSE(control.IsFocused());
}

TEST(ControlText, SetTextStoresNewTextAndResourceTextIsLookedUp)
{
    CControlUI control;
    control.SetText(L"greeting");
    EXPECT_EQ(0, control.GetText().Compare(L"greeting"));
    control.SetText(nullptr);
    EXPECT_TRUE(control.GetText().IsEmpty());

    control.SetText(L"ctl_test_key");
    control.SetResourceText(true);
    EXPECT_TRUE(control.IsResourceText());
    // An id without a stored text reads as the id itself.
    EXPECT_EQ(0, control.GetText().Compare(L"ctl_test_key"));
    ASSERT_TRUE(Facet::CResourceManager::GetInstance()->LoadLanguage(
        L"<Language><Text id=\"ctl_test_key\" value=\"Hello\"/></Language>"));
    EXPECT_EQ(0, control.GetText().Compare(L"Hello"));
    Facet::CResourceManager::GetInstance()->ResetTextMap();
}

} // namespace
