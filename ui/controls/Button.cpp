#include "ui/controls/Button.h"
#include "ui/core/AttributeValues.h"

#include <wchar.h>

#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"

namespace
{

bool IsActivationKey(WORD key)
{
    return key == VK_SPACE || key == VK_RETURN;
}
}  // namespace

// ---- CButtonUI ----

CButtonUI::CButtonUI()
    : buttonState(0),
      hotBkColor(0),
      hotTextColor(0),
      pushedTextColor(0),
      focusedTextColor(0),
      fadeAlpha(255),
      fadeDelta(0)
{
    textStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}

CButtonUI::~CButtonUI()
{
}

LPCWSTR CButtonUI::GetClassName() const
{
    return L"Button";
}

LPVOID CButtonUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Button") == 0)
        return this;
    return CLabelUI::FindInterface(pstrName);
}

UINT CButtonUI::GetFlags() const
{
    return (IsEnabled() ? FlagSetCursor : 0) | (IsKeyboardEnabled() ? FlagTabStop : 0);
}

bool CButtonUI::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (manager != NULL)
        manager->SendNotify(this, NotifyType::Click, 0, 0, false);
    return true;
}

void CButtonUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled())
        buttonState = 0;
}

SIZE CButtonUI::EstimateSize(SIZE)
{
    if (fixedHeight > 0 || manager == NULL)
        return CUISize(fixedWidth, fixedHeight);
    const TFontEntry* info = manager->GetFontInfo(font);
    return CUISize(fixedWidth, (info != NULL ? info->metrics.tmHeight : 0) + manager->ScaleSkin(8));
}

// ---- Events: the click rule ----

bool CButtonUI::IsPointInside(const TControlEvent& event) const
{
    return ::PtInRect(&itemRect, event.point) != FALSE;
}

bool CButtonUI::HandleKey(const TControlEvent& event)
{
    if (event.kind != EventKeyDown || !IsKeyboardEnabled() || !IsEnabled() || !IsActivationKey(event.keyChar))
        return false;
    Activate();
    return true;
}

// Press, move and release. Only a press inside while enabled captures the
// button; while captured the pushed look follows the pointer, and a release
// activates only inside.
bool CButtonUI::HandlePointer(const TControlEvent& event)
{
    switch (event.kind)
    {
    case EventButtonDown:
    case EventDoubleClick:
        if (IsPointInside(event) && IsEnabled())
        {
            buttonState |= StatePushed | StateCaptured;
            Invalidate();
        }
        return true;
    case EventMouseMove:
        if (buttonState & StateCaptured)
        {
            if (IsPointInside(event))
                buttonState |= StatePushed;
            else
                buttonState &= ~StatePushed;
            Invalidate();
        }
        return true;
    case EventButtonUp:
        if (buttonState & StateCaptured)
        {
            // The press ends before the click runs: a click that shows a box
            // (or runs long) must not leave the button looking pressed.
            const bool clicked = IsPointInside(event) && IsEnabled();
            buttonState &= ~(StatePushed | StateCaptured);
            Invalidate();
            if (clicked)
                Activate();
        }
        return true;
    case EventContextMenu:
        if (HasContextMenu() && IsEnabled() && manager != NULL)
            manager->SendNotify(this, NotifyType::Menu, event.wParam, event.lParam, false);
        return true;
    case EventSetCursor:
        ::SetCursor(::LoadCursorW(NULL, IDC_HAND));
        return true;
    case EventTimer:
        if (event.wParam != FadeTimerId)
            return false;
        if (!StepFade() && manager != NULL)
            manager->KillTimer(this, FadeTimerId);
        Invalidate();
        return true;
    default:
        return false;
    }
}

// Entering and leaving change the hot state and start the fade; both still
// reach the label afterwards.
bool CButtonUI::HandleHover(TControlEvent& event)
{
    switch (TrackHover(event, itemRect, buttonState))
    {
    case HoverEntered:
    case HoverLeft:
        if (fadeDelta != 0)
            StartFade();
        return false;
    case HoverCovered:
        return true;
    default:
        return false;
    }
}

void CButtonUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    if (event.kind == EventSetFocus || event.kind == EventKillFocus)
        Invalidate();
    else if (HandleKey(event) || HandlePointer(event) || HandleHover(event))
        return;
    CLabelUI::HandleEvent(event);
}

// ---- Fading ----

void CButtonUI::StartFade()
{
    if (manager != NULL)
        manager->SetTimer(this, FadeTimerId, FadeTimerPeriod);
}

