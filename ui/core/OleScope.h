// ScopedOleInitialize: OLE on this thread for the lifetime of an object that
// needs it (the clipboard and drag and drop of a rich edit, the in-place
// activation of an embedded component). The platform counts the calls per
// thread, so every holder may have its own; only a call that succeeded is
// balanced, so a thread that is already in the multithreaded apartment keeps
// it untouched (and those services are then unavailable on it).
#pragma once

#include <ole2.h>

namespace Facet {

class ScopedOleInitialize
{
public:
    ScopedOleInitialize() : m_bInitialized(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~ScopedOleInitialize()
    {
        if (m_bInitialized)
            ::OleUninitialize();
    }
    ScopedOleInitialize(const ScopedOleInitialize&) = delete;
    ScopedOleInitialize& operator=(const ScopedOleInitialize&) = delete;

    bool IsInitialized() const { return m_bInitialized; }

private:
    bool m_bInitialized;
};

} // namespace Facet
