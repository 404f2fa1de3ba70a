// Nine-grid drawing of bitmaps: stretched or tiled centre, fixed corners,
// edges stretched along one axis, constant fade and per-pixel alpha.
#include "RenderEngine.h"

#include "../core/DpiManager.h"
#include "../core/PaintManager.h"
#include "GdiObjects.h"
#include "ImageDescription.h"
#include "PlatformBlend.h"
#include "SmoothStretch.h"

#include <algorithm>

namespace Facet {

namespace {

bool Meets(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

// Draws pieces of one source bitmap onto the target, by blending or copying.
// On a screen scaled above 100 % a piece drawn larger than its pixels is
// filtered, so that enlarged images look smooth rather than blocky.
class PieceDrawer
{
public:
    PieceDrawer(HDC target, HDC source, const RECT& paint, bool blend, BYTE fade)
        : m_target(target),
          m_source(source),
          m_paint(paint),
          m_blend(blend),
          m_fade(fade),
          m_smooth(DpiManager::GetInstance()->GetWindowInchPex() > 1.0),
          m_alphaBlend(PlatformBlend::Get().alphaBlend)
    {
    }

    // Draws the source part (x, y, w, h) over `dest`, stretched to fit; nothing
    // when either is empty or `dest` misses the paint rectangle.
    void Stretch(const RECT& dest, int x, int y, int w, int h) const
    {
        const int dw = dest.right - dest.left;
        const int dh = dest.bottom - dest.top;
        if (dw <= 0 || dh <= 0 || w <= 0 || h <= 0 || !Meets(dest, m_paint))
            return;
        if (m_smooth && (dw > w || dh > h) &&
            DrawSmoothStretch(m_target, dest, m_paint, m_source, RECT{x, y, x + w, y + h}, m_blend, m_fade))
            return;
        if (!m_blend) {
            if (dw == w && dh == h)
                BitBlt(m_target, dest.left, dest.top, dw, dh, m_source, x, y, SRCCOPY);
            else
                StretchBlt(m_target, dest.left, dest.top, dw, dh, m_source, x, y, w, h, SRCCOPY);
            return;
        }
        if (m_alphaBlend != nullptr) {
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_fade, AC_SRC_ALPHA};
            m_alphaBlend(m_target, dest.left, dest.top, dw, dh, m_source, x, y, w, h, blend);
            return;
        }
        RECT source = {x, y, x + w, y + h};
        CRenderEngine::BlendWithoutPlatform(m_target, dest, m_source, source, m_fade);
    }

private:
    HDC m_target;
    HDC m_source;
    RECT m_paint;
    bool m_blend;
    BYTE m_fade;
    bool m_smooth;
    AlphaBlendFunction m_alphaBlend;
};

void DrawCentre(const PieceDrawer& drawer, const RECT& centre, int sx, int sy, int w, int h, bool xtiled, bool ytiled)
{
    if (w <= 0 || h <= 0 || centre.right <= centre.left || centre.bottom <= centre.top)
        return;
    if (!xtiled && !ytiled) {
        drawer.Stretch(centre, sx, sy, w, h);
        return;
    }
    const int width = centre.right - centre.left;
    const int height = centre.bottom - centre.top;
    const int columns = xtiled ? (width + w - 1) / w : 1;
    const int rows = ytiled ? (height + h - 1) / h : 1;
    for (int j = 0; j < rows; ++j) {
        RECT tile;
        tile.top = ytiled ? centre.top + h * j : centre.top;
        tile.bottom = ytiled ? (std::min)(static_cast<LONG>(tile.top + h), centre.bottom) : centre.bottom;
        // The last tile is cut at the centre's edge, and its source by as much.
        const int sourceHeight = ytiled ? tile.bottom - tile.top : h;
        for (int i = 0; i < columns; ++i) {
            tile.left = xtiled ? centre.left + w * i : centre.left;
            tile.right = xtiled ? (std::min)(static_cast<LONG>(tile.left + w), centre.right) : centre.right;
            const int sourceWidth = xtiled ? tile.right - tile.left : w;
            drawer.Stretch(tile, sx, sy, sourceWidth, sourceHeight);
        }
    }
}

} // namespace

void CRenderEngine::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                              const RECT& rcCorners, bool alpha, BYTE uFade, bool hole, bool xtiled, bool ytiled)
{
    if (hDC == nullptr || hBitmap == nullptr)
        return;

    // The source part, kept inside the bitmap: a part that reached outside would
    // make the platform refuse the blend or mirror the copy.
    BITMAP info = {};
    if (GetObject(hBitmap, sizeof(info), &info) == 0)
        return;
    RECT src = rcBmpPart;
    src.left = (std::max)(0L, src.left);
    src.top = (std::max)(0L, src.top);
    src.right = (std::min)(static_cast<LONG>(info.bmWidth), src.right);
    src.bottom = (std::min)(static_cast<LONG>(std::abs(info.bmHeight)), src.bottom);
    if (src.right <= src.left || src.bottom <= src.top)
        return;
    const int sw = src.right - src.left;
    const int sh = src.bottom - src.top;

    // Corners never wider or taller than the source part.
    RECT corner = rcCorners;
    corner.left = (std::max)(0L, (std::min)(corner.left, static_cast<LONG>(sw)));
    corner.right = (std::max)(0L, (std::min)(corner.right, static_cast<LONG>(sw - corner.left)));
    corner.top = (std::max)(0L, (std::min)(corner.top, static_cast<LONG>(sh)));
    corner.bottom = (std::max)(0L, (std::min)(corner.bottom, static_cast<LONG>(sh - corner.top)));

    ScopedMemoryDC source(hDC, hBitmap);
    if (source.Get() == nullptr)
        return;
    const int oldMode = SetStretchBltMode(hDC, COLORONCOLOR);
    const bool blend = alpha || uFade < 255;
    const PieceDrawer drawer(hDC, source.Get(), rcPaint, blend, uFade);

    const bool noCorners = corner.left == 0 && corner.top == 0 && corner.right == 0 && corner.bottom == 0;
    if (!blend && noCorners && rc.right - rc.left == sw && rc.bottom - rc.top == sh) {
        RECT common;
        if (IntersectRect(&common, &rc, &rcPaint))
            BitBlt(hDC, common.left, common.top, common.right - common.left, common.bottom - common.top, source.Get(),
                   src.left + common.left - rc.left, src.top + common.top - rc.top, SRCCOPY);
        SetStretchBltMode(hDC, oldMode);
        return;
    }

    if (!hole) {
        const RECT centre = {rc.left + corner.left, rc.top + corner.top, rc.right - corner.right,
                             rc.bottom - corner.bottom};
        DrawCentre(drawer, centre, src.left + corner.left, src.top + corner.top, sw - corner.left - corner.right,
                   sh - corner.top - corner.bottom, xtiled, ytiled);
    }

    const LONG cl = corner.left, ct = corner.top, cr = corner.right, cb = corner.bottom;
    const int middleWidth = sw - cl - cr;
    const int middleHeight = sh - ct - cb;
    if (cl > 0 && ct > 0)
        drawer.Stretch(RECT{rc.left, rc.top, rc.left + cl, rc.top + ct}, src.left, src.top, cl, ct);
    if (ct > 0)
        drawer.Stretch(RECT{rc.left + cl, rc.top, rc.right - cr, rc.top + ct}, src.left + cl, src.top, middleWidth, ct);
    if (cr > 0 && ct > 0)
        drawer.Stretch(RECT{rc.right - cr, rc.top, rc.right, rc.top + ct}, src.right - cr, src.top, cr, ct);
    if (cl > 0)
        drawer.Stretch(RECT{rc.left, rc.top + ct, rc.left + cl, rc.bottom - cb}, src.left, src.top + ct, cl,
                       middleHeight);
    if (cr > 0)
        drawer.Stretch(RECT{rc.right - cr, rc.top + ct, rc.right, rc.bottom - cb}, src.right - cr, src.top + ct, cr,
                       middleHeight);
    if (cl > 0 && cb > 0)
        drawer.Stretch(RECT{rc.left, rc.bottom - cb, rc.left + cl, rc.bottom}, src.left, src.bottom - cb, cl, cb);
    if (cb > 0)
        drawer.Stretch(RECT{rc.left + cl, rc.bottom - cb, rc.right - cr, rc.bottom}, src.left + cl, src.bottom - cb,
                       middleWidth, cb);
    if (cr > 0 && cb > 0)
        drawer.Stretch(RECT{rc.right - cr, rc.bottom - cb, rc.right, rc.bottom}, src.right - cr, src.bottom - cb, cr,
                       cb);

    SetStretchBltMode(hDC, oldMode);
}

