#include <stdint.h>

#include <utility>

#include "ui/render/Color.h"
#include "ui/render/DirectDraw.h"
#include "ui/render/GdiScope.h"
#include "ui/render/MsImg32.h"
#include "ui/render/Renderer.h"

namespace
{

int Width(const RECT& rc)
{
    return rc.right - rc.left;
}
int Height(const RECT& rc)
{
    return rc.bottom - rc.top;
}

HBITMAP CreateDib(HDC hDC, int width, int height, LPBYTE* bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage =
        static_cast<DWORD>(width) * static_cast<DWORD>(height < 0 ? -height : height) * 4;
    void* pixels = NULL;
    HBITMAP bitmap = CreateDIBSection(hDC, &info, DIB_RGB_COLORS, &pixels, NULL, 0);
    if (bits != NULL)
        *bits = bitmap != NULL ? static_cast<LPBYTE>(pixels) : NULL;
    return bitmap;
}

void FillOpaque(HDC hDC, const RECT& rc, DWORD color)
{
    COLORREF old = SetBkColor(hDC, ArgbToColorRef(color));
    ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, NULL, 0, NULL);
    SetBkColor(hDC, old);
}

TRIVERTEX Vertex(LONG x, LONG y, DWORD color)
{
    TRIVERTEX vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>(ColorRed(color) << 8);
    vertex.Green = static_cast<COLOR16>(ColorGreen(color) << 8);
    vertex.Blue = static_cast<COLOR16>(ColorBlue(color) << 8);
    vertex.Alpha = 0xFF00;
    return vertex;
}

// How many bands stand in for a smooth gradient: the largest power of two
// from 2 to 64 that the step count reaches. Returns log2 of it.
int BandShift(int steps)
{
    int shift = 6;
    while (shift > 1 && steps < (1 << shift))
        --shift;
    return shift;
}

BYTE BandChannel(BYTE first, BYTE second, int band, int count, int shift)
{
    return static_cast<BYTE>((first * band + second * (count - band)) >> shift);
}

// Solid bands from the second colour at the right (bottom) edge to nearly the
// first at the left (top).
void FillBands(HDC hDC, const RECT& area, DWORD first, DWORD second, bool vertical, int steps)
{
    const int shift = BandShift(steps);
    const int count = 1 << shift;
    const int64_t extent = vertical ? Height(area) : Width(area);
    const LONG end = vertical ? area.bottom : area.right;
    for (int band = 0; band < count; ++band)
    {
        LONG from = end - static_cast<LONG>((extent * (band + 1)) >> shift);
        LONG to = end - static_cast<LONG>((extent * band) >> shift);
        if (to <= from)
            continue;
        RECT rc = area;
        if (vertical)
        {
            rc.top = from;
            rc.bottom = to;
        }
        else
        {
            rc.left = from;
            rc.right = to;
        }
        COLORREF colour = RGB(BandChannel(ColorRed(first), ColorRed(second), band, count, shift),
                              BandChannel(ColorGreen(first), ColorGreen(second), band, count, shift),
                              BandChannel(ColorBlue(first), ColorBlue(second), band, count, shift));
        CGdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        if (brush.Get() != NULL)
            FillRect(hDC, &rc, brush);
    }
}

