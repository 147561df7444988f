#include "ui/render/DirectDraw.h"

#include <stdint.h>

#include <vector>

#include "ui/core/Check.h"
#include "ui/render/Color.h"
#include "ui/render/GdiScope.h"

namespace
{

struct TRegistration
{
    HDC dc;
    LPDWORD bits;
    int width;
    int height;
    bool bottomUp;
    // The DC's clip box as GDI last reported it, kept until something that
    // may change the clip says so: asking GDI costs more than a fill.
    bool clipKnown;
    bool clipSimple;
    RECT clipBox;
};

// Painting nests only as deep as windows paint other windows synchronously;
// a scope beyond this many simply leaves its DC on the GDI path.
const int kMaxRegistrations = 8;
TRegistration g_registrations[kMaxRegistrations];
int g_registrationCount = 0;

TRegistration* FindRegistration(HDC hDC)
{
    for (int i = g_registrationCount - 1; i >= 0; --i)
        if (g_registrations[i].dc == hDC)
            return &g_registrations[i];
    return NULL;
}

// Logical coordinates are device pixels: the text mapping mode, no world
// transform and both origins at zero. Anything else keeps GDI's mapping.
bool IsUnmapped(HDC hDC)
{
    if (::GetMapMode(hDC) != MM_TEXT || ::GetGraphicsMode(hDC) != GM_COMPATIBLE)
        return false;
    POINT window;
    POINT viewport;
    if (!::GetWindowOrgEx(hDC, &window) || !::GetViewportOrgEx(hDC, &viewport))
        return false;
    return window.x == 0 && window.y == 0 && viewport.x == 0 && viewport.y == 0;
}

void FillRow(LPDWORD row, int left, int right, DWORD pixel)
{
    for (int x = left; x < right; ++x)
        row[x] = pixel;
}

// round(value / 255) for value up to 255 * 255, as GDI's blending divides.
inline UINT DivideRounded(UINT value)
{
    return (value + 127) / 255;
}

// Two channels held in bits 0-7 and 16-23 of pair, each scaled by
// factor / 255 and rounded as DivideRounded rounds. For y = c × factor + 127
// (at most 65,152), round(c × factor / 255) = (y + 1 + (y >> 8)) >> 8 exactly,
// and no lane ever carries into the other.
inline DWORD ScaleChannelPair(DWORD pair, UINT factor)
{
    const DWORD y = pair * factor + 0x007F007F;
    return ((y + 0x00010001 + ((y >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
}

// One byte of constant-alpha blending: source × alpha + destination × (255 − alpha), rounded.
inline UINT MixByte(UINT source, UINT destination, UINT alpha)
{
    return DivideRounded(source * alpha + destination * (255 - alpha));
}

// Composes every pixel of rc with mix(pixel), row by row.
template <class TMix> void ForEachPixel(const TDirectTarget& target, const RECT& rc, TMix mix)
{
    RECT visible;
    if (!target.Clip(rc, visible))
        return;
    for (int y = visible.top; y < visible.bottom; ++y)
    {
        LPDWORD row = target.Row(y);
        for (int x = visible.left; x < visible.right; ++x)
            row[x] = mix(row[x]);
    }
}

// The colour of a two-vertex gradient at pos of len as GradientFill computes
// it from 16-bit vertex channels (8-bit channels shifted up, alpha 0xFF00).
DWORD GradientPixel(DWORD first, DWORD second, int pos, int len)
{
    const int64_t from = len - pos;
    DWORD pixel = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8)
    {
        const int64_t a = static_cast<int64_t>((first >> shift) & 0xFF) << 8;
        const int64_t b = static_cast<int64_t>((second >> shift) & 0xFF) << 8;
        const DWORD channel = static_cast<DWORD>((a * from + b * pos) / len / 256);
        pixel |= (channel & 0xFF) << shift;
    }
    return pixel;
}

}  // namespace

// ---- Registration ----

CDirectDrawScope::CDirectDrawScope(HDC hDC, LPDWORD bits, int width, int height, bool bottomUp)
    : m_hDC(NULL), m_previousBatchLimit(0)
{
    Register(hDC, bits, width, height, bottomUp);
}

CDirectDrawScope::CDirectDrawScope(const CSurface& surface) : m_hDC(NULL), m_previousBatchLimit(0)
{
    if (surface.Bits() != NULL)
        Register(surface.Dc(), surface.Bits(), surface.Width(), surface.Height(), true);
}

void CDirectDrawScope::Register(HDC hDC, LPDWORD bits, int width, int height, bool bottomUp)
{
    if (!UI_CHECK(hDC != NULL && bits != NULL && width > 0 && height > 0))
        return;
    if (g_registrationCount == kMaxRegistrations)
        return;
    g_registrations[g_registrationCount++] = {hDC, bits, width, height, bottomUp, false, false, {0, 0, 0, 0}};
    m_hDC = hDC;
    // Without batching every GDI call has landed when it returns, so the
    // pixels can be written at once; what was batched before lands now.
    // Flushing before each write instead costs a call into the system per
    // primitive, more than a small fill.
    m_previousBatchLimit = ::GdiSetBatchLimit(1);
    ::GdiFlush();
}

CDirectDrawScope::~CDirectDrawScope()
{
    if (m_hDC == NULL)
        return;
    // Scopes end in reverse order of their beginning, so ours is the last.
    if (UI_CHECK(g_registrationCount > 0 && g_registrations[g_registrationCount - 1].dc == m_hDC))
        --g_registrationCount;
    if (m_previousBatchLimit != 0)
        ::GdiSetBatchLimit(m_previousBatchLimit);
}

void ForgetDirectClip(HDC hDC)
{
    if (g_registrationCount == 0)
        return;
    if (TRegistration* registration = FindRegistration(hDC))
        registration->clipKnown = false;
}

bool FindDirectTarget(HDC hDC, TDirectTarget& target)
{
    if (hDC == NULL || g_registrationCount == 0)
        return false;
    TRegistration* registration = FindRegistration(hDC);
    if (registration == NULL || !IsUnmapped(hDC))
        return false;
    if (!registration->clipKnown)
    {
        RECT box;
        const int kind = ::GetClipBox(hDC, &box);
        if (kind == NULLREGION)
            ::SetRectEmpty(&box);
        const RECT bounds = {0, 0, registration->width, registration->height};
        if (!::IntersectRect(&registration->clipBox, &box, &bounds))
            ::SetRectEmpty(&registration->clipBox);
        registration->clipSimple = kind == SIMPLEREGION || kind == NULLREGION;
        registration->clipKnown = true;
    }
    if (!registration->clipSimple)
        return false;
    target.clip = registration->clipBox;
    target.bits = registration->bits;
    target.width = registration->width;
    target.height = registration->height;
    target.bottomUp = registration->bottomUp;
    // Nothing is held back: the scope turned batching off for the thread.
    return true;
}

// ---- Pixel operations ----

void DirectDraw::FillOpaque(const TDirectTarget& target, const RECT& rc, DWORD argb)
{
    RECT visible;
    if (!target.Clip(rc, visible))
        return;
    const DWORD pixel = argb & 0x00FFFFFF;
    for (int y = visible.top; y < visible.bottom; ++y)
        FillRow(target.Row(y), visible.left, visible.right, pixel);
}

void DirectDraw::BlendPremultiplied(const TDirectTarget& target, const RECT& rc, DWORD premultiplied)
{
    // Every channel of the result is the source channel plus the destination
    // channel scaled by what the source leaves uncovered, rounded as GDI
    // rounds. Two channels are scaled at once, each in 16 bits of a word.
    const UINT uncovered = 255 - (premultiplied >> 24);
    const DWORD source = premultiplied;
    ForEachPixel(target, rc, [&](DWORD destination) {
        const DWORD redBlue = ScaleChannelPair(destination & 0x00FF00FF, uncovered);
        const DWORD alphaGreen = ScaleChannelPair((destination >> 8) & 0x00FF00FF, uncovered);
        return source + (redBlue | alphaGreen << 8);
    });
}

void DirectDraw::Gradient(const TDirectTarget& target, const RECT& area, DWORD first, DWORD second,
                          bool vertical, BYTE opacity)
{
    RECT visible;
    if (!target.Clip(area, visible))
        return;
    const int len = vertical ? area.bottom - area.top : area.right - area.left;
    if (len <= 0)
        return;
    // The colour depends on one coordinate only: work it out once per column
    // (horizontal) or per row (vertical).
    std::vector<DWORD> columns;
    if (!vertical)
        for (int x = visible.left; x < visible.right; ++x)
            columns.push_back(GradientPixel(first, second, x - area.left, len));
    for (int y = visible.top; y < visible.bottom; ++y)
    {
        LPDWORD row = target.Row(y);
        const DWORD rowPixel = vertical ? GradientPixel(first, second, y - area.top, len) : 0;
        for (int x = visible.left; x < visible.right; ++x)
        {
            const DWORD pixel = vertical ? rowPixel : columns[x - visible.left];
            if (opacity == 255)
            {
                row[x] = pixel;
                continue;
            }
            const DWORD destination = row[x];
            DWORD mixed = 0;
            for (int shift = 0; shift < 32; shift += 8)
                mixed |= MixByte((pixel >> shift) & 0xFF, (destination >> shift) & 0xFF, opacity) << shift;
            row[x] = mixed;
        }
    }
}

void DirectDraw::Frame(const TDirectTarget& target, const RECT& rc, int width, DWORD argb)
{
    const DWORD pixel = argb & 0x00FFFFFF;
    const RECT top = {rc.left, rc.top, rc.right, rc.top + width};
    const RECT bottom = {rc.left, rc.bottom - width, rc.right, rc.bottom};
    const RECT left = {rc.left, rc.top + width, rc.left + width, rc.bottom - width};
    const RECT right = {rc.right - width, rc.top + width, rc.right, rc.bottom - width};
    for (const RECT& side : {top, bottom, left, right})
        FillOpaque(target, side, pixel);
}