void CRenderEngine::BlendWithoutPlatform(HDC target, const RECT& rcDest, HDC source, const RECT& rcSrc, BYTE fade)
{
    const int width = rcDest.right - rcDest.left;
    const int height = rcDest.bottom - rcDest.top;
    if (width <= 0 || height <= 0)
        return;
    ScopedDibSurface from(target, width, height);
    ScopedDibSurface onto(target, width, height);
    if (!from.Valid() || !onto.Valid())
        return;
    SetStretchBltMode(from.Dc(), COLORONCOLOR);
    StretchBlt(from.Dc(), 0, 0, width, height, source, rcSrc.left, rcSrc.top, rcSrc.right - rcSrc.left,
               rcSrc.bottom - rcSrc.top, SRCCOPY);
    BitBlt(onto.Dc(), 0, 0, width, height, target, rcDest.left, rcDest.top, SRCCOPY);
    GdiFlush();

    // The source is premultiplied: scale it by the constant alpha, and keep of the
    // destination what the scaled source alpha leaves uncovered.
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const BYTE* s = from.Bits();
    BYTE* d = onto.Bits();
    for (size_t i = 0; i < count; ++i, s += 4, d += 4) {
        const unsigned coverage = s[3] * fade; // 0 .. 255 * 255
        const unsigned keep = 255 * 255 - coverage;
        for (int c = 0; c < 4; ++c)
            d[c] = static_cast<BYTE>((s[c] * fade * 255u + d[c] * keep + (255 * 255) / 2) / (255 * 255));
    }
    BitBlt(target, rcDest.left, rcDest.top, width, height, onto.Dc(), 0, 0, SRCCOPY);
}

