#pragma once

#include <windows.h>

#include "ui/controls/ControlTag.h"
#include "ui/controls/Label.h"

// A label that reacts to the mouse and the keyboard. It tracks hot, pushed,
// focused and disabled states, draws an image (and optionally a text colour)
// for each, can cross-fade between its normal and hot images, and sends
// "click" when activated: pressed and released inside while enabled, or
// space or return while it has the focus.
class CButtonUI : public CLabelUI
{
public:
    enum
    {
        FadeTimerId = 11,
        FadeTimerPeriod = 30
    };

    CButtonUI();
    ~CButtonUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    UINT GetFlags() const override;
    // Sends "click"; false when hidden or disabled.
    bool Activate() override;
    // A disabled button forgets its hot, pushed and captured states.
    void SetEnabled(bool bEnable = true) override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    // The caption's width is never measured: a button is as wide as it is told.
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;
    DWORD GetAccessibleRole() override;
    // Hot and pushed.
    DWORD GetAccessibleState() override;
    LPCWSTR GetAccessibleAction() override;
    bool DoAccessibleAction() override;
    bool HasFocusedLook() const override;

    // ---- Operations ----
    UINT GetButtonState() const { return buttonState; }

    // Image setters take image descriptors; the same descriptor with its
    // image already loaded changes nothing.
    LPCWSTR GetNormalImage() const { return normalImage.drawString; }
    void SetNormalImage(LPCWSTR pStrImage);
    LPCWSTR GetHotImage() const { return hotImage.drawString; }
    void SetHotImage(LPCWSTR pStrImage);
    LPCWSTR GetHotForeImage() const { return hotForeImage.drawString; }
    void SetHotForeImage(LPCWSTR pStrImage);
    LPCWSTR GetPushedImage() const { return pushedImage.drawString; }
    void SetPushedImage(LPCWSTR pStrImage);
    LPCWSTR GetFocusedImage() const { return focusedImage.drawString; }
    void SetFocusedImage(LPCWSTR pStrImage);
    LPCWSTR GetDisabledImage() const { return disabledImage.drawString; }
    void SetDisabledImage(LPCWSTR pStrImage);
    // The foreground image drawn over every state.
    LPCWSTR GetForeImage() const { return foreImage.drawString; }
    void SetForeImage(LPCWSTR pStrImage);
    // One image of five equal frames side by side: normal, pushed, hot,
    // focused, disabled. A float button without a size takes one frame's.
    void SetFiveStatusImage(LPCWSTR pStrImage);

    // Opacity step of the hot fade per tick; 0 switches fading off.
    void SetFadeDelta(BYTE delta);
    BYTE GetFadeDelta() const { return fadeDelta; }
    // Opacity of the normal image during a fade.
    BYTE GetFadeAlpha() const { return fadeAlpha; }

    void SetHotBkColor(DWORD color);
    DWORD GetHotBkColor() const { return hotBkColor; }
    void SetHotTextColor(DWORD color);
    DWORD GetHotTextColor() const { return hotTextColor; }
    void SetPushedTextColor(DWORD color);
    DWORD GetPushedTextColor() const { return pushedTextColor; }
    void SetFocusedTextColor(DWORD color);
    DWORD GetFocusedTextColor() const { return focusedTextColor; }

protected:
    // ---- Implementation ----
    bool IsPointInside(const TControlEvent& event) const;
    // The steps of the click rule; each answers whether it ended the handling.
    bool HandleKey(const TControlEvent& event);
    bool HandlePointer(const TControlEvent& event);
    bool HandleHover(TControlEvent& event);
    void StartFade();
    // One tick of the fade towards the hot image (hot) or back to the normal
    // one; false when the fade has ended.
    bool StepFade();
    // Draws descriptor at the given opacity; false when it has no image.
    bool DrawFaded(HDC hDC, TDrawSpec& descriptor, BYTE fade);
    // descriptor, or normalImage when descriptor draws nothing.
    void DrawOrNormal(HDC hDC, TDrawSpec& descriptor);
    void DrawNormalState(HDC hDC);
    // Whether the hot state finished painting (the foreground stays off).
    bool DrawHotState(HDC hDC);
    // Refreshes the focused and disabled bits from the control's state.
    void RefreshStateBits();
    // The caption in color, as the label would draw it.
    void DrawButtonText(HDC hDC, DWORD color);