bool CButtonUI::StepFade()
{
    // Counted in int: an 8-bit opacity would wrap past 0 or 255 on the last
    // step instead of stopping there.
    const bool towardsHot = (buttonState & StateHot) != 0;
    int next = towardsHot ? fadeAlpha - fadeDelta : fadeAlpha + fadeDelta;
    bool running = fadeDelta != 0;
    if (next <= 0)
    {
        next = 0;
        running = false;
    }
    else if (next >= 255)
    {
        next = 255;
        running = false;
    }
    fadeAlpha = static_cast<BYTE>(next);
    return running;
}

void CButtonUI::SetFadeDelta(BYTE delta)
{
    fadeDelta = delta;
}

// ---- Looks ----

void CButtonUI::SetNormalImage(LPCWSTR pStrImage)
{
    ReplaceImage(normalImage, pStrImage);
}
void CButtonUI::SetHotImage(LPCWSTR pStrImage)
{
    ReplaceImage(hotImage, pStrImage);
}
void CButtonUI::SetHotForeImage(LPCWSTR pStrImage)
{
    ReplaceImage(hotForeImage, pStrImage);
}
void CButtonUI::SetPushedImage(LPCWSTR pStrImage)
{
    ReplaceImage(pushedImage, pStrImage);
}
void CButtonUI::SetFocusedImage(LPCWSTR pStrImage)
{
    ReplaceImage(focusedImage, pStrImage);
}
void CButtonUI::SetDisabledImage(LPCWSTR pStrImage)
{
    ReplaceImage(disabledImage, pStrImage);
}
void CButtonUI::SetForeImage(LPCWSTR pStrImage)
{
    ReplaceImage(foreImage, pStrImage);
}

void CButtonUI::SetFiveStatusImage(LPCWSTR pStrImage)
{
    // Frames in this order, left to right.
    TDrawSpec* const frames[] = {&normalImage, &pushedImage, &hotImage, &focusedImage, &disabledImage};
    for (TDrawSpec* frame : frames)
    {
        frame->Clear();
        frame->drawString = pStrImage;
        DrawImage(NULL, *frame);
    }
    const TImageEntry* image = normalImage.image;
    if (image != NULL)
    {
        const int frameWidth = image->width / 5;
        for (int i = 0; i < 5; ++i)
            ::SetRect(&frames[i]->source, i * frameWidth, 0, (i + 1) * frameWidth, image->height);
        if (isFloat && fixedWidth == 0 && fixedHeight == 0)
        {
            SetFixedWidth(frameWidth);
            SetFixedHeight(image->height);
        }
    }
    Invalidate();
}

void CButtonUI::SetHotBkColor(DWORD color)
{
    SetAndInvalidate(hotBkColor, color);
}
void CButtonUI::SetHotTextColor(DWORD color)
{
    SetAndInvalidate(hotTextColor, color);
}
void CButtonUI::SetPushedTextColor(DWORD color)
{
    SetAndInvalidate(pushedTextColor, color);
}
void CButtonUI::SetFocusedTextColor(DWORD color)
{
    SetAndInvalidate(focusedTextColor, color);
}

// ---- Attributes ----

const TAttributeRow<CButtonUI> CButtonUI::attributeTable[] = {
    {L"normalimage", [](CButtonUI& c, LPCWSTR v) { c.SetNormalImage(v); }},
    {L"hotimage", [](CButtonUI& c, LPCWSTR v) { c.SetHotImage(v); }},
    {L"pushedimage", [](CButtonUI& c, LPCWSTR v) { c.SetPushedImage(v); }},
    {L"focusedimage", [](CButtonUI& c, LPCWSTR v) { c.SetFocusedImage(v); }},
    {L"disabledimage", [](CButtonUI& c, LPCWSTR v) { c.SetDisabledImage(v); }},
    {L"foreimage", [](CButtonUI& c, LPCWSTR v) { c.SetForeImage(v); }},
    {L"hotforeimage", [](CButtonUI& c, LPCWSTR v) { c.SetHotForeImage(v); }},
    {L"fivestatusimage", [](CButtonUI& c, LPCWSTR v) { c.SetFiveStatusImage(v); }},
    {L"fadedelta", [](CButtonUI& c, LPCWSTR v) { c.SetFadeDelta(static_cast<BYTE>(ParseInt(v))); }},
    {L"hotbkcolor", [](CButtonUI& c, LPCWSTR v) { c.SetHotBkColor(ReadColor(v)); }},
    {L"hottextcolor", [](CButtonUI& c, LPCWSTR v) { c.SetHotTextColor(ReadColor(v)); }},
    {L"pushedtextcolor", [](CButtonUI& c, LPCWSTR v) { c.SetPushedTextColor(ReadColor(v)); }},
    {L"focusedtextcolor", [](CButtonUI& c, LPCWSTR v) { c.SetFocusedTextColor(ReadColor(v)); }},
};

void CButtonUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CLabelUI::SetAttribute(pstrName, pstrValue);
}

// ---- Painting ----

