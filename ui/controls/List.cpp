#include "ui/controls/List.h"

#include <wchar.h>

#include "ui/controls/ListItems.h"
#include "ui/controls/ScrollBar.h"
#include "ui/core/AttributeValues.h"
#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"

// ---- CListUI ----

CListUI::CListUI()
    : scrollSelect(false),
      curSel(-1),
      expandedItem(-1),
      expanding(false),
      placing(false),
      textCallback(NULL),
      body(new CListBodyUI(this)),
      header(new CListHeaderUI)
{
    CVerticalLayoutUI::AddAt(header, 0);
    CVerticalLayoutUI::AddAt(body, 1);
}

CListUI::~CListUI()
{
}

LPCWSTR CListUI::GetClassName() const
{
    return L"List";
}

LPVOID CListUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"List") == 0)
        return static_cast<CListUI*>(this);
    if (pstrName != NULL && (wcscmp(pstrName, L"IList") == 0 || wcscmp(pstrName, L"IListOwner") == 0))
        return static_cast<IListUI*>(this);
    if (pstrName != NULL && wcscmp(pstrName, L"TabLinks") == 0)
        return static_cast<ITabLinksUI*>(this);
    return CVerticalLayoutUI::FindInterface(pstrName);
}

UINT CListUI::GetFlags() const
{
    return FlagTabStop;
}

// ---- Children ----

CListUI::TChildKind CListUI::KindOf(CControlUI* pControl)
{
    if (pControl->FindInterface(L"ListHeader") != NULL)
        return HeaderChild;
    if (wcsstr(pControl->GetClassName(), L"ListHeaderItem") != NULL)
        return HeaderItemChild;
    return RowChild;
}

CControlUI* CListUI::RowAt(int index) const
{
    return body->GetItemAt(index);
}

CControlUI* CListUI::GetItemAt(int iIndex) const
{
    return body->GetItemAt(iIndex);
}

int CListUI::GetCount() const
{
    return body->GetCount();
}

int CListUI::GetItemIndex(CControlUI* pControl) const
{
    if (pControl == NULL)
        return -1;
    switch (KindOf(pControl))
    {
    case HeaderChild:
        return CVerticalLayoutUI::GetItemIndex(pControl);
    case HeaderItemChild:
        return header != NULL ? header->GetItemIndex(pControl) : -1;
    default:
        return body->GetItemIndex(pControl);
    }
}

bool CListUI::Add(CControlUI* pControl)
{
    if (pControl == NULL)
        return false;
    switch (KindOf(pControl))
    {
    case HeaderChild:
    {
        // One header per list: a skin's header replaces the empty one the
        // list starts with, and nothing replaces a header with columns.
        if (pControl == header || (header != NULL && header->GetCount() > 0))
            return false;
        if (header != NULL)
            CVerticalLayoutUI::Remove(header);
        header = static_cast<CListHeaderUI*>(pControl->FindInterface(L"ListHeader"));
        info.columnCount = Min(header->GetCount(), TListInfo::MaxColumns);
        return CVerticalLayoutUI::AddAt(pControl, 0);
    }
    case HeaderItemChild:
    {
        if (header == NULL || !header->Add(pControl))
            return false;
        info.columnCount = Min(header->GetCount(), TListInfo::MaxColumns);
        ColumnsChanged();
        return true;
    }
    default:
        if (IListItemUI* row = AsListItem(pControl))
        {
            row->SetOwner(this);
            row->SetIndex(GetCount());
        }
        return body->Add(pControl);
    }
}

bool CListUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (pControl == NULL)
        return false;
    switch (KindOf(pControl))
    {
    case HeaderChild:
        return Add(pControl);
    case HeaderItemChild:
    {
        if (header == NULL || !header->AddAt(pControl, iIndex))
            return false;
        info.columnCount = Min(header->GetCount(), TListInfo::MaxColumns);
        ColumnsChanged();
        return true;
    }
    default:
        break;
    }
    if (!body->AddAt(pControl, iIndex))
        return false;
    if (IListItemUI* row = AsListItem(pControl))
        row->SetOwner(this);
    Renumber(iIndex, GetCount());
    SelectionAfterInsert(curSel, iIndex);
    SelectionAfterInsert(expandedItem, iIndex);
    return true;
}

