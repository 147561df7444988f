// Tagged-text layout with fixed-width stand-in fonts: the base font (index 0)
// is 10 pixels a character and 12 pixels a line; bold is 12 pixels a character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Describe.h"
#include "tests/support/Rects.h"
#include "tests/support/text_support.h"
#include "ui/render/TaggedText.h"

namespace
{

const DWORD kTextColor = 0xFF123456;
const int kLine = 12;

class TaggedText : public ::testing::Test
{
protected:
    TaggedText() { res.AddSkinFont(0, L"Base", 10); }

    // Draws text into rc; returns the rectangle as the layout left it.
    RECT Draw(LPCWSTR text, RECT rc, UINT style = 0, int linkCapacity = 0)
    {
        TTextLinks links(linkRects, linkTexts, linkCapacity);
        LayoutTaggedText(res, canvas, rc, text, kTextColor, links, 0, style);
        linkCount = links.count;
        return rc;
    }

    RECT Measure(LPCWSTR text, RECT rc, UINT style = 0) { return Draw(text, rc, style | DT_CALCRECT); }

    // The run that drew text (the first one), or a failure.
    const CRecordingCanvas::TRun& Run(const std::wstring& text)
    {
        for (const CRecordingCanvas::TRun& run : canvas.runs)
            if (run.text == text)
                return run;
        ADD_FAILURE() << "no run " << Narrow(text) << " in " << Narrow(canvas.Text());
        static CRecordingCanvas::TRun none;
        return none;
    }

