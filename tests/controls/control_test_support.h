#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/Canvas.h"
#include "tests/support/Rects.h"
#include "tests/support/TestEvents.h"
#include "ui/controls/Control.h"
#include "ui/manager/Manager.h"

// Keeps the type, sender and parameters of every notification it receives.
class CNotifyRecorder : public INotifyUI
{
public:
    struct TRecord
    {
        std::wstring type;
        CControlUI* sender;
        WPARAM wParam;
        LPARAM lParam;
    };

    void Notify(TNotifyMsg& msg) override;
    std::vector<TRecord> records;
};

// A control that remembers which events reached its HandleEvent.
class CEventRecorder : public CControlUI
{
public:
    void HandleEvent(TControlEvent& event) override;
    std::vector<int> kinds;
};
