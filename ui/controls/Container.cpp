#include "ui/controls/Container.h"

#include <wchar.h>

#include "ui/controls/ScrollBar.h"
#include "ui/core/Axis.h"
#include "ui/core/AttributeValues.h"
#include "ui/manager/Manager.h"
#include "ui/render/ClipScope.h"

CContainerUI::CContainerUI()
    : childPadding(0),
      childAlign(ChildAlignLeft),
      childVAlign(ChildAlignTop),
      autoDestroy(true),
      delayedDestroy(true),
      mouseChildEnabled(true),
      scrollProcessing(false),
      verticalScrollBar(NULL),
      horizontalScrollBar(NULL),
      scrollRelayoutDepth(0)
{
}

CContainerUI::~CContainerUI()
{
    // Owned children go now, not through the manager's delayed cleanup.
    delayedDestroy = false;
    RemoveAll();
    if (verticalScrollBar != NULL)
        verticalScrollBar->Delete();
    if (horizontalScrollBar != NULL)
        horizontalScrollBar->Delete();
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
    if (verticalScrollBar != NULL)
        verticalScrollBar->SetManager(pManager, this, bInit);
    if (horizontalScrollBar != NULL)
        horizontalScrollBar->SetManager(pManager, this, bInit);
    CControlUI::SetManager(pManager, pParent, bInit);
}

RECT CContainerUI::GetClientPos() const
{
    return InnerRect();
}

CUIRect CContainerUI::InnerRect() const
{
    CUIRect rc = itemRect;
    rc.left += inset.left;
    rc.top += inset.top;
    rc.right -= inset.right;
    rc.bottom -= inset.bottom;
    if (IsBarShown(verticalScrollBar))
        rc.right -= verticalScrollBar->GetFixedWidth();
    if (IsBarShown(horizontalScrollBar))
        rc.bottom -= horizontalScrollBar->GetFixedHeight();
    return rc;
}

bool CContainerUI::IsBarShown(const CScrollBarUI* bar) const
{
    return bar != NULL && bar->IsVisible();
}

bool CContainerUI::IsBarActive(const CScrollBarUI* bar) const
{
    return IsBarShown(bar) && bar->IsEnabled();
}

int CContainerUI::BarThickness(const CScrollBarUI* bar) const
{
    if (!IsBarShown(bar))
        return 0;
    return bar->IsHorizontal() ? bar->GetFixedHeight() : bar->GetFixedWidth();
}

void CContainerUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    // 1.
    CControlUI::SetPos(rc, bNeedInvalidate);
    if (items.IsEmpty())
        return;

    // 2. The inner area grows by what the bars can scroll, and moves back by
    //    where they are.
    CUIRect inner = itemRect;
    inner.left += inset.left;
    inner.top += inset.top;
    inner.right -= inset.right;
    inner.bottom -= inset.bottom;
    if (IsBarShown(verticalScrollBar))
    {
        inner.right -= verticalScrollBar->GetFixedWidth();
        inner.top -= verticalScrollBar->GetScrollPos();
        inner.bottom += verticalScrollBar->GetScrollRange() - verticalScrollBar->GetScrollPos();
    }
    if (IsBarShown(horizontalScrollBar))
    {
        inner.bottom -= horizontalScrollBar->GetFixedHeight();
        inner.left -= horizontalScrollBar->GetScrollPos();
        inner.right += horizontalScrollBar->GetScrollRange() - horizontalScrollBar->GetScrollPos();
    }

    // 3.
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* child = static_cast<CControlUI*>(items[i]);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat())
        {
            SetFloatPos(i);
            continue;
        }
        const int width = Clamp(inner.GetWidth(), child->GetMinWidth(), child->GetMaxWidth());
        const int height = Clamp(inner.GetHeight(), child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(CUIRect(inner.left, inner.top, inner.left + width, inner.top + height), false);
    }
}

void CContainerUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    CControlUI::MoveBy(dx, dy, bNeedInvalidate);
    if (IsBarShown(verticalScrollBar))
        verticalScrollBar->MoveBy(dx, dy, false);
    if (IsBarShown(horizontalScrollBar))
        horizontalScrollBar->MoveBy(dx, dy, false);
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

