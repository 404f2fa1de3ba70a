// CComboUI and CComboBodyUI.
#include "ComboUI.h"

#include <cwchar>

#include "../core/FacetGeometry.h"
#include "../core/PaintManager.h"
#include "../render/RenderClip.h"
#include "ButtonUI.h"
#include "ComboUIWnd.h"
#include "ControlDispatch.h"
#include "ListAttributeReaders.h"
#include "ListOwnerRows.h"

namespace Facet {

using namespace list_attributes;

CComboUI::CComboUI()
    : m_pWindow(nullptr),
      m_iCurSel(-1),
      m_rcTextPadding{0, 0, 0, 0},
      m_bShowText(true),
      m_szDropBox{0, 150},
      m_uButtonState(0)
{
    m_szDropBox.cy = ScaleByWindow(150);
}

CComboUI::~CComboUI()
{
    CloseDropDown();
}

const wchar_t* CComboUI::GetClass() const
{
    return L"Combo";
}

LPVOID CComboUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr) {
        if (wcscmp(name, kInterfaceName) == 0)
            return static_cast<CComboUI*>(this);
        if (wcscmp(name, L"IListOwner") == 0)
            return static_cast<IListOwnerUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const
{
    return UIFLAG_TABSTOP;
}

bool CComboUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (m_pWindow != nullptr)
        return true;
    if (m_pManager == nullptr || m_pManager->GetPaintWindow() == nullptr)
        return false;
    m_pWindow = new CComboWnd();
    if (!m_pWindow->Init(this)) {
        // The window deleted itself.
        m_pWindow = nullptr;
        return false;
    }
    m_pManager->SendNotify(this, L"dropdown", 0, 0, true);
    Invalidate();
    return true;
}

void CComboUI::SetEnabled(bool enabled)
{
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled()) {
        m_uButtonState = 0;
        CloseDropDown();
    }
}

// -- Rows --

void CComboUI::Reindex(int first)
{
    ReindexListRows(*this, this, first);
}

bool CComboUI::Add(CControlUI* control)
{
    return AddAt(control, m_items.GetSize());
}

bool CComboUI::AddAt(CControlUI* control, int index)
{
    // Rows cannot change while they live in the open drop-down.
    if (m_pWindow != nullptr)
        return false;
    if (!CContainerUI::AddAt(control, index))
        return false;
    m_iCurSel = RowIndexAfterInsert(m_iCurSel, index);
    Reindex(index);
    return true;
}

bool CComboUI::Remove(CControlUI* control, bool doNotDestroy)
{
    if (m_pWindow != nullptr)
        return false;
    const int index = GetItemIndex(control);
    if (index < 0)
        return false;
    ReleaseListRow(control, doNotDestroy);
    if (!CContainerUI::Remove(control, doNotDestroy))
        return false;
    m_iCurSel = RowIndexAfterRemoval(m_iCurSel, index);
    Reindex(index);
    Invalidate();
    return true;
}

bool CComboUI::RemoveAt(int index, bool doNotDestroy)
{
    return Remove(GetItemAt(index), doNotDestroy);
}

void CComboUI::RemoveAll()
{
    if (m_pWindow != nullptr)
        return;
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
    Invalidate();
}

// -- Selection --

TListInfoUI* CComboUI::GetListInfo()
{
    return &m_ListInfo;
}

int CComboUI::GetCurSel() const
{
    return m_iCurSel;
}

bool CComboUI::SelectItem(int index, bool takeFocus, bool triggerEvent)
{
    if (index == m_iCurSel)
        return index >= 0;
    const int old = m_iCurSel;
    const bool selected = MoveListSelection(*this, m_iCurSel, index);
    if (selected && m_pWindow != nullptr) {
        m_pWindow->EnsureVisible(index);
        if (takeFocus)
            GetItemAt(index)->SetFocus();
    }
    Invalidate();
    if (triggerEvent && m_pManager != nullptr && m_iCurSel != old)
        m_pManager->SendNotify(this, L"itemselect", static_cast<WPARAM>(m_iCurSel), static_cast<LPARAM>(old));
    return selected;
}

void CComboUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(*this, event))
        return;
    if (!HandleComboEvent(event))
        CControlUI::DoEvent(event);
}

// One line per event the box answers; true when the event stops here, false
// when the control goes on with it.
bool CComboUI::HandleComboEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
        OnButtonDown();
        return true;
    case UIEVENT_DBLCLICK:
        OnButtonDown();
        return true;
    case UIEVENT_BUTTONUP:
        OnButtonUp();
        return true;
    case UIEVENT_MOUSEMOVE:
        return true;
    case UIEVENT_KEYDOWN:
        return OnKeyDown(event);
    case UIEVENT_SCROLLWHEEL:
        OnScrollWheel(event);
        return true;
    case UIEVENT_MOUSEENTER:
        OnMouseEnter(event);
        return true;
    case UIEVENT_MOUSELEAVE:
        ClearHot(*this, m_uButtonState);
        return true;
    default:
        return false;
    }
}

// A press opens the drop-down; the box shows pushed until the release.
void CComboUI::OnButtonDown()
{
    if (!IsEnabled())
        return;
    m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
    Invalidate();
    Activate();
}

void CComboUI::OnButtonUp()
{
    if ((m_uButtonState & UISTATE_CAPTURED) == 0)
        return;
    m_uButtonState &= ~static_cast<UINT>(UISTATE_PUSHED | UISTATE_CAPTURED);
    Invalidate();
}

// Up and down select the next selectable row, F4 opens the drop-down; false
// for any other key.
bool CComboUI::OnKeyDown(const TEventUI& event)
{
    int row = -1;
    if (ArrowKeyRow(*this, m_iCurSel, event.chKey, row)) {
        SelectItem(row, true);
        return true;
    }
    if (event.chKey != VK_F4)
        return false;
    Activate();
    return true;
}

// The wheel moves the selection (the focus stays where it is).
void CComboUI::OnScrollWheel(const TEventUI& event)
{
    const bool towardsUser = LOWORD(event.wParam) == SB_LINEDOWN;
    SelectItem(towardsUser ? SelectableRowBelow(*this, m_iCurSel) : SelectableRowAbove(*this, m_iCurSel), false);
}

void CComboUI::OnMouseEnter(const TEventUI& event)
{
    // Unlike the header item or the slider, only an entry inside the box.
    if (PtInRect(&m_rcItem, event.ptMouse))
        MarkHot(*this, m_uButtonState);
}

// -- Layout and painting --

void CComboUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    // While the drop-down is open the rows belong to its layout.
    if (m_pWindow != nullptr)
        return;
    for (int i = 0; i < m_items.GetSize(); ++i)
        GetItemAt(i)->SetPos(RECT{0, 0, 0, 0}, false);
}

void CComboUI::Move(SIZE offset, bool needInvalidate)
{
    CControlUI::Move(offset, needInvalidate);
}

CControlUI* CComboUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    if ((flags & UIFIND_HITTEST) != 0)
        return CControlUI::FindControl(proc, data, flags);
    return CContainerUI::FindControl(proc, data, flags);
}

bool CComboUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    return CControlUI::DoPaint(hDC, rcPaint, stopControl);
}

void CComboUI::PaintStatusImage(HDC hDC)
{
    TDrawInfo* image = &m_diNormal;
    if (!IsEnabled())
        image = &m_diDisabled;
    else if ((m_uButtonState & UISTATE_PUSHED) != 0 || m_pWindow != nullptr)
        image = &m_diPushed;
    else if ((m_uButtonState & UISTATE_HOT) != 0)
        image = &m_diHot;
    else if (IsFocused())
        image = &m_diFocused;
    // A state without an image shows the normal one (not the next state's).
    DrawFirstImage(*this, hDC, {image, &m_diNormal});
}

