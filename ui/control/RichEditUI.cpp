// CRichEditUI: settings, the text services' host, layout with the container's
// scroll bars, input and painting.
#include "RichEditUI.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "../core/FacetGeometry.h"
#include "../core/PaintManager.h"
#include "../core/UniqueHandle.h"
#include "../render/RenderEngine.h"
#include "../render/TextDrawingSupport.h"
#include "../core/AttributeValues.h"
#include "RichEditHost.h"
#include "ScrollBarUI.h"

namespace Facet {

using namespace attribute_values;

namespace {

// The platform rich edit's own default limit.
const long kDefaultLimitText = 32767;
const WCHAR kPasswordChar = L'*';

bool ControlKeyDown()
{
    return ::GetKeyState(VK_CONTROL) < 0;
}

UINT ReadAlign(const wchar_t* value, UINT current)
{
    if (wcsstr(value, L"center") != nullptr)
        return DT_CENTER;
    if (wcsstr(value, L"right") != nullptr)
        return DT_RIGHT;
    if (wcsstr(value, L"left") != nullptr)
        return DT_LEFT;
    return current;
}

} // namespace

CRichEditUI::CRichEditUI()
    : m_pHost(nullptr),
      m_bHostFailed(false),
      m_bTextPress(false),
      m_bWantTab(false),
      m_bWantReturn(true),
      m_bWantCtrlReturn(true),
      m_bTransparent(true),
      m_bRich(true),
      m_bMultiLine(true),
      m_bReadOnly(false),
      m_bPassword(false),
      m_bVScrollBar(false),
      m_bAutoVScroll(false),
      m_bHScrollBar(false),
      m_bAutoHScroll(false),
      m_uTextAlign(DT_LEFT),
      m_iFont(-1),
      m_dwTextColor(0),
      m_rcTextPadding{0, 0, 0, 0},
      m_lLimitText(kDefaultLimitText)
{
}

CRichEditUI::~CRichEditUI()
{
    DestroyHost();
}

const wchar_t* CRichEditUI::GetClass() const
{
    return L"RichEdit";
}

LPVOID CRichEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
        return static_cast<CRichEditUI*>(this);
    if (name != nullptr && wcscmp(name, L"IMessageFilter") == 0)
        return static_cast<IMessageFilterUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const
{
    if (!IsEnabled())
        return 0;
    const UINT flags = UIFLAG_TABSTOP | UIFLAG_SETCURSOR;
    return m_bWantTab ? flags | UIFLAG_WANTTAB : flags;
}

// -- Settings --

bool CRichEditUI::IsWantTab() const
{
    return m_bWantTab;
}

void CRichEditUI::SetWantTab(bool want)
{
    m_bWantTab = want;
}

bool CRichEditUI::IsWantReturn() const
{
    return m_bWantReturn;
}

void CRichEditUI::SetWantReturn(bool want)
{
    m_bWantReturn = want;
}

bool CRichEditUI::IsWantCtrlReturn() const
{
    return m_bWantCtrlReturn;
}

void CRichEditUI::SetWantCtrlReturn(bool want)
{
    m_bWantCtrlReturn = want;
}

bool CRichEditUI::IsTransparent() const
{
    return m_bTransparent;
}

void CRichEditUI::SetTransparent(bool transparent)
{
    m_bTransparent = transparent;
    if (m_pHost != nullptr)
        m_pHost->SetTransparent(transparent);
    Invalidate();
}

bool CRichEditUI::IsRich() const
{
    return m_bRich;
}

void CRichEditUI::SetRich(bool rich)
{
    m_bRich = rich;
    ApplyPropertyBits();
}

bool CRichEditUI::IsMultiLine() const
{
    return m_bMultiLine;
}

void CRichEditUI::SetMultiLine(bool multiLine)
{
    m_bMultiLine = multiLine;
    ApplyPropertyBits();
    Invalidate();
}

bool CRichEditUI::IsReadOnly() const
{
    return m_bReadOnly;
}

void CRichEditUI::SetReadOnly(bool readOnly)
{
    m_bReadOnly = readOnly;
    ApplyPropertyBits();
}

bool CRichEditUI::IsPasswordMode() const
{
    return m_bPassword;
}

void CRichEditUI::SetPasswordMode(bool password)
{
    m_bPassword = password;
    ApplyPropertyBits();
    Invalidate();
}

bool CRichEditUI::IsVScrollBar() const
{
    return m_bVScrollBar;
}

void CRichEditUI::SetVScrollBar(bool on)
{
    m_bVScrollBar = on;
    ApplyScrollBars();
}

bool CRichEditUI::IsAutoVScroll() const
{
    return m_bAutoVScroll;
}

void CRichEditUI::SetAutoVScroll(bool on)
{
    m_bAutoVScroll = on;
    ApplyScrollBars();
}

bool CRichEditUI::IsHScrollBar() const
{
    return m_bHScrollBar;
}

void CRichEditUI::SetHScrollBar(bool on)
{
    m_bHScrollBar = on;
    ApplyScrollBars();
}

bool CRichEditUI::IsAutoHScroll() const
{
    return m_bAutoHScroll;
}

void CRichEditUI::SetAutoHScroll(bool on)
{
    m_bAutoHScroll = on;
    ApplyScrollBars();
}

UINT CRichEditUI::GetTextAlign() const
{
    return m_uTextAlign;
}

void CRichEditUI::SetTextAlign(UINT align)
{
    m_uTextAlign = align;
    if (m_pHost != nullptr)
        m_pHost->SetParaFormat(ParaFormat());
    Invalidate();
}

int CRichEditUI::GetFont() const
{
    return m_iFont;
}

void CRichEditUI::SetFont(int index)
{
    m_iFont = index;
    if (m_pHost != nullptr)
        m_pHost->SetCharFormat(CharFormat());
    Invalidate();
}

DWORD CRichEditUI::GetTextColor() const
{
    return m_dwTextColor;
}

void CRichEditUI::SetTextColor(DWORD color)
{
    m_dwTextColor = color;
    if (m_pHost != nullptr)
        m_pHost->SetCharFormat(CharFormat());
    Invalidate();
}

RECT CRichEditUI::GetTextPadding() const
{
    return m_rcTextPadding;
}

void CRichEditUI::SetTextPadding(RECT padding)
{
    m_rcTextPadding = padding;
    NeedUpdate();
}

long CRichEditUI::GetLimitText() const
{
    return m_lLimitText;
}

void CRichEditUI::SetLimitText(long chars)
{
    m_lLimitText = chars > 0 ? chars : kDefaultLimitText;
    if (m_pHost != nullptr)
        m_pHost->SetMaxLength(static_cast<DWORD>(m_lLimitText));
}

const CControlAttributeTable& CRichEditUI::GetAttributeTable() const
{
    using C = CRichEditUI;
    static const TAttribute<CRichEditUI> kAttributes[] = {
        {L"vscrollbar", kValueFlag, [](C& c, const wchar_t* v) { c.SetVScrollBar(IsTrue(v)); }, kNameAnyCase},
        {L"autovscroll", kValueFlag, [](C& c, const wchar_t* v) { c.SetAutoVScroll(IsTrue(v)); }, kNameAnyCase},
        {L"hscrollbar", kValueFlag, [](C& c, const wchar_t* v) { c.SetHScrollBar(IsTrue(v)); }, kNameAnyCase},
        {L"autohscroll", kValueFlag, [](C& c, const wchar_t* v) { c.SetAutoHScroll(IsTrue(v)); }, kNameAnyCase},
        {L"wanttab", kValueFlag, [](C& c, const wchar_t* v) { c.SetWantTab(IsTrue(v)); }, kNameAnyCase},
        {L"wantreturn", kValueFlag, [](C& c, const wchar_t* v) { c.SetWantReturn(IsTrue(v)); }, kNameAnyCase},
        {L"wantctrlreturn", kValueFlag, [](C& c, const wchar_t* v) { c.SetWantCtrlReturn(IsTrue(v)); }, kNameAnyCase},
        {L"transparent", kValueFlag, [](C& c, const wchar_t* v) { c.SetTransparent(IsTrue(v)); }, kNameAnyCase},
        {L"rich", kValueFlag, [](C& c, const wchar_t* v) { c.SetRich(IsTrue(v)); }, kNameAnyCase},
        {L"multiline", kValueFlag, [](C& c, const wchar_t* v) { c.SetMultiLine(IsTrue(v)); }, kNameAnyCase},
        {L"readonly", kValueFlag, [](C& c, const wchar_t* v) { c.SetReadOnly(IsTrue(v)); }, kNameAnyCase},
        {L"password", kValueFlag, [](C& c, const wchar_t* v) { c.SetPasswordMode(IsTrue(v)); }, kNameAnyCase},
        {L"align", kValueText, [](C& c, const wchar_t* v) { c.SetTextAlign(ReadAlign(v, c.GetTextAlign())); },
         kNameAnyCase},
        {L"font", kValueFont, [](C& c, const wchar_t* v) { c.SetFont(ReadInt(v)); }, kNameAnyCase},
        {L"textcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetTextColor(ReadColor(v)); }, kNameAnyCase},
        {L"textpadding", kValueNumbers, [](C& c, const wchar_t* v) { c.SetTextPadding(CFacetRect(v)); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CContainerUI::GetAttributeTable());
    return table;
}

// -- What the services are told --

DWORD CRichEditUI::PropertyBits() const
{
    DWORD bits = TXTBIT_HIDESELECTION;
    if (m_bRich)
        bits |= TXTBIT_RICHTEXT;
    if (m_bMultiLine)
        bits |= TXTBIT_MULTILINE;
    if (m_bReadOnly)
        bits |= TXTBIT_READONLY;
    if (m_bPassword)
        bits |= TXTBIT_USEPASSWORD;
    if (m_bMultiLine && !m_bHScrollBar && !m_bAutoHScroll)
        bits |= TXTBIT_WORDWRAP;
    return bits;
}

DWORD CRichEditUI::ScrollBarStyle() const
{
    DWORD style = 0;
    if (m_bVScrollBar)
        style |= WS_VSCROLL;
    if (m_bAutoVScroll)
        style |= ES_AUTOVSCROLL;
    if (m_bHScrollBar)
        style |= WS_HSCROLL;
    if (m_bAutoHScroll)
        style |= ES_AUTOHSCROLL;
    return style;
}

CHARFORMAT2W CRichEditUI::CharFormat() const
{
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                    CFM_STRIKEOUT;
    HFONT font = m_pManager != nullptr ? m_pManager->GetFont(m_iFont) : nullptr;
    if (font == nullptr)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof(lf), &lf);
    // The services measure in twips of the screen.
    const UniqueWindowDC screen = GetUniqueWindowDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    format.yHeight = ::MulDiv(std::abs(lf.lfHeight), 1440, dpi > 0 ? dpi : 96);
    if (lf.lfWeight >= FW_BOLD)
        format.dwEffects |= CFE_BOLD;
    if (lf.lfItalic)
        format.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline)
        format.dwEffects |= CFE_UNDERLINE;
    if (lf.lfStrikeOut)
        format.dwEffects |= CFE_STRIKEOUT;
    format.bCharSet = lf.lfCharSet;
    format.bPitchAndFamily = lf.lfPitchAndFamily;
    wcsncpy(format.szFaceName, lf.lfFaceName, LF_FACESIZE - 1);
    DWORD color = m_dwTextColor;
    if (color == 0 && m_pManager != nullptr)
        color = m_pManager->GetDefaultFontColor();
    format.crTextColor = TextColorRef(color);
    return format;
}

PARAFORMAT2 CRichEditUI::ParaFormat() const
{
    PARAFORMAT2 format = {};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = m_uTextAlign == DT_CENTER ? PFA_CENTER : m_uTextAlign == DT_RIGHT ? PFA_RIGHT : PFA_LEFT;
    return format;
}

void CRichEditUI::ApplyPropertyBits()
{
    if (m_pHost == nullptr)
        return;
    const DWORD mask = TXTBIT_RICHTEXT | TXTBIT_MULTILINE | TXTBIT_READONLY | TXTBIT_USEPASSWORD | TXTBIT_WORDWRAP |
                       TXTBIT_HIDESELECTION;
    m_pHost->SetPropertyBits(mask, PropertyBits());
}

void CRichEditUI::ApplyScrollBars()
{
    EnableScrollBar(m_bVScrollBar, m_bHScrollBar);
    if (m_pHost != nullptr) {
        m_pHost->SetScrollBarStyle(ScrollBarStyle());
        ApplyPropertyBits();
    }
    NeedUpdate();
}

// -- The host --

void CRichEditUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    // The services belong to one window: a move to another starts them anew.
    if (manager != m_pManager)
        DestroyHost();
    CContainerUI::SetManager(manager, parent, init);
}

void CRichEditUI::DoInit()
{
    CContainerUI::DoInit();
    CreateHost();
}

void CRichEditUI::CreateHost()
{
    if (m_pHost != nullptr || m_bHostFailed || m_pManager == nullptr || m_pManager->GetPaintWindow() == nullptr)
        return;
    CTxtWinHost::Settings settings = {};
    settings.dwPropertyBits = PropertyBits();
    settings.dwScrollBars = ScrollBarStyle();
    settings.chPasswordChar = kPasswordChar;
    settings.dwMaxLength = static_cast<DWORD>(m_lLimitText);
    settings.bTransparent = m_bTransparent;
    settings.crBackground = GetBkColor() != 0 ? TextColorRef(GetBkColor()) : CLR_INVALID;
    settings.charFormat = CharFormat();
    settings.paraFormat = ParaFormat();
    m_pHost = CTxtWinHost::Create(this, m_pManager->GetPaintWindow(), GetTextArea(), settings);
    if (m_pHost == nullptr) {
        m_bHostFailed = true;
        return;
    }
    m_pHost->Send(EM_SETEVENTMASK, 0, ENM_CHANGE);
    // The text kept so far becomes the services' text, with nothing to undo.
    const CFacetString text = m_sText;
    if (ITextServices* services = m_pHost->GetTextServices())
        services->TxSetText(text.GetData());
    m_pHost->Send(EM_EMPTYUNDOBUFFER);
    m_pManager->AddMessageFilter(this);
    NeedUpdate();
}

void CRichEditUI::DestroyHost()
{
    m_bHostFailed = false;
    m_bTextPress = false;
    if (m_pHost == nullptr)
        return;
    CTxtWinHost* host = m_pHost;
    // The text stays with the control, shown plainly until a window hosts it again.
    m_sText = GetText();
    m_pHost = nullptr;
    if (host->OwnsCaret())
        ::DestroyCaret();
    host->Shutdown();
    host->Release();
    if (m_pManager != nullptr) {
        m_pManager->RemoveMessageFilter(this);
        m_pManager->KillTimer(this);
    }
}

ITextServices* CRichEditUI::GetTextServices() const
{
    return m_pHost != nullptr ? m_pHost->GetTextServices() : nullptr;
}

LRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return m_pHost != nullptr ? m_pHost->Send(msg, wParam, lParam) : 0;
}

