// Readers of the attribute values that the list, its header items and the
// combo box share, and the two ways they paint: the image of a state and a
// text that may carry mark-up.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "../render/ImageInfo.h"
#include "../core/AttributeValues.h"
#include "ControlUI.h"

namespace Facet {
namespace list_attributes {

using attribute_values::Equals;
using attribute_values::IsTrue;
using attribute_values::ReadColorAfterBlanks;

// A size in skin pixels scaled to the window ("itemheight", "sepwidth"...).
int ReadScaledInt(const wchar_t* value);
// "left,top,right,bottom" in skin pixels scaled to the window (paddings).
RECT ReadScaledRect(const wchar_t* value);

// `style` with `bit` set or cleared.
UINT WithStyleBit(UINT style, UINT bit, bool on);
// `style` made multi-line (word breaks) or single-line.
UINT WithMultiLine(UINT style, bool multiLine);
// `style` aligned as "left", "center" or "right" say (the last one wins).
UINT WithHorizontalAlign(UINT style, const wchar_t* value);
// `style` aligned as "top", `centre` ("vcenter" or "center") or "bottom" say.
UINT WithVerticalAlign(UINT style, const wchar_t* value, const wchar_t* centre);

// Draws the first of `candidates` that is given and has a description; a
// state without an image thus shows the next candidate. False when none does.
bool DrawFirstImage(CControlUI& control, HDC hDC, std::initializer_list<TDrawInfo*> candidates);

// `rc` less `padding` on each side.
RECT Inset(const RECT& rc, const RECT& padding);
// Draws `text` in `rc`, as mark-up when `html` (its links are not recorded).
void DrawLabelText(HDC hDC, CPaintManagerUI* manager, RECT rc, const wchar_t* text, DWORD color, int font, UINT style,
                   bool html);

} // namespace list_attributes
} // namespace Facet
