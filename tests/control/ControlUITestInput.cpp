// Mouse and keyboard through real windows: links of a text, dragging a
// slider, the date picker, the Tab key leaving a rich edit, and the
// component host's "showactivex" reaching a template window.
#include "Facet.h"

#include "../support/ControlTestSupport.h"
#include "../support/TestFiles.h"
#include "../support/TestWindow.h"
#include "../support/ControlInputSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Facet;
using testsupport::NotifyLog;
using testsupport::TestWindow;

namespace {

POINT Centre(const RECT& rc)
{
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

} // namespace

TEST(TextLinks, ClickOnALinkRaisesLinkWithItsIndex)
{
    TestWindow window(300, 60);
    NotifyLog log;
    window.manager.AddNotifier(&log);
    auto* text = new CTextUI();
    text->SetAttributeList(L"showhtml=\"true\"");
    text->SetText(L"{a first}one{/a} plain words {a second}two{/a}");
    window.manager.AttachDialog(text);
    window.Pump();

    ASSERT_EQ(text->GetLinkCount(), 2);
    ASSERT_NE(text->GetLinkContent(0), nullptr);
    EXPECT_EQ(*text->GetLinkContent(0), L"first");
    EXPECT_EQ(*text->GetLinkContent(1), L"second");
    EXPECT_EQ(text->GetLinkContent(2), nullptr);
    EXPECT_EQ(text->GetLinkContent(-1), nullptr);
    const RECT first = *text->GetLinkRect(0);
    const RECT second = *text->GetLinkRect(1);
    ASSERT_FALSE(IsRectEmpty(&first));
    ASSERT_LT(first.right, second.left);

    const POINT p = Centre(second);
    window.ButtonDown(p.x, p.y);
    window.ButtonUp(p.x, p.y);
    ASSERT_EQ(log.Count(L"link"), 1);
    EXPECT_EQ(log.Last(L"link")->wParam, 1u);
    EXPECT_EQ(log.Last(L"link")->pSender, text);

    // Between the links: no link. Down on one link and up on the other: none.
    const int between = (first.right + second.left) / 2;
    window.ButtonDown(between, p.y);
    window.ButtonUp(between, p.y);
    const POINT q = Centre(first);
    window.ButtonDown(q.x, q.y);
    window.ButtonUp(p.x, p.y);
    EXPECT_EQ(log.Count(L"link"), 1);

    window.ButtonDown(q.x, q.y);
    window.ButtonUp(q.x, q.y);
    ASSERT_EQ(log.Count(L"link"), 2);
    EXPECT_EQ(log.Last(L"link")->wParam, 0u);
    window.manager.RemoveNotifier(&log);
}

TEST(TextLinks, PlainTextHasNoLinks)
{
    TestWindow window(300, 60);
    auto* text = new CTextUI();
    text->SetText(L"{a first}one{/a}");
    window.manager.AttachDialog(text);
    window.Pump();
    EXPECT_EQ(text->GetLinkCount(), 0);
    EXPECT_EQ(text->HitTestLink(POINT{5, 5}), -1);
}

class Slider : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.manager.AddNotifier(&log);
        slider = new CSliderUI();
        // 110 pixels wide with a 10-pixel thumb: the thumb travels 100
        // pixels over the values 0..100, one value a pixel.
        slider->SetAttributeList(L"min=\"0\" max=\"100\" thumbsize=\"10,10\"");
        window.manager.AttachDialog(slider);
        window.Pump();
    }
    void TearDown() override { window.manager.RemoveNotifier(&log); }

    testsupport::ScopedDpi dpi{96};
    TestWindow window{110, 20};
    NotifyLog log;
    CSliderUI* slider = nullptr;
};

