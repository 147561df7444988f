#include "ui/controls/Progress.h"

#include <limits.h>
#include <wchar.h>

#include <algorithm>

#include "ui/controls/ControlAttributes.h"
#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"
#include "ui/manager/ManagerAccessible.h"

namespace
{
const TAttributeRow<CProgressUI> kProgressAttributes[] = {
    {L"foreimage", [](CProgressUI& c, LPCWSTR v) { c.SetForeImage(v); }},
    {L"hor", [](CProgressUI& c, LPCWSTR v) { c.SetHorizontal(ParseBool(v)); }},
    {L"min", [](CProgressUI& c, LPCWSTR v) { c.SetMinValue(ParseInt(v)); }},
    {L"max", [](CProgressUI& c, LPCWSTR v) { c.SetMaxValue(ParseInt(v)); }},
    {L"value", [](CProgressUI& c, LPCWSTR v) { c.SetValue(ParseInt(v)); }},
};

const TAttributeRow<CSliderUI> kSliderAttributes[] = {
    {L"thumbimage", [](CSliderUI& c, LPCWSTR v) { c.SetThumbImage(v); }},
    {L"thumbhotimage", [](CSliderUI& c, LPCWSTR v) { c.SetThumbHotImage(v); }},
    {L"thumbpushedimage", [](CSliderUI& c, LPCWSTR v) { c.SetThumbPushedImage(v); }},
    {L"thumbsize",
     [](CSliderUI& c, LPCWSTR v) {
         int s[2];
         ParseIntList(v, s, 2);
         c.SetThumbSize(c.ScaleSkin(CUISize(s[0], s[1])));
     }},
    {L"step", [](CSliderUI& c, LPCWSTR v) { c.SetChangeStep(ParseInt(v)); }},
    {L"imm", [](CSliderUI& c, LPCWSTR v) { c.SetSendMove(ParseBool(v)); }},
};
}  // namespace

// ---- CProgressUI ----

CProgressUI::CProgressUI() : horizontal(true), maxValue(100), minValue(0), value(0)
{
    textStyle = DT_SINGLELINE | DT_CENTER;
    SetFixedHeight(12);
}

CProgressUI::~CProgressUI()
{
}

LPCWSTR CProgressUI::GetClassName() const
{
    return L"Progress";
}

LPVOID CProgressUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Progress") == 0)
        return static_cast<CProgressUI*>(this);
    return CLabelUI::FindInterface(pstrName);
}

void CProgressUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(kProgressAttributes, *this, pstrName, pstrValue))
        CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CProgressUI::SetHorizontal(bool bHorizontal)
{
    if (horizontal == bHorizontal)
        return;
    horizontal = bHorizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int nMin)
{
    minValue = nMin;
    Invalidate();
}

void CProgressUI::SetMaxValue(int nMax)
{
    maxValue = nMax;
    Invalidate();
}

void CProgressUI::SetValue(int nValue)
{
    if (nValue > maxValue)
        nValue = maxValue;
    if (nValue < minValue)
        nValue = minValue;
    if (value == nValue)
        return;
    value = nValue;
    Invalidate();
    RaiseAccessibleEvent(EVENT_OBJECT_VALUECHANGE, manager, this);
}

void CProgressUI::SetForeImage(LPCWSTR pStrImage)
{
    ReplaceImage(progressForeImage, pStrImage);
}

// The range as the next paint repairs it: an empty or reversed range ends
// one above its minimum, so it never divides by less than 1.
long long CProgressUI::EffectiveMax() const
{
    return std::max<long long>(maxValue, static_cast<long long>(minValue) + 1);
}

// Lowered to the maximum, then raised to the minimum, as SetValue does.
long long CProgressUI::ClampedValue() const
{
    return std::max<long long>(std::min<long long>(value, EffectiveMax()), minValue);
}

long long CProgressUI::RangeDivisor() const
{
    return EffectiveMax() - minValue;
}

// Products of a value offset and a size need 64 bits: both may be large.
// The value is clamped into the range first, so the fill never leaves the
// control.
RECT CProgressUI::GetFillRect() const
{
    const long long width = std::max<long long>(itemRect.GetWidth(), 0);
    const long long height = std::max<long long>(itemRect.GetHeight(), 0);
    const long long filled = ClampedValue() - minValue;
    const long long range = RangeDivisor();
    if (horizontal)
        return CUIRect(0, 0, SaturateInt(std::min<long long>(filled * width / range, width)),
                       SaturateInt(height));
    const long long empty = EffectiveMax() - ClampedValue();
    return CUIRect(0, SaturateInt(empty * height / range), SaturateInt(width), SaturateInt(height));
}

