#include "ui/controls/ScrollBar.h"
#include "ui/core/AttributeValues.h"

#include <wchar.h>

#include "ui/controls/Container.h"
#include "ui/manager/Manager.h"
#include "ui/render/Color.h"
#include "ui/render/Renderer.h"

namespace
{
const int DefaultThickness = 16;

// The one rounding rule of positions: to the nearest multiple of unit, a
// remainder of half the unit (integer half) or more rounding up.
long long RoundToUnit(long long position, int unit)
{
    const long long remainder = position % unit;
    if (remainder == 0)
        return position;
    return remainder < unit / 2 ? position - remainder : position + (unit - remainder);
}
}  // namespace

CScrollBarUI::CScrollBarUI()
    : horizontal(false),
      range(100),
      scrollPos(0),
      lineSize(8),
      scrollUnit(1),
      owner(NULL),
      lastScrollPos(0),
      lastScrollOffset(0),
      repeatDelay(0),
      showButton1(true),
      button1State(0),
      button1Color(0),
      showButton2(true),
      button2State(0),
      button2Color(0),
      thumbState(0),
      thumbColor(0)
{
    fixedWidth = DefaultThickness;
}

CScrollBarUI::~CScrollBarUI()
{
}

LPCWSTR CScrollBarUI::GetClassName() const
{
    return L"ScrollBar";
}

LPVOID CScrollBarUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"ScrollBar") == 0)
        return static_cast<CScrollBarUI*>(this);
    return CControlUI::FindInterface(pstrName);
}

// ---- Settings ----

void CScrollBarUI::SetHorizontal(bool bHorizontal)
{
    if (horizontal == bHorizontal)
        return;
    horizontal = bHorizontal;
    if (horizontal && fixedHeight == 0)
    {
        fixedWidth = 0;
        fixedHeight = DefaultThickness;
    }
    else if (!horizontal && fixedWidth == 0)
    {
        fixedHeight = 0;
        fixedWidth = DefaultThickness;
    }
    if (owner != NULL)
        owner->NeedUpdate();
    else
        NeedParentUpdate();
}

void CScrollBarUI::SetScrollRange(int nRange)
{
    if (range == nRange)
        return;
    range = nRange < 0 ? 0 : nRange;
    if (scrollPos > range)
        scrollPos = range;
    SetPos(itemRect);
}

void CScrollBarUI::SetScrollPos(int nPos, bool bNotify)
{
    if (scrollPos == nPos)
        return;
    const int oldPos = scrollPos;
    long long pos = nPos < 0 ? 0 : nPos;
    if (scrollUnit > 1)
        pos = RoundToUnit(pos, scrollUnit);
    if (pos > range)
        pos = range;
    scrollPos = static_cast<int>(pos);
    SetPos(itemRect);
    // Queued, and a change still queued takes the new values: a drag or a
    // held button is announced once per delivery, not once per step.
    if (bNotify && manager != NULL)
        manager->SendNotify(this, NotifyType::Scroll, scrollPos, oldPos, true, false);
}

void CScrollBarUI::SetLineSize(int nSize)
{
    if (nSize >= 0)
        lineSize = nSize;
}

void CScrollBarUI::SetScrollUnit(int nUnit)
{
    if (nUnit >= 0)
        scrollUnit = nUnit;
}

int CScrollBarUI::GetLineStep() const
{
    return scrollUnit > 1 ? scrollUnit : lineSize;
}

void CScrollBarUI::SetShowButton1(bool bShow)
{
    showButton1 = bShow;
    SetPos(itemRect);
}

void CScrollBarUI::SetShowButton2(bool bShow)
{
    showButton2 = bShow;
    SetPos(itemRect);
}

DWORD CScrollBarUI::GetPartColor(Part part) const
{
    switch (part)
    {
    case PartButton1:
        return button1Color;
    case PartButton2:
        return button2Color;
    case PartThumb:
        return thumbColor;
    default:
        return 0;
    }
}

void CScrollBarUI::SetPartColor(Part part, DWORD dwColor)
{
    DWORD* field = part == PartButton1   ? &button1Color
                   : part == PartButton2 ? &button2Color
                   : part == PartThumb   ? &thumbColor
                                         : NULL;
    if (field == NULL || *field == dwColor)
        return;
    *field = dwColor;
    Invalidate();
}

namespace
{
bool IsKnownImage(int part, int state)
{
    return part >= 0 && part < CScrollBarUI::PartCount && state >= 0 && state < CScrollBarUI::ImageStateCount;
}
}  // namespace

