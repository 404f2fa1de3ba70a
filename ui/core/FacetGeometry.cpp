#include "FacetGeometry.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace Facet {

int ParseIntList(const wchar_t* text, long* values, int capacity, const wchar_t** end)
{
    int count = 0;
    const wchar_t* p = text;
    if (p != nullptr && values != nullptr) {
        while (count < capacity && *p != 0) {
            wchar_t* stop = nullptr;
            values[count++] = wcstol(p, &stop, 10);
            p = stop;
            if (*p == 0)
                break;
            ++p; // the separator, whatever it is
        }
    }
    if (end != nullptr)
        *end = p;
    return count;
}

namespace {

// "a,b" into a pair of fields (of a size or a point): the first number sets
// both, the second the second field; no number leaves both 0.
void ReadPair(const wchar_t* text, long& first, long& second)
{
    first = second = 0;
    long values[2] = {0, 0};
    const int count = ParseIntList(text, values, 2);
    if (count >= 1)
        first = second = values[0];
    if (count >= 2)
        second = values[1];
}

} // namespace

// ---------------------------------------------------------------- CFacetRect

CFacetRect::CFacetRect()
{
    left = top = right = bottom = 0;
}

CFacetRect::CFacetRect(long l, long t, long r, long b)
{
    left = l;
    top = t;
    right = r;
    bottom = b;
}

CFacetRect::CFacetRect(const RECT& src)
{
    left = src.left;
    top = src.top;
    right = src.right;
    bottom = src.bottom;
}

CFacetRect::CFacetRect(const wchar_t* text)
{
    left = top = right = bottom = 0;
    long values[4] = {0, 0, 0, 0};
    const int count = ParseIntList(text, values, 4);
    if (count >= 1)
        left = top = right = bottom = values[0];
    if (count >= 2)
        top = bottom = values[1];
    if (count >= 3)
        right = values[2];
    if (count >= 4)
        bottom = values[3];
}

long CFacetRect::GetWidth() const
{
    return right - left;
}
long CFacetRect::GetHeight() const
{
    return bottom - top;
}

void CFacetRect::Empty()
{
    left = top = right = bottom = 0;
}

bool CFacetRect::IsNull() const
{
    return left == 0 && top == 0 && right == 0 && bottom == 0;
}

void CFacetRect::Join(const RECT& rc)
{
    left = (std::min)(left, rc.left);
    top = (std::min)(top, rc.top);
    right = (std::max)(right, rc.right);
    bottom = (std::max)(bottom, rc.bottom);
}

void CFacetRect::Union(const RECT& rc)
{
    RECT result;
    ::UnionRect(&result, this, &rc);
    *static_cast<RECT*>(this) = result;
}

void CFacetRect::ResetOffset()
{
    ::OffsetRect(this, -left, -top);
}

void CFacetRect::Normalize()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

void CFacetRect::Offset(long dx, long dy)
{
    ::OffsetRect(this, dx, dy);
}

void CFacetRect::Inflate(long dx, long dy)
{
    ::InflateRect(this, dx, dy);
}

void CFacetRect::Deflate(long dx, long dy)
{
    ::InflateRect(this, -dx, -dy);
}

CFacetString CFacetRect::ToString() const
{
    CFacetString text;
    text.SmallFormat(L"%ld,%ld,%ld,%ld", left, top, right, bottom);
    return text;
}

// ---------------------------------------------------------------- CFacetSize

CFacetSize::CFacetSize()
{
    cx = cy = 0;
}

CFacetSize::CFacetSize(long width, long height)
{
    cx = width;
    cy = height;
}

CFacetSize::CFacetSize(const SIZE& src)
{
    cx = src.cx;
    cy = src.cy;
}

CFacetSize::CFacetSize(const RECT& rc)
{
    cx = rc.right - rc.left;
    cy = rc.bottom - rc.top;
}

CFacetSize::CFacetSize(const wchar_t* text)
{
    ReadPair(text, cx, cy);
}

CFacetString CFacetSize::ToString() const
{
    CFacetString text;
    text.SmallFormat(L"%ld,%ld", cx, cy);
    return text;
}

// ---------------------------------------------------------------- CFacetPoint

CFacetPoint::CFacetPoint()
{
    x = y = 0;
}

CFacetPoint::CFacetPoint(long px, long py)
{
    x = px;
    y = py;
}

CFacetPoint::CFacetPoint(const POINT& src)
{
    x = src.x;
    y = src.y;
}

CFacetPoint::CFacetPoint(const wchar_t* text)
{
    ReadPair(text, x, y);
}

CFacetPoint::CFacetPoint(LPARAM packed)
{
    const unsigned long bits = static_cast<unsigned long>(packed & 0xFFFFFFFF);
    x = static_cast<short>(static_cast<unsigned short>(bits & 0xFFFF));
    y = static_cast<short>(static_cast<unsigned short>((bits >> 16) & 0xFFFF));
}

CFacetString CFacetPoint::ToString() const
{
    CFacetString text;
    text.SmallFormat(L"%ld,%ld", x, y);
    return text;
}

} // namespace Facet
