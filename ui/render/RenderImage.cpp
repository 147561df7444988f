#include <algorithm>

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

bool Touches(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

bool IsZero(const RECT& rc)
{
    return rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0;
}

RECT MakeRect(int left, int top, int right, int bottom)
{
    RECT rc = {left, top, right, bottom};
    return rc;
}

// Copies one piece of the selected bitmap: blended, stretched or copied.
class CPieceBlitter
{
public:
    CPieceBlitter(HDC hDC, HDC hSource, bool blending, BYTE fade)
        : m_hDC(hDC),
          m_hSource(hSource),
          m_blending(blending)
    {
        m_blend.BlendOp = AC_SRC_OVER;
        m_blend.BlendFlags = 0;
        m_blend.SourceConstantAlpha = fade;
        m_blend.AlphaFormat = AC_SRC_ALPHA;
    }

    // Pieces with no extent in the destination or the source draw nothing.
    void Draw(const RECT& dst, int sx, int sy, int sw, int sh) const
    {
        int dw = Width(dst);
        int dh = Height(dst);
        if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
            return;
        if (m_blending)
            CMsImg32::Blend(m_hDC, dst.left, dst.top, dw, dh, m_hSource, sx, sy, sw, sh, m_blend);
        else if (dw == sw && dh == sh)
            BitBlt(m_hDC, dst.left, dst.top, dw, dh, m_hSource, sx, sy, SRCCOPY);
        else
            StretchBlt(m_hDC, dst.left, dst.top, dw, dh, m_hSource, sx, sy, sw, sh, SRCCOPY);
    }

    bool IsBlending() const { return m_blending; }

private:
    HDC m_hDC;
    HDC m_hSource;
    bool m_blending;
    BLENDFUNCTION m_blend;
};

// The index of the first tile along one axis that can reach the paint area,
// so that a huge destination with tiny tiles costs only the visible tiles.
int FirstVisibleTile(int start, int step, int paintStart)
{
    return paintStart > start ? (paintStart - start) / step : 0;
}

// The centre, stretched, or repeated in tiles of the centre source's size
// along the tiled axes (the last tile and its source cut at the edge).
void DrawCentre(const CPieceBlitter& blitter, const RECT& dst, const RECT& src, const RECT& paint,
                bool xtiled, bool ytiled)
{
    int sw = Width(src);
    int sh = Height(src);
    // A centre source without extent has nothing to stretch or repeat.
    if (sw <= 0 || sh <= 0 || Width(dst) <= 0 || Height(dst) <= 0)
        return;
    int stepX = xtiled ? sw : Width(dst);
    int stepY = ytiled ? sh : Height(dst);
    int endY = std::min<int>(dst.bottom, std::max<int>(dst.top, paint.bottom));
    int endX = std::min<int>(dst.right, std::max<int>(dst.left, paint.right));
    for (int top = dst.top + FirstVisibleTile(dst.top, stepY, paint.top) * stepY; top < endY; top += stepY)
    {
        int bottom = std::min<int>(top + stepY, dst.bottom);
        int srcHeight = ytiled ? bottom - top : sh;
        for (int left = dst.left + FirstVisibleTile(dst.left, stepX, paint.left) * stepX; left < endX;
             left += stepX)
        {
            int right = std::min<int>(left + stepX, dst.right);
            int srcWidth = xtiled ? right - left : sw;
            blitter.Draw(MakeRect(left, top, right, bottom), src.left, src.top, srcWidth, srcHeight);
        }
    }
}

// The eight border pieces around the centre, in drawing order.
void DrawBorders(const CPieceBlitter& blitter, const RECT& rc, const RECT& paint, const RECT& src,
                 const RECT& corner, int centreWidth, int centreHeight)
{
    struct TPiece
    {
        bool drawn;
        RECT dst;
        int sx, sy, sw, sh;
    };
    const int cl = corner.left, ct = corner.top, cr = corner.right, cb = corner.bottom;
    const TPiece pieces[] = {
        {cl > 0 && ct > 0, MakeRect(rc.left, rc.top, rc.left + cl, rc.top + ct), src.left, src.top, cl, ct},
        {ct > 0, MakeRect(rc.left + cl, rc.top, rc.right - cr, rc.top + ct), src.left + cl, src.top,
         centreWidth, ct},
        {cr > 0 && ct > 0, MakeRect(rc.right - cr, rc.top, rc.right, rc.top + ct), src.right - cr, src.top,
         cr, ct},
        {cl > 0, MakeRect(rc.left, rc.top + ct, rc.left + cl, rc.bottom - cb), src.left, src.top + ct, cl,
         centreHeight},
        {cr > 0, MakeRect(rc.right - cr, rc.top + ct, rc.right, rc.bottom - cb), src.right - cr, src.top + ct,
         cr, centreHeight},
        {cl > 0 && cb > 0, MakeRect(rc.left, rc.bottom - cb, rc.left + cl, rc.bottom), src.left,
         src.bottom - cb, cl, cb},
        {cb > 0, MakeRect(rc.left + cl, rc.bottom - cb, rc.right - cr, rc.bottom), src.left + cl,
         src.bottom - cb, centreWidth, cb},
        {cr > 0 && cb > 0, MakeRect(rc.right - cr, rc.bottom - cb, rc.right, rc.bottom), src.right - cr,
         src.bottom - cb, cr, cb},
    };
    for (const TPiece& piece : pieces)
        if (piece.drawn && Touches(piece.dst, paint))
            blitter.Draw(piece.dst, piece.sx, piece.sy, piece.sw, piece.sh);
}

bool IsUnscaledCopy(const RECT& rc, const RECT& src, const RECT& corner)
{
    return Width(rc) == Width(src) && Height(rc) == Height(src) && IsZero(corner);
}

// The descriptor's destination inside the item: dest is relative to the
// item's left-top and its right and bottom never pass the item's.
RECT ResolveDestination(const RECT& dest, const RECT& item)
{
    if (IsZero(dest))
        return item;
    return MakeRect(item.left + dest.left, item.top + dest.top,
                    std::min<LONG>(item.right, item.left + dest.right),
                    std::min<LONG>(item.bottom, item.top + dest.bottom));
}

int ScaleLength(int value, int to, int from)
{
    return to == from ? value : ::MulDiv(value, to, from);
}

RECT ScaleRect(const RECT& rc, int to, int from)
{
    return MakeRect(ScaleLength(rc.left, to, from), ScaleLength(rc.top, to, from),
                    ScaleLength(rc.right, to, from), ScaleLength(rc.bottom, to, from));
}

// An image's pixels may be made for another DPI than the skin's 96 (a larger
// picture for a high-DPI display); rectangles inside it follow its own DPI.
int ImageDpi(const TImageEntry& image)
{
    return image.dpi > 0 ? image.dpi : 96;
}

bool LoadDescriptorImage(IImageLookup* images, TDrawSpec& descriptor)
{
    if (descriptor.parsed)
        return false;
    descriptor.parsed = true;
    if (descriptor.drawString.IsEmpty())
        return false;
    TImageRequest request = descriptor.Parse();
    descriptor.imageName = request.name;
    descriptor.dpi = images->GetDpi();
    descriptor.dest = ScaleRect(descriptor.dest, descriptor.dpi, 96);
    descriptor.image =
        images->GetImageOrAdd(request.name, request.hasType ? request.type.GetData() : NULL, request.mask);
    if (descriptor.image == NULL)
        return false;
    const int imageDpi = ImageDpi(*descriptor.image);
    descriptor.source = ScaleRect(descriptor.source, imageDpi, 96);
    descriptor.corner = ScaleRect(descriptor.corner, imageDpi, 96);
    if (IsZero(descriptor.source))
    {
        descriptor.source.right = descriptor.image->width;
        descriptor.source.bottom = descriptor.image->height;
    }
    return true;
}

// A descriptor parsed for another display (the window moved to a monitor of
// another DPI) is read again from its text.
void ForgetOtherDpi(IImageLookup* images, TDrawSpec& descriptor)
{
    if (descriptor.parsed && descriptor.dpi != images->GetDpi())
    {
        const CUIString text = descriptor.drawString;
        descriptor.Clear();
        descriptor.drawString = text;
    }
}

}  // namespace

