#include <gtest/gtest.h>

#include <limits.h>

#include "control_test_support.h"
#include "layout_test_support.h"

namespace
{
struct TGeometryCase
{
    const char* what;
    bool horizontal;
    RECT bar;
    int range;
    int pos;
    bool button1;
    bool button2;
    RECT button1Rect;
    RECT button2Rect;
    RECT thumb;
};

TEST(ScrollBarGeometry, ButtonsAndThumb)
{
    const TGeometryCase cases[] = {
        {"at the top",
         false,
         {0, 0, 16, 100},
         100,
         0,
         true,
         true,
         {0, 0, 16, 16},
         {0, 84, 16, 100},
         {0, 16, 16, 50}},
        {"at the end",
         false,
         {0, 0, 16, 100},
         100,
         100,
         true,
         true,
         {0, 0, 16, 16},
         {0, 84, 16, 100},
         {0, 50, 16, 84}},
        {"no range",
         false,
         {0, 0, 16, 100},
         0,
         0,
         true,
         true,
         {0, 0, 16, 16},
         {0, 84, 16, 100},
         {0, 16, 16, 84}},
        {"no room for a thumb",
         false,
         {0, 0, 16, 20},
         100,
         0,
         true,
         true,
         {0, 0, 16, 10},
         {0, 10, 16, 20},
         {0, 0, 0, 0}},
        {"moved and wider",
         false,
         {50, 10, 90, 110},
         100,
         50,
         true,
         true,
         {50, 10, 66, 26},
         {50, 94, 66, 110},
         {50, 43, 66, 77}},
        {"horizontal",
         true,
         {0, 0, 100, 16},
         100,
         0,
         true,
         true,
         {0, 0, 16, 16},
         {84, 0, 100, 16},
         {16, 0, 50, 16}},
        {"horizontal at the end",
         true,
         {10, 5, 110, 21},
         100,
         100,
         true,
         true,
         {10, 5, 26, 21},
         {94, 5, 110, 21},
         {60, 5, 94, 21}},
        {"no first button",
         false,
         {0, 0, 16, 100},
         100,
         100,
         false,
         true,
         {0, 0, 0, 0},
         {0, 84, 16, 100},
         {0, 42, 16, 84}},
        {"no buttons",
         false,
         {0, 0, 16, 100},
         100,
         0,
         false,
         false,
         {0, 0, 0, 0},
         {0, 100, 0, 100},
         {0, 0, 16, 50}},
        {"thumb never thinner than the bar",
         false,
         {0, 0, 16, 100},
         10000,
         5000,
         true,
         true,
         {0, 0, 16, 16},
         {0, 84, 16, 100},
         {0, 42, 16, 58}},
    };
    for (const TGeometryCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CScrollBarUI bar;
        if (c.horizontal)
            bar.SetAttribute(L"hor", L"true");
        bar.SetShowButton1(c.button1);
        bar.SetShowButton2(c.button2);
        bar.SetScrollRange(c.range);
        bar.SetScrollPos(c.pos);
        bar.SetPos(c.bar);
        ExpectRect(bar.GetButton1Rect(), c.button1Rect.left, c.button1Rect.top, c.button1Rect.right,
                   c.button1Rect.bottom);
        ExpectRect(bar.GetButton2Rect(), c.button2Rect.left, c.button2Rect.top, c.button2Rect.right,
                   c.button2Rect.bottom);
        ExpectRect(bar.GetThumbRect(), c.thumb.left, c.thumb.top, c.thumb.right, c.thumb.bottom);
    }
}

TEST(ScrollBarGeometry, OrientationSwapsTheThickness)
{
    CScrollBarUI bar;
    EXPECT_EQ(bar.GetFixedWidth(), 16);
    EXPECT_EQ(bar.GetFixedHeight(), 0);
    bar.SetAttribute(L"hor", L"true");
    EXPECT_TRUE(bar.IsHorizontal());
    EXPECT_EQ(bar.GetFixedWidth(), 0);
    EXPECT_EQ(bar.GetFixedHeight(), 16);
    bar.SetAttribute(L"hor", L"TRUE");
    EXPECT_FALSE(bar.IsHorizontal());
    EXPECT_EQ(bar.GetFixedWidth(), 16);
}

struct TPositionCase
{
    int unit;
    int range;
    int requested;
    int expected;
};

TEST(ScrollBarPosition, ClampedAndRoundedToTheUnit)
{
    const TPositionCase cases[] = {
        {10, 100, 23, 20},
        {10, 100, 25, 30},
        {10, 100, -5, 0},
        {10, 100, 150, 100},
        {7, 100, 10, 14},
        {7, 100, 9, 7},
        {1, 100, 37, 37},
        {0, 100, 37, 37},
        {10, INT_MAX, INT_MAX, INT_MAX},
        {10, INT_MAX, INT_MAX - 2, INT_MAX},
        {1, -20, 5, 0},
    };
    for (const TPositionCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "unit " << c.unit << ", position " << c.requested);
        CScrollBarUI bar;
        bar.SetScrollUnit(c.unit);
        bar.SetScrollRange(c.range);
        bar.SetScrollPos(c.requested);
        EXPECT_EQ(bar.GetScrollPos(), c.expected);
    }
}

