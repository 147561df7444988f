#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "dispatch_test_support.h"

namespace
{
// A row of four controls; t1, t2 and t3 are tab stops, "plain" is not.
class KeyboardDispatch : public CDispatchFixture
{
protected:
    KeyboardDispatch() : CDispatchFixture(300, 100, true)
    {
        t1 = AddProbe("t1", FlagTabStop, 0);
        plain = AddProbe("plain", 0, 1);
        t2 = AddProbe("t2", FlagTabStop, 2);
        t3 = AddProbe("t3", FlagTabStop, 3);
        manager.AttachRoot(panel);
        manager.AddNotifier(&receivers);
        panel->SetPos({0, 0, 300, 100}, false);
        PaintPending();  // the first layout
        log.clear();
    }

    // Runs the paints the window asks for, as its message loop would.
    void PaintPending()
    {
        RECT dirty;
        for (int i = 0; i < 5 && ::GetUpdateRect(host.Get(), &dirty, FALSE); ++i)
            Deliver(manager, WM_PAINT);
    }

    CProbeControl* AddProbe(const char* name, UINT flags, int slot)
    {
        CProbeControl* probe = new CProbeControl(name, &log, {slot * 70, 0, slot * 70 + 60, 50});
        probe->flags = flags;
        panel->Add(probe);
        return probe;
    }

    void PressTab(bool shift)
    {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        EXPECT_TRUE(manager.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0));
        keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
    }

    CProbeControl* t1;
    CProbeControl* plain;
    CProbeControl* t2;
    CProbeControl* t3;
};
}  // namespace

TEST_F(KeyboardDispatch, AnAttachedTreeFocusesItsFirstTabStopAtTheFirstPaint)
{
    EXPECT_EQ(manager.GetFocus(), t1);
    EXPECT_FALSE(manager.FocusNeeded());
}

TEST_F(KeyboardDispatch, TabWalksTheTabStopsAndWrapsAtBothEnds)
{
    struct Step
    {
        bool shift;
        CControlUI* expected;
    };
    const Step steps[] = {
        {false, t2}, {false, t3}, {false, t1}, {true, t3}, {true, t2}, {true, t1}, {true, t3},
    };
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i)
    {
        PressTab(steps[i].shift);
        EXPECT_EQ(manager.GetFocus(), steps[i].expected) << "step " << i;
    }

    // Without a focus either direction starts at the first tab stop.
    for (bool shift : {false, true})
    {
        manager.SetFocus(NULL);
        PressTab(shift);
        EXPECT_EQ(manager.GetFocus(), t1) << "shift " << shift;
    }
}

TEST_F(KeyboardDispatch, FocusMovesTellTheOldControlFirst)
{
    PressTab(false);
    const TLog expected = {"t1:killfocus-event", "t1:killfocus", "t2:setfocus-event", "t2:setfocus"};
    EXPECT_EQ(log, expected);
}

