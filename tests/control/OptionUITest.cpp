#include "ControlsTestSupport.h"

using namespace Facet;
using testsupport::ControlsTest;

namespace {

class OptionTest : public ControlsTest
{
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        a = Place(new COptionUI, RECT{10, 10, 60, 30}, L"a");
        b = Place(new COptionUI, RECT{70, 10, 120, 30}, L"b");
        c = Place(new COptionUI, RECT{130, 10, 180, 30}, L"c");
        for (COptionUI* option : {a, b, c})
            option->SetAttribute(L"group", L"tabs");
        check = Place(new CCheckBoxUI, RECT{10, 100, 60, 120}, L"chk");
        notes.entries.clear();
    }

    void Click(const CControlUI* control)
    {
        const RECT& rc = control->GetPos();
        window.ButtonDown(rc.left + 5, rc.top + 5);
        window.ButtonUp(rc.left + 5, rc.top + 5);
    }

    COptionUI* a = nullptr;
    COptionUI* b = nullptr;
    COptionUI* c = nullptr;
    CCheckBoxUI* check = nullptr;
};

TEST_F(OptionTest, SelectingAGroupMemberUnselectsTheOthersSilently)
{
    ASSERT_NE(window.manager.GetOptionGroup(L"tabs"), nullptr);
    EXPECT_EQ(window.manager.GetOptionGroup(L"tabs")->GetSize(), 3);

    Click(a);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_EQ(notes.entries, (std::vector<std::wstring>{L"click a", L"selectchanged a"}));

    notes.entries.clear();
    Click(b);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_EQ(notes.entries, (std::vector<std::wstring>{L"click b", L"selectchanged b"}));

    // Clicking the selected member keeps it selected and only clicks.
    notes.entries.clear();
    Click(b);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_EQ(notes.entries, std::vector<std::wstring>{L"click b"});

    // Selecting without notification still keeps one selection.
    notes.entries.clear();
    c->Selected(true, false);
    EXPECT_FALSE(b->IsSelected());
    EXPECT_TRUE(notes.entries.empty());
}

TEST_F(OptionTest, CheckBoxTogglesAloneAndJoinsAndLeavesAGroup)
{
    Click(check);
    EXPECT_TRUE(check->GetCheck());
    Click(check);
    EXPECT_FALSE(check->GetCheck());
    EXPECT_EQ(notes.entries,
              (std::vector<std::wstring>{L"click chk", L"selectchanged chk", L"click chk", L"selectchanged chk"}));
    notes.entries.clear();
    check->SetCheck(true, false);
    EXPECT_TRUE(check->GetCheck());
    EXPECT_TRUE(notes.entries.empty());
    EXPECT_EQ(check->GetInterface(L"Option"), static_cast<COptionUI*>(check));
    EXPECT_STREQ(check->GetClass(), L"CheckBox");

    // In the group the checked box is unselected by another member.
    check->SetGroup(L"tabs");
    EXPECT_EQ(window.manager.GetOptionGroup(L"tabs")->GetSize(), 4);
    Click(a);
    EXPECT_FALSE(check->GetCheck());

    // Out of the group again it is left alone.
    check->SetGroup(nullptr);
    EXPECT_EQ(window.manager.GetOptionGroup(L"tabs")->GetSize(), 3);
    check->SetCheck(true);
    Click(b);
    EXPECT_TRUE(check->GetCheck());
}

TEST_F(OptionTest, DestroyedMembersLeaveTheGroup)
{
    b->Selected(true);
    root->Remove(b);
    EXPECT_EQ(window.manager.GetOptionGroup(L"tabs")->GetSize(), 2);
    Click(a); // would reach the destroyed member if it were still listed
    EXPECT_TRUE(a->IsSelected());
    root->Remove(a);
    root->Remove(c);
    EXPECT_EQ(window.manager.GetOptionGroup(L"tabs"), nullptr);
}

TEST_F(OptionTest, DisablingKeepsOnlyTheSelection)
{
    a->Selected(true);
    window.MouseMove(20, 15);
    EXPECT_NE(a->GetButtonState() & UISTATE_HOT, 0u);
    a->SetEnabled(false);
    EXPECT_EQ(a->GetButtonState(), static_cast<UINT>(UISTATE_SELECTED));
    Click(a);
    EXPECT_TRUE(notes.Of(L"click").empty());
}

TEST_F(OptionTest, SelectedImagesAndColoursAreUsedWhileSelected)
{
    a->SetAttribute(L"normalimage", L"color='#FF0000FF'");
    a->SetAttribute(L"pushedimage", L"color='#FFFF0000'");
    a->SetAttribute(L"selectedimage", L"color='#FF00FF00'");
    a->SetAttribute(L"selectedhotimage", L"color='#FF00FFFF'");
    PaintAlone(a);
    EXPECT_EQ(CentreOf(a), 0x0000FFu);

    // Pressed but not selected: options never show the pushed image.
    window.MouseMove(20, 15);
    window.ButtonDown(20, 15);
    PaintAlone(a);
    EXPECT_EQ(CentreOf(a), 0x0000FFu);
    window.ButtonUp(20, 15); // selects, still hot
    PaintAlone(a);
    EXPECT_EQ(CentreOf(a), 0x00FFFFu);
    window.MouseMove(250, 150);
    PaintAlone(a);
    EXPECT_EQ(CentreOf(a), 0x00FF00u);

    // Without selected images a selected background colour shows.
    b->SetAttribute(L"selectedbkcolor", L"#FFFF00FF");
    b->Selected(true);
    PaintAlone(b);
    EXPECT_EQ(CentreOf(b), 0xFF00FFu);
}

} // namespace
