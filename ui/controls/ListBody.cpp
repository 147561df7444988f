#include "ui/controls/List.h"

#include <limits.h>

#include <new>

#include "ui/controls/ScrollBar.h"
#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"
#include "ui/render/ClipScope.h"
#include "ui/render/Renderer.h"

namespace
{
bool IsPlaced(const CControlUI* row)
{
    return row->IsVisible() && !row->IsFloat();
}
}  // namespace

CListBodyUI::CListBodyUI(CListUI* pOwner)
    : owner(pOwner),
      hasFloatItems(false),
      slots(NULL),
      slotCount(0),
      slotCapacity(0),
      shift(0)
{
}

CListBodyUI::~CListBodyUI()
{
    delete[] slots;
}

// ---- Where the rows are ----

bool CListBodyUI::ReserveSlots(int count)
{
    if (count <= slotCapacity)
        return true;
    TRowSlot* grown = new (std::nothrow) TRowSlot[count];
    if (grown == NULL)
        return false;
    delete[] slots;
    slots = grown;
    slotCapacity = count;
    return true;
}

void CListBodyUI::RefreshRow(int iIndex)
{
    if (!SlotsValid() || iIndex < 0 || iIndex >= slotCount || !slots[iIndex].placed)
        return;
    TRowSlot& slot = slots[iIndex];
    if (slot.applied == shift)
        return;
    static_cast<CControlUI*>(items[iIndex])->MoveBy(0, shift - slot.applied, false);
    slot.applied = shift;
}

void CListBodyUI::RefreshAll()
{
    if (!SlotsValid())
        return;
    for (int i = 0; i < slotCount; ++i)
        RefreshRow(i);
}

// Whatever changes the rows leaves every row where it belongs and the
// slots unused until the next layout.
void CListBodyUI::ForgetSlots()
{
    RefreshAll();
    slotCount = 0;
    shift = 0;
}

bool CListBodyUI::AddAt(CControlUI* pControl, int iIndex)
{
    ForgetSlots();
    return CVerticalLayoutUI::AddAt(pControl, iIndex);
}

bool CListBodyUI::Remove(CControlUI* pControl, bool bDoNotDestroy)
{
    ForgetSlots();
    return CVerticalLayoutUI::Remove(pControl, bDoNotDestroy);
}

void CListBodyUI::RemoveAll()
{
    ForgetSlots();
    CVerticalLayoutUI::RemoveAll();
}

bool CListBodyUI::SetItemIndex(CControlUI* pControl, int iNewIndex)
{
    ForgetSlots();
    return CVerticalLayoutUI::SetItemIndex(pControl, iNewIndex);
}

bool CListBodyUI::SetMultiItemIndex(CControlUI* pStartControl, int iCount, int iNewStartIndex)
{
    ForgetSlots();
    return CVerticalLayoutUI::SetMultiItemIndex(pStartControl, iCount, iNewStartIndex);
}

void CListBodyUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    // Every row moves, placed or not yet: the slots move with them.
    CVerticalLayoutUI::MoveBy(dx, dy, bNeedInvalidate);
    for (int i = 0; i < slotCount; ++i)
    {
        slots[i].top += dy;
        slots[i].bottom += dy;
    }
}

