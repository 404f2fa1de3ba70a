#include "HtmlTextLayout.h"

#include "HtmlTextTags.h"
#include "../core/PaintManager.h"

#include <algorithm>

namespace Facet {
namespace htmltext {

namespace {

const wchar_t kEllipsis[] = L"...";

bool IsAsciiLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// Where word break may cut the first `fit` characters of a run: just after
// the last character that is no ASCII letter; 0 when all are letters.
int WordBreakCut(const wchar_t* text, int fit)
{
    for (int i = fit; i > 0; --i) {
        if (!IsAsciiLetter(text[i - 1]))
            return i;
    }
    return 0;
}

// Moves a cut that would split a surrogate pair before the pair, or after it
// when nothing would be left before it.
int KeepPairsWhole(const wchar_t* text, int length, int keep)
{
    if (keep > 0 && keep < length && IS_HIGH_SURROGATE(text[keep - 1]))
        return keep > 1 ? keep - 1 : keep + 1;
    return keep;
}

} // namespace

Layout::Layout(HDC dc, CPaintManagerUI* manager, const LayoutOptions& options, StyleState& style, LinkTable& links,
               const CFacetString& hoveredLink)
    : m_dc(dc),
      m_manager(manager),
      m_options(options),
      m_style(style),
      m_links(links),
      m_hoveredLink(hoveredLink),
      m_fonts(manager)
{
}

void Layout::Run(const wchar_t* text)
{
    StartLine();
    TokenReader reader(text);
    for (Token token = reader.Next(); token.kind != TokenKind::End; token = reader.Next()) {
        switch (token.kind) {
        case TokenKind::Text:
            OnRun(token.text, token.length, false);
            break;
        case TokenKind::Space:
            OnRun(token.text, token.length, true);
            break;
        case TokenKind::LineBreak:
            OnLineBreak();
            break;
        case TokenKind::OpenTag:
            OnOpenTag(token);
            break;
        case TokenKind::CloseTag:
            OnCloseTag(token.letter);
            break;
        case TokenKind::End:
            break;
        }
    }
    // A text ending in a line break gets no empty last line.
    if (m_lines.empty() || !m_line.pieces.empty() || m_pen > 0 || m_lineSetHeight > 0)
        EndLine();
}

int Layout::Height() const
{
    return m_lines.empty() ? 0 : m_lines.back().top + m_lines.back().height;
}

int Layout::Width() const
{
    int width = 0;
    for (const Line& line : m_lines)
        width = (std::max)(width, line.width);
    return width;
}

// -- Lines --

void Layout::StartLine()
{
    m_line = Line();
    m_pen = 0;
    m_lineFontHeight = FontCellHeight(m_style.Font());
    m_lineImageHeight = 0;
    m_lineSpacing = m_style.Spacing();
    m_lineSetHeight = 0;
}

void Layout::EndLine()
{
    m_line.top = m_nextTop;
    m_line.height = (std::max)({m_lineFontHeight + m_lineSpacing, m_lineImageHeight, m_lineSetHeight});
    m_line.width = m_pen;
    for (const Piece& piece : m_line.pieces)
        m_line.width = (std::max)(m_line.width, piece.x + piece.width);
    m_nextTop += m_line.height;
    m_lines.push_back(std::move(m_line));
    StartLine();
}

void Layout::OnLineBreak()
{
    if (m_options.singleLine)
        return;
    EndLine();
    m_elided = false;
}

// -- Text --

void Layout::SelectFont(TFontInfo* font)
{
    HGDIOBJ handle = font != nullptr ? font->hFont : nullptr;
    if (handle != nullptr && handle != m_selectedFont) {
        SelectObject(m_dc, handle);
        m_selectedFont = handle;
    }
}

const TEXTMETRICW& Layout::Metrics(TFontInfo* font)
{
    if (font->tm.tmHeight != 0)
        return font->tm;
    // A record the manager could not measure (no window context yet).
    auto found = m_measured.find(font);
    if (found != m_measured.end())
        return found->second;
    TEXTMETRICW& tm = m_measured[font];
    ZeroMemory(&tm, sizeof(tm));
    SelectFont(font);
    GetTextMetricsW(m_dc, &tm);
    return tm;
}

int Layout::FontCellHeight(TFontInfo* font)
{
    if (font == nullptr)
        return 0;
    const TEXTMETRICW& tm = Metrics(font);
    return tm.tmHeight + tm.tmExternalLeading;
}

int Layout::MeasureWidth(const wchar_t* text, int length)
{
    SIZE size = {0, 0};
    if (length > 0 && !GetTextExtentPoint32W(m_dc, text, length, &size))
        size.cx = 0;
    return size.cx;
}

void Layout::AddText(const wchar_t* text, int length)
{
    TFontInfo* font = m_style.Font();
    SelectFont(font);
    Piece piece;
    piece.style = m_style.Snapshot();
    piece.x = m_pen;
    piece.width = MeasureWidth(text, length);
    piece.text = text;
    piece.length = length;
    if (font != nullptr) {
        const TEXTMETRICW& tm = Metrics(font);
        piece.height = tm.tmHeight;
        piece.leading = tm.tmExternalLeading;
    }
    m_pen += piece.width;
    m_lineFontHeight = (std::max)(m_lineFontHeight, piece.height + piece.leading);
    m_line.pieces.push_back(piece);
}

void Layout::AddEllipsis()
{
    AddText(kEllipsis, 3);
}

void Layout::OnRun(const wchar_t* text, int length, bool space)
{
    while (length > 0 && !m_elided) {
        SelectFont(m_style.Font());
        const int available = (std::max)(0, m_options.width - m_pen);
        int fit = 0;
        SIZE whole = {0, 0};
        if (!GetTextExtentExPointW(m_dc, text, length, available, &fit, nullptr, &whole))
            fit = length;
        if (fit >= length) {
            AddText(text, length);
            return;
        }
        const bool multiLine = !m_options.singleLine;
        const bool lineHasContent = !m_line.pieces.empty();
        // A blank that does not fit ends the line and is not carried over.
        if (space && multiLine && lineHasContent) {
            EndLine();
            return;
        }
        if (m_options.endEllipsis && (m_options.singleLine || !m_options.wordBreak)) {
            const int keep = KeepPairsWhole(text, length, (std::max)(0, fit - 2));
            if (keep > 0)
                AddText(text, keep);
            AddEllipsis();
            m_elided = true;
            return;
        }
        int keep = fit;
        if (m_options.wordBreak) {
            const int cut = WordBreakCut(text, fit);
            if (cut > 0)
                keep = cut;
            else if (multiLine && lineHasContent)
                keep = 0; // the whole word moves to the next line
        }
        if (keep == 0 && multiLine && lineHasContent) {
            EndLine();
            continue;
        }
        keep = KeepPairsWhole(text, length, (std::max)(keep, 1));
        AddText(text, keep);
        if (!multiLine) {
            m_elided = true;
            return;
        }
        EndLine();
        text += keep;
        length -= keep;
    }
}

// -- Images --

void Layout::OnImage(const wchar_t* argument)
{
    if (m_elided)
        return;
    const ImageTag tag = ParseImageTag(argument);
    if (tag.name.IsEmpty())
        return;
    const TImageInfo* image = m_manager->GetImageEx(tag.name.GetData(),
                                                    tag.type.IsEmpty() ? nullptr : tag.type.GetData());
    if (image == nullptr || image->hBitmap == nullptr)
        return;
    const int partWidth = image->nX / tag.count;
    if (m_pen + partWidth > m_options.width && !m_line.pieces.empty() && !m_options.singleLine)
        EndLine();
    Piece piece;
    piece.style = m_style.Snapshot();
    piece.x = m_pen;
    piece.width = partWidth;
    piece.height = image->nY;
    piece.image = image;
    piece.source = RECT{partWidth * tag.index, 0, partWidth * (tag.index + 1), image->nY};
    m_pen += partWidth;
    m_lineImageHeight = (std::max)(m_lineImageHeight, piece.height);
    m_line.pieces.push_back(piece);
}

// -- Tags --

void Layout::OnOpenTag(const Token& token)
{
    const CFacetString argument(token.text, token.length);
    TFontInfo* font = m_style.Font();
    switch (token.letter) {
    case L'a': {
        const int index = m_links.Open(argument);
        const bool hovered = !m_hoveredLink.IsEmpty() && argument == m_hoveredLink.GetData();
        m_style.PushColor(hovered ? m_manager->GetDefaultLinkHoverFontColor() : m_manager->GetDefaultLinkFontColor());
        m_style.PushFont(m_fonts.Derive(font, font->bBold, true, font->bItalic));
        m_style.PushLink(index);
        break;
    }
    case L'b':
        m_style.PushFont(m_fonts.Derive(font, true, font->bUnderline, font->bItalic));
        break;
    case L'c':
        m_style.PushColor(ParseColor(argument));
        break;
    case L'f':
        if (IsFontNumber(argument)) {
            m_style.PushFont(m_fonts.Numbered(ParseNumber(argument)));
        } else {
            const FontTag tag = ParseFontTag(argument);
            m_style.PushFont(tag.name.IsEmpty()
                                 ? nullptr
                                 : m_fonts.Named(tag.name.GetData(), tag.size, tag.bold, tag.underline, tag.italic));
        }
        break;
    case L'i':
        if (token.spaced)
            OnImage(argument);
        else
            m_style.PushFont(m_fonts.Derive(font, font->bBold, font->bUnderline, true));
        break;
    case L'n':
        OnLineBreak();
        break;
    case L'p': {
        if (!m_options.singleLine && !AtLineStart())
            EndLine();
        const int spacing = ParseNumber(argument);
        m_style.PushSpacing(spacing);
        m_lineSpacing = (std::max)(m_lineSpacing, spacing);
        break;
    }
    case L's':
        m_style.ToggleSelected();
        break;
    case L'u':
        m_style.PushFont(m_fonts.Derive(font, font->bBold, true, font->bItalic));
        break;
    case L'v':
        m_style.PushAlign(ParseVerticalAlign(argument));
        break;
    case L'x':
        m_pen = (std::max)(0, m_pen + ParseNumber(argument));
        break;
    case L'y':
        m_lineSetHeight = (std::max)(0, ParseNumber(argument));
        break;
    default:
        // {r} is handled by the token reader; other letters are skipped.
        break;
    }
}

void Layout::OnCloseTag(wchar_t letter)
{
    switch (letter) {
    case L'a':
        m_style.PopColor();
        m_style.PopFont();
        m_style.PopLink();
        break;
    case L'b':
    case L'f':
    case L'i':
    case L'u':
        m_style.PopFont();
        break;
    case L'c':
        m_style.PopColor();
        break;
    case L'p':
        m_style.PopSpacing();
        if (!m_options.singleLine) {
            EndLine();
            m_elided = false;
        }
        break;
    case L's':
        m_style.ToggleSelected();
        break;
    case L'v':
        m_style.PopAlign();
        break;
    default:
        break;
    }
}

} // namespace htmltext
} // namespace Facet
