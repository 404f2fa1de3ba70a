// What the shadow tests share: a plain parent window of the tests' own, the
// one-time class registration, and reading the pixels of a shadow bitmap.
#pragma once

#include "core/PaintManager.h"
#include "window/WndShadow.h"

#include "../support/TestFiles.h"
#include "../support/TestImages.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

namespace shadowtest {

// Answered by the parent's own window procedure.
const UINT kProbeMessage = WM_APP + 21;
const LRESULT kProbeAnswer = 0x5AD0;

// The first call's result of CWndShadow::Initialize in this process.
inline bool InitializeOnce()
{
    static const bool first = Facet::CWndShadow::Initialize(GetModuleHandleW(nullptr));
    return first;
}

// Delivers every posted message of the thread.
inline void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

inline RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    return rc;
}

inline RECT MakeRect(LONG left, LONG top, LONG right, LONG bottom)
{
    RECT rc = {left, top, right, bottom};
    return rc;
}

inline bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

inline ::testing::AssertionResult RectIs(const RECT& actual, const RECT& expected)
{
    if (SameRect(actual, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rect (" << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << "), expected (" << expected.left << "," << expected.top
                                         << "," << expected.right << "," << expected.bottom << ")";
}

// A top-level pop-up that answers the probe message and otherwise behaves as
// the platform's default window. Destroyed with the object unless already gone.
class ParentWindow
{
public:
    ParentWindow(int x, int y, int width, int height, bool visible = true)
    {
        static const wchar_t kClass[] = L"FacetShadowTestParent";
        WNDCLASSW wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        const DWORD style = WS_POPUP | (visible ? WS_VISIBLE : 0);
        m_hWnd = CreateWindowExW(0, kClass, L"parent", style, x, y, width, height, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    ~ParentWindow()
    {
        if (m_hWnd != nullptr && IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    static WNDPROC OwnProcedure() { return Procedure; }

    void MoveTo(int x, int y)
    {
        SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Resize(int width, int height)
    {
        SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    bool AnswersProbe() const { return SendMessageW(m_hWnd, kProbeMessage, 0, 0) == kProbeAnswer; }

private:
    static LRESULT CALLBACK Procedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kProbeMessage)
            return kProbeAnswer;
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

// A shadow bitmap with its pixels, deleted with the object.
class ShadowPixels
{
public:
    explicit ShadowPixels(HBITMAP bitmap) : m_bitmap(bitmap)
    {
        DIBSECTION section = {};
        if (bitmap != nullptr && GetObjectW(bitmap, sizeof(section), &section) == sizeof(section)) {
            m_bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
            m_width = section.dsBm.bmWidth;
            m_height = section.dsBm.bmHeight;
            m_bottomUp = section.dsBmih.biHeight > 0;
        }
    }
    ~ShadowPixels()
    {
        if (m_bitmap != nullptr)
            DeleteObject(m_bitmap);
    }
    ShadowPixels(const ShadowPixels&) = delete;
    ShadowPixels& operator=(const ShadowPixels&) = delete;

    bool Valid() const { return m_bits != nullptr; }
    bool BottomUp() const { return m_bottomUp; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The premultiplied 0xAARRGGBB pixel at (x, y), y counted from the top.
    uint32_t At(int x, int y) const
    {
        GdiFlush();
        return m_bits[static_cast<size_t>(m_height - 1 - y) * m_width + x];
    }
    uint32_t Alpha(int x, int y) const { return At(x, y) >> 24; }

private:
    HBITMAP m_bitmap;
    const uint32_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    bool m_bottomUp = false;
};

// Colours of the nine-grid test image (straight alpha, 0xAARRGGBB) and how
// they are stored once loaded (premultiplied).
const uint32_t kCornerColour = 0xFFFF0000;     // the top-left 6 x 6 block
const uint32_t kRingColour = 0x800000FF;       // the rest of the outer 6-pixel ring
const uint32_t kCentreColour = 0xFF00FF00;     // the 4 x 4 centre
const uint32_t kRingStored = 0x80000080;

// Writes "shadow.png" (16 x 16: the ring above around the centre) into a fresh
// folder and makes that folder the resource path, so that the image loads by
// its plain name.
inline void UseShadowImage()
{
    testsupport::Picture picture(16, 16, kRingColour);
    picture.FillRect(0, 0, 6, 6, kCornerColour);
    picture.FillRect(6, 6, 10, 10, kCentreColour);
    const std::vector<unsigned char> png = testsupport::EncodePng(picture);
    const std::wstring folder = testsupport::FreshTempFolder(L"shadow");
    testsupport::WriteFileText(folder + L"\\shadow.png", std::string(png.begin(), png.end()));
    Facet::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    Facet::CPaintManagerUI::SetResourceZip(L"", false);
    Facet::CPaintManagerUI::SetResourcePath(folder.c_str());
}

} // namespace shadowtest
