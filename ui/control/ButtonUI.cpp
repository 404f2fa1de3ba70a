// CButtonUI: states from mouse and keyboard input, "click", state images with
// an optional fade, and state text colours.
#include "ButtonUI.h"

#include <cwchar>

#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"
#include "../core/AttributeValues.h"

namespace Facet {

using namespace attribute_values;

namespace {

const int kFiveStatusSlices = 5;

bool IsMouseEvent(int type)
{
    return type > UIEVENT__MOUSEBEGIN && type < UIEVENT__MOUSEEND;
}

} // namespace

CButtonUI::CButtonUI()
    : m_uButtonState(0),
      m_dwHotBkColor(0),
      m_dwHotTextColor(0),
      m_dwPushedTextColor(0),
      m_dwFocusedTextColor(0),
      m_uFadeAlpha(255),
      m_uFadeAlphaDelta(0)
{
    m_uTextStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
}

const wchar_t* CButtonUI::GetClass() const
{
    return L"Button";
}

LPVOID CButtonUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const
{
    UINT flags = 0;
    if (IsKeyboardEnabled())
        flags |= UIFLAG_TABSTOP;
    if (IsEnabled())
        flags |= UIFLAG_SETCURSOR;
    return flags;
}

bool CButtonUI::Activate()
{
    if (!CLabelUI::Activate())
        return false;
    if (m_pManager != nullptr)
        m_pManager->SendNotify(this, L"click", 0, 0, false, true);
    return true;
}

UINT CButtonUI::GetButtonState() const
{
    return m_uButtonState;
}

void CButtonUI::StartFade()
{
    if (m_uFadeAlphaDelta > 0 && m_pManager != nullptr)
        m_pManager->SetTimer(this, kFadeTimerId, kFadeTimerPeriod);
}

void CButtonUI::DoEvent(TEventUI& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_pParent != nullptr)
            m_pParent->DoEvent(event);
        else
            CLabelUI::DoEvent(event);
        return;
    }
    if (!HandleButtonEvent(event))
        CLabelUI::DoEvent(event);
}

// One line per event the button answers; true when the event stops here,
// false when the label goes on with it.
bool CButtonUI::HandleButtonEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        Invalidate();
        return false;
    case UIEVENT_KILLFOCUS:
        Invalidate();
        return false;
    case UIEVENT_KEYDOWN:
        return OnKeyDown(event);
    case UIEVENT_BUTTONDOWN:
        return OnButtonDown(event);
    case UIEVENT_DBLCLICK:
        return OnButtonDown(event);
    case UIEVENT_MOUSEMOVE:
        return OnMouseMove(event);
    case UIEVENT_BUTTONUP:
        return OnButtonUp(event);
    case UIEVENT_CONTEXTMENU:
        return OnContextMenu(event);
    case UIEVENT_MOUSEENTER:
        return OnMouseEnter(event);
    case UIEVENT_MOUSELEAVE:
        return OnMouseLeave(event);
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return true;
    case UIEVENT_TIMER:
        return event.wParam == kFadeTimerId && StepFade();
    default:
        return false;
    }
}

bool CButtonUI::IsInside(const TEventUI& event) const
{
    return PtInRect(&m_rcItem, event.ptMouse) != FALSE;
}

bool CButtonUI::OnKeyDown(const TEventUI& event)
{
    if (!IsKeyboardEnabled() || !IsEnabled() || (event.chKey != VK_SPACE && event.chKey != VK_RETURN))
        return false;
    Activate();
    return true;
}

bool CButtonUI::OnButtonDown(const TEventUI& event)
{
    if (IsInside(event) && IsEnabled()) {
        m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
        Invalidate();
    }
    return true;
}

// While captured, the button looks pushed only with the mouse over it.
bool CButtonUI::OnMouseMove(const TEventUI& event)
{
    if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
        if (IsInside(event))
            m_uButtonState |= UISTATE_PUSHED;
        else
            m_uButtonState &= ~static_cast<UINT>(UISTATE_PUSHED);
        Invalidate();
    }
    return true;
}