bool CProgressUI::DrawInto(HDC hDC, TDrawSpec& descriptor, const RECT& rc)
{
    if (descriptor.drawString.IsEmpty() || !DrawImage(NULL, descriptor))
        return false;
    descriptor.dest = rc;
    return DrawImage(hDC, descriptor);
}

void CProgressUI::PaintStatusImage(HDC hDC)
{
    if (maxValue <= minValue)
        maxValue = minValue == INT_MAX ? INT_MAX : minValue + 1;
    value = SaturateInt(ClampedValue());
    DrawInto(hDC, progressForeImage, GetFillRect());
}

// ---- CSliderUI ----

CSliderUI::CSliderUI() : thumbWidth(10), thumbHeight(10), sliderState(0), step(1), sendMove(false)
{
    textStyle = DT_SINGLELINE | DT_CENTER;
}

CSliderUI::~CSliderUI()
{
}

LPCWSTR CSliderUI::GetClassName() const
{
    return L"Slider";
}

LPVOID CSliderUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Slider") == 0)
        return static_cast<CSliderUI*>(this);
    return CProgressUI::FindInterface(pstrName);
}

UINT CSliderUI::GetFlags() const
{
    return IsEnabled() ? FlagTabStop | FlagSetCursor : 0;
}

void CSliderUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled())
        sliderState = 0;
}

void CSliderUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(kSliderAttributes, *this, pstrName, pstrValue))
        CProgressUI::SetAttribute(pstrName, pstrValue);
}

void CSliderUI::SetThumbSize(SIZE size)
{
    thumbWidth = size.cx;
    thumbHeight = size.cy;
}

void CSliderUI::SetThumbImage(LPCWSTR pStrImage)
{
    ReplaceImage(thumbImage, pStrImage);
}

void CSliderUI::SetThumbHotImage(LPCWSTR pStrImage)
{
    ReplaceImage(thumbHotImage, pStrImage);
}

void CSliderUI::SetThumbPushedImage(LPCWSTR pStrImage)
{
    ReplaceImage(thumbPushedImage, pStrImage);
}

// The thumb travels the control's length less its own; a thumb longer than
// the control stays at the near end.
RECT CSliderUI::GetThumbRect() const
{
    const long long offset = ClampedValue() - minValue;
    const long long range = RangeDivisor();
    if (horizontal)
    {
        const long long travel =
            std::max<long long>(static_cast<long long>(itemRect.GetWidth()) - thumbWidth, 0);
        const long long x = itemRect.left + std::min<long long>(offset * travel / range, travel);
        const long long y = (static_cast<long long>(itemRect.top) + itemRect.bottom - thumbHeight) / 2;
        return CUIRect(SaturateInt(x), SaturateInt(y), SaturateInt(x + thumbWidth),
                       SaturateInt(y + thumbHeight));
    }
    const long long travel =
        std::max<long long>(static_cast<long long>(itemRect.GetHeight()) - thumbHeight, 0);
    const long long x = (static_cast<long long>(itemRect.left) + itemRect.right - thumbWidth) / 2;
    const long long bottom = itemRect.bottom - std::min<long long>(travel * offset / range, travel);
    return CUIRect(SaturateInt(x), SaturateInt(bottom - thumbHeight), SaturateInt(x + thumbWidth),
                   SaturateInt(bottom));
}

// Within half a thumb of an end the pointer stands for that end; between,
// the value follows the thumb's centre.
int CSliderUI::ValueFromPoint(POINT pt) const
{
    const long long span = std::max<long long>(static_cast<long long>(maxValue) - minValue, 0);
    if (horizontal)
    {
        const long long half = thumbWidth / 2;
        if (pt.x >= itemRect.right - half)
            return maxValue;
        if (pt.x <= itemRect.left + half)
            return minValue;
        const long long travel =
            std::max<long long>(static_cast<long long>(itemRect.GetWidth()) - thumbWidth, 1);
        return SaturateInt(minValue + span * (pt.x - half - itemRect.left) / travel);
    }
    const long long half = thumbHeight / 2;
    if (pt.y >= itemRect.bottom - half)
        return minValue;
    if (pt.y <= itemRect.top + half)
        return maxValue;
    const long long travel =
        std::max<long long>(static_cast<long long>(itemRect.GetHeight()) - thumbHeight, 1);
    return SaturateInt(minValue + span * (itemRect.bottom - half - pt.y) / travel);
}

