// Snapshots of controls and windows as bitmaps.
#include "RenderEngine.h"

#include "../control/ControlUI.h"
#include "../core/PaintManager.h"
#include "GdiObjects.h"

namespace Facet {

namespace {

// Copies `rc` of `source` into a new 32-bit bitmap and lays the filter over it.
HBITMAP CopyOut(HDC reference, HDC source, const RECT& rc, DWORD filterColor)
{
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    BYTE* bits = nullptr;
    HBITMAP result = CRenderEngine::CreateARGB32Bitmap(reference, width, height, &bits);
    if (result == nullptr)
        return nullptr;
    ScopedMemoryDC target(reference, result);
    if (target.Get() == nullptr) {
        DeleteObject(result);
        return nullptr;
    }
    BitBlt(target.Get(), 0, 0, width, height, source, rc.left, rc.top, SRCCOPY);
    if ((filterColor >> 24) != 0) {
        const RECT whole = {0, 0, width, height};
        CRenderEngine::DrawColor(target.Get(), whole, filterColor);
    }
    return result;
}

// Paints `root` (up to `stop`) into an offscreen surface of rc.right x rc.bottom
// and copies `rc` out of it.
HBITMAP PaintAndCopy(CPaintManagerUI* manager, CControlUI* root, const RECT& rc, CControlUI* stop, DWORD filter)
{
    if (manager == nullptr || root == nullptr || rc.right <= rc.left || rc.bottom <= rc.top)
        return nullptr;
    HDC reference = manager->GetPaintDC();
    ScopedDibSurface surface(reference, rc.right, rc.bottom);
    if (!surface.Valid())
        return nullptr;
    const RECT area = {0, 0, rc.right, rc.bottom};
    root->Paint(surface.Dc(), area, stop);
    GdiFlush();
    return CopyOut(reference, surface.Dc(), rc, filter);
}

} // namespace

HBITMAP CRenderEngine::GenerateBitmap(CPaintManagerUI* manager, CControlUI* control, RECT rc, DWORD filterColor)
{
    return PaintAndCopy(manager, control, rc, nullptr, filterColor);
}

HBITMAP CRenderEngine::GenerateBitmap(CPaintManagerUI* manager, RECT rc, CControlUI* stopControl, DWORD filterColor)
{
    if (manager == nullptr)
        return nullptr;
    // The tree is painted afresh rather than copied from the window's offscreen
    // bitmap: that bitmap stays selected into the manager's own device context,
    // and a bitmap can be selected into one context only.
    return PaintAndCopy(manager, manager->GetRoot(), rc, stopControl, filterColor);
}

} // namespace Facet
