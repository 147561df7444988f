#include "ui/manager/Manager.h"

#include <wchar.h>
#include <windowsx.h>

#include "ui/controls/Control.h"
#include "ui/manager/ManagerAccessible.h"
#include "ui/manager/ManagerEvents.h"

// Window messages become control events here: mouse routing with hover,
// capture and the tooltip, keyboard routing to the focus, control timers and
// the queued notifications. Painting messages go to the paint pass.

namespace
{
// The system's tooltip record before its reserved trailing member; the
// tooltip window accepts this size on every system version.
const UINT kToolInfoSize = TTTOOLINFOW_V2_SIZE;
// Reflected messages reach child windows at their own message number plus this.
const UINT kReflectOffset = 0x2000;

// The keyState bits of a mouse message: its wParam already carries the
// buttons, Shift and Control in the same bits (MK_ flags), so only Alt is
// read from the system, which is a round trip to the server on some
// platforms. The middle and extra buttons have no keyState bit.
WORD MouseKeyState(WPARAM wParam)
{
    const WORD carried = KeyStateLeftButton | KeyStateRightButton | KeyStateShift | KeyStateControl;
    static_assert(MK_LBUTTON == KeyStateLeftButton && MK_RBUTTON == KeyStateRightButton &&
                      MK_SHIFT == KeyStateShift && MK_CONTROL == KeyStateControl,
                  "mouse message flags and keyState bits share their values");
    WORD state = static_cast<WORD>(LOWORD(wParam) & carried);
    if (::GetKeyState(VK_MENU) < 0)
        state |= KeyStateAlt;
    return state;
}

POINT PointOf(LPARAM lParam)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return pt;
}

POINT ClientPointOf(HWND hWnd, LPARAM screenPoint)
{
    POINT pt = PointOf(screenPoint);
    ::ScreenToClient(hWnd, &pt);
    return pt;
}
}  // namespace

