// CListHeaderUI and CListHeaderItemUI: the header row and its columns.
#include "ListUIHeader.h"

#include <algorithm>
#include <cwchar>

#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"
#include "ButtonUI.h"
#include "ControlDispatch.h"
#include "ListAttributeReaders.h"

namespace Facet {

using namespace list_attributes;

namespace {

int FontHeight(CPaintManagerUI* manager, int font)
{
    if (manager == nullptr)
        return 0;
    const TFontInfo* info = manager->GetFontInfo(font);
    return info != nullptr ? info->tm.tmHeight : 0;
}

} // namespace

// -- CListHeaderUI --

const wchar_t* CListHeaderUI::GetClass() const
{
    return L"ListHeader";
}

LPVOID CListHeaderUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHeader") == 0)
        return static_cast<CListHeaderUI*>(this);
    return CHorizontalLayoutUI::GetInterface(name);
}

SIZE CListHeaderUI::EstimateSize(SIZE available)
{
    SIZE size = {m_cxyFixed.cx, m_cxyFixed.cy};
    if (size.cy == 0) {
        for (int i = 0; i < GetCount(); ++i) {
            CControlUI* item = GetItemAt(i);
            if (item->IsVisible())
                size.cy = (std::max)(size.cy, item->EstimateSize(available).cy);
        }
    }
    return size;
}

// -- CListHeaderItemUI --

CListHeaderItemUI::CListHeaderItemUI()
    : m_bDragable(true),
      m_uButtonState(0),
      m_ptLastMouse{0, 0},
      m_iSepWidth(4),
      m_dwSepColor(0),
      m_dwTextColor(0),
      m_iFont(-1),
      m_uTextStyle(DT_VCENTER | DT_CENTER | DT_SINGLELINE),
      m_rcTextPadding{2, 0, 2, 0},
      m_bShowHtml(false)
{
}

const wchar_t* CListHeaderItemUI::GetClass() const
{
    return L"ListHeaderItem";
}

LPVOID CListHeaderItemUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHeaderItem") == 0)
        return static_cast<CListHeaderItemUI*>(this);
    return CControlUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const
{
    return (IsEnabled() && m_iSepWidth != 0) ? UIFLAG_SETCURSOR : 0;
}

void CListHeaderItemUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_uButtonState = 0;
}

SIZE CListHeaderItemUI::EstimateSize(SIZE /*available*/)
{
    if (m_cxyFixed.cy == 0)
        return SIZE{m_cxyFixed.cx, FontHeight(m_pManager, m_iFont) + 14};
    return m_cxyFixed;
}

RECT CListHeaderItemUI::GetThumbRect() const
{
    if (m_iSepWidth >= 0)
        return RECT{m_rcItem.right - m_iSepWidth, m_rcItem.top, m_rcItem.right, m_rcItem.bottom};
    return RECT{m_rcItem.left, m_rcItem.top, m_rcItem.left - m_iSepWidth, m_rcItem.bottom};
}

void CListHeaderItemUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(*this, event))
        return;
    if (TrackHot(*this, m_uButtonState, event))
        return;
    if (!HandleHeaderItemEvent(event))
        CControlUI::DoEvent(event);
}

// One line per event the header item answers; true when the event stops here.
bool CListHeaderItemUI::HandleHeaderItemEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
        OnButtonDown(event);
        return true;
    case UIEVENT_DBLCLICK:
        OnButtonDown(event);
        return true;
    case UIEVENT_BUTTONUP:
        OnButtonUp(event);
        return true;
    case UIEVENT_MOUSEMOVE:
        OnMouseMove(event);
        return true;
    case UIEVENT_SETCURSOR:
        OnSetCursor(event);
        return true;
    default:
        return false;
    }
}

// True when `point` is on the separator strip of a column that can be dragged.
bool CListHeaderItemUI::IsOnDragStrip(POINT point) const
{
    const RECT thumb = GetThumbRect();
    return m_bDragable && m_iSepWidth != 0 && PtInRect(&thumb, point);
}

