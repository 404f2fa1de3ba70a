// The real MevraUpdater.exe as a screen reader and a keyboard user meet it,
// from another process: its accessible tree through AccessibleObjectFromWindow,
// its events through a SetWinEventHook, and every step from the retry page
// through the proxy settings and back done with keys alone. Its download goes
// through a proxy on loopback that answers nothing, so each page stays as
// long as a test needs it.
#include "StallingProxy.h"

#include "ConfigStore.h"
#include "PreviousInstallation.h"
#include "TextConvert.h"
#include "UpdaterDriver.h"
#include "UpdaterProcess.h"
#include "WindowMessages.h"

#include "../support/AccessibleClient.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using namespace testsupport;
using namespace updaterdriver;

bool Has(LONG states, LONG state)
{
    return states != -1 && (states & state) == state;
}

// Keeps delivering this thread's messages (the hook's events among them)
// until `done` holds or the limit has passed.
template <typename Condition>
bool PumpUntil(Condition done, DWORD limitMs = kWaitMs)
{
    for (DWORD waited = 0; waited <= limitMs; waited += 20) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        Sleep(20);
    }
    return false;
}

class UpdaterAccessTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(proxy_.Port(), 0) << "the stalling proxy could not listen";
        // English texts, whatever the machine's language.
        SetEnvironmentVariableW(L"LC_ALL", L"en_US.UTF-8");
        settings_ = GetTargetFolder() + L"\\installer.ini";
        ProxySettings proxy;
        proxy.useProxy = true;
        proxy.ip = L"127.0.0.1";
        proxy.port = std::to_wstring(proxy_.Port());
        WriteProxySettingsFile(settings_, proxy);
        ASSERT_TRUE(updater_.Started());
        ASSERT_TRUE(updater_.WaitForPage(kDownloadPage, kWaitMs));
        ASSERT_TRUE(proxy_.WaitForConnections(1, kWaitMs)) << "the first attempt did not reach the proxy";
        client_ = ClientObjectOf(updater_.MainWindow());
        ASSERT_TRUE(client_) << "no accessible object for the main window";
    }

    void TearDown() override
    {
        if (HWND host = updater_.HostWindow())
            PostMessageW(host, WM_CLOSE, 0, 0);
        updater_.WaitForExit(kWaitMs);
        DeleteFileW(settings_.c_str());
    }

    // The attempt waiting on the proxy fails: the retry page shows.
    void FailTheAttempt()
    {
        proxy_.DropAll();
        ASSERT_TRUE(updater_.WaitForPage(kRetryPage, kWaitMs));
    }

    // The shown objects of the page, read once.
    std::vector<AccessibleNode> Shown() const { return ShownNodesOf(client_); }
    Accessible Find(const std::wstring& name, LONG role) const { return FindIn(Shown(), name, role); }

    // The name of the object that holds the keyboard, as the client tells it.
    std::wstring FocusName() const
    {
        VARIANT focus;
        VariantInit(&focus);
        if (client_->get_accFocus(&focus) != S_OK || focus.vt != VT_DISPATCH)
            return L"<nothing>";
        return NameOf(FromDispatch(focus.pdispVal));
    }

    // A key pressed and released, delivered to whichever window of the
    // updater holds the keyboard, as the platform would deliver it.
    void Press(UINT key)
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        const DWORD thread = GetWindowThreadProcessId(updater_.MainWindow(), nullptr);
        ASSERT_TRUE(GetGUIThreadInfo(thread, &info));
        const HWND target = info.hwndFocus != nullptr ? info.hwndFocus : updater_.MainWindow();
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(target, WM_KEYDOWN, key, scan | 1);
        PostMessageW(target, WM_KEYUP, key, scan | 1 | (1u << 30) | (1u << 31));
    }

    // Characters typed into the edit box that holds the keyboard.
    void Type(const std::wstring& text)
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(updater_.MainWindow(), nullptr), &info));
        ASSERT_NE(info.hwndFocus, updater_.MainWindow()) << "no edit box holds the keyboard";
        for (wchar_t c : text)
            PostMessageW(info.hwndFocus, WM_CHAR, c, 1);
    }

    // Presses Tab until the keyboard reaches `name` (at most `limit` times).
    bool TabTo(const std::wstring& name, int limit = 12)
    {
        for (int i = 0; i < limit; ++i) {
            const std::wstring before = FocusName();
            if (before == name)
                return true;
            Press(VK_TAB);
            if (!PumpUntil([&] { return FocusName() != before; }))
                return false;
        }
        return FocusName() == name;
    }

    ProxySettings Saved() const { return ReadProxySettingsFile(settings_); }

    ComApartment apartment_;
    StallingProxy proxy_;
    std::wstring settings_;
    UpdaterProcess updater_;
    Accessible client_;
};

