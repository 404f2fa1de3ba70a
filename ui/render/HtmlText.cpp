// Text with the HTML-like mark-up: lays the text out (HtmlTextLayout), places
// the lines in the rectangle, records the links and draws the pieces.
#include "RenderEngine.h"

#include "HtmlTextLayout.h"
#include "RenderClip.h"
#include "TextDrawingSupport.h"
#include "../core/PaintManager.h"

#include <map>

namespace Facet {

namespace {

using htmltext::Line;
using htmltext::Piece;
using htmltext::VerticalAlign;

// Where the lines go inside the rectangle.
struct Placement
{
    RECT rc = {0, 0, 0, 0};
    int top = 0;         // top of the first line
    bool center = false; // per-line horizontal alignment
    bool right = false;

    int LineLeft(const Line& line) const
    {
        const int width = rc.right - rc.left;
        if (center)
            return rc.left + (width - line.width) / 2;
        if (right)
            return rc.left + width - line.width;
        return rc.left;
    }
};

// Top of a piece of the given height inside its line, by its alignment.
int PieceTop(const Piece& piece, int lineTop, int lineHeight)
{
    const int free = lineHeight - piece.height - piece.leading;
    switch (piece.style.align) {
    case VerticalAlign::Top:
        return lineTop;
    case VerticalAlign::Center:
        return lineTop + free / 2;
    case VerticalAlign::Bottom:
    default:
        return lineTop + free;
    }
}

// Each link's rectangle: the union of its pieces' boxes, one line high each.
void RecordLinks(const std::vector<Line>& lines, const Placement& placement, htmltext::LinkTable& links)
{
    std::map<int, RECT> boxes;
    for (const Line& line : lines) {
        const int left = placement.LineLeft(line);
        const int top = placement.top + line.top;
        for (const Piece& piece : line.pieces) {
            if (piece.style.link < 0)
                continue;
            const RECT box = {left + piece.x, top, left + piece.x + piece.width, top + line.height};
            auto found = boxes.find(piece.style.link);
            if (found == boxes.end())
                boxes[piece.style.link] = box;
            else
                UnionRect(&found->second, &found->second, &box);
        }
    }
    for (const auto& entry : boxes)
        links.SetRect(entry.first, entry.second);
}

void DrawTextPiece(HDC hDC, const Piece& piece, int x, int y, DWORD selectedColor)
{
    if (piece.style.font == nullptr || piece.style.font->hFont == nullptr)
        return;
    SelectObject(hDC, piece.style.font->hFont);
    SetTextColor(hDC, TextColorRef(piece.style.color));
    if (piece.style.selected) {
        SetBkMode(hDC, OPAQUE);
        SetBkColor(hDC, TextColorRef(selectedColor));
    } else {
        SetBkMode(hDC, TRANSPARENT);
    }
    TextOutW(hDC, x, y, piece.text, piece.length);
}

void DrawImagePiece(HDC hDC, const Piece& piece, int x, int y, const RECT& paint)
{
    const RECT dest = {x, y, x + piece.width, y + piece.height};
    const RECT noCorners = {0, 0, 0, 0};
    CRenderEngine::DrawImage(hDC, piece.image->hBitmap, dest, paint, piece.source, noCorners, piece.image->bAlpha, 255);
}

void DrawLines(HDC hDC, const std::vector<Line>& lines, const Placement& placement, DWORD selectedColor)
{
    SetTextAlign(hDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    for (const Line& line : lines) {
        const int left = placement.LineLeft(line);
        const int top = placement.top + line.top;
        if (top >= placement.rc.bottom)
            break;
        if (top + line.height <= placement.rc.top)
            continue;
        for (const Piece& piece : line.pieces) {
            const int x = left + piece.x;
            const int y = PieceTop(piece, top, line.height);
            if (piece.image != nullptr)
                DrawImagePiece(hDC, piece, x, y, placement.rc);
            else
                DrawTextPiece(hDC, piece, x, y, selectedColor);
        }
    }
}

} // namespace

void CRenderEngine::DrawHtmlText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color,
                                 RECT* linkRects, CFacetString* linkTexts, int& linkCount, int font, UINT style)
{
    htmltext::LinkTable links(linkRects, linkTexts, linkCount);
    const bool calculate = (style & DT_CALCRECT) != 0;
    if (text == nullptr || *text == L'\0' || manager == nullptr || IsRectEmpty(&rc) || (hDC == nullptr && !calculate)) {
        linkCount = 0;
        return;
    }
    CFacetString shown(text);
    CPaintManagerUI::ProcessMultiLanguageTokens(shown);

    MeasuringDc dc(hDC, manager);
    if (dc.Get() == nullptr) {
        linkCount = 0;
        return;
    }
    ScopedTextState savedState(dc.Get());
    const CFacetString hoveredLink = links.TextAt(manager->GetMousePos());

    htmltext::LayoutOptions options;
    options.width = rc.right - rc.left;
    options.singleLine = (style & DT_SINGLELINE) != 0;
    options.wordBreak = (style & DT_WORDBREAK) != 0;
    options.endEllipsis = (style & DT_END_ELLIPSIS) != 0;
    htmltext::StyleState textStyle(manager->GetFontInfo(font), color);
    htmltext::Layout layout(dc.Get(), manager, options, textStyle, links, hoveredLink);
    layout.Run(shown.GetData());

    Placement placement;
    placement.rc = rc;
    placement.top = rc.top;
    if (!calculate) {
        const int free = (rc.bottom - rc.top) - layout.Height();
        if ((style & DT_VCENTER) != 0)
            placement.top += free / 2;
        else if ((style & DT_BOTTOM) != 0)
            placement.top += free;
        placement.center = (style & DT_CENTER) != 0;
        placement.right = !placement.center && (style & DT_RIGHT) != 0;
    }
    RecordLinks(layout.Lines(), placement, links);
    linkCount = links.Recorded();

    if (calculate) {
        rc.bottom = rc.top + layout.Height();
        if (rc.left + layout.Width() < rc.right)
            rc.right = rc.left + layout.Width();
        return;
    }
    CRenderClip clip;
    CRenderClip::GenerateClip(hDC, rc, clip);
    DrawLines(hDC, layout.Lines(), placement, manager->GetDefaultSelectedBkColor());
}

} // namespace Facet