bool CRenderEngine::DrawImage(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                              TDrawInfo& drawInfo)
{
    if (manager == nullptr)
        return true;
    if (drawInfo.pImageInfo == nullptr) {
        if (drawInfo.bLoaded)
            return false;
        drawInfo.bLoaded = true;
        if (drawInfo.sDrawString.IsEmpty())
            return false;
        TImageLookup lookup;
        ParseImageDescription(drawInfo, lookup, DpiManager::GetInstance()->GetWindowInchPex());
        const TImageInfo* image = nullptr;
        if (lookup.bByResType)
            image = manager->GetImageEx(drawInfo.sImageName, lookup.sResType, lookup.dwMask, lookup.bHSL);
        else
            image = manager->GetImageEx(drawInfo.sImageName, nullptr, lookup.dwMask, lookup.bHSL, lookup.bSvg);
        if (image == nullptr)
            return false;
        drawInfo.pImageInfo = image;
        RECT& part = drawInfo.rcBmpPart;
        if (part.left == 0 && part.top == 0 && part.right == 0 && part.bottom == 0)
            part = RECT{0, 0, image->nX, image->nY};
    }
    const TImageInfo* image = drawInfo.pImageInfo;
    if (drawInfo.rcBmpPart.right > image->nX)
        drawInfo.rcBmpPart.right = image->nX;
    if (drawInfo.rcBmpPart.bottom > image->nY)
        drawInfo.rcBmpPart.bottom = image->nY;
    if (hDC == nullptr)
        return true; // only loading was asked for

    RECT rcDest = rcItem;
    const RECT& offset = drawInfo.rcDestOffset;
    if (offset.left != 0 || offset.top != 0 || offset.right != 0 || offset.bottom != 0) {
        rcDest.left = rcItem.left + offset.left;
        rcDest.top = rcItem.top + offset.top;
        rcDest.right = (std::min)(rcItem.left + offset.right, rcItem.right);
        rcDest.bottom = (std::min)(rcItem.top + offset.bottom, rcItem.bottom);
    }
    RECT common;
    if (!IntersectRect(&common, &rcDest, &rcItem) || !IntersectRect(&common, &rcDest, &rcPaint))
        return true;
    DrawImage(hDC, image->hBitmap, rcDest, rcPaint, drawInfo.rcBmpPart, drawInfo.rcScale9, image->bAlpha,
              drawInfo.uFade, drawInfo.bHole, drawInfo.bTiledX, drawInfo.bTiledY);
    return true;
}

} // namespace Facet
