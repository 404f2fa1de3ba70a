// FacetPreview: shows a skin in a window of the framework, or renders it
// offscreen to a PNG file, so that skin authors (and tests) can see a whole skin.
//
//   FacetPreview skin.xml                         show the skin of a folder
//   FacetPreview archive.zip skin.xml             show a skin inside a zip archive
//   FacetPreview --png out.png [archive.zip] skin.xml
//                                                 write it at its "size" and exit
//
// Exit codes: 0 done, 1 bad command line, 2 the skin does not load, 3 the
// window or the PNG cannot be made.
#include "PngSnapshot.h"
#include "PreviewOptions.h"
#include "PreviewWindow.h"

#include "control/ControlUI.h"
#include "core/DialogBuilder.h"
#include "core/PaintManager.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kExitUsage = 1;
const int kExitSkin = 2;
const int kExitWindow = 3;

const wchar_t kUsage[] =
    L"usage: FacetPreview [--png out.png] skin.xml\n"
    L"       FacetPreview [--png out.png] archive.zip skin.xml";

// The argument array of the command line, freed with its owner.
class CommandLineArguments
{
public:
    CommandLineArguments() : m_argv(::CommandLineToArgvW(::GetCommandLineW(), &m_argc)) {}
    ~CommandLineArguments()
    {
        if (m_argv != nullptr)
            ::LocalFree(m_argv);
    }
    CommandLineArguments(const CommandLineArguments&) = delete;
    CommandLineArguments& operator=(const CommandLineArguments&) = delete;

    // Every argument after the program name.
    std::vector<std::wstring> AfterProgram() const
    {
        std::vector<std::wstring> arguments;
        for (int i = 1; m_argv != nullptr && i < m_argc; ++i)
            arguments.push_back(m_argv[i]);
        return arguments;
    }

private:
    int m_argc = 0;
    LPWSTR* m_argv;
};

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

void PrintLine(FILE* stream, const std::wstring& line)
{
    std::fputs(ToUtf8(line).c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// Builds the skin once without a window, so that a skin that does not load is
// reported with the parser's message and location instead of ending the
// process behind a message box.
bool CheckSkin(const preview::PreviewOptions& options, std::wstring& problem)
{
    if (!options.zipName.empty() && Facet::CPaintManagerUI::GetResourceZipHandle() == nullptr) {
        problem = L"cannot open the archive " + options.resourceFolder + options.zipName;
        return false;
    }
    Facet::CDialogBuilder builder;
    Facet::CControlUI* root = builder.Create(Facet::STRINGorID(options.skinName.c_str()));
    if (root != nullptr) {
        root->Delete();
        return true;
    }
    wchar_t message[256] = {};
    wchar_t location[256] = {};
    builder.GetLastErrorMessage(message, 256);
    builder.GetLastErrorLocation(location, 256);
    problem = L"cannot load " + options.skinName + L": ";
    if (message[0] == L'\0') {
        problem += L"the skin has no controls";
    } else {
        problem += message;
        problem += L" at \"";
        problem += location;
        problem += L"\"";
    }
    return false;
}

int RenderToPng(const preview::PreviewOptions& options)
{
    preview::PreviewWindow window(options.skinName, options.zipName, false);
    if (window.Create(nullptr, L"FacetPreview", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0) == nullptr) {
        PrintLine(stderr, L"FacetPreview: cannot create the window");
        return kExitWindow;
    }
    std::wstring error;
    const bool written = preview::WriteWindowPng(window.GetPaintManager(), options.pngPath, error);
    ::DestroyWindow(window.GetHWND());
    if (!written) {
        PrintLine(stderr, L"FacetPreview: " + error);
        return kExitWindow;
    }
    PrintLine(stdout, L"FacetPreview: wrote " + options.pngPath);
    return 0;
}

int ShowWindowUntilClosed(const preview::PreviewOptions& options)
{
    preview::PreviewWindow window(options.skinName, options.zipName, true);
    const std::wstring title = L"FacetPreview - " + options.skinName;
    if (window.Create(nullptr, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, 0) == nullptr) {
        PrintLine(stderr, L"FacetPreview: cannot create the window");
        return kExitWindow;
    }
    window.CenterWindow();
    window.ShowWindow(true);
    Facet::CPaintManagerUI::MessageLoop();
    return 0;
}

} // namespace

int main()
{
    CommandLineArguments commandLine;
    preview::PreviewOptions options;
    std::wstring error;
    if (!preview::ParseOptions(commandLine.AfterProgram(), options, error)) {
        PrintLine(stderr, L"FacetPreview: " + error);
        PrintLine(stderr, kUsage);
        return kExitUsage;
    }

    Facet::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    Facet::CPaintManagerUI::SetResourcePath(options.resourceFolder.c_str());
    if (!options.zipName.empty())
        Facet::CPaintManagerUI::SetResourceZip(options.zipName.c_str(), true);

    int result = 0;
    std::wstring problem;
    if (!CheckSkin(options, problem)) {
        PrintLine(stderr, L"FacetPreview: " + problem);
        result = kExitSkin;
    } else if (!options.pngPath.empty()) {
        result = RenderToPng(options);
    } else {
        result = ShowWindowUntilClosed(options);
    }
    Facet::CPaintManagerUI::Term();
    return result;
}
