// CLabelUI: text state, skin attributes, the size estimate and plain text
// painting. The GDI+ text effects are in LabelUIEffects.cpp.
#include "LabelUI.h"

#include <algorithm>
#include <cwchar>

#include "../core/FacetGeometry.h"
#include "../core/PaintManager.h"
#include "../render/RenderEngine.h"
#include "ControlDispatch.h"
#include "../core/AttributeValues.h"

namespace Facet {

namespace {

const int kMeasureExtent = 9999;
const float kMinLuminousFuzzy = 0.0001f;
const DWORD kUnsetColor = 0xFFFFFFFF;

} // namespace

using namespace attribute_values;

CLabelUI::CLabelUI()
    : m_dwTextColor(0),
      m_dwDisabledTextColor(0),
      m_iFont(-1),
      m_uTextStyle(DT_VCENTER | DT_SINGLELINE),
      m_rcTextPadding{0, 0, 0, 0},
      m_bShowHtml(false),
      m_szAvailableLast{0, 0},
      m_cxyFixedLast{0, 0},
      m_bNeedEstimateSize(true),
      m_fLuminousFuzzy(3.0f),
      m_GradientLength(0),
      m_GradientAngle(0),
      m_EnableEffect(false),
      m_bEnableLuminous(false),
      m_bEnableShadow(false),
      m_bEnableStroke(false),
      m_dwTextColor1(kUnsetColor),
      m_dwTextShadowColorA(0xFF000000),
      m_dwTextShadowColorB(kUnsetColor),
      m_dwStrokeColor(0),
      m_ShadowOffset{0.0f, 0.0f, 0.0f, 0.0f},
      m_bAutoCalcWidth(false)
{
}

CLabelUI::~CLabelUI() = default;

const wchar_t* CLabelUI::GetClass() const
{
    return L"Label";
}

LPVOID CLabelUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(const wchar_t* text)
{
    CControlUI::SetText(text);
    m_bNeedEstimateSize = true;
    if (m_bAutoCalcWidth)
        NeedParentUpdate();
}

void CLabelUI::SetFixedWidth(int cx)
{
    m_bNeedEstimateSize = true;
    CControlUI::SetFixedWidth(cx);
}

void CLabelUI::SetFixedHeight(int cy)
{
    m_bNeedEstimateSize = true;
    CControlUI::SetFixedHeight(cy);
}

void CLabelUI::SetTextStyle(UINT style)
{
    m_uTextStyle = style;
    m_bNeedEstimateSize = true;
    Invalidate();
}

UINT CLabelUI::GetTextStyle() const
{
    return m_uTextStyle;
}

void CLabelUI::SetMultiLine(bool multiLine)
{
    if (multiLine) {
        m_uTextStyle &= ~static_cast<UINT>(DT_SINGLELINE);
        m_uTextStyle |= DT_WORDBREAK;
    } else {
        m_uTextStyle |= DT_SINGLELINE;
    }
    m_bNeedEstimateSize = true;
}

bool CLabelUI::IsMultiLine() const
{
    return (m_uTextStyle & DT_SINGLELINE) == 0;
}

void CLabelUI::SetTextColor(DWORD color)
{
    m_dwTextColor = color;
    Invalidate();
}

DWORD CLabelUI::GetTextColor() const
{
    return m_dwTextColor;
}

DWORD CLabelUI::GetFocusFrameColor() const
{
    const DWORD fallback = CControlUI::GetFocusFrameColor();
    return (fallback != 0 && m_dwTextColor != 0) ? m_dwTextColor : fallback;
}

void CLabelUI::SetDisabledTextColor(DWORD color)
{
    m_dwDisabledTextColor = color;
    Invalidate();
}

DWORD CLabelUI::GetDisabledTextColor() const
{
    return m_dwDisabledTextColor;
}

int CLabelUI::LineHeight(int fontHeight)
{
    // The 8 pixels are a skin size too: the line keeps its proportions.
    return fontHeight + ScaleByWindow(8);
}

void CLabelUI::SetFont(int index)
{
    // The number as written: the skin's fonts are made at the display scale.
    m_iFont = index;
    m_bNeedEstimateSize = true;
    Invalidate();
}

int CLabelUI::GetFont() const
{
    return m_iFont;
}

RECT CLabelUI::GetTextPadding() const
{
    return m_rcTextPadding;
}

void CLabelUI::SetTextPadding(RECT padding)
{
    m_rcTextPadding = padding;
    m_bNeedEstimateSize = true;
    Invalidate();
}

bool CLabelUI::IsShowHtml() const
{
    return m_bShowHtml;
}

void CLabelUI::SetShowHtml(bool showHtml)
{
    if (m_bShowHtml == showHtml)
        return;
    m_bShowHtml = showHtml;
    m_bNeedEstimateSize = true;
    Invalidate();
}

void CLabelUI::SetAutoCalcWidth(bool autoCalcWidth)
{
    m_bAutoCalcWidth = autoCalcWidth;
    if (!autoCalcWidth)
        return;
    const SIZE size = EstimateSize(SIZE{kMeasureExtent, m_cxyFixedLast.cy});
    // The estimate is already in pixels; SetFixedWidth scales skin sizes, so
    // the width is stored as it was measured.
    m_cxyFixed.cx = size.cx;
    m_bNeedEstimateSize = true;
    NeedParentUpdate();
}

bool CLabelUI::IsAutoCalcWidth() const
{
    return m_bAutoCalcWidth;
}

// -- Effects: stored here, drawn in LabelUIEffects.cpp --

void CLabelUI::SetEnabledEffect(bool enabled)
{
    m_EnableEffect = enabled;
    Invalidate();
}

bool CLabelUI::GetEnabledEffect() const
{
    return m_EnableEffect;
}

void CLabelUI::SetEnabledLuminous(bool enabled)
{
    m_bEnableLuminous = enabled;
    Invalidate();
}

bool CLabelUI::GetEnabledLuminous() const
{
    return m_bEnableLuminous;
}

void CLabelUI::SetLuminousFuzzy(float fuzzy)
{
    if (fuzzy < kMinLuminousFuzzy)
        return;
    m_fLuminousFuzzy = fuzzy;
    Invalidate();
}

float CLabelUI::GetLuminousFuzzy() const
{
    return m_fLuminousFuzzy;
}

void CLabelUI::SetEnabledStroke(bool enabled)
{
    m_bEnableStroke = enabled;
    Invalidate();
}

bool CLabelUI::GetEnabledStroke() const
{
    return m_bEnableStroke;
}

void CLabelUI::SetStrokeColor(DWORD color)
{
    m_dwStrokeColor = color;
    Invalidate();
}

DWORD CLabelUI::GetStrokeColor() const
{
    return m_dwStrokeColor;
}

void CLabelUI::SetEnabledShadow(bool enabled)
{
    m_bEnableShadow = enabled;
    Invalidate();
}

bool CLabelUI::GetEnabledShadow() const
{
    return m_bEnableShadow;
}

void CLabelUI::SetShadowOffset(int offset, int angle)
{
    if (angle > 180 || angle < -180)
        return;
    // The shift is measured from the text's own position, so it is the same
    // before and after layout.
    float first = 0.0f;
    float second = 0.0f;
    if (angle >= 0 && angle <= 180)
        first -= static_cast<float>(offset);
    else if (angle > -180 && angle < 0)
        first += static_cast<float>(offset);
    if (angle > -90 && angle <= 90)
        second -= static_cast<float>(offset);
    else if (angle > 90 || angle < -90)
        second += static_cast<float>(offset);
    m_ShadowOffset.x = first;
    m_ShadowOffset.y = second;
    Invalidate();
}

TShadowOffset CLabelUI::GetShadowOffset() const
{
    return m_ShadowOffset;
}

void CLabelUI::SetTextColor1(DWORD color)
{
    m_dwTextColor1 = color;
    Invalidate();
}

DWORD CLabelUI::GetTextColor1() const
{
    return m_dwTextColor1;
}

void CLabelUI::SetTextShadowColorA(DWORD color)
{
    m_dwTextShadowColorA = color;
    Invalidate();
}

DWORD CLabelUI::GetTextShadowColorA() const
{
    return m_dwTextShadowColorA;
}

void CLabelUI::SetTextShadowColorB(DWORD color)
{
    m_dwTextShadowColorB = color;
    Invalidate();
}

DWORD CLabelUI::GetTextShadowColorB() const
{
    return m_dwTextShadowColorB;
}

void CLabelUI::SetGradientAngle(int angle)
{
    m_GradientAngle = angle;
    Invalidate();
}

int CLabelUI::GetGradientAngle() const
{
    return m_GradientAngle;
}

void CLabelUI::SetGradientLength(int length)
{
    m_GradientLength = length;
    Invalidate();
}

int CLabelUI::GetGradientLength() const
{
    return m_GradientLength;
}

// -- Size estimate --

void CLabelUI::MeasureText(RECT& rc, UINT style)
{
    const CFacetString text = GetDisplayText();
    const RECT start = rc;
    style |= DT_CALCRECT;
    if (m_bShowHtml) {
        int linkCount = 0;
        CRenderEngine::DrawHtmlText(nullptr, m_pManager, rc, text.GetData(), 0, nullptr, nullptr, linkCount, m_iFont,
                                    style);
    } else {
        CRenderEngine::DrawText(nullptr, m_pManager, rc, text.GetData(), 0, m_iFont, style);
    }
    // An empty text measures as nothing, whatever the platform leaves in `rc`.
    if (text.IsEmpty()) {
        rc.right = start.left;
        rc.bottom = start.top;
    }
}

SIZE CLabelUI::EstimateSize(SIZE available)
{
    if (m_cxyFixed.cx > 0 && m_cxyFixed.cy > 0)
        return m_cxyFixed;
    // Text can only be measured with a manager's fonts.
    if (m_pManager == nullptr)
        return m_cxyFixed;

    if (IsMultiLine() && (available.cx != m_szAvailableLast.cx || available.cy != m_szAvailableLast.cy))
        m_bNeedEstimateSize = true;
    if (!m_bNeedEstimateSize)
        return m_cxyFixedLast;

    m_bNeedEstimateSize = false;
    m_szAvailableLast = available;
    m_cxyFixedLast = m_cxyFixed;
    const RECT& pad = m_rcTextPadding;
    if (!IsMultiLine()) {
        if (m_cxyFixedLast.cy == 0) {
            const TFontInfo* font = m_pManager->GetFontInfo(m_iFont);
            const int fontHeight = font != nullptr ? font->tm.tmHeight : 0;
            m_cxyFixedLast.cy = LineHeight(fontHeight) + pad.top + pad.bottom;
        }
        if (m_cxyFixedLast.cx == 0) {
            RECT rc = {0, 0, kMeasureExtent, m_cxyFixedLast.cy};
            MeasureText(rc, m_uTextStyle & ~static_cast<UINT>(DT_CENTER | DT_RIGHT));
            m_cxyFixedLast.cx = rc.right - rc.left + pad.left + pad.right;
        }
    } else {
        if (m_cxyFixedLast.cx == 0)
            m_cxyFixedLast.cx = available.cx;
        RECT rc = {pad.left, 0, m_cxyFixedLast.cx - pad.right, kMeasureExtent};
        if (rc.right < rc.left)
            rc.right = rc.left;
        MeasureText(rc, m_uTextStyle);
        m_cxyFixedLast.cy = rc.bottom - rc.top + pad.top + pad.bottom;
    }
    return m_cxyFixedLast;
}

// -- Events and attributes --

void CLabelUI::DoEvent(TEventUI& event)
{
    if (NoteFocus(m_bFocused, event))
        return;
    CControlUI::DoEvent(event);
}

const CControlAttributeTable& CLabelUI::GetAttributeTable() const
{
    using C = CLabelUI;
    static const TAttribute<CLabelUI> kAttributes[] = {
        {L"align", kValueText,
         [](C& c, const wchar_t* v) {
             if (wcsstr(v, L"left") != nullptr)
                 c.m_uTextStyle &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
             if (wcsstr(v, L"center") != nullptr) {
                 c.m_uTextStyle &= ~static_cast<UINT>(DT_RIGHT);
                 c.m_uTextStyle |= DT_CENTER;
             }
             if (wcsstr(v, L"right") != nullptr) {
                 c.m_uTextStyle &= ~static_cast<UINT>(DT_CENTER);
                 c.m_uTextStyle |= DT_RIGHT;
             }
         }},
        {L"valign", kValueText,
         [](C& c, const wchar_t* v) {
             if (wcsstr(v, L"top") != nullptr)
                 c.m_uTextStyle &= ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM);
             if (wcsstr(v, L"vcenter") != nullptr) {
                 c.m_uTextStyle &= ~static_cast<UINT>(DT_BOTTOM);
                 c.m_uTextStyle |= DT_VCENTER | DT_SINGLELINE;
             }
             if (wcsstr(v, L"bottom") != nullptr) {
                 c.m_uTextStyle &= ~static_cast<UINT>(DT_VCENTER);
                 c.m_uTextStyle |= DT_BOTTOM;
             }
         }},
        {L"endellipsis", kValueFlag,
         [](C& c, const wchar_t* v) {
             if (IsTrue(v))
                 c.m_uTextStyle |= DT_END_ELLIPSIS;
             else
                 c.m_uTextStyle &= ~static_cast<UINT>(DT_END_ELLIPSIS);
         }},
        {L"font", kValueFont, [](C& c, const wchar_t* v) { c.SetFont(ReadInt(v)); }},
        {L"textcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetTextColor(ReadColor(v)); }},
        {L"disabledtextcolor", kValueColor, [](C& c, const wchar_t* v) { c.SetDisabledTextColor(ReadColor(v)); }},
        {L"textpadding", kValueNumbers,
         [](C& c, const wchar_t* v) {
             long n[4] = {0, 0, 0, 0};
             ParseIntList(v, n, 4);
             c.SetTextPadding(RECT{ScaleByWindow(n[0]), ScaleByWindow(n[1]), ScaleByWindow(n[2]), ScaleByWindow(n[3])});
         }},
        {L"multiline", kValueFlag, [](C& c, const wchar_t* v) { c.SetMultiLine(IsTrue(v)); }},
        {L"showhtml", kValueFlag, [](C& c, const wchar_t* v) { c.SetShowHtml(IsTrue(v)); }},
        {L"enabledeffect", kValueFlag, [](C& c, const wchar_t* v) { c.SetEnabledEffect(IsTrue(v)); }},
        {L"enabledluminous", kValueFlag, [](C& c, const wchar_t* v) { c.SetEnabledLuminous(IsTrue(v)); }},
        {L"enabledstroke", kValueFlag, [](C& c, const wchar_t* v) { c.SetEnabledStroke(IsTrue(v)); }},
        {L"enabledshadow", kValueFlag, [](C& c, const wchar_t* v) { c.SetEnabledShadow(IsTrue(v)); }},
        {L"luminousfuzzy", kValueNumber,
         [](C& c, const wchar_t* v) { c.SetLuminousFuzzy(static_cast<float>(wcstod(v, nullptr))); }},
        {L"gradientangle", kValueNumber, [](C& c, const wchar_t* v) { c.SetGradientAngle(ReadInt(v)); }},
        {L"gradientlength", kValueNumber, [](C& c, const wchar_t* v) { c.SetGradientLength(ReadInt(v)); }},
        {L"shadowoffset", kValueNumbers,
         [](C& c, const wchar_t* v) {
             long n[2] = {0, 0};
             ParseIntList(v, n, 2);
             c.SetShadowOffset(static_cast<int>(n[0]), static_cast<int>(n[1]));
         }},
        {L"textcolor1", kValueColor, [](C& c, const wchar_t* v) { c.SetTextColor1(ReadColor(v)); }},
        {L"textshadowcolora", kValueColor, [](C& c, const wchar_t* v) { c.SetTextShadowColorA(ReadColor(v)); }},
        {L"textshadowcolorb", kValueColor, [](C& c, const wchar_t* v) { c.SetTextShadowColorB(ReadColor(v)); }},
        {L"strokecolor", kValueColor, [](C& c, const wchar_t* v) { c.SetStrokeColor(ReadColor(v)); }},
        {L"autocalcwidth", kValueFlag,
         [](C& c, const wchar_t* v) { c.SetAutoCalcWidth(EqualsIgnoringCase(v, L"true")); }, kNameAnyCase},
    };
    static const TAttributeTable table(kAttributes, &CControlUI::GetAttributeTable());
    return table;
}

// -- Painting --

CFacetString CLabelUI::GetDisplayText() const
{
    return GetText();
}

void CLabelUI::ResolveDefaultColors()
{
    if (m_pManager == nullptr)
        return;
    if (m_dwTextColor == 0)
        m_dwTextColor = m_pManager->GetDefaultFontColor();
    if (m_dwDisabledTextColor == 0)
        m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
}

RECT CLabelUI::GetTextRect() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.right -= m_rcTextPadding.right;
    rc.top += m_rcTextPadding.top;
    rc.bottom -= m_rcTextPadding.bottom;
    return rc;
}

void CLabelUI::DrawPlainText(HDC hDC, RECT rc, const CFacetString& text, DWORD color)
{
    if (text.IsEmpty())
        return;
    if (m_bShowHtml) {
        int linkCount = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(), color, nullptr, nullptr, linkCount, m_iFont,
                                    m_uTextStyle);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), color, m_iFont, m_uTextStyle);
    }
}

void CLabelUI::PaintText(HDC hDC)
{
    ResolveDefaultColors();
    const CFacetString text = GetDisplayText();
    const RECT rc = GetTextRect();
    if (!m_EnableEffect) {
        DrawPlainText(hDC, rc, text, IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor);
        return;
    }
    if (!text.IsEmpty())
        PaintTextEffects(hDC, rc, text);
}

} // namespace Facet
