#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/ManagerProbe.h"
#include "tests/support/TestControls.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/Container.h"

namespace
{
// root(container "root") > [a "one", b "two", inner(container) > [c "one"]]
CContainerUI* BuildTree(CControlUI** a = NULL, CControlUI** c = NULL)
{
    CContainerUI* root = new CContainerUI;
    root->SetName(L"root");
    CControlUI* first = new CCountedControl(L"one");
    root->Add(first);
    root->Add(new CCountedControl(L"two"));
    CContainerUI* inner = new CContainerUI;
    CControlUI* nested = new CCountedControl(L"one");
    inner->Add(nested);
    root->Add(inner);
    if (a != NULL)
        *a = first;
    if (c != NULL)
        *c = nested;
    return root;
}
}  // namespace

TEST(ManagerTree, AttachRootRegistersNamesWithTheLastVisitedWinning)
{
    CManagerUI manager;
    CControlUI* a = NULL;
    CControlUI* c = NULL;
    CContainerUI* root = BuildTree(&a, &c);
    ASSERT_TRUE(manager.AttachRoot(root));

    EXPECT_EQ(manager.GetRoot(), root);
    EXPECT_EQ(manager.FindControlByName(L"root"), root);
    EXPECT_EQ(manager.FindControlByName(L"one"), c);  // a later sibling's subtree over an earlier one
    EXPECT_EQ(a->GetManager(), &manager);
    EXPECT_EQ(c->GetParent()->GetParent(), root);
    EXPECT_TRUE(manager.IsUpdateNeeded());
}

TEST(ManagerTree, ASecondRootReplacesTheFirstAndTheManagerFreesBoth)
{
    CCountedControl::alive = 0;
    {
        CManagerProbe manager;
        CContainerUI* first = BuildTree();
        manager.AttachRoot(first);
        CContainerUI* second = new CContainerUI;
        second->Add(new CCountedControl(L"three"));
        ASSERT_TRUE(manager.AttachRoot(second));

        EXPECT_EQ(manager.FindControlByName(L"one"), nullptr);
        EXPECT_EQ(manager.FindControlByName(L"root"), nullptr);
        EXPECT_NE(manager.FindControlByName(L"three"), nullptr);
        ASSERT_EQ(manager.DelayedCleanup().GetSize(), 1);
        EXPECT_EQ(manager.DelayedCleanup()[0], first);
        EXPECT_EQ(first->GetParent(), nullptr);
        EXPECT_EQ(CCountedControl::alive, 4);

        // A third root deletes what the second attach scheduled.
        manager.AttachRoot(new CControlUI);
        EXPECT_EQ(CCountedControl::alive, 1);
    }
    EXPECT_EQ(CCountedControl::alive, 0);
}

TEST(ManagerTree, RenamingFollowsTheNameMapWithoutTakingOtherControlsNames)
{
    CManagerUI manager;
    CControlUI* a = NULL;
    CControlUI* c = NULL;
    manager.AttachRoot(BuildTree(&a, &c));
    CControlUI* two = manager.FindControlByName(L"two");
    ASSERT_NE(two, nullptr);

    // SetName stores and the map follows.
    two->SetName(L"deux");
    EXPECT_EQ(two->GetName(), L"deux");
    EXPECT_EQ(manager.FindControlByName(L"deux"), two);
    EXPECT_EQ(manager.FindControlByName(L"two"), nullptr);

    // "one" maps to c: renaming a must not drop c's entry.
    a->SetName(L"uno");
    EXPECT_EQ(manager.FindControlByName(L"one"), c);
    EXPECT_EQ(manager.FindControlByName(L"uno"), a);

    EXPECT_FALSE(manager.RenameControl(a, L"deux"));  // held by another control
    EXPECT_EQ(a->GetName(), L"uno");
    EXPECT_TRUE(manager.RenameControl(a, L"uno"));
    EXPECT_TRUE(manager.RenameControl(a, L"eins"));
    EXPECT_EQ(manager.FindControlByName(L"eins"), a);
    EXPECT_EQ(manager.FindControlByName(L"uno"), nullptr);
    EXPECT_FALSE(manager.RenameControl(a, L""));

    CControlUI stranger;
    EXPECT_FALSE(manager.RenameControl(&stranger, L"x"));

    // Attached for a moment without a parent, as the skin builder does while
    // applying attributes: the name waits for the tree.
    CControlUI* loose = new CControlUI;
    loose->SetManager(&manager, NULL, false);
    loose->SetName(L"loose");
    EXPECT_EQ(manager.FindControlByName(L"loose"), nullptr);
    loose->SetManager(NULL, NULL, false);
    static_cast<CContainerUI*>(manager.GetRoot())->Add(loose);
    EXPECT_EQ(manager.FindControlByName(L"loose"), loose);
}

