// CListUI: header, body, rows and the selection; the shared item attributes.
#include "ListUI.h"

#include <algorithm>
#include <cwchar>

#include "../core/PaintManager.h"
#include "../render/RenderClip.h"
#include "../render/RenderEngine.h"
#include "ButtonUI.h"
#include "ControlDispatch.h"
#include "ListAttributeReaders.h"
#include "ListOwnerRows.h"
#include "ListUIHeader.h"
#include "ScrollBarUI.h"

namespace Facet {

using namespace list_attributes;

namespace {

bool IsShown(const CScrollBarUI* bar)
{
    return bar != nullptr && bar->IsVisible();
}

} // namespace

// -- Item attributes --

TListInfoUI::TListInfoUI()
    : nColumns(0),
      rcColumn(),
      nItemHeight(0),
      nFont(-1),
      uTextStyle(DT_VCENTER | DT_SINGLELINE),
      rcTextPadding{0, 0, 0, 0},
      dwTextColor(0xFF000000),
      dwBkColor(0),
      bAlternateBk(false),
      dwSelectedTextColor(0xFF000000),
      dwSelectedBkColor(0xFFC1E3FF),
      dwHotTextColor(0xFF000000),
      dwHotBkColor(0xFFE9F5FF),
      dwDisabledTextColor(0xFFCCCCCC),
      dwDisabledBkColor(0xFFFFFFFF),
      iVLineSize(0),
      dwVLineColor(0xFF3C3C3C),
      iHLineSize(0),
      dwHLineColor(0xFF3C3C3C),
      bShowHtml(false),
      bMultiExpandable(false)
{
}

bool TListInfoUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr)
        return false;
    return GetAttributeTable().Apply(*this, name, value != nullptr ? value : L"");
}

