// The paint manager's binding to its window and tree, its window attributes,
// listener lists, name map, searches and option groups.
#include "PaintManager.h"

#include "DpiManager.h"
#include "UniqueHandle.h"
#include "../control/ControlUI.h"
#include "../render/RenderEngine.h"

#include <algorithm>
#include <cwchar>

namespace Facet {

CFacetPtrArray CPaintManagerUI::m_aPaintManagers;
CFacetPtrArray CPaintManagerUI::m_aPlugins;
HPEN CPaintManagerUI::m_hUpdateRectPen = nullptr;

namespace {

bool AddUnique(CFacetPtrArray& array, void* item)
{
    if (item == nullptr || array.Find(item) >= 0)
        return false;
    return array.Add(item);
}

bool RemoveItem(CFacetPtrArray& array, void* item)
{
    const int index = array.Find(item);
    return index >= 0 && array.Remove(index);
}

} // namespace

CPaintManagerUI::CPaintManagerUI() : m_mNameHash(83), m_mWindowCustomAttrHash(83), m_mOptionGroup(83)
{
    if (m_hUpdateRectPen == nullptr)
        m_hUpdateRectPen = CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
    InitSharedResources();
    InitWindowResources();
}

CPaintManagerUI::~CPaintManagerUI()
{
    DestroyDelayedCleanup();
    FreeAsyncNotifications();
    m_mNameHash.Resize(0);
    CControlUI* root = m_pRoot;
    m_pRoot = nullptr;
    if (root != nullptr)
        root->Delete();
    FreeAccessibility();

    FreeWindowResources();
    m_mWindowCustomAttrHash.DeleteValues<CFacetString>();
    m_mOptionGroup.DeleteValues<CFacetPtrArray>();
    RemoveAllTimers();

    m_tooltip.Destroy();
    RemoveItem(m_aPaintManagers, this);
}

void CPaintManagerUI::Init(HWND hWnd, const wchar_t* name)
{
    m_mNameHash.Resize(CFacetStringPtrMap::kDefaultBuckets);
    RemoveAllFonts(false);
    RemoveAllImages(false);
    RemoveAllDefaultAttributeList(false);
    RemoveAllWindowCustomAttribute();
    RemoveAllOptionGroups();
    RemoveAllTimers();
    m_sName = name;
    if (hWnd != m_hWndPaint) {
        // A second binding gives back the first window's device context.
        m_hDcPaint.Reset();
        m_hWndPaint = hWnd;
        if (hWnd != nullptr)
            m_hDcPaint = GetUniqueWindowDC(hWnd);
        m_offscreen.Reset();
        if (hWnd != nullptr)
            AddUnique(m_aPaintManagers, this);
        else
            RemoveItem(m_aPaintManagers, this);
    }
}

bool CPaintManagerUI::AttachDialog(CControlUI* pControl)
{
    SetFocus(nullptr);
    m_pEventKey = nullptr;
    m_pEventHover = nullptr;
    m_pEventClick = nullptr;
    m_pLastToolTip = nullptr;
    const bool replacing = m_pRoot != nullptr;
    if (replacing) {
        DestroyDelayedCleanup();
        FreeAsyncNotifications();
        // Emptied, not left without buckets: the new tree's names go in next.
        m_mNameHash.Resize(CFacetStringPtrMap::kDefaultBuckets);
        m_aPostPaintControls.Empty();
        m_aNativeWindow.Empty();
        m_aNativeWindowControl.Empty();
        AddDelayedCleanup(m_pRoot);
    }
    m_pRoot = pControl;
    m_bUpdateNeeded = true;
    m_bFirstLayout = true;
    m_bFocusNeeded = true;
    if (replacing)
        NotifyAccessible(EVENT_OBJECT_REORDER, nullptr);
    return InitControls(pControl);
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent)
{
    if (pControl == nullptr)
        return false;
    pControl->SetManager(this, pParent != nullptr ? pParent : pControl->GetParent(), true);
    pControl->FindControl(FindControlFromNameHash, this, UIFIND_ALL);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl)
{
    if (pControl == nullptr)
        return;
    if (pControl == m_pEventKey)
        m_pEventKey = nullptr;
    if (pControl == m_pEventHover)
        m_pEventHover = nullptr;
    if (pControl == m_pEventClick)
        m_pEventClick = nullptr;
    if (pControl == m_pFocus)
        m_pFocus = nullptr;
    if (pControl == m_pPendingFocus)
        m_pPendingFocus = nullptr;
    // Nothing may point at a destroyed control after this.
    if (pControl == m_pLastToolTip) {
        m_pLastToolTip = nullptr;
        HideTooltip();
    }
    RemoveItem(m_aPostPaintControls, pControl);
    RemoveItem(m_aNeedMouseLeaveNeeded, pControl);
    for (int i = m_aNativeWindowControl.GetSize() - 1; i >= 0; --i) {
        if (m_aNativeWindowControl[i] == pControl) {
            m_aNativeWindowControl.Remove(i);
            m_aNativeWindow.Remove(i);
        }
    }
    KillTimer(pControl);
    const CFacetString name = pControl->GetName();
    if (!name.IsEmpty() && m_mNameHash.Find(name) == pControl)
        m_mNameHash.Remove(name);
    for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
        TNotifyUI* msg = static_cast<TNotifyUI*>(m_aAsyncNotify[i]);
        if (msg->pSender == pControl)
            msg->pSender = nullptr;
    }
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* pControl)
{
    if (pControl == nullptr)
        return;
    pControl->SetManager(this, nullptr, false);
    m_aDelayedCleanup.Add(pControl);
    PostAsyncNotify();
}

