// CScrollBarUI: range and position, the geometry of buttons and thumb, user
// input and attributes. Painting is in ScrollBarUIPaint.cpp.
#include "ScrollBarUI.h"

#include <algorithm>
#include <cwchar>

#include "../core/PaintManager.h"
#include "../layout/ContainerUI.h"
#include "ControlDispatch.h"
#include "../core/AttributeValues.h"

namespace Facet {

namespace {

const int kDefaultThickness = 16;
const int kDefaultLineSize = 8;
const UINT kRepeatInterval = 50;
// Timer ticks before a held button starts repeating.
const int kRepeatDelayTicks = 6;

using attribute_values::Equals;
using attribute_values::IsTrue;
using attribute_values::ReadColorAfterBlanks;
using attribute_values::ReadInt;

void SetImage(TDrawInfo& info, const wchar_t* description)
{
    info.Clear();
    info.sDrawString = description;
}

const RECT kEmpty = {0, 0, 0, 0};

} // namespace

CScrollBarUI::CScrollBarUI()
    : m_pOwner(nullptr),
      m_bHorizontal(false),
      m_nRange(100),
      m_nScrollPos(0),
      m_nLineSize(kDefaultLineSize),
      m_nScrollUnit(1),
      m_bShowButton1(true),
      m_bShowButton2(true),
      m_rcButton1(kEmpty),
      m_rcButton2(kEmpty),
      m_rcThumb(kEmpty),
      m_uButton1State(0),
      m_uButton2State(0),
      m_uThumbState(0),
      m_uTrackState(0),
      m_ptDragStart{0, 0},
      m_nDragStartPos(0),
      m_nRepeatTicks(0),
      m_ptLastMouse{0, 0},
      m_dwButton1Color(0),
      m_dwButton2Color(0),
      m_dwThumbColor(0)
{
    m_cxyFixed.cx = ScaleByWindow(kDefaultThickness);
    m_cxyFixed.cy = 0;
}

const wchar_t* CScrollBarUI::GetClass() const
{
    return L"ScrollBar";
}

LPVOID CScrollBarUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && Equals(name, kInterfaceName))
        return static_cast<CScrollBarUI*>(this);
    return CControlUI::GetInterface(name);
}

CContainerUI* CScrollBarUI::GetOwner() const
{
    return m_pOwner;
}

void CScrollBarUI::SetOwner(CContainerUI* owner)
{
    m_pOwner = owner;
}

bool CScrollBarUI::IsHorizontal() const
{
    return m_bHorizontal;
}

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_bHorizontal == horizontal)
        return;
    m_bHorizontal = horizontal;
    // The thickness moves to the other axis.
    if (horizontal) {
        m_cxyFixed.cy = m_cxyFixed.cx;
        m_cxyFixed.cx = 0;
    } else {
        m_cxyFixed.cx = m_cxyFixed.cy;
        m_cxyFixed.cy = 0;
    }
    UpdateParts();
    NeedParentUpdate();
}

int CScrollBarUI::GetScrollRange() const
{
    return m_nRange;
}

void CScrollBarUI::SetScrollRange(int range)
{
    range = (std::max)(range, 0);
    if (m_nRange == range)
        return;
    m_nRange = range;
    m_nScrollPos = (std::min)(m_nScrollPos, m_nRange);
    UpdateParts();
    Invalidate();
}

int CScrollBarUI::GetScrollPos() const
{
    return m_nScrollPos;
}

void CScrollBarUI::SetScrollPos(int pos)
{
    pos = (std::max)((std::min)(pos, m_nRange), 0);
    if (m_nScrollPos == pos)
        return;
    m_nScrollPos = pos;
    UpdateParts();
    Invalidate();
}

int CScrollBarUI::GetLineSize() const
{
    return m_nLineSize;
}

void CScrollBarUI::SetLineSize(int size)
{
    m_nLineSize = (std::max)(size, 1);
}

int CScrollBarUI::GetScrollUnit() const
{
    return m_nScrollUnit;
}

void CScrollBarUI::SetScrollUnit(int unit)
{
    m_nScrollUnit = (std::max)(unit, 1);
}

bool CScrollBarUI::GetShowButton1() const
{
    return m_bShowButton1;
}

void CScrollBarUI::SetShowButton1(bool show)
{
    m_bShowButton1 = show;
    UpdateParts();
    Invalidate();
}

bool CScrollBarUI::GetShowButton2() const
{
    return m_bShowButton2;
}

void CScrollBarUI::SetShowButton2(bool show)
{
    m_bShowButton2 = show;
    UpdateParts();
    Invalidate();
}

const RECT& CScrollBarUI::GetButton1Rect() const
{
    return m_rcButton1;
}

const RECT& CScrollBarUI::GetButton2Rect() const
{
    return m_rcButton2;
}

