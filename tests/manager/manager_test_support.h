#pragma once

#include <windows.h>

#include "tests/support/ManagerProbe.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/Container.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

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