void FillGradient(HDC hDC, const RECT& area, DWORD first, DWORD second, bool vertical, int steps)
{
    PFN_GRADIENTFILL gradientFill = CMsImg32::GetGradientFill();
    if (gradientFill == NULL)
    {
        FillBands(hDC, area, first, second, vertical, steps);
        return;
    }
    TRIVERTEX vertices[2] = {Vertex(area.left, area.top, first), Vertex(area.right, area.bottom, second)};
    GRADIENT_RECT joined = {0, 1};
    gradientFill(hDC, vertices, 2, &joined, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

// Pens of the outline primitives draw inside the rectangle. Only the solid
// style can be combined with that: or-ing a dashed style with the inside-frame
// style would make another style altogether (or none).
int OutlineStyle(int style)
{
    return style == PS_SOLID ? PS_INSIDEFRAME : style;
}

// A solid outline drawn with the plain pen mix, narrow enough that GDI draws
// it as four straight bands (wider inside-frame pens get round joins), around
// a rectangle big enough to have an inside: what the direct path draws
// exactly as Rectangle does.
bool IsPlainFrame(HDC hDC, const RECT& rc, int size, int style)
{
    return hDC != NULL && style == PS_SOLID && size >= 1 && size <= 2 && Width(rc) >= 2 && Height(rc) >= 2 &&
           GetROP2(hDC) == R2_COPYPEN;
}

// ExtTextOutW orders an inverted rectangle's edges before it fills.
RECT Ordered(const RECT& rc)
{
    RECT ordered = rc;
    if (ordered.left > ordered.right)
        std::swap(ordered.left, ordered.right);
    if (ordered.top > ordered.bottom)
        std::swap(ordered.top, ordered.bottom);
    return ordered;
}

}  // namespace

void CRenderer::DrawColor(HDC hDC, const RECT& rc, DWORD color)
{
    const BYTE alpha = ColorAlpha(color);
    if (hDC == NULL || alpha == 0)
        return;
    const DWORD premultiplied =
        CImageLoader::PremultiplyPixel(ColorRed(color), ColorGreen(color), ColorBlue(color), alpha);
    TDirectTarget target;
    if (FindDirectTarget(hDC, target))
    {
        if (alpha == 255)
            DirectDraw::FillOpaque(target, Ordered(rc), color);
        else
            DirectDraw::BlendPremultiplied(target, rc, premultiplied);
        return;
    }
    if (alpha == 255)
    {
        FillOpaque(hDC, rc, color);
        return;
    }
    // One premultiplied pixel stretched over the rectangle: the blend then
    // gives destination × (1 − a) + colour × a and never runs past 255.
    LPBYTE bits = NULL;
    CGdiObject<HBITMAP> pixel(CreateDib(hDC, 1, 1, &bits));
    if (pixel.Get() == NULL || bits == NULL)
        return;
    *reinterpret_cast<DWORD*>(bits) = premultiplied;
    RECT source = {0, 0, 1, 1};
    RECT noCorner = {0, 0, 0, 0};
    DrawImage(hDC, pixel, rc, rc, source, noCorner, true);
}

void CRenderer::DrawGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps)
{
    const int opacity = (ColorAlpha(first) + ColorAlpha(second)) >> 1;
    const int width = Width(rc);
    const int height = Height(rc);
    if (hDC == NULL || opacity == 0 || width <= 0 || height <= 0)
        return;
    // Written directly only where GDI would use GradientFill and AlphaBlend,
    // whose arithmetic the direct path repeats.
    TDirectTarget target;
    if (CMsImg32::GetGradientFill() != NULL && (opacity == 255 || CMsImg32::GetAlphaBlend() != NULL) &&
        FindDirectTarget(hDC, target))
    {
        DirectDraw::Gradient(target, rc, first, second, vertical, static_cast<BYTE>(opacity));
        return;
    }
    if (opacity == 255)
    {
        FillGradient(hDC, rc, first, second, vertical, steps);
        return;
    }
    // Translucent: draw opaquely aside, then lay it over at the opacity. The
    // bands and GradientFill leave no alpha of their own worth trusting, so
    // only the constant alpha is used.
    CMemoryDC memDC(hDC);
    CGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(hDC, width, height));
    if (memDC.Get() == NULL || bitmap.Get() == NULL)
        return;
    CSelectScope selectBitmap(memDC, bitmap);
    RECT area = {0, 0, width, height};
    FillGradient(memDC, area, first, second, vertical, steps);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(opacity), 0};
    CMsImg32::Blend(hDC, rc.left, rc.top, width, height, memDC, 0, 0, width, height, blend);
}

void CRenderer::DrawLine(HDC hDC, const RECT& rc, int size, DWORD color, int style)
{
    LOGPEN logPen = {static_cast<UINT>(style), {size, 0}, ArgbToColorRef(color)};
    CGdiObject<HPEN> pen(CreatePenIndirect(&logPen));
    if (hDC == NULL || pen.Get() == NULL)
        return;
    CSelectScope selectPen(hDC, pen);
    POINT old;
    MoveToEx(hDC, rc.left, rc.top, &old);
    LineTo(hDC, rc.right, rc.bottom);
    MoveToEx(hDC, old.x, old.y, NULL);
}

void CRenderer::DrawRect(HDC hDC, const RECT& rc, int size, DWORD color, int style)
{
    TDirectTarget target;
    if (IsPlainFrame(hDC, rc, size, style) && FindDirectTarget(hDC, target))
    {
        DirectDraw::Frame(target, rc, size, color);
        return;
    }
    CGdiObject<HPEN> pen(CreatePen(OutlineStyle(style), size, ArgbToColorRef(color)));
    if (hDC == NULL || pen.Get() == NULL)
        return;
    CSelectScope selectPen(hDC, pen);
    CSelectScope selectBrush(hDC, GetStockObject(NULL_BRUSH));
    Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
}

void CRenderer::DrawRoundRect(HDC hDC, const RECT& rc, int size, int width, int height, DWORD color,
                              int style)
{
    CGdiObject<HPEN> pen(CreatePen(OutlineStyle(style), size, ArgbToColorRef(color)));
    if (hDC == NULL || pen.Get() == NULL)
        return;
    CSelectScope selectPen(hDC, pen);
    CSelectScope selectBrush(hDC, GetStockObject(NULL_BRUSH));
    RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, width, height);
}

HBITMAP CRenderer::CreateDib32(HDC hDC, int width, int height, LPBYTE* bits)
{
    if (bits != NULL)
        *bits = NULL;
    if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > INT32_MAX / 4)
        return NULL;
    return CreateDib(hDC, width, height, bits);
}
