#include "HtmlTextLinks.h"

namespace Facet {
namespace htmltext {

LinkTable::LinkTable(RECT* rects, CFacetString* texts, int count)
    : m_rects(rects), m_texts(texts), m_slots(rects != nullptr && texts != nullptr && count > 0 ? count : 0)
{
}

CFacetString LinkTable::TextAt(POINT point) const
{
    for (int i = 0; i < m_slots; ++i) {
        if (PtInRect(&m_rects[i], point))
            return m_texts[i];
    }
    return CFacetString();
}

int LinkTable::Open(const CFacetString& text)
{
    const int index = m_opened++;
    if (index < m_slots) {
        m_texts[index] = text;
        SetRectEmpty(&m_rects[index]);
    }
    return index;
}

void LinkTable::SetRect(int index, const RECT& rc)
{
    if (index >= 0 && index < m_slots)
        m_rects[index] = rc;
}

} // namespace htmltext
} // namespace Facet
