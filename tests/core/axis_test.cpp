#include <gtest/gtest.h>

#include <limits.h>

#include "ui/core/Axis.h"
#include "ui/core/Numeric.h"

TEST(Numeric, SaturateIntKeepsIntsAndStopsAtTheEnds)
{
    struct Case
    {
        long long value;
        int expected;
    };
    const Case cases[] = {
        {0, 0},
        {-5, -5},
        {INT_MAX, INT_MAX},
        {static_cast<long long>(INT_MAX) + 1, INT_MAX},
        {static_cast<long long>(INT_MAX) * 3, INT_MAX},
        {INT_MIN, INT_MIN},
        {static_cast<long long>(INT_MIN) - 1, INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, SaturateInt(c.value)) << c.value;
}

TEST(Numeric, ClampKeepsTheValueInsideAndLetsTheLowerLimitWin)
{
    EXPECT_EQ(5, Clamp(5, 0, 10));
    EXPECT_EQ(0, Clamp(-3, 0, 10));
    EXPECT_EQ(10, Clamp(12, 0, 10));
    // A minimum above the maximum: the minimum counts.
    EXPECT_EQ(20, Clamp(5, 20, 10));
    EXPECT_EQ(20, Clamp(15, 20, 10));
    // The value's type decides: bounds given as ints do not narrow the value first.
    EXPECT_EQ(static_cast<long long>(INT_MAX), Clamp(5000000000LL, 0, INT_MAX));
    EXPECT_EQ(-1LL, Clamp(-1LL, INT_MIN, INT_MAX));
    EXPECT_DOUBLE_EQ(static_cast<double>(INT_MAX), Clamp(1e12, INT_MIN, INT_MAX));
}

TEST(Numeric, MinAndMaxWidenAnIntRatherThanCutTheSumDown)
{
    const long long big = 5000000000LL;
    EXPECT_EQ(big, Max(0, big));
    EXPECT_EQ(0LL, Min(0, big));
    EXPECT_EQ(-big, Min(big, -big));
    EXPECT_EQ(3, Max(3, -7));
}

TEST(Axis, MainAndCrossSwapWithTheDirection)
{
    const RECT rc = {1, 2, 11, 32};
    const CUIAxis h = CUIAxis::Horizontal();
    const CUIAxis v = CUIAxis::Vertical();
    EXPECT_EQ(1, h.MainStart(rc));
    EXPECT_EQ(11, h.MainEnd(rc));
    EXPECT_EQ(2, h.CrossStart(rc));
    EXPECT_EQ(30, h.CrossLength(rc));
    EXPECT_EQ(2, v.MainStart(rc));
    EXPECT_EQ(32, v.MainEnd(rc));
    EXPECT_EQ(1, v.CrossStart(rc));
    EXPECT_EQ(10, v.CrossLength(rc));

    const RECT made = v.MakeRect(2, 32, 1, 11);
    EXPECT_TRUE(::EqualRect(&made, &rc));
    const SIZE size = h.MakeSize(7, 9);
    EXPECT_EQ(7, size.cx);
    EXPECT_EQ(9, size.cy);
    EXPECT_EQ(9, v.Main(size));
    EXPECT_FALSE(h.Across().IsHorizontal());
}

TEST(Axis, MakeRectSaturatesInsteadOfWrapping)
{
    const RECT rc =
        CUIAxis::Horizontal().MakeRect(0, static_cast<long long>(INT_MAX) + 10, -1, -2LL * INT_MAX);
    EXPECT_EQ(INT_MAX, rc.right);
    EXPECT_EQ(INT_MIN, rc.bottom);
}

TEST(Axis, AlignReadsChildAlignAlongXAndChildVAlignAlongY)
{
    struct Case
    {
        bool horizontal;
        int childAlign;
        int childVAlign;
        AxisAlign expected;
    };
    const Case cases[] = {
        {true, ChildAlignLeft, ChildAlignBottom, AlignStart},
        {true, ChildAlignCenter, ChildAlignTop, AlignMiddle},
        {true, ChildAlignRight, ChildAlignTop, AlignEnd},
        {true, 7, ChildAlignBottom, AlignStart},
        {false, ChildAlignRight, ChildAlignTop, AlignStart},
        {false, ChildAlignLeft, ChildAlignVCenter, AlignMiddle},
        {false, ChildAlignCenter, ChildAlignBottom, AlignEnd},
        // The horizontal value 1 means nothing along y.
        {false, ChildAlignLeft, ChildAlignCenter, AlignStart},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CUIAxis(c.horizontal).Align(c.childAlign, c.childVAlign))
            << c.horizontal << " " << c.childAlign << " " << c.childVAlign;
}
