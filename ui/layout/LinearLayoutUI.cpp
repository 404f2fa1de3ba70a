// CLinearLayoutUI: one layout routine and one separator drag for both axes.
// Every rectangle, point and size is read and written through the fields of
// an Axis, so the code speaks of "along" (the axis the children are stacked
// on) and "across" (the other one) instead of widths and heights.
#include "LinearLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "../control/ScrollBarUI.h"
#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"

namespace Facet {

namespace {

// The fields of the Win32 records and the child sizes that lie on one axis.
struct Axis
{
    LONG RECT::*start;  // left or top
    LONG RECT::*end;    // right or bottom
    LONG POINT::*coord; // x or y
    LONG SIZE::*extent; // cx or cy
    int (CControlUI::*fixed)() const;
    int (CControlUI::*minimum)() const;
    int (CControlUI::*maximum)() const;
};

const Axis kX = {&RECT::left,
                 &RECT::right,
                 &POINT::x,
                 &SIZE::cx,
                 &CControlUI::GetFixedWidth,
                 &CControlUI::GetMinWidth,
                 &CControlUI::GetMaxWidth};
const Axis kY = {&RECT::top,
                 &RECT::bottom,
                 &POINT::y,
                 &SIZE::cy,
                 &CControlUI::GetFixedHeight,
                 &CControlUI::GetMinHeight,
                 &CControlUI::GetMaxHeight};

const Axis& AlongAxis(bool vertical)
{
    return vertical ? kY : kX;
}

const Axis& AcrossAxis(bool vertical)
{
    return vertical ? kX : kY;
}

// Where children go across the axis.
enum class Placement { Start, Centre, End };

long Clamp(long value, long low, long high)
{
    return (std::min)((std::max)(value, low), high);
}

long Length(const RECT& rc, const Axis& axis)
{
    return rc.*axis.end - rc.*axis.start;
}

// The paddings on both sides of a child along one axis.
long Padding(const RECT& padding, const Axis& axis)
{
    return padding.*axis.start + padding.*axis.end;
}

SIZE MakeSize(long along, long across, const Axis& alongAxis, const Axis& acrossAxis)
{
    SIZE size = {0, 0};
    size.*alongAxis.extent = along;
    size.*acrossAxis.extent = across;
    return size;
}

long FixedSize(const CControlUI* child, const Axis& axis)
{
    return (child->*axis.fixed)();
}

long ClampToChild(long size, const CControlUI* child, const Axis& axis)
{
    return Clamp(size, (child->*axis.minimum)(), (child->*axis.maximum)());
}

// The most a child may take on one axis: its fixed size, or its maximum when
// it has none.
long SizeLimit(const CControlUI* child, const Axis& axis)
{
    const long fixed = FixedSize(child, axis);
    return fixed < 1 ? (child->*axis.maximum)() : fixed;
}

// A hidden scroll bar scrolls nothing.
long ScrollRange(const CScrollBarUI* bar)
{
    return (bar != nullptr && bar->IsVisible()) ? bar->GetScrollRange() : 0;
}

long ScrollPos(const CScrollBarUI* bar)
{
    return (bar != nullptr && bar->IsVisible()) ? bar->GetScrollPos() : 0;
}

// A child's size across the axis: its maximum (the room there is when it has
// none), no more than `limit` and no less than its minimum. Its estimate
// plays no part.
long AcrossSize(const CControlUI* child, const Axis& across, long room, long limit)
{
    long size = (child->*across.maximum)();
    if (size == 0)
        size = room;
    size = (std::max)(size, 0L);
    size = (std::min)(size, limit);
    return (std::max)(size, static_cast<long>((child->*across.minimum)()));
}

// Where a child of `size` starts across the axis. It is aligned within the
// client area moved and widened by what the bar across scrolls.
long AcrossStart(Placement placement, long size, const RECT& client, const RECT& pad, const Axis& across,
                 const CScrollBarUI* acrossBar)
{
    const long range = ScrollRange(acrossBar);
    const long scroll = ScrollPos(acrossBar);
    switch (placement) {
    case Placement::Centre: // paddings do not apply
        return (client.*across.start + client.*across.end) / 2 + range / 2 - scroll - size / 2;
    case Placement::End:
        return client.*across.end + range - scroll - pad.*across.end - size;
    case Placement::Start:
        break;
    }
    return client.*across.start - scroll + pad.*across.start;
}

} // namespace

CLinearLayoutUI::CLinearLayoutUI(Orientation orientation)
    : m_iSepSize(0),
      m_uButtonState(0),
      m_ptLastMouse{0, 0},
      m_rcNewPos{0, 0, 0, 0},
      m_bImmMode(false),
      m_orientation(orientation)
{
}

bool CLinearLayoutUI::IsVertical() const
{
    return m_orientation == kVertical;
}

UINT CLinearLayoutUI::GetControlFlags() const
{
    return (IsEnabled() && m_iSepSize != 0) ? UIFLAG_SETCURSOR : 0;
}

// What both passes of a layout read: the client area, the two axes, the bars
// and where children go across the axis.
struct CLinearLayoutUI::Frame
{
    RECT client;
    bool vertical;
    const Axis& along;
    const Axis& across;
    const CScrollBarUI* alongBar;
    const CScrollBarUI* acrossBar;
    Placement placement;
    // The scrolled content: the client area plus what the bars scroll.
    long availAlong;
    long availAcross;

