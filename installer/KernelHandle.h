// The updater's one owner of kernel handles (files, folders, pipes, processes,
// threads): closed when it goes out of scope, movable, never copied.
#pragma once

#include <windows.h>

#include <utility>

class KernelHandle {
public:
    KernelHandle() = default;
    // A failed open (INVALID_HANDLE_VALUE) is kept as null, so there is one
    // "nothing open" value whichever API made the handle.
    explicit KernelHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~KernelHandle() { Close(); }

    KernelHandle(KernelHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    // Gives the handle up without closing it.
    HANDLE Release() { return std::exchange(m_handle, nullptr); }

    void Close()
    {
        if (m_handle != nullptr)
            CloseHandle(std::exchange(m_handle, nullptr));
    }

private:
    HANDLE m_handle = nullptr;
};
