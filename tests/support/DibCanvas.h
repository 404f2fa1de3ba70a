// A 32-bit top-down DIB section with a memory device context, for drawing
// tests that read back exact pixels.
#pragma once

#include "render/GdiObjects.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>

namespace testsupport {

class DibCanvas
{
public:
    DibCanvas(int width, int height) : m_width(width), m_height(height)
    {
        const BITMAPINFO info = Facet::TopDown32BitInfo(width, height);
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_dc = CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~DibCanvas()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // 0xAARRGGBB of the pixel (alpha as stored in the DIB).
    uint32_t Pixel(int x, int y) const
    {
        GdiFlush();
        return reinterpret_cast<const uint32_t*>(m_bits)[y * m_width + x];
    }
    // The pixel's colour without its alpha byte.
    uint32_t Rgb(int x, int y) const { return Pixel(x, y) & 0xFFFFFFu; }

    void Fill(uint32_t argb)
    {
        GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            reinterpret_cast<uint32_t*>(m_bits)[i] = argb;
    }

private:
    int m_width;
    int m_height;
    BYTE* m_bits = nullptr;
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

// Whether two colours agree in every channel within `tolerance` (rendering
// rounds differently across platforms by one step).
inline bool Near(uint32_t a, uint32_t b, int tolerance = 1)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}

} // namespace testsupport
