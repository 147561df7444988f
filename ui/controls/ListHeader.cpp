#include "ui/controls/ListHeader.h"

#include <limits.h>
#include <wchar.h>

#include "ui/controls/List.h"
#include "ui/core/AttributeValues.h"
#include "ui/manager/Manager.h"
#include "ui/render/Color.h"
#include "ui/render/Renderer.h"

namespace
{
// One line of the window's default font with a margin: the height of a
// header that says nothing else.
int DefaultLineHeight(CManagerUI* manager)
{
    const TFontEntry* font = manager != NULL ? manager->GetDefaultFontInfo() : NULL;
    return (font != NULL ? font->metrics.tmHeight : 0) + (manager != NULL ? manager->ScaleSkin(8) : 8);
}

bool Contains(LPCWSTR value, LPCWSTR part)
{
    return wcsstr(value, part) != NULL;
}

void ChangeBits(UINT& bits, UINT on, UINT off)
{
    bits = (bits & ~off) | on;
}
}  // namespace

// ---- CListHeaderUI ----

LPCWSTR CListHeaderUI::GetClassName() const
{
    return L"ListHeader";
}

LPVOID CListHeaderUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ListHeader") == 0)
        return static_cast<CListHeaderUI*>(this);
    return CHorizontalLayoutUI::FindInterface(pstrName);
}

void CListHeaderUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    // Laid out alone (columns added to a shown list, a width set from code),
    // the header would leave the columns, the scroll and the rows behind.
    CControlUI* owner = GetParent();
    CListUI* list = owner != NULL ? static_cast<CListUI*>(owner->FindInterface(L"List")) : NULL;
    if (list != NULL && list->GetHeader() == this && !list->IsPlacing())
    {
        list->PlaceAgain(bNeedInvalidate);
        return;
    }
    CHorizontalLayoutUI::SetPos(rc, bNeedInvalidate);
}

SIZE CListHeaderUI::EstimateSize(SIZE szAvailable)
{
    long long width = 0;
    int tallest = 0;
    for (int i = 0; i < items.GetSize(); ++i)
    {
        const SIZE column = static_cast<CControlUI*>(items[i])->EstimateSize(szAvailable);
        width += column.cx;
        if (column.cy > tallest)
            tallest = column.cy;
    }
    int height = fixedHeight;
    if (height == 0 && manager != NULL)
    {
        height = tallest;
        if (height < DefaultLineHeight(manager))
            height = DefaultLineHeight(manager);
    }
    return CUISize(width > INT_MAX ? INT_MAX : static_cast<int>(width), height);
}

// ---- CListHeaderItemUI ----

CListHeaderItemUI::CListHeaderItemUI()
    : dragable(true),
      buttonState(0),
      sepWidth(4),
      textColor(0),
      sepColor(0),
      font(-1),
      textStyle(DT_CENTER | DT_VCENTER | DT_SINGLELINE),
      showHtml(false),
      textPadding(2, 0, 2, 0)
{
    SetMinWidth(16);
}

LPCWSTR CListHeaderItemUI::GetClassName() const
{
    return L"ListHeaderItem";
}

LPVOID CListHeaderItemUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ListHeaderItem") == 0)
        return static_cast<CListHeaderItemUI*>(this);
    return CControlUI::FindInterface(pstrName);
}

UINT CListHeaderItemUI::GetFlags() const
{
    return IsEnabled() && sepWidth != 0 ? FlagSetCursor : 0;
}

void CListHeaderItemUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled())
        buttonState = 0;
}

void CListHeaderItemUI::SetDragable(bool bDragable)
{
    dragable = bDragable;
    if (!dragable)
        buttonState &= ~StateDragging;
}

void CListHeaderItemUI::SetSepWidth(int iWidth)
{
    SetAndInvalidate(sepWidth, iWidth);
}
void CListHeaderItemUI::SetTextStyle(UINT uStyle)
{
    SetAndInvalidate(textStyle, uStyle);
}
void CListHeaderItemUI::SetTextColor(DWORD dwColor)
{
    SetAndInvalidate(textColor, dwColor);
}
void CListHeaderItemUI::SetSepColor(DWORD dwColor)
{
    SetAndInvalidate(sepColor, dwColor);
}
void CListHeaderItemUI::SetTextPadding(RECT rc)
{
    SetAndInvalidate(textPadding, CUIRect(rc));
}
void CListHeaderItemUI::SetFont(int index)
{
    SetAndInvalidate(font, index);
}
void CListHeaderItemUI::SetShowHtml(bool bShowHtml)
{
    SetAndInvalidate(showHtml, bShowHtml);
}