bool CListUI::Remove(CControlUI* pControl, bool bDoNotDestroy)
{
    if (pControl == NULL)
        return false;
    switch (KindOf(pControl))
    {
    case HeaderChild:
    {
        if (!CVerticalLayoutUI::Remove(pControl, bDoNotDestroy))
            return false;
        if (pControl->FindInterface(L"ListHeader") == header)
        {
            header = NULL;
            info.columnCount = 0;
        }
        return true;
    }
    case HeaderItemChild:
    {
        if (header == NULL || !header->Remove(pControl, bDoNotDestroy))
            return false;
        info.columnCount = Min(header->GetCount(), TListInfo::MaxColumns);
        ColumnsChanged();
        return true;
    }
    default:
        break;
    }
    const int index = body->GetItemIndex(pControl);
    if (index < 0 || !body->Remove(pControl, bDoNotDestroy))
        return false;
    AfterRowRemoved(index);
    return true;
}

bool CListUI::RemoveAt(int iIndex, bool bDoNotDestroy)
{
    if (!body->RemoveAt(iIndex, bDoNotDestroy))
        return false;
    AfterRowRemoved(iIndex);
    return true;
}

void CListUI::RemoveAll()
{
    curSel = -1;
    expandedItem = -1;
    body->RemoveAll();
}

bool CListUI::SetItemIndex(CControlUI* pControl, int iNewIndex)
{
    if (pControl == NULL)
        return false;
    switch (KindOf(pControl))
    {
    case HeaderChild:
        return CVerticalLayoutUI::SetItemIndex(pControl, iNewIndex);
    case HeaderItemChild:
        return header != NULL && header->SetItemIndex(pControl, iNewIndex);
    default:
        break;
    }
    CControlUI* selected = RowAt(curSel);
    CControlUI* expanded = RowAt(expandedItem);
    const int oldIndex = body->GetItemIndex(pControl);
    if (!body->SetItemIndex(pControl, iNewIndex))
        return false;
    Renumber(Min(oldIndex, iNewIndex), Max(oldIndex, iNewIndex) + 1);
    AfterRowsMoved(selected, expanded);
    return true;
}

bool CListUI::SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex)
{
    if (pStartControl == NULL)
        return false;
    switch (KindOf(pStartControl))
    {
    case HeaderChild:
        return CVerticalLayoutUI::SetMultiItemIndex(pStartControl, iCount, iNewStartIndex);
    case HeaderItemChild:
        return header != NULL && header->SetMultiItemIndex(pStartControl, iCount, iNewStartIndex);
    default:
        break;
    }
    CControlUI* selected = RowAt(curSel);
    CControlUI* expanded = RowAt(expandedItem);
    const int oldIndex = body->GetItemIndex(pStartControl);
    if (!body->SetMultiItemIndex(pStartControl, iCount, iNewStartIndex))
        return false;
    Renumber(Min(oldIndex, iNewStartIndex), Max(oldIndex, iNewStartIndex) + iCount);
    AfterRowsMoved(selected, expanded);
    return true;
}

void CListUI::Renumber(int first, int last)
{
    last = Min(last, GetCount());
    for (int i = Max(first, 0); i < last; ++i)
    {
        if (IListItemUI* row = AsListItem(RowAt(i)))
            row->SetIndex(i);
    }
}

void CListUI::AfterRowRemoved(int index)
{
    Renumber(index, GetCount());
    // The expanded row is only an index: it must not go on naming the row
    // that took the removed one's place.
    SelectionAfterRemove(expandedItem, index);
    if (SelectionAfterRemove(curSel, index))
        SelectItem(FindSelectable(index, false), false, true);
}

void CListUI::AfterRowsMoved(CControlUI* selected, CControlUI* expanded)
{
    curSel = selected != NULL ? body->GetItemIndex(selected) : -1;
    expandedItem = expanded != NULL ? body->GetItemIndex(expanded) : -1;
}

// ---- Spacing and scrolling ----

int CListUI::GetChildPadding() const
{
    return body->GetChildPadding();
}
void CListUI::SetChildPadding(int iPadding)
{
    body->SetChildPadding(iPadding);
}
int CListUI::FindSelectable(int iIndex, bool bForward) const
{
    return body->FindSelectable(iIndex, bForward);
}
SIZE CListUI::GetScrollPos() const
{
    return body->GetScrollPos();
}
SIZE CListUI::GetScrollRange() const
{
    return body->GetScrollRange();
}
void CListUI::SetScrollPos(SIZE szPos)
{
    body->SetScrollPos(szPos);
}
void CListUI::LineUp()
{
    body->LineUp();
}
void CListUI::LineDown()
{
    body->LineDown();
}
void CListUI::PageUp()
{
    body->PageUp();
}
void CListUI::PageDown()
{
    body->PageDown();
}
void CListUI::HomeUp()
{
    body->HomeUp();
}
void CListUI::EndDown()
{
    body->EndDown();
}
void CListUI::LineLeft()
{
    body->LineLeft();
}
void CListUI::LineRight()
{
    body->LineRight();
}
void CListUI::PageLeft()
{
    body->PageLeft();
}
void CListUI::PageRight()
{
    body->PageRight();
}
void CListUI::HomeLeft()
{
    body->HomeLeft();
}
void CListUI::EndRight()
{
    body->EndRight();
}

void CListUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal)
{
    body->EnableScrollBar(bEnableVertical, bEnableHorizontal);
}

CScrollBarUI* CListUI::GetVerticalScrollBar() const
{
    return body->GetVerticalScrollBar();
}
CScrollBarUI* CListUI::GetHorizontalScrollBar() const
{
    return body->GetHorizontalScrollBar();
}

// ---- Selection and expansion ----

bool CListUI::SelectItem(int iIndex, bool bTakeFocus, bool bSendNotify)
{
    if (iIndex == curSel)
        return true;
    const int previous = DropSelection(curSel, RowAt(curSel), bSendNotify);
    if (iIndex < 0)
        return false;
    CControlUI* control = RowAt(iIndex);
    IListItemUI* row = SelectableRow(control);
    if (row == NULL)
        return false;
    curSel = iIndex;
    if (!row->Select(true, bSendNotify))
    {
        curSel = -1;
        return false;
    }
    EnsureVisible(curSel);
    // The list is the tab stop and takes the keys; its rows never hold the focus.
    if (bTakeFocus)
        SetFocus();
    if (manager != NULL && bSendNotify)
        manager->SendNotify(this, NotifyType::ItemSelect, static_cast<WPARAM>(curSel),
                            static_cast<LPARAM>(previous));
    return true;
}

// A row asked to expand or collapse tells the list, which in turn asks the
// row: while the list is asking, the row's call back finds the work done.
bool CListUI::ExpandItem(int iIndex, bool bExpand)
{
    if (expanding)
        return true;
    expanding = true;
    if (expandedItem >= 0 && !info.multiExpandable && !(bExpand && iIndex == expandedItem))
    {
        if (IListItemUI* old = AsListItem(RowAt(expandedItem)))
            old->Expand(false);
        expandedItem = -1;
    }
    bool result = true;
    if (bExpand)
    {
        CControlUI* control = RowAt(iIndex);
        IListItemUI* row = AsListItem(control);
        if (row == NULL || !control->IsVisible())
            result = false;
        else
        {
            expandedItem = iIndex;
            if (!row->Expand(true))
            {
                expandedItem = -1;
                result = false;
            }
        }
    }
    expanding = false;
    if (result)
        NeedUpdate();
    return result;
}

void CListUI::EnsureVisible(int iIndex)
{
    if (curSel < 0)
        return;
    CControlUI* control = RowAt(iIndex);
    if (control == NULL)
        return;
    body->RefreshRow(iIndex);
    CUIRect band = body->GetPos();
    const RECT bodyInset = body->GetInset();
    band.left += bodyInset.left;
    band.top += bodyInset.top;
    band.right -= bodyInset.right;
    band.bottom -= bodyInset.bottom;
    CScrollBarUI* hbar = body->GetHorizontalScrollBar();
    if (hbar != NULL && hbar->IsVisible())
        band.bottom -= hbar->GetFixedHeight();
    const RECT& row = control->GetPos();
    if (row.top >= band.top && row.bottom <= band.bottom)
        return;
    int dy = 0;
    if (row.top < band.top)
        dy = row.top - band.top;
    if (row.bottom > band.bottom)
        dy = row.bottom - band.bottom;
    SIZE pos = body->GetScrollPos();
    pos.cy += dy;
    body->SetScrollPos(pos);
}

// ---- Placement ----

void CListUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    // The header places itself only while the list is placing it.
    const bool wasPlacing = placing;
    placing = true;
    PlaceHeaderAndBody(rc, bNeedInvalidate);
    placing = wasPlacing;
}

// A hidden header asks for no layout of its own, yet its columns changed:
// the whole list is laid out again, which places the header too.
void CListUI::ColumnsChanged()
{
    NeedUpdate();
}

void CListUI::PlaceAgain(bool bNeedInvalidate)
{
    SetPos(IsFloat() ? GetRelativePos() : GetPos(), bNeedInvalidate);
}

