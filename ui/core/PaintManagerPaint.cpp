// The paint manager's painting: layout when needed, then the dirty area drawn
// into one offscreen bitmap and copied to the window, or shown with per-pixel
// alpha for a layered window.
#include "PaintManager.h"

#include "../control/ControlUI.h"
#include "../render/GdiObjects.h"
#include "../render/RenderEngine.h"

#include <cstring>

namespace Facet {

namespace {

// Ends a paint cycle on every path: BeginPaint's context is given back.
class ScopedPaint
{
public:
    explicit ScopedPaint(HWND hWnd) : m_hWnd(hWnd), m_hDC(::BeginPaint(hWnd, &m_ps)) {}
    ~ScopedPaint() { ::EndPaint(m_hWnd, &m_ps); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC Dc() const { return m_hDC; }
    // The bounds of everything invalid when the paint began.
    const RECT& Area() const { return m_ps.rcPaint; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps = {};
    HDC m_hDC;
};

} // namespace

bool CPaintManagerUI::EnsureOffscreen(const RECT& rcClient)
{
    // A layered window is shown from the pixels themselves, with their alpha.
    return m_offscreen.Ensure(m_hDcPaint.Get(), rcClient.right - rcClient.left, rcClient.bottom - rcClient.top,
                              m_bLayered ? OffscreenSurface::Kind::Dib : OffscreenSurface::Kind::Compatible);
}

void CPaintManagerUI::LayoutIfNeeded(const RECT& rcClient)
{
    if (!m_bUpdateNeeded) {
        if (m_bLayered && m_bLayeredChanged && !IsRectEmpty(&rcClient)) {
            RECT rc = rcClient;
            rc.left += m_rcLayeredInset.left;
            rc.top += m_rcLayeredInset.top;
            rc.right -= m_rcLayeredInset.right;
            rc.bottom -= m_rcLayeredInset.bottom;
            if (m_offscreen.Bits() != nullptr)
                std::memset(m_offscreen.Bits(), 0,
                            static_cast<size_t>(rcClient.right - rcClient.left) * (rcClient.bottom - rcClient.top) * 4);
            m_pRoot->SetPos(rc, true);
        }
        return;
    }
    m_bUpdateNeeded = false;
    if (IsRectEmpty(&rcClient))
        return;
    if (m_pRoot->IsUpdateNeeded()) {
        m_offscreen.Reset();
        RECT rc = rcClient;
        if (m_bLayered) {
            rc.left += m_rcLayeredInset.left;
            rc.top += m_rcLayeredInset.top;
            rc.right -= m_rcLayeredInset.right;
            rc.bottom -= m_rcLayeredInset.bottom;
        }
        m_pRoot->SetPos(rc, true);
    } else {
        CFacetPtrArray pending;
        m_pRoot->FindControl(FindControlsFromUpdate, &pending, UIFIND_VISIBLE | UIFIND_ME_FIRST | UIFIND_UPDATETEST);
        for (int i = 0; i < pending.GetSize(); ++i) {
            CControlUI* control = static_cast<CControlUI*>(pending[i]);
            if (control->IsFloat())
                control->SetPos(control->GetRelativePos(), true);
            else
                control->SetPos(control->GetPos(), true);
        }
    }
    if (m_bFirstLayout) {
        m_bFirstLayout = false;
        SendNotify(m_pRoot, L"windowinit", 0, 0, false);
    }
}

void CPaintManagerUI::PaintNativeChildren(const RECT& rcPaint)
{
    for (int i = m_aNativeWindow.GetSize() - 1; i >= 0; --i) {
        HWND child = static_cast<HWND>(m_aNativeWindow[i]);
        if (!IsWindow(child)) {
            m_aNativeWindow.Remove(i);
            m_aNativeWindowControl.Remove(i);
            continue;
        }
        if (!IsWindowVisible(child))
            continue;
        RECT rcChild = GetNativeWindowRect(child);
        RECT common;
        if (!IntersectRect(&common, &rcChild, &rcPaint))
            continue;
        const int width = rcChild.right - rcChild.left;
        const int height = rcChild.bottom - rcChild.top;
        const ScopedDibSurface surface(m_offscreen.Dc(), width, height);
        if (!surface.Valid())
            continue;
        ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(surface.Dc()),
                       PRF_CHECKVISIBLE | PRF_CHILDREN | PRF_CLIENT | PRF_OWNED);
        GdiFlush();
        // The child draws without alpha: whatever it drew is made opaque.
        for (int p = 0; p < width * height; ++p) {
            BYTE* pixel = surface.Bits() + p * 4;
            if (pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0)
                pixel[3] = 255;
        }
        BitBlt(m_offscreen.Dc(), rcChild.left, rcChild.top, width, height, surface.Dc(), 0, 0, SRCCOPY);
    }
}

void CPaintManagerUI::ApplyLayeredImage(const RECT& rcClient, const RECT& rcPaint)
{
    if (m_diLayered.sDrawString.IsEmpty() || m_offscreen.Bits() == nullptr)
        return;
    const int width = rcClient.right - rcClient.left;
    const int height = rcClient.bottom - rcClient.top;
    const bool redraw = m_bLayeredChanged || !m_layeredBackground.Fits(width, height);
    if (!m_layeredBackground.Ensure(m_hDcPaint.Get(), width, height, OffscreenSurface::Kind::Dib))
        return;
    if (redraw) {
        std::memset(m_layeredBackground.Bits(), 0, static_cast<size_t>(width) * height * 4);
        RECT rc = rcClient;
        m_diLayered.uFade = m_nLayeredOpacity;
        CRenderEngine::DrawImage(m_layeredBackground.Dc(), this, rc, rc, m_diLayered);
        GdiFlush();
    }
    if (m_diLayered.pImageInfo == nullptr || !m_diLayered.pImageInfo->bAlpha)
        return;
    // The image is the window's shape and translucency mask.
    GdiFlush();
    for (LONG y = rcPaint.top; y < rcPaint.bottom; ++y) {
        for (LONG x = rcPaint.left; x < rcPaint.right; ++x) {
            const size_t offset = (static_cast<size_t>(y) * width + x) * 4;
            const unsigned alpha = m_layeredBackground.Bits()[offset + 3];
            BYTE* pixel = m_offscreen.Bits() + offset;
            pixel[0] = static_cast<BYTE>(pixel[0] * alpha / 255);
            pixel[1] = static_cast<BYTE>(pixel[1] * alpha / 255);
            pixel[2] = static_cast<BYTE>(pixel[2] * alpha / 255);
            pixel[3] = static_cast<BYTE>(alpha);
        }
    }
}

void CPaintManagerUI::ShowLayered(const RECT& rcClient)
{
    RECT rcWindow = {0, 0, 0, 0};
    GetWindowRect(m_hWndPaint, &rcWindow);
    POINT ptDest = {rcWindow.left, rcWindow.top};
    SIZE size = {rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
    POINT ptSource = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nOpacity, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWndPaint, nullptr, &ptDest, &size, m_offscreen.Dc(), &ptSource, 0, &blend, ULW_ALPHA);
}

void CPaintManagerUI::PostPaint(HDC hDC, const RECT& rcPaint)
{
    // A control may leave the list (or be destroyed) while another draws.
    CFacetPtrArray postPaint(m_aPostPaintControls);
    for (int i = 0; i < postPaint.GetSize(); ++i) {
        if (m_aPostPaintControls.Find(postPaint[i]) >= 0)
            static_cast<CControlUI*>(postPaint[i])->DoPostPaint(hDC, rcPaint);
    }
}

void CPaintManagerUI::Paint()
{
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &rcClient);

