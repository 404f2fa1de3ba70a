// A small client of the platform accessibility interface, as a screen reader
// uses it: the client-area object of a window, a walk through its children,
// and the properties of an object read into plain values.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace testsupport {

// Owns one COM reference.
template <class T>
class ComRef
{
public:
    ComRef() = default;
    explicit ComRef(T* p) : m_p(p) {}
    ComRef(const ComRef& other) : m_p(other.m_p)
    {
        if (m_p != nullptr)
            m_p->AddRef();
    }
    ComRef& operator=(ComRef other)
    {
        T* swapped = m_p;
        m_p = other.m_p;
        other.m_p = swapped;
        return *this;
    }
    ~ComRef()
    {
        if (m_p != nullptr)
            m_p->Release();
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** Out()
    {
        *this = ComRef();
        return &m_p;
    }

private:
    T* m_p = nullptr;
};

using Accessible = ComRef<IAccessible>;

// A client thread in a single-threaded apartment, as a screen reader's is:
// objects of another process reach it through COM.
class ComApartment
{
public:
    ComApartment() : m_entered(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (m_entered)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_entered;
};

inline VARIANT ChildId(LONG id = CHILDID_SELF)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// The object of a window's client area, as AccessibleObjectFromWindow gives it.
inline Accessible ClientObjectOf(HWND window)
{
    Accessible client;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(client.Out()));
    return client;
}

inline Accessible FromDispatch(IDispatch* dispatch)
{
    Accessible object;
    if (dispatch != nullptr) {
        dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(object.Out()));
        dispatch->Release();
    }
    return object;
}

inline std::wstring TakeText(BSTR text)
{
    std::wstring result = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return result;
}

inline std::wstring NameOf(const Accessible& object, LONG child = CHILDID_SELF)
{
    BSTR text = nullptr;
    object->get_accName(ChildId(child), &text);
    return TakeText(text);
}

inline std::wstring ValueOf(const Accessible& object, LONG child = CHILDID_SELF)
{
    BSTR text = nullptr;
    object->get_accValue(ChildId(child), &text);
    return TakeText(text);
}

inline std::wstring DefaultActionOf(const Accessible& object, LONG child = CHILDID_SELF)
{
    BSTR text = nullptr;
    object->get_accDefaultAction(ChildId(child), &text);
    return TakeText(text);
}

// A numeric property (role, state), or -1 when the object gives none.
inline LONG NumberOf(const Accessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*),
                     LONG child)
{
    VARIANT number;
    VariantInit(&number);
    if (FAILED((object.Get()->*property)(ChildId(child), &number)) || number.vt != VT_I4)
        return -1;
    return number.lVal;
}

inline LONG RoleOf(const Accessible& object, LONG child = CHILDID_SELF)
{
    return NumberOf(object, &IAccessible::get_accRole, child);
}

inline LONG StateOf(const Accessible& object, LONG child = CHILDID_SELF)
{
    return NumberOf(object, &IAccessible::get_accState, child);
}

inline RECT LocationOf(const Accessible& object, LONG child = CHILDID_SELF)
{
    LONG left = 0, top = 0, width = 0, height = 0;
    object->accLocation(&left, &top, &width, &height, ChildId(child));
    return RECT{left, top, left + width, top + height};
}

inline std::vector<Accessible> ChildrenOf(const Accessible& object)
{
    std::vector<Accessible> children;
    LONG count = 0;
    if (FAILED(object->get_accChildCount(&count)))
        return children;
    for (LONG i = 1; i <= count; ++i) {
        IDispatch* child = nullptr;
        if (SUCCEEDED(object->get_accChild(ChildId(i), &child)))
            children.push_back(FromDispatch(child));
    }
    return children;
}

// The first object below `object` (depth first, itself included) whose name is
// `name` and, when `role` is not 0, whose role is `role`.
inline Accessible FindByName(const Accessible& object, const std::wstring& name, LONG role = 0)
{
    if (NameOf(object) == name && (role == 0 || RoleOf(object) == role))
        return object;
    for (const Accessible& child : ChildrenOf(object)) {
        if (Accessible found = FindByName(child, name, role))
            return found;
    }
    return Accessible();
}

