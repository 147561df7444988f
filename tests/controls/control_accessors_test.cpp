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

// Texts that few controls have are kept only once set: each reads empty
// before, keeps what was set, short or long, and reads empty again once set
// to nothing.
TEST(ControlAccessors, RareTextsReadEmptyUntilSetAndAfterClearing)
{
    struct TCase
    {
        const char* what;
        void (*set)(CControlUI&, LPCWSTR);
        CUIString (*get)(CControlUI&);
    };
    const TCase cases[] = {
        {"tool tip", [](CControlUI& c, LPCWSTR v) { c.SetToolTip(v); },
         [](CControlUI& c) { return c.GetToolTip(); }},
        {"user data", [](CControlUI& c, LPCWSTR v) { c.SetUserData(v); },
         [](CControlUI& c) { return CUIString(c.GetUserData()); }},
        {"virtual window", [](CControlUI& c, LPCWSTR v) { c.SetVirtualWnd(v); },
         [](CControlUI& c) { return c.GetVirtualWnd(); }},
        {"accessible name", [](CControlUI& c, LPCWSTR v) { c.SetAccessibleName(v); },
         [](CControlUI& c) { return c.GetAccessibleName(); }},
        {"background image", [](CControlUI& c, LPCWSTR v) { c.SetBkImage(v); },
         [](CControlUI& c) { return CUIString(c.GetBkImage()); }},
    };
    // Longer than a string's inline buffer.
    const CUIString longText(L"a text of well over sixty-three characters, to live in a heap block");
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CControlUI control;
        EXPECT_EQ(c.get(control), L"");
        c.set(control, L"first");
        EXPECT_EQ(c.get(control), L"first");
        c.set(control, longText);
        EXPECT_EQ(c.get(control), longText.GetData());
        c.set(control, L"");
        EXPECT_EQ(c.get(control), L"");
        c.set(control, L"again");
        c.set(control, NULL);
        EXPECT_EQ(c.get(control), L"");
    }
}

TEST(ControlAccessors, UserDataIsReadInPlace)
{
    CControlUI control;
    control.SetUserData(L"long enough to need a block of its own on the heap, well over the inline size");
    // Set from its own text by reference: the old block must not be freed before the copy.
    control.SetUserData(control.GetUserData());
    EXPECT_EQ(control.GetUserData(), L"long enough to need a block of its own on the heap, well over the inline size");
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
