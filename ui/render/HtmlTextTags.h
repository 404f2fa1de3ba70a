// Readers of the arguments of mark-up tags. Each takes the argument as a
// terminated copy and never reads beyond it.
#pragma once

#include <windows.h>

#include "HtmlTextStyle.h"
#include "../core/FacetString.h"

namespace Facet {
namespace htmltext {

// {c #AARRGGBB}: hexadecimal with an optional "#".
DWORD ParseColor(const wchar_t* argument);

// {f name size styles}: size 10 when no number follows the name; styles
// searched (ignoring case) for "bold", "underline" and "italic".
struct FontTag
{
    CFacetString name;
    int size = 10;
    bool bold = false;
    bool underline = false;
    bool italic = false;
};
// Whether the argument is a font number ({f 2}) rather than a font tag.
bool IsFontNumber(const wchar_t* argument);
FontTag ParseFontTag(const wchar_t* argument);

// {i name count index} or {i file='name' restype='type' count index}: the
// image is cut into `count` equal parts side by side and part `index` drawn.
struct ImageTag
{
    CFacetString name;
    CFacetString type;
    int count = 1;
    int index = 0;
};
ImageTag ParseImageTag(const wchar_t* argument);

// {v center}, {v top}; anything else is bottom.
VerticalAlign ParseVerticalAlign(const wchar_t* argument);

// A leading decimal (after blanks), 0 when there is none.
int ParseNumber(const wchar_t* argument);

} // namespace htmltext
} // namespace Facet
