// Attribute readers and painting steps shared by the list family.
#include "ListAttributeReaders.h"

#include <cwchar>

#include "../core/DpiManager.h"
#include "../core/FacetGeometry.h"
#include "../render/RenderEngine.h"

namespace Facet {
namespace list_attributes {

namespace {

int Scaled(long value)
{
    return static_cast<int>(value * DpiManager::GetInstance()->GetWindowInchPex());
}

} // namespace

int ReadScaledInt(const wchar_t* value)
{
    return Scaled(wcstol(value, nullptr, 10));
}

RECT ReadScaledRect(const wchar_t* value)
{
    long v[4] = {0, 0, 0, 0};
    ParseIntList(value, v, 4);
    return RECT{Scaled(v[0]), Scaled(v[1]), Scaled(v[2]), Scaled(v[3])};
}

UINT WithStyleBit(UINT style, UINT bit, bool on)
{
    return on ? (style | bit) : (style & ~bit);
}

UINT WithMultiLine(UINT style, bool multiLine)
{
    return WithStyleBit(WithStyleBit(style, DT_SINGLELINE, !multiLine), DT_WORDBREAK, multiLine);
}

UINT WithHorizontalAlign(UINT style, const wchar_t* value)
{
    // DT_LEFT is no bit: left alignment is the absence of the others.
    if (wcsstr(value, L"left") != nullptr)
        style &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
    if (wcsstr(value, L"center") != nullptr)
        style = (style & ~static_cast<UINT>(DT_RIGHT)) | DT_CENTER;
    if (wcsstr(value, L"right") != nullptr)
        style = (style & ~static_cast<UINT>(DT_CENTER)) | DT_RIGHT;
    return style;
}

UINT WithVerticalAlign(UINT style, const wchar_t* value, const wchar_t* centre)
{
    if (wcsstr(value, L"top") != nullptr)
        style &= ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM);
    if (wcsstr(value, centre) != nullptr)
        style = (style & ~static_cast<UINT>(DT_BOTTOM)) | DT_VCENTER;
    if (wcsstr(value, L"bottom") != nullptr)
        style = (style & ~static_cast<UINT>(DT_VCENTER)) | DT_BOTTOM;
    return style;
}

bool DrawFirstImage(CControlUI& control, HDC hDC, std::initializer_list<TDrawInfo*> candidates)
{
    for (TDrawInfo* image : candidates) {
        if (image != nullptr && !image->sDrawString.IsEmpty()) {
            control.DrawImage(hDC, *image);
            return true;
        }
    }
    return false;
}

RECT Inset(const RECT& rc, const RECT& padding)
{
    return RECT{rc.left + padding.left, rc.top + padding.top, rc.right - padding.right, rc.bottom - padding.bottom};
}

void DrawLabelText(HDC hDC, CPaintManagerUI* manager, RECT rc, const wchar_t* text, DWORD color, int font, UINT style,
                   bool html)
{
    if (html) {
        int links = 0;
        CRenderEngine::DrawHtmlText(hDC, manager, rc, text, color, nullptr, nullptr, links, font, style);
    } else {
        CRenderEngine::DrawText(hDC, manager, rc, text, color, font, style);
    }
}

} // namespace list_attributes
} // namespace Facet
