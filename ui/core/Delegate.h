// Callbacks (CDelegateBase and its concrete kinds) and ordered listener lists
// (CEventSource).
#pragma once

#include "FacetArrays.h"

namespace Facet {

// A callback taking one untyped parameter and answering true to go on, false
// to stop. Two delegates are equal when they bind the same object (null for a
// free function) and the same function.
class CDelegateBase
{
public:
    explicit CDelegateBase(void* object) : m_pObject(object) {}
    virtual ~CDelegateBase() {}

    // A new heap copy of the same kind of delegate.
    virtual CDelegateBase* Clone() const = 0;
    virtual bool Call(void* param) = 0;

    bool operator()(void* param) { return Call(param); }
    bool Equals(const CDelegateBase& rhs) const { return m_pObject == rhs.m_pObject && SameFunction(rhs); }
    void* GetObject() const { return m_pObject; }

protected:
    CDelegateBase(const CDelegateBase&) = default;
    CDelegateBase& operator=(const CDelegateBase&) = default;

    // True when `rhs` is of the same kind and binds the same function.
    virtual bool SameFunction(const CDelegateBase& rhs) const = 0;

private:
    void* m_pObject;
};

// Binds a free function bool f(void*).
class CDelegateStatic : public CDelegateBase
{
public:
    typedef bool (*Fn)(void*);

    explicit CDelegateStatic(Fn fn) : CDelegateBase(nullptr), m_pFn(fn) {}

    CDelegateBase* Clone() const override { return new CDelegateStatic(*this); }
    bool Call(void* param) override { return m_pFn(param); }

protected:
    bool SameFunction(const CDelegateBase& rhs) const override
    {
        const CDelegateStatic* other = dynamic_cast<const CDelegateStatic*>(&rhs);
        return other != nullptr && other->m_pFn == m_pFn;
    }

private:
    Fn m_pFn;
};

// Binds a member function bool (T::*)(void*) of an object. The member-function
// pointer is kept in its own type: it is wider than a data pointer on common
// compilers.
template <class T>
class CDelegate : public CDelegateBase
{
public:
    typedef bool (T::*Fn)(void*);

    CDelegate(T* object, Fn fn) : CDelegateBase(object), m_pFn(fn) {}

    CDelegateBase* Clone() const override { return new CDelegate(*this); }
    bool Call(void* param) override
    {
        // Nothing of this delegate is touched after the call returns, so the
        // callee may delete it (for instance by removing itself from a list).
        T* object = static_cast<T*>(GetObject());
        return (object->*m_pFn)(param);
    }

protected:
    bool SameFunction(const CDelegateBase& rhs) const override
    {
        const CDelegate* other = dynamic_cast<const CDelegate*>(&rhs);
        return other != nullptr && other->m_pFn == m_pFn;
    }

private:
    Fn m_pFn;
};

inline CDelegateStatic MakeDelegate(bool (*fn)(void*))
{
    return CDelegateStatic(fn);
}

template <class T>
CDelegate<T> MakeDelegate(T* object, bool (T::*fn)(void*))
{
    return CDelegate<T>(object, fn);
}

// An ordered list of owned delegate copies, called in insertion order.
//
// The list may change while it is being called: a delegate may add or remove
// delegates (itself included), and may even destroy the source. A call works
// on the delegates present when it started; one that is removed before its
// turn is skipped, one added during the call waits for the next call.
class CEventSource
{
public:
    typedef bool (*FnType)(void*);

    CEventSource();
    ~CEventSource();
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;

    // True when the list is not empty.
    explicit operator bool() const;
    // Appends a copy unless an equal delegate is already listed.
    void operator+=(const CDelegateBase& d);
    void operator+=(FnType fn);
    // Removes and deletes the first equal delegate.
    void operator-=(const CDelegateBase& d);
    void operator-=(FnType fn);
    // Calls the delegates in order; the first that answers false stops the
    // call and false is returned. True when all answered true or none is listed.
    bool operator()(void* param);

private:
    struct TCallFrame;
    struct TState;

    void Discard(CDelegateBase* d);

    // Made by the first delegate added: most sources of a control tree never
    // get one, and a control carries seven of them.
    TState* m_pState;
};

} // namespace Facet
