#include "ui/controls/Container.h"

#include "ui/controls/ScrollBar.h"
#include "ui/core/Axis.h"
#include "ui/manager/Manager.h"

// Container scrolling: the keys and the wheel, the line, page, home and end
// moves, and showing, sizing and hiding the scroll bars after each layout.

// ---- Scroll keys and wheel ----

UINT CContainerUI::GetFlags() const
{
    const bool scrolls = IsBarActive(verticalScrollBar) || IsBarActive(horizontalScrollBar);
    return scrolls && IsEnabled() && IsKeyboardEnabled() ? FlagTabStop : 0;
}

// The vertical bar takes the keys when it can scroll; the horizontal one maps
// the same keys to its own direction.
bool CContainerUI::HandleScrollKey(WORD key)
{
    typedef void (CContainerUI::*Step)();
    struct KeyStep
    {
        WORD key;
        Step vertical;
        Step horizontal;
    };
    static const KeyStep steps[] = {
        {VK_PRIOR, &CContainerUI::PageUp, &CContainerUI::PageLeft},
        {VK_NEXT, &CContainerUI::PageDown, &CContainerUI::PageRight},
        {VK_END, &CContainerUI::EndDown, &CContainerUI::EndRight},
        {VK_HOME, &CContainerUI::HomeUp, &CContainerUI::HomeLeft},
        {VK_UP, &CContainerUI::LineUp, &CContainerUI::LineLeft},
        {VK_DOWN, &CContainerUI::LineDown, &CContainerUI::LineRight},
    };
    const bool vertical = IsBarActive(verticalScrollBar);
    if (!vertical && !IsBarActive(horizontalScrollBar))
        return false;
    for (const KeyStep& step : steps)
    {
        if (step.key == key)
        {
            (this->*(vertical ? step.vertical : step.horizontal))();
            return true;
        }
    }
    return false;
}

