// CControlUI: life cycle, state, geometry, invalidation, hit testing and
// events. Attributes are read in ControlUIAttributes.cpp, painting is in
// ControlUIPaint.cpp.
#include "ControlUI.h"

#include <algorithm>
#include <cwchar>

#include "../core/DpiManager.h"
#include "../core/FacetGeometry.h"
#include "../core/PaintManager.h"
#include "../core/ResourceManager.h"
#include "../render/RenderEngine.h"
#include "ControlDispatch.h"

namespace Facet {

namespace {

const SIZE kDefaultMaxSize = {9999, 9999};
const int kDefaultTooltipWidth = 300;

int Truncate(double value)
{
    return static_cast<int>(value);
}

// An empty text stored where none was ever stored makes nothing.
void StoreText(CLazyValue<CFacetString>& slot, const wchar_t* text)
{
    if (slot.IsMade() || (text != nullptr && *text != L'\0'))
        slot.Edit() = text;
}

} // namespace

CControlUI::CControlUI()
    : m_pManager(nullptr),
      m_pParent(nullptr),
      m_pCover(nullptr),
      m_rcItem{0, 0, 0, 0},
      m_rcPadding{0, 0, 0, 0},
      m_cXY{0, 0},
      m_cxyFixed{0, 0},
      m_cxyMin{0, 0},
      m_cxyMax(kDefaultMaxSize),
      m_bUpdateNeeded(true),
      m_bVisible(true),
      m_bInternVisible(true),
      m_bEnabled(true),
      m_bFloat(false),
      m_bSetPos(false),
      m_bMenuUsed(false),
      m_bMouseEnabled(true),
      m_bKeyboardEnabled(true),
      m_bFocused(false),
      m_bColorHSL(false),
      m_bResourceText(false),
      m_chShortcut(L'\0'),
      m_piFloatPercent{0.0, 0.0, 0.0, 0.0},
      m_pTag(0),
      m_dwBackColor(0),
      m_dwBackColor2(0),
      m_dwBackColor3(0),
      m_dwBorderColor(0),
      m_dwFocusBorderColor(0),
      m_nBorderStyle(PS_SOLID),
      m_nTooltipWidth(kDefaultTooltipWidth),
      m_cxyBorderRound{0, 0},
      m_rcPaint{0, 0, 0, 0},
      m_rcBorderSize{0, 0, 0, 0},
      m_mCustomAttrHash(CFacetStringPtrMap::kDefaultBuckets)
{
}

void CControlUI::Delete()
{
    if (m_pManager != nullptr)
        m_pManager->RemoveMouseLeaveNeeded(this);
    delete this;
}

CControlUI::~CControlUI()
{
    if (m_pCover != nullptr) {
        CControlUI* cover = m_pCover;
        m_pCover = nullptr;
        cover->Delete();
    }
    RemoveAllCustomAttribute();
    OnDestroy(this);
    if (m_pManager != nullptr)
        m_pManager->ReapObjects(this);
}

// -- Identity --

void CControlUI::SetName(const wchar_t* name)
{
    if (m_sName.Get() == name)
        return;
    // A control that the manager already knows by its current name is renamed
    // through the manager, which moves the name-map entry and then calls back
    // SetName with the new name. Storing the new name first would leave the
    // old entry pointing at this control after it is destroyed.
    const CFacetString& current = m_sName.Get();
    if (m_pManager != nullptr && !current.IsEmpty() && m_pManager->FindControl(current.GetData()) == this) {
        m_pManager->RenameControl(this, name);
        return;
    }
    // Most controls of a large tree have no name: an empty one takes no memory.
    if (name == nullptr || name[0] == L'\0')
        m_sName.Reset();
    else
        m_sName.Edit() = name;
    if (m_pManager != nullptr)
        m_pManager->RenameControl(this, name);
}

const wchar_t* CControlUI::GetClass() const
{
    return L"Control";
}

LPVOID CControlUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Control") == 0)
        return this;
    return nullptr;
}

UINT CControlUI::GetControlFlags() const
{
    return 0;
}

HWND CControlUI::GetNativeWindow() const
{
    return nullptr;
}

bool CControlUI::Activate()
{
    return IsVisible() && IsEnabled();
}

// -- Tree --

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    if (m_pCover != nullptr)
        m_pCover->SetManager(manager, this, init);
    m_pManager = manager;
    m_pParent = parent;
    if (init && m_pParent != nullptr)
        Init();
}

