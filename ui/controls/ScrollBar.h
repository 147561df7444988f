#pragma once

#include "ui/controls/Control.h"
#include "ui/controls/ControlTag.h"
#include "ui/core/Axis.h"

class CContainerUI;

// A windowless scroll bar: two arrow buttons, a thumb whose length shows the
// visible share of the content, a grip drawn in the middle of the thumb and a
// background. Owned by a container, it turns clicks into the owner's line and
// page scrolling; free-standing, it keeps its own position and reports every
// change with the "scroll" notification. Buttons and rail repeat while the
// mouse button is held.
class CScrollBarUI : public CControlUI
{
public:
    // The parts that have their own images, and the image of each state.
    enum Part
    {
        PartBk,
        PartButton1,
        PartButton2,
        PartThumb,
        PartRail,
        PartCount
    };
    enum ImageState
    {
        ImageNormal,
        ImageHot,
        ImagePushed,
        ImageDisabled,
        ImageStateCount
    };

    // The manager timer that drives repetition and thumb dragging.
    static const UINT RepeatTimerId = 10;
    static const UINT RepeatPeriod = 50;
    // Ticks before held buttons and rail start repeating.
    static const int RepeatDelayTicks = 5;

    CScrollBarUI();
    ~CScrollBarUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    DWORD GetAccessibleRole() override;
    // The position within the range.
    bool GetAccessibleValue(CUIString& value) override;
    // Places the buttons and the thumb as well.
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    // The owner manages its bars: no layout is requested.
    void SetVisible(bool bVisible = true) override;
    void SetEnabled(bool bEnable = true) override;
    // An owned bar hands the focus to its owner.
    void SetFocus() override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

    // ---- Operations ----
    CContainerUI* GetOwner() const { return owner; }
    void SetOwner(CContainerUI* pOwner) { owner = pOwner; }  // not owned
    bool IsHorizontal() const { return horizontal; }
    // Swaps a 16-pixel thickness to the new direction when it has none there.
    void SetHorizontal(bool bHorizontal = true);
    int GetScrollRange() const { return range; }
    // Negative ranges store 0; the position is lowered into the range.
    void SetScrollRange(int nRange);
    int GetScrollPos() const { return scrollPos; }
    // Clamped to 0..range and rounded to the scroll unit; a change is
    // notified as "scroll" (wParam new, lParam old) when bNotify is set.
    void SetScrollPos(int nPos, bool bNotify = true);
    int GetLineSize() const { return lineSize; }
    void SetLineSize(int nSize);  // negative values are ignored
    int GetScrollUnit() const { return scrollUnit; }
    void SetScrollUnit(int nUnit);  // negative values are ignored
    // What one arrow click moves: the scroll unit when above 1, else the line size.
    int GetLineStep() const;
    bool GetShowButton1() const { return showButton1; }
    void SetShowButton1(bool bShow);
    bool GetShowButton2() const { return showButton2; }
    void SetShowButton2(bool bShow);

    DWORD GetPartColor(Part part) const;
    // Fill colours exist for the buttons and the thumb; other parts are ignored.
    void SetPartColor(Part part, DWORD dwColor);
    LPCWSTR GetPartImage(Part part, ImageState state) const;
    void SetPartImage(Part part, ImageState state, LPCWSTR pStrImage);

    const RECT& GetButton1Rect() const { return button1Rect; }
    const RECT& GetButton2Rect() const { return button2Rect; }
    // All zero when there is no room for a thumb.
    const RECT& GetThumbRect() const { return thumbRect; }
    UINT GetButton1State() const { return button1State; }
    UINT GetButton2State() const { return button2State; }
    UINT GetThumbState() const { return thumbState; }

protected:
    // Along the bar: top and bottom of a vertical bar, left and right of a
    // horizontal one; across it the other two.
    int Thickness() const;
    CUIAxis Axis() const { return CUIAxis(horizontal); }
    void LayOut();
    int ThumbTravel() const;

    void OnButtonDown(const TControlEvent& event);
    void OnButtonUp();
    void OnMouseMove(const TControlEvent& event);
    void OnTimer();
    void OnMouseEnter(const TControlEvent& event);
    bool OnMouseLeave(const TControlEvent& event);
    void PassOn(TControlEvent& event);
    void PassMouseOn(TControlEvent& event) override { PassOn(event); }

    void LineBack();
    void LineForward();
    // A page back or forward, by where pt lies against the thumb.
    void PageTowards(POINT pt);
    // The pointer in the manager's window, read when a held rail repeats.
    POINT CursorPos() const;

    void PaintPart(HDC hDC, Part part, UINT& state, const RECT& rc, DWORD color);
    void DrawStateImage(HDC hDC, Part part, ImageState state, const RECT& rc);
    bool DrawPartImage(HDC hDC, Part part, ImageState state, const RECT& rc);

    // ---- Data ----
    bool horizontal;
    int range;
    int scrollPos;
    int lineSize;
    int scrollUnit;
    CContainerUI* owner;  // not owned
    CUIPoint lastMouse;
    int lastScrollPos;
    int lastScrollOffset;
    int repeatDelay;
    bool showButton1;
    CUIRect button1Rect;
    UINT button1State;
    DWORD button1Color;
    bool showButton2;
    CUIRect button2Rect;
    UINT button2State;
    DWORD button2Color;
    CUIRect thumbRect;
    UINT thumbState;
    DWORD thumbColor;
    TDrawSpec images[PartCount][ImageStateCount];

    static const TAttributeRow<CScrollBarUI> attributeTable[];
};

// The element name that makes this control in skins.
inline constexpr TControlTag kScrollBarTags[] = {
    {L"ScrollBar", AnyCase, MakeControl<CScrollBarUI>},
};
