// CPaintManagerUI: connects one native window to one tree of controls. It
// turns the window's messages into control events and named notifications,
// keeps focus, hover, capture and timers, paints the tree double-buffered (or
// per-pixel alpha for layered windows), and owns the window's resource tables:
// fonts, images, default attribute lists and colours. Its process-wide part
// says where skins and images come from and holds the shared tables and the
// numbered language strings.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "AttributeTable.h"
#include "ControlTimers.h"
#include "FacetArrays.h"
#include "FacetString.h"
#include "FacetStringPtrMap.h"
#include "HoverTooltip.h"
#include "PaintManagerTypes.h"
#include "ResourceTables.h"
#include "UniqueHandle.h"
#include "../render/GdiObjects.h"
#include "../render/ImageInfo.h"

namespace Facet {

class CAccessibility;
class CControlUI;
class CZipArchive;

typedef CControlUI* (*LPCREATECONTROL)(const wchar_t* className);

class CPaintManagerUI
{
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // -- Window and tree --

    // Binds the manager to a native window (again): forgets names, this window's
    // resources, custom attributes, option groups and timers.
    void Init(HWND hWnd, const wchar_t* name = nullptr);
    bool AttachDialog(CControlUI* pControl);
    bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
    // Called by a control that is being destroyed.
    void ReapObjects(CControlUI* pControl);
    // Destroys the control after the current message, from the posted queue.
    void AddDelayedCleanup(CControlUI* pControl);

    CControlUI* GetRoot() const;
    HWND GetPaintWindow() const;
    HDC GetPaintDC() const;
    HBITMAP GetPaintOffscreenBitmap() const;
    const CFacetString& GetName() const;
    static CPaintManagerUI* GetPaintManager(const wchar_t* name);
    static CFacetPtrArray* GetPaintManagers();

    void NeedUpdate();
    bool IsUpdateNeeded() const;
    void Invalidate();
    void Invalidate(RECT& rcItem);
    bool IsPainting() const;
    void SetPainting(bool painting);
    SIZE GetClientSize() const;
    POINT GetMousePos() const;

    // -- Window attributes --

    // The largest window side, the same as the largest image side.
    static constexpr int kMaxWindowExtent = 16384;
    SIZE GetInitSize() const;
    // Sizes (and the minimum and maximum track sizes) are kept within the
    // virtual screen, at most kMaxWindowExtent a side.
    void SetInitSize(int cx, int cy);
    RECT& GetSizeBox();
    void SetSizeBox(RECT& rcSizeBox);
    RECT& GetCaptionRect();
    void SetCaptionRect(RECT& rcCaption);
    SIZE GetRoundCorner() const;
    void SetRoundCorner(int cx, int cy);
    SIZE GetMinInfo() const;
    void SetMinInfo(int cx, int cy);
    SIZE GetMaxInfo() const;
    void SetMaxInfo(int cx, int cy);
    bool IsShowUpdateRect() const;
    void SetShowUpdateRect(bool show);
    bool IsNoActivate() const;
    void SetNoActivate(bool noActivate);
    BYTE GetOpacity() const;
    void SetOpacity(BYTE opacity);
    bool IsLayered() const;
    void SetLayered(bool layered);
    RECT& GetLayeredInset();
    void SetLayeredInset(RECT& rcLayeredInset);
    BYTE GetLayeredOpacity() const;
    void SetLayeredOpacity(BYTE opacity);
    const wchar_t* GetLayeredImage() const;
    void SetLayeredImage(const wchar_t* description);
    int GetHoverTime() const;
    void SetHoverTime(int milliseconds);
    int GetTooltipWindowWidth() const;
    void SetTooltipWindowWidth(int width);
    HWND GetTooltipWindow() const;

    void AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value);
    const wchar_t* GetWindowCustomAttribute(const wchar_t* name) const;
    bool RemoveWindowCustomAttribute(const wchar_t* name);
    void RemoveAllWindowCustomAttribute();
    // Applies one window attribute of a skin's root element through the
    // window attribute table; other names become window custom attributes.
    void SetWindowAttribute(const wchar_t* name, const wchar_t* value);
    // The window attributes a skin's root element may carry.
    static const TAttributeTableBase<CPaintManagerUI>& GetWindowAttributeTable();
    // Applies name="value" pairs separated by single blanks.
    void SetWindowAttributeList(const wchar_t* list);
    void UsedVirtualWnd(bool used);
    void SetAdaptDPI(bool adapt);

