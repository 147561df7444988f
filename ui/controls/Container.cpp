#include "ui/controls/Container.h"

#include <wchar.h>

#include "ui/controls/ScrollBar.h"
#include "ui/core/Axis.h"
#include "ui/core/AttributeValues.h"
#include "ui/core/Check.h"
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
    CControlUI::SetPos(rc, bNeedInvalidate);
    if (items.IsEmpty())
        return;

    // The children's area grows by what the bars can scroll, and moves back
    // by where they are.
    CUIRect inner = InnerRect();
    if (IsBarShown(verticalScrollBar))
    {
        inner.top -= verticalScrollBar->GetScrollPos();
        inner.bottom += verticalScrollBar->GetScrollRange() - verticalScrollBar->GetScrollPos();
    }
    if (IsBarShown(horizontalScrollBar))
    {
        inner.left -= horizontalScrollBar->GetScrollPos();
        inner.right += horizontalScrollBar->GetScrollRange() - horizontalScrollBar->GetScrollPos();
    }

    FillWithChildren(inner);
}

void CContainerUI::FillWithChildren(const CUIRect& area)
{
    PlaceVisibleChildren([&area](int, CControlUI* child) {
        const int width = Clamp(area.GetWidth(), child->GetMinWidth(), child->GetMaxWidth());
        const int height = Clamp(area.GetHeight(), child->GetMinHeight(), child->GetMaxHeight());
        child->SetPos(CUIRect(area.left, area.top, area.left + width, area.top + height), false);
    });
}

void CContainerUI::SetFloatPos(int iIndex)
{
    CControlUI* child = GetItemAt(iIndex);
    if (child == NULL || !child->IsVisible() || !child->IsFloat())
        return;
    child->SetPos(child->CalcFloatPos(itemRect.GetWidth(), itemRect.GetHeight()), false);
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
    if (!UI_CHECK(pControl != NULL) || iIndex < 0 || iIndex > items.GetSize())
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

RECT CContainerUI::GetInset() const
{
    return inset;
}

void CContainerUI::SetInset(int left, int top, int right, int bottom)
{
    inset = CUIRect(left, top, right, bottom);
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const
{
    return childPadding;
}

void CContainerUI::SetChildPadding(int iPadding)
{
    childPadding = iPadding < 0 ? 0 : iPadding;
    NeedUpdate();
}

int CContainerUI::GetChildAlign() const
{
    return childAlign;
}

void CContainerUI::SetChildAlign(int iAlign)
{
    childAlign = iAlign;
    NeedUpdate();
}

int CContainerUI::GetChildVAlign() const
{
    return childVAlign;
}

void CContainerUI::SetChildVAlign(int iVAlign)
{
    childVAlign = iVAlign;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const
{
    return autoDestroy;
}
void CContainerUI::SetAutoDestroy(bool bAuto)
{
    autoDestroy = bAuto;
}
bool CContainerUI::IsDelayedDestroy() const
{
    return delayedDestroy;
}
void CContainerUI::SetDelayedDestroy(bool bDelayed)
{
    delayedDestroy = bDelayed;
}
bool CContainerUI::IsMouseChildEnabled() const
{
    return mouseChildEnabled;
}
void CContainerUI::SetMouseChildEnabled(bool bEnable)
{
    mouseChildEnabled = bEnable;
}

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
    if (PassUnreachableMouseEvent(event))
        return;
    switch (event.kind)
    {
    case EventSetFocus:
    case EventKillFocus:
        // A container that the keyboard scrolls shows the focus frame.
        focused = event.kind == EventSetFocus;
        Invalidate();
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

// ---- Attributes ----

namespace
{
// A word of the value chooses the alignment; other words leave it as it is.
struct TAlignWord
{
    LPCWSTR word;
    int value;
};

template <size_t N> void ReadAlignWord(int& field, LPCWSTR value, const TAlignWord (&words)[N])
{
    for (const TAlignWord& word : words)
    {
        if (AttributeIs(value, word.word))
        {
            field = word.value;
            return;
        }
    }
}

const TAlignWord kChildAlignWords[] = {
    {L"left", ChildAlignLeft}, {L"center", ChildAlignCenter}, {L"right", ChildAlignRight}};
const TAlignWord kChildVAlignWords[] = {
    {L"top", ChildAlignTop}, {L"vcenter", ChildAlignVCenter}, {L"bottom", ChildAlignBottom}};
}  // namespace

// A bar's style list creates the bar when it is missing; the alignments take
// effect at the next layout.
const TAttributeRow<CContainerUI> CContainerUI::attributeTable[] = {
    {L"inset",
     [](CContainerUI& c, LPCWSTR v) {
         const RECT rc = c.ScaleSkin(ParseIntRect(v));
         c.SetInset(rc.left, rc.top, rc.right, rc.bottom);
     }},
    {L"mousechild", [](CContainerUI& c, LPCWSTR v) { c.SetMouseChildEnabled(ParseBool(v)); }},
    {L"vscrollbar",
     [](CContainerUI& c, LPCWSTR v) { c.EnableScrollBar(ParseBool(v), c.horizontalScrollBar != NULL); }},
    {L"vscrollbarstyle",
     [](CContainerUI& c, LPCWSTR v) {
         c.EnableScrollBar(true, c.horizontalScrollBar != NULL);
         c.verticalScrollBar->ApplyAttributeList(v);
     }},
    {L"hscrollbar",
     [](CContainerUI& c, LPCWSTR v) { c.EnableScrollBar(c.verticalScrollBar != NULL, ParseBool(v)); }},
    {L"hscrollbarstyle",
     [](CContainerUI& c, LPCWSTR v) {
         c.EnableScrollBar(c.verticalScrollBar != NULL, true);
         c.horizontalScrollBar->ApplyAttributeList(v);
     }},
    {L"childpadding", [](CContainerUI& c, LPCWSTR v) { c.SetChildPadding(c.ScaleSkin(ParseInt(v))); }},
    {L"childalign", [](CContainerUI& c, LPCWSTR v) { ReadAlignWord(c.childAlign, v, kChildAlignWords); }},
    {L"childvalign", [](CContainerUI& c, LPCWSTR v) { ReadAlignWord(c.childVAlign, v, kChildVAlignWords); }},
};

void CContainerUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CControlUI::SetAttribute(pstrName, pstrValue);
}

// ---- Painting ----

bool CContainerUI::PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    // Nothing to do outside the part being painted; inside, everything is
    // clipped to the container: its own looks, then the children, then the
    // bars over them.
    RECT rc;
    if (!::IntersectRect(&rc, &rcPaint, &itemRect))
        return true;

    CClipScope clip;
    CClipScope::ClipRect(hDC, rc, clip);
    CControlUI::PaintContent(hDC, rcPaint, pStopControl);

    if (!items.IsEmpty() && !PaintChildren(hDC, rcPaint, pStopControl))
        return false;

    return PaintScrollBars(hDC, rcPaint, pStopControl);
}

bool CContainerUI::PaintScrollBars(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
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

void CContainerUI::ScaleGeometry(int fromDpi, int toDpi)
{
    inset = Rescale(inset, fromDpi, toDpi);
    childPadding = Rescale(childPadding, fromDpi, toDpi);
    CControlUI::ScaleGeometry(fromDpi, toDpi);
}