const TAttributeTableBase<TListInfoUI>& TListInfoUI::GetAttributeTable()
{
    using C = TListInfoUI;
    static const TAttribute<TListInfoUI> kAttributes[] = {
        {L"itemtextcolor", kValueBlankColor, [](C& c, const wchar_t* v) { c.dwTextColor = ReadColorAfterBlanks(v); }},
        {L"itembkcolor", kValueBlankColor, [](C& c, const wchar_t* v) { c.dwBkColor = ReadColorAfterBlanks(v); }},
        {L"itemselectedtextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.dwSelectedTextColor = ReadColorAfterBlanks(v); }},
        {L"itemselectedbkcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.dwSelectedBkColor = ReadColorAfterBlanks(v); }},
        {L"itemhottextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.dwHotTextColor = ReadColorAfterBlanks(v); }},
        {L"itemhotbkcolor", kValueBlankColor, [](C& c, const wchar_t* v) { c.dwHotBkColor = ReadColorAfterBlanks(v); }},
        {L"itemdisabledtextcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.dwDisabledTextColor = ReadColorAfterBlanks(v); }},
        {L"itemdisabledbkcolor", kValueBlankColor,
         [](C& c, const wchar_t* v) { c.dwDisabledBkColor = ReadColorAfterBlanks(v); }},
        {L"itemvlinecolor", kValueBlankColor, [](C& c, const wchar_t* v) { c.dwVLineColor = ReadColorAfterBlanks(v); }},
        {L"itemhlinecolor", kValueBlankColor, [](C& c, const wchar_t* v) { c.dwHLineColor = ReadColorAfterBlanks(v); }},
        {L"itembkimage", kValueImage, [](C& c, const wchar_t* v) { c.diBk = TDrawInfo(v); }},
        {L"itemselectedimage", kValueImage, [](C& c, const wchar_t* v) { c.diSelected = TDrawInfo(v); }},
        {L"itemhotimage", kValueImage, [](C& c, const wchar_t* v) { c.diHot = TDrawInfo(v); }},
        {L"itemdisabledimage", kValueImage, [](C& c, const wchar_t* v) { c.diDisabled = TDrawInfo(v); }},
        {L"itemheight", kValueNumber, [](C& c, const wchar_t* v) { c.nItemHeight = (std::max)(0, ReadScaledInt(v)); }},
        {L"itemfont", kValueFont, [](C& c, const wchar_t* v) { c.nFont = static_cast<int>(wcstol(v, nullptr, 10)); }},
        {L"itemalign", kValueText, [](C& c, const wchar_t* v) { c.uTextStyle = WithHorizontalAlign(c.uTextStyle, v); }},
        {L"itemvalign", kValueText,
         [](C& c, const wchar_t* v) { c.uTextStyle = WithVerticalAlign(c.uTextStyle, v, L"center"); }},
        {L"itemendellipsis", kValueFlag,
         [](C& c, const wchar_t* v) { c.uTextStyle = WithStyleBit(c.uTextStyle, DT_END_ELLIPSIS, IsTrue(v)); }},
        {L"itemmultiline", kValueFlag,
         [](C& c, const wchar_t* v) { c.uTextStyle = WithMultiLine(c.uTextStyle, IsTrue(v)); }},
        {L"itemtextpadding", kValueNumbers, [](C& c, const wchar_t* v) { c.rcTextPadding = ReadScaledRect(v); }},
        {L"itemaltbk", kValueFlag, [](C& c, const wchar_t* v) { c.bAlternateBk = IsTrue(v); }},
        {L"itemvlinesize", kValueNumber,
         [](C& c, const wchar_t* v) { c.iVLineSize = (std::max)(0, ReadScaledInt(v)); }},
        {L"itemhlinesize", kValueNumber,
         [](C& c, const wchar_t* v) { c.iHLineSize = (std::max)(0, ReadScaledInt(v)); }},
        {L"itemshowhtml", kValueFlag, [](C& c, const wchar_t* v) { c.bShowHtml = IsTrue(v); }},
    };
    static const TAttributeTable table(kAttributes, static_cast<const TAttributeTableBase<TListInfoUI>*>(nullptr));
    return table;
}

// -- Row helpers --

IListItemUI* AsListItem(CControlUI* control)
{
    return InterfaceCast<IListItemUI>(control);
}

IListOwnerUI* AsListOwner(CControlUI* control)
{
    return InterfaceCast<IListOwnerUI>(control);
}

void DrawListRowBk(HDC hDC, CControlUI* row, const RECT& rcItem, IListOwnerUI* owner, int index, bool selected,
                   UINT state)
{
    if (owner == nullptr)
        return;
    TListInfoUI* info = owner->GetListInfo();
    DWORD color = 0;
    TDrawInfo* image = nullptr;
    if (!row->IsEnabled()) {
        color = info->dwDisabledBkColor;
        image = &info->diDisabled;
    } else if (selected) {
        color = info->dwSelectedBkColor;
        image = &info->diSelected;
    } else if ((state & UISTATE_HOT) != 0) {
        color = info->dwHotBkColor;
        image = &info->diHot;
    } else if (!info->bAlternateBk || index % 2 == 0) {
        color = info->dwBkColor;
        image = &info->diBk;
    }
    if (color != 0)
        CRenderEngine::DrawColor(hDC, rcItem, row->GetAdjustColor(color));
    if (image != nullptr && !image->sDrawString.IsEmpty())
        row->DrawImage(hDC, *image);
    if (info->iHLineSize > 0) {
        const RECT line = {rcItem.left, rcItem.bottom - info->iHLineSize, rcItem.right,
                           rcItem.bottom - info->iHLineSize};
        CRenderEngine::DrawLine(hDC, line, info->iHLineSize, row->GetAdjustColor(info->dwHLineColor));
    }
}

int ListRowHeight(CControlUI* row, IListOwnerUI* owner)
{
    if (owner == nullptr)
        return 0;
    const TListInfoUI* info = owner->GetListInfo();
    if (info->nItemHeight > 0)
        return info->nItemHeight;
    CPaintManagerUI* manager = row->GetManager();
    if (manager == nullptr)
        return 0;
    const TFontInfo* font = manager->GetFontInfo(info->nFont);
    const int fontHeight = font != nullptr ? font->tm.tmHeight : 0;
    return fontHeight + 6 + info->rcTextPadding.top + info->rcTextPadding.bottom;
}

// -- CListUI --

CListUI::CListUI()
    : m_pHeader(new CListHeaderUI()),
      m_pList(new CListBodyUI(this)),
      m_pCallback(nullptr),
      m_iCurSel(-1),
      m_iExpandedItem(-1),
      m_bScrollSelect(false),
      m_bShowHeader(true)
{
    m_pHeader->SetManager(nullptr, this, false);
    m_pList->SetManager(nullptr, this, false);
    m_pList->EnableScrollBar(true, false);
}

CListUI::~CListUI()
{
    m_pHeader->Delete();
    m_pList->Delete();
}

const wchar_t* CListUI::GetClass() const
{
    return L"List";
}

LPVOID CListUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr) {
        if (wcscmp(name, L"List") == 0)
            return static_cast<CListUI*>(this);
        if (wcscmp(name, IListUI::kInterfaceName) == 0)
            return static_cast<IListUI*>(this);
        if (wcscmp(name, IListOwnerUI::kInterfaceName) == 0)
            return static_cast<IListOwnerUI*>(this);
    }
    return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetControlFlags() const
{
    return UIFLAG_TABSTOP;
}

// -- Rows --

CControlUI* CListUI::GetItemAt(int index) const
{
    return m_pList->GetItemAt(index);
}

int CListUI::GetItemIndex(CControlUI* control) const
{
    return m_pList->GetItemIndex(control);
}

bool CListUI::SetItemIndex(CControlUI* control, int index)
{
    const int old = m_pList->GetItemIndex(control);
    CControlUI* selected = GetItemAt(m_iCurSel);
    if (old < 0 || !m_pList->SetItemIndex(control, index))
        return false;
    m_iCurSel = selected != nullptr ? m_pList->GetItemIndex(selected) : -1;
    Reindex((std::min)(old, index));
    return true;
}

bool CListUI::SetMultiItemIndex(CControlUI* control, int count, int newIndex)
{
    const int old = m_pList->GetItemIndex(control);
    CControlUI* selected = GetItemAt(m_iCurSel);
    if (old < 0 || !m_pList->SetMultiItemIndex(control, count, newIndex))
        return false;
    m_iCurSel = selected != nullptr ? m_pList->GetItemIndex(selected) : -1;
    Reindex(0);
    return true;
}

int CListUI::GetCount() const
{
    return m_pList->GetCount();
}

bool CListUI::Add(CControlUI* control)
{
    return AddAt(control, m_pList->GetCount());
}

bool CListUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr)
        return false;
    if (control->GetInterface(L"ListHeader") != nullptr) {
        // A header of the skin takes the place of the built-in one while that
        // is still empty.
        if (control == m_pHeader || m_pHeader->GetCount() != 0)
            return false;
        CListHeaderUI* old = m_pHeader;
        m_pHeader = static_cast<CListHeaderUI*>(control);
        if (m_pManager != nullptr)
            m_pManager->InitControls(m_pHeader, this);
        else
            m_pHeader->SetManager(nullptr, this, false);
        if (old->GetBkImage()[0] != L'\0')
            m_pHeader->SetBkImage(old->GetBkImage());
        old->Delete();
        NeedUpdate();
        return true;
    }
    if (control->GetInterface(L"ListHeaderItem") != nullptr)
        return m_pHeader->Add(control);
    if (!m_pList->AddAt(control, index))
        return false;
    m_iCurSel = RowIndexAfterInsert(m_iCurSel, index);
    m_iExpandedItem = RowIndexAfterInsert(m_iExpandedItem, index);
    Reindex(index);
    return true;
}

bool CListUI::Remove(CControlUI* control, bool doNotDestroy)
{
    if (control == nullptr)
        return false;
    if (control->GetInterface(L"ListHeaderItem") != nullptr && m_pHeader->GetItemIndex(control) >= 0)
        return m_pHeader->Remove(control, doNotDestroy);
    const int index = m_pList->GetItemIndex(control);
    if (index < 0)
        return false;
    ReleaseListRow(control, doNotDestroy);
    if (!m_pList->Remove(control, doNotDestroy))
        return false;
    m_iCurSel = RowIndexAfterRemoval(m_iCurSel, index);
    m_iExpandedItem = RowIndexAfterRemoval(m_iExpandedItem, index);
    Reindex(index);
    return true;
}

bool CListUI::RemoveAt(int index, bool doNotDestroy)
{
    return Remove(m_pList->GetItemAt(index), doNotDestroy);
}

void CListUI::RemoveAll()
{
    m_iCurSel = -1;
    m_iExpandedItem = -1;
    m_pList->RemoveAll();
}

int CListUI::FindSelectable(int index, bool forward) const
{
    return m_pList->FindSelectable(index, forward);
}

void CListUI::Reindex(int first)
{
    ReindexListRows(*m_pList, this, first);
}

// -- Selection --

TListInfoUI* CListUI::GetListInfo()
{
    return &m_ListInfo;
}

int CListUI::GetCurSel() const
{
    return m_iCurSel;
}

bool CListUI::SelectItem(int index, bool takeFocus, bool triggerEvent)
{
    if (index == m_iCurSel) {
        if (takeFocus && index >= 0)
            GetItemAt(index)->SetFocus();
        return index >= 0;
    }
    const int old = m_iCurSel;
    const bool selected = MoveListSelection(*this, m_iCurSel, index);
    if (selected) {
        EnsureVisible(index);
        if (takeFocus)
            GetItemAt(index)->SetFocus();
    }
    if (triggerEvent && m_pManager != nullptr && m_iCurSel != old)
        m_pManager->SendNotify(this, L"itemselect", static_cast<WPARAM>(m_iCurSel), static_cast<LPARAM>(old));
    return selected;
}

int CListUI::RowsPerPage() const
{
    const RECT client = m_pList->GetClientPos();
    const int height = client.bottom - client.top;
    int rowHeight = 0;
    for (int i = 0; i < m_pList->GetCount() && rowHeight == 0; ++i) {
        CControlUI* row = m_pList->GetItemAt(i);
        if (row->IsVisible())
            rowHeight = row->GetHeight();
    }
    return rowHeight > 0 ? (std::max)(1, height / rowHeight) : 1;
}

void CListUI::DoEvent(TEventUI& event)
{
    if (PassMouseEventOn(*this, event))
        return;
    if (!HandleListEvent(event))
        CControlUI::DoEvent(event);
}

// One line per event the list answers; true when the event stops here.
bool CListUI::HandleListEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        m_bFocused = true;
        Invalidate();
        return true;
    case UIEVENT_KILLFOCUS:
        m_bFocused = false;
        Invalidate();
        return true;
    case UIEVENT_KEYDOWN:
        return IsKeyboardEnabled() && IsEnabled() && OnNavigationKey(event.chKey);
    case UIEVENT_SCROLLWHEEL:
        return OnScrollWheel(event);
    default:
        return false;
    }
}

