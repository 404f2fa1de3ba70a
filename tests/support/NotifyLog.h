// A listener that keeps every notification a paint manager delivers, for tests
// that ask how many of a kind arrived and what the latest one carried.
#pragma once

#include "Facet.h"

#include <vector>

namespace testsupport {

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
    // The latest notification of `type`, or null.
    const Facet::TNotifyUI* Last(const wchar_t* type) const
    {
        for (size_t i = entries.size(); i-- > 0;) {
            if (entries[i].sType == type)
                return &entries[i];
        }
        return nullptr;
    }
    std::vector<Facet::TNotifyUI> entries;
};

} // namespace testsupport