bool CRenderer::DrawImageSpec(HDC hDC, IImageLookup* images, const RECT& rcItem, const RECT& rcPaint,
                              TDrawSpec& descriptor)
{
    if (images == NULL)
        return true;
    ForgetOtherDpi(images, descriptor);
    if (descriptor.image == NULL && !LoadDescriptorImage(images, descriptor))
        return false;
    descriptor.source.right = std::min<LONG>(descriptor.source.right, descriptor.image->width);
    descriptor.source.bottom = std::min<LONG>(descriptor.source.bottom, descriptor.image->height);
    if (hDC == NULL)
        return true;
    RECT dest = ResolveDestination(descriptor.dest, rcItem);
    if (!Touches(dest, rcItem) || !Touches(dest, rcPaint))
        return true;
    DrawImage(hDC, descriptor.image->bitmap, dest, rcPaint, descriptor.source, descriptor.corner,
              descriptor.image->hasAlpha, descriptor.fade, descriptor.hole, descriptor.xtiled,
              descriptor.ytiled);
    return true;
}

void CRenderer::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcSource,
                          const RECT& rcCorner, bool alpha, BYTE fade, bool hole, bool xtiled, bool ytiled)
{
    if (hDC == NULL || hBitmap == NULL)
        return;
    CMemoryDC memDC(hDC);
    if (memDC.Get() == NULL)
        return;
    CSelectScope selectBitmap(memDC, hBitmap);
    SetStretchBltMode(hDC, COLORONCOLOR);

    CPieceBlitter blitter(hDC, memDC, alpha || fade < 255, fade);
    if (!blitter.IsBlending() && IsUnscaledCopy(rc, rcSource, rcCorner))
    {
        RECT visible;
        if (IntersectRect(&visible, &rc, &rcPaint))
            BitBlt(hDC, visible.left, visible.top, Width(visible), Height(visible), memDC,
                   rcSource.left + visible.left - rc.left, rcSource.top + visible.top - rc.top, SRCCOPY);
        return;
    }

    const int centreWidth = Width(rcSource) - rcCorner.left - rcCorner.right;
    const int centreHeight = Height(rcSource) - rcCorner.top - rcCorner.bottom;
    if (!hole)
    {
        RECT centreDst = MakeRect(rc.left + rcCorner.left, rc.top + rcCorner.top, rc.right - rcCorner.right,
                                  rc.bottom - rcCorner.bottom);
        RECT centreSrc =
            MakeRect(rcSource.left + rcCorner.left, rcSource.top + rcCorner.top,
                     rcSource.left + rcCorner.left + centreWidth, rcSource.top + rcCorner.top + centreHeight);
        if (Touches(centreDst, rcPaint))
            DrawCentre(blitter, centreDst, centreSrc, rcPaint, xtiled, ytiled);
    }
    DrawBorders(blitter, rc, rcPaint, rcSource, rcCorner, centreWidth, centreHeight);
}
