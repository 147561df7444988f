#pragma once

#include <windows.h>

#include "ui/core/UIString.h"

// Growable array of untyped pointers. The list never owns what its entries
// point to; destroying it frees only the array. Capacity runs 11, 22, 44, ...
// and never shrinks on removal.
class CPtrList
{
public:
    explicit CPtrList(int iPreallocSize = 0);
    CPtrList(const CPtrList& src);
    CPtrList& operator=(const CPtrList& src);
    ~CPtrList();

    void Empty();
    // Frees the array and replaces it by iSize null slots (size = capacity).
    void Resize(int iSize);
    bool IsEmpty() const;
    int GetSize() const;
    int Find(LPVOID pData) const;
    // false (list unchanged) when the array cannot grow.
    bool Add(LPVOID pData);
    // iIndex == size appends; outside 0..size fails.
    bool InsertAt(int iIndex, LPVOID pData);
    // Fails for iIndex < 0, iCount <= 0 or a range past the end.
    bool Remove(int iIndex, int iCount = 1);
    LPVOID* GetData();
    // null when iIndex is outside 0..size-1.
    LPVOID GetAt(int iIndex) const;
    LPVOID operator[](int nIndex) const;  // an index out of range is a programmer error

private:
    bool Grow();

    LPVOID* m_ppVoid;
    int m_nCount;
    int m_nAllocated;
};

struct TMapNode
{
    CUIString Key;
    LPVOID Data;
    TMapNode* pPrev;
    TMapNode* pNext;
};

// Chained hash map from case-sensitive wide-string keys to untyped, non-owned
// pointers. The bucket count is fixed (no rehashing); a found key moves to the
// front of its chain so repeated look-ups of one key stay cheap. The buckets
// are allocated with the first key: most maps (every control has one) stay empty.
class CStringMap
{
public:
    enum
    {
        DEFAULT_BUCKETS = 83
    };

    explicit CStringMap(int nSize = DEFAULT_BUCKETS);
    ~CStringMap();

    // Deletes every node and replaces the buckets by nSize empty ones (none for 0:
    // the map then refuses every key).
    void Resize(int nSize = DEFAULT_BUCKETS);
    // null for a missing key (and for a key stored with a null value).
    LPVOID Find(LPCWSTR key, bool optimize = true) const;
    // true when a node was added; an existing key with a non-null value fails.
    bool Insert(LPCWSTR key, LPVOID pData);
    // Returns what the caller must now dispose of: the replaced value, null for
    // a new key, or pData itself when the map has no buckets.
    LPVOID Set(LPCWSTR key, LPVOID pData);
    bool Remove(LPCWSTR key);
    void RemoveAll();
    int GetSize() const;
    // Key of the iIndex-th node in iteration order (last bucket first), or null.
    LPCWSTR GetAt(int iIndex) const;
    LPCWSTR operator[](int nIndex) const;

    static UINT HashKey(LPCWSTR key);

private:
    CStringMap(const CStringMap&) = delete;
    CStringMap& operator=(const CStringMap&) = delete;

    void DeleteAllNodes();
    // The buckets, allocated on first use; false when there are none to be had.
    bool EnsureBuckets();

    TMapNode** m_aT;
    int m_nBuckets;        // 0 until allocated
    int m_nWantedBuckets;  // how many the first key allocates
    int m_nCount;
};
