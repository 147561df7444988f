#pragma once

#include <vector>

#include "ui/controls/BoxLayout.h"
#include "ui/controls/Button.h"
#include "ui/controls/ControlTag.h"
#include "ui/controls/Label.h"
#include "ui/controls/List.h"
#include "ui/controls/ListItems.h"

class CTreeViewUI;

// One node of a tree view: a list row holding, from left to right, an
// indentation, a folder button (selected means collapsed), a check box and
// the node's text. The node keeps its child nodes in order; in a tree view
// they are rows of the same list, right after the node, depth first.
//
// Ownership: the rows of a tree view belong to its list. A node that is in no
// tree view owns its child nodes that are in none either, so that a subtree
// built apart (or taken out of a tree view whole) goes with its top node.
class CTreeNodeUI : public CListContainerElementUI
{
public:
    // How far each level is indented beyond its parent.
    enum
    {
        IndentStep = 16,
        DefaultHeight = 18,
        DefaultWidth = 250
    };

    CTreeNodeUI();
    ~CTreeNodeUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // An outline item, expanded or collapsed when it has children.
    DWORD GetAccessibleRole() override;
    DWORD GetAccessibleState() override;
    // Named by its text; its default action expands or collapses a node with
    // children and selects a leaf; its children are the parts of its row
    // besides those the node stands for (indentation, folder button, text).
    CUIString GetAccessibleText() override;
    LPCWSTR GetAccessibleAction() override;
    bool DoAccessibleAction() override;
    CControlUI* GetAccessibleChild(int index) override;
    // Double clicks send "itemdbclick"; hover changes the text colour.
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

    // ---- Children: tree nodes become child nodes, other controls container children ----
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;

    // ---- IListItemUI ----
    // The text takes the selected or the normal item colour.
    bool Select(bool bSelect = true, bool bTakeFocus = false) override;

    // ---- The tree ----
    // Appends child as the last child node, after this node's last descendant
    // in the tree view. False for a node that has a parent or a tree view
    // already, for this node and for its ancestors.
    bool AddChildNode(CTreeNodeUI* child);
    // Inserts child before the child node at iIndex; an index without a
    // child node appends.
    bool AddChildNodeAt(CTreeNodeUI* child, int iIndex);
    CTreeNodeUI* GetChildNode(int iIndex) const;
    int GetChildNodeCount() const { return childNodes.GetSize(); }
    int GetChildNodeIndex(CTreeNodeUI* child) const { return childNodes.Find(child); }
    CTreeNodeUI* GetParentNode() const { return parentNode; }
    CTreeViewUI* GetTreeView() const { return treeView; }
    // Levels above this node: 0 for a top-level node.
    int GetDepth() const;
    // The index of this node among its tree view's rows, or -1.
    int GetTreeIndex() const;
    // The deepest last descendant, this node when it has no children.
    CTreeNodeUI* GetLastNode();
    // The folder button is not selected.
    bool IsFolderExpanded() const;
    // Every ancestor is expanded, so this node may show.
    bool AreAncestorsExpanded() const;
    // Calls visit(node) for every node below this one, each parent before
    // its children; the descendants of a node for which visit answers false
    // are passed over.
    template <class TVisit> void ForEachDescendant(TVisit visit);
    bool GetVisibleTag() const { return visibleTag; }
    void SetVisibleTag(bool bVisible) { visibleTag = bVisible; }

    CHorizontalLayoutUI* GetRowLayout() const { return rowLayout; }
    CLabelUI* GetDottedLine() const { return dottedLine; }
    CCheckBoxUI* GetFolderButton() const { return folderButton; }
    CCheckBoxUI* GetCheckBox() const { return checkBox; }
    COptionUI* GetItemButton() const { return itemButton; }
    CUIString GetItemText() const { return itemButton->GetText(); }
    // The check box is read with the node's text.
    void SetItemText(LPCWSTR pstrText);
    bool IsChecked() const { return checkBox->IsSelected(); }

    // Text colours of the item by state; 0 leaves the colour of the state below.
    void SetItemTextColor(DWORD color);
    DWORD GetItemTextColor() const { return itemTextColor; }
    void SetItemHotTextColor(DWORD color);
    DWORD GetItemHotTextColor() const { return itemHotTextColor; }
    void SetSelItemTextColor(DWORD color);
    DWORD GetSelItemTextColor() const { return selItemTextColor; }
    void SetSelItemHotTextColor(DWORD color);
    DWORD GetSelItemHotTextColor() const { return selItemHotTextColor; }

protected:
    friend class CTreeViewUI;

    // Makes child this node's child: its indentation and its descendants'
    // follow the new depth, its item joins this node's item group, it takes
    // this node's tree view and shows only when every ancestor is expanded.
    void AdoptChild(CTreeNodeUI* child);
    // Leaves the parent: the node is indented and shown as a top-level node.
    void BecomeTopLevel();
    // The indentation of this node and of every descendant from the parent's.
    void Reindent();
    // Shows this node and its descendants as far as their ancestors are expanded.
    void RefreshVisibility();
    void SetTreeView(CTreeViewUI* pTreeView);
    // Whether node is this node or one of its ancestors.
    bool IsSelfOrAncestor(const CTreeNodeUI* node) const;
    // Appends this node and its descendants, depth first.
    void CollectSubtree(CPtrList& nodes);
    // The item's text colour for the row's state.
    void RefreshItemTextColor();