void CSliderUI::NotifyValueChanged()
{
    if (manager != NULL)
        manager->SendNotify(this, NotifyType::ValueChanged, 0, 0, false);
}

void CSliderUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    if (HandleKey(event) || HandlePointer(event) || HandleHover(event))
        return;
    CControlUI::HandleEvent(event);
}

bool CSliderUI::HandleKey(const TControlEvent& event)
{
    if (event.kind != EventKeyDown || !IsEnabled() || !IsKeyboardEnabled())
        return false;
    const long long range = static_cast<long long>(maxValue) - minValue;
    const long long page = range / 10 > 0 ? range / 10 : 1;
    long long target = value;
    switch (event.keyChar)
    {
    case VK_LEFT:
    case VK_DOWN:
        target -= step;
        break;
    case VK_RIGHT:
    case VK_UP:
        target += step;
        break;
    case VK_PRIOR:
        target += page;
        break;
    case VK_NEXT:
        target -= page;
        break;
    case VK_HOME:
        target = minValue;
        break;
    case VK_END:
        target = maxValue;
        break;
    default:
        // Keys the slider does not use go on to the base control.
        return false;
    }
    SetValue(SaturateInt(target));
    NotifyValueChanged();
    return true;
}

// Press, drag, release and the wheel. A press only moves the thumb; the
// release (and, with "imm", every move) announces the value.
bool CSliderUI::HandlePointer(TControlEvent& event)
{
    switch (event.kind)
    {
    case EventButtonDown:
    case EventDoubleClick:
    {
        if (!IsEnabled())
            return true;
        sliderState |= StateCaptured;
        const int pressed = ValueFromPoint(event.point);
        if (pressed == value || pressed < minValue || pressed > maxValue)
            return true;
        SetValue(pressed);
        Invalidate();
        return true;
    }
    case EventButtonUp:
        if ((sliderState & StateCaptured) == 0)
            return true;
        SetValue(ValueFromPoint(event.point));
        NotifyValueChanged();
        sliderState &= ~StateCaptured;
        Invalidate();
        return true;
    case EventContextMenu:
        return true;
    case EventScrollWheel:
        if (event.wParam == 0)
            SetValue(SaturateInt(static_cast<long long>(value) + step));
        else if (event.wParam == 1)
            SetValue(SaturateInt(static_cast<long long>(value) - step));
        else
            return true;
        NotifyValueChanged();
        return true;
    case EventMouseMove:
        if ((sliderState & StateCaptured) == 0)
            return true;
        SetValue(ValueFromPoint(event.point));
        if (sendMove)
            NotifyValueChanged();
        Invalidate();
        return true;
    default:
        return false;
    }
}

// The pointer shape, and hot while the pointer is over the slider. A leave
// reported while the pointer is still inside (another control took the
// hover) waits for the real one.
bool CSliderUI::HandleHover(TControlEvent& event)
{
    switch (event.kind)
    {
    case EventSetCursor:
    {
        const RECT thumb = GetThumbRect();
        if (!IsEnabled() || !::PtInRect(&thumb, event.point))
            return false;
        ::SetCursor(::LoadCursorW(NULL, IDC_HAND));
        return true;
    }
    case EventMouseEnter:
    case EventMouseLeave:
        return TrackHover(event, itemRect, sliderState) == HoverCovered;
    default:
        return false;
    }
}

void CSliderUI::PaintStatusImage(HDC hDC)
{
    CProgressUI::PaintStatusImage(hDC);
    RECT thumb = GetThumbRect();
    ::OffsetRect(&thumb, -itemRect.left, -itemRect.top);
    if ((sliderState & StateCaptured) != 0 && DrawInto(hDC, thumbPushedImage, thumb))
        return;
    if ((sliderState & StateHot) != 0 && DrawInto(hDC, thumbHotImage, thumb))
        return;
    DrawInto(hDC, thumbImage, thumb);
}

void CSliderUI::ScaleGeometry(int fromDpi, int toDpi)
{
    thumbWidth = Rescale(thumbWidth, fromDpi, toDpi);
    thumbHeight = Rescale(thumbHeight, fromDpi, toDpi);
    CProgressUI::ScaleGeometry(fromDpi, toDpi);
}
