// Small owners of GDI objects for the render engine: each restores what it
// changed in a device context and deletes what it made, on every path.
#pragma once

#include "../core/UniqueHandle.h"

#include <windows.h>

#include <optional>

namespace Facet {

// A memory device context compatible with `reference`, with `bitmap` selected
// into it for its lifetime.
class ScopedMemoryDC
{
public:
    ScopedMemoryDC(HDC reference, HBITMAP bitmap) : m_dc(CreateCompatibleDC(reference))
    {
        if (m_dc && bitmap != nullptr)
            m_old = SelectObject(m_dc.Get(), bitmap);
    }
    ~ScopedMemoryDC()
    {
        if (m_dc && m_old != nullptr)
            SelectObject(m_dc.Get(), m_old);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;

    HDC Get() const { return m_dc.Get(); }

private:
    UniqueMemoryDC m_dc;
    HGDIOBJ m_old = nullptr;
};

// A GDI object (pen, brush, bitmap, region, font).
template <typename Object>
struct GdiObjectTraits : NullInvalidHandle<Object>
{
    static void Close(Object object) { DeleteObject(object); }
};
// A GDI object deleted with the owner.
template <typename Object>
using ScopedGdiObject = UniqueHandle<GdiObjectTraits<Object>>;

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
    ScopedDibSurface(HDC reference, int width, int height)
        : m_bitmap(Create(width, height, &m_bits)), m_dc(reference, m_bitmap.Get())
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

// A bitmap with a memory device context around it (the bitmap selected into
// it), kept from one paint to the next and made anew when another size is
// asked for: a 32-bit top-down DIB section, whose pixels are at hand, or a
// bitmap compatible with the reference context.
class OffscreenSurface
{
public:
    enum class Kind { Dib, Compatible };

    OffscreenSurface() = default;
    OffscreenSurface(const OffscreenSurface&) = delete;
    OffscreenSurface& operator=(const OffscreenSurface&) = delete;

    // Whether the surface exists with this size.
    bool Fits(int width, int height) const { return Valid() && m_width == width && m_height == height; }

    // Keeps a surface of this size, else makes one of `kind`; false (and no
    // surface) when the size is empty or the platform cannot make it.
    bool Ensure(HDC reference, int width, int height, Kind kind)
    {
        if (Fits(width, height))
            return true;
        Reset();
        if (width <= 0 || height <= 0)
            return false;
        m_bitmap.Reset(kind == Kind::Dib ? CreateArgbDib(width, height, &m_bits)
                                         : CreateCompatibleBitmap(reference, width, height));
        if (!m_bitmap) {
            Reset();
            return false;
        }
        m_dc.emplace(reference, m_bitmap.Get());
        if (m_dc->Get() == nullptr) {
            Reset();
            return false;
        }
        m_width = width;
        m_height = height;
        return true;
    }

    // Drops the surface (the next Ensure makes a new one).
    void Reset()
    {
        m_dc.reset();
        m_bitmap.Reset();
        m_bits = nullptr;
        m_width = 0;
        m_height = 0;
    }

    bool Valid() const { return m_dc.has_value() && m_dc->Get() != nullptr; }
    HDC Dc() const { return m_dc ? m_dc->Get() : nullptr; }
    HBITMAP Bitmap() const { return m_bitmap.Get(); }
    // The pixels of a DIB surface (null for a compatible one).
    BYTE* Bits() const { return m_bits; }

private:
    ScopedGdiObject<HBITMAP> m_bitmap;
    // Declared after the bitmap, so that it goes first and gives the bitmap
    // back before the bitmap is deleted.
    std::optional<ScopedMemoryDC> m_dc;
    BYTE* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};

} // namespace Facet