void CControlUI::SetCover(CControlUI* cover)
{
    if (cover == m_pCover)
        return;
    if (m_pCover != nullptr) {
        CControlUI* old = m_pCover;
        m_pCover = nullptr;
        old->Delete();
    }
    m_pCover = cover;
    if (m_pCover != nullptr) {
        if (m_pManager != nullptr)
            m_pManager->InitControls(m_pCover, this);
        else
            m_pCover->SetManager(nullptr, this, false);
    }
    if (IsVisible())
        NeedUpdate();
    else if (m_pCover != nullptr)
        m_pCover->SetInternVisible(false);
}

// -- Text --

CFacetString CControlUI::GetText() const
{
    if (!m_bResourceText)
        return m_sText;
    return CResourceManager::GetInstance()->GetText(m_sText.GetData());
}

void CControlUI::SetText(const wchar_t* text)
{
    if (m_sText == text)
        return;
    m_sText = text;
    Invalidate();
    NotifyAccessible(EVENT_OBJECT_NAMECHANGE);
}

void CControlUI::SetResourceText(bool resource)
{
    if (m_bResourceText == resource)
        return;
    m_bResourceText = resource;
    Invalidate();
}

// -- Geometry --

RECT CControlUI::GetRelativePos() const
{
    if (m_pParent == nullptr)
        return RECT{0, 0, 0, 0};
    const RECT& parent = m_pParent->GetPos();
    RECT rc = m_rcItem;
    OffsetRect(&rc, -parent.left, -parent.top);
    return rc;
}

RECT CControlUI::GetClientPos() const
{
    return m_rcItem;
}

void CControlUI::SetPos(RECT rc, bool needInvalidate)
{
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;

    CFacetRect invalidateRc = m_rcItem;
    if (IsRectEmpty(&invalidateRc))
        invalidateRc = rc;

    if (m_bFloat) {
        // A floating control is placed relative to its parent; the offsets it
        // ends up with are written back as its fixed position and size.
        if (m_pParent != nullptr) {
            const RECT& parent = m_pParent->GetPos();
            m_rcItem = rc;
            OffsetRect(&m_rcItem, parent.left, parent.top);
            const double width = parent.right - parent.left;
            const double height = parent.bottom - parent.top;
            m_cXY.cx = rc.left - Truncate(width * m_piFloatPercent.left);
            m_cXY.cy = rc.top - Truncate(height * m_piFloatPercent.top);
            m_cxyFixed.cx = rc.right - Truncate(width * m_piFloatPercent.right) - m_cXY.cx;
            m_cxyFixed.cy = rc.bottom - Truncate(height * m_piFloatPercent.bottom) - m_cXY.cy;
        }
    } else {
        m_rcItem = rc;
    }

    if (m_pManager == nullptr)
        return;

    if (!m_bSetPos) {
        m_bSetPos = true;
        OnSize(this);
        m_bSetPos = false;
    }
    m_bUpdateNeeded = false;

    if (needInvalidate && IsVisible()) {
        invalidateRc.Join(m_rcItem);
        if (!InvalidateThroughParents(invalidateRc, true))
            return;
    }

    if (m_pCover == nullptr || !m_pCover->IsVisible())
        return;
    if (m_pCover->IsFloat()) {
        const SIZE xy = m_pCover->GetFixedXY();
        const SIZE size = m_pCover->GetFixedSize();
        const TPercentInfo percent = m_pCover->GetFloatPercent();
        const double width = m_rcItem.right - m_rcItem.left;
        const double height = m_rcItem.bottom - m_rcItem.top;
        RECT rcCover;
        rcCover.left = Truncate(width * percent.left) + xy.cx;
        rcCover.top = Truncate(height * percent.top) + xy.cy;
        rcCover.right = Truncate(width * percent.right) + xy.cx + size.cx;
        rcCover.bottom = Truncate(height * percent.bottom) + xy.cy + size.cy;
        m_pCover->SetPos(rcCover, false);
    } else {
        // The cover lies over this control's own rectangle (window
        // coordinates, which for a floating control differ from `rc`).
        long width = m_rcItem.right - m_rcItem.left;
        long height = m_rcItem.bottom - m_rcItem.top;
        width = (std::max)(width, static_cast<long>(m_pCover->GetMinWidth()));
        width = (std::min)(width, static_cast<long>(m_pCover->GetMaxWidth()));
        height = (std::max)(height, static_cast<long>(m_pCover->GetMinHeight()));
        height = (std::min)(height, static_cast<long>(m_pCover->GetMaxHeight()));
        const RECT rcCover = {m_rcItem.left, m_rcItem.top, m_rcItem.left + width, m_rcItem.top + height};
        m_pCover->SetPos(rcCover, false);
    }
}

