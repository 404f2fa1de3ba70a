// Painting clipped to the client area, hit testing with every search flag,
// children removed while the container paints or handles input, mouse
// routing of disabled containers, and separators dragged in a real window.
#include "../support/LayoutTestSupport.h"

#include "../support/DibCanvas.h"
#include "../support/TestWindow.h"
#include "core/DialogBuilder.h"

using namespace Facet;
using namespace testsupport;
using testsupport::DibCanvas;

namespace {

const uint32_t kBlue = 0x0000FF;
const uint32_t kRed = 0xFF0000;
const uint32_t kGreen = 0x00FF00;

TEST(ContainerPaint, ChildrenAreClippedToTheClientAreaButFloatingOnesAreNot)
{
    ScopedDpi dpi(96);
    DibCanvas canvas(100, 100);
    canvas.Fill(0);
    CVerticalLayoutUI layout;
    layout.SetBkColor(0xFF000000 | kBlue);
    layout.SetInset(RECT{10, 10, 10, 10});
    Box* wide = new Box;
    wide->SetMinWidth(200); // overflows the inset area to the right
    wide->SetBkColor(0xFF000000 | kRed);
    layout.Add(wide);
    Box* floating = new Box;
    floating->SetAttribute(L"pos", L"0,0,5,5");
    floating->SetAttribute(L"float", L"true");
    floating->SetBkColor(0xFF000000 | kGreen);
    layout.Add(floating);
    layout.SetPos(RECT{0, 0, 100, 100});

    EXPECT_TRUE(layout.Paint(canvas.Dc(), RECT{0, 0, 100, 100}, nullptr));
    EXPECT_EQ(canvas.Rgb(50, 50), kRed);
    EXPECT_EQ(canvas.Rgb(95, 50), kBlue); // the child's part under the inset
    EXPECT_EQ(canvas.Rgb(50, 5), kBlue);
    EXPECT_EQ(canvas.Rgb(2, 2), kGreen); // floating, outside the client area

    // A paint rectangle that misses the client area paints only the float.
    wide->paints = 0;
    layout.Paint(canvas.Dc(), RECT{0, 0, 8, 8}, nullptr);
    EXPECT_EQ(wide->paints, 0);

    // Stopping at a child reports it.
    EXPECT_FALSE(layout.Paint(canvas.Dc(), RECT{0, 0, 100, 100}, floating));
}

TEST(ContainerPaint, ScrollBarPartsArePaintedInTheirColours)
{
    ScopedDpi dpi(96);
    DibCanvas canvas(100, 100);
    canvas.Fill(0);
    CVerticalLayoutUI layout;
    layout.SetAttribute(L"vscrollbarstyle", L"button1color=\"#FFFF0000\" button2color=\"#FF00FF00\" "
                                            L"thumbcolor=\"#FF0000FF\" bkcolor=\"#FF102030\"");
    for (int i = 0; i < 4; ++i)
        layout.Add(new Box(0, 50));
    layout.SetPos(RECT{0, 0, 100, 100});
    layout.Paint(canvas.Dc(), RECT{0, 0, 100, 100}, nullptr);
    EXPECT_EQ(canvas.Rgb(90, 5), kRed);       // upper button
    EXPECT_EQ(canvas.Rgb(90, 95), kGreen);    // lower button
    EXPECT_EQ(canvas.Rgb(90, 20), kBlue);     // thumb at the top
    EXPECT_EQ(canvas.Rgb(90, 80), 0x102030u); // track
}

TEST(ContainerPaint, ChildrenRemovedDuringPaintAreNeitherTouchedNorSkipped)
{
    // A child that removes its earlier sibling (destroyed at once) while
    // it paints.
    class Remover : public Box
    {
    public:
        bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop) override
        {
            if (victim != nullptr) {
                static_cast<CContainerUI*>(GetParent())->Remove(victim);
                victim = nullptr;
            }
            return Box::DoPaint(hDC, rcPaint, stop);
        }
        CControlUI* victim = nullptr;
    };

    DibCanvas canvas(100, 100);
    CContainerUI container;
    bool destroyed = false;
    Box* first = new Box(0, 0, &destroyed);
    Remover* remover = new Remover;
    Box* next = new Box;
    Box* last = new Box;
    container.Add(first);
    container.Add(remover);
    container.Add(next);
    container.Add(last);
    container.SetPos(RECT{0, 0, 100, 100});
    remover->victim = first;
    EXPECT_TRUE(container.Paint(canvas.Dc(), RECT{0, 0, 100, 100}, nullptr));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(remover->paints, 1);
    EXPECT_EQ(next->paints, 1);
    EXPECT_EQ(last->paints, 1);

    remover->victim = next; // a later sibling
    EXPECT_TRUE(container.Paint(canvas.Dc(), RECT{0, 0, 100, 100}, nullptr));
    EXPECT_EQ(last->paints, 2);
    EXPECT_EQ(container.GetCount(), 2);
}

CControlUI* CALLBACK Answer(CControlUI* control, LPVOID)
{
    return control;
}

