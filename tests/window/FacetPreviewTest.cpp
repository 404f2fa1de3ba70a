// FacetPreview run as a child process: sample skins rendered to PNG files whose
// pixels are checked, skins from a zip archive with images, and skins that do
// not load.
#include "core/Markup.h"

#include "../support/TestFiles.h"
#include "../support/TestImages.h"
#include "../support/ZipWriter.h"
#include "PreviewToolSupport.h"
#include "TemplateTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using testsupport::LoadPng;
using testsupport::Png;
using testsupport::Quoted;
using testsupport::RunPreview;
using testsupport::RunResult;

class PreviewToolTest : public ::testing::Test
{
protected:
    void SetUp() override { m_folder = testsupport::FreshTempFolder(L"preview"); }

    std::wstring OutPath(const wchar_t* name) const { return m_folder + L"\\" + name; }
    std::wstring Folder() const { return m_folder; }

private:
    std::wstring m_folder;
};

} // namespace

TEST_F(PreviewToolTest, RendersASkinFileAtItsSize)
{
    const std::wstring out = OutPath(L"bands.png");
    const RunResult run = RunPreview(L"--png " + Quoted(out) + L" " +
                                     Quoted(testsupport::DataFolder() + L"preview_bands.xml"));
    ASSERT_EQ(run.exitCode, 0u) << run.output;

    Png png;
    ASSERT_TRUE(LoadPng(out, png));
    EXPECT_EQ(png.width, 120);
    EXPECT_EQ(png.height, 80);
    // Blue header (rows 0..19), red body, white footer (rows 60..79) with a
    // green box at x 60..79.
    EXPECT_EQ(png.At(0, 0), 0xFF0000FFu);
    EXPECT_EQ(png.At(119, 19), 0xFF0000FFu);
    EXPECT_EQ(png.At(0, 20), 0xFFFF0000u);
    EXPECT_EQ(png.At(119, 59), 0xFFFF0000u);
    EXPECT_EQ(png.At(59, 60), 0xFFFFFFFFu);
    EXPECT_EQ(png.At(60, 60), 0xFF00FF00u);
    EXPECT_EQ(png.At(79, 79), 0xFF00FF00u);
    EXPECT_EQ(png.At(80, 79), 0xFFFFFFFFu);
}

TEST_F(PreviewToolTest, RoundCornersAreTransparent)
{
    const std::wstring out = OutPath(L"round.png");
    const RunResult run = RunPreview(L"--png " + Quoted(out) + L" " + Quoted(testsupport::DataFolder() + L"round.xml"));
    ASSERT_EQ(run.exitCode, 0u) << run.output;

    Png png;
    ASSERT_TRUE(LoadPng(out, png));
    ASSERT_EQ(png.width, 100);
    ASSERT_EQ(png.height, 80);
    EXPECT_EQ(png.At(0, 0) >> 24, 0u);
    EXPECT_EQ(png.At(99, 0) >> 24, 0u);
    EXPECT_EQ(png.At(0, 79) >> 24, 0u);
    EXPECT_EQ(png.At(99, 79) >> 24, 0u);
    EXPECT_EQ(png.At(50, 40), 0xFF00C000u);
    EXPECT_EQ(png.At(50, 1), 0xFF00C000u);
}

TEST_F(PreviewToolTest, RendersASkinFromAZipWithItsImages)
{
    // A 40 x 30 picture: yellow with a magenta square at (10..19, 5..14).
    testsupport::Picture picture(40, 30, 0xFFFFFF00u);
    picture.FillRect(10, 5, 20, 15, 0xFFFF00FFu);
    const std::vector<unsigned char> png = testsupport::EncodePng(picture);

    testsupport::ZipWriter zip;
    zip.Add("skin.xml", "<Window size=\"90,60\">"
                        "<VerticalLayout bkcolor=\"#FF000000\">"
                        "<Control float=\"true\" pos=\"5,5,45,35\" bkimage=\"images/picture.png\" />"
                        "</VerticalLayout></Window>");
    zip.Add("images/picture.png", std::string(png.begin(), png.end()));
    const std::wstring archive = Folder() + L"\\skin archive.zip";
    ASSERT_TRUE(zip.WriteTo(archive));

    const std::wstring out = OutPath(L"zip.png");
    const RunResult run = RunPreview(L"--png " + Quoted(out) + L" " + Quoted(archive) + L" skin.xml");
    ASSERT_EQ(run.exitCode, 0u) << run.output;

    Png result;
    ASSERT_TRUE(LoadPng(out, result));
    ASSERT_EQ(result.width, 90);
    ASSERT_EQ(result.height, 60);
    EXPECT_EQ(result.At(0, 0), 0xFF000000u);
    EXPECT_EQ(result.At(5, 5), 0xFFFFFF00u);
    EXPECT_EQ(result.At(15, 10), 0xFFFF00FFu);
    EXPECT_EQ(result.At(24, 19), 0xFFFF00FFu);
    EXPECT_EQ(result.At(44, 34), 0xFFFFFF00u);
    EXPECT_EQ(result.At(45, 35), 0xFF000000u);
}