    CHorizontalLayoutUI* rowLayout;  // the node's only container child
    CLabelUI* dottedLine;            // in rowLayout
    CCheckBoxUI* folderButton;       // in rowLayout
    CCheckBoxUI* checkBox;           // in rowLayout
    COptionUI* itemButton;           // in rowLayout
    CTreeNodeUI* parentNode;         // not owned
    CPtrList childNodes;             // CTreeNodeUI*, see the class comment for ownership
    CTreeViewUI* treeView;           // not owned
    bool visibleTag;
    DWORD itemTextColor;
    DWORD itemHotTextColor;
    DWORD selItemTextColor;
    DWORD selItemHotTextColor;
    bool textColorApplied;  // the item's text colour was replaced by a state colour
    DWORD plainTextColor;   // the item's colour before that

    static const TAttributeRow<CTreeNodeUI> attributeTable[];
};

// A list whose rows are tree nodes, kept in depth-first order. The tree view
// binds handlers to every node it receives, so that the nodes' folder
// buttons, check boxes and double clicks come back to it: a folder button
// shows or hides the node's descendants, a check box checks or clears them
// all. Taking a node out of the tree view takes its descendants with it.
class CTreeViewUI : public CListUI, public INotifyUI
{
public:
    CTreeViewUI();
    ~CTreeViewUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    DWORD GetAccessibleRole() override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    // Left and Right fold and unfold or go to the parent or child, Space
    // toggles the check box; other keys are the list's.
    void HandleEvent(TControlEvent& event) override;

    // ---- Rows: only tree nodes, each with its whole subtree ----
    // Appends a top-level node and its descendants. False for anything but a
    // tree node, and for a node that has a parent node or a tree view.
    bool Add(CControlUI* pControl) override;
    // Inserts a top-level node and its descendants at iIndex (the row count
    // appends).
    bool AddAt(CControlUI* pControl, int iIndex) override;
    // A node leaves with its descendants and its parent forgets it; kept
    // (bDoNotDestroy) it keeps its descendants and can be added again.
    bool Remove(CControlUI* pControl, bool bDoNotDestroy = false) override;
    bool RemoveAt(int iIndex, bool bDoNotDestroy = false) override;
    void RemoveAll() override;

    void Notify(TNotifyMsg&) override {}

    // ---- Handlers bound to every node ----
    // A check box changed: the node's descendants take its state.
    virtual bool OnCheckBoxNotify(void* param);
    // A folder button changed: the node's descendants show or hide.
    virtual bool OnFolderNotify(void* param);
    // A double click on a node toggles its folder button.
    virtual bool OnItemDoubleClick(void* param);

    // ---- Operations ----
    // Checks or clears the check boxes of node's descendants (of every node
    // when node is null).
    virtual bool SetChildrenChecked(bool bChecked, CTreeNodeUI* node);
    // Shows or hides node's children (the top-level nodes when node is null)
    // and, below children that are expanded themselves, their descendants.
    virtual void SetChildrenExpanded(bool bExpand, CTreeNodeUI* node);
    virtual void SetShowFolderButton(bool bShow);
    virtual bool GetShowFolderButton() const { return showFolderButton; }
    virtual void SetShowCheckBox(bool bShow);
    virtual bool GetShowCheckBox() const { return showCheckBox; }
    // Every node's minimum width; 0 leaves them as they are.
    virtual void SetItemMinWidth(int cx);
    virtual int GetItemMinWidth() const { return itemMinWidth; }
    // The colour setters of every node in the tree view.
    virtual void SetItemTextColor(DWORD color);
    virtual void SetItemHotTextColor(DWORD color);
    virtual void SetSelItemTextColor(DWORD color);
    virtual void SetSelItemHotTextColor(DWORD color);

protected:
    friend class CTreeNodeUI;

    static CTreeNodeUI* AsNode(CControlUI* pControl);
    CTreeNodeUI* NodeAt(int index) const { return AsNode(GetItemAt(index)); }
    // A node can join as a top-level node: it is in no tree and under no node.
    static bool IsFreeNode(const CTreeNodeUI* node);
    // Inserts node and its descendants at index, depth first; the index after
    // the last one inserted, or -1.
    int InsertSubtree(CTreeNodeUI* node, int index);
    // Binds the handlers and applies the tree's settings to a node joining.
    void Receive(CTreeNodeUI* node);
    // Unbinds the handlers of a node leaving.
    void Release(CTreeNodeUI* node);
    // The node whose part (folder button or check box) sent a notification.
    static CTreeNodeUI* NodeOfPart(CControlUI* part);
    bool HandleNodeKey(WORD key);
    // Applies fn to every node in the list.
    template <class TFn> void ForEachNode(TFn fn);
    // The node's folder button was toggled: its descendants show or hide.
    void ApplyFold(CTreeNodeUI* node);

    bool showFolderButton;
    bool showCheckBox;
    int itemMinWidth;

    static const TAttributeRow<CTreeViewUI> attributeTable[];
};

template <class TVisit> void CTreeNodeUI::ForEachDescendant(TVisit visit)
{
    // Depth first without recursion, so that no depth of tree exhausts the
    // stack: the children are pushed last first, so the first comes next.
    std::vector<CTreeNodeUI*> pending;
    for (int i = GetChildNodeCount() - 1; i >= 0; --i)
        pending.push_back(GetChildNode(i));
    while (!pending.empty())
    {
        CTreeNodeUI* node = pending.back();
        pending.pop_back();
        if (!visit(node))
            continue;
        for (int i = node->GetChildNodeCount() - 1; i >= 0; --i)
            pending.push_back(node->GetChildNode(i));
    }
}

// The element names that make these controls in skins.
inline constexpr TControlTag kTreeViewTags[] = {
    {L"TreeView", AnyCase, MakeControl<CTreeViewUI>},
    {L"Tree", AnyCase, MakeControl<CTreeViewUI>},
};
