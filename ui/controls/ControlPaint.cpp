#include "ui/controls/Control.h"

#include "ui/render/ClipScope.h"
#include "ui/render/Color.h"
#include "ui/render/Renderer.h"

namespace
{
bool HasRoundCorners(const SIZE& round)
{
    return round.cx > 0 || round.cy > 0;
}

bool IsOpaque(DWORD color)
{
    return ColorAlpha(color) == 0xFF;
}

RECT VerticalLine(int x, int top, int bottom)
{
    RECT rc = {x, top, x, bottom};
    return rc;
}

RECT HorizontalLine(int y, int left, int right)
{
    RECT rc = {left, y, right, y};
    return rc;
}

// Opaque white for a dark colour, opaque black for a light one (perceived
// brightness with the usual weights of red, green and blue, out of 255).
DWORD ContrastingColor(DWORD color)
{
    const unsigned brightness =
        (ColorRed(color) * 299u + ColorGreen(color) * 587u + ColorBlue(color) * 114u) / 1000;
    return brightness < 128 ? 0xFFFFFFFF : 0xFF000000;
}
}  // namespace

// ---- Looks ----

void CControlUI::SetBkColor(DWORD dwColor)
{
    if (bkColor != dwColor)
        SetAndInvalidate(bkColor, dwColor);
}

void CControlUI::SetBkColor2(DWORD dwColor)
{
    if (bkColor2 != dwColor)
        SetAndInvalidate(bkColor2, dwColor);
}

void CControlUI::SetBkColor3(DWORD dwColor)
{
    if (bkColor3 != dwColor)
        SetAndInvalidate(bkColor3, dwColor);
}

void CControlUI::SetBorderColor(DWORD dwColor)
{
    if (borderColor != dwColor)
        SetAndInvalidate(borderColor, dwColor);
}

void CControlUI::SetFocusBorderColor(DWORD dwColor)
{
    if (focusBorderColor != dwColor)
        SetAndInvalidate(focusBorderColor, dwColor);
}

void CControlUI::SetColorHSL(bool bColorHSL)
{
    if (colorHsl != bColorHSL)
        SetAndInvalidate(colorHsl, bColorHSL);
}

void CControlUI::SetBorderSize(int nSize)
{
    SetBorderSize(CUIRect(nSize, nSize, nSize, nSize));
}

void CControlUI::SetBorderSize(RECT rc)
{
    SetAndInvalidate<RECT>(borderSize, rc);
}

void CControlUI::SetBorderStyle(int nStyle)
{
    SetAndInvalidate(borderStyle, nStyle);
}

void CControlUI::SetBorderRound(SIZE cxyRound)
{
    borderRound.cx = cxyRound.cx > 0 ? cxyRound.cx : 0;
    borderRound.cy = cxyRound.cy > 0 ? cxyRound.cy : 0;
    Invalidate();
}

void CControlUI::ReplaceImage(TDrawSpec& descriptor, LPCWSTR pStrImage)
{
    if (descriptor.Assign(pStrImage))
        Invalidate();
}

void CControlUI::SetBkImage(LPCWSTR pStrImage)
{
    // Most controls never have a background image: its record is made for
    // the first one, and no record draws as an empty one.
    if (bkImage == NULL)
    {
        if (pStrImage == NULL || *pStrImage == L'\0')
        {
            Invalidate();
            return;
        }
        bkImage.reset(new TDrawSpec);
    }
    if (!bkImage->Assign(pStrImage))
        return;
    DrawImage(NULL, *bkImage);
    // A float control placed by "pos" without a size takes the picture's.
    if (isFloat && fixedWidth == 0 && fixedHeight == 0 && bkImage->image != NULL)
    {
        SetFixedWidth(bkImage->image->width);
        SetFixedHeight(bkImage->image->height);
    }
    Invalidate();
}

bool CControlUI::DrawImage(HDC hDC, TDrawSpec& descriptor)
{
    return CRenderer::DrawImageSpec(hDC, manager, itemRect, paintRect, descriptor);
}

// ---- Painting ----

bool CControlUI::Paint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    if (pStopControl == this)
        return false;
    RECT visiblePart;
    if (!::IntersectRect(&visiblePart, &rcPaint, &itemRect))
        return true;
    paintRect = visiblePart;
    if (paintHandlers.HasDelegates() && !paintHandlers(this))
        return true;
    if (!PaintContent(hDC, rcPaint, pStopControl))
        return false;
    // Over the children too: a container's frame must not hide under its rows.
    if (NeedsFocusFrame())
        PaintFocusFrame(hDC);
    if (cover != NULL)
        return cover->Paint(hDC, rcPaint, NULL);
    return true;
}

