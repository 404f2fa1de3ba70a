#include "AccessibleObject.h"

#include <algorithm>
#include <vector>

#include "Accessibility.h"
#include "AccessibleTraits.h"
#include "PlatformOleacc.h"
#include "../control/ControlUI.h"
#include "../control/ListUI.h"
#include "../control/OptionUI.h"
#include "../core/FacetString.h"
#include "../core/PaintManager.h"
#include "../layout/TabLayoutUI.h"

namespace Facet {

using namespace accessibility;

namespace {

// A text answer: S_FALSE with no string when there is none.
HRESULT AnswerText(const CFacetString& text, BSTR* out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (text.IsEmpty())
        return S_FALSE;
    *out = ::SysAllocString(text.GetData());
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// No help text or help file: an empty answer.
CFacetString NoText(CControlUI&)
{
    return CFacetString();
}

void AnswerNumber(LONG number, VARIANT* out)
{
    out->vt = VT_I4;
    out->lVal = number;
}

// Makes `control` the selected one among its siblings: a list row, an option,
// a page of a tab layout. False for anything else.
bool SelectControl(CControlUI& control)
{
    if (IListItemUI* row = AsListItem(&control))
        return row->Select(true);
    if (COptionUI* option = InterfaceCast<COptionUI>(&control)) {
        option->Selected(true);
        return true;
    }
    CControlUI* parent = control.GetParent();
    CTabLayoutUI* tabs = InterfaceCast<CTabLayoutUI>(parent);
    return tabs != nullptr && tabs->SelectItem(&control);
}

std::vector<CControlUI*>::const_iterator Find(const std::vector<CControlUI*>& controls, const CControlUI* control)
{
    return std::find(controls.begin(), controls.end(), control);
}

} // namespace

CAccessibleObject::CAccessibleObject(CControlUI& control, CAccessibility& bridge)
    : m_pControl(&control), m_pBridge(&bridge)
{
}

void CAccessibleObject::Disconnect()
{
    m_pControl = nullptr;
    m_pBridge = nullptr;
}

// -- IUnknown --

HRESULT CAccessibleObject::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CAccessibleObject::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

ULONG CAccessibleObject::Release()
{
    const LONG refs = ::InterlockedDecrement(&m_nRefs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

// -- IDispatch --

HRESULT CAccessibleObject::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return IsConnected() ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT CAccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CAccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT CAccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

// -- Child ids --

bool CAccessibleObject::IsBelow(CControlUI& control) const
{
    for (CControlUI* parent = ParentOf(control); parent != nullptr; parent = ParentOf(*parent)) {
        if (parent == m_pControl)
            return true;
    }
    return false;
}

HRESULT CAccessibleObject::Resolve(const VARIANT& childId, CControlUI*& target) const
{
    target = nullptr;
    if (!IsConnected())
        return CO_E_OBJNOTCONNECTED;
    if (childId.vt != VT_I4)
        return E_INVALIDARG;
    if (childId.lVal == CHILDID_SELF) {
        target = m_pControl;
    } else if (childId.lVal > 0) {
        const std::vector<CControlUI*> children = ChildrenOf(*m_pControl);
        if (static_cast<size_t>(childId.lVal) <= children.size())
            target = children[static_cast<size_t>(childId.lVal) - 1];
    } else {
        CControlUI* control = m_pBridge->ControlOfChildId(childId.lVal);
        if (control != nullptr && IsBelow(*control))
            target = control;
    }
    return target != nullptr ? S_OK : E_INVALIDARG;
}

IDispatch* CAccessibleObject::DispatchOf(CControlUI& control) const
{
    CAccessibleObject* object = m_pBridge->ObjectOf(&control);
    object->AddRef();
    return object;
}

void CAccessibleObject::Answer(CControlUI& control, VARIANT& result) const
{
    if (&control == m_pControl) {
        AnswerNumber(CHILDID_SELF, &result);
        return;
    }
    result.vt = VT_DISPATCH;
    result.pdispVal = DispatchOf(control);
}

// -- The tree --

HRESULT CAccessibleObject::get_accParent(IDispatch** parent)
{
    if (parent == nullptr)
        return E_POINTER;
    *parent = nullptr;
    if (!IsConnected())
        return CO_E_OBJNOTCONNECTED;
    if (CControlUI* control = ParentOf(*m_pControl)) {
        *parent = DispatchOf(*control);
        return S_OK;
    }
    // The root's parent is the platform's object of the window itself.
    const PlatformOleacc& oleacc = PlatformOleacc::Get();
    if (m_pControl != m_pBridge->Root() || oleacc.accessibleObjectFromWindow == nullptr)
        return S_FALSE;
    return oleacc.accessibleObjectFromWindow(m_pBridge->Window(), static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                             reinterpret_cast<void**>(parent));
}

HRESULT CAccessibleObject::get_accChildCount(LONG* count)
{
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    if (!IsConnected())
        return CO_E_OBJNOTCONNECTED;
    *count = static_cast<LONG>(ChildrenOf(*m_pControl).size());
    return S_OK;
}

HRESULT CAccessibleObject::get_accChild(VARIANT childId, IDispatch** child)
{
    if (child == nullptr)
        return E_POINTER;
    *child = nullptr;
    if (IsConnected() && childId.vt == VT_I4 && childId.lVal == CHILDID_SELF)
        return E_INVALIDARG;
    CControlUI* target = nullptr;
    const HRESULT resolved = Resolve(childId, target);
    if (FAILED(resolved))
        return resolved;
    *child = DispatchOf(*target);
    return S_OK;
}

HRESULT CAccessibleObject::accNavigate(LONG direction, VARIANT start, VARIANT* end)
{
    if (end == nullptr)
        return E_POINTER;
    ::VariantInit(end);
    CControlUI* from = nullptr;
    const HRESULT resolved = Resolve(start, from);
    if (FAILED(resolved))
        return resolved;
    std::vector<CControlUI*> candidates;
    std::vector<CControlUI*>::const_iterator found;
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
    case NAVDIR_LASTCHILD:
        if (from != m_pControl)
            return E_INVALIDARG;
        candidates = ChildrenOf(*from);
        if (candidates.empty())
            return S_FALSE;
        Answer(direction == NAVDIR_FIRSTCHILD ? *candidates.front() : *candidates.back(), *end);
        return S_OK;
    case NAVDIR_NEXT:
    case NAVDIR_PREVIOUS: {
        CControlUI* parent = ParentOf(*from);
        if (parent == nullptr)
            return S_FALSE;
        candidates = ChildrenOf(*parent);
        found = Find(candidates, from);
        if (found == candidates.end())
            return S_FALSE;
        if (direction == NAVDIR_NEXT && ++found == candidates.end())
            return S_FALSE;
        if (direction == NAVDIR_PREVIOUS && found-- == candidates.begin())
            return S_FALSE;
        Answer(**found, *end);
        return S_OK;
    }
    default:
        // Spatial navigation (up, down, left, right) is not offered.
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT CAccessibleObject::accHitTest(LONG left, LONG top, VARIANT* child)
{
    const HRESULT begun = BeginAnswer(child);
    if (begun != S_OK)
        return begun;
    POINT pt = {left, top};
    ::ScreenToClient(m_pBridge->Window(), &pt);
    if (!m_pControl->IsVisible() || !::PtInRect(&m_pControl->GetPos(), pt))
        return S_FALSE;
    // Later children paint over earlier ones.
    const std::vector<CControlUI*> children = ChildrenOf(*m_pControl);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if ((*it)->IsVisible() && ::PtInRect(&(*it)->GetPos(), pt)) {
            Answer(**it, *child);
            return S_OK;
        }
    }
    Answer(*m_pControl, *child);
    return S_OK;
}

HRESULT CAccessibleObject::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT childId)
{
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    CControlUI* target = nullptr;
    const HRESULT resolved = Resolve(childId, target);
    if (FAILED(resolved))
        return resolved;
    const RECT& rc = target->GetPos();
    POINT origin = {rc.left, rc.top};
    ::ClientToScreen(m_pBridge->Window(), &origin);
    *left = origin.x;
    *top = origin.y;
    *width = rc.right - rc.left;
    *height = rc.bottom - rc.top;
    return S_OK;
}

// -- Focus and selection --

HRESULT CAccessibleObject::FocusInNativeWindow(HWND focus, VARIANT& result) const
{
    // A native window of a control (the edit box of an edit) speaks for
    // itself through the platform's own object.
    const PlatformOleacc& oleacc = PlatformOleacc::Get();
    if (oleacc.accessibleObjectFromWindow == nullptr)
        return S_FALSE;
    IDispatch* window = nullptr;
    if (FAILED(oleacc.accessibleObjectFromWindow(focus, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                                 reinterpret_cast<void**>(&window))))
        return S_FALSE;
    result.vt = VT_DISPATCH;
    result.pdispVal = window;
    return S_OK;
}

HRESULT CAccessibleObject::BeginAnswer(VARIANT* out) const
{
    if (out == nullptr)
        return E_POINTER;
    ::VariantInit(out);
    return IsConnected() ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT CAccessibleObject::get_accFocus(VARIANT* focus)
{
    const HRESULT begun = BeginAnswer(focus);
    if (begun != S_OK)
        return begun;
    CControlUI* focused = m_pBridge->KeyboardFocus();
    if (focused == nullptr) {
        if (m_pControl == m_pBridge->Root() && ::GetFocus() == m_pBridge->Window()) {
            Answer(*m_pControl, *focus);
            return S_OK;
        }
        return S_FALSE;
    }
    // The edit box an edit opens holds the keyboard for the edit: the edit's
    // object answers (its name and state say more than the bare box's).
    // Any other window inside speaks for itself.
    const HWND keyboard = ::GetFocus();
    const HWND native = focused->GetNativeWindow();
    const bool ownBox = native != nullptr && (keyboard == native || ::IsChild(native, keyboard));
    focused = RepresentativeOf(*focused);
    if (focused != m_pControl && !IsBelow(*focused))
        return S_FALSE;
    if (keyboard != m_pBridge->Window() && !ownBox)
        return FocusInNativeWindow(keyboard, *focus);
    Answer(*focused, *focus);
    return S_OK;
}

HRESULT CAccessibleObject::get_accSelection(VARIANT* selection)
{
    const HRESULT begun = BeginAnswer(selection);
    if (begun != S_OK)
        return begun;
    CControlUI* selected = SelectionOf(*m_pControl);
    if (selected == nullptr)
        return S_FALSE;
    Answer(*selected, *selection);
    return S_OK;
}

HRESULT CAccessibleObject::Select(CControlUI& target, LONG flags) const
{
    if (!target.IsVisible() || !target.IsEnabled())
        return S_FALSE;
    if ((flags & SELFLAG_TAKEFOCUS) != 0) {
        if ((StatesOf(target, false) & STATE_SYSTEM_FOCUSABLE) == 0)
            return S_FALSE;
        target.SetFocus();
    }
    if ((flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION)) != 0 && !SelectControl(target))
        return DISP_E_MEMBERNOTFOUND;
    return S_OK;
}

HRESULT CAccessibleObject::accSelect(LONG flags, VARIANT childId)
{
    CControlUI* target = nullptr;
    const HRESULT resolved = Resolve(childId, target);
    if (FAILED(resolved))
        return resolved;
    if ((flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION)) == 0)
        return DISP_E_MEMBERNOTFOUND;
    return Select(*target, flags);
}

// -- Descriptive properties --

HRESULT CAccessibleObject::AnswerTextOf(const VARIANT& childId, BSTR* out, CFacetString (*property)(CControlUI&)) const
{
    if (out != nullptr)
        *out = nullptr;
    CControlUI* target = nullptr;
    const HRESULT resolved = Resolve(childId, target);
    return FAILED(resolved) ? resolved : AnswerText(property(*target), out);
}

HRESULT CAccessibleObject::get_accName(VARIANT childId, BSTR* name)
{
    return AnswerTextOf(childId, name, NameOf);
}

HRESULT CAccessibleObject::get_accValue(VARIANT childId, BSTR* value)
{
    if (value != nullptr)
        *value = nullptr;
    CControlUI* target = nullptr;
    const HRESULT resolved = Resolve(childId, target);
    if (FAILED(resolved))
        return resolved;
    CFacetString text;
    switch (ValueOf(*target, text)) {
    case ValueAnswer::Value:
        // An empty value is a value too: an empty string, not none.
        if (value == nullptr)
            return E_POINTER;
        *value = ::SysAllocString(text.GetData());
        return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    case ValueAnswer::Protected:
        return E_ACCESSDENIED;
    case ValueAnswer::None:
        break;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CAccessibleObject::get_accDescription(VARIANT childId, BSTR* description)
{
    return AnswerTextOf(childId, description, DescriptionOf);
}

HRESULT CAccessibleObject::AnswerNumberOf(const VARIANT& childId, VARIANT* out,
                                          LONG (CAccessibleObject::*property)(CControlUI&) const) const
{
    if (out == nullptr)
        return E_POINTER;
    ::VariantInit(out);
    CControlUI* target = nullptr;
    const HRESULT resolved = Resolve(childId, target);
    if (FAILED(resolved))
        return resolved;
    AnswerNumber((this->*property)(*target), out);
    return S_OK;
}

LONG CAccessibleObject::RoleNumber(CControlUI& control) const
{
    return RoleOf(control);
}

LONG CAccessibleObject::StateNumber(CControlUI& control) const
{
    CControlUI* focused = m_pBridge->KeyboardFocus();
    return StatesOf(control, focused != nullptr && RepresentativeOf(*focused) == &control);
}

HRESULT CAccessibleObject::get_accRole(VARIANT childId, VARIANT* role)
{
    return AnswerNumberOf(childId, role, &CAccessibleObject::RoleNumber);
}

HRESULT CAccessibleObject::get_accState(VARIANT childId, VARIANT* state)
{
    return AnswerNumberOf(childId, state, &CAccessibleObject::StateNumber);
}

HRESULT CAccessibleObject::get_accHelp(VARIANT childId, BSTR* help)
{
    return AnswerTextOf(childId, help, NoText);
}

HRESULT CAccessibleObject::get_accHelpTopic(BSTR* helpFile, VARIANT childId, LONG* topic)
{
    if (topic != nullptr)
        *topic = -1;
    return AnswerTextOf(childId, helpFile, NoText);
}

HRESULT CAccessibleObject::get_accKeyboardShortcut(VARIANT childId, BSTR* shortcut)
{
    return AnswerTextOf(childId, shortcut, KeyboardShortcutOf);
}

// -- Actions --

HRESULT CAccessibleObject::get_accDefaultAction(VARIANT childId, BSTR* action)
{
    return AnswerTextOf(childId, action, DefaultActionOf);
}

HRESULT CAccessibleObject::accDoDefaultAction(VARIANT childId)
{
    CControlUI* target = nullptr;
    const HRESULT resolved = Resolve(childId, target);
    if (FAILED(resolved))
        return resolved;
    if (DefaultActionOf(*target).IsEmpty() || !target->IsVisible() || !target->IsEnabled())
        return DISP_E_MEMBERNOTFOUND;
    return m_pBridge->PostDefaultAction(*target) ? S_OK : E_FAIL;
}

HRESULT CAccessibleObject::put_accName(VARIANT, BSTR)
{
    return IsConnected() ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT CAccessibleObject::put_accValue(VARIANT, BSTR)
{
    return IsConnected() ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

} // namespace Facet
