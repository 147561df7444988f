#include "ui/controls/BoxLayout.h"

#include <wchar.h>

#include "ui/controls/ScrollBar.h"
#include "ui/core/AttributeValues.h"
#include "ui/core/Axis.h"
#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"

namespace
{
// The layout's axis, which also reads a child's size limits along and across it.
class BoxAxis : public CUIAxis
{
public:
    explicit BoxAxis(bool horizontal) : CUIAxis(horizontal) {}

    int FixedMain(const CControlUI* c) const
    {
        return IsHorizontal() ? c->GetFixedWidth() : c->GetFixedHeight();
    }
    int FixedCross(const CControlUI* c) const
    {
        return IsHorizontal() ? c->GetFixedHeight() : c->GetFixedWidth();
    }
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

// The room both passes lay the children out in, resolved once from the
// layout's inner area and its scroll bars.
struct FlowRoom
{
    RECT inner;
    long long availMain;   // what can be seen along the flow
    long long availCross;  // across it, plus what the cross bar can scroll
    long long flowStart;   // where the first child starts, moved back by the main bar
    long long crossPos;    // the cross bar's position and range; 0 without the bar
    long long crossRange;
    int childPadding;
    AxisAlign align;  // across the flow
};

// What measuring found.
struct FlowMeasure
{
    long long mainFixed;    // margins and sizes of the children with a size, and the gaps between children
    long long crossNeeded;  // the widest child across the flow, margins included
    int stretchCount;       // children that share the free space
    int flowCount;          // children in the flow: visible and not float
};

// Measuring: the space taken by children with a size, how many share the
// rest, and the widest child across the flow. Nothing is placed.
FlowMeasure MeasureFlow(const CPtrList& items, const BoxAxis& axis, const FlowRoom& room)
{
    FlowMeasure measure = {0, 0, 0, 0};
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* child = static_cast<CControlUI*>(items[i]);
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const AxisPadding pad(axis, child->GetPadding());
        const long long crossRoom = room.availCross - pad.Cross();
        long long main;
        long long cross;
        if (axis.StretchesWithoutFixedSize() && axis.FixedMain(child) == 0)
        {
            main = 0;
            cross = axis.FixedCross(child);
        }
        else
        {
            const SIZE estimate = child->EstimateSize(axis.MakeSize(
                Min(room.availMain, MainLimit(axis, child)), Min(crossRoom, CrossLimit(axis, child))));
            main = axis.Main(estimate);
            cross = axis.Cross(estimate);
        }
        if (main == 0)
            ++measure.stretchCount;
        else
            main = Clamp(main, axis.MinMain(child), axis.MaxMain(child));
        measure.mainFixed += pad.Main() + main;
        cross = Clamp(Max(cross, 0), axis.MinCross(child), axis.MaxCross(child));
        measure.crossNeeded = Max(measure.crossNeeded, pad.Cross() + cross);
        ++measure.flowCount;
    }
    measure.mainFixed += static_cast<long long>(room.childPadding) * (measure.flowCount - 1);
    return measure;
}

// Where a child of the given size starts across the flow: by the alignment,
// following the cross bar. Centring uses the middle of the scrollable range.
long long AlignedCrossStart(const BoxAxis& axis, const FlowRoom& room, const AxisPadding& pad,
                            long long cross)
{
    switch (room.align)
    {
    case AlignMiddle:
    {
        const long long middle =
            (static_cast<long long>(axis.CrossStart(room.inner)) + axis.CrossEnd(room.inner)) / 2 +
            room.crossRange / 2 - room.crossPos;
        return middle - cross / 2;
    }
    case AlignEnd:
        return axis.CrossEnd(room.inner) + (room.crossRange - room.crossPos) - cross - pad.crossAfter;
    default:
        return axis.CrossStart(room.inner) - room.crossPos + pad.crossBefore;
    }
}

// Placing: children one after another along the flow, float children where
// their own rule puts them. Every stretch child gets an equal share of the
// free space, and the last one also what the division left over. Answers
// the length the children need along the flow.
long long PlaceFlow(CContainerUI& layout, const BoxAxis& axis, const FlowRoom& room, FlowMeasure owed)
{
    const long long expand =
        owed.stretchCount > 0 ? Max(0, (room.availMain - owed.mainFixed) / owed.stretchCount) : 0;
    long long position = room.flowStart;
    long long remaining = room.availMain;
    long long mainNeeded = 0;
    int stretchIndex = 0;
    int placed = 0;
    layout.PlaceVisibleChildren([&](int, CControlUI* child) {
        // owed.mainFixed keeps the room still owed to the children after this one.
        ++placed;
        const AxisPadding pad(axis, child->GetPadding());
        remaining -= pad.before;
        const long long crossFit = Min(room.availCross - pad.Cross(), CrossLimit(axis, child));
        owed.mainFixed -= pad.Main();
        if (placed > 1)
            owed.mainFixed -= room.childPadding;

        // Along the flow: the estimate within the limits, or a share of the free space.
        const SIZE estimate =
            child->EstimateSize(axis.MakeSize(Min(remaining, MainLimit(axis, child)), crossFit));
        long long main = axis.Main(estimate);
        if (main == 0 || (axis.StretchesWithoutFixedSize() && axis.FixedMain(child) == 0))
        {
            ++stretchIndex;
            main =
                stretchIndex == owed.stretchCount ? Max(0, remaining - pad.after - owed.mainFixed) : expand;
            main = Clamp(main, axis.MinMain(child), axis.MaxMain(child));
        }
        else
        {
            main = Clamp(main, axis.MinMain(child), axis.MaxMain(child));
            owed.mainFixed -= main;
        }

        // Across the flow: from the child's limits, not from its estimate.
        long long cross = axis.MaxCross(child);
        if (cross == 0)
            cross = room.availCross - pad.Cross();
        cross = Clamp(Max(cross, 0), axis.MinCross(child), crossFit);
        const long long crossStart = AlignedCrossStart(axis, room, pad, cross);

        const long long mainStart = position + pad.before;
        child->SetPos(axis.MakeRect(mainStart, mainStart + main, crossStart, crossStart + cross), false);
        position += pad.Main() + main + room.childPadding;
        mainNeeded += pad.Main() + main;
        remaining -= main + pad.after + room.childPadding;
    });
    return mainNeeded + static_cast<long long>(room.childPadding) * (owed.flowCount - 1);
}
}  // namespace