// Ranges near the limit of int: the thumb stays on the track and a drag over
// half the travel still lands half-way.
TEST(ScrollBarPosition, HugeRanges)
{
    CScrollBarUI bar;
    bar.SetPos(CUIRect(0, 0, 16, 100));
    bar.SetScrollRange(INT_MAX);
    bar.SetScrollPos(INT_MAX);
    ExpectRect(bar.GetThumbRect(), 0, 68, 16, 84);
    bar.SetScrollPos(INT_MAX / 2);
    ExpectRect(bar.GetThumbRect(), 0, 41, 16, 57);

    bar.SetScrollPos(0);
    TControlEvent grab = MakeEvent(EventButtonDown, 8, 20);
    bar.DispatchEvent(grab);
    TControlEvent move = MakeEvent(EventMouseMove, 8, 46);
    bar.DispatchEvent(move);
    TControlEvent tick = MakeEvent(EventTimer, 0, 0, CScrollBarUI::RepeatTimerId);
    bar.DispatchEvent(tick);
    EXPECT_EQ(bar.GetScrollPos(), INT_MAX / 2);

    TControlEvent away = MakeEvent(EventMouseMove, 8, INT_MAX);
    bar.DispatchEvent(away);
    bar.DispatchEvent(tick);
    EXPECT_EQ(bar.GetScrollPos(), INT_MAX);
}

// A free-standing bar with a manager, so that positions are announced.
struct FreeBar
{
    FreeBar() : bar(new CScrollBarUI)
    {
        manager.AttachRoot(bar);
        bar->SetPos(CUIRect(0, 0, 16, 100));
    }
    void Send(EventKind kind, int x = 8, int y = 0, WPARAM wParam = 0)
    {
        TControlEvent event = MakeEvent(kind, x, y, wParam);
        bar->DispatchEvent(event);
    }
    void Tick() { Send(EventTimer, 8, 0, CScrollBarUI::RepeatTimerId); }
    const TNotifyMsg* Queued(int index) { return static_cast<TNotifyMsg*>(manager.AsyncNotify()[index]); }

    CManagerProbe manager;
    CScrollBarUI* bar;
};

TEST(ScrollBarNotify, ChangesAreQueuedAsScroll)
{
    FreeBar free;
    free.bar->SetScrollPos(30);
    ASSERT_EQ(free.manager.AsyncNotify().GetSize(), 1);
    EXPECT_STREQ(free.Queued(0)->type.GetData(), L"scroll");
    EXPECT_EQ(free.Queued(0)->sender, free.bar);
    EXPECT_EQ(free.Queued(0)->wParam, 30u);
    EXPECT_EQ(free.Queued(0)->lParam, 0);

    free.bar->SetScrollPos(30);
    free.bar->SetScrollPos(45, false);
    EXPECT_EQ(free.manager.AsyncNotify().GetSize(), 1);
    EXPECT_EQ(free.Queued(0)->wParam, 30u);
}

// The arrow moves one line at once, then waits five ticks of the repeat
// timer before repeating on every tick until the button comes up.
TEST(ScrollBarRepeat, HeldButtonRepeatsAfterTheDelay)
{
    FreeBar free;
    free.Send(EventButtonDown, 8, 90);
    EXPECT_EQ(free.bar->GetScrollPos(), 8);
    EXPECT_NE(free.bar->GetButton2State() & StatePushed, 0u);
    for (int tick = 1; tick <= 5; ++tick)
        free.Tick();
    EXPECT_EQ(free.bar->GetScrollPos(), 8);
    free.Tick();
    EXPECT_EQ(free.bar->GetScrollPos(), 16);
    free.Tick();
    EXPECT_EQ(free.bar->GetScrollPos(), 24);
    free.Send(EventButtonUp, 8, 90);
    EXPECT_EQ(free.bar->GetButton2State() & StatePushed, 0u);

    // Back up with the first button and a scroll unit: one unit per step.
    free.bar->SetScrollUnit(5);
    free.Send(EventButtonDown, 8, 5);
    EXPECT_EQ(free.bar->GetScrollPos(), 20);
    for (int tick = 1; tick <= 6; ++tick)
        free.Tick();
    EXPECT_EQ(free.bar->GetScrollPos(), 15);
    free.Send(EventButtonUp, 8, 5);

    // A timer of another id is not the repeat.
    free.Send(EventButtonDown, 8, 90);
    for (int tick = 1; tick <= 10; ++tick)
        free.Send(EventTimer, 8, 0, 3);
    EXPECT_EQ(free.bar->GetScrollPos(), 20);
}

