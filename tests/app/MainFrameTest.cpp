// The updater's main window in this process, built from the skin linked into
// this test program, inside a real host window.
#include "DownloadWorker.h"
#include "HostWindow.h"
#include "MainFrame.h"
#include "UiLanguage.h"
#include "PreviousInstallation.h"
#include "TextConvert.h"
#include "UpdaterDriver.h"
#include "WindowMessages.h"

#include "../support/TestFiles.h"
#include "../support/CapturedOutput.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

int g_testDpi = 96;
int TestDpi()
{
    return g_testDpi;
}

SIZE SizeOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

POINT TopLeftOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top};
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The host window and the main window as start-up makes them, at a given DPI.
class UpdaterWindows
{
public:
    // `removal` stands in for the removal of the previous installation during
    // the hand-off; by default it does nothing.
    explicit UpdaterWindows(
        int dpi, std::function<void()> removal = [] {})
    {
        g_testDpi = dpi;
        Facet::DpiManager::GetInstance()->SetDpiSource(TestDpi);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterHostWindowClass(instance, L"installer");
        host_ = CreateHostWindow(instance, L"installer", SW_SHOWNORMAL);
        Facet::CPaintManagerUI::SetInstance(instance);
        frame_ = std::make_unique<mainFrame>(host_, std::move(removal));
        frame_->Create(host_, L"MainFrame", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
        FitHostToChild(host_, frame_->GetHWND());
        frame_->ShowWindow(true, true);
        Pump();
    }
    ~UpdaterWindows()
    {
        if (IsWindow(host_))
            DestroyWindow(host_);
        Pump();
        Facet::DpiManager::GetInstance()->SetDpiSource(nullptr);
    }
    UpdaterWindows(const UpdaterWindows&) = delete;
    UpdaterWindows& operator=(const UpdaterWindows&) = delete;

    HWND Host() const { return host_; }
    mainFrame& Frame() const { return *frame_; }
    HWND Main() const { return frame_->GetHWND(); }
    int Page() const { return updaterdriver::PageOf(Main()); }

    Facet::CPaintManagerUI* Manager() const
    {
        Facet::CFacetPtrArray* managers = Facet::CPaintManagerUI::GetPaintManagers();
        for (int i = 0; i < managers->GetSize(); ++i) {
            auto* manager = static_cast<Facet::CPaintManagerUI*>(managers->GetAt(i));
            if (manager->GetPaintWindow() == Main())
                return manager;
        }
        return nullptr;
    }

    // A control of the main window by its skin name.
    Facet::CControlUI* Control(const wchar_t* name) const
    {
        Facet::CPaintManagerUI* manager = Manager();
        return manager != nullptr ? manager->FindControl(name) : nullptr;
    }

    // The skin name of the control that holds the keyboard, or "".
    std::wstring Focused() const
    {
        const Facet::CControlUI* focused = Manager()->GetFocus();
        return focused != nullptr ? focused->GetName().GetData() : L"";
    }

    // A key pressed and released on whichever window holds the keyboard,
    // delivered by a loop like the updater's own.
    void Press(UINT key) const
    {
        HWND target = GetFocus();
        PostMessageW(target != nullptr ? target : Main(), WM_KEYDOWN, key, 1);
        PostMessageW(target != nullptr ? target : Main(), WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (Facet::CPaintManagerUI::TranslateMessage(&msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Pump();
    }

    // A press and release at a point of the main window, and what it posted.
    void Click(POINT at) const
    {
        updaterdriver::Click(Main(), at);
        Pump();
    }

    // A press at `from` and a move to `to` with the left button held, the
    // cursor where the platform would put it; and the release unless not asked.
    void Drag(POINT from, POINT to, bool release = true) const
    {
        const POINT origin = TopLeft();
        SetCursorPos(origin.x + from.x, origin.y + from.y);
        SendMessageW(Main(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        if (!release)
            return;
        SetCursorPos(origin.x + to.x, origin.y + to.y);
        SendMessageW(Main(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageW(Main(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }

    POINT TopLeft() const
    {
        RECT rect = {};
        GetWindowRect(host_, &rect);
        return {rect.left, rect.top};
    }

    void Type(POINT field, const std::wstring& text) const
    {
        ASSERT_TRUE(updaterdriver::TypeInto(Main(), field, text));
        Pump();
    }

private:
    HWND host_ = nullptr;
    std::unique_ptr<mainFrame> frame_;
};

// Pumps this thread's messages until `done` or 60 s have passed; the result of `done`.
bool PumpUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 600 && !done(); ++i) {
        Pump();
        Sleep(100);
    }
    Pump();
    return done();
}

// Stands in for the removal of the previous installation: counts its runs, and
// when held, does not end until the test lets it go.
class TestRemoval
{
public:
    explicit TestRemoval(bool held = false)
        : m_release(CreateEventW(nullptr, TRUE, held ? FALSE : TRUE, nullptr)),
          m_started(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_ended(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~TestRemoval()
    {
        // The removal thread uses this object: it must have ended first.
        Release();
        if (m_runs > 0)
            WaitForSingleObject(m_ended, 60000);
        CloseHandle(m_release);
        CloseHandle(m_started);
        CloseHandle(m_ended);
    }
    TestRemoval(const TestRemoval&) = delete;
    TestRemoval& operator=(const TestRemoval&) = delete;

    std::function<void()> Body()
    {
        return [this] {
            ++m_runs;
            ResetEvent(m_ended);
            SetEvent(m_started);
            WaitForSingleObject(m_release, INFINITE);
            SetEvent(m_ended);
        };
    }
    bool WaitStarted() const { return WaitForSingleObject(m_started, 60000) == WAIT_OBJECT_0; }
    bool WaitEnded() const { return WaitForSingleObject(m_ended, 60000) == WAIT_OBJECT_0; }
    void Release() { SetEvent(m_release); }
    int Runs() const { return m_runs; }

private:
    HANDLE m_release;
    HANDLE m_started;
    HANDLE m_ended;
    std::atomic<int> m_runs{0};
};

// A copy of the fake installer in a fresh folder, held open as a finished download holds it.
HandOff* FinishedDownload(const std::wstring& name, const std::string& bytes)
{
    const std::wstring path = testsupport::FreshTempFolder(L"handoff") + L"\\" + name;
    testsupport::WriteFileText(path, bytes);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    return new HandOff{DownloadedFile(file == INVALID_HANDLE_VALUE ? nullptr : file, path)};
}

std::string FakeInstaller()
{
    return testsupport::ReadFileText(testsupport::ProgramFolder() + L"\\fake_installer.exe");
}

bool InstallerRan(const std::wstring& path)
{
    for (int i = 0; i < 100; ++i) {
        if (testsupport::Exists(path + L".ran"))
            return true;
        Sleep(100);
    }
    return false;
}

// A main window whose skin resource does not exist.
class SkinlessFrame : public mainFrame
{
public:
    using mainFrame::mainFrame;
    UINT GetSkinResourceID() const override { return 4242; }
};

TEST(MainFrame, AMissingSkinIsReportedAndTheWindowIsNotCreated)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Facet::CPaintManagerUI::SetInstance(instance);
    RegisterHostWindowClass(instance, L"installer");
    HWND host = CreateHostWindow(instance, L"installer", SW_SHOWNORMAL);
    ASSERT_NE(host, nullptr);

    // The error box is modal on this thread: another thread reads and closes it.
    std::wstring boxText;
    std::atomic<bool> stop(false);
    std::thread closer([&] {
        const DWORD thisProcess = GetCurrentProcessId();
        for (int waited = 0; !stop; ++waited) {
            HWND box = FindWindowW(L"#32770", nullptr);
            DWORD owner = 0;
            if (box != nullptr && GetWindowThreadProcessId(box, &owner) != 0 && owner == thisProcess) {
                // The box is found as soon as it exists; its text may come a moment later.
                // After 20 s the box is closed whatever it says, so a wrong box fails the test, not hangs it.
                wchar_t text[256] = {};
                if (GetDlgItemTextW(box, 0xFFFF, text, 256) > 0 || waited > 400) {
                    boxText = text;
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    return;
                }
            }
            Sleep(50);
        }
    });
    SkinlessFrame frame(host);
    const HWND created = frame.Create(host, L"MainFrame", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
    stop = true;
    closer.join();

    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(boxText, L"Cant not find the skin!!");
    DestroyWindow(host);
    Pump();
}

TEST(UiLanguage, LanguageIdsChooseTheirTextSets)
{
    EXPECT_EQ(SelectUiLanguage(1028), 1);
    EXPECT_EQ(SelectUiLanguage(3076), 1);
    EXPECT_EQ(SelectUiLanguage(5124), 1);
    EXPECT_EQ(SelectUiLanguage(1033), 2);
    EXPECT_EQ(SelectUiLanguage(2052), 0);
    EXPECT_EQ(SelectUiLanguage(1031), 3);
    EXPECT_EQ(UiTextsOf(0)->control, nullptr);
    EXPECT_FALSE(WidensProxyLabels(0));
    EXPECT_FALSE(WidensProxyLabels(1));
    EXPECT_TRUE(WidensProxyLabels(3));
    // Hong Kong Chinese reads the retry button in Traditional Chinese.
    std::wstring retry;
    for (const UiText* text = UiTextsOf(SelectUiLanguage(3076)); text->control != nullptr; ++text) {
        if (std::wstring(text->control) == L"btn_retry")
            retry = text->text;
    }
    EXPECT_EQ(retry, L"\x91CD\x8A66");
}

TEST(HostWindow, IsCentredWithHalvesTruncatedTowardZero)
{
    EXPECT_EQ(CenteredOnScreen({1920, 1080}, {680, 443}).x, 620);
    EXPECT_EQ(CenteredOnScreen({1920, 1080}, {680, 443}).y, 318);
    EXPECT_EQ(CenteredOnScreen({679, 443}, {680, 443}).x, 0);
    EXPECT_EQ(CenteredOnScreen({600, 443}, {680, 443}).x, -40);
}

TEST(MainFrame, SizesItselfByTheDisplayScaleAndTheHostFollows)
{
    {
        UpdaterWindows windows(96);
        EXPECT_EQ(SizeOf(windows.Main()).cx, 680);
        EXPECT_EQ(SizeOf(windows.Main()).cy, 440);
        EXPECT_EQ(SizeOf(windows.Host()).cx, 680);
        EXPECT_EQ(SizeOf(windows.Host()).cy, 443);
        EXPECT_EQ(windows.Page(), mainFrame::kDownloadPage);
    }
    {
        UpdaterWindows windows(144);
        EXPECT_EQ(SizeOf(windows.Main()).cx, 1020);
        EXPECT_EQ(SizeOf(windows.Main()).cy, 660);
        EXPECT_EQ(SizeOf(windows.Host()).cx, 1020);
        EXPECT_EQ(SizeOf(windows.Host()).cy, 660);
        const POINT centred = CenteredOnScreen({GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                                               {1020, 660});
        EXPECT_EQ(TopLeftOf(windows.Host()).x, centred.x);
        EXPECT_EQ(TopLeftOf(windows.Host()).y, centred.y);
    }
}

TEST(MainFrame, DragsTheHostFromTheTopStripOnlyAndKeepsItsSize)
{
    UpdaterWindows windows(96);
    const POINT start = TopLeftOf(windows.Host());

    // A move with the button held but no press in this window drags nothing.
    SetCursorPos(start.x + 300, start.y + 200);
    SendMessageW(windows.Main(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 200));
    EXPECT_EQ(TopLeftOf(windows.Host()).x, start.x);
    EXPECT_EQ(TopLeftOf(windows.Host()).y, start.y);

    // A press in the top strip and a move drag the host by the cursor's way.
    windows.Drag({200, 30}, {230, 50});
    EXPECT_EQ(TopLeftOf(windows.Host()).x, start.x + 30);
    EXPECT_EQ(TopLeftOf(windows.Host()).y, start.y + 20);
    EXPECT_EQ(SizeOf(windows.Host()).cx, 680);
    EXPECT_EQ(SizeOf(windows.Host()).cy, 443);

    // A press below the strip drags nothing.
    const POINT moved = TopLeftOf(windows.Host());
    windows.Drag({200, 71 + 10}, {260, 120});
    EXPECT_EQ(TopLeftOf(windows.Host()).x, moved.x);
    EXPECT_EQ(TopLeftOf(windows.Host()).y, moved.y);
}

// A press whose capture another window takes (a menu, a dialog, a task switch)
// never gets its button-up here: a later move with the button held must not
// carry the window from that old press point.
TEST(MainFrame, ADragEndsWhenAnotherWindowTakesTheMouse)
{
    UpdaterWindows windows(96);
    const POINT start = TopLeftOf(windows.Host());
    windows.Drag({200, 30}, {}, false);
    ASSERT_EQ(GetCapture(), windows.Main());

    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetCapture(other);
    ReleaseCapture();
    DestroyWindow(other);
    Pump();

    SetCursorPos(start.x + 600, start.y + 400);
    SendMessageW(windows.Main(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(600, 400));
    EXPECT_EQ(TopLeftOf(windows.Host()).x, start.x);
    EXPECT_EQ(TopLeftOf(windows.Host()).y, start.y);

    // A new press drags again.
    windows.Drag({100, 20}, {110, 25});
    EXPECT_EQ(TopLeftOf(windows.Host()).x, start.x + 10);
    EXPECT_EQ(TopLeftOf(windows.Host()).y, start.y + 5);
}

TEST(MainFrame, AFailedAttemptShowsTheRetryPage)
{
    TestRemoval removal;
    UpdaterWindows windows(96, removal.Body());
    PostMessageW(windows.Main(), WM_DOWNLOAD_PROGRESS, 40, 0);
    PostMessageW(windows.Main(), WM_DOWNLOAD_FAILED, 0, 0);
    Pump();
    EXPECT_EQ(windows.Page(), mainFrame::kRetryPage);
    EXPECT_TRUE(IsWindow(windows.Host()));
    EXPECT_EQ(removal.Runs(), 0);
}

TEST(MainFrame, AnInstallerThatCannotBeStartedIsShownNotHidden)
{
    UpdaterWindows windows(96);
    // A file the shell has no program for: its start fails.
    HandOff* handOff = FinishedDownload(L"Mevra.unstartable-kind", "not a program");
    const std::wstring path = handOff->installer.Path();
    ASSERT_TRUE(handOff->installer.IsOpen());
    testsupport::StartCapturingStdout();
    PostMessageW(windows.Main(), WM_DOWNLOAD_FINISHED, 0, reinterpret_cast<LPARAM>(handOff));
    PumpUntil([&] { return windows.Page() == mainFrame::kRetryPage; });
    const std::string log = testsupport::CapturedStdout();

    EXPECT_TRUE(IsWindow(windows.Host())) << "the updater closed although nothing was started";
    EXPECT_TRUE(IsWindowVisible(windows.Host()));
    EXPECT_EQ(windows.Page(), mainFrame::kRetryPage);
    EXPECT_EQ(log.rfind("download last error ShellExecuteEx : ", 0), 0u) << log;
    // The installer file is let go again.
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST(MainFrame, AStartedInstallerClosesTheHostWindow)
{
    TestRemoval removal;
    UpdaterWindows windows(96, removal.Body());
    HandOff* handOff = FinishedDownload(L"Mevra.exe", FakeInstaller());
    const std::wstring path = handOff->installer.Path();
    PostMessageW(windows.Main(), WM_DOWNLOAD_FINISHED, 0, reinterpret_cast<LPARAM>(handOff));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(windows.Host()); }));
    EXPECT_EQ(removal.Runs(), 1);
    EXPECT_TRUE(InstallerRan(path));
}

// However long the removal of the previous installation takes, the installer
// waits for it, and meanwhile the window shows that the update is finishing:
// the download page, the bar full.
TEST(MainFrame, TheInstallerStartsOnlyOnceTheRemovalHasEnded)
{
    TestRemoval removal(true);
    UpdaterWindows windows(96, removal.Body());
    auto* progress = static_cast<Facet::CProgressUI*>(windows.Control(L"prs_down"));
    ASSERT_NE(progress, nullptr);
    windows.Click(updaterdriver::kSettingsButton);
    PostMessageW(windows.Main(), WM_DOWNLOAD_PROGRESS, 37, 0);
    HandOff* handOff = FinishedDownload(L"Mevra.exe", FakeInstaller());
    const std::wstring path = handOff->installer.Path();
    PostMessageW(windows.Main(), WM_DOWNLOAD_FINISHED, 0, reinterpret_cast<LPARAM>(handOff));
    Pump();
    ASSERT_TRUE(removal.WaitStarted());
    Pump();

    EXPECT_TRUE(IsWindowVisible(windows.Host()));
    EXPECT_EQ(windows.Page(), mainFrame::kDownloadPage);
    EXPECT_EQ(progress->GetValue(), 100);
    EXPECT_FALSE(testsupport::Exists(path + L".ran"));

    removal.Release();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(windows.Host()); }));
    EXPECT_TRUE(InstallerRan(path));
    EXPECT_EQ(removal.Runs(), 1);
}

TEST(MainFrame, ClosingDuringTheHandOffEndsWithoutStartingTheInstaller)
{
    TestRemoval removal(true);
    UpdaterWindows windows(96, removal.Body());
    HandOff* handOff = FinishedDownload(L"Mevra.exe", FakeInstaller());
    const std::wstring path = handOff->installer.Path();
    PostMessageW(windows.Main(), WM_DOWNLOAD_FINISHED, 0, reinterpret_cast<LPARAM>(handOff));
    Pump();
    ASSERT_TRUE(removal.WaitStarted());

    windows.Click(updaterdriver::kCloseButton);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(windows.Host()); }));
    removal.Release();
    ASSERT_TRUE(removal.WaitEnded());
    Pump();
    EXPECT_FALSE(testsupport::Exists(path + L".ran"));
}

// An installer that cannot be started brings the retry page; the next finished
// download starts its installer at once: the previous installation has gone already.
TEST(MainFrame, ThePreviousInstallationIsRemovedOnceAcrossARetry)
{
    TestRemoval removal;
    UpdaterWindows windows(96, removal.Body());
    testsupport::StartCapturingStdout();
    PostMessageW(windows.Main(), WM_DOWNLOAD_FINISHED, 0,
                 reinterpret_cast<LPARAM>(FinishedDownload(L"Mevra.unstartable-kind", "not a program")));
    EXPECT_TRUE(PumpUntil([&] { return windows.Page() == mainFrame::kRetryPage; }));
    testsupport::CapturedStdout();
    EXPECT_EQ(removal.Runs(), 1);

    HandOff* handOff = FinishedDownload(L"Mevra.exe", FakeInstaller());
    const std::wstring path = handOff->installer.Path();
    PostMessageW(windows.Main(), WM_DOWNLOAD_FINISHED, 0, reinterpret_cast<LPARAM>(handOff));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(windows.Host()); }));
    EXPECT_TRUE(InstallerRan(path));
    EXPECT_EQ(removal.Runs(), 1);
}

// The proxy page's save button, the saved-tip and the settings file follow the
// address, the port and the box; the account and the password do not count.
TEST(MainFrame, SaveButtonAndSavingFollowTheAddressThePortAndTheBox)
{
    const std::wstring settings = GetTargetFolder() + L"\\installer.ini";
    DeleteFileW(settings.c_str());
    UpdaterWindows windows(96);
    Facet::CControlUI* save = windows.Control(L"btn_saveProxy");
    Facet::CControlUI* tip = windows.Control(L"save_tip_lbl");
    ASSERT_NE(save, nullptr);
    ASSERT_NE(tip, nullptr);
    windows.Click(updaterdriver::kSettingsButton);
    ASSERT_EQ(windows.Page(), mainFrame::kProxyPage);
    EXPECT_FALSE(save->IsEnabled());
    EXPECT_FALSE(tip->IsVisible());

    // Unticked: a full address leaves the button disabled.
    windows.Type(updaterdriver::kAddressField, L"192.0.2.7");
    windows.Type(updaterdriver::kPortField, L"3128");
    EXPECT_FALSE(save->IsEnabled());
    // Ticking enables it, and saves nothing.
    windows.Click(updaterdriver::kUseProxyBox);
    EXPECT_TRUE(save->IsEnabled());
    EXPECT_FALSE(ReadProxySettingsFile(settings).useProxy);
    // An emptied port disables it; the account and the password do not enable it again.
    windows.Type(updaterdriver::kPortField, L"");
    EXPECT_FALSE(save->IsEnabled());
    windows.Type(updaterdriver::kAccountField, L"me");
    windows.Type(updaterdriver::kPasswordField, L"pw");
    EXPECT_FALSE(save->IsEnabled());
    windows.Type(updaterdriver::kPortField, L"8080");
    EXPECT_TRUE(save->IsEnabled());

    windows.Click(updaterdriver::kSaveButton);
    EXPECT_TRUE(tip->IsVisible());
    ProxySettings stored = ReadProxySettingsFile(settings);
    EXPECT_TRUE(stored.useProxy);
    EXPECT_EQ(stored.ip, L"192.0.2.7");
    EXPECT_EQ(stored.port, L"8080");
    EXPECT_EQ(stored.account, L"me");
    EXPECT_EQ(stored.password, L"pw");

    // Entering the page again hides the tip; unticking saves at once and does not show it.
    windows.Click(updaterdriver::kReturnButton);
    windows.Click(updaterdriver::kSettingsButton);
    EXPECT_FALSE(tip->IsVisible());
    windows.Click(updaterdriver::kUseProxyBox);
    EXPECT_FALSE(save->IsEnabled());
    EXPECT_FALSE(tip->IsVisible());
    stored = ReadProxySettingsFile(settings);
    EXPECT_FALSE(stored.useProxy);
    EXPECT_EQ(stored.port, L"8080");
    DeleteFileW(settings.c_str());
}

// The settings file of the per-user folder, removed before and after a test.
class ScopedSettingsFile
{
public:
    ScopedSettingsFile() : m_path(GetTargetFolder() + L"\\installer.ini") { Remove(); }
    ~ScopedSettingsFile() { Remove(); }
    ScopedSettingsFile(const ScopedSettingsFile&) = delete;
    ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;

