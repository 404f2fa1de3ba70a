// The list family's interfaces and shared item attributes, and CListUI: a
// list with a header row (CListHeaderUI) over a scrolling body of items
// (CListBodyUI). Items are list elements (IListItemUI); the list keeps the
// current selection, moves it by mouse and keys and reports it as
// "itemselect" (wParam the new index, lParam the old one).
#pragma once

#include <windows.h>

#include "../layout/VerticalLayoutUI.h"
#include "../render/ImageInfo.h"
#include "OwnedBodyUI.h"

namespace Facet {

class CListHeaderUI;
class CListBodyUI;

// Column slots of a list: header items beyond this many are not columns.
const int kListMaxColumns = 32;

// Gives the text of one cell of a text element when a list has a callback.
class IListCallbackUI
{
public:
    virtual const wchar_t* GetItemText(CControlUI* control, int index, int subItem) = 0;

protected:
    ~IListCallbackUI() = default;
};

// The item attributes shared by every row of a list (or of a combo's drop-down).
struct TListInfoUI
{
    TListInfoUI();

    // Reads one of the "item..." attributes; false when `name` is none of them.
    bool SetAttribute(const wchar_t* name, const wchar_t* value);
    // The "item..." attributes, which the list and the combo box read into
    // their item settings.
    static const TAttributeTableBase<TListInfoUI>& GetAttributeTable();

    int nColumns;                   // header items that are columns
    RECT rcColumn[kListMaxColumns]; // their rectangles in window coordinates
    int nItemHeight;                // height of rows without their own; 0 = from the font
    int nFont;                      // font index, -1 = the default font
    UINT uTextStyle;                // DT_* flags
    RECT rcTextPadding;
    DWORD dwTextColor;
    DWORD dwBkColor;
    TDrawInfo diBk;
    bool bAlternateBk; // background only on every other row
    DWORD dwSelectedTextColor;
    DWORD dwSelectedBkColor;
    TDrawInfo diSelected;
    DWORD dwHotTextColor;
    DWORD dwHotBkColor;
    TDrawInfo diHot;
    DWORD dwDisabledTextColor;
    DWORD dwDisabledBkColor;
    TDrawInfo diDisabled;
    int iVLineSize;
    DWORD dwVLineColor;
    int iHLineSize;
    DWORD dwHLineColor;
    bool bShowHtml;
    bool bMultiExpandable;
};

// What a row needs of the control that holds it (a list or a combo).
class IListOwnerUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"IListOwner";
    virtual TListInfoUI* GetListInfo() = 0;
    virtual int GetCurSel() const = 0;
    // Selects the row at `index` (-1 clears the selection). False when the
    // row cannot be selected.
    virtual bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) = 0;
    // Key and wheel events that reach a row.
    virtual void DoEvent(TEventUI& event) = 0;

protected:
    ~IListOwnerUI() = default;
};

// The list operations beyond row ownership.
class IListUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"IList";
    virtual CListHeaderUI* GetHeader() const = 0;
    virtual CContainerUI* GetList() const = 0;
    virtual IListCallbackUI* GetTextCallback() const = 0;
    virtual void SetTextCallback(IListCallbackUI* callback) = 0;
    // Records the expanded row; without multi-expanding the previous one collapses.
    virtual bool ExpandItem(int index, bool expand = true) = 0;
    virtual int GetExpandedItem() const = 0;

protected:
    ~IListUI() = default;
};

// One row of a list.
class IListItemUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"ListItem";
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() = 0;
    // The owner is asked for its "IListOwner" interface.
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    virtual void DrawItemText(HDC hDC, const RECT& rcItem) = 0;

protected:
    ~IListItemUI() = default;
};

// The row interface of a control, or null.
IListItemUI* AsListItem(CControlUI* control);
// The owner interface of a control, or null.
IListOwnerUI* AsListOwner(CControlUI* control);
// Draws a row's background for its state (UISTATE_* bits; `selected`) from
// the owner's item attributes, and the line under the row.
void DrawListRowBk(HDC hDC, CControlUI* row, const RECT& rcItem, IListOwnerUI* owner, int index, bool selected,
                   UINT state);
// The height of a row without a fixed height: the owner's item height, else
// the item font's height plus the item text padding.
int ListRowHeight(CControlUI* row, IListOwnerUI* owner);

class CListUI : public CVerticalLayoutUI, public IListUI, public IListOwnerUI
{
public:
    CListUI();
    ~CListUI() override;

    // "List".
    const wchar_t* GetClass() const override;
    // "List", "IList", "IListOwner"; the rest as a vertical layout.
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;

    // -- Rows: the container operations work on the body's rows. A
    // CListHeaderUI added replaces the (empty) header; header items go to
    // the header. --
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool SetMultiItemIndex(CControlUI* control, int count, int newIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;
    int FindSelectable(int index, bool forward = true) const override;

    // -- IListOwnerUI --
    TListInfoUI* GetListInfo() override;
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) override;
    // Arrows, page keys, home and end move the selection; the wheel scrolls
    // (or moves the selection with "scrollselect").
    void DoEvent(TEventUI& event) override;

    // -- IListUI --
    CListHeaderUI* GetHeader() const override;
    CContainerUI* GetList() const override;
    IListCallbackUI* GetTextCallback() const override;
    void SetTextCallback(IListCallbackUI* callback) override;
    bool ExpandItem(int index, bool expand = true) override;
    int GetExpandedItem() const override;

    // A list without a shown header still has its columns: the header is
    // laid out with no height.
    bool IsShowHeader() const;
    void SetShowHeader(bool show);
    bool IsScrollSelect() const;
    void SetScrollSelect(bool scrollSelect);
    // Scrolls the body so that the row is fully shown.
    void EnsureVisible(int index);

    // -- The header and body instead of the layout's children --
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    // The header on top at its estimated height (none when hidden), the body
    // below; the header items' rectangles become the columns.
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    // Scrolling is the body's.
    SIZE GetScrollPos() const override;
    SIZE GetScrollRange() const override;
    void SetScrollPos(SIZE pos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

protected:
    // Gives rows from `first` on their index (and this list as owner).
    void Reindex(int first);
    // The number of rows a page holds (at least 1).
    int RowsPerPage() const;
    // DoEvent's cases; each answers whether the event stops at the list.
    bool HandleListEvent(TEventUI& event);
    bool OnNavigationKey(WCHAR key);
    // The selectable row a page above or below the current one.
    int PageUpTarget() const;
    int PageDownTarget() const;
    void ActivateCurrent();
    bool OnScrollWheel(const TEventUI& event);

    CListHeaderUI* m_pHeader;
    CListBodyUI* m_pList;
    TListInfoUI m_ListInfo;
    IListCallbackUI* m_pCallback;
    int m_iCurSel;
    int m_iExpandedItem;
    bool m_bScrollSelect;
    bool m_bShowHeader;
};

// The scrolling body of a list: a vertical layout of the rows.
class CListBodyUI : public COwnedBodyUI<CListBodyUI, CListUI>
{
public:
    static constexpr const wchar_t* kClassName = L"ListBody";

    using COwnedBodyUI::COwnedBodyUI;
};

} // namespace Facet