CBoxLayoutUI::CBoxLayoutUI(bool bHorizontal)
    : horizontal(bHorizontal),
      sepSize(0),
      sepState(0),
      sepImmediate(false)
{
}

UINT CBoxLayoutUI::GetFlags() const
{
    return (IsEnabled() && sepSize != 0 ? FlagSetCursor : 0) | CContainerUI::GetFlags();
}

// Inputs: itemRect, the inset, the bars' visibility, ranges and positions,
// and each child's padding, fixed, minimum and maximum sizes and estimate.
// Integer arithmetic throughout, in 64 bits so that no sum of sizes wraps;
// "/ 2" rounds towards zero. The last stretch child takes what the division
// of the free space left over.
void CBoxLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    const BoxAxis axis(horizontal);
    CControlUI::SetPos(rc, bNeedInvalidate);
    const CUIRect inner = InnerRect();
    if (items.IsEmpty())
    {
        ProcessScrollBar(inner, 0, 0);
        return;
    }

    // Across the flow children may be as wide as the cross bar scrolls.
    // Along it the free space is what can be seen: shared out over the
    // scrolled length, it would be handed to stretch children that then need
    // exactly that length, and a bar once shown would never hide.
    const CScrollBarUI* mainBar = BarAlong(axis);
    const CScrollBarUI* crossBar = BarAlong(axis.Across());
    const bool mainScrolls = IsBarShown(mainBar);
    const bool crossScrolls = IsBarShown(crossBar);
    FlowRoom room;
    room.inner = inner;
    room.availMain = axis.MainLength(inner);
    room.availCross = axis.CrossLength(inner) + (crossScrolls ? crossBar->GetScrollRange() : 0);
    room.flowStart = axis.MainStart(inner) - (mainScrolls ? mainBar->GetScrollPos() : 0);
    room.crossPos = crossScrolls ? crossBar->GetScrollPos() : 0;
    room.crossRange = crossScrolls ? crossBar->GetScrollRange() : 0;
    room.childPadding = childPadding;
    room.align = axis.Across().Align(childAlign, childVAlign);

    const FlowMeasure measure = MeasureFlow(items, axis, room);
    const long long mainNeeded = PlaceFlow(*this, axis, room, measure);
    const SIZE required = axis.MakeSize(mainNeeded, measure.crossNeeded);
    ProcessScrollBar(inner, required.cx, required.cy);
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

    // A pointer left behind the strip by a clamp must come back first.
    const long long edge = farEdge ? axis.MainEnd(newPos) : axis.MainStart(newPos);
    const long long stripStart = farEdge ? edge - thickness : edge;
    const long long stripEnd = farEdge ? edge : edge + thickness;
    if ((delta > 0 && where < stripStart) || (delta < 0 && where > stripEnd))
        return;

    // The edge moves with the pointer; at a limit it stops, and a drag
    // already at that limit changes nothing.
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

    // The new length becomes the fixed size along the flow.
    CUIRect area = GetSeparatorRect(true);
    newPos = axis.MakeRect(start, end, axis.CrossStart(newPos), axis.CrossEnd(newPos));
    (horizontal ? fixedWidth : fixedHeight) = SaturateInt(end - start);

    // In immediate mode the layout follows at once; otherwise only the
    // strip's old and new places are repainted.
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

// "sepimm" here; the separator's thickness is "sepheight" of a vertical
// layout and "sepwidth" of a horizontal one.
const TAttributeRow<CBoxLayoutUI> CBoxLayoutUI::attributeTable[] = {
    {L"sepimm", [](CBoxLayoutUI& c, LPCWSTR v) { c.SetSepImmMode(ParseBool(v)); }},
};

void CBoxLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

// ---- The two layouts ----

CVerticalLayoutUI::CVerticalLayoutUI() : CBoxLayoutUI(false)
{
}

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

const TAttributeRow<CVerticalLayoutUI> CVerticalLayoutUI::attributeTable[] = {
    {L"sepheight", [](CVerticalLayoutUI& c, LPCWSTR v) { c.sepSize = c.ScaleSkin(ParseInt(v)); }},
};

void CVerticalLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CBoxLayoutUI::SetAttribute(pstrName, pstrValue);
}

CHorizontalLayoutUI::CHorizontalLayoutUI() : CBoxLayoutUI(true)
{
}

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

const TAttributeRow<CHorizontalLayoutUI> CHorizontalLayoutUI::attributeTable[] = {
    {L"sepwidth", [](CHorizontalLayoutUI& c, LPCWSTR v) { c.sepSize = c.ScaleSkin(ParseInt(v)); }},
};

void CHorizontalLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CBoxLayoutUI::SetAttribute(pstrName, pstrValue);
}

void CBoxLayoutUI::ScaleGeometry(int fromDpi, int toDpi)
{
    sepSize = Rescale(sepSize, fromDpi, toDpi);
    CContainerUI::ScaleGeometry(fromDpi, toDpi);
}
