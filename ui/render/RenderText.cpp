#include "ui/render/GdiScope.h"
#include "ui/render/Renderer.h"
#include "ui/render/TaggedText.h"

namespace
{

COLORREF ToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}
}  // namespace

void CGdiTextCanvas::SelectFont(const TFontEntry& font)
{
    if (font.font != NULL)
        SelectObject(m_hDC, font.font);
}

int CGdiTextCanvas::MeasureText(LPCWSTR text, int length)
{
    SIZE size = {0, 0};
    return GetTextExtentPoint32W(m_hDC, text, length, &size) ? size.cx : 0;
}

int CGdiTextCanvas::SpaceTrailingWidth()
{
    ABC abc;
    return GetCharABCWidthsW(m_hDC, L' ', L' ', &abc) ? abc.abcC : 0;
}

void CGdiTextCanvas::SetTextColor(DWORD argb)
{
    ::SetTextColor(m_hDC, ToColorRef(argb));
}

void CGdiTextCanvas::SetOpaqueBackground(bool opaque)
{
    SetBkMode(m_hDC, opaque ? OPAQUE : TRANSPARENT);
}

void CGdiTextCanvas::DrawRun(int x, int y, LPCWSTR text, int length)
{
    TextOutW(m_hDC, x, y, text, length);
}

void CGdiTextCanvas::DrawImage(const TImageEntry& image, const RECT& dest, const RECT& source)
{
    static const RECT noCorners = {0, 0, 0, 0};
    CRenderer::DrawImage(m_hDC, image.bitmap, dest, dest, source, noCorners, image.hasAlpha);
}

void CRenderer::DrawText(HDC hDC, ITextResources* resources, RECT& rc, LPCWSTR pstrText, DWORD dwTextColor,
                         int iFont, UINT uStyle)
{
    if (pstrText == NULL || resources == NULL)
        return;
    CUIString text(pstrText);
    resources->ResolveTextTokens(text);
    SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ToColorRef(dwTextColor));
    CSelectScope font(hDC, resources->GetFont(iFont));
    ::DrawTextW(hDC, text, -1, &rc, uStyle | DT_NOPREFIX);
}

void CRenderer::DrawMarkupText(HDC hDC, ITextResources* resources, RECT& rc, LPCWSTR pstrText,
                               DWORD dwTextColor, RECT* prcLinks, CUIString* sLinks, int& nLinkRects,
                               int iFont, UINT uStyle)
{
    TTextLinks links(prcLinks, sLinks, nLinkRects);
    nLinkRects = 0;
    if (pstrText == NULL || resources == NULL)
        return;
    CSavedDC saved(hDC);
    if ((uStyle & DT_CALCRECT) == 0)
        IntersectClipRect(hDC, rc.left, rc.top, rc.right, rc.bottom);
    CUIString text(pstrText);
    resources->ResolveTextTokens(text);
    SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ToColorRef(dwTextColor));
    SetBkColor(hDC, ToColorRef(resources->GetDefaultSelectedBkColor()));
    CGdiTextCanvas canvas(hDC);
    LayoutTaggedText(*resources, canvas, rc, text, dwTextColor, links, iFont, uStyle);
    nLinkRects = links.count;
}