// -- Text and selection --

CFacetString CRichEditUI::GetText() const
{
    ITextServices* services = GetTextServices();
    if (services == nullptr)
        return m_sText;
    BSTR text = nullptr;
    if (FAILED(services->TxGetText(&text)))
        return CFacetString();
    CFacetString result(text != nullptr ? text : L"");
    ::SysFreeString(text);
    return result;
}

void CRichEditUI::SetText(const wchar_t* text)
{
    m_sText = text != nullptr ? text : L"";
    if (ITextServices* services = GetTextServices()) {
        services->TxSetText(m_sText.GetData());
        m_pHost->Send(EM_EMPTYUNDOBUFFER);
    }
    Invalidate();
}

int CRichEditUI::GetTextLength() const
{
    if (m_pHost == nullptr)
        return m_sText.GetLength();
    GETTEXTLENGTHEX length = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<int>(m_pHost->Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

void CRichEditUI::AppendText(const wchar_t* text)
{
    if (text == nullptr || *text == L'\0')
        return;
    if (m_pHost == nullptr) {
        CFacetString joined = m_sText;
        joined += text;
        SetText(joined.GetData());
        return;
    }
    SetSel(-1, -1);
    ReplaceSel(text, false);
}

void CRichEditUI::GetSel(long& start, long& end) const
{
    CHARRANGE range = {0, 0};
    if (m_pHost != nullptr)
        m_pHost->Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    start = range.cpMin;
    end = range.cpMax;
}

void CRichEditUI::SetSel(long start, long end)
{
    CHARRANGE range = {start, end};
    if (m_pHost != nullptr)
        m_pHost->Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

CFacetString CRichEditUI::GetSelText() const
{
    long start = 0;
    long end = 0;
    GetSel(start, end);
    if (m_pHost == nullptr || end <= start)
        return CFacetString();
    const size_t count = static_cast<size_t>(end - start);
    wchar_t* buffer = new wchar_t[count + 1];
    buffer[0] = L'\0';
    const LRESULT copied = m_pHost->Send(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer));
    buffer[std::min(static_cast<size_t>(std::max<LRESULT>(copied, 0)), count)] = L'\0';
    CFacetString result(buffer);
    delete[] buffer;
    return result;
}

void CRichEditUI::ReplaceSel(const wchar_t* text, bool canUndo)
{
    if (m_pHost != nullptr)
        m_pHost->Send(EM_REPLACESEL, canUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text != nullptr ? text : L""));
}

int CRichEditUI::GetLineCount() const
{
    return m_pHost != nullptr ? static_cast<int>(m_pHost->Send(EM_GETLINECOUNT)) : 0;
}

// -- Commands --

bool CRichEditUI::CanUndo() const
{
    return TxSendMessage(EM_CANUNDO, 0, 0) != 0;
}

bool CRichEditUI::Undo()
{
    return TxSendMessage(EM_UNDO, 0, 0) != 0;
}

bool CRichEditUI::CanRedo() const
{
    return TxSendMessage(EM_CANREDO, 0, 0) != 0;
}

bool CRichEditUI::Redo()
{
    return TxSendMessage(EM_REDO, 0, 0) != 0;
}

void CRichEditUI::Cut()
{
    TxSendMessage(WM_CUT, 0, 0);
}

void CRichEditUI::Copy()
{
    TxSendMessage(WM_COPY, 0, 0);
}

void CRichEditUI::Paste()
{
    TxSendMessage(WM_PASTE, 0, 0);
}

void CRichEditUI::Clear()
{
    TxSendMessage(WM_CLEAR, 0, 0);
}

// -- Layout and scrolling --

RECT CRichEditUI::GetTextArea() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcInset.left + m_rcTextPadding.left;
    rc.top += m_rcInset.top + m_rcTextPadding.top;
    rc.right -= m_rcInset.right + m_rcTextPadding.right;
    rc.bottom -= m_rcInset.bottom + m_rcTextPadding.bottom;
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    rc.right = std::max(rc.right, rc.left);
    rc.bottom = std::max(rc.bottom, rc.top);
    return rc;
}