    // A vertical layout lets every child keep its estimated height. A
    // horizontal one lets only a child with a fixed width keep its estimated
    // width, so a child without a "width" always stretches (a label would
    // otherwise keep the width of its text).
    bool MayKeepEstimate(const CControlUI* child) const { return vertical || child->GetFixedWidth() != 0; }
};

// What the first pass learns: the room the children that keep their own size
// take, and how many children share the rest.
struct CLinearLayoutUI::Measure
{
    int placedCount = 0;
    int stretchCount = 0;
    long fixedTotal = 0;
    long neededAcross = 0;
    long share = 0; // what each stretching child gets
};

void CLinearLayoutUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);

    const RECT client = GetClientPos();
    if (m_items.IsEmpty()) {
        ProcessScrollBar(client, 0, 0);
        return;
    }
    const Frame frame = MakeFrame(client);
    const Measure measure = MeasureChildren(frame);
    const long neededAlong = PlaceChildren(frame, measure);
    const SIZE needed = MakeSize(neededAlong, measure.neededAcross, frame.along, frame.across);
    ProcessScrollBar(client, needed.cx, needed.cy);
}

CLinearLayoutUI::Frame CLinearLayoutUI::MakeFrame(const RECT& client) const
{
    const bool vertical = IsVertical();
    const Axis& along = AlongAxis(vertical);
    const Axis& across = AcrossAxis(vertical);
    const CScrollBarUI* alongBar = vertical ? m_pVerticalScrollBar : m_pHorizontalScrollBar;
    const CScrollBarUI* acrossBar = vertical ? m_pHorizontalScrollBar : m_pVerticalScrollBar;
    // Children of a vertical layout follow the child align (1 centre,
    // 2 right), those of a horizontal one the child v-align (4 centre,
    // 8 bottom); any other value places them at the start.
    const UINT align = vertical ? m_iChildAlign : m_iChildVAlign;
    const UINT centre = vertical ? 1 : 4;
    const UINT end = vertical ? 2 : 8;
    const Placement placement = align == centre ? Placement::Centre : align == end ? Placement::End : Placement::Start;
    return Frame{client,
                 vertical,
                 along,
                 across,
                 alongBar,
                 acrossBar,
                 placement,
                 Length(client, along) + ScrollRange(alongBar),
                 Length(client, across) + ScrollRange(acrossBar)};
}

// First pass: the room the children that keep their own size take, and how
// many children share the rest.
CLinearLayoutUI::Measure CLinearLayoutUI::MeasureChildren(const Frame& frame)
{
    const Axis& along = frame.along;
    const Axis& across = frame.across;
    Measure measure;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        PrefetchAhead(i);
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const RECT pad = child->GetPadding();
        const bool keepsEstimate = frame.MayKeepEstimate(child);
        const SIZE available = MakeSize((std::min)(frame.availAlong, SizeLimit(child, along)),
                                        (std::min)(frame.availAcross - Padding(pad, across), SizeLimit(child, across)),
                                        along, across);
        SIZE estimate = keepsEstimate ? child->EstimateSize(available)
                                      : MakeSize(0, FixedSize(child, across), along, across);
        long& estimatedAlong = estimate.*along.extent;
        if (!keepsEstimate || estimatedAlong == 0) {
            ++measure.stretchCount;
            estimatedAlong = 0;
        } else {
            estimatedAlong = ClampToChild(estimatedAlong, child, along);
        }
        measure.fixedTotal += estimatedAlong + Padding(pad, along);
        const long acrossSize = ClampToChild((std::max)(estimate.*across.extent, 0L), child, across);
        measure.neededAcross = (std::max)(measure.neededAcross, acrossSize + Padding(pad, across));
        ++measure.placedCount;
    }
    if (measure.placedCount > 0)
        measure.fixedTotal += (measure.placedCount - 1) * m_iChildPadding;
    measure.share = measure.stretchCount == 0
                        ? 0
                        : (std::max)(0L, (frame.availAlong - measure.fixedTotal) / measure.stretchCount);
    return measure;
}

