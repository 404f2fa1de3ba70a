#include "HtmlTextStyle.h"

#include "../core/PaintManager.h"

namespace Facet {
namespace htmltext {

namespace {

// Fonts the mark-up adds are numbered from here on, above any skin's numbers.
const int kFirstMarkupFontId = 10000;

template <typename T>
void PopAboveBase(std::vector<T>& stack)
{
    if (stack.size() > 1)
        stack.pop_back();
}

} // namespace

StyleState::StyleState(TFontInfo* baseFont, DWORD baseColor)
{
    m_fonts.push_back(baseFont);
    m_colors.push_back(baseColor);
    m_aligns.push_back(VerticalAlign::Bottom);
}

void StyleState::PushFont(TFontInfo* font)
{
    m_fonts.push_back(font != nullptr ? font : Font());
}

void StyleState::PopFont()
{
    PopAboveBase(m_fonts);
}

void StyleState::PushColor(DWORD color)
{
    m_colors.push_back(color);
}

void StyleState::PopColor()
{
    PopAboveBase(m_colors);
}

void StyleState::PushAlign(VerticalAlign align)
{
    m_aligns.push_back(align);
}

void StyleState::PopAlign()
{
    PopAboveBase(m_aligns);
}

void StyleState::PushSpacing(int spacing)
{
    m_spacings.push_back(spacing);
}

void StyleState::PopSpacing()
{
    if (!m_spacings.empty())
        m_spacings.pop_back();
}

void StyleState::PopLink()
{
    if (!m_links.empty())
        m_links.pop_back();
}

PieceStyle StyleState::Snapshot() const
{
    PieceStyle style;
    style.font = Font();
    style.color = Color();
    style.align = Align();
    style.selected = m_selected;
    style.link = Link();
    return style;
}

int FontResolver::FreeFontId() const
{
    // A number in neither table gives the default font's record.
    const TFontInfo* absent = m_manager->GetDefaultFontInfo();
    int id = kFirstMarkupFontId;
    while (m_manager->GetFontInfo(id) != absent)
        ++id;
    return id;
}

TFontInfo* FontResolver::Named(const wchar_t* name, int size, bool bold, bool underline, bool italic)
{
    HFONT font = m_manager->GetFont(name, size, bold, underline, italic);
    if (font == nullptr)
        font = m_manager->AddFont(FreeFontId(), name, size, bold, underline, italic);
    if (font == nullptr)
        return nullptr;
    return m_manager->GetFontInfo(font);
}

TFontInfo* FontResolver::Derive(TFontInfo* base, bool bold, bool underline, bool italic)
{
    if (base == nullptr)
        return nullptr;
    if (base->bBold == bold && base->bUnderline == underline && base->bItalic == italic)
        return base;
    TFontInfo* derived = Named(base->sFontName.GetData(), base->iSize, bold, underline, italic);
    return derived != nullptr ? derived : base;
}

TFontInfo* FontResolver::Numbered(int id)
{
    return m_manager->GetFontInfo(id);
}

} // namespace htmltext
} // namespace Facet
