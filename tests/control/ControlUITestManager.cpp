// Controls attached to a paint manager bound to a real (hidden) window: names,
// focus, notifications, invalidation and the manager's clean-up when a
// control is destroyed.
#include "../support/ControlTestSupport.h"

#include "core/PaintManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Facet::CControlUI;
using Facet::CPaintManagerUI;
using Facet::TEventUI;
using Facet::TNotifyUI;
using testsupport::MakeEvent;

namespace {

const wchar_t kWindowClass[] = L"FacetControlTestWindow";

HWND CreateTestWindow()
{
    static const bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassW(&wc) != 0;
    }();
    if (!registered)
        return nullptr;
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kWindowClass, L"", WS_POPUP, 0, 0, 200, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd != nullptr)
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    return hwnd;
}

struct TReceived
{
    std::wstring type;
    CControlUI* sender;
    WPARAM wParam;
    LPARAM lParam;
    std::wstring virtualWnd;
};

class Listener : public Facet::INotifyUI
{
public:
    void Notify(TNotifyUI& msg) override
    {
        received.push_back(
            TReceived{msg.sType.GetData(), msg.pSender, msg.wParam, msg.lParam, msg.sVirtualWnd.GetData()});
    }
    std::vector<TReceived> received;
};

int& Sizes()
{
    static int sizes = 0;
    return sizes;
}

bool CountSize(void*)
{
    ++Sizes();
    return true;
}

class ControlWithManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hwnd = CreateTestWindow();
        ASSERT_NE(nullptr, hwnd);
        manager = new CPaintManagerUI;
        manager->Init(hwnd);
        manager->AddNotifier(&listener);
        root = new CControlUI;
        root->SetName(L"root");
        root->SetPos(RECT{0, 0, 200, 200});
        ASSERT_TRUE(manager->AttachDialog(root));
    }
    void TearDown() override
    {
        // The base control is no container: the children are freed here, the
        // manager destroys the root.
        for (CControlUI* child : children)
            child->Delete();
        children.clear();
        delete manager;
        if (hwnd != nullptr)
            DestroyWindow(hwnd);
    }

    // A child of the root that the manager knows.
    CControlUI* AddChild(const wchar_t* name, RECT pos)
    {
        CControlUI* child = new CControlUI;
        child->SetName(name);
        children.push_back(child);
        manager->InitControls(child, root);
        child->SetPos(pos);
        return child;
    }

    bool HasUpdate(RECT* rc = nullptr)
    {
        RECT local = {};
        return GetUpdateRect(hwnd, rc != nullptr ? rc : &local, FALSE) != FALSE;
    }
    void Validate() { ValidateRect(hwnd, nullptr); }

    void DeleteChild(CControlUI* child)
    {
        for (auto it = children.begin(); it != children.end(); ++it) {
            if (*it == child) {
                children.erase(it);
                break;
            }
        }
        child->Delete();
    }

    std::vector<std::wstring> Types() const
    {
        std::vector<std::wstring> types;
        for (const TReceived& r : listener.received)
            types.push_back(r.type);
        return types;
    }

    HWND hwnd = nullptr;
    CPaintManagerUI* manager = nullptr;
    CControlUI* root = nullptr;
    std::vector<CControlUI*> children;
    Listener listener;
};

TEST_F(ControlWithManager, RenamingMovesTheNameMapEntry)
{
    EXPECT_EQ(root, manager->FindControl(L"root"));
    root->SetName(L"renamed");
    EXPECT_EQ(0, root->GetName().Compare(L"renamed"));
    EXPECT_EQ(root, manager->FindControl(L"renamed"));
    EXPECT_EQ(nullptr, manager->FindControl(L"root"));

    // A name already in use is refused and both controls keep theirs.
    CControlUI* other = AddChild(L"other", RECT{0, 0, 10, 10});
    EXPECT_EQ(other, manager->FindControl(L"other"));
    root->SetName(L"other");
    EXPECT_EQ(0, root->GetName().Compare(L"renamed"));
    EXPECT_EQ(other, manager->FindControl(L"other"));
    EXPECT_EQ(root, manager->FindControl(L"renamed"));

    // A destroyed control leaves the map under its current name.
    other->SetName(L"third");
    DeleteChild(other);
    EXPECT_EQ(nullptr, manager->FindControl(L"third"));
    EXPECT_EQ(nullptr, manager->FindControl(L"other"));
}

TEST_F(ControlWithManager, FocusGoesThroughTheManagerAndIsReleasedWhenHidden)
{
    CControlUI* child = AddChild(L"child", RECT{10, 10, 50, 50});
    child->SetFocus();
    EXPECT_EQ(child, manager->GetFocus());
    EXPECT_TRUE(child->IsFocused());
    ASSERT_FALSE(listener.received.empty());
    EXPECT_EQ(L"setfocus", listener.received.back().type);
    EXPECT_EQ(child, listener.received.back().sender);

    child->SetVisible(false);
    EXPECT_EQ(nullptr, manager->GetFocus());
    EXPECT_FALSE(child->IsFocused());
    EXPECT_EQ(L"killfocus", listener.received.back().type);

    child->SetVisible(true);
    child->SetFocus();
    child->SetInternVisible(false);
    EXPECT_EQ(nullptr, manager->GetFocus());
}

TEST_F(ControlWithManager, DestroyedFocusControlIsForgottenByTheManager)
{
    CControlUI* child = AddChild(L"child", RECT{10, 10, 50, 50});
    child->SetFocus();
    ASSERT_EQ(child, manager->GetFocus());
    DeleteChild(child);
    EXPECT_EQ(nullptr, manager->GetFocus());
    EXPECT_EQ(nullptr, manager->FindControl(L"child"));
}

