// Lays mark-up text out into lines of pieces (text runs and images), each
// piece with its style and its place in the line. Nothing is drawn here.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "HtmlTextLinks.h"
#include "HtmlTextStyle.h"
#include "HtmlTextTokens.h"
#include "ImageInfo.h"

namespace Facet {

class CPaintManagerUI;

namespace htmltext {

struct Piece
{
    PieceStyle style;
    int x = 0; // from the line's left edge
    int width = 0;
    int height = 0;  // glyph cell height, or image height
    int leading = 0; // the font's external leading (0 for images)
    // Text pieces.
    const wchar_t* text = nullptr;
    int length = 0;
    // Image pieces.
    const TImageInfo* image = nullptr;
    RECT source = {0, 0, 0, 0};
};

struct Line
{
    int top = 0; // from the top of the text
    int height = 0;
    int width = 0; // the rightmost point the pen reached
    std::vector<Piece> pieces;
};

struct LayoutOptions
{
    int width = 0;
    bool singleLine = false;
    bool wordBreak = false;
    bool endEllipsis = false;
};

class Layout
{
public:
    // `dc` is used for measuring only; the fonts it gets selected are put
    // back by the caller.
    Layout(HDC dc, CPaintManagerUI* manager, const LayoutOptions& options, StyleState& style, LinkTable& links,
           const CFacetString& hoveredLink);

    // Lays the whole text out. The text must outlive the lines.
    void Run(const wchar_t* text);

    const std::vector<Line>& Lines() const { return m_lines; }
    // Bottom of the last line, from the top of the text.
    int Height() const;
    // The widest line.
    int Width() const;

private:
    void OnRun(const wchar_t* text, int length, bool space);
    void OnOpenTag(const Token& token);
    void OnCloseTag(wchar_t letter);
    void OnImage(const wchar_t* argument);
    void OnLineBreak();

    void AddText(const wchar_t* text, int length);
    void AddEllipsis();
    int MeasureWidth(const wchar_t* text, int length);
    void SelectFont(TFontInfo* font);
    const TEXTMETRICW& Metrics(TFontInfo* font);
    int FontCellHeight(TFontInfo* font);

    bool AtLineStart() const { return m_line.pieces.empty() && m_pen == 0; }
    void StartLine();
    void EndLine();

    HDC m_dc;
    CPaintManagerUI* m_manager;
    LayoutOptions m_options;
    StyleState& m_style;
    LinkTable& m_links;
    CFacetString m_hoveredLink;
    FontResolver m_fonts;

    std::vector<Line> m_lines;
    Line m_line;
    int m_pen = 0;
    int m_nextTop = 0;
    int m_lineFontHeight = 0;  // tallest font cell of the line
    int m_lineImageHeight = 0; // tallest image of the line
    int m_lineSpacing = 0;     // largest paragraph spacing in force on the line
    int m_lineSetHeight = 0;   // set by {y n}
    // Text after an end ellipsis (or past the end of a single line) is dropped
    // up to the next line break.
    bool m_elided = false;

    HGDIOBJ m_selectedFont = nullptr;
    std::map<TFontInfo*, TEXTMETRICW> m_measured;
};

} // namespace htmltext
} // namespace Facet
