// CContainerUI: the child list, propagation of manager, visibility and
// movement to the children, geometry and attributes. Scrolling is in
// ContainerUIScroll.cpp; painting, hit testing and events in
// ContainerUIInput.cpp.
#include "ContainerUI.h"

#include <algorithm>
#include <cwchar>

#include "../control/ScrollBarUI.h"
#include "../core/FacetGeometry.h"
#include "../core/PaintManager.h"
#include "../core/Prefetch.h"

namespace Facet {

namespace {

bool Equals(const wchar_t* a, const wchar_t* b)
{
    return wcscmp(a, b) == 0;
}

long Clamp(long value, long low, long high)
{
    return (std::min)((std::max)(value, low), high);
}

} // namespace

CContainerUI::CContainerUI()
    : m_rcInset{0, 0, 0, 0},
      m_iChildPadding(0),
      m_iChildAlign(0),
      m_iChildVAlign(0),
      m_bAutoDestroy(true),
      m_bDelayedDestroy(true),
      m_bMouseChildEnabled(true),
      m_bScrollProcess(false),
      m_pVerticalScrollBar(nullptr),
      m_pHorizontalScrollBar(nullptr),
      m_nItemsVersion(0)
{
}

CContainerUI::~CContainerUI()
{
    m_bDelayedDestroy = false;
    RemoveAll();
    if (m_pVerticalScrollBar != nullptr) {
        CScrollBarUI* bar = m_pVerticalScrollBar;
        m_pVerticalScrollBar = nullptr;
        bar->Delete();
    }
    if (m_pHorizontalScrollBar != nullptr) {
        CScrollBarUI* bar = m_pHorizontalScrollBar;
        m_pHorizontalScrollBar = nullptr;
        bar->Delete();
    }
}

const wchar_t* CContainerUI::GetClass() const
{
    return L"Container";
}

LPVOID CContainerUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && Equals(name, IContainerUI::kInterfaceName))
        return static_cast<IContainerUI*>(this);
    if (name != nullptr && Equals(name, kInterfaceName))
        return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterface(name);
}

// -- Child list --

CControlUI* CContainerUI::GetItemAt(int index) const
{
    return static_cast<CControlUI*>(m_items.GetAt(index));
}

int CContainerUI::GetItemIndex(CControlUI* control) const
{
    if (control == nullptr)
        return -1;
    return m_items.Find(control);
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index)
{
    const int current = GetItemIndex(control);
    // The index is checked before the child leaves its place, so a bad index
    // never drops it from the list.
    if (current < 0 || index < 0 || index >= m_items.GetSize())
        return false;
    if (current == index)
        return true;
    NeedUpdate();
    m_items.Remove(current);
    m_items.InsertAt(index, control);
    ++m_nItemsVersion;
    return true;
}

bool CContainerUI::SetMultiItemIndex(CControlUI* control, int count, int newIndex)
{
    if (control == nullptr || count < 0 || newIndex < 0)
        return false;
    const int start = GetItemIndex(control);
    if (start < 0)
        return false;
    if (start == newIndex)
        return true;
    const int total = m_items.GetSize();
    if (start + count > total || newIndex + count > total)
        return false;

    CFacetPtrArray run;
    for (int i = 0; i < count; ++i)
        run.Add(m_items[start + i]);
    m_items.Remove(start, count);
    for (int i = 0; i < count; ++i)
        m_items.InsertAt(newIndex + i, run[i]);
    ++m_nItemsVersion;
    NeedUpdate();
    return true;
}

int CContainerUI::GetCount() const
{
    return m_items.GetSize();
}

bool CContainerUI::Add(CControlUI* control)
{
    // Not the virtual AddAt: a derived container's own AddAt rules must not
    // run inside its Add.
    return CContainerUI::AddAt(control, m_items.GetSize());
}

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    // Checked first: a refused child must stay untouched (its creator
    // destroys it).
    if (control == nullptr || index < 0 || index > m_items.GetSize())
        return false;
    if (m_pManager != nullptr)
        m_pManager->InitControls(control, this);
    else
        control->SetManager(nullptr, this, false);
    if (IsVisible())
        NeedUpdate();
    else
        control->SetInternVisible(false);
    const bool added = m_items.InsertAt(index, control);
    if (added)
        ++m_nItemsVersion;
    return added;
}

