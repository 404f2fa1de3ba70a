// What the shadow tests share: a plain parent window, the one-time class
// registration, a nine-grid test image and reading a shadow bitmap's pixels.
#pragma once

#include "core/PaintManager.h"
#include "window/WndShadow.h"

#include "../support/TestFiles.h"
#include "../support/TestImages.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

namespace testsupport {

const UINT kProbeMessage = WM_APP + 21; // answered by the parent's own procedure
const LRESULT kProbeAnswer = 0x5AD0;

// The first call's result of CWndShadow::Initialize in this process.
inline bool InitializeOnce()
{
    static const bool first = Facet::CWndShadow::Initialize(GetModuleHandleW(nullptr));
    return first;
}

inline void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

inline RECT R(LONG left, LONG top, LONG right, LONG bottom)
{
    return RECT{left, top, right, bottom};
}

inline ::testing::AssertionResult WindowAt(HWND hWnd, const RECT& expected)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    if (EqualRect(&rc, &expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "window at " << rc.left << "," << rc.top << "," << rc.right << ","
                                         << rc.bottom;
}

// A top-level pop-up of the tests' own class, destroyed with the object.
class ParentWindow
{
public:
    ParentWindow(int x, int y, int width, int height, bool visible = true)
    {
        WNDCLASSW wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FacetShadowTestParent";
        RegisterClassW(&wc);
        m_hWnd = CreateWindowExW(0, wc.lpszClassName, L"parent", WS_POPUP | (visible ? WS_VISIBLE : 0), x, y, width,
                                 height, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~ParentWindow()
    {
        if (IsWindow(m_hWnd))
            DestroyWindow(m_hWnd);
    }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    static WNDPROC OwnProcedure() { return Procedure; }
    WNDPROC CurrentProcedure() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)); }
    void MoveTo(int x, int y) { SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }
    void Resize(int cx, int cy)
    {
        SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    bool AnswersProbe() const { return SendMessageW(m_hWnd, kProbeMessage, 0, 0) == kProbeAnswer; }

private:
    static LRESULT CALLBACK Procedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return message == kProbeMessage ? kProbeAnswer : DefWindowProcW(hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

// A shadow bitmap (bottom-up rows) with its pixels, deleted with the object.
class ShadowPixels
{
public:
    explicit ShadowPixels(HBITMAP bitmap) : m_bitmap(bitmap)
    {
        if (bitmap != nullptr && GetObjectW(bitmap, sizeof(m_section), &m_section) != sizeof(m_section))
            m_section = DIBSECTION{};
    }
    ~ShadowPixels()
    {
        if (m_bitmap != nullptr)
            DeleteObject(m_bitmap);
    }
    ShadowPixels(const ShadowPixels&) = delete;
    ShadowPixels& operator=(const ShadowPixels&) = delete;

    bool Valid() const { return m_section.dsBm.bmBits != nullptr && m_section.dsBmih.biHeight > 0; }
    int Width() const { return m_section.dsBm.bmWidth; }
    int Height() const { return m_section.dsBm.bmHeight; }
    // The premultiplied 0xAARRGGBB pixel at (x, y), y counted from the top.
    uint32_t At(int x, int y) const
    {
        GdiFlush();
        const auto* bits = static_cast<const uint32_t*>(m_section.dsBm.bmBits);
        return bits[static_cast<size_t>(Height() - 1 - y) * Width() + x];
    }
    uint32_t Alpha(int x, int y) const { return At(x, y) >> 24; }

private:
    HBITMAP m_bitmap;
    DIBSECTION m_section = {};
};

// The nine-grid test image, 16 x 16: a 6-pixel ring around a 4 x 4 centre,
// with its own colour in the top-left corner block (straight alpha).
const uint32_t kCornerColour = 0xFFFF0000;
const uint32_t kRingColour = 0x800000FF;
const uint32_t kRingStored = 0x80000080; // as loaded: premultiplied
const uint32_t kCentreColour = 0xFF00FF00;

// Writes the image as "shadow.png" into a fresh resource folder.
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

} // namespace testsupport
