// Text drawing with real fonts on a 32-bit DIB: what only GDI can show
// (extents, pixels, the DC's state). Expected sizes come from the fonts'
// own measurements, never from fixed numbers.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/Canvas.h"
#include "tests/support/Rects.h"
#include "tests/support/text_support.h"
#include "ui/render/Renderer.h"
#include "ui/render/TaggedText.h"

namespace
{

const DWORD kRed = 0xFFFF0000;

class TextOnDib : public ::testing::Test
{
protected:
    TextOnDib() : res(true), canvas(200, 100) { font = res.AddSkinFont(0, L"Tahoma", 13); }

    int Extent(HFONT hFont, LPCWSTR text)
    {
        HGDIOBJ old = SelectObject(canvas.Dc(), hFont);
        SIZE size = {0, 0};
        GetTextExtentPoint32W(canvas.Dc(), text, lstrlenW(text), &size);
        SelectObject(canvas.Dc(), old);
        return size.cx;
    }

    int LineHeight(int id = 0) { return res.GetFontInfo(id)->LineHeight(); }

    // Pixels of exactly rgb: how many, and whether all lie inside rc.
    int CountPixels(DWORD rgb, const RECT* inside = NULL, bool* allInside = NULL)
    {
        int count = 0;
        if (allInside != NULL)
            *allInside = true;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x)
                if (canvas.Rgb(x, y) == rgb)
                {
                    ++count;
                    POINT pt = {x, y};
                    if (inside != NULL && allInside != NULL && !PtInRect(inside, pt))
                        *allInside = false;
                }
        return count;
    }

    RECT MeasureMarkup(LPCWSTR text, RECT rc, UINT style = 0)
    {
        int count = 0;
        CRenderer::DrawMarkupText(canvas.Dc(), &res, rc, text, kRed, NULL, NULL, count, 0,
                                  style | DT_CALCRECT);
        return rc;
    }

    CTestTextResources res;
    CCanvas canvas;
    HFONT font;
};

