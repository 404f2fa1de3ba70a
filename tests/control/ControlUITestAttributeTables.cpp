// The attribute tables against SetAttribute: a class reads exactly the names
// its table chain knows (which is what the skin checker of FacetPreview
// reads), no skin class reads attributes past its table, and no table holds
// an entry that an earlier one of the same table hides.
#include "control/ActiveXUI.h"
#include "control/ButtonUI.h"
#include "control/CheckBoxUI.h"
#include "control/ComboUI.h"
#include "control/DateTimeUI.h"
#include "control/EditUI.h"
#include "control/GifAnimUI.h"
#include "control/LabelUI.h"
#include "control/ListUI.h"
#include "control/ListUIContainerElement.h"
#include "control/ListUIElement.h"
#include "control/ListUIHeader.h"
#include "control/OptionUI.h"
#include "control/ProgressUI.h"
#include "control/RichEditUI.h"
#include "control/ScrollBarUI.h"
#include "control/SliderUI.h"
#include "control/TextUI.h"
#include "control/TreeViewUI.h"
#include "control/WebBrowserUI.h"
#include "core/ControlFactory.h"
#include "core/DialogBuilder.h"
#include "layout/AnimationPaneUI.h"
#include "layout/ChildLayoutUI.h"
#include "layout/HorizontalLayoutUI.h"
#include "layout/TabLayoutUI.h"
#include "layout/TileLayoutUI.h"
#include "layout/VerticalLayoutUI.h"

#include "../support/TestWindow.h"
#include "../support/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

using Facet::CControlUI;

