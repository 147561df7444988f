#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control_test_support.h"
#include "ui/controls/Label.h"

namespace
{
const UINT kMeasure = DT_CALCRECT | DT_NOPREFIX;

// What DrawText makes of text in font inside rc; the oracle for real font metrics.
SIZE Measured(HFONT font, LPCWSTR text, RECT rc, UINT style)
{
    HDC dc = ::CreateCompatibleDC(NULL);
    HGDIOBJ old = ::SelectObject(dc, font);
    ::DrawTextW(dc, text, -1, &rc, style | kMeasure);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
    return size;
}

SIZE Size(int cx, int cy)
{
    SIZE size = {cx, cy};
    return size;
}

::testing::AssertionResult SameSize(const SIZE& actual, const SIZE& expected)
{
    if (actual.cx == expected.cx && actual.cy == expected.cy)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.cx << ", " << actual.cy << ") instead of ("
                                         << expected.cx << ", " << expected.cy << ")";
}

const wchar_t kFace[] = L"Tahoma";
const wchar_t kSentence[] = L"The quick brown fox jumps over the lazy dog";

// A label with font 0 of a window-less manager. Swapping font 0 for a
// larger one behind the label's back shows whether an estimate was measured
// again or came from the cache.
class LabelEstimate : public testing::Test
{
protected:
    void SetUp() override
    {
        manager.AddFont(0, kFace, 12, false, false, false);
        label.SetManager(&manager, NULL, false);
        label.SetFont(0);
        label.SetText(kSentence);
    }

    void EnlargeFont() { manager.AddFont(0, kFace, 24, false, false, false); }
    HFONT Font() { return manager.GetFont(0); }
    int TextHeight() { return manager.GetFontInfo(0)->metrics.tmHeight; }
    SIZE OneLine() { return Measured(Font(), kSentence, CUIRect(0, 0, 9999, 100), DT_SINGLELINE); }
    SIZE Wrapped(int width) { return Measured(Font(), kSentence, CUIRect(0, 0, width, 9999), DT_WORDBREAK); }

