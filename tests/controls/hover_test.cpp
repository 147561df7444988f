#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "control_test_support.h"
#include "tests/support/ManagerProbe.h"
#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/Edit.h"
#include "ui/controls/Label.h"
#include "ui/controls/List.h"
#include "ui/controls/ListHeader.h"
#include "ui/controls/ListItems.h"
#include "ui/controls/Progress.h"
#include "ui/controls/RichEdit.h"
#include "ui/controls/ScrollBar.h"
#include "ui/controls/TreeView.h"

// Every control with a hot look follows one rule: entering makes it hot;
// a leave while the pointer is still over it (a control drawn above took the
// pointer) keeps it hot and asks the manager for the real leave; the real
// leave clears it and drops the request; a disabled control does not turn
// hot and does not stay hot past a leave; a control deleted while it waits
// for the real leave is no longer asked about it.

namespace
{
struct THotControl
{
    const char* name;
    std::function<CControlUI*()> make;
    std::function<bool(CControlUI*)> isHot;
};

template <class T> bool ButtonStateHot(CControlUI* c)
{
    return (static_cast<T*>(c)->GetButtonState() & StateHot) != 0;
}

template <class T> bool RowHot(CControlUI* c)
{
    return static_cast<T*>(c)->IsHot();
}

const std::vector<THotControl>& HotControls()
{
    static const std::vector<THotControl> controls = {
        {"Button", [] { return new CButtonUI; }, ButtonStateHot<CButtonUI>},
        {"Option", [] { return new COptionUI; }, ButtonStateHot<COptionUI>},
        {"CheckBox", [] { return new CCheckBoxUI; }, ButtonStateHot<CCheckBoxUI>},
        {"Edit", [] { return new CEditUI; }, ButtonStateHot<CEditUI>},
        {"Combo", [] { return new CComboUI; }, ButtonStateHot<CComboUI>},
        {"ListHeaderItem", [] { return new CListHeaderItemUI; }, ButtonStateHot<CListHeaderItemUI>},
        {"ListLabelElement", [] { return new CListLabelElementUI; }, RowHot<CListLabelElementUI>},
        {"ListContainerElement", [] { return new CListContainerElementUI; }, RowHot<CListContainerElementUI>},
        {"TreeNode", [] { return new CTreeNodeUI; }, RowHot<CTreeNodeUI>},
        {"Slider", [] { return new CSliderUI; },
         [](CControlUI* c) { return (static_cast<CSliderUI*>(c)->GetSliderState() & StateHot) != 0; }},
        {"ScrollBar", [] { return new CScrollBarUI; },
         [](CControlUI* c) { return (static_cast<CScrollBarUI*>(c)->GetButton1State() & StateHot) != 0; }},
    };
    return controls;
}

const POINT kInside = {30, 20};
const POINT kOutside = {200, 200};

// One control of the table at (10,10)-(60,30) in a window-less manager.
class HoverRun
{
public:
    explicit HoverRun(const THotControl& row) : row(row), control(row.make())
    {
        control->SetManager(&manager, NULL, false);
        control->SetPos(Rect(10, 10, 60, 30));
    }
    ~HoverRun()
    {
        if (control != NULL)
            control->Delete();
    }

    void Send(EventKind kind, POINT pt)
    {
        TControlEvent event = PointerEvent(kind, pt);
        control->DispatchEvent(event);
    }
    bool Hot() const { return row.isHot(control); }
    bool AwaitsLeave() { return manager.MouseLeaveNeeded().Find(control) >= 0; }

    const THotControl& row;
    CManagerProbe manager;
    CControlUI* control;
};
}  // namespace

TEST(Hover, EveryHotControlEntersAndLeaves)
{
    for (const THotControl& row : HotControls())
    {
        SCOPED_TRACE(row.name);
        HoverRun run(row);
        EXPECT_FALSE(run.Hot());
        run.Send(EventMouseEnter, kInside);
        EXPECT_TRUE(run.Hot()) << "entered";
        run.Send(EventMouseLeave, kOutside);
        EXPECT_FALSE(run.Hot()) << "left";
        EXPECT_FALSE(run.AwaitsLeave());
        // Entering outside the control (the manager's report of a point
        // already gone) does not make it hot.
        run.Send(EventMouseEnter, kOutside);
        EXPECT_FALSE(run.Hot());
    }
}

