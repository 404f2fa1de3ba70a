// Plain text: drawing and measuring a text in one of the manager's fonts.
#include "RenderEngine.h"

#include "TextDrawingSupport.h"
#include "../core/PaintManager.h"

namespace Facet {

ScopedTextState::ScopedTextState(HDC dc)
    : m_dc(dc),
      m_font(GetCurrentObject(dc, OBJ_FONT)),
      m_textColor(GetTextColor(dc)),
      m_bkColor(GetBkColor(dc)),
      m_bkMode(GetBkMode(dc)),
      m_align(GetTextAlign(dc))
{
}

ScopedTextState::~ScopedTextState()
{
    if (m_font != nullptr)
        SelectObject(m_dc, m_font);
    SetTextColor(m_dc, m_textColor);
    SetBkColor(m_dc, m_bkColor);
    if (m_bkMode != 0)
        SetBkMode(m_dc, m_bkMode);
    if (m_align != GDI_ERROR)
        SetTextAlign(m_dc, m_align);
}

MeasuringDc::MeasuringDc(HDC given, CPaintManagerUI* manager) : m_dc(given)
{
    if (m_dc == nullptr && manager != nullptr)
        m_dc = manager->GetPaintDC();
    if (m_dc == nullptr) {
        m_owned.Reset(CreateCompatibleDC(nullptr));
        m_dc = m_owned.Get();
    }
}

void CRenderEngine::DrawText(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
                             UINT style)
{
    if (text == nullptr || manager == nullptr)
        return;
    // Measuring may use any context; drawing needs the caller's.
    if (hDC == nullptr && (style & DT_CALCRECT) == 0)
        return;
    CFacetString shown(text);
    CPaintManagerUI::ProcessMultiLanguageTokens(shown);

    MeasuringDc dc(hDC, manager);
    if (dc.Get() == nullptr)
        return;
    ScopedTextState state(dc.Get());
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), TextColorRef(color));
    SelectObject(dc.Get(), manager->GetFont(font));
    ::DrawTextW(dc.Get(), shown.GetData(), -1, &rc, style | DT_NOPREFIX);
}

SIZE CRenderEngine::GetTextSize(HDC hDC, CPaintManagerUI* manager, const wchar_t* text, int font, UINT /*style*/)
{
    SIZE size = {0, 0};
    if (text == nullptr || manager == nullptr)
        return size;
    CFacetString shown(text);
    CPaintManagerUI::ProcessMultiLanguageTokens(shown);

    MeasuringDc dc(hDC, manager);
    if (dc.Get() == nullptr)
        return size;
    ScopedTextState state(dc.Get());
    SelectObject(dc.Get(), manager->GetFont(font));
    if (!GetTextExtentPoint32W(dc.Get(), shown.GetData(), shown.GetLength(), &size))
        size.cx = size.cy = 0;
    return size;
}

} // namespace Facet
