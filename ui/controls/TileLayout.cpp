#include "ui/controls/TileLayout.h"

#include <limits.h>
#include <wchar.h>

#include <algorithm>

#include "ui/controls/ControlAttributes.h"
#include "ui/core/Numeric.h"
#include "ui/controls/ScrollBar.h"

namespace
{
const TAttributeRow<CTileLayoutUI> kTileAttributes[] = {
    {L"itemsize",
     [](CTileLayoutUI& c, LPCWSTR v) {
         int s[2];
         ParseIntList(v, s, 2);
         c.SetItemSize(c.ScaleSkin(CUISize(s[0], s[1])));
     }},
    {L"columns", [](CTileLayoutUI& c, LPCWSTR v) { c.SetColumns(ParseInt(v)); }},
    {L"childvpadding", [](CTileLayoutUI& c, LPCWSTR v) { c.SetChildVPadding(c.ScaleSkin(ParseInt(v))); }},
};

// How the cells of one layout pass sit: columns, the horizontal gap and the
// size the whole grid needs.
struct TGrid
{
    long long columns;
    long long gap;
    long long cxNeeded;
    long long cyNeeded;
    long long rows;
};

// Where a child of extent size sits in a cell of extent cell starting at
// origin, with its margins before and after, by alignment (0 start,
// 1 centre, 2 end). The margins shrink the child and then move its edges in
// once more, as the box layouts never do; skins are made for this.
void PlaceInCell(long long origin, long long cell, long long size, long long before, long long after,
                 int align, long long& start, long long& end)
{
    if (align == 1)
    {
        start = origin + (cell - size) / 2 + before;
        end = origin + (cell - size) / 2 + size - after;
    }
    else if (align == 2)
    {
        start = origin + cell - size + before;
        end = origin + cell - after;
    }
    else
    {
        start = origin + before;
        end = origin + size - after;
    }
}
}  // namespace

CTileLayoutUI::CTileLayoutUI() : itemSize(80, 80), columns(1), rows(0), fixedColumns(0), childVPadding(0)
{
}

CTileLayoutUI::~CTileLayoutUI()
{
}

LPCWSTR CTileLayoutUI::GetClassName() const
{
    return L"TileLayout";
}

LPVOID CTileLayoutUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"TileLayout") == 0)
        return static_cast<CTileLayoutUI*>(this);
    return CContainerUI::FindInterface(pstrName);
}

void CTileLayoutUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(kTileAttributes, *this, pstrName, pstrValue))
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CTileLayoutUI::SetItemSize(SIZE szItem)
{
    if (itemSize.cx == szItem.cx && itemSize.cy == szItem.cy)
        return;
    itemSize = szItem;
    NeedUpdate();
}

void CTileLayoutUI::SetColumns(int nCols)
{
    if (nCols < 0)
        return;
    fixedColumns = nCols;
    NeedUpdate();
}

void CTileLayoutUI::SetChildVPadding(int iPadding)
{
    childVPadding = iPadding < 0 ? 0 : iPadding;
    NeedUpdate();
}

// Inputs: itemRect, the inset, the bars' visibility, range and position, the
// cell size, the requested columns, both gaps and alignments, and each
// child's padding and maximum size (minimum sizes are not applied).
// Integer arithmetic in 64 bits; "/" and "%" round towards zero. A cell
// width of 0, or a room narrower than one cell, gives one column without a
// gap rather than a division by zero.
void CTileLayoutUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    const CUIRect inner = InnerRect();
    const bool hScrolls = IsBarShown(horizontalScrollBar);
    const bool vScrolls = IsBarShown(verticalScrollBar);
    const long long width = inner.GetWidth();
    const long long availWidth = width + (hScrolls ? horizontalScrollBar->GetScrollRange() : 0);

    if (items.IsEmpty())
    {
        ProcessScrollBar(inner, 0, 0);
        return;
    }

    long long count = 0;
    for (int i = 0; i < items.GetSize(); ++i)
    {
        const CControlUI* child = static_cast<CControlUI*>(items[i]);
        if (child->IsVisible() && !child->IsFloat())
            ++count;
    }

    // Columns, the gap between them and the room the grid needs. Without a
    // set gap the spare width is shared out between the columns.
    const long long cellWidth = itemSize.cx;
    const long long cellHeight = itemSize.cy;
    TGrid grid = {1, childPadding, 0, 0, 0};
    if (fixedColumns > 0)
    {
        grid.columns = fixedColumns;
        if (grid.columns == 1)
            grid.gap = 0;
        else if (childPadding < 1)
        {
            const bool fitsInView = hScrolls && cellWidth * grid.columns <= width;
            const long long space = fitsInView ? width : availWidth;
            grid.gap = std::max<long long>((space - cellWidth * grid.columns) / (grid.columns - 1), 0);
        }
        grid.cxNeeded = count < grid.columns ? grid.gap * (count - 1) + count * cellWidth
                                             : grid.columns * cellWidth + grid.gap * (grid.columns - 1);
        grid.cxNeeded = std::max<long long>(grid.cxNeeded, 0);
    }
    else if (cellWidth <= 0 || width < cellWidth)
    {
        grid.gap = 0;
        grid.cxNeeded = std::max<long long>(cellWidth, 0);
    }
    else
    {
        grid.columns = width / cellWidth;
        grid.cxNeeded = width;
        if (grid.columns == 1)
            grid.gap = 0;
        else if (childPadding < 1)
            grid.gap = std::max<long long>((width % cellWidth) / (grid.columns - 1), 0);
    }
    grid.rows = (count - 1) / grid.columns + 1;
    grid.cyNeeded = ((count - 1) / grid.columns) * childVPadding + grid.rows * cellHeight;
    columns = SaturateInt(grid.columns);
    rows = SaturateInt(grid.rows);

    // Every child in the cell of its index, shrunk by its margins and its
    // maximum size, aligned inside the cell.
    const long long scrollX = hScrolls ? horizontalScrollBar->GetScrollPos() : 0;
    const long long scrollY = vScrolls ? verticalScrollBar->GetScrollPos() : 0;
    PlaceVisibleChildren([&](int i, CControlUI* child) {
        const RECT pad = child->GetPadding();
        const long long w = std::max<long long>(
            std::min<long long>(cellWidth - pad.left - pad.right, child->GetMaxWidth()), 0);
        const long long h = std::max<long long>(
            std::min<long long>(cellHeight - pad.top - pad.bottom, child->GetMaxHeight()), 0);
        const long long x = inner.left + (i % grid.columns) * (cellWidth + grid.gap) - scrollX;
        const long long y = inner.top + (i / grid.columns) * (childVPadding + cellHeight) - scrollY;
        const int vAlign = childVAlign == 4 ? 1 : (childVAlign == 8 ? 2 : 0);
        long long left, right, top, bottom;
        PlaceInCell(x, cellWidth, w, pad.left, pad.right, childAlign, left, right);
        PlaceInCell(y, cellHeight, h, pad.top, pad.bottom, vAlign, top, bottom);
        child->SetPos(CUIRect(SaturateInt(left), SaturateInt(top), SaturateInt(right), SaturateInt(bottom)),
                      false);
    });

    ProcessScrollBar(inner, SaturateInt(grid.cxNeeded), SaturateInt(grid.cyNeeded));
}

void CTileLayoutUI::ScaleGeometry(int fromDpi, int toDpi)
{
    itemSize = Rescale(itemSize, fromDpi, toDpi);
    childVPadding = Rescale(childVPadding, fromDpi, toDpi);
    CContainerUI::ScaleGeometry(fromDpi, toDpi);
}