TEST_F(Slider, DraggingTheThumbSetsTheValueAndReportsOnce)
{
    EXPECT_TRUE(testsupport::SameRect(slider->GetThumbRect(), RECT{0, 5, 10, 15}));
    window.ButtonDown(5, 10);
    EXPECT_EQ(slider->GetValue(), 0);
    window.MouseMove(30, 10, MK_LBUTTON);
    window.MouseMove(55, 10, MK_LBUTTON);
    EXPECT_EQ(slider->GetValue(), 50);
    EXPECT_EQ(log.Count(L"valuechanged"), 0);
    // Past the end the value stops at the maximum, and comes back.
    window.MouseMove(500, 10, MK_LBUTTON);
    EXPECT_EQ(slider->GetValue(), 100);
    window.MouseMove(80, 10, MK_LBUTTON);
    window.ButtonUp(80, 10);
    EXPECT_EQ(slider->GetValue(), 75);
    EXPECT_TRUE(testsupport::SameRect(slider->GetThumbRect(), RECT{75, 5, 85, 15}));
    ASSERT_EQ(log.Count(L"valuechanged"), 1);
    EXPECT_EQ(log.Last(L"valuechanged")->pSender, slider);

    // A drag that ends where it began reports nothing.
    window.ButtonDown(80, 10);
    window.MouseMove(40, 10, MK_LBUTTON);
    window.MouseMove(80, 10, MK_LBUTTON);
    window.ButtonUp(80, 10);
    EXPECT_EQ(log.Count(L"valuechanged"), 1);
}

TEST_F(Slider, ARailClickJumpsAndStepsSnap)
{
    slider->SetChangeStep(10);
    window.ButtonDown(38, 10); // value 33, snapped to 30
    EXPECT_EQ(slider->GetValue(), 30);
    window.ButtonUp(38, 10);
    EXPECT_EQ(log.Count(L"valuechanged"), 1);

    TEventUI key = {};
    key.Type = UIEVENT_KEYDOWN;
    key.chKey = VK_RIGHT;
    slider->Event(key);
    EXPECT_EQ(slider->GetValue(), 40);
    EXPECT_EQ(log.Count(L"valuechanged"), 2);
}

TEST_F(Slider, TheWheelAndKeysStepButNotWhileTheMouseDrags)
{
    slider->SetChangeStep(10);
    slider->SetValue(50);
    TEventUI wheel = {};
    wheel.Type = UIEVENT_SCROLLWHEEL;
    wheel.wParam = 0; // away from the user: up
    slider->Event(wheel);
    EXPECT_EQ(slider->GetValue(), 60);
    wheel.wParam = 1;
    slider->Event(wheel);
    slider->Event(wheel);
    EXPECT_EQ(slider->GetValue(), 40);
    TEventUI key = {};
    key.Type = UIEVENT_KEYDOWN;
    key.chKey = VK_DOWN;
    slider->Event(key);
    EXPECT_EQ(slider->GetValue(), 30);
    key.chKey = 'A'; // not a step key
    slider->Event(key);
    EXPECT_EQ(slider->GetValue(), 30);
    const int reports = log.Count(L"valuechanged");
    EXPECT_EQ(reports, 4);

    // While the thumb is held, keys and the wheel change nothing.
    const RECT thumb = slider->GetThumbRect();
    const int x = (thumb.left + thumb.right) / 2, y = (thumb.top + thumb.bottom) / 2;
    window.ButtonDown(x, y);
    key.chKey = VK_UP;
    slider->Event(key);
    slider->Event(wheel);
    EXPECT_EQ(slider->GetValue(), 30);
    window.ButtonUp(x, y);
}

TEST_F(Slider, ImmediateModeReportsEveryChange)
{
    slider->SetImmMode(true);
    window.ButtonDown(5, 10);
    window.MouseMove(25, 10, MK_LBUTTON);
    window.MouseMove(26, 10, MK_LBUTTON);
    window.MouseMove(26, 10, MK_LBUTTON); // no change, no report
    window.ButtonUp(26, 10);
    EXPECT_EQ(slider->GetValue(), 21);
    EXPECT_EQ(log.Count(L"valuechanged"), 2);
}

TEST_F(Slider, DisabledSliderIgnoresTheMouse)
{
    slider->SetEnabled(false);
    window.ButtonDown(60, 10);
    window.ButtonUp(60, 10);
    EXPECT_EQ(slider->GetValue(), 0);
    EXPECT_EQ(log.Count(L"valuechanged"), 0);
}

class DateTime : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = new CContainerUI();
        date = new CDateTimeUI();
        root->Add(date);
        window.manager.AttachDialog(root);
        window.Pump();
    }

    static SYSTEMTIME Date(WORD year, WORD month, WORD day)
    {
        SYSTEMTIME time = {};
        time.wYear = year;
        time.wMonth = month;
        time.wDay = day;
        return time;
    }

    TestWindow window{200, 40};
    CContainerUI* root = nullptr;
    CDateTimeUI* date = nullptr;
};

