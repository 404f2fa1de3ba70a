// The factory table of skin element names.
#pragma once

#include <vector>

namespace Facet {

class CControlUI;

// A new control for a skin element name ("Button", "VerticalLayout", ...),
// compared ignoring case except "GifAnim", which must match exactly; null for
// a name the table does not hold.
CControlUI* CreateFactoryControl(const wchar_t* className);

// Every element name of the table, in its order ("GifAnim" included).
std::vector<const wchar_t*> FactoryControlNames();

} // namespace Facet
