// Which attribute names each skin class reads, and with which case rule: a
// name the class reads changes the control, any other name becomes a custom
// attribute. The expected names are written out here class by class.
#include "control/EditUI.h"
#include "control/ListUI.h"
#include "control/ListUIContainerElement.h"
#include "control/OptionUI.h"
#include "control/ScrollBarUI.h"
#include "control/TreeViewUI.h"
#include "core/DialogBuilder.h"
#include "layout/ContainerUI.h"

#include "../support/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

using Facet::CControlUI;

namespace {

using Names = std::vector<std::wstring>;

Names Join(std::initializer_list<Names> parts)
{
    Names all;
    for (const Names& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The names each class adds to its base, exact case unless said otherwise.
const Names kControl = {L"pos",         L"padding",     L"bkcolor",          L"bkcolor1",  L"bkcolor2",
                        L"bkcolor3",    L"bordercolor", L"focusbordercolor", L"colorhsl",  L"bordersize",
                        L"borderstyle", L"borderround", L"bkimage",          L"width",     L"height",
                        L"minwidth",    L"minheight",   L"maxwidth",         L"maxheight", L"name",
                        L"text",        L"tooltip",     L"userdata",         L"tag",       L"enabled",
                        L"mouse",       L"keyboard",    L"visible",          L"float",     L"shortcut",
                        L"menu",        L"virtualwnd"};
const Names kContainer = {L"inset",           L"mousechild",   L"vscrollbar", L"hscrollbar", L"vscrollbarstyle",
                          L"hscrollbarstyle", L"childpadding", L"childalign", L"childvalign"};
const Names kLabel = {L"align",
                      L"valign",
                      L"endellipsis",
                      L"font",
                      L"textcolor",
                      L"disabledtextcolor",
                      L"textpadding",
                      L"multiline",
                      L"showhtml",
                      L"enabledeffect",
                      L"enabledluminous",
                      L"enabledstroke",
                      L"enabledshadow",
                      L"luminousfuzzy",
                      L"gradientangle",
                      L"gradientlength",
                      L"shadowoffset",
                      L"textcolor1",
                      L"textshadowcolora",
                      L"textshadowcolorb",
                      L"strokecolor"};
const Names kLabelAnyCase = {L"autocalcwidth"};
const Names kButton = {L"normalimage",  L"hotimage",        L"pushedimage",     L"focusedimage", L"disabledimage",
                       L"foreimage",    L"hotforeimage",    L"fivestatusimage", L"fadedelta",    L"hotbkcolor",
                       L"hottextcolor", L"pushedtextcolor", L"focusedtextcolor"};
const Names kOption = {L"group",     L"selected",        L"selectedimage",    L"selectedhotimage",
                       L"foreimage", L"selectedbkcolor", L"selectedtextcolor"};
const Names kProgress = {L"foreimage", L"hor", L"min", L"max", L"value"};
const Names kSlider = {L"thumbimage", L"thumbhotimage", L"thumbpushedimage", L"thumbsize", L"step", L"imm"};
const Names kEdit = {L"readonly",    L"numberonly", L"password",     L"autoselall",    L"maxchar",
                     L"normalimage", L"hotimage",   L"focusedimage", L"disabledimage", L"nativebkcolor"};
const Names kScrollBar = {L"button1normalimage",
                          L"button1hotimage",
                          L"button1pushedimage",
                          L"button1disabledimage",
                          L"button2normalimage",
                          L"button2hotimage",
                          L"button2pushedimage",
                          L"button2disabledimage",
                          L"thumbnormalimage",
                          L"thumbhotimage",
                          L"thumbpushedimage",
                          L"thumbdisabledimage",
                          L"railnormalimage",
                          L"railhotimage",
                          L"railpushedimage",
                          L"raildisabledimage",
                          L"bknormalimage",
                          L"bkhotimage",
                          L"bkpushedimage",
                          L"bkdisabledimage",
                          L"button1color",
                          L"button2color",
                          L"thumbcolor",
                          L"hor",
                          L"linesize",
                          L"range",
                          L"value",
                          L"scrollunit",
                          L"showbutton1",
                          L"showbutton2"};
const Names kListInfo = {L"itemtextcolor",
                         L"itembkcolor",
                         L"itemselectedtextcolor",
                         L"itemselectedbkcolor",
                         L"itemhottextcolor",
                         L"itemhotbkcolor",
                         L"itemdisabledtextcolor",
                         L"itemdisabledbkcolor",
                         L"itemvlinecolor",
                         L"itemhlinecolor",
                         L"itembkimage",
                         L"itemselectedimage",
                         L"itemhotimage",
                         L"itemdisabledimage",
                         L"itemheight",
                         L"itemfont",
                         L"itemalign",
                         L"itemvalign",
                         L"itemendellipsis",
                         L"itemmultiline",
                         L"itemtextpadding",
                         L"itemaltbk",
                         L"itemvlinesize",
                         L"itemhlinesize",
                         L"itemshowhtml"};
const Names kList = {L"header", L"headerbkimage", L"scrollselect", L"multiexpanding", L"vscrollbar", L"hscrollbar"};
const Names kTreeView = {L"visiblefolderbtn", L"visiblecheckbtn",  L"itemminwidth",
                         L"itemtextcolor",    L"itemhottextcolor", L"selitemtextcolor"};
const Names kCombo = {L"normalimage", L"hotimage", L"pushedimage", L"focusedimage", L"disabledimage",
                      L"textpadding", L"showtext", L"dropbox",     L"dropboxsize"};
const Names kHeaderItem = {L"normalimage", L"hotimage", L"pushedimage", L"focusedimage", L"sepimage", L"dragable",
                           L"align",       L"valign",   L"endellipsis", L"multiline",    L"font",     L"textcolor",
                           L"textpadding", L"showhtml", L"sepwidth",    L"sepcolor"};
const Names kRow = {L"selected"};
const Names kContainerRow = {L"expandable"};
const Names kTreeNode = {L"text",     L"horizattr",     L"dotlineattr",      L"folderattr",      L"checkboxattr",
                         L"itemattr", L"itemtextcolor", L"itemhottextcolor", L"selitemtextcolor"};
const Names kRichEditAnyCase = {L"vscrollbar", L"autovscroll", L"hscrollbar",     L"autohscroll",
                                L"wanttab",    L"wantreturn",  L"wantctrlreturn", L"transparent",
                                L"rich",       L"multiline",   L"readonly",       L"password",
                                L"align",      L"font",        L"textcolor",      L"textpadding"};

struct ClassNames
{
    const wchar_t* element; // the skin element, or "TreeNode"
    Names exact;            // read with this case only
    Names anyCase;          // read in any case
};

std::vector<ClassNames> ExpectedClasses()
{
    const Names horizontal = Join({kControl, kContainer, {L"sepwidth", L"sepimm"}});
    const Names vertical = Join({kControl, kContainer, {L"sepheight", L"sepimm"}});
    const Names label = Join({kControl, kLabel});
    const Names button = Join({label, kButton});
    const Names option = Join({button, kOption});
    const Names progress = Join({label, kProgress});
    const Names list = Join({vertical, kList, kListInfo});
    const Names containerRow = Join({kControl, kContainer, kRow, kContainerRow});
    return {
        {L"Control", kControl, {}},
        {L"Container", Join({kControl, kContainer}), {}},
        {L"VerticalLayout", vertical, {}},
        {L"HorizontalLayout", horizontal, {}},
        // "selectedid" is read and then kept as a custom attribute too.
        {L"TabLayout", Join({kControl, kContainer}), {}},
        {L"TileLayout", Join({kControl, kContainer}), {L"itemsize", L"columns", L"childvpadding"}},
        {L"ChildLayout", Join({kControl, kContainer}), {L"xmlfile"}},
        {L"AnimationPane",
         Join({kControl, kContainer}),
         {L"animation", L"panevisible", L"framecount", L"framedelay", L"horizontal", L"vertical"}},
        {L"Label", label, kLabelAnyCase},
        {L"Text", label, kLabelAnyCase},
        {L"Button", button, kLabelAnyCase},
        {L"Option", option, kLabelAnyCase},
        {L"CheckBox", option, kLabelAnyCase},
        {L"Progress", progress, kLabelAnyCase},
        {L"Slider", Join({progress, kSlider}), kLabelAnyCase},
        {L"Edit", Join({label, kEdit}), Join({kLabelAnyCase, {L"tipvalue"}})},
        {L"DateTime", label, Join({kLabelAnyCase, {L"readonly"}})},
        {L"ScrollBar", Join({kControl, kScrollBar}), {}},
        {L"GifAnim", kControl, {L"bkimage", L"autoplay", L"autosize"}},
        {L"ActiveX", kControl, {L"clsid", L"modulename", L"delaycreate"}},
        {L"WebBrowser", kControl, {L"clsid", L"modulename", L"delaycreate", L"homepage", L"autonavi"}},
        {L"RichEdit", Join({kControl, kContainer}), kRichEditAnyCase},
        {L"Combo", Join({kControl, kContainer, kCombo, kListInfo}), {}},
        {L"List", list, {}},
        {L"Tree", Join({list, kTreeView}), {}},
        {L"ListHeader", horizontal, {}},
        {L"ListHeaderItem", Join({kControl, kHeaderItem}), {}},
        {L"ListLabelElement", Join({kControl, kRow}), {}},
        {L"ListTextElement", Join({kControl, kRow}), {}},
        {L"ListContainerElement", containerRow, {}},
        {L"ListHBoxElement", containerRow, {}},
        {L"TreeNode", Join({containerRow, kTreeNode}), {}},
    };
}

CControlUI* Make(const wchar_t* element)
{
    if (std::wstring(element) == L"TreeNode")
        return new Facet::CTreeNodeUI();
    return Facet::CDialogBuilder::CreateKnownControl(element);
}

std::wstring Upper(const std::wstring& name)
{
    std::wstring upper = name;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    return upper;
}

// Every name any class reads, in lower and upper case, and a few no class reads.
std::set<std::wstring> ProbeNames(const std::vector<ClassNames>& classes)
{
    std::set<std::wstring> probes = {L"widht", L"bkcolr", L"selectedid", L"sepwidht", L"cover"};
    for (const ClassNames& names : classes) {
        for (const Names* list : {&names.exact, &names.anyCase}) {
            for (const std::wstring& name : *list) {
                probes.insert(name);
                probes.insert(Upper(name));
            }
        }
    }
    return probes;
}

bool Reads(const ClassNames& names, const std::wstring& probe)
{
    for (const std::wstring& name : names.exact) {
        if (name == probe)
            return true;
    }
    for (const std::wstring& name : names.anyCase) {
        if (Upper(name) == Upper(probe))
            return true;
    }
    return false;
}

TEST(AttributeNames, EachClassReadsItsNamesWithTheirCaseRuleAndKeepsTheRestAsCustomAttributes)
{
    testsupport::ScopedDpi dpi(96);
    const std::vector<ClassNames> classes = ExpectedClasses();
    const std::set<std::wstring> probes = ProbeNames(classes);
    for (const ClassNames& names : classes) {
        CControlUI* control = Make(names.element);
        ASSERT_NE(nullptr, control) << testing::PrintToString(std::wstring(names.element));
        for (const std::wstring& probe : probes)
            control->SetAttribute(probe.c_str(), L"1");
        for (const std::wstring& probe : probes) {
            const bool custom = control->GetCustomAttribute(probe.c_str()) != nullptr;
            EXPECT_EQ(!Reads(names, probe), custom)
                << testing::PrintToString(std::wstring(names.element)) << " " << testing::PrintToString(probe);
        }
        control->Delete();
    }
}

TEST(AttributeNames, SelectedIdSelectsAPageAndIsKeptAsACustomAttribute)
{
    CControlUI* tabs = Facet::CDialogBuilder::CreateKnownControl(L"TabLayout");
    ASSERT_NE(nullptr, tabs);
    auto* container = static_cast<Facet::IContainerUI*>(tabs->GetInterface(L"IContainer"));
    ASSERT_NE(nullptr, container);
    container->Add(new CControlUI());
    container->Add(new CControlUI());
    tabs->SetAttribute(L"selectedid", L"1");
    EXPECT_FALSE(container->GetItemAt(0)->IsVisible());
    EXPECT_TRUE(container->GetItemAt(1)->IsVisible());
    EXPECT_STREQ(L"1", tabs->GetCustomAttribute(L"selectedid"));
    tabs->Delete();
}

} // namespace

// The values of attributes no other test reads back.
namespace {

TEST(AttributeValues, ButtonOptionAndLabelColoursAndImages)
{
    testsupport::ScopedDpi dpi(96);
    Facet::COptionUI option;
    option.SetAttribute(L"focusedtextcolor", L"#FF010203");
    option.SetAttribute(L"hotbkcolor", L"FF040506");
    option.SetAttribute(L"hotforeimage", L"hot_fore.png");
    option.SetAttribute(L"selectedtextcolor", L"#80070809");
    option.SetAttribute(L"textcolor1", L"#FF0A0B0C");
    option.SetAttribute(L"textshadowcolora", L"#FF0D0E0F");
    option.SetAttribute(L"textshadowcolorb", L"#FF101112");
    option.SetAttribute(L"gradientangle", L"45");
    option.SetAttribute(L"gradientlength", L"12px");
    option.SetAttribute(L"maxheight", L"30");
    EXPECT_EQ(0xFF010203u, option.GetFocusedTextColor());
    EXPECT_EQ(0xFF040506u, option.GetHotBkColor());
    EXPECT_STREQ(L"hot_fore.png", option.GetHotForeImage());
    EXPECT_EQ(0x80070809u, option.GetSelectedTextColor());
    EXPECT_EQ(0xFF0A0B0Cu, option.GetTextColor1());
    EXPECT_EQ(0xFF0D0E0Fu, option.GetTextShadowColorA());
    EXPECT_EQ(0xFF101112u, option.GetTextShadowColorB());
    EXPECT_EQ(45, option.GetGradientAngle());
    EXPECT_EQ(12, option.GetGradientLength());
    EXPECT_EQ(30, option.GetMaxHeight());
    // The text colours read no blanks before the '#'.
    option.SetAttribute(L"selectedtextcolor", L" #80070809");
    EXPECT_EQ(0u, option.GetSelectedTextColor());
}

TEST(AttributeValues, EditTipValueIsReadInAnyCase)
{
    Facet::CEditUI edit;
    edit.SetAttribute(L"TipValue", L"search");
    EXPECT_STREQ(L"search", edit.GetTipValue().GetData());
    EXPECT_EQ(nullptr, edit.GetCustomAttribute(L"TipValue"));
}

TEST(AttributeValues, ScrollBarButtonsAndListRowsAndTreeParts)
{
    Facet::CScrollBarUI bar;
    bar.SetAttribute(L"showbutton1", L"false");
    bar.SetAttribute(L"showbutton2", L"true");
    EXPECT_FALSE(bar.GetShowButton1());
    EXPECT_TRUE(bar.GetShowButton2());

    Facet::CListContainerElementUI row;
    row.SetAttribute(L"expandable", L"true");
    EXPECT_TRUE(row.IsExpandable());
    row.SetAttribute(L"expandable", L"yes");
    EXPECT_FALSE(row.IsExpandable());

    Facet::CListUI list;
    list.SetAttribute(L"itembkimage", L"bk.png");
    list.SetAttribute(L"itemhotimage", L"hot.png");
    list.SetAttribute(L"itemdisabledimage", L"off.png");
    EXPECT_STREQ(L"bk.png", list.GetListInfo()->diBk.sDrawString.GetData());
    EXPECT_STREQ(L"hot.png", list.GetListInfo()->diHot.sDrawString.GetData());
    EXPECT_STREQ(L"off.png", list.GetListInfo()->diDisabled.sDrawString.GetData());

    Facet::CTreeNodeUI node;
    node.SetAttribute(L"checkboxattr", L"width=\"11\"");
    node.SetAttribute(L"dotlineattr", L"width=\"12\"");
    node.SetAttribute(L"itemattr", L"width=\"13\"");
    node.SetAttribute(L"folderattr", L"width=\"14\"");
    EXPECT_EQ(11, node.GetCheckBox()->GetFixedWidth());
    EXPECT_EQ(12, node.GetDottedLine()->GetFixedWidth());
    EXPECT_EQ(13, node.GetItemButton()->GetFixedWidth());
    EXPECT_EQ(14, node.GetFolderButton()->GetFixedWidth());
}

TEST(AttributeValues, ScrollBarStyleMakesTheBarAndStylesIt)
{
    testsupport::ScopedDpi dpi(96);
    CControlUI* container = Facet::CDialogBuilder::CreateKnownControl(L"Container");
    ASSERT_NE(nullptr, container);
    auto* layout = static_cast<Facet::CContainerUI*>(container);
    container->SetAttribute(L"hscrollbarstyle", L"height=\"9\" thumbcolor=\"#FF00FF00\"");
    ASSERT_NE(nullptr, layout->GetHorizontalScrollBar());
    EXPECT_EQ(nullptr, layout->GetVerticalScrollBar());
    EXPECT_EQ(9, layout->GetHorizontalScrollBar()->GetFixedHeight());
    container->Delete();
}

} // namespace
