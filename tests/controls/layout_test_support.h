#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/ManagerProbe.h"
#include "tests/support/Rects.h"
#include "tests/support/TestEvents.h"
#include "ui/controls/BoxLayout.h"
#include "ui/controls/Container.h"
#include "ui/controls/ScrollBar.h"
#include "ui/manager/Manager.h"

// A control whose measured size is whatever the test says, and that counts
// how many of its kind are alive.
class CSizedControl : public CControlUI
{
public:
    CSizedControl() : estimate(CUISize(-1, -1)) { ++alive; }
    ~CSizedControl() override { --alive; }
    // (-1, -1): the base behaviour, the fixed size.
    SIZE EstimateSize(SIZE szAvailable) override
    {
        lastAvailable = szAvailable;
        if (estimate.cx < 0)
            return CControlUI::EstimateSize(szAvailable);
        return estimate;
    }

    CUISize estimate;
    CUISize lastAvailable;
    static int alive;
};

// Content that wants one pixel more than it is offered, across the flow,
// along it or both, so that every scroll bar it shows offers it more room again.
class CGreedyControl : public CControlUI
{
public:
    CGreedyControl(bool wider, bool taller) : wider(wider), taller(taller) {}
    SIZE EstimateSize(SIZE szAvailable) override
    {
        return CUISize(wider ? szAvailable.cx + 1 : 10, taller ? szAvailable.cy + 1 : 10);
    }

private:
    bool wider;
    bool taller;
};

inline CSizedControl* AddSized(CContainerUI* box, int width, int height)
{
    CSizedControl* child = new CSizedControl;
    child->SetFixedWidth(width);
    child->SetFixedHeight(height);
    box->Add(child);
    return child;
}