void CControlUI::Move(SIZE offset, bool needInvalidate)
{
    CFacetRect invalidateRc = m_rcItem;
    OffsetRect(&m_rcItem, offset.cx, offset.cy);
    if (needInvalidate && m_pManager != nullptr && IsVisible()) {
        invalidateRc.Join(m_rcItem);
        if (!InvalidateThroughParents(invalidateRc, true))
            return;
    }
    if (m_pCover != nullptr && m_pCover->IsVisible())
        m_pCover->Move(offset, false);
}

int CControlUI::GetWidth() const
{
    return m_rcItem.right - m_rcItem.left;
}

int CControlUI::GetHeight() const
{
    return m_rcItem.bottom - m_rcItem.top;
}

int CControlUI::GetX() const
{
    return m_rcItem.left;
}

int CControlUI::GetY() const
{
    return m_rcItem.top;
}

void CControlUI::SetPadding(RECT padding)
{
    m_rcPadding = padding;
    NeedParentUpdate();
}

void CControlUI::SetFixedXY(SIZE xy)
{
    m_cXY.cx = ScaleByWindow(xy.cx);
    m_cXY.cy = ScaleByWindow(xy.cy);
    NeedParentUpdate();
}

void CControlUI::SetFloatPercent(TPercentInfo percent)
{
    m_piFloatPercent = percent;
    NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const
{
    return m_cxyFixed.cx;
}

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0)
        return;
    m_cxyFixed.cx = ScaleByWindow(cx);
    NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const
{
    return m_cxyFixed.cy;
}

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0)
        return;
    m_cxyFixed.cy = ScaleByWindow(cy);
    NeedParentUpdate();
}

int CControlUI::GetMinWidth() const
{
    return m_cxyMin.cx;
}