CControlUI* CALLBACK AnswerBoxesOnly(CControlUI* control, LPVOID)
{
    return dynamic_cast<Box*>(control);
}

// Answers only the control passed as the search data.
CControlUI* CALLBACK AnswerTheData(CControlUI* control, LPVOID data)
{
    return control == static_cast<CControlUI*>(data) ? control : nullptr;
}

TEST(ContainerFind, HitTestsRespectInsetOrderAndMouseFlags)
{
    ScopedDpi dpi(96);
    CContainerUI container;
    container.SetInset(RECT{10, 10, 10, 10});
    Box* bottom = new Box;
    Box* top = new Box;
    container.Add(bottom);
    container.Add(top);
    Box* floating = new Box;
    floating->SetAttribute(L"pos", L"0,0,5,5");
    floating->SetAttribute(L"float", L"true");
    container.Add(floating);
    container.SetPos(RECT{0, 0, 100, 100});

    POINT inside = {50, 50};
    POINT inInset = {95, 95};
    POINT corner = {2, 2};
    POINT outside = {150, 50};
    const UINT hit = UIFIND_VISIBLE | UIFIND_HITTEST;
    EXPECT_EQ(container.FindControl(Answer, &inside, hit), bottom);
    EXPECT_EQ(container.FindControl(Answer, &inside, hit | UIFIND_TOP_FIRST), top);
    EXPECT_EQ(container.FindControl(Answer, &inside, hit | UIFIND_ME_FIRST), &container);
    EXPECT_EQ(container.FindControl(Answer, &inInset, hit), &container);
    EXPECT_EQ(container.FindControl(Answer, &corner, hit), floating);
    EXPECT_EQ(container.FindControl(Answer, &outside, hit), nullptr);

    // A child that overflows into the inset is not hit there.
    bottom->SetMinWidth(200);
    container.SetPos(RECT{0, 0, 100, 100});
    POINT rightInset = {95, 50};
    EXPECT_EQ(container.FindControl(AnswerBoxesOnly, &rightInset, hit), nullptr);
    EXPECT_EQ(container.FindControl(Answer, &rightInset, hit), &container);

    container.SetMouseChildEnabled(false);
    EXPECT_EQ(container.FindControl(Answer, &inside, hit), &container);
    container.SetMouseEnabled(false);
    EXPECT_EQ(container.FindControl(Answer, &inside, hit), nullptr);
    // Searches that are no hit tests ignore the mouse flags.
    EXPECT_EQ(container.FindControl(AnswerBoxesOnly, &inside, UIFIND_VISIBLE), bottom);

    container.SetMouseEnabled(true);
    container.SetMouseChildEnabled(true);
    top->SetVisible(false);
    EXPECT_EQ(container.FindControl(Answer, &inside, hit | UIFIND_TOP_FIRST), bottom);
    container.SetEnabled(false);
    EXPECT_EQ(container.FindControl(Answer, &inside, hit | UIFIND_ENABLED), nullptr);
}

TEST(ContainerFind, UpdateTestSkipsSubtreesTheCallbackClaims)
{
    CContainerUI container;
    auto* inner = new CContainerUI;
    Box* deep = new Box;
    inner->Add(deep);
    container.Add(inner);
    EXPECT_EQ(container.FindControl(AnswerTheData, inner, UIFIND_ALL), inner);
    EXPECT_EQ(container.FindControl(AnswerTheData, inner, UIFIND_UPDATETEST), nullptr);
}

class ContainerInWindow : public testing::Test
{
protected:
    ScopedDpi dpi{96};
    testsupport::TestWindow window{200, 150};
};

TEST_F(ContainerInWindow, AChildMayRemoveItselfWhileHandlingAClick)
{
    class SelfRemover : public Box
    {
    public:
        using Box::Box;
        void DoEvent(TEventUI& event) override
        {
            if (event.Type == UIEVENT_BUTTONUP) {
                static_cast<CContainerUI*>(GetParent())->Remove(this);
                return;
            }
            Box::DoEvent(event);
        }
    };
    auto* root = new CVerticalLayoutUI;
    bool destroyed = false;
    auto* child = new SelfRemover(0, 40, &destroyed);
    Box* rest = new Box;
    root->Add(child);
    root->Add(rest);
    window.manager.AttachDialog(root);
    window.Pump();

    window.ButtonDown(20, 20);
    window.ButtonUp(20, 20);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(root->GetCount(), 1);
    window.Pump();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(R(rest->GetPos()), (Rect{0, 0, 200, 150}));
}