void CPaintManagerUI::DestroyDelayedCleanup()
{
    // Destroying a control may queue more clean-up; take the list first.
    while (!m_aDelayedCleanup.IsEmpty()) {
        CFacetPtrArray pending(m_aDelayedCleanup);
        m_aDelayedCleanup.Empty();
        for (int i = 0; i < pending.GetSize(); ++i)
            static_cast<CControlUI*>(pending[i])->Delete();
    }
}

void CPaintManagerUI::FreeAsyncNotifications()
{
    for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i)
        delete static_cast<TNotifyUI*>(m_aAsyncNotify[i]);
    m_aAsyncNotify.Empty();
}

CControlUI* CPaintManagerUI::GetRoot() const
{
    return m_pRoot;
}
HWND CPaintManagerUI::GetPaintWindow() const
{
    return m_hWndPaint;
}
HDC CPaintManagerUI::GetPaintDC() const
{
    return m_hDcPaint.Get();
}
HBITMAP CPaintManagerUI::GetPaintOffscreenBitmap() const
{
    return m_offscreen.Bitmap();
}
const CFacetString& CPaintManagerUI::GetName() const
{
    return m_sName;
}

CPaintManagerUI* CPaintManagerUI::GetPaintManager(const wchar_t* name)
{
    if (name == nullptr || *name == L'\0')
        return nullptr;
    for (int i = 0; i < m_aPaintManagers.GetSize(); ++i) {
        CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(m_aPaintManagers[i]);
        if (manager->m_sName == name)
            return manager;
    }
    return nullptr;
}

CFacetPtrArray* CPaintManagerUI::GetPaintManagers()
{
    return &m_aPaintManagers;
}

void CPaintManagerUI::NeedUpdate()
{
    m_bUpdateNeeded = true;
}
bool CPaintManagerUI::IsUpdateNeeded() const
{
    return m_bUpdateNeeded;
}

void CPaintManagerUI::Invalidate()
{
    if (m_hWndPaint == nullptr)
        return;
    RECT rcClient = {0, 0, 0, 0};
    GetClientRect(m_hWndPaint, &rcClient);
    Invalidate(rcClient);
}

