// CSliderUI: thumb geometry, dragging, keys, wheel and thumb images.
#include "SliderUI.h"

#include <algorithm>
#include <cwchar>

#include "../core/FacetGeometry.h"
#include "../core/PaintManager.h"
#include "ButtonUI.h"
#include "ControlDispatch.h"
#include "../core/AttributeValues.h"

namespace Facet {

using namespace attribute_values;

namespace {

const int kDefaultThumbSide = 10;
const int kDefaultHeight = 18;

} // namespace

CSliderUI::CSliderUI()
    : m_uButtonState(0),
      m_szThumb{kDefaultThumbSide, kDefaultThumbSide},
      m_nStep(1),
      m_bImmMode(false),
      m_nReportedValue(0)
{
    m_uTextStyle = DT_SINGLELINE | DT_CENTER;
    SetFixedHeight(kDefaultHeight);
}

const wchar_t* CSliderUI::GetClass() const
{
    return L"Slider";
}

LPVOID CSliderUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Slider") == 0)
        return static_cast<CSliderUI*>(this);
    return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetControlFlags() const
{
    return IsEnabled() ? UIFLAG_SETCURSOR : 0;
}

void CSliderUI::SetEnabled(bool enabled)
{
    CProgressUI::SetEnabled(enabled);
    if (!enabled)
        m_uButtonState = 0;
}

int CSliderUI::GetChangeStep() const
{
    return m_nStep;
}

void CSliderUI::SetChangeStep(int step)
{
    m_nStep = (std::max)(step, 1);
}

SIZE CSliderUI::GetThumbSize() const
{
    return m_szThumb;
}

void CSliderUI::SetThumbSize(SIZE size)
{
    m_szThumb.cx = (std::max)(ScaleByWindow(size.cx), 0);
    m_szThumb.cy = (std::max)(ScaleByWindow(size.cy), 0);
    Invalidate();
}

bool CSliderUI::IsImmMode() const
{
    return m_bImmMode;
}

void CSliderUI::SetImmMode(bool imm)
{
    m_bImmMode = imm;
}

namespace {

void ReplaceImage(TDrawInfo& info, const wchar_t* description)
{
    if (info.pImageInfo != nullptr && info.sDrawString == description)
        return;
    info.Clear();
    info.sDrawString = description;
}

} // namespace

const wchar_t* CSliderUI::GetThumbImage() const
{
    return m_diThumb.sDrawString.GetData();
}

void CSliderUI::SetThumbImage(const wchar_t* description)
{
    ReplaceImage(m_diThumb, description);
    Invalidate();
}

const wchar_t* CSliderUI::GetThumbHotImage() const
{
    return m_diThumbHot.sDrawString.GetData();
}

void CSliderUI::SetThumbHotImage(const wchar_t* description)
{
    ReplaceImage(m_diThumbHot, description);
    Invalidate();
}

const wchar_t* CSliderUI::GetThumbPushedImage() const
{
    return m_diThumbPushed.sDrawString.GetData();
}

void CSliderUI::SetThumbPushedImage(const wchar_t* description)
{
    ReplaceImage(m_diThumbPushed, description);
    Invalidate();
}

RECT CSliderUI::GetThumbRect() const
{
    const long long range = static_cast<long long>(m_nMax) - m_nMin;
    const long long offset = range > 0 ? (std::min)((std::max)(static_cast<long long>(m_nValue) - m_nMin, 0LL), range)
                                       : 0;
    if (m_bHorizontal) {
        const long long travel = (std::max)(static_cast<long long>(GetWidth()) - m_szThumb.cx, 0LL);
        const long left = m_rcItem.left + static_cast<long>(range > 0 ? travel * offset / range : 0);
        const long top = (m_rcItem.top + m_rcItem.bottom - m_szThumb.cy) / 2;
        return RECT{left, top, left + m_szThumb.cx, top + m_szThumb.cy};
    }
    // Vertical sliders grow upwards, like the vertical progress fill.
    const long long travel = (std::max)(static_cast<long long>(GetHeight()) - m_szThumb.cy, 0LL);
    const long top = m_rcItem.bottom - m_szThumb.cy - static_cast<long>(range > 0 ? travel * offset / range : 0);
    const long left = (m_rcItem.left + m_rcItem.right - m_szThumb.cx) / 2;
    return RECT{left, top, left + m_szThumb.cx, top + m_szThumb.cy};
}

int CSliderUI::Snap(long long value) const
{
    const long long step = m_nStep;
    long long snapped = m_nMin + (value - m_nMin + step / 2) / step * step;
    snapped = (std::min)(snapped, static_cast<long long>(m_nMax));
    snapped = (std::max)(snapped, static_cast<long long>(m_nMin));
    return static_cast<int>(snapped);
}

int CSliderUI::ValueAtPoint(POINT pt) const
{
    const long long range = static_cast<long long>(m_nMax) - m_nMin;
    if (range <= 0)
        return m_nMin;
    long long travel;
    long long along;
    if (m_bHorizontal) {
        travel = static_cast<long long>(GetWidth()) - m_szThumb.cx;
        along = static_cast<long long>(pt.x) - m_rcItem.left - m_szThumb.cx / 2;
    } else {
        travel = static_cast<long long>(GetHeight()) - m_szThumb.cy;
        along = static_cast<long long>(m_rcItem.bottom) - m_szThumb.cy / 2 - pt.y;
    }
    if (travel <= 0)
        return m_nMin;
    along = (std::min)((std::max)(along, 0LL), travel);
    // Rounded to the nearest value, then to the nearest step.
    return Snap(m_nMin + (along * range + travel / 2) / travel);
}

void CSliderUI::MoveTo(int value, bool notify)
{
    if (value != m_nValue)
        SetValue(value);
    if (notify && m_nValue != m_nReportedValue) {
        m_nReportedValue = m_nValue;
        if (m_pManager != nullptr)
            m_pManager->SendNotify(this, L"valuechanged", 0, 0, false, true);
    }
}

void CSliderUI::DoEvent(TEventUI& event)
{
    // Unlike PassMouseEventOn, the progress bar's handling takes the event:
    // it hands it to the parent too, but answers a context menu itself.
    const bool mouseEvent = event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND;
    if (!IsMouseEnabled() && mouseEvent) {
        CProgressUI::DoEvent(event);
        return;
    }
    if (TrackHot(*this, m_uButtonState, event))
        return;
    if (!HandleSliderEvent(event))
        CProgressUI::DoEvent(event);
}

// One line per event the slider answers; true when the event stops here,
// false when the progress bar goes on with it.
bool CSliderUI::HandleSliderEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
        return OnButtonDown(event);
    case UIEVENT_DBLCLICK:
        return OnButtonDown(event);
    case UIEVENT_MOUSEMOVE:
        return OnMouseMove(event);
    case UIEVENT_BUTTONUP:
        return OnButtonUp();
    case UIEVENT_KEYDOWN:
        return OnKeyDown(event);
    case UIEVENT_SCROLLWHEEL:
        return OnScrollWheel(event);
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return true;
    default:
        return false;
    }
}