bool CContainerUI::Remove(CControlUI* control, bool doNotDestroy)
{
    const int index = GetItemIndex(control);
    if (index < 0)
        return false;
    NeedUpdate();
    // The child leaves the list before it is destroyed, so nothing that runs
    // during its destruction finds it among the children.
    m_items.Remove(index);
    ++m_nItemsVersion;
    if (!doNotDestroy && m_bAutoDestroy)
        DestroyChild(control);
    return true;
}

bool CContainerUI::RemoveAt(int index, bool doNotDestroy)
{
    CControlUI* control = GetItemAt(index);
    if (control == nullptr)
        return false;
    return Remove(control, doNotDestroy);
}

void CContainerUI::RemoveAll()
{
    CFacetPtrArray removed(m_items);
    m_items.Empty();
    ++m_nItemsVersion;
    if (m_bAutoDestroy) {
        for (int i = 0; i < removed.GetSize(); ++i)
            DestroyChild(static_cast<CControlUI*>(removed[i]));
    }
    NeedUpdate();
}

void CContainerUI::DestroyChild(CControlUI* control)
{
    if (m_bDelayedDestroy && m_pManager != nullptr)
        m_pManager->AddDelayedCleanup(control);
    else
        control->Delete();
}

int CContainerUI::ResumeIndex(int index, CControlUI* child, unsigned version) const
{
    if (version == m_nItemsVersion)
        return index;
    // The pointer is only compared, never followed: the child may be gone.
    const int now = m_items.Find(child);
    return now >= 0 ? now : index - 1;
}

void CContainerUI::PrefetchAhead(int index) const
{
    // Far enough ahead for the load to finish before the loop gets there,
    // near enough for it to be still in the cache then. The first step asks
    // for all of the first children at once, so that their loads overlap
    // (a row of a few children would otherwise wait for each in turn).
    const int kAhead = 8;
    const int last = (std::min)(index + kAhead, m_items.GetSize() - 1);
    for (int i = index == 0 ? 0 : last; i <= last; ++i)
        PrefetchObject(m_items.GetAt(i), CControlUI::kLayoutBytes);
}

// -- Propagation --

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init)
{
    // Known before the children hear of the manager: a child that looks up
    // its ancestors then (a child layout does) finds the whole chain.
    m_pManager = manager;
    m_pParent = parent;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        const unsigned version = m_nItemsVersion;
        child->SetManager(manager, this, init);
        i = ResumeIndex(i, child, version);
    }
    if (m_pVerticalScrollBar != nullptr)
        m_pVerticalScrollBar->SetManager(manager, this, init);
    if (m_pHorizontalScrollBar != nullptr)
        m_pHorizontalScrollBar->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
    if (m_pManager != nullptr && m_bScrollBarDefaultsPending) {
        m_bScrollBarDefaultsPending = false;
        if (m_pVerticalScrollBar != nullptr) {
            ApplyScrollBarDefault(m_pVerticalScrollBar, L"VScrollBar");
            m_pVerticalScrollBar->SetAttributeList(m_sVerticalBarStyle.Get());
        }
        if (m_pHorizontalScrollBar != nullptr) {
            ApplyScrollBarDefault(m_pHorizontalScrollBar, L"HScrollBar");
            m_pHorizontalScrollBar->SetAttributeList(m_sHorizontalBarStyle.Get());
        }
        m_sVerticalBarStyle.Reset();
        m_sHorizontalBarStyle.Reset();
    }
}

void CContainerUI::SetVisible(bool visible)
{
    if (m_bVisible == visible)
        return;
    CControlUI::SetVisible(visible);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        const unsigned version = m_nItemsVersion;
        child->SetInternVisible(IsVisible());
        i = ResumeIndex(i, child, version);
    }
}

void CContainerUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        const unsigned version = m_nItemsVersion;
        child->SetInternVisible(IsVisible());
        i = ResumeIndex(i, child, version);
    }
}

void CContainerUI::SetMouseEnabled(bool enabled)
{
    if (m_pVerticalScrollBar != nullptr)
        m_pVerticalScrollBar->SetMouseEnabled(enabled);
    if (m_pHorizontalScrollBar != nullptr)
        m_pHorizontalScrollBar->SetMouseEnabled(enabled);
    CControlUI::SetMouseEnabled(enabled);
}

void CContainerUI::Move(SIZE offset, bool needInvalidate)
{
    CControlUI::Move(offset, needInvalidate);
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        m_pVerticalScrollBar->Move(offset, false);
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        m_pHorizontalScrollBar->Move(offset, false);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        const unsigned version = m_nItemsVersion;
        child->Move(offset, false);
        i = ResumeIndex(i, child, version);
    }
}

