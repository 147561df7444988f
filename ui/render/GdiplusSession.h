#pragma once

#include <windows.h>

namespace Gdiplus
{
class GpFont;
}

// The process's single GDI+ session. Whoever draws or decodes with GDI+ holds
// a reference while it needs GDI+: the first reference starts GDI+ and the
// last one shuts it down, so no user can stop GDI+ under another. GUI thread
// only, like everything that draws.
class CGdiplusSession
{
public:
    typedef bool (*StartupProc)(ULONG_PTR* token);
    typedef void (*ShutdownProc)(ULONG_PTR token);

    // Takes a reference; the first one starts GDI+. False, and no reference
    // taken, when GDI+ cannot be started (the next call tries again).
    static bool Acquire();
    // Gives back a reference of Acquire; the last one shuts GDI+ down. A
    // release without a reference is ignored.
    static void Release();
    static int GetRefCount();

    // Replaces how GDI+ is started and stopped (null: GDI+'s own). Refused
    // while references are held, so that a session is always stopped by the
    // procedure pair that started it.
    static bool SetProcs(StartupProc startup, ShutdownProc shutdown);
};

// One reference to the session, taken on first need and given back when the
// holder ends, so that a control that never uses GDI+ never starts it.
class CGdiplusUse
{
public:
    CGdiplusUse() : held(false) {}
    ~CGdiplusUse()
    {
        if (held)
            CGdiplusSession::Release();
    }

    // Whether GDI+ can be used now; the first successful call takes the reference.
    bool Ensure()
    {
        if (!held)
            held = CGdiplusSession::Acquire();
        return held;
    }
    bool IsHeld() const { return held; }

private:
    CGdiplusUse(const CGdiplusUse&) = delete;
    CGdiplusUse& operator=(const CGdiplusUse&) = delete;

    bool held;
};

// The GDI+ font for a GDI font, built from its wide LOGFONT so that face
// names outside the ANSI code page (Chinese ones above all) survive. Without
// a font, or when GDI+ refuses it, the font selected into hDC is used. Null
// when neither works. The caller deletes it with GdipDeleteFont.
Gdiplus::GpFont* CreateGdiplusFont(HDC hDC, HFONT hFont);
