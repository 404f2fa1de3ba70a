// Enlarging part of a 32-bit bitmap with bilinear filtering, so that images
// drawn larger than their pixels (on screens scaled above 100 %) look smooth
// instead of blocky.
#pragma once

#include <windows.h>

namespace Facet {

// Fills `out` (width x height pixels, 32-bit premultiplied, top-down rows)
// with the source part (x, y, w, h) of `source` (sourceWidth x sourceHeight
// pixels, rows of sourceStride bytes, top row first) stretched over a
// destination of destWidth x destHeight pixels, of which `out` is the window
// starting at (left, top). Each destination pixel samples the source at its
// centre and blends the four nearest source pixels; the part's edges are
// clamped, so nothing outside it bleeds in.
void BilinearStretch(const BYTE* source, int sourceStride, const RECT& part, int destWidth, int destHeight, int left,
                     int top, int width, int height, BYTE* out);

// Draws the part `part` of the bitmap selected into `source` over `dest` with
// BilinearStretch, only where `dest` meets `clip`; by per-pixel alpha
// (premultiplied, as the image loader keeps it) with the constant `fade` when
// `blend`, else copied. False (nothing drawn) when a surface cannot be made.
bool DrawSmoothStretch(HDC target, const RECT& dest, const RECT& clip, HDC source, const RECT& part, bool blend,
                       BYTE fade);

} // namespace Facet