void CPaintManagerUI::Invalidate(RECT& rcItem)
{
    if (rcItem.left < 0)
        rcItem.left = 0;
    if (rcItem.top < 0)
        rcItem.top = 0;
    if (rcItem.right < rcItem.left)
        rcItem.right = rcItem.left;
    if (rcItem.bottom < rcItem.top)
        rcItem.bottom = rcItem.top;
    if (m_hWndPaint == nullptr)
        return;
    if (m_bLayered) {
        UnionRect(&m_rcLayeredUpdate, &m_rcLayeredUpdate, &rcItem);
        return;
    }
    InvalidateRect(m_hWndPaint, &rcItem, FALSE);
}

bool CPaintManagerUI::IsPainting() const
{
    return m_bIsPainting;
}
void CPaintManagerUI::SetPainting(bool painting)
{
    m_bIsPainting = painting;
}

SIZE CPaintManagerUI::GetClientSize() const
{
    RECT rcClient = {0, 0, 0, 0};
    if (m_hWndPaint != nullptr)
        GetClientRect(m_hWndPaint, &rcClient);
    return SIZE{rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
}

POINT CPaintManagerUI::GetMousePos() const
{
    return m_ptLastMousePos;
}

// -- Window attributes --

SIZE CPaintManagerUI::GetInitSize() const
{
    return m_szInitWindowSize;
}

SIZE CPaintManagerUI::BoundedWindowSize(int cx, int cy)
{
    // A window larger than every screen together cannot be seen, yet its
    // surfaces would be allocated at full size (a layered one's bitmap at four
    // bytes a pixel): sides are kept within the virtual screen, and never above
    // the largest image side the framework loads.
    int widest = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int tallest = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (widest <= 0 || widest > kMaxWindowExtent)
        widest = kMaxWindowExtent;
    if (tallest <= 0 || tallest > kMaxWindowExtent)
        tallest = kMaxWindowExtent;
    return SIZE{(std::max)(0, (std::min)(cx, widest)), (std::max)(0, (std::min)(cy, tallest))};
}

void CPaintManagerUI::SetInitSize(int cx, int cy)
{
    m_szInitWindowSize = BoundedWindowSize(cx, cy);
    if (m_pRoot == nullptr && m_hWndPaint != nullptr)
        SetWindowPos(m_hWndPaint, nullptr, 0, 0, m_szInitWindowSize.cx, m_szInitWindowSize.cy,
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

RECT& CPaintManagerUI::GetSizeBox()
{
    return m_rcSizeBox;
}
void CPaintManagerUI::SetSizeBox(RECT& rcSizeBox)
{
    m_rcSizeBox = rcSizeBox;
}
RECT& CPaintManagerUI::GetCaptionRect()
{
    return m_rcCaption;
}
void CPaintManagerUI::SetCaptionRect(RECT& rcCaption)
{
    m_rcCaption = rcCaption;
}
SIZE CPaintManagerUI::GetRoundCorner() const
{
    return m_szRoundCorner;
}
void CPaintManagerUI::SetRoundCorner(int cx, int cy)
{
    m_szRoundCorner = SIZE{cx, cy};
}
SIZE CPaintManagerUI::GetMinInfo() const
{
    return m_szMinWindow;
}
void CPaintManagerUI::SetMinInfo(int cx, int cy)
{
    m_szMinWindow = BoundedWindowSize(cx, cy);
}
SIZE CPaintManagerUI::GetMaxInfo() const
{
    return m_szMaxWindow;
}
void CPaintManagerUI::SetMaxInfo(int cx, int cy)
{
    m_szMaxWindow = BoundedWindowSize(cx, cy);
}
bool CPaintManagerUI::IsShowUpdateRect() const
{
    return m_bShowUpdateRect;
}
void CPaintManagerUI::SetShowUpdateRect(bool show)
{
    m_bShowUpdateRect = show;
}
bool CPaintManagerUI::IsNoActivate() const
{
    return m_bNoActivate;
}
void CPaintManagerUI::SetNoActivate(bool noActivate)
{
    m_bNoActivate = noActivate;
}
BYTE CPaintManagerUI::GetOpacity() const
{
    return m_nOpacity;
}

void CPaintManagerUI::SetOpacity(BYTE opacity)
{
    m_nOpacity = opacity;
    if (m_hWndPaint == nullptr)
        return;
    // Constant window alpha through the layered style; per-pixel layering ends.
    const LONG_PTR style = GetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_LAYERED);
    if (opacity == 255 && !m_bLayered) {
        SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, style);
        return;
    }
    if (m_bLayered) {
        ::KillTimer(m_hWndPaint, kLayeredUpdateTimerId);
        m_bLayered = false;
        // A window that UpdateLayeredWindow has shown refuses constant alpha
        // until its layered style is cleared and set again.
        SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, style);
        m_offscreen.Reset();
        if (m_pRoot != nullptr)
            m_pRoot->NeedUpdate();
        Invalidate();
    }
    SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(m_hWndPaint, 0, opacity, LWA_ALPHA);
}