    CTestTextResources res;
    CRecordingCanvas canvas;
    RECT linkRects[9];
    CUIString linkTexts[9];
    int linkCount = -1;
};

TEST_F(TaggedText, EscapesTagsAndOrdinaryBrackets)
{
    struct TCase
    {
        const wchar_t* text;
        const wchar_t* drawn;
    } cases[] = {
        {L"a<{>b", L"a{b"},
        {L"<}>{<}{>}", L"}<>"},
        // Not tags: a capital or no blank or bracket after the letter.
        {L"x<Y {B}z", L"x<Y {B}z"},
        {L"{bx}y", L"{bx}y"},
        {L"<{", L"<{"},
        {L"{", L"{"},
        // Either bracket closes either kind of tag; unknown letters are skipped.
        {L"{b>x</b}y", L"xy"},
        {L"{q}x{/q}z", L"xz"},
        {L"a{n}b", L"ab"},
        // Raw text keeps tags as characters; any mix of brackets ends it.
        {L"{r}{b}x</r}y", L"{b}xy"},
        {L"{r}a<n>{/r>b", L"a<n>b"},
        // Unterminated tags, raw sections and arguments end with the text.
        {L"{r}a{n}b", L"a{n}b"},
        {L"ab{c #ff", L"ab"},
        {L"ab{/b", L"ab"},
        {L"ab{a link", L"ab"},
        {L"ab{i pic.png 3", L"ab"},
        {L"ab{f Face 12 bold", L"ab"},
        {L"ab{", L"ab{"},
    };
    for (const TCase& c : cases)
    {
        CRecordingCanvas fresh;
        canvas.runs.swap(fresh.runs);
        Draw(c.text, Rect(0, 0, 1000, 100));
        EXPECT_EQ(Narrow(c.drawn), Narrow(canvas.Text())) << Narrow(c.text);
    }
}

TEST_F(TaggedText, StyleTagsPushVariantsOfTheCurrentFont)
{
    Draw(L"Hello {b}World{/b}!", Rect(0, 0, 1000, 100));
    EXPECT_FALSE(Run(L"Hello ").bold);
    EXPECT_TRUE(Run(L"World").bold);
    EXPECT_EQ(L"Base", Run(L"World").face);
    EXPECT_FALSE(Run(L"!").bold);
    // Bold characters are 12 wide: the pen moved by 5 x 12 after "Hello ".
    EXPECT_EQ(60 + 60, Run(L"!").x);

    canvas.runs.clear();
    Draw(L"{u}{i}a{/i}b{/u}c", Rect(0, 0, 1000, 100));
    EXPECT_TRUE(Run(L"a").underline && Run(L"a").italic);
    EXPECT_TRUE(Run(L"b").underline && !Run(L"b").italic);
    EXPECT_FALSE(Run(L"c").underline);
}

TEST_F(TaggedText, StyleAlreadyPresentSurvivesTheInnerClosingTag)
{
    Draw(L"{b}a{b}b{/b}c{/b}d", Rect(0, 0, 1000, 100));
    EXPECT_TRUE(Run(L"b").bold);
    EXPECT_TRUE(Run(L"c").bold);
    EXPECT_FALSE(Run(L"d").bold);
    EXPECT_EQ(1u, res.addedIds.size()) << "one bold variant registered";
}

TEST_F(TaggedText, FontTagTakesAnIndexOrAFaceWithSizeAndStyles)
{
    res.AddSkinFont(3, L"Three", 20);
    Draw(L"{f 3}a{/f}{f Serif 14 Bold Italic}b{/f}{f Serif}c{/f}d", Rect(0, 0, 1000, 100));
    EXPECT_EQ(L"Three", Run(L"a").face);
    const CRecordingCanvas::TRun& b = Run(L"b");
    EXPECT_EQ(L"Serif", b.face);
    EXPECT_TRUE(b.bold && b.italic && !b.underline);
    EXPECT_EQ(L"Serif", Run(L"c").face);
    EXPECT_EQ(L"Base", Run(L"d").face);
    ASSERT_EQ(2u, res.addedIds.size());
    EXPECT_EQ(10, res.GetFontInfo(res.addedIds[1])->size) << "size 10 when none is given";
}

TEST_F(TaggedText, FontVariantsSkipIdsInUseAndAreFoundAgain)
{
    res.reportInUse = 2;
    Draw(L"{b}x{/b}", Rect(0, 0, 1000, 100));
    ASSERT_EQ(3u, res.probedIds.size());
    EXPECT_GE(res.probedIds[0], 30000);
    EXPECT_EQ(res.probedIds[0] + 1, res.probedIds[1]);
    ASSERT_EQ(1u, res.addedIds.size());
    EXPECT_EQ(res.probedIds[2], res.addedIds[0]) << "the first free id, not one in use";

    Draw(L"{b}y{/b}", Rect(0, 0, 1000, 100));
    EXPECT_EQ(1u, res.addedIds.size()) << "the registered variant is found again";
    EXPECT_TRUE(Run(L"y").bold);
}

TEST_F(TaggedText, ColoursIgnoreAlphaAndClosingTagsRestoreTheColour)
{
    struct TCase
    {
        const wchar_t* text;
        DWORD color;  // of the run "x"
    } cases[] = {
        {L"{c #FF0000}x", 0xFF0000},
        {L"{c  00ff00}x", 0x00FF00},
        {L"{c #FFFF0000}x", 0xFF0000},
        {L"{c #80102030}x", 0x102030},
        {L"{c #00FF00}{c #FF0000}{/c}x", 0x00FF00},
        {L"{c #FF0000}{/c}x", 0x123456},
        {L"{a link}y{/a}x", 0x123456},
        {L"{c #0000FF}{a link}y{/a}x", 0x0000FF},
    };
    for (const TCase& c : cases)
    {
        canvas.runs.clear();
        Draw(c.text, Rect(0, 0, 1000, 100));
        EXPECT_EQ(c.color, Run(L"x").color) << Narrow(c.text);
    }
}

TEST_F(TaggedText, LineBreaking)
{
    struct TCase
    {
        const wchar_t* text;
        int width;
        UINT style;
        std::vector<std::wstring> lines;
    } cases[] = {
        {L"alpha beta", 75, DT_WORDBREAK, {L"alpha ", L"beta"}},
        {L"alpha beta", 75, 0, {L"alpha b", L"eta"}},
        // No break point: cut after the last character that fits.
        {L"abcdefghijk", 75, DT_WORDBREAK, {L"abcdefg", L"hijk"}},
        // Any character but an ASCII letter is a break point.
        {L"ab,cdefghi", 75, DT_WORDBREAK, {L"ab,", L"cdefghi"}},
        {L"ab\x4E2D\x6587xyzwv", 75, DT_WORDBREAK, {L"ab\x4E2D\x6587", L"xyzwv"}},
        {L"alpha{n}beta", 200, 0, {L"alpha", L"beta"}},
        {L"alpha{n}beta", 200, DT_SINGLELINE, {L"alphabeta"}},
        {L"one\ntwo", 200, 0, {L"one", L"two"}},
        {L"one\n\ntwo", 200, 0, {L"one", L"", L"two"}},
        {L"alpha\nbeta", 200, DT_SINGLELINE, {L"alpha"}},
        // A box narrower than one character still takes one per line.
        {L"abc", 5, 0, {L"a", L"b", L"c"}},
        {L"abc", 5, DT_WORDBREAK, {L"a", L"b", L"c"}},
    };
    for (const TCase& c : cases)
    {
        canvas.runs.clear();
        Draw(c.text, Rect(0, 0, c.width, 1000), c.style);
        std::wstring all;
        for (size_t i = 0; i < c.lines.size(); ++i)
        {
            EXPECT_EQ(Narrow(c.lines[i]), Narrow(canvas.LineAt(static_cast<int>(i) * kLine)))
                << Narrow(c.text) << " line " << i;
            all += c.lines[i];
        }
        EXPECT_EQ(Narrow(all), Narrow(canvas.Text())) << Narrow(c.text) << ": nothing beyond those lines";
    }
}

TEST_F(TaggedText, EndEllipsisShortensTheCutRun)
{
    struct TCase
    {
        int width;
        const wchar_t* kept;  // drawn before the ellipsis
    } cases[] = {
        {75, L"abcde"},  // 7 fit, two dropped
        {25, L"a"},      // 2 fit, one dropped
        {15, L""},       // 1 fits, none left
    };
    for (const TCase& c : cases)
    {
        canvas.runs.clear();
        Draw(L"abcdefghij", Rect(0, 0, c.width, 100), DT_SINGLELINE | DT_END_ELLIPSIS);
        std::wstring expected = std::wstring(c.kept) + L"...";
        EXPECT_EQ(Narrow(expected), Narrow(canvas.Text())) << c.width;
        EXPECT_EQ(10 * static_cast<int>(wcslen(c.kept)), Run(L"...").x) << c.width;
        RECT measured = Measure(L"abcdefghij", Rect(0, 0, c.width, 100), DT_SINGLELINE | DT_END_ELLIPSIS);
        EXPECT_EQ(c.width, measured.right) << "the pen moves to the right edge";
    }
    canvas.runs.clear();
    Draw(L"abcdefghij", Rect(0, 0, 200, 100), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ("abcdefghij", Narrow(canvas.Text()));
}

TEST_F(TaggedText, NarrowBoxWithEllipsisEnds)
{
    const UINT styles[] = {DT_END_ELLIPSIS, DT_END_ELLIPSIS | DT_WORDBREAK};
    for (UINT style : styles)
    {
        RECT measured = Measure(L"abc", Rect(0, 0, 5, 100), style);
        EXPECT_EQ(kLine, measured.bottom) << "one line, then the layout stops";
        canvas.runs.clear();
        Draw(L"abc\ndef", Rect(0, 0, 5, 1000), style);
        EXPECT_EQ("...", Narrow(canvas.Text()));
    }
}

TEST_F(TaggedText, LinksAreRecordedWithTheirTexts)
{
    Draw(L"{a first}one{/a} {a second}two{/a}", Rect(0, 0, 1000, 100), 0, 8);
    ASSERT_EQ(2, linkCount);
    EXPECT_STREQ(L"first", linkTexts[0]);
    EXPECT_STREQ(L"second", linkTexts[1]);
    EXPECT_EQ("0,0,30,12", Show(linkRects[0]));
    EXPECT_EQ("40,0,70,12", Show(linkRects[1]));
    EXPECT_TRUE(Run(L"one").underline);
    EXPECT_EQ(0x0000FFu, Run(L"one").color);
    EXPECT_EQ(0x0000FFu, Run(L"two").color);

    Draw(L"x{/a}y", Rect(0, 0, 1000, 100), 0, 8);
    EXPECT_EQ(0, linkCount) << "a stray closing tag records nothing";
}

TEST_F(TaggedText, FullLinkArraysStopRecording)
{
    linkRects[8] = Rect(7, 7, 7, 7);
    linkTexts[8] = L"sentinel";
    std::wstring text;
    for (int i = 0; i < 10; ++i)
        text += L"{a k" + std::to_wstring(i) + L"}x{/a} ";
    Draw(text.c_str(), Rect(0, 0, 1000, 100), 0, 8);
    EXPECT_EQ(8, linkCount);
    EXPECT_STREQ(L"k7", linkTexts[7]);
    EXPECT_EQ("7,7,7,7", Show(linkRects[8]));
    EXPECT_STREQ(L"sentinel", linkTexts[8]);
    EXPECT_EQ(0x0000FFu, canvas.runs[canvas.runs.size() - 2].color)
        << "links beyond the arrays are still coloured";

    // A wrapping link in the last entry has no room for its continuation.
    Draw(L"{a a}x{/a}{a b}yyyyyyyyyyyy{/a}", Rect(0, 0, 60, 100), 0, 2);
    EXPECT_EQ(2, linkCount);
    EXPECT_STREQ(L"b", linkTexts[1]);
    EXPECT_EQ("10,0,60,12", Show(linkRects[1]));
}

TEST_F(TaggedText, WrappedLinkGivesOneEntryPerLine)
{
    Draw(L"ab {a w}cdefgh{/a}", Rect(0, 0, 60, 100), 0, 8);
    ASSERT_EQ(2, linkCount);
    EXPECT_STREQ(L"w", linkTexts[0]);
    EXPECT_STREQ(L"w", linkTexts[1]);
    EXPECT_EQ("30,0,60,12", Show(linkRects[0]));
    EXPECT_EQ("0,12,30,24", Show(linkRects[1]));

    // Measuring only records the same entries.
    RECT none[8];
    CUIString noneTexts[8];
    TTextLinks links(none, noneTexts, 8);
    RECT rc = Rect(0, 0, 60, 100);
    LayoutTaggedText(res, canvas, rc, L"ab {a w}cdefgh{/a}", kTextColor, links, 0, DT_CALCRECT);
    ASSERT_EQ(2, links.count);
    EXPECT_EQ("30,0,60,12", Show(none[0]));
    EXPECT_EQ("0,12,30,24", Show(none[1]));
}

TEST_F(TaggedText, LinkRectanglesFollowTheLineOffset)
{
    Draw(L"{a c}abcd{/a}{n}ab", Rect(0, 0, 100, 100), DT_CENTER, 8);
    ASSERT_EQ(1, linkCount);
    EXPECT_EQ(30, Run(L"abcd").x);
    EXPECT_EQ("30,0,70,12", Show(linkRects[0]));
    EXPECT_EQ(40, Run(L"ab").x);
}

TEST_F(TaggedText, HoverUsesTheRectanglesOfThePreviousPaint)
{
    LPCWSTR text = L"{a first}one{/a} {a second}two{/a}";
    Draw(text, Rect(0, 0, 1000, 100), 0, 8);
    res.SetMouse(15, 5);  // inside "one" as last painted
    canvas.runs.clear();
    Draw(text, Rect(0, 0, 1000, 100), 0, 8);
    EXPECT_EQ(0xD3215Fu, Run(L"one").color);
    EXPECT_EQ(0x0000FFu, Run(L"two").color);

    // The same mouse over rectangles of a paint in which "second" lay there.
    linkRects[0] = Rect(500, 0, 530, 12);
    linkRects[1] = Rect(0, 0, 30, 12);
    canvas.runs.clear();
    Draw(text, Rect(0, 0, 1000, 100), 0, 8);
    EXPECT_EQ(0x0000FFu, Run(L"one").color);
    EXPECT_EQ(0xD3215Fu, Run(L"two").color);

    // Without link arrays there is no hover.
    canvas.runs.clear();
    Draw(text, Rect(0, 0, 1000, 100), 0, 0);
    EXPECT_EQ(0x0000FFu, Run(L"one").color);
}

TEST_F(TaggedText, MeasuringGivesTheTextSize)
{
    struct TCase
    {
        const wchar_t* text;
        RECT rc;
        UINT style;
        RECT expected;
    } cases[] = {
        {L"abc{n}abcdef", Rect(0, 0, 200, 100), 0, Rect(0, 0, 60, 24)},
        {L"abc", Rect(10, 5, 200, 100), 0, Rect(10, 5, 40, 17)},
        {L"abcdefghij", Rect(0, 0, 45, 100), 0, Rect(0, 0, 40, 36)},
        {L"a<{>b", Rect(0, 0, 200, 100), 0, Rect(0, 0, 30, 12)},
        // Empty text: one line, nothing wide.
        {L"", Rect(10, 5, 200, 100), 0, Rect(10, 5, 10, 17)},
        {L"abc\n", Rect(0, 0, 200, 100), 0, Rect(0, 0, 30, 24)},
        // Nothing can be laid out into an empty rectangle.
        {L"abc", Rect(0, 0, 0, 100), 0, Rect(0, 0, 0, 0)},
        {L"abc", Rect(0, 0, 100, 0), 0, Rect(0, 0, 0, 0)},
        // Measuring ignores the bottom edge.
        {L"a{n}b{n}c", Rect(0, 0, 100, 5), 0, Rect(0, 0, 10, 36)},
    };
    for (const TCase& c : cases)
    {
        RECT rc = Measure(c.text, c.rc, c.style);
        EXPECT_EQ(Show(c.expected), Show(rc)) << Narrow(c.text);
    }
    EXPECT_TRUE(canvas.runs.empty()) << "measuring draws nothing";
}

TEST_F(TaggedText, SpacingIndentAndLineHeightTags)
{
    Draw(L"{x 20}a{y 40}b{n}c", Rect(0, 0, 1000, 1000));
    EXPECT_EQ(20, Run(L"a").x);
    EXPECT_EQ(40 - kLine, Run(L"a").y) << "bottom-aligned on the 40-pixel line";
    EXPECT_EQ(40, Run(L"c").y);

    canvas.runs.clear();
    Draw(L"{p 10}a{n}b{/p}c", Rect(0, 0, 1000, 1000));
    EXPECT_EQ(10, Run(L"a").y);
    EXPECT_EQ(22 + 10, Run(L"b").y);
    EXPECT_EQ(44, Run(L"c").y) << "closing p ends the line and the extra height";
}

TEST_F(TaggedText, AlignmentMovesLinesAndTheWholeText)
{
    struct TCase
    {
        UINT style;
        int x1, x2, y1;  // of "ab" and "abcd", and the top of "ab"
    } cases[] = {
        {0, 0, 0, 0},
        {DT_CENTER, 40, 30, 0},
        {DT_RIGHT, 80, 60, 0},
        {DT_VCENTER, 0, 0, 50 - 12},
        {DT_BOTTOM, 0, 0, 100 - 24},
    };
    for (const TCase& c : cases)
    {
        canvas.runs.clear();
        Draw(L"ab{n}abcd", Rect(0, 0, 100, 100), c.style);
        EXPECT_EQ(c.x1, Run(L"ab").x) << c.style;
        EXPECT_EQ(c.x2, Run(L"abcd").x) << c.style;
        EXPECT_EQ(c.y1, Run(L"ab").y) << c.style;
    }
    // A single line is aligned by moving the rectangle.
    canvas.runs.clear();
    RECT rc = Draw(L"ab", Rect(0, 0, 100, 100), DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_EQ("40,44,60,56", Show(rc));
    EXPECT_EQ(40, Run(L"ab").x);
    EXPECT_EQ(44, Run(L"ab").y);
}

TEST_F(TaggedText, InlineImages)
{
    res.AddTestImage(L"icons.png", 40, 8);
    res.AddTestImage(L"tall.png", 10, 30);
    struct TCase
    {
        const wchar_t* text;
        RECT dest;  // in a 1000-wide box
        int sourceLeft;
        int sourceRight;
    } cases[] = {
        {L"ab{i icons.png 4 2}c", Rect(20, 4, 30, 12), 20, 30},
        {L"{i icons.png 4 4}", Rect(0, 4, 10, 12), 0, 10},
        {L"{i icons.png 4 -1}", Rect(0, 4, 10, 12), 0, 10},
        {L"{i icons.png 0}", Rect(0, 4, 40, 12), 0, 40},
        {L"{i icons.png}", Rect(0, 4, 40, 12), 0, 40},
        {L"{v center}{i icons.png}", Rect(0, 2, 40, 10), 0, 40},
        {L"{v top}{i icons.png}", Rect(0, 0, 40, 8), 0, 40},
        {L"{v  Center }{i icons.png}", Rect(0, 2, 40, 10), 0, 40},
        {L"{v middle}{i icons.png}", Rect(0, 4, 40, 12), 0, 40},
        {L"{i file='icons.png' source='1,1,2,2'}", Rect(0, 4, 40, 12), 0, 40},
        // A taller image makes the line taller; text sits on its bottom.
        {L"{i tall.png}x", Rect(0, 0, 10, 30), 0, 10},
    };
    for (const TCase& c : cases)
    {
        canvas.images.clear();
        Draw(c.text, Rect(0, 0, 1000, 100));
        ASSERT_EQ(1u, canvas.images.size()) << Narrow(c.text);
        EXPECT_EQ(Show(c.dest), Show(canvas.images[0].dest)) << Narrow(c.text);
        EXPECT_EQ(c.sourceLeft, canvas.images[0].source.left) << Narrow(c.text);
        EXPECT_EQ(c.sourceRight, canvas.images[0].source.right) << Narrow(c.text);
    }
    EXPECT_EQ(30 - kLine, Run(L"x").y);
    EXPECT_EQ(30, Measure(L"{i tall.png}x", Rect(0, 0, 1000, 100)).bottom);
    EXPECT_EQ(30, Run(L"c").x) << "the pen moved by one frame";
}

TEST_F(TaggedText, InlineImageThatDoesNotFitStartsTheNextLine)
{
    res.AddTestImage(L"icons.png", 40, 8);
    Draw(L"abc{i icons.png 4}d", Rect(0, 0, 35, 100));
    ASSERT_EQ(1u, canvas.images.size());
    EXPECT_EQ("0,16,10,24", Show(canvas.images[0].dest));
    EXPECT_EQ(10, Run(L"d").x);

    // At the left edge, or on a single line, it is placed regardless.
    canvas.images.clear();
    Draw(L"{i icons.png}", Rect(0, 0, 35, 100));
    EXPECT_EQ(1u, canvas.images.size());
}

TEST_F(TaggedText, InlineImageRequests)
{
    struct TCase
    {
        const wchar_t* text;
        const wchar_t* request;
    } cases[] = {
        {L"{i a.png 2 1}", L"a.png"},
        {L"{i  file='b.png'}", L"b.png"},
        {L"{i res='130' restype='PNG'}", L"130|PNG"},
    };
    for (const TCase& c : cases)
    {
        res.imageRequests.clear();
        canvas.runs.clear();
        Draw((std::wstring(L"x") + c.text + L"y").c_str(), Rect(0, 0, 1000, 100));
        ASSERT_FALSE(res.imageRequests.empty()) << Narrow(c.text);
        EXPECT_EQ(Narrow(c.request), Narrow(res.imageRequests[0]));
        EXPECT_EQ("xy", Narrow(canvas.Text())) << "a missing image is skipped";
        EXPECT_TRUE(canvas.images.empty());
    }
}

TEST_F(TaggedText, LeavingItalicMovesThePenByHalfTheSpaceOverhang)
{
    canvas.spaceTrailing = 6;
    Draw(L"{i}a{/i}b", Rect(0, 0, 1000, 100));
    EXPECT_TRUE(Run(L"a").italic);
    EXPECT_EQ(13, Run(L"b").x);
}

TEST_F(TaggedText, SelectionDrawsOnAnOpaqueBackground)
{
    Draw(L"a{s}b{/s}c{s}d", Rect(0, 0, 1000, 100));
    EXPECT_FALSE(Run(L"a").opaque);
    EXPECT_TRUE(Run(L"b").opaque);
    EXPECT_FALSE(Run(L"c").opaque);
    EXPECT_TRUE(Run(L"d").opaque);
}

TEST_F(TaggedText, DrawingStopsBelowTheBottom)
{
    Draw(L"a\nb\nc\nd", Rect(0, 0, 100, 30));
    EXPECT_EQ("abc", Narrow(canvas.Text())) << "the third line starts inside, the fourth does not";
}

}  // namespace
