#include "control_test_support.h"

void CNotifyRecorder::Notify(TNotifyMsg& msg)
{
    records.push_back(TRecord{std::wstring(msg.type), msg.sender, msg.wParam, msg.lParam});
}

void CEventRecorder::HandleEvent(TControlEvent& event)
{
    kinds.push_back(event.kind);
}

CUIRect Rect(int left, int top, int right, int bottom)
{
    return CUIRect(left, top, right, bottom);
}