const RECT& CScrollBarUI::GetThumbRect() const
{
    return m_rcThumb;
}

RECT CScrollBarUI::GetTrackRect() const
{
    if (m_bHorizontal)
        return RECT{m_rcButton1.right, m_rcItem.top, m_rcButton2.left, m_rcItem.bottom};
    return RECT{m_rcItem.left, m_rcButton1.bottom, m_rcItem.right, m_rcButton2.top};
}

// -- Geometry --

int CScrollBarUI::Length() const
{
    return m_bHorizontal ? m_rcItem.right - m_rcItem.left : m_rcItem.bottom - m_rcItem.top;
}

int CScrollBarUI::Thickness() const
{
    return m_bHorizontal ? m_rcItem.bottom - m_rcItem.top : m_rcItem.right - m_rcItem.left;
}

long CScrollBarUI::Along(POINT pt) const
{
    return m_bHorizontal ? pt.x : pt.y;
}

void CScrollBarUI::UpdateParts()
{
    const int length = Length();
    const int thickness = Thickness();
    const long start = m_bHorizontal ? m_rcItem.left : m_rcItem.top;
    const long end = start + length;
    // A span [from, to) along the bar's axis, across its whole thickness.
    auto span = [this](long from, long to) {
        return m_bHorizontal ? RECT{from, m_rcItem.top, to, m_rcItem.bottom}
                             : RECT{m_rcItem.left, from, m_rcItem.right, to};
    };

    // Square buttons, shrunk to share a bar too short for both.
    const int shown = (m_bShowButton1 ? 1 : 0) + (m_bShowButton2 ? 1 : 0);
    int button = thickness;
    if (shown > 0 && button * shown > length)
        button = length / shown;
    const long button1End = start + (m_bShowButton1 ? button : 0);
    const long button2Start = end - (m_bShowButton2 ? button : 0);
    m_rcButton1 = span(start, button1End);
    m_rcButton2 = span(button2Start, end);

    const long track = button2Start - button1End;
    if (m_nRange <= 0 || track <= 0) {
        m_rcThumb = kEmpty;
        return;
    }
    // The thumb shows the visible share of the content (the bar's length of
    // range + length), never thinner than the bar is thick.
    long thumb = static_cast<long>(static_cast<long long>(track) * length / (m_nRange + length));
    thumb = (std::max)(thumb, static_cast<long>((std::min)(thickness, static_cast<int>(track))));
    thumb = (std::min)(thumb, track);
    const long travel = track - thumb;
    const long offset = static_cast<long>(static_cast<long long>(travel) * m_nScrollPos / m_nRange);
    m_rcThumb = span(button1End + offset, button1End + offset + thumb);
}

int CScrollBarUI::ThumbTravel() const
{
    const RECT track = GetTrackRect();
    const long trackLength = m_bHorizontal ? track.right - track.left : track.bottom - track.top;
    const long thumbLength = m_bHorizontal ? m_rcThumb.right - m_rcThumb.left : m_rcThumb.bottom - m_rcThumb.top;
    return static_cast<int>(trackLength - thumbLength);
}

void CScrollBarUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    UpdateParts();
}

void CScrollBarUI::Move(SIZE offset, bool needInvalidate)
{
    CControlUI::Move(offset, needInvalidate);
    OffsetRect(&m_rcButton1, offset.cx, offset.cy);
    OffsetRect(&m_rcButton2, offset.cx, offset.cy);
    if (!IsRectEmpty(&m_rcThumb))
        OffsetRect(&m_rcThumb, offset.cx, offset.cy);
}

void CScrollBarUI::SetEnabled(bool enabled)
{
    if (!enabled) {
        ClearPressed();
        m_uButton1State = m_uButton2State = m_uThumbState = 0;
    }
    CControlUI::SetEnabled(enabled);
}

// -- User actions --

void CScrollBarUI::Announce(int oldPos)
{
    if (m_nScrollPos != oldPos && m_pManager != nullptr)
        m_pManager->SendNotify(this, L"scroll", static_cast<WPARAM>(m_nScrollPos), static_cast<LPARAM>(oldPos));
}

void CScrollBarUI::StepLine(bool forward)
{
    const int oldPos = m_nScrollPos;
    if (m_pOwner != nullptr) {
        if (m_bHorizontal)
            forward ? m_pOwner->LineRight() : m_pOwner->LineLeft();
        else
            forward ? m_pOwner->LineDown() : m_pOwner->LineUp();
    } else {
        SetScrollPos(m_nScrollPos + (forward ? m_nLineSize : -m_nLineSize));
    }
    Announce(oldPos);
}