void CRichEditUI::SetPos(RECT rc, bool needInvalidate)
{
    // The text is the content: no child layout, the bars go on the edges.
    CControlUI::SetPos(rc, needInvalidate);
    if (m_pHost == nullptr && m_pParent == nullptr)
        CreateHost(); // a root control is never initialised by its parent
    PlaceScrollBars();
    if (m_pHost != nullptr) {
        m_pHost->SetClientRect(GetTextArea());
        SyncScrollBar(true);
        SyncScrollBar(false);
    }
}

void CRichEditUI::Move(SIZE offset, bool needInvalidate)
{
    CControlUI::Move(offset, needInvalidate);
    PlaceScrollBars();
    if (m_pHost != nullptr)
        m_pHost->SetClientRect(GetTextArea());
}

void CRichEditUI::PlaceScrollBars()
{
    const RECT inset = {m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top, m_rcItem.right - m_rcInset.right,
                        m_rcItem.bottom - m_rcInset.bottom};
    const bool vertical = m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible();
    const bool horizontal = m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible();
    const int barWidth = vertical ? m_pVerticalScrollBar->GetFixedWidth() : 0;
    const int barHeight = horizontal ? m_pHorizontalScrollBar->GetFixedHeight() : 0;
    if (vertical)
        m_pVerticalScrollBar->SetPos(RECT{inset.right - barWidth, inset.top, inset.right, inset.bottom - barHeight},
                                     false);
    if (horizontal)
        m_pHorizontalScrollBar->SetPos(RECT{inset.left, inset.bottom - barHeight, inset.right - barWidth, inset.bottom},
                                       false);
}

