// FacetPreview run as a child process: sample skins rendered to PNG files whose
// pixels are checked, skins from a zip archive with images, and skins that do
// not load.
#include "core/Markup.h"

#include "../support/TestFiles.h"
#include "../support/TestImages.h"
#include "../support/ZipWriter.h"
#include "TemplateTestSupport.h"

#include <stb_image.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A kernel handle closed with its owner.
class Handle
{
public:
    explicit Handle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return m_handle; }
    HANDLE* Put()
    {
        Close();
        return &m_handle;
    }
    void Close()
    {
        if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle;
};

struct RunResult
{
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;   // standard output and standard error together
};

std::string ReadAll(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

// Runs FacetPreview with `arguments` and waits for it to end.
RunResult RunPreview(const std::wstring& arguments)
{
    RunResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    Handle readEnd;
    Handle writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0))
        return result;
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    std::wstring commandLine = L"\"" + testsupport::ProgramFolder() + L"\\FacetPreview.exe\" " + arguments;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return result;
    Handle processHandle(process.hProcess);
    Handle threadHandle(process.hThread);
    // Only the child holds the write end now, so reading ends when it exits.
    writeEnd.Close();
    result.output = ReadAll(readEnd.Get());
    ::WaitForSingleObject(processHandle.Get(), INFINITE);
    ::GetExitCodeProcess(processHandle.Get(), &result.exitCode);
    return result;
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

// A decoded PNG: RGBA pixels, row by row.
struct Png
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    // 0xAARRGGBB of one pixel.
    uint32_t At(int x, int y) const
    {
        const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        return (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[0]) << 16) |
               (static_cast<uint32_t>(p[1]) << 8) | p[2];
    }
};

bool LoadPng(const std::wstring& path, Png& png)
{
    const std::string bytes = testsupport::ReadFileText(path);
    if (bytes.empty())
        return false;
    int components = 0;
    unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                  static_cast<int>(bytes.size()), &png.width, &png.height,
                                                  &components, 4);
    if (pixels == nullptr)
        return false;
    png.rgba.assign(pixels, pixels + static_cast<size_t>(png.width) * png.height * 4);
    stbi_image_free(pixels);
    return true;
}

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
    const RunResult run =
        RunPreview(L"--png " + Quoted(out) + L" " + Quoted(templatetest::DataFolder() + L"preview_bands.xml"));
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
    const RunResult run =
        RunPreview(L"--png " + Quoted(out) + L" " + Quoted(templatetest::DataFolder() + L"round.xml"));
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
    zip.Add("skin.xml",
            "<Window size=\"90,60\">"
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
    const std::wstring broken = templatetest::DataFolder() + L"preview_broken.xml";
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
    const RunResult empty =
        RunPreview(L"--png " + Quoted(out) + L" " + Quoted(templatetest::DataFolder() + L"preview_empty.xml"));
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