void CButtonUI::RefreshStateBits()
{
    buttonState = IsFocused() ? (buttonState | StateFocused) : (buttonState & ~StateFocused);
    buttonState = IsEnabled() ? (buttonState & ~StateDisabled) : (buttonState | StateDisabled);
}

bool CButtonUI::DrawFaded(HDC hDC, TDrawSpec& descriptor, BYTE fade)
{
    // Resolve first: parsing sets the descriptor's own fade, which the
    // cross-fade overrides for this one draw.
    if (!DrawImage(NULL, descriptor))
        return false;
    const BYTE own = descriptor.fade;
    descriptor.fade = fade;
    const bool drawn = DrawImage(hDC, descriptor);
    descriptor.fade = own;
    return drawn;
}

void CButtonUI::DrawOrNormal(HDC hDC, TDrawSpec& descriptor)
{
    if (!DrawImage(hDC, descriptor))
        DrawImage(hDC, normalImage);
}

void CButtonUI::DrawNormalState(HDC hDC)
{
    if (fadeDelta == 0)
    {
        DrawImage(hDC, normalImage);
        return;
    }
    if (fadeAlpha < 255)
        DrawFaded(hDC, hotImage, static_cast<BYTE>(255 - fadeAlpha));
    DrawFaded(hDC, normalImage, fadeAlpha);
}

bool CButtonUI::DrawHotState(HDC hDC)
{
    if (fadeDelta == 0)
        DrawOrNormal(hDC, hotImage);
    else if (fadeAlpha == 0)
        DrawFaded(hDC, hotImage, 255);
    else
    {
        DrawFaded(hDC, normalImage, fadeAlpha);
        DrawFaded(hDC, hotImage, static_cast<BYTE>(255 - fadeAlpha));
    }
    // A hot foreground, or else the hot fill, replaces the general foreground.
    if (DrawImage(hDC, hotForeImage))
        return true;
    if (hotBkColor == 0)
        return false;
    CRenderer::DrawColor(hDC, paintRect, hotBkColor);
    return true;
}

// States are tried in the order disabled, pushed, hot, focused, normal; a
// state without its own image falls back to the normal one.
void CButtonUI::PaintStatusImage(HDC hDC)
{
    RefreshStateBits();
    if (buttonState & StateDisabled)
    {
        if (!DrawImage(hDC, disabledImage))
            DrawNormalState(hDC);
    }
    else if (buttonState & StatePushed)
        DrawOrNormal(hDC, pushedImage);
    else if (buttonState & StateHot)
    {
        if (DrawHotState(hDC))
            return;
    }
    else if (!((buttonState & StateFocused) && DrawImage(hDC, focusedImage)))
        DrawNormalState(hDC);
    DrawImage(hDC, foreImage);
}

void CButtonUI::DrawButtonText(HDC hDC, DWORD color)
{
    RECT rc = TextRect();
    DrawCaption(hDC, rc, color, textStyle);
}

void CButtonUI::PaintText(HDC hDC)
{
    RefreshStateBits();
    FillDefaultColors();
    if (text.IsEmpty())
        return;
    DWORD color = StateTextColor();
    if ((buttonState & StatePushed) && pushedTextColor != 0)
        color = pushedTextColor;
    else if ((buttonState & StateHot) && hotTextColor != 0)
        color = hotTextColor;
    else if ((buttonState & StateFocused) && focusedTextColor != 0)
        color = focusedTextColor;
    DrawButtonText(hDC, color);
}

// ---- COptionUI ----

COptionUI::COptionUI() : selected(false), selectedBkColor(0), selectedTextColor(0), groupManager(NULL)
{
}

COptionUI::~COptionUI()
{
    LeaveGroup();
}

LPCWSTR COptionUI::GetClassName() const
{
    return L"Option";
}

LPVOID COptionUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Option") == 0)
        return this;
    return CButtonUI::FindInterface(pstrName);
}

void COptionUI::JoinGroup()
{
    if (groupManager != NULL && groupManager != manager)
        LeaveGroup();
    manager->AddOptionGroup(groupName, this);
    groupManager = manager;
}

void COptionUI::LeaveGroup()
{
    if (groupManager == NULL)
        return;
    groupManager->RemoveOptionGroup(groupName, this);
    groupManager = NULL;
}

void COptionUI::SetManager(CManagerUI* pManager, CControlUI* pParent, bool bInit)
{
    CButtonUI::SetManager(pManager, pParent, bInit);
    if (bInit && !groupName.IsEmpty() && manager != NULL)
        JoinGroup();
}

void COptionUI::SetGroup(LPCWSTR pStrGroupName)
{
    if (groupName == pStrGroupName)
        return;
    LeaveGroup();
    groupName = pStrGroupName;
    if (!groupName.IsEmpty() && manager != NULL)
        JoinGroup();
}

