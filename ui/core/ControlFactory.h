// The factory table of skin element names.
#pragma once

namespace Facet {

class CControlUI;

// A new control for a skin element name ("Button", "VerticalLayout", ...),
// compared ignoring case except "GifAnim", which must match exactly; null for
// a name the table does not hold.
CControlUI* CreateFactoryControl(const wchar_t* className);

} // namespace Facet
