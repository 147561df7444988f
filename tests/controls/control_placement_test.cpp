#include <gtest/gtest.h>

#include "control_test_support.h"
#include "tests/support/TestWindow.h"

namespace
{
struct TFloatCase
{
    TPercentInfo percent;
    RECT parent;
    RECT relative;  // where the float control is placed, relative to the parent
};

// Placing a float control anywhere and asking the float formula where it
// belongs must give the same place back, at any parent size and fraction.
TEST(ControlFloat, PlacementAndFormulaRoundTrip)
{
    const TFloatCase cases[] = {
        {{0, 0, 0, 0}, {100, 50, 300, 250}, {10, 20, 60, 45}},
        {{0.5, 0, 0.5, 0}, {0, 0, 201, 77}, {110, 10, 150, 40}},
        {{0, 0, 1, 1}, {10, 10, 210, 110}, {5, 5, 195, 95}},
        {{0.333, 0.667, 0.9, 1.0}, {-40, -30, 97, 61}, {-5, 3, 120, 70}},
        {{0.25, 0.25, 0.75, 0.75}, {0, 0, 3, 3}, {-7, -7, 0, 0}},
    };
    for (const TFloatCase& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << "parent width " << c.parent.right - c.parent.left << ", fraction " << c.percent.left);
        CControlUI parent;
        parent.SetPos(c.parent);
        CControlUI child;
        child.SetManager(NULL, &parent, false);
        child.SetFloat(true);
        child.SetFloatPercent(c.percent);

        child.SetPos(c.relative);
        RECT absolute = c.relative;
        ::OffsetRect(&absolute, c.parent.left, c.parent.top);
        ExpectRect(child.GetPos(), absolute);
        ExpectRect(child.GetRelativePos(), c.relative);
        const int width = c.parent.right - c.parent.left;
        const int height = c.parent.bottom - c.parent.top;
        ExpectRect(child.CalcFloatPos(width, height), c.relative);

        // The other way round: the float data survive a placement at another parent size.
        const SIZE xy = child.GetFixedXY();
        const int fixedWidth = child.GetFixedWidth();
        const int fixedHeight = child.GetFixedHeight();
        parent.SetPos(Rect(c.parent.left, c.parent.top, c.parent.right + 37, c.parent.bottom + 11));
        child.SetPos(child.CalcFloatPos(width + 37, height + 11));
        EXPECT_EQ(child.GetFixedXY().cx, xy.cx);
        EXPECT_EQ(child.GetFixedXY().cy, xy.cy);
        EXPECT_EQ(child.GetFixedWidth(), fixedWidth);
        EXPECT_EQ(child.GetFixedHeight(), fixedHeight);
    }
}

TEST(ControlFloat, FractionsMoveEdgesByTheirShareOfTheParent)
{
    CControlUI control;
    control.ApplyAttributeList(L"pos=\"10,20,110,50\" float=\"0.5,0,0.5,0\"");
    ExpectRect(control.CalcFloatPos(200, 100), Rect(110, 20, 210, 50));
    ExpectRect(control.CalcFloatPos(201, 100), Rect(110, 20, 210, 50));  // shares truncate

    CControlUI parent;
    parent.SetPos(Rect(0, 0, 201, 77));
    CControlUI child;
    child.SetManager(NULL, &parent, false);
    child.SetFloat(true);
    child.SetFloatPercent(TPercentInfo{0.5, 0, 0.5, 0});
    child.SetPos(Rect(110, 10, 150, 40));
    EXPECT_EQ(child.GetFixedXY().cx, 10);
    EXPECT_EQ(child.GetFixedWidth(), 40);
    EXPECT_EQ(child.GetFixedHeight(), 30);
}

TEST(ControlFloat, WithoutAParentSetPosKeepsTheRectangle)
{
    CControlUI control;
    control.SetFloat(true);
    control.SetPos(Rect(1, 2, 30, 40));
    ExpectRect(control.GetPos(), Rect(0, 0, 0, 0));

    CControlUI plain;
    plain.SetPos(Rect(50, 60, 10, 20));  // negative sizes become empty
    ExpectRect(plain.GetPos(), Rect(50, 60, 50, 60));
}

// A control inside a parent at (0,0,100,100), attached to a window-less
// manager so that placement goes all the way to the cover.
class ControlCover : public testing::Test
{
protected:
    void SetUp() override
    {
        parent.SetManager(&manager, NULL, false);
        parent.SetPos(Rect(0, 0, 100, 100));
        control.SetManager(&manager, &parent, false);
        cover = new CControlUI;
        control.SetCover(cover);
    }

    CManagerUI manager;
    CControlUI parent;
    CControlUI control;
    CControlUI* cover = NULL;  // owned by control
};

TEST_F(ControlCover, FollowsTheControlAndIsClampedToItsLimits)
{
    EXPECT_EQ(cover->GetParent(), &control);
    control.SetPos(Rect(10, 10, 60, 60));
    ExpectRect(cover->GetPos(), Rect(10, 10, 60, 60));

    cover->SetMaxWidth(20);
    cover->SetMinHeight(80);
    control.SetPos(Rect(10, 10, 60, 60));
    ExpectRect(cover->GetPos(), Rect(10, 10, 30, 90));

    control.MoveBy(5, 7);
    ExpectRect(cover->GetPos(), Rect(15, 17, 35, 97));
}