    CManagerUI manager;
    CLabelUI label;
};

TEST_F(LabelEstimate, SizeFollowsTheTextOnlyWhereNothingIsFixed)
{
    const SIZE line = OneLine();
    ASSERT_GT(line.cx, 100);
    const int height = TextHeight();

    EXPECT_TRUE(SameSize(label.EstimateSize(Size(50, 50)), Size(line.cx, height + 8)));

    CLabelUI padded;
    padded.SetManager(&manager, NULL, false);
    padded.ApplyAttributeList(L"font=\"0\" text=\"The quick brown fox jumps over the lazy dog\" "
                              L"textpadding=\"3,4,5,6\"");
    EXPECT_TRUE(SameSize(padded.EstimateSize(Size(0, 0)), Size(line.cx + 8, height + 8 + 10)));

    padded.SetFixedWidth(100);
    EXPECT_TRUE(SameSize(padded.EstimateSize(Size(0, 0)), Size(100, height + 8 + 10)));
    padded.SetFixedHeight(30);
    EXPECT_TRUE(SameSize(padded.EstimateSize(Size(0, 0)), Size(100, 30)));

    CLabelUI detached;  // fixed sizes need no fonts
    detached.SetFixedWidth(70);
    detached.SetFixedHeight(20);
    EXPECT_TRUE(SameSize(detached.EstimateSize(Size(0, 0)), Size(70, 20)));
}

TEST_F(LabelEstimate, WrappedTextTakesTheAvailableWidthAndTheHeightItsLinesNeed)
{
    label.SetAttribute(L"multiline", L"true");
    label.SetAttribute(L"textpadding", L"2,1,2,3");
    const SIZE wrapped = Wrapped(120 - 4);
    ASSERT_GT(wrapped.cy, TextHeight());  // it does wrap
    EXPECT_TRUE(SameSize(label.EstimateSize(Size(120, 400)), Size(120, wrapped.cy + 4)));

    // A fixed height does not stop the lines from deciding.
    label.SetFixedHeight(10);
    EXPECT_TRUE(SameSize(label.EstimateSize(Size(120, 400)), Size(120, wrapped.cy + 4)));
}

TEST_F(LabelEstimate, EmptyTextMeasuresNothingWide)
{
    label.SetText(L"");
    EXPECT_TRUE(SameSize(label.EstimateSize(Size(80, 80)), Size(0, TextHeight() + 8)));
}

TEST_F(LabelEstimate, CacheIsKeptUntilSomethingThatChangesTheSizeChanges)
{
    struct TCase
    {
        const char* change;
        bool multiLine;
        std::function<void(CLabelUI&)> apply;
        bool measuredAgain;
    };
    const TCase cases[] = {
        {"nothing, one line, other space", false, [](CLabelUI&) {}, false},
        {"nothing, wrapped, same space", true, [](CLabelUI&) {}, false},
        {"text", false, [](CLabelUI& l) { l.SetText(L"The quick brown fox jumps over the lazy cat"); }, true},
        {"font", false, [](CLabelUI& l) { l.SetFont(0); }, true},
        {"padding", false, [](CLabelUI& l) { l.SetTextPadding(CUIRect(1, 0, 0, 0)); }, true},
        {"markup mode", false, [](CLabelUI& l) { l.SetShowHtml(true); }, true},
        {"same markup mode", false, [](CLabelUI& l) { l.SetShowHtml(false); }, false},
        {"line mode", false, [](CLabelUI& l) { l.SetMultiLine(false); }, true},
        {"fixed width", false, [](CLabelUI& l) { l.SetFixedWidth(0); }, true},
        {"fixed height", false, [](CLabelUI& l) { l.SetFixedHeight(0); }, true},
        {"colour", false, [](CLabelUI& l) { l.SetTextColor(0xFF123456); }, false},
        {"alignment", false, [](CLabelUI& l) { l.SetAttribute(L"align", L"right"); }, false},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.change);
        manager.AddFont(0, kFace, 12, false, false, false);
        CLabelUI subject;
        subject.SetManager(&manager, NULL, false);
        subject.SetFont(0);
        subject.SetText(kSentence);
        subject.SetMultiLine(c.multiLine);
        const SIZE before = subject.EstimateSize(Size(150, 300));

        EnlargeFont();
        c.apply(subject);
        const SIZE available = c.multiLine ? Size(150, 300) : Size(400, 20);
        const SIZE after = subject.EstimateSize(available);
        EXPECT_EQ(after.cx != before.cx || after.cy != before.cy, c.measuredAgain)
            << "(" << before.cx << ", " << before.cy << ") then (" << after.cx << ", " << after.cy << ")";
    }
}

TEST_F(LabelEstimate, WrappedTextMeasuresAgainForAnotherWidthOnly)
{
    label.SetMultiLine(true);
    const SIZE first = label.EstimateSize(Size(150, 300));
    EnlargeFont();
    EXPECT_TRUE(SameSize(label.EstimateSize(Size(150, 300)), first));
    const SIZE other = label.EstimateSize(Size(151, 300));
    EXPECT_TRUE(SameSize(other, Size(151, Wrapped(151).cy)));
}

// ---- Attributes ----