    // -- Listeners --

    bool AddNotifier(INotifyUI* pControl);
    bool RemoveNotifier(INotifyUI* pControl);
    bool AddPreMessageFilter(IMessageFilterUI* pFilter);
    bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
    bool AddMessageFilter(IMessageFilterUI* pFilter);
    bool RemoveMessageFilter(IMessageFilterUI* pFilter);
    bool AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool AddPostPaint(CControlUI* pControl);
    bool RemovePostPaint(CControlUI* pControl);
    bool SetPostPaintIndex(CControlUI* pControl, int index);
    int GetPostPaintCount() const;
    bool AddNativeWindow(CControlUI* pControl, HWND hChildWnd);
    bool RemoveNativeWindow(HWND hChildWnd);
    int GetNativeWindowCount() const;
    RECT GetNativeWindowRect(HWND hChildWnd) const;
    void AddMouseLeaveNeeded(CControlUI* pControl);
    bool RemoveMouseLeaveNeeded(CControlUI* pControl);

    // -- Messages and notifications --

    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool TranslateAccelerator(LPMSG pMsg);
    static bool TranslateMessage(const LPMSG pMsg);
    static int MessageLoop();

    void SendNotify(TNotifyUI& Msg, bool bAsync = false, bool bEnableRepeat = true);
    void SendNotify(CControlUI* pControl, const wchar_t* pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool bAsync = false, bool bEnableRepeat = true);

    // -- Focus and capture --

    CControlUI* GetFocus() const;
    void SetFocus(CControlUI* pControl, bool bFocusWnd = true);
    void SetFocusNeeded(CControlUI* pControl);
    bool SetNextTabControl(bool bForward = true);
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const;

    // -- Assistive technology (PaintManagerAccessibility.cpp) --

    // Tells screen readers and other assistive technology of a change of
    // `control` (an EVENT_OBJECT_* value); null stands for the whole client area.
    void NotifyAccessible(DWORD event, CControlUI* control);
    // Whether the focused control shows a focus frame: after keyboard input,
    // until the next mouse press.
    bool AreFocusCuesShown() const;

    // -- Control timers --

    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    void KillTimer(CControlUI* pControl);
    void RemoveAllTimers();

    // -- Names and searches --