bool CControlUI::PaintContent(HDC hDC, const RECT&, CControlUI*)
{
    CClipScope roundClip;
    if (HasRoundCorners(borderRound))
        CClipScope::ClipRoundRect(hDC, paintRect, itemRect, borderRound.cx, borderRound.cy, roundClip);
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
    return true;
}

void CControlUI::PaintBkColor(HDC hDC)
{
    if (bkColor == 0)
        return;
    if (bkColor2 == 0)
    {
        CRenderer::DrawColor(hDC, IsOpaque(bkColor) ? paintRect : itemRect, bkColor);
        return;
    }
    if (bkColor3 == 0)
    {
        CRenderer::DrawGradient(hDC, itemRect, bkColor, bkColor2, true, 16);
        return;
    }
    RECT upper = itemRect;
    upper.bottom = (itemRect.top + itemRect.bottom) / 2;
    RECT lower = itemRect;
    lower.top = upper.bottom;
    CRenderer::DrawGradient(hDC, upper, bkColor, bkColor2, true, 8);
    CRenderer::DrawGradient(hDC, lower, bkColor2, bkColor3, true, 8);
}

void CControlUI::PaintBkImage(HDC hDC)
{
    if (bkImage != NULL)
        DrawImage(hDC, *bkImage);
}

void CControlUI::PaintStatusImage(HDC)
{
}
void CControlUI::PaintText(HDC)
{
}

// A control that lost its enabled state keeps the focus but no longer takes
// keys, so it shows no focus either.
bool CControlUI::NeedsFocusFrame()
{
    return IsFocused() && IsEnabled() && (GetFlags() & FlagTabStop) != 0 && !HasFocusedLook();
}

// A dotted frame just inside the control: dots in the window's text colour on
// a line of the opposite brightness, so that it shows on light and dark
// backgrounds alike.
void CControlUI::PaintFocusFrame(HDC hDC)
{
    const int inset = itemRect.right - itemRect.left > 8 && itemRect.bottom - itemRect.top > 8 ? 2 : 0;
    CUIRect frame = itemRect;
    ::InflateRect(&frame, -inset, -inset);
    DrawFocusFrame(hDC, frame, manager != NULL ? manager->GetDefaultFontColor() : 0);
}

void DrawFocusFrame(HDC hDC, const RECT& frame, DWORD dotColor)
{
    if (dotColor == 0)
        dotColor = 0xFF000000;
    CRenderer::DrawRect(hDC, frame, 1, ContrastingColor(dotColor), PS_SOLID);
    const int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    CRenderer::DrawRect(hDC, frame, 1, dotColor, PS_DOT);
    ::SetBkMode(hDC, oldMode);
}

void CControlUI::PaintBorder(HDC hDC)
{
    // The left width decides whether there is a border at all.
    const int wl = borderSize.left;
    if (wl <= 0 || (borderColor == 0 && focusBorderColor == 0))
        return;
    const DWORD color = IsFocused() && focusBorderColor != 0 ? focusBorderColor : borderColor;
    if (HasRoundCorners(borderRound))
    {
        CRenderer::DrawRoundRect(hDC, itemRect, wl, borderRound.cx, borderRound.cy, color, borderStyle);
        return;
    }
    const int wt = borderSize.top;
    const int wr = borderSize.right;
    const int wb = borderSize.bottom;
    if (wt == wl && wr == wl && wb == wl)
    {
        CRenderer::DrawRect(hDC, itemRect, wl, color, borderStyle);
        return;
    }
    // A line of width w centred on c covers c - w / 2 to c + (w - 1) / 2.
    // Right and bottom are exclusive edges: centring on edge - w / 2 would put
    // odd widths one pixel outside the control, onto its neighbour and
    // outside what a repaint of the control covers.
    const RECT& rc = itemRect;
    CRenderer::DrawLine(hDC, VerticalLine(rc.left + wl / 2, rc.top, rc.bottom), wl, color, borderStyle);
    if (wt > 0)
        CRenderer::DrawLine(hDC, HorizontalLine(rc.top + wt / 2, rc.left + wl, rc.right - wr), wt, color,
                            borderStyle);
    if (wr > 0)
        CRenderer::DrawLine(hDC, VerticalLine(rc.right - (wr + 1) / 2, rc.top, rc.bottom), wr, color,
                            borderStyle);
    if (wb > 0)
        CRenderer::DrawLine(hDC, HorizontalLine(rc.bottom - (wb + 1) / 2, rc.left + wl, rc.right - wr), wb,
                            color, borderStyle);
}
