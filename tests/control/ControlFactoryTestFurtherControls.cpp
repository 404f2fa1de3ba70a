// The factory's element names of the further controls, their class and
// interface chains, and the attributes each control keeps.
#include "Facet.h"
#include "core/ControlFactory.h"

#include "../support/ControlTestSupport.h"
#include "../support/ControlInputSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Facet;
using testsupport::ControlDeleter;

namespace {

typedef std::unique_ptr<CControlUI, ControlDeleter> ControlPtr;

ControlPtr Make(const wchar_t* element)
{
    return ControlPtr(CreateFactoryControl(element));
}

} // namespace

TEST(FurtherControlFactory, ElementNamesGiveTheirClasses)
{
    const struct
    {
        const wchar_t* element;
        const wchar_t* cls;
    } cases[] = {
        {L"TileLayout", L"TileLayout"},
        {L"ChildLayout", L"ChildLayout"},
        {L"AnimationPane", L"AnimationPane"},
        {L"Text", L"Text"},
        {L"Slider", L"Slider"},
        {L"RichEdit", L"RichEdit"},
        {L"DateTime", L"DateTime"},
        {L"ActiveX", L"ActiveX"},
        {L"WebBrowser", L"WebBrowser"},
        {L"GifAnim", L"GifAnim"},
        {L"VBox", L"VerticalLayout"},
        {L"HBox", L"HorizontalLayout"},
        {L"slider", L"Slider"},
        {L"TILELAYOUT", L"TileLayout"},
        {L"webbrowser", L"WebBrowser"},
    };
    for (const auto& c : cases) {
        ControlPtr control = Make(c.element);
        ASSERT_NE(control, nullptr) << c.element;
        EXPECT_STREQ(control->GetClass(), c.cls) << c.element;
        EXPECT_EQ(control->GetInterface(c.cls), control.get()) << c.element;
    }
}

TEST(FurtherControlFactory, GifAnimMatchesOnlyWithItsCase)
{
    EXPECT_EQ(Make(L"gifanim"), nullptr);
    EXPECT_EQ(Make(L"GIFANIM"), nullptr);
    EXPECT_EQ(Make(L"Gifanim"), nullptr);
    EXPECT_NE(Make(L"GifAnim"), nullptr);
    // A prefix or a longer name is no element either.
    EXPECT_EQ(Make(L"GifAni"), nullptr);
    EXPECT_EQ(Make(L"TextX"), nullptr);
}

TEST(FurtherControlFactory, InterfaceChainsReachEveryBase)
{
    const struct
    {
        const wchar_t* element;
        std::vector<const wchar_t*> answered;
        std::vector<const wchar_t*> refused;
    } cases[] = {
        {L"Text", {L"Text", L"Label", L"Control"}, {L"Button", L"IContainer"}},
        {L"Slider", {L"Slider", L"Progress", L"Label", L"Control"}, {L"Text", L"Button"}},
        {L"DateTime", {L"DateTime", L"Label", L"Control"}, {L"Text"}},
        {L"TileLayout", {L"TileLayout", L"Container", L"IContainer", L"Control"}, {L"VerticalLayout"}},
        {L"ChildLayout", {L"ChildLayout", L"Container", L"IContainer", L"Control"}, {L"TileLayout"}},
        {L"AnimationPane", {L"AnimationPane", L"UIAnimation", L"Container", L"IContainer", L"Control"}, {L"Label"}},
        {L"RichEdit", {L"RichEdit", L"IMessageFilter", L"Container", L"IContainer", L"Control"}, {L"Edit", L"Label"}},
        {L"ActiveX", {L"ActiveX", L"IMessageFilter", L"Control"}, {L"WebBrowser", L"IContainer"}},
        {L"WebBrowser", {L"WebBrowser", L"ActiveX", L"IMessageFilter", L"Control"}, {L"IContainer"}},
        {L"GifAnim", {L"GifAnim", L"Control"}, {L"Label", L"gifanim"}},
    };
    for (const auto& c : cases) {
        ControlPtr control = Make(c.element);
        ASSERT_NE(control, nullptr) << c.element;
        for (const wchar_t* name : c.answered)
            EXPECT_NE(control->GetInterface(name), nullptr) << c.element << " / " << name;
        for (const wchar_t* name : c.refused)
            EXPECT_EQ(control->GetInterface(name), nullptr) << c.element << " / " << name;
    }

    // The interface parts are the right sub-objects, usable through a cast.
    CAnimationPaneUI pane;
    EXPECT_EQ(pane.GetInterface(L"UIAnimation"), static_cast<CUIAnimation*>(&pane));
    CRichEditUI rich;
    EXPECT_EQ(rich.GetInterface(L"IMessageFilter"), static_cast<IMessageFilterUI*>(&rich));
    EXPECT_EQ(rich.GetInterface(L"IContainer"), static_cast<IContainerUI*>(&rich));
    CWebBrowserUI browser;
    EXPECT_EQ(browser.GetInterface(L"IMessageFilter"), static_cast<IMessageFilterUI*>(&browser));
}