void CRichEditUI::SyncScrollBar(bool vertical)
{
    CScrollBarUI* bar = vertical ? m_pVerticalScrollBar : m_pHorizontalScrollBar;
    ITextServices* services = GetTextServices();
    if (bar == nullptr || services == nullptr)
        return;
    LONG minimum = 0;
    LONG maximum = 0;
    LONG position = 0;
    LONG page = 0;
    BOOL enabled = FALSE;
    const HRESULT hr = vertical ? services->TxGetVScroll(&minimum, &maximum, &position, &page, &enabled)
                                : services->TxGetHScroll(&minimum, &maximum, &position, &page, &enabled);
    if (FAILED(hr))
        return;
    // The bar's range is how far the view may move: the content less one
    // page, and at least where the view is now.
    const LONG range = std::max<LONG>(maximum - minimum - page, position - minimum);
    bar->SetScrollRange(static_cast<int>(std::max<LONG>(range, 0)));
    bar->SetScrollPos(static_cast<int>(position - minimum));
}

void CRichEditUI::SetScrollPos(SIZE pos)
{
    if (m_pHost == nullptr) {
        CContainerUI::SetScrollPos(pos);
        return;
    }
    const SIZE old = GetScrollPos();
    POINT target = {pos.cx, pos.cy};
    if (m_pHorizontalScrollBar == nullptr || !m_pHorizontalScrollBar->IsVisible())
        target.x = old.cx;
    if (m_pVerticalScrollBar == nullptr || !m_pVerticalScrollBar->IsVisible())
        target.y = old.cy;
    m_pHost->Send(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&target));
    SyncScrollBar(true);
    SyncScrollBar(false);
    Invalidate();
}

