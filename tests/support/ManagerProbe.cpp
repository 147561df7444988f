#include "tests/support/ManagerProbe.h"

int CManagerProbe::WinTimerId(CControlUI* control, UINT localId) const
{
    for (int i = 0; i < timers.GetSize(); ++i)
    {
        const TTimerEntry* timer = static_cast<const TTimerEntry*>(timers[i]);
        if (timer->control == control && timer->localId == localId)
            return static_cast<int>(timer->winTimerId);
    }
    return -1;
}
