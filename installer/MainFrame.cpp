#include "MainFrame.h"

#include "Diagnostics.h"
#include "DownloadRemovalTask.h"
#include "DownloadWorker.h"
#include "PreviousInstallation.h"
#include "ResourceIds.h"
#include "TextConvert.h"
#include "UiLanguage.h"
#include "WindowMessages.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#ifndef MEVRA_WEB_HOST
#define MEVRA_WEB_HOST "www.mevra.com"
#endif
#define MEVRA_WIDEN2(text) L##text
#define MEVRA_WIDEN(text) MEVRA_WIDEN2(text)

using namespace Facet;

namespace {

// The height of the strip at the top of the window by which it is dragged.
constexpr LONG kDragStripHeight = 70;

template <typename T>
T* FindAs(CPaintManagerUI& pm, const wchar_t* name)
{
    return InterfaceCast<T>(pm.FindControl(name));
}

void SetEnabled(CControlUI* control, bool enabled)
{
    if (control != nullptr)
        control->SetEnabled(enabled);
}

void SetVisible(CControlUI* control, bool visible)
{
    if (control != nullptr)
        control->SetVisible(visible);
}

std::wstring TextOf(const CControlUI* control)
{
    return control != nullptr ? std::wstring(control->GetText().GetData()) : std::wstring();
}

void SetText(CControlUI* control, const std::wstring& text)
{
    if (control != nullptr)
        control->SetText(text.c_str());
}

// The field takes at most `maxChars` characters: it stops accepting input there.
void LimitField(CControlUI* control, unsigned maxChars)
{
    if (CEditUI* edit = InterfaceCast<CEditUI>(control))
        edit->SetMaxChar(maxChars);
}

} // namespace

double GetScaleFactor()
{
    return DpiManager::GetInstance()->GetWindowInchPex();
}

bool SizeByScale(HWND window, RECT client, UINT flags)
{
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    if (!AdjustWindowRectEx(&client, style, FALSE, exStyle))
        return false;
    const int width = static_cast<int>(GetScaleFactor() * (client.right - client.left));
    const int height = static_cast<int>(GetScaleFactor() * (client.bottom - client.top));
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | flags);
    return true;
}

const wchar_t* DownloadPageUrl()
{
    return L"https://" MEVRA_WIDEN(MEVRA_WEB_HOST) L"/download";
}

mainFrame::mainFrame(HWND hostWindow, std::function<void()> removePreviousInstallation)
    : m_hostWindow(hostWindow),
      m_removePreviousInstallation(removePreviousInstallation ? std::move(removePreviousInstallation)
                                                              : std::function<void()>(RemovePreviousInstallation))
{
}

const wchar_t* mainFrame::GetWndClassName() const
{
    return kMainFrameClass;
}

UINT mainFrame::GetClassStyle() const
{
    return CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
}

UINT mainFrame::GetSkinResourceID() const
{
    return IDR_MAIN_SKIN;
}

CControlUI* mainFrame::Find(const wchar_t* name) const
{
    return m_pm.FindControl(name);
}

LRESULT mainFrame::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        m_pm.Init(m_hWnd);
        if (!BuildControls()) {
            MessageBoxW(nullptr, L"Cant not find the skin!!", nullptr, MB_ICONERROR);
            // Without a skin there is nothing to show: creation fails and start-up ends the process.
            return -1;
        }
        m_pm.AddPreMessageFilter(this);
        InitWindow();
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(m_hWnd);
        GetCursorPos(&m_pressPoint);
        GetWindowRect(m_hWnd, &m_pressRect);
        m_dragSize = {m_pressRect.right - m_pressRect.left, m_pressRect.bottom - m_pressRect.top};
        m_pressed = true;
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        m_pressed = false;
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a menu, a dialog, a task switch): the
        // press that began the drag is over, and its button-up may never come
        // here. A later move must not carry the window from the old press point.
        if (reinterpret_cast<HWND>(lParam) != m_hWnd)
            m_pressed = false;
        break;
    case WM_MOUSEMOVE:
        if (OnMouseMove(wParam))
            return 0;
        break;
    case WM_DOWNLOAD_PROGRESS:
        if (m_prsDown != nullptr)
            m_prsDown->SetValue(static_cast<int>((std::min)(wParam, static_cast<WPARAM>(INT_MAX))));
        break;
    case WM_DOWNLOAD_FAILED:
        OnDownloadFailed();
        return 0;
    case WM_DOWNLOAD_FINISHED:
        OnDownloadFinished(lParam);
        return 0;
    case WM_REMOVAL_FINISHED:
        OnRemovalFinished();
        return 0;
    case WM_TIMER:
        if (wParam != kFirstAttemptTimer)
            break;
        StartFirstAttempt();
        return 0;
    case WM_QUERY_PAGE:
        return m_tabLayout != nullptr ? m_tabLayout->GetCurSel() : -1;
    default:
        break;
    }
    LRESULT result = 0;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

