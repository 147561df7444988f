#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls/Container.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

// Opens the manager's input and painting state to the tests.
class CInputProbe : public CManagerUI
{
public:
    bool MouseTracking() const { return mouseTracking; }
    HWND ToolTipWindow() const { return tooltipWindow; }
    CControlUI* Hover() const { return hover; }
    CControlUI* EventClick() const { return eventClick; }
    bool FocusNeeded() const { return focusNeeded; }
    void SetHoverTime(DWORD ms) { hoverTime = ms; }
    const CPtrList& Timers() const { return timers; }
    CPtrList& AsyncNotify() { return asyncNotify; }
    LPDWORD OffscreenBits() const { return offscreen.Bits(); }
    RECT LayeredDirtyRect() const { return layeredDirtyRect; }
    void SetLayeredDirtyRect(const RECT& rc) { layeredDirtyRect = rc; }
    int NativeWindowCount() const { return nativeWindows.GetSize(); }
    // The system timer id behind a control's timer, or -1.
    int WinTimerId(CControlUI* control, UINT localId) const;
};

// One line per event or notification, in the order they happened:
// "<name>:<what>".
typedef std::vector<std::string> TLog;

// A control that logs its events and, like a button, sends "click" when a
// press that started on it ends on it.
class CProbeControl : public CControlUI
{
public:
    CProbeControl(const char* name, TLog* log, RECT pos = RECT());
    LPCWSTR GetClassName() const override { return className.c_str(); }
    UINT GetFlags() const override { return flags; }
    bool Activate() override;
    void HandleEvent(TControlEvent& event) override;
    bool Paint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

    std::string tag;
    std::wstring className;
    UINT flags;
    TLog* log;
    RECT wanted;  // where the test panel places it
    int paints;
    int placements;
    bool pressed;
    // Called once per paint, for controls that act while the tree paints.
    void (*onPaint)(CProbeControl& self);

    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
};

// Places each child at its wanted rectangle, offset by the panel's own
// position; the container base paints them.
class CTestPanel : public CContainerUI
{
public:
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    int placements = 0;
};

// A top-level window whose procedure offers every message to its manager,
// as the application's window does.
class CHostWindow
{
public:
    CHostWindow(CManagerUI& manager, int width, int height, bool visible = false, DWORD style = WS_POPUP);
    ~CHostWindow();
    HWND Get() const { return m_hWnd; }
    // Runs the window's pending messages, for at most ms milliseconds, until done returns true.
    template <class TDone>
    bool PumpUntil(TDone done, DWORD ms);
    void Pump();

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd;
};

// Records notifications into a log.
class CNotifyLog : public INotifyUI
{
public:
    explicit CNotifyLog(TLog* target) : log(target) {}
    void Notify(TNotifyMsg& msg) override;
    TLog* log;
    std::vector<TNotifyMsg> messages;
};

// Sends a message straight to the manager's handler.
LRESULT Deliver(CManagerUI& manager, UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0, bool* handled = NULL);
LPARAM At(int x, int y);
std::string Narrow(LPCWSTR text);

template <class TDone>
bool CHostWindow::PumpUntil(TDone done, DWORD ms)
{
    const DWORD start = ::GetTickCount();
    while (!done())
    {
        if (::GetTickCount() - start > ms)
            return false;
        Pump();
        ::Sleep(5);
    }
    return true;
}