TEST_F(UpdaterAccessTest, TheDownloadPageReadsAsAProgressBarWithItsValueAndThePageText)
{
    const std::vector<AccessibleNode> page = Shown();
    EXPECT_TRUE(FindIn(page, L"Try to download the latest version of MEVRA...", ROLE_SYSTEM_STATICTEXT));
    EXPECT_TRUE(FindIn(page, L"Downloading...", ROLE_SYSTEM_STATICTEXT));
    EXPECT_FALSE(FindIn(page, L"Retry", ROLE_SYSTEM_PUSHBUTTON)) << "the hidden retry page is read";
    // The icon buttons are named.
    for (const wchar_t* button : {L"Settings", L"Minimize", L"Close"})
        EXPECT_TRUE(FindIn(page, button, ROLE_SYSTEM_PUSHBUTTON)) << std::string(button, button + wcslen(button));

    // The bar is named by the text above it and tells how far the download is.
    const Accessible bar = FindIn(page, L"Downloading...", ROLE_SYSTEM_PROGRESSBAR);
    ASSERT_TRUE(bar);
    EXPECT_EQ(NameOf(bar), L"Downloading...");
    EXPECT_EQ(ValueOf(bar), L"0%");
    PostMessageW(updater_.MainWindow(), WM_DOWNLOAD_PROGRESS, 40, 0);
    EXPECT_TRUE(PumpUntil([&] { return ValueOf(bar) == L"40%"; }));
}

TEST_F(UpdaterAccessTest, FocusAndProgressChangesArriveThroughAWinEventHook)
{
    const WinEventLog events(updater_.Id());
    ASSERT_TRUE(events.Installed());
    const HWND main = updater_.MainWindow();

    PostMessageW(main, WM_DOWNLOAD_PROGRESS, 55, 0);
    ASSERT_TRUE(PumpUntil([&] { return events.Last(EVENT_OBJECT_VALUECHANGE, main) != nullptr; }))
        << "no value change event";
    EXPECT_EQ(ValueOf(ObjectOfEvent(*events.Last(EVENT_OBJECT_VALUECHANGE, main))), L"55%");

    // The first step of the page holds the keyboard; Tab moves it on.
    ASSERT_TRUE(PumpUntil([&] { return FocusName() == L"Settings"; }));
    Press(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] {
        const WinEventLog::Event* focus = events.Last(EVENT_OBJECT_FOCUS, main);
        return focus != nullptr && NameOf(ObjectOfEvent(*focus)) == L"Minimize";
    })) << "no focus event for the minimise button";
}

TEST_F(UpdaterAccessTest, TheRetryPageOffersARetryButtonWhoseDefaultActionStartsANewAttempt)
{
    FailTheAttempt();
    const std::vector<AccessibleNode> page = Shown();
    const Accessible retry = FindIn(page, L"Retry", ROLE_SYSTEM_PUSHBUTTON);
    ASSERT_TRUE(retry);
    EXPECT_TRUE(Has(StateOf(retry), STATE_SYSTEM_FOCUSABLE));
    EXPECT_EQ(DefaultActionOf(retry), L"Press");
    EXPECT_TRUE(FindIn(page, L"Download Directly", ROLE_SYSTEM_PUSHBUTTON));
    EXPECT_TRUE(FindIn(page, L"Can not connect to MEVRA", ROLE_SYSTEM_STATICTEXT));

    // The failed attempt's automatic retries came before the retry page.
    const int before = proxy_.Connections();
    ASSERT_EQ(retry->accDoDefaultAction(ChildId()), S_OK);
    EXPECT_TRUE(updater_.WaitForPage(kDownloadPage, kWaitMs));
    EXPECT_TRUE(proxy_.WaitForConnections(before + 1, kWaitMs)) << "no new attempt started";
}

TEST_F(UpdaterAccessTest, TheProxyPagesFieldsAreNamedAndThePasswordIsProtected)
{
    const Accessible settings = Find(L"Settings", ROLE_SYSTEM_PUSHBUTTON);
    ASSERT_TRUE(settings);
    ASSERT_EQ(settings->accDoDefaultAction(ChildId()), S_OK);
    ASSERT_TRUE(updater_.WaitForPage(kProxyPage, kWaitMs));

    const std::vector<AccessibleNode> page = Shown();
    for (const wchar_t* field : {L"Address", L"Port", L"UserName", L"Password"})
        EXPECT_TRUE(FindIn(page, field, ROLE_SYSTEM_TEXT)) << std::string(field, field + wcslen(field));
    const Accessible address = FindIn(page, L"Address", ROLE_SYSTEM_TEXT);
    ASSERT_TRUE(address);
    EXPECT_EQ(ValueOf(address), L"127.0.0.1");
    EXPECT_EQ(ValueOf(FindIn(page, L"Port", ROLE_SYSTEM_TEXT)), std::to_wstring(proxy_.Port()));
    const Accessible password = FindIn(page, L"Password", ROLE_SYSTEM_TEXT);
    ASSERT_TRUE(password);
    EXPECT_TRUE(Has(StateOf(password), STATE_SYSTEM_PROTECTED));
    EXPECT_FALSE(Has(StateOf(address), STATE_SYSTEM_PROTECTED));
    BSTR secret = nullptr;
    EXPECT_EQ(password->get_accValue(ChildId(), &secret), E_ACCESSDENIED);
    EXPECT_TRUE(FindIn(page, L"Proxy Settings", ROLE_SYSTEM_STATICTEXT));
    EXPECT_TRUE(FindIn(page, L"Back", ROLE_SYSTEM_PUSHBUTTON));
}

