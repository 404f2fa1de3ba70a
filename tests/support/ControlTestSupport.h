// Helpers shared by the control tests: a fixed display scale and controls
// that record what reaches them.
#pragma once

#include "control/ControlUI.h"
#include "core/DpiManager.h"

#include <vector>

namespace testsupport {

// Makes the window scale factor follow a chosen dots-per-inch reading for the
// lifetime of the object (96 = 1.0, 120 = 1.25).
class ScopedDpi
{
public:
    explicit ScopedDpi(int dpi)
    {
        Reading() = dpi;
        Facet::DpiManager::GetInstance()->SetDpiSource(&Read);
    }
    ~ScopedDpi() { Facet::DpiManager::GetInstance()->SetDpiSource(nullptr); }
    ScopedDpi(const ScopedDpi&) = delete;
    ScopedDpi& operator=(const ScopedDpi&) = delete;

private:
    static int& Reading()
    {
        static int dpi = 96;
        return dpi;
    }
    static int Read() { return Reading(); }
};

// A control that keeps the type of every event its DoEvent sees before
// handing it to the base.
class EventRecorder : public Facet::CControlUI
{
public:
    void DoEvent(Facet::TEventUI& event) override
    {
        received.push_back(event.Type);
        CControlUI::DoEvent(event);
    }
    std::vector<int> received;
};

inline Facet::TEventUI MakeEvent(int type, Facet::CControlUI* sender = nullptr)
{
    Facet::TEventUI event = {};
    event.Type = type;
    event.pSender = sender;
    return event;
}

inline bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace testsupport
