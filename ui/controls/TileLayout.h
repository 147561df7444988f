#pragma once

#include "ui/controls/Container.h"
#include "ui/controls/ControlTag.h"

// Children in a grid of equal cells, row by row: as many columns as fit, or
// a fixed number. A child's cell is its index in the child list, so hidden
// and float children leave their cell empty. Scroll bars appear when the
// grid does not fit.
class CTileLayoutUI : public CContainerUI
{
public:
    CTileLayoutUI();
    ~CTileLayoutUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ScaleGeometry(int fromDpi, int toDpi) override;

    // ---- Operations ----
    SIZE GetItemSize() const { return itemSize; }
    void SetItemSize(SIZE szItem);
    // Columns and rows of the last layout.
    int GetColumns() const { return columns; }
    int GetRows() const { return rows; }
    // 0: as many as fit; negative values are ignored.
    int GetFixedColumns() const { return fixedColumns; }
    void SetColumns(int nCols);
    // The gap between rows; never negative.
    int GetChildVPadding() const { return childVPadding; }
    void SetChildVPadding(int iPadding);

protected:
    // ---- Data ----
    CUISize itemSize;
    int columns;
    int rows;
    int fixedColumns;
    int childVPadding;
};

// The element name that makes this control in skins.
inline constexpr TControlTag kTileLayoutTags[] = {
    {L"TileLayout", AnyCase, MakeControl<CTileLayoutUI>},
};
