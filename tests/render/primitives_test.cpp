#include <gtest/gtest.h>

#include <set>

#include "tests/support/Canvas.h"
#include "ui/render/Color.h"
#include "ui/render/MsImg32.h"
#include "ui/render/Renderer.h"

namespace
{

TEST(ColorValue, Syntax)
{
    struct TCase
    {
        const wchar_t* text;
        bool skipBlanks;
        DWORD value;
    } cases[] = {
        {L"#FFFF0000", false, 0xFFFF0000},
        {L"#FF0000", false, 0x00FF0000},  // six digits: alpha 0
        {L"80ff00ff", false, 0x80FF00FF},
        {L"#0x80FF0000", false, 0x80FF0000},
        {L"#  12", false, 0x12},  // blanks after the "#"
        {L"  #12", false, 0},     // ... but not before it, unless asked
        {L"  #12", true, 0x12},
        {L"#12zz34", false, 0x12},
        {L"#123456789", false, 0xFFFFFFFF},  // saturates
        {L"#", false, 0},
        {L"red", false, 0},
        {NULL, false, 0},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.text ? c.text : L"(null)") << " skip " << c.skipBlanks);
        EXPECT_EQ(ParseColorValue(c.text, c.skipBlanks), c.value);
    }
    EXPECT_EQ(ArgbToColorRef(0x80102030), RGB(0x10, 0x20, 0x30));
}

TEST(DrawColor, OpaqueTranslucentAndInvisibleFills)
{
    struct TCase
    {
        DWORD color;
        DWORD background;
        DWORD expected;
    } cases[] = {
        {0x00FF0000, 0xFFFFFFFF, 0xFFFFFF},  // alpha 0: nothing
        {0xFFFF0000, 0xFFFFFFFF, 0xFF0000},
        // destination × (1 − 128 ÷ 255) + channel × 128 ÷ 255, never past 255
        {0x80FF0000, 0xFFFFFFFF, 0xFF7F7F},
        {0x80FF0000, 0xFF000000, 0x800000},
        {0x80000000, 0xFFFFFFFF, 0x7F7F7F},  // a translucent black shadow
        {0x01FFFFFF, 0xFF000000, 0x010101},
        {0xFE204060, 0xFFFFFFFF, 0x214161},
    };
    const RECT rc = {2, 1, 8, 5};
    for (bool alphaBlendMissing : {false, true})
        for (const TCase& c : cases)
        {
            SCOPED_TRACE(testing::Message() << std::hex << c.color << " over " << c.background
                                            << (alphaBlendMissing ? " (fallback)" : ""));
            CMsImg32Missing missing(alphaBlendMissing, false);
            CCanvas canvas(10, 6, c.background);
            CRenderer::DrawColor(canvas.Dc(), rc, c.color);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 10; ++x)
                {
                    POINT pt = {x, y};
                    DWORD expected = PtInRect(&rc, pt) ? c.expected : (c.background & 0xFFFFFF);
                    ASSERT_TRUE(NearColor(canvas.Rgb(x, y), expected, 1))
                        << std::hex << canvas.Rgb(x, y) << " at " << std::dec << x << "," << y;
                }
        }
}

std::vector<DWORD> Row(const CCanvas& canvas, int y)
{
    std::vector<DWORD> row;
    for (int x = 0; x < canvas.Width(); ++x)
        row.push_back(canvas.Rgb(x, y));
    return row;
}