// The vertical box layout with the differences a list needs: rows are one
// row line apart, as wide as the columns (or the content), and every placed
// row learns its position among the visible rows for the alternating
// background. Inputs: itemRect, the inset, the bars, the list's look and
// columns, and each row's padding, sizes and estimate. 64-bit sums; the last
// row without a height takes what the division of the free space left.
void CListBodyUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    const CUIRect inner = InnerRect();
    hasFloatItems = false;
    slotCount = 0;
    shift = 0;
    if (items.IsEmpty())
    {
        ProcessScrollBar(inner, 0, 0);
        return;
    }

    // The room: the columns' span when the list has columns, else the
    // content width and what the horizontal bar scrolls.
    const TListInfo* info = owner != NULL ? owner->GetListInfo() : NULL;
    const long long gap = static_cast<long long>(childPadding) + (info != NULL ? Max(info->hLineSize, 0) : 0);
    const bool hScrolls = IsBarShown(horizontalScrollBar);
    const bool vScrolls = IsBarShown(verticalScrollBar);
    long long availW = inner.GetWidth() + (hScrolls ? horizontalScrollBar->GetScrollRange() : 0);
    if (info != NULL && info->columnCount > 0)
        availW = static_cast<long long>(info->columns[info->columnCount - 1].right) - info->columns[0].left;
    const long long availH = inner.GetHeight();

    // A row's width: its fixed (else maximum) width within the room, never
    // below its minimum.
    auto rowWidth = [availW](const CControlUI* row, const RECT& pad) {
        const long long wanted = row->GetFixedWidth() > 0 ? row->GetFixedWidth() : row->GetMaxWidth();
        return Max(Min(wanted, availW - pad.left - pad.right), row->GetMinWidth());
    };
    auto heightLimit = [availH](const CControlUI* row) {
        return Min(availH, row->GetFixedHeight() > 0 ? row->GetFixedHeight() : row->GetMaxHeight());
    };

    // Measure: the height taken by rows with a height, and how many rows
    // share what is left.
    long long fixedHeight = 0;
    int stretchCount = 0;
    int placedCount = 0;
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* row = static_cast<CControlUI*>(items[i]);
        if (!IsPlaced(row))
            continue;
        const RECT pad = row->GetPadding();
        const SIZE estimate =
            row->EstimateSize(CUISize(SaturateInt(rowWidth(row, pad)), SaturateInt(heightLimit(row))));
        long long height = estimate.cy;
        if (height == 0)
            ++stretchCount;
        else
            height = Clamp(height, row->GetMinHeight(), row->GetMaxHeight());
        fixedHeight += static_cast<long long>(pad.top) + height + pad.bottom;
        ++placedCount;
    }
    fixedHeight += gap * (placedCount - 1);
    const long long expand = stretchCount > 0 ? Max(0, (availH - fixedHeight) / stretchCount) : 0;

    // Place, from where the bars have scrolled the content.
    const long long left =
        static_cast<long long>(inner.left) - (hScrolls ? horizontalScrollBar->GetScrollPos() : 0);
    long long y = static_cast<long long>(inner.top) - (vScrolls ? verticalScrollBar->GetScrollPos() : 0);
    long long remaining = availH;
    long long widthNeeded = 0;
    long long heightNeeded = 0;
    int stretchIndex = 0;
    int drawIndex = 0;
    const bool recording = ReserveSlots(items.GetSize());
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* row = static_cast<CControlUI*>(items[i]);
        if (recording)
            slots[i].placed = false;
        if (!row->IsVisible())
            continue;
        if (row->IsFloat())
        {
            hasFloatItems = true;
            SetFloatPos(i);
            continue;
        }
        const RECT pad = row->GetPadding();
        remaining -= pad.top;
        fixedHeight -= static_cast<long long>(pad.top) + pad.bottom + (drawIndex > 0 ? gap : 0);
        const long long width = rowWidth(row, pad);
        const SIZE estimate = row->EstimateSize(CUISize(SaturateInt(width), SaturateInt(heightLimit(row))));
        long long height = estimate.cy;
        if (height == 0)
        {
            ++stretchIndex;
            height = stretchIndex == stretchCount ? Max(0, remaining - pad.bottom - fixedHeight) : expand;
            height = Clamp(height, row->GetMinHeight(), row->GetMaxHeight());
        }
        else
        {
            height = Clamp(height, row->GetMinHeight(), row->GetMaxHeight());
            fixedHeight -= height;
        }
        const long long rowLeft = left + pad.left;
        const long long rowTop = y + pad.top;
        const RECT placedRect = CUIRect(SaturateInt(rowLeft), SaturateInt(rowTop),
                                        SaturateInt(rowLeft + width), SaturateInt(rowTop + height));
        row->SetPos(placedRect, false);
        if (recording)
        {
            const TRowSlot slot = {placedRect.top, placedRect.bottom, 0, true};
            slots[i] = slot;
        }
        if (IListItemUI* item = AsListItem(row))
            item->SetDrawIndex(drawIndex);
        ++drawIndex;
        y += pad.top + height + pad.bottom + gap;
        remaining -= height + pad.bottom + gap;
        heightNeeded += pad.top + height + pad.bottom;
        widthNeeded = Max(widthNeeded, pad.left + width + pad.right);
    }
    heightNeeded += gap * (placedCount - 1);
    if (recording)
        slotCount = items.GetSize();

    // Sideways the header decides, when it has columns.
    CListHeaderUI* header = owner != NULL ? owner->GetHeader() : NULL;
    if (header != NULL && header->GetCount() > 0)
        widthNeeded = Max(header->EstimateSize(CUISize(inner.GetWidth(), inner.GetHeight())).cx, 0);
    ProcessScrollBar(inner, SaturateInt(widthNeeded), SaturateInt(heightNeeded));
}

