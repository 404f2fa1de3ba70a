// CProgressUI: value range and the proportional fore image.
#include "ProgressUI.h"

#include <algorithm>
#include <climits>
#include <cwchar>

#include "../core/AttributeValues.h"

namespace Facet {

using namespace attribute_values;

namespace {

const int kDefaultHeight = 12;

} // namespace

CProgressUI::CProgressUI() : m_bHorizontal(true), m_nMax(100), m_nMin(0), m_nValue(0)
{
    m_uTextStyle = DT_CENTER | DT_SINGLELINE;
    SetFixedHeight(kDefaultHeight);
}

const wchar_t* CProgressUI::GetClass() const
{
    return L"Progress";
}

LPVOID CProgressUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

bool CProgressUI::IsHorizontal() const
{
    return m_bHorizontal;
}

void CProgressUI::SetHorizontal(bool horizontal)
{
    if (m_bHorizontal == horizontal)
        return;
    m_bHorizontal = horizontal;
    Invalidate();
}

int CProgressUI::GetMinValue() const
{
    return m_nMin;
}

void CProgressUI::SetMinValue(int min)
{
    m_nMin = min;
    Invalidate();
}

int CProgressUI::GetMaxValue() const
{
    return m_nMax;
}

void CProgressUI::SetMaxValue(int max)
{
    m_nMax = max;
    Invalidate();
}

int CProgressUI::GetValue() const
{
    return m_nValue;
}

void CProgressUI::SetValue(int value)
{
    if (value > m_nMax)
        value = m_nMax;
    if (value < m_nMin)
        value = m_nMin;
    const bool changed = m_nValue != value;
    m_nValue = value;
    Invalidate();
    if (changed)
        NotifyAccessible(EVENT_OBJECT_VALUECHANGE);
}

const wchar_t* CProgressUI::GetForeImage() const
{
    return m_diFore.Get().sDrawString.GetData();
}

void CProgressUI::SetForeImage(const wchar_t* description)
{
    if (m_diFore.Get().pImageInfo != nullptr && m_diFore.Get().sDrawString == description)
        return;
    TDrawInfo& image = m_diFore.Edit();
    image.Clear();
    image.sDrawString = description;
    Invalidate();
}

const CControlAttributeTable& CProgressUI::GetAttributeTable() const
{
    using C = CProgressUI;
    static const TAttribute<CProgressUI> kAttributes[] = {
        {L"foreimage", kValueImage, [](C& c, const wchar_t* v) { c.SetForeImage(v); }},
        {L"hor", kValueFlag, [](C& c, const wchar_t* v) { c.SetHorizontal(IsTrue(v)); }},
        {L"min", kValueNumber, [](C& c, const wchar_t* v) { c.SetMinValue(ReadInt(v)); }},
        {L"max", kValueNumber, [](C& c, const wchar_t* v) { c.SetMaxValue(ReadInt(v)); }},
        {L"value", kValueNumber, [](C& c, const wchar_t* v) { c.SetValue(ReadInt(v)); }},
    };
    static const TAttributeTable table(kAttributes, &CLabelUI::GetAttributeTable());
    return table;
}

RECT CProgressUI::FillRect(bool horizontal, int min, int max, int value, int width, int height)
{
    // The products of a value range and a size pass 32 bits long before the
    // quotient does, so the arithmetic is done in 64 bits.
    const long long range = static_cast<long long>(max) - min;
    if (range <= 0)
        return RECT{0, 0, 0, 0};
    if (horizontal) {
        const long long right = (static_cast<long long>(value) - min) * width / range;
        return RECT{0, 0, static_cast<LONG>(right), height};
    }
    const long long top = static_cast<long long>(height) * (static_cast<long long>(max) - value) / range;
    return RECT{0, static_cast<LONG>(top), width, height};
}

void CProgressUI::PaintStatusImage(HDC hDC)
{
    if (m_nMin >= m_nMax)
        m_nMax = m_nMin == INT_MAX ? INT_MAX : m_nMin + 1;
    if (m_nMin >= m_nMax)
        m_nMin = m_nMax - 1; // the whole range sits at the top of int
    m_nValue = (std::min)(m_nValue, m_nMax);
    m_nValue = (std::max)(m_nValue, m_nMin);

    // The description is parsed first so that the fill rectangle set below is
    // what the draw uses.
    if (!m_diFore.IsMade())
        return; // no fore image: nothing to draw
    TDrawInfo& image = m_diFore.Edit();
    DrawImage(nullptr, image);
    image.rcDestOffset = FillRect(m_bHorizontal, m_nMin, m_nMax, m_nValue, GetWidth(), GetHeight());
    DrawImage(hDC, image);
}

} // namespace Facet
