// Counting the GDI objects this process owns, for tests that look for leaks.
#pragma once

#include <windows.h>
#include <winternl.h>

namespace testsupport {

// The number of GDI objects this process owns. GetGuiResources counts them on
// Windows; where it answers 0 (Wine), the process's GDI handle table (24-byte
// entries whose byte 14 holds the object type, 0 for a free entry) is read
// through the process environment block. 0 when neither is available.
inline DWORD CountGdiObjects()
{
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0)
        return reported;
#if defined(_WIN64)
    typedef NTSTATUS(NTAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const QueryProcess query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info = {};
    if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info), nullptr) != 0 ||
        info.PebBaseAddress == nullptr)
        return 0;
    const BYTE* peb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
    if (table == nullptr)
        return 0;
    DWORD count = 0;
    for (int i = 0; i < 0x10000; ++i) {
        if (table[i * 24 + 14] != 0)
            ++count;
    }
    return count;
#else
    return 0;
#endif
}

} // namespace testsupport
