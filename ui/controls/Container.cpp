#include "ui/controls/Container.h"

#include "ui/manager/Manager.h"

CContainerUI::CContainerUI()
    : childPadding(0),
      childAlign(0),
      childVAlign(0),
      autoDestroy(true),
      delayedDestroy(true),
      mouseChildEnabled(true),
      scrollProcessing(false),
      verticalScrollBar(NULL),
      horizontalScrollBar(NULL)
{
}

CContainerUI::~CContainerUI()
{
    // Owned children go now, not through the manager's delayed cleanup.
    delayedDestroy = false;
    RemoveAll();
}

LPCWSTR CContainerUI::GetClassName() const
{
    return L"Container";
}

LPVOID CContainerUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"IContainer") == 0)
        return static_cast<IContainerUI*>(this);
    if (pstrName != NULL && wcscmp(pstrName, L"Container") == 0)
        return static_cast<CContainerUI*>(this);
    return CControlUI::FindInterface(pstrName);
}

void CContainerUI::SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    for (int i = 0; i < items.GetSize(); ++i)
        static_cast<CControlUI*>(items[i])->SetManager(pManager, this, bInit);
    CControlUI::SetManager(pManager, pParent, bInit);
}

RECT CContainerUI::GetClientPos() const
{
    CUIRect rc = itemRect;
    rc.left += inset.left;
    rc.top += inset.top;
    rc.right -= inset.right;
    rc.bottom -= inset.bottom;
    return rc;
}

void CContainerUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    CControlUI::MoveBy(dx, dy, bNeedInvalidate);
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* child = static_cast<CControlUI*>(items[i]);
        if (child->IsVisible())
            child->MoveBy(dx, dy, false);
    }
}

void CContainerUI::SetVisible(bool bVisible)
{
    if (visible == bVisible)
        return;
    CControlUI::SetVisible(bVisible);
    for (int i = 0; i < items.GetSize(); ++i)
        static_cast<CControlUI*>(items[i])->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetInheritedVisible(bool bVisible)
{
    CControlUI::SetInheritedVisible(bVisible);
    for (int i = 0; i < items.GetSize(); ++i)
        static_cast<CControlUI*>(items[i])->SetInheritedVisible(IsVisible());
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    const bool hitTest = (uFlags & FindHitTest) != 0;
    if (IsSkippedBySearch(Proc, pData, uFlags))
        return NULL;

    const bool selfEligible = !hitTest || IsMouseEnabled();
    if ((uFlags & FindMeFirst) != 0 && selfEligible)
    {
        if (CControlUI* found = Proc(this, pData))
            return found;
    }
    const bool childrenReachable = !hitTest || mouseChildEnabled;
    if (cover != NULL && childrenReachable)
    {
        if (CControlUI* found = cover->FindControl(Proc, pData, uFlags))
            return found;
    }
    if (childrenReachable)
    {
        const RECT inner = GetClientPos();
        const int count = items.GetSize();
        const bool topFirst = (uFlags & FindTopFirst) != 0;
        for (int n = 0; n < count; ++n)
        {
            CControlUI* child = static_cast<CControlUI*>(items[topFirst ? count - 1 - n : n]);
            CControlUI* found = child->FindControl(Proc, pData, uFlags);
            if (found == NULL)
                continue;
            if (!hitTest || found->IsFloat() || ::PtInRect(&inner, *static_cast<const POINT*>(pData)))
                return found;
        }
    }
    if ((uFlags & FindMeFirst) == 0 && selfEligible)
        return Proc(this, pData);
    return NULL;
}

CControlUI* CContainerUI::GetItemAt(int iIndex) const
{
    return static_cast<CControlUI*>(items.GetAt(iIndex));
}

int CContainerUI::GetItemIndex(CControlUI* pControl) const
{
    return items.Find(pControl);
}

bool CContainerUI::SetItemIndex(CControlUI* pControl, int iNewIndex)
{
    const int index = items.Find(pControl);
    if (index < 0)
        return false;
    NeedUpdate();
    items.Remove(index);
    return items.InsertAt(iNewIndex, pControl);
}

bool CContainerUI::SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex)
{
    if (pStartControl == NULL || iCount < 0 || iNewStartIndex < 0)
        return false;
    const int start = items.Find(pStartControl);
    if (start < 0)
        return false;
    if (start == iNewStartIndex)
        return true;
    if (start + iCount > items.GetSize() || iNewStartIndex + iCount > items.GetSize())
        return false;
    CPtrList run;
    for (int i = 0; i < iCount; ++i)
        run.Add(items[start + i]);
    items.Remove(start, iCount);
    for (int i = 0; i < iCount; ++i)
    {
        if (!items.InsertAt(iNewStartIndex + i, run[i]))
            return false;
    }
    NeedUpdate();
    return true;
}

