#include "core/DialogBuilder.h"
#include "control/ButtonUI.h"
#include "control/LabelUI.h"
#include "layout/ContainerUI.h"
#include "layout/VerticalLayoutUI.h"

#include "../support/TestFiles.h"
#include "../support/TestWindow.h"

#include <gtest/gtest.h>

using namespace Facet;
using testsupport::TestWindow;

namespace {

IContainerUI* Container(CControlUI* control)
{
    return static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
}

// Counts the controls it makes and destroys, to find leaks.
class CountingControl : public CControlUI
{
public:
    CountingControl() { ++alive; }
    ~CountingControl() override { --alive; }
    const wchar_t* GetClass() const override { return L"Counting"; }
    static int alive;
};
int CountingControl::alive = 0;

class Callback : public IDialogBuilderCallback
{
public:
    CControlUI* CreateControl(const wchar_t* className) override
    {
        asked.push_back(className);
        if (_wcsicmp(className, L"Counting") == 0)
            return new CountingControl();
        return nullptr;
    }
    std::vector<std::wstring> asked;
};

TEST(DialogBuilder, GlobalElementsAndWindowAttributesReachTheManager)
{
    TestWindow window;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window size=\"300,200\" caption=\"0,0,0,30\" roundcorner=\"4,4\" defaultfontcolor=\"#FF112233\" "
        L"noactivate=\"true\" Noactivate=\"true\" theme=\"dark\">"
        L"<Font id=\"10\" name=\"Arial\" size=\"10\" default=\"true\" />"
        L"<Font id=\"-1\" name=\"Arial\" size=\"30\" />"
        L"<FONT ID=\"11\" NAME=\"Arial\" SIZE=\"18\" BOLD=\"TRUE\" />"
        L"<Image name=\"#FFFF0000\" restype=\"*COLOR*\" shared=\"true\" />"
        L"<Default name=\"Button\" value=\"height=&quot;30&quot; text=&quot;dflt&quot;\" />"
        L"<MultiLanguage id=\"77\" value=\"seventy-seven\" />"
        L"<VerticalLayout name=\"root\" /></Window>",
        nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(window.manager.GetInitSize().cx, 300);
    EXPECT_EQ(window.manager.GetCaptionRect().bottom, 30);
    EXPECT_EQ(window.manager.GetRoundCorner().cx, 4);
    EXPECT_EQ(window.manager.GetDefaultFontColor(), 0xFF112233u);
    EXPECT_TRUE(window.manager.IsNoActivate());                         // exact-case name
    EXPECT_STREQ(window.manager.GetWindowCustomAttribute(L"Noactivate"), L"true"); // not the same name
    EXPECT_STREQ(window.manager.GetWindowCustomAttribute(L"theme"), L"dark");
    EXPECT_NE(window.manager.GetFont(10), nullptr);
    EXPECT_EQ(window.manager.GetFontInfo(10)->iSize, 10);
    EXPECT_EQ(window.manager.GetDefaultFontInfo()->iSize, 10);
    EXPECT_TRUE(window.manager.GetFontInfo(11)->bBold);
    EXPECT_EQ(window.manager.GetCustomFontCount(), 2); // the negative id was ignored
    const TImageInfo* image = window.manager.GetImage(L"#FFFF0000");
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->bUseHSL); // "shared" asks for HSL, in the window's table
    EXPECT_STREQ(window.manager.GetDefaultAttributeList(L"Button"), L"height=\"30\" text=\"dflt\"");
    EXPECT_STREQ(CPaintManagerUI::GetMultiLanguageString(77), L"seventy-seven");
    root->Delete();
}

TEST(DialogBuilder, DefaultsComeBeforeElementAttributesAndMatchTheSpellingExactly)
{
    TestWindow window;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><Default name=\"Button\" value=\"height=&quot;30&quot; text=&quot;dflt&quot;\" />"
        L"<VerticalLayout>"
        L"<Button name=\"a\" />"
        L"<Button name=\"b\" height=\"44\" />"
        L"<button name=\"c\" />"
        L"</VerticalLayout></Window>",
        nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    IContainerUI* layout = Container(root);
    ASSERT_EQ(layout->GetCount(), 3);
    CControlUI* a = layout->GetItemAt(0);
    CControlUI* b = layout->GetItemAt(1);
    CControlUI* c = layout->GetItemAt(2);
    EXPECT_EQ(a->GetFixedHeight(), 30);
    EXPECT_EQ(a->GetText(), L"dflt");
    EXPECT_EQ(b->GetFixedHeight(), 44);
    EXPECT_EQ(c->GetFixedHeight(), 0); // "button" is not spelt "Button"
    EXPECT_STREQ(c->GetClass(), L"Button"); // but the factory knows it
    // Built controls are not attached until the tree is attached.
    EXPECT_EQ(a->GetManager(), nullptr);
    window.manager.AttachDialog(root);
    EXPECT_EQ(window.manager.FindControl(L"b"), b);
}

TEST(DialogBuilder, UnknownElementsAreSkippedWithTheirSubtreeAndCallbackAskedOnce)
{
    Callback callback;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"<Window><VBox><Mystery><Label name=\"hidden\" /></Mystery>"
                                      L"<Counting /><gifanim /><HBox /></VBox></Window>",
                                      nullptr, &callback);
    ASSERT_NE(root, nullptr);
    IContainerUI* layout = Container(root);
    ASSERT_EQ(layout->GetCount(), 2);
    EXPECT_STREQ(layout->GetItemAt(0)->GetClass(), L"Counting");
    EXPECT_STREQ(layout->GetItemAt(1)->GetClass(), L"HorizontalLayout");
    // The unknown elements were offered to the callback; their children never were.
    EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Mystery", L"Counting", L"gifanim"}));
    root->Delete();
    EXPECT_EQ(CountingControl::alive, 0);
}

