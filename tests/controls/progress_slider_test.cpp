#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "control_test_support.h"
#include "ui/controls/Progress.h"

namespace
{
bool Inside(const RECT& inner, int width, int height)
{
    return inner.left >= 0 && inner.top >= 0 && inner.right <= width && inner.bottom <= height &&
           inner.left <= inner.right && inner.top <= inner.bottom;
}

// ---- Progress bar ----

struct TFillCase
{
    const char* name;
    bool horizontal;
    int width;
    int height;
    int minValue;
    int maxValue;
    int value;
    RECT fill;  // relative to the control
};

TEST(Progress, FillFollowsTheValueFromTheLeftOrTheBottom)
{
    const TFillCase cases[] = {
        {"horizontal quarter", true, 200, 12, 0, 100, 25, {0, 0, 50, 12}},
        {"horizontal empty", true, 200, 12, 0, 100, 0, {0, 0, 0, 12}},
        {"horizontal full", true, 200, 12, 0, 100, 100, {0, 0, 200, 12}},
        {"horizontal offset range", true, 100, 12, -50, 50, 0, {0, 0, 50, 12}},
        {"vertical 30%", false, 20, 100, 0, 100, 30, {0, 70, 20, 100}},
        {"vertical full", false, 20, 100, 0, 100, 100, {0, 0, 20, 100}},
        // (value - min) x W needs more than 32 bits here.
        {"whole int range, middle", true, 1000, 12, INT_MIN, INT_MAX, 0, {0, 0, 500, 12}},
        {"whole int range, top", true, 1000, 12, INT_MIN, INT_MAX, INT_MAX, {0, 0, 1000, 12}},
        {"large range, vertical", false, 10, 30000, 0, 2000000000, 1000000000, {0, 15000, 10, 30000}},
        // An empty or reversed range divides by 1 and fills nothing.
        {"min equals max", true, 200, 12, 10, 10, 10, {0, 0, 0, 12}},
        {"reversed range", false, 20, 100, 50, 10, 30, {0, 100, 20, 100}},
    };
    for (const TFillCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CProgressUI bar;
        bar.SetHorizontal(c.horizontal);
        bar.SetMinValue(c.minValue);
        bar.SetMaxValue(c.maxValue);
        bar.SetValue(c.value);
        bar.SetPos(Rect(30, 40, 30 + c.width, 40 + c.height));
        const RECT fill = bar.GetFillRect();
        ExpectRect(fill, c.fill);
        EXPECT_TRUE(Inside(fill, c.width, c.height));
    }
}

TEST(Progress, ValueIsClampedWhenSetAndRangeRepairedAtTheNextPaint)
{
    CManagerUI manager;
    CCanvas canvas(220, 20, 0xFFFFFFFF);
    CProgressUI bar;
    bar.SetManager(&manager, NULL, false);
    bar.SetPos(Rect(0, 0, 200, 12));
    bar.SetValue(150);
    EXPECT_EQ(bar.GetValue(), 100);
    bar.SetMaxValue(40);
    EXPECT_EQ(bar.GetValue(), 100) << "lowering the maximum does not clamp at once";
    bar.Paint(canvas.Dc(), Rect(0, 0, 220, 20), NULL);
    EXPECT_EQ(bar.GetValue(), 40);

    bar.SetMinValue(10);
    bar.SetMaxValue(10);
    bar.Paint(canvas.Dc(), Rect(0, 0, 220, 20), NULL);
    EXPECT_EQ(bar.GetMaxValue(), 11);
}

// The descriptor names its own destination; the fill replaces it on every
// paint, so the image covers exactly the filled part.
TEST(Progress, ForeImageIsDrawnIntoTheFilledPartWhateverItsDescriptorSays)
{
    const DWORD kWhite = 0xFFFFFF, kGreen = 0x00FF00;
    for (int value : {25, 75})
    {
        SCOPED_TRACE(value);
        CManagerUI manager;
        CCanvas canvas(220, 20, 0xFFFFFFFF);
        CProgressUI bar;
        bar.SetManager(&manager, NULL, false);
        bar.SetAttribute(L"foreimage", L"color='#FF00FF00' dest='0,0,200,12'");
        bar.SetAttribute(L"value", std::to_wstring(value).c_str());
        bar.SetPos(Rect(10, 4, 210, 16));
        bar.Paint(canvas.Dc(), Rect(0, 0, 220, 20), NULL);
        const int edge = 10 + value * 2;
        EXPECT_EQ(canvas.Rgb(10, 10), kGreen);
        EXPECT_EQ(canvas.Rgb(edge - 1, 10), kGreen);
        EXPECT_EQ(canvas.Rgb(edge, 10), kWhite);
        EXPECT_EQ(canvas.Rgb(209, 10), kWhite);
    }
}

TEST(Progress, AttributesAndDefaults)
{
    CProgressUI bar;
    EXPECT_EQ(bar.GetFixedHeight(), 12);
    EXPECT_EQ(bar.GetTextStyle(), static_cast<UINT>(DT_SINGLELINE | DT_CENTER));
    bar.SetAttribute(L"min", L"-20");
    bar.SetAttribute(L"max", L"300");
    bar.SetAttribute(L"value", L"250");
    bar.SetAttribute(L"hor", L"false");
    EXPECT_EQ(bar.GetMinValue(), -20);
    EXPECT_EQ(bar.GetMaxValue(), 300);
    EXPECT_EQ(bar.GetValue(), 250);
    EXPECT_FALSE(bar.IsHorizontal());
    bar.SetAttribute(L"text", L"half");
    EXPECT_EQ(std::wstring(bar.GetText()), L"half") << "other names go to the label";
    EXPECT_EQ(bar.FindInterface(L"Progress"), static_cast<void*>(&bar));
    EXPECT_NE(bar.FindInterface(L"Label"), nullptr);
}

// ---- Slider ----

struct TThumbCase
{
    const char* name;
    bool horizontal;
    RECT pos;
    int minValue;
    int maxValue;
    int value;
    RECT thumb;
};

TEST(Slider, ThumbTravelsTheLengthLessItsOwn)
{
    const TThumbCase cases[] = {
        {"horizontal middle", true, {0, 0, 110, 20}, 0, 100, 50, {50, 5, 60, 15}},
        {"horizontal min", true, {20, 10, 130, 30}, 0, 100, 0, {20, 15, 30, 25}},
        {"horizontal max", true, {20, 10, 130, 30}, 0, 100, 100, {120, 15, 130, 25}},
        {"vertical min at the bottom", false, {0, 0, 20, 110}, 0, 100, 0, {5, 100, 15, 110}},
        {"vertical middle", false, {0, 0, 20, 110}, 0, 100, 50, {5, 50, 15, 60}},
        {"vertical max at the top", false, {0, 0, 20, 110}, 0, 100, 100, {5, 0, 15, 10}},
        {"whole int range", true, {0, 0, 1010, 10}, INT_MIN, INT_MAX, INT_MAX, {1000, 0, 1010, 10}},
        {"min equals max", true, {0, 0, 110, 10}, 7, 7, 7, {0, 0, 10, 10}},
        {"thumb wider than the slider", true, {0, 0, 6, 10}, 0, 100, 100, {0, 0, 10, 10}},
    };
    for (const TThumbCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CSliderUI slider;
        slider.SetHorizontal(c.horizontal);
        slider.SetMinValue(c.minValue);
        slider.SetMaxValue(c.maxValue);
        slider.SetValue(c.value);
        slider.SetPos(c.pos);
        ExpectRect(slider.GetThumbRect(), c.thumb);
    }
}

struct TPointCase
{
    const char* name;
    bool horizontal;
    int minValue;
    int maxValue;
    int at;  // x or y in window coordinates
    int value;
};

TEST(Slider, ValueFromPointAtBothEndsAndBetween)
{
    // Slider at (20,10)-(130,30) horizontally or (20,10)-(40,120) vertically, thumb 10 x 10.
    const TPointCase cases[] = {
        {"left of the slider", true, 0, 100, 0, 0},
        {"within half a thumb of the left", true, 0, 100, 25, 0},
        {"middle", true, 0, 100, 75, 50},
        {"within half a thumb of the right", true, 0, 100, 125, 100},
        {"beyond the right", true, 0, 100, 500, 100},
        {"middle of the whole int range", true, INT_MIN, INT_MAX, 75, -1},
        {"min equals max", true, 5, 5, 75, 5},
        {"vertical bottom", false, 0, 100, 118, 0},
        {"vertical middle", false, 0, 100, 65, 50},
        {"vertical top", false, 0, 100, 12, 100},
        {"vertical above", false, 0, 100, -40, 100},
    };
    for (const TPointCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CSliderUI slider;
        slider.SetHorizontal(c.horizontal);
        slider.SetMinValue(c.minValue);
        slider.SetMaxValue(c.maxValue);
        slider.SetPos(c.horizontal ? Rect(20, 10, 130, 30) : Rect(20, 10, 40, 120));
        const POINT pt = c.horizontal ? POINT{c.at, 20} : POINT{30, c.at};
        EXPECT_EQ(slider.ValueFromPoint(pt), c.value);
    }
}

// A slider whose thumb image and fill are plain colours; the thumb follows
// the value and takes its hot and pushed looks.
TEST(Slider, ThumbImageIsDrawnAtTheThumbInTheLookOfItsState)
{
    const DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
    CManagerUI manager;
    CSliderUI slider;
    slider.SetManager(&manager, NULL, false);
    slider.SetAttribute(L"thumbimage", L"color='#FFFF0000' dest='0,0,10,10'");
    slider.SetAttribute(L"thumbhotimage", L"color='#FF00FF00'");
    slider.SetAttribute(L"thumbpushedimage", L"color='#FF0000FF'");
    slider.SetAttribute(L"value", L"50");
    slider.SetPos(Rect(0, 0, 110, 20));
    const auto thumbColour = [&]() {
        CCanvas canvas(110, 20, 0xFFFFFFFF);
        slider.Paint(canvas.Dc(), Rect(0, 0, 110, 20), NULL);
        EXPECT_EQ(canvas.Rgb(5, 10), 0xFFFFFFu) << "nothing at the start";
        return canvas.Rgb(55, 10);
    };
    EXPECT_EQ(thumbColour(), kRed);
    TControlEvent enter = MakeEvent(EventMouseEnter, 55, 10);
    slider.DispatchEvent(enter);
    EXPECT_EQ(thumbColour(), kGreen);
    TControlEvent press = MakeEvent(EventButtonDown, 55, 10);
    slider.DispatchEvent(press);
    EXPECT_EQ(thumbColour(), kBlue);
}

TEST(Slider, AttributesFlagsAndDisabling)
{
    CSliderUI slider;
    slider.SetAttribute(L"thumbsize", L"14,20");
    slider.SetAttribute(L"step", L"5");
    slider.SetAttribute(L"imm", L"true");
    slider.SetAttribute(L"max", L"50");  // handed on to the progress bar
    EXPECT_EQ(slider.GetThumbSize().cx, 14);
    EXPECT_EQ(slider.GetThumbSize().cy, 20);
    EXPECT_EQ(slider.GetChangeStep(), 5);
    EXPECT_TRUE(slider.IsSendMove());
    EXPECT_EQ(slider.GetMaxValue(), 50);
    EXPECT_EQ(slider.GetFlags(), static_cast<UINT>(FlagTabStop | FlagSetCursor));
    EXPECT_NE(slider.FindInterface(L"Progress"), nullptr);

    slider.SetPos(Rect(0, 0, 110, 20));
    TControlEvent press = MakeEvent(EventButtonDown, 55, 10);
    slider.DispatchEvent(press);
    EXPECT_NE(slider.GetSliderState() & StateCaptured, 0u);
    slider.SetEnabled(false);
    EXPECT_EQ(slider.GetSliderState(), 0u);
    EXPECT_EQ(slider.GetFlags(), 0u);
}
}  // namespace