void CScrollBarUI::StepPage(bool forward)
{
    const int oldPos = m_nScrollPos;
    if (m_pOwner != nullptr) {
        if (m_bHorizontal)
            forward ? m_pOwner->PageRight() : m_pOwner->PageLeft();
        else
            forward ? m_pOwner->PageDown() : m_pOwner->PageUp();
    } else {
        const int page = (std::max)(Length(), m_nLineSize);
        SetScrollPos(m_nScrollPos + (forward ? page : -page));
    }
    Announce(oldPos);
}

void CScrollBarUI::ScrollTo(int pos)
{
    const int oldPos = m_nScrollPos;
    if (m_pOwner != nullptr) {
        SIZE target = m_pOwner->GetScrollPos();
        if (m_bHorizontal)
            target.cx = pos;
        else
            target.cy = pos;
        m_pOwner->SetScrollPos(target);
    } else {
        SetScrollPos(pos);
    }
    Announce(oldPos);
}

void CScrollBarUI::TrackHover(POINT pt)
{
    const UINT before = m_uButton1State ^ (m_uButton2State << 4) ^ (m_uThumbState << 8);
    auto mark = [&](UINT& state, const RECT& rc) {
        if (IsEnabled() && PtInRect(&rc, pt))
            state |= kHot;
        else
            state &= ~kHot;
    };
    mark(m_uButton1State, m_rcButton1);
    mark(m_uButton2State, m_rcButton2);
    mark(m_uThumbState, m_rcThumb);
    const UINT after = m_uButton1State ^ (m_uButton2State << 4) ^ (m_uThumbState << 8);
    if (before != after)
        Invalidate();
}

void CScrollBarUI::ClearPressed()
{
    m_uButton1State &= ~kPushed;
    m_uButton2State &= ~kPushed;
    m_uThumbState &= ~(kPushed | kCaptured);
    m_uTrackState = 0;
    if (m_pManager != nullptr)
        m_pManager->KillTimer(this, kRepeatTimerId);
}

void CScrollBarUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventTo(*this, event, m_pOwner))
        return;
    if (!HandleBarEvent(event))
        CControlUI::DoEvent(event);
}

// One line per event the bar answers; true when the event stops here.
bool CScrollBarUI::HandleBarEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        return true;
    case UIEVENT_KILLFOCUS:
        return true;
    case UIEVENT_BUTTONDOWN:
        return OnButtonDown(event);
    case UIEVENT_DBLCLICK:
        return OnButtonDown(event);
    case UIEVENT_BUTTONUP:
        ClearPressed();
        Invalidate();
        return true;
    case UIEVENT_MOUSEMOVE:
        return OnMouseMove(event);
    case UIEVENT_MOUSEENTER:
        TrackHover(event.ptMouse);
        return true;
    case UIEVENT_MOUSELEAVE:
        return OnMouseLeave();
    case UIEVENT_TIMER:
        return event.wParam == kRepeatTimerId && OnRepeatTick();
    case UIEVENT_SCROLLWHEEL:
        return OnScrollWheel(event);
    default:
        return false;
    }
}

// A press on the thumb starts a drag; on a button or the track it steps once
// and starts the repeat timer.
bool CScrollBarUI::OnButtonDown(const TEventUI& event)
{
    if (!IsEnabled())
        return true;
    m_nRepeatTicks = 0;
    m_ptLastMouse = event.ptMouse;
    if (PtInRect(&m_rcThumb, event.ptMouse)) {
        m_uThumbState |= kPushed | kCaptured;
        m_ptDragStart = event.ptMouse;
        m_nDragStartPos = m_nScrollPos;
        Invalidate();
        return true;
    }
    if (PtInRect(&m_rcButton1, event.ptMouse)) {
        m_uButton1State |= kPushed;
        StepLine(false);
    } else if (PtInRect(&m_rcButton2, event.ptMouse)) {
        m_uButton2State |= kPushed;
        StepLine(true);
    } else {
        const RECT track = GetTrackRect();
        if (!PtInRect(&track, event.ptMouse) || IsRectEmpty(&m_rcThumb))
            return true;
        m_uTrackState = kPushed;
        const long thumbStart = m_bHorizontal ? m_rcThumb.left : m_rcThumb.top;
        StepPage(Along(event.ptMouse) >= thumbStart);
    }
    if (m_pManager != nullptr)
        m_pManager->SetTimer(this, kRepeatTimerId, kRepeatInterval);
    Invalidate();
    return true;
}

bool CScrollBarUI::OnMouseMove(const TEventUI& event)
{
    m_ptLastMouse = event.ptMouse;
    if ((m_uThumbState & kCaptured) == 0) {
        TrackHover(event.ptMouse);
        return true;
    }
    const int travel = ThumbTravel();
    if (travel > 0 && m_nRange > 0) {
        const long moved = Along(event.ptMouse) - Along(m_ptDragStart);
        // Rounded to the nearest position so the thumb stays under
        // the pointer.
        const long long scaled = static_cast<long long>(moved) * m_nRange;
        const long long rounded = scaled >= 0 ? (scaled + travel / 2) / travel : (scaled - travel / 2) / travel;
        ScrollTo(m_nDragStartPos + static_cast<int>(rounded));
    }
    return true;
}

