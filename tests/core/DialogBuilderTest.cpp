#include "core/DialogBuilder.h"
#include "control/ButtonUI.h"
#include "control/LabelUI.h"
#include "layout/ContainerUI.h"
#include "layout/VerticalLayoutUI.h"

#include "../support/TestFiles.h"
#include "../support/TestWindow.h"
#include "../support/ZipWriter.h"
#include "SkinFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Facet;
using testsupport::SkinFolder;
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

// A counting container, to find leaked subtrees.
class CountingBox : public CVerticalLayoutUI
{
public:
    CountingBox() { ++alive; }
    ~CountingBox() override { --alive; }
    static int alive;
};
int CountingBox::alive = 0;

class Callback : public IDialogBuilderCallback
{
public:
    CControlUI* CreateControl(const wchar_t* className) override
    {
        asked.push_back(className);
        if (_wcsicmp(className, L"Counting") == 0)
            return new CountingControl();
        if (_wcsicmp(className, L"CountingBox") == 0)
            return new CountingBox();
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
    EXPECT_TRUE(window.manager.IsNoActivate());                                    // exact-case name
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
    EXPECT_EQ(c->GetFixedHeight(), 0);      // "button" is not spelt "Button"
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
    testsupport::WriteFileText(folder + L"\\part.xml", "<Window><Label name=\"inc\" /><Button /></Window>");
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

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// A chain of `depth` counting boxes around `inner`.
std::string NestedBoxes(int depth, const std::string& inner)
{
    return Repeat("<CountingBox>", depth) + inner + Repeat("</CountingBox>", depth);
}

std::wstring BuilderMessage(const CDialogBuilder& builder)
{
    wchar_t message[100] = {};
    builder.GetLastErrorMessage(message, 100);
    return message;
}

TEST(DialogBuilder, ASkinIncludingItselfUnderAnotherSpellingIsRecognised)
{
    SkinFolder skins(L"builder");
    skins.Write(L"spell.xml", "<Window><VerticalLayout><Label />"
                              "<Include source=\".\\spell.xml\" /><Include source=\"sub\\..\\SPELL.xml\" />"
                              "</VerticalLayout></Window>");
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"spell.xml");
    ASSERT_NE(root, nullptr);
    // The label alone: both includes name the file being built.
    EXPECT_EQ(Container(root)->GetCount(), 1);
    root->Delete();
}

TEST(DialogBuilder, AZipEntryIncludingItselfUnderAnotherSpellingIsRecognised)
{
    SkinFolder skins(L"builder");
    testsupport::ZipWriter zip;
    zip.Add("skin/main.xml", "<Window><VerticalLayout><Label /><Include source=\"SKIN\\Main.xml\" />"
                             "<Include source=\"skin/./main.xml\" /></VerticalLayout></Window>");
    ASSERT_TRUE(zip.WriteTo(skins.Path() + L"\\skins.zip"));
    CPaintManagerUI::SetResourceZip(L"skins.zip", false);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"skin/main.xml");
    CPaintManagerUI::SetResourceZip(L"", false);
    DeleteFileW((skins.Path() + L"\\skins.zip").c_str());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Container(root)->GetCount(), 1);
    root->Delete();
}

TEST(DialogBuilder, TheNestingLimitHoldsForTheWholeTreeAcrossIncludes)
{
    SkinFolder skins(L"builder");
    // Each file alone is well within the parser's limit; joined they are not.
    skins.Write(L"outer.xml", "<Window>" + NestedBoxes(600, "<Include source=\"inner.xml\" />") + "</Window>");
    skins.Write(L"inner.xml", "<Window>" + NestedBoxes(600, "<Counting />") + "</Window>");
    Callback callback;
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create(L"outer.xml", nullptr, &callback), nullptr);
    EXPECT_EQ(BuilderMessage(builder), L"Elements nested too deeply");
    EXPECT_EQ(CountingBox::alive, 0);
    EXPECT_EQ(CountingControl::alive, 0);

    // Built into a parent, the failed build leaves the parent as it was.
    auto* parent = new CVerticalLayoutUI;
    auto* kept = new CControlUI;
    parent->Add(kept);
    CDialogBuilder intoParent;
    EXPECT_EQ(intoParent.Create(L"outer.xml", nullptr, &callback, nullptr, parent), nullptr);
    EXPECT_EQ(parent->GetCount(), 1);
    EXPECT_EQ(parent->GetItemAt(0), kept);
    EXPECT_EQ(CountingBox::alive, 0);
    parent->Delete();

    // Within the limit the joined tree is built.
    skins.Write(L"outer2.xml", "<Window>" + NestedBoxes(400, "<Include source=\"inner2.xml\" />") + "</Window>");
    skins.Write(L"inner2.xml", "<Window>" + NestedBoxes(400, "<Counting />") + "</Window>");
    CDialogBuilder fits;
    CControlUI* root = fits.Create(L"outer2.xml", nullptr, &callback);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(CountingBox::alive, 800);
    EXPECT_EQ(CountingControl::alive, 1);
    root->Delete();
    EXPECT_EQ(CountingBox::alive, 0);
}

