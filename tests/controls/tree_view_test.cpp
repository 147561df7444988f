#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "control_test_support.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/TreeView.h"
#include "ui/builder/LayoutBuilder.h"

namespace
{
int g_destroyed = 0;

// A node that counts its destruction.
class CCountedNode : public CTreeNodeUI
{
public:
    explicit CCountedNode(const wchar_t* text) { SetItemText(text); }
    ~CCountedNode() override { ++g_destroyed; }
};

CTreeNodeUI* Node(CTreeViewUI* tree, int row)
{
    return static_cast<CTreeNodeUI*>(tree->GetItemAt(row)->FindInterface(L"TreeNode"));
}

std::string Text(CTreeNodeUI* node)
{
    const CUIString text = node->GetItemText();
    return std::string(text.GetData(), text.GetData() + text.GetLength());
}

// The rows as "text:depth", hidden ones in brackets.
std::string Rows(CTreeViewUI* tree)
{
    std::string rows;
    for (int i = 0; i < tree->GetCount(); ++i)
    {
        CTreeNodeUI* node = Node(tree, i);
        std::string row = Text(node) + ":" + std::to_string(node->GetDepth());
        if (!node->IsVisible())
            row = "[" + row + "]";
        rows += (i > 0 ? " " : "") + row;
    }
    return rows;
}

void AppendDepthFirst(CTreeNodeUI* node, std::vector<CTreeNodeUI*>& order)
{
    order.push_back(node);
    for (int i = 0; i < node->GetChildNodeCount(); ++i)
        AppendDepthFirst(node->GetChildNode(i), order);
}

// The rows are the top-level nodes' subtrees depth first; every row knows
// its index, its tree and its owner; the indentation is 2 + 16 per level
// below the top, where it is hidden.
void ExpectConsistent(CTreeViewUI* tree)
{
    std::vector<CTreeNodeUI*> order;
    for (int i = 0; i < tree->GetCount(); ++i)
    {
        if (Node(tree, i)->GetParentNode() == NULL)
            AppendDepthFirst(Node(tree, i), order);
    }
    ASSERT_EQ(order.size(), static_cast<size_t>(tree->GetCount()));
    for (int i = 0; i < tree->GetCount(); ++i)
    {
        SCOPED_TRACE("row " + std::to_string(i));
        CTreeNodeUI* node = Node(tree, i);
        EXPECT_EQ(order[i], node) << "depth-first order";
        EXPECT_EQ(node->GetTreeIndex(), i);
        EXPECT_EQ(node->GetTreeView(), tree);
        EXPECT_EQ(node->GetIndex(), i);
        EXPECT_EQ(node->GetOwner(), static_cast<IListOwnerUI*>(tree));
        const int depth = node->GetDepth();
        if (node->IsVisible())
        {
            EXPECT_EQ(node->GetDottedLine()->IsVisible(), depth > 0);
        }
        if (depth > 0)
        {
            EXPECT_EQ(node->GetDottedLine()->GetFixedWidth(), 2 + 16 * depth);
        }
    }
}

// A tree view of
//   A
//     A1
//       A1a
//     A2
//   B
//   C
// A's subtree is built before A joins the tree view.
struct TTree
{
    TTree() : tree(new CTreeViewUI)
    {
        a = new CCountedNode(L"A");
        a1 = new CCountedNode(L"A1");
        a1a = new CCountedNode(L"A1a");
        a2 = new CCountedNode(L"A2");
        b = new CCountedNode(L"B");
        c = new CCountedNode(L"C");
        a1->AddChildNode(a1a);
        a->AddChildNode(a1);
        a->AddChildNode(a2);
        tree->Add(a);
        tree->Add(b);
        tree->Add(c);
        g_destroyed = 0;
    }
    ~TTree() { delete tree; }

    CTreeViewUI* tree;
    CTreeNodeUI *a, *a1, *a1a, *a2, *b, *c;
};

const char kBase[] = "A:0 A1:1 A1a:2 A2:1 B:0 C:0";

// X with a child Y with a child Z.
CTreeNodeUI* Chain()
{
    CTreeNodeUI* x = new CCountedNode(L"X");
    CTreeNodeUI* y = new CCountedNode(L"Y");
    y->AddChildNode(new CCountedNode(L"Z"));
    x->AddChildNode(y);
    return x;
}
}  // namespace

