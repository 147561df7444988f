#include <gtest/gtest.h>

#include <string>

#include "control_test_support.h"
#include "layout_test_support.h"

namespace
{
// A vertical layout 100 x 100 at the origin with a vertical bar and three
// children 80 high: content 240, range 140. The bar's line size is 8.
struct ScrolledLayout
{
    ScrolledLayout() : root(new CVerticalLayoutUI)
    {
        manager.AttachRoot(root);
        root->EnableScrollBar(true, false);
        for (int i = 0; i < 3; ++i)
            rows[i] = AddSized(root, 0, 80);
        pinned = AddSized(root, 20, 20);
        pinned->SetFloat(true);
        pinned->SetFixedXY(50, 50);
        root->SetPos(CUIRect(0, 0, 100, 100));
    }
    CScrollBarUI* Bar() const { return root->GetVerticalScrollBar(); }

    CManagerProbe manager;
    CVerticalLayoutUI* root;
    CControlUI* rows[3];
    CControlUI* pinned;
};

TEST(ContainerScroll, ContentMovesAndFloatChildrenStay)
{
    ScrolledLayout tree;
    ASSERT_TRUE(tree.Bar()->IsVisible());
    ASSERT_EQ(tree.Bar()->GetScrollRange(), 140);

    tree.root->SetScrollPos(CUISize(0, 30));
    EXPECT_EQ(tree.root->GetScrollPos().cy, 30);
    ExpectRect(tree.rows[0]->GetPos(), 0, -30, 84, 50);
    ExpectRect(tree.rows[2]->GetPos(), 0, 130, 84, 210);
    ExpectRect(tree.pinned->GetPos(), 50, 50, 70, 70);

    // The bar clamps; the content moves by what the bar took.
    tree.root->SetScrollPos(CUISize(0, 1000));
    EXPECT_EQ(tree.root->GetScrollPos().cy, 140);
    ExpectRect(tree.rows[0]->GetPos(), 0, -140, 84, -60);
    ExpectRect(tree.pinned->GetPos(), 50, 50, 70, 70);

    // A new layout keeps the scrolled place.
    tree.root->SetPos(CUIRect(0, 0, 100, 100));
    ExpectRect(tree.rows[0]->GetPos(), 0, -140, 84, -60);
}

struct TScrollKeyCase
{
    const char* what;
    EventKind kind;
    WORD key;
    WPARAM wParam;
    int start;
    int expected;
};

// A wheel notch scrolls the system's number of wheel lines, 8 pixels each here.
int WheelPixels()
{
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return 8 * static_cast<int>(lines);
}

TEST(ContainerScroll, KeysAndWheelScrollTheVerticalBar)
{
    ASSERT_LT(WheelPixels(), 70) << "the cases assume a few lines a notch";
    const TScrollKeyCase cases[] = {
        {"wheel towards the user", EventScrollWheel, 0, 1, 0, WheelPixels()},
        {"wheel away from the user", EventScrollWheel, 0, 0, 70, 70 - WheelPixels()},
        {"down arrow", EventKeyDown, VK_DOWN, 0, 0, 8},
        {"up arrow at the top", EventKeyDown, VK_UP, 0, 0, 0},
        {"page down", EventKeyDown, VK_NEXT, 0, 10, 110},
        {"page up", EventKeyDown, VK_PRIOR, 0, 110, 10},
        {"end", EventKeyDown, VK_END, 0, 0, 140},
        {"home", EventKeyDown, VK_HOME, 0, 77, 0},
    };
    for (const TScrollKeyCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ScrolledLayout tree;
        tree.root->SetScrollPos(CUISize(0, c.start));
        TControlEvent event = MakeEvent(c.kind, 40, 40, c.wParam);
        event.keyChar = c.key;
        tree.root->DispatchEvent(event);
        EXPECT_EQ(tree.root->GetScrollPos().cy, c.expected);
        EXPECT_EQ(tree.rows[0]->GetPos().top, -c.expected);
    }
}

// Clicks on an owned bar scroll its owner, content and all.
TEST(ContainerScroll, OwnedBarScrollsItsOwner)
{
    ScrolledLayout tree;
    tree.Bar()->SetAttribute(L"linesize", L"25");
    TControlEvent down = MakeEvent(EventButtonDown, 90, 95);
    tree.Bar()->DispatchEvent(down);
    EXPECT_EQ(tree.root->GetScrollPos().cy, 25);
    EXPECT_EQ(tree.rows[0]->GetPos().top, -25);
    TControlEvent up = MakeEvent(EventButtonUp, 90, 95);
    tree.Bar()->DispatchEvent(up);

    // A click on the rail below the thumb pages by the visible height.
    TControlEvent rail = MakeEvent(EventButtonDown, 90, 80);
    tree.Bar()->DispatchEvent(rail);
    EXPECT_EQ(tree.root->GetScrollPos().cy, 125);
}

// The point lies on the bar, on a child inside the inner area, and on the
// part of a child that overflows into the inset.
TEST(ContainerHitTest, BarsChildrenAndTheInnerArea)
{
    ScrolledLayout tree;
    tree.root->SetInset(0, 0, 0, 10);
    tree.root->SetPos(CUIRect(0, 0, 100, 100));
    EXPECT_EQ(tree.manager.FindControlAt(CUIPoint(92, 50)), tree.Bar());
    EXPECT_EQ(tree.manager.FindControlAt(CUIPoint(10, 10)), tree.rows[0]);
    EXPECT_EQ(tree.manager.FindControlAt(CUIPoint(10, 95)), tree.root);
    EXPECT_EQ(tree.manager.FindControlAt(CUIPoint(55, 55)), tree.pinned);

    tree.root->SetMouseChildEnabled(false);
    EXPECT_EQ(tree.manager.FindControlAt(CUIPoint(10, 10)), tree.root);
    EXPECT_EQ(tree.manager.FindControlAt(CUIPoint(92, 50)), tree.Bar());
}

// Children paint only inside the inner area, float children anywhere in the
// container, and nothing paints over the bar.
TEST(ContainerPaint, ChildrenAreClippedToTheInnerArea)
{
    ScrolledLayout tree;
    tree.root->SetInset(0, 0, 0, 10);
    tree.root->SetBkColor(0xFF0000FF);
    tree.rows[0]->SetBkColor(0xFFFF0000);
    tree.rows[1]->SetBkColor(0xFFFF0000);
    tree.pinned->SetBkColor(0xFF00FF00);
    tree.pinned->SetFixedXY(0, 88);
    tree.root->SetPos(CUIRect(0, 0, 100, 100));

    CCanvas canvas(100, 100, 0x000000);
    EXPECT_TRUE(tree.root->Paint(canvas.Dc(), CUIRect(0, 0, 100, 100), NULL));
    EXPECT_EQ(canvas.Rgb(10, 10), 0xFF0000u);  // a child inside
    EXPECT_EQ(canvas.Rgb(50, 95), 0x0000FFu);  // overflow into the inset: clipped
    EXPECT_EQ(canvas.Rgb(90, 50), 0x0000FFu);  // the bar, which has no looks of its own
    EXPECT_EQ(canvas.Rgb(5, 95), 0x00FF00u);   // a float child in the inset
}

TEST(ContainerPaint, StopControlEndsTheWalk)
{
    ScrolledLayout tree;
    CCanvas canvas(100, 100, 0x000000);
    EXPECT_FALSE(tree.root->Paint(canvas.Dc(), CUIRect(0, 0, 100, 100), tree.rows[1]));
    EXPECT_FALSE(tree.root->Paint(canvas.Dc(), CUIRect(0, 0, 100, 100), tree.Bar()));
}

// Removing a child hands it to the manager's delayed cleanup; the container's
// own destruction deletes the rest at once.
TEST(ContainerOwnership, DelayedDeleteAndDestruction)
{
    CSizedControl::alive = 0;
    {
        CManagerProbe manager;
        CVerticalLayoutUI* root = new CVerticalLayoutUI;
        manager.AttachRoot(root);
        CControlUI* removed = AddSized(root, 0, 10);
        AddSized(root, 0, 10);
        CControlUI* kept = AddSized(root, 0, 10);
        ASSERT_EQ(CSizedControl::alive, 3);

        EXPECT_TRUE(root->Remove(removed));
        EXPECT_EQ(CSizedControl::alive, 3);
        EXPECT_EQ(manager.DelayedCleanup().Find(removed), 0);
        EXPECT_EQ(removed->GetParent(), nullptr);
        EXPECT_EQ(root->GetCount(), 2);

        // Kept children are the caller's again.
        EXPECT_TRUE(root->Remove(kept, true));
        EXPECT_FALSE(root->Remove(kept));
        delete kept;
        EXPECT_EQ(CSizedControl::alive, 2);

        CContainerUI* inner = new CContainerUI;
        root->Add(inner);
        AddSized(inner, 0, 10);
        AddSized(inner, 0, 10);
        ASSERT_EQ(CSizedControl::alive, 4);
        EXPECT_TRUE(root->Remove(inner));
        EXPECT_EQ(CSizedControl::alive, 4);
    }
    EXPECT_EQ(CSizedControl::alive, 0);

    CVerticalLayoutUI* plain = new CVerticalLayoutUI;
    AddSized(plain, 0, 10);
    plain->EnableScrollBar(true, true);
    plain->Delete();
    EXPECT_EQ(CSizedControl::alive, 0);
}

// A bad index changes nothing: the child keeps its place, its parent and its name.
TEST(ContainerOrder, SetItemIndexChecksTheIndexFirst)
{
    CManagerUI manager;
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    manager.AttachRoot(root);
    CControlUI* a = AddSized(root, 0, 10);
    CControlUI* b = AddSized(root, 0, 10);
    CControlUI* c = AddSized(root, 0, 10);
    b->SetName(L"b");

    const int bad[] = {-1, 3, 100};
    for (int index : bad)
    {
        SCOPED_TRACE(index);
        EXPECT_FALSE(root->SetItemIndex(b, index));
        EXPECT_EQ(root->GetCount(), 3);
        EXPECT_EQ(root->GetItemIndex(b), 1);
        EXPECT_EQ(b->GetParent(), root);
        EXPECT_EQ(manager.FindControlByName(L"b"), b);
    }
    CControlUI stranger;
    EXPECT_FALSE(root->SetItemIndex(&stranger, 0));

    EXPECT_TRUE(root->SetItemIndex(b, 2));
    EXPECT_EQ(root->GetItemAt(0), a);
    EXPECT_EQ(root->GetItemAt(1), c);
    EXPECT_EQ(root->GetItemAt(2), b);
    EXPECT_TRUE(root->SetMultiItemIndex(a, 2, 1));
    EXPECT_EQ(root->GetItemAt(0), b);
    EXPECT_FALSE(root->SetMultiItemIndex(b, 2, 2));
    EXPECT_EQ(root->GetItemAt(0), b);
}

// A child refused for a bad index stays the caller's: not attached to the
// manager, its name not registered.
TEST(ContainerOrder, AddAtChecksTheIndexFirst)
{
    CManagerUI manager;
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    manager.AttachRoot(root);
    AddSized(root, 0, 10);

    const int bad[] = {-1, 2, 100};
    for (int index : bad)
    {
        SCOPED_TRACE(index);
        CControlUI child;
        child.SetName(L"late");
        EXPECT_FALSE(root->AddAt(&child, index));
        EXPECT_EQ(root->GetCount(), 1);
        EXPECT_EQ(child.GetManager(), nullptr);
        EXPECT_EQ(child.GetParent(), nullptr);
        EXPECT_EQ(manager.FindControlByName(L"late"), nullptr);
    }
}

struct TSeparatorCase
{
    const char* what;
    bool horizontal;
    int sepSize;
    int grab;      // where the button goes down along the flow
    int moves[4];  // pointer positions along the flow, 0 ends the list
    int start;     // expected edges along the flow after the drag
    int end;
};

// The layout is 200 along the flow starting at 100, with a minimum of 150 and
// a maximum of 260; the separator is 4 thick.
TEST(BoxSeparator, DragIsClampedToTheMinimumAndMaximum)
{
    const TSeparatorCase cases[] = {
        {"far edge, small steps follow at once", false, 4, 298, {301, 306, 0, 0}, 100, 308},
        {"far edge, stops at the maximum", false, 4, 298, {340, 420, 0, 0}, 100, 360},
        {"far edge, waits for the pointer after a clamp", false, 4, 298, {420, 400, 362, 355}, 100, 353},
        {"far edge, stops at the minimum", false, 4, 298, {200, 150, 0, 0}, 100, 250},
        {"near edge, horizontal", true, -4, 102, {90, 20, 0, 0}, 40, 300},
        {"near edge, stops at the minimum", true, -4, 102, {180, 190, 0, 0}, 150, 300},
        {"far edge, horizontal", true, 4, 299, {330, 0, 0, 0}, 100, 331},
    };
    for (const TSeparatorCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CManagerProbe manager;
        CVerticalLayoutUI* root = new CVerticalLayoutUI;
        manager.AttachRoot(root);
        CBoxLayoutUI* box = c.horizontal ? static_cast<CBoxLayoutUI*>(new CHorizontalLayoutUI)
                                         : static_cast<CBoxLayoutUI*>(new CVerticalLayoutUI);
        root->Add(box);
        box->SetAttribute(c.horizontal ? L"sepwidth" : L"sepheight", std::to_wstring(c.sepSize).c_str());
        if (c.horizontal)
        {
            box->SetMinWidth(150);
            box->SetMaxWidth(260);
        }
        else
        {
            box->SetMinHeight(150);
            box->SetMaxHeight(260);
        }
        // The parent's layout is done; the drag has to ask for a new one.
        root->SetPos(CUIRect(0, 0, 400, 400));
        ASSERT_FALSE(root->IsUpdateNeeded());
        box->SetPos(c.horizontal ? CUIRect(100, 0, 300, 50) : CUIRect(0, 100, 50, 300));
        EXPECT_EQ(box->GetFlags(), static_cast<UINT>(FlagSetCursor));

        auto at = [&](int along) { return c.horizontal ? CUIPoint(along, 25) : CUIPoint(25, along); };
        TControlEvent down = MakeEvent(EventButtonDown, at(c.grab).x, at(c.grab).y);
        box->DispatchEvent(down);
        EXPECT_EQ(manager.PostPaintControls().Find(box), 0);
        for (int along : c.moves)
        {
            if (along == 0)
                break;
            TControlEvent move = MakeEvent(EventMouseMove, at(along).x, at(along).y);
            box->DispatchEvent(move);
        }
        TControlEvent up = MakeEvent(EventButtonUp, at(c.moves[0]).x, at(c.moves[0]).y);
        box->DispatchEvent(up);
        EXPECT_EQ(manager.PostPaintControls().Find(box), -1);

        const RECT& rc = box->GetPos();
        EXPECT_EQ(c.horizontal ? rc.left : rc.top, c.start);
        EXPECT_EQ(c.horizontal ? rc.right : rc.bottom, c.end);
        EXPECT_EQ(c.horizontal ? box->GetFixedWidth() : box->GetFixedHeight(), c.end - c.start);
        EXPECT_TRUE(root->IsUpdateNeeded());
    }
}

// With immediate mode the layout takes each step at once.
TEST(BoxSeparator, ImmediateModeResizesWhileDragging)
{
    CManagerProbe manager;
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    manager.AttachRoot(root);
    CVerticalLayoutUI* box = new CVerticalLayoutUI;
    root->Add(box);
    box->SetAttribute(L"sepheight", L"4");
    box->SetAttribute(L"sepimm", L"true");
    box->SetPos(CUIRect(0, 0, 50, 100));
    TControlEvent down = MakeEvent(EventButtonDown, 25, 98);
    box->DispatchEvent(down);
    EXPECT_EQ(manager.PostPaintControls().Find(box), -1);
    TControlEvent move = MakeEvent(EventMouseMove, 25, 118);
    box->DispatchEvent(move);
    ExpectRect(box->GetPos(), 0, 0, 50, 120);
    EXPECT_EQ(box->GetFixedHeight(), 120);

    // A press outside the strip is no drag.
    CVerticalLayoutUI* other = new CVerticalLayoutUI;
    root->Add(other);
    other->SetAttribute(L"sepheight", L"4");
    other->SetPos(CUIRect(0, 200, 50, 300));
    TControlEvent miss = MakeEvent(EventButtonDown, 25, 250);
    other->DispatchEvent(miss);
    TControlEvent drag = MakeEvent(EventMouseMove, 25, 280);
    other->DispatchEvent(drag);
    ExpectRect(other->GetPos(), 0, 200, 50, 300);
}
}  // namespace
