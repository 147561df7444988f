#pragma once

#include "ui/controls/BoxLayout.h"
#include "ui/controls/ControlTag.h"

// The row of column headers above a list's rows.
class CListHeaderUI : public CHorizontalLayoutUI
{
public:
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // The columns side by side, as high as the tallest (at least one line of
    // the default font).
    SIZE EstimateSize(SIZE szAvailable) override;
    // Inside a list the header is never placed on its own: its list places
    // it, then takes the columns from it, applies its sideways scroll and
    // lays the rows out in them.
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

// One column header: a caption with state images and a separator along one
// edge that the user drags to resize the column.
class CListHeaderItemUI : public CControlUI
{
public:
    CListHeaderItemUI();

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    UINT GetFlags() const override;
    // A disabled header forgets its hot, pushed and dragging states.
    void SetEnabled(bool bEnable = true) override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // ---- Operations ----
    bool IsDragable() const { return dragable; }
    // Switching dragging off ends a drag in progress.
    void SetDragable(bool bDragable);
    // Thickness of the separator; negative puts it along the left edge.
    int GetSepWidth() const { return sepWidth; }
    void SetSepWidth(int iWidth);
    UINT GetButtonState() const { return buttonState; }
    // The separator strip in window coordinates.
    RECT GetThumbRect() const;

    void SetTextStyle(UINT uStyle);
    UINT GetTextStyle() const { return textStyle; }
    void SetTextColor(DWORD dwColor);
    void SetSepColor(DWORD dwColor);
    void SetTextPadding(RECT rc);
    void SetFont(int index);
    void SetShowHtml(bool bShowHtml);
    void SetNormalImage(LPCWSTR pStrImage);
    void SetHotImage(LPCWSTR pStrImage);
    void SetPushedImage(LPCWSTR pStrImage);
    void SetFocusedImage(LPCWSTR pStrImage);
    void SetSepImage(LPCWSTR pStrImage);

protected:
    enum
    {
        StateDragging = StateCaptured
    };

    // The zone that resizes the column: the separator, widened to a few
    // pixels whatever its drawn width, so that the pointer can find it.
    bool IsOnSeparator(POINT pt) const;
    void DragTo(POINT pt);
    void EndDrag();
    void DrawOrNormal(HDC hDC, TDrawSpec& image);

    static const TAttributeRow<CListHeaderItemUI> attributeTable[];

    bool dragable;
    UINT buttonState;
    int sepWidth;
    DWORD textColor;
    DWORD sepColor;
    int font;
    UINT textStyle;
    bool showHtml;
    CUIRect textPadding;
    CUIPoint lastMouse;
    TDrawSpec normalImage;
    TDrawSpec hotImage;
    TDrawSpec pushedImage;
    TDrawSpec focusedImage;
    TDrawSpec sepImage;
};

// The element names that make these controls in skins.
inline constexpr TControlTag kListHeaderTags[] = {
    {L"ListHeader", AnyCase, MakeControl<CListHeaderUI>},
    {L"ListHeaderItem", AnyCase, MakeControl<CListHeaderItemUI>},
};