TEST(DrawGradient, RunsFromTheFirstColourToTheSecond)
{
    for (bool vertical : {false, true})
        for (bool gradientFillMissing : {false, true})
        {
            SCOPED_TRACE(testing::Message()
                         << (vertical ? "vertical" : "horizontal") << (gradientFillMissing ? ", bands" : ""));
            CMsImg32Missing missing(false, gradientFillMissing);
            const int length = 128;
            CCanvas canvas(vertical ? 3 : length, vertical ? length : 3, 0xFF808080);
            RECT rc = {0, 0, canvas.Width(), canvas.Height()};
            CRenderer::DrawGradient(canvas.Dc(), rc, 0xFF000000, 0xFF0000FF, vertical, 64);
            DWORD previous = 0;
            for (int i = 0; i < length; ++i)
            {
                DWORD here = vertical ? canvas.Rgb(1, i) : canvas.Rgb(i, 1);
                EXPECT_EQ(here & 0xFFFF00, 0u) << i;
                EXPECT_GE(here, previous) << i;
                previous = here;
            }
            EXPECT_LE(vertical ? canvas.Rgb(0, 0) : canvas.Rgb(0, 0), 4u);
            EXPECT_GE(vertical ? canvas.Rgb(0, length - 1) : canvas.Rgb(length - 1, 0), 0xFBu);
        }
}

TEST(DrawGradient, BandsWithoutGradientFill)
{
    CMsImg32Missing missing(false, true);
    struct TCase
    {
        int steps;
        int bands;
    } cases[] = {{0, 2}, {3, 2}, {4, 4}, {16, 16}, {31, 16}, {40, 32}, {64, 64}, {1000, 64}};
    const DWORD first = 0xFF0000FF, second = 0xFFFF8000;
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "steps " << c.steps);
        CCanvas canvas(100, 2, 0xFF123456);  // 100 does not divide by the band count
        RECT rc = {0, 0, 100, 2};
        CRenderer::DrawGradient(canvas.Dc(), rc, first, second, false, c.steps);
        std::vector<DWORD> row = Row(canvas, 0);
        EXPECT_EQ(std::set<DWORD>(row.begin(), row.end()).size(), static_cast<size_t>(c.bands));
        EXPECT_EQ(row.back(), second & 0xFFFFFF);  // band 0, at the right
        // band n − 1 at the left: (first × (n − 1) + second) ÷ n per channel
        const DWORD n = static_cast<DWORD>(c.bands);
        DWORD red = (0x00 * (n - 1) + 0xFF) / n, green = (0x00 * (n - 1) + 0x80) / n,
              blue = (0xFF * (n - 1) + 0x00) / n;
        EXPECT_EQ(row.front(), (red << 16) | (green << 8) | blue) << std::hex << row.front();
        EXPECT_EQ(row, Row(canvas, 1));
    }
}

TEST(DrawGradient, OpacityIsTheAverageAlphaAndBlendsOnce)
{
    struct TCase
    {
        DWORD first, second;
        DWORD expected;  // over white
    } cases[] = {
        // opacity (255 + 0) >> 1 = 127: white × 128 ÷ 255 + red × 127 ÷ 255
        {0xFFFF0000, 0x00FF0000, 0xFF8080},
        {0x00FF0000, 0x00FF0000, 0xFFFFFF},  // opacity 0: nothing
        {0x80000000, 0x80000000, 0x7F7F7F},
    };
    for (bool gradientFillMissing : {false, true})
        for (bool alphaBlendMissing : {false, true})
            for (const TCase& c : cases)
            {
                SCOPED_TRACE(testing::Message() << std::hex << c.first << "→" << c.second
                                                << (gradientFillMissing ? ", bands" : "")
                                                << (alphaBlendMissing ? ", blend fallback" : ""));
                CMsImg32Missing missing(alphaBlendMissing, gradientFillMissing);
                CCanvas canvas(20, 6, 0xFFFFFFFF);
                RECT rc = {2, 1, 18, 5};
                CRenderer::DrawGradient(canvas.Dc(), rc, c.first, c.second, false, 16);
                EXPECT_TRUE(NearColor(canvas.Rgb(10, 3), c.expected, 1)) << std::hex << canvas.Rgb(10, 3);
                EXPECT_TRUE(NearColor(canvas.Rgb(17, 4), c.expected, 1)) << std::hex << canvas.Rgb(17, 4);
                EXPECT_EQ(canvas.Rgb(1, 3), 0xFFFFFFu);
                EXPECT_EQ(canvas.Rgb(18, 3), 0xFFFFFFu);
            }
}

