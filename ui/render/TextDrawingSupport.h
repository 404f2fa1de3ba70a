// Device-context helpers shared by the plain and the mark-up text routines.
#pragma once

#include "../core/UniqueHandle.h"

#include <windows.h>

namespace Facet {

class CPaintManagerUI;

// Saves the text state of a device context (font, text colour, background
// mode and colour, text alignment) and puts it back on destruction, so text
// drawing leaves the caller's context as it found it.
class ScopedTextState
{
public:
    explicit ScopedTextState(HDC dc);
    ~ScopedTextState();
    ScopedTextState(const ScopedTextState&) = delete;
    ScopedTextState& operator=(const ScopedTextState&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_font;
    COLORREF m_textColor;
    COLORREF m_bkColor;
    int m_bkMode;
    UINT m_align;
};

// The device context to measure text with: the given one, else the manager's
// paint context, else a memory context made for the purpose (and deleted with
// this object). Measuring needs no visible surface.
class MeasuringDc
{
public:
    MeasuringDc(HDC given, CPaintManagerUI* manager);

    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    UniqueMemoryDC m_owned;
};

// 0xAARRGGBB as the platform's plain colour (the alpha byte is dropped).
inline COLORREF TextColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

} // namespace Facet