bool CButtonUI::OnButtonUp(const TEventUI& event)
{
    if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
        m_uButtonState &= ~static_cast<UINT>(UISTATE_PUSHED | UISTATE_CAPTURED);
        Invalidate();
        // Last, because a "click" listener may do anything to this button.
        if (IsInside(event) && IsEnabled())
            Activate();
    }
    return true;
}

bool CButtonUI::OnContextMenu(const TEventUI& event)
{
    if (IsContextMenuUsed() && IsEnabled() && m_pManager != nullptr)
        m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam, false, true);
    return true;
}

bool CButtonUI::OnMouseEnter(const TEventUI& event)
{
    if (IsInside(event) && IsEnabled() && (m_uButtonState & UISTATE_HOT) == 0) {
        m_uButtonState |= UISTATE_HOT;
        Invalidate();
        StartFade();
    }
    return false;
}

bool CButtonUI::OnMouseLeave(const TEventUI& event)
{
    if (IsInside(event)) {
        // Still over the button (a child or cover took the hover): keep
        // hot and hear the leave that really ends it.
        if (m_pManager != nullptr)
            m_pManager->AddMouseLeaveNeeded(this);
        return true;
    }
    if (IsEnabled())
        m_uButtonState &= ~static_cast<UINT>(UISTATE_HOT);
    Invalidate();
    if (m_pManager != nullptr)
        m_pManager->RemoveMouseLeaveNeeded(this);
    StartFade();
    return false;
}

// One step of the hot image's fade: toward hot while hot, back otherwise; the
// timer stops at either end.
bool CButtonUI::StepFade()
{
    const BYTE delta = m_uFadeAlphaDelta;
    bool done = false;
    if ((m_uButtonState & UISTATE_HOT) != 0) {
        if (m_uFadeAlpha > delta) {
            m_uFadeAlpha = static_cast<BYTE>(m_uFadeAlpha - delta);
        } else {
            m_uFadeAlpha = 0;
            done = true;
        }
    } else {
        if (m_uFadeAlpha < 255 - delta) {
            m_uFadeAlpha = static_cast<BYTE>(m_uFadeAlpha + delta);
        } else {
            m_uFadeAlpha = 255;
            done = true;
        }
    }
    if ((done || delta == 0) && m_pManager != nullptr)
        m_pManager->KillTimer(this, kFadeTimerId);
    Invalidate();
    return true;
}

SIZE CButtonUI::EstimateSize(SIZE /*available*/)
{
    if (m_cxyFixed.cy != 0 || m_pManager == nullptr)
        return m_cxyFixed;
    const TFontInfo* font = m_pManager->GetFontInfo(m_iFont);
    const int fontHeight = font != nullptr ? font->tm.tmHeight : 0;
    return SIZE{m_cxyFixed.cx, LineHeight(fontHeight)};
}

// -- Images and colours --

void CButtonUI::ReplaceImage(TDrawInfo& info, const wchar_t* description)
{
    if (info.pImageInfo != nullptr && info.sDrawString == description)
        return;
    info.Clear();
    info.sDrawString = description;
    Invalidate();
}

const wchar_t* CButtonUI::GetNormalImage() const
{
    return m_diNormal.sDrawString.GetData();
}

void CButtonUI::SetNormalImage(const wchar_t* description)
{
    ReplaceImage(m_diNormal, description);
}

const wchar_t* CButtonUI::GetHotImage() const
{
    return m_diHot.sDrawString.GetData();
}

void CButtonUI::SetHotImage(const wchar_t* description)
{
    ReplaceImage(m_diHot, description);
}

const wchar_t* CButtonUI::GetPushedImage() const
{
    return m_diPushed.sDrawString.GetData();
}

void CButtonUI::SetPushedImage(const wchar_t* description)
{
    ReplaceImage(m_diPushed, description);
}

const wchar_t* CButtonUI::GetFocusedImage() const
{
    return m_diFocused.sDrawString.GetData();
}

void CButtonUI::SetFocusedImage(const wchar_t* description)
{
    ReplaceImage(m_diFocused, description);
}

const wchar_t* CButtonUI::GetDisabledImage() const
{
    return m_diDisabled.sDrawString.GetData();
}

void CButtonUI::SetDisabledImage(const wchar_t* description)
{
    ReplaceImage(m_diDisabled, description);
}

const wchar_t* CButtonUI::GetHotForeImage() const
{
    return m_diHotFore.sDrawString.GetData();
}