bool CSliderUI::OnButtonDown(const TEventUI& event)
{
    if (!IsEnabled())
        return true;
    m_nReportedValue = m_nValue;
    m_uButtonState |= UISTATE_CAPTURED | UISTATE_PUSHED;
    // A press on the rail moves the thumb there; a press on the thumb
    // keeps the value until the mouse moves.
    const RECT thumb = GetThumbRect();
    if (!PtInRect(&thumb, event.ptMouse))
        MoveTo(ValueAtPoint(event.ptMouse), m_bImmMode);
    Invalidate();
    return true;
}

bool CSliderUI::OnMouseMove(const TEventUI& event)
{
    if ((m_uButtonState & UISTATE_CAPTURED) == 0)
        return false;
    MoveTo(ValueAtPoint(event.ptMouse), m_bImmMode);
    return true;
}

bool CSliderUI::OnButtonUp()
{
    if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
        m_uButtonState &= ~static_cast<UINT>(UISTATE_CAPTURED | UISTATE_PUSHED);
        Invalidate();
        // Last: a listener may do anything to this slider.
        MoveTo(m_nValue, true);
    }
    return true;
}

// Right and Up step forward, Left and Down back; not while the mouse drags.
bool CSliderUI::OnKeyDown(const TEventUI& event)
{
    if (!IsEnabled() || (m_uButtonState & UISTATE_CAPTURED) != 0)
        return false;
    int delta = 0;
    if (event.chKey == VK_RIGHT || event.chKey == VK_UP)
        delta = m_nStep;
    else if (event.chKey == VK_LEFT || event.chKey == VK_DOWN)
        delta = -m_nStep;
    if (delta == 0)
        return false;
    StepBy(delta);
    return true;
}

bool CSliderUI::OnScrollWheel(const TEventUI& event)
{
    if (!IsEnabled() || (m_uButtonState & UISTATE_CAPTURED) != 0)
        return false;
    // Low word 0: the wheel turned away from the user (up).
    StepBy(LOWORD(event.wParam) == 0 ? m_nStep : -m_nStep);
    return true;
}

void CSliderUI::StepBy(int delta)
{
    m_nReportedValue = m_nValue;
    MoveTo(Snap(static_cast<long long>(m_nValue) + delta), true);
}

const CControlAttributeTable& CSliderUI::GetAttributeTable() const
{
    using C = CSliderUI;
    static const TAttribute<CSliderUI> kAttributes[] = {
        {L"thumbimage", kValueImage, [](C& c, const wchar_t* v) { c.SetThumbImage(v); }},
        {L"thumbhotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetThumbHotImage(v); }},
        {L"thumbpushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetThumbPushedImage(v); }},
        {L"thumbsize", kValueNumbers, [](C& c, const wchar_t* v) { c.SetThumbSize(CFacetSize(v)); }},
        {L"step", kValueNumber, [](C& c, const wchar_t* v) { c.SetChangeStep(ReadInt(v)); }},
        {L"imm", kValueFlag, [](C& c, const wchar_t* v) { c.SetImmMode(IsTrue(v)); }},
    };
    static const TAttributeTable table(kAttributes, &CProgressUI::GetAttributeTable());
    return table;
}

void CSliderUI::PaintStatusImage(HDC hDC)
{
    CProgressUI::PaintStatusImage(hDC);

    TDrawInfo* info = &m_diThumb;
    if ((m_uButtonState & UISTATE_CAPTURED) != 0 && !m_diThumbPushed.sDrawString.IsEmpty())
        info = &m_diThumbPushed;
    else if ((m_uButtonState & UISTATE_HOT) != 0 && !m_diThumbHot.sDrawString.IsEmpty())
        info = &m_diThumbHot;
    if (info->sDrawString.IsEmpty())
        return;
    RECT thumb = GetThumbRect();
    OffsetRect(&thumb, -m_rcItem.left, -m_rcItem.top);
    // Parsed first, so the thumb rectangle set below is what the draw uses.
    DrawImage(nullptr, *info);
    info->rcDestOffset = thumb;
    DrawImage(hDC, *info);
}

} // namespace Facet
