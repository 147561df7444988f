#include "control_test_support.h"

void CNotifyRecorder::Notify(TNotifyMsg& msg)
{
    records.push_back(TRecord{std::wstring(msg.type), msg.sender, msg.wParam, msg.lParam});
}

void CEventRecorder::HandleEvent(TControlEvent& event)
{
    kinds.push_back(event.kind);
}
