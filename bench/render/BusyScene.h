// A busy 680 x 440 window scene painted straight through CRenderEngine (no
// controls): nine-grid panels and buttons with corners, fades, tiling and a
// hollow frame, colour fills, gradients, plain and mark-up text.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "render/ImageInfo.h"

namespace Facet {
class CPaintManagerUI;
}

namespace bench {

class BusyScene
{
public:
    // `images` by file name; `manager` gives the fonts (numbers 0 to 3 are
    // defined by the scene) and the images named in mark-up.
    BusyScene(Facet::CPaintManagerUI& manager, const std::map<std::wstring, Facet::TImageInfo*>& images);

    // Paints the whole scene into `dc` (680 x 440).
    void Paint(HDC dc);

    // Pieces painted per frame, by kind.
    int ImagesPerFrame() const { return m_imageDraws; }
    int FillsPerFrame() const { return m_fills; }
    int TextsPerFrame() const { return m_texts; }

private:
    void Image(HDC dc, const wchar_t* name, const RECT& dest, const RECT& source, const RECT& corners, BYTE fade = 255,
               bool hole = false, bool xtiled = false, bool ytiled = false);
    const Facet::TImageInfo* Find(const wchar_t* name) const;

    Facet::CPaintManagerUI& m_manager;
    const std::map<std::wstring, Facet::TImageInfo*>& m_images;
    int m_imageDraws = 0;
    int m_fills = 0;
    int m_texts = 0;
};

} // namespace bench