TEST(DialogBuilder, ControlsThatFindNoHomeAreDestroyed)
{
    Callback callback;
    {
        // Several top-level controls without a parent: the first is returned, the rest destroyed.
        CDialogBuilder builder;
        CControlUI* first = builder.Create(L"<Window><Counting /><Counting /><Counting /></Window>", nullptr,
                                           &callback);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(CountingControl::alive, 1);
        first->Delete();
    }
    {
        // Children of a control that is no container: the level ends, nothing leaks.
        CDialogBuilder builder;
        CControlUI* parent = new CControlUI();
        EXPECT_EQ(builder.Create(L"<Window><Counting /><Counting /></Window>", nullptr, &callback, nullptr, parent),
                  nullptr);
        EXPECT_EQ(CountingControl::alive, 0);
        parent->Delete();
    }
}

TEST(DialogBuilder, CoverBecomesTheParentsCoverNotAChild)
{
    CDialogBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><VerticalLayout><Label name=\"cover\" cover=\"true\" /><Label name=\"child\" />"
        L"<Label name=\"notcover\" cover=\"TRUE\" /></VerticalLayout></Window>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Container(root)->GetCount(), 2);
    ASSERT_NE(root->GetCover(), nullptr);
    EXPECT_EQ(root->GetCover()->GetName(), L"cover");
    root->Delete();
}

TEST(DialogBuilder, IncludesRepeatAndCannotIncludeThemselves)
{
    const std::wstring folder = testsupport::FreshTempFolder(L"include");
    testsupport::WriteFileText(folder + L"\\part.xml",
                               "<Window><Label name=\"inc\" /><Button /></Window>");
    testsupport::WriteFileText(folder + L"\\self.xml",
                               "<Window><Label /><Include source=\"self.xml\" count=\"5\" /></Window>");
    CPaintManagerUI::SetResourceZip(L"", false);
    CPaintManagerUI::SetResourcePath(folder.c_str());

    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"<Window><VerticalLayout><Label name=\"own\" />"
                                      L"<Include source=\"part.xml\" count=\"3\" />"
                                      L"<Include count=\"2\" /></VerticalLayout></Window>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Container(root)->GetCount(), 7); // own + 3 × (label, button)

    CDialogBuilder selfBuilder;
    CControlUI* self = selfBuilder.Create(L"<Window><VerticalLayout><Include source=\"self.xml\" />"
                                          L"</VerticalLayout></Window>");
    ASSERT_NE(self, nullptr);
    // self.xml adds its label once, then refuses to include itself again.
    EXPECT_EQ(Container(self)->GetCount(), 1);

    // A count without bound is capped.
    CDialogBuilder manyBuilder;
    CControlUI* many = manyBuilder.Create(L"<Window><VerticalLayout><Include source=\"self.xml\" count=\"1000000\" />"
                                          L"</VerticalLayout></Window>");
    ASSERT_NE(many, nullptr);
    EXPECT_EQ(Container(many)->GetCount(), CDialogBuilder::kMaxIncludeCount);
    many->Delete();

    root->Delete();
    self->Delete();
    CPaintManagerUI::SetResourcePath(L"");
    DeleteFileW((folder + L"\\part.xml").c_str());
    DeleteFileW((folder + L"\\self.xml").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(DialogBuilder, LoadFailuresReportTheParsersMessage)
{
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create(L"<Window><Label name=\"x\"></Window>"), nullptr);
    wchar_t message[100] = {};
    builder.GetLastErrorMessage(message, 100);
    EXPECT_STREQ(message, L"Unmatched closing tag");

    CDialogBuilder missing;
    EXPECT_EQ(missing.Create(L"no-such-skin.xml"), nullptr);
    missing.GetLastErrorMessage(message, 100);
    EXPECT_STREQ(message, L"Error opening file");

    // Only global elements: nothing to return, yet the fonts are registered.
    TestWindow window;
    CDialogBuilder globals;
    EXPECT_EQ(globals.Create(L"<Window><Font id=\"12\" name=\"Arial\" size=\"12\" /></Window>", nullptr, nullptr,
                             &window.manager),
              nullptr);
    EXPECT_EQ(window.manager.GetCustomFontCount(), 1);
}

TEST(DialogBuilder, PluginFactoriesMakeTheirControls)
{
    const std::wstring plugin = testsupport::ProgramFolder() + L"\\facet_test_plugin.dll";
    EXPECT_FALSE(CPaintManagerUI::LoadPlugin(nullptr));
    EXPECT_FALSE(CPaintManagerUI::LoadPlugin(L"Z:\\no\\such\\plugin.dll"));
    ASSERT_TRUE(CPaintManagerUI::LoadPlugin(plugin.c_str()));
    const int registered = CPaintManagerUI::GetPlugins()->GetSize();
    EXPECT_TRUE(CPaintManagerUI::LoadPlugin(plugin.c_str()));
    EXPECT_EQ(CPaintManagerUI::GetPlugins()->GetSize(), registered); // not listed twice

    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"<Window><HBox><PluginWidget name=\"w\" /></HBox></Window>");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(Container(root)->GetCount(), 1);
    EXPECT_STREQ(Container(root)->GetItemAt(0)->GetClass(), L"PluginWidget");
    root->Delete();
}

} // namespace
