// Helpers shared by the layout tests: controls that count their placements or
// report their destruction, a notification log and rectangle printing.
#pragma once

#include "Facet.h"

#include "../control/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace layouttest {

using controltest::ScopedDpi;

// A plain control with a fixed size that counts how often it is placed and
// marks a flag when it is destroyed.
class Box : public Facet::CControlUI
{
public:
    explicit Box(int width = 0, int height = 0, bool* destroyed = nullptr) : m_destroyed(destroyed)
    {
        if (width > 0)
            SetFixedWidth(width);
        if (height > 0)
            SetFixedHeight(height);
    }
    ~Box() override
    {
        if (m_destroyed != nullptr)
            *m_destroyed = true;
    }
    void SetPos(RECT rc, bool needInvalidate = true) override
    {
        ++placements;
        CControlUI::SetPos(rc, needInvalidate);
    }
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop) override
    {
        ++paints;
        return CControlUI::DoPaint(hDC, rcPaint, stop);
    }
    int placements = 0;
    int paints = 0;

private:
    bool* m_destroyed;
};

class NotifyLog : public Facet::INotifyUI
{
public:
    void Notify(Facet::TNotifyUI& msg) override { entries.push_back(msg); }
    int Count(const wchar_t* type) const
    {
        int n = 0;
        for (const auto& entry : entries)
            n += entry.sType == type ? 1 : 0;
        return n;
    }
    const Facet::TNotifyUI* Last(const wchar_t* type) const
    {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            if (it->sType == type)
                return &*it;
        return nullptr;
    }
    std::vector<Facet::TNotifyUI> entries;
};

struct Rect
{
    long left, top, right, bottom;
    bool operator==(const Rect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

inline Rect R(const RECT& rc)
{
    return Rect{rc.left, rc.top, rc.right, rc.bottom};
}

inline std::ostream& operator<<(std::ostream& out, const Rect& rc)
{
    return out << "{" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << "}";
}

} // namespace layouttest
