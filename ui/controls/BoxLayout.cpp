#include "ui/controls/BoxLayout.h"

#include <wchar.h>

#include "ui/controls/ScrollBar.h"
#include "ui/core/Axis.h"
#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"

namespace
{
long long Min(long long a, long long b) { return a < b ? a : b; }
long long Max(long long a, long long b) { return a > b ? a : b; }

// The layout's axis, which also reads a child's size limits along and across it.
class BoxAxis : public CUIAxis
{
public:
    explicit BoxAxis(bool horizontal) : CUIAxis(horizontal) {}

    int FixedMain(const CControlUI* c) const { return IsHorizontal() ? c->GetFixedWidth() : c->GetFixedHeight(); }
    int FixedCross(const CControlUI* c) const { return IsHorizontal() ? c->GetFixedHeight() : c->GetFixedWidth(); }
    int MinMain(const CControlUI* c) const { return IsHorizontal() ? c->GetMinWidth() : c->GetMinHeight(); }
    int MaxMain(const CControlUI* c) const { return IsHorizontal() ? c->GetMaxWidth() : c->GetMaxHeight(); }
    int MinCross(const CControlUI* c) const { return IsHorizontal() ? c->GetMinHeight() : c->GetMinWidth(); }
    int MaxCross(const CControlUI* c) const { return IsHorizontal() ? c->GetMaxHeight() : c->GetMaxWidth(); }

    // A horizontal flow does not trust a width measured from content: a
    // child without a fixed width always shares the free space.
    bool StretchesWithoutFixedSize() const { return IsHorizontal(); }
};

// A child's margins seen along the axis.
struct AxisPadding
{
    AxisPadding(const BoxAxis& axis, const RECT& pad)
        : before(axis.MainStart(pad)),
          after(axis.MainEnd(pad)),
          crossBefore(axis.CrossStart(pad)),
          crossAfter(axis.CrossEnd(pad))
    {
    }
    long long Main() const { return static_cast<long long>(before) + after; }
    long long Cross() const { return static_cast<long long>(crossBefore) + crossAfter; }

    int before;
    int after;
    int crossBefore;
    int crossAfter;
};

// The size a child asks for along the axis, 0 when it has none: its fixed
// size, else its maximum.
long long MainLimit(const BoxAxis& axis, const CControlUI* child)
{
    return axis.FixedMain(child) > 0 ? axis.FixedMain(child) : axis.MaxMain(child);
}

long long CrossLimit(const BoxAxis& axis, const CControlUI* child)
{
    return axis.FixedCross(child) > 0 ? axis.FixedCross(child) : axis.MaxCross(child);
}
}  // namespace

CBoxLayoutUI::CBoxLayoutUI(bool bHorizontal)
    : horizontal(bHorizontal), sepSize(0), sepState(0), sepImmediate(false)
{
}

UINT CBoxLayoutUI::GetFlags() const
{
    return IsEnabled() && sepSize != 0 ? FlagSetCursor : 0;
}