TEST_F(PreviewToolTest, SkinsThatDoNotLoadAreReportedWithTheParsersMessage)
{
    const std::wstring broken = testsupport::DataFolder() + L"preview_broken.xml";
    const std::wstring out = OutPath(L"broken.png");
    const RunResult run = RunPreview(L"--png " + Quoted(out) + L" " + Quoted(broken));
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_FALSE(testsupport::Exists(out));

    // The message and location the parser gives for the same document.
    Facet::CMarkup markup;
    ASSERT_FALSE(markup.LoadFromFile(broken.c_str()));
    wchar_t message[128] = {};
    wchar_t location[64] = {};
    markup.GetLastErrorMessage(message, 128);
    markup.GetLastErrorLocation(location, 64);
    ASSERT_NE(message[0], L'\0');
    const auto narrow = [](const wchar_t* text) {
        std::string out;
        for (; *text != L'\0'; ++text)
            out += static_cast<char>(*text < 0x80 ? *text : '?');
        return out;
    };
    EXPECT_NE(run.output.find("preview_broken.xml"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(narrow(message)), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(narrow(location).substr(0, 10)), std::string::npos) << run.output;

    // A missing file, and a skin that makes no control.
    const RunResult missing = RunPreview(Quoted(Folder() + L"\\absent.xml"));
    EXPECT_EQ(missing.exitCode, 2u);
    EXPECT_NE(missing.output.find("absent.xml"), std::string::npos) << missing.output;
    const RunResult empty = RunPreview(L"--png " + Quoted(out) + L" " +
                                       Quoted(testsupport::DataFolder() + L"preview_empty.xml"));
    EXPECT_EQ(empty.exitCode, 2u);
    EXPECT_NE(empty.output.find("no controls"), std::string::npos) << empty.output;

    // A missing archive.
    const RunResult noArchive = RunPreview(Quoted(Folder() + L"\\absent.zip") + L" skin.xml");
    EXPECT_EQ(noArchive.exitCode, 2u);
    EXPECT_NE(noArchive.output.find("absent.zip"), std::string::npos) << noArchive.output;
}

TEST_F(PreviewToolTest, BadCommandLinesPrintTheUsage)
{
    for (const wchar_t* arguments : {L"", L"--png", L"--frobnicate skin.xml", L"a.zip b.xml c.xml"}) {
        const RunResult run = RunPreview(arguments);
        EXPECT_EQ(run.exitCode, 1u) << "arguments: " << testing::PrintToString(std::wstring(arguments));
        EXPECT_NE(run.output.find("usage: FacetPreview"), std::string::npos) << run.output;
    }
}

namespace {

// How many pixels of rows [top, bottom) differ between two pictures of one size.
int DifferingPixels(const Png& a, const Png& b, int top, int bottom)
{
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < a.width; ++x)
            count += a.At(x, y) != b.At(x, y) ? 1 : 0;
    }
    return count;
}

// The updater's skin and images, copied beside the test program. The skin
// asks for its images as resources of the updater; run from the images
// folder, the preview finds them there as files.
std::wstring UpdaterSkin()
{
    return testsupport::ProgramFolder() + L"\\updater_skin\\skin\\MainFrame.xml";
}

std::wstring UpdaterImages()
{
    return testsupport::ProgramFolder() + L"\\updater_skin\\images";
}

} // namespace

TEST_F(PreviewToolTest, SelectRendersEachOfTheUpdatersThreePages)
{
    Png pages[3];
    for (int page = 0; page < 3; ++page) {
        const std::wstring out = OutPath((L"page" + std::to_wstring(page) + L".png").c_str());
        const RunResult run = RunPreview(L"--scale 1 --select tabLayout=" + std::to_wstring(page) + L" --png " +
                                             Quoted(out) + L" " + Quoted(UpdaterSkin()),
                                         UpdaterImages());
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        ASSERT_TRUE(LoadPng(out, pages[page]));
        ASSERT_EQ(pages[page].width, 680);
        ASSERT_EQ(pages[page].height, 440);
    }
    // The download and retry pages share their header (the same background
    // and buttons) and differ below it: a progress bar against two buttons.
    EXPECT_EQ(DifferingPixels(pages[0], pages[1], 0, 80), 0);
    EXPECT_GT(DifferingPixels(pages[0], pages[1], 330, 440), 680 * 110 / 100);
    // The proxy page has no background picture: its upper half is mostly white.
    EXPECT_GT(DifferingPixels(pages[0], pages[2], 0, 300), 680 * 300 / 2);
    EXPECT_GT(DifferingPixels(pages[1], pages[2], 0, 300), 680 * 300 / 2);

    // A page or a layout that is not there is a bad command line.
    const RunResult noPage = RunPreview(
        L"--select tabLayout=3 --png " + Quoted(OutPath(L"none.png")) + L" " + Quoted(UpdaterSkin()), UpdaterImages());
    EXPECT_EQ(noPage.exitCode, 1u);
    EXPECT_NE(noPage.output.find("--select: \"tabLayout\" has no page 3 (it has 3)"), std::string::npos)
        << noPage.output;
    const RunResult noLayout = RunPreview(
        L"--select tabs=0 --png " + Quoted(OutPath(L"none.png")) + L" " + Quoted(UpdaterSkin()), UpdaterImages());
    EXPECT_EQ(noLayout.exitCode, 1u);
    EXPECT_NE(noLayout.output.find("--select: the skin has no tab layout named \"tabs\""), std::string::npos)
        << noLayout.output;
}