    CControlUI* FindControl(const wchar_t* name) const;
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* pParent, const wchar_t* name) const;
    CControlUI* FindSubControlByPoint(CControlUI* pParent, POINT pt) const;
    CControlUI* FindSubControlByClass(CControlUI* pParent, const wchar_t* className, int index = 0);
    CFacetPtrArray* FindSubControlsByClass(CControlUI* pParent, const wchar_t* className);
    CFacetPtrArray* GetFoundControls();
    bool RenameControl(CControlUI* pControl, const wchar_t* name);

    // -- Option groups --

    bool AddOptionGroup(const wchar_t* groupName, CControlUI* pControl);
    CFacetPtrArray* GetOptionGroup(const wchar_t* groupName);
    void RemoveOptionGroup(const wchar_t* groupName, CControlUI* pControl);
    void RemoveAllOptionGroups();

    // -- Control plug-ins (process-wide) --

    static bool LoadPlugin(const wchar_t* moduleName);
    static CFacetPtrArray* GetPlugins();

    // -- Fonts (this window's table, then the shared one, then the default font) --

    HFONT AddFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic, bool shared = false);
    HFONT GetFont(int id);
    HFONT GetFont(const wchar_t* name, int size, bool bold, bool underline, bool italic);
    int GetFontIndex(HFONT hFont, bool shared = false);
    int GetFontIndex(const wchar_t* name, int size, bool bold, bool underline, bool italic, bool shared = false);
    TFontInfo* GetFontInfo(int id);
    TFontInfo* GetFontInfo(HFONT hFont);
    TFontInfo* GetDefaultFontInfo();
    void SetDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic, bool shared = false);
    bool RemoveFont(int id, bool shared = false);
    bool RemoveFont(HFONT hFont, bool shared = false);
    void RemoveAllFonts(bool shared = false);
    int GetCustomFontCount(bool shared = false) const;

    // -- Images --

    const TImageInfo* AddImage(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0, bool useHSL = false,
                               bool shared = false, bool svg = false);
    // Registers an existing bitmap in the shared table.
    const TImageInfo* AddImage(const wchar_t* name, HBITMAP hBitmap, int width, int height, bool alpha);
    const TImageInfo* GetImage(const wchar_t* name);
    const TImageInfo* GetImageEx(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                                 bool useHSL = false, bool svg = false);
    bool RemoveImage(const wchar_t* name, bool shared = false);
    void RemoveAllImages(bool shared = false);
    void ReloadImages();
    static void ReloadSharedImages();
    static void ReloadSkin();

    // -- Default attribute lists --

    void AddDefaultAttributeList(const wchar_t* className, const wchar_t* attributeList, bool shared = false);
    const wchar_t* GetDefaultAttributeList(const wchar_t* className) const;
    bool RemoveDefaultAttributeList(const wchar_t* className, bool shared = false);
    void RemoveAllDefaultAttributeList(bool shared = false);

    // -- Default colours --

    DWORD GetDefaultDisabledColor() const;
    void SetDefaultDisabledColor(DWORD color, bool shared = false);
    DWORD GetDefaultFontColor() const;
    void SetDefaultFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkFontColor() const;
    void SetDefaultLinkFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultLinkHoverFontColor() const;
    void SetDefaultLinkHoverFontColor(DWORD color, bool shared = false);
    DWORD GetDefaultSelectedBkColor() const;
    void SetDefaultSelectedBkColor(DWORD color, bool shared = false);

    // Adding fonts, images and default lists goes to the shared tables.
    void SetForceUseSharedRes(bool force);
    bool IsForceUseSharedRes() const;

    // -- HSL adjustment of images (process-wide) --

    static void SetHSL(bool useHSL, short h, short s, short l);
    static bool GetHSL(short* h, short* s, short* l);

    // -- Process-wide skin sources (UI thread; set once at start-up) --

    static HINSTANCE GetInstance();
    static void SetInstance(HINSTANCE hInst);
    // The module that holds compiled resources: the one set, else the instance.
    static HINSTANCE GetResourceDll();
    static void SetResourceDll(HINSTANCE hInst);

    // The folder of the instance's module file with its trailing "\"; empty
    // when no instance is set.
    static CFacetString GetInstancePath();
    static CFacetString GetCurrentPath();
    static void SetCurrentPath(const wchar_t* path);

    // A non-empty path always ends with "\" or "/" ("\" is appended).
    static void SetResourcePath(const wchar_t* path);
    static const CFacetString& GetResourcePath();

    // Skins are read from the zip file `zipName` in the resource folder. With
    // `cached` the archive is opened now and kept for every load; otherwise
    // each load opens and closes it. Nothing happens when both are unchanged.
    static void SetResourceZip(const wchar_t* zipName, bool cached = false);
    // Skins are read from a zip archive in memory (the name becomes
    // "membuffer"). The block must stay valid while it is in use. An archive in
    // memory is always kept open; a different block replaces the current one.
    static void SetResourceZip(const void* data, unsigned int length);
    static const CFacetString& GetResourceZip();
    static bool IsCachedResourceZip();
    // The archive kept open, or null.
    static CZipArchive* GetResourceZipHandle();
    // True when the resource zip is an archive in memory.
    static bool IsResourceZipInMemory();

    // Closes the archive kept open. Called once at shutdown.
    static void Term();

    // -- Language strings (process-wide, UI thread) --

    // Stores a copy of `text` (null counts as empty) under the number `id`,
    // replacing an earlier text of that number.
    static void AddMultiLanguageString(int id, const wchar_t* text);
    // The text of number `id`, or null.
    static const wchar_t* GetMultiLanguageString(int id);
    static bool RemoveMultiLanguageString(int id);
    static void RemoveAllMultiLanguageString();
    // Replaces every token "%{n}" (n: zero or more decimal digits, none
    // meaning 0) whose number has a language string by that string. A
    // substituted string is scanned again together with the text after it,
    // so its tokens are expanded too, and so is a token it begins and the
    // text completes; not, though, a token of a string that is being
    // expanded there (so a string that names itself ends the expansion), nor
    // beyond a fixed nesting depth, a fixed number of substitutions or a
    // fixed length of text. Tokens of numbers without a string, and
    // malformed tokens, stay as they are.
    static void ProcessMultiLanguageTokens(CFacetString& text);

