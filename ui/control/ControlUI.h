// CControlUI: the root class of every element of the control tree. It holds
// the state all controls share (name, text, geometry, colours, border,
// background image, visibility and input flags, custom attributes), reads the
// common skin attributes, paints background, image and border inside an
// optional rounded clip, keeps the invalidation rules and bubbles events it
// does not handle to its parent.
#pragma once

#include <windows.h>

#include "../core/AttributeTable.h"
#include "../core/Delegate.h"
#include "../core/FacetString.h"
#include "../core/FacetStringPtrMap.h"
#include "../core/LazyValue.h"
#include "../core/PaintManagerTypes.h"
#include "../render/ImageInfo.h"

namespace Facet {

class CPaintManagerUI;
class CControlUI;

// Anchors of a floating control's four edges as fractions of its parent's
// width (left, right) and height (top, bottom).
struct TPercentInfo
{
    double left;
    double top;
    double right;
    double bottom;
};

// Tree search callback: answers the control itself (or another) to stop the
// search with that result, or null to go on.
typedef CControlUI*(CALLBACK* FINDCONTROLPROC)(CControlUI*, LPVOID);

// The chain of attribute tables of a control class (see AttributeTable.h).
typedef TAttributeTableBase<CControlUI> CControlAttributeTable;

class CControlUI
{
public:
    CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // Unregisters from the manager's mouse-leave list and destroys the control.
    virtual void Delete();
    // Destroys the cover, frees the custom attributes, fires OnDestroy and
    // tells the manager to forget every reference to this control.
    virtual ~CControlUI();

    virtual CFacetString GetName() const { return m_sName.Get(); }
    virtual void SetName(const wchar_t* name);
    // "Control".
    virtual const wchar_t* GetClass() const;
    // This control for "Control", else null.
    virtual LPVOID GetInterface(const wchar_t* name);
    // UIFLAG_* bits; 0 here.
    virtual UINT GetControlFlags() const;
    virtual HWND GetNativeWindow() const;
    // True when the control is visible and enabled.
    virtual bool Activate();

    virtual CPaintManagerUI* GetManager() const { return m_pManager; }
    // Hands the cover the same manager, stores manager and parent, and runs
    // Init when `init` is set and there is a parent.
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const { return m_pParent; }
    virtual CControlUI* GetCover() const { return m_pCover; }
    // Takes ownership of `cover` (null removes the current one).
    virtual void SetCover(CControlUI* cover);

    // With resource text on, the text is a key of the language table.
    virtual CFacetString GetText() const;
    virtual void SetText(const wchar_t* text);
    virtual bool IsResourceText() const { return m_bResourceText; }
    virtual void SetResourceText(bool resource);

    // Window coordinates of the control.
    virtual const RECT& GetPos() const { return m_rcItem; }
    // The position relative to the parent's top-left; empty without a parent.
    virtual RECT GetRelativePos() const;
    virtual RECT GetClientPos() const;
    // Places the control (a floating control takes `rc` relative to its
    // parent) and invalidates old and new areas when asked.
    virtual void SetPos(RECT rc, bool needInvalidate = true);
    virtual void Move(SIZE offset, bool needInvalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const { return m_rcPadding; }
    virtual void SetPadding(RECT padding);
    virtual SIZE GetFixedXY() const { return m_cXY; }
    // Scaled by the window scale factor.
    virtual void SetFixedXY(SIZE xy);
    virtual TPercentInfo GetFloatPercent() const { return m_piFloatPercent; }
    virtual void SetFloatPercent(TPercentInfo percent);
    virtual SIZE GetFixedSize() const { return m_cxyFixed; }
    virtual int GetFixedWidth() const;
    // Negative widths are ignored; others are scaled by the window scale factor.
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    // The larger of the maximum and the minimum width.
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);

    // The name assistive technology reads for the control when it has to be
    // other than its text (an icon button's, a field's): the "accname" attribute.
    CFacetString GetAccessibleName() const;
    void SetAccessibleName(const wchar_t* name);