void CContainerUI::SetMouseEnabled(bool bEnable)
{
    if (verticalScrollBar != NULL)
        verticalScrollBar->SetMouseEnabled(bEnable);
    if (horizontalScrollBar != NULL)
        horizontalScrollBar->SetMouseEnabled(bEnable);
    CControlUI::SetMouseEnabled(bEnable);
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
    if (selfEligible)
    {
        CScrollBarUI* bars[] = {verticalScrollBar, horizontalScrollBar};
        for (CScrollBarUI* bar : bars)
        {
            if (bar == NULL)
                continue;
            if (CControlUI* found = bar->FindControl(Proc, pData, uFlags))
                return found;
        }
    }
    if (childrenReachable)
    {
        const RECT inner = InnerRect();
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

// The new index is checked before the child is taken out: a child lost here
// would stay attached and named while nobody owns it.
bool CContainerUI::SetItemIndex(CControlUI* pControl, int iNewIndex)
{
    const int index = items.Find(pControl);
    if (index < 0 || iNewIndex < 0 || iNewIndex >= items.GetSize())
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


// ---- Events ----

void CContainerUI::HandleEvent(TControlEvent& event)
{
    // 1. The mouse passes through a container it cannot reach.
    if (!IsMouseEnabled() && IsMouseEvent(event.kind))
    {
        if (parent != NULL)
            parent->HandleEvent(event);
        else
            CControlUI::HandleEvent(event);
        return;
    }
    switch (event.kind)
    {
    case EventSetFocus:
        focused = true;
        return;
    case EventKillFocus:
        focused = false;
        return;
    case EventKeyDown:
        if (IsKeyboardEnabled() && IsEnabled() && HandleScrollKey(event.keyChar))
            return;
        break;
    case EventScrollWheel:
        if (HandleScrollWheel(event))
            return;
        break;
    default:
        break;
    }
    CControlUI::HandleEvent(event);
}

// The vertical bar takes the keys when it can scroll; the horizontal one maps
// the same keys to its own direction.
bool CContainerUI::HandleScrollKey(WORD key)
{
    typedef void (CContainerUI::*Step)();
    struct KeyStep
    {
        WORD key;
        Step vertical;
        Step horizontal;
    };
    static const KeyStep steps[] = {
        {VK_PRIOR, &CContainerUI::PageUp, &CContainerUI::PageLeft},
        {VK_NEXT, &CContainerUI::PageDown, &CContainerUI::PageRight},
        {VK_END, &CContainerUI::EndDown, &CContainerUI::EndRight},
        {VK_HOME, &CContainerUI::HomeUp, &CContainerUI::HomeLeft},
        {VK_UP, &CContainerUI::LineUp, &CContainerUI::LineLeft},
        {VK_DOWN, &CContainerUI::LineDown, &CContainerUI::LineRight},
    };
    const bool vertical = IsBarActive(verticalScrollBar);
    if (!vertical && !IsBarActive(horizontalScrollBar))
        return false;
    for (const KeyStep& step : steps)
    {
        if (step.key == key)
        {
            (this->*(vertical ? step.vertical : step.horizontal))();
            return true;
        }
    }
    return false;
}

bool CContainerUI::HandleScrollWheel(const TControlEvent& event)
{
    const bool towardsUser = event.wParam != 0;
    const bool overHorizontal =
        IsBarActive(horizontalScrollBar) && ::PtInRect(&horizontalScrollBar->GetPos(), event.point);
    if (!overHorizontal && IsBarActive(verticalScrollBar))
    {
        towardsUser ? LineDown() : LineUp();
        return true;
    }
    if (IsBarActive(horizontalScrollBar))
    {
        towardsUser ? LineRight() : LineLeft();
        return true;
    }
    return false;
}

// ---- Attributes ----

void CContainerUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (AttributeIs(pstrName, L"inset"))
    {
        const RECT rc = ParseIntRect(pstrValue);
        SetInset(rc.left, rc.top, rc.right, rc.bottom);
    }
    else if (AttributeIs(pstrName, L"mousechild"))
        SetMouseChildEnabled(ParseBool(pstrValue));
    else if (AttributeIs(pstrName, L"vscrollbar"))
        EnableScrollBar(ParseBool(pstrValue), horizontalScrollBar != NULL);
    else if (AttributeIs(pstrName, L"vscrollbarstyle"))
    {
        EnableScrollBar(true, horizontalScrollBar != NULL);
        verticalScrollBar->ApplyAttributeList(pstrValue);
    }
    else if (AttributeIs(pstrName, L"hscrollbar"))
        EnableScrollBar(verticalScrollBar != NULL, ParseBool(pstrValue));
    else if (AttributeIs(pstrName, L"hscrollbarstyle"))
    {
        EnableScrollBar(verticalScrollBar != NULL, true);
        horizontalScrollBar->ApplyAttributeList(pstrValue);
    }
    else if (AttributeIs(pstrName, L"childpadding"))
        SetChildPadding(ParseInt(pstrValue));
    else if (AttributeIs(pstrName, L"childalign"))
    {
        if (AttributeIs(pstrValue, L"left"))
            childAlign = ChildAlignLeft;
        else if (AttributeIs(pstrValue, L"center"))
            childAlign = ChildAlignCenter;
        else if (AttributeIs(pstrValue, L"right"))
            childAlign = ChildAlignRight;
    }
    else if (AttributeIs(pstrName, L"childvalign"))
    {
        if (AttributeIs(pstrValue, L"top"))
            childVAlign = ChildAlignTop;
        else if (AttributeIs(pstrValue, L"vcenter"))
            childVAlign = ChildAlignVCenter;
        else if (AttributeIs(pstrValue, L"bottom"))
            childVAlign = ChildAlignBottom;
    }
    else
        CControlUI::SetAttribute(pstrName, pstrValue);
}

// ---- Painting ----

bool CContainerUI::PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    // 1.
    RECT rc;
    if (!::IntersectRect(&rc, &rcPaint, &itemRect))
        return true;

    // 2. and 3.
    CClipScope clip;
    CClipScope::ClipRect(hDC, rc, clip);
    CControlUI::PaintContent(hDC, rcPaint, pStopControl);

    // 4.
    if (!items.IsEmpty() && !PaintChildren(hDC, rcPaint, pStopControl))
        return false;

    // 5.
    CScrollBarUI* bars[] = {verticalScrollBar, horizontalScrollBar};
    for (CScrollBarUI* bar : bars)
    {
        if (bar == NULL)
            continue;
        if (bar == pStopControl)
            return false;
        RECT overlap;
        if (bar->IsVisible() && ::IntersectRect(&overlap, &rcPaint, &bar->GetPos()) &&
            !bar->Paint(hDC, rcPaint, pStopControl))
            return false;
    }
    return true;
}

// Float children are clipped to the container's rectangle, the others to its
// inner area, so that scrolled content never paints over the bars or insets.
bool CContainerUI::PaintChildren(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    const CUIRect inner = InnerRect();
    RECT innerPaint;
    const bool reachesInner = ::IntersectRect(&innerPaint, &rcPaint, &inner) != FALSE;
    CClipScope innerClip;
    if (reachesInner)
        CClipScope::ClipRect(hDC, innerPaint, innerClip);

    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* child = static_cast<CControlUI*>(items[i]);
        if (child == pStopControl)
            return false;
        RECT overlap;
        if (!child->IsVisible() || !::IntersectRect(&overlap, &rcPaint, &child->GetPos()))
            continue;
        if (child->IsFloat())
        {
            if (!::IntersectRect(&overlap, &itemRect, &child->GetPos()))
                continue;
            if (reachesInner)
                CClipScope::UseOldClip(hDC, innerClip);
            const bool go = child->Paint(hDC, rcPaint, pStopControl);
            if (reachesInner)
                CClipScope::UseNewClip(hDC, innerClip);
            if (!go)
                return false;
        }
        else if (reachesInner && ::IntersectRect(&overlap, &inner, &child->GetPos()))
        {
            if (!child->Paint(hDC, rcPaint, pStopControl))
                return false;
        }
    }
    return true;
}