    if (m_pRoot == nullptr) {
        ScopedPaint paint(m_hWndPaint);
        HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        FillRect(paint.Dc(), &rcClient, white);
        return;
    }

    RECT rcPaint = {0, 0, 0, 0};
    if (m_bLayered) {
        m_bOffscreenPaint = true;
        IntersectRect(&rcPaint, &m_rcLayeredUpdate, &rcClient);
        SetRectEmpty(&m_rcLayeredUpdate);
        ::ValidateRect(m_hWndPaint, nullptr);
        if (IsRectEmpty(&rcPaint))
            return;
    } else if (!::GetUpdateRect(m_hWndPaint, &rcPaint, FALSE)) {
        return;
    }

    if (m_bFocusNeeded)
        SetNextTabControl();
    SetPainting(true);

    const bool firstLayout = m_bFirstLayout;
    LayoutIfNeeded(rcClient);
    if (m_pRoot == nullptr) {
        // A "windowinit" listener took the tree away.
        SetPainting(false);
        Invalidate();
        return;
    }
    if (firstLayout && !m_bFirstLayout && m_bLayered && m_bLayeredChanged) {
        SetPainting(false);
        Invalidate();
        return;
    }

    if (m_bLayered)
        PaintLayered(rcClient, rcPaint);
    else
        PaintToWindow(rcClient);

