#include "ui/manager/Manager.h"

#include "ui/controls/Control.h"
#include "ui/controls/LinkFocus.h"
#include "ui/manager/ManagerAccessible.h"
#include "ui/manager/ManagerEvents.h"

// Focus changes, tab order and notifications as controls ask for them. The
// window messages that lead here (clicks, Tab, focus messages) are routed
// elsewhere.

namespace
{
TControlEvent FocusEvent(EventKind kind, CControlUI* sender)
{
    return MakeEvent(kind, sender, POINT(), 0, 0, 0);
}

struct TTabSearch
{
    CControlUI* current;
    CControlUI* last;
    bool forward;
    bool nextIsIt;
};

CControlUI* CALLBACK FindTabStop(CControlUI* pControl, LPVOID pData)
{
    TTabSearch* search = static_cast<TTabSearch*>(pData);
    if (pControl == search->current)
    {
        if (search->forward)
            search->nextIsIt = true;
        return search->forward ? NULL : search->last;
    }
    if ((pControl->GetFlags() & FlagTabStop) == 0)
        return NULL;
    search->last = pControl;
    return search->nextIsIt || search->current == NULL ? pControl : NULL;
}

// Changes a screen reader follows: texts (edits, combos) and states
// (options, check boxes, items). Progress bars and sliders announce their
// values themselves, as they change.
void RaiseChangeEvent(CManagerUI* manager, CControlUI* control, const CUIString& type)
{
    if (type == NotifyType::TextChanged)
        RaiseAccessibleEvent(EVENT_OBJECT_VALUECHANGE, manager, control);
    else if (type == NotifyType::SelectChanged)
        RaiseAccessibleEvent(EVENT_OBJECT_STATECHANGE, manager, control);
}

const UINT kTabSearchFlags = FindMeFirst | FindEnabled | FindVisible;

// The tab stop after current (before it when going back), or the first one
// when current is null; last receives the last tab stop met before current.
CControlUI* TabSearch(CControlUI* root, CControlUI* current, bool forward, CControlUI** last)
{
    TTabSearch search = {current, NULL, forward, false};
    CControlUI* found = root->FindControl(FindTabStop, &search, kTabSearchFlags);
    if (last != NULL)
        *last = search.last;
    return found;
}

bool CanTakeFocus(const CManagerUI* manager, CControlUI* control)
{
    return control != NULL && control->GetManager() == manager && control->IsVisible() &&
           control->IsEnabled();
}
}  // namespace

void CManagerUI::SetFocus(CControlUI* pControl, bool bFocusWnd)
{
    if (bFocusWnd && paintWindow != NULL && ::GetFocus() != paintWindow && pControl != focus && !noActivate)
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
    RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, this, pControl);
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

    RaiseChangeEvent(this, pControl, msg.type);
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

bool CManagerUI::SetNextTabControl(bool bForward)
{
    // While the tree is about to move, the move waits for the next paint.
    if (updateNeeded && bForward)
    {
        focusNeeded = true;
        Invalidate();
        return true;
    }
    if (root == NULL)
    {
        focusNeeded = false;
        return true;
    }

    // The next (or previous) tab stop, wrapping around at the ends.
    CControlUI* last = NULL;
    CControlUI* found = TabSearch(root, focus, bForward, &last);
    if (found == NULL)
        found = bForward ? TabSearch(root, NULL, true, NULL) : last;

    if (found != NULL)
    {
        SetFocus(found, true);
        // A control with links inside starts at the end Tab came from.
        ITabLinksUI* links = focus == found ? AsTabLinks(found) : NULL;
        if (links != NULL)
            links->EnterByTab(bForward);
    }
    focusNeeded = false;
    return true;
}

void CManagerUI::SetFocusNeeded(CControlUI* pControl)
{
    if (!noActivate)
        ::SetFocus(paintWindow);
    if (pControl == NULL)
        return;
    if (focus != NULL)
    {
        CControlUI* old = focus;
        focus = NULL;
        TControlEvent event = FocusEvent(EventKillFocus, pControl);
        old->DispatchEvent(event);
        SendNotify(old, NotifyType::KillFocus);
    }
    // The focus is parked on the tab stop before the control, without
    // events; the forward move at the next paint lands on the control.
    if (root != NULL)
        focus = TabSearch(root, pControl, false, NULL);
    focusNeeded = true;
    if (root != NULL)
        root->NeedUpdate();
}
