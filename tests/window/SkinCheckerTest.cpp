// FacetPreview --check as a child process on skins with the mistakes skin
// authors make most: each is reported with its file, line, column and a
// suggestion where one is near, and the exit code says the worst of them.
#include "../support/TestFiles.h"
#include "../support/ZipWriter.h"
#include "PreviewToolSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::Lines;
using testsupport::Narrow;
using testsupport::Quoted;
using testsupport::RunPreview;
using testsupport::RunResult;

class PreviewCheckTest : public ::testing::Test
{
protected:
    void SetUp() override { m_folder = testsupport::FreshTempFolder(L"check"); }

    // Writes `text` as the file `name` of the test's folder; answers its path.
    std::wstring Write(const wchar_t* name, const std::string& text) const
    {
        const std::wstring path = m_folder + L"\\" + name;
        testsupport::WriteFileText(path, text);
        return path;
    }

    // The path as the reports name it, before ":line:column".
    std::string Shown(const wchar_t* name) const { return Narrow(m_folder + L"\\" + name); }

    RunResult Check(const wchar_t* name) const { return RunPreview(L"--check " + Quoted(m_folder + L"\\" + name)); }

private:
    std::wstring m_folder;
};

TEST_F(PreviewCheckTest, ACleanSkinGivesNoOutputAndExitCodeZero)
{
    Write(L"clean.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                        "<Window size=\"100,50\" caption=\"0,0,0,20\">\n"
                        "  <Font id=\"1\" name=\"Arial\" size=\"12\" />\n"
                        "  <Default name=\"Button\" value=\"font=&quot;1&quot; textcolor=&quot;#FF000000&quot;\" />\n"
                        "  <VerticalLayout bkcolor=\" #FFFFFFFF\" inset=\"1,1,1,1\">\n"
                        "    <Button name=\"ok\" text=\"OK\" hottextcolor=\"FF0000\" font=\"1\" cover=\"false\" />\n"
                        "    <TileLayout Columns=\"2\"><Label name=\"a\" AutoCalcWidth=\"true\" /></TileLayout>\n"
                        "  </VerticalLayout>\n"
                        "</Window>\n");
    const RunResult run = Check(L"clean.xml");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output, "");
}

TEST_F(PreviewCheckTest, WarningsNameTheFileLineColumnAndASuggestion)
{
    Write(L"broken.png", "this is no picture");
    Write(L"skin.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                       "<Window size=\"200,100\">\n"
                       "  <Font id=\"1\" name=\"Arial\" size=\"12\" />\n"
                       "  <VerticalLayout widht=\"100\" bkcolr=\"#FFFF0000\">\n"
                       "    <Button name=\"ok\" Width=\"80\" normalimage=\"nothere.png\" />\n"
                       "    <Label name=\"ok\" textcolor=\"red\" font=\"7\" />\n"
                       "    <Control bkcolor=\"#GG0000\" bkimage=\"broken.png\" />\n"
                       "  </VerticalLayout>\n"
                       "</Window>\n");
    const RunResult run = Check(L"skin.xml");
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    const std::string file = Shown(L"skin.xml");
    const std::vector<std::string> expected = {
        file + ":4:19: warning: \"widht\" is not an attribute of VerticalLayout; did you mean \"width\"?",
        file + ":4:31: warning: \"bkcolr\" is not an attribute of VerticalLayout; did you mean \"bkcolor\"?",
        file + ":5:23: warning: \"Width\" is not an attribute of Button; did you mean \"width\"? "
               "(this attribute name is case-sensitive)",
        file + ":5:34: warning: image \"nothere.png\" cannot be found",
        file + ":6:12: warning: control name \"ok\" is already used at " + file + ":5:13",
        file + ":6:22: warning: colour \"red\" does not parse: write #AARRGGBB in hexadecimal",
        file + ":6:38: warning: font 7 is not registered by a Font element: the default font is used",
        file + ":7:14: warning: colour \"#GG0000\" does not parse: write #AARRGGBB in hexadecimal",
        file + ":7:32: warning: image \"broken.png\" cannot be decoded",
    };
    EXPECT_EQ(Lines(run.output), expected) << run.output;
}

