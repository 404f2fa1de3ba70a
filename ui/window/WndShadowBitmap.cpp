// The shadow's pixels: computed from the parent's shape (a solid core that
// fades out over the sharpness) or drawn from the nine-grid image.
#include "WndShadow.h"

#include "../render/GdiObjects.h"
#include "../render/RenderEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace Facet {

namespace {

// The covered columns [left, right) of one row; empty when left >= right.
struct Span
{
    int left;
    int right;
};

// The parent's shape row by row, in parent coordinates: each row from its
// first to its last point inside the window region (or the whole width when
// the window has no region).
std::vector<Span> ParentSpans(HWND hParent, int width, int height)
{
    const Span empty = {width, 0};
    std::vector<Span> spans(static_cast<size_t>(height), empty);
    if (width <= 0)
        return spans;
    ScopedGdiObject<HRGN> region(::CreateRectRgn(0, 0, width, height));
    const bool shaped = region.Get() != nullptr && hParent != nullptr &&
                        ::GetWindowRgn(hParent, region.Get()) != ERROR;
    for (int y = 0; y < height; ++y) {
        if (!shaped) {
            spans[static_cast<size_t>(y)] = Span{0, width};
            continue;
        }
        int first = 0;
        while (first < width && !::PtInRegion(region.Get(), first, y))
            ++first;
        if (first == width)
            continue;
        // The first inside point ends the search from the right at the latest,
        // so every row with an inside point gets a whole span.
        int last = width - 1;
        while (last > first && !::PtInRegion(region.Get(), last, y))
            --last;
        spans[static_cast<size_t>(y)] = Span{first, last + 1};
    }
    return spans;
}

} // namespace

DWORD CWndShadow::PreMultiply(COLORREF color, BYTE nAlpha)
{
    const DWORD red = static_cast<DWORD>(GetRValue(color)) * nAlpha / 255;
    const DWORD green = static_cast<DWORD>(GetGValue(color)) * nAlpha / 255;
    const DWORD blue = static_cast<DWORD>(GetBValue(color)) * nAlpha / 255;
    return (red << 16) | (green << 8) | blue;
}