// Inputs: itemRect, the inset, the bars' visibility, ranges and positions,
// and each child's padding, fixed, minimum and maximum sizes and estimate.
// Integer arithmetic throughout, in 64 bits so that no sum of sizes wraps;
// "/ 2" rounds towards zero. The last stretch child takes what the division
// of the free space left over.
void CBoxLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    const BoxAxis axis(horizontal);
    CScrollBarUI* mainBar = horizontal ? horizontalScrollBar : verticalScrollBar;
    CScrollBarUI* crossBar = horizontal ? verticalScrollBar : horizontalScrollBar;

    // 1. and 2.
    CControlUI::SetPos(rc, bNeedInvalidate);
    const CUIRect inner = InnerRect();

    // 3.
    if (items.IsEmpty())
    {
        ProcessScrollBar(inner, 0, 0);
        return;
    }

    // 4. Across the flow children may be as wide as the cross bar scrolls.
    //    Along it the free space is what can be seen: shared out over the
    //    scrolled length, it would be handed to stretch children that then
    //    need exactly that length, and a bar once shown would never hide.
    const bool mainScrolls = IsBarShown(mainBar);
    const bool crossScrolls = IsBarShown(crossBar);
    const long long availMain = axis.MainLength(inner);
    const long long availCross = axis.CrossLength(inner) + (crossScrolls ? crossBar->GetScrollRange() : 0);

    // 5. Measure: the space taken by children with a size, how many share
    //    the rest, and the widest child across the flow.
    long long mainFixed = 0;
    long long crossNeeded = 0;
    int stretchCount = 0;
    int estimateCount = 0;
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* child = static_cast<CControlUI*>(items[i]);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const AxisPadding pad(axis, child->GetPadding());
        const long long crossRoom = availCross - pad.Cross();
        long long main;
        long long cross;
        if (axis.StretchesWithoutFixedSize() && axis.FixedMain(child) == 0)
        {
            main = 0;
            cross = axis.FixedCross(child);
        }
        else
        {
            const SIZE estimate = child->EstimateSize(
                axis.MakeSize(Min(availMain, MainLimit(axis, child)), Min(crossRoom, CrossLimit(axis, child))));
            main = axis.Main(estimate);
            cross = axis.Cross(estimate);
        }
        if (main == 0)
            ++stretchCount;
        else
            main = Clamp(main, axis.MinMain(child), axis.MaxMain(child));
        mainFixed += pad.Main() + main;
        cross = Clamp(Max(cross, 0), axis.MinCross(child), axis.MaxCross(child));
        crossNeeded = Max(crossNeeded, pad.Cross() + cross);
        ++estimateCount;
    }

    // 6. and 7.
    mainFixed += static_cast<long long>(childPadding) * (estimateCount - 1);
    const long long expand = stretchCount > 0 ? Max(0, (availMain - mainFixed) / stretchCount) : 0;

    // 8. The flow starts where the main bar has scrolled it.
    long long position = axis.MainStart(inner) - (mainScrolls ? mainBar->GetScrollPos() : 0);
    long long remaining = availMain;
    long long mainNeeded = 0;
    int stretchIndex = 0;
    int placed = 0;

    // 9. Place.
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
        // 9.1 to 9.3: mainFixed keeps the room still owed to the children after this one.
        ++placed;
        const AxisPadding pad(axis, child->GetPadding());
        remaining -= pad.before;
        const long long crossFit = Min(availCross - pad.Cross(), CrossLimit(axis, child));
        mainFixed -= pad.Main();
        if (placed > 1)
            mainFixed -= childPadding;

        // 9.4 and 9.5: size along the flow.
        const SIZE estimate =
            child->EstimateSize(axis.MakeSize(Min(remaining, MainLimit(axis, child)), crossFit));
        long long main = axis.Main(estimate);
        if (main == 0 || (axis.StretchesWithoutFixedSize() && axis.FixedMain(child) == 0))
        {
            ++stretchIndex;
            main = stretchIndex == stretchCount ? Max(0, remaining - pad.after - mainFixed) : expand;
            main = Clamp(main, axis.MinMain(child), axis.MaxMain(child));
        }
        else
        {
            main = Clamp(main, axis.MinMain(child), axis.MaxMain(child));
            mainFixed -= main;
        }

        // 9.6: size across the flow, from the child's limits, not its estimate.
        long long cross = axis.MaxCross(child);
        if (cross == 0)
            cross = availCross - pad.Cross();
        cross = Clamp(Max(cross, 0), axis.MinCross(child), crossFit);

        // 9.7: across the flow by the alignment, following the cross bar.
        const long long crossPos = crossScrolls ? crossBar->GetScrollPos() : 0;
        const long long crossRange = crossScrolls ? crossBar->GetScrollRange() : 0;
        const AxisAlign align = axis.Across().Align(childAlign, childVAlign);
        long long crossStart;
        if (align == AlignMiddle)
        {
            const long long middle = (static_cast<long long>(axis.CrossStart(inner)) + axis.CrossEnd(inner)) / 2 +
                                     (crossScrolls ? crossRange / 2 - crossPos : 0);
            crossStart = middle - cross / 2;
        }
        else if (align == AlignEnd)
            crossStart = axis.CrossEnd(inner) + (crossRange - crossPos) - cross - pad.crossAfter;
        else
            crossStart = axis.CrossStart(inner) - crossPos + pad.crossBefore;

        // 9.8 and 9.9.
        const long long mainStart = position + pad.before;
        child->SetPos(axis.MakeRect(mainStart, mainStart + main, crossStart, crossStart + cross), false);
        position += pad.Main() + main + childPadding;
        mainNeeded += pad.Main() + main;
        remaining -= main + pad.after + childPadding;
    }

    // 10.
    mainNeeded += static_cast<long long>(childPadding) * (estimateCount - 1);
    if (horizontal)
        ProcessScrollBar(inner, SaturateInt(mainNeeded), SaturateInt(crossNeeded));
    else
        ProcessScrollBar(inner, SaturateInt(crossNeeded), SaturateInt(mainNeeded));
}

// ---- Separator ----

RECT CBoxLayoutUI::GetSeparatorRect(bool bUseNewPos) const
{
    const BoxAxis axis(horizontal);
    const RECT& rc = bUseNewPos && IsDragging() ? newPos : itemRect;
    const long long start = axis.MainStart(rc);
    const long long end = axis.MainEnd(rc);
    if (sepSize >= 0)
        return axis.MakeRect(Max(start, end - sepSize), end, axis.CrossStart(rc), axis.CrossEnd(rc));
    return axis.MakeRect(start, Min(end, start - sepSize), axis.CrossStart(rc), axis.CrossEnd(rc));
}

bool CBoxLayoutUI::IsSeparatorHit(POINT pt) const
{
    if (sepSize == 0 || !IsEnabled())
        return false;
    const RECT strip = GetSeparatorRect(false);
    return ::PtInRect(&strip, pt) != FALSE;
}