namespace {

// A class that does not define SetAttribute itself reads its attributes only
// through CControlUI::SetAttribute, that is through its table chain.
template <class Control>
constexpr bool kReadsThroughItsTable =
    std::is_same_v<decltype(&Control::SetAttribute), void (CControlUI::*)(const wchar_t*, const wchar_t*)>;

static_assert(kReadsThroughItsTable<Facet::CContainerUI>, "CContainerUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CVerticalLayoutUI>, "CVerticalLayoutUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CHorizontalLayoutUI>, "CHorizontalLayoutUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CTabLayoutUI>, "CTabLayoutUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CTileLayoutUI>, "CTileLayoutUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CChildLayoutUI>, "CChildLayoutUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CAnimationPaneUI>, "CAnimationPaneUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CLabelUI>, "CLabelUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CTextUI>, "CTextUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CButtonUI>, "CButtonUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::COptionUI>, "COptionUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CCheckBoxUI>, "CCheckBoxUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CProgressUI>, "CProgressUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CSliderUI>, "CSliderUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CEditUI>, "CEditUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CDateTimeUI>, "CDateTimeUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CScrollBarUI>, "CScrollBarUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CGifAnimUI>, "CGifAnimUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CActiveXUI>, "CActiveXUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CWebBrowserUI>, "CWebBrowserUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CRichEditUI>, "CRichEditUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CComboUI>, "CComboUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CListUI>, "CListUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CTreeViewUI>, "CTreeViewUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CTreeNodeUI>, "CTreeNodeUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CListHeaderUI>, "CListHeaderUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CListHeaderItemUI>, "CListHeaderItemUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CListLabelElementUI>, "CListLabelElementUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CListTextElementUI>, "CListTextElementUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CListContainerElementUI>, "CListContainerElementUI defines SetAttribute");
static_assert(kReadsThroughItsTable<Facet::CListHBoxElementUI>, "CListHBoxElementUI defines SetAttribute");

struct ControlDeleter
{
    void operator()(CControlUI* control) const { control->Delete(); }
};
using ControlPtr = std::unique_ptr<CControlUI, ControlDeleter>;

// One control of every skin element the builder makes.
std::vector<std::pair<std::wstring, ControlPtr>> EveryElement()
{
    std::vector<std::pair<std::wstring, ControlPtr>> controls;
    for (const wchar_t* name : Facet::FactoryControlNames())
        controls.emplace_back(name, ControlPtr(Facet::CDialogBuilder::CreateKnownControl(name)));
    controls.emplace_back(Facet::CDialogBuilder::kTreeNodeElement, ControlPtr(new Facet::CTreeNodeUI()));
    return controls;
}

std::wstring Upper(const std::wstring& name)
{
    std::wstring upper = name;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    return upper;
}

// Every name any table knows, as written and in upper case, and names no
// table knows.
template <class Root>
void AddProbes(const Facet::TAttributeTableBase<Root>& table, std::set<std::wstring>& probes)
{
    table.ForEach([&probes](const Facet::TAttributeInfo& info) {
        probes.insert(info.name);
        probes.insert(Upper(info.name));
    });
}

std::set<std::wstring> ProbeNames(const std::vector<std::pair<std::wstring, ControlPtr>>& controls)
{
    std::set<std::wstring> probes = {L"widht", L"bkcolr", L"Text", L"sepwidht", L"x"};
    for (const auto& element : controls)
        AddProbes(element.second->GetAttributeTable(), probes);
    AddProbes(Facet::CPaintManagerUI::GetWindowAttributeTable(), probes);
    return probes;
}

TEST(AttributeTables, EveryClassReadsExactlyTheNamesItsTableKnows)
{
    testsupport::ScopedDpi dpi(96);
    std::vector<std::pair<std::wstring, ControlPtr>> controls = EveryElement();
    const std::set<std::wstring> probes = ProbeNames(controls);
    for (auto& element : controls) {
        ASSERT_NE(nullptr, element.second) << testing::PrintToString(element.first);
        CControlUI& control = *element.second;
        for (const std::wstring& probe : probes)
            control.SetAttribute(probe.c_str(), L"1");
        for (const std::wstring& probe : probes) {
            const bool known = control.GetAttributeTable().Find(probe.c_str()) != nullptr;
            const bool kept = control.GetCustomAttribute(probe.c_str()) != nullptr;
            // The tab layout keeps the one name it reads as a custom attribute too.
            if (known && probe == L"selectedid" && element.first == L"TabLayout")
                continue;
            EXPECT_NE(known, kept) << testing::PrintToString(element.first) << " " << testing::PrintToString(probe);
        }
    }
}

TEST(AttributeTables, TheWindowReadsExactlyTheNamesItsTableKnows)
{
    testsupport::TestWindow window;
    const std::vector<std::pair<std::wstring, ControlPtr>> controls = EveryElement();
    const std::set<std::wstring> probes = ProbeNames(controls);
    const auto& table = Facet::CPaintManagerUI::GetWindowAttributeTable();
    for (const std::wstring& probe : probes) {
        window.manager.SetWindowAttribute(probe.c_str(), L"1");
        const bool known = table.Find(probe.c_str()) != nullptr;
        const bool kept = window.manager.GetWindowCustomAttribute(probe.c_str()) != nullptr;
        EXPECT_NE(known, kept) << testing::PrintToString(probe);
    }
}

// An entry after another of its own table that matches its name is never reached.
template <class Root>
void ExpectNoHiddenEntries(const Facet::TAttributeTableBase<Root>& table, const std::wstring& owner)
{
    for (size_t i = 0; i < table.Count(); ++i) {
        for (size_t j = i + 1; j < table.Count(); ++j) {
            EXPECT_FALSE(Facet::MatchesAttributeName(table.InfoAt(i), table.InfoAt(j).name))
                << testing::PrintToString(owner) << " " << testing::PrintToString(std::wstring(table.InfoAt(j).name));
        }
    }
}

TEST(AttributeTables, NoEntryIsHiddenByAnEarlierOneOfItsTable)
{
    for (const auto& element : EveryElement())
        ExpectNoHiddenEntries(element.second->GetAttributeTable(), element.first);
    ExpectNoHiddenEntries(Facet::CPaintManagerUI::GetWindowAttributeTable(), L"Window");
    ExpectNoHiddenEntries(Facet::TListInfoUI::GetAttributeTable(), L"list items");
}

TEST(AttributeTables, NamesMatchWithTheirCaseRule)
{
    const Facet::TAttributeInfo exact = {L"textcolor", Facet::kValueColor, Facet::kNameExact};
    const Facet::TAttributeInfo anyCase = {L"readonly", Facet::kValueFlag, Facet::kNameAnyCase};
    EXPECT_TRUE(Facet::MatchesAttributeName(exact, L"textcolor"));
    EXPECT_FALSE(Facet::MatchesAttributeName(exact, L"TextColor"));
    EXPECT_FALSE(Facet::MatchesAttributeName(exact, L"textcolo"));
    EXPECT_TRUE(Facet::MatchesAttributeName(anyCase, L"ReadOnly"));
    EXPECT_FALSE(Facet::MatchesAttributeName(anyCase, L"readonlyx"));
    EXPECT_FALSE(Facet::MatchesAttributeName(anyCase, nullptr));
}

} // namespace