TEST(LabelAttributes, AlignmentWordsSetTheirBitsInAFixedOrder)
{
    struct
    {
        std::vector<std::pair<LPCWSTR, LPCWSTR>> attributes;
        UINT style;
    } const cases[] = {
        {{}, DT_VCENTER | DT_SINGLELINE},
        {{{L"align", L"center"}}, DT_VCENTER | DT_SINGLELINE | DT_CENTER},
        {{{L"align", L"center"}, {L"align", L"right"}}, DT_VCENTER | DT_SINGLELINE | DT_RIGHT},
        {{{L"align", L"right"}, {L"align", L"left"}}, DT_VCENTER | DT_SINGLELINE},
        {{{L"align", L"right center"}}, DT_VCENTER | DT_SINGLELINE | DT_RIGHT},  // right is applied last
        {{{L"align", L"Center"}}, DT_VCENTER | DT_SINGLELINE},                   // words are case-sensitive
        {{{L"valign", L"bottom"}}, DT_BOTTOM | DT_SINGLELINE},
        {{{L"valign", L"top"}}, DT_SINGLELINE},
        {{{L"valign", L"bottom"}, {L"valign", L"vcenter"}}, DT_VCENTER | DT_SINGLELINE},
        {{{L"valign", L"center"}}, DT_VCENTER | DT_SINGLELINE},  // only "vcenter" centres vertically
        {{{L"endellipsis", L"true"}}, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS},
        {{{L"endellipsis", L"true"}, {L"endellipsis", L"yes"}}, DT_VCENTER | DT_SINGLELINE},
        {{{L"multiline", L"true"}}, DT_VCENTER | DT_WORDBREAK},
        {{{L"multiline", L"true"}, {L"multiline", L"false"}}, DT_VCENTER | DT_WORDBREAK | DT_SINGLELINE},
    };
    for (const auto& c : cases)
    {
        CLabelUI label;
        std::wstring trace;
        for (const auto& attribute : c.attributes)
        {
            label.SetAttribute(attribute.first, attribute.second);
            trace += std::wstring(attribute.first) + L"=" + attribute.second + L" ";
        }
        EXPECT_EQ(label.GetTextStyle(), c.style) << testing::PrintToString(trace);
    }
    CTextUI text;
    EXPECT_EQ(text.GetTextStyle(), static_cast<UINT>(DT_WORDBREAK));
    EXPECT_EQ(text.GetTextPadding().left, 2);
    EXPECT_EQ(text.GetTextPadding().right, 2);
}

TEST(LabelAttributes, ShadowOffsetFollowsTheAngleOfTheLight)
{
    struct
    {
        int angle;
        float dx;
        float dy;
    } const cases[] = {
        {0, -2, -2},  {45, -2, -2}, {90, -2, -2}, {91, -2, 2},  {180, -2, 2}, {-1, 2, -2},
        {-89, 2, -2}, {-90, 2, 0},  {-91, 2, 2},  {-179, 2, 2}, {-180, 0, 2},
    };
    for (const auto& c : cases)
    {
        CLabelUI label;
        CUIString value;
        value.Format(L"2,%d", c.angle);
        label.SetAttribute(L"shadowoffset", value);
        EXPECT_EQ(label.GetShadowOffset().dx, c.dx) << c.angle;
        EXPECT_EQ(label.GetShadowOffset().dy, c.dy) << c.angle;
    }
    for (int ignored : {181, 200, -181, 360})
    {
        CLabelUI label;
        label.SetShadowOffset(3, 45);
        label.SetShadowOffset(2, ignored);
        EXPECT_EQ(label.GetShadowOffset().dx, -3) << ignored;
        EXPECT_EQ(label.GetShadowOffset().dy, -3) << ignored;
    }
}

TEST(LabelAttributes, ColoursMayStartWithAHashButNotWithABlank)
{
    CLabelUI label;
    label.SetAttribute(L"textcolor", L"#FF112233");
    EXPECT_EQ(label.GetTextColor(), 0xFF112233u);
    label.SetAttribute(L"textcolor", L" #FF112233");
    EXPECT_EQ(label.GetTextColor(), 0u);
    label.SetAttribute(L"strokecolor", L"FF00FF00");
    EXPECT_EQ(label.GetStrokeColor(), 0xFF00FF00u);
    label.SetAttribute(L"textshadowcolorb", L"#80000000");
    EXPECT_EQ(label.GetTextShadowColorB(), 0x80000000u);
}

