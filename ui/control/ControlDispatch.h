// Steps that controls take the same way when an event or a search reaches
// them: a control without mouse input passes mouse events on, and every
// search first tests the control itself against its filters.
#pragma once

#include "ControlUI.h"

namespace Facet {

// A control whose mouse input is off hands a mouse event on to its parent
// (to the plain control handling when it has none). True when it did.
bool PassMouseEventOn(CControlUI& control, TEventUI& event);
// The same with another receiver than the parent (a scroll bar hands its
// mouse events to the container that owns it); without a receiver the plain
// control handling takes the event.
bool PassMouseEventTo(CControlUI& control, TEventUI& event, CControlUI* receiver);

// The hot state of controls that keep it in a button-state word: the mouse
// entering an enabled control sets UISTATE_HOT, leaving clears it; either
// repaints the control when the state changes or is set.
void MarkHot(CControlUI& control, UINT& buttonState);
void ClearHot(CControlUI& control, UINT& buttonState);
// MarkHot for a mouse-enter event, ClearHot for a mouse-leave; true when
// `event` was one of the two.
bool TrackHot(CControlUI& control, UINT& buttonState, const TEventUI& event);

// Keeps `focused` on a focus event without repainting (labels and containers
// show no focus of their own); true when `event` was one.
bool NoteFocus(bool& focused, const TEventUI& event);

// The tests a search (FindControl) makes before it looks at a control and
// what the control holds: the visible, enabled and hit-test filters of
// `flags`, and an update test that already answers for the control itself.
// False when the search passes the control by.
bool SearchEnters(CControlUI& control, FINDCONTROLPROC proc, LPVOID data, UINT flags);

// The rest of a search that entered `control`: the control itself is offered
// to `proc` before `searchInside` (what the control holds) with
// UIFIND_ME_FIRST, else after it, and only when `selfMayAnswer`. The first
// answer ends the search.
template <class SearchInside>
CControlUI* SearchSelfAndInside(CControlUI& control, FINDCONTROLPROC proc, LPVOID data, UINT flags, bool selfMayAnswer,
                                SearchInside searchInside)
{
    const bool meFirst = (flags & UIFIND_ME_FIRST) != 0;
    CControlUI* result = nullptr;
    if (meFirst && selfMayAnswer)
        result = proc(&control, data);
    if (result == nullptr)
        result = searchInside();
    if (result == nullptr && !meFirst && selfMayAnswer)
        result = proc(&control, data);
    return result;
}

} // namespace Facet