TEST_F(ControlCover, AFloatCoverIsPlacedByItsOwnFloatData)
{
    cover->SetFloat(true);
    cover->SetFixedXY(5, 5);
    cover->SetFixedWidth(10);
    cover->SetFixedHeight(10);
    cover->SetFloatPercent(TPercentInfo{0.5, 0, 0.5, 0});
    control.SetPos(Rect(10, 10, 60, 60));
    ExpectRect(cover->GetPos(), Rect(40, 15, 50, 25));
    EXPECT_EQ(cover->GetFixedXY().cx, 5);
    EXPECT_EQ(cover->GetFixedWidth(), 10);
}

// A float control's SetPos takes a parent-relative rectangle; its cover
// belongs over where the control really is.
TEST_F(ControlCover, CoversAFloatControlWhereItIs)
{
    parent.SetPos(Rect(100, 100, 300, 300));
    control.SetFloat(true);
    control.SetPos(Rect(10, 10, 50, 50));
    ExpectRect(control.GetPos(), Rect(110, 110, 150, 150));
    ExpectRect(cover->GetPos(), Rect(110, 110, 150, 150));
}

// Placed outside its parent, the control cannot be seen and nothing is
// repainted; the cover still has to go with it, or scrolling the control
// back into view leaves the cover behind.
TEST_F(ControlCover, FollowsAMoveThatCannotBeSeen)
{
    control.SetPos(Rect(10, 10, 60, 60));
    control.SetPos(Rect(200, 200, 250, 250));
    ExpectRect(cover->GetPos(), Rect(200, 200, 250, 250));
    control.MoveBy(-150, -150, false);
    ExpectRect(control.GetPos(), Rect(50, 50, 100, 100));
    ExpectRect(cover->GetPos(), Rect(50, 50, 100, 100));

    parent.SetVisible(false);
    control.MoveBy(-10, -10, true);
    ExpectRect(cover->GetPos(), Rect(40, 40, 90, 90));
}

TEST_F(ControlCover, SharesVisibilityAndIsDeletedWithTheControl)
{
    control.SetVisible(false);
    EXPECT_FALSE(cover->IsVisible());
    control.SetVisible(true);
    EXPECT_TRUE(cover->IsVisible());
    parent.SetVisible(false);
    control.SetInheritedVisible(false);
    EXPECT_FALSE(cover->IsVisible());

    bool destroyed = false;
    struct TWatch
    {
        bool* flag;
        bool OnDestroy(void*)
        {
            *flag = true;
            return true;
        }
    } watch{&destroyed};
    cover->destroyHandlers += MakeDelegate(&watch, &TWatch::OnDestroy);
    control.SetCover(NULL);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(control.GetCover(), nullptr);
}

// A size handler that places its control again must not run again.
TEST(ControlPlacement, SizeHandlersRunOncePerPlacement)
{
    CManagerUI manager;
    CControlUI control;
    control.SetManager(&manager, NULL, false);
    struct TResize
    {
        CControlUI* control;
        int calls;
        bool OnSize(void*)
        {
            ++calls;
            control->SetPos(Rect(0, 0, 5, 5));
            return true;
        }
    } resize{&control, 0};
    control.sizeHandlers += MakeDelegate(&resize, &TResize::OnSize);
    EXPECT_TRUE(control.IsUpdateNeeded());
    control.SetPos(Rect(0, 0, 50, 50));
    EXPECT_EQ(resize.calls, 1);
    EXPECT_FALSE(control.IsUpdateNeeded());
    ExpectRect(control.GetPos(), Rect(0, 0, 5, 5));
}

TEST(ControlPlacement, SizeChangesUnderAHiddenParentStillAskForLayout)
{
    CManagerUI manager;
    CControlUI parent;
    parent.SetVisible(false);
    parent.SetManager(&manager, NULL, false);
    CControlUI control;
    control.SetManager(&manager, &parent, false);
    ASSERT_FALSE(manager.IsUpdateNeeded());
    control.SetFixedWidth(40);
    EXPECT_TRUE(manager.IsUpdateNeeded());
}

// Repaints stay inside the ancestors; a control under a hidden ancestor
// asks for none when it moves.
TEST(ControlPlacement, InvalidationIsClippedToTheAncestors)
{
    CTestWindow host(WS_POPUP, 300, 300);
    HWND window = host.Get();
    ASSERT_NE(window, nullptr);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);  // hidden windows collect no update region
    {
        CManagerUI manager;
        manager.Init(window);
        CControlUI parent;
        parent.SetManager(&manager, NULL, false);
        parent.SetPos(Rect(0, 0, 100, 100));
        CControlUI control;
        control.SetManager(&manager, &parent, false);
        control.SetPos(Rect(50, 50, 150, 150));

        RECT update;
        ::ValidateRect(window, NULL);
        control.Invalidate();
        ASSERT_TRUE(::GetUpdateRect(window, &update, FALSE));
        ExpectRect(update, Rect(50, 50, 100, 100));

        ::ValidateRect(window, NULL);
        control.SetPos(Rect(40, 60, 140, 160));
        ASSERT_TRUE(::GetUpdateRect(window, &update, FALSE));
        ExpectRect(update, Rect(40, 50, 100, 100));

        ::ValidateRect(window, NULL);
        parent.SetInheritedVisible(false);
        control.SetPos(Rect(10, 10, 20, 20));
        EXPECT_FALSE(::GetUpdateRect(window, &update, FALSE));
        ExpectRect(control.GetPos(), Rect(10, 10, 20, 20));
    }
}
}  // namespace