bool CPaintManagerUI::IsLayered() const
{
    return m_bLayered;
}

void CPaintManagerUI::SetLayered(bool layered)
{
    if (m_hWndPaint == nullptr || layered == m_bLayered)
        return;
    if ((GetWindowLongPtrW(m_hWndPaint, GWL_STYLE) & WS_CHILD) != 0)
        return;
    const LONG_PTR style = GetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE);
    m_bLayered = layered;
    if (layered) {
        ::SetTimer(m_hWndPaint, kLayeredUpdateTimerId, 10, nullptr);
        SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, style | WS_EX_LAYERED);
    } else {
        ::KillTimer(m_hWndPaint, kLayeredUpdateTimerId);
        SetWindowLongPtrW(m_hWndPaint, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    }
    m_offscreen.Reset();
    if (m_pRoot != nullptr)
        m_pRoot->NeedUpdate();
    Invalidate();
}

RECT& CPaintManagerUI::GetLayeredInset()
{
    return m_rcLayeredInset;
}

void CPaintManagerUI::SetLayeredInset(RECT& rcLayeredInset)
{
    m_rcLayeredInset = rcLayeredInset;
    m_bLayeredChanged = true;
    Invalidate();
}

BYTE CPaintManagerUI::GetLayeredOpacity() const
{
    return m_nLayeredOpacity;
}

void CPaintManagerUI::SetLayeredOpacity(BYTE opacity)
{
    m_nLayeredOpacity = opacity;
    m_bLayeredChanged = true;
    Invalidate();
}

const wchar_t* CPaintManagerUI::GetLayeredImage() const
{
    return m_diLayered.sDrawString;
}

void CPaintManagerUI::SetLayeredImage(const wchar_t* description)
{
    m_diLayered.Clear();
    m_diLayered.sDrawString = description;
    // Loaded at once (no device context), so its alpha is known before the first paint.
    RECT none = {0, 0, 0, 0};
    CRenderEngine::DrawImage(nullptr, this, none, none, m_diLayered);
    m_bLayeredChanged = true;
    Invalidate();
}

int CPaintManagerUI::GetHoverTime() const
{
    return m_iHoverTime;
}
void CPaintManagerUI::SetHoverTime(int milliseconds)
{
    m_iHoverTime = milliseconds;
}
int CPaintManagerUI::GetTooltipWindowWidth() const
{
    return m_iTooltipWidth;
}

void CPaintManagerUI::SetTooltipWindowWidth(int width)
{
    if (width != m_iTooltipWidth)
        m_tooltip.SetMaxWidth(width);
    m_iTooltipWidth = width;
}

HWND CPaintManagerUI::GetTooltipWindow() const
{
    return m_tooltip.Window();
}

void CPaintManagerUI::AddWindowCustomAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || *name == L'\0' || value == nullptr || *value == L'\0')
        return;
    if (m_mWindowCustomAttrHash.Find(name) != nullptr)
        return;
    CFacetString* copy = new CFacetString(value);
    if (!m_mWindowCustomAttrHash.Insert(name, copy))
        delete copy;
}

const wchar_t* CPaintManagerUI::GetWindowCustomAttribute(const wchar_t* name) const
{
    if (name == nullptr || *name == L'\0')
        return nullptr;
    const CFacetString* value = static_cast<const CFacetString*>(m_mWindowCustomAttrHash.Find(name));
    return value != nullptr ? value->GetData() : nullptr;
}