// Second pass: the children placed one after another; the room they take
// along the axis.
long CLinearLayoutUI::PlaceChildren(const Frame& frame, const Measure& measure)
{
    const Axis& along = frame.along;
    const Axis& across = frame.across;
    long offset = frame.client.*along.start - ScrollPos(frame.alongBar);
    long remaining = frame.availAlong;
    long fixedLeft = measure.fixedTotal;
    long neededAlong = 0;
    int stretchSeen = 0;
    int placed = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        const unsigned version = m_nItemsVersion;
        if (child->IsFloat()) {
            SetFloatPos(i);
            i = ResumeIndex(i, child, version);
            continue;
        }

        const RECT pad = child->GetPadding();
        remaining -= pad.*along.start;
        fixedLeft -= Padding(pad, along);
        if (placed > 0)
            fixedLeft -= m_iChildPadding;

        const long acrossRoom = frame.availAcross - Padding(pad, across);
        const long acrossLimit = (std::min)(acrossRoom, SizeLimit(child, across));
        const SIZE estimate = child->EstimateSize(
            MakeSize((std::min)(remaining, SizeLimit(child, along)), acrossLimit, along, across));
        long size;
        if (frame.MayKeepEstimate(child) && estimate.*along.extent != 0) {
            size = ClampToChild(estimate.*along.extent, child, along);
            fixedLeft -= size;
        } else {
            ++stretchSeen;
            // The last stretchable child takes what the division left over.
            size = stretchSeen == measure.stretchCount ? (std::max)(0L, remaining - pad.*along.end - fixedLeft)
                                                       : measure.share;
            size = ClampToChild(size, child, along);
        }

        const long acrossSize = AcrossSize(child, across, acrossRoom, acrossLimit);
        const long acrossStart = AcrossStart(frame.placement, acrossSize, frame.client, pad, across, frame.acrossBar);

        RECT place;
        place.*along.start = offset + pad.*along.start;
        place.*along.end = place.*along.start + size;
        place.*across.start = acrossStart;
        place.*across.end = acrossStart + acrossSize;
        child->SetPos(place, false);
        i = ResumeIndex(i, child, version);

        offset += size + m_iChildPadding + Padding(pad, along);
        neededAlong += size + Padding(pad, along);
        remaining -= size + m_iChildPadding + pad.*along.end;
        ++placed;
    }
    if (measure.placedCount > 0)
        neededAlong += (measure.placedCount - 1) * m_iChildPadding;
    return neededAlong;
}

// -- Separator --

void CLinearLayoutUI::SetSepSize(int size)
{
    m_iSepSize = size;
}

int CLinearLayoutUI::GetSepSize() const
{
    return m_iSepSize;
}

void CLinearLayoutUI::SetSepImmMode(bool immediately)
{
    if (m_bImmMode == immediately)
        return;
    // Only a deferred drag is registered for the shading.
    if (IsSeparatorCaptured() && !m_bImmMode && m_pManager != nullptr)
        m_pManager->RemovePostPaint(this);
    m_bImmMode = immediately;
}

bool CLinearLayoutUI::IsSepImmMode() const
{
    return m_bImmMode;
}

bool CLinearLayoutUI::IsSeparatorCaptured() const
{
    return (m_uButtonState & kSeparatorCaptured) != 0;
}

RECT CLinearLayoutUI::GetThumbRect(bool useNew) const
{
    const Axis& along = AlongAxis(IsVertical());
    RECT thumb = (useNew && IsSeparatorCaptured()) ? m_rcNewPos : m_rcItem;
    // The strip never reaches past the opposite edge.
    if (m_iSepSize >= 0)
        thumb.*along.start = (std::max)(thumb.*along.end - m_iSepSize, thumb.*along.start);
    else
        thumb.*along.end = (std::min)(thumb.*along.start - m_iSepSize, thumb.*along.end);
    return thumb;
}

void CLinearLayoutUI::DoEvent(TEventUI& event)
{
    if (m_iSepSize == 0) {
        CContainerUI::DoEvent(event);
        return;
    }
    const bool captured = IsSeparatorCaptured();

    if (event.Type == UIEVENT_BUTTONDOWN && IsEnabled()) {
        const RECT thumb = GetThumbRect(false);
        if (PtInRect(&thumb, event.ptMouse)) {
            BeginSeparatorDrag(event.ptMouse);
            return;
        }
    }
    if (event.Type == UIEVENT_BUTTONUP && captured) {
        EndSeparatorDrag();
        return;
    }
    if (event.Type == UIEVENT_MOUSEMOVE && captured) {
        DragSeparatorTo(event.ptMouse);
        return;
    }
    if (event.Type == UIEVENT_SETCURSOR) {
        const RECT thumb = GetThumbRect(false);
        if (IsEnabled() && PtInRect(&thumb, event.ptMouse)) {
            ::SetCursor(::LoadCursorW(nullptr, IsVertical() ? IDC_SIZENS : IDC_SIZEWE));
            return;
        }
    }
    CContainerUI::DoEvent(event);
}