    // ---- Data ----
    UINT buttonState;
    DWORD hotBkColor;
    DWORD hotTextColor;
    DWORD pushedTextColor;
    DWORD focusedTextColor;
    BYTE fadeAlpha;
    BYTE fadeDelta;
    TDrawSpec normalImage;
    TDrawSpec hotImage;
    TDrawSpec hotForeImage;
    TDrawSpec pushedImage;
    TDrawSpec focusedImage;
    TDrawSpec disabledImage;
    TDrawSpec foreImage;

    static const TAttributeRow<CButtonUI> attributeTable[];
};

// A button with a selected state. Options of one group in one window behave
// as radio buttons; an option without a group toggles on each activation.
// A change is announced with "selectchanged" (in a group, only by the
// option that became selected).
class COptionUI : public CButtonUI
{
public:
    COptionUI();
    ~COptionUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    bool Activate() override;
    // Joins the group in the new window when attached with init.
    void SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    void SetEnabled(bool bEnable = true) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;
    // Selecting deselects the rest of the group; notify sends "selectchanged".
    virtual void SetSelected(bool bSelected, bool bNotify = true);
    DWORD GetAccessibleRole() override;
    DWORD GetAccessibleState() override;
    LPCWSTR GetAccessibleAction() override;
    bool HasFocusedLook() const override;

    // ---- Operations ----
    bool IsSelected() const { return selected; }
    // Leaves the old group and joins the new one; empty: no group.
    void SetGroup(LPCWSTR pStrGroupName);
    LPCWSTR GetGroup() const { return groupName; }

    LPCWSTR GetSelectedImage() const { return selectedImage.drawString; }
    void SetSelectedImage(LPCWSTR pStrImage);
    LPCWSTR GetSelectedHotImage() const { return selectedHotImage.drawString; }
    void SetSelectedHotImage(LPCWSTR pStrImage);
    // The option's own foreground image, drawn over the selected look too.
    LPCWSTR GetOptionForeImage() const { return optionForeImage.drawString; }
    void SetOptionForeImage(LPCWSTR pStrImage);
    void SetSelectedBkColor(DWORD color);
    DWORD GetSelectedBkColor() const { return selectedBkColor; }
    void SetSelectedTextColor(DWORD color);
    DWORD GetSelectedTextColor() const { return selectedTextColor; }

protected:
    void JoinGroup();
    void LeaveGroup();
    bool DrawSelectedState(HDC hDC);

    bool selected;
    CUIString groupName;
    DWORD selectedBkColor;
    DWORD selectedTextColor;
    TDrawSpec selectedImage;
    TDrawSpec selectedHotImage;
    TDrawSpec optionForeImage;
    // The window whose group this option is listed in, not owned. Kept apart
    // from the manager so that an option detached from its window still
    // leaves the right group when it changes group or is destroyed.
    CManagerUI* groupManager;

    static const TAttributeRow<COptionUI> attributeTable[];
};

// An option under its own class name: a toggle when it has no group.
class CCheckBoxUI : public COptionUI
{
public:
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    DWORD GetAccessibleRole() override;
    LPCWSTR GetAccessibleAction() override;
};

// The element names that make these controls in skins.
inline constexpr TControlTag kButtonTags[] = {
    {L"Button", AnyCase, MakeControl<CButtonUI>},
    {L"Option", AnyCase, MakeControl<COptionUI>},
    {L"CheckBox", AnyCase, MakeControl<CCheckBoxUI>},
};
