#include "ui/controls/TreeView.h"

#include <wchar.h>

#include "ui/core/AttributeValues.h"
#include "ui/manager/Manager.h"
#include "ui/render/Color.h"

namespace
{
bool IsTreeNodeClass(CControlUI* pControl)
{
    return pControl != NULL && _wcsicmp(pControl->GetClassName(), L"TreeNode") == 0;
}

// The width of a top-level node's indentation, which stays hidden: each
// level below adds IndentStep to its parent's width.
const int RootIndentWidth = 2;
}  // namespace

// ---- CTreeNodeUI ----

CTreeNodeUI::CTreeNodeUI()
    : rowLayout(new CHorizontalLayoutUI),
      dottedLine(new CLabelUI),
      folderButton(new CCheckBoxUI),
      checkBox(new CCheckBoxUI),
      itemButton(new COptionUI),
      parentNode(NULL),
      treeView(NULL),
      visibleTag(true),
      itemTextColor(0),
      itemHotTextColor(0),
      selItemTextColor(0),
      selItemHotTextColor(0),
      textColorApplied(false),
      plainTextColor(0)
{
    SetFixedHeight(DefaultHeight);
    SetFixedWidth(DefaultWidth);
    dottedLine->SetFixedWidth(RootIndentWidth);
    dottedLine->SetVisible(false);
    folderButton->SetFixedWidth(DefaultHeight);
    checkBox->SetFixedWidth(DefaultHeight);
    checkBox->SetVisible(false);
    itemButton->SetAttribute(L"align", L"left");
    // Clicks on the text select the row, which lies under it.
    itemButton->SetMouseEnabled(false);
    rowLayout->Add(dottedLine);
    rowLayout->Add(folderButton);
    rowLayout->Add(checkBox);
    rowLayout->Add(itemButton);
    CListContainerElementUI::Add(rowLayout);
}

// Child nodes that a tree view holds are its rows; the others go with this
// node (see the class comment). Either way none may point back here.
CTreeNodeUI::~CTreeNodeUI()
{
    if (parentNode != NULL)
    {
        const int index = parentNode->childNodes.Find(this);
        if (index >= 0)
            parentNode->childNodes.Remove(index);
    }
    CPtrList children;
    for (int i = 0; i < childNodes.GetSize(); ++i)
        children.Add(childNodes[i]);
    childNodes.Empty();
    for (int i = 0; i < children.GetSize(); ++i)
    {
        CTreeNodeUI* child = static_cast<CTreeNodeUI*>(children[i]);
        child->parentNode = NULL;
        if (child->treeView == NULL)
            child->Delete();
    }
}

LPCWSTR CTreeNodeUI::GetClassName() const
{
    return L"TreeNode";
}

LPVOID CTreeNodeUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"TreeNode") == 0)
        return static_cast<CTreeNodeUI*>(this);
    return CListContainerElementUI::FindInterface(pstrName);
}

bool CTreeNodeUI::Add(CControlUI* pControl)
{
    if (IsTreeNodeClass(pControl))
        return AddChildNode(static_cast<CTreeNodeUI*>(pControl->FindInterface(L"TreeNode")));
    return CListContainerElementUI::Add(pControl);
}

bool CTreeNodeUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (IsTreeNodeClass(pControl))
        return AddChildNodeAt(static_cast<CTreeNodeUI*>(pControl->FindInterface(L"TreeNode")), iIndex);
    return CListContainerElementUI::AddAt(pControl, iIndex);
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* child)
{
    return AddChildNodeAt(child, childNodes.GetSize());
}

