// A hint to the processor to start loading an object that a loop reads soon.
#pragma once

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define FACET_PREFETCH_ASM 1
#elif defined(_M_X64) || defined(_M_IX86)
#include <xmmintrin.h>
#define FACET_PREFETCH_INTRINSIC 1
#endif

namespace Facet {

// Asks for the cache line that holds `address`. GCC takes a function whose
// only effect is a prefetch builtin for one without any effect, and removes
// its calls (PrefetchObject below, once not inlined, vanished whole at -O3);
// a volatile instruction is kept.
inline void PrefetchLine(const char* address)
{
#if defined(FACET_PREFETCH_ASM)
    __asm__ __volatile__("prefetcht0 %0" : : "m"(*address));
#elif defined(FACET_PREFETCH_INTRINSIC)
    _mm_prefetch(address, _MM_HINT_T0);
#else
    (void)address;
#endif
}

// Starts loading the first `bytes` of `object` into the cache without waiting
// for them. A loop over many heap objects (a layout pass over 100,000
// controls) calls it for an object some steps ahead, so that the loads of
// several objects overlap instead of each one stalling the loop in turn.
// Changes nothing the program can observe; a null object is ignored.
inline void PrefetchObject(const void* object, unsigned bytes)
{
    if (object == nullptr || bytes == 0)
        return;
    const char* first = static_cast<const char*>(object);
    for (unsigned offset = 0; offset < bytes; offset += 64)
        PrefetchLine(first + offset);
    PrefetchLine(first + bytes - 1);
}

} // namespace Facet