// The first object below `object` with role `role`.
inline Accessible FindByRole(const Accessible& object, LONG role)
{
    if (RoleOf(object) == role)
        return object;
    for (const Accessible& child : ChildrenOf(object)) {
        if (Accessible found = FindByRole(child, role))
            return found;
    }
    return Accessible();
}

// One object of a tree read once: what a screen reader keeps of it.
struct AccessibleNode
{
    Accessible object;
    std::wstring name;
    LONG role;
    LONG state;
};

// The shown objects of a subtree (hidden ones and all below them left out),
// depth first, each asked once: a client in another process pays for every
// question it asks.
inline void CollectShown(const Accessible& object, std::vector<AccessibleNode>& nodes)
{
    const LONG state = StateOf(object);
    if (state == -1 || (state & STATE_SYSTEM_INVISIBLE) != 0)
        return;
    nodes.push_back(AccessibleNode{object, NameOf(object), RoleOf(object), state});
    for (const Accessible& child : ChildrenOf(object))
        CollectShown(child, nodes);
}

inline std::vector<AccessibleNode> ShownNodesOf(const Accessible& object)
{
    std::vector<AccessibleNode> nodes;
    CollectShown(object, nodes);
    return nodes;
}

// The first node with the name and the role, or an empty object.
inline Accessible FindIn(const std::vector<AccessibleNode>& nodes, const std::wstring& name, LONG role)
{
    for (const AccessibleNode& node : nodes) {
        if (node.name == name && node.role == role)
            return node.object;
    }
    return Accessible();
}

// The events an out-of-context SetWinEventHook hears, as a screen reader sets
// one. Its events arrive as messages of the thread that set it, which must
// deliver them before it looks. One log at a time.
class WinEventLog
{
public:
    struct Event
    {
        DWORD event;
        HWND window;
        LONG object;
        LONG child;
    };

    // Events from EVENT_OBJECT_CREATE to EVENT_OBJECT_VALUECHANGE of the process.
    explicit WinEventLog(DWORD process)
        : m_hook(SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_VALUECHANGE, nullptr, Listen, process, 0,
                                 WINEVENT_OUTOFCONTEXT))
    {
        Heard().clear();
    }
    ~WinEventLog()
    {
        if (m_hook != nullptr)
            UnhookWinEvent(m_hook);
    }
    WinEventLog(const WinEventLog&) = delete;
    WinEventLog& operator=(const WinEventLog&) = delete;

    bool Installed() const { return m_hook != nullptr; }

    // The latest event of the kind from `window`'s client area, or null.
    const Event* Last(DWORD event, HWND window) const
    {
        for (size_t i = Heard().size(); i-- > 0;) {
            const Event& heard = Heard()[i];
            if (heard.event == event && heard.window == window && heard.object == OBJID_CLIENT)
                return &heard;
        }
        return nullptr;
    }
    int Count(DWORD event, HWND window) const
    {
        int count = 0;
        for (const Event& heard : Heard())
            count += heard.event == event && heard.window == window && heard.object == OBJID_CLIENT ? 1 : 0;
        return count;
    }

private:
    static std::vector<Event>& Heard()
    {
        static std::vector<Event> events;
        return events;
    }
    static void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
    {
        Heard().push_back(Event{event, window, object, child});
    }

    HWINEVENTHOOK m_hook;
};

// The object an event names, found the way a screen reader finds it.
inline Accessible ObjectOfEvent(const WinEventLog::Event& heard)
{
    IAccessible* parent = nullptr;
    VARIANT child;
    VariantInit(&child);
    if (FAILED(AccessibleObjectFromEvent(heard.window, static_cast<DWORD>(heard.object),
                                         static_cast<DWORD>(heard.child), &parent, &child)))
        return Accessible();
    Accessible object(parent);
    if (child.vt == VT_I4 && child.lVal != CHILDID_SELF) {
        IDispatch* dispatch = nullptr;
        if (FAILED(object->get_accChild(child, &dispatch)))
            return Accessible();
        return FromDispatch(dispatch);
    }
    return object;
}

} // namespace testsupport