TEST_F(KeyboardDispatch, ReplacingTheRootTakesTheFocusAwayWithItsNotification)
{
    ASSERT_EQ(manager.GetFocus(), t1);
    manager.AttachRoot(new CTestPanel);
    const TLog expected = {"t1:killfocus-event", "t1:killfocus"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(manager.GetFocus(), (CControlUI*)NULL);
}

TEST_F(KeyboardDispatch, TabDuringAPendingLayoutWaitsForThePaint)
{
    ASSERT_EQ(manager.GetFocus(), t1);
    manager.NeedUpdate();
    PressTab(false);
    EXPECT_EQ(manager.GetFocus(), t1);
    EXPECT_TRUE(manager.FocusNeeded());

    PaintPending();
    EXPECT_EQ(manager.GetFocus(), t2);
    EXPECT_FALSE(manager.FocusNeeded());
}

TEST_F(KeyboardDispatch, FocusNeededLandsOnTheControlAtTheNextPaint)
{
    manager.SetFocusNeeded(t3);
    EXPECT_EQ(manager.GetFocus(), t2) << "parked on the tab stop before it";
    PaintPending();
    EXPECT_EQ(manager.GetFocus(), t3);
}

TEST_F(KeyboardDispatch, KeysGoToTheFocusAndKeyUpToTheControlThatSawTheKeyDown)
{
    Deliver(manager, WM_KEYDOWN, 'A', 0);
    Deliver(manager, WM_CHAR, 'a', 0);
    PressTab(false);
    Deliver(manager, WM_KEYUP, 'A', 0);
    const TLog expected = {"t1:keydown",   "t1:char",           "t1:killfocus-event",
                           "t1:killfocus", "t2:setfocus-event", "t2:setfocus",
                           "t1:keyup"};
    EXPECT_EQ(log, expected);
}

TEST(ShortcutKeys, AltLetterFindsTheControlOrTheOneBeforeItsLabel)
{
    struct Case
    {
        const char* what;
        const wchar_t* labelClass;
        WCHAR shortcut;
        WCHAR typed;
        const char* expected;  // null: nothing consumed
    };
    const Case cases[] = {
        // Children are searched from last to first: the label hands its
        // letter to the control placed before it.
        {"label names the edit", L"Label", L's', L's', "edit"},
        {"upper-case typing", L"Label", L's', L'S', "edit"},
        {"a button takes its own letter", L"Button", L'S', L's', "owner"},
        // Letters outside Latin-1 are upper-cased by the system's rules.
        {"cyrillic", L"Button", 0x0436, 0x0416, "owner"},
        {"cyrillic typed small", L"Button", 0x0416, 0x0436, "owner"},
        {"greek", L"Button", 0x03C3, 0x03A3, "owner"},
        {"another letter", L"Button", L'S', L'x', nullptr},
    };
    for (const Case& c : cases)
    {
        CManagerProbe manager;
        CHostWindow host(manager, 200, 100);
        TLog log;
        CTestPanel* panel = new CTestPanel;
        CProbeControl* edit = new CProbeControl("edit", &log, {0, 0, 50, 20});
        CProbeControl* owner = new CProbeControl("owner", &log, {60, 0, 110, 20});
        owner->className = c.labelClass;
        owner->SetShortcut(c.shortcut);
        panel->Add(edit);
        panel->Add(owner);
        manager.AttachRoot(panel);
        panel->SetPos({0, 0, 200, 100}, false);

        const bool consumed = manager.PreMessageHandler(WM_SYSCHAR, c.typed, 0);
        if (c.expected == nullptr)
        {
            EXPECT_FALSE(consumed) << c.what;
            EXPECT_EQ(manager.GetFocus(), (CControlUI*)NULL) << c.what;
            continue;
        }
        EXPECT_TRUE(consumed) << c.what;
        ASSERT_NE(manager.GetFocus(), (CControlUI*)NULL) << c.what;
        EXPECT_EQ(Narrow(manager.GetFocus()->GetName()), c.expected) << c.what;
        EXPECT_NE(std::find(log.begin(), log.end(), std::string(c.expected) + ":activate"), log.end())
            << c.what;
    }
}

TEST(ShortcutKeys, ControlsWithoutALetterNeverMatch)
{
    CManagerProbe manager;
    CHostWindow host(manager, 200, 100);
    CTestPanel* panel = new CTestPanel;
    panel->Add(new CProbeControl("none", NULL, {0, 0, 50, 20}));
    manager.AttachRoot(panel);
    EXPECT_FALSE(manager.PreMessageHandler(WM_SYSCHAR, 0, 0));
    EXPECT_EQ(manager.GetFocus(), (CControlUI*)NULL);
}

TEST_F(KeyboardDispatch, PreTranslationAsksAcceleratorsFirstThenTheKeyHandling)
{
    struct CAccelerator : ITranslateAccelerator
    {
        UINT eats = 0;
        int asked = 0;
        LRESULT TranslateAccelerator(MSG* pMsg) override
        {
            ++asked;
            return pMsg->message == eats ? S_OK : S_FALSE;
        }
    } accelerator;
    manager.AddTranslateAccelerator(&accelerator);
    MSG tab = {host.Get(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};

    // The paint window's own Tab: consumed, the focus moves.
    EXPECT_TRUE(CManagerUI::PreTranslateMessage(&tab));
    EXPECT_EQ(manager.GetFocus(), t2);
    EXPECT_EQ(accelerator.asked, 1);

    // An accelerator that takes the message leaves the focus alone.
    accelerator.eats = WM_KEYDOWN;
    EXPECT_TRUE(CManagerUI::PreTranslateMessage(&tab));
    EXPECT_EQ(manager.GetFocus(), t2);
    accelerator.eats = 0;

    // A native child's Tab moves the focus too, and still reaches the child.
    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 60, 20, 20, host.Get(), NULL,
                                   ::GetModuleHandleW(NULL), NULL);
    MSG childTab = {child, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_FALSE(CManagerUI::PreTranslateMessage(&childTab));
    EXPECT_EQ(manager.GetFocus(), t3);
    ::DestroyWindow(child);

    // Messages of windows without a manager are not touched.
    MSG strangerTab = {::GetDesktopWindow(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_FALSE(CManagerUI::PreTranslateMessage(&strangerTab));
    manager.RemoveTranslateAccelerator(&accelerator);
}

TEST(WindowMessages, AnswersOfTheWindowLevelMessages)
{
    CManagerProbe manager;
    CHostWindow host(manager, 100, 100);
    CTestPanel* panel = new CTestPanel;
    CProbeControl* probe = new CProbeControl("p", NULL, {0, 0, 100, 100});
    panel->Add(probe);
    manager.AttachRoot(panel);
    panel->SetPos({0, 0, 100, 100}, false);

    bool handled = false;
    EXPECT_EQ(Deliver(manager, WM_ERASEBKGND, 0, 0, &handled), 1);
    EXPECT_TRUE(handled) << "nothing is erased: the paint covers it";

    Deliver(manager, WM_MOUSEACTIVATE, 0, 0, &handled);
    EXPECT_FALSE(handled);
    manager.SetNoActivate(true);
    EXPECT_EQ(Deliver(manager, WM_MOUSEACTIVATE, 0, 0, &handled), MA_NOACTIVATE);
    EXPECT_TRUE(handled);

    manager.SetMinInfo(50, 0);
    manager.SetMaxInfo(0, 400);
    MINMAXINFO info = {};
    info.ptMinTrackSize = {1, 2};
    info.ptMaxTrackSize = {3, 4};
    Deliver(manager, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), &handled);
    EXPECT_FALSE(handled);
    EXPECT_EQ(info.ptMinTrackSize.x, 50);
    EXPECT_EQ(info.ptMinTrackSize.y, 2) << "0 keeps the system's value";
    EXPECT_EQ(info.ptMaxTrackSize.x, 3);
    EXPECT_EQ(info.ptMaxTrackSize.y, 400);

    // Reflection needs a child window to reflect to.
    Deliver(manager, WM_COMMAND, 0, 0, &handled);
    EXPECT_FALSE(handled);
    Deliver(manager, WM_NOTIFY, 0, 0, &handled);
    EXPECT_FALSE(handled);

    // A size change lays the tree out again at the next paint.
    ASSERT_FALSE(panel->IsUpdateNeeded());
    EXPECT_EQ(Deliver(manager, WM_SIZE, 0, MAKELPARAM(100, 100), &handled), 0);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(panel->IsUpdateNeeded());
    EXPECT_TRUE(manager.IsUpdateNeeded());

    // A control that does not choose the cursor leaves it to the window class.
    ::SetCursorPos(150, 150);  // over the host at (100,100)
    Deliver(manager, WM_SETCURSOR, reinterpret_cast<WPARAM>(host.Get()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE),
            &handled);
    EXPECT_FALSE(handled);
    probe->flags = FlagSetCursor;
    Deliver(manager, WM_SETCURSOR, reinterpret_cast<WPARAM>(host.Get()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE),
            &handled);
    EXPECT_TRUE(handled);
}
