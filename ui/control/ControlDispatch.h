// Steps that controls take the same way when an event or a search reaches
// them: a control without mouse input passes mouse events on, and every
// search first tests the control itself against its filters.
#pragma once

#include "ControlUI.h"

namespace Facet {

// A control whose mouse input is off hands a mouse event on to its parent
// (to the plain control handling when it has none). True when it did.
bool PassMouseEventOn(CControlUI& control, TEventUI& event);

// The tests a search (FindControl) makes before it looks at a control and
// what the control holds: the visible, enabled and hit-test filters of
// `flags`, and an update test that already answers for the control itself.
// False when the search passes the control by.
bool SearchEnters(CControlUI& control, FINDCONTROLPROC proc, LPVOID data, UINT flags);

} // namespace Facet