    const std::wstring& Path() const { return m_path; }
    void Remove() const
    {
        DeleteFileW(m_path.c_str());
        RemoveDirectoryW(m_path.c_str());
    }

private:
    std::wstring m_path;
};

// The tip label's text without its mark-up is what a user reads.
std::wstring TipText(const UpdaterWindows& windows)
{
    return windows.Control(L"save_tip_lbl")->GetText().GetData();
}

// A save that cannot be written never says "saved": the tip tells of the
// failure (in the window's language) and the store logs why. A save that
// works again shows the saved tip again.
TEST(MainFrame, ASaveThatCannotBeWrittenShowsTheFailureAndNeverTheSavedTip)
{
    const ScopedSettingsFile settings;
    UpdaterWindows windows(96);
    const std::wstring savedTip = TipText(windows);
    const std::wstring failedTip = SaveFailedTextOf(SelectUiLanguage(GetUserDefaultUILanguage()));
    ASSERT_NE(savedTip, failedTip);
    Facet::CControlUI* tip = windows.Control(L"save_tip_lbl");
    windows.Click(updaterdriver::kSettingsButton);
    windows.Type(updaterdriver::kAddressField, L"192.0.2.7");
    windows.Type(updaterdriver::kPortField, L"3128");
    windows.Click(updaterdriver::kUseProxyBox);

    // A folder where the file should be: it cannot be replaced.
    settings.Remove();
    ASSERT_TRUE(CreateDirectoryW(settings.Path().c_str(), nullptr));
    testsupport::StartCapturingStderr();
    windows.Click(updaterdriver::kSaveButton);
    std::string log = testsupport::CapturedStderr();
    EXPECT_TRUE(tip->IsVisible());
    EXPECT_EQ(TipText(windows), failedTip);
    EXPECT_NE(log.find("I/O error while writing file: " + ToNarrow(settings.Path()) + " ("), std::string::npos) << log;
    EXPECT_EQ(log.find("successfully"), std::string::npos) << log;

    // Unticking saves at once: its failure shows too.
    windows.Click(updaterdriver::kReturnButton);
    windows.Click(updaterdriver::kSettingsButton);
    EXPECT_FALSE(tip->IsVisible());
    testsupport::StartCapturingStderr();
    windows.Click(updaterdriver::kUseProxyBox);
    testsupport::CapturedStderr();
    EXPECT_TRUE(tip->IsVisible());
    EXPECT_EQ(TipText(windows), failedTip);

    settings.Remove();
    windows.Click(updaterdriver::kUseProxyBox);
    testsupport::StartCapturingStderr();
    windows.Click(updaterdriver::kSaveButton);
    log = testsupport::CapturedStderr();
    EXPECT_EQ(TipText(windows), savedTip);
    EXPECT_NE(log.find("New configuration successfully written to: "), std::string::npos) << log;
    EXPECT_EQ(ReadProxySettingsFile(settings.Path()).ip, L"192.0.2.7");
}

// The failure text of each language set names the failure, never the success.
TEST(UiLanguage, EverySetHasItsOwnSaveFailureText)
{
    EXPECT_EQ(
        std::wstring(SaveFailedTextOf(0)),
        L"<b><c #FFEE4545>\u4FDD\u5B58\u5931\u8D25\uFF0C\u8BBE\u7F6E\u672A\u80FD\u5199\u5165\u6587\u4EF6</c></b>");
    EXPECT_EQ(
        std::wstring(SaveFailedTextOf(1)),
        L"<b><c #FFEE4545>\u4FDD\u5B58\u5931\u6557\uFF0C\u8A2D\u7F6E\u672A\u80FD\u5BEB\u5165\u6587\u4EF6</c></b>");
    EXPECT_EQ(std::wstring(SaveFailedTextOf(2)),
              L"<b><c #FFEE4545>Not saved: the settings file cannot be written</c></b>");
    EXPECT_EQ(std::wstring(SaveFailedTextOf(3)), std::wstring(SaveFailedTextOf(2)));
    EXPECT_EQ(std::wstring(FieldFullTextOf(1)), L"<b>\u6BCF\u6B04\u6700\u591A 255 \u500B\u5B57\u5143</b>");
    EXPECT_EQ(std::wstring(FieldFullTextOf(2)), L"<b>A field takes at most 255 characters</b>");
    EXPECT_NE(std::wstring(FieldFullTextOf(0)), std::wstring(SaveFailedTextOf(0)));
}

// Chinese and characters no ANSI code page of the machine holds, typed on the
// page, reach the attempt as typed, survive the save and come back on the
// next start; the file holds them in UTF-8.
TEST(MainFrame, TextTypedOnThePageReachesTheAttemptTheFileAndTheNextStartExactly)
{
    const ScopedSettingsFile settings;
    const std::wstring address = L"\u4EE3\u7406.example";
    const std::wstring account = L"\u5F20\u4F1F\u0141\u0100";
    const std::wstring password = L"\u5BC6\u7801\U0001F511\u00E9";
    {
        UpdaterWindows windows(96);
        windows.Click(updaterdriver::kSettingsButton);
        windows.Type(updaterdriver::kAddressField, address);
        windows.Type(updaterdriver::kPortField, L"3128");
        windows.Type(updaterdriver::kAccountField, account);
        windows.Type(updaterdriver::kPasswordField, password);
        windows.Click(updaterdriver::kUseProxyBox);
        // What an attempt started now is given, before any save.
        const ProxySettings attempt = windows.Frame().ProxyFromPage();
        EXPECT_TRUE(attempt.useProxy);
        EXPECT_EQ(attempt.ip, address);
        EXPECT_EQ(attempt.account, account);
        EXPECT_EQ(attempt.password, password);
        testsupport::StartCapturingStderr();
        windows.Click(updaterdriver::kSaveButton);
        testsupport::CapturedStderr();
    }
    const std::string text = testsupport::ReadFileText(settings.Path());
    EXPECT_NE(text.find("ip = \"" + ToUtf8(address) + "\""), std::string::npos) << text;
    EXPECT_NE(text.find("account = \"" + ToUtf8(account) + "\""), std::string::npos) << text;
    EXPECT_EQ(text.find('?'), std::string::npos) << text;

    UpdaterWindows next(96);
    next.Click(updaterdriver::kSettingsButton);
    EXPECT_EQ(updaterdriver::TextOf(next.Main(), updaterdriver::kAddressField), address);
    EXPECT_EQ(updaterdriver::TextOf(next.Main(), updaterdriver::kAccountField), account);
    EXPECT_EQ(updaterdriver::TextOf(next.Main(), updaterdriver::kPasswordField), password);
    EXPECT_EQ(next.Frame().ProxyFromPage().password, password);
    Pump();
}

// A settings file an earlier updater wrote in the ANSI code page fills the page.
TEST(MainFrame, AnAnsiSettingsFileOfAnEarlierUpdaterStillFillsThePage)
{
    const ScopedSettingsFile settings;
    const std::wstring account = L"Jos\u00E9";
    if (ToWide(ToNarrow(account)) != account)
        GTEST_SKIP() << "code page " << GetACP() << " lacks the text";
    testsupport::WriteFileText(settings.Path(),
                               "usingProxy = 1\r\nip = \"proxy.example\"\r\nport = \"80\"\r\naccount = \"" +
                                   ToNarrow(account) + "\"\r\n");
    UpdaterWindows windows(96);
    windows.Click(updaterdriver::kSettingsButton);
    EXPECT_EQ(updaterdriver::TextOf(windows.Main(), updaterdriver::kAccountField), account);
    EXPECT_TRUE(windows.Control(L"btn_saveProxy")->IsEnabled());
    Pump();
}

// A port is 1 to 65535: with any other the save button stays disabled, and an
// address that carries a port of its own does not count as one either.
TEST(MainFrame, SavingNeedsAPortFrom1To65535AndAnAddressWithoutAPort)
{
    const ScopedSettingsFile settings;
    UpdaterWindows windows(96);
    Facet::CControlUI* save = windows.Control(L"btn_saveProxy");
    windows.Click(updaterdriver::kSettingsButton);
    windows.Click(updaterdriver::kUseProxyBox);
    windows.Type(updaterdriver::kAddressField, L"192.0.2.7");
    for (const wchar_t* port : {L"0", L"65536", L"70000", L"-1", L"abc", L"", L"80 80"}) {
        windows.Type(updaterdriver::kPortField, port);
        EXPECT_FALSE(save->IsEnabled()) << ToNarrow(port);
    }
    for (const wchar_t* port : {L"1", L"65535", L"3128"}) {
        windows.Type(updaterdriver::kPortField, port);
        EXPECT_TRUE(save->IsEnabled()) << ToNarrow(port);
    }
    windows.Type(updaterdriver::kAddressField, L"192.0.2.7:8080");
    EXPECT_FALSE(save->IsEnabled());
    Pump();
}

// A saved proxy whose port is not usable is never replaced by another port:
// the attempt fails at once, with a line saying why.
TEST(MainFrame, AnAttemptThroughAnUnusablePortFailsAndConnectsNowhere)
{
    const ScopedSettingsFile settings;
    for (const wchar_t* port : {L"70000", L"0", L"abc"}) {
        ProxySettings saved;
        saved.useProxy = true;
        saved.ip = L"127.0.0.1";
        saved.port = port;
        testsupport::StartCapturingStderr();
        WriteProxySettingsFile(settings.Path(), saved);
        testsupport::CapturedStderr();
        UpdaterWindows windows(96);
        EXPECT_FALSE(windows.Control(L"btn_saveProxy")->IsEnabled());
        testsupport::StartCapturingStdout();
        windows.Frame().StartDownload();
        const std::string log = testsupport::CapturedStdout();
        Pump();
        EXPECT_EQ(windows.Page(), mainFrame::kRetryPage);
        EXPECT_EQ(log,
                  "download last error proxy : the address or the port (1 to 65535) is not usable: \"127.0.0.1\" \"" +
                      ToNarrow(port) + "\"\n");
    }
}

// The first attempt starts once the window has painted, not before, and only
// once; a window that is never painted (the updater started hidden) starts it
// all the same. What the attempt needs is prepared just before it. (A saved
// proxy with an unusable port makes the attempt end at once, on the retry
// page.)
TEST(MainFrame, TheFirstAttemptStartsAfterTheFirstPaintOrWithoutOne)
{
    const ScopedSettingsFile settings;
    ProxySettings saved;
    saved.useProxy = true;
    saved.ip = L"127.0.0.1";
    saved.port = L"0";
    testsupport::StartCapturingStderr();
    WriteProxySettingsFile(settings.Path(), saved);
    testsupport::CapturedStderr();
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "host hidden" : "host shown");
        UpdaterWindows windows(96);
        if (hidden)
            ShowWindow(windows.Host(), SW_HIDE);
        InvalidateRect(windows.Main(), nullptr, FALSE);
        int prepared = 0;
        bool paintedFirst = false;
        windows.Frame().StartDownloadOncePainted([&] {
            ++prepared;
            paintedFirst = !GetUpdateRect(windows.Main(), nullptr, FALSE);
        });
        EXPECT_EQ(prepared, 0) << "prepared before the message loop";
        testsupport::StartCapturingStdout();
        EXPECT_TRUE(PumpUntil([&] { return prepared > 0; }));
        const std::string log = testsupport::CapturedStdout();
        EXPECT_EQ(prepared, 1);
        if (!hidden) {
            EXPECT_TRUE(paintedFirst) << "the attempt's set-up ran before the window was painted";
        }
        EXPECT_EQ(windows.Page(), mainFrame::kRetryPage);
        EXPECT_EQ(log.rfind("download last error proxy : ", 0), 0u) << log;

