// Where something was drawn on a canvas: the columns that hold any pixel other
// than the background.
#pragma once

#include "DibCanvas.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace testsupport {

// The columns of `area` that hold ink: [left, right), empty when none.
inline RECT InkColumns(const DibCanvas& canvas, const RECT& area, uint32_t background = 0xFFFFFF)
{
    RECT columns = {area.right, area.top, area.left, area.bottom};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (canvas.Rgb(x, y) != background) {
                columns.left = (std::min)(columns.left, static_cast<LONG>(x));
                columns.right = (std::max)(columns.right, static_cast<LONG>(x + 1));
            }
    if (columns.right <= columns.left)
        columns.left = columns.right = 0;
    return columns;
}

} // namespace testsupport