bool mainFrame::BuildControls()
{
    CDialogBuilder builder;
    CControlUI* root = builder.Create(STRINGorID(GetSkinResourceID()), L"XML", nullptr, &m_pm, nullptr);
    if (root == nullptr)
        return false;
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    return true;
}

// True when the move is swallowed (a press below the drag strip).
bool mainFrame::OnMouseMove(WPARAM wParam)
{
    GetCursorPos(&m_currentPoint);
    // Only a press inside this window starts a drag; a press elsewhere followed
    // by a move over the window has no press point to move from.
    if (wParam != MK_LBUTTON || !m_pressed)
        return false;
    if (m_pressPoint.y - m_pressRect.top > kDragStripHeight)
        return true;
    m_dragPosition = {m_pressRect.left + m_currentPoint.x - m_pressPoint.x,
                      m_pressRect.top + m_currentPoint.y - m_pressPoint.y};
    // The host keeps its own size: only its position follows the mouse.
    SetWindowPos(m_hostWindow, nullptr, m_dragPosition.x, m_dragPosition.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return false;
}

void mainFrame::InitWindow()
{
    RECT rect = {};
    if (!GetClientRect(m_hWnd, &rect) || !SizeByScale(m_hWnd, rect, SWP_SHOWWINDOW))
        return;
    FindControls();
    m_languageSet = SelectUiLanguage(GetUserDefaultUILanguage());
    ApplyLanguage(m_languageSet);
    LoadProxySettings();
}

void mainFrame::SizeToSkin()
{
    const SIZE skin = m_pm.GetInitSize();
    SizeByScale(m_hWnd, RECT{0, 0, skin.cx, skin.cy}, SWP_NOACTIVATE);
}

void mainFrame::FindControls()
{
    m_btnClose = Find(L"btn_close");
    m_btnMin = Find(L"btn_min");
    m_btnSetting = Find(L"btn_setting");
    m_btnClose1 = Find(L"btn_close_1");
    m_btnMin1 = Find(L"btn_min_1");
    m_btnSetting1 = Find(L"btn_setting_1");
    m_btnClose2 = Find(L"btn_close_2");
    m_btnMin2 = Find(L"btn_min_2");
    m_btnReturn = Find(L"btn_return");
    m_tabLayout = FindAs<CTabLayoutUI>(m_pm, L"tabLayout");
    m_prsDown = FindAs<CProgressUI>(m_pm, L"prs_down");
    m_btnRetry = Find(L"btn_retry");
    m_btnDownlink = Find(L"btn_downlink");
    m_editIp = Find(L"edit_ip");
    m_editPort = Find(L"edit_port");
    m_editAccount = Find(L"edit_account");
    m_editPwd = Find(L"edit_pwd");
    m_chkUseProxy = FindAs<CCheckBoxUI>(m_pm, L"chk_useProxy");
    m_btnSaveProxy = Find(L"btn_saveProxy");
    m_saveTipLbl = Find(L"save_tip_lbl");
    for (CControlUI* field : {m_editIp, m_editPort, m_editAccount, m_editPwd})
        LimitField(field, kProxyFieldMaxChars);
}

void mainFrame::ApplyLanguage(int set)
{
    for (const UiText* entry = UiTextsOf(set); entry->control != nullptr; ++entry) {
        if (CControlUI* control = Find(entry->control))
            control->SetText(entry->text);
    }
    for (const UiText* entry = UiAccessibleNamesOf(set); entry->control != nullptr; ++entry) {
        if (CControlUI* control = Find(entry->control))
            control->SetAccessibleName(entry->text);
    }
    // The skin's tip (or the set's) tells of a save that succeeded.
    m_savedTipText = m_saveTipLbl != nullptr ? m_saveTipLbl->GetText().GetData() : L"";
    if (!WidensProxyLabels(set))
        return;
    for (const wchar_t* name : {L"lbl_ip", L"lbl_port", L"lbl_account", L"lbl_pwd"}) {
        if (CControlUI* label = Find(name))
            label->SetFixedWidth(kWideProxyLabelWidth);
    }
}

void mainFrame::SelectPage(int page)
{
    if (m_tabLayout != nullptr)
        m_tabLayout->SelectItem(page, true);
}

void mainFrame::ShowPage(int page, CControlUI* focus)
{
    SelectPage(page);
    // The keyboard goes on from the given step of the page, not from a control
    // the switch has hidden. The tab layout moves the focus into the new page
    // at its next paint; the request lands that move on `focus`.
    if (focus != nullptr)
        m_pm.SetFocusNeeded(focus);
}

void mainFrame::ReturnFromProxyPage()
{
    ShowPage(m_previousPage, m_previousPage == kRetryPage ? m_btnSetting1 : m_btnSetting);
}

LRESULT mainFrame::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled)
{
    if (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE && m_tabLayout != nullptr && m_tabLayout->GetCurSel() == kProxyPage) {
        ReturnFromProxyPage();
        bHandled = true;
    }
    return 0;
}