void CLinearLayoutUI::BeginSeparatorDrag(POINT mouse)
{
    m_uButtonState |= kSeparatorCaptured;
    m_ptLastMouse = mouse;
    m_rcNewPos = m_rcItem;
    if (!m_bImmMode && m_pManager != nullptr)
        m_pManager->AddPostPaint(this);
}

void CLinearLayoutUI::EndSeparatorDrag()
{
    m_uButtonState &= ~kSeparatorCaptured;
    m_rcItem = m_rcNewPos;
    if (!m_bImmMode && m_pManager != nullptr)
        m_pManager->RemovePostPaint(this);
    NeedParentUpdate();
}

void CLinearLayoutUI::DragSeparatorTo(POINT mouse)
{
    const Axis& along = AlongAxis(IsVertical());
    const long delta = mouse.*along.coord - m_ptLastMouse.*along.coord;
    // Ignored moves still count as the last point: only later movement drags.
    m_ptLastMouse = mouse;
    RECT rc = m_rcNewPos;
    if (!MoveDraggedEdge(rc, mouse.*along.coord, delta))
        return;

    RECT invalid = GetThumbRect(true);
    m_rcNewPos = rc;
    m_cxyFixed.*along.extent = Length(rc, along);
    if (m_bImmMode) {
        m_rcItem = m_rcNewPos;
        NeedParentUpdate();
    } else if (m_pManager != nullptr) {
        const RECT now = GetThumbRect(true);
        UnionRect(&invalid, &invalid, &now);
        const RECT old = GetThumbRect(false);
        UnionRect(&invalid, &invalid, &old);
        m_pManager->Invalidate(invalid);
    }
}

// Moves the edge the separator lies on by `delta` along the axis, keeping the
// length within the layout's minimum and maximum. False when the move is
// ignored: when the pointer lags behind the edge, or when the length already
// sits at the limit the move would cross.
bool CLinearLayoutUI::MoveDraggedEdge(RECT& rc, long pointer, long delta) const
{
    const Axis& along = AlongAxis(IsVertical());
    const long minimum = (this->*along.minimum)();
    const long maximum = (this->*along.maximum)();
    const long oldLength = Length(rc, along);
    const bool atEnd = m_iSepSize >= 0;
    long& edge = atEnd ? rc.*along.end : rc.*along.start;
    // Either strip grows only once the pointer is a strip's thickness past
    // its edge, outside the layout, and shrinks only once the pointer is back
    // inside the layout. (The start strip's separator is negative, so
    // edge + separator lies before the start edge.)
    if (atEnd) {
        if ((delta > 0 && pointer < edge + m_iSepSize) || (delta < 0 && pointer > edge))
            return false;
    } else {
        if ((delta > 0 && pointer < edge) || (delta < 0 && pointer > edge + m_iSepSize))
            return false;
    }

    edge += delta;
    auto setLength = [&](long length) {
        if (atEnd)
            rc.*along.end = rc.*along.start + length;
        else
            rc.*along.start = rc.*along.end - length;
    };
    if (Length(rc, along) <= minimum) {
        if (oldLength <= minimum)
            return false;
        setLength(minimum);
    }
    if (Length(rc, along) >= maximum) {
        if (oldLength >= maximum)
            return false;
        setLength(maximum);
    }
    return true;
}

void CLinearLayoutUI::DoPostPaint(HDC hDC, const RECT& rcPaint)
{
    if (IsSeparatorCaptured() && !m_bImmMode)
        CRenderEngine::DrawColor(hDC, GetThumbRect(true), 0xAA000000);
    CContainerUI::DoPostPaint(hDC, rcPaint);
}

const CControlAttributeTable& CLinearLayoutUI::GetAttributeTable() const
{
    using C = CLinearLayoutUI;
    static const TAttribute<CLinearLayoutUI> kAttributes[] = {
        {L"sepimm", kValueFlag, [](C& c, const wchar_t* v) { c.SetSepImmMode(wcscmp(v, L"true") == 0); }},
    };
    static const TAttributeTable table(kAttributes, &CContainerUI::GetAttributeTable());
    return table;
}

} // namespace Facet