void CButtonUI::SetHotForeImage(const wchar_t* description)
{
    ReplaceImage(m_diHotFore, description);
}

const wchar_t* CButtonUI::GetForeImage() const
{
    return m_diFore.Get().sDrawString.GetData();
}

void CButtonUI::SetForeImage(const wchar_t* description)
{
    ReplaceImage(m_diFore.Edit(), description);
}

void CButtonUI::SetFiveStatusImage(const wchar_t* description)
{
    m_sPendingFiveStatusImage = description;
    ApplyFiveStatusImage();
    Invalidate();
}

bool CButtonUI::ApplyFiveStatusImage()
{
    if (m_pManager == nullptr || m_sPendingFiveStatusImage.IsEmpty())
        return false;
    TDrawInfo* slices[kFiveStatusSlices] = {&m_diNormal, &m_diPushed, &m_diHot, &m_diFocused, &m_diDisabled};
    const TImageInfo* image = nullptr;
    for (int i = 0; i < kFiveStatusSlices; ++i) {
        TDrawInfo& info = *slices[i];
        info.Clear();
        info.sDrawString = m_sPendingFiveStatusImage;
        DrawImage(nullptr, info); // parses the description and loads the image
        image = info.pImageInfo;
        if (image == nullptr)
            continue;
        const LONG slice = image->nX / kFiveStatusSlices;
        info.rcBmpPart = RECT{i * slice, 0, (i + 1) * slice, image->nY};
    }
    m_sPendingFiveStatusImage.Empty();
    if (image != nullptr && IsFloat() && m_cxyFixed.cx == 0 && m_cxyFixed.cy == 0) {
        m_cxyFixed.cx = image->nX / kFiveStatusSlices;
        m_cxyFixed.cy = image->nY;
    }
    return true;
}

void CButtonUI::SetFadeAlphaDelta(BYTE delta)
{
    m_uFadeAlphaDelta = delta;
}

BYTE CButtonUI::GetFadeAlphaDelta() const
{
    return m_uFadeAlphaDelta;
}

void CButtonUI::SetHotBkColor(DWORD color)
{
    m_dwHotBkColor = color;
}

DWORD CButtonUI::GetHotBkColor() const
{
    return m_dwHotBkColor;
}

void CButtonUI::SetHotTextColor(DWORD color)
{
    m_dwHotTextColor = color;
}

DWORD CButtonUI::GetHotTextColor() const
{
    return m_dwHotTextColor;
}

void CButtonUI::SetPushedTextColor(DWORD color)
{
    m_dwPushedTextColor = color;
}

DWORD CButtonUI::GetPushedTextColor() const
{
    return m_dwPushedTextColor;
}

void CButtonUI::SetFocusedTextColor(DWORD color)
{
    m_dwFocusedTextColor = color;
}

DWORD CButtonUI::GetFocusedTextColor() const
{
    return m_dwFocusedTextColor;
}