bool CScrollBarUI::OnMouseLeave()
{
    m_uButton1State &= ~kHot;
    m_uButton2State &= ~kHot;
    m_uThumbState &= ~kHot;
    Invalidate();
    return true;
}

// A held button or track click repeats once the first ticks have passed.
bool CScrollBarUI::OnRepeatTick()
{
    if (++m_nRepeatTicks < kRepeatDelayTicks)
        return true;
    if ((m_uButton1State & kPushed) != 0) {
        StepLine(false);
    } else if ((m_uButton2State & kPushed) != 0) {
        StepLine(true);
    } else if (m_uTrackState != 0) {
        // Pages on towards the held pointer until the thumb reaches it.
        const long at = Along(m_ptLastMouse);
        const long thumbStart = m_bHorizontal ? m_rcThumb.left : m_rcThumb.top;
        const long thumbEnd = m_bHorizontal ? m_rcThumb.right : m_rcThumb.bottom;
        if (at < thumbStart)
            StepPage(false);
        else if (at >= thumbEnd)
            StepPage(true);
    }
    return true;
}

// The wheel scrolls the owner when there is one, else steps the bar.
bool CScrollBarUI::OnScrollWheel(TEventUI& event)
{
    if (m_pOwner != nullptr) {
        m_pOwner->DoEvent(event);
        return true;
    }
    StepLine(LOWORD(event.wParam) == 1);
    return true;
}

// -- Attributes --

const CControlAttributeTable& CScrollBarUI::GetAttributeTable() const
{
    using C = CScrollBarUI;
    static const TAttribute<CScrollBarUI> kAttributes[] = {
        {L"button1normalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_button1.normal, v); }},
        {L"button1hotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_button1.hot, v); }},
        {L"button1pushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_button1.pushed, v); }},
        {L"button1disabledimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_button1.disabled, v); }},
        {L"button2normalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_button2.normal, v); }},
        {L"button2hotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_button2.hot, v); }},
        {L"button2pushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_button2.pushed, v); }},
        {L"button2disabledimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_button2.disabled, v); }},
        {L"thumbnormalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_thumb.normal, v); }},
        {L"thumbhotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_thumb.hot, v); }},
        {L"thumbpushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_thumb.pushed, v); }},
        {L"thumbdisabledimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_thumb.disabled, v); }},
        {L"railnormalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_rail.normal, v); }},
        {L"railhotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_rail.hot, v); }},
        {L"railpushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_rail.pushed, v); }},
        {L"raildisabledimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_rail.disabled, v); }},
        {L"bknormalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_bk.normal, v); }},
        {L"bkhotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_bk.hot, v); }},
        {L"bkpushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_bk.pushed, v); }},
        {L"bkdisabledimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPartImage(c.m_bk.disabled, v); }},
        {L"button1color", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.SetPartColor(c.m_dwButton1Color, ReadColorAfterBlanks(v)); }},
        {L"button2color", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.SetPartColor(c.m_dwButton2Color, ReadColorAfterBlanks(v)); }},
        {L"thumbcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.SetPartColor(c.m_dwThumbColor, ReadColorAfterBlanks(v)); }},
        {L"hor", kValueFlag, [](C& c, const wchar_t* v) { c.SetHorizontal(IsTrue(v)); }},
        {L"linesize", kValueNumber, [](C& c, const wchar_t* v) { c.SetLineSize(ReadInt(v)); }},
        {L"range", kValueNumber, [](C& c, const wchar_t* v) { c.SetScrollRange(ReadInt(v)); }},
        {L"value", kValueNumber, [](C& c, const wchar_t* v) { c.SetScrollPos(ReadInt(v)); }},
        {L"scrollunit", kValueNumber, [](C& c, const wchar_t* v) { c.SetScrollUnit(ReadInt(v)); }},
        {L"showbutton1", kValueFlag, [](C& c, const wchar_t* v) { c.SetShowButton1(IsTrue(v)); }},
        {L"showbutton2", kValueFlag, [](C& c, const wchar_t* v) { c.SetShowButton2(IsTrue(v)); }},
    };
    static const TAttributeTable table(kAttributes, &CControlUI::GetAttributeTable());
    return table;
}

void CScrollBarUI::SetPartImage(TDrawInfo& info, const wchar_t* description)
{
    SetImage(info, description);
    Invalidate();
}

void CScrollBarUI::SetPartColor(DWORD& color, DWORD value)
{
    color = value;
    Invalidate();
}

} // namespace Facet
