#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "dispatch_test_support.h"

namespace
{
// Two controls side by side in a 200x100 window:
// a at (10,10)-(90,90), b at (110,10)-(190,90).
class MouseDispatch : public CDispatchFixture
{
protected:
    MouseDispatch() : CDispatchFixture(200, 100)
    {
        panel->SetMouseEnabled(false);  // only a and b are hit
        a = new CProbeControl("a", &log, {10, 10, 90, 90});
        b = new CProbeControl("b", &log, {110, 10, 190, 90});
        panel->Add(a);
        panel->Add(b);
        manager.AttachRoot(panel);
        manager.AddNotifier(&receivers);
        panel->SetPos({0, 0, 200, 100}, false);
    }

    CProbeControl* a;
    CProbeControl* b;
};
}  // namespace

TEST_F(MouseDispatch, PressThenReleaseClicksOnlyWhenReleasedOverThePressedControl)
{
    struct Case
    {
        const char* what;
        POINT release;
        TLog expected;
    };
    const Case cases[] = {
        {"inside", {50, 50}, {"a:down", "a:up", "a:click"}},
        // Hover waits for the release, then follows the pointer.
        {"over the sibling", {150, 50}, {"a:down", "a:up", "a:leave", "b:enter"}},
        {"outside the window", {-30, 400}, {"a:down", "a:up", "a:leave"}},
    };
    for (const Case& c : cases)
    {
        Deliver(manager, WM_MOUSEMOVE, 0, At(50, 50));
        log.clear();
        Deliver(manager, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 50));
        // The press takes the mouse, so the release reaches a wherever it happens.
        EXPECT_TRUE(manager.IsCaptured()) << c.what;
        EXPECT_EQ(::GetCapture(), host.Get()) << c.what;
        Deliver(manager, WM_LBUTTONUP, 0, At(c.release.x, c.release.y));
        EXPECT_FALSE(manager.IsCaptured()) << c.what;
        EXPECT_EQ(::GetCapture(), (HWND)NULL) << c.what;
        // Releasing our own capture is not a lost capture: exactly one "up".
        log.erase(
            std::remove_if(log.begin(), log.end(),
                           [](const std::string& line) { return line.find("focus") != std::string::npos; }),
            log.end());
        EXPECT_EQ(log, c.expected) << c.what;
    }
}

TEST_F(MouseDispatch, PressElsewhereTouchesNothing)
{
    Deliver(manager, WM_LBUTTONDOWN, MK_LBUTTON, At(100, 95));
    EXPECT_FALSE(manager.IsCaptured());
    Deliver(manager, WM_LBUTTONUP, 0, At(50, 50));
    EXPECT_TRUE(log.empty());
}