void CWndShadow::MakeShadow(UINT32* pShadBits, HWND hParent, const RECT* rcParent) const
{
    if (pShadBits == nullptr || rcParent == nullptr)
        return;
    const int parentWidth = rcParent->right - rcParent->left;
    const int parentHeight = rcParent->bottom - rcParent->top;
    const int size = m_nSize;
    const int sharpness = m_nSharpness;
    const int darkness = m_nDarkness;
    const int xOffset = m_nxOffset;
    const int yOffset = m_nyOffset;
    const int shadowWidth = parentWidth + 2 * size;
    const int shadowHeight = parentHeight + 2 * size;
    if (parentWidth < 0 || parentHeight < 0 || shadowWidth <= 0 || shadowHeight <= 0)
        return;

    const std::vector<Span> parentSpans = ParentSpans(hParent, parentWidth, parentHeight);

    // The shape in shadow coordinates: parent row y is shadow row y + size,
    // shifted right by size. The table reaches from shadow row firstRow to
    // lastRow (exclusive) so that it holds every shadow row and, for a negative
    // size, the parent rows that lie outside the shadow too (the erosion below
    // must see them), with an empty row before and after.
    const int firstRow = (std::min)(0, size);
    const int lastRow = (std::max)(shadowHeight, parentHeight + size);
    const Span empty = {shadowWidth, 0};
    std::vector<Span> spans(static_cast<size_t>(lastRow - firstRow + 2), empty);
    auto at = [&](std::vector<Span>& table, int row) -> Span& {
        return table[static_cast<size_t>(row - firstRow + 1)];
    };
    for (int y = 0; y < parentHeight; ++y) {
        const Span& parent = parentSpans[static_cast<size_t>(y)];
        if (parent.left < parent.right)
            at(spans, y + size) = Span{parent.left + size, parent.right + size};
    }

    // Erosion: the solid core shrinks by one pixel per pass until the soft
    // edge fits inside the shadow.
    if (sharpness > size) {
        std::vector<Span> eroded(spans.size(), empty);
        for (int pass = 0; pass < sharpness - size; ++pass) {
            for (size_t i = 1; i + 1 < spans.size(); ++i) {
                eroded[i].left = (std::max)(spans[i - 1].left, (std::max)(spans[i].left, spans[i + 1].left)) + 1;
                eroded[i].right =
                    (std::min)(spans[i - 1].right, (std::min)(spans[i].right, spans[i + 1].right)) - 1;
            }
            spans.swap(eroded);
        }
    }

    // The kernel: full darkness inside the core radius, then a linear fall-off
    // over sharpness + 1 pixels, nothing beyond the radius.
    const int radius = (std::max)(sharpness, size);
    const int coreRadius = (std::max)(size - sharpness, 0);
    const int kernelSide = 2 * radius + 1;
    std::vector<UINT32> kernel(static_cast<size_t>(kernelSide) * kernelSide, 0);
    for (int ky = 0; ky < kernelSide; ++ky) {
        for (int kx = 0; kx < kernelSide; ++kx) {
            const double dx = kx - radius;
            const double dy = ky - radius;
            const double distance = std::sqrt(dx * dx + dy * dy);
            UINT32 alpha = 0;
            if (distance < coreRadius)
                alpha = static_cast<UINT32>(darkness);
            else if (distance <= radius)
                alpha = static_cast<UINT32>((1.0 - (distance - coreRadius) / (sharpness + 1)) * darkness);
            else
                continue;
            kernel[static_cast<size_t>(ky) * kernelSide + kx] =
                (alpha << 24) | PreMultiply(m_Color, static_cast<BYTE>(alpha));
        }
    }

    // Shadow row r is bitmap row shadowHeight - 1 - r.
    auto line = [&](int row) { return pShadBits + static_cast<size_t>(shadowHeight - 1 - row) * shadowWidth; };
    auto layKernel = [&](int column, int row) {
        // The erosion keeps every span at least `radius` away from the sides;
        // the check only guards the bitmap's edges.
        if (column - radius < 0 || column + radius >= shadowWidth || row - radius < 0 ||
            row + radius >= shadowHeight)
            return;
        for (int k = 0; k < kernelSide; ++k) {
            UINT32* pixel = line(row - radius + k) + (column - radius);
            const UINT32* source = kernel.data() + static_cast<size_t>(k) * kernelSide;
            for (int l = 0; l < kernelSide; ++l) {
                if (pixel[l] < source[l])
                    pixel[l] = source[l];
            }
        }
    };

    // Soft edge: the kernel laid on every pixel at the ends of each row that is
    // not covered by its neighbouring rows.
    for (int row = radius; row < shadowHeight - radius; ++row) {
        const Span span = at(spans, row);
        if (span.left >= span.right)
            continue;
        const Span above = at(spans, row - 1);
        const Span below = at(spans, row + 1);
        int column = span.left;
        const int startEnd = (std::min)((std::max)(above.left, below.left) + 1, span.right);
        for (; column < startEnd; ++column)
            layKernel(column, row);
        for (column = (std::max)(column, (std::min)(above.right, below.right) - 1); column < span.right; ++column)
            layKernel(column, row);
    }

    // Core: solid where the shadow shows, transparent where the parent covers it.
    const UINT32 solid = (static_cast<UINT32>(darkness) << 24) | PreMultiply(m_Color, static_cast<BYTE>(darkness));
    auto fill = [&](UINT32* pixels, int from, int to, UINT32 value) {
        from = (std::max)(from, 0);
        to = (std::min)(to, shadowWidth);
        for (int x = from; x < to; ++x)
            pixels[x] = value;
    };
    const int coreFirst = (std::min)(radius, (std::max)(size - yOffset, 0));
    const int coreLast = (std::max)((std::min)(parentHeight + size - yOffset, shadowHeight), shadowHeight - radius);
    for (int row = coreFirst; row < coreLast; ++row) {
        UINT32* pixels = line(row);
        const Span span = at(spans, row);
        const int parentRow = row + yOffset - size;
        if (parentRow < 0 || parentRow >= parentHeight) {
            fill(pixels, span.left, span.right, solid);
            continue;
        }
        const Span behind = parentSpans[static_cast<size_t>(parentRow)];
        const int behindLeft = size + behind.left - xOffset;
        const int behindRight = size + behind.right - xOffset;
        fill(pixels, span.left, (std::min)(span.right, behindLeft), solid);
        fill(pixels, behindLeft, behindRight, 0);
        fill(pixels, (std::max)(span.left, behindRight), span.right, solid);
    }
}

HBITMAP CWndShadow::CreateShadowBitmap(HWND hParent, const RECT& rcParent) const
{
    const SIZE size = GetShadowSize(rcParent);
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy;  // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(size.cx) * static_cast<DWORD>(size.cy) * 4;
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap.Get() == nullptr || bits == nullptr)
        return nullptr;
    std::memset(bits, 0, static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy) * 4);

    if (m_pImageInfo != nullptr) {
        ScopedMemoryDC dc(nullptr, bitmap.Get());
        if (dc.Get() == nullptr)
            return nullptr;
        const RECT whole = {0, 0, size.cx, size.cy};
        const RECT part = {0, 0, m_pImageInfo->nX, m_pImageInfo->nY};
        const RECT corners = {m_rcImageMargin.left + m_rcImageCorner.left, m_rcImageMargin.top + m_rcImageCorner.top,
                              m_rcImageMargin.right + m_rcImageCorner.right,
                              m_rcImageMargin.bottom + m_rcImageCorner.bottom};
        CRenderEngine::DrawImage(dc.Get(), m_pImageInfo->hBitmap, whole, whole, part, corners, true, 255, true);
        ::GdiFlush();
    } else {
        MakeShadow(static_cast<UINT32*>(bits), hParent, &rcParent);
    }
    return bitmap.Release();
}

} // namespace Facet
