#pragma once

#include <windows.h>

#include <new>

#include "ui/core/Collections.h"

// Stand-in receiver class: a handler of any class is kept as a pointer to a
// member of this one and converted back to its own class before the call.
// Round-tripping member pointers through reinterpret_cast is well defined.
class CDelegateAnyReceiver
{
};

// A receiver object and one of its methods taking an untyped pointer and
// returning whether the caller should go on.
class CDelegateBase
{
public:
    typedef bool (CDelegateAnyReceiver::*THandler)(void*);

    CDelegateBase(void* pObject, THandler pFn);
    CDelegateBase(const CDelegateBase& rhs);
    virtual ~CDelegateBase();

    virtual CDelegateBase* Copy() const = 0;  // a new heap delegate, same binding
    virtual bool Invoke(void* param) = 0;

    // Same object and same handler.
    bool Equals(const CDelegateBase& rhs) const;
    bool operator==(const CDelegateBase& rhs) const { return Equals(rhs); }
    bool operator()(void* param) { return Invoke(param); }

protected:
    void* GetObject() const { return m_pObject; }
    THandler GetFn() const { return m_pFn; }

private:
    CDelegateBase& operator=(const CDelegateBase&) = delete;

    void* m_pObject;
    THandler m_pFn;
};

template <class O> class CDelegate : public CDelegateBase
{
public:
    typedef bool (O::*Fn)(void*);

    CDelegate(O* pObj, Fn pFn) : CDelegateBase(pObj, reinterpret_cast<THandler>(pFn)) {}

    CDelegateBase* Copy() const override { return new (std::nothrow) CDelegate(*this); }

    bool Invoke(void* param) override
    {
        O* pObject = static_cast<O*>(GetObject());
        Fn pFn = reinterpret_cast<Fn>(GetFn());
        return (pObject->*pFn)(param);
    }
};

template <class O> CDelegate<O> MakeDelegate(O* pObject, bool (O::*pFn)(void*))
{
    return CDelegate<O>(pObject, pFn);
}

// Ordered handlers owned by the list. Invoke runs them in the order they were
// added and stops at the first that returns false.
class CDelegateList
{
public:
    CDelegateList();
    ~CDelegateList();

    // Adds a copy of d unless an equal delegate is already present.
    void Add(const CDelegateBase& d);
    void operator+=(const CDelegateBase& d) { Add(d); }
    // Removes and frees the delegate equal to d; false when there is none.
    bool Remove(const CDelegateBase& d);
    // true when no delegate returned false (also for an empty list).
    bool Invoke(void* param);
    bool operator()(void* param) { return Invoke(param); }
    bool HasDelegates() const;

private:
    CDelegateList(const CDelegateList&) = delete;
    CDelegateList& operator=(const CDelegateList&) = delete;

    CPtrList m_aDelegates;
};