// -- Called by the host --

void CRichEditUI::OnTxShowScrollBar(int bar, bool show)
{
    bool changed = false;
    if ((bar == SB_VERT || bar == SB_BOTH) && m_pVerticalScrollBar != nullptr &&
        m_pVerticalScrollBar->IsVisible() != show) {
        m_pVerticalScrollBar->SetVisible(show);
        changed = true;
    }
    if ((bar == SB_HORZ || bar == SB_BOTH) && m_pHorizontalScrollBar != nullptr &&
        m_pHorizontalScrollBar->IsVisible() != show) {
        m_pHorizontalScrollBar->SetVisible(show);
        changed = true;
    }
    // The text area changes with the bars: laid out again at the next paint,
    // not inside the services' own call.
    if (changed)
        NeedUpdate();
}

void CRichEditUI::OnTxScrollChanged()
{
    SyncScrollBar(true);
    SyncScrollBar(false);
}

void CRichEditUI::OnTxInvalidate(const RECT* rc)
{
    if (rc == nullptr) {
        Invalidate();
        return;
    }
    RECT area = GetTextArea();
    if (!::IntersectRect(&area, &area, rc))
        return;
    if (m_pManager != nullptr)
        m_pManager->Invalidate(area);
}

void CRichEditUI::OnTxNotify(DWORD code, void* /*data*/)
{
    if (code == EN_CHANGE && m_pManager != nullptr)
        m_pManager->SendNotify(this, L"textchanged");
}

