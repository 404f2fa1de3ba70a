// The component host with the probe component built beside the tests: created
// from its module or through COM, sited, activated windowed (a child window at
// the control's rectangle, moved, hidden and shown with it) or windowless
// (drawn into the window's surface, given its messages), focused, released to
// its last reference; a class or module that is not there fails cleanly; the
// web browser fails cleanly where the platform has no browser engine.
#include "Facet.h"

#include "../support/DibCanvas.h"
#include "../support/TestFiles.h"
#include "../support/TestWindow.h"
#include "../support/ControlInputSupport.h"
#include "../support/CapturedOutput.h"
#include "component/ProbeComponent.h"

#include <gtest/gtest.h>

#include <string>

using namespace Facet;
using testsupport::TestWindow;

namespace {

const CLSID kHtmlDocumentClsid = {0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};

RECT ClientRectOf(HWND child)
{
    RECT rc = {};
    GetWindowRect(child, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool Same(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// A window with a component host at (10, 20, 130, 100) inside a middle
// layout, over a button; the probe module is held loaded by the test so
// that its counters outlive every control.
class ActiveX : public ::testing::Test
{
protected:
    ActiveX() : window(300, 200) {}

    void SetUp() override
    {
        module = LoadLibraryW(testsupport::ProbeModulePath().c_str());
        ASSERT_NE(module, nullptr);
        const auto getState = reinterpret_cast<probe::GetStateProc>(
            reinterpret_cast<void*>(GetProcAddress(module, "ProbeGetState")));
        ASSERT_NE(getState, nullptr);
        state = getState();
        liveBefore = state->liveObjects;
        window.manager.AddNotifier(&log);
    }
    void TearDown() override
    {
        window.manager.RemoveNotifier(&log);
        if (module != nullptr)
            FreeLibrary(module);
    }

    // Builds the tree with `host` in it and lets the window paint.
    void Attach(CActiveXUI* host)
    {
        root = new CVerticalLayoutUI();
        root->SetInset(RECT{10, 20, 10, 10});
        middle = new CVerticalLayoutUI();
        middle->SetFixedHeight(80);
        host->SetFixedWidth(120);
        host->SetFixedHeight(80);
        middle->Add(host);
        button = new CButtonUI();
        root->Add(middle);
        root->Add(button);
        window.manager.AttachDialog(root);
        window.Pump();
    }
    CActiveXUI* FromModule(const wchar_t* clsid)
    {
        auto* host = new CActiveXUI();
        host->SetClsid(clsid);
        host->SetModuleName(testsupport::ProbeModulePath().c_str());
        return host;
    }

    TestWindow window;
    testsupport::NotifyLog log;
    HMODULE module = nullptr;
    probe::ProbeState* state = nullptr;
    LONG liveBefore = 0;
    CVerticalLayoutUI* root = nullptr;
    CVerticalLayoutUI* middle = nullptr;
    CButtonUI* button = nullptr;
};

} // namespace

TEST_F(ActiveX, AWindowedComponentLivesInAChildWindowAtTheControlsRectangle)
{
    CActiveXUI* host = FromModule(probe::kWindowedClsidText);
    Attach(host);

    ASSERT_TRUE(host->IsCreated());
    EXPECT_EQ(state->liveObjects, liveBefore + 1);
    EXPECT_EQ(state->sited, 1);
    EXPECT_EQ(state->inPlaceActive, 1);
    EXPECT_EQ(state->windowless, 0);
    EXPECT_FALSE(host->IsWindowless());
    ASSERT_EQ(log.Count(L"showactivex"), 1);
    EXPECT_EQ(log.Last(L"showactivex")->pSender, host);
    IOleObject* object = nullptr;
    ASSERT_EQ(host->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
    object->Release();

    // The host window is a child of the paint window over the control; the
    // component's window fills it.
    const HWND hostWindow = host->GetHostWindow();
    ASSERT_NE(hostWindow, nullptr);
    EXPECT_EQ(host->GetNativeWindow(), hostWindow);
    EXPECT_EQ(GetParent(hostWindow), window.Handle());
    EXPECT_TRUE(Same(host->GetPos(), RECT{10, 20, 130, 100}));
    EXPECT_TRUE(Same(ClientRectOf(hostWindow), host->GetPos()));
    ASSERT_NE(state->window, nullptr);
    EXPECT_EQ(GetParent(state->window), hostWindow);
    EXPECT_TRUE(Same(ClientRectOf(state->window), RECT{0, 0, 120, 80}));
    EXPECT_TRUE(IsWindowVisible(hostWindow));

    // Moved with its container.
    root->SetInset(RECT{40, 50, 10, 10});
    window.Pump();
    EXPECT_TRUE(Same(host->GetPos(), RECT{40, 50, 160, 130}));
    EXPECT_TRUE(Same(ClientRectOf(hostWindow), host->GetPos()));
    EXPECT_TRUE(Same(state->objectRect, RECT{0, 0, 120, 80}));

    // Hidden with itself and with its container, shown again.
    host->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(hostWindow));
    host->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(hostWindow));
    middle->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(hostWindow));
    middle->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(hostWindow));
}

