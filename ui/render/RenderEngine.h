// CRenderEngine: every drawing primitive of the framework, as static operations.
#pragma once

#include <windows.h>

#include "../core/FacetString.h"
#include "../core/StringOrId.h"
#include "ImageInfo.h"

namespace Facet {

class CPaintManagerUI;
class CControlUI;

class CRenderEngine
{
public:
    // Colours are 0xAARRGGBB. Hue 0..360 (180 = unchanged), saturation and
    // lightness in percent (100 = unchanged).
    static DWORD AdjustColor(DWORD color, short hue, short saturation, short lightness);
    // Rewrites the pixels of an HSL image from its saved source pixels.
    static void AdjustImage(bool useHSL, TImageInfo* image, short hue, short saturation, short lightness);

    // Loads and decodes an image (PNG, JPEG, BMP, GIF and the other formats of
    // the image decoder; SVG by the name's ".svg" extension) from the skin
    // sources, or makes a one-pixel image for the type "*COLOR*". Opaque pixels
    // equal to `mask` (0xAARRGGBB) become transparent. Null when the bytes are
    // missing or do not decode.
    static TImageInfo* LoadImage(STRINGorID bitmap, const wchar_t* type = nullptr, DWORD mask = 0);
    // Loads an SVG file by its plain file name, at scale 1.
    static TImageInfo* LoadSvgImage(const wchar_t* fileName);
    // Decodes image bytes held in memory (`name` decides whether they are SVG).
    static TImageInfo* DecodeImage(const unsigned char* bytes, size_t size, const wchar_t* name, DWORD mask = 0);
    // Deletes the bitmap and the saved source pixels, and the record when asked.
    static void FreeImage(TImageInfo* image, bool deleteRecord = true);
    // A 32-bit bottom-up DIB section; `bits` receives its pixels.
    static HBITMAP CreateARGB32Bitmap(HDC hDC, int width, int height, BYTE** bits);

    // Nine-grid drawing of (part of) a bitmap: the corners keep their size, the
    // edges stretch along one axis, the centre stretches or tiles. Only pieces
    // that meet `rcPaint` are drawn.
    static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                          const RECT& rcCorners, bool alpha, BYTE uFade = 255, bool hole = false, bool xtiled = false,
                          bool ytiled = false);
    // Draws an image description inside `rcItem`. False when the image cannot be
    // had (the attempt is remembered in `drawInfo`).
    static bool DrawImage(HDC hDC, CPaintManagerUI* manager, const RECT& rcItem, const RECT& rcPaint,
                          TDrawInfo& drawInfo);

    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps);
    static void DrawLine(HDC hDC, const RECT& rc, int size, DWORD penColor, int style = PS_SOLID);
    static void DrawRect(HDC hDC, const RECT& rc, int size, DWORD penColor, int style = PS_SOLID);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD penColor,
                              int style = PS_SOLID);

    // Plain text in the manager's font `font` (language tokens "%{n}" are
    // substituted first); `style` takes the platform's text-drawing flags
    // (DT_CENTER, DT_VCENTER, DT_SINGLELINE, DT_CALCRECT, DT_END_ELLIPSIS...).
    // With DT_CALCRECT the rectangle receives the text's extent and nothing is
    // drawn (a null context then measures with the manager's or a memory one).
    static void DrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
                         UINT style);
    // Text with the HTML-like mark-up ({b}, {c #AARRGGBB}, {a link}, {i image},
    // {n}... or the same tags in angle brackets). `linkRects` and `linkTexts`
    // hold `linkCount` slots: on entry they describe the links of the previous
    // paint (the one under the mouse is drawn in the hover colour); on return
    // `linkCount` is the number of links laid out, at most the slots given.
    // Null arrays record no links. With DT_CALCRECT nothing is drawn and the
    // rectangle's bottom (and right, when narrower) receive the text's extent.
    static void DrawHtmlText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color,
                             RECT* linkRects, CFacetString* linkTexts, int& linkCount, int font, UINT style);
    // Width and height of the whole text in the manager's font `font`.
    static SIZE GetTextSize(HDC hDC, CPaintManagerUI* manager, const wchar_t* text, int font, UINT style);

    // A snapshot of a control: painted into an offscreen bitmap of size
    // rc.right x rc.bottom, the rectangle `rc` copied into a new 32-bit bitmap,
    // then `filterColor` laid over it when its alpha is not 0. Null on failure.
    static HBITMAP GenerateBitmap(CPaintManagerUI* manager, CControlUI* control, RECT rc, DWORD filterColor = 0);
    // The same of the whole window up to (not including) `stopControl`.
    static HBITMAP GenerateBitmap(CPaintManagerUI* manager, RECT rc, CControlUI* stopControl = nullptr,
                                  DWORD filterColor = 0);

    // The wide name in the narrow code page, into a cleared buffer; returns the
    // converted length.
    static int GetAnsiFileName(const wchar_t* name, char* buffer, int length);

    // The alpha blend done in software, used where the platform has none:
    // premultiplied `rcSrc` of `source`, stretched over `rcDest`, scaled by `fade`.
    static void BlendWithoutPlatform(HDC target, const RECT& rcDest, HDC source, const RECT& rcSrc, BYTE fade);
};

} // namespace Facet
