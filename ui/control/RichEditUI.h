// CRichEditUI ("RichEdit"): a windowless rich text editor hosted through the
// platform's text services (CTxtWinHost). It takes typing, the caret,
// selection by mouse and keys, the clipboard and undo from the services,
// scrolls with the container's own scroll bars and draws the text into the
// paint manager's surface. While it has the focus it takes its key and input
// method messages as one of the manager's message filters. Tab moves the
// focus on unless "wanttab" is set (Ctrl+Tab moves on even then), so the
// keyboard can always leave it. Where the platform has no text services the
// control keeps its text and paints it plainly, and says so once.
#pragma once

#include <windows.h>

#include <richedit.h>

#include "../core/PaintManagerTypes.h"
#include "../layout/ContainerUI.h"

struct ITextServices;

namespace Facet {

class CTxtWinHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"RichEdit";
    CRichEditUI();
    ~CRichEditUI() override;

    // "RichEdit".
    const wchar_t* GetClass() const override;
    // This control for "RichEdit", the message filter part for
    // "IMessageFilter", else the container's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    // A tab stop that sets its own cursor while enabled; it keeps Tab when it
    // wants tabs.
    UINT GetControlFlags() const override;

    // -- Settings (also the attributes of the same names) --
    // Default false: Tab moves the focus on.
    bool IsWantTab() const;
    void SetWantTab(bool want = true);
    // Default true: Return (Ctrl+Return) starts a new line of a multi-line
    // text; otherwise the key is left to the window (a default button).
    bool IsWantReturn() const;
    void SetWantReturn(bool want = true);
    bool IsWantCtrlReturn() const;
    void SetWantCtrlReturn(bool want = true);
    // Default true: the control's background shows through the text.
    bool IsTransparent() const;
    void SetTransparent(bool transparent = true);
    // Default true: formatted text; false keeps one format for all of it.
    bool IsRich() const;
    void SetRich(bool rich = true);
    // Default true.
    bool IsMultiLine() const;
    void SetMultiLine(bool multiLine = true);
    bool IsReadOnly() const;
    void SetReadOnly(bool readOnly = true);
    bool IsPasswordMode() const;
    void SetPasswordMode(bool password = true);
    // The scroll bars (the container's own) and whether the text scrolls by
    // itself as the caret leaves the view; a multi-line text wraps at the
    // right edge unless it may scroll sideways.
    bool IsVScrollBar() const;
    void SetVScrollBar(bool on = true);
    bool IsAutoVScroll() const;
    void SetAutoVScroll(bool on = true);
    bool IsHScrollBar() const;
    void SetHScrollBar(bool on = true);
    bool IsAutoHScroll() const;
    void SetAutoHScroll(bool on = true);
    // DT_LEFT, DT_CENTER or DT_RIGHT.
    UINT GetTextAlign() const;
    void SetTextAlign(UINT align);
    // An index of the manager's fonts; -1 the default font.
    int GetFont() const;
    void SetFont(int index);
    // 0xAARRGGBB; 0 the manager's default text colour.
    DWORD GetTextColor() const;
    void SetTextColor(DWORD color);
    RECT GetTextPadding() const;
    void SetTextPadding(RECT padding);
    // Most characters the text may hold (the services' default when 0).
    long GetLimitText() const;
    void SetLimitText(long chars);

    // -- Text and selection (character positions) --
    CFacetString GetText() const override;
    void SetText(const wchar_t* text) override;
    int GetTextLength() const;
    // Appends at the end and leaves the caret there.
    void AppendText(const wchar_t* text);
    void GetSel(long& start, long& end) const;
    // `end` -1 selects to the end.
    void SetSel(long start, long end);
    CFacetString GetSelText() const;
    void ReplaceSel(const wchar_t* text, bool canUndo = true);
    int GetLineCount() const;

    // -- Commands --
    bool CanUndo() const;
    bool Undo();
    bool CanRedo() const;
    bool Redo();
    void Cut();
    void Copy();
    void Paste();
    void Clear();

    // Any other message to the text services (0 without them).
    LRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const;
    // The hosted services (not referenced for the caller), or null where the
    // platform has none or the control is not in a window.
    ITextServices* GetTextServices() const;
    // The rectangle the text is laid out in: the item less the inset, the
    // padding and the visible scroll bars.
    RECT GetTextArea() const;

    // -- Overrides --
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    void DoInit() override;
    void SetEnabled(bool enabled = true) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(SIZE offset, bool needInvalidate = true) override;
    void SetScrollPos(SIZE pos) override;
    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    void PaintText(HDC hDC) override;

    // The manager's message filter: while this control has the focus its key
    // and input method messages go to the services, except the keys it
    // leaves to the window (Tab, Return, as the settings say).
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    friend class CTxtWinHost;

    // -- Called by the host --
    void OnTxShowScrollBar(int bar, bool show);
    void OnTxScrollChanged();
    void OnTxInvalidate(const RECT* rc);
    void OnTxNotify(DWORD code, void* data);

    void CreateHost();
    void DestroyHost();
    DWORD PropertyBits() const;
    DWORD ScrollBarStyle() const;
    CHARFORMAT2W CharFormat() const;
    PARAFORMAT2 ParaFormat() const;
    void ApplyPropertyBits();
    void ApplyScrollBars();
    bool LeavesKeyToWindow(UINT uMsg, WPARAM key) const;
    void ForwardMouse(UINT msg, const TEventUI& event);
    // DoEvent's steps (see HandleRichEditEvent).
    bool HandleRichEditEvent(TEventUI& event);
    bool IsInTextArea(const TEventUI& event) const;
    bool OnSetFocus();
    bool OnKillFocus();
    bool OnSetCursor(const TEventUI& event);
    bool OnTextButtonDown(const TEventUI& event, UINT msg);
    bool OnTextMouseMove(const TEventUI& event);
    bool OnTextButtonUp(const TEventUI& event);
    void PlaceScrollBars();
    void SyncScrollBar(bool vertical);
    void PaintPlainText(HDC hDC);

    CTxtWinHost* m_pHost;
    // Creation failed once in this window: the plain painter stays.
    bool m_bHostFailed;
    // A left press that began in the text: its moves select.
    bool m_bTextPress;
    bool m_bWantTab;
    bool m_bWantReturn;
    bool m_bWantCtrlReturn;
    bool m_bTransparent;
    bool m_bRich;
    bool m_bMultiLine;
    bool m_bReadOnly;
    bool m_bPassword;
    bool m_bVScrollBar;
    bool m_bAutoVScroll;
    bool m_bHScrollBar;
    bool m_bAutoHScroll;
    UINT m_uTextAlign;
    int m_iFont;
    DWORD m_dwTextColor;
    RECT m_rcTextPadding;
    long m_lLimitText;
};

} // namespace Facet