// ---- Scrolling ----

SIZE CContainerUI::GetScrollPos() const
{
    return CUISize(IsBarShown(horizontalScrollBar) ? horizontalScrollBar->GetScrollPos() : 0,
                   IsBarShown(verticalScrollBar) ? verticalScrollBar->GetScrollPos() : 0);
}

SIZE CContainerUI::GetScrollRange() const
{
    return CUISize(IsBarShown(horizontalScrollBar) ? horizontalScrollBar->GetScrollRange() : 0,
                   IsBarShown(verticalScrollBar) ? verticalScrollBar->GetScrollRange() : 0);
}

void CContainerUI::SetScrollPos(SIZE szPos)
{
    // 1. and 2. The bars clamp and round; the content follows what they took.
    int dx = 0;
    int dy = 0;
    if (IsBarShown(verticalScrollBar))
    {
        const int old = verticalScrollBar->GetScrollPos();
        verticalScrollBar->SetScrollPos(szPos.cy);
        dy = verticalScrollBar->GetScrollPos() - old;
    }
    if (IsBarShown(horizontalScrollBar))
    {
        const int old = horizontalScrollBar->GetScrollPos();
        horizontalScrollBar->SetScrollPos(szPos.cx);
        dx = horizontalScrollBar->GetScrollPos() - old;
    }

    // 3.
    if (dx == 0 && dy == 0)
        return;

    // 4. Float children are pinned to the container, not to its content.
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* child = static_cast<CControlUI*>(items[i]);
        if (child->IsVisible() && !child->IsFloat())
            child->MoveBy(-dx, -dy, false);
    }

    // 5.
    Invalidate();
}

