#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/TestControls.h"
#include "ui/controls/Container.h"

namespace
{
// Overrides nothing of the control interface.
class CPlainControl : public CControlUI
{
};
}  // namespace

TEST(ControlAccessors, APlainSubclassAnswersAsAControl)
{
    CPlainControl control;
    EXPECT_STREQ(control.GetClassName(), L"Control");
    EXPECT_EQ(control.FindInterface(L"Control"), &control);
    EXPECT_EQ(control.FindInterface(L"Container"), nullptr);

    CContainerUI container;
    EXPECT_EQ(container.FindInterface(L"Container"), &container);
    EXPECT_EQ(container.FindInterface(L"IContainer"), static_cast<IContainerUI*>(&container));
    EXPECT_EQ(container.FindInterface(L"Control"), static_cast<CControlUI*>(&container));
}

TEST(ControlAccessors, LimitsAndSizesFollowTheirStoringRules)
{
    CControlUI control;
    control.SetMinWidth(50);
    control.SetMaxWidth(20);
    EXPECT_EQ(control.GetMaxWidth(), 50);  // a maximum below the minimum acts as the minimum
    control.SetMinHeight(-5);
    EXPECT_EQ(control.GetMinHeight(), 0);
    control.SetFixedWidth(30);
    control.SetFixedWidth(-1);
    EXPECT_EQ(control.GetFixedWidth(), 30);
    control.SetFixedHeight(12);
    EXPECT_EQ(control.EstimateSize(CUISize(999, 999)).cx, 30);
    EXPECT_EQ(control.EstimateSize(CUISize(999, 999)).cy, 12);
    control.SetToolTip(L"first<n>second");
    EXPECT_EQ(control.GetToolTip(), L"first\r\nsecond");
}

TEST(ControlAccessors, ActivateNeedsAVisibleEnabledControl)
{
    CControlUI control;
    EXPECT_TRUE(control.Activate());
    control.SetEnabled(false);
    EXPECT_FALSE(control.Activate());
    control.SetEnabled(true);
    control.SetInheritedVisible(false);
    EXPECT_FALSE(control.IsVisible());
    EXPECT_FALSE(control.Activate());
}

TEST(ControlAccessors, ContainersPassVisibilityDownAndOwnTheirChildren)
{
    CCountedControl::alive = 0;
    {
        CContainerUI container;
        CControlUI* child = new CCountedControl;
        container.Add(child);
        container.Add(new CCountedControl);
        container.SetVisible(false);
        EXPECT_FALSE(child->IsVisible());
        container.SetVisible(true);
        EXPECT_TRUE(child->IsVisible());

        EXPECT_TRUE(container.SetItemIndex(child, 1));
        EXPECT_EQ(container.GetItemAt(1), child);
        EXPECT_EQ(container.GetItemAt(2), nullptr);
        EXPECT_TRUE(container.Remove(child, true));  // kept
        EXPECT_EQ(CCountedControl::alive, 2);
        child->Delete();
        EXPECT_FALSE(container.RemoveAt(5));
    }
    EXPECT_EQ(CCountedControl::alive, 0);
}