TEST_F(DateTime, StartsWithTodayAsText)
{
    SYSTEMTIME today = {};
    GetLocalTime(&today);
    EXPECT_EQ(date->GetText(), CDateTimeUI::FormatDate(today).GetData());
    EXPECT_EQ(date->GetNativeWindow(), nullptr);
}

TEST_F(DateTime, AClickOpensThePickerAndTheChosenDateBecomesTheText)
{
    date->SetTime(Date(2020, 1, 2));
    window.ButtonDown(20, 20);
    window.ButtonUp(20, 20);
    const HWND picker = date->GetNativeWindow();
    ASSERT_NE(picker, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(picker, className, 64);
    EXPECT_STREQ(className, L"DateTimeWnd");
    EXPECT_EQ(GetParent(picker), window.Handle());
    SYSTEMTIME shown = {};
    ASSERT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)), GDT_VALID);
    EXPECT_EQ(shown.wYear, 2020);
    EXPECT_EQ(shown.wDay, 2);

    // The user picks a date: the picker changes and tells its parent.
    SYSTEMTIME picked = Date(2021, 3, 4);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
    NMDATETIMECHANGE change = {};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = picked;
    window.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(date->GetText(), L"2021-03-04");
    EXPECT_EQ(date->GetTime().wMonth, 3);

    // Closing keeps the last date and lets the control open a new picker.
    picked = Date(2022, 5, 6);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
    SendMessageW(picker, WM_CLOSE, 0, 0);
    window.Pump();
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(date->GetNativeWindow(), nullptr);
    EXPECT_EQ(date->GetText(), L"2022-05-06");
    window.ButtonDown(20, 20);
    window.ButtonUp(20, 20);
    EXPECT_NE(date->GetNativeWindow(), nullptr);
}

TEST_F(DateTime, ReadOnlyOpensNothingAndRemovalClosesThePicker)
{
    date->SetReadOnly(true);
    window.ButtonDown(20, 20);
    EXPECT_EQ(date->GetNativeWindow(), nullptr);
    window.ButtonUp(20, 20);

    date->SetReadOnly(false);
    window.ButtonDown(20, 20);
    window.ButtonUp(20, 20);
    const HWND picker = date->GetNativeWindow();
    ASSERT_NE(picker, nullptr);
    root->Remove(date);
    window.Pump();
    EXPECT_FALSE(IsWindow(picker));
}

TEST(RichEditKeys, TabLeavesUnlessItWantsTabsAndCtrlTabAlwaysLeaves)
{
    TestWindow window(200, 100);
    auto* root = new CVerticalLayoutUI();
    auto* rich = new CRichEditUI();
    auto* button = new CButtonUI();
    root->Add(rich);
    root->Add(button);
    window.manager.AttachDialog(root);
    window.Pump();

    // By default Tab moves on: the keyboard focus can always leave.
    EXPECT_FALSE(rich->IsWantTab());
    rich->SetFocus();
    ASSERT_EQ(window.manager.GetFocus(), rich);
    LRESULT result = 0;
    EXPECT_TRUE(window.manager.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, result));
    EXPECT_EQ(window.manager.GetFocus(), button);

    // "wanttab" keeps Tab for the text...
    rich->SetAttribute(L"wanttab", L"true");
    rich->SetFocus();
    EXPECT_FALSE(window.manager.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, result));
    EXPECT_EQ(window.manager.GetFocus(), rich);
    // ...but Ctrl+Tab still moves on.
    {
        testsupport::ScopedHeldKeys ctrl({VK_CONTROL});
        ASSERT_LT(GetKeyState(VK_CONTROL), 0);
        EXPECT_TRUE(window.manager.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, result));
    }
    EXPECT_EQ(window.manager.GetFocus(), button);
}