TEST_F(ActiveX, FocusPassesToTheComponentsWindow)
{
    CActiveXUI* host = FromModule(probe::kWindowedClsidText);
    Attach(host);
    ASSERT_TRUE(host->IsCreated());
    EXPECT_TRUE((host->GetControlFlags() & UIFLAG_TABSTOP) != 0);
    // Away to the button (the platform focus goes back to the paint window)...
    button->SetFocus();
    window.Pump();
    EXPECT_EQ(GetFocus(), window.Handle());
    // ...and back to the component.
    const LONG focusBefore = state->focusCount;
    host->SetFocus();
    window.Pump();
    EXPECT_EQ(window.manager.GetFocus(), host);
    EXPECT_EQ(GetFocus(), state->window);
    EXPECT_GT(state->focusCount, focusBefore);
}

TEST_F(ActiveX, DestructionReleasesTheComponentToItsLastReference)
{
    CActiveXUI* host = FromModule(probe::kWindowedClsidText);
    Attach(host);
    ASSERT_TRUE(host->IsCreated());
    const HWND hostWindow = host->GetHostWindow();
    const HWND componentWindow = state->window;
    ASSERT_EQ(state->liveObjects, liveBefore + 1);

    middle->Remove(host);
    window.Pump();
    EXPECT_EQ(state->liveObjects, liveBefore); // its reference count reached 0
    EXPECT_EQ(state->sited, 0);
    EXPECT_EQ(state->inPlaceActive, 0);
    EXPECT_FALSE(IsWindow(hostWindow));
    EXPECT_FALSE(IsWindow(componentWindow));
    EXPECT_EQ(window.manager.GetNativeWindowCount(), 0);

    // And with the whole window: a control still in the tree goes too.
    CActiveXUI* second = FromModule(probe::kWindowlessClsidText);
    middle->Add(second);
    window.Pump();
    ASSERT_TRUE(second->IsCreated());
    EXPECT_EQ(state->liveObjects, liveBefore + 1);
    window.manager.AttachDialog(new CVerticalLayoutUI());
    window.Pump();
    EXPECT_EQ(state->liveObjects, liveBefore);
}

TEST_F(ActiveX, AWindowlessComponentDrawsIntoTheSurfaceAndTakesMessages)
{
    CActiveXUI* host = FromModule(probe::kWindowlessClsidText);
    Attach(host);
    ASSERT_TRUE(host->IsCreated());
    EXPECT_TRUE(host->IsWindowless());
    EXPECT_EQ(state->windowless, 1);
    EXPECT_EQ(host->GetHostWindow(), nullptr);
    EXPECT_EQ(state->window, nullptr);
    EXPECT_TRUE(Same(state->objectRect, RECT{10, 20, 130, 100}));

    testsupport::DibCanvas canvas(300, 200);
    canvas.Fill(0xFF000000u);
    SendMessageW(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.Rgb(70, 60), probe::kProbeColour);
    EXPECT_EQ(canvas.Rgb(11, 21), probe::kProbeColour);
    EXPECT_EQ(canvas.Rgb(129, 99), probe::kProbeColour);
    EXPECT_NE(canvas.Rgb(70, 105), probe::kProbeColour);
    EXPECT_NE(canvas.Rgb(135, 60), probe::kProbeColour);

    button->SetFocus();
    const LONG clicks = state->clicks;
    const LONG focus = state->focusCount;
    window.ButtonDown(70, 60);
    window.ButtonUp(70, 60);
    EXPECT_EQ(state->clicks, clicks + 1);
    EXPECT_EQ(window.manager.GetFocus(), host);
    EXPECT_GT(state->focusCount, focus);
    // A press elsewhere is not the component's.
    window.ButtonDown(200, 150);
    window.ButtonUp(200, 150);
    EXPECT_EQ(state->clicks, clicks + 1);

    // Moved: drawn at the new place.
    root->SetInset(RECT{100, 100, 10, 10});
    window.Pump();
    EXPECT_TRUE(Same(state->objectRect, RECT{100, 100, 220, 180}));
    canvas.Fill(0xFF000000u);
    SendMessageW(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.Rgb(150, 150), probe::kProbeColour);
    EXPECT_NE(canvas.Rgb(70, 60), probe::kProbeColour);
}