// The arrows, page keys, Home and End move the selection; Return activates it.
bool CListUI::OnNavigationKey(WCHAR key)
{
    int row = -1;
    if (ArrowKeyRow(*this, m_iCurSel, key, row)) {
        SelectItem(row, true);
        return true;
    }
    switch (key) {
    case VK_PRIOR:
        SelectItem(PageUpTarget(), true);
        return true;
    case VK_NEXT:
        SelectItem(PageDownTarget(), true);
        return true;
    case VK_HOME:
        SelectItem(FindSelectable(0, true), true);
        return true;
    case VK_END:
        SelectItem(FindSelectable(GetCount() - 1, false), true);
        return true;
    case VK_RETURN:
        ActivateCurrent();
        return true;
    default:
        return false;
    }
}

int CListUI::PageUpTarget() const
{
    const int target = (std::max)(0, (m_iCurSel < 0 ? 0 : m_iCurSel) - RowsPerPage());
    const int above = FindSelectable(target, false);
    return above >= 0 ? above : FindSelectable(target, true);
}

int CListUI::PageDownTarget() const
{
    const int target = (std::min)(GetCount() - 1, m_iCurSel + RowsPerPage());
    const int below = FindSelectable(target, true);
    return below >= 0 ? below : FindSelectable(target, false);
}

