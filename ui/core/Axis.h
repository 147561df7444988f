#pragma once
// One routine serves both directions of a two-axis job (box layouts, scroll
// bars, container scrolling) by asking an axis for sizes along it ("main")
// and across it ("cross"); only the axis knows which of x and y that is.

#include <windows.h>

#include "ui/core/Geometry.h"
#include "ui/core/Numeric.h"

// Where something sits along an axis.
enum AxisAlign
{
    AlignStart,
    AlignMiddle,
    AlignEnd
};

// A container's childalign values; they are the DrawText bits of the same names.
enum ChildAlign
{
    ChildAlignLeft = 0,
    ChildAlignCenter = 1,
    ChildAlignRight = 2
};

// A container's childvalign values; DrawText bits as well.
enum ChildVAlign
{
    ChildAlignTop = 0,
    ChildAlignVCenter = 4,
    ChildAlignBottom = 8
};

class CUIAxis
{
public:
    explicit CUIAxis(bool horizontal) : h(horizontal) {}
    static CUIAxis Horizontal() { return CUIAxis(true); }
    static CUIAxis Vertical() { return CUIAxis(false); }

    bool IsHorizontal() const { return h; }
    CUIAxis Across() const { return CUIAxis(!h); }

    int Main(const SIZE& sz) const { return h ? sz.cx : sz.cy; }
    LONG& Main(SIZE& sz) const { return h ? sz.cx : sz.cy; }
    int Cross(const SIZE& sz) const { return h ? sz.cy : sz.cx; }
    SIZE MakeSize(long long main, long long cross) const
    {
        return h ? CUISize(SaturateInt(main), SaturateInt(cross))
                 : CUISize(SaturateInt(cross), SaturateInt(main));
    }

    int MainStart(const RECT& rc) const { return h ? rc.left : rc.top; }
    int MainEnd(const RECT& rc) const { return h ? rc.right : rc.bottom; }
    int CrossStart(const RECT& rc) const { return h ? rc.top : rc.left; }
    int CrossEnd(const RECT& rc) const { return h ? rc.bottom : rc.right; }
    long long MainLength(const RECT& rc) const { return static_cast<long long>(MainEnd(rc)) - MainStart(rc); }
    long long CrossLength(const RECT& rc) const
    {
        return static_cast<long long>(CrossEnd(rc)) - CrossStart(rc);
    }
    RECT MakeRect(long long mainStart, long long mainEnd, long long crossStart, long long crossEnd) const
    {
        if (h)
            return CUIRect(SaturateInt(mainStart), SaturateInt(crossStart), SaturateInt(mainEnd),
                           SaturateInt(crossEnd));
        return CUIRect(SaturateInt(crossStart), SaturateInt(mainStart), SaturateInt(crossEnd),
                       SaturateInt(mainEnd));
    }

    int Of(POINT pt) const { return h ? pt.x : pt.y; }

    // The alignment along this axis out of a container's pair of alignment
    // values: childalign runs along x, childvalign along y. Unknown values
    // align to the start.
    AxisAlign Align(int childAlign, int childVAlign) const
    {
        if (h)
            return childAlign == ChildAlignCenter  ? AlignMiddle
                   : childAlign == ChildAlignRight ? AlignEnd
                                                   : AlignStart;
        return childVAlign == ChildAlignVCenter  ? AlignMiddle
               : childVAlign == ChildAlignBottom ? AlignEnd
                                                 : AlignStart;
    }

private:
    bool h;
};