TEST_F(ContainerInWindow, MouseEventsOfADisabledMouseGoToTheParent)
{
    class Recorder : public CVerticalLayoutUI
    {
    public:
        // Only what was sent to `watched`: the window may also get real
        // pointer input from the display.
        void DoEvent(TEventUI& event) override
        {
            if (event.pSender == watched)
                received.push_back(event.Type);
            CVerticalLayoutUI::DoEvent(event);
        }
        CControlUI* watched = nullptr;
        std::vector<int> received;
    };
    auto* root = new Recorder;
    auto* inner = new CHorizontalLayoutUI;
    root->Add(inner);
    root->watched = inner;
    inner->SetMouseEnabled(false);
    window.manager.AttachDialog(root);
    window.Pump();
    TEventUI event = testsupport::MakeEvent(UIEVENT_BUTTONDOWN, inner);
    inner->DoEvent(event);
    ASSERT_EQ(root->received.size(), 1u);
    EXPECT_EQ(root->received[0], UIEVENT_BUTTONDOWN);

    // Focus events change the flag only.
    TEventUI focus = testsupport::MakeEvent(UIEVENT_SETFOCUS, inner);
    inner->DoEvent(focus);
    EXPECT_TRUE(inner->IsFocused());
    EXPECT_EQ(root->received.size(), 1u);
}

TEST_F(ContainerInWindow, ADraggedSeparatorResizesTheLayoutImmediately)
{
    auto* root = new CVerticalLayoutUI;
    auto* pane = new CVerticalLayoutUI;
    pane->SetAttribute(L"height", L"50");
    pane->SetAttribute(L"sepheight", L"6");
    pane->SetAttribute(L"sepimm", L"true");
    Box* below = new Box;
    root->Add(pane);
    root->Add(below);
    window.manager.AttachDialog(root);
    window.Pump();
    EXPECT_EQ(R(pane->GetThumbRect()), (Rect{0, 44, 200, 50}));
    EXPECT_EQ(pane->GetControlFlags(), static_cast<UINT>(UIFLAG_SETCURSOR));

    window.MouseMove(100, 47);
    window.ButtonDown(100, 47);
    window.MouseMove(100, 60, MK_LBUTTON); // 13 down, beyond bottom + separator
    // Lays out without taking queued input: pointer moves of other programs
    // on the display must not reach the drag.
    UpdateWindow(window.Handle());
    EXPECT_EQ(pane->GetFixedHeight(), 63);
    EXPECT_EQ(R(below->GetPos()), (Rect{0, 63, 200, 150}));
    window.MouseMove(100, 62, MK_LBUTTON); // still above bottom + separator: ignored
    EXPECT_EQ(pane->GetFixedHeight(), 63);
    window.ButtonUp(100, 62);
    window.Pump();
    EXPECT_EQ(pane->GetHeight(), 63);
}

TEST_F(ContainerInWindow, SwitchingToImmediateModeMidDragStopsTheShading)
{
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"<Window><VBox>"
                                      L"<VBox name=\"pane\" height=\"50\" sepheight=\"6\"/><Control name=\"below\"/>"
                                      L"</VBox></Window>",
                                      nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    window.manager.AttachDialog(root);
    window.Pump();
    auto* pane = static_cast<CVerticalLayoutUI*>(window.manager.FindControl(L"pane"));
    CControlUI* below = window.manager.FindControl(L"below");

    window.ButtonDown(100, 47);
    EXPECT_EQ(window.manager.GetPostPaintCount(), 1); // shading the new place
    pane->SetSepImmMode(true);
    EXPECT_EQ(window.manager.GetPostPaintCount(), 0);
    window.MouseMove(100, 60, MK_LBUTTON); // 13 down: applied at once now
    UpdateWindow(window.Handle());
    EXPECT_EQ(R(below->GetPos()), (Rect{0, 63, 200, 150}));
    window.ButtonUp(100, 60);
    EXPECT_EQ(window.manager.GetPostPaintCount(), 0);
    EXPECT_EQ(pane->GetHeight(), 63);
}

TEST_F(ContainerInWindow, ASeparatorOutsideImmediateModeShowsTheNewPlaceUntilRelease)
{
    auto* root = new CHorizontalLayoutUI;
    auto* pane = new CHorizontalLayoutUI;
    pane->SetAttribute(L"width", L"80");
    pane->SetAttribute(L"sepwidth", L"-4"); // on the left edge
    pane->SetMinWidth(60);
    Box* left = new Box;
    root->Add(left);
    root->Add(pane);
    window.manager.AttachDialog(root);
    window.Pump();
    ASSERT_EQ(R(pane->GetPos()), (Rect{120, 0, 200, 150}));
    EXPECT_EQ(R(pane->GetThumbRect()), (Rect{120, 0, 124, 150}));

    window.ButtonDown(121, 10);
    EXPECT_EQ(window.manager.GetPostPaintCount(), 1);
    window.MouseMove(100, 10, MK_LBUTTON); // 21 to the left: wider
    EXPECT_EQ(R(pane->GetThumbRect(true)), (Rect{99, 0, 103, 150}));
    EXPECT_EQ(pane->GetPos().left, 120);   // not yet applied
    window.MouseMove(150, 10, MK_LBUTTON); // 50 to the right: held at the minimum of 60
    EXPECT_EQ(pane->GetFixedWidth(), 60);
    window.ButtonUp(150, 10);
    EXPECT_EQ(window.manager.GetPostPaintCount(), 0);
    window.Pump();
    EXPECT_EQ(R(pane->GetPos()), (Rect{140, 0, 200, 150}));
    EXPECT_EQ(R(left->GetPos()), (Rect{0, 0, 140, 150}));
}

} // namespace
