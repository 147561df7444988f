#pragma once

#include <windows.h>

#include "ui/render/DirectDraw.h"

// Scope objects for GDI state, so that no early return leaks a handle or
// leaves an object selected; each says whether it owns its handle.

// Selects an object into a DC and selects the previous one back at the end.
// Does not own the object.
class CSelectScope
{
public:
    CSelectScope(HDC hDC, HGDIOBJ object)
        : m_hDC(hDC),
          m_old(object != NULL && hDC != NULL ? SelectObject(hDC, object) : NULL)
    {
    }
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
template <class THandle> class CGdiObject
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

// Saves a DC's state (selected objects, colours, modes, clip region,
// transformation) and restores it at the end. Does not own the DC.
class CSavedDC
{
public:
    explicit CSavedDC(HDC hDC) : m_hDC(hDC), m_saved(hDC != NULL ? SaveDC(hDC) : 0) {}
    ~CSavedDC()
    {
        if (m_saved != 0)
        {
            RestoreDC(m_hDC, m_saved);
            ForgetDirectClip(m_hDC);
        }
    }
    CSavedDC(const CSavedDC&) = delete;
    CSavedDC& operator=(const CSavedDC&) = delete;

private:
    HDC m_hDC;
    int m_saved;
};

// An off-screen drawing surface: a memory DC and a bitmap of its own, with
// the bitmap's pixels when it is a DIB section. Owns both; the bitmap is
// selected into the DC only by whoever draws (or by SelectForLife).
class CSurface
{
public:
    CSurface() : m_hDC(NULL), m_bitmap(NULL), m_bits(NULL), m_width(0), m_height(0) {}
    ~CSurface() { Release(); }
    CSurface(const CSurface&) = delete;
    CSurface& operator=(const CSurface&) = delete;

    // A 32-bit DIB section (rows bottom-up, pixels reachable through Bits)
    // or, without dib, a bitmap compatible with reference. False, holding
    // nothing, when the DC, the bitmap or its pixels cannot be had.
    bool Create(HDC reference, int width, int height, bool dib);
    // Keeps the bitmap selected into the DC until the surface is released.
    void SelectForLife();
    void Release();

    bool IsEmpty() const { return m_bitmap == NULL; }
    HDC Dc() const { return m_hDC; }
    HBITMAP Bitmap() const { return m_bitmap; }
    // Null unless the bitmap is a DIB section.
    LPDWORD Bits() const { return m_bits; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    HDC m_hDC;
    HBITMAP m_bitmap;
    LPDWORD m_bits;
    int m_width;
    int m_height;
};