void CListUI::PlaceHeaderAndBody(const RECT& rc, bool bNeedInvalidate)
{
    // The body lays its rows out in the columns, so the columns are taken
    // before the layout (from the header's last one) and again after it.
    if (header != NULL)
        RefreshColumns();
    const int spanBefore = ColumnSpan();
    CVerticalLayoutUI::SetPos(rc, bNeedInvalidate);
    if (header == NULL)
        return;
    if (!header->IsVisible())
        LayOutHiddenHeader();
    // The header follows the rows when they are scrolled sideways.
    const int scrolled = body->GetScrollPos().cx;
    if (scrolled > 0)
    {
        for (int i = 0; i < header->GetCount(); ++i)
        {
            if (!header->GetItemAt(i)->IsFloat())
                header->GetItemAt(i)->MoveBy(-scrolled, 0, false);
        }
    }
    RefreshColumns();
    // The first layout, or a column resized since the last one, gave the
    // rows the wrong width: they are placed again in the columns as they are.
    if (ColumnSpan() != spanBefore)
        body->SetPos(body->GetPos(), false);
}

int CListUI::ColumnSpan() const
{
    if (info.columnCount <= 0)
        return -1;
    return info.columns[info.columnCount - 1].right - info.columns[0].left;
}

void CListUI::LayOutHiddenHeader()
{
    CUIRect rc = itemRect;
    rc.left += inset.left;
    rc.top += inset.top;
    rc.right -= inset.right;
    rc.bottom -= inset.bottom;
    rc.bottom = rc.top + header->EstimateSize(CUISize(rc.GetWidth(), rc.GetHeight())).cy;
    for (int i = 0; i < header->GetCount(); ++i)
        header->GetItemAt(i)->SetInheritedVisible(true);
    header->SetPos(rc, false);
    for (int i = 0; i < header->GetCount(); ++i)
        header->GetItemAt(i)->SetInheritedVisible(false);
}

void CListUI::RefreshColumns()
{
    if (header == NULL)
    {
        info.columnCount = 0;
        return;
    }
    info.columnCount = Min(header->GetCount(), TListInfo::MaxColumns);
    const bool hidden = !header->IsVisible();
    for (int i = 0; i < info.columnCount; ++i)
    {
        CControlUI* column = header->GetItemAt(i);
        if (!column->IsFloat() && (hidden || column->IsVisible()))
            info.columns[i] = column->GetPos();
    }
}

void CListUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    CVerticalLayoutUI::MoveBy(dx, dy, bNeedInvalidate);
    if (header != NULL && !header->IsVisible())
        header->MoveBy(dx, dy, false);
}

// ---- Events ----

void CListUI::SelectFrom(int index, bool bForward)
{
    SelectItem(FindSelectable(index, bForward), true, true);
}

// As many rows as the selected one's height fits into the body's view, at
// least one; without a selection the view scrolls by a page instead.
void CListUI::MoveSelectionByPage(bool bForward)
{
    CControlUI* selected = RowAt(curSel);
    const int rowHeight = selected != NULL ? selected->GetPos().bottom - selected->GetPos().top : 0;
    if (selected == NULL || rowHeight <= 0)
    {
        bForward ? PageDown() : PageUp();
        return;
    }
    const RECT& view = body->GetPos();
    const RECT inset = body->GetInset();
    const int viewHeight = view.bottom - view.top - inset.top - inset.bottom;
    const int rows = Max(1, viewHeight / rowHeight - 1);
    const int target = bForward ? Min(curSel + rows, GetCount() - 1) : Max(curSel - rows, 0);
    int index = FindSelectable(target, !bForward);
    if (index < 0 || (bForward ? index <= curSel : index >= curSel))
        index = FindSelectable(target, bForward);
    if (index >= 0)
        SelectItem(index, true, true);
}

CListTextElementUI* CListUI::SelectedTextRow() const
{
    CControlUI* row = RowAt(curSel);
    return row != NULL ? static_cast<CListTextElementUI*>(row->FindInterface(L"ListTextElement")) : NULL;
}

// The list itself comes first in the tab order, then the selected row's
// links: going back from the first link returns to the list.
bool CListUI::MoveLinkFocus(bool bForward)
{
    CListTextElementUI* row = SelectedTextRow();
    if (row == NULL)
        return false;
    const int current = row->GetFocusedLink();
    if (!bForward && current < 0)
        return false;
    const int next = row->GetLinkEntries().AdjacentLink(current, bForward);
    row->SetFocusedLink(next);
    return next >= 0 || !bForward;
}

// Coming back by Shift+Tab lands on the last link, as walking forward left it.
void CListUI::EnterByTab(bool bForward)
{
    CListTextElementUI* row = SelectedTextRow();
    if (row != NULL && !bForward)
        row->SetFocusedLink(row->GetLinkEntries().AdjacentLink(-1, false));
}

