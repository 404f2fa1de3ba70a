// COptionUI ("Option"): a button with a selected state. Options that share a
// group name in one paint manager select one at a time; a change of the
// selection is announced as "selectchanged".
#pragma once

#include <windows.h>

#include "ButtonUI.h"

namespace Facet {

class COptionUI : public CButtonUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"Option";
    COptionUI();
    // Leaves the manager's option group.
    ~COptionUI() override;

    // "Option".
    const wchar_t* GetClass() const override;
    // This control for "Option", else the button's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    // Joins the option group when `init` is set.
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    // "click", then selects a grouped option or toggles an ungrouped one.
    bool Activate() override;
    // A disabled option keeps only its selected state bit.
    void SetEnabled(bool enabled = true) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // Changes the selection. A selected grouped option unselects the other
    // members of its group (silently); "selectchanged" is sent by a grouped
    // option that becomes selected and by an ungrouped one on every change,
    // when `notify` is set.
    virtual void Selected(bool selected, bool notify = true);
    bool IsSelected() const;

    // An empty or null name takes the option out of every group.
    void SetGroup(const wchar_t* groupName);
    const wchar_t* GetGroup() const;

    const wchar_t* GetSelectedImage() const;
    void SetSelectedImage(const wchar_t* description);
    const wchar_t* GetSelectedHotImage() const;
    void SetSelectedHotImage(const wchar_t* description);
    // The option's own fore image, drawn over the state images.
    const wchar_t* GetForeImage() const;
    void SetForeImage(const wchar_t* description);
    void SetSelectedBkColor(DWORD color);
    DWORD GetSelectedBkColor() const;
    void SetSelectedTextColor(DWORD color);
    DWORD GetSelectedTextColor() const;

protected:
    bool m_bSelected;
    CFacetString m_sGroupName;
    DWORD m_dwSelectedBkColor;
    DWORD m_dwSelectedTextColor;
    TDrawInfo m_diSelected;
    TDrawInfo m_diSelectedHot;
    TDrawInfo m_diSelectedFore;
};

} // namespace Facet