void CListBodyUI::SetScrollPos(SIZE szPos)
{
    const SIZE old = GetScrollPos();
    if (!SlotsValid())
        CVerticalLayoutUI::SetScrollPos(szPos);
    else
    {
        // The bars clamp and round; the content follows what they took.
        if (IsBarShown(verticalScrollBar))
            verticalScrollBar->SetScrollPos(szPos.cy);
        if (IsBarShown(horizontalScrollBar))
            horizontalScrollBar->SetScrollPos(szPos.cx);
        const int dx = GetScrollPos().cx - old.cx;
        const int dy = GetScrollPos().cy - old.cy;
        if (dx == 0 && dy == 0)
            return;
        if (dx != 0)
        {
            for (int i = 0; i < slotCount; ++i)
            {
                if (slots[i].placed)
                    static_cast<CControlUI*>(items[i])->MoveBy(-dx, 0, false);
            }
        }
        if (dy != 0)
        {
            // The rows that were in view leave it, those now in view enter it.
            const CUIRect inner = InnerRect();
            int oldFirst = 0;
            int oldEnd = 0;
            RowsBetween(inner.top, inner.bottom, oldFirst, oldEnd);
            shift -= dy;
            for (int i = oldFirst; i < oldEnd; ++i)
                RefreshRow(i);
            int first = 0;
            int end = 0;
            RowsBetween(inner.top, inner.bottom, first, end);
            for (int i = first; i < end; ++i)
                RefreshRow(i);
        }
        Invalidate();
    }

    const int dx = GetScrollPos().cx - old.cx;
    CListHeaderUI* header = owner != NULL ? owner->GetHeader() : NULL;
    if (dx == 0 || header == NULL)
        return;
    for (int i = 0; i < header->GetCount(); ++i)
    {
        CControlUI* column = header->GetItemAt(i);
        if (!column->IsFloat())
            column->MoveBy(-dx, 0, false);
    }
    owner->RefreshColumns();
    header->Invalidate();
}

// ---- Visible rows ----
// Placed rows lie top to bottom in child order, so the rows in a band are
// found by bisection over the slots: painting and hit testing cost what can
// be seen, not the length of the list.

int CListBodyUI::NextPlaced(int index) const
{
    while (index < slotCount && !slots[index].placed)
        ++index;
    return index;
}

int CListBodyUI::FirstPlacedBelow(int y) const
{
    int low = 0;
    int high = slotCount;
    while (low < high)
    {
        const int middle = low + (high - low) / 2;
        const int placed = NextPlaced(middle);
        if (placed >= high || slots[placed].bottom + shift > y)
            high = middle;
        else
            low = placed + 1;
    }
    return NextPlaced(low);
}

void CListBodyUI::RowsBetween(int top, int bottom, int& first, int& end) const
{
    first = FirstPlacedBelow(top);
    end = first;
    while (end < slotCount && (!slots[end].placed || slots[end].top + shift < bottom))
        ++end;
}

