#include "ImageInfo.h"

namespace Facet {

TDrawInfo::TDrawInfo()
{
    Clear();
}

TDrawInfo::TDrawInfo(const wchar_t* description)
{
    Clear();
    sDrawString = description;
}

void TDrawInfo::Clear()
{
    sDrawString.Empty();
    sImageName.Empty();
    bLoaded = false;
    pImageInfo = nullptr;
    rcDestOffset = RECT{0, 0, 0, 0};
    rcBmpPart = RECT{0, 0, 0, 0};
    rcScale9 = RECT{0, 0, 0, 0};
    uFade = 255;
    bHole = false;
    bTiledX = false;
    bTiledY = false;
}

} // namespace Facet
