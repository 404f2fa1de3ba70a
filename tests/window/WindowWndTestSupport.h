// Windows the native window tests share: a recording CWindowWnd, a plain
// native window class of the test's own, and an owner of window handles.
#pragma once

#include "core/PaintManager.h"
#include "window/WindowWnd.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

namespace testsupport {

// Answered by RecordingWindow itself.
const UINT kProbeMessage = WM_APP + 7;
const LRESULT kProbeAnswer = 0x5EED;
// Left by RecordingWindow to the previous procedure; the plain class answers it.
const UINT kPlainProbeMessage = WM_APP + 8;
const LRESULT kPlainProbeAnswer = 0x5EEE;

// Destroys the window it holds unless the window is already gone.
class OwnedWindow
{
public:
    explicit OwnedWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    ~OwnedWindow()
    {
        if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
            ::DestroyWindow(m_hWnd);
        }
    }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    HWND get() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

// A CWindowWnd that records the messages it handles and its final message,
// and answers the probe message itself.
class RecordingWindow : public Facet::CWindowWnd
{
public:
    explicit RecordingWindow(const wchar_t* className = L"FacetTestRecording", const wchar_t* superClass = nullptr)
        : m_className(className), m_superClass(superClass)
    {
    }
    ~RecordingWindow() override
    {
        if (m_destroyedFlag != nullptr) {
            *m_destroyedFlag = true;
        }
    }

    const wchar_t* GetWndClassName() const override { return m_className; }
    const wchar_t* GetSuperClassName() const override { return m_superClass; }

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(uMsg);
        if (uMsg == kProbeMessage) {
            return kProbeAnswer;
        }
        if (uMsg == WM_CREATE && failCreate) {
            return -1;
        }
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }

    void OnFinalMessage(HWND hWnd) override
    {
        finalWindow = hWnd;
        handleAtFinal = GetHWND();
        ++finalCount;
        if (onFinal) {
            onFinal(this, hWnd);
        }
    }

    bool Saw(UINT uMsg) const { return std::find(messages.begin(), messages.end(), uMsg) != messages.end(); }
    void ReportDestructionTo(bool* flag) { m_destroyedFlag = flag; }
    // The previous procedure, as the framework keeps it.
    WNDPROC PreviousProcedure() const { return m_OldWndProc; }

    std::vector<UINT> messages;
    bool failCreate = false;
    HWND finalWindow = nullptr;
    HWND handleAtFinal = reinterpret_cast<HWND>(-1);
    int finalCount = 0;
    // Runs at the end of OnFinalMessage.
    void (*onFinal)(RecordingWindow* self, HWND hWnd) = nullptr;

private:
    const wchar_t* m_className;
    const wchar_t* m_superClass;
    bool* m_destroyedFlag = nullptr;
};

// Test fixture: the framework instance is this program.
class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override { Facet::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr)); }

    // Handles every message already waiting for this thread.
    static void DrainMessages()
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
};

// A native window class of the test's own (not the framework's) that counts
// the plain probe messages its procedure receives and answers them.
struct PlainWindowClass
{
    static int& ProbeCount()
    {
        static int count = 0;
        return count;
    }
    static LRESULT CALLBACK Procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg == kPlainProbeMessage) {
            ++ProbeCount();
            return kPlainProbeAnswer;
        }
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    static const wchar_t* Name()
    {
        static const bool registered = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = Procedure;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"FacetTestPlain";
            return ::RegisterClassW(&wc) != 0;
        }();
        return registered ? L"FacetTestPlain" : nullptr;
    }
    static HWND Create(HWND owner = nullptr, DWORD style = WS_POPUP, int x = 0, int y = 0, int cx = 100, int cy = 100)
    {
        return ::CreateWindowExW(0, Name(), L"plain", style, x, y, cx, cy, owner, nullptr, ::GetModuleHandleW(nullptr),
                                 nullptr);
    }
};

} // namespace testsupport
