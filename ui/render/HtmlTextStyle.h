// The text style in force while mark-up text is laid out: stacks of fonts,
// colours, vertical alignments and paragraph spacings, the selection toggle
// and the open link. Stacks grow as needed; popping never removes the base
// entry, so a stray end tag is harmless.
#pragma once

#include <windows.h>

#include <vector>

#include "../core/ResourceTables.h"

namespace Facet {

class CPaintManagerUI;

namespace htmltext {

enum class VerticalAlign { Bottom, Center, Top };

// What one drawn piece needs to know of the style.
struct PieceStyle
{
    TFontInfo* font = nullptr;
    DWORD color = 0;
    VerticalAlign align = VerticalAlign::Bottom;
    bool selected = false;
    int link = -1; // index of the link the piece belongs to, or -1
};

class StyleState
{
public:
    StyleState(TFontInfo* baseFont, DWORD baseColor);

    TFontInfo* Font() const { return m_fonts.back(); }
    void PushFont(TFontInfo* font);
    void PopFont();

    DWORD Color() const { return m_colors.back(); }
    void PushColor(DWORD color);
    void PopColor();

    VerticalAlign Align() const { return m_aligns.back(); }
    void PushAlign(VerticalAlign align);
    void PopAlign();

    // Paragraph spacing: 0 outside paragraphs.
    int Spacing() const { return m_spacings.empty() ? 0 : m_spacings.back(); }
    void PushSpacing(int spacing);
    void PopSpacing();

    void ToggleSelected() { m_selected = !m_selected; }

    int Link() const { return m_links.empty() ? -1 : m_links.back(); }
    void PushLink(int index) { m_links.push_back(index); }
    void PopLink();

    PieceStyle Snapshot() const;

private:
    std::vector<TFontInfo*> m_fonts;
    std::vector<DWORD> m_colors;
    std::vector<VerticalAlign> m_aligns;
    std::vector<int> m_spacings;
    std::vector<int> m_links;
    bool m_selected = false;
};

// Fonts asked for by the mark-up, found in or added to the manager's table.
class FontResolver
{
public:
    explicit FontResolver(CPaintManagerUI* manager) : m_manager(manager) {}

    // `base` with the given styles; `base` itself when nothing changes or the
    // font cannot be made.
    TFontInfo* Derive(TFontInfo* base, bool bold, bool underline, bool italic);
    // The font of that face, size and styles; null when it cannot be made.
    TFontInfo* Named(const wchar_t* name, int size, bool bold, bool underline, bool italic);
    // The manager's font of that number (its default font when there is none).
    TFontInfo* Numbered(int id);

private:
    // A font number that neither the window's nor the shared table uses, so
    // adding a font under it replaces nothing.
    int FreeFontId() const;

    CPaintManagerUI* m_manager;
};

} // namespace htmltext
} // namespace Facet