TEST(FurtherControlFactory, SliderKeepsItsAttributesAndPassesOthersOn)
{
    testsupport::ScopedDpi dpi(96);
    CSliderUI slider;
    slider.SetAttributeList(L"thumbsize=\"12,14\" step=\"5\" imm=\"true\" thumbimage=\"t.png\" "
                            L"thumbhotimage=\"h.png\" thumbpushedimage=\"p.png\" max=\"50\" name=\"s\"");
    EXPECT_EQ(slider.GetThumbSize().cx, 12);
    EXPECT_EQ(slider.GetThumbSize().cy, 14);
    EXPECT_EQ(slider.GetChangeStep(), 5);
    EXPECT_TRUE(slider.IsImmMode());
    EXPECT_STREQ(slider.GetThumbImage(), L"t.png");
    EXPECT_STREQ(slider.GetThumbHotImage(), L"h.png");
    EXPECT_STREQ(slider.GetThumbPushedImage(), L"p.png");
    EXPECT_EQ(slider.GetMaxValue(), 50);
    EXPECT_EQ(slider.GetName(), L"s");
    slider.SetAttribute(L"step", L"0");
    EXPECT_EQ(slider.GetChangeStep(), 1);
}

TEST(FurtherControlFactory, LayoutsKeepTheirAttributes)
{
    testsupport::ScopedDpi dpi(96);
    CTileLayoutUI tile;
    tile.SetAttributeList(L"itemsize=\"40,30\" columns=\"4\" childvpadding=\"6\" childpadding=\"3\"");
    EXPECT_EQ(tile.GetItemSize().cx, 40);
    EXPECT_EQ(tile.GetItemSize().cy, 30);
    EXPECT_EQ(tile.GetColumns(), 4);
    EXPECT_EQ(tile.GetChildVPadding(), 6);
    EXPECT_EQ(tile.GetChildPadding(), 3);
    tile.SetAttribute(L"columns", L"0");
    EXPECT_EQ(tile.GetColumns(), 1);

    CChildLayoutUI child;
    child.SetAttribute(L"xmlfile", L"page.xml");
    EXPECT_EQ(child.GetChildLayoutXML(), L"page.xml");
    EXPECT_EQ(child.GetCount(), 0); // nothing is built outside a window

    CAnimationPaneUI pane;
    pane.SetAttributeList(L"animation=\"false\" framecount=\"7\" framedelay=\"15\" horizontal=\"true\" "
                          L"vertical=\"false\" panevisible=\"false\"");
    EXPECT_FALSE(pane.IsAnimationEnabled());
    EXPECT_EQ(pane.GetFrameCount(), 7);
    EXPECT_EQ(pane.GetFrameDelay(), 15);
    EXPECT_TRUE(pane.IsHorizontal());
    EXPECT_FALSE(pane.IsVertical());
    EXPECT_FALSE(pane.IsPaneVisible());
    EXPECT_FALSE(pane.IsVisible());
}