void CListHeaderItemUI::SetNormalImage(LPCWSTR pStrImage)
{
    ReplaceImage(normalImage, pStrImage);
}

void CListHeaderItemUI::SetHotImage(LPCWSTR pStrImage)
{
    ReplaceImage(hotImage, pStrImage);
}

void CListHeaderItemUI::SetPushedImage(LPCWSTR pStrImage)
{
    ReplaceImage(pushedImage, pStrImage);
}

void CListHeaderItemUI::SetFocusedImage(LPCWSTR pStrImage)
{
    ReplaceImage(focusedImage, pStrImage);
}

void CListHeaderItemUI::SetSepImage(LPCWSTR pStrImage)
{
    ReplaceImage(sepImage, pStrImage);
}

RECT CListHeaderItemUI::GetThumbRect() const
{
    if (sepWidth >= 0)
        return CUIRect(itemRect.right - sepWidth, itemRect.top, itemRect.right, itemRect.bottom);
    return CUIRect(itemRect.left, itemRect.top, itemRect.left - sepWidth, itemRect.bottom);
}

bool CListHeaderItemUI::IsOnSeparator(POINT pt) const
{
    const int kMinGrabWidth = 6;
    if (sepWidth == 0)
        return false;
    RECT zone = GetThumbRect();
    const int width = zone.right - zone.left;
    if (width < kMinGrabWidth)
    {
        if (sepWidth > 0)
            zone.left = zone.right - kMinGrabWidth;
        else
            zone.right = zone.left + kMinGrabWidth;
    }
    RECT inside = {};
    ::IntersectRect(&inside, &zone, &itemRect);
    return ::PtInRect(&inside, pt) != FALSE;
}

SIZE CListHeaderItemUI::EstimateSize(SIZE szAvailable)
{
    if (fixedHeight != 0)
        return CControlUI::EstimateSize(szAvailable);
    return CUISize(fixedWidth, DefaultLineHeight(manager));
}

// ---- Events ----

void CListHeaderItemUI::DragTo(POINT pt)
{
    // Several moves may come before the next layout: each builds on the
    // width the last one asked for, not on the rectangle still shown.
    const int dx = pt.x - lastMouse.x;
    const int current = fixedWidth > 0 ? fixedWidth : itemRect.GetWidth();
    const int width = current + (sepWidth >= 0 ? dx : -dx);
    if (width > GetMinWidth())
    {
        SetFixedWidth(width);
        lastMouse = pt;
    }
    if (parent != NULL)
        parent->NeedParentUpdate();
}

void CListHeaderItemUI::EndDrag()
{
    buttonState &= ~StateDragging;
    if (parent != NULL)
        parent->NeedParentUpdate();
}

void CListHeaderItemUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    switch (event.kind)
    {
    case EventSetFocus:
    case EventKillFocus:
        Invalidate();
        return;
    case EventButtonDown:
    case EventDoubleClick:
        if (!IsEnabled())
            return;
        if (IsOnSeparator(event.point))
        {
            if (dragable)
            {
                buttonState |= StateDragging;
                lastMouse = event.point;
            }
            return;
        }
        buttonState |= StatePushed;
        if (manager != NULL)
            manager->SendNotify(this, NotifyType::HeaderClick);
        Invalidate();
        return;
    case EventMouseMove:
        if ((buttonState & StateDragging) != 0)
            DragTo(event.point);
        return;
    case EventButtonUp:
        if ((buttonState & StateDragging) != 0)
            EndDrag();
        else if ((buttonState & StatePushed) != 0)
        {
            buttonState &= ~StatePushed;
            Invalidate();
        }
        return;
    case EventSetCursor:
        if (IsEnabled() && dragable && IsOnSeparator(event.point))
        {
            ::SetCursor(::LoadCursorW(NULL, IDC_SIZEWE));
            return;
        }
        break;
    case EventMouseEnter:
    case EventMouseLeave:
        TrackHover(event, itemRect, buttonState);
        return;
    default:
        break;
    }
    CControlUI::HandleEvent(event);
}

// ---- Attributes ----

