#include "ui/core/Delegate.h"

CDelegateBase::CDelegateBase(void* pObject, THandler pFn) : m_pObject(pObject), m_pFn(pFn)
{
}

CDelegateBase::CDelegateBase(const CDelegateBase& rhs) : m_pObject(rhs.m_pObject), m_pFn(rhs.m_pFn)
{
}

CDelegateBase::~CDelegateBase()
{
}

bool CDelegateBase::Equals(const CDelegateBase& rhs) const
{
    return m_pObject == rhs.m_pObject && m_pFn == rhs.m_pFn;
}

CDelegateList::CDelegateList()
{
}

CDelegateList::~CDelegateList()
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i)
        delete static_cast<CDelegateBase*>(m_aDelegates[i]);
}

void CDelegateList::Add(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i)
    {
        CDelegateBase* pDelegate = static_cast<CDelegateBase*>(m_aDelegates[i]);
        if (pDelegate && pDelegate->Equals(d))
            return;
    }
    CDelegateBase* pCopy = d.Copy();
    if (pCopy && !m_aDelegates.Add(pCopy))
        delete pCopy;
}

bool CDelegateList::Remove(const CDelegateBase& d)
{
    for (int i = 0; i < m_aDelegates.GetSize(); ++i)
    {
        CDelegateBase* pDelegate = static_cast<CDelegateBase*>(m_aDelegates[i]);
        if (pDelegate && pDelegate->Equals(d))
        {
            m_aDelegates.Remove(i);
            delete pDelegate;
            return true;
        }
    }
    return false;
}

bool CDelegateList::Invoke(void* param)
{
    // The size is read afresh each step: a handler may add delegates.
    for (int i = 0; i < m_aDelegates.GetSize(); ++i)
    {
        CDelegateBase* pDelegate = static_cast<CDelegateBase*>(m_aDelegates[i]);
        if (pDelegate && !pDelegate->Invoke(param))
            return false;
    }
    return true;
}

bool CDelegateList::HasDelegates() const
{
    return m_aDelegates.GetSize() > 0;
}