TEST_F(MouseDispatch, LeavingOneControlForItsSiblingSendsLeaveBeforeEnter)
{
    CProbeControl* watcher = new CProbeControl("w", &log, {0, 0, 0, 0});
    panel->Add(watcher);
    manager.AddMouseLeaveNeeded(watcher);

    Deliver(manager, WM_MOUSEMOVE, 0, At(20, 20));
    Deliver(manager, WM_MOUSEMOVE, 0, At(30, 20));  // still over a: nothing new
    Deliver(manager, WM_MOUSEMOVE, 0, At(150, 20));
    const TLog expected = {"a:enter", "w:leave", "a:leave", "b:enter"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(manager.Hover(), b);

    // Off every control: leave, and nothing is hovered.
    log.clear();
    Deliver(manager, WM_MOUSEMOVE, 0, At(100, 95));
    const TLog off = {"w:leave", "b:leave"};
    EXPECT_EQ(log, off);
    EXPECT_EQ(manager.Hover(), (CControlUI*)NULL);
}

TEST_F(MouseDispatch, MovesDuringAPressGoToThePressedControlAndHoverWaits)
{
    Deliver(manager, WM_MOUSEMOVE, 0, At(20, 20));
    Deliver(manager, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    log.clear();
    Deliver(manager, WM_MOUSEMOVE, MK_LBUTTON, At(150, 20));
    EXPECT_TRUE(log.empty()) << "no hover change while captured";
    EXPECT_EQ(manager.Hover(), a);
    Deliver(manager, WM_LBUTTONUP, 0, At(150, 20));
    Deliver(manager, WM_MOUSEMOVE, 0, At(151, 20));
    const TLog expected = {"a:up", "a:leave", "b:enter"};
    EXPECT_EQ(log, expected);
}

TEST_F(MouseDispatch, ALostCaptureEndsThePressWithoutAClick)
{
    Deliver(manager, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 50));
    ASSERT_TRUE(manager.IsCaptured());
    log.clear();

    // Another window (a message box, say) takes the mouse over the control.
    CTestWindow other;
    ::SetCapture(other.Get());  // the system sends WM_CAPTURECHANGED to the host
    EXPECT_FALSE(manager.IsCaptured());
    EXPECT_EQ(manager.EventClick(), (CControlUI*)NULL);
    EXPECT_FALSE(a->pressed);
    const TLog ended = {"a:up"};
    EXPECT_EQ(log, ended);

    // The release that follows finds no press, and takes no capture from
    // the window that now holds it.
    Deliver(manager, WM_LBUTTONUP, 0, At(50, 50));
    EXPECT_EQ(log, ended);
    EXPECT_EQ(::GetCapture(), other.Get());
    ::ReleaseCapture();
}

TEST_F(MouseDispatch, TrackingIsOnlyCountedWhenTheSystemArmedIt)
{
    // The hidden window is never under the pointer: no leave report would
    // ever come, so the next move must ask again.
    Deliver(manager, WM_MOUSEMOVE, 0, At(20, 20));
    EXPECT_FALSE(manager.MouseTracking());
}

TEST_F(MouseDispatch, CloseEndsHoverAndPressAndForgetsTheTooltipWindow)
{
    a->SetToolTip(L"first tip");
    Deliver(manager, WM_MOUSEMOVE, 0, At(20, 20));
    bool handled = false;
    Deliver(manager, WM_MOUSEHOVER, 0, At(20, 20), &handled);
    EXPECT_TRUE(handled);
    const HWND tip = manager.ToolTipWindow();
    ASSERT_NE(tip, (HWND)NULL);
    ASSERT_TRUE(::IsWindow(tip));

    Deliver(manager, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
    log.clear();
    Deliver(manager, WM_CLOSE);
    // The press ends at the last mouse position, so over a it still counts.
    const TLog expected = {"a:leave", "a:up", "a:click", "a:killfocus-event", "a:killfocus"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(::IsWindow(tip));
    EXPECT_EQ(manager.ToolTipWindow(), (HWND)NULL);

    // The next hover builds a new tooltip window instead of talking to a dead handle.
    Deliver(manager, WM_MOUSEMOVE, 0, At(21, 20));
    Deliver(manager, WM_MOUSEHOVER, 0, At(21, 20));
    EXPECT_TRUE(::IsWindow(manager.ToolTipWindow()));
}

TEST_F(MouseDispatch, HoverWithoutAControlIsLeftToTheSystem)
{
    bool handled = true;
    Deliver(manager, WM_MOUSEHOVER, 0, At(100, 95), &handled);
    EXPECT_FALSE(handled);
    EXPECT_EQ(manager.ToolTipWindow(), (HWND)NULL);
}

TEST_F(MouseDispatch, MessageFiltersComeFirstAndKeepTheMousePosition)
{
    struct CEatMouseMove : IMessageFilterUI
    {
        LRESULT MessageHandler(UINT uMsg, WPARAM, LPARAM, bool& handled) override
        {
            handled = uMsg == WM_MOUSEMOVE;
            return 7;
        }
    } filter;
    manager.AddMessageFilter(&filter);
    bool handled = false;
    EXPECT_EQ(Deliver(manager, WM_MOUSEMOVE, 0, At(20, 20), &handled), 7);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(manager.GetMousePos().x, 20);
    manager.RemoveMessageFilter(&filter);
}

namespace
{
// Records the keyState of every move and enter event it gets.
class CKeyStateProbe : public CProbeControl
{
public:
    CKeyStateProbe(TLog* log, RECT pos) : CProbeControl("k", log, pos) {}
    void HandleEvent(TControlEvent& event) override
    {
        if (event.kind == EventMouseMove || event.kind == EventMouseEnter)
            states.push_back(event.keyState);
        CProbeControl::HandleEvent(event);
    }
    std::vector<WORD> states;
};

class KeyStateDispatch : public CDispatchFixture
{
protected:
    KeyStateDispatch() : CDispatchFixture(200, 100)
    {
        panel->SetMouseEnabled(false);
        probe = new CKeyStateProbe(&log, {10, 10, 90, 90});
        panel->Add(probe);
        panel->Add(new CProbeControl("o", &log, {110, 10, 190, 90}));
        manager.AttachRoot(panel);
        panel->SetPos({0, 0, 200, 100}, false);
    }

    CKeyStateProbe* probe;
};
}  // namespace

// No key is held while the test runs, so every bit seen comes from the
// message's own flags; the middle and extra buttons have no keyState bit (the
// extra button's flag shares its value with the Alt bit).
TEST_F(KeyStateDispatch, MoveEventsTakeButtonsShiftAndControlFromTheMessageFlags)
{
    struct Case
    {
        WPARAM flags;
        WORD expected;
    };
    const Case cases[] = {
        {0, 0},
        {MK_LBUTTON, KeyStateLeftButton},
        {MK_RBUTTON | MK_SHIFT, KeyStateRightButton | KeyStateShift},
        {MK_CONTROL | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2, KeyStateControl},
        {MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL, 0x0F},
    };
    ASSERT_GE(::GetKeyState(VK_MENU), 0) << "Alt must not be held";
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.flags);
        probe->states.clear();
        Deliver(manager, WM_MOUSEMOVE, 0, At(150, 50));  // over b: a is left
        Deliver(manager, WM_MOUSEMOVE, c.flags, At(50, 50));
        const std::vector<WORD> expected = {c.expected, c.expected};  // enter, then move
        EXPECT_EQ(probe->states, expected);
    }
}
