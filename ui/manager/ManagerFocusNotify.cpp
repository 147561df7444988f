#include "ui/manager/Manager.h"

#include "ui/controls/Control.h"

// Focus changes and notifications as controls ask for them. The window
// messages that lead here (clicks, Tab, focus messages) are routed elsewhere.

namespace
{
TControlEvent FocusEvent(EventKind kind, CControlUI* sender)
{
    TControlEvent event = {};
    event.kind = kind;
    event.sender = sender;
    event.timestamp = ::GetTickCount();
    return event;
}

bool CanTakeFocus(const CManagerUI* manager, CControlUI* control)
{
    return control != NULL && control->GetManager() == manager && control->IsVisible() &&
           control->IsEnabled();
}
}  // namespace

void CManagerUI::SetFocus(CControlUI* pControl, bool bFocusWnd)
{
    if (bFocusWnd && paintWindow != NULL && ::GetFocus() != paintWindow && pControl != focus &&
        !noActivate)
        ::SetFocus(paintWindow);
    if (pControl == focus)
        return;
    if (focus != NULL)
    {
        CControlUI* old = focus;
        TControlEvent event = FocusEvent(EventKillFocus, pControl);
        old->DispatchEvent(event);
        SendNotify(old, NotifyType::KillFocus);
        focus = NULL;
    }
    if (!CanTakeFocus(this, pControl))
        return;
    focus = pControl;
    TControlEvent event = FocusEvent(EventSetFocus, pControl);
    pControl->DispatchEvent(event);
    SendNotify(pControl, NotifyType::SetFocus);
}

void CManagerUI::SendNotify(CControlUI* pControl, LPCWSTR pstrMessage, WPARAM wParam, LPARAM lParam,
                            bool bAsync, bool bEnableRepeat)
{
    TNotifyMsg msg;
    msg.type = pstrMessage;
    msg.sender = pControl;
    msg.timestamp = ::GetTickCount();
    msg.point = lastMousePos;
    msg.wParam = wParam;
    msg.lParam = lParam;
    if (useVirtualWnd && pControl != NULL)
        msg.virtualWnd = pControl->GetVirtualWnd();

    if (!bAsync)
    {
        if (pControl != NULL && pControl->notifyHandlers.HasDelegates())
            pControl->notifyHandlers(&msg);
        for (int i = 0; i < notifiers.GetSize(); ++i)
            static_cast<INotifyUI*>(notifiers[i])->Notify(msg);
        return;
    }

    if (!bEnableRepeat)
    {
        for (int i = 0; i < asyncNotify.GetSize(); ++i)
        {
            TNotifyMsg* queued = static_cast<TNotifyMsg*>(asyncNotify[i]);
            if (queued->sender != pControl || queued->type != msg.type)
                continue;
            if (useVirtualWnd)
                queued->virtualWnd = msg.virtualWnd;
            queued->wParam = wParam;
            queued->lParam = lParam;
            queued->point = msg.point;
            queued->timestamp = msg.timestamp;
            return;
        }
    }
    asyncNotify.Add(new TNotifyMsg(msg));
    if (!asyncNotifyPosted && paintWindow != NULL)
    {
        ::PostMessageW(paintWindow, FlushMessage, 0, 0);
        asyncNotifyPosted = true;
    }
}