TEST_F(ActiveX, ClassesRegisteredWithComAreCreatedWithoutAModule)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, LPVOID*)>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    ASSERT_NE(getClassObject, nullptr);
    IUnknown* factory = nullptr;
    ASSERT_EQ(getClassObject(probe::kWindowedClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(probe::kWindowedClsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);

    auto* host = new CActiveXUI();
    host->SetAttribute(L"clsid", probe::kWindowedClsidText);
    Attach(host);
    EXPECT_TRUE(host->IsCreated());
    EXPECT_EQ(state->liveObjects, liveBefore + 1);
    EXPECT_EQ(log.Count(L"showactivex"), 1);
    window.manager.AttachDialog(new CVerticalLayoutUI());
    window.Pump();
    EXPECT_EQ(state->liveObjects, liveBefore);

    CoRevokeClassObject(cookie);
    factory->Release();
    CoUninitialize();
}

TEST_F(ActiveX, MissingClassesAndModulesFailCleanly)
{
    struct Case
    {
        const wchar_t* clsid;
        std::wstring module;
        const char* says;
    };
    const std::wstring folder = testsupport::ProgramFolder();
    const Case cases[] = {
        {L"{0D1E2F30-4152-6374-8596-A7B8C9DAEBFC}", L"", "ActiveX: the component could not be created: "},
        {probe::kWindowedClsidText, folder + L"\\no_such_component.dll",
         "ActiveX: the component module could not be loaded: "},
        {probe::kWindowedClsidText, L"probe_component.dll",
         "ActiveX: a component module is loaded by its full path only: "},
        {L"{0D1E2F30-4152-6374-8596-A7B8C9DAEBFC}", testsupport::ProbeModulePath(),
         "ActiveX: the module has no such component: "},
        {L"not a class id", L"", "ActiveX: no class id to create: "},
    };
    for (const Case& c : cases) {
        TestWindow own(200, 100);
        testsupport::NotifyLog heard;
        own.manager.AddNotifier(&heard);
        auto* layout = new CVerticalLayoutUI();
        auto* host = new CActiveXUI();
        host->SetClsid(c.clsid);
        host->SetModuleName(c.module.c_str());
        layout->Add(host);
        testsupport::StartCapturingStdout();
        own.manager.AttachDialog(layout);
        own.Pump();
        const std::string said = testsupport::CapturedStdout();
        EXPECT_EQ(said.rfind(c.says, 0), 0u) << said;
        EXPECT_TRUE(host->IsCreationRequested());
        EXPECT_FALSE(host->IsCreated());
        EXPECT_EQ(host->GetHostWindow(), nullptr);
        EXPECT_EQ(heard.Count(L"showactivex"), 0);
        EXPECT_EQ(state->liveObjects, liveBefore);
        // Painting an empty host is harmless, and it is tried once only.
        own.manager.Invalidate();
        own.Pump();
        EXPECT_FALSE(host->CreateControl());
        own.manager.RemoveNotifier(&heard);
    }
}

TEST_F(ActiveX, DelayedCreationWaitsForTheFirstPaint)
{
    CActiveXUI* host = FromModule(probe::kWindowlessClsidText);
    host->SetAttribute(L"delaycreate", L"true");
    root = new CVerticalLayoutUI();
    root->Add(host);
    window.manager.AttachDialog(root);
    EXPECT_FALSE(host->IsCreationRequested());
    EXPECT_EQ(state->liveObjects, liveBefore);
    window.Pump();
    EXPECT_TRUE(host->IsCreated());
    EXPECT_EQ(log.Count(L"showactivex"), 1);
    EXPECT_GT(state->draws, 0);
}

TEST_F(ActiveX, TheWebBrowserNeedsTheBrowserEngine)
{
    // Whether the platform offers the engine decides what must happen; the
    // test harness runs without one.
    IUnknown* document = nullptr;
    const bool engine = SUCCEEDED(CoCreateInstance(kHtmlDocumentClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                                   reinterpret_cast<void**>(&document)));
    if (document != nullptr)
        document->Release();

    auto* browser = new CWebBrowserUI();
    browser->SetAttributeList(L"homepage=\"about:blank\" autonavi=\"true\"");
    testsupport::StartCapturingStdout();
    Attach(browser);
    const std::string said = testsupport::CapturedStdout();
    if (!engine) {
        EXPECT_EQ(said, "WebBrowser: the platform has no browser engine; the control stays empty.\n");
        EXPECT_FALSE(browser->IsCreated());
        EXPECT_EQ(browser->GetWebBrowser2(), nullptr);
        EXPECT_EQ(browser->GetHostWindow(), nullptr);
        EXPECT_EQ(log.Count(L"showactivex"), 0);
        // Navigation requests are kept for a browser that never comes.
        browser->Navigate(L"about:blank#later");
        EXPECT_EQ(browser->GetCurrentUrl(), L"about:blank#later");
    } else {
        EXPECT_TRUE(browser->IsCreated());
        EXPECT_NE(browser->GetWebBrowser2(), nullptr);
        EXPECT_EQ(browser->GetCurrentUrl(), L"about:blank");
    }
    window.manager.Invalidate();
    window.Pump();
}
