// A hint to the processor to start loading an object that a loop reads soon.
#pragma once

#if defined(_M_X64) || defined(_M_IX86) || defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#define FACET_HAS_PREFETCH 1
#endif

namespace Facet {

// Starts loading the first `bytes` of `object` into the cache without waiting
// for them. A loop over many heap objects (a layout pass over 100,000
// controls) calls it for an object some steps ahead, so that the loads of
// several objects overlap instead of each one stalling the loop in turn.
// Changes nothing the program can observe; a null object is ignored.
inline void PrefetchObject(const void* object, unsigned bytes)
{
#ifdef FACET_HAS_PREFETCH
    if (object == nullptr)
        return;
    const char* first = static_cast<const char*>(object);
    for (unsigned offset = 0; offset < bytes; offset += 64)
        _mm_prefetch(first + offset, _MM_HINT_T0);
    _mm_prefetch(first + bytes - 1, _MM_HINT_T0);
#else
    (void)object;
    (void)bytes;
#endif
}

} // namespace Facet
