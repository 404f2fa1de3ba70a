// CWndShadow: a soft drop shadow behind a top-level window. The shadow is a
// layered, click-through pop-up owned by the parent; the parent's window
// procedure is subclassed so that the shadow follows the parent's moves, sizes,
// visibility and destruction. The shadow's pixels are either computed from the
// parent's shape (darkness, sharpness, size, offset, colour) or drawn from a
// nine-grid image.
#pragma once

#include <windows.h>

#include "../core/FacetArrays.h"
#include "../render/ImageInfo.h"

namespace Facet {

class CWndShadow
{
public:
    CWndShadow();
    // Closes the shadow window, gives the parent its window procedure back and
    // forgets the parent, so that the parent outlives the shadow safely.
    virtual ~CWndShadow();
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;

    // Looks up the layered-window update and registers the shadow window class
    // "FacetShadowWnd" in `hInstance`. False when already initialised or when
    // layered windows are not available.
    static bool Initialize(HINSTANCE hInstance);

    // Makes the shadow window for `hParentWnd` and starts following it. Does
    // nothing without layered windows, when this shadow already has a window,
    // or when the parent already has a shadow.
    void Create(HWND hParentWnd);

    // Each setter returns false and changes nothing for a value out of range,
    // and redraws a visible shadow at once.
    // How far the shadow reaches beyond the parent on each side, -128..127.
    bool SetSize(int nSize);
    // Width of the soft edge, 0..20.
    bool SetSharpness(unsigned int nSharpness);
    // Opacity of the shadow's core, 0..255.
    bool SetDarkness(unsigned int nDarkness);
    // Offset of the shadow from the parent, each -20..20.
    bool SetPosition(int nXOffset, int nYOffset);
    // Colour 0x00BBGGRR.
    bool SetColor(COLORREF color);
    // Draws the shadow from the image `szImage` instead: it reaches `rcMargin`
    // beyond the parent on each side, and its nine-grid corners are
    // rcMargin + rcCorner. False (the previous image kept) when the image
    // cannot be loaded.
    bool SetImage(const wchar_t* szImage, RECT rcMargin, RECT rcCorner);
    // Stores `rcCorner` as the image margin, without redrawing.
    bool SetCorner(RECT rcCorner);

    HWND GetHWND() const;
    operator HWND() const;

    // The shadow registered for a parent window (insertion order), or null / -1.
    static CWndShadow* FindShadowWindow(HWND hParentWnd);
    static int GetShadowWindowIndex(HWND hParentWnd);

    // The colour 0x00BBGGRR as a pixel 0x00RRGGBB with every channel scaled by
    // alpha / 255 (truncated); the alpha byte stays 0.
    static DWORD PreMultiply(COLORREF color, BYTE nAlpha);

    // Where the shadow window goes and how large it is, for a parent whose
    // window rectangle is `rcParent`. The size may be 0 or negative, in which
    // case the shadow is not drawn.
    POINT GetShadowPosition(const RECT& rcParent) const;
    SIZE GetShadowSize(const RECT& rcParent) const;

    // Computes the shadow's pixels (premultiplied ARGB, rows bottom-up) into
    // `pShadBits`, which holds GetShadowSize(*rcParent) pixels cleared to 0.
    // The parent's window region, when it has one, gives the shape.
    void MakeShadow(UINT32* pShadBits, HWND hParent, const RECT* rcParent) const;

    // The shadow's pixels for a parent at `rcParent` (its window rectangle): a
    // new 32-bit bottom-up DIB section of GetShadowSize(rcParent), computed or
    // drawn from the image. The caller deletes it. Null when the size is not
    // positive or the bitmap cannot be made.
    HBITMAP CreateShadowBitmap(HWND hParent, const RECT& rcParent) const;

    // Redraws the shadow for `hParent` and moves it into place; hides it when
    // its size is not positive.
    void Update(HWND hParent);

protected:
    static LRESULT CALLBACK ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ShadowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Handles a message of the subclassed parent before the parent sees it.
    void OnParentMessage(HWND hParent, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Redraws now when the shadow is visible.
    void RedrawIfVisible();
    // Forgets the parent: takes the registry entry out and, when nobody has
    // subclassed the parent since, restores its window procedure.
    void Detach();

    enum Status : BYTE {
        SS_ENABLED = 1,      // a parent is followed
        SS_VISIBLE = 2,      // the shadow is shown
        SS_PARENTVISIBLE = 4 // the parent is shown
    };

    typedef BOOL(WINAPI* UpdateLayeredWindowProc)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                  DWORD);

    static UpdateLayeredWindowProc s_UpdateLayeredWindow;
    static HINSTANCE s_hInstance;
    // (parent window, shadow) pairs.
    static CFacetValArray s_Shadowmap;

    HWND m_hWnd;
    WNDPROC m_OriParentProc;
    BYTE m_Status;
    unsigned char m_nDarkness;
    unsigned char m_nSharpness;
    signed char m_nSize;
    signed char m_nxOffset;
    signed char m_nyOffset;
    DWORD m_WndSize; // the parent's last client size: width low word, height high word
    BOOL m_bUpdate;  // redraw at the parent's next paint
    COLORREF m_Color;
    TImageInfo* m_pImageInfo;
    RECT m_rcImageMargin;
    RECT m_rcImageCorner;
};

} // namespace Facet