// In the tree view the child goes before the child node it is inserted
// before, or, appended, right after this node's last descendant, so that
// the rows stay in depth-first order.
bool CTreeNodeUI::AddChildNodeAt(CTreeNodeUI* child, int iIndex)
{
    if (child == NULL || !CTreeViewUI::IsFreeNode(child) || IsSelfOrAncestor(child))
        return false;
    if (iIndex < 0 || iIndex > childNodes.GetSize())
        iIndex = childNodes.GetSize();
    int row = -1;
    if (treeView != NULL)
    {
        row = iIndex < childNodes.GetSize() ? GetChildNode(iIndex)->GetTreeIndex()
                                            : GetLastNode()->GetTreeIndex() + 1;
        if (row < 0 || row > treeView->GetCount())
            return false;
    }
    if (!childNodes.InsertAt(iIndex, child))
        return false;
    AdoptChild(child);
    if (treeView != NULL && treeView->InsertSubtree(child, row) < 0)
    {
        childNodes.Remove(childNodes.Find(child));
        child->SetTreeView(NULL);
        child->BecomeTopLevel();
        return false;
    }
    return true;
}

void CTreeNodeUI::AdoptChild(CTreeNodeUI* child)
{
    child->parentNode = this;
    child->itemButton->SetGroup(itemButton->GetGroup());
    child->Reindent();
    child->RefreshVisibility();
}

void CTreeNodeUI::BecomeTopLevel()
{
    parentNode = NULL;
    dottedLine->SetFixedWidth(RootIndentWidth);
    Reindent();
    RefreshVisibility();
}

void CTreeNodeUI::Reindent()
{
    if (parentNode == NULL)
        dottedLine->SetVisible(false);
    else
    {
        dottedLine->SetFixedWidth(parentNode->dottedLine->GetFixedWidth() + IndentStep);
        dottedLine->SetVisible(true);
    }
    for (int i = 0; i < childNodes.GetSize(); ++i)
        GetChildNode(i)->Reindent();
}

void CTreeNodeUI::RefreshVisibility()
{
    SetVisible(AreAncestorsExpanded());
    for (int i = 0; i < childNodes.GetSize(); ++i)
        GetChildNode(i)->RefreshVisibility();
}

void CTreeNodeUI::SetTreeView(CTreeViewUI* pTreeView)
{
    treeView = pTreeView;
    for (int i = 0; i < childNodes.GetSize(); ++i)
        GetChildNode(i)->SetTreeView(pTreeView);
}

bool CTreeNodeUI::IsSelfOrAncestor(const CTreeNodeUI* node) const
{
    for (const CTreeNodeUI* n = this; n != NULL; n = n->parentNode)
    {
        if (n == node)
            return true;
    }
    return false;
}

void CTreeNodeUI::CollectSubtree(CPtrList& nodes)
{
    nodes.Add(this);
    for (int i = 0; i < childNodes.GetSize(); ++i)
        GetChildNode(i)->CollectSubtree(nodes);
}

CTreeNodeUI* CTreeNodeUI::GetChildNode(int iIndex) const
{
    return static_cast<CTreeNodeUI*>(childNodes.GetAt(iIndex));
}

int CTreeNodeUI::GetDepth() const
{
    int depth = 0;
    for (const CTreeNodeUI* n = parentNode; n != NULL; n = n->parentNode)
        ++depth;
    return depth;
}

int CTreeNodeUI::GetTreeIndex() const
{
    if (treeView == NULL)
        return -1;
    return treeView->GetItemIndex(const_cast<CTreeNodeUI*>(this));
}

CTreeNodeUI* CTreeNodeUI::GetLastNode()
{
    CTreeNodeUI* last = this;
    while (last->childNodes.GetSize() > 0)
        last = last->GetChildNode(last->childNodes.GetSize() - 1);
    return last;
}

bool CTreeNodeUI::IsFolderExpanded() const
{
    return !folderButton->IsSelected();
}

bool CTreeNodeUI::AreAncestorsExpanded() const
{
    for (const CTreeNodeUI* n = parentNode; n != NULL; n = n->parentNode)
    {
        if (!n->IsFolderExpanded())
            return false;
    }
    return true;
}

// ---- Events and looks ----

