// The plain rows of a list: CListElementUI (selection, hot state, row
// background from the owner's item attributes), CListLabelElementUI (one
// text) and CListTextElementUI (one text per column, with links).
#pragma once

#include <windows.h>

#include <vector>

#include "ListRowUI.h"

namespace Facet {

class CListElementUI : public CListRowUI<CControlUI>
{
public:
    // "ListElement".
    const wchar_t* GetClass() const override;
    // "ListElement", "ListItem"; the rest as a control.
    LPVOID GetInterface(const wchar_t* name) override;

    // -- IListItemUI: plain rows do not expand --
    bool IsExpanded() const override;
    bool Expand(bool expand = true) override;

protected:
    // The text colour of the current state from the owner's item attributes.
    DWORD ItemTextColor(const TListInfoUI& info) const;
    // Height of a row: the fixed height, else the owner's item height, else
    // the item font's height plus the text padding.
    int RowHeight() const;
};

class CListLabelElementUI : public CListElementUI
{
public:
    // "ListLabelElement".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    SIZE EstimateSize(SIZE available) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;
    // The text inside `rcItem` less the item text padding.
    void DrawItemText(HDC hDC, const RECT& rcItem) override;
};

class CListTextElementUI : public CListLabelElementUI
{
public:
    static const int kMaxLinks = 8;

    CListTextElementUI();

    // "ListTextElement".
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetOwner(CControlUI* owner) override;
    // Hovering a link, clicking it ("link" with the link's number in wParam).
    void DoEvent(TEventUI& event) override;
    // One cell per column (the whole row without columns); the owner's text
    // callback, when it has one, gives the texts.
    void DrawItemText(HDC hDC, const RECT& rcItem) override;

    // The text of a column (empty beyond the stored ones).
    CFacetString GetText(int column) const;
    void SetText(int column, const wchar_t* text);
    using CListLabelElementUI::GetText;
    using CListLabelElementUI::SetText;
    // The links laid out by the last paint.
    int GetLinkCount() const;
    CFacetString GetLinkContent(int index) const;
    RECT GetLinkRect(int index) const;

private:
    int LinkAt(POINT pt) const;

    std::vector<CFacetString> m_aTexts;
    IListUI* m_pOwnerList;
    int m_nLinks;
    RECT m_rcLinks[kMaxLinks];
    CFacetString m_sLinks[kMaxLinks];
    int m_nHoverLink;
};

} // namespace Facet