void CListUI::ActivateCurrent()
{
    if (m_iCurSel >= 0)
        GetItemAt(m_iCurSel)->Activate();
}

bool CListUI::OnScrollWheel(const TEventUI& event)
{
    const bool towardsUser = LOWORD(event.wParam) == SB_LINEDOWN;
    if (m_bScrollSelect) {
        SelectItem(towardsUser ? SelectableRowBelow(*this, m_iCurSel) : SelectableRowAbove(*this, m_iCurSel), true);
        return true;
    }
    // Scrolled here rather than handed to the body: a body without a
    // bar hands the wheel back to its parent, this list.
    if (IsShown(m_pList->GetVerticalScrollBar())) {
        if (towardsUser)
            m_pList->LineDown();
        else
            m_pList->LineUp();
    }
    return true;
}

void CListUI::EnsureVisible(int index)
{
    CControlUI* row = GetItemAt(index);
    if (row == nullptr || m_pList->IsUpdateNeeded())
        return;
    const RECT client = m_pList->GetClientPos();
    const RECT pos = row->GetPos();
    if (pos.bottom <= pos.top)
        return;
    long delta = 0;
    if (pos.top < client.top)
        delta = pos.top - client.top;
    else if (pos.bottom > client.bottom)
        delta = (std::min)(pos.bottom - client.bottom, pos.top - client.top);
    if (delta == 0)
        return;
    SIZE scroll = m_pList->GetScrollPos();
    scroll.cy += delta;
    m_pList->SetScrollPos(scroll);
}

