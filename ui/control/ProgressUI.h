// CProgressUI ("Progress"): a label that draws its fore image over the part
// of its area given by a value between a minimum and a maximum, filling from
// the left (horizontal) or from the bottom (vertical).
#pragma once

#include <windows.h>

#include "LabelUI.h"

namespace Facet {

class CProgressUI : public CLabelUI
{
public:
    static constexpr const wchar_t* kInterfaceName = L"Progress";
    CProgressUI();

    // "Progress".
    const wchar_t* GetClass() const override;
    // This control for "Progress", else the label's answer.
    LPVOID GetInterface(const wchar_t* name) override;
    const CControlAttributeTable& GetAttributeTable() const override;
    void PaintStatusImage(HDC hDC) override;

    bool IsHorizontal() const;
    void SetHorizontal(bool horizontal = true);
    int GetMinValue() const;
    void SetMinValue(int min);
    int GetMaxValue() const;
    void SetMaxValue(int max);
    int GetValue() const;
    // Stores the value clamped into min..max.
    void SetValue(int value);
    const wchar_t* GetForeImage() const;
    void SetForeImage(const wchar_t* description);

    // The fore image's rectangle relative to the control's top-left for a
    // control of `width` by `height`; min, max and value are taken as they
    // are (PaintStatusImage normalises them first). Computed in 64 bits, so
    // any int range works.
    static RECT FillRect(bool horizontal, int min, int max, int value, int width, int height);

protected:
    bool m_bHorizontal;
    int m_nMax;
    int m_nMin;
    int m_nValue;
    // The fore image is the base control's m_diFore.
};

} // namespace Facet