        InvalidateRect(windows.Main(), nullptr, FALSE);
        Pump();
        EXPECT_EQ(prepared, 1) << "a later paint started another attempt";
    }
}

// Each field takes at most 255 characters: typing stops there, as in any
// limited edit box, and the tip under the fields says why.
TEST(MainFrame, ProxyFieldsStopAcceptingInputAt255CharactersAndSaySo)
{
    UpdaterWindows windows(96);
    Facet::CControlUI* tip = windows.Control(L"save_tip_lbl");
    const std::wstring fullTip = FieldFullTextOf(SelectUiLanguage(GetUserDefaultUILanguage()));
    const POINT fields[] = {updaterdriver::kAddressField, updaterdriver::kPortField, updaterdriver::kAccountField,
                            updaterdriver::kPasswordField};
    for (const POINT& field : fields) {
        windows.Click(updaterdriver::kSettingsButton);
        windows.Type(field, std::wstring(255, L'\u4E2D'));
        EXPECT_FALSE(tip->IsVisible()) << "a field that is just full refused nothing";
        windows.Type(field, std::wstring(300, L'\u4E2D'));
        EXPECT_EQ(updaterdriver::TextOf(windows.Main(), field), std::wstring(255, L'\u4E2D'));
        EXPECT_TRUE(tip->IsVisible());
        EXPECT_EQ(TipText(windows), fullTip);
        windows.Click(updaterdriver::kReturnButton);
    }
    EXPECT_EQ(windows.Frame().ProxyFromPage().password, std::wstring(255, L'\u4E2D'));
    Pump();
}