CControlUI* CListBodyUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags)
{
    // Only a plain hit test takes the short way; every other search visits
    // the whole tree.
    const bool plainHitTest = (uFlags & FindHitTest) != 0 && (uFlags & FindMeFirst) == 0;
    if (!plainHitTest || !SlotsValid() || cover != NULL || !mouseChildEnabled)
    {
        RefreshAll();
        return CVerticalLayoutUI::FindControl(Proc, pData, uFlags);
    }
    if (IsSkippedBySearch(Proc, pData, uFlags))
        return NULL;
    if (IsMouseEnabled())
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
    const POINT pt = *static_cast<const POINT*>(pData);
    const RECT inner = InnerRect();
    if (::PtInRect(&inner, pt))
    {
        int first = 0;
        int end = 0;
        RowsBetween(pt.y, pt.y + 1, first, end);
        for (int i = first; i < end; ++i)
        {
            CControlUI* row = static_cast<CControlUI*>(items[i]);
            if (!slots[i].placed)
                continue;
            RefreshRow(i);
            if (CControlUI* found = row->FindControl(Proc, pData, uFlags))
                return found;
        }
    }
    return IsMouseEnabled() ? Proc(this, pData) : NULL;
}

// ---- Events ----

void CListBodyUI::HandleEvent(TControlEvent& event)
{
    if (owner == NULL)
    {
        CVerticalLayoutUI::HandleEvent(event);
        return;
    }
    if (IsMouseEnabled() && event.kind == EventScrollWheel && IsBarActive(horizontalScrollBar) &&
        ::PtInRect(&horizontalScrollBar->GetPos(), event.point))
    {
        if (event.wParam == 0)
            owner->LineLeft();
        else if (event.wParam == 1)
            owner->LineRight();
        return;
    }
    owner->HandleEvent(event);
}

// ---- Painting ----

bool CListBodyUI::PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    RECT rc;
    if (!::IntersectRect(&rc, &rcPaint, &itemRect))
        return true;
    CClipScope clip;
    CClipScope::ClipRect(hDC, rc, clip);
    CControlUI::PaintContent(hDC, rcPaint, pStopControl);

    if (!items.IsEmpty())
    {
        // A stop control, float rows or rows changed since the layout need
        // the walk over every child.
        if (pStopControl != NULL || !SlotsValid())
        {
            RefreshAll();
            if (!PaintChildren(hDC, rcPaint, pStopControl))
                return false;
            PaintRowLines(hDC, rcPaint, 0, items.GetSize());
        }
        else
            PaintRows(hDC, rcPaint);
    }

    return PaintScrollBars(hDC, rcPaint, pStopControl);
}

bool CListBodyUI::PaintRows(HDC hDC, const RECT& rcPaint)
{
    const CUIRect inner = InnerRect();
    RECT area;
    if (!::IntersectRect(&area, &rcPaint, &inner))
        return true;
    CClipScope innerClip;
    CClipScope::ClipRect(hDC, area, innerClip);
    int first = 0;
    int end = 0;
    RowsBetween(area.top, area.bottom, first, end);
    for (int i = first; i < end; ++i)
    {
        CControlUI* row = static_cast<CControlUI*>(items[i]);
        if (!slots[i].placed || !row->IsVisible())
            continue;
        RefreshRow(i);
        RECT overlap;
        if (::IntersectRect(&overlap, &area, &row->GetPos()))
            row->Paint(hDC, rcPaint, NULL);
    }
    // The line below the row above the band may reach into it.
    const int above = first > 0 ? first - 1 : 0;
    RefreshRow(above);
    PaintRowLines(hDC, area, above, end);
    return true;
}

// A line of hLineSize in the middle of the gap below each row.
void CListBodyUI::PaintRowLines(HDC hDC, const RECT& rcPaint, int first, int end)
{
    const TListInfo* info = owner != NULL ? owner->GetListInfo() : NULL;
    if (info == NULL || info->hLineSize <= 0)
        return;
    for (int i = first; i < end; ++i)
    {
        CControlUI* row = static_cast<CControlUI*>(items[i]);
        if (!IsPlaced(row))
            continue;
        const RECT& pos = row->GetPos();
        if (pos.top >= rcPaint.bottom)
            break;
        const int y = pos.bottom + row->GetPadding().bottom + info->hLineSize / 2;
        const RECT line = {pos.left, y, pos.right, y};
        if (y + info->hLineSize < rcPaint.top)
            continue;
        CRenderer::DrawLine(hDC, line, info->hLineSize, info->hLineColor);
    }
}