void mainFrame::OnDpiChanged(int dpi)
{
    DpiManager::GetInstance()->SetDisplayDpi(dpi);
    const PageState state = CaptureState();
    // Every skin size was multiplied by the old scale as it was read: the
    // controls are built again from the skin at the new one.
    m_pm.Init(m_hWnd);
    if (!BuildControls())
        return;
    SizeToSkin();
    FindControls();
    ApplyLanguage(m_languageSet);
    RestoreState(state);
}

mainFrame::PageState mainFrame::CaptureState() const
{
    PageState state;
    state.page = m_tabLayout != nullptr ? m_tabLayout->GetCurSel() : kDownloadPage;
    state.progress = m_prsDown != nullptr ? m_prsDown->GetValue() : 0;
    const CControlUI* const fields[] = {m_editIp, m_editPort, m_editAccount, m_editPwd};
    for (int i = 0; i < 4; ++i)
        state.fields[i] = fields[i] != nullptr ? fields[i]->GetText().GetData() : L"";
    state.useProxy = m_chkUseProxy != nullptr && m_chkUseProxy->GetCheck();
    state.saveEnabled = m_btnSaveProxy != nullptr && m_btnSaveProxy->IsEnabled();
    // The tip shows only on the proxy page; entering that page hides it.
    state.tipShown = state.page == kProxyPage && m_saveTipLbl != nullptr && m_saveTipLbl->IsVisible();
    state.tip = m_tip;
    if (const CControlUI* focused = m_pm.GetFocus())
        state.focus = focused->GetName();
    return state;
}

void mainFrame::RestoreState(const PageState& state)
{
    SelectPage(state.page);
    if (m_prsDown != nullptr)
        m_prsDown->SetValue(state.progress);
    CControlUI* const fields[] = {m_editIp, m_editPort, m_editAccount, m_editPwd};
    for (int i = 0; i < 4; ++i) {
        if (fields[i] != nullptr)
            fields[i]->SetText(state.fields[i].c_str());
    }
    if (m_chkUseProxy != nullptr)
        m_chkUseProxy->SetCheck(state.useProxy, false);
    SetEnabled(m_btnSaveProxy, state.saveEnabled);
    if (state.tipShown)
        ShowTip(static_cast<Tip>(state.tip));
    if (CControlUI* focused = state.focus.IsEmpty() ? nullptr : Find(state.focus.GetData()))
        m_pm.SetFocusNeeded(focused);
}