bool CPaintManagerUI::RemoveWindowCustomAttribute(const wchar_t* name)
{
    if (name == nullptr || *name == L'\0')
        return false;
    CFacetString* value = static_cast<CFacetString*>(m_mWindowCustomAttrHash.Find(name));
    if (value == nullptr)
        return false;
    delete value;
    return m_mWindowCustomAttrHash.Remove(name);
}

void CPaintManagerUI::RemoveAllWindowCustomAttribute()
{
    m_mWindowCustomAttrHash.DeleteValues<CFacetString>();
}

void CPaintManagerUI::UsedVirtualWnd(bool used)
{
    m_bUsedVirtualWnd = used;
}

// -- Listeners --

bool CPaintManagerUI::AddNotifier(INotifyUI* pNotifier)
{
    return AddUnique(m_aNotifiers, pNotifier);
}
bool CPaintManagerUI::RemoveNotifier(INotifyUI* pNotifier)
{
    return RemoveItem(m_aNotifiers, pNotifier);
}
bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* pFilter)
{
    return AddUnique(m_aPreMessageFilters, pFilter);
}
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* pFilter)
{
    return RemoveItem(m_aPreMessageFilters, pFilter);
}
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* pFilter)
{
    return AddUnique(m_aMessageFilters, pFilter);
}
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* pFilter)
{
    return RemoveItem(m_aMessageFilters, pFilter);
}

bool CPaintManagerUI::AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    return AddUnique(m_aTranslateAccelerator, pTranslateAccelerator);
}

bool CPaintManagerUI::RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator)
{
    return RemoveItem(m_aTranslateAccelerator, pTranslateAccelerator);
}

bool CPaintManagerUI::AddPostPaint(CControlUI* pControl)
{
    return AddUnique(m_aPostPaintControls, pControl);
}
bool CPaintManagerUI::RemovePostPaint(CControlUI* pControl)
{
    return RemoveItem(m_aPostPaintControls, pControl);
}

bool CPaintManagerUI::SetPostPaintIndex(CControlUI* pControl, int index)
{
    const int current = m_aPostPaintControls.Find(pControl);
    if (current < 0 || index < 0 || index >= m_aPostPaintControls.GetSize())
        return false;
    m_aPostPaintControls.Remove(current);
    return m_aPostPaintControls.InsertAt(index, pControl);
}

int CPaintManagerUI::GetPostPaintCount() const
{
    return m_aPostPaintControls.GetSize();
}

bool CPaintManagerUI::AddNativeWindow(CControlUI* pControl, HWND hChildWnd)
{
    if (pControl == nullptr || hChildWnd == nullptr)
        return false;
    if (m_aNativeWindow.Find(hChildWnd) >= 0)
        return false;
    if (!m_aNativeWindow.Add(hChildWnd))
        return false;
    if (!m_aNativeWindowControl.Add(pControl)) {
        m_aNativeWindow.Remove(m_aNativeWindow.GetSize() - 1);
        return false;
    }
    RECT rc = GetNativeWindowRect(hChildWnd);
    Invalidate(rc);
    return true;
}

bool CPaintManagerUI::RemoveNativeWindow(HWND hChildWnd)
{
    const int index = m_aNativeWindow.Find(hChildWnd);
    if (index < 0)
        return false;
    m_aNativeWindow.Remove(index);
    m_aNativeWindowControl.Remove(index);
    return true;
}

int CPaintManagerUI::GetNativeWindowCount() const
{
    return m_aNativeWindow.GetSize();
}

