// The paint manager's side of assistive technology: it answers WM_GETOBJECT
// and carries events and focus cues through its window's CAccessibility.
#include "PaintManager.h"

#include "../access/Accessibility.h"

namespace Facet {

CAccessibility& CPaintManagerUI::Accessibility()
{
    if (m_pAccessibility == nullptr)
        m_pAccessibility = new CAccessibility(*this);
    return *m_pAccessibility;
}

void CPaintManagerUI::FreeAccessibility()
{
    delete m_pAccessibility;
    m_pAccessibility = nullptr;
}

void CPaintManagerUI::NoteAccessibleInput(UINT uMsg)
{
    // A key is what turns focus cues on; until then nothing needs the bridge.
    if (m_pAccessibility != nullptr || uMsg == WM_KEYDOWN || uMsg == WM_SYSKEYDOWN)
        Accessibility().NoteInput(uMsg);
}

bool CPaintManagerUI::AccessibilityMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    NoteAccessibleInput(uMsg);
    // A client's question makes the bridge; its own posted actions need one made before.
    if (m_pAccessibility == nullptr && uMsg != WM_GETOBJECT)
        return false;
    return Accessibility().HandleMessage(uMsg, wParam, lParam, lRes);
}

void CPaintManagerUI::NotifyAccessible(DWORD event, CControlUI* control)
{
    if (m_hWndPaint != nullptr)
        Accessibility().Notify(event, control);
}

bool CPaintManagerUI::AreFocusCuesShown() const
{
    return m_pAccessibility != nullptr && m_pAccessibility->AreFocusCuesShown();
}

} // namespace Facet
