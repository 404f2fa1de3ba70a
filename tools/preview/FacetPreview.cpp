// FacetPreview: checks a skin and tells its author what is wrong and where,
// shows it in a window of the framework, or renders it offscreen to a PNG
// file, so that skin authors (and tests) can see every page of a skin.
//
//   FacetPreview skin.xml                         show the skin of a folder
//   FacetPreview archive.zip skin.xml             show a skin inside a zip archive
//   FacetPreview --check [archive.zip] skin.xml   report the skin's mistakes and exit
//   FacetPreview --png out.png [archive.zip] skin.xml
//                                                 write it at its "size" and exit
// Options for the window and --png: --scale 1.5 (the display scale to render
// at), --select tabs=2 (a page of a tab layout, repeatable); for the window:
// --watch (show the skin again whenever one of its files changes).
//
// Every mode prints the mistakes as "file:line:column: warning|error: message",
// --check on standard output, the others on standard error.
// Exit codes of --check: 0 no mistakes, 1 warnings only, 2 errors.
// Exit codes otherwise: 0 done, 1 bad command line, 2 the skin does not load,
// 3 the window or the PNG cannot be made.
#include "PngSnapshot.h"
#include "PreviewOptions.h"
#include "PreviewWindow.h"
#include "SkinChecker.h"
#include "SkinWatch.h"

#include "control/ControlUI.h"
#include "core/DialogBuilder.h"
#include "core/DpiManager.h"
#include "core/PaintManager.h"

#include <windows.h>
#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kExitUsage = 1;
const int kExitSkin = 2;
const int kExitWindow = 3;

const wchar_t kUsage[] =
    L"usage: FacetPreview [--check | --png out.png] [--scale factor] [--select name=page]... [--watch]\n"
    L"                    [archive.zip] skin.xml";

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
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           nullptr);
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

// -- Skin source and scale --

void UseSkinSource(const preview::PreviewOptions& options)
{
    Facet::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    Facet::CPaintManagerUI::SetResourcePath(options.resourceFolder.c_str());
    if (!options.zipName.empty())
        Facet::CPaintManagerUI::SetResourceZip(options.zipName.c_str(), true);
}

// The archive is read again, as it is when a changed skin is shown again.
void ReopenArchive(const preview::PreviewOptions& options)
{
    if (options.zipName.empty())
        return;
    Facet::CPaintManagerUI::SetResourceZip(L"", true);
    Facet::CPaintManagerUI::SetResourceZip(options.zipName.c_str(), true);
}

// The dots per inch that --scale asks for. The scale manager reads it
// through a plain function, so it lives here.
int& ChosenDpi()
{
    static int dpi = 96;
    return dpi;
}

int ReadChosenDpi()
{
    return ChosenDpi();
}

// Without --scale the display's own reading stays.
void UseScale(double scale)
{
    if (scale <= 0.0)
        return;
    ChosenDpi() = static_cast<int>(std::lround(scale * 96.0));
    Facet::DpiManager::GetInstance()->SetDpiSource(&ReadChosenDpi);
}

// -- Checking --

void Print(FILE* stream, const std::vector<preview::Diagnostic>& diagnostics)
{
    for (const preview::Diagnostic& diagnostic : diagnostics)
        PrintLine(stream, preview::FormatDiagnostic(diagnostic));
}

// Builds the skin once without a window: the window template would end the
// process behind a message box on a skin that makes no control.
bool MakesControls(const preview::PreviewOptions& options)
{
    Facet::CDialogBuilder builder;
    Facet::CControlUI* root = builder.Create(Facet::STRINGorID(options.skinName.c_str()));
    if (root == nullptr)
        return false;
    root->Delete();
    return true;
}

// The checker's findings, and whether the skin can be shown: it parses and
// makes a control. A skin without controls is an error of its own.
preview::CheckResult CheckForShowing(const preview::PreviewOptions& options, bool& showable)
{
    preview::CheckResult result = preview::CheckSkin(options);
    showable = result.loads && MakesControls(options);
    if (result.loads && !showable) {
        preview::Diagnostic none;
        none.severity = preview::Severity::kError;
        none.file = options.shownFolder + (options.zipName.empty() ? L"" : options.zipName + L"\\") + options.skinName;
        none.message = L"the skin makes no controls";
        result.diagnostics.insert(result.diagnostics.begin(), none);
    }
    return result;
}

int RunCheck(const preview::PreviewOptions& options)
{
    bool showable = false;
    const preview::CheckResult result = CheckForShowing(options, showable);
    Print(stdout, result.diagnostics);
    return preview::SeverityExitCode(result.diagnostics);
}

// -- Showing --

