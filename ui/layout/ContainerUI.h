// IContainerUI, the child-list interface of every container, and CContainerUI,
// the control that owns an ordered list of children: it attaches them to the
// manager, stacks them over its client area, clips and paints them, routes
// hit tests, keys and the wheel into them and scrolls them with optional
// scroll bars. The layouts derive from it.
#pragma once

#include <windows.h>

#include "../control/ControlUI.h"
#include "../core/FacetArrays.h"
#include "../core/LazyValue.h"

namespace Facet {

class CScrollBarUI;

class IContainerUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"IContainer";
    // Null out of range.
    virtual CControlUI* GetItemAt(int index) const = 0;
    // -1 when the control is not a child.
    virtual int GetItemIndex(CControlUI* control) const = 0;
    // Moves a child to `index`; false (nothing changed) when the control is not
    // a child or the index is outside 0..count-1.
    virtual bool SetItemIndex(CControlUI* control, int index) = 0;
    // Moves the run of `count` children that starts at `control` to `newIndex`.
    virtual bool SetMultiItemIndex(CControlUI* control, int count, int newIndex) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    // Unless `doNotDestroy`, an auto-destroying container destroys the child
    // (through the manager's delayed clean-up when that is on).
    virtual bool Remove(CControlUI* control, bool doNotDestroy = false) = 0;
    virtual bool RemoveAt(int index, bool doNotDestroy = false) = 0;
    virtual void RemoveAll() = 0;

protected:
    ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"Container";
    CContainerUI();
    // Destroys every child at once and both scroll bars.
    ~CContainerUI() override;

    // "Container".
    const wchar_t* GetClass() const override;
    // The IContainerUI part for "IContainer", this control for "Container".
    LPVOID GetInterface(const wchar_t* name) override;

    // -- IContainerUI --
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

    // -- Overrides of the control base --
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    // The item rectangle minus the inset and the visible scroll bars.
    RECT GetClientPos() const override;
    // Every visible child covers the client area (within its min and max size);
    // floating children are placed by their anchors.
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetMouseEnabled(bool enabled = true) override;
    CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // -- Container operations --
    virtual RECT GetInset() const;
    virtual void SetInset(RECT inset);
    virtual int GetChildPadding() const;
    // Negative paddings are stored as 0.
    virtual void SetChildPadding(int padding);
    // 0 left, 1 center, 2 right.
    virtual UINT GetChildAlign() const;
    virtual void SetChildAlign(UINT align);
    // 0 top, 4 vcenter, 8 bottom.
    virtual UINT GetChildVAlign() const;
    virtual void SetChildVAlign(UINT align);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool autoDestroy);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool delayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enabled = true);

    // The index of the next (or previous) child from `index` that can take
    // part in selection: visible and enabled. -1 when there is none.
    virtual int FindSelectable(int index, bool forward = true) const;

    // Positions of the horizontal (cx) and vertical (cy) bars; 0 without a bar.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    // Moves the bars and shifts the children by the change.
    virtual void SetScrollPos(SIZE pos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    // Creates the requested bars that are missing and destroys the others.
    virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;

    // Places the floating child at `index` by its anchors and fixed offsets.
    virtual void SetFloatPos(int index);
    // Shows, hides, places and sizes the bars for content of the given size.
    // `rc` is the client rectangle of the layout pass that measured it; the
    // bars' room is worked out from the inset rectangle, so a bar that makes
    // the other one necessary is settled at once. A change of visibility, or
    // a position pulled back by a smaller range, lays the container out once
    // more (never more than once).
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);

    // -- Named descendants --
    CControlUI* FindSubControl(const wchar_t* name);
    CFacetString GetSubControlText(const wchar_t* name);
    bool SetSubControlText(const wchar_t* name, const wchar_t* text);
    int GetSubControlFixedHeight(const wchar_t* name);
    bool SetSubControlFixedHeight(const wchar_t* name, int height);
    int GetSubControlFixedWdith(const wchar_t* name);
    bool SetSubControlFixedWdith(const wchar_t* name, int width);
    CFacetString GetSubControlUserData(const wchar_t* name);
    bool SetSubControlUserData(const wchar_t* name, const wchar_t* text);

protected:
    // The item rectangle minus the inset (scroll bars not subtracted).
    RECT GetInsetRect() const;
    // Hands a child that leaves the list to delayed clean-up or destroys it.
    void DestroyChild(CControlUI* control);
    // Call-out-safe iteration: after a call into the child at `index` (taken
    // when the list's version was `version`), the index to go on from, so
    // that children removed or inserted meanwhile are neither touched after
    // being freed nor skipped nor visited twice.
    int ResumeIndex(int index, CControlUI* child, unsigned version) const;
    // A loop over the children at `index` starts loading the one a few
    // places further on (see PrefetchObject), so that walking a long list of
    // children does not wait for each child's memory in turn.
    void PrefetchAhead(int index) const;
    // The scroll-step of one line along an axis: the bar's unit when above 1,
    // else the default font's height plus 8 (8 without a manager).
    int LineStep(const CScrollBarUI* bar) const;

    CFacetPtrArray m_items;
    RECT m_rcInset;
    int m_iChildPadding;
    UINT m_iChildAlign;
    UINT m_iChildVAlign;
    bool m_bAutoDestroy;
    bool m_bDelayedDestroy;
    bool m_bMouseChildEnabled;
    // Set while the scroll-bar processing lays the container out once more.
    bool m_bScrollProcess;
    CScrollBarUI* m_pVerticalScrollBar;
    CScrollBarUI* m_pHorizontalScrollBar;
    // Grows with every change of the child list (see ResumeIndex).
    unsigned m_nItemsVersion;

private:
    // DoEvent's steps: keys and the wheel scroll the active bar.
    bool ScrollByKey(WCHAR key, bool vertical);
    bool ScrollByWheel(const TEventUI& event, bool verticalActive, bool horizontalActive);
    // Gives a bar the window's default style for its class ("VScrollBar" or
    // "HScrollBar"), when there is one.
    void ApplyScrollBarDefault(CScrollBarUI* bar, const wchar_t* className);
    // Applies a style list to one of this container's bars.
    void StyleScrollBar(CScrollBarUI* bar, const wchar_t* style);

    // Bars made while the container had no manager (a list makes its bar in
    // its constructor) still owe the window's default style; the styles they
    // were given meanwhile are applied again after it, as a skin's own
    // attributes come after the defaults.
    bool m_bScrollBarDefaultsPending = false;
    CLazyValue<CFacetString> m_sVerticalBarStyle;
    CLazyValue<CFacetString> m_sHorizontalBarStyle;
};

} // namespace Facet