TEST(ActiveXNotice, AsksForItsComponentOnceWhenItWouldCreateIt)
{
    // The probe component stays loaded for the test.
    const HMODULE probeModule = LoadLibraryW(testsupport::ProbeModulePath().c_str());
    ASSERT_NE(probeModule, nullptr);
    TestWindow window(200, 100);
    NotifyLog log;
    window.manager.AddNotifier(&log);
    auto* root = new CVerticalLayoutUI();
    auto* now = new CActiveXUI();
    auto* later = new CActiveXUI();
    for (CActiveXUI* host : {now, later}) {
        host->SetAttribute(L"clsid", L"{6C0E7A31-2B1D-4F57-9A6E-3D1C5B8F0A02}");
        host->SetAttribute(L"modulename", testsupport::ProbeModulePath().c_str());
    }
    later->SetAttribute(L"delaycreate", L"true");
    root->Add(now);
    root->Add(later);
    window.manager.AttachDialog(root);

    // Joining the window creates the immediate one, announced from the
    // queue; the delayed one waits for its first paint.
    EXPECT_TRUE(now->IsCreated());
    EXPECT_FALSE(later->IsCreationRequested());
    EXPECT_EQ(log.Count(L"showactivex"), 0);
    MSG msg;
    while (PeekMessageW(&msg, window.Handle(), WM_FACET_ASYNC_NOTIFY, WM_FACET_ASYNC_NOTIFY, PM_REMOVE))
        DispatchMessageW(&msg);
    ASSERT_EQ(log.Count(L"showactivex"), 1);
    EXPECT_EQ(log.Last(L"showactivex")->pSender, now);

    window.Pump();
    ASSERT_EQ(log.Count(L"showactivex"), 2);
    EXPECT_EQ(log.Last(L"showactivex")->pSender, later);
    // Created once: later paints and requests ask no more.
    EXPECT_TRUE(later->CreateControl());
    window.manager.Invalidate();
    window.Pump();
    EXPECT_EQ(log.Count(L"showactivex"), 2);
    window.manager.RemoveNotifier(&log);
    window.manager.AttachDialog(new CVerticalLayoutUI());
    window.Pump();
    FreeLibrary(probeModule);
}

namespace {

// A window of the template whose skin holds a component host. The window
// registers itself as a listener only after its tree has joined it, as every
// template window does.
class ComponentSkinWindow : public WindowImplBase
{
public:
    ~ComponentSkinWindow() override
    {
        if (IsWindow(GetHWND()))
            DestroyWindow(GetHWND());
    }
    const wchar_t* GetWndClassName() const override { return L"FacetComponentTestWindow"; }
    CFacetString GetSkinDirectory() override { return CFacetString(L""); }
    CFacetString GetSkinFileName() override { return CFacetString(L"component.xml"); }
    void Notify(TNotifyUI& msg) override
    {
        heard.push_back(msg.sType.GetData());
        WindowImplBase::Notify(msg);
    }
    // Delivers what is queued through the framework's translation, as its loop does.
    void Pump()
    {
        UpdateWindow(GetHWND());
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CPaintManagerUI::TranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    int Heard(const wchar_t* type) const
    {
        int n = 0;
        for (const auto& entry : heard)
            n += entry == type ? 1 : 0;
        return n;
    }
    std::vector<std::wstring> heard;
};

} // namespace

TEST(ActiveXNotice, ATemplateWindowHearsShowActiveXOfAComponentCreatedWithItsTree)
{
    const std::wstring folder = testsupport::FreshTempFolder(L"activex-skin");
    const HMODULE probeModule = LoadLibraryW(testsupport::ProbeModulePath().c_str());
    ASSERT_NE(probeModule, nullptr);
    std::string modulePath;
    for (wchar_t ch : testsupport::ProbeModulePath())
        modulePath += static_cast<char>(ch);
    testsupport::WriteFileText(folder + L"\\component.xml",
                               "<Window size=\"240,120\"><VerticalLayout>"
                               "<ActiveX name=\"component\" clsid=\"{6C0E7A31-2B1D-4F57-9A6E-3D1C5B8F0A02}\" "
                               "modulename=\"" +
                                   modulePath +
                                   "\"/>"
                                   "</VerticalLayout></Window>");
    testsupport::ScopedResourcePath path(folder + L"\\");
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    ComponentSkinWindow window;
    ASSERT_NE(window.Create(nullptr, L"component", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0), nullptr);
    window.Pump();
    EXPECT_EQ(window.Heard(L"showactivex"), 1);
    DestroyWindow(window.GetHWND());
    FreeLibrary(probeModule);
    DeleteFileW((folder + L"\\component.xml").c_str());
    RemoveDirectoryW(folder.c_str());
}
