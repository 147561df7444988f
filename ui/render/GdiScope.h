#pragma once

#include <windows.h>

// Scope objects for GDI state, so that no early return leaks a handle or
// leaves an object selected.

// Selects an object into a DC and selects the previous one back at the end.
// Does not own the object.
class CSelectScope
{
public:
    CSelectScope(HDC hDC, HGDIOBJ object)
        : m_hDC(hDC), m_old(object != NULL && hDC != NULL ? SelectObject(hDC, object) : NULL) {}
    ~CSelectScope()
    {
        if (m_old != NULL)
            SelectObject(m_hDC, m_old);
    }
    CSelectScope(const CSelectScope&) = delete;
    CSelectScope& operator=(const CSelectScope&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_old;
};

// Deletes a GDI object (pen, brush, bitmap, region) at the end. Owns it.
template <class THandle>
class CGdiObject
{
public:
    explicit CGdiObject(THandle handle = NULL) : m_handle(handle) {}
    ~CGdiObject() { Reset(NULL); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    void Reset(THandle handle)
    {
        if (m_handle != NULL)
            DeleteObject(m_handle);
        m_handle = handle;
    }
    THandle Get() const { return m_handle; }
    operator THandle() const { return m_handle; }

private:
    THandle m_handle;
};

// A memory DC compatible with another DC, deleted at the end. Owns the DC.
class CMemoryDC
{
public:
    explicit CMemoryDC(HDC compatibleWith) : m_hDC(CreateCompatibleDC(compatibleWith)) {}
    ~CMemoryDC()
    {
        if (m_hDC != NULL)
            DeleteDC(m_hDC);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;

    HDC Get() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
};
