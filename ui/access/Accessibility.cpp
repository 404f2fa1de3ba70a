#include "Accessibility.h"

#include <oleacc.h>

#include "AccessibleObject.h"
#include "AccessibleTraits.h"
#include "PlatformOleacc.h"
#include "../control/ControlUI.h"
#include "../core/PaintManager.h"

namespace Facet {

CAccessibility::CAccessibility(CPaintManagerUI& manager) : m_manager(manager)
{
}

CAccessibility::~CAccessibility()
{
    while (!m_entries.empty())
        Forget(*m_entries.begin()->first, true);
}

HWND CAccessibility::Window() const
{
    return m_manager.GetPaintWindow();
}

CControlUI* CAccessibility::Root() const
{
    return m_manager.GetRoot();
}

CControlUI* CAccessibility::KeyboardFocus() const
{
    CControlUI* focused = m_manager.GetFocus();
    const HWND window = Window();
    const HWND keyboard = ::GetFocus();
    if (focused == nullptr || window == nullptr || keyboard == nullptr)
        return nullptr;
    return (keyboard == window || ::IsChild(window, keyboard)) ? focused : nullptr;
}

// -- Objects and ids --

CAccessibility::Entry& CAccessibility::EntryOf(CControlUI& control)
{
    auto found = m_entries.find(&control);
    if (found != m_entries.end())
        return found->second;
    // The control's end disconnects what was handed out for it.
    control.OnDestroy += MakeDelegate(this, &CAccessibility::OnControlDestroyed);
    const Entry entry = {m_nNextId++, nullptr};
    m_controlsById[entry.id] = &control;
    return m_entries.emplace(&control, entry).first->second;
}

CAccessibleObject* CAccessibility::ObjectOf(CControlUI* control)
{
    if (control == nullptr)
        return nullptr;
    Entry& entry = EntryOf(*control);
    if (entry.object == nullptr)
        entry.object = new CAccessibleObject(*control, *this);
    return entry.object;
}

CControlUI* CAccessibility::ControlOfChildId(LONG childId) const
{
    if (childId >= 0)
        return nullptr;
    auto found = m_controlsById.find(-childId);
    return found != m_controlsById.end() ? found->second : nullptr;
}

LONG CAccessibility::ChildIdOf(CControlUI& control)
{
    if (&control == Root())
        return CHILDID_SELF;
    return -EntryOf(control).id;
}

bool CAccessibility::OnControlDestroyed(void* control)
{
    // Called from the control's destructor: only its entry is looked at.
    CControlUI* gone = static_cast<CControlUI*>(control);
    auto found = m_entries.find(gone);
    if (found == m_entries.end())
        return true;
    if (Window() != nullptr)
        ::NotifyWinEvent(EVENT_OBJECT_DESTROY, Window(), OBJID_CLIENT, -found->second.id);
    Forget(*gone, false);
    return true;
}

void CAccessibility::Forget(CControlUI& control, bool controlAlive)
{
    auto found = m_entries.find(&control);
    if (found == m_entries.end())
        return;
    if (controlAlive)
        control.OnDestroy -= MakeDelegate(this, &CAccessibility::OnControlDestroyed);
    if (CAccessibleObject* object = found->second.object) {
        object->Disconnect();
        object->Release();
    }
    m_controlsById.erase(found->second.id);
    m_entries.erase(found);
}

// -- Messages --

UINT CAccessibility::ActionMessage()
{
    // A registered message cannot collide with the application's own.
    static const UINT message = ::RegisterWindowMessageW(L"Facet.AccessibleDefaultAction");
    return message;
}

bool CAccessibility::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_GETOBJECT)
        return AnswerGetObject(wParam, lParam, result);
    if (message != 0 && message == ActionMessage()) {
        PerformDefaultAction(static_cast<LONG>(wParam));
        result = 0;
        return true;
    }
    return false;
}

bool CAccessibility::AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // The object id arrives as a 32-bit value, whatever the width of lParam.
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT || Root() == nullptr)
        return false;
    const PlatformOleacc& oleacc = PlatformOleacc::Get();
    if (oleacc.lresultFromObject == nullptr)
        return false;
    result = oleacc.lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(ObjectOf(Root())));
    // A failure (a negative error code) leaves the question to the platform.
    return result > 0;
}

bool CAccessibility::PostDefaultAction(CControlUI& control)
{
    const LONG id = EntryOf(control).id;
    return Window() != nullptr && ::PostMessageW(Window(), ActionMessage(), static_cast<WPARAM>(id), 0) != FALSE;
}

void CAccessibility::PerformDefaultAction(LONG id)
{
    // The control may have gone since the client asked.
    auto found = m_controlsById.find(id);
    if (found != m_controlsById.end())
        accessibility::DoDefaultAction(*found->second);
}

// -- Events --

void CAccessibility::Notify(DWORD event, CControlUI* control)
{
    const HWND window = Window();
    if (window == nullptr)
        return;
    if (control == nullptr) {
        ::NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
        return;
    }
    CControlUI* representative = accessibility::RepresentativeOf(*control);
    // Focus inside a native window (an edit's edit box) is told by the platform.
    if (event == EVENT_OBJECT_FOCUS && ::GetFocus() != window && ::IsChild(window, ::GetFocus()))
        return;
    ::NotifyWinEvent(event, window, OBJID_CLIENT, ChildIdOf(*representative));
}

// -- Focus cues --

void CAccessibility::NoteInput(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        ShowFocusCues(true);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        ShowFocusCues(false);
        break;
    default:
        break;
    }
}

void CAccessibility::ShowFocusCues(bool shown)
{
    if (m_bFocusCues == shown)
        return;
    m_bFocusCues = shown;
    if (CControlUI* focused = m_manager.GetFocus())
        focused->Invalidate();
}

} // namespace Facet