namespace {

// The top-level preview window of a process, or null.
HWND PreviewWindowOf(DWORD processId)
{
    struct Search
    {
        DWORD processId;
        HWND found;
    } search = {processId, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM context) -> BOOL {
            Search* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hWnd, &owner);
            wchar_t name[64] = {};
            ::GetClassNameW(hWnd, name, 64);
            if (owner != s->processId || wcscmp(name, L"FacetPreviewWindow") != 0 || !::IsWindowVisible(hWnd))
                return TRUE;
            s->found = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

TEST_F(PreviewToolTest, ScaleRendersAsTheUpdaterWouldOnAScaledDisplay)
{
    const std::wstring out = OutPath(L"bands150.png");
    const RunResult run = RunPreview(L"--scale 1.5 --png " + Quoted(out) + L" " +
                                     Quoted(testsupport::DataFolder() + L"preview_bands.xml"));
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    Png png;
    ASSERT_TRUE(LoadPng(out, png));
    EXPECT_EQ(png.width, 180);
    EXPECT_EQ(png.height, 120);
    // Every band and the box grow by half: header rows 0..29, footer rows
    // 90..119 with the green box at x 90..119.
    EXPECT_EQ(png.At(0, 29), 0xFF0000FFu);
    EXPECT_EQ(png.At(0, 30), 0xFFFF0000u);
    EXPECT_EQ(png.At(179, 89), 0xFFFF0000u);
    EXPECT_EQ(png.At(89, 90), 0xFFFFFFFFu);
    EXPECT_EQ(png.At(90, 90), 0xFF00FF00u);
    EXPECT_EQ(png.At(119, 119), 0xFF00FF00u);
    EXPECT_EQ(png.At(120, 119), 0xFFFFFFFFu);

    // The window is sized as the updater sizes its own: the skin's "size" times the scale.
    testsupport::PreviewProcess preview(L"--scale 1.5 " + Quoted(testsupport::DataFolder() + L"preview_bands.xml"));
    ASSERT_TRUE(preview.Started());
    HWND window = nullptr;
    for (int i = 0; i < 600 && window == nullptr; ++i, ::Sleep(50))
        window = PreviewWindowOf(preview.ProcessId());
    ASSERT_NE(window, nullptr) << preview.Output();
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 180);
    EXPECT_EQ(rect.bottom - rect.top, 120);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(preview.WaitForExit(30000), 0u) << preview.Output();

    for (const wchar_t* scale : {L"0", L"abc", L"9"}) {
        const RunResult bad = RunPreview(std::wstring(L"--scale ") + scale + L" --png " + Quoted(out) + L" " +
                                         Quoted(testsupport::DataFolder() + L"preview_bands.xml"));
        EXPECT_EQ(bad.exitCode, 1u) << bad.output;
        EXPECT_NE(bad.output.find("--scale takes a factor from 0.5 to 4"), std::string::npos) << bad.output;
    }
}

TEST_F(PreviewToolTest, SelectIsRepeatedForEachTabLayout)
{
    const std::wstring skin = Folder() + L"\\tabs.xml";
    testsupport::WriteFileText(skin, "<Window size=\"20,20\"><VerticalLayout>\n"
                                     "  <TabLayout name=\"top\" height=\"10\">\n"
                                     "    <Control bkcolor=\"#FFFF0000\" /><Control bkcolor=\"#FF00FF00\" />\n"
                                     "  </TabLayout>\n"
                                     "  <TabLayout name=\"bottom\">\n"
                                     "    <Control bkcolor=\"#FFFF0000\" /><Control bkcolor=\"#FF00FF00\" />\n"
                                     "    <Control bkcolor=\"#FF0000FF\" />\n"
                                     "  </TabLayout>\n"
                                     "</VerticalLayout></Window>\n");
    const std::wstring out = OutPath(L"tabs.png");
    const RunResult run = RunPreview(L"--select top=1 --select bottom=2 --png " + Quoted(out) + L" " + Quoted(skin));
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    Png png;
    ASSERT_TRUE(LoadPng(out, png));
    EXPECT_EQ(png.At(10, 5), 0xFF00FF00u);
    EXPECT_EQ(png.At(10, 15), 0xFF0000FFu);
}

TEST_F(PreviewToolTest, PngAndWindowModesPrintTheMistakesAndKeepTheirExitCodes)
{
    const std::wstring skin = Folder() + L"\\skin.xml";
    testsupport::WriteFileText(skin, "<Window size=\"40,30\">\n"
                                     "  <Control bkcolor=\"#FF00FF00\" widht=\"3\" />\n"
                                     "</Window>\n");
    const RunResult run = RunPreview(L"--png " + Quoted(OutPath(L"out.png")) + L" " + Quoted(skin));
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find(testsupport::Narrow(skin) +
                              ":2:32: warning: \"widht\" is not an attribute of Control; did you mean \"width\"?"),
              std::string::npos)
        << run.output;
    Png png;
    ASSERT_TRUE(LoadPng(OutPath(L"out.png"), png));
    EXPECT_EQ(png.At(20, 15), 0xFF00FF00u);
}

