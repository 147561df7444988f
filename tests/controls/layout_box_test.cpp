#include <gtest/gtest.h>

#include "layout_test_support.h"

int CSizedControl::alive = 0;

namespace
{
// A tree attached to a window-less manager, so that children know their parent.
template <class TLayout> struct LayoutTree
{
    LayoutTree() : root(new TLayout) { manager.AttachRoot(root); }
    CManagerProbe manager;
    TLayout* root;
};

struct TStretchCase
{
    int height;
    int childPadding;
    int tops[3];
    int heights[3];
};

// Children without a height share what the others leave; the last of them
// takes the remainder of the division.
TEST(BoxLayout, StretchChildrenShareTheFreeSpace)
{
    const TStretchCase cases[] = {
        {300, 0, {0, 50, 175}, {50, 125, 125}},
        {300, 10, {0, 60, 185}, {50, 115, 115}},
        {301, 0, {0, 50, 175}, {50, 125, 126}},
    };
    for (const TStretchCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "height " << c.height << ", padding " << c.childPadding);
        LayoutTree<CVerticalLayoutUI> tree;
        tree.root->SetChildPadding(c.childPadding);
        CControlUI* children[] = {AddSized(tree.root, 0, 50), AddSized(tree.root, 0, 0),
                                  AddSized(tree.root, 0, 0)};
        tree.root->SetPos(CUIRect(0, 0, 80, c.height));
        for (int i = 0; i < 3; ++i)
            ExpectRect(children[i]->GetPos(), 0, c.tops[i], 80, c.tops[i] + c.heights[i]);
    }
}

// The same children across the other axis give the same numbers.
TEST(BoxLayout, HorizontalLayoutMirrorsTheVerticalOne)
{
    LayoutTree<CHorizontalLayoutUI> tree;
    tree.root->SetChildPadding(10);
    CControlUI* fixed = AddSized(tree.root, 50, 0);
    CControlUI* first = AddSized(tree.root, 0, 0);
    CControlUI* last = AddSized(tree.root, 0, 0);
    tree.root->SetPos(CUIRect(100, 20, 401, 60));
    ExpectRect(fixed->GetPos(), 100, 20, 150, 60);
    ExpectRect(first->GetPos(), 160, 20, 275, 60);
    ExpectRect(last->GetPos(), 285, 20, 401, 60);
}

struct TLimitCase
{
    const char* what;
    int fixed;
    int minSize;
    int maxSize;
    int expected;
};

// Whatever the layout computes, a child ends up between its minimum and maximum.
TEST(BoxLayout, MinimumAndMaximumWinOverFixedAndStretchedSizes)
{
    const TLimitCase cases[] = {
        {"stretch below its minimum", 0, 200, 9999, 200},
        {"stretch above its maximum", 0, 0, 40, 40},
        {"fixed above its maximum", 500, 0, 100, 100},
        {"fixed below its minimum", 10, 30, 9999, 30},
    };
    for (const TLimitCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        LayoutTree<CVerticalLayoutUI> tree;
        AddSized(tree.root, 0, 150);
        CControlUI* child = AddSized(tree.root, 0, c.fixed);
        child->SetMinHeight(c.minSize);
        child->SetMaxHeight(c.maxSize);
        tree.root->SetPos(CUIRect(0, 0, 100, 300));
        EXPECT_EQ(child->GetPos().top, 150);
        EXPECT_EQ(child->GetHeight(), c.expected);
    }
}

// Too much content turns the vertical bar on with the overflow as its range;
// the layout is re-run with the bar's room taken from the width.
TEST(BoxLayout, OverflowShowsTheScrollBarWithTheOverflowAsRange)
{
    LayoutTree<CVerticalLayoutUI> tree;
    tree.root->SetAttribute(L"vscrollbar", L"true");
    CControlUI* fixed = AddSized(tree.root, 0, 150);
    CControlUI* stretch = AddSized(tree.root, 0, 0);
    stretch->SetMinHeight(200);
    tree.root->SetPos(CUIRect(0, 0, 100, 300));

    CScrollBarUI* bar = tree.root->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 50);
    EXPECT_EQ(bar->GetParent(), tree.root);
    ExpectRect(bar->GetPos(), 84, 0, 100, 300);
    ExpectRect(fixed->GetPos(), 0, 0, 84, 150);
    ExpectRect(stretch->GetPos(), 0, 150, 84, 350);

    // Less content hides it again and gives the width back.
    stretch->SetMinHeight(0);
    tree.root->SetPos(CUIRect(0, 0, 100, 300));
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 0);
    ExpectRect(stretch->GetPos(), 0, 150, 100, 300);
}

struct TAlignCase
{
    bool horizontal;
    LPCWSTR value;
    int crossStart;
};

// Inset 10 on every side, a 300 x 300 layout, a child at most 100 across with
// margins 5 before and 7 after it across the flow.
TEST(BoxLayout, ChildrenAlignAcrossTheFlow)
{
    const TAlignCase
        cases
            [] =
                {
                    {false, L"left", 15},    {false, L"center", 100}, {false, L"right", 183},
                    {true, L"top", 15},      {true, L"vcenter", 100}, {true, L"bottom", 183},
                    {false, L"middle", 183},  // unknown: the previous value stays
                };
    for (const TAlignCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.horizontal ? "horizontal " : "vertical ") << c.value);
        CBoxLayoutUI* root = c.horizontal ? static_cast<CBoxLayoutUI*>(new CHorizontalLayoutUI)
                                          : static_cast<CBoxLayoutUI*>(new CVerticalLayoutUI);
        CManagerUI manager;
        manager.AttachRoot(root);
        root->SetAttribute(L"inset", L"10,10,10,10");
        LPCWSTR name = c.horizontal ? L"childvalign" : L"childalign";
        root->SetAttribute(name, c.horizontal ? L"bottom" : L"right");
        root->SetAttribute(name, c.value);
        CControlUI* child = AddSized(root, 40, 40);
        if (c.horizontal)
        {
            child->SetPadding(0, 5, 0, 7);
            child->SetFixedHeight(0);
            child->SetMaxHeight(100);
        }
        else
        {
            child->SetPadding(5, 0, 7, 0);
            child->SetFixedWidth(0);
            child->SetMaxWidth(100);
        }
        root->SetPos(CUIRect(0, 0, 300, 300));
        const RECT& rc = child->GetPos();
        EXPECT_EQ(c.horizontal ? rc.top : rc.left, c.crossStart);
        EXPECT_EQ(c.horizontal ? rc.bottom - rc.top : rc.right - rc.left, 100);
    }
}

