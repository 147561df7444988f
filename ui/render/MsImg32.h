#pragma once

#include <windows.h>

typedef BOOL(WINAPI* PFN_ALPHABLEND)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* PFN_GRADIENTFILL)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// AlphaBlend and GradientFill from msimg32.dll, looked up once per process so
// that the program still starts where the library or a function is missing.
class CMsImg32
{
public:
    // Null when the function is missing (or hidden by CMsImg32Missing).
    static PFN_ALPHABLEND GetAlphaBlend();
    static PFN_GRADIENTFILL GetGradientFill();

    // AlphaBlend when present, else CRenderer::BlendFallback; same arguments.
    static BOOL Blend(HDC hDest, int x, int y, int cx, int cy, HDC hSrc, int sx, int sy, int scx, int scy,
                      BLENDFUNCTION blend);
};

// While alive, the lookups answer as if msimg32 lacked the chosen functions,
// so that the fallbacks can run on systems that never need them. Restores the
// previous answer at the end; scopes nest.
class CMsImg32Missing
{
public:
    CMsImg32Missing(bool alphaBlend, bool gradientFill);
    ~CMsImg32Missing();
    CMsImg32Missing(const CMsImg32Missing&) = delete;
    CMsImg32Missing& operator=(const CMsImg32Missing&) = delete;

private:
    bool m_oldAlphaBlend;
    bool m_oldGradientFill;
};
