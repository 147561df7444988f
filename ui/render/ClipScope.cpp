#include "ui/render/ClipScope.h"

#include "ui/render/DirectDraw.h"

CClipScope::CClipScope() : dc(NULL), newRgn(NULL), oldRgn(NULL)
{
}

CClipScope::~CClipScope()
{
    End();
}

bool CClipScope::Begin(HDC hDC, const RECT& rc)
{
    End();
    if (hDC == NULL)
        return false;
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    if (current == NULL)
        return false;
    // GetClipRgn answers 1 with a copy of the region, 0 when there is none.
    if (GetClipRgn(hDC, current) != 1)
    {
        DeleteObject(current);
        current = NULL;
    }
    newRgn = CreateRectRgnIndirect(&rc);
    if (newRgn == NULL)
    {
        if (current != NULL)
            DeleteObject(current);
        return false;
    }
    oldRgn = current;
    dc = hDC;
    rect = rc;
    return true;
}

void CClipScope::SelectOld() const
{
    // A null region removes the clip region altogether.
    SelectClipRgn(dc, oldRgn);
    ForgetDirectClip(dc);
}

void CClipScope::End()
{
    if (dc != NULL)
        SelectOld();
    if (newRgn != NULL)
        DeleteObject(newRgn);
    if (oldRgn != NULL)
        DeleteObject(oldRgn);
    dc = NULL;
    newRgn = NULL;
    oldRgn = NULL;
}

void CClipScope::ClipRect(HDC hDC, const RECT& rc, CClipScope& scope)
{
    if (!scope.Begin(hDC, rc))
        return;
    if (scope.oldRgn != NULL)
        CombineRgn(scope.newRgn, scope.newRgn, scope.oldRgn, RGN_AND);
    SelectClipRgn(hDC, scope.newRgn);
    ForgetDirectClip(hDC);
}

void CClipScope::ClipRoundRect(HDC hDC, const RECT& rc, const RECT& rcItem, int width, int height,
                               CClipScope& scope)
{
    if (!scope.Begin(hDC, rc))
        return;
    // The rounded region's right and bottom are exclusive one pixel early.
    HRGN rounded =
        CreateRoundRectRgn(rcItem.left, rcItem.top, rcItem.right + 1, rcItem.bottom + 1, width, height);
    if (rounded != NULL)
    {
        CombineRgn(scope.newRgn, scope.newRgn, rounded, RGN_AND);
        DeleteObject(rounded);
    }
    if (scope.oldRgn != NULL)
        CombineRgn(scope.newRgn, scope.newRgn, scope.oldRgn, RGN_AND);
    SelectClipRgn(hDC, scope.newRgn);
    ForgetDirectClip(hDC);
}

void CClipScope::UseOldClip(HDC hDC, CClipScope& scope)
{
    if (hDC == NULL || hDC != scope.dc)
        return;
    scope.SelectOld();
}

void CClipScope::UseNewClip(HDC hDC, CClipScope& scope)
{
    if (hDC == NULL || hDC != scope.dc)
        return;
    SelectClipRgn(hDC, scope.newRgn);
    ForgetDirectClip(hDC);
}
