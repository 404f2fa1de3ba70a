// Binding objects to native windows: classes, creation, the final message,
// subclassing and superclassing, with real windows.
#include "WindowWndTestSupport.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

using testsupport::kPlainProbeAnswer;
using testsupport::kPlainProbeMessage;
using testsupport::kProbeAnswer;
using testsupport::kProbeMessage;
using testsupport::OwnedWindow;
using testsupport::PlainWindowClass;
using testsupport::RecordingWindow;
using testsupport::WindowTest;

namespace {

const unsigned char kPoison = 0xDD;

// Storage for one RecordingWindow that can be "deleted" by its final message:
// the object is destroyed and its bytes poisoned, so a later write through
// the dead object shows.
struct alignas(RecordingWindow) WindowStorage
{
    unsigned char bytes[sizeof(RecordingWindow)];

    bool Poisoned() const
    {
        for (unsigned char b : bytes) {
            if (b != kPoison) {
                return false;
            }
        }
        return true;
    }
};

int g_finalMessagesOfDeletedWindows = 0;

void DestroyAndPoison(RecordingWindow* self, HWND)
{
    ++g_finalMessagesOfDeletedWindows;
    self->~RecordingWindow();
    std::memset(static_cast<void*>(self), kPoison, sizeof(RecordingWindow));
}

void DeleteThroughBase(RecordingWindow* self, HWND)
{
    Facet::CWindowWnd* base = self;
    delete base;
}

// Whether a window's property list holds "WndX", found at its final message.
bool g_propertyListedAtFinal = true;

BOOL CALLBACK FindObjectProperty(HWND, LPWSTR name, HANDLE, ULONG_PTR found)
{
    // Properties named by atom arrive as small numbers, not strings.
    if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && std::wstring(name) == L"WndX") {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

void RecordObjectProperty(RecordingWindow*, HWND hWnd)
{
    bool found = false;
    ::EnumPropsExW(hWnd, FindObjectProperty, reinterpret_cast<LPARAM>(&found));
    g_propertyListedAtFinal = found;
}

std::wstring WindowText(HWND hWnd)
{
    wchar_t text[64] = {};
    ::GetWindowTextW(hWnd, text, 64);
    return text;
}

// Memory above 4 GiB, so that any pointer stored in a 32-bit window long loses
// its upper half. Released with the object.
class HighMemory
{
public:
    explicit HighMemory(size_t size)
        : m_block(::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE))
    {
    }
    ~HighMemory()
    {
        if (m_block != nullptr) {
            ::VirtualFree(m_block, 0, MEM_RELEASE);
        }
    }
    HighMemory(const HighMemory&) = delete;
    HighMemory& operator=(const HighMemory&) = delete;
    void* get() const { return m_block; }
    bool AboveFourGiB() const { return reinterpret_cast<std::uintptr_t>(m_block) > 0xFFFFFFFFu; }

private:
    void* m_block;
};

} // namespace

// -- Window classes and creation --

TEST_F(WindowTest, CreatedWindowIsBoundToItsObject)
{
    RecordingWindow window;
    const RECT wanted = {10, 20, 130, 100};
    OwnedWindow owned(window.Create(nullptr, L"bound", WS_POPUP, 0, wanted));
    const HWND hWnd = owned.get();
    ASSERT_NE(nullptr, hWnd);

    EXPECT_EQ(hWnd, window.GetHWND());
    EXPECT_EQ(hWnd, static_cast<HWND>(window));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&window), ::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    EXPECT_TRUE(window.Saw(WM_NCCREATE));
    EXPECT_TRUE(window.Saw(WM_CREATE));

    EXPECT_EQ(kProbeAnswer, ::SendMessageW(hWnd, kProbeMessage, 0, 0));
    EXPECT_EQ(kProbeAnswer, window.SendMessageW(kProbeMessage));
    // A message left to the base goes to the platform's default procedure.
    EXPECT_EQ(static_cast<LRESULT>(TRUE), window.SendMessageW(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"renamed")));
    EXPECT_EQ(L"renamed", WindowText(hWnd));

    window.messages.clear();
    EXPECT_TRUE(window.PostMessageW(kPlainProbeMessage));
    DrainMessages();
    EXPECT_TRUE(window.Saw(kPlainProbeMessage));

    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    EXPECT_TRUE(::EqualRect(&wanted, &rc));
}