TEST_F(PreviewCheckTest, ErrorsGiveExitCodeTwo)
{
    struct Case
    {
        const wchar_t* name;
        std::string skin;
        std::string report; // after "file:"
    };
    const Case cases[] = {
        {L"element.xml",
         "<Window size=\"100,50\">\n  <VerticalLayout>\n    <Buton text=\"x\" />\n    <Label />\n"
         "  </VerticalLayout>\n</Window>\n",
         "3:6: error: unknown element \"Buton\" is skipped with its contents; did you mean \"Button\"?"},
        {L"gif.xml", "<Window size=\"100,50\">\n  <HBox>\n    <gifanim />\n  </HBox>\n</Window>\n",
         "3:6: error: unknown element \"gifanim\" is skipped with its contents; did you mean \"GifAnim\"? "
         "(this element name is case-sensitive)"},
        {L"roots.xml", "<Window size=\"100,50\"><Control /></Window>\n<Window size=\"10,10\" />\n",
         "2:2: error: a second root element \"Window\" is ignored"},
        {L"unsized.xml", "<Window caption=\"0,0,0,20\">\n  <Control />\n</Window>\n",
         "1:2: error: \"Window\" has no \"size\": the window has no size"},
        {L"parse.xml", "<Window size=\"100,50\">\n  <Control width=100 />\n</Window>\n",
         "2:18: error: Expected attribute value near \"100 />\""},
        {L"missing.xml",
         "<Window size=\"100,50\">\n  <VerticalLayout>\n    <Include source=\"absent.xml\" />\n"
         "  </VerticalLayout>\n</Window>\n",
         "3:6: error: included file \"absent.xml\" cannot be read (Error opening file)"},
    };
    for (const Case& c : cases) {
        Write(c.name, c.skin);
        const RunResult run = Check(c.name);
        EXPECT_EQ(run.exitCode, 2u) << run.output;
        EXPECT_EQ(Lines(run.output), std::vector<std::string>{Shown(c.name) + ":" + c.report}) << run.output;
    }
}

TEST_F(PreviewCheckTest, IncludedFilesAreCheckedUnderTheirOwnNames)
{
    Write(L"main.xml", "<Window size=\"100,50\">\n"
                       "  <VerticalLayout>\n"
                       "    <Include source=\"part.xml\" />\n"
                       "  </VerticalLayout>\n"
                       "</Window>\n");
    Write(L"part.xml", "<Window>\n"
                       "  <Label txt=\"a\" />\n"
                       "  <Include source=\"MAIN.xml\" />\n"
                       "</Window>\n");
    const RunResult run = Check(L"main.xml");
    EXPECT_EQ(run.exitCode, 2u) << run.output;
    const std::string part = Shown(L"part.xml");
    const std::vector<std::string> expected = {
        part + ":2:10: warning: \"txt\" is not an attribute of Label; did you mean \"text\"?",
        part + ":3:4: error: recursive include of \"MAIN.xml\" is skipped",
    };
    EXPECT_EQ(Lines(run.output), expected) << run.output;
}

TEST_F(PreviewCheckTest, ASkinInAnArchiveIsNamedInsideIt)
{
    testsupport::ZipWriter zip;
    zip.Add("skin.xml", "<Window size=\"90,60\">\n  <Control bkimage=\"images/none.png\" />\n</Window>");
    const std::wstring archive = testsupport::FreshTempFolder(L"check-zip") + L"\\skins.zip";
    ASSERT_TRUE(zip.WriteTo(archive));
    const RunResult run = RunPreview(L"--check " + Quoted(archive) + L" skin.xml");
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_EQ(Lines(run.output),
              std::vector<std::string>{Narrow(archive) + "\\skin.xml:2:12: warning: image \"images/none.png\" "
                                                         "cannot be found"})
        << run.output;
}

TEST_F(PreviewCheckTest, DefaultListsAreCheckedAgainstTheirClass)
{
    Write(L"defaults.xml", "<Window size=\"100,50\">\n"
                           "  <Default name=\"Label\" value=\"textcolr=&quot;#FF000000&quot;\" />\n"
                           "  <Default name=\"Lable\" value=\"\" />\n"
                           "  <Label />\n"
                           "</Window>\n");
    const RunResult run = Check(L"defaults.xml");
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    const std::string file = Shown(L"defaults.xml");
    const std::vector<std::string> expected = {
        file + ":2:25: warning: \"textcolr\" is not an attribute of Label; did you mean \"textcolor\"?",
        file + ":3:12: warning: Default for unknown element \"Lable\"; did you mean \"Label\"?",
    };
    EXPECT_EQ(Lines(run.output), expected) << run.output;
}

} // namespace