void COptionUI::SetSelected(bool bSelected, bool bNotify)
{
    if (selected == bSelected)
        return;
    selected = bSelected;
    buttonState = selected ? (buttonState | StateSelected) : (buttonState & ~StateSelected);
    if (manager != NULL)
    {
        if (!groupName.IsEmpty())
        {
            // In a group only the option that became selected speaks.
            if (!selected)
            {
                Invalidate();
                return;
            }
            if (CPtrList* group = manager->GetOptionGroup(groupName))
            {
                for (int i = 0; i < group->GetSize(); ++i)
                {
                    CControlUI* member = static_cast<CControlUI*>(group->GetAt(i));
                    COptionUI* option = static_cast<COptionUI*>(member->FindInterface(L"Option"));
                    if (option != NULL && option != this)
                        option->SetSelected(false, bNotify);
                }
            }
        }
        if (bNotify)
            manager->SendNotify(this, NotifyType::SelectChanged, 0, 0, false);
    }
    Invalidate();
}

bool COptionUI::Activate()
{
    if (!CButtonUI::Activate())
        return false;
    SetSelected(groupName.IsEmpty() ? !selected : true, true);
    return true;
}

void COptionUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled())
        buttonState = selected ? StateSelected : 0;
}

void COptionUI::SetSelectedImage(LPCWSTR pStrImage)
{
    ReplaceImage(selectedImage, pStrImage);
}
void COptionUI::SetSelectedHotImage(LPCWSTR pStrImage)
{
    ReplaceImage(selectedHotImage, pStrImage);
}
void COptionUI::SetOptionForeImage(LPCWSTR pStrImage)
{
    ReplaceImage(optionForeImage, pStrImage);
}

void COptionUI::SetSelectedBkColor(DWORD color)
{
    SetAndInvalidate(selectedBkColor, color);
}
void COptionUI::SetSelectedTextColor(DWORD color)
{
    SetAndInvalidate(selectedTextColor, color);
}

// "foreimage" here is the option's own foreground, drawn over the selected look too.
const TAttributeRow<COptionUI> COptionUI::attributeTable[] = {
    {L"group", [](COptionUI& c, LPCWSTR v) { c.SetGroup(v); }},
    {L"selected", [](COptionUI& c, LPCWSTR v) { c.SetSelected(ParseBool(v), true); }},
    {L"selectedimage", [](COptionUI& c, LPCWSTR v) { c.SetSelectedImage(v); }},
    {L"selectedhotimage", [](COptionUI& c, LPCWSTR v) { c.SetSelectedHotImage(v); }},
    {L"foreimage", [](COptionUI& c, LPCWSTR v) { c.SetOptionForeImage(v); }},
    {L"selectedbkcolor", [](COptionUI& c, LPCWSTR v) { c.SetSelectedBkColor(ReadColor(v)); }},
    {L"selectedtextcolor", [](COptionUI& c, LPCWSTR v) { c.SetSelectedTextColor(ReadColor(v)); }},
};

void COptionUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CButtonUI::SetAttribute(pstrName, pstrValue);
}

bool COptionUI::DrawSelectedState(HDC hDC)
{
    if ((buttonState & StateHot) && DrawImage(hDC, selectedHotImage))
        return true;
    if (DrawImage(hDC, selectedImage))
        return true;
    if (selectedBkColor == 0)
        return false;
    CRenderer::DrawColor(hDC, paintRect, selectedBkColor);
    return true;
}

// An option never shows a pushed look: the button's painting runs with the
// pushed bit hidden, and the bit comes back afterwards.
void COptionUI::PaintStatusImage(HDC hDC)
{
    if (!(selected && DrawSelectedState(hDC)))
    {
        const UINT pushed = buttonState & StatePushed;
        buttonState &= ~StatePushed;
        CButtonUI::PaintStatusImage(hDC);
        buttonState |= pushed;
    }
    DrawImage(hDC, optionForeImage);
}

void COptionUI::PaintText(HDC hDC)
{
    if (!selected)
    {
        const UINT pushed = buttonState & StatePushed;
        buttonState &= ~StatePushed;
        CButtonUI::PaintText(hDC);
        buttonState |= pushed;
        return;
    }
    RefreshStateBits();
    FillDefaultColors();
    if (text.IsEmpty())
        return;
    const DWORD enabledColor = selectedTextColor != 0 ? selectedTextColor : textColor;
    DrawButtonText(hDC, IsEnabled() ? enabledColor : disabledTextColor);
}

// ---- CCheckBoxUI ----

LPCWSTR CCheckBoxUI::GetClassName() const
{
    return L"CheckBox";
}

LPVOID CCheckBoxUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"CheckBox") == 0)
        return this;
    return COptionUI::FindInterface(pstrName);
}
