#pragma once

#include <windows.h>

#include "ui/core/UIString.h"

// Records, bit sets and receiver interfaces shared by the window manager and the
// controls. Controls have no native windows: the manager turns window messages
// into TControlEvent records, and controls answer with TNotifyMsg records that
// the manager hands to the INotifyUI receivers.

class CControlUI;

// IsKeyboardEvent and IsMouseEvent test these kinds as two ranges, so the
// keyboard kinds and the mouse kinds each stay together; a new kind goes
// outside both. The gaps between the ranges carry no kind.
enum EventKind
{
    EventKeyDown = 3,
    EventKeyUp = 4,
    EventChar = 5,
    EventSysKey = 6,
    EventMouseMove = 9,
    EventMouseLeave = 10,
    EventMouseEnter = 11,
    EventMouseHover = 12,
    EventButtonDown = 13,
    EventButtonUp = 14,
    EventRightButtonDown = 15,
    EventDoubleClick = 16,
    EventContextMenu = 17,
    EventScrollWheel = 18,
    EventKillFocus = 20,
    EventSetFocus = 21,
    EventWindowSize = 22,
    EventSetCursor = 23,
    EventTimer = 24,
};

inline bool IsKeyboardEvent(int kind)
{
    return kind >= EventKeyDown && kind <= EventSysKey;
}
inline bool IsMouseEvent(int kind)
{
    return kind >= EventMouseMove && kind <= EventScrollWheel;
}

// Filled on the stack by the manager and passed by reference.
struct TControlEvent
{
    EventKind kind;
    CControlUI* sender;
    DWORD timestamp;
    POINT point;
    WORD keyChar;   // keyboard kinds: low word of the message's wParam
    WORD keyState;  // KeyState* bits
    WPARAM wParam;
    LPARAM lParam;
};

// Bits of TControlEvent::keyState as MapKeyState produces them (never 0x10).
enum KeyStateBits
{
    KeyStateLeftButton = 0x01,
    KeyStateRightButton = 0x02,
    KeyStateShift = 0x04,
    KeyStateControl = 0x08,
    KeyStateAlt = 0x20,
};

// keyState bits for the keys and buttons held right now (GetKeyState).
WORD MapKeyState();

// The scroll-wheel event's wParam for a wheel message's wParam: 0 (line up) for
// a positive delta, 1 (line down) for a negative one.
WPARAM ScrollWheelEventCode(WPARAM wheelMessageWParam);

// Allocated by the manager; copied, never shared, when queued.
struct TNotifyMsg
{
    CUIString type;
    CUIString virtualWnd;  // only filled while the manager uses virtual windows
    CControlUI* sender;    // null once the sender is destroyed while queued
    DWORD timestamp;
    POINT point;
    WPARAM wParam;
    LPARAM lParam;
};

// The complete notification vocabulary. "scroll", "textchanged" and "return"
// are queued; every other one reaches the receivers at once.
namespace NotifyType
{
const wchar_t WindowInit[] = L"windowinit";
const wchar_t SetFocus[] = L"setfocus";
const wchar_t KillFocus[] = L"killfocus";
const wchar_t Timer[] = L"timer";
const wchar_t Menu[] = L"menu";
const wchar_t Click[] = L"click";
const wchar_t TextChanged[] = L"textchanged";
const wchar_t Return[] = L"return";
const wchar_t TabSelect[] = L"tabselect";
const wchar_t ItemSelect[] = L"itemselect";
const wchar_t ItemClick[] = L"itemclick";
const wchar_t ItemActivate[] = L"itemactivate";
const wchar_t ItemDbClick[] = L"itemdbclick";
const wchar_t HeaderClick[] = L"headerclick";
const wchar_t Link[] = L"link";
const wchar_t ItemExpand[] = L"itemexpand";
const wchar_t ItemCollapse[] = L"itemcollapse";
const wchar_t DropDown[] = L"dropdown";
const wchar_t Scroll[] = L"scroll";
const wchar_t SelectChanged[] = L"selectchanged";
const wchar_t ValueChanged[] = L"valuechanged";
const wchar_t ShowActiveX[] = L"showactivex";
}  // namespace NotifyType

// Returned by a control's GetFlags.
enum ControlFlags
{
    FlagTabStop = 0x01,
    FlagSetCursor = 0x02,  // the manager sends EventSetCursor and lets the control choose
};

// Third argument of FindControl.
enum FindFlags : UINT
{
    FindVisible = 0x00000001,
    FindEnabled = 0x00000002,
    FindHitTest = 0x00000004,     // data is a POINT in client coordinates
    FindUpdateTest = 0x00000008,  // a non-null callback answer skips the subtree
    FindTopFirst = 0x00000010,
    FindMeFirst = 0x80000000,
};

// The state word of the button family and the edit.
enum ControlStateBits
{
    StateFocused = 0x01,
    StateSelected = 0x02,
    StateDisabled = 0x04,
    StateHot = 0x08,
    StatePushed = 0x10,
    StateCaptured = 0x40,
};

// A window's notification receiver; called on the GUI thread.
class INotifyUI
{
public:
    virtual void Notify(TNotifyMsg& msg) = 0;

protected:
    ~INotifyUI() = default;
};

// Asked before the manager handles a message; setting handled ends the
// manager's own handling with the returned result.
class IMessageFilterUI
{
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// Asked before a queued message is dispatched; S_OK consumes it.
class ITranslateAccelerator
{
public:
    virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};
