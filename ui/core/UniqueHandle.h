// The one owner of system handles: closed when it goes out of scope, movable,
// never copied. What varies between handle kinds (which value means "nothing
// open", how to close one) is a small trait, usually declared next to the code
// that uses the handle:
//
//     struct FindTraits {
//         typedef HANDLE Handle;
//         static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
//         static bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE; }
//         static void Close(HANDLE handle) { ::FindClose(handle); }
//     };
//     typedef UniqueHandle<FindTraits> ScopedFind;
//
// Whatever an API returns for a failure, the owner keeps it as the trait's
// one Invalid() value, so that there is one "nothing open" per kind. A trait
// may carry state its Close needs (the window a device context belongs to).
#pragma once

#include <windows.h>

#include <utility>

namespace Facet {

template <class Traits>
class UniqueHandle
{
public:
    typedef typename Traits::Handle Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle, Traits traits = Traits()) : m_traits(traits), m_handle(Keep(handle)) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_traits(other.m_traits), m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Reset(other.Release());
            m_traits = other.m_traits;
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }

    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }

    // Closes the handle held (if any) and owns `handle` instead.
    void Reset(Handle handle = Traits::Invalid())
    {
        const Handle old = std::exchange(m_handle, Keep(handle));
        if (old != Traits::Invalid())
            m_traits.Close(old);
    }

    // Closes the handle held and returns where an API that opens by an out
    // parameter (RegOpenKeyExW, CreatePipe) writes the new one.
    Handle* Receive()
    {
        Reset();
        return &m_handle;
    }

private:
    static Handle Keep(Handle handle) { return Traits::IsValid(handle) ? handle : Traits::Invalid(); }

    Traits m_traits = Traits();
    Handle m_handle = Traits::Invalid();
};

// Files, folders, pipes, processes, threads, events. A failed open
// (INVALID_HANDLE_VALUE from CreateFileW, null from most others) is kept as null.
struct KernelHandleTraits
{
    typedef HANDLE Handle;
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};
typedef UniqueHandle<KernelHandleTraits> UniqueKernelHandle;

// The common part of the traits of handle kinds whose "nothing open" is null
// (most kinds); the trait adds how to close one.
template <typename H>
struct NullInvalidHandle
{
    typedef H Handle;
    static H Invalid() { return nullptr; }
    static bool IsValid(H handle) { return handle != nullptr; }
};

// An open registry key.
struct RegistryKeyTraits : NullInvalidHandle<HKEY>
{
    static void Close(HKEY key) { ::RegCloseKey(key); }
};
typedef UniqueHandle<RegistryKeyTraits> UniqueRegistryKey;

// A loaded library.
struct ModuleTraits : NullInvalidHandle<HMODULE>
{
    static void Close(HMODULE module) { ::FreeLibrary(module); }
};
typedef UniqueHandle<ModuleTraits> UniqueModule;

// A memory device context (CreateCompatibleDC).
struct MemoryDcTraits : NullInvalidHandle<HDC>
{
    static void Close(HDC dc) { ::DeleteDC(dc); }
};
typedef UniqueHandle<MemoryDcTraits> UniqueMemoryDC;

// A window's device context (GetDC), released to the window it came from.
struct WindowDcTraits : NullInvalidHandle<HDC>
{
    void Close(HDC dc) const { ::ReleaseDC(window, dc); }

    HWND window = nullptr;
};
typedef UniqueHandle<WindowDcTraits> UniqueWindowDC;

// The device context of `window` (null: the screen), released with the owner.
inline UniqueWindowDC GetUniqueWindowDC(HWND window)
{
    WindowDcTraits traits;
    traits.window = window;
    return UniqueWindowDC(::GetDC(window), traits);
}

} // namespace Facet