TEST_F(TextOnDib, PlainTextMeasuresWithTheIndexedFontAndNoPrefixes)
{
    RECT rc = Rect(10, 10, 200, 100);
    CRenderer::DrawText(canvas.Dc(), &res, rc, L"&Hello", kRed, 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(Extent(font, L"&Hello"), rc.right - rc.left);
    EXPECT_EQ(LineHeight(), rc.bottom - rc.top);

    res.SetLanguageString(L"%{1}", L"Hello");
    rc = Rect(10, 10, 200, 100);
    CRenderer::DrawText(canvas.Dc(), &res, rc, L"%{1}", kRed, 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(Extent(font, L"Hello"), rc.right - rc.left) << "language tokens are resolved first";
}

TEST_F(TextOnDib, PlainEmptyTextMeasuresNothingWideAndNullTextNothingAtAll)
{
    RECT rc = Rect(10, 10, 200, 100);
    CRenderer::DrawText(canvas.Dc(), &res, rc, L"", kRed, 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(10, rc.right);

    rc = Rect(10, 10, 200, 100);
    CRenderer::DrawText(canvas.Dc(), &res, rc, NULL, kRed, 0, DT_SINGLELINE | DT_CALCRECT);
    CRenderer::DrawText(canvas.Dc(), static_cast<ITextResources*>(NULL), rc, L"Hello", kRed, 0,
                        DT_SINGLELINE | DT_CALCRECT);
    CRenderer::DrawText(canvas.Dc(), static_cast<ITextResources*>(NULL), rc, L"Hello", kRed, 0,
                        DT_SINGLELINE);
    EXPECT_EQ(200, rc.right);
    EXPECT_EQ(0, CountPixels(0xFF0000));
}

TEST_F(TextOnDib, PlainTextDrawsInTheColourInsideItsRectangle)
{
    RECT rc = Rect(10, 10, 40, 30);
    CRenderer::DrawText(canvas.Dc(), &res, rc, L"WWWWWWWWWW", kRed, 0, DT_SINGLELINE);
    bool inside = false;
    EXPECT_GT(CountPixels(0xFF0000, &rc, &inside), 0);
    EXPECT_TRUE(inside);
}

TEST_F(TextOnDib, MarkupMeasuresWithTheVariantFonts)
{
    RECT rc = MeasureMarkup(L"Hello {b}World{/b}", Rect(0, 0, 1000, 100));
    HFONT bold = res.FindFont(L"Tahoma", 13, true, false, false);
    ASSERT_TRUE(bold != NULL) << "the bold variant was registered";
    EXPECT_EQ(Extent(font, L"Hello ") + Extent(bold, L"World"), rc.right);
    EXPECT_GT(Extent(bold, L"World"), Extent(font, L"World"));
    EXPECT_EQ(LineHeight(), rc.bottom);

    res.AddSkinFont(1, L"Tahoma", 24);
    rc = MeasureMarkup(L"a{f 1}b{/f}", Rect(0, 0, 1000, 100));
    EXPECT_EQ(LineHeight(1), rc.bottom) << "the line is as tall as its tallest font";
}

TEST_F(TextOnDib, MarkupDrawsOnlyInsideAndGivesTheDcBack)
{
    HGDIOBJ fontBefore = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    COLORREF colorBefore = GetTextColor(canvas.Dc());
    RECT rc = Rect(10, 10, 40, 30);
    RECT drawn = rc;
    RECT links[2];
    CUIString texts[2];
    int count = 2;
    CRenderer::DrawMarkupText(canvas.Dc(), &res, drawn, L"{c #FF0000}W{s}WWWWWWWW\nWWWWWWWWWW\nWWWW{/s}",
                              0xFF000000, links, texts, count, 0, DT_WORDBREAK);
    EXPECT_EQ(0, count);
    bool inside = false;
    EXPECT_GT(CountPixels(0xFF0000, &rc, &inside), 0);
    EXPECT_TRUE(inside);
    EXPECT_GT(CountPixels(0xBAE4FF, &rc, &inside), 0) << "selected text on the selection colour";
    EXPECT_TRUE(inside);

    EXPECT_EQ(fontBefore, GetCurrentObject(canvas.Dc(), OBJ_FONT));
    EXPECT_EQ(colorBefore, GetTextColor(canvas.Dc()));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, GetClipRgn(canvas.Dc(), region)) << "no clip region left behind";
    DeleteObject(region);
}

TEST_F(TextOnDib, MarkupDrawsInlineImagesOnTheLine)
{
    res.AddTestImage(L"dot.png", 6, 6, 0xFF00FF00);
    RECT rc = Rect(0, 0, 200, 100);
    int count = 0;
    CRenderer::DrawMarkupText(canvas.Dc(), &res, rc, L"ab{i dot.png}", kRed, NULL, NULL, count, 0, 0);
    int left = Extent(font, L"ab");
    int bottom = LineHeight();
    EXPECT_EQ(0x00FF00u, canvas.Rgb(left, bottom - 6));
    EXPECT_EQ(0x00FF00u, canvas.Rgb(left + 5, bottom - 1));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(left + 6, bottom - 1));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(left, bottom));
}

TEST_F(TextOnDib, MarkupWithoutTextWindowOrArraysFillsNoLinks)
{
    RECT rc = Rect(0, 0, 200, 100);
    int count = 8;
    CRenderer::DrawMarkupText(canvas.Dc(), &res, rc, L"{a x}link{/a}", kRed, NULL, NULL, count, 0, 0);
    EXPECT_EQ(0, count) << "no arrays, no entries";
    RECT linkRects[1];
    CUIString linkTexts[1];
    count = -3;
    CRenderer::DrawMarkupText(canvas.Dc(), &res, rc, L"{a x}link{/a}", kRed, linkRects, linkTexts, count, 0,
                              0);
    EXPECT_EQ(0, count) << "a negative capacity holds nothing";
    count = 8;
    CRenderer::DrawMarkupText(canvas.Dc(), &res, rc, NULL, kRed, NULL, NULL, count, 0, DT_CALCRECT);
    EXPECT_EQ(0, count);
    EXPECT_EQ(200, rc.right);
    count = 8;
    CRenderer::DrawMarkupText(canvas.Dc(), static_cast<ITextResources*>(NULL), rc, L"x", kRed, NULL, NULL,
                              count, 0, DT_CALCRECT);
    EXPECT_EQ(0, count);
    EXPECT_EQ(200, rc.right);
}

TEST_F(TextOnDib, NarrowBoxWithEllipsisEndsWithRealFonts)
{
    RECT rc = MeasureMarkup(L"Hello", Rect(0, 0, 3, 100), DT_END_ELLIPSIS | DT_WORDBREAK);
    EXPECT_EQ(LineHeight(), rc.bottom);
}

TEST(GdiTextCanvas, FailedMeasurementsGiveZero)
{
    CGdiTextCanvas canvas(NULL);
    EXPECT_EQ(0, canvas.SpaceTrailingWidth());
    EXPECT_EQ(0, canvas.MeasureText(L"abc", 3));
}

}  // namespace