void CBoxLayoutUI::SetSepImmMode(bool bImmediately)
{
    if (sepImmediate == bImmediately)
        return;
    if (IsDragging() && !sepImmediate && manager != NULL)
        manager->RemovePostPaint(this);
    sepImmediate = bImmediately;
}

void CBoxLayoutUI::HandleEvent(TControlEvent& event)
{
    if (sepSize != 0)
    {
        switch (event.kind)
        {
        case EventButtonDown:
            if (!IsSeparatorHit(event.point))
                break;
            sepState |= StateCaptured;
            lastMouse = event.point;
            newPos = itemRect;
            if (!sepImmediate && manager != NULL)
                manager->AddPostPaint(this);
            return;
        case EventButtonUp:
            if (!IsDragging())
                break;
            sepState &= ~StateCaptured;
            itemRect = newPos;
            if (!sepImmediate && manager != NULL)
                manager->RemovePostPaint(this);
            NeedParentUpdate();
            return;
        case EventMouseMove:
            if (!IsDragging())
                break;
            DragSeparator(event.point);
            return;
        case EventSetCursor:
            if (!IsSeparatorHit(event.point))
                break;
            ::SetCursor(::LoadCursorW(NULL, horizontal ? IDC_SIZEWE : IDC_SIZENS));
            return;
        default:
            break;
        }
    }
    CContainerUI::HandleEvent(event);
}

// The dragged edge follows the pointer within the minimum and maximum size;
// a move towards the edge while the pointer is still beyond the strip on the
// far side (left behind by a clamp) is ignored, so the edge waits for it.
void CBoxLayoutUI::DragSeparator(POINT pt)
{
    const BoxAxis axis(horizontal);
    const long long delta = static_cast<long long>(axis.Of(pt)) - axis.Of(lastMouse);
    lastMouse = pt;
    const long long where = axis.Of(pt);
    const bool farEdge = sepSize >= 0;
    const long long thickness = farEdge ? sepSize : -static_cast<long long>(sepSize);

    // 1.
    const long long edge = farEdge ? axis.MainEnd(newPos) : axis.MainStart(newPos);
    const long long stripStart = farEdge ? edge - thickness : edge;
    const long long stripEnd = farEdge ? edge : edge + thickness;
    if ((delta > 0 && where < stripStart) || (delta < 0 && where > stripEnd))
        return;

    // 2. and 3.
    long long start = axis.MainStart(newPos);
    long long end = axis.MainEnd(newPos);
    (farEdge ? end : start) += delta;
    const long long oldLength = axis.MainLength(newPos);
    const long long minLength = axis.MinMain(this);
    const long long maxLength = axis.MaxMain(this);
    if (end - start <= minLength)
    {
        if (oldLength <= minLength)
            return;
        (farEdge ? end : start) = farEdge ? start + minLength : end - minLength;
    }
    if (end - start >= maxLength)
    {
        if (oldLength >= maxLength)
            return;
        (farEdge ? end : start) = farEdge ? start + maxLength : end - maxLength;
    }

    // 4.
    CUIRect area = GetSeparatorRect(true);
    newPos = axis.MakeRect(start, end, axis.CrossStart(newPos), axis.CrossEnd(newPos));
    (horizontal ? fixedWidth : fixedHeight) = SaturateInt(end - start);

    // 5.
    if (sepImmediate)
    {
        itemRect = newPos;
        NeedParentUpdate();
        return;
    }
    area.Join(GetSeparatorRect(true));
    area.Join(GetSeparatorRect(false));
    if (manager != NULL)
        manager->Invalidate(area);
}

void CBoxLayoutUI::PostPaint(HDC hDC, const RECT& rcPaint)
{
    if (IsDragging() && !sepImmediate)
        CRenderer::DrawColor(hDC, GetSeparatorRect(true), 0xAA000000);
    CContainerUI::PostPaint(hDC, rcPaint);
}

void CBoxLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (wcscmp(pstrName, horizontal ? L"sepwidth" : L"sepheight") == 0)
        sepSize = SaturateInt(wcstoll(pstrValue, NULL, 10));
    else if (wcscmp(pstrName, L"sepimm") == 0)
        SetSepImmMode(wcscmp(pstrValue, L"true") == 0);
    else
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

// ---- The two layouts ----

CVerticalLayoutUI::CVerticalLayoutUI() : CBoxLayoutUI(false) {}

LPCWSTR CVerticalLayoutUI::GetClassName() const
{
    return L"VerticalLayout";
}

LPVOID CVerticalLayoutUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"VerticalLayout") == 0)
        return static_cast<CVerticalLayoutUI*>(this);
    return CContainerUI::FindInterface(pstrName);
}

CHorizontalLayoutUI::CHorizontalLayoutUI() : CBoxLayoutUI(true) {}

LPCWSTR CHorizontalLayoutUI::GetClassName() const
{
    return L"HorizontalLayout";
}

LPVOID CHorizontalLayoutUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"HorizontalLayout") == 0)
        return static_cast<CHorizontalLayoutUI*>(this);
    return CContainerUI::FindInterface(pstrName);
}