// Saved settings fill the page at start, and a ticked box with a full address enables saving.
TEST(MainFrame, SavedSettingsFillThePage)
{
    const std::wstring settings = GetTargetFolder() + L"\\installer.ini";
    ProxySettings saved;
    saved.useProxy = true;
    saved.ip = L"proxy.example";
    saved.port = L"80";
    saved.account = L"DOMAIN\\user";
    saved.password = L"pa\"ss";
    WriteProxySettingsFile(settings, saved);
    UpdaterWindows windows(96);
    windows.Click(updaterdriver::kSettingsButton);
    EXPECT_TRUE(windows.Control(L"btn_saveProxy")->IsEnabled());
    EXPECT_EQ(updaterdriver::TextOf(windows.Main(), updaterdriver::kAddressField), L"proxy.example");
    EXPECT_EQ(updaterdriver::TextOf(windows.Main(), updaterdriver::kAccountField), L"DOMAIN\\user");
    EXPECT_EQ(updaterdriver::TextOf(windows.Main(), updaterdriver::kPasswordField), L"pa\"ss");
    Pump();
    DeleteFileW(settings.c_str());
}

TEST(MainFrame, ReturnGoesBackToThePageTheSettingsWereOpenedFrom)
{
    UpdaterWindows windows(96);
    windows.Click(updaterdriver::kSettingsButton);
    EXPECT_EQ(windows.Page(), mainFrame::kProxyPage);
    windows.Click(updaterdriver::kReturnButton);
    EXPECT_EQ(windows.Page(), mainFrame::kDownloadPage);

    PostMessageW(windows.Main(), WM_DOWNLOAD_FAILED, 0, 0);
    Pump();
    windows.Click(updaterdriver::kRetrySettingsButton);
    EXPECT_EQ(windows.Page(), mainFrame::kProxyPage);
    windows.Click(updaterdriver::kReturnButton);
    EXPECT_EQ(windows.Page(), mainFrame::kRetryPage);

    // A failure while the settings show brings the retry page.
    windows.Click(updaterdriver::kRetrySettingsButton);
    PostMessageW(windows.Main(), WM_DOWNLOAD_FAILED, 0, 0);
    Pump();
    EXPECT_EQ(windows.Page(), mainFrame::kRetryPage);
}

