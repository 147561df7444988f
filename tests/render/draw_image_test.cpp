#include <gtest/gtest.h>

#include "tests/support/Canvas.h"
#include "tests/support/Images.h"
#include "ui/render/GdiScope.h"
#include "ui/render/MsImg32.h"
#include "ui/render/Renderer.h"

namespace
{

const DWORD kBackground = 0xFF123456;

DWORD Opaque(int red, int green, int blue)
{
    return 0xFF000000u | (static_cast<DWORD>(red) << 16) | (static_cast<DWORD>(green) << 8) | blue;
}

// Which of three parts a coordinate falls in, given the two inset widths.
int Part(int at, int extent, int before, int after)
{
    return at < before ? 0 : (at >= extent - after ? 2 : 1);
}

// A 30x30 nine-part picture with 10-pixel insets. Each part has its own blue;
// red encodes x inside the part where x is never stretched (left and right
// columns), green y where y is never stretched (top and bottom rows). A
// stretched or misplaced piece therefore shows as a wrong colour.
DWORD NinePart(int col, int row, int localX, int localY)
{
    int red = col == 1 ? 0 : localX * 25;
    int green = row == 1 ? 0 : localY * 25;
    return Opaque(red, green, 0x10 * (row * 3 + col) + 1);
}

DWORD NinePartSource(int x, int y)
{
    return NinePart(Part(x, 30, 10, 10), Part(y, 30, 10, 10), x % 10, y % 10);
}

struct TPathCase
{
    const char* name;
    bool alphaFlag;          // the blending path although every pixel is opaque
    bool alphaBlendMissing;  // the blending path through the fallback
};

const TPathCase kPaths[] = {
    {"opaque", false, false},
    {"blending", true, false},
    {"blending, fallback", true, true},
};

TEST(DrawImage, NinePartKeepsCornersAndStretchesEdgesAndCentre)
{
    TEntryPtr image = MakeImage(30, 30, NinePartSource);
    ASSERT_TRUE(image);
    const RECT rc = {5, 5, 105, 45};  // 100 × 40
    const RECT source = {0, 0, 30, 30};
    const RECT corner = {10, 10, 10, 10};
    for (const TPathCase& path : kPaths)
        for (bool hole : {false, true})
        {
            SCOPED_TRACE(testing::Message() << path.name << (hole ? ", hole" : ""));
            CMsImg32Missing missing(path.alphaBlendMissing, false);
            CCanvas canvas(110, 50, kBackground);
            CRenderer::DrawImage(canvas.Dc(), image->bitmap, rc, rc, source, corner, path.alphaFlag, 255,
                                 hole);
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 110; ++x)
                {
                    POINT pt = {x, y};
                    int lx = x - rc.left, ly = y - rc.top;
                    int col = Part(lx, 100, 10, 10), row = Part(ly, 40, 10, 10);
                    bool inside = PtInRect(&rc, pt) && !(hole && col == 1 && row == 1);
                    int localX = col == 2 ? lx - 90 : lx;  // unused in the middle column
                    int localY = row == 2 ? ly - 30 : ly;
                    DWORD expected = inside ? NinePart(col, row, localX, localY) : kBackground;
                    ASSERT_EQ(canvas.Rgb(x, y), expected & 0xFFFFFF) << x << "," << y;
                }
        }
}