bool mainFrame::ProxyAddressComplete() const
{
    return IsUsableProxy(ProxyFromPage());
}

void mainFrame::UpdateSaveButton()
{
    SetEnabled(m_btnSaveProxy, ProxyAddressComplete() && m_chkUseProxy != nullptr && m_chkUseProxy->GetCheck());
}

void mainFrame::Notify(TNotifyUI& msg)
{
    if (msg.pSender == nullptr)
        return;
    CControlUI* sender = msg.pSender;
    if (msg.sType == L"click") {
        if (sender == m_btnClose || sender == m_btnClose1 || sender == m_btnClose2) {
            ::PostMessageW(m_hostWindow, WM_CLOSE, 0, 0);
        } else if (sender == m_btnMin || sender == m_btnMin1 || sender == m_btnMin2) {
            ::ShowWindow(m_hostWindow, SW_MINIMIZE);
        } else if (sender == m_btnSetting || sender == m_btnSetting1) {
            m_previousPage = sender == m_btnSetting ? kDownloadPage : kRetryPage;
            ShowPage(kProxyPage, m_btnReturn);
            SetVisible(m_saveTipLbl, false);
        } else if (sender == m_btnReturn) {
            ReturnFromProxyPage();
        } else if (sender == m_btnRetry) {
            m_previousPage = kDownloadPage;
            ShowPage(kDownloadPage, m_btnSetting);
            StartDownload();
        } else if (sender == m_btnDownlink) {
            ShellExecuteW(nullptr, L"open", DownloadPageUrl(), nullptr, nullptr, SW_SHOWNORMAL);
        } else if (sender == m_btnSaveProxy) {
            ShowTip(SaveProxySettings() ? kSavedTip : kSaveFailedTip);
        }
    } else if (msg.sType == L"maxtext") {
        // A proxy field is full: it says so instead of dropping input silently.
        if (sender == m_editIp || sender == m_editPort || sender == m_editAccount || sender == m_editPwd)
            ShowTip(kFieldFullTip);
    } else if (msg.sType == L"textchanged") {
        if (sender == m_editIp || sender == m_editPort)
            UpdateSaveButton();
    } else if (msg.sType == L"selectchanged") {
        if (sender == m_chkUseProxy && m_chkUseProxy != nullptr) {
            if (m_chkUseProxy->GetCheck()) {
                if (ProxyAddressComplete())
                    SetEnabled(m_btnSaveProxy, true);
            } else {
                SetEnabled(m_btnSaveProxy, false);
                // Saved at once; only a failure is told here.
                if (!SaveProxySettings())
                    ShowTip(kSaveFailedTip);
            }
        }
    }
}

ProxySettings mainFrame::ProxyFromPage() const
{
    ProxySettings proxy;
    proxy.useProxy = m_chkUseProxy != nullptr && m_chkUseProxy->GetCheck();
    proxy.ip = TextOf(m_editIp);
    proxy.port = TextOf(m_editPort);
    proxy.account = TextOf(m_editAccount);
    proxy.password = TextOf(m_editPwd);
    return proxy;
}

void mainFrame::LoadProxySettings()
{
    const ProxySettings proxy = ReadProxySettings(ConfigStore::Instance());
    SetText(m_editIp, proxy.ip);
    SetText(m_editPort, proxy.port);
    SetText(m_editAccount, proxy.account);
    SetText(m_editPwd, proxy.password);
    if (m_chkUseProxy != nullptr)
        m_chkUseProxy->SetCheck(proxy.useProxy, true);
    if (ProxyAddressComplete() && m_chkUseProxy != nullptr && m_chkUseProxy->GetCheck())
        SetEnabled(m_btnSaveProxy, true);
}

bool mainFrame::SaveProxySettings()
{
    return WriteProxySettings(ConfigStore::Instance(), ProxyFromPage());
}