TEST(LabelAttributes, EffectNumbersIgnoreWhatCannotBeUsed)
{
    CLabelUI label;
    label.SetAttribute(L"luminousfuzzy", L"2.5");
    EXPECT_FLOAT_EQ(label.GetLuminousFuzzy(), 2.5f);
    for (LPCWSTR ignored : {L"0", L"-3", L"0.00001", L"nan", L"abc"})
    {
        label.SetAttribute(L"luminousfuzzy", ignored);
        EXPECT_FLOAT_EQ(label.GetLuminousFuzzy(), 2.5f) << testing::PrintToString(std::wstring(ignored));
    }
    label.ApplyAttributeList(L"enabledeffect=\"true\" enabledstroke=\"true\" gradientlength=\"12\" "
                             L"gradientangle=\"-4\" custom=\"kept\"");
    EXPECT_TRUE(label.IsEnabledEffect());
    EXPECT_TRUE(label.IsEnabledStroke());
    EXPECT_FALSE(label.IsEnabledShadow());
    EXPECT_EQ(label.GetGradientLength(), 12);
    EXPECT_EQ(label.GetGradientAngle(), -4);
    EXPECT_STREQ(label.GetCustomAttribute(L"custom"), L"kept");
}

// ---- Painting ----

TEST(LabelPaint, ZeroColoursTakeTheWindowDefaultsForTheState)
{
    CManagerUI manager;
    manager.AddFont(0, kFace, 20, true, false, false);
    manager.SetDefaultFontColor(0xFF0000FF);
    manager.SetDefaultDisabledColor(0xFF00C000);
    CLabelUI label;
    label.SetManager(&manager, NULL, false);
    label.ApplyAttributeList(L"font=\"0\" text=\"MWMWMW\"");
    label.SetPos(Rect(0, 0, 100, 30));

    CCanvas enabled(100, 30, 0xFFFFFFFF);
    label.Paint(enabled.Dc(), Rect(0, 0, 100, 30), NULL);
    EXPECT_TRUE(HasPixel(enabled, 0x0000FF));
    EXPECT_EQ(label.GetTextColor(), 0xFF0000FFu);  // filled in for good

    label.SetEnabled(false);
    CCanvas disabled(100, 30, 0xFFFFFFFF);
    label.Paint(disabled.Dc(), Rect(0, 0, 100, 30), NULL);
    EXPECT_TRUE(HasPixel(disabled, 0x00C000));
    EXPECT_FALSE(HasPixel(disabled, 0x0000FF));
}

TEST(LabelPaint, TextStaysInsideThePadding)
{
    CManagerUI manager;
    manager.AddFont(0, kFace, 20, true, false, false);
    CLabelUI label;
    label.SetManager(&manager, NULL, false);
    label.ApplyAttributeList(L"font=\"0\" text=\"MMMMMMMMMMMMMMMMMMMM\" textcolor=\"#FFFF0000\" "
                             L"textpadding=\"30,0,30,0\" align=\"left\"");
    label.SetPos(Rect(0, 0, 100, 30));
    CCanvas canvas(100, 30, 0xFFFFFFFF);
    label.Paint(canvas.Dc(), Rect(0, 0, 100, 30), NULL);
    bool outside = false;
    bool inside = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
        {
            const bool text = canvas.Rgb(x, y) != 0xFFFFFF;
            (x < 30 || x >= 70 ? outside : inside) |= text;
        }
    EXPECT_TRUE(inside);
    EXPECT_FALSE(outside);
}

// ---- Text with links ----

POINT CentreOf(const RECT& rc)
{
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    return pt;
}

class TextLinks : public testing::Test
{
protected:
    void SetUp() override
    {
        manager.AddFont(0, kFace, 14, false, false, false);
        manager.AddNotifier(&notes);
        text.SetManager(&manager, NULL, false);
        text.ApplyAttributeList(L"font=\"0\" showhtml=\"true\" text=\"{a x}one{/a} {a y}two{/a}\"");
        text.SetPos(Rect(0, 0, 200, 40));
    }

    void Paint()
    {
        CCanvas canvas(200, 40, 0xFFFFFFFF);
        text.Paint(canvas.Dc(), Rect(0, 0, 200, 40), NULL);
    }

    CManagerUI manager;
    CNotifyRecorder notes;
    CTextUI text;
};

