#include "dispatch_test_support.h"

#include "ui/render/Renderer.h"

namespace
{
const char* EventName(EventKind kind)
{
    switch (kind)
    {
    case EventKeyDown:
        return "keydown";
    case EventKeyUp:
        return "keyup";
    case EventChar:
        return "char";
    case EventSysKey:
        return "syskey";
    case EventMouseMove:
        return "move";
    case EventMouseLeave:
        return "leave";
    case EventMouseEnter:
        return "enter";
    case EventMouseHover:
        return "hover";
    case EventButtonDown:
        return "down";
    case EventButtonUp:
        return "up";
    case EventRightButtonDown:
        return "rdown";
    case EventDoubleClick:
        return "dblclick";
    case EventContextMenu:
        return "menu";
    case EventScrollWheel:
        return "wheel";
    case EventKillFocus:
        return "killfocus-event";
    case EventSetFocus:
        return "setfocus-event";
    case EventWindowSize:
        return "size";
    case EventSetCursor:
        return "setcursor";
    case EventTimer:
        return "timer-event";
    }
    return "?";
}
}  // namespace

CProbeControl::CProbeControl(const char* name, TLog* target, RECT pos)
    : tag(name),
      className(L"Probe"),
      flags(0),
      log(target),
      wanted(pos),
      paints(0),
      placements(0),
      pressed(false),
      onPaint(NULL)
{
    SetName(std::wstring(name, name + strlen(name)).c_str());
}

bool CProbeControl::Activate()
{
    if (!CControlUI::Activate())
        return false;
    if (log != NULL)
        log->push_back(tag + ":activate");
    return true;
}

void CProbeControl::HandleEvent(TControlEvent& event)
{
    if (log != NULL && event.kind != EventMouseMove)
        log->push_back(tag + ":" + EventName(event.kind));
    switch (event.kind)
    {
    case EventButtonDown:
        pressed = true;
        return;
    case EventButtonUp:
        if (pressed && ::PtInRect(&GetPos(), event.point) && manager != NULL)
        {
            pressed = false;
            manager->SendNotify(this, NotifyType::Click);
        }
        pressed = false;
        return;
    default:
        CControlUI::HandleEvent(event);
    }
}

bool CProbeControl::Paint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    RECT overlap;
    if (::IntersectRect(&overlap, &rcPaint, &GetPos()))
    {
        ++paints;
        if (onPaint != NULL)
            onPaint(*this);
    }
    return CControlUI::Paint(hDC, rcPaint, pStopControl);
}

void CProbeControl::SetPos(RECT rc, bool bNeedInvalidate)
{
    ++placements;
    CControlUI::SetPos(rc, bNeedInvalidate);
}

void CTestPanel::SetPos(RECT rc, bool bNeedInvalidate)
{
    ++placements;
    CControlUI::SetPos(rc, bNeedInvalidate);
    for (int i = 0; i < GetCount(); ++i)
    {
        CControlUI* child = GetItemAt(i);
        RECT place = child->GetPos();
        if (CProbeControl* probe = dynamic_cast<CProbeControl*>(child))
            place = probe->wanted;
        else if (CTestPanel* panel = dynamic_cast<CTestPanel*>(child))
            place = panel->GetPos();
        ::OffsetRect(&place, rc.left, rc.top);
        child->SetPos(place, false);
    }
}

void CNotifyLog::Notify(TNotifyMsg& msg)
{
    messages.push_back(msg);
    if (log == NULL)
        return;
    const std::string sender = msg.sender != NULL ? Narrow(msg.sender->GetName()) : std::string("(gone)");
    log->push_back(sender + ":" + Narrow(msg.type));
}

LRESULT Deliver(CManagerUI& manager, UINT uMsg, WPARAM wParam, LPARAM lParam, bool* handled)
{
    LRESULT result = 0;
    const bool taken = manager.MessageHandler(uMsg, wParam, lParam, result);
    if (handled != NULL)
        *handled = taken;
    return result;
}
