#include <gtest/gtest.h>

#include "control_test_support.h"

namespace
{
// A control under a parent that records what is passed up to it, attached to
// a window-less manager whose notifications are recorded.
class ControlEvents : public testing::Test
{
protected:
    void SetUp() override
    {
        manager.AddNotifier(&notes);
        parent.SetManager(&manager, NULL, false);
        control.SetManager(&manager, &parent, false);
    }

    CManagerUI manager;
    CNotifyRecorder notes;
    CEventRecorder parent;
    CControlUI control;
};

TEST_F(ControlEvents, TimerAndMenuBecomeNotifications)
{
    TControlEvent timer = MakeEvent(EventTimer, 0, 0, 7, 99);
    control.DispatchEvent(timer);
    ASSERT_EQ(notes.records.size(), 1u);
    EXPECT_EQ(notes.records[0].type, L"timer");
    EXPECT_EQ(notes.records[0].sender, &control);
    EXPECT_EQ(notes.records[0].wParam, 7u);
    EXPECT_EQ(notes.records[0].lParam, 99);

    // Without "menu" the context menu is the parent's business.
    TControlEvent menu = MakeEvent(EventContextMenu, 0, 0, 3, 4);
    control.DispatchEvent(menu);
    EXPECT_EQ(notes.records.size(), 1u);
    ASSERT_EQ(parent.kinds.size(), 1u);
    EXPECT_EQ(parent.kinds[0], EventContextMenu);

    control.SetAttribute(L"menu", L"true");
    control.DispatchEvent(menu);
    ASSERT_EQ(notes.records.size(), 2u);
    EXPECT_EQ(notes.records[1].type, L"menu");
    EXPECT_EQ(notes.records[1].wParam, 3u);
    EXPECT_EQ(parent.kinds.size(), 1u);
}

TEST_F(ControlEvents, OtherEventsGoUpAndHandlersCanVetoThem)
{
    TControlEvent key = MakeEvent(EventKeyDown);
    control.DispatchEvent(key);
    ASSERT_EQ(parent.kinds.size(), 1u);

    struct TVeto
    {
        bool OnEvent(void*) { return false; }
    } veto;
    control.eventHandlers += MakeDelegate(&veto, &TVeto::OnEvent);
    control.DispatchEvent(key);
    EXPECT_EQ(parent.kinds.size(), 1u);

    CControlUI root;  // nobody above: the event is dropped
    root.DispatchEvent(key);
}

TEST_F(ControlEvents, FocusFollowsTheManagerAndVisibility)
{
    control.SetFocus();
    EXPECT_EQ(manager.GetFocus(), &control);
    EXPECT_TRUE(control.IsFocused());
    ASSERT_EQ(notes.records.size(), 1u);
    EXPECT_EQ(notes.records[0].type, L"setfocus");

    control.SetVisible(false);
    EXPECT_EQ(manager.GetFocus(), nullptr);
    EXPECT_FALSE(control.IsFocused());
    ASSERT_EQ(notes.records.size(), 2u);
    EXPECT_EQ(notes.records[1].type, L"killfocus");

    control.SetFocus();  // an invisible control cannot take it
    EXPECT_EQ(manager.GetFocus(), nullptr);

    control.SetVisible(true);
    control.SetFocus();
    control.SetInheritedVisible(false);  // hidden by a parent
    EXPECT_EQ(manager.GetFocus(), nullptr);
    EXPECT_FALSE(control.IsFocused());

    control.SetInheritedVisible(true);
    control.SetEnabled(false);
    control.SetFocus();
    EXPECT_EQ(manager.GetFocus(), nullptr);
}

TEST_F(ControlEvents, DeletingAControlLeavesTheManagerNothingOfIt)
{
    CControlUI* doomed = new CControlUI;
    doomed->SetManager(&manager, &parent, false);
    int destroyed = 0;
    struct TWatch
    {
        int* count;
        bool OnDestroy(void*)
        {
            ++*count;
            return true;
        }
    } watch{&destroyed};
    doomed->destroyHandlers += MakeDelegate(&watch, &TWatch::OnDestroy);
    doomed->SetFocus();
    ASSERT_EQ(manager.GetFocus(), doomed);
    manager.AddMouseLeaveNeeded(doomed);
    doomed->Delete();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager.GetFocus(), nullptr);
}

TEST_F(ControlEvents, VirtualWindowNameIsInherited)
{
    parent.SetAttribute(L"virtualwnd", L"page");
    EXPECT_EQ(control.GetVirtualWnd(), L"page");
    EXPECT_TRUE(manager.IsUseVirtualWnd());
    control.SetVirtualWnd(L"inner");
    EXPECT_EQ(control.GetVirtualWnd(), L"inner");
}
}  // namespace
