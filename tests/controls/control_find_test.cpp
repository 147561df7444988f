#include <gtest/gtest.h>

#include "control_test_support.h"

namespace
{
CControlUI* CALLBACK AcceptAny(CControlUI* control, LPVOID)
{
    return control;
}

enum Answer
{
    None,
    Self,
    Cover
};

enum Tweak
{
    NoTweak = 0,
    NoCover = 1,
    Hidden = 2,
    Disabled = 4,
    MouseOff = 8,
    CoverHidden = 16,
    CoverDisabled = 32,
    CoverMouseOff = 64,
};

struct TFindCase
{
    const char* what;
    UINT flags;
    int tweaks;
    POINT point;
    Answer expected;
};

const POINT kOverBoth = {10, 10};     // the cover spans (0,0)-(20,20)
const POINT kOverControl = {40, 40};  // the control spans (0,0)-(50,50)
const POINT kOutside = {70, 70};

// The control and its cover answer whatever the callback is asked about, so
// the result shows which of them the flags let through, and in which order.
TEST(ControlFind, FlagMatrixWithCover)
{
    const UINT hit = FindHitTest;
    const TFindCase cases[] = {
        {"no flags, no cover", 0, NoCover, kOverBoth, Self},
        {"the cover is searched before the control", 0, NoTweak, kOverBoth, Cover},
        {"me first", FindMeFirst, NoTweak, kOverBoth, Self},
        {"visible filter on a hidden control", FindVisible, Hidden, kOverBoth, None},
        {"hidden control without the visible filter", 0, Hidden, kOverBoth, Cover},
        {"hidden cover", FindVisible, CoverHidden, kOverBoth, Self},
        {"enabled filter on a disabled control", FindEnabled, Disabled, kOverBoth, None},
        {"disabled cover", FindEnabled, CoverDisabled, kOverBoth, Self},
        {"hit over both", hit, NoTweak, kOverBoth, Cover},
        {"hit beside the cover", hit, NoTweak, kOverControl, Self},
        {"hit outside", hit, NoTweak, kOutside, None},
        {"hit on a control the mouse cannot reach", hit, MouseOff, kOverControl, None},
        {"its cover still can be hit", hit, MouseOff, kOverBoth, Cover},
        {"hit, me first", hit | FindMeFirst, NoTweak, kOverBoth, Self},
        {"the mouse cannot reach the cover", hit, CoverMouseOff, kOverBoth, Self},
        {"mouse matters only to hit tests", 0, MouseOff | NoCover, kOutside, Self},
        {"update test skips what the callback answers", FindUpdateTest, NoTweak, kOverBoth, None},
        {"the manager's hit test", FindVisible | FindHitTest | FindTopFirst, NoTweak, kOverBoth, Cover},
    };
    for (const TFindCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CControlUI control;
        control.SetPos(Rect(0, 0, 50, 50));
        CControlUI* cover = NULL;
        if ((c.tweaks & NoCover) == 0)
        {
            cover = new CControlUI;
            control.SetCover(cover);
            cover->SetPos(Rect(0, 0, 20, 20));
            cover->SetVisible((c.tweaks & CoverHidden) == 0);
            cover->SetEnabled((c.tweaks & CoverDisabled) == 0);
            cover->SetMouseEnabled((c.tweaks & CoverMouseOff) == 0);
        }
        control.SetVisible((c.tweaks & Hidden) == 0);
        control.SetEnabled((c.tweaks & Disabled) == 0);
        control.SetMouseEnabled((c.tweaks & MouseOff) == 0);

        POINT point = c.point;
        CControlUI* found = control.FindControl(AcceptAny, &point, c.flags);
        CControlUI* expected = c.expected == Self ? &control : (c.expected == Cover ? cover : NULL);
        EXPECT_EQ(found, expected);
    }
}
}  // namespace