LPCWSTR CScrollBarUI::GetPartImage(Part part, ImageState state) const
{
    if (!IsKnownImage(part, state))
        return L"";
    return images[part][state].drawString;
}

void CScrollBarUI::SetPartImage(Part part, ImageState state, LPCWSTR pStrImage)
{
    if (!IsKnownImage(part, state))
        return;
    ReplaceImage(images[part][state], pStrImage);
}

// ---- Attributes ----

namespace
{
template <CScrollBarUI::Part part, CScrollBarUI::ImageState state>
void SetImage(CScrollBarUI& bar, LPCWSTR value)
{
    bar.SetPartImage(part, state, value);
}
}  // namespace

// An image per part and state, "<part><state>image"; fill colours for the
// buttons and the thumb.
const TAttributeRow<CScrollBarUI> CScrollBarUI::attributeTable[] = {
    {L"button1normalimage", SetImage<CScrollBarUI::PartButton1, CScrollBarUI::ImageNormal>},
    {L"button1hotimage", SetImage<CScrollBarUI::PartButton1, CScrollBarUI::ImageHot>},
    {L"button1pushedimage", SetImage<CScrollBarUI::PartButton1, CScrollBarUI::ImagePushed>},
    {L"button1disabledimage", SetImage<CScrollBarUI::PartButton1, CScrollBarUI::ImageDisabled>},
    {L"button2normalimage", SetImage<CScrollBarUI::PartButton2, CScrollBarUI::ImageNormal>},
    {L"button2hotimage", SetImage<CScrollBarUI::PartButton2, CScrollBarUI::ImageHot>},
    {L"button2pushedimage", SetImage<CScrollBarUI::PartButton2, CScrollBarUI::ImagePushed>},
    {L"button2disabledimage", SetImage<CScrollBarUI::PartButton2, CScrollBarUI::ImageDisabled>},
    {L"thumbnormalimage", SetImage<CScrollBarUI::PartThumb, CScrollBarUI::ImageNormal>},
    {L"thumbhotimage", SetImage<CScrollBarUI::PartThumb, CScrollBarUI::ImageHot>},
    {L"thumbpushedimage", SetImage<CScrollBarUI::PartThumb, CScrollBarUI::ImagePushed>},
    {L"thumbdisabledimage", SetImage<CScrollBarUI::PartThumb, CScrollBarUI::ImageDisabled>},
    {L"railnormalimage", SetImage<CScrollBarUI::PartRail, CScrollBarUI::ImageNormal>},
    {L"railhotimage", SetImage<CScrollBarUI::PartRail, CScrollBarUI::ImageHot>},
    {L"railpushedimage", SetImage<CScrollBarUI::PartRail, CScrollBarUI::ImagePushed>},
    {L"raildisabledimage", SetImage<CScrollBarUI::PartRail, CScrollBarUI::ImageDisabled>},
    {L"bknormalimage", SetImage<CScrollBarUI::PartBk, CScrollBarUI::ImageNormal>},
    {L"bkhotimage", SetImage<CScrollBarUI::PartBk, CScrollBarUI::ImageHot>},
    {L"bkpushedimage", SetImage<CScrollBarUI::PartBk, CScrollBarUI::ImagePushed>},
    {L"bkdisabledimage", SetImage<CScrollBarUI::PartBk, CScrollBarUI::ImageDisabled>},
    {L"button1color",
     [](CScrollBarUI& c, LPCWSTR v) { c.SetPartColor(PartButton1, ParseColorValue(v, true)); }},
    {L"button2color",
     [](CScrollBarUI& c, LPCWSTR v) { c.SetPartColor(PartButton2, ParseColorValue(v, true)); }},
    {L"thumbcolor", [](CScrollBarUI& c, LPCWSTR v) { c.SetPartColor(PartThumb, ParseColorValue(v, true)); }},
    {L"hor", [](CScrollBarUI& c, LPCWSTR v) { c.SetHorizontal(ParseBool(v)); }},
    {L"linesize", [](CScrollBarUI& c, LPCWSTR v) { c.SetLineSize(ParseInt(v)); }},
    {L"range", [](CScrollBarUI& c, LPCWSTR v) { c.SetScrollRange(ParseInt(v)); }},
    {L"value", [](CScrollBarUI& c, LPCWSTR v) { c.SetScrollPos(ParseInt(v), true); }},
    {L"scrollunit", [](CScrollBarUI& c, LPCWSTR v) { c.SetScrollUnit(ParseInt(v)); }},
    {L"showbutton1", [](CScrollBarUI& c, LPCWSTR v) { c.SetShowButton1(ParseBool(v)); }},
    {L"showbutton2", [](CScrollBarUI& c, LPCWSTR v) { c.SetShowButton2(ParseBool(v)); }},
};

void CScrollBarUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CControlUI::SetAttribute(pstrName, pstrValue);
}

// ---- Geometry ----

int CScrollBarUI::Thickness() const
{
    return horizontal ? fixedHeight : fixedWidth;
}

void CScrollBarUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);
    LayOut();
}

// Buttons are squares of the bar's thickness at both ends; the thumb's
// length is the visible share of the content, N x M / (N + range), and its
// offset the share of the travel that the position has covered.
void CScrollBarUI::LayOut()
{
    const CUIAxis axis = Axis();
    const int thickness = Thickness();
    const int start = axis.MainStart(itemRect);
    const int end = axis.MainEnd(itemRect);
    const int cross = axis.CrossStart(itemRect);
    const long long length = axis.MainLength(itemRect);
    const int shownButtons = (showButton1 ? 1 : 0) + (showButton2 ? 1 : 0);

    // The track is what the shown buttons leave of the length.
    const long long track = length - static_cast<long long>(thickness) * shownButtons;

    // No room for a thumb: the buttons share the length.
    if (thickness >= track)
    {
        const int buttonLength = static_cast<int>(thickness < length / 2 ? thickness : length / 2);
        button1Rect = showButton1 ? axis.MakeRect(start, start + buttonLength, cross, cross + thickness)
                                  : axis.MakeRect(start, start, cross, cross);
        button2Rect = showButton2 ? axis.MakeRect(end - buttonLength, end, cross, cross + thickness)
                                  : axis.MakeRect(end, end, cross, cross);
        thumbRect.Empty();
        return;
    }

    // Square buttons at both ends and the thumb between them.
    button1Rect = showButton1 ? axis.MakeRect(start, start + thickness, cross, cross + thickness)
                              : axis.MakeRect(start, start, cross, cross);
    button2Rect = showButton2 ? axis.MakeRect(end - thickness, end, cross, cross + thickness)
                              : axis.MakeRect(end, end, cross, cross);
    const int trackStart = showButton1 ? start + thickness : start;
    const int trackEnd = showButton2 ? end - thickness : end;
    if (range <= 0)
    {
        thumbRect = axis.MakeRect(trackStart, trackEnd, cross, cross + thickness);
        return;
    }
    long long thumbLength = length * track / (length + range);
    if (thumbLength < thickness)
        thumbLength = thickness;
    long long thumbStart = trackStart + (track - thumbLength) * scrollPos / range;
    if (thumbStart + thumbLength > trackEnd)
        thumbStart = trackEnd - thumbLength;
    thumbRect = axis.MakeRect(thumbStart, thumbStart + thumbLength, cross, cross + thickness);
}

// How far the thumb's leading edge can move.
int CScrollBarUI::ThumbTravel() const
{
    const CUIAxis axis = Axis();
    const int shownButtons = (showButton1 ? 1 : 0) + (showButton2 ? 1 : 0);
    const long long travel = axis.MainLength(itemRect) - axis.MainLength(thumbRect) -
                             static_cast<long long>(Thickness()) * shownButtons;
    return SaturateInt(travel);
}

// ---- Other overrides ----

void CScrollBarUI::SetVisible(bool bVisible)
{
    if (visible == bVisible)
        return;
    visible = bVisible;
    focused = false;
}

void CScrollBarUI::SetEnabled(bool bEnable)
{
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled())
    {
        button1State = 0;
        button2State = 0;
        thumbState = 0;
    }
}

void CScrollBarUI::SetFocus()
{
    if (owner != NULL)
        owner->SetFocus();
    else
        CControlUI::SetFocus();
}

// ---- Events ----

