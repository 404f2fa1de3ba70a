#include "RenderClip.h"

namespace Facet {

CRenderClip::~CRenderClip()
{
    Reset();
}

void CRenderClip::Reset()
{
    if (hDC != nullptr && hOldRgn != nullptr)
        SelectClipRgn(hDC, hOldRgn);
    if (hOldRgn != nullptr)
        DeleteObject(hOldRgn);
    if (hRgn != nullptr)
        DeleteObject(hRgn);
    hOldRgn = nullptr;
    hRgn = nullptr;
    hDC = nullptr;
}

void CRenderClip::GenerateClip(HDC hDC, RECT rc, CRenderClip& clip)
{
    clip.Reset();
    RECT box = {0, 0, 0, 0};
    GetClipBox(hDC, &box);
    clip.hOldRgn = CreateRectRgnIndirect(&box);
    clip.hRgn = CreateRectRgnIndirect(&rc);
    CombineRgn(clip.hRgn, clip.hRgn, clip.hOldRgn, RGN_AND);
    SelectClipRgn(hDC, clip.hRgn);
    clip.hDC = hDC;
    clip.rcItem = rc;
}

void CRenderClip::GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip)
{
    clip.Reset();
    RECT box = {0, 0, 0, 0};
    GetClipBox(hDC, &box);
    clip.hOldRgn = CreateRectRgnIndirect(&box);
    clip.hRgn = CreateRectRgnIndirect(&rc);
    HRGN round = CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1, rcItem.bottom + 1, width, height);
    CombineRgn(clip.hRgn, clip.hRgn, round, RGN_AND);
    CombineRgn(clip.hRgn, clip.hRgn, clip.hOldRgn, RGN_AND);
    DeleteObject(round);
    SelectClipRgn(hDC, clip.hRgn);
    clip.hDC = hDC;
    clip.rcItem = rc;
}

void CRenderClip::UseOldClipBegin(HDC hDC, CRenderClip& clip)
{
    SelectClipRgn(hDC, clip.hOldRgn);
}

void CRenderClip::UseOldClipEnd(HDC hDC, CRenderClip& clip)
{
    SelectClipRgn(hDC, clip.hRgn);
}

} // namespace Facet