// -- IListUI --

CListHeaderUI* CListUI::GetHeader() const
{
    return m_pHeader;
}

CContainerUI* CListUI::GetList() const
{
    return m_pList;
}

IListCallbackUI* CListUI::GetTextCallback() const
{
    return m_pCallback;
}

void CListUI::SetTextCallback(IListCallbackUI* callback)
{
    m_pCallback = callback;
    Invalidate();
}

bool CListUI::ExpandItem(int index, bool expand)
{
    if (expand) {
        if (m_iExpandedItem >= 0 && m_iExpandedItem != index && !m_ListInfo.bMultiExpandable) {
            // Only one row is open at a time.
            const int previous = m_iExpandedItem;
            m_iExpandedItem = -1;
            if (IListItemUI* item = AsListItem(GetItemAt(previous)))
                item->Expand(false);
        }
        m_iExpandedItem = index;
    } else if (m_iExpandedItem == index) {
        m_iExpandedItem = -1;
    }
    NeedUpdate();
    return true;
}

int CListUI::GetExpandedItem() const
{
    return m_iExpandedItem;
}

bool CListUI::IsShowHeader() const
{
    return m_bShowHeader;
}

void CListUI::SetShowHeader(bool show)
{
    m_bShowHeader = show;
    NeedUpdate();
}

bool CListUI::IsScrollSelect() const
{
    return m_bScrollSelect;
}

void CListUI::SetScrollSelect(bool scrollSelect)
{
    m_bScrollSelect = scrollSelect;
}

// -- Header and body --

void CListUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    // Known before the rows hear of the manager, as in any container.
    m_pManager = manager;
    m_pParent = parent;
    m_pHeader->SetManager(manager, this, init);
    m_pList->SetManager(manager, this, init);
    CVerticalLayoutUI::SetManager(manager, parent, init);
}

void CListUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    const RECT client = GetClientPos();
    long headerHeight = 0;
    if (m_bShowHeader && m_pHeader->IsVisible()) {
        const SIZE available = {client.right - client.left, client.bottom - client.top};
        headerHeight = (std::min)(m_pHeader->EstimateSize(available).cy, available.cy);
    }
    // A header that is not shown is still laid out (with no height): its
    // items give the columns.
    m_pHeader->SetPos(RECT{client.left, client.top, client.right, client.top + headerHeight}, false);
    m_ListInfo.nColumns = (std::min)(m_pHeader->GetCount(), kListMaxColumns);
    for (int i = 0; i < m_ListInfo.nColumns; ++i) {
        CControlUI* column = m_pHeader->GetItemAt(i);
        m_ListInfo.rcColumn[i] = column->IsVisible() ? column->GetPos() : RECT{0, 0, 0, 0};
    }
    m_pList->SetPos(RECT{client.left, client.top + headerHeight, client.right, client.bottom}, false);
}

void CListUI::Move(SIZE offset, bool needInvalidate)
{
    CControlUI::Move(offset, needInvalidate);
    m_pHeader->Move(offset, false);
    m_pList->Move(offset, false);
    for (int i = 0; i < m_ListInfo.nColumns; ++i)
        OffsetRect(&m_ListInfo.rcColumn[i], offset.cx, offset.cy);
}

void CListUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    const bool shown = IsVisible();
    m_pHeader->SetInternVisible(shown);
    m_pList->SetInternVisible(shown);
}

void CListUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
    const bool shown = IsVisible();
    m_pHeader->SetInternVisible(shown);
    m_pList->SetInternVisible(shown);
}