void CTreeNodeUI::HandleEvent(TControlEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.kind))
    {
        PassToOwner(event);
        return;
    }
    CListContainerElementUI::HandleEvent(event);
    switch (event.kind)
    {
    case EventDoubleClick:
        if (IsEnabled())
        {
            if (manager != NULL)
                manager->SendNotify(this, NotifyType::ItemDbClick);
            Invalidate();
        }
        break;
    case EventMouseEnter:
    case EventMouseLeave:
        // The row's hot state changed (or stayed) above.
        if (IsEnabled())
            RefreshItemTextColor();
        break;
    default:
        break;
    }
}

bool CTreeNodeUI::Select(bool bSelect, bool bTakeFocus)
{
    if (!CListContainerElementUI::Select(bSelect, bTakeFocus))
        return false;
    RefreshItemTextColor();
    return true;
}

// The hot selected colour, the hot colour, the selected colour, the normal
// colour: the first that is set and fits the state. A colour of 0 is not set.
void CTreeNodeUI::RefreshItemTextColor()
{
    DWORD color = 0;
    if (IsHot() && selected)
        color = selItemHotTextColor;
    if (color == 0 && IsHot())
        color = itemHotTextColor;
    if (color == 0 && selected)
        color = selItemTextColor;
    if (color == 0)
        color = itemTextColor;
    if (color == 0 && !textColorApplied)
        return;
    // With no colour for the state, the item's own colour comes back.
    if (!textColorApplied)
    {
        plainTextColor = itemButton->GetTextColor();
        textColorApplied = true;
    }
    itemButton->SetTextColor(color != 0 ? color : plainTextColor);
}

void CTreeNodeUI::SetItemText(LPCWSTR pstrText)
{
    itemButton->SetText(pstrText);
    checkBox->SetAccessibleName(pstrText);
}

void CTreeNodeUI::SetItemTextColor(DWORD color)
{
    itemTextColor = color;
    RefreshItemTextColor();
}

// A colour of the state the node is in shows at once.
void CTreeNodeUI::SetItemHotTextColor(DWORD color)
{
    itemHotTextColor = color;
    RefreshItemTextColor();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color)
{
    selItemTextColor = color;
    RefreshItemTextColor();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color)
{
    selItemHotTextColor = color;
    RefreshItemTextColor();
}

const TAttributeRow<CTreeNodeUI> CTreeNodeUI::attributeTable[] = {
    {L"text", [](CTreeNodeUI& c, LPCWSTR v) { c.SetItemText(v); }},
    {L"horizattr", [](CTreeNodeUI& c, LPCWSTR v) { c.rowLayout->ApplyAttributeList(v); }},
    {L"dotlineattr", [](CTreeNodeUI& c, LPCWSTR v) { c.dottedLine->ApplyAttributeList(v); }},
    {L"folderattr", [](CTreeNodeUI& c, LPCWSTR v) { c.folderButton->ApplyAttributeList(v); }},
    {L"checkboxattr", [](CTreeNodeUI& c, LPCWSTR v) { c.checkBox->ApplyAttributeList(v); }},
    {L"itemattr", [](CTreeNodeUI& c, LPCWSTR v) { c.itemButton->ApplyAttributeList(v); }},
    {L"itemtextcolor", [](CTreeNodeUI& c, LPCWSTR v) { c.SetItemTextColor(ParseColorValue(v)); }},
    {L"itemhottextcolor", [](CTreeNodeUI& c, LPCWSTR v) { c.SetItemHotTextColor(ParseColorValue(v)); }},
    {L"selitemtextcolor", [](CTreeNodeUI& c, LPCWSTR v) { c.SetSelItemTextColor(ParseColorValue(v)); }},
    {L"selitemhottextcolor", [](CTreeNodeUI& c, LPCWSTR v) { c.SetSelItemHotTextColor(ParseColorValue(v)); }},
};

void CTreeNodeUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CListContainerElementUI::SetAttribute(pstrName, pstrValue);
}

// ---- CTreeViewUI ----

CTreeViewUI::CTreeViewUI() : showFolderButton(true), showCheckBox(false), itemMinWidth(0)
{
    if (header != NULL)
        header->SetVisible(false);
}

CTreeViewUI::~CTreeViewUI()
{
}

LPCWSTR CTreeViewUI::GetClassName() const
{
    return L"TreeView";
}

LPVOID CTreeViewUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"TreeView") == 0)
        return static_cast<CTreeViewUI*>(this);
    return CListUI::FindInterface(pstrName);
}

CTreeNodeUI* CTreeViewUI::AsNode(CControlUI* pControl)
{
    return pControl != NULL ? static_cast<CTreeNodeUI*>(pControl->FindInterface(L"TreeNode")) : NULL;
}

bool CTreeViewUI::IsFreeNode(const CTreeNodeUI* node)
{
    return node->treeView == NULL && node->parentNode == NULL;
}

bool CTreeViewUI::Add(CControlUI* pControl)
{
    return AddAt(pControl, GetCount());
}

bool CTreeViewUI::AddAt(CControlUI* pControl, int iIndex)
{
    CTreeNodeUI* node = AsNode(pControl);
    if (node == NULL || !IsFreeNode(node) || iIndex < 0 || iIndex > GetCount())
        return false;
    return InsertSubtree(node, iIndex) >= 0;
}

int CTreeViewUI::InsertSubtree(CTreeNodeUI* node, int index)
{
    Receive(node);
    if (!CListUI::AddAt(node, index))
    {
        Release(node);
        return -1;
    }
    node->treeView = this;
    // A node selected before it joined (a skin's "selected") is the tree's selection.
    if (node->IsSelected() && GetCurSel() != index)
        SelectItem(index, false, false);
    int next = index + 1;
    for (int i = 0; i < node->GetChildNodeCount() && next >= 0; ++i)
        next = InsertSubtree(node->GetChildNode(i), next);
    return next;
}

void CTreeViewUI::Receive(CTreeNodeUI* node)
{
    node->notifyHandlers += MakeDelegate(this, &CTreeViewUI::OnItemDoubleClick);
    node->folderButton->notifyHandlers += MakeDelegate(this, &CTreeViewUI::OnFolderNotify);
    node->checkBox->notifyHandlers += MakeDelegate(this, &CTreeViewUI::OnCheckBoxNotify);
    node->folderButton->SetVisible(showFolderButton);
    node->checkBox->SetVisible(showCheckBox);
    if (itemMinWidth != 0)
        node->SetMinWidth(itemMinWidth);
}

void CTreeViewUI::Release(CTreeNodeUI* node)
{
    node->notifyHandlers.Remove(MakeDelegate(this, &CTreeViewUI::OnItemDoubleClick));
    node->folderButton->notifyHandlers.Remove(MakeDelegate(this, &CTreeViewUI::OnFolderNotify));
    node->checkBox->notifyHandlers.Remove(MakeDelegate(this, &CTreeViewUI::OnCheckBoxNotify));
    node->treeView = NULL;
}

