#include "ui/render/Dib.h"
#include "ui/render/GdiScope.h"
#include "ui/render/Renderer.h"

namespace
{

// A top-down 32-bit DIB section of one size with its own memory DC.
class CBlendBuffer
{
public:
    CBlendBuffer(HDC compatibleWith, int width, int height)
        : m_dc(compatibleWith),
          m_bitmap(NULL),
          m_pixels(NULL)
    {
        LPBYTE pixels = NULL;
        m_bitmap.Reset(CreateTopDownDib(width, height, &pixels));
        m_pixels = reinterpret_cast<DWORD*>(pixels);
    }

    bool IsValid() const { return m_dc.Get() != NULL && m_bitmap.Get() != NULL && m_pixels != NULL; }
    HDC Dc() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    DWORD* Pixels() const { return m_pixels; }

private:
    CMemoryDC m_dc;
    CGdiObject<HBITMAP> m_bitmap;
    DWORD* m_pixels;
};

BYTE Channel(DWORD pixel, int shift)
{
    return static_cast<BYTE>(pixel >> shift);
}

// Source over destination as AlphaBlend composes it, alpha byte included:
// with per-pixel alpha the source channels are already premultiplied and the
// source alpha is the coverage; without it the coverage is the constant alpha
// alone. The constant alpha always scales the source.
DWORD BlendPixel(DWORD source, DWORD destination, double constant, bool perPixelAlpha)
{
    double sourceAlpha = perPixelAlpha ? Channel(source, 24) / 255.0 : 1.0;
    double coverage = sourceAlpha * constant;
    if (coverage < 0)
        coverage = 0;
    DWORD result = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        BYTE mixed = CRenderer::MixColor(Channel(source, shift), Channel(destination, shift), constant,
                                         1.0 - coverage);
        result |= static_cast<DWORD>(mixed) << shift;
    }
    return result;
}

}  // namespace

BYTE CRenderer::MixColor(BYTE source, BYTE destination, double sourceFactor, double destinationFactor)
{
    // The fraction is dropped, not rounded. The tiny allowance keeps a sum
    // that is a whole number (a colour blended over itself) from losing a
    // step to the error of binary fractions; true fractions lie much further
    // from the next whole number, as the factors are multiples of 1/65025.
    double value = source * sourceFactor + destination * destinationFactor + 1e-9;
    if (value <= 0)
        return 0;
    if (value >= 255)
        return 255;
    return static_cast<BYTE>(value);
}

BOOL WINAPI CRenderer::BlendFallback(HDC hDest, int x, int y, int cx, int cy, HDC hSrc, int sx, int sy,
                                     int scx, int scy, BLENDFUNCTION blend)
{
    if (hDest == NULL || hSrc == NULL || cx <= 0 || cy <= 0 || scx <= 0 || scy <= 0)
        return FALSE;
    // 1. The source piece, stretched to the destination size.
    CBlendBuffer source(hDest, cx, cy);
    if (!source.IsValid())
        return FALSE;
    CSelectScope selectSource(source.Dc(), source.Bitmap());
    SetStretchBltMode(source.Dc(), COLORONCOLOR);
    StretchBlt(source.Dc(), 0, 0, cx, cy, hSrc, sx, sy, scx, scy, SRCCOPY);
    // 2. What lies under it.
    CBlendBuffer destination(hDest, cx, cy);
    if (!destination.IsValid())
        return FALSE;
    CSelectScope selectDestination(destination.Dc(), destination.Bitmap());
    BitBlt(destination.Dc(), 0, 0, cx, cy, hDest, x, y, SRCCOPY);
    GdiFlush();
    // 3. Compose, and put the result back.
    const double constant = blend.SourceConstantAlpha / 255.0;
    const bool perPixelAlpha = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    const DWORD* src = source.Pixels();
    DWORD* dst = destination.Pixels();
    const size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    for (size_t i = 0; i < count; ++i)
        dst[i] = BlendPixel(src[i], dst[i], constant, perPixelAlpha);
    BitBlt(hDest, x, y, cx, cy, destination.Dc(), 0, 0, SRCCOPY);
    return TRUE;
}