    virtual CFacetString GetToolTip() const;
    // Every "<n>" of the text becomes a line break.
    virtual void SetToolTip(const wchar_t* text);
    virtual void SetToolTipWidth(int width) { m_nTooltipWidth = width; }
    virtual int GetToolTipWidth() const { return m_nTooltipWidth; }
    virtual wchar_t GetShortcut() const { return m_chShortcut; }
    virtual void SetShortcut(wchar_t ch) { m_chShortcut = ch; }
    virtual bool IsContextMenuUsed() const { return m_bMenuUsed; }
    virtual void SetContextMenuUsed(bool used) { m_bMenuUsed = used; }
    virtual CFacetString GetUserData() const;
    virtual void SetUserData(const wchar_t* text);
    virtual UINT_PTR GetTag() const { return m_pTag; }
    virtual void SetTag(UINT_PTR tag) { m_pTag = tag; }

    // True when both the own and the inherited visibility are set.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    // The visibility inherited from the ancestors.
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const { return m_bEnabled; }
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const { return m_bMouseEnabled; }
    virtual void SetMouseEnabled(bool enabled = true) { m_bMouseEnabled = enabled; }
    virtual bool IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
    virtual void SetKeyboardEnabled(bool enabled = true) { m_bKeyboardEnabled = enabled; }
    virtual bool IsFocused() const { return m_bFocused; }
    // Asks the manager to give this control the focus.
    virtual void SetFocus();
    virtual bool IsFloat() const { return m_bFloat; }
    virtual void SetFloat(bool floating = true);

    // Tree search with UIFIND_* flags; see the implementation for the order.
    virtual CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags);

    // DoInit, then OnInit.
    virtual void Init();
    virtual void DoInit();

    // OnEvent listeners first; DoEvent unless one of them answers false.
    virtual void Event(TEventUI& event);
    // Focus, cursor, timer and context-menu events; everything else bubbles to
    // the parent.
    virtual void DoEvent(TEventUI& event);

    virtual CFacetString GetAttribute(const wchar_t* name);
    // Applies the attribute through the class's attribute table; a name the
    // table does not know becomes a custom attribute.
    virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
    // The skin attributes this class reads: its own table, chained to its
    // base class's. Each class with attributes of its own overrides it.
    virtual const CControlAttributeTable& GetAttributeTable() const;
    virtual CFacetString GetAttributeList();
    // name="value" pairs separated by single blanks; a malformed pair ends the list.
    virtual void SetAttributeList(const wchar_t* list);

    // The fixed size; the available size is not used here.
    virtual SIZE EstimateSize(SIZE available);