void CControlUI::SetMinWidth(int cx)
{
    // The stored value is scaled: compared with the argument scaled alike.
    if (cx < 0 || m_cxyMin.cx == ScaleByWindow(cx))
        return;
    m_cxyMin.cx = ScaleByWindow(cx);
    NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const
{
    return (std::max)(m_cxyMax.cx, m_cxyMin.cx);
}

void CControlUI::SetMaxWidth(int cx)
{
    // The stored value is scaled: compared with the argument scaled alike.
    if (cx < 0 || m_cxyMax.cx == ScaleByWindow(cx))
        return;
    m_cxyMax.cx = ScaleByWindow(cx);
    NeedParentUpdate();
}

int CControlUI::GetMinHeight() const
{
    return m_cxyMin.cy;
}

void CControlUI::SetMinHeight(int cy)
{
    // The stored value is scaled: compared with the argument scaled alike.
    if (cy < 0 || m_cxyMin.cy == ScaleByWindow(cy))
        return;
    m_cxyMin.cy = ScaleByWindow(cy);
    NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const
{
    return (std::max)(m_cxyMax.cy, m_cxyMin.cy);
}

void CControlUI::SetMaxHeight(int cy)
{
    // The stored value is scaled: compared with the argument scaled alike.
    if (cy < 0 || m_cxyMax.cy == ScaleByWindow(cy))
        return;
    m_cxyMax.cy = ScaleByWindow(cy);
    NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE /*available*/)
{
    return m_cxyFixed;
}

int CControlUI::ScaleByWindow(int value)
{
    return Truncate(value * DpiManager::GetInstance()->GetWindowInchPex());
}

void CControlUI::NotifyAccessible(DWORD event)
{
    if (m_pManager != nullptr)
        m_pManager->NotifyAccessible(event, this);
}

// -- Simple properties --

CFacetString CControlUI::GetAccessibleName() const
{
    return m_sAccessibleName.Get();
}

void CControlUI::SetAccessibleName(const wchar_t* name)
{
    if (m_sAccessibleName.Get() == name)
        return;
    StoreText(m_sAccessibleName, name);
    NotifyAccessible(EVENT_OBJECT_NAMECHANGE);
}

CFacetString CControlUI::GetToolTip() const
{
    return m_sToolTip.Get();
}

void CControlUI::SetToolTip(const wchar_t* text)
{
    CFacetString tip(text);
    tip.Replace(L"<n>", L"\r\n");
    StoreText(m_sToolTip, tip);
}

CFacetString CControlUI::GetUserData() const
{
    return m_sUserData.Get();
}

void CControlUI::SetUserData(const wchar_t* text)
{
    StoreText(m_sUserData, text);
}

// -- Visibility and input --

bool CControlUI::IsVisible() const
{
    return m_bVisible && m_bInternVisible;
}

void CControlUI::SetVisible(bool visible)
{
    if (m_bVisible == visible)
        return;
    const bool wasVisible = IsVisible();
    m_bVisible = visible;
    m_bFocused = false;
    if (!visible && m_pManager != nullptr && m_pManager->GetFocus() == this)
        m_pManager->SetFocus(nullptr, true);
    if (IsVisible() != wasVisible) {
        NeedParentUpdate();
        NotifyAccessible(wasVisible ? EVENT_OBJECT_HIDE : EVENT_OBJECT_SHOW);
    }
    if (m_pCover != nullptr)
        m_pCover->SetInternVisible(IsVisible());
}

void CControlUI::SetInternVisible(bool visible)
{
    m_bInternVisible = visible;
    if (!visible && m_pManager != nullptr && m_pManager->GetFocus() == this)
        m_pManager->SetFocus(nullptr, true);
    if (m_pCover != nullptr)
        m_pCover->SetInternVisible(IsVisible());
}

void CControlUI::SetEnabled(bool enabled)
{
    if (m_bEnabled == enabled)
        return;
    m_bEnabled = enabled;
    Invalidate();
    NotifyAccessible(EVENT_OBJECT_STATECHANGE);
}

void CControlUI::SetFocus()
{
    if (m_pManager != nullptr)
        m_pManager->SetFocus(this, false);
}

void CControlUI::SetFloat(bool floating)
{
    if (m_bFloat == floating)
        return;
    m_bFloat = floating;
    NeedParentUpdate();
}

// -- Hit testing --

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    if (!SearchEnters(*this, proc, data, flags))
        return nullptr;
    // A control whose mouse input is off is never the answer of a hit test.
    const bool canAnswer = (flags & UIFIND_HITTEST) == 0 || IsMouseEnabled();
    return SearchSelfAndInside(*this, proc, data, flags, canAnswer, [&]() -> CControlUI* {
        return m_pCover != nullptr ? m_pCover->FindControl(proc, data, flags) : nullptr;
    });
}

// -- Initialisation and events --

void CControlUI::Init()
{
    DoInit();
    OnInit(this);
}

void CControlUI::DoInit()
{
}

void CControlUI::Event(TEventUI& event)
{
    if (OnEvent(&event))
        DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    case UIEVENT_SETFOCUS:
        m_bFocused = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        m_bFocused = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (m_pManager != nullptr)
            m_pManager->SendNotify(this, L"timer", event.wParam, event.lParam, false, true);
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed()) {
            if (m_pManager != nullptr)
                m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam, false, true);
            return;
        }
        break;
    default:
        break;
    }
    if (m_pParent != nullptr)
        m_pParent->DoEvent(event);
}

// -- Invalidation --

bool CControlUI::InvalidateThroughParents(RECT rc, bool testVisibility)
{
    for (CControlUI* parent = m_pParent; parent != nullptr; parent = parent->GetParent()) {
        if (testVisibility && !parent->IsVisible())
            return false;
        const RECT& parentPos = parent->GetPos();
        if (!IntersectRect(&rc, &rc, &parentPos))
            return false;
    }
    if (m_pManager != nullptr)
        m_pManager->Invalidate(rc);
    return true;
}

void CControlUI::Invalidate()
{
    if (!IsVisible())
        return;
    InvalidateThroughParents(m_rcItem, false);
}

void CControlUI::NeedUpdate()
{
    if (!IsVisible())
        return;
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager != nullptr)
        m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate()
{
    if (m_pParent != nullptr) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager != nullptr)
        m_pManager->NeedUpdate();
}

// -- Virtual window, colours, border, images --

