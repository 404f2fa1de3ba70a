#include "Delegate.h"

namespace Facet {

// One running call of a CEventSource. Frames of nested calls form a chain
// from the innermost outwards, so that the source can tell every running call
// when it is destroyed, and removed delegates are deleted only when the
// outermost call ends (until then a snapshot may still hold them).
struct CEventSource::TCallFrame
{
    CEventSource* pSource;
    TCallFrame* pOuter;
    bool bSourceDestroyed;

    explicit TCallFrame(CEventSource* source)
        : pSource(source), pOuter(source->m_pCallFrame), bSourceDestroyed(false)
    {
        source->m_pCallFrame = this;
    }

    ~TCallFrame()
    {
        if (bSourceDestroyed)
            return;
        pSource->m_pCallFrame = pOuter;
        if (pOuter == nullptr) {
            for (int i = 0; i < pSource->m_aRemovedInCall.GetSize(); ++i)
                delete static_cast<CDelegateBase*>(pSource->m_aRemovedInCall[i]);
            pSource->m_aRemovedInCall.Empty();
        }
    }

    TCallFrame(const TCallFrame&) = delete;
    TCallFrame& operator=(const TCallFrame&) = delete;
};

CEventSource::CEventSource() : m_pCallFrame(nullptr)
{
}

CEventSource::~CEventSource()
{
    for (TCallFrame* frame = m_pCallFrame; frame != nullptr; frame = frame->pOuter)
        frame->bSourceDestroyed = true;
    for (int i = 0; i < m_aDelegates.GetSize(); ++i)
        delete static_cast<CDelegateBase*>(m_aDelegates[i]);
    for (int i = 0; i < m_aRemovedInCall.GetSize(); ++i)
        delete static_cast<CDelegateBase*>(m_aRemovedInCall[i]);
}

CEventSource::operator bool() const
{
    return !m_aDelegates.IsEmpty();
}

void CEventSource::operator+=(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        const CDelegateBase* listed = static_cast<const CDelegateBase*>(m_aDelegates[i]);
        if (listed->Equals(d))
            return;
    }
    CDelegateBase* copy = d.Clone();
    if (copy != nullptr && !m_aDelegates.Add(copy))
        delete copy;
}

void CEventSource::operator+=(FnType fn)
{
    *this += CDelegateStatic(fn);
}

void CEventSource::operator-=(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i) {
        CDelegateBase* listed = static_cast<CDelegateBase*>(m_aDelegates[i]);
        if (listed->Equals(d)) {
            m_aDelegates.Remove(i);
            Discard(listed);
            return;
        }
    }
}

void CEventSource::operator-=(FnType fn)
{
    *this -= CDelegateStatic(fn);
}

void CEventSource::Discard(CDelegateBase* d)
{
    if (m_pCallFrame == nullptr) {
        delete d;
        return;
    }
    // A running call may still hold it (it may even be the one running):
    // delete it when the outermost call ends. Should the list not grow, the
    // delegate is leaked rather than freed under a running call.
    m_aRemovedInCall.Add(d);
}

bool CEventSource::operator()(void* param)
{
    if (m_aDelegates.IsEmpty())
        return true;
    const CFacetPtrArray snapshot(m_aDelegates);
    TCallFrame frame(this);
    for (int i = 0; i < snapshot.GetSize(); ++i) {
        CDelegateBase* d = static_cast<CDelegateBase*>(snapshot[i]);
        // Removed by an earlier delegate of this call (or a nested one): skip.
        // It is not deleted yet, so its address cannot belong to a newcomer.
        if (m_aDelegates.Find(d) < 0)
            continue;
        const bool goOn = d->Call(param);
        if (frame.bSourceDestroyed)
            return goOn;  // this source is gone: touch nothing of it
        if (!goOn)
            return false;
    }
    return true;
}

} // namespace Facet
