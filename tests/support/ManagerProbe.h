#pragma once

#include <windows.h>

#include "ui/manager/Manager.h"

// A manager whose bookkeeping (queues, input and painting state) the tests can
// read and set.
class CManagerProbe : public CManagerUI
{
public:
    CPtrList& PostPaintControls() { return postPaintControls; }
    CPtrList& NativeWindows() { return nativeWindows; }
    CPtrList& NativeWindowControls() { return nativeWindowControls; }
    CPtrList& DelayedCleanup() { return delayedCleanup; }
    CPtrList& MouseLeaveNeeded() { return mouseLeaveNeeded; }
    CPtrList& AsyncNotify() { return asyncNotify; }
    int NativeWindowCount() const { return nativeWindows.GetSize(); }

    bool MouseTracking() const { return mouseTracking; }
    HWND ToolTipWindow() const { return tooltipWindow; }
    CControlUI* Hover() const { return hover; }
    CControlUI* EventClick() const { return eventClick; }
    bool FocusNeeded() const { return focusNeeded; }
    void SetHoverTime(DWORD ms) { hoverTime = ms; }
    const CPtrList& Timers() const { return timers; }
    // The system timer id behind a control's timer, or -1.
    int WinTimerId(CControlUI* control, UINT localId) const;

    LPDWORD OffscreenBits() const { return offscreen.Bits(); }
    RECT LayeredDirtyRect() const { return layeredDirtyRect; }
    void SetLayeredDirtyRect(const RECT& rc) { layeredDirtyRect = rc; }
};