void CScrollBarUI::HandleEvent(TControlEvent& event)
{
    // A bar the mouse cannot reach hands mouse events on untouched.
    if (PassUnreachableMouseEvent(event))
        return;
    switch (event.kind)
    {
    // A bar takes no focus and shows no menu.
    case EventSetFocus:
    case EventKillFocus:
    case EventContextMenu:
        return;
    case EventButtonDown:
    case EventDoubleClick:
        if (!IsEnabled())
            break;
        OnButtonDown(event);
        return;
    case EventButtonUp:
        OnButtonUp();
        return;
    case EventMouseMove:
        OnMouseMove(event);
        return;
    case EventTimer:
        if (event.wParam != RepeatTimerId)
            break;
        OnTimer();
        return;
    // Entering and leaving go on to the owner too, unless the leave was not real.
    case EventMouseEnter:
        OnMouseEnter(event);
        break;
    case EventMouseLeave:
        if (!OnMouseLeave(event))
            return;
        break;
    default:
        break;
    }
    PassOn(event);
}

void CScrollBarUI::PassOn(TControlEvent& event)
{
    if (owner != NULL)
        owner->HandleEvent(event);
    else
        CControlUI::HandleEvent(event);
}

void CScrollBarUI::OnButtonDown(const TControlEvent& event)
{
    lastScrollOffset = 0;
    repeatDelay = 0;
    if (manager != NULL)
        manager->SetTimer(this, RepeatTimerId, RepeatPeriod);

    if (::PtInRect(&button1Rect, event.point))
    {
        button1State |= StatePushed;
        LineBack();
    }
    else if (::PtInRect(&button2Rect, event.point))
    {
        button2State |= StatePushed;
        LineForward();
    }
    else if (::PtInRect(&thumbRect, event.point))
    {
        thumbState |= StateCaptured | StatePushed;
        lastMouse = event.point;
        lastScrollPos = scrollPos;
    }
    else
    {
        PageTowards(event.point);
    }
}

void CScrollBarUI::OnButtonUp()
{
    repeatDelay = 0;
    lastScrollOffset = 0;
    if (manager != NULL)
        manager->KillTimer(this, RepeatTimerId);

    if ((thumbState & StateCaptured) != 0)
        thumbState &= ~(StateCaptured | StatePushed);
    else if ((button1State & StatePushed) != 0)
        button1State &= ~StatePushed;
    else if ((button2State & StatePushed) != 0)
        button2State &= ~StatePushed;
    else
        return;
    Invalidate();
}

void CScrollBarUI::OnMouseMove(const TControlEvent& event)
{
    if ((thumbState & StateCaptured) != 0)
    {
        // The position follows on the next timer tick.
        const int travel = ThumbTravel();
        if (travel == 0)
            return;
        const long long moved = static_cast<long long>(Axis().Of(event.point)) - Axis().Of(lastMouse);
        lastScrollOffset = SaturateInt(moved * range / travel);
        return;
    }
    const bool onThumb = ::PtInRect(&thumbRect, event.point) != FALSE;
    if ((thumbState & StateHot) != 0 && !onThumb)
    {
        thumbState &= ~StateHot;
        Invalidate();
    }
    else if (IsEnabled() && onThumb && (thumbState & StateHot) == 0)
    {
        thumbState |= StateHot;
        Invalidate();
    }
}

void CScrollBarUI::OnTimer()
{
    ++repeatDelay;
    if ((thumbState & StateCaptured) != 0)
    {
        const int target = SaturateInt(static_cast<long long>(lastScrollPos) + lastScrollOffset);
        if (owner != NULL)
        {
            SIZE pos = owner->GetScrollPos();
            Axis().Main(pos) = target;
            owner->SetScrollPos(pos);
        }
        else
        {
            SetScrollPos(target, true);
        }
        Invalidate();
        return;
    }
    if (repeatDelay <= RepeatDelayTicks)
        return;
    if ((button1State & StatePushed) != 0)
        LineBack();
    else if ((button2State & StatePushed) != 0)
        LineForward();
    else
        PageTowards(CursorPos());
}

void CScrollBarUI::OnMouseEnter(const TControlEvent& event)
{
    if (!IsEnabled() || !::PtInRect(&itemRect, event.point))
        return;
    button1State |= StateHot;
    button2State |= StateHot;
    if (::PtInRect(&thumbRect, event.point))
        thumbState |= StateHot;
    Invalidate();
}

// False when the pointer is still over the bar: then the leave is not real
// and the bar waits for the next one.
bool CScrollBarUI::OnMouseLeave(const TControlEvent& event)
{
    if (!IsRealLeave(event, itemRect))
        return false;
    button1State &= ~StateHot;
    button2State &= ~StateHot;
    thumbState &= ~StateHot;
    Invalidate();
    return true;
}

void CScrollBarUI::LineBack()
{
    if (owner == NULL)
        SetScrollPos(SaturateInt(static_cast<long long>(scrollPos) - GetLineStep()), true);
    else if (horizontal)
        owner->LineLeft();
    else
        owner->LineUp();
}

