#include <gtest/gtest.h>

#include <windows.h>

#include "dispatch_test_support.h"
#include "tests/support/TestControls.h"

namespace
{
class TimerDispatch : public CDispatchFixture
{
protected:
    TimerDispatch() : CDispatchFixture(100, 100)
    {
        a = new CProbeControl("a", &log);
        b = new CProbeControl("b", &log);
        panel->Add(a);
        panel->Add(b);
        manager.AttachRoot(panel);
        manager.AddNotifier(&receivers);
    }

    void Fire(int winTimerId) { Deliver(manager, WM_TIMER, static_cast<WPARAM>(winTimerId), 0); }

    CProbeControl* a;
    CProbeControl* b;
};
}  // namespace

TEST_F(TimerDispatch, EachControlTimerHasItsOwnSystemTimer)
{
    ASSERT_TRUE(manager.SetTimer(a, 1, 1000));
    ASSERT_TRUE(manager.SetTimer(b, 1, 1000));
    ASSERT_TRUE(manager.SetTimer(a, 2, 1000));
    const int a1 = manager.WinTimerId(a, 1);
    const int b1 = manager.WinTimerId(b, 1);
    const int a2 = manager.WinTimerId(a, 2);
    EXPECT_EQ(a1, 17) << "the first id of a manager";
    EXPECT_NE(a1, b1);
    EXPECT_NE(a1, a2);

    Fire(b1);
    Fire(a2);
    ASSERT_EQ(receivers.messages.size(), 2u);
    EXPECT_EQ(receivers.messages[0].sender, b);
    EXPECT_EQ(receivers.messages[0].wParam, 1u) << "the control's own id";
    EXPECT_EQ(receivers.messages[1].sender, a);
    EXPECT_EQ(receivers.messages[1].wParam, 2u);
}

TEST_F(TimerDispatch, ARunningTimerKeepsItsPeriodAndAStoppedOneRestarts)
{
    EXPECT_TRUE(manager.SetTimer(a, 5, 1000));
    EXPECT_FALSE(manager.SetTimer(a, 5, 20)) << "already running";
    const int id = manager.WinTimerId(a, 5);

    EXPECT_TRUE(manager.KillTimer(a, 5));
    EXPECT_FALSE(manager.KillTimer(a, 5)) << "already stopped";
    Fire(id);
    EXPECT_TRUE(log.empty()) << "a stopped timer delivers nothing";

    EXPECT_TRUE(manager.SetTimer(a, 5, 20));
    EXPECT_EQ(manager.WinTimerId(a, 5), id) << "the record is reused";
    Fire(id);
    const TLog fired = {"a:timer-event", "a:timer"};
    EXPECT_EQ(log, fired);

    manager.KillTimers(a);
    EXPECT_EQ(manager.WinTimerId(a, 5), -1);
    EXPECT_FALSE(manager.KillTimer(a, 5));
}

TEST_F(TimerDispatch, IdsWrapAroundWithoutTakingOneInUse)
{
    // a holds 17; b's timers come and go until the counter comes round to 17.
    ASSERT_TRUE(manager.SetTimer(a, 1, 100000));
    std::vector<int> ids;
    for (int i = 0; i < 255; ++i)
    {
        ASSERT_TRUE(manager.SetTimer(b, 1, 100000)) << i;
        ids.push_back(manager.WinTimerId(b, 1));
        manager.KillTimers(b);
    }
    EXPECT_EQ(ids[0], 18);
    EXPECT_EQ(ids[237], 0) << "the 239th timer of the manager";
    EXPECT_EQ(ids[253], 16);
    EXPECT_EQ(ids[254], 18) << "17 is a's, so it is skipped";

    // a's timer is still a's.
    Fire(17);
    const TLog fired = {"a:timer-event", "a:timer"};
    EXPECT_EQ(log, fired);
}

TEST_F(TimerDispatch, AllIdsInUseIsAFailureNotAHang)
{
    int started = 0;
    for (int i = 0; i < 255; ++i)
        started += manager.SetTimer(a, static_cast<UINT>(i), 100000) ? 1 : 0;
    EXPECT_EQ(started, 255);
    EXPECT_FALSE(manager.SetTimer(b, 1, 100000));
    manager.RemoveAllTimers();
    EXPECT_TRUE(manager.SetTimer(b, 1, 100000));
}