// The rows go last first, so that every node is still linked while its
// descendants leave. A destroyed subtree is unlinked first, whenever its
// nodes are freed; a kept one stays whole under its node, which becomes a
// top-level node of no tree.
bool CTreeViewUI::Remove(CControlUI* pControl, bool bDoNotDestroy)
{
    CTreeNodeUI* node = AsNode(pControl);
    if (node == NULL)
        return CListUI::Remove(pControl, bDoNotDestroy);
    if (node->treeView != this || GetItemIndex(node) < 0)
        return false;

    CPtrList subtree;
    node->CollectSubtree(subtree);
    CTreeNodeUI* parent = node->parentNode;
    if (parent != NULL)
    {
        parent->childNodes.Remove(parent->childNodes.Find(node));
        node->parentNode = NULL;
    }
    if (!bDoNotDestroy)
    {
        for (int i = 0; i < subtree.GetSize(); ++i)
        {
            CTreeNodeUI* n = static_cast<CTreeNodeUI*>(subtree[i]);
            n->childNodes.Empty();
            n->parentNode = NULL;
        }
    }
    for (int i = subtree.GetSize() - 1; i >= 0; --i)
    {
        CTreeNodeUI* n = static_cast<CTreeNodeUI*>(subtree[i]);
        Release(n);
        CListUI::Remove(n, bDoNotDestroy);
    }
    if (bDoNotDestroy && parent != NULL)
        node->BecomeTopLevel();
    return true;
}

bool CTreeViewUI::RemoveAt(int iIndex, bool bDoNotDestroy)
{
    CControlUI* item = GetItemAt(iIndex);
    if (item == NULL)
        return false;
    if (AsNode(item) != NULL)
        return Remove(item, bDoNotDestroy);
    return CListUI::RemoveAt(iIndex, bDoNotDestroy);
}

// Rows the body keeps alive (no auto-destroy) leave as free nodes.
void CTreeViewUI::RemoveAll()
{
    if (!body->IsAutoDestroy())
    {
        ForEachNode([this](CTreeNodeUI* node) {
            Release(node);
            if (node->parentNode == NULL)
                node->Reindent();
        });
    }
    CListUI::RemoveAll();
}

template <class TFn> void CTreeViewUI::ForEachNode(TFn fn)
{
    for (int i = 0; i < GetCount(); ++i)
    {
        if (CTreeNodeUI* node = NodeAt(i))
            fn(node);
    }
}

// ---- Handlers ----

CTreeNodeUI* CTreeViewUI::NodeOfPart(CControlUI* part)
{
    if (part == NULL || part->GetParent() == NULL)
        return NULL;
    return AsNode(part->GetParent()->GetParent());
}

bool CTreeViewUI::OnFolderNotify(void* param)
{
    TNotifyMsg* msg = static_cast<TNotifyMsg*>(param);
    if (msg->type != NotifyType::SelectChanged)
        return true;
    CTreeNodeUI* node = NodeOfPart(msg->sender);
    if (node == NULL || node->treeView != this)
        return true;
    const bool expanded = node->IsFolderExpanded();
    node->visibleTag = expanded;
    // A node hidden under a collapsed ancestor keeps its descendants hidden.
    SetChildrenExpanded(expanded && node->AreAncestorsExpanded(), node);
    return true;
}

bool CTreeViewUI::OnItemDoubleClick(void* param)
{
    TNotifyMsg* msg = static_cast<TNotifyMsg*>(param);
    // Other notifications go on to the node's further handlers.
    if (msg->type != NotifyType::ItemDbClick)
        return true;
    CTreeNodeUI* node = AsNode(msg->sender);
    if (node == NULL || node->treeView != this)
        return true;
    node->folderButton->SetSelected(!node->folderButton->IsSelected(), true);
    const bool expanded = node->IsFolderExpanded();
    node->visibleTag = expanded;
    SetChildrenExpanded(expanded && node->AreAncestorsExpanded(), node);
    return true;
}

bool CTreeViewUI::OnCheckBoxNotify(void* param)
{
    TNotifyMsg* msg = static_cast<TNotifyMsg*>(param);
    if (msg->type != NotifyType::SelectChanged)
        return true;
    CTreeNodeUI* node = NodeOfPart(msg->sender);
    if (node == NULL || node->treeView != this)
        return true;
    SetChildrenChecked(node->checkBox->IsSelected(), node);
    return true;
}

// ---- Operations ----