// A press on the separator strip starts resizing the column; elsewhere it
// pushes the item.
void CListHeaderItemUI::OnButtonDown(const TEventUI& event)
{
    if (!IsEnabled())
        return;
    if (IsOnDragStrip(event.ptMouse)) {
        m_uButtonState |= UISTATE_CAPTURED;
        m_ptLastMouse = event.ptMouse;
    } else {
        m_uButtonState |= UISTATE_PUSHED;
        Invalidate();
    }
}

// Ends a resize, or a push: released over the item, a push is a "headerclick".
void CListHeaderItemUI::OnButtonUp(const TEventUI& event)
{
    if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
        m_uButtonState &= ~static_cast<UINT>(UISTATE_CAPTURED);
        NeedParentUpdate();
    } else if ((m_uButtonState & UISTATE_PUSHED) != 0) {
        m_uButtonState &= ~static_cast<UINT>(UISTATE_PUSHED);
        Invalidate();
        if (PtInRect(&m_rcItem, event.ptMouse) && m_pManager != nullptr)
            m_pManager->SendNotify(this, L"headerclick");
    }
}

// While resizing, the column follows the mouse.
void CListHeaderItemUI::OnMouseMove(const TEventUI& event)
{
    if ((m_uButtonState & UISTATE_CAPTURED) == 0)
        return;
    const long dx = event.ptMouse.x - m_ptLastMouse.x;
    const long width = m_rcItem.right - m_rcItem.left;
    // The strip on the left edge grows the column when dragged left.
    const long newWidth = (std::max)(0L, m_iSepWidth >= 0 ? width + dx : width - dx);
    m_ptLastMouse = event.ptMouse;
    m_cxyFixed.cx = newWidth;
    // The list lays out its columns and rows again.
    if (m_pParent != nullptr)
        m_pParent->NeedParentUpdate();
    else
        NeedUpdate();
}

// The resize cursor over the separator strip of an enabled item.
void CListHeaderItemUI::OnSetCursor(const TEventUI& event)
{
    const bool resize = IsEnabled() && IsOnDragStrip(event.ptMouse);
    ::SetCursor(::LoadCursorW(nullptr, resize ? IDC_SIZEWE : IDC_ARROW));
}