// -- Input --

void CRichEditUI::SetEnabled(bool enabled)
{
    CContainerUI::SetEnabled(enabled);
    if (!enabled && m_pHost != nullptr && m_pHost->OwnsCaret()) {
        m_pHost->ForgetCaret();
        ::DestroyCaret();
    }
}

bool CRichEditUI::LeavesKeyToWindow(UINT uMsg, WPARAM key) const
{
    const bool keyDown = uMsg == WM_KEYDOWN;
    const bool character = uMsg == WM_CHAR;
    if (!keyDown && !character)
        return false;
    if ((keyDown && key == VK_TAB) || (character && key == L'\t'))
        return !m_bWantTab || ControlKeyDown();
    if ((keyDown && key == VK_RETURN) || (character && (key == L'\r' || key == L'\n'))) {
        if (!m_bMultiLine)
            return true;
        return ControlKeyDown() ? !m_bWantCtrlReturn : !m_bWantReturn;
    }
    return false;
}

LRESULT CRichEditUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    bHandled = false;
    if (m_pHost == nullptr || m_pManager == nullptr || m_pManager->GetFocus() != this || !IsVisible() || !IsEnabled())
        return 0;
    switch (uMsg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_CHAR:
    case WM_IME_NOTIFY:
    case WM_IME_REQUEST:
        break;
    default:
        return 0;
    }
    if (LeavesKeyToWindow(uMsg, wParam))
        return 0;
    bool handled = false;
    const LRESULT result = m_pHost->Send(uMsg, wParam, lParam, &handled);
    // A key the services do not use (F-keys, Escape) stays the window's.
    bHandled = handled;
    return result;
}