TEST_F(WindowTest, ClassRegisteredByAnEarlierObjectIsReused)
{
    RecordingWindow first(L"FacetTestShared");
    OwnedWindow firstWindow(first.Create(nullptr, L"first", WS_POPUP, 0, 0, 0, 50, 50));
    ASSERT_NE(nullptr, firstWindow.get());

    RecordingWindow second(L"FacetTestShared");
    EXPECT_TRUE(second.RegisterWindowClass());
    OwnedWindow secondWindow(second.Create(nullptr, L"second", WS_POPUP, 0, 0, 0, 50, 50));
    ASSERT_NE(nullptr, secondWindow.get());

    // Each window reaches its own object.
    second.messages.clear();
    first.messages.clear();
    ::SendMessageW(secondWindow.get(), kProbeMessage, 0, 0);
    EXPECT_TRUE(second.Saw(kProbeMessage));
    EXPECT_FALSE(first.Saw(kProbeMessage));
}

// -- End of the binding --

TEST_F(WindowTest, DestroyedWindowEndsTheBindingBeforeTheFinalMessage)
{
    RecordingWindow window;
    const HWND hWnd = window.Create(nullptr, L"gone", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(nullptr, hWnd);

    ASSERT_TRUE(::DestroyWindow(hWnd));
    EXPECT_TRUE(window.Saw(WM_DESTROY));
    EXPECT_EQ(1, window.finalCount);
    EXPECT_EQ(hWnd, window.finalWindow);
    EXPECT_EQ(nullptr, window.handleAtFinal);
    EXPECT_EQ(nullptr, window.GetHWND());

    // The object can be bound again.
    OwnedWindow again(window.Create(nullptr, L"again", WS_POPUP, 0, 0, 0, 50, 50));
    ASSERT_NE(nullptr, again.get());
    EXPECT_EQ(again.get(), window.GetHWND());
}

TEST_F(WindowTest, FinalMessageMayDeleteTheObjectThroughTheBase)
{
    bool destroyed = false;
    RecordingWindow* window = new RecordingWindow();
    window->ReportDestructionTo(&destroyed);
    window->onFinal = DeleteThroughBase;
    const HWND hWnd = window->Create(nullptr, L"self-deleting", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(nullptr, hWnd);

    ::DestroyWindow(hWnd);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(WindowTest, FailedCreationLeavesAnObjectDeletedByItsFinalMessageAlone)
{
    WindowStorage storage;
    RecordingWindow* window = new (storage.bytes) RecordingWindow();
    window->failCreate = true;
    window->onFinal = DestroyAndPoison;
    g_finalMessagesOfDeletedWindows = 0;

    EXPECT_EQ(nullptr, window->Create(nullptr, L"refused", WS_POPUP, 0, 0, 0, 50, 50));
    ASSERT_EQ(1, g_finalMessagesOfDeletedWindows);
    EXPECT_TRUE(storage.Poisoned());
}

TEST_F(WindowTest, ObjectAboveFourGiBIsFoundFromItsWindow)
{
    HighMemory memory(sizeof(RecordingWindow));
    ASSERT_NE(nullptr, memory.get());
    if (!memory.AboveFourGiB()) {
        GTEST_SKIP() << "no memory above 4 GiB offered";
    }
    RecordingWindow* window = new (memory.get()) RecordingWindow();
    const HWND hWnd = window->Create(nullptr, L"high", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(window), ::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    EXPECT_EQ(kProbeAnswer, ::SendMessageW(hWnd, kProbeMessage, 0, 0));
    ::DestroyWindow(hWnd);
    EXPECT_EQ(1, window->finalCount);
    window->~RecordingWindow();
}

// -- Subclassing --

TEST_F(WindowTest, SubclassRoutesAnExistingWindowUntilUnsubclassed)
{
    OwnedWindow plain(PlainWindowClass::Create());
    ASSERT_NE(nullptr, plain.get());
    const LONG_PTR ownProcedure = ::GetWindowLongPtrW(plain.get(), GWLP_WNDPROC);

    RecordingWindow window;
    ASSERT_EQ(plain.get(), window.Subclass(plain.get()));
    EXPECT_EQ(plain.get(), window.GetHWND());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&window), ::GetWindowLongPtrW(plain.get(), GWLP_USERDATA));

    // The object answers first; what it leaves goes to the window's own procedure.
    EXPECT_EQ(kProbeAnswer, ::SendMessageW(plain.get(), kProbeMessage, 0, 0));
    PlainWindowClass::ProbeCount() = 0;
    EXPECT_EQ(kPlainProbeAnswer, ::SendMessageW(plain.get(), kPlainProbeMessage, 0, 0));
    EXPECT_TRUE(window.Saw(kPlainProbeMessage));
    EXPECT_EQ(1, PlainWindowClass::ProbeCount());

    window.Unsubclass();
    EXPECT_EQ(ownProcedure, ::GetWindowLongPtrW(plain.get(), GWLP_WNDPROC));
    EXPECT_EQ(::DefWindowProcW, window.PreviousProcedure());
    window.messages.clear();
    EXPECT_EQ(kPlainProbeAnswer, ::SendMessageW(plain.get(), kPlainProbeMessage, 0, 0));
    EXPECT_FALSE(window.Saw(kPlainProbeMessage));
    EXPECT_EQ(2, PlainWindowClass::ProbeCount());
}

TEST_F(WindowTest, SubclassedWindowThatIsDestroyedGetsTheFinalMessage)
{
    const HWND plain = PlainWindowClass::Create();
    ASSERT_NE(nullptr, plain);
    RecordingWindow window;
    ASSERT_EQ(plain, window.Subclass(plain));

    ::DestroyWindow(plain);
    EXPECT_EQ(1, window.finalCount);
    EXPECT_EQ(plain, window.finalWindow);
    EXPECT_EQ(nullptr, window.GetHWND());
    EXPECT_EQ(::DefWindowProcW, window.PreviousProcedure());
}

TEST_F(WindowTest, SubclassOfNoWindowFails)
{
    RecordingWindow window;
    EXPECT_EQ(nullptr, window.Subclass(nullptr));
    EXPECT_EQ(nullptr, window.GetHWND());
}

// -- Superclassing --

TEST_F(WindowTest, SuperclassedEditReachesTheObjectAndTheEditProcedure)
{
    OwnedWindow parent(PlainWindowClass::Create());
    RecordingWindow edit(L"FacetTestEdit", L"Edit");
    edit.onFinal = RecordObjectProperty;
    const HWND hWnd = edit.Create(parent.get(), L"hello", WS_CHILD | WS_VISIBLE, 0, 0, 0, 100, 20);
    ASSERT_NE(nullptr, hWnd);

    EXPECT_EQ(hWnd, edit.GetHWND());
    EXPECT_EQ(static_cast<HANDLE>(&edit), ::GetPropW(hWnd, L"WndX"));
    EXPECT_EQ(0, ::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    EXPECT_TRUE(edit.Saw(WM_NCCREATE));
    EXPECT_EQ(L"hello", WindowText(hWnd));

    ::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"world"));
    EXPECT_TRUE(edit.Saw(WM_SETTEXT));
    EXPECT_EQ(L"world", WindowText(hWnd));
    // Only the edit procedure knows this one.
    ::SendMessageW(hWnd, EM_SETSEL, 1, 3);
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(1u, start);
    EXPECT_EQ(3u, end);
    EXPECT_TRUE(edit.Saw(EM_GETSEL));

    g_propertyListedAtFinal = true;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(1, edit.finalCount);
    EXPECT_EQ(nullptr, edit.GetHWND());
    EXPECT_FALSE(g_propertyListedAtFinal);
}

TEST_F(WindowTest, SuperclassRegisteredEarlierServesALaterObject)
{
    OwnedWindow parent(PlainWindowClass::Create());
    RecordingWindow first(L"FacetTestEdit2", L"Edit");
    OwnedWindow firstWindow(first.Create(parent.get(), L"one", WS_CHILD, 0, 0, 0, 100, 20));
    ASSERT_NE(nullptr, firstWindow.get());

    RecordingWindow second(L"FacetTestEdit2", L"Edit");
    OwnedWindow secondWindow(second.Create(parent.get(), L"two", WS_CHILD, 0, 0, 0, 100, 20));
    ASSERT_NE(nullptr, secondWindow.get());
    EXPECT_EQ(static_cast<HANDLE>(&second), ::GetPropW(secondWindow.get(), L"WndX"));
    EXPECT_EQ(L"two", WindowText(secondWindow.get()));
    EXPECT_EQ(L"one", WindowText(firstWindow.get()));
}

TEST_F(WindowTest, MissingSuperclassFailsWithoutAWindow)
{
    RecordingWindow window(L"FacetTestOrphan", L"FacetNoSuchClass");
    EXPECT_FALSE(window.RegisterSuperclass());
    EXPECT_EQ(nullptr, window.Create(nullptr, L"orphan", WS_POPUP, 0, 0, 0, 50, 50));
    EXPECT_EQ(nullptr, window.GetHWND());
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    EXPECT_FALSE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"FacetTestOrphan", &info));
}
