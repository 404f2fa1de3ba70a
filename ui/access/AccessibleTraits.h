// What assistive technology is told about one control: its role (from its
// class), name, value, states, default action, and where it stands in the
// accessible tree. The tree follows the control tree, except that a list's
// body is skipped (its rows are the list's children, as the list's own item
// interface lists them) and a tree node shows as one outline item.
#pragma once

#include <windows.h>

#include <vector>

#include "../core/FacetString.h"

namespace Facet {

class CControlUI;

namespace accessibility {

// One of the ROLE_SYSTEM_* values.
LONG RoleOf(CControlUI& control);
// STATE_SYSTEM_* bits. `hasFocus`: the control holds its window's focus and
// the window holds the keyboard.
LONG StatesOf(CControlUI& control, bool hasFocus);

// The name: the "accname" attribute when given; else, for controls that show
// a value (text fields, progress bars, sliders, combo boxes, lists), the
// tooltip or the text of the label just before them; for the others the text
// (mark-up removed, language tokens replaced), else the tooltip.
CFacetString NameOf(CControlUI& control);
// The tooltip when the name is not already it; empty otherwise.
CFacetString DescriptionOf(CControlUI& control);

enum class ValueAnswer {
    None,     // the control has no value
    Value,    // `value` holds it
    Protected // a password: it has one but it is not told
};
ValueAnswer ValueOf(CControlUI& control, CFacetString& value);

// The name of what a click would do ("Press", "Check", "Uncheck", "Open",
// "Close", "Expand", "Collapse", "Select"); empty when nothing.
CFacetString DefaultActionOf(CControlUI& control);
// Does what a click on the control does; false when it has no such action or
// is hidden or disabled.
bool DoDefaultAction(CControlUI& control);
// "Alt+X" for a control with the shortcut character X; empty without one.
CFacetString KeyboardShortcutOf(CControlUI& control);

// The accessible children, in the order they are painted.
std::vector<CControlUI*> ChildrenOf(CControlUI& control);
// The accessible parent: the nearest ancestor that lists `control` among its
// accessible children; null for the root.
CControlUI* ParentOf(CControlUI& control);
// The control whose object stands for `control`: itself, or the tree node
// whose row holds it.
CControlUI* RepresentativeOf(CControlUI& control);
// The child of `control` that is selected (a list's current row, a tab
// layout's shown page); null when none.
CControlUI* SelectionOf(CControlUI& control);

} // namespace accessibility
} // namespace Facet
