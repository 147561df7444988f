#pragma once

#include <windows.h>

// The reference count of a COM object that belongs to its references: it
// starts at one, held by whoever created the object, and the object deletes
// itself when the last reference is released. TInterfaces are the interfaces
// it implements; one AddRef and one Release serve them all.
template <class... TInterfaces> class CComRefCounted : public TInterfaces...
{
public:
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = ::InterlockedDecrement(&m_refs);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    CComRefCounted() : m_refs(1) {}
    virtual ~CComRefCounted() {}
    CComRefCounted(const CComRefCounted&) = delete;
    CComRefCounted& operator=(const CComRefCounted&) = delete;

private:
    LONG m_refs;
};
