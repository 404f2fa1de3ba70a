// CButtonUI ("Button"): a label with state images (normal, hot, pushed,
// focused, disabled), state text colours and an optional fade between the
// normal and the hot image. A press and release inside the button, space or
// return while it has the keyboard, or a call of Activate raise "click".
#pragma once

#include <windows.h>

#include "LabelUI.h"

namespace Facet {

class CButtonUI : public CLabelUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"Button";
    // The control timer that steps the fade between normal and hot images.
    static const UINT kFadeTimerId = 11;
    static const UINT kFadeTimerPeriod = 30;

    CButtonUI();

    // "Button".
    const wchar_t* GetClass() const override;
    // This control for "Button", else the label's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    // Tab stop while keyboard input is on, set cursor while enabled.
    UINT GetControlFlags() const override;
    // Sends "click" when visible and enabled.
    bool Activate() override;
    void DoEvent(TEventUI& event) override;
    // The fixed size with a fixed height; else the fixed width by the font's
    // height plus 8.
    SIZE EstimateSize(SIZE available) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    void PaintText(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;
    // None when the skin gives a focused image or a focused text colour.
    DWORD GetFocusFrameColor() const override;

    // UISTATE_* bits.
    UINT GetButtonState() const;

    const wchar_t* GetNormalImage() const;
    void SetNormalImage(const wchar_t* description);
    const wchar_t* GetHotImage() const;
    void SetHotImage(const wchar_t* description);
    const wchar_t* GetPushedImage() const;
    void SetPushedImage(const wchar_t* description);
    const wchar_t* GetFocusedImage() const;
    void SetFocusedImage(const wchar_t* description);
    const wchar_t* GetDisabledImage() const;
    void SetDisabledImage(const wchar_t* description);
    const wchar_t* GetHotForeImage() const;
    void SetHotForeImage(const wchar_t* description);
    const wchar_t* GetForeImage() const;
    void SetForeImage(const wchar_t* description);
    // One image holding five equal slices side by side: normal, pushed, hot,
    // focused, disabled.
    void SetFiveStatusImage(const wchar_t* description);

    void SetFadeAlphaDelta(BYTE delta);
    BYTE GetFadeAlphaDelta() const;
    void SetHotBkColor(DWORD color);
    DWORD GetHotBkColor() const;
    void SetHotTextColor(DWORD color);
    DWORD GetHotTextColor() const;
    void SetPushedTextColor(DWORD color);
    DWORD GetPushedTextColor() const;
    void SetFocusedTextColor(DWORD color);
    DWORD GetFocusedTextColor() const;

protected:
    // Puts a new description into `info` unless it already holds it.
    void ReplaceImage(TDrawInfo& info, const wchar_t* description);
    // Loads the five-status image into the five draw infos and cuts their
    // slices; needs a manager (false without one).
    bool ApplyFiveStatusImage();
    // The state image painting with the given state bits.
    void PaintButtonImages(HDC hDC, UINT state);
    // The state text painting with the given state bits.
    void PaintButtonText(HDC hDC, UINT state);
    void StartFade();

private:
    bool HandleButtonEvent(TEventUI& event);
    bool IsInside(const TEventUI& event) const;
    bool OnKeyDown(const TEventUI& event);
    bool OnButtonDown(const TEventUI& event);
    bool OnMouseMove(const TEventUI& event);
    bool OnButtonUp(const TEventUI& event);
    bool OnContextMenu(const TEventUI& event);
    bool OnMouseEnter(const TEventUI& event);
    bool OnMouseLeave(const TEventUI& event);
    bool StepFade();

protected:
    UINT m_uButtonState;
    DWORD m_dwHotBkColor;
    DWORD m_dwHotTextColor;
    DWORD m_dwPushedTextColor;
    DWORD m_dwFocusedTextColor;
    BYTE m_uFadeAlpha;
    BYTE m_uFadeAlphaDelta;
    TDrawInfo m_diNormal;
    TDrawInfo m_diHot;
    TDrawInfo m_diHotFore;
    TDrawInfo m_diPushed;
    TDrawInfo m_diPushedFore;
    TDrawInfo m_diFocused;
    TDrawInfo m_diDisabled;
    // A five-status image set before the button had a manager, sliced at the
    // first paint.
    CFacetString m_sPendingFiveStatusImage;
};

} // namespace Facet
