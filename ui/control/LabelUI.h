// CLabelUI ("Label"): one text drawn inside the control's rectangle, through
// the render engine's plain or mark-up text drawing, or with text effects
// (gradient, glow, stroke and shadow) through GDI+. Its size estimate measures
// the text, so layouts can give a label the height of its font or the width of
// its text. Buttons, options, check boxes, progress bars and the edit control
// derive from it.
#pragma once

#include <windows.h>

#include "ControlUI.h"

namespace Facet {

// Text style bits, the platform's DrawText flags.
enum UITextStyle : UINT {
    UITEXT_CENTER = DT_CENTER,             // 0x1
    UITEXT_RIGHT = DT_RIGHT,               // 0x2
    UITEXT_VCENTER = DT_VCENTER,           // 0x4
    UITEXT_BOTTOM = DT_BOTTOM,             // 0x8
    UITEXT_WORDBREAK = DT_WORDBREAK,       // 0x10
    UITEXT_SINGLELINE = DT_SINGLELINE,     // 0x20
    UITEXT_CALCRECT = DT_CALCRECT,         // 0x400
    UITEXT_END_ELLIPSIS = DT_END_ELLIPSIS, // 0x8000
};

// The x and y shift of a label's text shadow (the two further values are kept
// for completeness and unused).
struct TShadowOffset
{
    float x;
    float y;
    float width;
    float height;
};

class CLabelUI : public CControlUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"Label";
    CLabelUI();
    ~CLabelUI() override;

    // "Label".
    const wchar_t* GetClass() const override;
    // This control for "Label", else the base's answer.
    LPVOID GetInterface(const wchar_t* name) override;

    // The base operation; the size estimate is redone, a label that sizes its
    // width to the text asks its parent for a new layout, and the glow effect
    // takes the new text.
    void SetText(const wchar_t* text) override;
    void SetFixedWidth(int cx) override;
    void SetFixedHeight(int cy) override;

    // Text style bits (UITEXT_*).
    void SetTextStyle(UINT style);
    UINT GetTextStyle() const;
    // Multi-line clears single line and sets word break; off sets single line.
    void SetMultiLine(bool multiLine);
    bool IsMultiLine() const;
    // 0 means the manager's default text colour / default disabled colour.
    void SetTextColor(DWORD color);
    DWORD GetTextColor() const;
    void SetDisabledTextColor(DWORD color);
    DWORD GetDisabledTextColor() const;
    // `index` is a font number of the skin, kept as it is written: the skin's
    // fonts are made at the display scale, so one number means one font at
    // every scale.
    void SetFont(int index);
    int GetFont() const;
    RECT GetTextPadding() const;
    void SetTextPadding(RECT padding);
    // Whether the text is drawn with the mark-up of the render engine.
    bool IsShowHtml() const;
    void SetShowHtml(bool showHtml = true);
    // The width becomes the measured width of the text, once, now.
    void SetAutoCalcWidth(bool autoCalcWidth);
    bool IsAutoCalcWidth() const;

    // -- Text effects (drawn through GDI+) --

    void SetEnabledEffect(bool enabled);
    bool GetEnabledEffect() const;
    void SetEnabledLuminous(bool enabled);
    bool GetEnabledLuminous() const;
    // The glow's blur factor; values below 0.0001 are ignored. The glow
    // treats factors below 1 as 1 (no blur) rather than growing its bitmap.
    void SetLuminousFuzzy(float fuzzy);
    float GetLuminousFuzzy() const;
    void SetEnabledStroke(bool enabled);
    bool GetEnabledStroke() const;
    void SetStrokeColor(DWORD color);
    DWORD GetStrokeColor() const;
    void SetEnabledShadow(bool enabled);
    bool GetEnabledShadow() const;
    // `angle` in degrees, -180..180 (others are ignored): the shadow moves by
    // `offset` away from the direction the angle points to.
    void SetShadowOffset(int offset, int angle);
    TShadowOffset GetShadowOffset() const;
    // Second colour of the text gradient; 0xFFFFFFFF means the text colour.
    void SetTextColor1(DWORD color);
    DWORD GetTextColor1() const;
    void SetTextShadowColorA(DWORD color);
    DWORD GetTextShadowColorA() const;
    // 0xFFFFFFFF means shadow colour A.
    void SetTextShadowColorB(DWORD color);
    DWORD GetTextShadowColorB() const;
    void SetGradientAngle(int angle);
    int GetGradientAngle() const;
    // 0 means the height of the text rectangle.
    void SetGradientLength(int length);
    int GetGradientLength() const;

    // The fixed size when both sides are fixed; otherwise the text's measured
    // extent (cached until text, font, style, padding or the available width
    // change).
    SIZE EstimateSize(SIZE available) override;
    // Focus events only set the focused flag; the rest goes to the base.
    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    void PaintText(HDC hDC) override;
    // The text colour.
    DWORD GetFocusFrameColor() const override;

protected:
    // The height a single line of text in a font of `fontHeight` pixels takes:
    // the font and 4 pixels above and below it, at the display scale.
    static int LineHeight(int fontHeight);
    // The text as shown: the language-table entry when resource text is on.
    CFacetString GetDisplayText() const;
    // Unset text and disabled colours become the manager's defaults (kept).
    void ResolveDefaultColors();
    // The item rectangle less the text padding.
    RECT GetTextRect() const;
    // Draws `text` in `color` with this label's font, style and mark-up
    // setting (no effects).
    void DrawPlainText(HDC hDC, RECT rc, const CFacetString& text, DWORD color);
    // Draws the text with the GDI+ effects (LabelUIEffects.cpp).
    void PaintTextEffects(HDC hDC, const RECT& rcText, const CFacetString& text);
    // Measures the text into `rc` (DT_CALCRECT is added to `style`).
    void MeasureText(RECT& rc, UINT style);

    DWORD m_dwTextColor;
    DWORD m_dwDisabledTextColor;
    int m_iFont;
    UINT m_uTextStyle;
    RECT m_rcTextPadding;
    bool m_bShowHtml;
    SIZE m_szAvailableLast;
    SIZE m_cxyFixedLast; // the estimated size
    bool m_bNeedEstimateSize;
    float m_fLuminousFuzzy;
    int m_GradientLength;
    int m_GradientAngle;
    bool m_EnableEffect;
    bool m_bEnableLuminous;
    bool m_bEnableShadow;
    bool m_bEnableStroke;
    DWORD m_dwTextColor1;
    DWORD m_dwTextShadowColorA;
    DWORD m_dwTextShadowColorB;
    DWORD m_dwStrokeColor;
    TShadowOffset m_ShadowOffset;
    bool m_bAutoCalcWidth;
};

} // namespace Facet