CFacetString CControlUI::GetVirtualWnd() const
{
    if (!m_sVirtualWnd.Get().IsEmpty())
        return m_sVirtualWnd.Get();
    if (m_pParent != nullptr)
        return m_pParent->GetVirtualWnd();
    return CFacetString();
}

void CControlUI::SetVirtualWnd(const wchar_t* name)
{
    StoreText(m_sVirtualWnd, name);
    if (m_pManager != nullptr)
        m_pManager->UsedVirtualWnd(true);
}

void CControlUI::SetBkColor(DWORD color)
{
    if (m_dwBackColor == color)
        return;
    m_dwBackColor = color;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD color)
{
    if (m_dwBackColor2 == color)
        return;
    m_dwBackColor2 = color;
    Invalidate();
}

void CControlUI::SetBkColor3(DWORD color)
{
    if (m_dwBackColor3 == color)
        return;
    m_dwBackColor3 = color;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color)
{
    if (m_dwBorderColor == color)
        return;
    m_dwBorderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color)
{
    if (m_dwFocusBorderColor == color)
        return;
    m_dwFocusBorderColor = color;
    Invalidate();
}

void CControlUI::SetColorHSL(bool colorHSL)
{
    if (m_bColorHSL == colorHSL)
        return;
    m_bColorHSL = colorHSL;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    m_rcBorderSize = RECT{size, size, size, size};
    Invalidate();
}

void CControlUI::SetBorderSize(RECT rc)
{
    m_rcBorderSize = rc;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE cxyRound)
{
    m_cxyBorderRound = cxyRound;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style)
{
    m_nBorderStyle = style;
    Invalidate();
}

const wchar_t* CControlUI::GetBkImage() const
{
    return m_diBk.Get().sDrawString.GetData();
}

void CControlUI::SetBkImage(const wchar_t* description)
{
    if (m_diBk.Get().sDrawString == description && m_diBk.Get().pImageInfo != nullptr)
        return;
    TDrawInfo& image = m_diBk.Edit();
    image.Clear();
    image.sDrawString = description;
    // Parses the description and loads the image now (without drawing), so
    // that a floating control can take the image's size.
    DrawImage(nullptr, image);
    if (m_bFloat && m_cxyFixed.cx == 0 && m_cxyFixed.cy == 0 && image.pImageInfo != nullptr) {
        m_cxyFixed.cx = image.pImageInfo->nX;
        m_cxyFixed.cy = image.pImageInfo->nY;
    }
    Invalidate();
}

DWORD CControlUI::GetAdjustColor(DWORD color) const
{
    if (!m_bColorHSL)
        return color;
    short hue = 180;
    short saturation = 100;
    short lightness = 100;
    CPaintManagerUI::GetHSL(&hue, &saturation, &lightness);
    return CRenderEngine::AdjustColor(color, hue, saturation, lightness);
}

bool CControlUI::DrawImage(HDC hDC, TDrawInfo& drawInfo)
{
    return CRenderEngine::DrawImage(hDC, m_pManager, m_rcItem, m_rcPaint, drawInfo);
}

// -- Custom attributes --

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || *name == L'\0' || value == nullptr || *value == L'\0')
        return;
    if (m_mCustomAttrHash.Find(name, false) != nullptr)
        return;
    CFacetString* stored = new CFacetString(value);
    if (!m_mCustomAttrHash.Insert(name, stored))
        delete stored;
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* name) const
{
    if (name == nullptr || *name == L'\0')
        return nullptr;
    const CFacetString* value = static_cast<const CFacetString*>(m_mCustomAttrHash.Find(name));
    return value != nullptr ? value->GetData() : nullptr;
}

bool CControlUI::RemoveCustomAttribute(const wchar_t* name)
{
    if (name == nullptr || *name == L'\0')
        return false;
    CFacetString* value = static_cast<CFacetString*>(m_mCustomAttrHash.Find(name, false));
    if (value == nullptr)
        return false;
    delete value;
    return m_mCustomAttrHash.Remove(name);
}

void CControlUI::RemoveAllCustomAttribute()
{
    m_mCustomAttrHash.ForEach([](const wchar_t*, void* value) { delete static_cast<CFacetString*>(value); });
    m_mCustomAttrHash.Resize(CFacetStringPtrMap::kDefaultBuckets);
}

} // namespace Facet