TEST(Hover, EveryHotControlStaysHotUnderAControlDrawnAbove)
{
    for (const THotControl& row : HotControls())
    {
        SCOPED_TRACE(row.name);
        HoverRun run(row);
        run.Send(EventMouseEnter, kInside);
        run.Send(EventMouseLeave, kInside);
        EXPECT_TRUE(run.Hot()) << "the pointer is still over it";
        EXPECT_TRUE(run.AwaitsLeave());
        run.Send(EventMouseLeave, kOutside);
        EXPECT_FALSE(run.Hot()) << "the real leave";
        EXPECT_FALSE(run.AwaitsLeave());
    }
}

TEST(Hover, ADisabledControlTurnsNotHotAndKeepsNoHotLookPastALeave)
{
    for (const THotControl& row : HotControls())
    {
        SCOPED_TRACE(row.name);
        HoverRun run(row);
        run.control->SetEnabled(false);
        run.Send(EventMouseEnter, kInside);
        EXPECT_FALSE(run.Hot()) << "disabled before the enter";

        run.control->SetEnabled(true);
        run.Send(EventMouseEnter, kInside);
        ASSERT_TRUE(run.Hot());
        run.control->SetEnabled(false);
        run.Send(EventMouseLeave, kOutside);
        run.control->SetEnabled(true);
        EXPECT_FALSE(run.Hot()) << "disabled while hot, left, enabled again";
    }
}

TEST(Hover, AControlDeletedWhileAwaitingTheRealLeaveIsForgotten)
{
    for (const THotControl& row : HotControls())
    {
        SCOPED_TRACE(row.name);
        HoverRun run(row);
        run.Send(EventMouseEnter, kInside);
        run.Send(EventMouseLeave, kInside);
        ASSERT_TRUE(run.AwaitsLeave());
        CControlUI* gone = run.control;
        run.control->Delete();
        run.control = NULL;
        EXPECT_LT(run.manager.MouseLeaveNeeded().Find(gone), 0);
    }
}

// ---- Pointer pass-through ----

namespace
{
// A panel that records the kinds of the events that reach it.
class CRecordingPanel : public CContainerUI
{
public:
    void HandleEvent(TControlEvent& event) override { kinds.push_back(event.kind); }
    std::vector<int> kinds;
};
}  // namespace

// A control the mouse cannot reach hands its mouse events on; without an
// owner of their own, list rows and scroll bars hand them to their parent
// like every other control. Other events stay with the control.
TEST(Hover, MouseEventsPassThroughAControlTheMouseCannotReach)
{
    struct TCase
    {
        const char* name;
        std::function<CControlUI*()> make;
    };
    const TCase cases[] = {
        {"Button", [] { return new CButtonUI; }},
        {"Edit", [] { return new CEditUI; }},
        {"Text", [] { return new CTextUI; }},
        {"Combo", [] { return new CComboUI; }},
        {"List", [] { return new CListUI; }},
        {"Slider", [] { return new CSliderUI; }},
        {"ScrollBar", [] { return new CScrollBarUI; }},
        {"RichEdit", [] { return new CRichEditUI; }},
        {"ListLabelElement", [] { return new CListLabelElementUI; }},
        {"TreeNode", [] { return new CTreeNodeUI; }},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CManagerProbe manager;
        CRecordingPanel panel;
        panel.SetManager(&manager, NULL, false);
        CControlUI* control = c.make();
        panel.Add(control);
        control->SetPos(Rect(10, 10, 60, 30));
        control->SetMouseEnabled(false);

        const EventKind mouseKinds[] = {EventMouseEnter, EventButtonDown, EventButtonUp, EventMouseLeave};
        for (EventKind kind : mouseKinds)
        {
            TControlEvent event = PointerEvent(kind, kInside);
            control->DispatchEvent(event);
        }
        ASSERT_EQ(panel.kinds.size(), 4u);
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(panel.kinds[i], mouseKinds[i]);
        EXPECT_FALSE(manager.MouseLeaveNeeded().Find(control) >= 0);
    }
}