TEST_F(TextLinks, ClickOnTheSecondLinkSendsItsIndex)
{
    EXPECT_EQ(text.GetFlags(), 0u);  // nothing drawn, no links yet
    Paint();
    ASSERT_EQ(text.GetLinkCount(), 2);
    EXPECT_STREQ(text.GetLinkText(1), L"y");
    EXPECT_EQ(text.GetFlags(), static_cast<UINT>(FlagSetCursor | FlagTabStop)) << "the keyboard reaches links";
    const POINT second = CentreOf(text.GetLinkRect(1));
    EXPECT_LT(text.GetLinkRect(0).right, second.x);

    TControlEvent up = PointerEvent(EventButtonUp, second);
    text.DispatchEvent(up);
    ASSERT_EQ(notes.records.size(), 1u);
    EXPECT_EQ(notes.records[0].type, L"link");
    EXPECT_EQ(notes.records[0].sender, &text);
    EXPECT_EQ(notes.records[0].wParam, 1u);

    notes.records.clear();
    text.SetEnabled(false);
    text.DispatchEvent(up);
    EXPECT_TRUE(notes.records.empty());
    EXPECT_EQ(text.GetFlags(), 0u);
}

TEST_F(TextLinks, PointerOverALinkMakesItHotUntilItLeaves)
{
    Paint();
    ASSERT_EQ(text.GetLinkCount(), 2);
    TControlEvent cursorOnLink = PointerEvent(EventSetCursor, CentreOf(text.GetLinkRect(0)));
    text.DispatchEvent(cursorOnLink);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(NULL, IDC_HAND));
    POINT between = {text.GetLinkRect(0).right + 1, CentreOf(text.GetLinkRect(0)).y};
    TControlEvent cursorOff = PointerEvent(EventSetCursor, between);
    text.DispatchEvent(cursorOff);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(NULL, IDC_ARROW));

    TControlEvent move = PointerEvent(EventMouseMove, CentreOf(text.GetLinkRect(0)));
    text.DispatchEvent(move);
    EXPECT_EQ(text.GetHotLink(), 0);

    TControlEvent leaveOverLink = PointerEvent(EventMouseLeave, CentreOf(text.GetLinkRect(0)));
    text.DispatchEvent(leaveOverLink);
    EXPECT_EQ(text.GetHotLink(), 0);
    POINT away = {199, 39};
    TControlEvent leave = PointerEvent(EventMouseLeave, away);
    text.DispatchEvent(leave);
    EXPECT_EQ(text.GetHotLink(), -1);
}

TEST_F(TextLinks, NoLinksOnceMarkupIsOffOrTheTextIsEmpty)
{
    Paint();
    ASSERT_EQ(text.GetLinkCount(), 2);
    text.SetShowHtml(false);
    Paint();
    EXPECT_EQ(text.GetLinkCount(), 0);

    text.SetShowHtml(true);
    Paint();
    ASSERT_EQ(text.GetLinkCount(), 2);
    text.SetText(L"");
    Paint();
    EXPECT_EQ(text.GetLinkCount(), 0);
    TControlEvent up = PointerEvent(EventButtonUp, CentreOf(Rect(0, 0, 40, 20)));
    text.DispatchEvent(up);
    EXPECT_TRUE(notes.records.empty());
}

TEST_F(TextLinks, AtMostEightLinksAreRemembered)
{
    std::wstring many;
    for (int i = 0; i < 12; ++i)
        many += L"{a " + std::to_wstring(i) + L"}L{/a} ";
    text.SetText(many.c_str());
    text.SetPos(Rect(0, 0, 200, 40));
    CCanvas canvas(200, 40, 0xFFFFFFFF);
    text.Paint(canvas.Dc(), Rect(0, 0, 200, 40), NULL);
    EXPECT_EQ(text.GetLinkCount(), static_cast<int>(CTextUI::MaxLinks));
    EXPECT_STREQ(text.GetLinkText(7), L"7");
    EXPECT_STREQ(text.GetLinkText(8), L"");
}
}  // namespace
