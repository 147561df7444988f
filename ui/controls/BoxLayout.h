#pragma once

#include "ui/controls/Container.h"
#include "ui/controls/ControlTag.h"

// Places children one after another along one axis: fixed sizes first, the
// free space shared among children without a size, minimum and maximum sizes
// honoured, children aligned across the flow, scroll bars shown when the
// content does not fit. A separator strip along one edge lets the user
// resize the layout. The vertical and horizontal layouts only choose the axis.
class CBoxLayoutUI : public CContainerUI
{
public:
    // ---- Control interface overrides ----
    UINT GetFlags() const override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ScaleGeometry(int fromDpi, int toDpi) override;
    // Shows where a dragged separator will leave the edge.
    void PostPaint(HDC hDC, const RECT& rcPaint) override;

    // ---- Operations ----
    // The separator strip of itemRect, or of the rectangle a running drag
    // will give the layout when bUseNewPos is set.
    RECT GetSeparatorRect(bool bUseNewPos) const;
    // Resize while dragging instead of on release.
    void SetSepImmMode(bool bImmediately);
    bool IsSepImmMode() const { return sepImmediate; }
    int GetSepSize() const { return sepSize; }

protected:
    explicit CBoxLayoutUI(bool bHorizontal);

    bool IsSeparatorHit(POINT pt) const;
    bool IsDragging() const { return (sepState & StateCaptured) != 0; }
    void DragSeparator(POINT pt);

    const bool horizontal;  // the flow runs left to right
    // Thickness of the separator: 0 none, positive along the far edge
    // (bottom or right), negative along the near edge (top or left).
    int sepSize;
    UINT sepState;  // StateCaptured while dragging
    CUIPoint lastMouse;
    CUIRect newPos;
    bool sepImmediate;

    static const TAttributeRow<CBoxLayoutUI> attributeTable[];
};

// Children from top to bottom.
class CVerticalLayoutUI : public CBoxLayoutUI
{
public:
    CVerticalLayoutUI();
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

protected:
    static const TAttributeRow<CVerticalLayoutUI> attributeTable[];
};

// Children from left to right.
class CHorizontalLayoutUI : public CBoxLayoutUI
{
public:
    CHorizontalLayoutUI();
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

protected:
    static const TAttributeRow<CHorizontalLayoutUI> attributeTable[];
};

// The element names that make these controls in skins.
inline constexpr TControlTag kBoxLayoutTags[] = {
    {L"VerticalLayout", AnyCase, MakeControl<CVerticalLayoutUI>},
    {L"VBox", AnyCase, MakeControl<CVerticalLayoutUI>},
    {L"HorizontalLayout", AnyCase, MakeControl<CHorizontalLayoutUI>},
    {L"HBox", AnyCase, MakeControl<CHorizontalLayoutUI>},
};