// The tip tells what the save did (the success text only after the file was
// written; on failure the store has written why), or that a field is full.
void mainFrame::ShowTip(Tip tip)
{
    m_tip = tip;
    if (tip == kSavedTip)
        SetText(m_saveTipLbl, m_savedTipText);
    else
        SetText(m_saveTipLbl, tip == kSaveFailedTip ? SaveFailedTextOf(m_languageSet) : FieldFullTextOf(m_languageSet));
    SetVisible(m_saveTipLbl, true);
}

void mainFrame::StartDownload()
{
    // The proxy values are copied here, on the UI thread: the attempt never reads a control.
    const ProxySettings proxy = ProxyFromPage();
    // A proxy that cannot be used as typed is never replaced by another port or
    // host: the attempt fails at once.
    if (proxy.useProxy && !IsUsableProxy(proxy)) {
        WriteDiagnosticLine(stdout,
                            "download last error proxy : the address or the port (1 to 65535) is not usable: \"" +
                                ToNarrow(proxy.ip) + "\" \"" + ToNarrow(proxy.port) + "\"");
        OnDownloadFailed();
        return;
    }
    if (!StartDownloadWorker(m_hWnd, proxy, m_partialDownload))
        OnDownloadFailed();
}

void mainFrame::StartDownloadOncePainted(std::function<void()> prepare)
{
    m_prepareDownload = std::move(prepare);
    // A timer's message is taken from the queue only when no window of the
    // thread has anything left to paint, so the attempt starts after the first
    // paint; and it comes all the same to a window that is never painted (one
    // started hidden or minimized), which a start on the first WM_PAINT would
    // leave waiting for ever.
    if (::SetTimer(m_hWnd, kFirstAttemptTimer, 0, nullptr) == 0)
        StartFirstAttempt();
}

void mainFrame::StartFirstAttempt()
{
    ::KillTimer(m_hWnd, kFirstAttemptTimer);
    const std::function<void()> prepare = std::move(m_prepareDownload);
    m_prepareDownload = nullptr;
    if (prepare)
        prepare();
    StartDownload();
}

void mainFrame::OnDownloadFailed()
{
    ShowPage(kRetryPage, m_btnRetry);
}

// The hand-off, in steps: the installer has fully arrived (and is held against
// changes); the window shows that it is finishing; the previous installation is
// removed, once, however long that takes; then the installer starts and the
// updater closes. A failed attempt never gets here, so it leaves the previous
// installation as it was.
void mainFrame::OnDownloadFinished(LPARAM lParam)
{
    std::unique_ptr<HandOff> handOff(reinterpret_cast<HandOff*>(lParam));
    if (!handOff)
        return;
    m_installer = std::move(handOff->installer);
    ShowFinishing();
    if (m_removalFinished) {
        StartInstaller();
        return;
    }
    if (!m_removalStarted) {
        m_removalStarted = true;
        StartRemoval(m_hWnd, WM_REMOVAL_FINISHED, m_removePreviousInstallation);
    }
}

// The download page with the bar full; the close button still ends the updater.
void mainFrame::ShowFinishing()
{
    SelectPage(kDownloadPage);
    if (m_prsDown != nullptr)
        m_prsDown->SetValue(m_prsDown->GetMaxValue());
}

void mainFrame::OnRemovalFinished()
{
    m_removalFinished = true;
    StartInstaller();
}

void mainFrame::StartInstaller()
{
    if (!m_installer.IsOpen())
        return;
    ::ShowWindow(m_hostWindow, SW_HIDE);
    DWORD error = 0;
    const bool started = m_installer.Start(&error);
    m_installer.Close();
    if (!started) {
        WriteDiagnosticLine(stdout, "download last error ShellExecuteEx : " + std::to_string(static_cast<long>(error)));
        ::ShowWindow(m_hostWindow, SW_SHOW);
        ShowPage(kRetryPage, m_btnRetry);
        return;
    }
    // A lost close would leave a hidden process behind: close directly when the post fails.
    if (!::PostMessageW(m_hostWindow, WM_CLOSE, 0, 0))
        DestroyWindow(m_hostWindow);
}
