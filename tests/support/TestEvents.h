#pragma once

#include <windows.h>

#include "ui/core/UIDefs.h"

// A control event as the manager would route it: a kind, a point in client
// coordinates and the message parameters.
inline TControlEvent MakeEvent(EventKind kind, int x = 0, int y = 0, WPARAM wParam = 0, LPARAM lParam = 0)
{
    TControlEvent event = {};
    event.kind = kind;
    event.point.x = x;
    event.point.y = y;
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

inline TControlEvent PointerEvent(EventKind kind, POINT pt)
{
    return MakeEvent(kind, pt.x, pt.y);
}

// A key press of the virtual key.
inline TControlEvent KeyDown(WORD key)
{
    TControlEvent event = MakeEvent(EventKeyDown);
    event.keyChar = key;
    return event;
}

// The lParam of a mouse message at client (x, y).
inline LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}
