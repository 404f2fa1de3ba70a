// Rectangle, size and point types compatible with the platform's RECT, SIZE
// and POINT, and the one reader of comma-separated number lists that every
// geometric attribute of the framework uses.
#pragma once

#include <windows.h>

#include "FacetString.h"

namespace Facet {

// Reads a list of integers such as "10,20,30,40" into `values`.
//
// Each number is read with wcstol (leading blanks and a sign allowed, decimal)
// and is followed by exactly one separator character, which is skipped
// whatever it is (a comma in skins). Reading stops after `capacity` numbers or
// at the text's terminating 0, whichever comes first: the reader never steps
// past the terminator, so a list shorter than `capacity` leaves the remaining
// slots of `values` untouched. A position that holds no number (such as "x"
// in "1,x,3") reads as 0, as wcstol gives it.
//
// Returns how many numbers were read (0 for a null or empty text). When `end`
// is given it receives the position where reading stopped: after the last
// separator skipped, or at the terminator.
//
// Callers fill fields that got no number from the earlier ones or keep their
// defaults; see the CFacetRect/CFacetSize/CFacetPoint text constructors.
int ParseIntList(const wchar_t* text, long* values, int capacity, const wchar_t** end = nullptr);

class CFacetRect : public RECT
{
public:
    CFacetRect();
    CFacetRect(long l, long t, long r, long b);
    CFacetRect(const RECT& src);
    // "l,t,r,b": the first number sets all four edges, the second top and
    // bottom, the third right, the fourth bottom ("7" = 7,7,7,7 and
    // "1,2" = 1,2,1,2). A null or empty text gives all zeros.
    explicit CFacetRect(const wchar_t* text);

    long GetWidth() const;
    long GetHeight() const;
    // Zeroes all four edges.
    void Empty();
    // True when all four edges are 0.
    bool IsNull() const;
    // Grows edge by edge to include `rc` (an empty rectangle counts too).
    void Join(const RECT& rc);
    // The platform union: an empty rectangle does not count.
    void Union(const RECT& rc);
    // Moves the rectangle so that left and top become 0.
    void ResetOffset();
    // Swaps left/right and top/bottom where they are reversed.
    void Normalize();
    void Offset(long dx, long dy);
    void Inflate(long dx, long dy);
    void Deflate(long dx, long dy);
    // "left,top,right,bottom".
    CFacetString ToString() const;
};

class CFacetSize : public SIZE
{
public:
    CFacetSize();
    CFacetSize(long cx, long cy);
    CFacetSize(const SIZE& src);
    // cx = right - left, cy = bottom - top.
    explicit CFacetSize(const RECT& rc);
    // "cx,cy": the first number sets both, the second cy.
    explicit CFacetSize(const wchar_t* text);

    // "cx,cy".
    CFacetString ToString() const;
};

class CFacetPoint : public POINT
{
public:
    CFacetPoint();
    CFacetPoint(long x, long y);
    CFacetPoint(const POINT& src);
    // "x,y": the first number sets both, the second y.
    explicit CFacetPoint(const wchar_t* text);
    // A packed mouse-message parameter: x is the low 16 bits and y the high 16
    // bits of the low 32, each read as a signed 16-bit number.
    explicit CFacetPoint(LPARAM packed);

    // "x,y".
    CFacetString ToString() const;
};

} // namespace Facet
