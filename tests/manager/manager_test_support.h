#pragma once

#include <windows.h>

#include "ui/controls/Container.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

// Opens the manager's bookkeeping lists to the tests.
class CManagerProbe : public CManagerUI
{
public:
    CPtrList& PostPaintControls() { return postPaintControls; }
    CPtrList& NativeWindows() { return nativeWindows; }
    CPtrList& NativeWindowControls() { return nativeWindowControls; }
    CPtrList& DelayedCleanup() { return delayedCleanup; }
    CPtrList& MouseLeaveNeeded() { return mouseLeaveNeeded; }
    CPtrList& AsyncNotify() { return asyncNotify; }
};

// A control that counts how many of its kind are alive.
class CCountedControl : public CControlUI
{
public:
    explicit CCountedControl(LPCWSTR name = NULL)
    {
        ++alive;
        if (name != NULL)
            SetName(name);
    }
    ~CCountedControl() override { --alive; }
    static int alive;
};

// A top-level test window, destroyed at the end of the scope.
class CTestWindow
{
public:
    CTestWindow();
    ~CTestWindow();
    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd;
};
