// CLabelUI: text with effects drawn through GDI+ (gradient brush, glow,
// stroke and shadow), and the plan that orders those draws.
#include "LabelUI.h"
#include "LabelUIEffects.h"

#include <windows.h>

#include <algorithm>
#include <gdiplus.h>

#include "../core/PaintManager.h"
#include "../render/GdiplusSession.h"

namespace Facet {

std::vector<TTextEffectDraw> PlanTextEffects(const TTextEffectSettings& settings)
{
    std::vector<TTextEffectDraw> draws;
    if (settings.luminous)
        draws.push_back({TextEffectKind::Glow, settings.shadowX, settings.shadowY});
    if (settings.stroke && settings.strokeColor != 0) {
        draws.push_back({TextEffectKind::Stroke, -1.0f, 0.0f});
        draws.push_back({TextEffectKind::Stroke, 1.0f, 0.0f});
        draws.push_back({TextEffectKind::Stroke, 0.0f, -1.0f});
        draws.push_back({TextEffectKind::Stroke, 0.0f, 1.0f});
    }
    if (settings.shadow && (settings.shadowColorA != 0 || settings.shadowColorB != 0))
        draws.push_back({TextEffectKind::Shadow, settings.shadowX, settings.shadowY});
    draws.push_back({TextEffectKind::Text, 0.0f, 0.0f});
    return draws;
}

SIZE GlowBitmapSize(int width, int height, float fuzzy)
{
    const float factor = (std::max)(fuzzy, 1.0f);
    SIZE size;
    size.cx = (std::max)(1L, static_cast<LONG>(static_cast<float>(width) / factor));
    size.cy = (std::max)(1L, static_cast<LONG>(static_cast<float>(height) / factor));
    return size;
}

namespace {

const DWORD kUnsetColor = 0xFFFFFFFF;

// The text drawn into an ARGB bitmap of the text rectangle's size, reduced by
// the blur factor and enlarged again at the shadow shift, then laid over the
// rectangle: a soft glow.
void DrawGlow(Gdiplus::Graphics& target, const Gdiplus::RectF& layout, const wchar_t* text, const Gdiplus::Font& font,
              const Gdiplus::StringFormat& format, const Gdiplus::Brush& brush, float fuzzy, float dx, float dy)
{
    const int width = static_cast<int>(layout.Width);
    const int height = static_cast<int>(layout.Height);
    Gdiplus::Bitmap full(width, height, PixelFormat32bppARGB);
    const SIZE reducedSize = GlowBitmapSize(width, height, fuzzy);
    Gdiplus::Bitmap reduced(reducedSize.cx, reducedSize.cy, PixelFormat32bppARGB);
    if (full.GetLastStatus() != Gdiplus::Ok || reduced.GetLastStatus() != Gdiplus::Ok)
        return;
    {
        Gdiplus::Graphics graphics(&full);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        const Gdiplus::RectF local(0.0f, 0.0f, layout.Width, layout.Height);
        graphics.DrawString(text, -1, &font, local, &format, &brush);
    }
    {
        Gdiplus::Graphics graphics(&reduced);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.DrawImage(&full, 0, 0, reducedSize.cx, reducedSize.cy);
    }
    {
        Gdiplus::Graphics graphics(&full);
        graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.DrawImage(&reduced, dx, dy, layout.Width, layout.Height);
    }
    target.DrawImage(&full, layout.X, layout.Y, layout.Width, layout.Height);
}

} // namespace

void CLabelUI::PaintTextEffects(HDC hDC, const RECT& rcText, const CFacetString& text)
{
    const int width = rcText.right - rcText.left;
    const int height = rcText.bottom - rcText.top;
    if (m_pManager == nullptr || width <= 0 || height <= 0)
        return;
    if (!CGdiplusSession::Ensure()) {
        DrawPlainText(hDC, rcText, text, m_dwTextColor);
        return;
    }
    CFacetString shown(text);
    CPaintManagerUI::ProcessMultiLanguageTokens(shown);

    Gdiplus::Graphics graphics(hDC);
    Gdiplus::Font font(hDC, m_pManager->GetFont(m_iFont));
    if (graphics.GetLastStatus() != Gdiplus::Ok || font.GetLastStatus() != Gdiplus::Ok) {
        // A font GDI+ cannot use (not TrueType) still shows its text.
        DrawPlainText(hDC, rcText, text, m_dwTextColor);
        return;
    }
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);

    Gdiplus::StringFormat format;
    if ((m_uTextStyle & DT_CENTER) != 0)
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
    else if ((m_uTextStyle & DT_RIGHT) != 0)
        format.SetAlignment(Gdiplus::StringAlignmentFar);
    else
        format.SetAlignment(Gdiplus::StringAlignmentNear);
    if ((m_uTextStyle & DT_VCENTER) != 0)
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    else if ((m_uTextStyle & DT_BOTTOM) != 0)
        format.SetLineAlignment(Gdiplus::StringAlignmentFar);
    else
        format.SetLineAlignment(Gdiplus::StringAlignmentNear);

    const Gdiplus::RectF layout(static_cast<float>(rcText.left), static_cast<float>(rcText.top),
                                static_cast<float>(width), static_cast<float>(height));
    const int gradientLength = m_GradientLength != 0 ? m_GradientLength : height;
    const Gdiplus::PointF from(static_cast<float>(m_GradientAngle), 0.0f);
    const Gdiplus::PointF to(0.0f, static_cast<float>(gradientLength));
    const DWORD textColor2 = m_dwTextColor1 == kUnsetColor ? m_dwTextColor : m_dwTextColor1;
    const DWORD shadowColor2 = m_dwTextShadowColorB == kUnsetColor ? m_dwTextShadowColorA : m_dwTextShadowColorB;
    Gdiplus::LinearGradientBrush textBrush(from, to, Gdiplus::Color(m_dwTextColor), Gdiplus::Color(textColor2));
    Gdiplus::LinearGradientBrush shadowBrush(from, to, Gdiplus::Color(m_dwTextShadowColorA),
                                             Gdiplus::Color(shadowColor2));
    Gdiplus::SolidBrush strokeBrush{Gdiplus::Color(m_dwStrokeColor)};

    const TTextEffectSettings settings = {m_bEnableLuminous, m_bEnableStroke,      m_bEnableShadow,
                                          m_dwStrokeColor,   m_dwTextShadowColorA, m_dwTextShadowColorB,
                                          m_ShadowOffset.x,  m_ShadowOffset.y};
    for (const TTextEffectDraw& draw : PlanTextEffects(settings)) {
        Gdiplus::RectF shifted = layout;
        shifted.X += draw.dx;
        shifted.Y += draw.dy;
        switch (draw.kind) {
        case TextEffectKind::Glow:
            DrawGlow(graphics, layout, shown.GetData(), font, format, shadowBrush, m_fLuminousFuzzy, draw.dx, draw.dy);
            break;
        case TextEffectKind::Stroke:
            graphics.DrawString(shown.GetData(), -1, &font, shifted, &format, &strokeBrush);
            break;
        case TextEffectKind::Shadow:
            graphics.DrawString(shown.GetData(), -1, &font, shifted, &format, &shadowBrush);
            break;
        case TextEffectKind::Text:
            graphics.DrawString(shown.GetData(), -1, &font, shifted, &format, &textBrush);
            break;
        }
    }
}

} // namespace Facet