TEST_F(ControlWithManager, TimerAndMenuEventsBecomeNotifications)
{
    CControlUI* child = AddChild(L"child", RECT{10, 10, 50, 50});
    child->SetVirtualWnd(L"page");
    listener.received.clear();

    TEventUI timer = MakeEvent(Facet::UIEVENT_TIMER, child);
    timer.wParam = 7;
    timer.lParam = 9;
    child->Event(timer);
    ASSERT_EQ(1u, listener.received.size());
    EXPECT_EQ(L"timer", listener.received[0].type);
    EXPECT_EQ(child, listener.received[0].sender);
    EXPECT_EQ(7u, listener.received[0].wParam);
    EXPECT_EQ(9, listener.received[0].lParam);
    EXPECT_EQ(L"page", listener.received[0].virtualWnd);

    TEventUI menu = MakeEvent(Facet::UIEVENT_CONTEXTMENU, child);
    child->Event(menu);
    EXPECT_EQ(1u, listener.received.size());
    child->SetContextMenuUsed(true);
    child->Event(menu);
    EXPECT_EQ((std::vector<std::wstring>{L"timer", L"menu"}), Types());
}

TEST_F(ControlWithManager, InvalidationIsClippedByTheParents)
{
    root->SetPos(RECT{0, 0, 100, 100});
    CControlUI* child = AddChild(L"child", RECT{80, 80, 150, 150});
    Validate();
    child->Invalidate();
    RECT update = {};
    ASSERT_TRUE(HasUpdate(&update));
    EXPECT_TRUE(testsupport::SameRect(RECT{80, 80, 100, 100}, update));

    // Entirely outside the parent: nothing.
    child->SetPos(RECT{120, 120, 150, 150}, false);
    Validate();
    child->Invalidate();
    EXPECT_FALSE(HasUpdate());

    // A hidden control invalidates nothing.
    child->SetPos(RECT{10, 10, 20, 20}, false);
    child->SetVisible(false);
    Validate();
    child->Invalidate();
    EXPECT_FALSE(HasUpdate());
}

TEST_F(ControlWithManager, SettersInvalidateOnlyOnChange)
{
    CControlUI* child = AddChild(L"child", RECT{10, 10, 50, 50});
    child->SetText(L"same");
    Validate();
    child->SetText(L"same");
    EXPECT_FALSE(HasUpdate());
    child->SetText(L"other");
    EXPECT_TRUE(HasUpdate());

    Validate();
    child->SetBkColor(0xFF102030u);
    EXPECT_TRUE(HasUpdate());
    Validate();
    child->SetBkColor(0xFF102030u);
    EXPECT_FALSE(HasUpdate());
}

TEST_F(ControlWithManager, SetPosFiresOnSizeAndInvalidatesOldAndNewArea)
{
    CControlUI* child = AddChild(L"child", RECT{10, 10, 20, 20});
    Sizes() = 0;
    child->OnSize += &CountSize;
    Validate();
    child->SetPos(RECT{30, 30, 40, 40});
    EXPECT_EQ(1, Sizes());
    EXPECT_FALSE(child->IsUpdateNeeded());
    RECT update = {};
    ASSERT_TRUE(HasUpdate(&update));
    EXPECT_TRUE(testsupport::SameRect(RECT{10, 10, 40, 40}, update));

    // Under a hidden parent nothing is invalidated.
    root->SetVisible(false);
    Validate();
    child->SetPos(RECT{50, 50, 60, 60});
    EXPECT_FALSE(HasUpdate());
    root->SetVisible(true);

    child->NeedUpdate();
    EXPECT_TRUE(child->IsUpdateNeeded());
    EXPECT_TRUE(manager->IsUpdateNeeded());
}

TEST_F(ControlWithManager, CoverJoinsTheManagerAndFollowsTheControl)
{
    CControlUI* child = AddChild(L"child", RECT{10, 10, 60, 40});
    CControlUI* cover = new CControlUI;
    cover->SetName(L"cover");
    child->SetCover(cover);
    EXPECT_EQ(manager, cover->GetManager());
    EXPECT_EQ(child, cover->GetParent());
    EXPECT_EQ(cover, manager->FindControl(L"cover"));

    cover->SetMaxWidth(30);
    child->SetPos(RECT{20, 20, 80, 50});
    EXPECT_TRUE(testsupport::SameRect(RECT{20, 20, 50, 50}, cover->GetPos()));

    // A floating cover is anchored inside the control by its own percentages.
    cover->SetFloat(true);
    cover->SetFloatPercent(Facet::TPercentInfo{0.5, 0.0, 0.5, 0.0});
    cover->SetFixedXY(SIZE{0, 5});
    cover->SetFixedWidth(10);
    cover->SetFixedHeight(10);
    child->SetPos(RECT{20, 20, 80, 50});
    EXPECT_TRUE(testsupport::SameRect(RECT{50, 25, 60, 35}, cover->GetPos()));

    child->SetCover(nullptr);
    EXPECT_EQ(nullptr, manager->FindControl(L"cover"));
}

TEST_F(ControlWithManager, BackgroundImageLoadsThroughTheManagerAndSizesAFloatingControl)
{
    CControlUI* child = AddChild(L"child", RECT{0, 0, 0, 0});
    child->SetFloat(true);
    child->SetBkImage(L"color='#FFFF0000' dest='0,0,1,1'");
    EXPECT_STREQ(L"color='#FFFF0000' dest='0,0,1,1'", child->GetBkImage());
    EXPECT_EQ(1, child->GetFixedWidth());
    EXPECT_EQ(1, child->GetFixedHeight());
}

} // namespace
