// The image description language of skins: a bare image name, or key='value'
// pairs separated by single spaces, such as
//   res='chk_checked.png' restype='MVIMGRES' dest='0,0,20,20'
#pragma once

#include <windows.h>

#include "ImageInfo.h"

namespace Facet {

// How the image of a description is to be found in the image table.
struct TImageLookup
{
    CFacetString sResType;   // "restype", or "*COLOR*" for a colour key
    bool bByResType = false; // "res" or "color" was given: look up with the type
    DWORD dwMask = 0;
    bool bHSL = false;
    bool bSvg = false;
};

// Parses `info.sDrawString` into `info` (image name, destination, source,
// corners, fade, hole, tiling) and `lookup`. Destination offsets are multiplied
// by `scale` and truncated; source and corners are taken as written. A syntax
// error ends parsing and keeps what was read before it.
void ParseImageDescription(TDrawInfo& info, TImageLookup& lookup, double scale);

} // namespace Facet
