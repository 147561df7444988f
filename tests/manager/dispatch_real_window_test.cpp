#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "dispatch_test_support.h"
#include "tests/support/RealInput.h"

// A shown window fed by the system's own input: the capture, the hover and
// leave reports and the system timers are the real ones.

namespace
{
const int kLeft = 100;
const int kTop = 100;

size_t Count(const TLog& log, const std::string& line)
{
    return static_cast<size_t>(std::count(log.begin(), log.end(), line));
}
}  // namespace

TEST(RealWindow, CaptureHoverLeaveAndTimersWithSystemInput)
{
    CManagerProbe manager;
    manager.SetHoverTime(50);
    CHostWindow host(manager, 200, 100, true);
    ::SetWindowPos(host.Get(), HWND_TOPMOST, kLeft, kTop, 200, 100, SWP_SHOWWINDOW);
    TLog log;
    CNotifyLog receivers(&log);
    CTestPanel* panel = new CTestPanel;
    panel->SetMouseEnabled(false);
    CProbeControl* a = new CProbeControl("a", &log, {10, 10, 90, 90});
    a->SetToolTip(L"tip");
    panel->Add(a);
    manager.AttachRoot(panel);
    manager.AddNotifier(&receivers);
    host.Pump();

    // Over a: entered, tracked, and after a rest the hover report.
    MoveMouse(kLeft + 50, kTop + 50);
    ASSERT_TRUE(host.PumpUntil([&] { return manager.Hover() == a; }, 3000));
    EXPECT_TRUE(manager.MouseTracking()) << "the pointer is over the window: the request was armed";
    EXPECT_TRUE(host.PumpUntil([&] { return Count(log, "a:hover") > 0; }, 3000));
    EXPECT_TRUE(::IsWindow(manager.ToolTipWindow()));
    EXPECT_TRUE(::IsWindowVisible(manager.ToolTipWindow())) << "the tip is shown";

    // A press takes the capture; the release far outside still reaches a,
    // and is no click.
    MouseButton(true);
    ASSERT_TRUE(host.PumpUntil([&] { return Count(log, "a:down") > 0; }, 3000));
    EXPECT_EQ(::GetCapture(), host.Get());
    MoveMouse(kLeft + 400, kTop + 300);
    MouseButton(false);
    ASSERT_TRUE(host.PumpUntil([&] { return Count(log, "a:up") > 0; }, 3000));
    EXPECT_EQ(::GetCapture(), (HWND)NULL);
    EXPECT_FALSE(manager.IsCaptured());
    EXPECT_EQ(Count(log, "a:click"), 0u);
    EXPECT_EQ(Count(log, "a:up"), 1u) << "releasing our own capture is no lost capture";

    // Outside the window the leave report settles hover.
    EXPECT_TRUE(host.PumpUntil([&] { return manager.Hover() == NULL; }, 3000));
    EXPECT_GE(Count(log, "a:leave"), 1u);
    EXPECT_FALSE(::IsWindowVisible(manager.ToolTipWindow())) << "the tip goes with the hover";

    // A press and release over a is a click.
    MoveMouse(kLeft + 40, kTop + 40);
    ASSERT_TRUE(host.PumpUntil([&] { return manager.Hover() == a; }, 3000));
    MouseButton(true);
    MouseButton(false);
    EXPECT_TRUE(host.PumpUntil([&] { return Count(log, "a:click") == 1; }, 3000));

    // A control timer fires through the window's system timer until it is stopped.
    ASSERT_TRUE(manager.SetTimer(a, 3, 10));
    EXPECT_TRUE(host.PumpUntil([&] { return Count(log, "a:timer") >= 2; }, 3000));
    EXPECT_TRUE(manager.KillTimer(a, 3));
    host.Pump();
    const size_t fired = Count(log, "a:timer");
    ::Sleep(100);
    host.Pump();
    EXPECT_EQ(Count(log, "a:timer"), fired);

    MoveMouse(kLeft + 400, kTop + 300);
    host.Pump();
    manager.RemoveNotifier(&receivers);
}

TEST(RealWindow, RemovingThePressedControlDoesNotKeepTheCapture)
{
    CManagerProbe manager;
    CHostWindow host(manager, 200, 100, true);
    ::SetWindowPos(host.Get(), HWND_TOPMOST, kLeft, kTop, 200, 100, SWP_SHOWWINDOW);
    TLog log;
    CTestPanel* panel = new CTestPanel;
    panel->SetMouseEnabled(false);
    CProbeControl* a = new CProbeControl("a", &log, {10, 10, 60, 60});
    CProbeControl* b = new CProbeControl("b", &log, {120, 10, 170, 60});
    panel->Add(a);
    panel->Add(b);
    manager.AttachRoot(panel);
    host.Pump();

    MoveMouse(kLeft + 30, kTop + 30);
    ASSERT_TRUE(host.PumpUntil([&] { return manager.Hover() == a; }, 3000));
    MouseButton(true);
    ASSERT_TRUE(host.PumpUntil([&] { return Count(log, "a:down") > 0; }, 3000));
    ASSERT_EQ(::GetCapture(), host.Get());

    // The pressed control goes away while the button is still down; the
    // release over empty space must give the mouse back all the same.
    ASSERT_TRUE(panel->Remove(a));
    ASSERT_TRUE(host.PumpUntil([&] { return manager.EventClick() == NULL; }, 3000))
        << "a is deleted and forgotten";
    MoveMouse(kLeft + 90, kTop + 80);
    MouseButton(false);
    EXPECT_TRUE(host.PumpUntil([&] { return ::GetCapture() == NULL; }, 1000));
    EXPECT_FALSE(manager.IsCaptured());

    // Hover follows the pointer again.
    MoveMouse(kLeft + 140, kTop + 30);
    EXPECT_TRUE(host.PumpUntil([&] { return manager.Hover() == b; }, 3000));
    EXPECT_EQ(Count(log, "b:enter"), 1u);

    MoveMouse(kLeft + 400, kTop + 300);
    host.Pump();
}