// -- Geometry --

RECT CContainerUI::GetInsetRect() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    return rc;
}

RECT CContainerUI::GetClientPos() const
{
    RECT rc = GetInsetRect();
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    return rc;
}

void CContainerUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    if (m_items.IsEmpty())
        return;

    RECT area = GetInsetRect();
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
        area.top -= m_pVerticalScrollBar->GetScrollPos();
        area.bottom += m_pVerticalScrollBar->GetScrollRange() - m_pVerticalScrollBar->GetScrollPos();
        area.right -= m_pVerticalScrollBar->GetFixedWidth();
    }
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
        area.left -= m_pHorizontalScrollBar->GetScrollPos();
        area.right += m_pHorizontalScrollBar->GetScrollRange() - m_pHorizontalScrollBar->GetScrollPos();
        area.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
    }

    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        const unsigned version = m_nItemsVersion;
        if (child->IsFloat()) {
            SetFloatPos(i);
        } else {
            const long width = Clamp(area.right - area.left, child->GetMinWidth(), child->GetMaxWidth());
            const long height = Clamp(area.bottom - area.top, child->GetMinHeight(), child->GetMaxHeight());
            child->SetPos(RECT{area.left, area.top, area.left + width, area.top + height}, false);
        }
        i = ResumeIndex(i, child, version);
    }
}

void CContainerUI::SetFloatPos(int index)
{
    CControlUI* child = GetItemAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat())
        return;
    const double width = m_rcItem.right - m_rcItem.left;
    const double height = m_rcItem.bottom - m_rcItem.top;
    const SIZE xy = child->GetFixedXY();
    const SIZE size = child->GetFixedSize();
    const TPercentInfo percent = child->GetFloatPercent();
    RECT rc;
    rc.left = static_cast<long>(width * percent.left) + xy.cx;
    rc.top = static_cast<long>(height * percent.top) + xy.cy;
    rc.right = static_cast<long>(width * percent.right) + xy.cx + size.cx;
    rc.bottom = static_cast<long>(height * percent.bottom) + xy.cy + size.cy;
    child->SetPos(rc, false);
}

// -- Container settings --

RECT CContainerUI::GetInset() const
{
    return m_rcInset;
}

