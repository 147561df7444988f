#include "ui/core/Collections.h"

#include <limits.h>
#include <new>
#include <string.h>

#include "ui/core/Check.h"

namespace
{

const int kFirstCapacity = 11;
const int kMinBuckets = 16;
const int kMaxSlots = INT_MAX / static_cast<int>(sizeof(LPVOID));

LPVOID* AllocSlots(int nSlots)
{
    return static_cast<LPVOID*>(::HeapAlloc(::GetProcessHeap(), 0, nSlots * sizeof(LPVOID)));
}

bool KeysEqual(const CUIString& stored, LPCWSTR key)
{
    return stored == key;
}

}  // namespace

// ---------------------------------------------------------------------------
// CPtrList

CPtrList::CPtrList(int iPreallocSize)
    : m_ppVoid(NULL),
      m_nCount(0),
      m_nAllocated(iPreallocSize > 0 ? iPreallocSize : 0)
{
    if (m_nAllocated > kMaxSlots)
        m_nAllocated = 0;
    if (m_nAllocated > 0)
    {
        m_ppVoid = AllocSlots(m_nAllocated);
        if (!m_ppVoid)
            m_nAllocated = 0;
    }
}

CPtrList::CPtrList(const CPtrList& src) : m_ppVoid(NULL), m_nCount(0), m_nAllocated(0)
{
    for (int i = 0; i < src.GetSize(); ++i)
        Add(src.m_ppVoid[i]);
}

CPtrList& CPtrList::operator=(const CPtrList& src)
{
    if (this != &src)
    {
        Empty();
        for (int i = 0; i < src.GetSize(); ++i)
            Add(src.m_ppVoid[i]);
    }
    return *this;
}

CPtrList::~CPtrList()
{
    Empty();
}

void CPtrList::Empty()
{
    if (m_ppVoid)
        ::HeapFree(::GetProcessHeap(), 0, m_ppVoid);
    m_ppVoid = NULL;
    m_nCount = m_nAllocated = 0;
}

void CPtrList::Resize(int iSize)
{
    Empty();
    if (iSize <= 0 || iSize > kMaxSlots)
        return;
    m_ppVoid = AllocSlots(iSize);
    if (!m_ppVoid)
        return;
    memset(m_ppVoid, 0, iSize * sizeof(LPVOID));
    m_nAllocated = iSize;
    m_nCount = iSize;
}

bool CPtrList::IsEmpty() const
{
    return m_nCount == 0;
}

int CPtrList::GetSize() const
{
    return m_nCount;
}

int CPtrList::Find(LPVOID pData) const
{
    for (int i = 0; i < m_nCount; ++i)
    {
        if (m_ppVoid[i] == pData)
            return i;
    }
    return -1;
}

// Called after the size has been raised by one: keeps size strictly below the
// capacity. On failure the size is put back.
bool CPtrList::Grow()
{
    if (m_nCount < m_nAllocated)
        return true;
    if (m_nAllocated > kMaxSlots / 2)
    {
        --m_nCount;
        return false;
    }
    int nNew = m_nAllocated > 0 ? m_nAllocated * 2 : kFirstCapacity;
    LPVOID* ppNew =
        m_ppVoid ? static_cast<LPVOID*>(::HeapReAlloc(::GetProcessHeap(), 0, m_ppVoid, nNew * sizeof(LPVOID)))
                 : AllocSlots(nNew);
    if (!ppNew)
    {
        --m_nCount;
        return false;
    }
    m_ppVoid = ppNew;
    m_nAllocated = nNew;
    return true;
}

bool CPtrList::Add(LPVOID pData)
{
    ++m_nCount;
    if (!Grow())
        return false;
    m_ppVoid[m_nCount - 1] = pData;
    return true;
}

bool CPtrList::InsertAt(int iIndex, LPVOID pData)
{
    if (iIndex == m_nCount)
        return Add(pData);
    if (iIndex < 0 || iIndex > m_nCount)
        return false;
    ++m_nCount;
    if (!Grow())
        return false;
    memmove(&m_ppVoid[iIndex + 1], &m_ppVoid[iIndex], (m_nCount - iIndex - 1) * sizeof(LPVOID));
    m_ppVoid[iIndex] = pData;
    return true;
}

bool CPtrList::Remove(int iIndex, int iCount)
{
    // Compared as "count fits in what is left" so that a huge count cannot
    // wrap index + count round into range.
    if (iIndex < 0 || iCount <= 0 || iIndex > m_nCount || iCount > m_nCount - iIndex)
        return false;
    int nTail = m_nCount - iIndex - iCount;
    if (nTail > 0)
        memmove(&m_ppVoid[iIndex], &m_ppVoid[iIndex + iCount], nTail * sizeof(LPVOID));
    m_nCount -= iCount;
    return true;
}

LPVOID* CPtrList::GetData()
{
    return m_ppVoid;
}

LPVOID CPtrList::GetAt(int iIndex) const
{
    if (iIndex < 0 || iIndex >= m_nCount)
        return NULL;
    return m_ppVoid[iIndex];
}

LPVOID CPtrList::operator[](int iIndex) const
{
    if (!UI_CHECK(iIndex >= 0 && iIndex < m_nCount))
        return NULL;
    return m_ppVoid[iIndex];
}

