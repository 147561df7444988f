#include "ui/manager/Manager.h"

#include "ui/controls/Control.h"
#include "ui/core/Check.h"

// Control timers are system timers of the paint window. Each record maps a
// control's own timer id to a window timer id from a small rotating range;
// WM_TIMER finds the record again by the window id.

namespace
{
// The window ids rotate through 0..254, clear of the layered push timer.
const UINT kTimerIdRange = 255;
static_assert(kTimerIdRange <= kLayeredTimerId, "control timer ids must not reach the layered push timer");

TTimerEntry* TimerAt(const CPtrList& timers, int index)
{
    return static_cast<TTimerEntry*>(timers[index]);
}

void StopTimer(TTimerEntry& timer)
{
    if (!timer.killed && ::IsWindow(timer.window))
        ::KillTimer(timer.window, timer.winTimerId);
    timer.killed = true;
}
}  // namespace

bool CManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse)
{
    if (!UI_CHECK(pControl != NULL) || paintWindow == NULL)
        return false;
    for (int i = 0; i < timers.GetSize(); ++i)
    {
        TTimerEntry* timer = TimerAt(timers, i);
        if (timer->control != pControl || timer->window != paintWindow || timer->localId != nTimerID)
            continue;
        // A running timer keeps its period; only a stopped one restarts.
        if (!timer->killed || ::SetTimer(paintWindow, timer->winTimerId, uElapse, NULL) == 0)
            return false;
        timer->killed = false;
        return true;
    }

    // The id after the counter that no record of this window holds, killed
    // records included: they restart under their own id, and a second timer
    // under a live id would silently replace the first.
    UINT winTimerId = 0;
    bool found = false;
    for (UINT tries = 0; tries < kTimerIdRange && !found; ++tries)
    {
        timerIdCounter = (timerIdCounter + 1) % kTimerIdRange;
        winTimerId = timerIdCounter;
        found = true;
        for (int i = 0; i < timers.GetSize() && found; ++i)
        {
            const TTimerEntry* timer = TimerAt(timers, i);
            found = !(timer->window == paintWindow && timer->winTimerId == winTimerId);
        }
    }
    if (!found || ::SetTimer(paintWindow, winTimerId, uElapse, NULL) == 0)
        return false;

    TTimerEntry* timer = new TTimerEntry;
    timer->control = pControl;
    timer->localId = nTimerID;
    timer->window = paintWindow;
    timer->winTimerId = winTimerId;
    timer->killed = false;
    timers.Add(timer);
    return true;
}

bool CManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID)
{
    for (int i = 0; i < timers.GetSize(); ++i)
    {
        TTimerEntry* timer = TimerAt(timers, i);
        if (timer->control == pControl && timer->window == paintWindow && timer->localId == nTimerID &&
            !timer->killed)
        {
            StopTimer(*timer);
            return true;
        }
    }
    return false;
}

void CManagerUI::KillTimers(CControlUI* pControl)
{
    for (int i = timers.GetSize() - 1; i >= 0; --i)
    {
        TTimerEntry* timer = TimerAt(timers, i);
        if (timer->control != pControl || timer->window != paintWindow)
            continue;
        StopTimer(*timer);
        delete timer;
        timers.Remove(i);
    }
}

void CManagerUI::RemoveAllTimers()
{
    for (int i = timers.GetSize() - 1; i >= 0; --i)
    {
        TTimerEntry* timer = TimerAt(timers, i);
        StopTimer(*timer);
        delete timer;
    }
    timers.Empty();
}