// The driver's points (shared with the end-to-end tests) lie inside the controls they name.
TEST(MainFrame, DriverPointsLieInsideTheirControls)
{
    UpdaterWindows windows(96);
    const struct
    {
        const wchar_t* control;
        POINT point;
        int page;
    } points[] = {
        {L"btn_setting", updaterdriver::kSettingsButton, mainFrame::kDownloadPage},
        {L"btn_close", updaterdriver::kCloseButton, mainFrame::kDownloadPage},
        {L"btn_setting_1", updaterdriver::kRetrySettingsButton, mainFrame::kRetryPage},
        {L"btn_retry", updaterdriver::kRetryButton, mainFrame::kRetryPage},
        {L"btn_return", updaterdriver::kReturnButton, mainFrame::kProxyPage},
        {L"edit_ip", updaterdriver::kAddressField, mainFrame::kProxyPage},
        {L"edit_port", updaterdriver::kPortField, mainFrame::kProxyPage},
        {L"edit_account", updaterdriver::kAccountField, mainFrame::kProxyPage},
        {L"edit_pwd", updaterdriver::kPasswordField, mainFrame::kProxyPage},
        {L"chk_useProxy", updaterdriver::kUseProxyBox, mainFrame::kProxyPage},
        {L"btn_saveProxy", updaterdriver::kSaveButton, mainFrame::kProxyPage},
    };
    auto* tabs = static_cast<Facet::CTabLayoutUI*>(windows.Control(L"tabLayout"));
    ASSERT_NE(tabs, nullptr);
    for (const auto& entry : points) {
        tabs->SelectItem(entry.page, true);
        UpdateWindow(windows.Main());
        Pump();
        Facet::CControlUI* control = windows.Control(entry.control);
        ASSERT_NE(control, nullptr);
        const RECT rect = control->GetPos();
        EXPECT_TRUE(PtInRect(&rect, entry.point)) << std::string(entry.control, entry.control + wcslen(entry.control));
    }
}