void CComboUI::PaintText(HDC hDC)
{
    if (!m_bShowText)
        return;
    IListItemUI* item = AsListItem(GetItemAt(m_iCurSel));
    if (item == nullptr)
        return;
    item->DrawItemText(hDC, Inset(m_rcItem, m_rcTextPadding));
}

const CControlAttributeTable& CComboUI::GetAttributeTable() const
{
    using C = CComboUI;
    static const TAttribute<CComboUI> kAttributes[] = {
        {L"normalimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diNormal, v); }},
        {L"hotimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diHot, v); }},
        {L"pushedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diPushed, v); }},
        {L"focusedimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diFocused, v); }},
        {L"disabledimage", kValueImage, [](C& c, const wchar_t* v) { c.SetStateImage(c.m_diDisabled, v); }},
        {L"textpadding", kValueNumbers, [](C& c, const wchar_t* v) { c.SetTextPadding(ReadScaledRect(v)); }},
        {L"showtext", kValueFlag, [](C& c, const wchar_t* v) { c.SetShowText(IsTrue(v)); }},
        {L"dropbox", kValueList, [](C& c, const wchar_t* v) { c.SetDropBoxAttributeList(v); }},
        {L"dropboxsize", kValueNumbers,
         [](C& c, const wchar_t* v) {
             long n[2] = {0, 0};
             ParseIntList(v, n, 2);
             c.SetDropBoxSize(SIZE{ScaleByWindow(n[0]), ScaleByWindow(n[1])});
         }},
    };
    // The item attributes of the drop-down's rows.
    static const TPartAttributeTable<CControlUI, CComboUI, TListInfoUI> items(
        TListInfoUI::GetAttributeTable(), [](C& c) -> TListInfoUI& { return c.m_ListInfo; }, nullptr,
        &CContainerUI::GetAttributeTable());
    static const TAttributeTable table(kAttributes, &items);
    return table;
}

void CComboUI::SetStateImage(TDrawInfo& image, const wchar_t* description)
{
    image = TDrawInfo(description);
    Invalidate();
}

// -- Drop-down --

CComboWnd* CComboUI::GetDropWindow() const
{
    return m_pWindow;
}

void CComboUI::CloseDropDown()
{
    if (m_pWindow == nullptr)
        return;
    CComboWnd* window = m_pWindow;
    window->OwnerDestroyed();
    m_pWindow = nullptr;
}

void CComboUI::DropDownClosed()
{
    m_pWindow = nullptr;
    m_uButtonState &= ~static_cast<UINT>(UISTATE_PUSHED | UISTATE_CAPTURED);
    // The rows are placed out of sight again.
    NeedUpdate();
    Invalidate();
}

CFacetString CComboUI::GetDropBoxAttributeList() const
{
    return m_sDropBoxAttributes;
}

void CComboUI::SetDropBoxAttributeList(const wchar_t* list)
{
    m_sDropBoxAttributes = list;
}

SIZE CComboUI::GetDropBoxSize() const
{
    return m_szDropBox;
}

void CComboUI::SetDropBoxSize(SIZE size)
{
    m_szDropBox = size;
}

RECT CComboUI::GetTextPadding() const
{
    return m_rcTextPadding;
}

void CComboUI::SetTextPadding(RECT padding)
{
    m_rcTextPadding = padding;
    Invalidate();
}

bool CComboUI::IsShowText() const
{
    return m_bShowText;
}

void CComboUI::SetShowText(bool show)
{
    m_bShowText = show;
    Invalidate();
}

UINT CComboUI::GetButtonState() const
{
    return m_uButtonState;
}

const wchar_t* CComboUI::GetNormalImage() const
{
    return m_diNormal.sDrawString;
}

const wchar_t* CComboUI::GetHotImage() const
{
    return m_diHot.sDrawString;
}

const wchar_t* CComboUI::GetPushedImage() const
{
    return m_diPushed.sDrawString;
}

const wchar_t* CComboUI::GetFocusedImage() const
{
    return m_diFocused.sDrawString;
}

const wchar_t* CComboUI::GetDisabledImage() const
{
    return m_diDisabled.sDrawString;
}

} // namespace Facet