int CContainerUI::GetCount() const
{
    return items.GetSize();
}

bool CContainerUI::Add(CControlUI* pControl)
{
    return AddAt(pControl, items.GetSize());
}

bool CContainerUI::AddAt(CControlUI* pControl, int iIndex)
{
    if (pControl == NULL)
        return false;
    if (manager != NULL)
        manager->InitControls(pControl, this);
    if (IsVisible())
        NeedUpdate();
    else
        pControl->SetInheritedVisible(false);
    return items.InsertAt(iIndex, pControl);
}

bool CContainerUI::Remove(CControlUI* pControl, bool bDoNotDestroy)
{
    const int index = items.Find(pControl);
    if (index < 0)
        return false;
    NeedUpdate();
    if (!bDoNotDestroy && autoDestroy)
        DestroyChild(pControl);
    items.Remove(index);
    return true;
}

bool CContainerUI::RemoveAt(int iIndex, bool bDoNotDestroy)
{
    CControlUI* child = GetItemAt(iIndex);
    return child != NULL && Remove(child, bDoNotDestroy);
}

void CContainerUI::RemoveAll()
{
    if (autoDestroy)
    {
        for (int i = 0; i < items.GetSize(); ++i)
            DestroyChild(static_cast<CControlUI*>(items[i]));
    }
    items.Empty();
    NeedUpdate();
}

void CContainerUI::DestroyChild(CControlUI* pControl)
{
    if (delayedDestroy && manager != NULL)
        manager->ScheduleDelete(pControl);
    else
        pControl->Delete();
}

RECT CContainerUI::GetInset() const { return inset; }

void CContainerUI::SetInset(int left, int top, int right, int bottom)
{
    inset = CUIRect(left, top, right, bottom);
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return childPadding; }

void CContainerUI::SetChildPadding(int iPadding)
{
    childPadding = iPadding < 0 ? 0 : iPadding;
    NeedUpdate();
}

int CContainerUI::GetChildAlign() const { return childAlign; }

void CContainerUI::SetChildAlign(int iAlign)
{
    childAlign = iAlign;
    NeedUpdate();
}

int CContainerUI::GetChildVAlign() const { return childVAlign; }

void CContainerUI::SetChildVAlign(int iVAlign)
{
    childVAlign = iVAlign;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const { return autoDestroy; }
void CContainerUI::SetAutoDestroy(bool bAuto) { autoDestroy = bAuto; }
bool CContainerUI::IsDelayedDestroy() const { return delayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool bDelayed) { delayedDestroy = bDelayed; }
bool CContainerUI::IsMouseChildEnabled() const { return mouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool bEnable) { mouseChildEnabled = bEnable; }

int CContainerUI::FindSelectable(int iIndex, bool bForward) const
{
    const int count = items.GetSize();
    if (count == 0)
        return -1;
    if (iIndex < 0)
        iIndex = 0;
    if (iIndex > count - 1)
        iIndex = count - 1;
    auto selectable = [this](int i) {
        CControlUI* child = static_cast<CControlUI*>(items[i]);
        return child->FindInterface(L"IListItem") != NULL && child->IsVisible() && child->IsEnabled();
    };
    if (bForward)
    {
        for (int i = iIndex; i < count; ++i)
            if (selectable(i))
                return i;
        return -1;
    }
    for (int i = iIndex; i >= 0; --i)
        if (selectable(i))
            return i;
    return FindSelectable(0, true);
}

// Without scroll bars every position and range is 0 and scrolling does nothing.
SIZE CContainerUI::GetScrollPos() const { return CUISize(); }
SIZE CContainerUI::GetScrollRange() const { return CUISize(); }
void CContainerUI::SetScrollPos(SIZE) {}
void CContainerUI::LineUp() {}
void CContainerUI::LineDown() {}
void CContainerUI::PageUp() {}
void CContainerUI::PageDown() {}
void CContainerUI::HomeUp() {}
void CContainerUI::EndDown() {}
void CContainerUI::LineLeft() {}
void CContainerUI::LineRight() {}
void CContainerUI::PageLeft() {}
void CContainerUI::PageRight() {}
void CContainerUI::HomeLeft() {}
void CContainerUI::EndRight() {}
void CContainerUI::EnableScrollBar(bool, bool) {}
CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return verticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return horizontalScrollBar; }
void CContainerUI::SetFloatPos(int) {}
void CContainerUI::ProcessScrollBar(RECT, int, int) {}