void CRichEditUI::ForwardMouse(UINT msg, const TEventUI& event)
{
    WPARAM keys = 0;
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || (msg == WM_MOUSEMOVE && m_bTextPress))
        keys |= MK_LBUTTON;
    if (::GetKeyState(VK_SHIFT) < 0)
        keys |= MK_SHIFT;
    if (ControlKeyDown())
        keys |= MK_CONTROL;
    m_pHost->Send(msg, keys, MAKELPARAM(event.ptMouse.x, event.ptMouse.y));
}

void CRichEditUI::DoEvent(TEventUI& event)
{
    const bool mouse = event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND;
    if (m_pHost == nullptr || (mouse && !IsMouseEnabled()) || !HandleRichEditEvent(event))
        CContainerUI::DoEvent(event);
}

// One line per event the text services take; true when the event stops here,
// false when the container goes on with it.
bool CRichEditUI::HandleRichEditEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        return OnSetFocus();
    case UIEVENT_KILLFOCUS:
        return OnKillFocus();
    case UIEVENT_TIMER:
        m_pHost->Send(WM_TIMER, event.wParam, event.lParam);
        return true;
    case UIEVENT_SETCURSOR:
        return OnSetCursor(event);
    case UIEVENT_BUTTONDOWN:
        return OnTextButtonDown(event, WM_LBUTTONDOWN);
    case UIEVENT_DBLCLICK:
        return OnTextButtonDown(event, WM_LBUTTONDBLCLK);
    case UIEVENT_MOUSEMOVE:
        return OnTextMouseMove(event);
    case UIEVENT_BUTTONUP:
        return OnTextButtonUp(event);
    default:
        return false;
    }
}

