// A paint manager bound to a hidden window (for font metrics), a canvas to
// draw text on, and helpers that find where ink landed.
#pragma once

#include "core/PaintManager.h"
#include "render/RenderEngine.h"

#include "../support/DibCanvas.h"
#include "../support/InkColumns.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace testsupport {

// A hidden top-level window of its own class, destroyed with the object.
class HiddenWindow
{
public:
    HiddenWindow()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FacetTextTestWindow";
        RegisterClassW(&wc); // a second registration fails harmlessly
        m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"text", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, wc.hInstance,
                                 nullptr);
    }
    ~HiddenWindow()
    {
        if (m_hwnd != nullptr)
            DestroyWindow(m_hwnd);
    }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;
    HWND Get() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

const uint32_t kWhite = 0xFFFFFF;

// The bounding box of every pixel that is not the background (right and
// bottom exclusive); empty when nothing was drawn.
inline RECT InkBox(const testsupport::DibCanvas& canvas, uint32_t background = kWhite)
{
    RECT box = {canvas.Width(), canvas.Height(), 0, 0};
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.Rgb(x, y) == background)
                continue;
            box.left = (std::min)(box.left, static_cast<LONG>(x));
            box.top = (std::min)(box.top, static_cast<LONG>(y));
            box.right = (std::max)(box.right, static_cast<LONG>(x + 1));
            box.bottom = (std::max)(box.bottom, static_cast<LONG>(y + 1));
        }
    }
    if (box.right == 0)
        SetRectEmpty(&box);
    return box;
}

// Pixels inside `area` whose colour satisfies `match`.
inline int CountPixels(const testsupport::DibCanvas& canvas, const RECT& area,
                       const std::function<bool(uint32_t)>& match)
{
    int count = 0;
    for (int y = (std::max)(0L, area.top); y < (std::min)(static_cast<LONG>(canvas.Height()), area.bottom); ++y)
        for (int x = (std::max)(0L, area.left); x < (std::min)(static_cast<LONG>(canvas.Width()), area.right); ++x)
            if (match(canvas.Rgb(x, y)))
                count += 1;
    return count;
}

// Whether the colour is a strong tint of `rgb` (anti-aliasing blends glyph
// edges with the background, so only the core of the strokes matches).
inline bool IsNear(uint32_t pixel, uint32_t rgb, int tolerance = 40)
{
    return testsupport::Near(pixel, rgb & 0xFFFFFF, tolerance);
}

// The first row of `area` with ink in it, or area.bottom when none.
inline int TopInkRow(const testsupport::DibCanvas& canvas, const RECT& area, uint32_t background = kWhite)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (canvas.Rgb(x, y) != background)
                return y;
    return area.bottom;
}

inline bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

inline int Width(const RECT& rc)
{
    return rc.right - rc.left;
}
inline int Height(const RECT& rc)
{
    return rc.bottom - rc.top;
}

// Font numbers the fixture defines: a normal, a big and a small font of the
// default GUI face.
const int kNormalFont = 1;
const int kBigFont = 2;
const int kSmallFont = 3;

class TextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_window.Get(), nullptr);
        m_manager.Init(m_window.Get());
        ASSERT_NE(m_manager.GetPaintDC(), nullptr);
        const Facet::CFacetString face = m_manager.GetDefaultFontInfo()->sFontName;
        ASSERT_NE(m_manager.AddFont(kNormalFont, face.GetData(), 16, false, false, false), nullptr);
        ASSERT_NE(m_manager.AddFont(kBigFont, face.GetData(), 32, false, false, false), nullptr);
        ASSERT_NE(m_manager.AddFont(kSmallFont, face.GetData(), 10, false, false, false), nullptr);
        m_canvas.Fill(0xFFFFFFFF);
    }

    Facet::CFacetString Face() { return m_manager.GetDefaultFontInfo()->sFontName; }

    // The extent of mark-up text laid out in `width` x `height` (calculate mode).
    RECT Measure(const wchar_t* text, UINT style = 0, int width = 1000, int height = 1000, int font = kNormalFont)
    {
        RECT rc = {0, 0, width, height};
        int links = 0;
        Facet::CRenderEngine::DrawHtmlText(m_canvas.Dc(), &m_manager, rc, text, 0xFF000000, nullptr, nullptr, links,
                                           font, style | DT_CALCRECT);
        return rc;
    }

    // Draws mark-up text in black on a white canvas.
    void Draw(const wchar_t* text, RECT rc, UINT style = 0, int font = kNormalFont, DWORD color = 0xFF000000)
    {
        int links = 0;
        Facet::CRenderEngine::DrawHtmlText(m_canvas.Dc(), &m_manager, rc, text, color, nullptr, nullptr, links, font,
                                           style);
    }

    HiddenWindow m_window;
    Facet::CPaintManagerUI m_manager;
    testsupport::DibCanvas m_canvas{400, 200};
};

} // namespace testsupport