// Presses Tab once for each name: the keyboard moves to it.
void ExpectTabOrder(const UpdaterWindows& windows, std::initializer_list<const wchar_t*> order)
{
    for (const wchar_t* expected : order) {
        windows.Press(VK_TAB);
        EXPECT_EQ(windows.Focused(), expected);
    }
}

// Tab walks the steps of each page in the order they show; space and return
// act; Escape leaves the proxy settings for the page they were opened from.
TEST(MainFrame, KeysReachEveryActionOfAPageInTheOrderTheyShow)
{
    UpdaterWindows windows(96);
    ASSERT_EQ(windows.Focused(), L"btn_setting"); // the first step of the first page
    EXPECT_FALSE(windows.Manager()->AreFocusCuesShown());
    ExpectTabOrder(windows, {L"btn_min", L"btn_close", L"btn_setting"});
    EXPECT_TRUE(windows.Manager()->AreFocusCuesShown()); // keys show where the focus is

    windows.Press(VK_SPACE);
    ASSERT_EQ(windows.Page(), mainFrame::kProxyPage);
    EXPECT_EQ(windows.Focused(), L"btn_return");
    // The save button is disabled until a full address is ticked: Tab passes it by.
    ExpectTabOrder(windows, {L"btn_min_2", L"btn_close_2", L"edit_ip", L"edit_port", L"edit_account", L"edit_pwd",
                             L"chk_useProxy", L"btn_return"});
    windows.Press(VK_ESCAPE);
    EXPECT_EQ(windows.Page(), mainFrame::kDownloadPage);
    EXPECT_EQ(windows.Focused(), L"btn_setting");

    // A failed attempt gives the keyboard to the retry button.
    PostMessageW(windows.Main(), WM_DOWNLOAD_FAILED, 0, 0);
    Pump();
    ASSERT_EQ(windows.Page(), mainFrame::kRetryPage);
    EXPECT_EQ(windows.Focused(), L"btn_retry");
    ExpectTabOrder(windows, {L"btn_setting_1", L"btn_min_1", L"btn_close_1", L"btn_downlink", L"btn_retry"});

    // Shift+Tab walks back.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    windows.Press(VK_TAB);
    EXPECT_EQ(windows.Focused(), L"btn_downlink");
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST(MainFrame, EscapeLeavesTheProxyPageEvenFromAnOpenField)
{
    UpdaterWindows windows(96);
    PostMessageW(windows.Main(), WM_DOWNLOAD_FAILED, 0, 0);
    Pump();
    windows.Click(updaterdriver::kRetrySettingsButton);
    ASSERT_EQ(windows.Page(), mainFrame::kProxyPage);
    ASSERT_NE(updaterdriver::OpenField(windows.Main(), updaterdriver::kAddressField), nullptr);
    ASSERT_NE(GetFocus(), windows.Main()); // the edit box holds the keyboard
    windows.Press(VK_ESCAPE);
    EXPECT_EQ(windows.Page(), mainFrame::kRetryPage);
    EXPECT_EQ(windows.Focused(), L"btn_setting_1");
    // Escape elsewhere does nothing.
    windows.Press(VK_ESCAPE);
    EXPECT_EQ(windows.Page(), mainFrame::kRetryPage);
}

// The framework delivers its queued notifications with its own message 0x8001:
// it must not read as one of the updater's.
TEST(MainFrame, TheFrameworksOwnMessagesLeaveThePageAlone)
{
    UpdaterWindows windows(96);
    PostMessageW(windows.Main(), Facet::WM_FACET_ASYNC_NOTIFY, 0, 0);
    Pump();
    EXPECT_EQ(windows.Page(), mainFrame::kDownloadPage);
}

// Records the notifications of one type that reach it.
class NotificationRecorder : public Facet::INotifyUI
{
public:
    explicit NotificationRecorder(const wchar_t* type) : m_type(type) {}
    void Notify(Facet::TNotifyUI& msg) override
    {
        if (msg.sType == m_type.c_str())
            ++m_count;
    }
    int Count() const { return m_count; }

private:
    std::wstring m_type;
    int m_count = 0;
};

// A notification queued through the framework, and a control taken out of a
// container (whose clean-up the framework queues the same way), travel as the
// framework's own posted message: the page stays, and the notification arrives.
TEST(MainFrame, AQueuedNotificationIsDeliveredAndLeavesThePageAlone)
{
    UpdaterWindows windows(96);
    NotificationRecorder recorder(L"queuedcheck");
    windows.Manager()->AddNotifier(&recorder);
    for (int page : {mainFrame::kDownloadPage, mainFrame::kProxyPage}) {
        if (page == mainFrame::kProxyPage)
            windows.Click(updaterdriver::kSettingsButton);
        ASSERT_EQ(windows.Page(), page);
        windows.Manager()->SendNotify(windows.Control(L"prs_down"), L"queuedcheck", 0, 0, true);
        Pump();
        EXPECT_EQ(windows.Page(), page);
    }
    EXPECT_EQ(recorder.Count(), 2);

    auto* row = static_cast<Facet::CContainerUI*>(windows.Control(L"bk_layout")->GetInterface(L"Container"));
    ASSERT_NE(row, nullptr);
    auto* extra = new Facet::CControlUI;
    ASSERT_TRUE(row->Add(extra));
    ASSERT_TRUE(row->Remove(extra));
    Pump();
    EXPECT_EQ(windows.Page(), mainFrame::kProxyPage);
    windows.Manager()->RemoveNotifier(&recorder);
}

TEST(MainFrame, IconButtonsHaveNamesForAssistiveTechnologyInEverySet)
{
    const wchar_t* const iconButtons[] = {L"btn_setting", L"btn_min",    L"btn_close", L"btn_setting_1", L"btn_min_1",
                                          L"btn_close_1", L"btn_return", L"btn_min_2", L"btn_close_2"};
    UpdaterWindows windows(96);
    for (const wchar_t* name : iconButtons) {
        ASSERT_NE(windows.Control(name), nullptr);
        EXPECT_FALSE(windows.Control(name)->GetAccessibleName().IsEmpty()) << std::string(name, name + wcslen(name));
    }
    for (int set = 1; set <= 3; ++set) {
        int named = 0;
        for (const UiText* entry = UiAccessibleNamesOf(set); entry->control != nullptr; ++entry)
            ++named;
        EXPECT_EQ(named, 9) << set;
    }
    EXPECT_EQ(UiAccessibleNamesOf(0)->control, nullptr); // the skin carries set 0
    EXPECT_EQ(std::wstring(UiAccessibleNamesOf(2)[2].text), L"Close");
}

namespace {

// The display scale the window's monitor reports, reset when the test ends.
class ScopedDisplayDpi
{
public:
    ScopedDisplayDpi() { Facet::DpiManager::GetInstance()->SetDpiSource(nullptr); }
    ~ScopedDisplayDpi() { Facet::DpiManager::GetInstance()->SetDisplayDpi(0); }
    ScopedDisplayDpi(const ScopedDisplayDpi&) = delete;
    ScopedDisplayDpi& operator=(const ScopedDisplayDpi&) = delete;
};

} // namespace

// On another monitor the platform sends WM_DPICHANGED with the rectangle the
// window should take; the pages are built again at the new scale and show
// what they showed.
TEST(MainFrame, AMoveToAnotherScaleTakesTheSuggestedRectangleAndKeepsThePage)
{
    UpdaterWindows windows(96);
    ScopedDisplayDpi display;
    windows.Click(updaterdriver::kSettingsButton);
    windows.Type(updaterdriver::kAddressField, L"10.0.0.1");
    windows.Type(updaterdriver::kPortField, L"3128");
    windows.Click(updaterdriver::kUseProxyBox);
    PostMessageW(windows.Main(), WM_DOWNLOAD_PROGRESS, 30, 0);
    Pump();
    ASSERT_TRUE(windows.Control(L"btn_saveProxy")->IsEnabled());

    RECT suggested = {40, 30, 40 + 1020, 30 + 665};
    SendMessageW(windows.Host(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    UpdateWindow(windows.Main());
    Pump();
    EXPECT_EQ(TopLeftOf(windows.Host()).x, 40);
    EXPECT_EQ(TopLeftOf(windows.Host()).y, 30);
    EXPECT_EQ(SizeOf(windows.Host()).cx, 1020);
    EXPECT_EQ(SizeOf(windows.Host()).cy, 665);
    EXPECT_EQ(SizeOf(windows.Main()).cx, 1020);
    EXPECT_EQ(SizeOf(windows.Main()).cy, 660);

    // The same page with the same entries, on controls of the new scale.
    ASSERT_EQ(windows.Page(), mainFrame::kProxyPage);
    Facet::CControlUI* address = windows.Control(L"edit_ip");
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(std::wstring(address->GetText().GetData()), L"10.0.0.1");
    EXPECT_EQ(address->GetHeight(), 75); // 50 x 1.5
    EXPECT_TRUE(static_cast<Facet::CCheckBoxUI*>(windows.Control(L"chk_useProxy"))->GetCheck());
    EXPECT_TRUE(windows.Control(L"btn_saveProxy")->IsEnabled());
    EXPECT_EQ(static_cast<Facet::CProgressUI*>(windows.Control(L"prs_down"))->GetValue(), 30);
    EXPECT_EQ(windows.Manager()->GetFontInfo(14)->iSize, 21);
    // The hit areas moved with the scale: the return button at 1.5 times its point.
    windows.Click(POINT{updaterdriver::kReturnButton.x * 3 / 2, updaterdriver::kReturnButton.y * 3 / 2});
    EXPECT_EQ(windows.Page(), mainFrame::kDownloadPage);

    // At 250 % every font of the skin is there at its size, none falls back.
    RECT wide = {0, 0, 1700, 1108};
    SendMessageW(windows.Host(), WM_DPICHANGED, MAKEWPARAM(240, 240), reinterpret_cast<LPARAM>(&wide));
    Pump();
    EXPECT_EQ(SizeOf(windows.Main()).cx, 1700);
    Facet::CControlUI* state = windows.Control(L"lbl_download_state");
    ASSERT_NE(state, nullptr);
    const Facet::TFontInfo* font = windows.Manager()->GetFontInfo(static_cast<Facet::CLabelUI*>(state)->GetFont());
    EXPECT_EQ(font->iSize, 55); // 22 x 2.5
    EXPECT_NE(font->hFont, windows.Manager()->GetDefaultFontInfo()->hFont);
}

} // namespace
