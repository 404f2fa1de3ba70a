// Helpers shared by the layout tests: controls that count their placements or
// report their destruction, a notification log and rectangle printing.
#pragma once

#include "Facet.h"

#include "ControlTestSupport.h"
#include "../support/NotifyLog.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

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

// A layout of the given kind at 96 DPI, filled with boxes by the test.
template <class Layout>
class LayoutFixture : public testing::Test
{
protected:
    Box* AddBox(int width = 0, int height = 0)
    {
        Box* box = new Box(width, height);
        layout.Add(box);
        return box;
    }

    ScopedDpi dpi{96};
    Layout layout;
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

} // namespace testsupport