RECT CPaintManagerUI::GetNativeWindowRect(HWND hChildWnd) const
{
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(hChildWnd, &rc);
    MapWindowPoints(nullptr, m_hWndPaint, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void CPaintManagerUI::AddMouseLeaveNeeded(CControlUI* pControl)
{
    AddUnique(m_aNeedMouseLeaveNeeded, pControl);
}
bool CPaintManagerUI::RemoveMouseLeaveNeeded(CControlUI* pControl)
{
    return RemoveItem(m_aNeedMouseLeaveNeeded, pControl);
}

// -- Names and searches --

CControlUI* CALLBACK CPaintManagerUI::FindControlFromNameHash(CControlUI* pThis, LPVOID pData)
{
    CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(pData);
    const CFacetString name = pThis->GetName();
    if (!name.IsEmpty())
        manager->m_mNameHash.Set(name, pThis);
    return nullptr; // visit every control
}

CControlUI* CALLBACK CPaintManagerUI::FindControlFromPoint(CControlUI* pThis, LPVOID pData)
{
    const POINT* pt = static_cast<const POINT*>(pData);
    return PtInRect(&pThis->GetPos(), *pt) ? pThis : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::FindControlFromUpdate(CControlUI* pThis, LPVOID)
{
    return pThis->IsUpdateNeeded() ? pThis : nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::FindControlsFromUpdate(CControlUI* pThis, LPVOID pData)
{
    if (pThis->IsUpdateNeeded()) {
        static_cast<CFacetPtrArray*>(pData)->Add(pThis);
        return pThis; // its subtree is laid out with it
    }
    return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::FindControlFromName(CControlUI* pThis, LPVOID pData)
{
    const wchar_t* name = static_cast<const wchar_t*>(pData);
    const CFacetString own = pThis->GetName();
    if (own.IsEmpty())
        return nullptr;
    return own.CompareNoCase(name) == 0 ? pThis : nullptr;
}

namespace {

struct ClassSearch
{
    const wchar_t* className;
    CFacetPtrArray* found;
};

bool ClassMatches(CControlUI* control, const wchar_t* className)
{
    return wcscmp(className, L"*") == 0 || wcscmp(control->GetClass(), className) == 0;
}

} // namespace

CControlUI* CALLBACK CPaintManagerUI::FindControlFromClass(CControlUI* pThis, LPVOID pData)
{
    ClassSearch* search = static_cast<ClassSearch*>(pData);
    if (!ClassMatches(pThis, search->className))
        return nullptr;
    CFacetPtrArray& found = *search->found;
    for (int i = 0; i < found.GetSize(); ++i) {
        if (found[i] == nullptr) {
            found.SetAt(i, pThis);
            return i == found.GetSize() - 1 ? pThis : nullptr;
        }
    }
    return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::FindControlsFromClass(CControlUI* pThis, LPVOID pData)
{
    ClassSearch* search = static_cast<ClassSearch*>(pData);
    if (ClassMatches(pThis, search->className))
        search->found->Add(pThis);
    return nullptr;
}

CControlUI* CPaintManagerUI::FindControl(const wchar_t* name) const
{
    if (name == nullptr)
        return nullptr;
    return static_cast<CControlUI*>(m_mNameHash.Find(name));
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const
{
    if (m_pRoot == nullptr)
        return nullptr;
    return m_pRoot->FindControl(FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* pParent, const wchar_t* name) const
{
    if (pParent == nullptr)
        pParent = m_pRoot;
    if (pParent == nullptr || name == nullptr)
        return nullptr;
    return pParent->FindControl(FindControlFromName, const_cast<wchar_t*>(name), UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* pParent, POINT pt) const
{
    if (pParent == nullptr)
        pParent = m_pRoot;
    if (pParent == nullptr)
        return nullptr;
    return pParent->FindControl(FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* pParent, const wchar_t* className, int index)
{
    if (pParent == nullptr)
        pParent = m_pRoot;
    if (pParent == nullptr || className == nullptr || index < 0)
        return nullptr;
    m_aFoundControls.Resize(index + 1);
    ClassSearch search = {className, &m_aFoundControls};
    return pParent->FindControl(FindControlFromClass, &search, UIFIND_ALL);
}

CFacetPtrArray* CPaintManagerUI::FindSubControlsByClass(CControlUI* pParent, const wchar_t* className)
{
    m_aFoundControls.Empty();
    if (pParent == nullptr)
        pParent = m_pRoot;
    if (pParent == nullptr || className == nullptr)
        return &m_aFoundControls;
    ClassSearch search = {className, &m_aFoundControls};
    pParent->FindControl(FindControlsFromClass, &search, UIFIND_ALL);
    return &m_aFoundControls;
}

CFacetPtrArray* CPaintManagerUI::GetFoundControls()
{
    return &m_aFoundControls;
}

bool CPaintManagerUI::IsInTree(CControlUI* pControl) const
{
    CControlUI* top = pControl;
    while (top->GetParent() != nullptr)
        top = top->GetParent();
    return top == m_pRoot;
}

bool CPaintManagerUI::RenameControl(CControlUI* pControl, const wchar_t* name)
{
    if (pControl == nullptr || pControl->GetManager() != this || name == nullptr || *name == L'\0')
        return false;
    const CFacetString old = pControl->GetName();
    if (old == name) {
        // A control's SetName stores the name before it asks for the rename: a
        // control of this window's tree that the map does not know yet (it had
        // no name, or its name was another's) enters it now, unless the name
        // is taken. A control that only borrows the manager while the builder
        // applies its attributes is not in the tree and stays out.
        if (m_mNameHash.Find(name) == nullptr && IsInTree(pControl))
            m_mNameHash.Insert(name, pControl);
        return true;
    }
    if (m_mNameHash.Find(name) != nullptr)
        return false;
    if (!m_mNameHash.Insert(name, pControl))
        return false;
    if (!old.IsEmpty() && m_mNameHash.Find(old) == pControl)
        m_mNameHash.Remove(old);
    pControl->SetName(name);
    return true;
}

// -- Option groups --

bool CPaintManagerUI::AddOptionGroup(const wchar_t* groupName, CControlUI* pControl)
{
    if (groupName == nullptr || pControl == nullptr)
        return false;
    CFacetPtrArray* group = static_cast<CFacetPtrArray*>(m_mOptionGroup.Find(groupName));
    if (group == nullptr) {
        group = new CFacetPtrArray(6);
        if (!m_mOptionGroup.Insert(groupName, group)) {
            delete group;
            return false;
        }
    }
    return AddUnique(*group, pControl);
}

CFacetPtrArray* CPaintManagerUI::GetOptionGroup(const wchar_t* groupName)
{
    if (groupName == nullptr)
        return nullptr;
    return static_cast<CFacetPtrArray*>(m_mOptionGroup.Find(groupName));
}

void CPaintManagerUI::RemoveOptionGroup(const wchar_t* groupName, CControlUI* pControl)
{
    CFacetPtrArray* group = GetOptionGroup(groupName);
    if (group == nullptr)
        return;
    RemoveItem(*group, pControl);
    if (group->IsEmpty()) {
        m_mOptionGroup.Remove(groupName);
        delete group;
    }
}

void CPaintManagerUI::RemoveAllOptionGroups()
{
    m_mOptionGroup.DeleteValues<CFacetPtrArray>();
}

// -- Plug-ins --

bool CPaintManagerUI::LoadPlugin(const wchar_t* moduleName)
{
    if (moduleName == nullptr || *moduleName == L'\0')
        return false;
    UniqueModule module(LoadLibraryW(moduleName));
    if (!module)
        return false;
    auto create = reinterpret_cast<LPCREATECONTROL>(
        reinterpret_cast<void*>(GetProcAddress(module.Get(), "CreateControl")));
    if (create == nullptr)
        return false;
    // The library stays loaded: the controls it makes need its code.
    module.Release();
    AddUnique(m_aPlugins, reinterpret_cast<void*>(create));
    return true;
}

CFacetPtrArray* CPaintManagerUI::GetPlugins()
{
    return &m_aPlugins;
}

void CPaintManagerUI::SetAdaptDPI(bool adapt)
{
    DpiManager::GetInstance()->SetAdaptDPI(adapt);
    if (m_hWndPaint != nullptr) {
        RECT rc = {0, 0, 0, 0};
        GetWindowRect(m_hWndPaint, &rc);
        SetWindowPos(m_hWndPaint, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_pRoot != nullptr)
        m_pRoot->NeedUpdate();
}

} // namespace Facet
