#include "dispatch_test_support.h"

#include "ui/render/Renderer.h"

namespace
{
const char* EventName(EventKind kind)
{
    switch (kind)
    {
    case EventKeyDown: return "keydown";
    case EventKeyUp: return "keyup";
    case EventChar: return "char";
    case EventSysKey: return "syskey";
    case EventMouseMove: return "move";
    case EventMouseLeave: return "leave";
    case EventMouseEnter: return "enter";
    case EventMouseHover: return "hover";
    case EventButtonDown: return "down";
    case EventButtonUp: return "up";
    case EventRightButtonDown: return "rdown";
    case EventDoubleClick: return "dblclick";
    case EventContextMenu: return "menu";
    case EventScrollWheel: return "wheel";
    case EventKillFocus: return "killfocus-event";
    case EventSetFocus: return "setfocus-event";
    case EventWindowSize: return "size";
    case EventSetCursor: return "setcursor";
    case EventTimer: return "timer-event";
    }
    return "?";
}
}  // namespace

int CInputProbe::WinTimerId(CControlUI* control, UINT localId) const
{
    for (int i = 0; i < timers.GetSize(); ++i)
    {
        const TTimerEntry* timer = static_cast<const TTimerEntry*>(timers[i]);
        if (timer->control == control && timer->localId == localId)
            return static_cast<int>(timer->winTimerId);
    }
    return -1;
}

CProbeControl::CProbeControl(const char* name, TLog* target, RECT pos)
    : tag(name), className(L"Probe"), flags(0), log(target), wanted(pos), paints(0), placements(0),
      pressed(false), onPaint(NULL)
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

CHostWindow::CHostWindow(CManagerUI& manager, int width, int height, bool visible, DWORD style)
{
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = L"DispatchTestHost";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"dispatch test", style, 100, 100, width, height, NULL, NULL,
                               wc.hInstance, NULL);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&manager));
    manager.Init(m_hWnd);
    if (visible)
    {
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::SetForegroundWindow(m_hWnd);
    }
}

CHostWindow::~CHostWindow()
{
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    ::DestroyWindow(m_hWnd);
}

void CHostWindow::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK CHostWindow::Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CManagerUI* manager = reinterpret_cast<CManagerUI*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (manager != NULL && manager->MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
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

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

std::string Narrow(LPCWSTR text)
{
    std::string out;
    for (const wchar_t* p = text; p != NULL && *p != 0; ++p)
        out += *p < 128 ? static_cast<char>(*p) : '?';
    return out;
}
