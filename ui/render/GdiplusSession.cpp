// The process's GDI+ session.
#include "GdiplusSession.h"

#include <windows.h>

#include <algorithm>
#include <gdiplus.h>

namespace Facet {

namespace {

// Owns the startup token; the destructor shuts GDI+ down at process exit,
// after every control has released its GDI+ objects.
class Session
{
public:
    Session()
    {
        Gdiplus::GdiplusStartupInput input;
        ++s_starts;
        m_running = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~Session()
    {
        if (m_running)
            Gdiplus::GdiplusShutdown(m_token);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool Running() const { return m_running; }

    static int s_starts;

private:
    ULONG_PTR m_token = 0;
    bool m_running = false;
};

int Session::s_starts = 0;

} // namespace

bool CGdiplusSession::Ensure()
{
    static Session session;
    return session.Running();
}

int CGdiplusSession::StartCount()
{
    return Session::s_starts;
}

} // namespace Facet