void CScrollBarUI::LineForward()
{
    if (owner == NULL)
        SetScrollPos(SaturateInt(static_cast<long long>(scrollPos) + GetLineStep()), true);
    else if (horizontal)
        owner->LineRight();
    else
        owner->LineDown();
}

void CScrollBarUI::PageTowards(POINT pt)
{
    // Without a thumb there is no rail to click.
    if (thumbRect.IsNull())
        return;
    const CUIAxis axis = Axis();
    const int where = axis.Of(pt);
    const bool back = where < axis.MainStart(thumbRect);
    const bool forward = where >= axis.MainEnd(thumbRect);
    if (!back && !forward)
        return;
    if (owner != NULL)
    {
        if (horizontal)
            back ? owner->PageLeft() : owner->PageRight();
        else
            back ? owner->PageUp() : owner->PageDown();
        return;
    }
    const long long page = axis.MainLength(itemRect);
    SetScrollPos(SaturateInt(scrollPos + (back ? -page : page)), true);
}

POINT CScrollBarUI::CursorPos() const
{
    POINT pt = {0, 0};
    ::GetCursorPos(&pt);
    if (manager != NULL)
        ::ScreenToClient(manager->GetPaintWindow(), &pt);
    return pt;
}

// ---- Painting ----

namespace
{
CScrollBarUI::ImageState StateImage(UINT state)
{
    if ((state & StateDisabled) != 0)
        return CScrollBarUI::ImageDisabled;
    if ((state & StatePushed) != 0)
        return CScrollBarUI::ImagePushed;
    if ((state & StateHot) != 0)
        return CScrollBarUI::ImageHot;
    return CScrollBarUI::ImageNormal;
}

void FollowEnabled(UINT& state, bool enabled)
{
    if (enabled)
        state &= ~StateDisabled;
    else
        state |= StateDisabled;
}
}  // namespace

bool CScrollBarUI::PaintContent(HDC hDC, const RECT&, CControlUI*)
{
    PaintBkColor(hDC);
    PaintBkImage(hDC);

    // The background follows the thumb's state.
    FollowEnabled(thumbState, IsEnabled());
    DrawStateImage(hDC, PartBk, StateImage(thumbState), itemRect);

    if (showButton1)
        PaintPart(hDC, PartButton1, button1State, button1Rect, button1Color);
    if (showButton2)
        PaintPart(hDC, PartButton2, button2State, button2Rect, button2Color);

    // The grip, a square of the bar's thickness, sits in the middle of the thumb.
    if (!thumbRect.IsNull())
    {
        PaintPart(hDC, PartThumb, thumbState, thumbRect, thumbColor);
        const CUIAxis axis = Axis();
        const int thickness = Thickness();
        const int middle = (axis.MainStart(thumbRect) + axis.MainEnd(thumbRect)) / 2;
        const int gripStart = middle - thickness / 2;
        const RECT grip = axis.MakeRect(gripStart, gripStart + thickness, axis.CrossStart(thumbRect),
                                        axis.CrossEnd(thumbRect));
        DrawStateImage(hDC, PartRail, StateImage(thumbState), grip);
    }

    PaintBorder(hDC);
    return true;
}

void CScrollBarUI::PaintPart(HDC hDC, Part part, UINT& state, const RECT& rc, DWORD color)
{
    FollowEnabled(state, IsEnabled());
    if (color != 0)
        CRenderer::DrawColor(hDC, rc, color);
    DrawStateImage(hDC, part, StateImage(state), rc);
}

// The state's image, or the normal one when the state has none.
void CScrollBarUI::DrawStateImage(HDC hDC, Part part, ImageState state, const RECT& rc)
{
    if (state == ImageNormal || !DrawPartImage(hDC, part, state, rc))
        DrawPartImage(hDC, part, ImageNormal, rc);
}

// The part's rectangle replaces whatever destination the descriptor gave:
// the image is found first, because finding it parses the descriptor.
bool CScrollBarUI::DrawPartImage(HDC hDC, Part part, ImageState state, const RECT& rc)
{
    TDrawSpec& descriptor = images[part][state];
    if (descriptor.drawString.IsEmpty() || !DrawImage(NULL, descriptor))
        return false;
    descriptor.dest = rc;
    ::OffsetRect(&descriptor.dest, -itemRect.left, -itemRect.top);
    return DrawImage(hDC, descriptor);
}