const CControlAttributeTable& CListHeaderItemUI::GetAttributeTable() const
{
    using C = CListHeaderItemUI;
    static const TAttribute<CListHeaderItemUI> kAttributes[] = {
        {L"normalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diNormal, v); }},
        {L"hotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diHot, v); }},
        {L"pushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diPushed, v); }},
        {L"focusedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diFocused, v); }},
        {L"sepimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diSep, v); }},
        {L"dragable", kValueFlag, [](C& c, const wchar_t* v) { c.SetDragable(IsTrue(v)); }},
        {L"align", kValueText, [](C& c, const wchar_t* v) { c.SetTextStyle(WithHorizontalAlign(c.m_uTextStyle, v)); }},
        {L"valign", kValueText,
         [](C& c, const wchar_t* v) { c.SetTextStyle(WithVerticalAlign(c.m_uTextStyle, v, L"vcenter")); }},
        {L"endellipsis", kValueFlag,
         [](C& c, const wchar_t* v) { c.SetTextStyle(WithStyleBit(c.m_uTextStyle, DT_END_ELLIPSIS, IsTrue(v))); }},
        {L"multiline", kValueFlag,
         [](C& c, const wchar_t* v) { c.SetTextStyle(WithMultiLine(c.m_uTextStyle, IsTrue(v))); }},
        {L"font", kValueFont, [](C& c, const wchar_t* v) { c.SetFont(static_cast<int>(wcstol(v, nullptr, 10))); }},
        {L"textcolor", kValueBlankColor, [](C& c, const wchar_t* v) { c.SetTextColor(ReadColorAfterBlanks(v)); }},
        {L"textpadding", kValueNumbers, [](C& c, const wchar_t* v) { c.SetTextPadding(ReadScaledRect(v)); }},
        {L"showhtml", kValueFlag, [](C& c, const wchar_t* v) { c.SetShowHtml(IsTrue(v)); }},
        {L"sepwidth", kValueNumber, [](C& c, const wchar_t* v) { c.SetSepWidth(ReadScaledInt(v)); }},
        {L"sepcolor", kValueBlankColor, [](C& c, const wchar_t* v) { c.SetSepColor(ReadColorAfterBlanks(v)); }},
    };
    static const TAttributeTable table(kAttributes, &CControlUI::GetAttributeTable());
    return table;
}

void CListHeaderItemUI::SetStateImage(TDrawInfo& image, const wchar_t* description)
{
    image = TDrawInfo(description);
    Invalidate();
}

void CListHeaderItemUI::PaintStatusImage(HDC hDC)
{
    // A state without an image shows the next state that has one.
    DrawFirstImage(*this, hDC,
                   {(m_uButtonState & UISTATE_PUSHED) != 0 ? &m_diPushed : nullptr,
                    (m_uButtonState & UISTATE_HOT) != 0 ? &m_diHot : nullptr, IsFocused() ? &m_diFocused : nullptr,
                    &m_diNormal});

    if (m_iSepWidth == 0)
        return;
    const RECT thumb = GetThumbRect();
    if (!m_diSep.sDrawString.IsEmpty()) {
        CRenderEngine::DrawImage(hDC, m_pManager, thumb, m_rcPaint, m_diSep);
    } else if (m_dwSepColor != 0) {
        CRenderEngine::DrawColor(hDC, thumb, GetAdjustColor(m_dwSepColor));
    }
}

void CListHeaderItemUI::PaintText(HDC hDC)
{
    const CFacetString text = GetText();
    if (text.IsEmpty() || m_pManager == nullptr)
        return;
    const DWORD color = m_dwTextColor != 0 ? m_dwTextColor : m_pManager->GetDefaultFontColor();
    DrawLabelText(hDC, m_pManager, Inset(m_rcItem, m_rcTextPadding), text, color, m_iFont, m_uTextStyle, m_bShowHtml);
}

bool CListHeaderItemUI::IsDragable() const
{
    return m_bDragable;
}

void CListHeaderItemUI::SetDragable(bool dragable)
{
    m_bDragable = dragable;
    if (!m_bDragable)
        m_uButtonState &= ~static_cast<UINT>(UISTATE_CAPTURED);
}

int CListHeaderItemUI::GetSepWidth() const
{
    return m_iSepWidth;
}

void CListHeaderItemUI::SetSepWidth(int width)
{
    m_iSepWidth = width;
    Invalidate();
}

DWORD CListHeaderItemUI::GetSepColor() const
{
    return m_dwSepColor;
}

void CListHeaderItemUI::SetSepColor(DWORD color)
{
    m_dwSepColor = color;
    Invalidate();
}

UINT CListHeaderItemUI::GetTextStyle() const
{
    return m_uTextStyle;
}

void CListHeaderItemUI::SetTextStyle(UINT style)
{
    m_uTextStyle = style;
    Invalidate();
}

DWORD CListHeaderItemUI::GetTextColor() const
{
    return m_dwTextColor;
}

void CListHeaderItemUI::SetTextColor(DWORD color)
{
    m_dwTextColor = color;
    Invalidate();
}

int CListHeaderItemUI::GetFont() const
{
    return m_iFont;
}

void CListHeaderItemUI::SetFont(int index)
{
    m_iFont = index;
    NeedParentUpdate();
}

RECT CListHeaderItemUI::GetTextPadding() const
{
    return m_rcTextPadding;
}

void CListHeaderItemUI::SetTextPadding(RECT padding)
{
    m_rcTextPadding = padding;
    Invalidate();
}

bool CListHeaderItemUI::IsShowHtml() const
{
    return m_bShowHtml;
}

void CListHeaderItemUI::SetShowHtml(bool showHtml)
{
    m_bShowHtml = showHtml;
    Invalidate();
}

const wchar_t* CListHeaderItemUI::GetNormalImage() const
{
    return m_diNormal.sDrawString;
}

const wchar_t* CListHeaderItemUI::GetHotImage() const
{
    return m_diHot.sDrawString;
}

const wchar_t* CListHeaderItemUI::GetPushedImage() const
{
    return m_diPushed.sDrawString;
}

const wchar_t* CListHeaderItemUI::GetFocusedImage() const
{
    return m_diFocused.sDrawString;
}

const wchar_t* CListHeaderItemUI::GetSepImage() const
{
    return m_diSep.sDrawString;
}

UINT CListHeaderItemUI::GetButtonState() const
{
    return m_uButtonState;
}

} // namespace Facet
