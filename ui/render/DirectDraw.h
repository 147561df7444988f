#pragma once
// Drawing straight into the pixels of a 32-bit DIB section that we created
// ourselves, for the primitives whose result GDI would compute one pixel at a
// time anyway (fills, blends, gradients, rectangular frames). Each call into
// GDI costs far more than writing a control's pixels, so the renderer checks
// whether a DC is such a surface with a plain rectangular clip and then writes
// the very pixels GDI would have written; any other DC, a clip with rounded
// parts or a mapped coordinate space keep the GDI path.

#include <windows.h>

class CSurface;

// Registers a DC as directly drawable for the life of the scope: its
// selected bitmap must be the 32-bit DIB whose pixels are given, with width
// and height as created (rows bottom-up or top-down). Scopes may nest and
// belong to the thread that paints. While one lives, the thread's GDI calls
// are not batched, so no GDI drawing is still pending when the renderer
// writes pixels, and no flush is needed before each write.
class CDirectDrawScope
{
public:
    CDirectDrawScope(HDC hDC, LPDWORD bits, int width, int height, bool bottomUp);
    // The surface's DC and pixels while its bitmap is selected; nothing is
    // registered when the surface is no DIB section.
    explicit CDirectDrawScope(const CSurface& surface);
    ~CDirectDrawScope();
    CDirectDrawScope(const CDirectDrawScope&) = delete;
    CDirectDrawScope& operator=(const CDirectDrawScope&) = delete;

private:
    void Register(HDC hDC, LPDWORD bits, int width, int height, bool bottomUp);
    HDC m_hDC;
    DWORD m_previousBatchLimit;  // 0 when the limit was left alone
};

// A registered DC as the primitives see it: the pixels and the clip in device
// coordinates, already cut to the bitmap.
struct TDirectTarget
{
    LPDWORD bits;
    int width;
    int height;
    bool bottomUp;
    RECT clip;

    // The pixels of client line y (0 at the top, whatever the row order).
    LPDWORD Row(int y) const
    {
        return bits + static_cast<size_t>(bottomUp ? height - 1 - y : y) * static_cast<size_t>(width);
    }
    // rc cut to the clip; false when nothing of it is left.
    bool Clip(const RECT& rc, RECT& visible) const { return ::IntersectRect(&visible, &rc, &clip) != FALSE; }
};

// Code that changes a registered DC's clip region must say so (the clip
// scopes and CSavedDC do): the clip is otherwise read from GDI only once.
void ForgetDirectClip(HDC hDC);

// True when hDC is registered and draws unmapped with a rectangular clip (or
// none); target is then ready for writing: whatever GDI still had queued for
// the DC has landed.
bool FindDirectTarget(HDC hDC, TDirectTarget& target);

// The pixel operations, each giving exactly what the GDI call that it stands
// for gives on a 32-bit DIB (where GDI's own fills leave the alpha byte 0).
namespace DirectDraw
{
// ExtTextOutW with ETO_OPAQUE and the colour's red, green and blue.
void FillOpaque(const TDirectTarget& target, const RECT& rc, DWORD argb);
// A premultiplied pixel composed over every pixel of rc, as AlphaBlend with
// per-pixel alpha and constant alpha 255 composes it, alpha byte included.
void BlendPremultiplied(const TDirectTarget& target, const RECT& rc, DWORD premultiplied);
// GradientFill of two opaque vertices over area (first colour at the left or
// top), then, when opacity is below 255, laid over what was there as
// AlphaBlend with that constant alpha lays a compatible bitmap.
void Gradient(const TDirectTarget& target, const RECT& area, DWORD first, DWORD second, bool vertical,
              BYTE opacity);
// Rectangle with an inside-frame pen of the given width and no brush: the
// outline fills the outermost width pixels of rc.
void Frame(const TDirectTarget& target, const RECT& rc, int width, DWORD argb);
}  // namespace DirectDraw
