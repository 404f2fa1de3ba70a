// GDI+ for the whole process: started by the first caller that needs it and
// shut down when the process ends, so the controls that draw with GDI+ share
// one session instead of each starting its own.
#pragma once

namespace Facet {

class CGdiplusSession
{
public:
    // Starts GDI+ on the first call; true while it runs. A failed start is
    // not retried.
    static bool Ensure();
    // How many times this process has started GDI+ through Ensure (0 or 1).
    static int StartCount();
};

} // namespace Facet
