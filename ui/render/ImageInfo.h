// The records of loaded images and of parsed image descriptions.
#pragma once

#include <windows.h>

#include "../core/FacetString.h"

namespace Facet {

// A loaded image: a 32-bit top-down DIB section whose pixels are stored as blue,
// green, red, alpha bytes with the colours premultiplied by alpha. Made by
// CRenderEngine::LoadImage / LoadSvgImage, freed by CRenderEngine::FreeImage;
// the paint manager's image table owns it.
typedef struct tagTImageInfo
{
    HBITMAP hBitmap;
    LPBYTE pBits;    // the bitmap's pixels (HSL adjustment writes here)
    LPBYTE pSrcBits; // the pixels as loaded, kept aside for HSL images; null otherwise
    int nX;          // width in pixels
    int nY;          // height in pixels
    bool bAlpha;     // some pixel is not fully opaque (or was cleared by the mask)
    bool bUseHSL;
    CFacetString sResType;
    DWORD dwMask;
} TImageInfo;

// An image description as written in a skin ("file='a.png' corner='4,4,4,4'")
// with its parsed settings. The description is parsed, and its image looked
// up, at the first draw; Clear or a new description starts over.
class TDrawInfo
{
public:
    TDrawInfo();
    explicit TDrawInfo(const wchar_t* description);
    TDrawInfo(const TDrawInfo& other) = default;
    TDrawInfo& operator=(const TDrawInfo& other) = default;

    // Empties both strings, zeroes every other setting and sets fade to 255.
    void Clear();

    CFacetString sDrawString;     // the description as written
    CFacetString sImageName;      // the image name found by parsing
    bool bLoaded;                 // parsing and loading have been attempted
    const TImageInfo* pImageInfo; // the image in the manager's table, not owned
    RECT rcDestOffset;            // offsets inside the item rectangle, already scaled
    RECT rcBmpPart;               // part of the bitmap; all zero = the whole bitmap
    RECT rcScale9;                // nine-grid corner widths in source pixels
    BYTE uFade;                   // constant opacity
    bool bHole;                   // leave the centre cell out
    bool bTiledX;                 // tile the centre horizontally instead of stretching
    bool bTiledY;                 // tile the centre vertically instead of stretching
};

} // namespace Facet
