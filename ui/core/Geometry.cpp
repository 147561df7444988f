#include "ui/core/Geometry.h"

CUIRect::CUIRect()
{
    left = top = right = bottom = 0;
}

CUIRect::CUIRect(const RECT& src)
{
    left = src.left;
    top = src.top;
    right = src.right;
    bottom = src.bottom;
}

CUIRect::CUIRect(int iLeft, int iTop, int iRight, int iBottom)
{
    left = iLeft;
    top = iTop;
    right = iRight;
    bottom = iBottom;
}

int CUIRect::GetWidth() const
{
    return right - left;
}

int CUIRect::GetHeight() const
{
    return bottom - top;
}

bool CUIRect::IsNull() const
{
    return left == 0 && top == 0 && right == 0 && bottom == 0;
}

void CUIRect::Empty()
{
    left = top = right = bottom = 0;
}

void CUIRect::Join(const RECT& rc)
{
    if (rc.left < left)
        left = rc.left;
    if (rc.top < top)
        top = rc.top;
    if (rc.right > right)
        right = rc.right;
    if (rc.bottom > bottom)
        bottom = rc.bottom;
}

void CUIRect::Offset(int cx, int cy)
{
    left += cx;
    right += cx;
    top += cy;
    bottom += cy;
}

void CUIRect::ResetOffset()
{
    Offset(-left, -top);
}

CUISize::CUISize()
{
    cx = cy = 0;
}

CUISize::CUISize(const SIZE& src)
{
    cx = src.cx;
    cy = src.cy;
}

CUISize::CUISize(int iCx, int iCy)
{
    cx = iCx;
    cy = iCy;
}

CUIPoint::CUIPoint()
{
    x = y = 0;
}

CUIPoint::CUIPoint(const POINT& src)
{
    x = src.x;
    y = src.y;
}

CUIPoint::CUIPoint(int iX, int iY)
{
    x = iX;
    y = iY;
}
