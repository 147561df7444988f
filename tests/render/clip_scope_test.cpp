#include <gtest/gtest.h>

#include "tests/support/Canvas.h"
#include "ui/render/ClipScope.h"

namespace
{

// Paints the whole canvas black through whatever clip the DC has.
void FillAll(const CCanvas& canvas)
{
    RECT all = {0, 0, canvas.Width(), canvas.Height()};
    FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

RECT ClipBox(HDC dc)
{
    RECT box = {};
    GetClipBox(dc, &box);
    return box;
}

bool HasClipRegion(HDC dc)
{
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    int answer = GetClipRgn(dc, probe);
    DeleteObject(probe);
    return answer == 1;
}

bool Painted(const CCanvas& canvas, int x, int y)
{
    return canvas.Rgb(x, y) == 0;
}

TEST(ClipScope, NestedRectanglesNarrowAndRestore)
{
    CCanvas canvas(100, 60);
    HDC dc = canvas.Dc();
    const RECT outerRect = {10, 10, 60, 50};
    {
        CClipScope outer;
        CClipScope::ClipRect(dc, outerRect, outer);
        EXPECT_TRUE(EqualRect(&outer.rect, &outerRect));
        {
            CClipScope inner;
            CClipScope::ClipRect(dc, RECT{40, 0, 90, 30}, inner);
            RECT both = {40, 10, 60, 30};
            RECT box = ClipBox(dc);
            EXPECT_TRUE(EqualRect(&box, &both));
            FillAll(canvas);
        }
        RECT box = ClipBox(dc);
        EXPECT_TRUE(EqualRect(&box, &outerRect));
    }
    EXPECT_FALSE(HasClipRegion(dc));  // the DC had none before
    EXPECT_TRUE(Painted(canvas, 40, 10));
    EXPECT_TRUE(Painted(canvas, 59, 29));
    EXPECT_FALSE(Painted(canvas, 39, 20));
    EXPECT_FALSE(Painted(canvas, 60, 20));
    EXPECT_FALSE(Painted(canvas, 50, 30));
    EXPECT_FALSE(Painted(canvas, 50, 5));
}

TEST(ClipScope, RoundedScopeClipsCornersAndSurvivesANestedScope)
{
    CCanvas canvas(100, 50);
    HDC dc = canvas.Dc();
    const RECT item = {0, 0, 100, 50};
    {
        CClipScope rounded;
        CClipScope::ClipRoundRect(dc, item, item, 10, 10, rounded);
        {
            CClipScope child;
            CClipScope::ClipRect(dc, RECT{0, 0, 50, 50}, child);
            FillAll(canvas);
            EXPECT_FALSE(Painted(canvas, 0, 0));  // the child is still inside the rounded corners
            EXPECT_FALSE(Painted(canvas, 60, 25));
        }
        // Back to the rounded clip, not to its bounding box.
        canvas.Fill(0xFFFFFFFF);
        FillAll(canvas);
        EXPECT_FALSE(Painted(canvas, 0, 0));
        EXPECT_FALSE(Painted(canvas, 99, 0));
        EXPECT_FALSE(Painted(canvas, 0, 49));
        EXPECT_FALSE(Painted(canvas, 99, 49));
        EXPECT_TRUE(Painted(canvas, 50, 25));
        EXPECT_TRUE(Painted(canvas, 0, 25));
        EXPECT_TRUE(Painted(canvas, 99, 25));
        EXPECT_TRUE(Painted(canvas, 50, 0));
        EXPECT_TRUE(Painted(canvas, 50, 49));
    }
    EXPECT_FALSE(HasClipRegion(dc));
}

TEST(ClipScope, OldAndNewClipAndAPreviousRegionComeBackExactly)
{
    CCanvas canvas(60, 60);
    HDC dc = canvas.Dc();
    HRGN before = CreateEllipticRgn(0, 0, 60, 60);
    SelectClipRgn(dc, before);
    {
        CClipScope scope;
        CClipScope::ClipRect(dc, RECT{20, 20, 40, 40}, scope);
        CClipScope::UseOldClip(dc, scope);
        FillAll(canvas);
        EXPECT_TRUE(Painted(canvas, 5, 30));  // the old clip: the ellipse
        EXPECT_FALSE(Painted(canvas, 1, 1));
        canvas.Fill(0xFFFFFFFF);
        CClipScope::UseNewClip(dc, scope);
        FillAll(canvas);
        EXPECT_FALSE(Painted(canvas, 5, 30));
        EXPECT_TRUE(Painted(canvas, 30, 30));
    }
    HRGN after = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetClipRgn(dc, after), 1);
    EXPECT_TRUE(EqualRgn(after, before));
    DeleteObject(after);
    DeleteObject(before);
}

}  // namespace
