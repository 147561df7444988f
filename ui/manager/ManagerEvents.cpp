#include "ui/manager/ManagerEvents.h"

#include "ui/controls/Control.h"
#include "ui/core/Check.h"

TControlEvent MakeEvent(EventKind kind, CControlUI* sender, POINT pt, WORD keyState, WPARAM wParam,
                        LPARAM lParam)
{
    TControlEvent event = {};
    event.kind = kind;
    event.sender = sender;
    event.timestamp = ::GetTickCount();
    event.point = pt;
    event.keyState = keyState;
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

void Send(CControlUI* target, TControlEvent event)
{
    if (!UI_CHECK(target != NULL))
        return;
    if (event.sender == NULL)
        event.sender = target;
    target->DispatchEvent(event);
}

TControlEvent KeyEvent(EventKind kind, POINT pt, WPARAM wParam, LPARAM lParam)
{
    TControlEvent event = MakeEvent(kind, NULL, pt, MapKeyState(), wParam, lParam);
    event.keyChar = LOWORD(wParam);
    return event;
}
