// Helpers of the tests of controls in real windows: a notification log, timer
// events, keys held down and a process-wide resource folder that is put back
// afterwards.
#pragma once

#include "Facet.h"

#include "NotifyLog.h"

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace testsupport {

// What the paint manager sends a control when its timer `id` elapses.
inline void FireTimer(Facet::CControlUI* control, UINT id)
{
    Facet::TEventUI event = {};
    event.Type = Facet::UIEVENT_TIMER;
    event.pSender = control;
    event.wParam = id;
    control->Event(event);
}

// Delivers messages (real timers included) until `done` holds or a generous
// safety limit passes; returns whether it holds.
template <typename Condition>
bool PumpUntil(Condition done)
{
    const ULONGLONG limit = GetTickCount64() + 10000;
    while (!done()) {
        if (GetTickCount64() > limit)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

// Points the skin sources at `folder` for its lifetime.
class ScopedResourcePath
{
public:
    explicit ScopedResourcePath(const std::wstring& folder)
        : m_previous(Facet::CPaintManagerUI::GetResourcePath().GetData())
    {
        Facet::CPaintManagerUI::SetResourcePath(folder.c_str());
    }
    ~ScopedResourcePath() { Facet::CPaintManagerUI::SetResourcePath(m_previous.c_str()); }
    ScopedResourcePath(const ScopedResourcePath&) = delete;
    ScopedResourcePath& operator=(const ScopedResourcePath&) = delete;

private:
    std::wstring m_previous;
};

// Holds keys down in this thread's key state (what GetKeyState reads) for its
// lifetime, as if the user held them while the messages are delivered.
class ScopedHeldKeys
{
public:
    explicit ScopedHeldKeys(std::initializer_list<BYTE> keys)
    {
        GetKeyboardState(m_saved);
        BYTE held[256];
        CopyMemory(held, m_saved, sizeof(held));
        for (BYTE key : keys)
            held[key] |= 0x80;
        SetKeyboardState(held);
    }
    ~ScopedHeldKeys() { SetKeyboardState(m_saved); }
    ScopedHeldKeys(const ScopedHeldKeys&) = delete;
    ScopedHeldKeys& operator=(const ScopedHeldKeys&) = delete;

private:
    BYTE m_saved[256] = {};
};

// The full path of the probe component module built beside the tests.
inline std::wstring ProbeModulePath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\probe_component.dll";
}

// Deletes a control made outside any tree.
struct ControlDeleter
{
    void operator()(Facet::CControlUI* control) const
    {
        if (control != nullptr)
            control->Delete();
    }
};

} // namespace testsupport