TEST(TreeView, AddingKeepsTheRowsDepthFirst)
{
    struct
    {
        const char* name;
        std::function<bool(TTree&)> add;
        const char* rows;
    } const cases[] = {
        {"a child under the first node", [](TTree& t) { return t.a->AddChildNode(new CCountedNode(L"X")); },
         "A:0 A1:1 A1a:2 A2:1 X:1 B:0 C:0"},
        {"a child under a middle node", [](TTree& t) { return t.b->AddChildNode(new CCountedNode(L"X")); },
         "A:0 A1:1 A1a:2 A2:1 B:0 X:1 C:0"},
        {"a child under the last node", [](TTree& t) { return t.c->AddChildNode(new CCountedNode(L"X")); },
         "A:0 A1:1 A1a:2 A2:1 B:0 C:0 X:1"},
        {"a child under the deepest node",
         [](TTree& t) { return t.a1a->AddChildNode(new CCountedNode(L"X")); },
         "A:0 A1:1 A1a:2 X:3 A2:1 B:0 C:0"},
        {"a subtree under the last node", [](TTree& t) { return t.c->AddChildNode(Chain()); },
         "A:0 A1:1 A1a:2 A2:1 B:0 C:0 X:1 Y:2 Z:3"},
        {"inserted as first child", [](TTree& t) { return t.a->AddChildNodeAt(new CCountedNode(L"X"), 0); },
         "A:0 X:1 A1:1 A1a:2 A2:1 B:0 C:0"},
        {"inserted as middle child", [](TTree& t) { return t.a->AddChildNodeAt(new CCountedNode(L"X"), 1); },
         "A:0 A1:1 A1a:2 X:1 A2:1 B:0 C:0"},
        {"inserted past the last child",
         [](TTree& t) { return t.a->AddChildNodeAt(new CCountedNode(L"X"), 9); },
         "A:0 A1:1 A1a:2 A2:1 X:1 B:0 C:0"},
        {"inserted past a last child with children",
         [](TTree& t) { return t.a1->AddChildNodeAt(new CCountedNode(L"X"), 1); },
         "A:0 A1:1 A1a:2 X:2 A2:1 B:0 C:0"},
        {"a node at the top", [](TTree& t) { return t.tree->AddAt(new CCountedNode(L"X"), 0); },
         "X:0 A:0 A1:1 A1a:2 A2:1 B:0 C:0"},
        {"a subtree between nodes", [](TTree& t) { return t.tree->AddAt(Chain(), 4); },
         "A:0 A1:1 A1a:2 A2:1 X:0 Y:1 Z:2 B:0 C:0"},
        {"a node after the last row", [](TTree& t) { return t.tree->AddAt(new CCountedNode(L"X"), 6); },
         "A:0 A1:1 A1a:2 A2:1 B:0 C:0 X:0"},
        {"a subtree appended", [](TTree& t) { return t.tree->Add(Chain()); },
         "A:0 A1:1 A1a:2 A2:1 B:0 C:0 X:0 Y:1 Z:2"},
        {"a subtree through the container interface", [](TTree& t) { return t.b->Add(Chain()); },
         "A:0 A1:1 A1a:2 A2:1 B:0 X:1 Y:2 Z:3 C:0"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TTree t;
        ASSERT_EQ(Rows(t.tree), kBase);
        EXPECT_TRUE(c.add(t));
        EXPECT_EQ(Rows(t.tree), c.rows);
        ExpectConsistent(t.tree);
    }
}

TEST(TreeView, RefusesWhatWouldBreakTheTree)
{
    TTree t;
    CLabelUI label;
    EXPECT_FALSE(t.tree->Add(&label)) << "only tree nodes";
    EXPECT_FALSE(t.tree->Add(nullptr));
    EXPECT_FALSE(t.tree->Add(t.b)) << "already a row";
    EXPECT_FALSE(t.tree->Add(t.a1)) << "a child node joins through its parent";
    EXPECT_FALSE(t.a->AddChildNode(t.b)) << "a row of the tree already";
    EXPECT_FALSE(t.a1->AddChildNode(t.a1)) << "itself";
    CTreeNodeUI* loose = new CCountedNode(L"X");
    EXPECT_FALSE(t.tree->AddAt(loose, -1));
    EXPECT_FALSE(t.tree->AddAt(loose, 7)) << "beyond the end";
    CTreeNodeUI* child = new CCountedNode(L"Y");
    ASSERT_TRUE(loose->AddChildNode(child));
    EXPECT_FALSE(child->AddChildNode(loose)) << "its own ancestor";
    EXPECT_EQ(Rows(t.tree), kBase);
    delete loose;
    EXPECT_EQ(g_destroyed, 2) << "a node outside any tree takes its children with it";
}

TEST(TreeView, RemovingTakesTheDescendantsAlong)
{
    struct
    {
        const char* name;
        std::function<bool(TTree&)> remove;
        const char* rows;
        int destroyed;
    } const cases[] = {
        {"a leaf", [](TTree& t) { return t.tree->Remove(t.a2); }, "A:0 A1:1 A1a:2 B:0 C:0", 1},
        {"a middle node", [](TTree& t) { return t.tree->Remove(t.a1); }, "A:0 A2:1 B:0 C:0", 2},
        {"a top node by index", [](TTree& t) { return t.tree->RemoveAt(0); }, "B:0 C:0", 4},
        {"a child by index", [](TTree& t) { return t.tree->RemoveAt(1); }, "A:0 A2:1 B:0 C:0", 2},
        {"kept", [](TTree& t) { return t.tree->Remove(t.a1, true); }, "A:0 A2:1 B:0 C:0", 0},
        {"kept by index", [](TTree& t) { return t.tree->RemoveAt(0, true); }, "B:0 C:0", 0},
        {"not a row", [](TTree& t) { return t.tree->RemoveAt(6); }, kBase, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TTree t;
        const bool removed = c.remove(t);
        EXPECT_EQ(removed, c.rows != kBase);
        EXPECT_EQ(Rows(t.tree), c.rows);
        EXPECT_EQ(g_destroyed, c.destroyed);
        ExpectConsistent(t.tree);
        // The parent forgets a removed child: adding under it reaches no freed node.
        if (removed && Rows(t.tree).compare(0, 3, "A:0") == 0)
        {
            EXPECT_TRUE(t.a->AddChildNode(new CCountedNode(L"X")));
            ExpectConsistent(t.tree);
        }
    }
}

TEST(TreeView, AKeptNodeKeepsItsSubtreeAndComesBackWhole)
{
    TTree t;
    ASSERT_TRUE(t.tree->Remove(t.a1, true));
    EXPECT_EQ(t.a1->GetParentNode(), nullptr);
    EXPECT_EQ(t.a1->GetTreeView(), nullptr);
    EXPECT_EQ(t.a->GetChildNodeCount(), 1);
    ASSERT_EQ(t.a1->GetChildNodeCount(), 1);
    EXPECT_EQ(t.a1->GetChildNode(0), t.a1a);

    ASSERT_TRUE(t.tree->Add(t.a1));
    EXPECT_EQ(Rows(t.tree), "A:0 A2:1 B:0 C:0 A1:0 A1a:1");
    ExpectConsistent(t.tree);

    ASSERT_TRUE(t.tree->Remove(t.a1, true));
    ASSERT_TRUE(t.c->AddChildNode(t.a1));
    EXPECT_EQ(Rows(t.tree), "A:0 A2:1 B:0 C:0 A1:1 A1a:2");
    ExpectConsistent(t.tree);

    ASSERT_TRUE(t.tree->Remove(t.a1, true));
    delete t.a1;
    EXPECT_EQ(g_destroyed, 2) << "the kept node and its child";
}

namespace
{
// TTree attached to a window-less manager, so that folder buttons and check
// boxes send their notifications to the tree view.
struct TAttachedTree : TTree
{
    TAttachedTree()
    {
        view = tree;
        manager.AttachRoot(view);
        tree = NULL;  // the manager owns it
        view->SetShowCheckBox(true);
    }
    CManagerUI manager;
    CTreeViewUI* view;
};

void Collapse(CTreeNodeUI* node, bool collapse = true)
{
    node->GetFolderButton()->SetSelected(collapse, true);
}
}  // namespace

TEST(TreeView, RowsRemovedFromAWindowAreFreedLaterWithoutTheirLinks)
{
    {
        TAttachedTree t;
        ASSERT_TRUE(t.view->Remove(t.a1));
        EXPECT_EQ(Rows(t.view), "A:0 A2:1 B:0 C:0");
        EXPECT_TRUE(t.a->AddChildNode(new CCountedNode(L"X")));
        ExpectConsistent(t.view);
    }
    EXPECT_EQ(g_destroyed, 7) << "the seven nodes, each once";
}

TEST(TreeView, FoldersShowDescendantsOnlyBelowExpandedAncestors)
{
    struct
    {
        const char* name;
        std::function<void(TAttachedTree&)> act;
        const char* rows;
    } const cases[] = {
        {"collapse the top", [](TAttachedTree& t) { Collapse(t.a); }, "A:0 [A1:1] [A1a:2] [A2:1] B:0 C:0"},
        {"collapse the middle", [](TAttachedTree& t) { Collapse(t.a1); }, "A:0 A1:1 [A1a:2] A2:1 B:0 C:0"},
        {"collapse a leaf", [](TAttachedTree& t) { Collapse(t.a1a); }, kBase},
        {"expand the top again",
         [](TAttachedTree& t) {
             Collapse(t.a);
             Collapse(t.a, false);
         },
         kBase},
        {"a collapsed child stays collapsed under its parent",
         [](TAttachedTree& t) {
             Collapse(t.a1);
             Collapse(t.a);
             Collapse(t.a, false);
         },
         "A:0 A1:1 [A1a:2] A2:1 B:0 C:0"},
        {"a child expanded under a collapsed parent stays hidden",
         [](TAttachedTree& t) {
             Collapse(t.a1);
             Collapse(t.a);
             Collapse(t.a1, false);
         },
         "A:0 [A1:1] [A1a:2] [A2:1] B:0 C:0"},
        {"a child added under a collapsed node is hidden",
         [](TAttachedTree& t) {
             Collapse(t.a1);
             t.a1->AddChildNode(new CCountedNode(L"X"));
         },
         "A:0 A1:1 [A1a:2] [X:2] A2:1 B:0 C:0"},
        {"a double click toggles the folder",
         [](TAttachedTree& t) {
             TControlEvent dbl = MakeEvent(EventDoubleClick);
             t.a->DispatchEvent(dbl);
         },
         "A:0 [A1:1] [A1a:2] [A2:1] B:0 C:0"},
        {"two double clicks",
         [](TAttachedTree& t) {
             TControlEvent dbl = MakeEvent(EventDoubleClick);
             t.a->DispatchEvent(dbl);
             t.a->DispatchEvent(dbl);
         },
         kBase},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TAttachedTree t;
        c.act(t);
        EXPECT_EQ(Rows(t.view), c.rows);
    }
}

TEST(TreeView, CheckBoxesCheckEveryDescendant)
{
    TAttachedTree t;
    auto checks = [&t] {
        std::string s;
        for (int i = 0; i < t.view->GetCount(); ++i)
            s += Node(t.view, i)->IsChecked() ? "x" : ".";
        return s;
    };
    t.a->GetCheckBox()->SetSelected(true, true);
    EXPECT_EQ(checks(), "xxxx..");
    t.a1->GetCheckBox()->SetSelected(false, true);
    EXPECT_EQ(checks(), "x..x..") << "a child's change reaches its own descendants only";
    t.view->SetChildrenChecked(true, NULL);
    EXPECT_EQ(checks(), "xxxxxx");
}

TEST(TreeView, SettingsReachEveryNode)
{
    TAttachedTree t;
    t.view->SetAttribute(L"visiblecheckbtn", L"false");
    t.view->SetAttribute(L"visiblefolderbtn", L"false");
    t.view->SetAttribute(L"itemminwidth", L"300");
    t.view->SetAttribute(L"itemtextcolor", L"#FF112233");
    for (int i = 0; i < t.view->GetCount(); ++i)
    {
        SCOPED_TRACE(i);
        CTreeNodeUI* node = Node(t.view, i);
        EXPECT_FALSE(node->GetCheckBox()->IsVisible());
        EXPECT_FALSE(node->GetFolderButton()->IsVisible());
        EXPECT_EQ(node->GetMinWidth(), 300);
        EXPECT_EQ(node->GetItemButton()->GetTextColor(), 0xFF112233u);
    }
    t.view->SetAttribute(L"visiblecheckbtn", L"true");
    EXPECT_TRUE(t.a2->GetCheckBox()->IsVisible());
    CTreeNodeUI* late = new CTreeNodeUI;
    ASSERT_TRUE(t.b->AddChildNode(late));
    EXPECT_TRUE(late->GetCheckBox()->IsVisible()) << "a node joining later takes the settings";
    EXPECT_FALSE(late->GetFolderButton()->IsVisible());
    EXPECT_EQ(late->GetMinWidth(), 300);
}

TEST(TreeView, ItemTextColourFollowsSelectionAndHover)
{
    TAttachedTree t;
    t.view->SetPos(CUIRect(0, 0, 300, 200));
    t.a->SetAttribute(L"itemtextcolor", L"#FF000001");
    t.a->SetAttribute(L"selitemtextcolor", L"#FF000002");
    t.a->SetAttribute(L"itemhottextcolor", L"#FF000003");
    COptionUI* item = t.a->GetItemButton();
    EXPECT_EQ(item->GetTextColor(), 0xFF000001u);
    t.view->SelectItem(0);
    EXPECT_EQ(item->GetTextColor(), 0xFF000002u);
    const POINT inside = {100, 9};
    TControlEvent enter = PointerEvent(EventMouseEnter, inside);
    t.a->DispatchEvent(enter);
    EXPECT_EQ(item->GetTextColor(), 0xFF000003u) << "no hot selected colour: the hot one";
    t.a->SetAttribute(L"selitemhottextcolor", L"#FF000004");
    TControlEvent leave = MakeEvent(EventMouseLeave, 100, 150);
    t.a->DispatchEvent(leave);
    EXPECT_EQ(item->GetTextColor(), 0xFF000002u);
    t.a->DispatchEvent(enter);
    EXPECT_EQ(item->GetTextColor(), 0xFF000004u);
    t.view->SelectItem(4);
    t.a->DispatchEvent(leave);
    EXPECT_EQ(item->GetTextColor(), 0xFF000001u);

    // B has only a selected colour, set while it is selected.
    t.b->SetAttribute(L"itemattr", L"textcolor=\"#FF0000AA\"");
    t.b->SetSelItemTextColor(0xFF0000BB);
    EXPECT_EQ(t.b->GetItemButton()->GetTextColor(), 0xFF0000BBu) << "the state's colour shows at once";
    t.view->SelectItem(0);
    EXPECT_EQ(t.b->GetItemButton()->GetTextColor(), 0xFF0000AAu) << "the item's own colour comes back";
}

TEST(TreeView, Markup)
{
    CManagerUI manager;
    CLayoutBuilder builder;
    CControlUI* built = builder.Create(
        L"<Window><Tree visiblecheckbtn=\"true\" itemhottextcolor=\"#FF0000FF\">"
        L"<TreeNode text=\"root\" itemattr=\"group=&quot;g&quot;\">"
        L"  <TreeNode text=\"one\"><TreeNode text=\"one.a\"/><Label name=\"tag\" width=\"30\"/></TreeNode>"
        L"  <TreeNode text=\"two\" folderattr=\"selected=&quot;true&quot;\"><TreeNode "
        L"text=\"two.a\"/></TreeNode>"
        L"</TreeNode>"
        L"<TreeNode text=\"next\" selected=\"true\"/>"
        L"</Tree></Window>",
        NULL, &manager);
    ASSERT_NE(built, nullptr);
    CTreeViewUI* tree = static_cast<CTreeViewUI*>(built->FindInterface(L"TreeView"));
    ASSERT_NE(tree, nullptr);
    EXPECT_STREQ(builder.GetLastErrorMessage(), L"");
    EXPECT_EQ(Rows(tree), "root:0 one:1 one.a:2 two:1 [two.a:2] next:0");
    ExpectConsistent(tree);
    EXPECT_FALSE(tree->GetHeader()->IsVisible());
    EXPECT_TRUE(Node(tree, 2)->GetCheckBox()->IsVisible());
    EXPECT_EQ(tree->GetCurSel(), 5) << "a node selected in the skin is the tree's selection";

    CTreeNodeUI* one = Node(tree, 1);
    EXPECT_EQ(one->GetRowLayout()->GetCount(), 5) << "the label follows the node's own parts";
    EXPECT_STREQ(one->GetRowLayout()->GetItemAt(4)->GetName(), L"tag");
    EXPECT_STREQ(one->GetItemButton()->GetGroup(), L"g") << "children share their parent's item group";
    EXPECT_STREQ(Node(tree, 2)->GetItemButton()->GetGroup(), L"g");
    EXPECT_STREQ(Node(tree, 5)->GetItemButton()->GetGroup(), L"");

    // Laid out, each level's text starts further right: 18 for the first
    // level (the hidden top indentation takes no room), 16 for each further.
    manager.AttachRoot(built);
    built->SetPos(CUIRect(0, 0, 300, 200));
    const int top = Node(tree, 0)->GetItemButton()->GetPos().left;
    EXPECT_EQ(top, 36) << "folder button and check box, 18 each";
    EXPECT_EQ(Node(tree, 1)->GetItemButton()->GetPos().left - top, 18);
    EXPECT_EQ(Node(tree, 2)->GetItemButton()->GetPos().left - top, 34);
    ExpectRect(Node(tree, 3)->GetPos(), 0, 54, 250, 72);
    ExpectRect(Node(tree, 5)->GetPos(), 0, 72, 250, 90);  // the hidden row takes no room
}

TEST(TreeView, MarkupTreeNodeOutsideATreeEndsItsLevel)
{
    CLayoutBuilder builder;
    CControlUI* built = builder.Create(L"<Window><VBox><Label/><TreeNode/><Label/></VBox></Window>");
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(static_cast<CContainerUI*>(built)->GetCount(), 1);
    EXPECT_NE(std::wstring(builder.GetLastErrorMessage()).find(L"TreeNode"), std::wstring::npos);
    built->Delete();
}

// ---- In a real window ----

namespace
{
// The tree in a window, fed through the window procedure: rows of 18 pixels
// at the top left, folder button 0-18 and check box 18-36 on a top-level row.
class TreeWindow : public testing::Test
{
protected:
    TreeWindow() : host(manager, 320, 200)
    {
        view = t.tree;
        view->SetShowCheckBox(true);
        manager.AttachRoot(view);
        manager.AddNotifier(&notes);
        t.tree = NULL;
        view->SetPos(CUIRect(0, 0, 300, 200), false);
    }
    ~TreeWindow() override { manager.RemoveNotifier(&notes); }

    void Click(int x, int y)
    {
        ::SendMessageW(host.Get(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        ::SendMessageW(host.Get(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageW(host.Get(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    int Count(const wchar_t* type) const
    {
        int n = 0;
        for (const CNotifyRecorder::TRecord& record : notes.records)
            n += record.type == type ? 1 : 0;
        return n;
    }

    TTree t;
    CManagerUI manager;
    CHostWindow host;
    CNotifyRecorder notes;
    CTreeViewUI* view;
};
}  // namespace

TEST_F(TreeWindow, ClickOnAFolderButtonCollapsesAndExpands)
{
    Click(9, 9);
    EXPECT_EQ(Rows(view), "A:0 [A1:1] [A1a:2] [A2:1] B:0 C:0");
    view->SetPos(view->GetPos(), false);
    ExpectRect(t.b->GetPos(), 0, 18, 250, 36);
    Click(9, 9);
    EXPECT_EQ(Rows(view), kBase);
    view->SetPos(view->GetPos(), false);
    // A1's folder button sits one level further right.
    Click(18 + 9, 18 + 9);
    EXPECT_EQ(Rows(view), "A:0 A1:1 [A1a:2] A2:1 B:0 C:0");
    EXPECT_EQ(view->GetCurSel(), -1) << "the buttons do not select the row";
}

TEST_F(TreeWindow, ClickOnACheckBoxChecksTheSubtree)
{
    Click(18 + 9, 9);
    EXPECT_TRUE(t.a->IsChecked());
    EXPECT_TRUE(t.a1->IsChecked());
    EXPECT_TRUE(t.a1a->IsChecked());
    EXPECT_TRUE(t.a2->IsChecked());
    EXPECT_FALSE(t.b->IsChecked());
}

TEST_F(TreeWindow, ClickOnTheTextSelectsTheRowAndADoubleClickFolds)
{
    Click(150, 4 * 18 + 9);
    EXPECT_EQ(view->GetCurSel(), 4);
    EXPECT_EQ(Count(L"itemselect"), 1);
    EXPECT_EQ(Count(L"itemclick"), 1);

    ::SendMessageW(host.Get(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(150, 9));
    ::SendMessageW(host.Get(), WM_LBUTTONUP, 0, MAKELPARAM(150, 9));
    EXPECT_EQ(Count(L"itemdbclick"), 1);
    EXPECT_EQ(Rows(view), "A:0 [A1:1] [A1a:2] [A2:1] B:0 C:0");
    EXPECT_TRUE(t.a->GetFolderButton()->IsSelected());
}

// The tree view is one tab stop; its keys move the selection, fold and
// unfold, and tick the check box, whichever node is selected.
TEST(TreeView, KeysMoveFoldAndCheck)
{
    struct
    {
        const char* name;
        std::vector<WORD> keys;
        const char* selected;
        const char* rows;
    } const cases[] = {
        {"down walks the shown rows", {VK_DOWN, VK_DOWN}, "A1a", kBase},
        {"left on an expanded node collapses it", {VK_LEFT}, "A", "A:0 [A1:1] [A1a:2] [A2:1] B:0 C:0"},
        {"down skips the hidden rows", {VK_LEFT, VK_DOWN}, "B", "A:0 [A1:1] [A1a:2] [A2:1] B:0 C:0"},
        {"right on a collapsed node expands it", {VK_LEFT, VK_RIGHT}, "A", kBase},
        {"right on an expanded node goes to its first child", {VK_RIGHT}, "A1", kBase},
        {"left on a leaf goes to its parent", {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_LEFT}, "A1", kBase},
        {"end and home", {VK_END, VK_HOME}, "A", kBase},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TAttachedTree t;
        t.view->SelectItem(0, false, false);
        for (WORD key : c.keys)
        {
            TControlEvent event = KeyDown(key);
            t.view->DispatchEvent(event);
        }
        ASSERT_GE(t.view->GetCurSel(), 0);
        EXPECT_EQ(Text(Node(t.view, t.view->GetCurSel())), c.selected);
        EXPECT_EQ(Rows(t.view), c.rows);
    }
}

TEST(TreeView, SpaceTogglesTheCheckBoxAndTheNodePartsAreNoTabStops)
{
    TAttachedTree t;
    t.view->SelectItem(1, false, false);
    TControlEvent space = KeyDown(VK_SPACE);
    t.view->DispatchEvent(space);
    EXPECT_TRUE(t.a1->IsChecked());
    EXPECT_TRUE(Node(t.view, 2)->IsChecked()) << "the descendants follow";
    t.view->DispatchEvent(space);
    EXPECT_FALSE(t.a1->IsChecked());

    EXPECT_NE(t.view->GetFlags() & FlagTabStop, 0u);
    CControlUI* parts[] = {t.a->GetFolderButton(), t.a->GetCheckBox(), t.a->GetItemButton()};
    for (CControlUI* part : parts)
        EXPECT_EQ(part->GetFlags() & FlagTabStop, 0u);
}