const CControlAttributeTable& CButtonUI::GetAttributeTable() const
{
    using C = CButtonUI;
    static const TAttribute<CButtonUI> kAttributes[] = {
        {L"normalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetNormalImage(v); }},
        {L"hotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetHotImage(v); }},
        {L"pushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetPushedImage(v); }},
        {L"focusedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetFocusedImage(v); }},
        {L"disabledimage", kValueImage, [](C& c, const wchar_t* v) { c.SetDisabledImage(v); }},
        {L"foreimage", kValueImage, [](C& c, const wchar_t* v) { c.SetForeImage(v); }},
        {L"hotforeimage", kValueImage, [](C& c, const wchar_t* v) { c.SetHotForeImage(v); }},
        {L"fivestatusimage", kValueImage, [](C& c, const wchar_t* v) { c.SetFiveStatusImage(v); }},
        {L"fadedelta", kValueNumber,
         [](C& c, const wchar_t* v) { c.SetFadeAlphaDelta(static_cast<BYTE>(ReadInt(v))); }},
        {L"hotbkcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetHotBkColor(ReadColor(v)); }},
        {L"hottextcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetHotTextColor(ReadColor(v)); }},
        {L"pushedtextcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetPushedTextColor(ReadColor(v)); }},
        {L"focusedtextcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetFocusedTextColor(ReadColor(v)); }},
    };
    static const TAttributeTable table(kAttributes, &CLabelUI::GetAttributeTable());
    return table;
}

// -- Painting --

namespace {

// Draws `info` with a constant opacity that replaces its own for this draw
// (the description is parsed first, so its "fade" cannot undo the choice).
bool DrawFaded(CControlUI& control, HDC hDC, TDrawInfo& info, BYTE fade)
{
    control.DrawImage(nullptr, info);
    const BYTE own = info.uFade;
    info.uFade = fade;
    const bool drawn = control.DrawImage(hDC, info);
    info.uFade = own;
    return drawn;
}

} // namespace

DWORD CButtonUI::GetFocusFrameColor() const
{
    if (!m_diFocused.sDrawString.IsEmpty() || m_dwFocusedTextColor != 0)
        return 0;
    return CLabelUI::GetFocusFrameColor();
}

void CButtonUI::PaintStatusImage(HDC hDC)
{
    ApplyFiveStatusImage();
    if (IsFocused())
        m_uButtonState |= UISTATE_FOCUSED;
    else
        m_uButtonState &= ~static_cast<UINT>(UISTATE_FOCUSED);
    if (!IsEnabled())
        m_uButtonState |= UISTATE_DISABLED;
    else
        m_uButtonState &= ~static_cast<UINT>(UISTATE_DISABLED);
    PaintButtonImages(hDC, m_uButtonState);
}

void CButtonUI::PaintButtonImages(HDC hDC, UINT state)
{
    bool normalPath = false;
    if ((state & UISTATE_DISABLED) != 0) {
        normalPath = !DrawImage(hDC, m_diDisabled);
    } else if ((state & UISTATE_PUSHED) != 0) {
        if (!DrawImage(hDC, m_diPushed))
            DrawImage(hDC, m_diNormal);
        if (DrawImage(hDC, m_diPushedFore))
            return;
    } else if ((state & UISTATE_HOT) != 0) {
        if (m_uFadeAlphaDelta > 0) {
            if (m_uFadeAlpha != 0)
                DrawFaded(*this, hDC, m_diNormal, m_uFadeAlpha);
            DrawFaded(*this, hDC, m_diHot, m_uFadeAlpha == 0 ? 255 : static_cast<BYTE>(255 - m_uFadeAlpha));
        } else if (!DrawImage(hDC, m_diHot)) {
            DrawImage(hDC, m_diNormal);
        }
        if (DrawImage(hDC, m_diHotFore))
            return;
        if (m_dwHotBkColor != 0) {
            CRenderEngine::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwHotBkColor));
            return;
        }
    } else if ((state & UISTATE_FOCUSED) != 0) {
        normalPath = !DrawImage(hDC, m_diFocused);
    } else {
        normalPath = true;
    }

    if (normalPath) {
        if (m_uFadeAlphaDelta > 0) {
            if (m_uFadeAlpha < 255) {
                DrawFaded(*this, hDC, m_diHot, static_cast<BYTE>(255 - m_uFadeAlpha));
                DrawFaded(*this, hDC, m_diNormal, m_uFadeAlpha);
            } else {
                DrawFaded(*this, hDC, m_diNormal, 255);
            }
        } else {
            DrawImage(hDC, m_diNormal);
        }
    }
    if (m_diFore.IsMade())
        DrawImage(hDC, m_diFore.Edit());
}

void CButtonUI::PaintText(HDC hDC)
{
    PaintButtonText(hDC, m_uButtonState);
}

void CButtonUI::PaintButtonText(HDC hDC, UINT state)
{
    ResolveDefaultColors();
    const CFacetString text = GetDisplayText();
    if (text.IsEmpty())
        return;
    DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if ((state & UISTATE_PUSHED) != 0 && m_dwPushedTextColor != 0)
        color = m_dwPushedTextColor;
    else if ((state & UISTATE_HOT) != 0 && m_dwHotTextColor != 0)
        color = m_dwHotTextColor;
    else if ((state & UISTATE_FOCUSED) != 0 && m_dwFocusedTextColor != 0)
        color = m_dwFocusedTextColor;
    DrawPlainText(hDC, GetTextRect(), text, color);
}

} // namespace Facet