CControlUI* CListUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    if (!SearchEnters(*this, proc, data, flags))
        return nullptr;
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    const bool selfMayAnswer = !hitTest || IsMouseEnabled();
    const bool childrenMayAnswer = !hitTest || IsMouseChildEnabled();
    return SearchSelfAndInside(*this, proc, data, flags, selfMayAnswer, [&]() -> CControlUI* {
        if (!childrenMayAnswer)
            return nullptr;
        CControlUI* result = m_pCover != nullptr ? m_pCover->FindControl(proc, data, flags) : nullptr;
        if (result == nullptr)
            result = m_pHeader->FindControl(proc, data, flags);
        if (result == nullptr)
            result = m_pList->FindControl(proc, data, flags);
        return result;
    });
}

bool CListUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    RECT rcOuter;
    if (!IntersectRect(&rcOuter, &rcPaint, &m_rcItem))
        return true;
    CRenderClip clip;
    CRenderClip::GenerateClip(hDC, rcOuter, clip);
    CControlUI::DoPaint(hDC, rcPaint, stopControl);
    for (CControlUI* part : {static_cast<CControlUI*>(m_pHeader), static_cast<CControlUI*>(m_pList)}) {
        if (part == stopControl)
            return false;
        RECT common;
        if (!part->IsVisible() || !IntersectRect(&common, &rcPaint, &part->GetPos()))
            continue;
        if (!part->Paint(hDC, rcPaint, stopControl))
            return false;
    }
    return true;
}

const CControlAttributeTable& CListUI::GetAttributeTable() const
{
    using C = CListUI;
    static const TAttribute<CListUI> kAttributes[] = {
        {L"header", kValueText, [](C& c, const wchar_t* v) { c.SetShowHeader(!Equals(v, L"hidden")); }},
        {L"headerbkimage", kValueImage, [](C& c, const wchar_t* v) { c.m_pHeader->SetBkImage(v); }},
        {L"scrollselect", kValueFlag, [](C& c, const wchar_t* v) { c.SetScrollSelect(IsTrue(v)); }},
        {L"multiexpanding", kValueFlag, [](C& c, const wchar_t* v) { c.m_ListInfo.bMultiExpandable = IsTrue(v); }},
        {L"vscrollbar", kValueFlag,
         [](C& c, const wchar_t* v) {
             c.m_pList->EnableScrollBar(IsTrue(v), c.m_pList->GetHorizontalScrollBar() != nullptr);
         }},
        {L"hscrollbar", kValueFlag,
         [](C& c, const wchar_t* v) {
             c.m_pList->EnableScrollBar(c.m_pList->GetVerticalScrollBar() != nullptr, IsTrue(v));
         }},
    };
    // The item attributes go to the item settings; the rows are laid out again.
    static const TPartAttributeTable<CControlUI, CListUI, TListInfoUI> items(
        TListInfoUI::GetAttributeTable(), [](C& c) -> TListInfoUI& { return c.m_ListInfo; },
        [](C& c) { c.NeedUpdate(); }, &CVerticalLayoutUI::GetAttributeTable());
    static const TAttributeTable table(kAttributes, &items);
    return table;
}

// -- Scrolling --

SIZE CListUI::GetScrollPos() const
{
    return m_pList->GetScrollPos();
}

SIZE CListUI::GetScrollRange() const
{
    return m_pList->GetScrollRange();
}

void CListUI::SetScrollPos(SIZE pos)
{
    m_pList->SetScrollPos(pos);
}

void CListUI::LineUp()
{
    m_pList->LineUp();
}

void CListUI::LineDown()
{
    m_pList->LineDown();
}

void CListUI::PageUp()
{
    m_pList->PageUp();
}

void CListUI::PageDown()
{
    m_pList->PageDown();
}

void CListUI::HomeUp()
{
    m_pList->HomeUp();
}

void CListUI::EndDown()
{
    m_pList->EndDown();
}

void CListUI::EnableScrollBar(bool enableVertical, bool enableHorizontal)
{
    m_pList->EnableScrollBar(enableVertical, enableHorizontal);
}

CScrollBarUI* CListUI::GetVerticalScrollBar() const
{
    return m_pList->GetVerticalScrollBar();
}

CScrollBarUI* CListUI::GetHorizontalScrollBar() const
{
    return m_pList->GetHorizontalScrollBar();
}

} // namespace Facet
