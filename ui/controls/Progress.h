#pragma once

#include <windows.h>

#include "ui/controls/ControlTag.h"
#include "ui/controls/Label.h"

// An integer value between a minimum and a maximum, shown by drawing the
// foreground image over the part of the control the value stands for: from
// the left when horizontal, from the bottom when vertical. It is a label, so
// it can carry a caption as well.
class CProgressUI : public CLabelUI
{
public:
    CProgressUI();
    ~CProgressUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    DWORD GetAccessibleRole() override;
    // The value as a percentage of the range, as progress bars say it.
    bool GetAccessibleValue(CUIString& value) override;
    // Repairs an empty or reversed range and clamps the value (both stored),
    // then draws the foreground image into the filled part.
    void PaintStatusImage(HDC hDC) override;

    // ---- Operations ----
    bool IsHorizontal() const { return horizontal; }
    void SetHorizontal(bool bHorizontal = true);
    int GetMinValue() const { return minValue; }
    // Neither bound clamps the value: the next paint does.
    void SetMinValue(int nMin);
    int GetMaxValue() const { return maxValue; }
    void SetMaxValue(int nMax);
    int GetValue() const { return value; }
    // Lowered to the maximum, then raised to the minimum.
    void SetValue(int nValue);
    LPCWSTR GetForeImage() const { return progressForeImage.drawString; }
    void SetForeImage(LPCWSTR pStrImage);

    // The filled part relative to the control's top-left corner, as the next
    // paint will draw it; always inside the control.
    RECT GetFillRect() const;

protected:
    // ---- Implementation ----
    // The maximum, the value and the range as a paint would repair and
    // clamp them; the range is never below 1.
    long long EffectiveMax() const;
    long long ClampedValue() const;
    long long RangeDivisor() const;
    // Draws descriptor into rc (relative to the control). The descriptor is
    // resolved first, because resolving parses it and the parse would
    // overwrite the destination given here.
    bool DrawInto(HDC hDC, TDrawSpec& descriptor, const RECT& rc);

    // ---- Data ----
    bool horizontal;
    int maxValue;
    int minValue;
    int value;
    TDrawSpec progressForeImage;
};

// A progress bar with a thumb that the user drags or moves with the wheel;
// a change is announced with "valuechanged" when the drag ends (and on every
// move with "imm") and on every wheel notch.
class CSliderUI : public CProgressUI
{
public:
    CSliderUI();
    ~CSliderUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    UINT GetFlags() const override;
    DWORD GetAccessibleRole() override;
    // The value itself.
    bool GetAccessibleValue(CUIString& value) override;
    // A disabled slider is neither hot nor captured.
    void SetEnabled(bool bEnable = true) override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ScaleGeometry(int fromDpi, int toDpi) override;
    void PaintStatusImage(HDC hDC) override;

    // ---- Operations ----
    // The thumb in window coordinates; inside the control whenever the thumb fits.
    RECT GetThumbRect() const;
    // The value a pointer at pt stands for; outside the control, the nearer end.
    int ValueFromPoint(POINT pt) const;
    UINT GetSliderState() const { return sliderState; }
    SIZE GetThumbSize() const { return CUISize(thumbWidth, thumbHeight); }
    void SetThumbSize(SIZE size);
    int GetChangeStep() const { return step; }
    void SetChangeStep(int nStep) { step = nStep; }
    bool IsSendMove() const { return sendMove; }
    void SetSendMove(bool bSend) { sendMove = bSend; }
    LPCWSTR GetThumbImage() const { return thumbImage.drawString; }
    void SetThumbImage(LPCWSTR pStrImage);
    LPCWSTR GetThumbHotImage() const { return thumbHotImage.drawString; }
    void SetThumbHotImage(LPCWSTR pStrImage);
    LPCWSTR GetThumbPushedImage() const { return thumbPushedImage.drawString; }
    void SetThumbPushedImage(LPCWSTR pStrImage);

protected:
    // ---- Implementation ----
    // The steps of the event rule; each answers whether it ended the handling.
    bool HandlePointer(TControlEvent& event);
    bool HandleHover(TControlEvent& event);
    // Right and Up add the step, Left and Down take it away, PageUp and
    // PageDown do the same with a tenth of the range, Home and End go to
    // the ends; every key used announces the value.
    bool HandleKey(const TControlEvent& event);
    bool IsInside(POINT pt) const { return ::PtInRect(&itemRect, pt) != FALSE; }
    void NotifyValueChanged();

    // ---- Data ----
    int thumbWidth;
    int thumbHeight;
    UINT sliderState;  // StateHot and StateCaptured
    int step;
    bool sendMove;
    TDrawSpec thumbImage;
    TDrawSpec thumbHotImage;
    TDrawSpec thumbPushedImage;
};

// The element names that make these controls in skins.
inline constexpr TControlTag kProgressTags[] = {
    {L"Progress", AnyCase, MakeControl<CProgressUI>},
    {L"Slider", AnyCase, MakeControl<CSliderUI>},
};
