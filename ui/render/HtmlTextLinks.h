// The caller's link slots of a mark-up text: rectangles and texts of the
// links, bounded by the number of slots the caller gave.
#pragma once

#include <windows.h>

#include "../core/FacetString.h"

namespace Facet {
namespace htmltext {

class LinkTable
{
public:
    // Null arrays or a count below 1 give no slots: links are then drawn but
    // not recorded.
    LinkTable(RECT* rects, CFacetString* texts, int count);

    // The text of the link whose rectangle (from the previous paint) holds
    // `point`, or empty.
    CFacetString TextAt(POINT point) const;

    // Starts the next link; its text goes into its slot if there is one.
    // Returns the link's index (which may be beyond the slots).
    int Open(const CFacetString& text);
    // Records a link's rectangle, if the link has a slot.
    void SetRect(int index, const RECT& rc);

    // Links started so far.
    int Opened() const { return m_opened; }
    // Links recorded in the slots: the ones started, at most the slots given.
    int Recorded() const { return m_opened < m_slots ? m_opened : m_slots; }

private:
    RECT* m_rects;
    CFacetString* m_texts;
    int m_slots;
    int m_opened = 0;
};

} // namespace htmltext
} // namespace Facet