void CContainerUI::LineUp() { ScrollAlong(CUIAxis::Vertical(), ScrollLineBack); }
void CContainerUI::LineDown() { ScrollAlong(CUIAxis::Vertical(), ScrollLineForward); }
void CContainerUI::PageUp() { ScrollAlong(CUIAxis::Vertical(), ScrollPageBack); }
void CContainerUI::PageDown() { ScrollAlong(CUIAxis::Vertical(), ScrollPageForward); }
void CContainerUI::HomeUp() { ScrollAlong(CUIAxis::Vertical(), ScrollHome); }
void CContainerUI::EndDown() { ScrollAlong(CUIAxis::Vertical(), ScrollEnd); }
void CContainerUI::LineLeft() { ScrollAlong(CUIAxis::Horizontal(), ScrollLineBack); }
void CContainerUI::LineRight() { ScrollAlong(CUIAxis::Horizontal(), ScrollLineForward); }
void CContainerUI::PageLeft() { ScrollAlong(CUIAxis::Horizontal(), ScrollPageBack); }
void CContainerUI::PageRight() { ScrollAlong(CUIAxis::Horizontal(), ScrollPageForward); }
void CContainerUI::HomeLeft() { ScrollAlong(CUIAxis::Horizontal(), ScrollHome); }
void CContainerUI::EndRight() { ScrollAlong(CUIAxis::Horizontal(), ScrollEnd); }

// Positions are ints; a step past either end is clamped by the bar anyway.
void CContainerUI::ScrollAlong(const CUIAxis& axis, ScrollMove move)
{
    SIZE pos = GetScrollPos();
    LONG& along = axis.Main(pos);
    switch (move)
    {
    case ScrollLineBack:
        along = SaturateInt(static_cast<long long>(along) - LineStep(axis));
        break;
    case ScrollLineForward:
        along = SaturateInt(static_cast<long long>(along) + LineStep(axis));
        break;
    case ScrollPageBack:
        along = SaturateInt(static_cast<long long>(along) - PageLength(axis));
        break;
    case ScrollPageForward:
        along = SaturateInt(static_cast<long long>(along) + PageLength(axis));
        break;
    case ScrollHome:
        along = 0;
        break;
    case ScrollEnd:
        along = axis.Main(GetScrollRange());
        break;
    }
    SetScrollPos(pos);
}

CScrollBarUI* CContainerUI::BarAlong(const CUIAxis& axis) const
{
    return axis.IsHorizontal() ? horizontalScrollBar : verticalScrollBar;
}

