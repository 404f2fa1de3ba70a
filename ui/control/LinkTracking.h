// Steps shared by the controls that draw mark-up links and remember where
// they went (the text control and the list's text rows).
#pragma once

#include <windows.h>

#include "ControlUI.h"

namespace Facet {

// The index of the first of the `count` rectangles in `links` that holds
// `pt`; -1 when none does.
int LinkIndexAt(const RECT* links, int count, POINT pt);

// Makes `link` (-1 for none) the hovered link kept in `hoverLink` and repaints
// `control` when that changes which link is hovered.
void SetHoverLink(CControlUI& control, int& hoverLink, int link);

} // namespace Facet
