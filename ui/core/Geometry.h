#pragma once

#include <windows.h>

// RECT-shaped rectangle; right and bottom are exclusive, as in the platform.
class CUIRect : public tagRECT
{
public:
    CUIRect();
    CUIRect(const RECT& src);
    CUIRect(int iLeft, int iTop, int iRight, int iBottom);

    int GetWidth() const;
    int GetHeight() const;
    bool IsNull() const;  // all four edges 0
    void Empty();
    // Grows to cover rc as well; empty rectangles are not special.
    void Join(const RECT& rc);
    void Offset(int cx, int cy);
    // Moves the rectangle so that left and top are 0, keeping its size.
    void ResetOffset();
};

class CUISize : public tagSIZE
{
public:
    CUISize();
    CUISize(const SIZE& src);
    CUISize(int cx, int cy);
};

class CUIPoint : public tagPOINT
{
public:
    CUIPoint();
    CUIPoint(const POINT& src);
    CUIPoint(int x, int y);
};