TEST(FurtherControlFactory, RichEditKeepsItsSettings)
{
    CRichEditUI rich;
    EXPECT_FALSE(rich.IsWantTab());
    rich.SetAttributeList(L"vscrollbar=\"true\" autovscroll=\"true\" hscrollbar=\"true\" autohscroll=\"true\" "
                          L"wanttab=\"true\" wantreturn=\"false\" wantctrlreturn=\"false\" transparent=\"false\" "
                          L"rich=\"false\" multiline=\"false\" readonly=\"true\" password=\"true\" align=\"right\" "
                          L"font=\"2\" textcolor=\"#FF112233\" textpadding=\"1,2,3,4\" text=\"abc\"");
    EXPECT_TRUE(rich.IsVScrollBar());
    EXPECT_TRUE(rich.IsAutoVScroll());
    EXPECT_TRUE(rich.IsHScrollBar());
    EXPECT_TRUE(rich.IsAutoHScroll());
    EXPECT_TRUE(rich.IsWantTab());
    EXPECT_FALSE(rich.IsWantReturn());
    EXPECT_FALSE(rich.IsWantCtrlReturn());
    EXPECT_FALSE(rich.IsTransparent());
    EXPECT_FALSE(rich.IsRich());
    EXPECT_FALSE(rich.IsMultiLine());
    EXPECT_TRUE(rich.IsReadOnly());
    EXPECT_TRUE(rich.IsPasswordMode());
    EXPECT_EQ(rich.GetTextAlign(), static_cast<UINT>(DT_RIGHT));
    EXPECT_EQ(rich.GetFont(), 2);
    EXPECT_EQ(rich.GetTextColor(), 0xFF112233u);
    EXPECT_TRUE(testsupport::SameRect(rich.GetTextPadding(), RECT{1, 2, 3, 4}));
    EXPECT_EQ(rich.GetText(), L"abc");
    rich.AppendText(L"de");
    EXPECT_EQ(rich.GetText(), L"abcde");
    EXPECT_EQ(rich.GetTextLength(), 5);
    bool handled = true;
    rich.MessageHandler(WM_KEYDOWN, VK_TAB, 0, handled);
    EXPECT_FALSE(handled);
}

TEST(FurtherControlFactory, ComponentHostsKeepTheirSettings)
{
    CActiveXUI activeX;
    activeX.SetAttributeList(L"clsid=\"{8856F961-340A-11D0-A96B-00C04FD705A2}\" modulename=\"shdocvw.dll\" "
                             L"delaycreate=\"true\"");
    const CLSID expected = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
    EXPECT_TRUE(IsEqualGUID(activeX.GetClsid(), expected));
    EXPECT_EQ(activeX.GetModuleName(), L"shdocvw.dll");
    EXPECT_TRUE(activeX.IsDelayCreate());
    EXPECT_EQ(activeX.GetHostWindow(), nullptr);
    // Text that is no class id is kept, but gives no class.
    EXPECT_FALSE(activeX.SetClsid(L"not-a-clsid"));
    EXPECT_EQ(activeX.GetClsidText(), L"not-a-clsid");
    EXPECT_TRUE(IsEqualGUID(activeX.GetClsid(), GUID_NULL));

    CWebBrowserUI browser;
    EXPECT_TRUE(IsEqualGUID(browser.GetClsid(), expected));
    browser.SetAttributeList(L"homepage=\"https://example.org/\" autonavi=\"true\" delaycreate=\"true\"");
    EXPECT_EQ(browser.GetHomePage(), L"https://example.org/");
    EXPECT_TRUE(browser.IsAutoNavigation());
    EXPECT_TRUE(browser.IsDelayCreate());
    EXPECT_EQ(browser.GetCurrentUrl(), L"");
}

TEST(FurtherControlFactory, GifAndDateKeepTheirSettings)
{
    CGifAnimUI gif;
    EXPECT_TRUE(gif.IsAutoPlay());
    gif.SetAttributeList(L"bkimage=\"file='a.gif'\" autoplay=\"false\" autosize=\"true\"");
    EXPECT_STREQ(gif.GetBkImage(), L"file='a.gif'");
    EXPECT_FALSE(gif.IsAutoPlay());
    EXPECT_TRUE(gif.IsAutoSize());
    EXPECT_EQ(gif.GetFrameCount(), 0u); // decoded only in a window

    CDateTimeUI date;
    SYSTEMTIME time = {};
    time.wYear = 2024;
    time.wMonth = 2;
    time.wDay = 9;
    date.SetTime(time);
    EXPECT_EQ(date.GetText(), L"2024-02-09");
    date.SetAttribute(L"readonly", L"true");
    EXPECT_TRUE(date.IsReadOnly());
    date.SetAttribute(L"textcolor", L"#FF0000FF");
    EXPECT_EQ(date.GetTextColor(), 0xFF0000FFu);
}
