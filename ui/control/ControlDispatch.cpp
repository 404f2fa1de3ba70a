// Event and search steps shared by controls and containers.
#include "ControlDispatch.h"

namespace Facet {

bool PassMouseEventOn(CControlUI& control, TEventUI& event)
{
    if (control.IsMouseEnabled() || event.Type <= UIEVENT__MOUSEBEGIN || event.Type >= UIEVENT__MOUSEEND)
        return false;
    if (CControlUI* parent = control.GetParent())
        parent->DoEvent(event);
    else
        control.CControlUI::DoEvent(event);
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
