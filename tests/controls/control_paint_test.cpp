#include <gtest/gtest.h>

#include "control_test_support.h"

namespace
{
const DWORD kWhite = 0xFFFFFF;
const DWORD kRed = 0xFF0000;
const DWORD kGreen = 0x00FF00;
const DWORD kBlue = 0x0000FF;

// A control at (5,5)-(35,25) on a white 40x30 canvas, attached to a manager
// without a window so that images resolve through its tables.
class ControlPaint : public testing::Test
{
protected:
    ControlPaint() : canvas(40, 30, 0xFFFFFFFF)
    {
        control.SetManager(&manager, NULL, false);
        control.SetPos(Rect(5, 5, 35, 25));
    }

    bool PaintAll() { return control.Paint(canvas.Dc(), Rect(0, 0, 40, 30), NULL); }

    // True when no pixel of the canvas differs from white.
    bool Untouched() const
    {
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                if (canvas.Rgb(x, y) != kWhite)
                    return false;
        return true;
    }

    CManagerUI manager;
    CControlUI control;
    CCanvas canvas;
};

TEST_F(ControlPaint, OpaqueColourFillsThePaintAreaTranslucentTheWholeControl)
{
    control.SetAttribute(L"bkcolor", L"#FF0000FF");
    EXPECT_TRUE(control.Paint(canvas.Dc(), Rect(0, 0, 20, 30), NULL));
    EXPECT_EQ(canvas.Rgb(10, 10), kBlue);
    EXPECT_EQ(canvas.Rgb(30, 10), kWhite);  // inside the control, outside the paint area
    EXPECT_EQ(canvas.Rgb(2, 2), kWhite);

    control.SetAttribute(L"bkcolor", L"#800000FF");
    control.Paint(canvas.Dc(), Rect(0, 0, 20, 30), NULL);
    EXPECT_TRUE(NearColor(canvas.Rgb(30, 10), 0x7F7FFF, 2)) << std::hex << canvas.Rgb(30, 10);
    EXPECT_EQ(canvas.Rgb(36, 10), kWhite);

    control.SetAttribute(L"bkcolor", L"FF0000");  // no alpha: nothing to see
    CCanvas fresh(40, 30, 0xFFFFFFFF);
    control.Paint(fresh.Dc(), Rect(0, 0, 40, 30), NULL);
    EXPECT_EQ(fresh.Rgb(20, 15), kWhite);
}

TEST_F(ControlPaint, SecondColourMakesAVerticalGradient)
{
    control.ApplyAttributeList(L"bkcolor=\"#FF000000\" bkcolor2=\"#FFFFFFFF\"");
    PaintAll();
    int previous = -1;
    for (int y = 5; y < 25; ++y)
    {
        const int level = static_cast<int>(canvas.Rgb(20, y) & 0xFF);
        EXPECT_GE(level, previous) << "row " << y;
        previous = level;
    }
    EXPECT_LT(canvas.Rgb(20, 5) & 0xFF, 0x30u);
    EXPECT_GT(canvas.Rgb(20, 24) & 0xFF, 0xD0u);
    EXPECT_EQ(canvas.Rgb(20, 25), kWhite);
}

TEST_F(ControlPaint, ThirdColourMeetsTheSecondAtTheMiddle)
{
    control.ApplyAttributeList(L"bkcolor=\"#FFFF0000\" bkcolor2=\"#FF00FF00\" bkcolor3=\"#FF0000FF\"");
    PaintAll();
    EXPECT_TRUE(NearColor(canvas.Rgb(20, 5), kRed, 0x20)) << std::hex << canvas.Rgb(20, 5);
    EXPECT_TRUE(NearColor(canvas.Rgb(20, 14), kGreen, 0x30)) << std::hex << canvas.Rgb(20, 14);
    EXPECT_TRUE(NearColor(canvas.Rgb(20, 15), kGreen, 0x20)) << std::hex << canvas.Rgb(20, 15);
    EXPECT_TRUE(NearColor(canvas.Rgb(20, 24), kBlue, 0x30)) << std::hex << canvas.Rgb(20, 24);
}

TEST_F(ControlPaint, BackgroundImageLiesOverTheColourInsideTheControl)
{
    control.ApplyAttributeList(L"bkcolor=\"#FF0000FF\" bkimage=\"color='#FF00FF00' dest='2,2,6,6'\"");
    PaintAll();
    EXPECT_EQ(canvas.Rgb(7, 7), kGreen);  // dest is relative to the control
    EXPECT_EQ(canvas.Rgb(10, 10), kGreen);
    EXPECT_EQ(canvas.Rgb(11, 11), kBlue);
    EXPECT_EQ(canvas.Rgb(6, 6), kBlue);

    // A float control without a size of its own takes the picture's.
    CControlUI floating;
    floating.SetManager(&manager, NULL, false);
    floating.SetFloat(true);
    floating.SetBkImage(L"color='#FF00FF00'");
    EXPECT_EQ(floating.GetFixedWidth(), 1);
    EXPECT_EQ(floating.GetFixedHeight(), 1);
}

TEST_F(ControlPaint, EqualBorderWidthsDrawOneRectangleInside)
{
    control.ApplyAttributeList(L"bordersize=\"2\" bordercolor=\"#FFFF0000\"");
    PaintAll();
    EXPECT_EQ(canvas.Rgb(5, 15), kRed);
    EXPECT_EQ(canvas.Rgb(6, 15), kRed);
    EXPECT_EQ(canvas.Rgb(7, 15), kWhite);
    EXPECT_EQ(canvas.Rgb(34, 15), kRed);
    EXPECT_EQ(canvas.Rgb(33, 15), kRed);
    EXPECT_EQ(canvas.Rgb(32, 15), kWhite);
    EXPECT_EQ(canvas.Rgb(20, 5), kRed);
    EXPECT_EQ(canvas.Rgb(20, 6), kRed);
    EXPECT_EQ(canvas.Rgb(20, 7), kWhite);
    EXPECT_EQ(canvas.Rgb(20, 24), kRed);
    EXPECT_EQ(canvas.Rgb(35, 15), kWhite);
    EXPECT_EQ(canvas.Rgb(4, 15), kWhite);
}

struct TSideCase
{
    const wchar_t* sizes;
    POINT red[4];    // one pixel on each side's line
    POINT white[3];  // just inside the lines, and just outside the control
};

// Every line stays inside the control, whatever the parity of its width.
TEST_F(ControlPaint, UnequalWidthsDrawOneLinePerSideInsideTheControl)
{
    const TSideCase cases[] = {
        {L"1,2,1,2", {{5, 15}, {20, 6}, {34, 15}, {20, 24}}, {{6, 15}, {33, 15}, {35, 15}}},
        {L"1,2,1,3", {{5, 15}, {20, 5}, {34, 15}, {20, 22}}, {{20, 21}, {20, 25}, {35, 15}}},
        {L"3,1,2,1", {{7, 15}, {20, 5}, {33, 15}, {20, 24}}, {{8, 15}, {32, 15}, {20, 25}}},
    };
    for (const TSideCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "bordersize=" << c.sizes);
        CCanvas fresh(40, 30, 0xFFFFFFFF);
        control.SetAttribute(L"bordersize", c.sizes);
        control.SetAttribute(L"bordercolor", L"#FFFF0000");
        control.Paint(fresh.Dc(), Rect(0, 0, 40, 30), NULL);
        for (const POINT& pt : c.red)
            EXPECT_EQ(fresh.Rgb(pt.x, pt.y), kRed) << pt.x << "," << pt.y;
        for (const POINT& pt : c.white)
            EXPECT_EQ(fresh.Rgb(pt.x, pt.y), kWhite) << pt.x << "," << pt.y;
        EXPECT_EQ(fresh.Rgb(20, 15), kWhite);
    }
}