namespace
{
UINT Aligned(UINT style, LPCWSTR v)
{
    if (Contains(v, L"left"))
        ChangeBits(style, DT_LEFT, DT_CENTER | DT_RIGHT);
    if (Contains(v, L"center"))
        ChangeBits(style, DT_CENTER, DT_LEFT | DT_RIGHT);
    if (Contains(v, L"right"))
        ChangeBits(style, DT_RIGHT, DT_LEFT | DT_CENTER);
    return style;
}

UINT VAligned(UINT style, LPCWSTR v)
{
    if (Contains(v, L"top"))
        ChangeBits(style, DT_TOP, DT_VCENTER | DT_BOTTOM);
    if (Contains(v, L"vcenter"))
        ChangeBits(style, DT_VCENTER, DT_TOP | DT_BOTTOM);
    if (Contains(v, L"bottom"))
        ChangeBits(style, DT_BOTTOM, DT_TOP | DT_VCENTER);
    return style;
}

UINT Ellipsis(UINT style, LPCWSTR v)
{
    ChangeBits(style, ParseBool(v) ? DT_END_ELLIPSIS : 0, DT_END_ELLIPSIS);
    return style;
}

// "true" wraps; anything else returns to one line.
UINT MultiLine(UINT style, LPCWSTR v)
{
    if (ParseBool(v))
        ChangeBits(style, DT_WORDBREAK, DT_SINGLELINE);
    else
        style |= DT_SINGLELINE;
    return style;
}

}  // namespace

const TAttributeRow<CListHeaderItemUI> CListHeaderItemUI::attributeTable[] = {
    {L"dragable", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetDragable(ParseBool(v)); }},
    {L"align", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetTextStyle(Aligned(h.GetTextStyle(), v)); }},
    {L"valign", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetTextStyle(VAligned(h.GetTextStyle(), v)); }},
    {L"endellipsis", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetTextStyle(Ellipsis(h.GetTextStyle(), v)); }},
    {L"multiline", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetTextStyle(MultiLine(h.GetTextStyle(), v)); }},
    {L"font", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetFont(ParseInt(v)); }},
    {L"textcolor", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetTextColor(ParseColorValue(v)); }},
    {L"textpadding", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetTextPadding(h.ScaleSkin(ParseIntRect(v))); }},
    {L"showhtml", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetShowHtml(ParseBool(v)); }},
    {L"normalimage", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetNormalImage(v); }},
    {L"hotimage", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetHotImage(v); }},
    {L"pushedimage", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetPushedImage(v); }},
    {L"focusedimage", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetFocusedImage(v); }},
    {L"sepwidth", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetSepWidth(h.ScaleSkin(ParseInt(v))); }},
    {L"sepcolor", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetSepColor(ParseColorValue(v)); }},
    {L"sepimage", [](CListHeaderItemUI& h, LPCWSTR v) { h.SetSepImage(v); }},
};

void CListHeaderItemUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CControlUI::SetAttribute(pstrName, pstrValue);
}

// ---- Painting ----

void CListHeaderItemUI::DrawOrNormal(HDC hDC, TDrawSpec& image)
{
    if (!DrawImage(hDC, image))
        DrawImage(hDC, normalImage);
}

void CListHeaderItemUI::PaintStatusImage(HDC hDC)
{
    if (IsFocused())
        buttonState |= StateFocused;
    else
        buttonState &= ~StateFocused;
    if ((buttonState & StatePushed) != 0)
        DrawOrNormal(hDC, pushedImage);
    else if ((buttonState & StateHot) != 0)
        DrawOrNormal(hDC, hotImage);
    else if ((buttonState & StateFocused) != 0)
        DrawOrNormal(hDC, focusedImage);
    else
        DrawImage(hDC, normalImage);

    if (sepWidth <= 0)
        return;
    // The separator image is placed on the strip, relative to the item.
    const RECT thumb = GetThumbRect();
    if (!sepImage.drawString.IsEmpty() && DrawImage(NULL, sepImage) && sepImage.image != NULL)
    {
        sepImage.dest = CUIRect(thumb.left - itemRect.left, thumb.top - itemRect.top,
                                thumb.right - itemRect.left, thumb.bottom - itemRect.top);
        DrawImage(hDC, sepImage);
        return;
    }
    if (sepColor != 0)
    {
        const int x = thumb.left + sepWidth / 2;
        const RECT line = {x, thumb.top, x, thumb.bottom};
        CRenderer::DrawLine(hDC, line, sepWidth, sepColor);
    }
}

void CListHeaderItemUI::PaintText(HDC hDC)
{
    if (textColor == 0 && manager != NULL)
        textColor = manager->GetDefaultFontColor();
    if (text.IsEmpty())
        return;
    RECT rc = itemRect;
    rc.left += textPadding.left;
    rc.top += textPadding.top;
    rc.right -= textPadding.right;
    rc.bottom -= textPadding.bottom;
    if (showHtml)
    {
        int links = 0;
        CRenderer::DrawMarkupText(hDC, manager, rc, text, textColor, NULL, NULL, links, font, textStyle);
    }
    else
        CRenderer::DrawText(hDC, manager, rc, text, textColor, font, textStyle);
}
