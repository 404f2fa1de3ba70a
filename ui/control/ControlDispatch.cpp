// Event and search steps shared by controls and containers.
#include "ControlDispatch.h"

#include "ButtonUI.h"

namespace Facet {

bool PassMouseEventOn(CControlUI& control, TEventUI& event)
{
    return PassMouseEventTo(control, event, control.GetParent());
}

bool PassMouseEventTo(CControlUI& control, TEventUI& event, CControlUI* receiver)
{
    if (control.IsMouseEnabled() || event.Type <= UIEVENT__MOUSEBEGIN || event.Type >= UIEVENT__MOUSEEND)
        return false;
    if (receiver != nullptr)
        receiver->DoEvent(event);
    else
        control.CControlUI::DoEvent(event);
    return true;
}

void MarkHot(CControlUI& control, UINT& buttonState)
{
    if (!control.IsEnabled())
        return;
    buttonState |= UISTATE_HOT;
    control.Invalidate();
}

void ClearHot(CControlUI& control, UINT& buttonState)
{
    if ((buttonState & UISTATE_HOT) == 0)
        return;
    buttonState &= ~static_cast<UINT>(UISTATE_HOT);
    control.Invalidate();
}

bool TrackHot(CControlUI& control, UINT& buttonState, const TEventUI& event)
{
    if (event.Type == UIEVENT_MOUSEENTER)
        MarkHot(control, buttonState);
    else if (event.Type == UIEVENT_MOUSELEAVE)
        ClearHot(control, buttonState);
    else
        return false;
    return true;
}

bool NoteFocus(bool& focused, const TEventUI& event)
{
    if (event.Type != UIEVENT_SETFOCUS && event.Type != UIEVENT_KILLFOCUS)
        return false;
    focused = event.Type == UIEVENT_SETFOCUS;
    return true;
}

bool SearchEnters(CControlUI& control, FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    if (proc == nullptr)
        return false;
    if ((flags & UIFIND_VISIBLE) != 0 && !control.IsVisible())
        return false;
    if ((flags & UIFIND_ENABLED) != 0 && !control.IsEnabled())
        return false;
    if ((flags & UIFIND_HITTEST) != 0 &&
        (data == nullptr || !PtInRect(&control.GetPos(), *static_cast<const POINT*>(data))))
        return false;
    return (flags & UIFIND_UPDATETEST) == 0 || proc(&control, data) == nullptr;
}

} // namespace Facet