void CContainerUI::SetInset(RECT inset)
{
    m_rcInset = inset;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const
{
    return m_iChildPadding;
}

void CContainerUI::SetChildPadding(int padding)
{
    m_iChildPadding = (std::max)(padding, 0);
    NeedUpdate();
}

UINT CContainerUI::GetChildAlign() const
{
    return m_iChildAlign;
}

void CContainerUI::SetChildAlign(UINT align)
{
    m_iChildAlign = align;
    NeedUpdate();
}

UINT CContainerUI::GetChildVAlign() const
{
    return m_iChildVAlign;
}

void CContainerUI::SetChildVAlign(UINT align)
{
    m_iChildVAlign = align;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const
{
    return m_bAutoDestroy;
}

void CContainerUI::SetAutoDestroy(bool autoDestroy)
{
    m_bAutoDestroy = autoDestroy;
}

bool CContainerUI::IsDelayedDestroy() const
{
    return m_bDelayedDestroy;
}

void CContainerUI::SetDelayedDestroy(bool delayed)
{
    m_bDelayedDestroy = delayed;
}

bool CContainerUI::IsMouseChildEnabled() const
{
    return m_bMouseChildEnabled;
}

void CContainerUI::SetMouseChildEnabled(bool enabled)
{
    m_bMouseChildEnabled = enabled;
}

int CContainerUI::FindSelectable(int index, bool forward) const
{
    const int count = m_items.GetSize();
    if (count == 0)
        return -1;
    index = static_cast<int>(Clamp(index, 0, count - 1));
    const int step = forward ? 1 : -1;
    for (int i = index; i >= 0 && i < count; i += step) {
        const CControlUI* child = GetItemAt(i);
        if (child->IsVisible() && child->IsEnabled())
            return i;
    }
    return -1;
}

// -- Named descendants --

CControlUI* CContainerUI::FindSubControl(const wchar_t* name)
{
    if (m_pManager == nullptr || name == nullptr)
        return nullptr;
    return m_pManager->FindSubControlByName(this, name);
}

CFacetString CContainerUI::GetSubControlText(const wchar_t* name)
{
    CControlUI* control = FindSubControl(name);
    return control != nullptr ? control->GetText() : CFacetString();
}

bool CContainerUI::SetSubControlText(const wchar_t* name, const wchar_t* text)
{
    CControlUI* control = FindSubControl(name);
    if (control == nullptr)
        return false;
    control->SetText(text);
    return true;
}

int CContainerUI::GetSubControlFixedHeight(const wchar_t* name)
{
    CControlUI* control = FindSubControl(name);
    return control != nullptr ? control->GetFixedHeight() : 0;
}

bool CContainerUI::SetSubControlFixedHeight(const wchar_t* name, int height)
{
    CControlUI* control = FindSubControl(name);
    if (control == nullptr)
        return false;
    control->SetFixedHeight(height);
    return true;
}

int CContainerUI::GetSubControlFixedWdith(const wchar_t* name)
{
    CControlUI* control = FindSubControl(name);
    return control != nullptr ? control->GetFixedWidth() : 0;
}

bool CContainerUI::SetSubControlFixedWdith(const wchar_t* name, int width)
{
    CControlUI* control = FindSubControl(name);
    if (control == nullptr)
        return false;
    control->SetFixedWidth(width);
    return true;
}

CFacetString CContainerUI::GetSubControlUserData(const wchar_t* name)
{
    CControlUI* control = FindSubControl(name);
    return control != nullptr ? control->GetUserData() : CFacetString();
}

bool CContainerUI::SetSubControlUserData(const wchar_t* name, const wchar_t* text)
{
    CControlUI* control = FindSubControl(name);
    if (control == nullptr)
        return false;
    control->SetUserData(text);
    return true;
}

// -- Attributes --

const CControlAttributeTable& CContainerUI::GetAttributeTable() const
{
    using C = CContainerUI;
    static const TAttribute<CContainerUI> kAttributes[] = {
        {L"inset", kValueNumbers,
         [](C& c, const wchar_t* v) {
             long n[4] = {0, 0, 0, 0};
             ParseIntList(v, n, 4);
             c.SetInset(RECT{ScaleByWindow(static_cast<int>(n[0])), ScaleByWindow(static_cast<int>(n[1])),
                             ScaleByWindow(static_cast<int>(n[2])), ScaleByWindow(static_cast<int>(n[3]))});
         }},
        {L"mousechild", kValueFlag, [](C& c, const wchar_t* v) { c.SetMouseChildEnabled(Equals(v, L"true")); }},
        {L"vscrollbar", kValueFlag,
         [](C& c, const wchar_t* v) { c.EnableScrollBar(Equals(v, L"true"), c.m_pHorizontalScrollBar != nullptr); }},
        {L"hscrollbar", kValueFlag,
         [](C& c, const wchar_t* v) { c.EnableScrollBar(c.m_pVerticalScrollBar != nullptr, Equals(v, L"true")); }},
        // The style goes through the virtual operations: the bar of a list is its body's.
        {L"vscrollbarstyle", kValueList,
         [](C& c, const wchar_t* v) {
             c.EnableScrollBar(true, c.GetHorizontalScrollBar() != nullptr);
             if (CScrollBarUI* bar = c.GetVerticalScrollBar())
                 c.StyleScrollBar(bar, v);
         }},
        {L"hscrollbarstyle", kValueList,
         [](C& c, const wchar_t* v) {
             c.EnableScrollBar(c.GetVerticalScrollBar() != nullptr, true);
             if (CScrollBarUI* bar = c.GetHorizontalScrollBar())
                 c.StyleScrollBar(bar, v);
         }},
        {L"childpadding", kValueNumber,
         [](C& c, const wchar_t* v) { c.SetChildPadding(static_cast<int>(wcstol(v, nullptr, 10))); }},
        {L"childalign", kValueText,
         [](C& c, const wchar_t* v) {
             if (Equals(v, L"left"))
                 c.m_iChildAlign = 0;
             else if (Equals(v, L"center"))
                 c.m_iChildAlign = 1;
             else if (Equals(v, L"right"))
                 c.m_iChildAlign = 2;
         }},
        {L"childvalign", kValueText,
         [](C& c, const wchar_t* v) {
             if (Equals(v, L"top"))
                 c.m_iChildVAlign = 0;
             else if (Equals(v, L"vcenter"))
                 c.m_iChildVAlign = 4;
             else if (Equals(v, L"bottom"))
                 c.m_iChildVAlign = 8;
         }},
    };
    static const TAttributeTable table(kAttributes, &CControlUI::GetAttributeTable());
    return table;
}

} // namespace Facet
