// CAccessibility: one window's bridge to assistive technology (screen readers,
// magnifiers, voice control) through the platform's accessibility interface.
// It answers WM_GETOBJECT for the client area with the object of the root
// control, keeps one object per control (so a client sees the same object
// each time), raises the platform's events for changes of controls, performs
// default actions after the client's call has returned, and keeps whether the
// focus is shown by a frame (after keyboard use, as the platform does).
//
// Objects outlive controls safely: when a control is destroyed its object is
// disconnected and answers CO_E_OBJNOTCONNECTED from then on.
//
// A client in another process reaches the objects through COM: the window's
// thread must have entered a single-threaded apartment (CoInitializeEx) and
// pump messages, as every window thread does.
#pragma once

#include <windows.h>

#include <map>

namespace Facet {

class CAccessibleObject;
class CControlUI;
class CPaintManagerUI;

class CAccessibility
{
public:
    explicit CAccessibility(CPaintManagerUI& manager);
    // Disconnects every object still handed out.
    ~CAccessibility();
    CAccessibility(const CAccessibility&) = delete;
    CAccessibility& operator=(const CAccessibility&) = delete;

    // The messages this bridge answers: WM_GETOBJECT for the client area and
    // its own posted default actions. False for any other message.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Raises the platform event `event` (EVENT_OBJECT_*) for `control`; a null
    // control stands for the client area as a whole.
    void Notify(DWORD event, CControlUI* control);

    // The object of `control`, made on first request; the bridge keeps a
    // reference, the caller adds its own. Null for null.
    CAccessibleObject* ObjectOf(CControlUI* control);
    // The control whose event child id is `childId` (negative), or null.
    CControlUI* ControlOfChildId(LONG childId) const;

    CPaintManagerUI& Manager() const { return m_manager; }
    HWND Window() const;
    CControlUI* Root() const;
    // The control holding the manager's focus while the window (or a native
    // window inside it) holds the keyboard; null otherwise.
    CControlUI* KeyboardFocus() const;

    // Performs the control's default action from a message posted to the
    // window, so the client's call returns first. False when it cannot be posted.
    bool PostDefaultAction(CControlUI& control);

    // Whether the focused control shows a focus frame: after a key, until the
    // next mouse press.
    bool AreFocusCuesShown() const { return m_bFocusCues; }
    // Keyboard and mouse input of the window switch the focus frame on and off.
    void NoteInput(UINT message);

private:
    struct Entry
    {
        LONG id;                   // the event child id is -id
        CAccessibleObject* object; // null until a client asks for it
    };

    Entry& EntryOf(CControlUI& control);
    LONG ChildIdOf(CControlUI& control);
    bool OnControlDestroyed(void* control);
    void Forget(CControlUI& control, bool controlAlive);
    bool AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void PerformDefaultAction(LONG id);
    void ShowFocusCues(bool shown);

    static UINT ActionMessage();

    CPaintManagerUI& m_manager;
    std::map<CControlUI*, Entry> m_entries;
    std::map<LONG, CControlUI*> m_controlsById;
    LONG m_nNextId = 1;
    bool m_bFocusCues = false;
};

} // namespace Facet