    SetPainting(false);
    m_bLayeredChanged = false;
    // A focus move asked for while the layout was pending invalidated the window
    // before this paint validated it: paint again, or the move would wait for
    // some later paint and could then take the focus from a control clicked meanwhile.
    if (m_bUpdateNeeded || m_bFocusNeeded)
        Invalidate();
}

// A layered window: the dirty area drawn into the DIB surface, masked by the
// layered image and shown with per-pixel alpha.
void CPaintManagerUI::PaintLayered(const RECT& rcClient, RECT rcPaint)
{
    // What the layout invalidated is painted in this pass as well.
    RECT rcLaidOut = {0, 0, 0, 0};
    if (IntersectRect(&rcLaidOut, &m_rcLayeredUpdate, &rcClient))
        UnionRect(&rcPaint, &rcPaint, &rcLaidOut);
    SetRectEmpty(&m_rcLayeredUpdate);
    if (EnsureOffscreen(rcClient)) {
        const HDC offscreen = m_offscreen.Dc();
        const int saved = SaveDC(offscreen);
        if (m_diLayered.sDrawString.IsEmpty() && m_offscreen.Bits() != nullptr) {
            GdiFlush();
            const int width = rcClient.right - rcClient.left;
            for (LONG y = rcPaint.top; y < rcPaint.bottom; ++y)
                std::memset(m_offscreen.Bits() + (static_cast<size_t>(y) * width + rcPaint.left) * 4, 0,
                            static_cast<size_t>(rcPaint.right - rcPaint.left) * 4);
        }
        m_pRoot->Paint(offscreen, rcPaint, nullptr);
        PaintNativeChildren(rcPaint);
        PostPaint(offscreen, rcPaint);
        RestoreDC(offscreen, saved);
        GdiFlush();
        ApplyLayeredImage(rcClient, rcPaint);
        ShowLayered(rcClient);
    }
}

// An ordinary window: what BeginPaint hands out is painted, through the
// offscreen surface when the manager paints offscreen.
void CPaintManagerUI::PaintToWindow(const RECT& rcClient)
{
    ScopedPaint paint(m_hWndPaint);
    // The layout before this may have invalidated more than the area read
    // before it (an OnSize listener, a control that moved): BeginPaint
    // validates all of it, so all of it is painted now.
    const RECT rcPaint = paint.Area();
    if (m_bOffscreenPaint && EnsureOffscreen(rcClient)) {
        const HDC offscreen = m_offscreen.Dc();
        const int saved = SaveDC(offscreen);
        m_pRoot->Paint(offscreen, rcPaint, nullptr);
        PostPaint(offscreen, rcPaint);
        RestoreDC(offscreen, saved);
        BitBlt(paint.Dc(), rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left, rcPaint.bottom - rcPaint.top,
               offscreen, rcPaint.left, rcPaint.top, SRCCOPY);
        if (m_bShowUpdateRect) {
            const ScopedSelect pen(paint.Dc(), m_hUpdateRectPen);
            const ScopedSelect brush(paint.Dc(), GetStockObject(HOLLOW_BRUSH));
            Rectangle(paint.Dc(), rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
        }
    } else {
        const int saved = SaveDC(paint.Dc());
        m_pRoot->Paint(paint.Dc(), rcPaint, nullptr);
        PostPaint(paint.Dc(), rcPaint);
        RestoreDC(paint.Dc(), saved);
    }
}

} // namespace Facet
