#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/Describe.h"
#include "tests/support/ManagerProbe.h"
#include "tests/support/TestEvents.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/Container.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

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

// Records notifications into a log.
class CNotifyLog : public INotifyUI
{
public:
    explicit CNotifyLog(TLog* target) : log(target) {}
    void Notify(TNotifyMsg& msg) override;
    TLog* log;
    std::vector<TNotifyMsg> messages;
};

// What the dispatch fixtures share: a manager on a host window of the given
// size, an empty test panel for the fixture to fill and attach, and a log of
// notifications that the fixture registers where its order of events wants it.
class CDispatchFixture : public ::testing::Test
{
protected:
    CDispatchFixture(int width, int height, bool visible = false)
        : host(manager, width, height, visible),
          receivers(&log),
          panel(new CTestPanel)
    {
    }
    ~CDispatchFixture() override { manager.RemoveNotifier(&receivers); }

    CManagerProbe manager;
    CHostWindow host;
    TLog log;
    CNotifyLog receivers;
    CTestPanel* panel;
};

// Sends a message straight to the manager's handler.
LRESULT Deliver(CManagerUI& manager, UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0, bool* handled = NULL);