TEST(DialogBuilder, RepetitionsThatMultiplyAlongIncludesAreBounded)
{
    SkinFolder skins(L"builder");
    skins.Write(L"a.xml",
                "<Window><VerticalLayout><Include source=\"b.xml\" count=\"30\" /></VerticalLayout></Window>");
    skins.Write(L"b.xml", "<Window><Include source=\"c.xml\" count=\"30\" /></Window>");
    skins.Write(L"c.xml", "<Window>" + Repeat("<Counting />", 25) + "</Window>");
    Callback callback;
    CDialogBuilder builder;
    // 30 x 30 x 25 controls: more than one build may make.
    EXPECT_EQ(builder.Create(L"a.xml", nullptr, &callback), nullptr);
    EXPECT_EQ(BuilderMessage(builder), L"Too many controls");
    EXPECT_EQ(CountingControl::alive, 0);

    // Documents that make no controls are bounded too: 100 x 100 builds.
    skins.Write(L"d.xml",
                "<Window><VerticalLayout><Include source=\"e.xml\" count=\"100\" /></VerticalLayout></Window>");
    skins.Write(L"e.xml", "<Window><Include source=\"f.xml\" count=\"100\" /></Window>");
    skins.Write(L"f.xml", "<Window><Font id=\"1\" name=\"Arial\" size=\"12\" /></Window>");
    CDialogBuilder documents;
    EXPECT_EQ(documents.Create(L"d.xml", nullptr, &callback), nullptr);
    EXPECT_EQ(BuilderMessage(documents), L"Too many included documents");

    // Well below both bounds the repetitions are all built.
    skins.Write(L"g.xml",
                "<Window><VerticalLayout><Include source=\"h.xml\" count=\"10\" /></VerticalLayout></Window>");
    skins.Write(L"h.xml", "<Window><Include source=\"c.xml\" count=\"10\" /></Window>");
    CDialogBuilder fits;
    CControlUI* root = fits.Create(L"g.xml", nullptr, &callback);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Container(root)->GetCount(), 10 * 10 * 25);
    root->Delete();
    EXPECT_EQ(CountingControl::alive, 0);
}

TEST(DialogBuilder, AnIncludeAtTheTopWithoutAParentLeavesNothingAlive)
{
    SkinFolder skins(L"builder");
    skins.Write(L"part.xml", "<Window><Counting /><Counting /></Window>");
    Callback callback;
    CDialogBuilder alone;
    EXPECT_EQ(alone.Create(L"<Window><Include source=\"part.xml\" count=\"2\" /></Window>", nullptr, &callback),
              nullptr);
    EXPECT_EQ(CountingControl::alive, 0);

    // Beside a control of its own, that control is the result.
    CDialogBuilder beside;
    CControlUI* root = beside.Create(L"<Window><Include source=\"part.xml\" /><VerticalLayout /></Window>", nullptr,
                                     &callback);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->GetClass(), L"VerticalLayout");
    EXPECT_EQ(CountingControl::alive, 0);
    root->Delete();
}

TEST(DialogBuilder, AWindowSizeBeyondWhatThePlatformShowsIsBounded)
{
    const int widest = (std::min)(16384, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const int tallest = (std::min)(16384, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    ASSERT_GT(widest, 0);
    TestWindow window(100, 80);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"<Window size=\"100000,100000\" mininfo=\"90000,90000\" "
                                      L"maxinfo=\"200000,200000\" bktrans=\"true\">"
                                      L"<VerticalLayout bkcolor=\"#FF00FF00\" /></Window>",
                                      nullptr, nullptr, &window.manager);
    ASSERT_NE(root, nullptr);
    ASSERT_LE(window.manager.GetInitSize().cx, widest);
    ASSERT_LE(window.manager.GetInitSize().cy, tallest);
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(window.Handle(), &rc);
    ASSERT_LE(rc.right - rc.left, widest);
    ASSERT_LE(rc.bottom - rc.top, tallest);
    EXPECT_LE(window.manager.GetMinInfo().cx, widest);
    EXPECT_LE(window.manager.GetMinInfo().cy, tallest);
    EXPECT_LE(window.manager.GetMaxInfo().cx, widest);
    // Sizes within the bound are kept as they are.
    window.manager.SetInitSize(120, 90);
    EXPECT_EQ(window.manager.GetInitSize().cx, 120);
    EXPECT_EQ(window.manager.GetInitSize().cy, 90);

    // The layered window is painted at its (bounded) size.
    window.manager.AttachDialog(root);
    window.manager.Invalidate();
    window.Send(WM_TIMER, 0x2000, 0);
    window.Send(WM_TIMER, 0x2000, 0);
    EXPECT_NE(window.manager.GetPaintOffscreenBitmap(), nullptr);
}

} // namespace
