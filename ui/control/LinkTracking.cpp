#include "LinkTracking.h"

namespace Facet {

int LinkIndexAt(const RECT* links, int count, POINT pt)
{
    for (int i = 0; i < count; ++i) {
        if (PtInRect(&links[i], pt))
            return i;
    }
    return -1;
}

void SetHoverLink(CControlUI& control, int& hoverLink, int link)
{
    if (link == hoverLink)
        return;
    hoverLink = link;
    control.Invalidate();
}

} // namespace Facet