TEST(ManagerTree, ADestroyedControlLeavesNoTraceInTheManagersLists)
{
    CTestWindow window;
    CManagerProbe manager;
    manager.Init(window.Get());
    CContainerUI* root = new CContainerUI;
    CControlUI* doomed = new CCountedControl(L"doomed");
    root->Add(doomed);
    root->SetDelayedDestroy(false);
    manager.AttachRoot(root);

    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, window.Get(), NULL, NULL, NULL);
    CControlUI keeper;
    HWND keeperChild =
        ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, window.Get(), NULL, NULL, NULL);
    manager.AddPostPaint(doomed);
    EXPECT_TRUE(manager.AddNativeWindow(&keeper, keeperChild));
    EXPECT_TRUE(manager.AddNativeWindow(doomed, child));
    EXPECT_FALSE(manager.AddNativeWindow(doomed, child));
    manager.AddMouseLeaveNeeded(doomed);
    TNotifyMsg* queued = new TNotifyMsg();
    queued->type = NotifyType::Scroll;
    queued->sender = doomed;
    manager.AsyncNotify().Add(queued);

    root->Remove(doomed);
    EXPECT_EQ(queued->sender, nullptr);
    EXPECT_EQ(manager.FindControlByName(L"doomed"), nullptr);
    EXPECT_EQ(manager.PostPaintControls().Find(doomed), -1);
    EXPECT_EQ(manager.NativeWindowControls().Find(doomed), -1);
    EXPECT_EQ(manager.NativeWindows().Find(child), -1);
    EXPECT_EQ(manager.MouseLeaveNeeded().Find(doomed), -1);
    // The other control's entries stay paired.
    ASSERT_EQ(manager.NativeWindows().GetSize(), 1);
    EXPECT_EQ(manager.NativeWindows()[0], keeperChild);
    EXPECT_EQ(manager.NativeWindowControls()[0], &keeper);
    manager.RemoveNativeWindow(keeperChild);
    EXPECT_TRUE(manager.NativeWindowControls().IsEmpty());
}

TEST(ManagerTree, FindControlAtReturnsTheTopMostMouseEnabledControl)
{
    CManagerUI manager;
    CContainerUI* root = new CContainerUI;
    CControlUI* bottom = new CControlUI;
    CControlUI* top = new CControlUI;
    root->Add(bottom);
    root->Add(top);
    manager.AttachRoot(root);
    root->SetPos(CUIRect(0, 0, 100, 100), false);
    bottom->SetPos(CUIRect(0, 0, 60, 60), false);
    top->SetPos(CUIRect(40, 40, 100, 100), false);

    EXPECT_EQ(manager.FindControlAt(CUIPoint(50, 50)), top);
    EXPECT_EQ(manager.FindControlAt(CUIPoint(10, 10)), bottom);
    EXPECT_EQ(manager.FindControlAt(CUIPoint(90, 10)), root);
    EXPECT_EQ(manager.FindControlAt(CUIPoint(150, 10)), nullptr);
    top->SetMouseEnabled(false);
    EXPECT_EQ(manager.FindControlAt(CUIPoint(50, 50)), bottom);
    top->SetVisible(false);
    root->SetMouseChildEnabled(false);
    EXPECT_EQ(manager.FindControlAt(CUIPoint(10, 10)), root);
}
