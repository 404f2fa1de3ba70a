// CComboUI: a drop-down list. The combo holds the rows; it shows the selected
// row's text and, when activated, opens them in a native pop-up window
// (CComboWnd) under itself, sending "dropdown". Choosing a row sends
// "itemselect" (wParam the new index, lParam the old one).
#pragma once

#include <windows.h>

#include "../layout/ContainerUI.h"
#include "../layout/VerticalLayoutUI.h"
#include "ListUI.h"
#include "OwnedBodyUI.h"

namespace Facet {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"Combo";
    CComboUI();
    // Closes an open drop-down first: its rows come back before they are destroyed.
    ~CComboUI() override;

    // "Combo".
    const wchar_t* GetClass() const override;
    // "Combo", "IListOwner"; the rest as a container.
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    // Opens the drop-down and sends "dropdown".
    bool Activate() override;
    void SetEnabled(bool enabled = true) override;

    // Rows get this combo as owner and their index.
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;

    // -- IListOwnerUI --
    TListInfoUI* GetListInfo() override;
    int GetCurSel() const override;
    bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) override;
    // Clicks open the drop-down; arrows and the wheel move the selection.
    void DoEvent(TEventUI& event) override;

    // The rows are not laid out inside the combo (they are shown only in
    // the drop-down).
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    // Hit tests never reach the rows; other searches do.
    CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC hDC) override;
    // The selected row's text inside the text padding.
    void PaintText(HDC hDC) override;
    const CControlAttributeTable& GetAttributeTable() const override;

    // The open drop-down, or null.
    CComboWnd* GetDropWindow() const;
    // Closes an open drop-down at once.
    void CloseDropDown();
    CFacetString GetDropBoxAttributeList() const;
    void SetDropBoxAttributeList(const wchar_t* list);
    SIZE GetDropBoxSize() const;
    void SetDropBoxSize(SIZE size);
    RECT GetTextPadding() const;
    void SetTextPadding(RECT padding);
    bool IsShowText() const;
    void SetShowText(bool show);
    UINT GetButtonState() const;
    const wchar_t* GetNormalImage() const;
    const wchar_t* GetHotImage() const;
    const wchar_t* GetPushedImage() const;
    const wchar_t* GetFocusedImage() const;
    const wchar_t* GetDisabledImage() const;

private:
    // DoEvent's steps (see HandleComboEvent).
    bool HandleComboEvent(TEventUI& event);
    void OnButtonDown();
    void OnButtonUp();
    bool OnKeyDown(const TEventUI& event);
    void OnScrollWheel(const TEventUI& event);
    void OnMouseEnter(const TEventUI& event);

    friend class CComboWnd;

    // Called by the drop-down when it goes away.
    void DropDownClosed();
    void Reindex(int first);
    // A state image set from the skin; the box is painted again.
    void SetStateImage(TDrawInfo& image, const wchar_t* description);

    CComboWnd* m_pWindow;
    int m_iCurSel;
    RECT m_rcTextPadding;
    bool m_bShowText;
    CFacetString m_sDropBoxAttributes;
    SIZE m_szDropBox;
    UINT m_uButtonState;
    TDrawInfo m_diNormal;
    TDrawInfo m_diHot;
    TDrawInfo m_diPushed;
    TDrawInfo m_diFocused;
    TDrawInfo m_diDisabled;
    TListInfoUI m_ListInfo;
};

// The layout of the drop-down window: the combo's rows, stacked and scrolled.
class CComboBodyUI : public COwnedBodyUI<CComboBodyUI, CComboUI>
{
public:
    static constexpr const wchar_t* kClassName = L"ComboBody";

    using COwnedBodyUI::COwnedBodyUI;
};

} // namespace Facet