TEST(DrawImage, TilesRepeatTheCentreAndCutTheLastTile)
{
    // 2-pixel corners around a 10x10 centre (or a centre as wide or tall as
    // its destination on the axis that is not tiled), every pixel distinct.
    auto coordinates = [](int x, int y) -> DWORD { return Opaque(x * 6, y * 6, 0x77); };
    struct TTileCase
    {
        const char* name;
        bool xtiled, ytiled;
        int centreWidth, centreHeight;  // of the source
    } cases[] = {
        {"x", true, false, 10, 25},
        {"y", false, true, 35, 10},
        {"both", true, true, 10, 10},
    };
    const RECT rc = {0, 0, 39, 29};  // centre destination 35 × 25: tiles 10, 10, 10, 5 across
    const RECT corner = {2, 2, 2, 2};
    for (const TTileCase& c : cases)
        for (const TPathCase& path : kPaths)
        {
            SCOPED_TRACE(testing::Message() << c.name << ", " << path.name);
            CMsImg32Missing missing(path.alphaBlendMissing, false);
            TEntryPtr image = MakeImage(c.centreWidth + 4, c.centreHeight + 4, coordinates);
            RECT source = {0, 0, image->width, image->height};
            CCanvas canvas(39, 29, kBackground);
            CRenderer::DrawImage(canvas.Dc(), image->bitmap, rc, rc, source, corner, path.alphaFlag, 255,
                                 false, c.xtiled, c.ytiled);
            for (int y = 2; y < 27; ++y)
                for (int x = 2; x < 37; ++x)
                {
                    int sx = 2 + (x - 2) % c.centreWidth;
                    int sy = 2 + (y - 2) % c.centreHeight;
                    ASSERT_EQ(canvas.Rgb(x, y), coordinates(sx, sy) & 0xFFFFFF) << x << "," << y;
                }
        }
}

TEST(DrawImage, CentreWithoutExtentIsNotDrawn)
{
    TEntryPtr image = MakeImage(30, 30, NinePartSource);
    const RECT source = {0, 0, 30, 30};
    const RECT rc = {0, 0, 100, 60};
    struct TCase
    {
        int inset;  // centre source 30 − 2·inset: 0 or negative
        POINT centre;
    } cases[] = {{15, {50, 30}}, {20, {50, 30}}};
    for (const TCase& c : cases)
        for (bool xtiled : {false, true})
            for (bool ytiled : {false, true})
            {
                SCOPED_TRACE(testing::Message() << "inset " << c.inset << " x " << xtiled << " y " << ytiled);
                CCanvas canvas(100, 60, kBackground);
                RECT corner = {c.inset, c.inset, c.inset, c.inset};
                CRenderer::DrawImage(canvas.Dc(), image->bitmap, rc, rc, source, corner, false, 255, false,
                                     xtiled, ytiled);
                EXPECT_EQ(canvas.Rgb(c.centre.x, c.centre.y), kBackground & 0xFFFFFF);
                EXPECT_EQ(canvas.Rgb(0, 0), NinePartSource(0, 0) & 0xFFFFFF);  // corners still drawn
                EXPECT_EQ(canvas.Rgb(99, 59), NinePartSource(29, 29) & 0xFFFFFF);
            }
}

TEST(DrawImage, UnscaledOpaqueImageCopiesOnlyThePaintArea)
{
    auto coordinates = [](int x, int y) -> DWORD { return Opaque(x * 10, y * 10, 0x55); };
    TEntryPtr image = MakeImage(20, 20, coordinates);
    const RECT rc = {10, 10, 30, 30};
    const RECT paint = {15, 12, 25, 40};
    const RECT source = {0, 0, 20, 20};
    const RECT noCorner = {};
    CCanvas canvas(40, 40, kBackground);
    CRenderer::DrawImage(canvas.Dc(), image->bitmap, rc, paint, source, noCorner, false);
    RECT drawn;
    IntersectRect(&drawn, &rc, &paint);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
        {
            POINT pt = {x, y};
            DWORD expected = PtInRect(&drawn, pt) ? coordinates(x - 10, y - 10) : kBackground;
            ASSERT_EQ(canvas.Rgb(x, y), expected & 0xFFFFFF) << x << "," << y;
        }
}