TEST_F(ControlPaint, NoBorderWithoutALeftWidthOrAColour)
{
    control.ApplyAttributeList(L"bordersize=\"0,1,0,1\" bordercolor=\"#FFFF0000\"");
    PaintAll();
    EXPECT_TRUE(Untouched());

    control.ApplyAttributeList(L"bordersize=\"1\" bordercolor=\" #FFFF0000\"");
    PaintAll();
    EXPECT_TRUE(Untouched());
}

TEST_F(ControlPaint, FocusedControlUsesTheFocusBorderColour)
{
    control.ApplyAttributeList(L"bordersize=\"1\" bordercolor=\"#FFFF0000\" focusbordercolor=\"#FF00FF00\"");
    PaintAll();
    EXPECT_EQ(canvas.Rgb(5, 15), kRed);

    TControlEvent event = MakeEvent(EventSetFocus);
    control.DispatchEvent(event);
    PaintAll();
    EXPECT_EQ(canvas.Rgb(5, 15), kGreen);
}

TEST_F(ControlPaint, RoundedCornersClipEveryLayer)
{
    control.ApplyAttributeList(
        L"bkcolor=\"#FF0000FF\" bordersize=\"1\" bordercolor=\"#FFFF0000\" borderround=\"12,12\"");
    PaintAll();
    EXPECT_EQ(canvas.Rgb(5, 5), kWhite);  // outside the rounded outline
    EXPECT_EQ(canvas.Rgb(34, 24), kWhite);
    EXPECT_EQ(canvas.Rgb(20, 15), kBlue);
    EXPECT_EQ(canvas.Rgb(5, 15), kRed);  // the straight part of the outline
    EXPECT_EQ(canvas.Rgb(20, 5), kRed);
}

TEST_F(ControlPaint, StopControlAndPaintHandlers)
{
    control.SetBkColor(0xFF0000FF);
    EXPECT_FALSE(control.Paint(canvas.Dc(), Rect(0, 0, 40, 30), &control));
    EXPECT_TRUE(Untouched());

    EXPECT_TRUE(control.Paint(canvas.Dc(), Rect(36, 0, 40, 30), NULL));  // misses the control
    EXPECT_TRUE(Untouched());

    struct TSkip
    {
        int calls;
        bool OnPaint(void*)
        {
            ++calls;
            return false;
        }
    } skip{0};
    control.paintHandlers += MakeDelegate(&skip, &TSkip::OnPaint);
    EXPECT_TRUE(PaintAll());  // skipped, but the walk goes on
    EXPECT_EQ(skip.calls, 1);
    EXPECT_TRUE(Untouched());
}

TEST_F(ControlPaint, CoverIsPaintedAfterTheControl)
{
    control.SetBkColor(0xFF0000FF);
    CControlUI* cover = new CControlUI;
    control.SetCover(cover);
    cover->SetBkColor(0xFF00FF00);
    control.SetPos(Rect(5, 5, 35, 25));
    cover->SetPos(Rect(5, 5, 15, 15));
    EXPECT_TRUE(PaintAll());
    EXPECT_EQ(canvas.Rgb(10, 10), kGreen);
    EXPECT_EQ(canvas.Rgb(20, 20), kBlue);
}
}  // namespace