TEST(Outlines, LineRectangleAndRoundedRectangle)
{
    const DWORD kBlue = 0xFF0000FF;
    {
        CCanvas canvas(30, 10);
        RECT line = {2, 5, 20, 5};
        CRenderer::DrawLine(canvas.Dc(), line, 1, kBlue);
        EXPECT_EQ(canvas.Rgb(2, 5), 0x0000FFu);
        EXPECT_EQ(canvas.Rgb(19, 5), 0x0000FFu);
        EXPECT_EQ(canvas.Rgb(20, 5), 0xFFFFFFu);  // the end point is not drawn
        EXPECT_EQ(canvas.Rgb(10, 4), 0xFFFFFFu);
    }
    {
        // A 2-pixel frame inside the rectangle; the inside stays as it was.
        CCanvas canvas(40, 30);
        RECT rc = {10, 10, 30, 20};
        CRenderer::DrawRect(canvas.Dc(), rc, 2, kBlue);
        const POINT drawn[] = {{10, 10}, {11, 11}, {29, 19}, {28, 18}, {20, 10}, {10, 15}};
        const POINT untouched[] = {{12, 12}, {27, 17}, {20, 15}, {9, 9}, {30, 20}, {30, 15}};
        for (POINT pt : drawn)
            EXPECT_EQ(canvas.Rgb(pt.x, pt.y), 0x0000FFu) << pt.x << "," << pt.y;
        for (POINT pt : untouched)
            EXPECT_EQ(canvas.Rgb(pt.x, pt.y), 0xFFFFFFu) << pt.x << "," << pt.y;
    }
    {
        CCanvas canvas(40, 30);
        RECT rc = {10, 10, 30, 20};
        CRenderer::DrawRoundRect(canvas.Dc(), rc, 1, 8, 8, kBlue);
        EXPECT_EQ(canvas.Rgb(20, 10), 0x0000FFu);
        EXPECT_EQ(canvas.Rgb(10, 15), 0x0000FFu);
        EXPECT_EQ(canvas.Rgb(10, 10), 0xFFFFFFu);  // the corner is rounded off
        EXPECT_EQ(canvas.Rgb(20, 15), 0xFFFFFFu);
    }
}

TEST(Outlines, DashedStylesStillDraw)
{
    for (int style : {PS_DASH, PS_DOT, PS_DASHDOT})
    {
        SCOPED_TRACE(style);
        CCanvas canvas(60, 20);
        RECT rc = {0, 0, 60, 20};
        CRenderer::DrawRect(canvas.Dc(), rc, 1, 0xFF000000, style);
        int inked = 0, blank = 0;
        for (int x = 0; x < 60; ++x)
            (canvas.Rgb(x, 0) == 0 ? inked : blank) += 1;
        EXPECT_GT(inked, 0);
        EXPECT_GT(blank, 0);  // dashed, not solid
    }
}

TEST(CreateDib32, RowsRunBottomUp)
{
    CCanvas canvas(1, 1);
    LPBYTE bits = NULL;
    HBITMAP dib = CRenderer::CreateDib32(canvas.Dc(), 4, 3, &bits);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    reinterpret_cast<DWORD*>(bits)[0] = 0x00ABCDEF;  // first row in memory
    HDC dc = CreateCompatibleDC(canvas.Dc());
    HGDIOBJ old = SelectObject(dc, dib);
    EXPECT_EQ(GetPixel(dc, 0, 2), RGB(0xAB, 0xCD, 0xEF));  // is the bottom row
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);

    for (POINT size : {POINT{0, 3}, POINT{3, 0}, POINT{-1, 3}, POINT{0x10000, 0x10000}})
    {
        bits = reinterpret_cast<LPBYTE>(1);
        EXPECT_EQ(CRenderer::CreateDib32(canvas.Dc(), size.x, size.y, &bits), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
}

}  // namespace
