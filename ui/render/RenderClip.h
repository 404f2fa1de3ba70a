// CRenderClip: a clip region in force on a device context for the clip's lifetime.
#pragma once

#include <windows.h>

namespace Facet {

class CRenderClip
{
public:
    CRenderClip() = default;
    // Selects the previous clip back and deletes both regions.
    ~CRenderClip();
    CRenderClip(const CRenderClip&) = delete;
    CRenderClip& operator=(const CRenderClip&) = delete;

    // Restricts drawing to `rc` within the clip already in force.
    static void GenerateClip(HDC hDC, RECT rc, CRenderClip& clip);
    // The same, further restricted to a rounded rectangle over `rcItem`.
    static void GenerateRoundClip(HDC hDC, RECT rc, RECT rcItem, int width, int height, CRenderClip& clip);
    // Lets drawing reach the whole earlier clip again, until UseOldClipEnd.
    static void UseOldClipBegin(HDC hDC, CRenderClip& clip);
    static void UseOldClipEnd(HDC hDC, CRenderClip& clip);

    RECT rcItem = {0, 0, 0, 0};
    HDC hDC = nullptr;
    HRGN hRgn = nullptr;
    HRGN hOldRgn = nullptr;

private:
    // Releases what an earlier Generate made, so a clip object can be reused.
    void Reset();
};

} // namespace Facet