// A bar's own line size counts when above 1; otherwise a vertical line is a
// line of the default font and some spacing, a horizontal one 8 pixels.
int CContainerUI::LineStep(const CUIAxis& axis) const
{
    const CScrollBarUI* bar = BarAlong(axis);
    if (bar != NULL && bar->GetLineSize() > 1)
        return bar->GetLineSize();
    if (axis.IsHorizontal() || manager == NULL)
        return 8;
    const TFontEntry* font = manager->GetDefaultFontInfo();
    return (font != NULL ? font->metrics.tmHeight : 0) + 8;
}

// The inner length along the axis, without the bar that runs across it.
long long CContainerUI::PageLength(const CUIAxis& axis) const
{
    return axis.MainLength(itemRect) - axis.MainStart(inset) - axis.MainEnd(inset) -
           BarThickness(BarAlong(axis.Across()));
}

CScrollBarUI* CContainerUI::CreateScrollBar(bool bHorizontal)
{
    CScrollBarUI* bar = new CScrollBarUI;
    bar->SetScrollRange(0);
    bar->SetOwner(this);
    bar->SetHorizontal(bHorizontal);
    // New bars stay hidden until a layout finds content that does not fit.
    bar->SetVisible(false);
    bar->SetManager(manager, this, false);
    if (manager != NULL)
    {
        LPCWSTR defaults = manager->GetDefaultAttributeList(bHorizontal ? L"HScrollBar" : L"VScrollBar");
        if (defaults != NULL)
            bar->ApplyAttributeList(defaults);
    }
    return bar;
}

void CContainerUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal)
{
    // 1.
    if (bEnableVertical && verticalScrollBar == NULL)
        verticalScrollBar = CreateScrollBar(false);
    else if (!bEnableVertical && verticalScrollBar != NULL)
    {
        verticalScrollBar->Delete();
        verticalScrollBar = NULL;
    }

    // 2.
    if (bEnableHorizontal && horizontalScrollBar == NULL)
        horizontalScrollBar = CreateScrollBar(true);
    else if (!bEnableHorizontal && horizontalScrollBar != NULL)
    {
        horizontalScrollBar->Delete();
        horizontalScrollBar = NULL;
    }

    // 3.
    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return verticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return horizontalScrollBar; }

void CContainerUI::SetFloatPos(int iIndex)
{
    CControlUI* child = GetItemAt(iIndex);
    if (child == NULL || !child->IsVisible() || !child->IsFloat())
        return;
    child->SetPos(child->CalcFloatPos(itemRect.GetWidth(), itemRect.GetHeight()), false);
}

// ---- Scroll bars after a layout ----

void CContainerUI::Replace(bool bNeedInvalidate)
{
    // A layout re-run from here may lead back here; the bars never need more
    // than a few rounds to settle for content that does not follow its room.
    const int maxDepth = 4;
    if (scrollRelayoutDepth >= maxDepth)
        return;
    ++scrollRelayoutDepth;
    SetPos(IsFloat() ? GetRelativePos() : GetPos(), bNeedInvalidate);
    --scrollRelayoutDepth;
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired)
{
    if (verticalScrollBar == NULL && horizontalScrollBar == NULL)
        return;
    if (verticalScrollBar != NULL && horizontalScrollBar != NULL)
        ProcessBothScrollBars(rc, cxRequired, cyRequired);
    else if (horizontalScrollBar != NULL)
        ProcessOneScrollBar(horizontalScrollBar, rc, cxRequired);
    else
        ProcessOneScrollBar(verticalScrollBar, rc, cyRequired);
}

namespace
{
long long Difference(int required, int available)
{
    return static_cast<long long>(required) - available;
}

int Magnitude(long long value)
{
    return SaturateInt(value < 0 ? -value : value);
}

// Where a bar sits along the far edge of the inner area.
RECT BarRect(const CScrollBarUI* bar, const RECT& inner)
{
    if (bar->IsHorizontal())
        return CUIRect(inner.left, inner.bottom, inner.right, inner.bottom + bar->GetFixedHeight());
    return CUIRect(inner.right, inner.top, inner.right + bar->GetFixedWidth(), inner.bottom);
}
}  // namespace