TEST_F(UpdaterAccessTest, TheCheckBoxsDefaultActionTicksIt)
{
    ASSERT_EQ(Find(L"Settings", ROLE_SYSTEM_PUSHBUTTON)->accDoDefaultAction(ChildId()), S_OK);
    ASSERT_TRUE(updater_.WaitForPage(kProxyPage, kWaitMs));
    const Accessible box = Find(L"Enable Proxy", ROLE_SYSTEM_CHECKBUTTON);
    ASSERT_TRUE(box);
    ASSERT_TRUE(Has(StateOf(box), STATE_SYSTEM_CHECKED)); // from the settings file
    EXPECT_EQ(DefaultActionOf(box), L"Uncheck");

    // Unticking saves at once, as a click does (the box shows unticked once
    // the save is done).
    ASSERT_EQ(box->accDoDefaultAction(ChildId()), S_OK);
    ASSERT_TRUE(PumpUntil([&] { return !Has(StateOf(box), STATE_SYSTEM_CHECKED); }));
    EXPECT_FALSE(Saved().useProxy);
    EXPECT_EQ(DefaultActionOf(box), L"Check");
    ASSERT_EQ(box->accDoDefaultAction(ChildId()), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return Has(StateOf(box), STATE_SYSTEM_CHECKED); }));
}

TEST_F(UpdaterAccessTest, RetryProxySaveAndReturnAreDoneWithKeysAlone)
{
    FailTheAttempt();
    // The retry page gives the keyboard to its retry button.
    ASSERT_TRUE(PumpUntil([&] { return FocusName() == L"Retry"; })) << FocusName();

    // Tab reaches the settings button; space opens the proxy settings.
    ASSERT_TRUE(TabTo(L"Settings")) << FocusName();
    Press(VK_SPACE);
    ASSERT_TRUE(updater_.WaitForPage(kProxyPage, kWaitMs));

    // A user name typed into its field, the box unticked and ticked again with
    // space, and saved with return. (The settings file is read once the page
    // shows the step done: the updater may be writing it until then.)
    ASSERT_TRUE(TabTo(L"UserName")) << FocusName();
    Type(L"keys");
    ASSERT_TRUE(TabTo(L"Enable Proxy")) << FocusName();
    const Accessible box = Find(L"Enable Proxy", ROLE_SYSTEM_CHECKBUTTON);
    ASSERT_TRUE(box);
    Press(VK_SPACE);
    ASSERT_TRUE(PumpUntil([&] { return !Has(StateOf(box), STATE_SYSTEM_CHECKED); }));
    EXPECT_FALSE(Saved().useProxy) << "unticking did not save";
    Press(VK_SPACE);
    ASSERT_TRUE(PumpUntil([&] { return Has(StateOf(box), STATE_SYSTEM_CHECKED); }));
    ASSERT_TRUE(TabTo(L"Save")) << FocusName();
    Press(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return bool(Find(L"Changes saved, ready to use", ROLE_SYSTEM_STATICTEXT)); }))
        << "return did not save";
    const ProxySettings saved = Saved();
    EXPECT_EQ(saved.account, L"keys");
    EXPECT_TRUE(saved.useProxy);
    EXPECT_EQ(saved.port, std::to_wstring(proxy_.Port()));

    // Escape goes back to the retry page, whose retry starts a new attempt.
    Press(VK_ESCAPE);
    ASSERT_TRUE(updater_.WaitForPage(kRetryPage, kWaitMs));
    ASSERT_TRUE(TabTo(L"Retry")) << FocusName();
    const int before = proxy_.Connections();
    Press(VK_RETURN);
    EXPECT_TRUE(updater_.WaitForPage(kDownloadPage, kWaitMs));
    EXPECT_TRUE(proxy_.WaitForConnections(before + 1, kWaitMs)) << "no new attempt started";
}

} // namespace
