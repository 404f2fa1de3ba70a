// The modal loop: its result, its owner, and a quit message that ends it.
#include "WindowWndTestSupport.h"

using testsupport::kProbeMessage;
using testsupport::OwnedWindow;
using testsupport::PlainWindowClass;
using testsupport::RecordingWindow;
using testsupport::WindowTest;

namespace {

// A window that, on the probe message posted to it before its modal loop
// starts, notes whether its owner is disabled and then ends the loop in the
// way the test chose.
class ModalWindow : public RecordingWindow
{
public:
    enum Ending { kCloseWithResult, kQuit, kDestroyDirectly };

    ModalWindow(Ending ending, int code) : RecordingWindow(L"FacetTestModal"), m_ending(ending), m_code(code) {}

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (uMsg == kProbeMessage) {
            const HWND owner = ::GetWindow(GetHWND(), GW_OWNER);
            ownerDisabledInLoop = owner != nullptr && !::IsWindowEnabled(owner);
            switch (m_ending) {
            case kCloseWithResult:
                Close(static_cast<UINT>(m_code));
                break;
            case kQuit:
                ::PostQuitMessage(m_code);
                break;
            case kDestroyDirectly:
                ::DestroyWindow(GetHWND());
                break;
            }
            return 0;
        }
        return RecordingWindow::HandleMessage(uMsg, wParam, lParam);
    }

    bool ownerDisabledInLoop = false;

private:
    Ending m_ending;
    int m_code;
};

void DeleteSelf(RecordingWindow* self, HWND)
{
    delete self;
}

} // namespace

TEST_F(WindowTest, ModalLoopEndedByCloseReturnsItsResultAndReleasesTheOwner)
{
    OwnedWindow owner(PlainWindowClass::Create(nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 300, 300));
    ModalWindow modal(ModalWindow::kCloseWithResult, 42);
    const HWND hWnd = modal.Create(owner.get(), L"modal", WS_POPUP, 0, 50, 50, 100, 100);
    ASSERT_NE(nullptr, hWnd);

    modal.PostMessageW(kProbeMessage);
    EXPECT_EQ(42u, modal.ShowModal());

    EXPECT_TRUE(modal.ownerDisabledInLoop);
    EXPECT_TRUE(::IsWindowEnabled(owner.get()));
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(1, modal.finalCount);
    EXPECT_EQ(owner.get(), ::GetFocus());
}

TEST_F(WindowTest, ModalLoopEndedByQuitPostsTheQuitAgain)
{
    OwnedWindow owner(PlainWindowClass::Create(nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 300, 300));
    ModalWindow modal(ModalWindow::kQuit, 5);
    OwnedWindow owned(modal.Create(owner.get(), L"modal", WS_POPUP, 0, 50, 50, 100, 100));
    ASSERT_NE(nullptr, owned.get());

    modal.PostMessageW(kProbeMessage);
    EXPECT_EQ(0u, modal.ShowModal());

    EXPECT_TRUE(modal.ownerDisabledInLoop);
    EXPECT_TRUE(::IsWindowEnabled(owner.get()));
    EXPECT_TRUE(::IsWindow(owned.get()));
    MSG msg = {};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(static_cast<WPARAM>(5), msg.wParam);
}

TEST_F(WindowTest, ModalLoopOfAWindowThatDeletesItselfReturnsTheResult)
{
    bool destroyed = false;
    ModalWindow* modal = new ModalWindow(ModalWindow::kCloseWithResult, 9);
    modal->ReportDestructionTo(&destroyed);
    modal->onFinal = DeleteSelf;
    const HWND hWnd = modal->Create(nullptr, L"modal without owner", WS_POPUP, 0, 50, 50, 100, 100);
    ASSERT_NE(nullptr, hWnd);

    modal->PostMessageW(kProbeMessage);
    EXPECT_EQ(9u, modal->ShowModal());
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(WindowTest, ModalLoopOfAWindowDestroyedWithoutCloseMessageReturnsZero)
{
    OwnedWindow owner(PlainWindowClass::Create(nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 300, 300));
    ModalWindow modal(ModalWindow::kDestroyDirectly, 0);
    const HWND hWnd = modal.Create(owner.get(), L"modal", WS_POPUP, 0, 50, 50, 100, 100);
    ASSERT_NE(nullptr, hWnd);

    modal.PostMessageW(kProbeMessage);
    EXPECT_EQ(0u, modal.ShowModal());
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_TRUE(::IsWindowEnabled(owner.get()));
}
