// CSliderUI ("Slider"): a progress bar with a thumb that the mouse drags (or
// that jumps to a click on the rail), the arrow keys and the wheel step. The
// value snaps to multiples of the step above the minimum. "valuechanged" is
// raised when a drag ends with a new value, or at every change during the
// drag in immediate mode ("imm").
#pragma once

#include <windows.h>

#include "ProgressUI.h"

namespace Facet {

class CSliderUI : public CProgressUI
{
public:
    CSliderUI();

    // "Slider".
    const wchar_t* GetClass() const override;
    // This control for "Slider", else the progress bar's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetEnabled(bool enabled = true) override;

    int GetChangeStep() const;
    // Steps below 1 are stored as 1.
    void SetChangeStep(int step);
    SIZE GetThumbSize() const;
    // Scaled by the window scale factor.
    void SetThumbSize(SIZE size);
    bool IsImmMode() const;
    void SetImmMode(bool imm);
    const wchar_t* GetThumbImage() const;
    void SetThumbImage(const wchar_t* description);
    const wchar_t* GetThumbHotImage() const;
    void SetThumbHotImage(const wchar_t* description);
    const wchar_t* GetThumbPushedImage() const;
    void SetThumbPushedImage(const wchar_t* description);

    // The thumb's rectangle in window coordinates for the current value.
    RECT GetThumbRect() const;
    // The value (snapped to the step and clamped) that puts the thumb's
    // centre nearest to `pt`.
    int ValueAtPoint(POINT pt) const;

    void DoEvent(TEventUI& event) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    // The fill of the progress bar, then the thumb image of the state.
    void PaintStatusImage(HDC hDC) override;

private:
    // Sets the value; raises "valuechanged" when asked and the value moved
    // away from the one last reported.
    void MoveTo(int value, bool notify);
    int Snap(long long value) const;
    // DoEvent's cases; each answers whether the event stops at the slider.
    bool HandleSliderEvent(TEventUI& event);
    bool OnButtonDown(const TEventUI& event);
    bool OnMouseMove(const TEventUI& event);
    bool OnButtonUp();
    bool OnKeyDown(const TEventUI& event);
    bool OnScrollWheel(const TEventUI& event);
    // One keyboard or wheel step, reported at once.
    void StepBy(int delta);

    UINT m_uButtonState;
    SIZE m_szThumb;
    int m_nStep;
    bool m_bImmMode;
    // The value listeners last heard of (or the value when the drag began).
    int m_nReportedValue;
    TDrawInfo m_diThumb;
    TDrawInfo m_diThumbHot;
    TDrawInfo m_diThumbPushed;
};

} // namespace Facet
