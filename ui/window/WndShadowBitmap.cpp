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
    const bool shaped = region.Get() != nullptr && hParent != nullptr && ::GetWindowRgn(hParent, region.Get()) != ERROR;
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

// The shape in shadow coordinates: parent row y is shadow row y + size,
// shifted right by size. The table reaches from shadow row firstRow to
// lastRow (exclusive) so that it holds every shadow row and, for a negative
// size, the parent rows that lie outside the shadow too (the erosion must see
// them), with an empty row before and after.
class ShadowShape
{
public:
    ShadowShape(const std::vector<Span>& parentSpans, int size, int shadowWidth, int shadowHeight)
        : m_firstRow((std::min)(0, size)), m_empty(Span{shadowWidth, 0})
    {
        const int parentHeight = static_cast<int>(parentSpans.size());
        const int lastRow = (std::max)(shadowHeight, parentHeight + size);
        m_spans.assign(static_cast<size_t>(lastRow - m_firstRow + 2), m_empty);
        for (int y = 0; y < parentHeight; ++y) {
            const Span& parent = parentSpans[static_cast<size_t>(y)];
            if (parent.left < parent.right)
                At(y + size) = Span{parent.left + size, parent.right + size};
        }
    }

    Span& At(int row) { return m_spans[static_cast<size_t>(row - m_firstRow + 1)]; }

    // Erosion: the solid core shrinks by one pixel per pass.
    void Erode(int passes)
    {
        std::vector<Span> eroded(m_spans.size(), m_empty);
        for (int pass = 0; pass < passes; ++pass) {
            for (size_t i = 1; i + 1 < m_spans.size(); ++i) {
                eroded[i].left = (std::max)(m_spans[i - 1].left, (std::max)(m_spans[i].left, m_spans[i + 1].left)) + 1;
                eroded[i].right = (std::min)(m_spans[i - 1].right, (std::min)(m_spans[i].right, m_spans[i + 1].right)) -
                                  1;
            }
            m_spans.swap(eroded);
        }
    }

private:
    int m_firstRow;
    Span m_empty;
    std::vector<Span> m_spans;
};

// The kernel: full darkness inside the core radius, then a linear fall-off
// over sharpness + 1 pixels, nothing beyond the radius. `shade` gives the
// pixel of an alpha.
template <typename Shade>
std::vector<UINT32> ShadowKernel(int radius, int coreRadius, int sharpness, int darkness, Shade shade)
{
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
            kernel[static_cast<size_t>(ky) * kernelSide + kx] = shade(alpha);
        }
    }
    return kernel;
}

// The shadow's pixels, bottom-up: shadow row r is bitmap row height - 1 - r.
struct ShadowPixels
{
    UINT32* bits;
    int width;
    int height;

    UINT32* Line(int row) const { return bits + static_cast<size_t>(height - 1 - row) * width; }

    // Columns [from, to) of `row` set to `value`, within the bitmap.
    void Fill(int row, int from, int to, UINT32 value) const
    {
        UINT32* pixels = Line(row);
        from = (std::max)(from, 0);
        to = (std::min)(to, width);
        for (int x = from; x < to; ++x)
            pixels[x] = value;
    }

    // The kernel laid centred on (column, row), each pixel keeping the darker.
    void LayKernel(const std::vector<UINT32>& kernel, int radius, int column, int row) const
    {
        // The erosion keeps every span at least `radius` away from the sides;
        // the check only guards the bitmap's edges.
        if (column - radius < 0 || column + radius >= width || row - radius < 0 || row + radius >= height)
            return;
        const int kernelSide = 2 * radius + 1;
        for (int k = 0; k < kernelSide; ++k) {
            UINT32* pixel = Line(row - radius + k) + (column - radius);
            const UINT32* source = kernel.data() + static_cast<size_t>(k) * kernelSide;
            for (int l = 0; l < kernelSide; ++l) {
                if (pixel[l] < source[l])
                    pixel[l] = source[l];
            }
        }
    }
};

// Soft edge: the kernel laid on every pixel at the ends of each row that is
// not covered by its neighbouring rows.
void LaySoftEdge(const ShadowPixels& shadow, ShadowShape& shape, const std::vector<UINT32>& kernel, int radius)
{
    for (int row = radius; row < shadow.height - radius; ++row) {
        const Span span = shape.At(row);
        if (span.left >= span.right)
            continue;
        const Span above = shape.At(row - 1);
        const Span below = shape.At(row + 1);
        int column = span.left;
        const int startEnd = (std::min)((std::max)(above.left, below.left) + 1, span.right);
        for (; column < startEnd; ++column)
            shadow.LayKernel(kernel, radius, column, row);
        for (column = (std::max)(column, (std::min)(above.right, below.right) - 1); column < span.right; ++column)
            shadow.LayKernel(kernel, radius, column, row);
    }
}

// Core: solid where the shadow shows, transparent where the parent (moved by
// the offset) covers it.
void FillCore(const ShadowPixels& shadow, ShadowShape& shape, const std::vector<Span>& parentSpans, int radius,
              int size, POINT offset, UINT32 solid)
{
    const int parentHeight = static_cast<int>(parentSpans.size());
    const int coreFirst = (std::min)(radius, (std::max)(size - static_cast<int>(offset.y), 0));
    const int coreLast = (std::max)((std::min)(parentHeight + size - static_cast<int>(offset.y), shadow.height),
                                    shadow.height - radius);
    for (int row = coreFirst; row < coreLast; ++row) {
        const Span span = shape.At(row);
        const int parentRow = row + offset.y - size;
        if (parentRow < 0 || parentRow >= parentHeight) {
            shadow.Fill(row, span.left, span.right, solid);
            continue;
        }
        const Span behind = parentSpans[static_cast<size_t>(parentRow)];
        const int behindLeft = size + behind.left - offset.x;
        const int behindRight = size + behind.right - offset.x;
        shadow.Fill(row, span.left, (std::min)(span.right, behindLeft), solid);
        shadow.Fill(row, behindLeft, behindRight, 0);
        shadow.Fill(row, (std::max)(span.left, behindRight), span.right, solid);
    }
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
    const int shadowWidth = parentWidth + 2 * size;
    const int shadowHeight = parentHeight + 2 * size;
    if (parentWidth < 0 || parentHeight < 0 || shadowWidth <= 0 || shadowHeight <= 0)
        return;

    const std::vector<Span> parentSpans = ParentSpans(hParent, parentWidth, parentHeight);
    ShadowShape shape(parentSpans, size, shadowWidth, shadowHeight);
    // Eroded until the soft edge fits inside the shadow.
    if (sharpness > size)
        shape.Erode(sharpness - size);

    const int radius = (std::max)(sharpness, size);
    const COLORREF color = m_Color;
    const std::vector<UINT32> kernel = ShadowKernel(
        radius, (std::max)(size - sharpness, 0), sharpness, darkness,
        [color](UINT32 alpha) { return (alpha << 24) | PreMultiply(color, static_cast<BYTE>(alpha)); });
    const ShadowPixels shadow = {pShadBits, shadowWidth, shadowHeight};
    LaySoftEdge(shadow, shape, kernel, radius);
    const UINT32 solid = (static_cast<UINT32>(darkness) << 24) | PreMultiply(m_Color, static_cast<BYTE>(darkness));
    FillCore(shadow, shape, parentSpans, radius, size, POINT{m_nxOffset, m_nyOffset}, solid);
}

HBITMAP CWndShadow::CreateShadowBitmap(HWND hParent, const RECT& rcParent) const
{
    const SIZE size = GetShadowSize(rcParent);
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = size.cy; // bottom-up rows
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