// A preview window made at `x`, `y` with the chosen pages selected; null
// after printing why when it cannot be made.
std::unique_ptr<preview::PreviewWindow> MakeWindow(const preview::PreviewOptions& options, bool popup, int x, int y)
{
    auto window = std::make_unique<preview::PreviewWindow>(options, !popup);
    const std::wstring title = L"FacetPreview - " + options.skinName;
    const HWND hWnd = popup ? window->Create(nullptr, title.c_str(), WS_POPUP, WS_EX_TOOLWINDOW, x, y, 0, 0)
                            : window->Create(nullptr, title.c_str(), WS_OVERLAPPEDWINDOW, 0, x, y, 0, 0);
    if (hWnd == nullptr) {
        PrintLine(stderr, L"FacetPreview: cannot create the window");
        return nullptr;
    }
    for (const std::wstring& problem : window->GetSelectionProblems())
        PrintLine(stderr, L"FacetPreview: " + problem);
    return window;
}

void Destroy(std::unique_ptr<preview::PreviewWindow>& window)
{
    window->SetQuitWhenDestroyed(false);
    ::DestroyWindow(window->GetHWND());
    window.reset();
}

int RenderToPng(const preview::PreviewOptions& options)
{
    std::unique_ptr<preview::PreviewWindow> window = MakeWindow(options, true, 0, 0);
    if (!window)
        return kExitWindow;
    if (!window->GetSelectionProblems().empty()) {
        Destroy(window);
        return kExitUsage;
    }
    std::wstring error;
    const bool written = preview::WriteWindowPng(window->GetPaintManager(), options.pngPath, error);
    Destroy(window);
    if (!written) {
        PrintLine(stderr, L"FacetPreview: " + error);
        return kExitWindow;
    }
    PrintLine(stdout, L"FacetPreview: wrote " + options.pngPath);
    return 0;
}

// With --watch: a changed skin is checked again and, when it can be shown,
// replaces the window at the same place. One that cannot be shown leaves the
// last good one on the screen.
class Watcher
{
public:
    Watcher(const preview::PreviewOptions& options, std::unique_ptr<preview::PreviewWindow>& window,
            std::vector<std::wstring> files)
        : m_options(options), m_window(window), m_files(std::move(files))
    {
    }

    int Run()
    {
        return preview::WatchingMessageLoop([this] { return preview::FileStamps(m_files); }, [this] { ShowAgain(); });
    }

private:
    void ShowAgain()
    {
        ReopenArchive(m_options);
        bool showable = false;
        const preview::CheckResult result = CheckForShowing(m_options, showable);
        m_files = result.files;
        Print(stderr, result.diagnostics);
        if (!showable) {
            PrintLine(stderr, L"FacetPreview: the changed skin does not load; the window keeps the last one");
            return;
        }
        RECT place = {};
        ::GetWindowRect(m_window->GetHWND(), &place);
        // The old window's shared resources go, so that changed images are read again.
        Facet::CPaintManagerUI& manager = m_window->GetPaintManager();
        manager.RemoveAllImages(true);
        manager.RemoveAllFonts(true);
        manager.RemoveAllDefaultAttributeList(true);
        std::unique_ptr<preview::PreviewWindow> next = MakeWindow(m_options, false, place.left, place.top);
        if (!next)
            return;
        Destroy(m_window);
        m_window = std::move(next);
        m_window->ShowWindow(true);
        PrintLine(stdout, L"FacetPreview: showing the changed skin again");
    }

    const preview::PreviewOptions& m_options;
    std::unique_ptr<preview::PreviewWindow>& m_window;
    std::vector<std::wstring> m_files;
};

int ShowWindowUntilClosed(const preview::PreviewOptions& options, const std::vector<std::wstring>& files)
{
    std::unique_ptr<preview::PreviewWindow> window = MakeWindow(options, false, 0, 0);
    if (!window)
        return kExitWindow;
    if (!window->GetSelectionProblems().empty()) {
        Destroy(window);
        return kExitUsage;
    }
    window->CenterWindow();
    window->ShowWindow(true);
    if (!options.watch)
        return Facet::CPaintManagerUI::MessageLoop();
    return Watcher(options, window, files).Run();
}

int Run(const preview::PreviewOptions& options)
{
    if (options.check)
        return RunCheck(options);
    bool showable = false;
    const preview::CheckResult result = CheckForShowing(options, showable);
    Print(stderr, result.diagnostics);
    if (!showable)
        return kExitSkin;
    if (!options.pngPath.empty())
        return RenderToPng(options);
    return ShowWindowUntilClosed(options, result.files);
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
    UseSkinSource(options);
    UseScale(options.scale);
    const int result = Run(options);
    Facet::CPaintManagerUI::Term();
    return result;
}