    // False only when `stopControl` was reached.
    virtual bool Paint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl);
    // Background colour, background image, status image, text, border.
    virtual bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual void DoPostPaint(HDC hDC, const RECT& rcPaint);

    // The leading bytes of a control that a layout pass reads: the members
    // declared first, up to the size event (a hint for prefetching).
    static const unsigned kLayoutBytes = 160;

    // -- Non-virtual helpers --

    void Invalidate();
    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    void NeedUpdate();
    void NeedParentUpdate();

    // The own virtual window name, else the parent's, else empty.
    CFacetString GetVirtualWnd() const;
    void SetVirtualWnd(const wchar_t* name);

    DWORD GetBkColor() const { return m_dwBackColor; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return m_dwBackColor2; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return m_dwBackColor3; }
    void SetBkColor3(DWORD color);
    DWORD GetBorderColor() const { return m_dwBorderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHSL() const { return m_bColorHSL; }
    void SetColorHSL(bool colorHSL);
    RECT GetBorderSize() const { return m_rcBorderSize; }
    void SetBorderSize(int size);
    void SetBorderSize(RECT rc);
    SIZE GetBorderRound() const { return m_cxyBorderRound; }
    void SetBorderRound(SIZE cxyRound);
    int GetBorderStyle() const { return m_nBorderStyle; }
    void SetBorderStyle(int style);

    const wchar_t* GetBkImage() const;
    void SetBkImage(const wchar_t* description);

    // The colour through the manager's global hue, saturation and lightness
    // when colour HSL is on; unchanged otherwise.
    DWORD GetAdjustColor(DWORD color) const;
    // Draws an image description inside this control's rectangle.
    bool DrawImage(HDC hDC, TDrawInfo& drawInfo);

    // The first value of a name wins; empty names and values are ignored.
    void AddCustomAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* GetCustomAttribute(const wchar_t* name) const;
    bool RemoveCustomAttribute(const wchar_t* name);
    void RemoveAllCustomAttribute();

protected:
    // The product of a skin size and the window scale factor, truncated.
    static int ScaleByWindow(int value);
    // Tells assistive technology of a change of this control (EVENT_OBJECT_*).
    void NotifyAccessible(DWORD event);
    // A dotted frame inside the control while it holds the focus and the
    // window shows focus cues, unless the skin shows the focus otherwise.
    void PaintFocusFrame(HDC hDC);
    // The colour of the focus frame; 0 when the skin shows the focus in its
    // own way (a focus border colour, a focused image) and no frame is drawn.
    virtual DWORD GetFocusFrameColor() const;
    // Intersects `rc` with every ancestor's position and invalidates what is
    // left through the manager. False (nothing invalidated) when an ancestor
    // is hidden (with `testVisibility`) or the intersection becomes empty.
    bool InvalidateThroughParents(RECT rc, bool testVisibility);

    // The members a layout pass reads come first, so that placing a control
    // touches few cache lines of it (a tree may hold 100,000 controls).
    CPaintManagerUI* m_pManager;
    CControlUI* m_pParent;
    CControlUI* m_pCover;
    RECT m_rcItem;
    RECT m_rcPadding;
    SIZE m_cXY;
    SIZE m_cxyFixed;
    SIZE m_cxyMin;
    SIZE m_cxyMax;
    bool m_bUpdateNeeded;
    bool m_bVisible;
    bool m_bInternVisible;
    bool m_bEnabled;
    bool m_bFloat;
    bool m_bSetPos;

public:
    CEventSource OnInit;
    CEventSource OnDestroy;
    CEventSource OnSize;
    CEventSource OnEvent;
    CEventSource OnNotify;
    CEventSource OnPaint;
    CEventSource OnPostPaint;

protected:
    bool m_bMenuUsed;
    bool m_bMouseEnabled;
    bool m_bKeyboardEnabled;
    bool m_bFocused;
    bool m_bColorHSL;
    bool m_bResourceText;
    wchar_t m_chShortcut;
    TPercentInfo m_piFloatPercent;
    CFacetString m_sText;
    UINT_PTR m_pTag;
    DWORD m_dwBackColor;
    DWORD m_dwBackColor2;
    DWORD m_dwBackColor3;
    DWORD m_dwBorderColor;
    DWORD m_dwFocusBorderColor;
    int m_nBorderStyle;
    int m_nTooltipWidth;
    SIZE m_cxyBorderRound;
    RECT m_rcPaint;
    RECT m_rcBorderSize;
    CFacetStringPtrMap m_mCustomAttrHash;
    // Set on few controls: made when first set.
    CLazyValue<CFacetString> m_sName;
    CLazyValue<CFacetString> m_sVirtualWnd;
    CLazyValue<CFacetString> m_sToolTip;
    CLazyValue<CFacetString> m_sAccessibleName;
    CLazyValue<CFacetString> m_sUserData;
    CLazyValue<TDrawInfo> m_diBk;
    CLazyValue<TDrawInfo> m_diFore;
};

// The control as a `T` when it answers T's interface name (`T::kInterfaceName`,
// the name T's GetInterface answers to), else null; null for a null control.
// Each class that is cast to declares its name once, so a name and the type it
// is cast to cannot disagree.
template <class T>
T* InterfaceCast(CControlUI* control)
{
    return control != nullptr ? static_cast<T*>(control->GetInterface(T::kInterfaceName)) : nullptr;
}

} // namespace Facet