// Margins along the flow separate children; a measured child keeps its
// measured height in a vertical flow, while a horizontal flow stretches every
// child without a fixed width whatever it measures.
TEST(BoxLayout, MarginsAndMeasuredChildren)
{
    LayoutTree<CVerticalLayoutUI> vertical;
    CSizedControl* first = AddSized(vertical.root, 0, 0);
    first->estimate = CUISize(30, 20);
    first->SetPadding(4, 6, 0, 8);
    CControlUI* second = AddSized(vertical.root, 0, 0);
    vertical.root->SetPos(CUIRect(0, 0, 100, 200));
    ExpectRect(first->GetPos(), 4, 6, 100, 26);
    ExpectRect(second->GetPos(), 0, 34, 100, 200);

    LayoutTree<CHorizontalLayoutUI> horizontal;
    CSizedControl* label = AddSized(horizontal.root, 0, 0);
    label->estimate = CUISize(30, 20);
    CControlUI* fixed = AddSized(horizontal.root, 100, 0);
    horizontal.root->SetPos(CUIRect(0, 0, 300, 50));
    ExpectRect(label->GetPos(), 0, 0, 200, 50);
    ExpectRect(fixed->GetPos(), 200, 0, 300, 50);
}

// Float children sit at their own offset from the layout's corner, take no
// room in the flow, and follow their fractions of the layout's size.
TEST(BoxLayout, FloatChildrenLeaveTheFlow)
{
    LayoutTree<CVerticalLayoutUI> tree;
    CControlUI* pinned = AddSized(tree.root, 30, 20);
    pinned->SetFloat(true);
    pinned->SetFixedXY(10, 5);
    CControlUI* centred = AddSized(tree.root, 20, 10);
    centred->SetFloat(true);
    centred->SetFloatPercent(TPercentInfo{0.5, 0.0, 0.5, 0.0});
    CControlUI* flow = AddSized(tree.root, 0, 40);
    tree.root->SetPos(CUIRect(100, 50, 300, 250));
    ExpectRect(pinned->GetPos(), 110, 55, 140, 75);
    ExpectRect(centred->GetPos(), 200, 50, 220, 60);
    ExpectRect(flow->GetPos(), 100, 50, 300, 90);

    tree.root->SetPos(CUIRect(0, 0, 100, 100));
    ExpectRect(pinned->GetPos(), 10, 5, 40, 25);
    ExpectRect(centred->GetPos(), 50, 0, 70, 10);
}

// The plain container gives each child the whole inner area within its limits.
TEST(Container, ChildrenTakeTheInnerArea)
{
    CContainerUI* root = new CContainerUI;
    CManagerUI manager;
    manager.AttachRoot(root);
    root->SetInset(5, 5, 5, 5);
    CControlUI* full = AddSized(root, 0, 0);
    CControlUI* limited = AddSized(root, 0, 0);
    limited->SetMaxWidth(20);
    limited->SetMinHeight(500);
    root->SetPos(CUIRect(0, 0, 100, 100));
    ExpectRect(full->GetPos(), 5, 5, 95, 95);
    ExpectRect(limited->GetPos(), 5, 5, 25, 505);
}

// Content that grows with the room it is given makes every bar that is shown
// offer more room again; the layout still ends.
TEST(BoxLayout, ShowingAndHidingScrollBarsTerminates)
{
    const bool wider[] = {true, false, true};
    const bool taller[] = {false, true, true};
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(testing::Message() << "wider " << wider[i] << ", taller " << taller[i]);
        LayoutTree<CVerticalLayoutUI> tree;
        tree.root->EnableScrollBar(true, true);
        CGreedyControl* greedy = new CGreedyControl(wider[i], taller[i]);
        greedy->SetMaxWidth(100000);
        greedy->SetMaxHeight(100000);
        tree.root->Add(greedy);
        for (int pass = 0; pass < 3; ++pass)
            tree.root->SetPos(CUIRect(0, 0, 200, 100));
        EXPECT_EQ(tree.root->GetHorizontalScrollBar()->IsVisible(), wider[i]);
        EXPECT_EQ(tree.root->GetVerticalScrollBar()->IsVisible(), taller[i]);
    }
}

// Sizes near the limits of int neither wrap into negative sizes nor move
// later children before earlier ones.
TEST(BoxLayout, HugeSizesDoNotWrap)
{
    LayoutTree<CVerticalLayoutUI> tree;
    tree.root->SetChildPadding(INT_MAX);
    CControlUI* first = AddSized(tree.root, 0, INT_MAX);
    first->SetMaxHeight(INT_MAX);
    CControlUI* second = AddSized(tree.root, 0, INT_MAX);
    second->SetMaxHeight(INT_MAX);
    tree.root->SetPos(CUIRect(0, 0, 100, 100));
    EXPECT_GE(first->GetHeight(), 0);
    EXPECT_GE(second->GetPos().top, first->GetPos().top);
}
}  // namespace