private:
    static CFacetStringPtrMap& MultiLanguageStrings();
    static void CloseResourceZip();

    static HINSTANCE m_hInstance;
    static HINSTANCE m_hResourceInstance;
    static CFacetString m_pStrResourcePath;
    static CFacetString m_pStrResourceZip;
    static bool m_bCachedResourceZip;
    static CZipArchive* m_hResourceZip;
    // The memory block of an archive in memory (null for a zip file).
    static const void* m_pResourceZipData;
    static unsigned int m_nResourceZipLength;
    // Term closed the archive kept open; the same setting opens it again.
    static bool m_bResourceZipClosedByTerm;

    // -- Resource tables --
    static void InitSharedResources();
    void InitWindowResources();
    void FreeWindowResources();
    TResInfo& TargetTables(bool shared);
    void MeasureFont(TFontInfo& info) const;
    static TImageInfo* LoadTableImage(const wchar_t* name, const wchar_t* type, DWORD mask, bool svg);
    static bool PrepareHSL(TImageInfo& image);
    void RetireImage(TImageInfo* image);
    static void ReloadImageTable(CFacetStringPtrMap& images);
    static void AdjustImageTable(CFacetStringPtrMap& images);

    // -- Events, painting and notifications --
    // The window timer that paints a layered window's accumulated update area.
    static const UINT kLayeredUpdateTimerId = 0x2000;
    // Command, colour and notify messages of child windows come back to them
    // under their number plus this offset.
    static const UINT kReflectOffset = 0x2000;
    static CControlUI* CALLBACK FindControlFromNameHash(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK FindControlFromPoint(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK FindControlFromTab(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK FindControlFromShortcut(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK FindControlFromUpdate(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK FindControlFromName(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK FindControlFromClass(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK FindControlsFromClass(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK FindControlsFromUpdate(CControlUI* pThis, LPVOID pData);

    void PostAsyncNotify();
    void DeliverNotify(TNotifyUI& msg);
    void HandleAsyncNotify();
    void DestroyDelayedCleanup();
    void FreeAsyncNotifications();
    // The message handler's cases, one per message; each answers whether it
    // handled the message (and set lRes) or leaves it to the window.
    bool RunMessageFilters(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool HandleLayeredFrame(UINT uMsg, WPARAM wParam, LRESULT& lRes);
    bool HandleClose(WPARAM wParam, LPARAM lParam);
    bool HandlePaint(LRESULT& lRes);
    bool HandlePrintClient(WPARAM wParam, LPARAM lParam);
    bool HandleGetMinMaxInfo(LPARAM lParam);
    bool HandleSize();
    bool HandleTimer(WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool HandleMouseActivate(LRESULT& lRes);
    bool HandleSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool HandleMouseMove(WPARAM wParam, LPARAM lParam);
    bool HandleMouseHover(LPARAM lParam, LRESULT& lRes);
    bool HandleMouseLeave();
    bool HandleButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam);
    bool HandleButtonUp(WPARAM wParam, LPARAM lParam);
    bool HandleRightButtonDown(WPARAM wParam, LPARAM lParam);
    bool HandleContextMenu(LPARAM lParam);
    bool HandleMouseWheel(WPARAM wParam, LPARAM lParam);
    bool HandleKeyDown(WPARAM wParam, LPARAM lParam);
    bool HandleKeyUp(WPARAM wParam, LPARAM lParam);
    bool HandleChar(WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool ReflectNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool HandleKillFocus(WPARAM wParam);
    // The pre-translation's cases.
    bool HandleTabKey(WPARAM wParam);
    bool HandleShortcut(WPARAM wParam);
    // The start of a mouse-button press at `lParam`: focuses the window (unless
    // it must not activate), records the position and the pressed control of
    // this manager, which takes the focus when `focusControl`. Null when no
    // such control is there or its focus handlers destroyed it.
    CControlUI* BeginPress(LPARAM lParam, bool focusControl);
    void HideTooltip();
    void SendMouseLeave(CControlUI* pControl);
    void Paint();
    void PostPaint(HDC hDC, const RECT& rcPaint);
    void LayoutIfNeeded(const RECT& rcClient);
    bool EnsureOffscreen(const RECT& rcClient);
    void PaintNativeChildren(const RECT& rcPaint);
    void ApplyLayeredImage(const RECT& rcClient, const RECT& rcPaint);
    void ShowLayered(const RECT& rcClient);
    void PaintLayered(const RECT& rcClient, RECT rcPaint);
    void PaintToWindow(const RECT& rcClient);
    static WORD CurrentKeyState();
    // Tells the focus control it lost the focus to `pNext`; returns `pNext`, or
    // null when the old focus's listeners destroyed it.
    CControlUI* KillFocusFor(CControlUI* pNext);
    void SendKeyEvent(int type, CControlUI* pTarget, WPARAM wParam, LPARAM lParam);
    // Whether the control's parents lead to this manager's root.
    bool IsInTree(CControlUI* pControl) const;
    // A window size within what the screens can show (see the definition).
    static SIZE BoundedWindowSize(int cx, int cy);

    // Assistive technology: WM_GETOBJECT, the objects handed out, focus cues.
    CAccessibility& Accessibility();
    bool AccessibilityMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    void NoteAccessibleInput(UINT uMsg);
    void FreeAccessibility();

    CFacetString m_sName;
    HWND m_hWndPaint = nullptr;
    UniqueWindowDC m_hDcPaint;
    // What a paint draws into before it is copied to the window (a DIB for a
    // layered window), and a layered window's background image at full size.
    OffscreenSurface m_offscreen;
    OffscreenSurface m_layeredBackground;
    int m_iTooltipWidth = -1;
    CHoverTooltip m_tooltip;
    int m_iHoverTime = 1000;
    bool m_bNoActivate = false;
    bool m_bShowUpdateRect = false;

    CControlUI* m_pRoot = nullptr;
    CAccessibility* m_pAccessibility = nullptr; // owned, made on first need
    CControlUI* m_pFocus = nullptr;
    CControlUI* m_pEventHover = nullptr;
    CControlUI* m_pEventClick = nullptr;
    CControlUI* m_pEventKey = nullptr;
    CControlUI* m_pLastToolTip = nullptr;
    // The control about to receive the focus while the old one is told it lost it.
    CControlUI* m_pPendingFocus = nullptr;
    POINT m_ptLastMousePos = {-1, -1};
    SIZE m_szMinWindow = {0, 0};
    SIZE m_szMaxWindow = {0, 0};
    SIZE m_szInitWindowSize = {0, 0};
    RECT m_rcSizeBox = {0, 0, 0, 0};
    SIZE m_szRoundCorner = {0, 0};
    RECT m_rcCaption = {0, 0, 0, 0};
    bool m_bFirstLayout = true;
    bool m_bUpdateNeeded = false;
    bool m_bFocusNeeded = false;
    bool m_bOffscreenPaint = true;
    BYTE m_nOpacity = 255;
    bool m_bLayered = false;
    RECT m_rcLayeredInset = {0, 0, 0, 0};
    bool m_bLayeredChanged = false;
    RECT m_rcLayeredUpdate = {0, 0, 0, 0};
    TDrawInfo m_diLayered;
    BYTE m_nLayeredOpacity = 255;
    bool m_bMouseTracking = false;
    bool m_bMouseCapture = false;
    bool m_bIsPainting = false;
    bool m_bUsedVirtualWnd = false;
    bool m_bAsyncNotifyPosted = false;

    CFacetPtrArray m_aNotifiers;
    CControlTimers m_timers;
    CFacetPtrArray m_aPreMessageFilters;
    CFacetPtrArray m_aMessageFilters;
    CFacetPtrArray m_aPostPaintControls;
    CFacetPtrArray m_aNativeWindow;
    CFacetPtrArray m_aNativeWindowControl;
    CFacetPtrArray m_aDelayedCleanup;
    CFacetPtrArray m_aAsyncNotify;
    CFacetPtrArray m_aFoundControls;
    CFacetPtrArray m_aNeedMouseLeaveNeeded;
    CFacetPtrArray m_aTranslateAccelerator;
    CFacetStringPtrMap m_mNameHash;
    CFacetStringPtrMap m_mWindowCustomAttrHash;
    CFacetStringPtrMap m_mOptionGroup;

    static CFacetPtrArray m_aPlugins;
    static HPEN m_hUpdateRectPen;

    bool m_bForceUseSharedRes = false;
    TResInfo m_ResInfo;
    // Image records removed or replaced while controls may still point at them:
    // emptied at once, deleted with the manager.
    CFacetPtrArray m_aRetiredImages;

    static TResInfo m_SharedResInfo;
    static bool m_bUseHSL;
    static short m_H;
    static short m_S;
    static short m_L;
    static CFacetPtrArray m_aPaintManagers;
};

} // namespace Facet
