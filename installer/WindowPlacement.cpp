#include "installer/WindowPlacement.h"

#include <algorithm>

namespace installer
{

namespace
{

bool IsUsable(SIZE size)
{
    return size.cx >= kSmallestWindowSide && size.cy >= kSmallestWindowSide;
}

}  // namespace

SIZE ChooseWindowSize(SIZE requested, SIZE minimum, SIZE workArea)
{
    SIZE size = IsUsable(requested) ? requested : IsUsable(minimum) ? minimum : kDefaultWindowSize;
    // The minimum only ever grows the window; a minimum of one side applies to that side.
    size.cx = std::max(size.cx, minimum.cx);
    size.cy = std::max(size.cy, minimum.cy);
    size.cx = std::min(size.cx, std::max(workArea.cx, kSmallestWindowSide));
    size.cy = std::min(size.cy, std::max(workArea.cy, kSmallestWindowSide));
    return size;
}

RECT CentreOn(SIZE size, const RECT& workArea)
{
    // Halving the free space rounds towards the top-left; a window larger than the area starts at its
    // corner, so that the caption stays reachable.
    const LONG left = workArea.left + std::max<LONG>(0, (workArea.right - workArea.left - size.cx) / 2);
    const LONG top = workArea.top + std::max<LONG>(0, (workArea.bottom - workArea.top - size.cy) / 2);
    return {left, top, left + size.cx, top + size.cy};
}

void PlaceWindow(HWND window, SIZE requested, SIZE minimum)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    const RECT& work = monitor.rcWork;
    const SIZE size = ChooseWindowSize(requested, minimum, {work.right - work.left, work.bottom - work.top});
    const RECT placed = CentreOn(size, work);
    SetWindowPos(window, nullptr, placed.left, placed.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace installer
