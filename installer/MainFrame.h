// The updater's skinned main window: a child of the host window showing one of
// three pages (download, retry, proxy settings) built from the skin resource.
#pragma once

#include "ConfigStore.h"
#include "DownloadedFile.h"
#include "PartialDownload.h"

#include <Facet.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

// The class of the main window, by which another start of the updater finds it.
constexpr wchar_t kMainFrameClass[] = L"MvMainUI";

class mainFrame : public Facet::CWindowWnd, public Facet::INotifyUI, public Facet::IMessageFilterUI
{
public:
    enum Page { kDownloadPage = 0, kRetryPage = 1, kProxyPage = 2 };

    // `removePreviousInstallation` runs once during the hand-off to the new
    // installer (RemovePreviousInstallation unless given).
    explicit mainFrame(HWND hostWindow, std::function<void()> removePreviousInstallation = {});

    const wchar_t* GetWndClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    virtual UINT GetSkinResourceID() const;
    virtual void InitWindow();

    void Notify(Facet::TNotifyUI& msg) override;
    // Sees the keys of this window and of the edit boxes inside it before they
    // are dispatched: Escape leaves the proxy settings page.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    // Starts an attempt with the proxy values shown on the page now; shows the
    // retry page when no attempt could be started.
    void StartDownload();
    // Starts the first attempt once this window has painted for the first time,
    // or has nothing to paint (started hidden or minimized): what the attempt
    // needs (`prepare`, run just before it) and the attempt itself cost the
    // first paint nothing.
    void StartDownloadOncePainted(std::function<void()> prepare);

    // The proxy values as the page shows them, exactly as typed.
    ProxySettings ProxyFromPage() const;
    void LoadProxySettings();
    // True once the settings file has been written.
    bool SaveProxySettings();

private:
    // What a page shows that the user or an attempt has changed, carried over
    // when the controls are built again for another display scale.
    struct PageState
    {
        int page = kDownloadPage;
        int progress = 0;
        std::wstring fields[4];
        bool useProxy = false;
        bool saveEnabled = false;
        bool tipShown = false;
        int tip = 0;
        Facet::CFacetString focus;
    };

    Facet::CControlUI* Find(const wchar_t* name) const;
    // Builds the control tree from the skin and attaches it; false without a skin.
    bool BuildControls();
    void FindControls();
    void ApplyLanguage(int set);
    // The window at the skin's size times the display scale.
    void SizeToSkin();
    // The window has moved to a display of `dpi` dots per inch: the controls
    // are built again at its scale and show what they showed.
    void OnDpiChanged(int dpi);
    PageState CaptureState() const;
    void RestoreState(const PageState& state);
    void SelectPage(int page);
    // Selects a page and gives the keyboard focus to `focus` on it.
    void ShowPage(int page, Facet::CControlUI* focus);
    void ReturnFromProxyPage();
    void UpdateSaveButton();
    // What the tip label under the proxy fields tells.
    enum Tip { kSavedTip, kSaveFailedTip, kFieldFullTip };
    void ShowTip(Tip tip);
    bool ProxyAddressComplete() const;
    void OnDownloadFailed();
    void OnDownloadFinished(LPARAM handOff);
    void ShowFinishing();
    void OnRemovalFinished();
    void StartInstaller();
    bool OnMouseMove(WPARAM wParam);
    void StartFirstAttempt();

    Facet::CPaintManagerUI m_pm;
    HWND m_hostWindow;
    POINT m_pressPoint = {0, 0};
    POINT m_currentPoint = {0, 0};
    RECT m_pressRect = {0, 0, 0, 0};
    POINT m_dragPosition = {0, 0};
    SIZE m_dragSize = {0, 0};
    bool m_pressed = false; // a left-button press in this window is in progress

    Facet::CControlUI* m_btnClose = nullptr;
    Facet::CControlUI* m_btnMin = nullptr;
    Facet::CControlUI* m_btnSetting = nullptr;
    Facet::CControlUI* m_btnClose1 = nullptr;
    Facet::CControlUI* m_btnMin1 = nullptr;
    Facet::CControlUI* m_btnSetting1 = nullptr;
    Facet::CControlUI* m_btnClose2 = nullptr;
    Facet::CControlUI* m_btnMin2 = nullptr;
    Facet::CControlUI* m_btnReturn = nullptr;
    Facet::CTabLayoutUI* m_tabLayout = nullptr;
    Facet::CProgressUI* m_prsDown = nullptr;
    Facet::CControlUI* m_btnRetry = nullptr;
    Facet::CControlUI* m_btnDownlink = nullptr;
    Facet::CControlUI* m_editIp = nullptr;
    Facet::CControlUI* m_editPort = nullptr;
    Facet::CControlUI* m_editAccount = nullptr;
    Facet::CControlUI* m_editPwd = nullptr;
    Facet::CCheckBoxUI* m_chkUseProxy = nullptr;
    Facet::CControlUI* m_btnSaveProxy = nullptr;
    Facet::CControlUI* m_saveTipLbl = nullptr;

    // The tip label's text for a save that succeeded, in the language shown.
    std::wstring m_savedTipText;
    Tip m_tip = kSavedTip; // what the tip label tells when it shows

    // Run before the first attempt, which starts after the first paint.
    std::function<void()> m_prepareDownload;
    // Apart from the paint manager's timers (ids below 0x100, and 0x2000).
    static const UINT_PTR kFirstAttemptTimer = 0x4D01;

    int m_previousPage = 0;
    int m_languageSet = 0;

    // The hand-off: the downloaded installer, held until it is started, and the
    // removal of the previous installation, which runs once before that.
    std::function<void()> m_removePreviousInstallation;
    DownloadedFile m_installer;
    // The part of the body a failed attempt left, for the retry to continue;
    // only the running attempt's worker touches what it holds.
    std::shared_ptr<PartialDownload> m_partialDownload = std::make_shared<PartialDownload>();
    bool m_removalStarted = false;
    bool m_removalFinished = false;
};

// The display scale: the desktop's horizontal dots per inch / 96 (1.0 at 96,
// 1.25 at 120, ...). Read through the framework's DPI manager, whose reading
// tests may replace (DpiManager::SetDpiSource).
double GetScaleFactor();

// Gives `window` the size of the client rectangle `client` widened by the
// window's own style and extended style, times the display scale (each
// product truncated), at (0, 0); `flags` go to SetWindowPos. False when the
// widening fails and nothing was done.
bool SizeByScale(HWND window, RECT client, UINT flags);

// The address of the vendor's download web page.
const wchar_t* DownloadPageUrl();