TEST_F(PreviewToolTest, WatchShowsAChangedSkinAgainWhereTheWindowWas)
{
    const std::wstring skin = Folder() + L"\\watched.xml";
    const std::string shown = testsupport::Narrow(skin);
    testsupport::WriteFileText(skin, "<Window size=\"120,80\">\n"
                                     "  <Label textcolor=\"red\" />\n"
                                     "</Window>\n");
    testsupport::PreviewProcess preview(L"--watch --scale 1 " + Quoted(skin));
    ASSERT_TRUE(preview.Started());
    const std::string first = shown + ":2:10: warning: colour \"red\" does not parse";
    ASSERT_TRUE(preview.WaitForOutput(first, 30000)) << preview.Output();

    // The window shows up once the skin is on it.
    HWND window = nullptr;
    for (int i = 0; i < 300 && window == nullptr; ++i, ::Sleep(50))
        window = PreviewWindowOf(preview.ProcessId());
    ASSERT_NE(window, nullptr);
    RECT before = {};
    ::GetWindowRect(window, &before);
    EXPECT_EQ(before.right - before.left, 120);
    EXPECT_EQ(before.bottom - before.top, 80);

    // A new size and a new mistake: checked and shown again, where it was.
    const std::wstring picture = Folder() + L"\\picture.png";
    const std::vector<unsigned char> red = testsupport::EncodePng(testsupport::Picture(4, 4, 0xFFFF0000u));
    testsupport::WriteFileText(picture, std::string(red.begin(), red.end()));
    testsupport::WriteFileText(skin, "<Window size=\"160,90\">\n"
                                     "  <Label bkimage=\"picture.png\" />\n"
                                     "  <Control bkcolor=\"#GG0000\" />\n"
                                     "</Window>\n");
    const std::string second = shown + ":3:12: warning: colour \"#GG0000\" does not parse";
    const std::string again = "FacetPreview: showing the changed skin again";
    ASSERT_TRUE(preview.WaitForOutput(second, 30000)) << preview.Output();
    ASSERT_TRUE(preview.WaitForOutput(again, 30000)) << preview.Output();
    window = PreviewWindowOf(preview.ProcessId());
    ASSERT_NE(window, nullptr);
    RECT after = {};
    ::GetWindowRect(window, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, 160);
    EXPECT_EQ(after.bottom - after.top, 90);

    // A changed image is shown again too.
    const std::vector<unsigned char> blue = testsupport::EncodePng(testsupport::Picture(5, 5, 0xFF0000FFu));
    testsupport::WriteFileText(picture, std::string(blue.begin(), blue.end()));
    ASSERT_TRUE(preview.WaitForOutput(again, 30000, 2)) << preview.Output();
    EXPECT_EQ(preview.Count(second), 2) << preview.Output();
    window = PreviewWindowOf(preview.ProcessId());
    ASSERT_NE(window, nullptr);
    RECT third = {};
    ::GetWindowRect(window, &third);
    EXPECT_TRUE(::EqualRect(&third, &after));

    // A skin that no longer parses leaves the window as it was.
    testsupport::WriteFileText(skin, "<Window size=\"50,50\">\n  <Label text=\"x />\n</Window>\n");
    ASSERT_TRUE(preview.WaitForOutput("the changed skin does not load", 30000)) << preview.Output();
    EXPECT_EQ(PreviewWindowOf(preview.ProcessId()), window);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(preview.WaitForExit(30000), 0u) << preview.Output();
}