struct CManagerUI::Input
{
    typedef bool (*THandler)(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    struct TEntry
    {
        UINT message;
        THandler handler;
    };
    static THandler Find(UINT uMsg);

    static bool RunMessageFilters(CManagerUI& m, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool HandleLayeredFrame(CManagerUI& m, UINT uMsg, WPARAM wParam, LRESULT& lRes);

    static bool OnSize(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnKillFocus(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnPaint(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnPrintClient(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnClose(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnEraseBackground(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnSetCursor(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnMouseActivate(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnGetMinMaxInfo(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnNotify(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnCommand(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnCtlColorEdit(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnCtlColorStatic(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnContextMenu(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnKeyDown(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnKeyUp(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnChar(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnTimer(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnMouseMove(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnLButtonDown(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnLButtonUp(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnLButtonDblClk(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnRButtonDown(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnMouseWheel(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnMouseHover(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnMouseLeave(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnCaptureChanged(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnFlush(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnGetObject(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static bool OnAccessibleAction(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

    static bool Reflect(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    static CControlUI* HitControl(CManagerUI& m, POINT pt);
    static void FocusPaintWindow(CManagerUI& m);
    static void TrackMouse(CManagerUI& m);
    static void SetHover(CManagerUI& m, CControlUI* control, WORD keyState, WPARAM wParam, LPARAM lParam);
    static void HideToolTip(CManagerUI& m);
    static void ShowToolTip(CManagerUI& m, CControlUI* control, POINT pt);
    static void EndPress(CManagerUI& m, POINT pt);
    static void Deliver(TNotifyMsg& msg, const CPtrList& receivers);
};

CManagerUI::Input::THandler CManagerUI::Input::Find(UINT uMsg)
{
    static const TEntry table[] = {
        {WM_SIZE, OnSize},
        {WM_KILLFOCUS, OnKillFocus},
        {WM_PAINT, OnPaint},
        {WM_PRINTCLIENT, OnPrintClient},
        {WM_CLOSE, OnClose},
        {WM_ERASEBKGND, OnEraseBackground},
        {WM_SETCURSOR, OnSetCursor},
        {WM_MOUSEACTIVATE, OnMouseActivate},
        {WM_GETMINMAXINFO, OnGetMinMaxInfo},
        {WM_NOTIFY, OnNotify},
        {WM_COMMAND, OnCommand},
        {WM_CTLCOLOREDIT, OnCtlColorEdit},
        {WM_CTLCOLORSTATIC, OnCtlColorStatic},
        {WM_CONTEXTMENU, OnContextMenu},
        {WM_KEYDOWN, OnKeyDown},
        {WM_KEYUP, OnKeyUp},
        {WM_CHAR, OnChar},
        {WM_TIMER, OnTimer},
        {WM_MOUSEMOVE, OnMouseMove},
        {WM_LBUTTONDOWN, OnLButtonDown},
        {WM_LBUTTONUP, OnLButtonUp},
        {WM_LBUTTONDBLCLK, OnLButtonDblClk},
        {WM_RBUTTONDOWN, OnRButtonDown},
        {WM_MOUSEWHEEL, OnMouseWheel},
        {WM_MOUSEHOVER, OnMouseHover},
        {WM_MOUSELEAVE, OnMouseLeave},
        {WM_CAPTURECHANGED, OnCaptureChanged},
        {WM_GETOBJECT, OnGetObject},
        {FlushMessage, OnFlush},
        {AccessibleActionMessage, OnAccessibleAction},
    };
    for (const TEntry& entry : table)
    {
        if (entry.message == uMsg)
            return entry.handler;
    }
    return NULL;
}

bool CManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (paintWindow == NULL)
        return false;
    if (Input::RunMessageFilters(*this, uMsg, wParam, lParam, lRes))
        return true;
    if (layered && Input::HandleLayeredFrame(*this, uMsg, wParam, lRes))
        return true;
    Input::THandler handler = Input::Find(uMsg);
    return handler != NULL && handler(*this, wParam, lParam, lRes);
}

bool CManagerUI::Input::RunMessageFilters(CManagerUI& m, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                          LRESULT& lRes)
{
    for (int i = 0; i < m.messageFilters.GetSize(); ++i)
    {
        bool handled = false;
        const LRESULT result = static_cast<IMessageFilterUI*>(m.messageFilters[i])
                                   ->MessageHandler(uMsg, wParam, lParam, handled);
        if (!handled)
            continue;
        // The mouse position follows messages a filter took, so that later
        // notifications carry it.
        switch (uMsg)
        {
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL:
            m.lastMousePos = ClientPointOf(m.paintWindow, lParam);
            break;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            m.lastMousePos = PointOf(lParam);
            break;
        default:
            break;
        }
        lRes = result;
        return true;
    }
    return false;
}

bool CManagerUI::Input::HandleLayeredFrame(CManagerUI& m, UINT uMsg, WPARAM wParam, LRESULT& lRes)
{
    switch (uMsg)
    {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        lRes = 0;
        return true;
    case WM_NCACTIVATE:
        if (::IsIconic(m.paintWindow))
            return false;
        lRes = wParam == 0 ? TRUE : FALSE;
        return true;
    default:
        return false;
    }
}

// ---- Window-level messages ----

bool CManagerUI::Input::OnSize(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (m.focus != NULL)
        Send(m.focus, MakeEvent(EventWindowSize, NULL, m.lastMousePos, MapKeyState(), wParam, lParam));
    if (m.root != NULL)
        m.root->NeedUpdate();
    if (m.layered)
        m.Invalidate();
    lRes = 0;
    return true;
}

bool CManagerUI::Input::OnKillFocus(CManagerUI& m, WPARAM wParam, LPARAM, LRESULT&)
{
    HWND focused = reinterpret_cast<HWND>(wParam);
    if (focused == NULL)
        return false;
    // The focus went to a native child: its control becomes the focus.
    HWND child = focused;
    for (HWND parent = ::GetParent(child); parent != NULL && parent != m.paintWindow;
         parent = ::GetParent(child))
        child = parent;
    if (::GetParent(child) != m.paintWindow)
        return false;
    const int index = m.nativeWindows.Find(child);
    if (index < 0)
        return false;
    CControlUI* control = static_cast<CControlUI*>(m.nativeWindowControls[index]);
    if (control != m.focus)
        m.SetFocus(control, false);
    return false;
}

bool CManagerUI::Input::OnPaint(CManagerUI& m, WPARAM, LPARAM, LRESULT& lRes)
{
    lRes = 0;
    return m.HandlePaint();
}

bool CManagerUI::Input::OnPrintClient(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    m.HandlePrintClient(reinterpret_cast<HDC>(wParam), lParam);
    return false;
}

bool CManagerUI::Input::OnClose(CManagerUI& m, WPARAM, LPARAM, LRESULT&)
{
    // Nothing stays hot or pressed in a window that goes away.
    if (m.hover != NULL)
    {
        CControlUI* old = m.hover;
        m.hover = NULL;
        Send(old, MakeEvent(EventMouseLeave, NULL, m.lastMousePos, MapKeyState(), 0, 0));
    }
    EndPress(m, m.lastMousePos);
    m.SetFocus(NULL, true);

    if (::GetActiveWindow() == m.paintWindow)
    {
        HWND next = ::GetWindow(m.paintWindow, GW_OWNER);
        if (next == NULL && (::GetWindowLongW(m.paintWindow, GWL_STYLE) & WS_CHILD) != 0)
            next = ::GetParent(m.paintWindow);
        if (next != NULL)
            ::SetFocus(next);
    }
    if (m.tooltipWindow != NULL)
    {
        ::DestroyWindow(m.tooltipWindow);
        // A later hover creates a new one; the old handle could name any window by then.
        m.tooltipWindow = NULL;
        m.lastToolTipWidth = -1;
    }
    return false;
}

bool CManagerUI::Input::OnEraseBackground(CManagerUI&, WPARAM, LPARAM, LRESULT& lRes)
{
    lRes = 1;
    return true;
}

bool CManagerUI::Input::OnSetCursor(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (m.root == NULL || LOWORD(lParam) != HTCLIENT)
        return false;
    lRes = TRUE;
    if (m.mouseCaptured)
        return true;
    POINT pt = {};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m.paintWindow, &pt);
    CControlUI* control = HitControl(m, pt);
    if (control == NULL || (control->GetFlags() & FlagSetCursor) == 0)
        return false;
    Send(control, MakeEvent(EventSetCursor, NULL, pt, MapKeyState(), wParam, lParam));
    return true;
}

bool CManagerUI::Input::OnMouseActivate(CManagerUI& m, WPARAM, LPARAM, LRESULT& lRes)
{
    if (!m.noActivate)
        return false;
    lRes = MA_NOACTIVATE;
    return true;
}

bool CManagerUI::Input::OnGetMinMaxInfo(CManagerUI& m, WPARAM, LPARAM lParam, LRESULT&)
{
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (info == NULL)
        return false;
    if (m.minInfo.cx > 0)
        info->ptMinTrackSize.x = m.minInfo.cx;
    if (m.minInfo.cy > 0)
        info->ptMinTrackSize.y = m.minInfo.cy;
    if (m.maxInfo.cx > 0)
        info->ptMaxTrackSize.x = m.maxInfo.cx;
    if (m.maxInfo.cy > 0)
        info->ptMaxTrackSize.y = m.maxInfo.cy;
    return false;
}

bool CManagerUI::Input::Reflect(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (lParam == 0)
        return false;
    lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), uMsg + kReflectOffset, wParam, lParam);
    return true;
}

bool CManagerUI::Input::OnNotify(CManagerUI&, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (lParam == 0)
        return false;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    lRes = ::SendMessageW(header->hwndFrom, WM_NOTIFY + kReflectOffset, wParam, lParam);
    return true;
}

// Screen readers ask for the client area's accessible object; other objects
// (the frame, the caption) are the system's.
bool CManagerUI::Input::OnGetObject(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    return AnswerAccessibleObjectRequest(&m, wParam, lParam, lRes);
}

bool CManagerUI::Input::OnAccessibleAction(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    RunQueuedAccessibleAction(&m, wParam, lParam);
    lRes = 0;
    return true;
}

bool CManagerUI::Input::OnCommand(CManagerUI&, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    return Reflect(WM_COMMAND, wParam, lParam, lRes);
}

bool CManagerUI::Input::OnCtlColorEdit(CManagerUI&, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    return Reflect(WM_CTLCOLOREDIT, wParam, lParam, lRes);
}

bool CManagerUI::Input::OnCtlColorStatic(CManagerUI&, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    return Reflect(WM_CTLCOLORSTATIC, wParam, lParam, lRes);
}

// ---- Keyboard ----

bool CManagerUI::Input::OnKeyDown(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    if (m.root == NULL || m.focus == NULL)
        return false;
    Send(m.focus, KeyEvent(EventKeyDown, m.lastMousePos, wParam, lParam));
    m.eventKey = m.focus;
    return false;
}

bool CManagerUI::Input::OnKeyUp(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    if (m.root == NULL || m.eventKey == NULL)
        return false;
    CControlUI* target = m.eventKey;
    Send(target, KeyEvent(EventKeyUp, m.lastMousePos, wParam, lParam));
    m.eventKey = NULL;
    return false;
}

bool CManagerUI::Input::OnChar(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    if (m.root == NULL || m.focus == NULL)
        return false;
    Send(m.focus, KeyEvent(EventChar, m.lastMousePos, wParam, lParam));
    return false;
}

// ---- Timers and queued notifications ----

bool CManagerUI::Input::OnTimer(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    const UINT id = LOWORD(wParam);
    if (id == kLayeredTimerId && m.layered)
    {
        if (!::IsRectEmpty(&m.layeredDirtyRect) && !::IsIconic(m.paintWindow))
            m.HandlePaint();
        return false;
    }
    for (int i = 0; i < m.timers.GetSize(); ++i)
    {
        const TTimerEntry* timer = static_cast<TTimerEntry*>(m.timers[i]);
        if (timer->window != m.paintWindow || timer->winTimerId != id || timer->killed)
            continue;
        Send(timer->control,
             MakeEvent(EventTimer, NULL, m.lastMousePos, MapKeyState(), timer->localId, lParam));
        break;
    }
    return false;
}

void CManagerUI::Input::Deliver(TNotifyMsg& msg, const CPtrList& receivers)
{
    if (msg.sender != NULL && msg.sender->notifyHandlers.HasDelegates())
        msg.sender->notifyHandlers(&msg);
    for (int i = 0; i < receivers.GetSize(); ++i)
        static_cast<INotifyUI*>(receivers[i])->Notify(msg);
}

bool CManagerUI::Input::OnFlush(CManagerUI& m, WPARAM, LPARAM, LRESULT&)
{
    m.asyncNotifyPosted = false;
    // Receivers may queue more; those are delivered in the same loop.
    while (!m.asyncNotify.IsEmpty())
    {
        TNotifyMsg* msg = static_cast<TNotifyMsg*>(m.asyncNotify[0]);
        m.asyncNotify.Remove(0);
        Deliver(*msg, m.notifiers);
        delete msg;
    }
    m.DeleteScheduledControls();
    return false;
}

// ---- Mouse ----

CControlUI* CManagerUI::Input::HitControl(CManagerUI& m, POINT pt)
{
    CControlUI* control = m.FindControlAt(pt);
    return control != NULL && control->GetManager() == &m ? control : NULL;
}

void CManagerUI::Input::FocusPaintWindow(CManagerUI& m)
{
    if (!m.noActivate)
        ::SetFocus(m.paintWindow);
}

void CManagerUI::Input::TrackMouse(CManagerUI& m)
{
    TRACKMOUSEEVENT request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_HOVER | TME_LEAVE;
    request.hwndTrack = m.paintWindow;
    request.dwHoverTime =
        m.tooltipWindow != NULL
            ? static_cast<DWORD>(::SendMessageW(m.tooltipWindow, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
            : m.hoverTime;
    ::_TrackMouseEvent(&request);

    // The request is not armed when the pointer is elsewhere; counting it as
    // armed would wait for a leave report that never comes, and the hovered
    // control would stay hot.
    TRACKMOUSEEVENT query = {};
    query.cbSize = sizeof(query);
    query.dwFlags = TME_QUERY;
    query.hwndTrack = m.paintWindow;
    m.mouseTracking =
        ::_TrackMouseEvent(&query) && query.hwndTrack == m.paintWindow && (query.dwFlags & TME_LEAVE) != 0;
}

void CManagerUI::Input::HideToolTip(CManagerUI& m)
{
    if (m.tooltipWindow != NULL)
        ::SendMessageW(m.tooltipWindow, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m.toolInfo));
}

void CManagerUI::Input::SetHover(CManagerUI& m, CControlUI* control, WORD keyState, WPARAM wParam,
                                 LPARAM lParam)
{
    if (control != m.hover && m.hover != NULL)
    {
        const TControlEvent leave =
            MakeEvent(EventMouseLeave, m.hover, m.lastMousePos, keyState, wParam, lParam);
        // A copy: a control may deregister while it handles its leave event.
        const CPtrList listeners(m.mouseLeaveNeeded);
        for (int i = 0; i < listeners.GetSize(); ++i)
            Send(static_cast<CControlUI*>(listeners[i]), leave);
        CControlUI* old = m.hover;
        m.hover = NULL;
        Send(old, leave);
        HideToolTip(m);
    }
    if (control != NULL && control != m.hover)
    {
        Send(control, MakeEvent(EventMouseEnter, NULL, m.lastMousePos, keyState, wParam, lParam));
        m.hover = control;
    }
}

bool CManagerUI::Input::OnMouseMove(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    if (m.root == NULL)
        return false;
    if (!m.mouseTracking)
        TrackMouse(m);
    m.lastMousePos = PointOf(lParam);
    CControlUI* control = m.FindControlAt(m.lastMousePos);
    if (control != NULL && control->GetManager() != &m)
        return false;
    // One reading of the keys serves every event of this move.
    const WORD keyState = MouseKeyState(wParam);
    if (!m.mouseCaptured)
        SetHover(m, control, keyState, wParam, lParam);
    CControlUI* target = m.eventClick != NULL ? m.eventClick : control;
    if (target != NULL)
        Send(target, MakeEvent(EventMouseMove, NULL, m.lastMousePos, keyState, wParam, lParam));
    return false;
}

bool CManagerUI::Input::OnLButtonDown(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    FocusPaintWindow(m);
    if (m.root == NULL)
        return false;
    m.lastMousePos = PointOf(lParam);
    CControlUI* control = HitControl(m, m.lastMousePos);
    if (control == NULL)
        return false;
    m.eventClick = control;
    control->SetFocus();
    m.SetCapture();
    Send(control, MakeEvent(EventButtonDown, NULL, m.lastMousePos, LOWORD(wParam), wParam, lParam));
    return false;
}

bool CManagerUI::Input::OnLButtonUp(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    m.lastMousePos = PointOf(lParam);
    // The capture is given back even when the pressed control went away
    // during the press: a capture kept for nobody would freeze hover and
    // take every later click, also those outside the window.
    if (m.eventClick == NULL && !m.mouseCaptured)
        return false;
    m.ReleaseCapture();
    CControlUI* pressed = m.eventClick;
    m.eventClick = NULL;
    if (pressed != NULL)
        Send(pressed, MakeEvent(EventButtonUp, NULL, m.lastMousePos, LOWORD(wParam), wParam, lParam));
    // Hover stood still during the press, and the leave report of a pointer
    // that left the window meanwhile has been spent: without this, the
    // pressed control would stay hot after a release outside the window.
    if (m.root != NULL && !m.mouseCaptured)
        SetHover(m, HitControl(m, m.lastMousePos), MouseKeyState(wParam), wParam, lParam);
    return false;
}

bool CManagerUI::Input::OnLButtonDblClk(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    FocusPaintWindow(m);
    m.lastMousePos = PointOf(lParam);
    if (m.root == NULL)
        return false;
    CControlUI* control = HitControl(m, m.lastMousePos);
    if (control == NULL)
        return false;
    m.SetCapture();
    Send(control, MakeEvent(EventDoubleClick, NULL, m.lastMousePos, LOWORD(wParam), 0, 0));
    m.eventClick = control;
    return false;
}

bool CManagerUI::Input::OnRButtonDown(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    FocusPaintWindow(m);
    m.lastMousePos = PointOf(lParam);
    if (m.root == NULL)
        return false;
    CControlUI* control = HitControl(m, m.lastMousePos);
    if (control == NULL)
        return false;
    control->SetFocus();
    Send(control, MakeEvent(EventRightButtonDown, NULL, m.lastMousePos, LOWORD(wParam), wParam, lParam));
    m.eventClick = control;
    return false;
}

bool CManagerUI::Input::OnContextMenu(CManagerUI& m, WPARAM, LPARAM lParam, LRESULT&)
{
    if (m.root == NULL || m.mouseCaptured)
        return false;
    m.lastMousePos = ClientPointOf(m.paintWindow, lParam);
    if (m.eventClick == NULL)
        return false;
    CControlUI* target = m.eventClick;
    m.eventClick = NULL;
    Send(target, MakeEvent(EventContextMenu, NULL, m.lastMousePos, 0, 0, reinterpret_cast<LPARAM>(target)));
    return false;
}

bool CManagerUI::Input::OnMouseWheel(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    if (m.root == NULL)
        return false;
    m.lastMousePos = ClientPointOf(m.paintWindow, lParam);
    if (CControlUI* control = HitControl(m, m.lastMousePos))
    {
        Send(control, MakeEvent(EventScrollWheel, NULL, m.lastMousePos, MouseKeyState(wParam),
                                ScrollWheelEventCode(wParam), lParam));
    }
    // The content under the pointer moved: hover follows it.
    ::SendMessageW(m.paintWindow, WM_MOUSEMOVE, 0, MAKELPARAM(m.lastMousePos.x, m.lastMousePos.y));
    return false;
}

void CManagerUI::Input::ShowToolTip(CManagerUI& m, CControlUI* control, POINT pt)
{
    CUIString text = control->GetToolTip();
    if (text.IsEmpty())
        return;
    ResolveLanguageTokens(text);
    // The tooltip copies the text when the tool is added or updated.
    m.toolInfo = TOOLINFOW();
    m.toolInfo.cbSize = kToolInfoSize;
    m.toolInfo.uFlags = TTF_IDISHWND;
    m.toolInfo.hwnd = m.paintWindow;
    m.toolInfo.uId = reinterpret_cast<UINT_PTR>(m.paintWindow);
    m.toolInfo.hinst = GetInstance();
    m.toolInfo.lpszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(text));
    m.toolInfo.rect = control->GetPos();
    if (m.tooltipWindow == NULL)
    {
        m.tooltipWindow = ::CreateWindowExW(0, TOOLTIPS_CLASSW, NULL, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                            m.paintWindow, NULL, GetInstance(), NULL);
        if (m.tooltipWindow == NULL)
            return;
        ::SendMessageW(m.tooltipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m.toolInfo));
    }
    m.lastToolTipWidth = control->GetToolTipWidth();
    ::SendMessageW(m.tooltipWindow, TTM_SETMAXTIPWIDTH, 0, m.lastToolTipWidth);
    ::SendMessageW(m.tooltipWindow, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m.toolInfo));
    ::SendMessageW(m.tooltipWindow, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m.toolInfo));
    ::SendMessageW(m.tooltipWindow, TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x, pt.y));
    // The record must not keep pointing at the local text.
    m.toolInfo.lpszText = NULL;
}

bool CManagerUI::Input::OnMouseHover(CManagerUI& m, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    m.mouseTracking = false;
    const POINT pt = PointOf(lParam);
    CControlUI* control = HitControl(m, pt);
    if (control == NULL)
        return false;
    if (m.hover != NULL)
        Send(m.hover, MakeEvent(EventMouseHover, NULL, pt, MouseKeyState(wParam), wParam, lParam));
    ShowToolTip(m, control, pt);
    return true;
}

bool CManagerUI::Input::OnMouseLeave(CManagerUI& m, WPARAM, LPARAM, LRESULT&)
{
    if (m.root == NULL)
        return false;
    HideToolTip(m);
    if (m.mouseTracking)
    {
        // Settle hover: the pointer is either over the client area still
        // (a child window took it) or nowhere in the window.
        LPARAM where = static_cast<LPARAM>(0xFFFFFFFF);
        POINT cursor = {};
        RECT window = {};
        ::GetCursorPos(&cursor);
        ::GetWindowRect(m.paintWindow, &window);
        if (!::IsIconic(m.paintWindow) && ::GetActiveWindow() == m.paintWindow &&
            ::PtInRect(&window, cursor) &&
            ::SendMessageW(m.paintWindow, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT)
        {
            ::ScreenToClient(m.paintWindow, &cursor);
            where = MAKELPARAM(cursor.x, cursor.y);
        }
        ::SendMessageW(m.paintWindow, WM_MOUSEMOVE, 0, where);
    }
    m.mouseTracking = false;
    return false;
}

void CManagerUI::Input::EndPress(CManagerUI& m, POINT pt)
{
    if (m.eventClick == NULL)
        return;
    CControlUI* pressed = m.eventClick;
    m.eventClick = NULL;
    Send(pressed, MakeEvent(EventButtonUp, NULL, pt, MapKeyState(), 0, 0));
}

bool CManagerUI::Input::OnCaptureChanged(CManagerUI& m, WPARAM, LPARAM lParam, LRESULT&)
{
    // Another window took the mouse (a message box opened during a press):
    // the press ends here, and the capture is already gone, so it is not
    // released again. The release point lies outside every control, so the
    // interrupted press does not count as a click.
    if (!m.mouseCaptured || reinterpret_cast<HWND>(lParam) == m.paintWindow)
        return false;
    m.mouseCaptured = false;
    const POINT nowhere = {-1, -1};
    EndPress(m, nowhere);
    return false;
}

// ---- Capture ----

void CManagerUI::SetCapture()
{
    ::SetCapture(paintWindow);
    mouseCaptured = true;
}

void CManagerUI::ReleaseCapture()
{
    // Cleared first: releasing sends WM_CAPTURECHANGED, which must not take
    // this release for a lost capture.
    mouseCaptured = false;
    ::ReleaseCapture();
}