// Range 100 on a 100-long bar: the thumb is 34 long and can travel 34.
TEST(ScrollBarDrag, HalfTheTravelIsHalfTheRange)
{
    FreeBar free;
    free.Send(EventButtonDown, 8, 30);
    EXPECT_NE(free.bar->GetThumbState() & StateCaptured, 0u);
    free.Send(EventMouseMove, 8, 47);
    EXPECT_EQ(free.bar->GetScrollPos(), 0);  // moves on the next tick
    free.Tick();
    EXPECT_EQ(free.bar->GetScrollPos(), 50);
    ExpectRect(free.bar->GetThumbRect(), 0, 33, 16, 67);
    free.Send(EventMouseMove, 8, -500);
    free.Tick();
    EXPECT_EQ(free.bar->GetScrollPos(), 0);
    free.Send(EventButtonUp, 8, 0);
    EXPECT_EQ(free.bar->GetThumbState() & (StateCaptured | StatePushed), 0u);
}

// With nothing to scroll the thumb fills the track and cannot travel.
TEST(ScrollBarDrag, NoTravelMovesNothing)
{
    FreeBar free;
    free.bar->SetScrollRange(0);
    free.Send(EventButtonDown, 8, 50);
    free.Send(EventMouseMove, 8, 70);
    free.Tick();
    EXPECT_EQ(free.bar->GetScrollPos(), 0);
}

TEST(ScrollBarState, DisabledBarIgnoresPresses)
{
    FreeBar free;
    free.Send(EventMouseEnter, 8, 30);
    EXPECT_NE(free.bar->GetButton1State() & StateHot, 0u);
    EXPECT_NE(free.bar->GetThumbState() & StateHot, 0u);
    free.bar->SetEnabled(false);
    EXPECT_EQ(free.bar->GetButton1State(), 0u);
    EXPECT_EQ(free.bar->GetThumbState(), 0u);
    free.Send(EventButtonDown, 8, 90);
    EXPECT_EQ(free.bar->GetScrollPos(), 0);
}
// Each part takes the image of its state, falls back to the normal image, and
// is drawn over its own rectangle whatever destination the descriptor names.
TEST(ScrollBarPaint, PartsTakeTheImagesOfTheirStates)
{
    FreeBar free;
    free.bar->ApplyAttributeList(
        L"bknormalimage=\"color='#FF808080'\" button1color=\" #FF0000FF\" "
        L"thumbnormalimage=\"color='#FF00FF00' dest='0,0,1,1'\" thumbhotimage=\"color='#FFFF0000'\" "
        L"railnormalimage=\"color='#FFFFFFFF'\"");
    auto paint = [&](CCanvas& canvas) { free.bar->Paint(canvas.Dc(), CUIRect(0, 0, 16, 100), NULL); };

    CCanvas normal(16, 100, 0);
    paint(normal);
    EXPECT_EQ(normal.Rgb(8, 8), 0x0000FFu);   // button 1: its colour
    EXPECT_EQ(normal.Rgb(8, 18), 0x00FF00u);  // thumb, 16 to 50
    EXPECT_EQ(normal.Rgb(8, 33), 0xFFFFFFu);  // grip, 25 to 41
    EXPECT_EQ(normal.Rgb(8, 45), 0x00FF00u);
    EXPECT_EQ(normal.Rgb(8, 70), 0x808080u);  // background
    EXPECT_EQ(normal.Rgb(8, 92), 0x808080u);  // button 2 has no looks

    free.Send(EventMouseEnter, 8, 20);
    CCanvas hot(16, 100, 0);
    paint(hot);
    EXPECT_EQ(hot.Rgb(8, 18), 0xFF0000u);
    EXPECT_EQ(hot.Rgb(8, 33), 0xFFFFFFu);  // no hot grip: the normal one

    free.bar->SetEnabled(false);
    CCanvas disabled(16, 100, 0);
    paint(disabled);
    EXPECT_EQ(disabled.Rgb(8, 18), 0x00FF00u);
    EXPECT_NE(free.bar->GetThumbState() & StateDisabled, 0u);
}
}  // namespace