// ---------------------------------------------------------------------------
// CStringMap

UINT CStringMap::HashKey(LPCWSTR key)
{
    UINT h = 0;
    if (!key)
        return h;
    size_t n = wcslen(key);
    while (n > 0)
        h = h * 33u + static_cast<UINT>(key[--n]);
    return h;
}

CStringMap::CStringMap(int nSize)
    : m_aT(NULL), m_nBuckets(0), m_nWantedBuckets(nSize < kMinBuckets ? kMinBuckets : nSize), m_nCount(0)
{
}

CStringMap::~CStringMap()
{
    Resize(0);
}

void CStringMap::DeleteAllNodes()
{
    for (int i = m_nBuckets - 1; i >= 0; --i)
    {
        TMapNode* pNode = m_aT[i];
        while (pNode)
        {
            TMapNode* pNext = pNode->pNext;
            delete pNode;
            pNode = pNext;
        }
        m_aT[i] = NULL;
    }
    m_nCount = 0;
}

void CStringMap::Resize(int nSize)
{
    DeleteAllNodes();
    delete[] m_aT;
    m_aT = NULL;
    m_nBuckets = 0;
    m_nWantedBuckets = nSize > 0 ? nSize : 0;
}

bool CStringMap::EnsureBuckets()
{
    if (m_aT != NULL)
        return true;
    if (m_nWantedBuckets <= 0)
        return false;
    m_aT = new (std::nothrow) TMapNode*[m_nWantedBuckets]();
    if (m_aT == NULL)
        return false;
    m_nBuckets = m_nWantedBuckets;
    return true;
}

void CStringMap::RemoveAll()
{
    if (m_aT)
        DeleteAllNodes();
}

LPVOID CStringMap::Find(LPCWSTR key, bool optimize) const
{
    if (m_nBuckets == 0 || m_nCount == 0)
        return NULL;
    UINT slot = HashKey(key) % static_cast<UINT>(m_nBuckets);
    for (TMapNode* pNode = m_aT[slot]; pNode; pNode = pNode->pNext)
    {
        if (!KeysEqual(pNode->Key, key))
            continue;
        if (optimize && pNode != m_aT[slot])
        {
            pNode->pPrev->pNext = pNode->pNext;
            if (pNode->pNext)
                pNode->pNext->pPrev = pNode->pPrev;
            pNode->pPrev = NULL;
            pNode->pNext = m_aT[slot];
            m_aT[slot]->pPrev = pNode;
            m_aT[slot] = pNode;
        }
        return pNode->Data;
    }
    return NULL;
}

bool CStringMap::Insert(LPCWSTR key, LPVOID pData)
{
    if (!EnsureBuckets())
        return false;
    if (Find(key))
        return false;
    TMapNode* pNode = new (std::nothrow) TMapNode;
    if (!pNode)
        return false;
    UINT slot = HashKey(key) % static_cast<UINT>(m_nBuckets);
    pNode->Key = key;
    pNode->Data = pData;
    pNode->pPrev = NULL;
    pNode->pNext = m_aT[slot];
    if (pNode->pNext)
        pNode->pNext->pPrev = pNode;
    m_aT[slot] = pNode;
    ++m_nCount;
    return true;
}

LPVOID CStringMap::Set(LPCWSTR key, LPVOID pData)
{
    if (!EnsureBuckets())
        return pData;
    if (m_nCount > 0)
    {
        UINT slot = HashKey(key) % static_cast<UINT>(m_nBuckets);
        for (TMapNode* pNode = m_aT[slot]; pNode; pNode = pNode->pNext)
        {
            if (KeysEqual(pNode->Key, key))
            {
                LPVOID pOld = pNode->Data;
                pNode->Data = pData;
                return pOld;
            }
        }
    }
    Insert(key, pData);
    return NULL;
}

bool CStringMap::Remove(LPCWSTR key)
{
    if (m_nBuckets == 0 || m_nCount == 0)
        return false;
    UINT slot = HashKey(key) % static_cast<UINT>(m_nBuckets);
    for (TMapNode** ppNode = &m_aT[slot]; *ppNode; ppNode = &(*ppNode)->pNext)
    {
        TMapNode* pNode = *ppNode;
        if (!KeysEqual(pNode->Key, key))
            continue;
        *ppNode = pNode->pNext;
        if (pNode->pNext)
            pNode->pNext->pPrev = pNode->pPrev;
        delete pNode;
        --m_nCount;
        return true;
    }
    return false;
}

int CStringMap::GetSize() const
{
    return m_nCount;
}

LPCWSTR CStringMap::GetAt(int iIndex) const
{
    if (iIndex < 0 || iIndex >= m_nCount)
        return NULL;
    int pos = 0;
    for (int i = m_nBuckets - 1; i >= 0; --i)
    {
        for (TMapNode* pNode = m_aT[i]; pNode; pNode = pNode->pNext)
        {
            if (pos++ == iIndex)
                return pNode->Key.GetData();
        }
    }
    return NULL;
}

LPCWSTR CStringMap::operator[](int nIndex) const
{
    return GetAt(nIndex);
}
