#pragma once

#include <windows.h>

#include "ui/controls/Control.h"

// A control that counts how many of its kind are alive, to show who deletes
// controls and when.
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
