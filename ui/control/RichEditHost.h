// CTxtWinHost: the host side of a windowless rich edit. It creates the
// platform's text services (from the rich edit library of the system folder)
// over itself and answers their questions from its owner, a CRichEditUI: the
// client rectangle, the default character and paragraph formats, the
// property bits, the caret, timers, capture, cursor and scroll bars of the
// owner's window. The owner keeps one reference, pushes every change of its
// settings through the Set operations, and calls Shutdown before it goes.
#pragma once

#include <windows.h>

#include <richedit.h>
#include <textserv.h>

#include "../core/OleScope.h"

namespace Facet {

class CRichEditUI;

class CTxtWinHost : public ITextHost
{
public:
    // What the services start with; later changes go through the setters.
    struct Settings
    {
        DWORD dwPropertyBits;
        DWORD dwScrollBars;
        WCHAR chPasswordChar;
        DWORD dwMaxLength;
        bool bTransparent;
        COLORREF crBackground;
        CHARFORMAT2W charFormat;
        PARAFORMAT2 paraFormat;
    };

    // Creates the services for `owner`, whose window is `hWnd`, in-place
    // active over `rcClient`. Null, with a diagnostic line, when the library
    // or its services cannot be had; the owner then stays a plain painter.
    static CTxtWinHost* Create(CRichEditUI* owner, HWND hWnd, const RECT& rcClient, const Settings& settings);

    ITextServices* GetTextServices() const;
    // Deactivates and releases the services and forgets the owner; the host
    // itself goes with its last reference.
    void Shutdown();

    // Sends a message to the services; 0 when they are gone or refuse it.
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0, bool* pHandled = nullptr) const;
    // Draws the text into `hDC` over the client rectangle, clipped to `rcUpdate`.
    void Draw(HDC hDC, const RECT& rcUpdate) const;
    const RECT& GetClientRect() const;

    void SetClientRect(const RECT& rc);
    void SetPropertyBits(DWORD mask, DWORD bits);
    void SetScrollBarStyle(DWORD style);
    void SetPasswordChar(WCHAR ch);
    void SetMaxLength(DWORD length);
    void SetTransparent(bool transparent);
    void SetBackgroundColor(COLORREF color);
    void SetCharFormat(const CHARFORMAT2W& format);
    void SetParaFormat(const PARAFORMAT2& format);
    // Whether this host made the thread's caret (and so may destroy it).
    bool OwnsCaret() const;
    void ForgetCaret();

    // -- IUnknown --
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // -- ITextHost --
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC hdc) override;
    BOOL TxShowScrollBar(INT fnBar, BOOL fShow) override;
    BOOL TxEnableScrollBar(INT fuSBFlags, INT fuArrowflags) override;
    BOOL TxSetScrollRange(INT fnBar, LONG nMinPos, INT nMaxPos, BOOL fRedraw) override;
    BOOL TxSetScrollPos(INT fnBar, INT nPos, BOOL fRedraw) override;
    void TxInvalidateRect(LPCRECT prc, BOOL fMode) override;
    void TxViewChange(BOOL fUpdate) override;
    BOOL TxCreateCaret(HBITMAP hbmp, INT xWidth, INT yHeight) override;
    BOOL TxShowCaret(BOOL fShow) override;
    BOOL TxSetCaretPos(INT x, INT y) override;
    BOOL TxSetTimer(UINT idTimer, UINT uTimeout) override;
    void TxKillTimer(UINT idTimer) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT lprcScroll, LPCRECT lprcClip, HRGN hrgnUpdate, LPRECT lprcUpdate,
                          UINT fuScroll) override;
    void TxSetCapture(BOOL fCapture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR hcur, BOOL fText) override;
    BOOL TxScreenToClient(LPPOINT lppt) override;
    BOOL TxClientToScreen(LPPOINT lppt) override;
    HRESULT TxActivate(LONG* plOldState) override;
    HRESULT TxDeactivate(LONG lNewState) override;
    HRESULT TxGetClientRect(LPRECT prc) override;
    HRESULT TxGetViewInset(LPRECT prc) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** ppCF) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** ppPF) override;
    COLORREF TxGetSysColor(int nIndex) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* pstyle) override;
    HRESULT TxGetMaxLength(DWORD* plength) override;
    HRESULT TxGetScrollBars(DWORD* pdwScrollBar) override;
    HRESULT TxGetPasswordChar(TCHAR* pch) override;
    HRESULT TxGetAcceleratorPos(LONG* pcp) override;
    HRESULT TxGetExtent(LPSIZEL lpExtent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* pcf) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* ppf) override;
    HRESULT TxGetPropertyBits(DWORD dwMask, DWORD* pdwBits) override;
    HRESULT TxNotify(DWORD iNotify, void* pv) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC himc) override;
    HRESULT TxGetSelectionBarWidth(LONG* lSelBarWidth) override;

private:
    CTxtWinHost(CRichEditUI* owner, HWND hWnd, const RECT& rcClient, const Settings& settings);
    virtual ~CTxtWinHost();
    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    bool CreateServices();
    void NotifyServices(DWORD bits) const;

    ULONG m_cRef;
    CRichEditUI* m_pOwner;
    HWND m_hWnd;
    RECT m_rcClient;
    Settings m_settings;
    ITextServices* m_pServices;
    bool m_bCaretOwned;
    // The clipboard and drag and drop of the services need OLE on the thread.
    ScopedOleInitialize m_ole;
};

} // namespace Facet
