#include "Delegate.h"

#include <new>

namespace Facet {

struct CEventSource::TState
{
    CFacetPtrArray aDelegates;        // owned CDelegateBase*
    CFacetPtrArray aRemovedInCall;    // removed during a call, deleted after it
    TCallFrame* pCallFrame = nullptr; // innermost running call, or null
};

// One running call of a CEventSource. Frames of nested calls form a chain
// from the innermost outwards, so that the source can tell every running call
// when it is destroyed, and removed delegates are deleted only when the
// outermost call ends (until then a snapshot may still hold them).
struct CEventSource::TCallFrame
{
    CEventSource* pSource;
    TCallFrame* pOuter;
    bool bSourceDestroyed;

    // Only made while the source has its state.
    explicit TCallFrame(CEventSource* source)
        : pSource(source), pOuter(source->m_pState->pCallFrame), bSourceDestroyed(false)
    {
        source->m_pState->pCallFrame = this;
    }

    ~TCallFrame()
    {
        if (bSourceDestroyed)
            return;
        TState& state = *pSource->m_pState;
        state.pCallFrame = pOuter;
        if (pOuter == nullptr) {
            for (int i = 0; i < state.aRemovedInCall.GetSize(); ++i)
                delete static_cast<CDelegateBase*>(state.aRemovedInCall[i]);
            state.aRemovedInCall.Empty();
        }
    }

    TCallFrame(const TCallFrame&) = delete;
    TCallFrame& operator=(const TCallFrame&) = delete;
};

CEventSource::CEventSource() : m_pState(nullptr)
{
}

CEventSource::~CEventSource()
{
    if (m_pState == nullptr)
        return;
    for (TCallFrame* frame = m_pState->pCallFrame; frame != nullptr; frame = frame->pOuter)
        frame->bSourceDestroyed = true;
    for (int i = 0; i < m_pState->aDelegates.GetSize(); ++i)
        delete static_cast<CDelegateBase*>(m_pState->aDelegates[i]);
    for (int i = 0; i < m_pState->aRemovedInCall.GetSize(); ++i)
        delete static_cast<CDelegateBase*>(m_pState->aRemovedInCall[i]);
    delete m_pState;
}

CEventSource::operator bool() const
{
    return m_pState != nullptr && !m_pState->aDelegates.IsEmpty();
}

void CEventSource::operator+=(const CDelegateBase& d)
{
    if (m_pState == nullptr) {
        m_pState = new (std::nothrow) TState;
        if (m_pState == nullptr)
            return;
    }
    CFacetPtrArray& delegates = m_pState->aDelegates;
    for (int i = 0; i < delegates.GetSize(); ++i) {
        const CDelegateBase* listed = static_cast<const CDelegateBase*>(delegates[i]);
        if (listed->Equals(d))
            return;
    }
    CDelegateBase* copy = d.Clone();
    if (copy != nullptr && !delegates.Add(copy))
        delete copy;
}

void CEventSource::operator+=(FnType fn)
{
    *this += CDelegateStatic(fn);
}

void CEventSource::operator-=(const CDelegateBase& d)
{
    if (m_pState == nullptr)
        return;
    CFacetPtrArray& delegates = m_pState->aDelegates;
    for (int i = 0; i < delegates.GetSize(); ++i) {
        CDelegateBase* listed = static_cast<CDelegateBase*>(delegates[i]);
        if (listed->Equals(d)) {
            delegates.Remove(i);
            Discard(listed);
            return;
        }
    }
}

void CEventSource::operator-=(FnType fn)
{
    *this -= CDelegateStatic(fn);
}

// Only called for a delegate that was listed, so the state exists.
void CEventSource::Discard(CDelegateBase* d)
{
    if (m_pState->pCallFrame == nullptr) {
        delete d;
        return;
    }
    // A running call may still hold it (it may even be the one running):
    // delete it when the outermost call ends. Should the list not grow, the
    // delegate is leaked rather than freed under a running call.
    m_pState->aRemovedInCall.Add(d);
}

bool CEventSource::operator()(void* param)
{
    if (m_pState == nullptr || m_pState->aDelegates.IsEmpty())
        return true;
    const CFacetPtrArray snapshot(m_pState->aDelegates);
    TCallFrame frame(this);
    for (int i = 0; i < snapshot.GetSize(); ++i) {
        CDelegateBase* d = static_cast<CDelegateBase*>(snapshot[i]);
        // Removed by an earlier delegate of this call (or a nested one): skip.
        // It is not deleted yet, so its address cannot belong to a newcomer.
        if (m_pState->aDelegates.Find(d) < 0)
            continue;
        const bool goOn = d->Call(param);
        if (frame.bSourceDestroyed)
            return goOn; // this source is gone: touch nothing of it
        if (!goOn)
            return false;
    }
    return true;
}

} // namespace Facet
