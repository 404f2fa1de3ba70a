// Colour fills, gradients, lines and frames.
#include "RenderEngine.h"

#include "GdiObjects.h"
#include "PlatformBlend.h"

namespace Facet {

namespace {

COLORREF ToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// A one-pixel premultiplied bitmap of the colour, stretched over `rc` by blending.
void BlendColor(HDC hDC, const RECT& rc, DWORD color)
{
    BYTE* bits = nullptr;
    ScopedGdiObject<HBITMAP> pixel(CRenderEngine::CreateARGB32Bitmap(hDC, 1, 1, &bits));
    if (pixel.Get() == nullptr || bits == nullptr)
        return;
    const unsigned a = color >> 24;
    bits[0] = static_cast<BYTE>((color & 0xFF) * a / 255);
    bits[1] = static_cast<BYTE>(((color >> 8) & 0xFF) * a / 255);
    bits[2] = static_cast<BYTE>(((color >> 16) & 0xFF) * a / 255);
    bits[3] = static_cast<BYTE>(a);
    GdiFlush();
    const RECT whole = {0, 0, 1, 1};
    const RECT none = {0, 0, 0, 0};
    CRenderEngine::DrawImage(hDC, pixel.Get(), rc, rc, whole, none, true, 255);
}

void FillBands(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    int shift = 1;
    if (steps >= 64)
        shift = 6;
    else if (steps >= 32)
        shift = 5;
    else if (steps >= 16)
        shift = 4;
    else if (steps > 7)
        shift = 3;
    else if (steps > 3)
        shift = 2;
    const int bands = 1 << shift;
    const int extent = vertical ? rc.bottom - rc.top : rc.right - rc.left;
    const int edge = vertical ? rc.bottom : rc.right;
    for (int i = 0; i < bands; ++i) {
        const auto mix = [&](int s) {
            const int a = (second >> s) & 0xFF;
            const int b = (first >> s) & 0xFF;
            return static_cast<BYTE>((a * (bands - i) + b * i) >> shift);
        };
        const int outer = edge - ((i + 1) * extent >> shift);
        const int inner = edge - (i * extent >> shift);
        if (inner <= outer)
            continue;
        const RECT band = vertical ? RECT{rc.left, outer, rc.right, inner} : RECT{outer, rc.top, inner, rc.bottom};
        ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(mix(16), mix(8), mix(0))));
        FillRect(hDC, &band, brush.Get());
    }
}

void FillGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    const GradientFillFunction gradientFill = PlatformBlend::Get().gradientFill;
    if (gradientFill == nullptr) {
        FillBands(hDC, rc, first, second, vertical, steps);
        return;
    }
    TRIVERTEX vertices[2] = {};
    vertices[0].x = rc.left;
    vertices[0].y = rc.top;
    vertices[0].Red = static_cast<COLOR16>(((first >> 16) & 0xFF) << 8);
    vertices[0].Green = static_cast<COLOR16>(((first >> 8) & 0xFF) << 8);
    vertices[0].Blue = static_cast<COLOR16>((first & 0xFF) << 8);
    vertices[0].Alpha = 0xFF00;
    vertices[1].x = rc.right;
    vertices[1].y = rc.bottom;
    vertices[1].Red = static_cast<COLOR16>(((second >> 16) & 0xFF) << 8);
    vertices[1].Green = static_cast<COLOR16>(((second >> 8) & 0xFF) << 8);
    vertices[1].Blue = static_cast<COLOR16>((second & 0xFF) << 8);
    vertices[1].Alpha = 0xFF00;
    GRADIENT_RECT gradient = {0, 1};
    gradientFill(hDC, vertices, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void DrawFrame(HDC hDC, const RECT& rc, int size, DWORD color, int style, int cornerWidth, int cornerHeight, bool round)
{
    ScopedGdiObject<HPEN> pen(CreatePen(style | PS_INSIDEFRAME, size, ToColorRef(color)));
    if (pen.Get() == nullptr)
        return;
    ScopedSelect selectPen(hDC, pen.Get());
    ScopedSelect selectBrush(hDC, GetStockObject(NULL_BRUSH));
    if (round)
        RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, cornerWidth, cornerHeight);
    else
        Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
}

} // namespace

void CRenderEngine::DrawColor(HDC hDC, const RECT& rc, DWORD color)
{
    const DWORD alpha = color >> 24;
    if (hDC == nullptr || alpha == 0)
        return;
    if (alpha == 255) {
        ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(color)));
        FillRect(hDC, &rc, brush.Get());
        return;
    }
    BlendColor(hDC, rc, color);
}

void CRenderEngine::DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    const int opacity = static_cast<int>(((first >> 24) + (second >> 24)) / 2);
    if (hDC == nullptr || opacity == 0 || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    if (opacity == 255) {
        FillGradient(hDC, rc, first, second, vertical, steps);
        return;
    }
    // Drawn off-screen first, then laid over the target at the mean opacity.
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    ScopedDibSurface surface(hDC, width, height);
    if (!surface.Valid())
        return;
    const RECT local = {0, 0, width, height};
    FillGradient(surface.Dc(), local, first, second, vertical, steps);
    GdiFlush();
    for (int i = 0; i < width * height; ++i)
        surface.Bits()[i * 4 + 3] = 255;
    const AlphaBlendFunction alphaBlend = PlatformBlend::Get().alphaBlend;
    if (alphaBlend != nullptr) {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(opacity), 0};
        alphaBlend(hDC, rc.left, rc.top, width, height, surface.Dc(), 0, 0, width, height, blend);
    } else {
        BlendWithoutPlatform(hDC, rc, surface.Dc(), local, static_cast<BYTE>(opacity));
    }
}

void CRenderEngine::DrawLine(HDC hDC, const RECT& rc, int size, DWORD penColor, int style)
{
    if (hDC == nullptr)
        return;
    ScopedGdiObject<HPEN> pen(CreatePen(style, size, ToColorRef(penColor)));
    if (pen.Get() == nullptr)
        return;
    ScopedSelect select(hDC, pen.Get());
    POINT previous;
    MoveToEx(hDC, rc.left, rc.top, &previous);
    LineTo(hDC, rc.right, rc.bottom);
    MoveToEx(hDC, previous.x, previous.y, nullptr);
}

void CRenderEngine::DrawRect(HDC hDC, const RECT& rc, int size, DWORD penColor, int style)
{
    if (hDC != nullptr)
        DrawFrame(hDC, rc, size, penColor, style, 0, 0, false);
}

void CRenderEngine::DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD penColor, int style)
{
    if (hDC != nullptr)
        DrawFrame(hDC, rc, size, penColor, style, width, height, true);
}

} // namespace Facet