TEST_F(TimerDispatch, ADestroyedControlLosesItsTimers)
{
    ASSERT_TRUE(manager.SetTimer(b, 1, 100000));
    const int id = manager.WinTimerId(b, 1);
    panel->Remove(b, true);
    b->Delete();
    Fire(id);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(manager.Timers().GetSize(), 0);
}

TEST_F(TimerDispatch, QueuedNotificationsCoalesceAndWaitForTheFlush)
{
    manager.SendNotify(a, NotifyType::Scroll, 1, 10, true, false);
    manager.SendNotify(b, NotifyType::Scroll, 5, 50, true, false);
    manager.SendNotify(a, NotifyType::Scroll, 2, 20, true, false);
    manager.SendNotify(a, NotifyType::Click, 3, 30, true, true);
    manager.SendNotify(a, NotifyType::Click, 4, 40, true, true);
    EXPECT_TRUE(receivers.messages.empty()) << "nothing before the flush";

    Deliver(manager, FlushMessage);
    ASSERT_EQ(receivers.messages.size(), 4u);
    struct Expected
    {
        CControlUI* sender;
        const wchar_t* type;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Expected expected[] = {
        {a, L"scroll", 2, 20},  // the second scroll of a updated the first
        {b, L"scroll", 5, 50},
        {a, L"click", 3, 30},  // repeats allowed: both arrive
        {a, L"click", 4, 40},
    };
    for (size_t i = 0; i < 4; ++i)
    {
        EXPECT_EQ(receivers.messages[i].sender, expected[i].sender) << i;
        EXPECT_TRUE(receivers.messages[i].type == expected[i].type) << i;
        EXPECT_EQ(receivers.messages[i].wParam, expected[i].wParam) << i;
        EXPECT_EQ(receivers.messages[i].lParam, expected[i].lParam) << i;
    }
    EXPECT_EQ(manager.AsyncNotify().GetSize(), 0);
}

TEST_F(TimerDispatch, ASenderDeletedBeforeTheFlushArrivesAsNone)
{
    manager.SendNotify(b, NotifyType::Scroll, 7, 0, true, false);
    panel->Remove(b, true);
    b->Delete();

    Deliver(manager, FlushMessage);
    ASSERT_EQ(receivers.messages.size(), 1u);
    EXPECT_EQ(receivers.messages[0].sender, (CControlUI*)NULL);
    EXPECT_EQ(receivers.messages[0].wParam, 7u);
}

TEST_F(TimerDispatch, TheFlushDeliversWhatReceiversQueueAndThenDeletesScheduledControls)
{
    struct CRequeue : INotifyUI
    {
        CManagerUI* manager = NULL;
        CControlUI* victim = NULL;
        int seen = 0;
        int aliveAtSecond = -1;
        void Notify(TNotifyMsg& msg) override
        {
            if (++seen == 1)
            {
                manager->SendNotify(msg.sender, NotifyType::Scroll, 9, 0, true, false);
                manager->ScheduleDelete(victim);
            }
            else
            {
                aliveAtSecond = CCountedControl::alive;
            }
        }
    };
    const int aliveBefore = CCountedControl::alive;
    CRequeue requeue;
    requeue.manager = &manager;
    requeue.victim = new CCountedControl(L"victim");
    manager.AddNotifier(&requeue);

    manager.SendNotify(a, NotifyType::Click, 0, 0, true, true);
    Deliver(manager, FlushMessage);
    EXPECT_EQ(requeue.seen, 2) << "the requeued message arrives in the same flush";
    EXPECT_EQ(requeue.aliveAtSecond, aliveBefore + 1) << "deletions wait until every message is out";
    EXPECT_EQ(CCountedControl::alive, aliveBefore);
    EXPECT_EQ(manager.AsyncNotify().GetSize(), 0);
    manager.RemoveNotifier(&requeue);
}