bool CRichEditUI::IsInTextArea(const TEventUI& event) const
{
    const RECT area = GetTextArea();
    return ::PtInRect(&area, event.ptMouse) != FALSE;
}

// The text services show their caret and selection; the container still
// notes the focus.
bool CRichEditUI::OnSetFocus()
{
    m_pHost->Send(WM_SETFOCUS);
    if (ITextServices* services = m_pHost->GetTextServices())
        services->OnTxUIActivate();
    return false;
}

// Ends a press in the text and gives up the caret the services made.
bool CRichEditUI::OnKillFocus()
{
    m_bTextPress = false;
    m_pHost->Send(WM_KILLFOCUS);
    if (ITextServices* services = m_pHost->GetTextServices())
        services->OnTxUIDeactivate();
    if (m_pHost->OwnsCaret()) {
        m_pHost->ForgetCaret();
        ::DestroyCaret();
    }
    return false;
}

// Over the text of an enabled control the services choose the cursor.
bool CRichEditUI::OnSetCursor(const TEventUI& event)
{
    if (!IsInTextArea(event) || !IsEnabled())
        return false;
    const RECT area = GetTextArea();
    if (ITextServices* services = m_pHost->GetTextServices())
        services->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &area, event.ptMouse.x,
                                event.ptMouse.y);
    return true;
}

// A press (`msg`: down or double click) in the text of an enabled control
// starts a selection the services follow until the release.
bool CRichEditUI::OnTextButtonDown(const TEventUI& event, UINT msg)
{
    if (!IsInTextArea(event) || !IsEnabled())
        return false;
    m_bTextPress = true;
    ForwardMouse(msg, event);
    return true;
}

bool CRichEditUI::OnTextMouseMove(const TEventUI& event)
{
    if (!m_bTextPress && !IsInTextArea(event))
        return false;
    ForwardMouse(WM_MOUSEMOVE, event);
    return true;
}

bool CRichEditUI::OnTextButtonUp(const TEventUI& event)
{
    if (!m_bTextPress)
        return false;
    m_bTextPress = false;
    ForwardMouse(WM_LBUTTONUP, event);
    return true;
}

// -- Painting --

void CRichEditUI::PaintText(HDC hDC)
{
    if (m_pHost == nullptr) {
        PaintPlainText(hDC);
        return;
    }
    RECT update = {0, 0, 0, 0};
    ::GetClipBox(hDC, &update);
    const RECT area = GetTextArea();
    if (!::IntersectRect(&update, &update, &area))
        return;
    m_pHost->Draw(hDC, update);
}

// Without text services: the text (masked in password mode) with the
// control's font, colour, alignment and padding.
void CRichEditUI::PaintPlainText(HDC hDC)
{
    if (m_sText.IsEmpty() || m_pManager == nullptr)
        return;
    CFacetString shown = m_sText;
    if (m_bPassword) {
        shown.Empty();
        for (int i = 0; i < m_sText.GetLength(); ++i)
            shown += kPasswordChar;
    }
    RECT rc = GetTextArea();
    const DWORD color = m_dwTextColor != 0 ? m_dwTextColor : m_pManager->GetDefaultFontColor();
    const UINT style = m_uTextAlign | (m_bMultiLine ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER) | DT_NOPREFIX;
    CRenderEngine::DrawText(hDC, m_pManager, rc, shown.GetData(), color, m_iFont, style);
}

} // namespace Facet