// One bar: the same steps for either direction, along its own axis.
void CContainerUI::ProcessOneScrollBar(CScrollBarUI* bar, const RECT& rc, int required)
{
    const bool horizontal = bar->IsHorizontal();
    const int available = horizontal ? rc.right - rc.left : rc.bottom - rc.top;

    // 1. Content that does not fit shows the bar and re-runs the layout in
    //    the room that is left.
    if (required > available && !bar->IsVisible())
    {
        bar->SetVisible(true);
        bar->SetScrollRange(SaturateInt(Difference(required, available)));
        bar->SetScrollPos(0);
        scrollProcessing = true;
        Replace(true);
        scrollProcessing = false;
        return;
    }

    // 2.
    if (!bar->IsVisible())
        return;

    // 3. Content that fits again hides it, unless this layout is the one
    //    that showed it.
    const long long range = Difference(required, available);
    if (range <= 0 && !scrollProcessing)
    {
        bar->SetVisible(false);
        bar->SetScrollPos(0);
        bar->SetScrollRange(0);
        Replace(true);
        return;
    }

    // 4.
    bar->SetPos(BarRect(bar, rc), false);
    if (bar->GetScrollRange() == range)
        return;
    const int oldPos = bar->GetScrollPos();
    bar->SetScrollRange(Magnitude(range));
    if (bar->GetScrollRange() == 0)
    {
        bar->SetVisible(false);
        bar->SetScrollPos(0);
    }
    if (oldPos > bar->GetScrollPos())
        Replace(false);
}

void CContainerUI::ProcessBothScrollBars(RECT rc, int cxRequired, int cyRequired)
{
    CScrollBarUI* hbar = horizontalScrollBar;
    CScrollBarUI* vbar = verticalScrollBar;

    // 1. The horizontal bar first: it decides the height left for the content.
    bool changed = false;
    if (cxRequired > rc.right - rc.left)
    {
        if (!hbar->IsVisible())
        {
            hbar->SetVisible(true);
            hbar->SetScrollPos(0);
            rc.bottom -= hbar->GetFixedHeight();
        }
        hbar->SetPos(BarRect(hbar, rc), false);
        const long long range = Difference(cxRequired, rc.right - rc.left);
        if (hbar->GetScrollRange() != range)
        {
            hbar->SetScrollRange(SaturateInt(range));
            changed = true;
        }
    }
    else if (hbar->IsVisible())
    {
        hbar->SetVisible(false);
        rc.bottom += hbar->GetFixedHeight();
    }

    // 2. A vertical bar shown now narrows the room of the horizontal one.
    const int height = rc.bottom - rc.top;
    if (cyRequired > height && !vbar->IsVisible())
    {
        vbar->SetVisible(true);
        vbar->SetScrollRange(SaturateInt(Difference(cyRequired, height)));
        vbar->SetScrollPos(0);
        rc.right -= vbar->GetFixedWidth();
        if (hbar->IsVisible())
        {
            hbar->SetPos(BarRect(hbar, rc), false);
            hbar->SetScrollRange(SaturateInt(Difference(cxRequired, rc.right - rc.left)));
        }
        scrollProcessing = true;
        Replace(true);
        scrollProcessing = false;
        return;
    }

    // 3.
    if (!vbar->IsVisible())
    {
        if (changed)
            Replace(true);
        return;
    }

    // 4.
    const long long range = Difference(cyRequired, height);
    if (range <= 0 && !scrollProcessing)
    {
        vbar->SetVisible(false);
        vbar->SetScrollPos(0);
        vbar->SetScrollRange(0);
        rc.right += vbar->GetFixedWidth();
        if (hbar->IsVisible())
        {
            hbar->SetPos(BarRect(hbar, rc), false);
            hbar->SetScrollRange(SaturateInt(Difference(cxRequired, rc.right - rc.left)));
        }
        Replace(true);
        return;
    }

    // 5.
    vbar->SetPos(BarRect(vbar, rc), false);
    if (vbar->GetScrollRange() == range)
        return;
    const int oldPos = vbar->GetScrollPos();
    vbar->SetScrollRange(Magnitude(range));
    if (vbar->GetScrollRange() == 0)
    {
        vbar->SetVisible(false);
        vbar->SetScrollPos(0);
    }
    if (oldPos > vbar->GetScrollPos() || changed)
        Replace(false);
}