void CTreeViewUI::SetChildrenExpanded(bool bExpand, CTreeNodeUI* node)
{
    const auto apply = [this, bExpand](CTreeNodeUI* child) {
        child->SetVisible(bExpand);
        if (child->GetChildNodeCount() > 0 && child->IsFolderExpanded())
            SetChildrenExpanded(bExpand, child);
    };
    if (node != NULL)
    {
        for (int i = 0; i < node->GetChildNodeCount(); ++i)
            apply(node->GetChildNode(i));
        return;
    }
    // Without a node, the top-level nodes: the deeper ones follow them.
    ForEachNode([&apply](CTreeNodeUI* n) {
        if (n->GetParentNode() == NULL)
            apply(n);
    });
}

bool CTreeViewUI::SetChildrenChecked(bool bChecked, CTreeNodeUI* node)
{
    if (node == NULL)
    {
        ForEachNode([bChecked](CTreeNodeUI* n) { n->checkBox->SetSelected(bChecked, true); });
        return true;
    }
    for (int i = 0; i < node->GetChildNodeCount(); ++i)
    {
        CTreeNodeUI* child = node->GetChildNode(i);
        child->checkBox->SetSelected(bChecked, true);
        if (child->GetChildNodeCount() > 0)
            SetChildrenChecked(bChecked, child);
    }
    return true;
}

void CTreeViewUI::SetShowFolderButton(bool bShow)
{
    showFolderButton = bShow;
    ForEachNode([bShow](CTreeNodeUI* node) { node->folderButton->SetVisible(bShow); });
}

void CTreeViewUI::SetShowCheckBox(bool bShow)
{
    showCheckBox = bShow;
    ForEachNode([bShow](CTreeNodeUI* node) { node->checkBox->SetVisible(bShow); });
}

void CTreeViewUI::SetItemMinWidth(int cx)
{
    if (cx < 0)
        return;
    itemMinWidth = cx;
    ForEachNode([cx](CTreeNodeUI* node) {
        node->SetMinWidth(cx);
        node->Invalidate();
    });
}

void CTreeViewUI::SetItemTextColor(DWORD color)
{
    ForEachNode([color](CTreeNodeUI* node) { node->SetItemTextColor(color); });
}

void CTreeViewUI::SetItemHotTextColor(DWORD color)
{
    ForEachNode([color](CTreeNodeUI* node) { node->SetItemHotTextColor(color); });
}

void CTreeViewUI::SetSelItemTextColor(DWORD color)
{
    ForEachNode([color](CTreeNodeUI* node) { node->SetSelItemTextColor(color); });
}

void CTreeViewUI::SetSelItemHotTextColor(DWORD color)
{
    ForEachNode([color](CTreeNodeUI* node) { node->SetSelItemHotTextColor(color); });
}

const TAttributeRow<CTreeViewUI> CTreeViewUI::attributeTable[] = {
    {L"visiblefolderbtn", [](CTreeViewUI& c, LPCWSTR v) { c.SetShowFolderButton(ParseBool(v)); }},
    {L"visiblecheckbtn", [](CTreeViewUI& c, LPCWSTR v) { c.SetShowCheckBox(ParseBool(v)); }},
    {L"itemminwidth", [](CTreeViewUI& c, LPCWSTR v) { c.SetItemMinWidth(ParseInt(v)); }},
    {L"itemtextcolor", [](CTreeViewUI& c, LPCWSTR v) { c.SetItemTextColor(ParseColorValue(v)); }},
    {L"itemhottextcolor", [](CTreeViewUI& c, LPCWSTR v) { c.SetItemHotTextColor(ParseColorValue(v)); }},
    {L"selitemtextcolor", [](CTreeViewUI& c, LPCWSTR v) { c.SetSelItemTextColor(ParseColorValue(v)); }},
    {L"selitemhottextcolor", [](CTreeViewUI& c, LPCWSTR v) { c.SetSelItemHotTextColor(ParseColorValue(v)); }},
};

void CTreeViewUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CListUI::SetAttribute(pstrName, pstrValue);
}