// Draws src (premultiplied) over a destination strip with AlphaBlend itself
// or with the fallback, and returns the strip.
std::vector<DWORD> BlendOnto(bool fallback, const TImageEntry& source, RECT src, int cx, int cy,
                             const std::vector<DWORD>& destination, BLENDFUNCTION blend)
{
    CCanvas canvas(cx, cy, 0);
    for (int i = 0; i < cx * cy; ++i)
        canvas.Set(i % cx, i / cx, destination[i % destination.size()]);
    CMemoryDC memDC(canvas.Dc());
    CSelectScope select(memDC, source.bitmap);
    SetStretchBltMode(canvas.Dc(), COLORONCOLOR);
    int sw = src.right - src.left, sh = src.bottom - src.top;
    if (fallback)
        EXPECT_TRUE(
            CRenderer::BlendFallback(canvas.Dc(), 0, 0, cx, cy, memDC, src.left, src.top, sw, sh, blend));
    else
        EXPECT_TRUE(
            CMsImg32::GetAlphaBlend()(canvas.Dc(), 0, 0, cx, cy, memDC, src.left, src.top, sw, sh, blend));
    std::vector<DWORD> out;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            out.push_back(canvas.At(x, y));
    return out;
}

TEST(MixColor, TruncatesTowardZeroWithinOneByte)
{
    struct TCase
    {
        BYTE source, destination;
        double sourceFactor, destinationFactor;
        BYTE expected;
    } cases[] = {
        {101, 0, 0.5, 0.0, 50},       // 50.5 drops its fraction
        {1, 0, 200 / 255.0, 0.0, 0},  // 0.78: below one step is nothing
        {255, 10, 1.0, 1.0, 255},     // more than a byte holds stays white
        {10, 0, -1.0, 0.0, 0},        // below zero stays black
        {0, 200, 0.0, 0.25, 50},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(int(CRenderer::MixColor(c.source, c.destination, c.sourceFactor, c.destinationFactor)),
                  int(c.expected))
            << int(c.source) << " x " << c.sourceFactor << " + " << int(c.destination) << " x "
            << c.destinationFactor;
}

TEST(MixColor, AChannelBlendedOverItselfKeepsItsValue)
{
    // The sum is a whole number; the error of binary fractions must not cost
    // it a step when the fraction is dropped.
    for (int constant = 0; constant < 256; ++constant)
    {
        const double factor = constant / 255.0;
        for (int channel = 0; channel < 256; ++channel)
            ASSERT_EQ(int(CRenderer::MixColor(BYTE(channel), BYTE(channel), factor, 1.0 - factor)), channel)
                << "constant " << constant << " channel " << channel;
    }
}

TEST(BlendFallback, ComposesAsAlphaBlendDoes)
{
    ASSERT_NE(CMsImg32::GetAlphaBlend(), nullptr);  // the reference
    // Straight colours of every kind of coverage; MakeImage premultiplies.
    const DWORD straight[] = {0xFFFF0000, 0x80FFFFFF, 0x00FFFFFF, 0x4020C0A0, 0xC0102030, 0xFF00FF00};
    TEntryPtr image = MakeImage(6, 1, [&](int x, int) { return straight[x]; });
    const std::vector<DWORD> destination = {0xFFFFFFFF, 0xFF000000, 0x80406080, 0x00FFFFFF, 0xFF7F7F7F};
    struct TCase
    {
        BYTE constant;
        BYTE format;
        RECT src;
        int cx, cy;
    } cases[] = {
        {255, AC_SRC_ALPHA, {0, 0, 6, 1}, 6, 1}, {128, AC_SRC_ALPHA, {0, 0, 6, 1}, 6, 1},
        {0, AC_SRC_ALPHA, {0, 0, 6, 1}, 6, 1},   {200, 0, {0, 0, 6, 1}, 6, 1},  // constant alpha only
        {255, AC_SRC_ALPHA, {1, 0, 3, 1}, 8, 3},                                // stretched
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "constant " << int(c.constant) << " format " << int(c.format)
                                        << " " << c.cx << "x" << c.cy);
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, c.constant, c.format};
        std::vector<DWORD> expected = BlendOnto(false, *image, c.src, c.cx, c.cy, destination, blend);
        std::vector<DWORD> actual = BlendOnto(true, *image, c.src, c.cx, c.cy, destination, blend);
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < actual.size(); ++i)
            EXPECT_TRUE(NearColor(actual[i], expected[i], 1, true))
                << i << ": " << std::hex << actual[i] << " vs " << expected[i];
    }
}

}  // namespace