bool CListUI::FollowFocusedLink()
{
    CListTextElementUI* row = SelectedTextRow();
    if (row == NULL || row->GetFocusedLink() < 0 || !row->IsEnabled())
        return false;
    if (manager != NULL)
        manager->SendNotify(row, NotifyType::Link, static_cast<WPARAM>(row->GetFocusedLink()));
    return true;
}

bool CListUI::HandleKey(WORD key)
{
    switch (key)
    {
    case VK_SPACE:
        FollowFocusedLink();
        return true;
    case VK_RETURN:
        if (FollowFocusedLink())
            return true;
        if (CControlUI* row = RowAt(curSel))
            row->Activate();
        return true;
    case VK_PRIOR:
        MoveSelectionByPage(false);
        return true;
    case VK_NEXT:
        MoveSelectionByPage(true);
        return true;
    case VK_HOME:
        SelectFrom(0, false);
        return true;
    case VK_END:
        SelectFrom(GetCount() - 1, true);
        return true;
    case VK_UP:
        SelectFrom(curSel - 1, false);
        return true;
    case VK_DOWN:
        SelectFrom(curSel + 1, true);
        return true;
    default:
        return false;
    }
}

void CListUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    switch (event.kind)
    {
    case EventSetFocus:
    case EventKillFocus:
        // The focus frame comes and goes with the focus; a link's focus
        // goes with it, and Tab picks one again.
        focused = event.kind == EventSetFocus;
        if (CListTextElementUI* row = SelectedTextRow())
            row->SetFocusedLink(-1);
        Invalidate();
        return;
    case EventKeyDown:
        if (!IsKeyboardEnabled() || !IsEnabled())
            break;
        HandleKey(event.keyChar);  // other keys are ignored, not passed on
        return;
    case EventScrollWheel:
        if (!IsEnabled() || event.wParam > 1)
            break;
        if (scrollSelect)
            event.wParam == 0 ? SelectFrom(curSel - 1, false) : SelectFrom(curSel + 1, true);
        else
            event.wParam == 0 ? ScrollByWheel(&CContainerUI::LineUp, &CContainerUI::PageUp)
                              : ScrollByWheel(&CContainerUI::LineDown, &CContainerUI::PageDown);
        return;
    default:
        break;
    }
    CVerticalLayoutUI::HandleEvent(event);
}

// ---- Attributes ----

// The list's own attributes; the shared "item..." attributes and the
// vertical layout's come after these.
const TAttributeRow<CListUI> CListUI::attributeTable[] = {
    {L"header",
     [](CListUI& l, LPCWSTR v) {
         if (l.GetHeader() != NULL)
             l.GetHeader()->SetVisible(wcscmp(v, L"hidden") != 0);
     }},
    {L"headerbkimage",
     [](CListUI& l, LPCWSTR v) {
         if (l.GetHeader() != NULL)
             l.GetHeader()->SetBkImage(v);
     }},
    {L"scrollselect", [](CListUI& l, LPCWSTR v) { l.SetScrollSelect(ParseBool(v)); }},
    {L"multiexpanding", [](CListUI& l, LPCWSTR v) { l.GetListInfo()->multiExpandable = ParseBool(v); }},
    // The scroll bars are the body's: the list's own would never be laid out.
    {L"vscrollbar",
     [](CListUI& l, LPCWSTR v) { l.EnableScrollBar(ParseBool(v), l.GetHorizontalScrollBar() != NULL); }},
    {L"hscrollbar",
     [](CListUI& l, LPCWSTR v) { l.EnableScrollBar(l.GetVerticalScrollBar() != NULL, ParseBool(v)); }},
    {L"vscrollbarstyle",
     [](CListUI& l, LPCWSTR v) {
         l.EnableScrollBar(true, l.GetHorizontalScrollBar() != NULL);
         l.GetVerticalScrollBar()->ApplyAttributeList(v);
     }},
    {L"hscrollbarstyle",
     [](CListUI& l, LPCWSTR v) {
         l.EnableScrollBar(l.GetVerticalScrollBar() != NULL, true);
         l.GetHorizontalScrollBar()->ApplyAttributeList(v);
     }},
};

void CListUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue) &&
        !ApplyListInfoAttribute(info, *this, pstrName, pstrValue, true))
        CVerticalLayoutUI::SetAttribute(pstrName, pstrValue);
}

void CListUI::ScaleGeometry(int fromDpi, int toDpi)
{
    RescaleListInfo(info, fromDpi, toDpi);
    CVerticalLayoutUI::ScaleGeometry(fromDpi, toDpi);
}