int CContainerUI::WheelScrollLines()
{
    UINT lines = 3;
    if (!::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    return lines == WHEEL_PAGESCROLL ? WheelScrollsPage : static_cast<int>(lines > 100 ? 100 : lines);
}

// One notch scrolls as many lines as the system's wheel setting asks for,
// or a page when it asks for pages.
void CContainerUI::ScrollByWheel(void (CContainerUI::*line)(), void (CContainerUI::*page)())
{
    const int lines = WheelScrollLines();
    if (lines == WheelScrollsPage)
    {
        (this->*page)();
        return;
    }
    for (int i = 0; i < lines; ++i)
        (this->*line)();
}

bool CContainerUI::HandleScrollWheel(const TControlEvent& event)
{
    const bool towardsUser = event.wParam != 0;
    const bool overHorizontal =
        IsBarActive(horizontalScrollBar) && ::PtInRect(&horizontalScrollBar->GetPos(), event.point);
    if (!overHorizontal && IsBarActive(verticalScrollBar))
    {
        towardsUser ? ScrollByWheel(&CContainerUI::LineDown, &CContainerUI::PageDown)
                    : ScrollByWheel(&CContainerUI::LineUp, &CContainerUI::PageUp);
        return true;
    }
    if (IsBarActive(horizontalScrollBar))
    {
        towardsUser ? ScrollByWheel(&CContainerUI::LineRight, &CContainerUI::PageRight)
                    : ScrollByWheel(&CContainerUI::LineLeft, &CContainerUI::PageLeft);
        return true;
    }
    return false;
}

// ---- Scrolling ----

SIZE CContainerUI::GetScrollPos() const
{
    return CUISize(IsBarShown(horizontalScrollBar) ? horizontalScrollBar->GetScrollPos() : 0,
                   IsBarShown(verticalScrollBar) ? verticalScrollBar->GetScrollPos() : 0);
}

SIZE CContainerUI::GetScrollRange() const
{
    return CUISize(IsBarShown(horizontalScrollBar) ? horizontalScrollBar->GetScrollRange() : 0,
                   IsBarShown(verticalScrollBar) ? verticalScrollBar->GetScrollRange() : 0);
}

void CContainerUI::SetScrollPos(SIZE szPos)
{
    // The bars clamp and round; the content follows what they took.
    const int dy = MoveBar(verticalScrollBar, szPos.cy);
    const int dx = MoveBar(horizontalScrollBar, szPos.cx);
    if (dx == 0 && dy == 0)
        return;

    // Float children are pinned to the container, not to its content.
    for (int i = 0; i < items.GetSize(); ++i)
    {
        CControlUI* child = static_cast<CControlUI*>(items[i]);
        if (child->IsVisible() && !child->IsFloat())
            child->MoveBy(-dx, -dy, false);
    }
    Invalidate();
}

// How far a shown bar moved on its way to position; 0 for a hidden one.
int CContainerUI::MoveBar(CScrollBarUI* bar, int position)
{
    if (!IsBarShown(bar))
        return 0;
    const int old = bar->GetScrollPos();
    bar->SetScrollPos(position);
    return bar->GetScrollPos() - old;
}

void CContainerUI::LineUp()
{
    ScrollAlong(CUIAxis::Vertical(), ScrollLineBack);
}
void CContainerUI::LineDown()
{
    ScrollAlong(CUIAxis::Vertical(), ScrollLineForward);
}
void CContainerUI::PageUp()
{
    ScrollAlong(CUIAxis::Vertical(), ScrollPageBack);
}
void CContainerUI::PageDown()
{
    ScrollAlong(CUIAxis::Vertical(), ScrollPageForward);
}
void CContainerUI::HomeUp()
{
    ScrollAlong(CUIAxis::Vertical(), ScrollHome);
}
void CContainerUI::EndDown()
{
    ScrollAlong(CUIAxis::Vertical(), ScrollEnd);
}
void CContainerUI::LineLeft()
{
    ScrollAlong(CUIAxis::Horizontal(), ScrollLineBack);
}
void CContainerUI::LineRight()
{
    ScrollAlong(CUIAxis::Horizontal(), ScrollLineForward);
}
void CContainerUI::PageLeft()
{
    ScrollAlong(CUIAxis::Horizontal(), ScrollPageBack);
}
void CContainerUI::PageRight()
{
    ScrollAlong(CUIAxis::Horizontal(), ScrollPageForward);
}
void CContainerUI::HomeLeft()
{
    ScrollAlong(CUIAxis::Horizontal(), ScrollHome);
}
void CContainerUI::EndRight()
{
    ScrollAlong(CUIAxis::Horizontal(), ScrollEnd);
}

// Positions are ints; a step past either end is clamped by the bar anyway.
void CContainerUI::ScrollAlong(const CUIAxis& axis, ScrollMove move)
{
    SIZE pos = GetScrollPos();
    LONG& along = axis.Main(pos);
    long long target = 0;
    switch (move)
    {
    case ScrollLineBack:
        target = static_cast<long long>(along) - LineStep(axis);
        break;
    case ScrollLineForward:
        target = static_cast<long long>(along) + LineStep(axis);
        break;
    case ScrollPageBack:
        target = along - PageLength(axis);
        break;
    case ScrollPageForward:
        target = along + PageLength(axis);
        break;
    case ScrollHome:
        target = 0;
        break;
    case ScrollEnd:
        target = axis.Main(GetScrollRange());
        break;
    }
    along = SaturateInt(target);
    SetScrollPos(pos);
}

CScrollBarUI* CContainerUI::BarAlong(const CUIAxis& axis) const
{
    return axis.IsHorizontal() ? horizontalScrollBar : verticalScrollBar;
}

// A bar's own line size counts when above 1; otherwise a vertical line is a
// line of the default font and some spacing, a horizontal one 8 pixels.
int CContainerUI::LineStep(const CUIAxis& axis) const
{
    const CScrollBarUI* bar = BarAlong(axis);
    if (bar != NULL && bar->GetLineSize() > 1)
        return bar->GetLineSize();
    if (axis.IsHorizontal() || manager == NULL)
        return 8;
    const TFontEntry* font = manager->GetDefaultFontInfo();
    return (font != NULL ? font->metrics.tmHeight : 0) + manager->ScaleSkin(8);
}

// The inner length along the axis, without the bar that runs across it.
long long CContainerUI::PageLength(const CUIAxis& axis) const
{
    return axis.MainLength(itemRect) - axis.MainStart(inset) - axis.MainEnd(inset) -
           BarThickness(BarAlong(axis.Across()));
}

CScrollBarUI* CContainerUI::CreateScrollBar(bool bHorizontal)
{
    CScrollBarUI* bar = new CScrollBarUI;
    bar->SetScrollRange(0);
    bar->SetOwner(this);
    bar->SetHorizontal(bHorizontal);
    // New bars stay hidden until a layout finds content that does not fit.
    bar->SetVisible(false);
    bar->SetManager(manager, this, false);
    if (manager != NULL)
    {
        // The bar's own default thickness is a length of the skin too.
        if (bHorizontal)
            bar->SetFixedHeight(manager->ScaleSkin(bar->GetFixedHeight()));
        else
            bar->SetFixedWidth(manager->ScaleSkin(bar->GetFixedWidth()));
        LPCWSTR defaults = manager->GetDefaultAttributeList(bHorizontal ? L"HScrollBar" : L"VScrollBar");
        if (defaults != NULL)
            bar->ApplyAttributeList(defaults);
    }
    return bar;
}

void CContainerUI::EnableScrollBar(bool bEnableVertical, bool bEnableHorizontal)
{
    EnableBar(verticalScrollBar, bEnableVertical, false);
    EnableBar(horizontalScrollBar, bEnableHorizontal, true);
    NeedUpdate();
}

// Creates the bar when it is wanted and missing, deletes it when it is there
// and not wanted; a bar that stays keeps its settings.
void CContainerUI::EnableBar(CScrollBarUI*& bar, bool enable, bool bHorizontal)
{
    if (enable && bar == NULL)
        bar = CreateScrollBar(bHorizontal);
    else if (!enable && bar != NULL)
    {
        bar->Delete();
        bar = NULL;
    }
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const
{
    return verticalScrollBar;
}
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const
{
    return horizontalScrollBar;
}

// ---- Scroll bars after a layout ----

void CContainerUI::Replace(bool bNeedInvalidate)
{
    // A layout re-run from here may lead back here; the bars never need more
    // than a few rounds to settle for content that does not follow its room.
    const int maxDepth = 4;
    if (scrollRelayoutDepth >= maxDepth)
        return;
    ++scrollRelayoutDepth;
    SetPos(IsFloat() ? GetRelativePos() : GetPos(), bNeedInvalidate);
    --scrollRelayoutDepth;
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired)
{
    if (verticalScrollBar == NULL && horizontalScrollBar == NULL)
        return;
    if (verticalScrollBar != NULL && horizontalScrollBar != NULL)
        ProcessBothScrollBars(rc, cxRequired, cyRequired);
    else if (horizontalScrollBar != NULL)
        ProcessOneScrollBar(horizontalScrollBar, rc, cxRequired);
    else
        ProcessOneScrollBar(verticalScrollBar, rc, cyRequired);
}

namespace
{
long long Difference(int required, int available)
{
    return static_cast<long long>(required) - available;
}

int Magnitude(long long value)
{
    return SaturateInt(value < 0 ? -value : value);
}

// Where a bar sits along the far edge of the inner area.
RECT BarRect(const CScrollBarUI* bar, const RECT& inner)
{
    if (bar->IsHorizontal())
        return CUIRect(inner.left, inner.bottom, inner.right, inner.bottom + bar->GetFixedHeight());
    return CUIRect(inner.right, inner.top, inner.right + bar->GetFixedWidth(), inner.bottom);
}
}  // namespace

// A bar shown for content that does not fit starts at the top.
void CContainerUI::ShowBar(CScrollBarUI* bar, long long range)
{
    bar->SetVisible(true);
    bar->SetScrollRange(SaturateInt(range));
    bar->SetScrollPos(0);
}

void CContainerUI::HideBar(CScrollBarUI* bar)
{
    bar->SetVisible(false);
    bar->SetScrollPos(0);
    bar->SetScrollRange(0);
}

// Bars just shown stay shown through the layout they cause, even if the
// narrower room then seems to fit the content.
void CContainerUI::ReplaceShowingBars()
{
    scrollProcessing = true;
    Replace(true);
    scrollProcessing = false;
}

// A shown bar follows a change of the room along it.
void CContainerUI::FitShownBar(CScrollBarUI* bar, const RECT& rc, int required)
{
    if (!bar->IsVisible())
        return;
    bar->SetPos(BarRect(bar, rc), false);
    const CUIAxis axis(bar->IsHorizontal());
    bar->SetScrollRange(SaturateInt(required - axis.MainLength(rc)));
}

// A shown bar that stays shown: it moves along the inner area and takes the
// new range; a range of 0 hides it.
CContainerUI::RangeChange CContainerUI::SettleBar(CScrollBarUI* bar, const RECT& rc, long long range)
{
    bar->SetPos(BarRect(bar, rc), false);
    if (bar->GetScrollRange() == range)
        return RangeSame;
    const int oldPos = bar->GetScrollPos();
    bar->SetScrollRange(Magnitude(range));
    if (bar->GetScrollRange() == 0)
    {
        bar->SetVisible(false);
        bar->SetScrollPos(0);
    }
    return oldPos > bar->GetScrollPos() ? RangePulledBack : RangeTaken;
}

// One bar: the same steps for either direction, along its own axis.
void CContainerUI::ProcessOneScrollBar(CScrollBarUI* bar, const RECT& rc, int required)
{
    const bool horizontal = bar->IsHorizontal();
    const int available = horizontal ? rc.right - rc.left : rc.bottom - rc.top;

    // Content that does not fit shows the bar and re-runs the layout in the
    // room that is left.
    if (required > available && !bar->IsVisible())
    {
        ShowBar(bar, Difference(required, available));
        ReplaceShowingBars();
        return;
    }

    if (!bar->IsVisible())
        return;

    // Content that fits again hides it, unless this layout is the one that
    // showed it.
    const long long range = Difference(required, available);
    if (range <= 0 && !scrollProcessing)
    {
        HideBar(bar);
        Replace(true);
        return;
    }

    // A range that shrank below the position pulls the content back.
    if (SettleBar(bar, rc, range) == RangePulledBack)
        Replace(false);
}

void CContainerUI::ProcessBothScrollBars(RECT rc, int cxRequired, int cyRequired)
{
    CScrollBarUI* hbar = horizontalScrollBar;
    CScrollBarUI* vbar = verticalScrollBar;

    // The horizontal bar first: it decides the height left for the content.
    bool changed = false;
    if (cxRequired > rc.right - rc.left)
    {
        if (!hbar->IsVisible())
        {
            hbar->SetVisible(true);
            hbar->SetScrollPos(0);
            rc.bottom -= hbar->GetFixedHeight();
        }
        hbar->SetPos(BarRect(hbar, rc), false);
        const long long range = Difference(cxRequired, rc.right - rc.left);
        if (hbar->GetScrollRange() != range)
        {
            hbar->SetScrollRange(SaturateInt(range));
            changed = true;
        }
    }
    else if (hbar->IsVisible())
    {
        hbar->SetVisible(false);
        rc.bottom += hbar->GetFixedHeight();
    }

    // A vertical bar shown now narrows the room of the horizontal one.
    const int height = rc.bottom - rc.top;
    if (cyRequired > height && !vbar->IsVisible())
    {
        ShowBar(vbar, Difference(cyRequired, height));
        rc.right -= vbar->GetFixedWidth();
        FitShownBar(hbar, rc, cxRequired);
        ReplaceShowingBars();
        return;
    }

    // Without the vertical bar only a new horizontal range needs a layout.
    if (!vbar->IsVisible())
    {
        if (changed)
            Replace(true);
        return;
    }

    // Content that fits again in height hides the vertical bar, unless this
    // layout is the one that showed it; the horizontal bar gets the room.
    const long long range = Difference(cyRequired, height);
    if (range <= 0 && !scrollProcessing)
    {
        HideBar(vbar);
        rc.right += vbar->GetFixedWidth();
        FitShownBar(hbar, rc, cxRequired);
        Replace(true);
        return;
    }

    // Both bars stay: a new horizontal range or a position pulled back needs
    // a layout; an unchanged vertical range needs none.
    const RangeChange settled = SettleBar(vbar, rc, range);
    if (settled == RangeSame)
        return;
    if (settled == RangePulledBack || changed)
        Replace(false);
}
