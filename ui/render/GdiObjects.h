// Small owners of GDI objects for the render engine: each restores what it
// changed in a device context and deletes what it made, on every path.
#pragma once

#include <windows.h>

namespace Facet {

// A memory device context compatible with `reference`, with `bitmap` selected
// into it for its lifetime.
class ScopedMemoryDC
{
public:
    ScopedMemoryDC(HDC reference, HBITMAP bitmap) : m_dc(CreateCompatibleDC(reference))
    {
        if (m_dc != nullptr && bitmap != nullptr)
            m_old = SelectObject(m_dc, bitmap);
    }
    ~ScopedMemoryDC()
    {
        if (m_dc == nullptr)
            return;
        if (m_old != nullptr)
            SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;

    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

// A GDI object (pen, brush, bitmap, region, font) deleted with the owner.
template <typename Handle>
class ScopedGdiObject
{
public:
    explicit ScopedGdiObject(Handle handle = nullptr) : m_handle(handle) {}
    ~ScopedGdiObject()
    {
        if (m_handle != nullptr)
            DeleteObject(m_handle);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

    Handle Get() const { return m_handle; }
    Handle Release()
    {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

private:
    Handle m_handle;
};

// Selects an object into a device context and selects the previous one back.
class ScopedSelect
{
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect()
    {
        if (m_old != nullptr)
            SelectObject(m_dc, m_old);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The description of 32-bit top-down rows of the given size, blue first in
// memory: what DIB sections are made with and read back as.
inline BITMAPINFO TopDown32BitInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A 32-bit top-down DIB section of the given size; `bits` receives its pixels
// (null, like the result, when the size is empty or the section fails). The
// caller owns the bitmap.
inline HBITMAP CreateArgbDib(int width, int height, BYTE** bits)
{
    *bits = nullptr;
    if (width <= 0 || height <= 0)
        return nullptr;
    const BITMAPINFO info = TopDown32BitInfo(width, height);
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr, 0);
}

// A 32-bit top-down DIB section of the given size with a memory DC around it.
class ScopedDibSurface
{
public:
    ScopedDibSurface(HDC reference, int width, int height) : m_bitmap(Create(width, height, &m_bits)),
                                                            m_dc(reference, m_bitmap.Get())
    {
    }
    bool Valid() const { return m_bitmap.Get() != nullptr && m_bits != nullptr && m_dc.Get() != nullptr; }
    HDC Dc() const { return m_dc.Get(); }
    BYTE* Bits() const { return m_bits; }

private:
    static HBITMAP Create(int width, int height, BYTE** bits) { return CreateArgbDib(width, height, bits); }

    BYTE* m_bits = nullptr;
    ScopedGdiObject<HBITMAP> m_bitmap;
    ScopedMemoryDC m_dc;
};

} // namespace Facet
