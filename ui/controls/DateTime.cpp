#include "ui/controls/DateTime.h"

#include <commctrl.h>
#include <olectl.h>
#include <stdio.h>
#include <wchar.h>

#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"

namespace
{
// Pixels the system's picker leaves before its first field.
const int PickerTextMargin = 2;
// The framework's focus frame lies on the third pixel inside the control: the
// picker stays within it.
const int FocusFrameRoom = 3;

// A year-month-day text as the control shows it ("2026-03-07", " 999-12-31")
// into time; false, and time untouched, for anything else or a day that
// does not exist.
bool ReadDate(LPCWSTR text, SYSTEMTIME& time)
{
    int year = 0;
    int month = 0;
    int day = 0;
    wchar_t rest = 0;
    if (swscanf(text, L"%d-%d-%d%lc", &year, &month, &day, &rest) != 3)
        return false;
    if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    SYSTEMTIME read = time;
    read.wYear = static_cast<WORD>(year);
    read.wMonth = static_cast<WORD>(month);
    read.wDay = static_cast<WORD>(day);
    FILETIME check = {};
    if (!::SystemTimeToFileTime(&read, &check))
        return false;
    // Back again for the day of the week that goes with the date.
    ::FileTimeToSystemTime(&check, &time);
    return true;
}

bool IsPressEvent(int kind)
{
    return kind == EventButtonDown || kind == EventDoubleClick || kind == EventRightButtonDown;
}

bool IsIgnoredPointerEvent(int kind)
{
    return kind == EventMouseMove || kind == EventButtonUp || kind == EventContextMenu;
}
}  // namespace

// ---- CDateTimeWnd ----

LPCWSTR CDateTimeWnd::GetWindowClassName() const
{
    return L"DateTimeWnd";
}

LPCWSTR CDateTimeWnd::GetSuperClassName() const
{
    return DATETIMEPICK_CLASSW;
}

// The picker lies where the control shows its date: one line of the font,
// centred as the closed control centres it, from where the text starts (less
// the picker's own margin before its first field) to the control's focus
// frame, inside which its drop-down button goes. Open and closed, the date
// stands in the same place.
RECT CDateTimeWnd::CalcPos() const
{
    RECT rc = {0, 0, 0, 0};
    CManagerUI* manager = Manager();
    if (owner == NULL || manager == NULL)
        return rc;
    const RECT text = owner->TextRect();
    const RECT border = owner->GetBorderSize();
    rc = owner->GetPos();
    rc.left = Max<LONG>(rc.left + Max<LONG>(border.left, FocusFrameRoom), text.left - PickerTextMargin);
    rc.right -= Max<LONG>(border.right, FocusFrameRoom);
    const TFontEntry* font = manager->GetFontInfo(owner->GetFont());
    const int lineHeight = font != NULL ? font->metrics.tmHeight : 0;
    if (lineHeight > 0 && lineHeight < text.bottom - text.top)
    {
        rc.top = text.top + (text.bottom - text.top - lineHeight) / 2;
        rc.bottom = rc.top + lineHeight;
    }
    return ClippedByAncestors(rc);
}

bool CDateTimeWnd::Init(CDateTimeUI* control)
{
    owner = control;
    owner->updateMode = CDateTimeUI::UpdateNone;
    CManagerUI* manager = Manager();
    if (manager == NULL)
        return false;
    if (hwnd == NULL)
    {
        // A failed creation may already have ended this wrapper: leave it alone.
        if (Create(manager->GetPaintWindow(), NULL, WS_CHILD, 0, CalcPos()) == NULL)
            return false;
        // The system's picker gives itself a sunken edge; the control's own
        // border and background frame the date instead.
        const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
        ::SetWindowPos(hwnd, NULL, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const TFontEntry* font = manager->GetFontInfo(owner->GetFont());
        if (font != NULL)
            SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->font), TRUE);
        // The picker shows the date as the control does when it is closed.
        SendMessage(DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyy'-'MM'-'dd"));
    }
    // The picker opens at the date the control shows: a text given by the
    // skin or the application is the date, even when no picker wrote it.
    if (owner->GetText().IsEmpty())
        ::GetLocalTime(&owner->dateTime);
    else
        ReadDate(owner->GetText(), owner->dateTime);
    SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&owner->dateTime));
    HWND window = hwnd;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ::SetFocus(window);
    // Taking the focus runs other windows' handlers; they may have closed us.
    if (!::IsWindow(window))
        return false;
    initialised = true;
    return true;
}

bool CDateTimeWnd::IsOwnCalendar(HWND hWnd) const
{
    HWND calendar = reinterpret_cast<HWND>(::SendMessageW(hwnd, DTM_GETMONTHCAL, 0, 0));
    if (calendar == NULL || hWnd == NULL)
        return false;
    return hWnd == calendar || ::IsChild(calendar, hWnd);
}

void CDateTimeWnd::WriteBack()
{
    if (owner == NULL || owner->updateMode != CDateTimeUI::UpdateNone)
        return;
    SYSTEMTIME picked = {};
    if (SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked)) == GDT_VALID)
        owner->dateTime = picked;
    owner->updateMode = CDateTimeUI::UpdateFromValue;
    owner->UpdateText();
}

// Each message this window handles itself, with the rule it follows. The
// shell answers creation, destruction, painting and the loss of the focus
// alike for every native editor; the rest goes to the system's date picker.
struct CDateTimeWnd::Handlers
{
    static const TMessageRow<THandler<CDateTimeWnd>> table[];

    static LRESULT Default(CDateTimeWnd& w, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        return w.CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }

    static LRESULT OnKeyUp(CDateTimeWnd& w, WPARAM wParam, LPARAM lParam, bool& handled)
    {
        const bool clears = wParam == VK_BACK || wParam == VK_DELETE;
        handled = clears || wParam == VK_ESCAPE;
        if (!handled)
            return 0;
        const LRESULT result = Default(w, WM_KEYUP, wParam, lParam);
        if (w.owner != NULL)
        {
            w.owner->updateMode = clears ? CDateTimeUI::UpdateClear : CDateTimeUI::UpdateCancelled;
            w.owner->UpdateText();
        }
        w.PostMessage(WM_CLOSE);
        return result;
    }

    // The calendar closed: when it kept the focus from the picker, nothing
    // else will end the picking, so it ends here. The picker is still inside
    // its own notification: it closes once that has returned.
    static LRESULT OnNotify(CDateTimeWnd& w, WPARAM, LPARAM lParam, bool& handled)
    {
        handled = false;
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header == NULL || header->code != DTN_CLOSEUP || w.owner == NULL)
            return 0;
        handled = true;
        HWND focus = ::GetFocus();
        if (focus == w.hwnd || ::IsChild(w.hwnd, focus))
            return 0;
        w.WriteBack();
        w.PostMessage(WM_CLOSE);
        return 0;
    }
};

const TMessageRow<CDateTimeWnd::THandler<CDateTimeWnd>> CDateTimeWnd::Handlers::table[] = {
    {WM_KEYUP, OnKeyUp},
    {OCM_NOTIFY, OnNotify},
};

LRESULT CDateTimeWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return Dispatch<CDateTimeWnd>(Handlers::table, uMsg, wParam, lParam);
}

void CDateTimeUI::NativeEditorGone(const CWindowWnd* window)
{
    if (pickerWindow == window)
        pickerWindow = NULL;
}

// ---- CDateTimeUI ----

CDateTimeUI::CDateTimeUI() : dateTime(), updateMode(UpdateNone), pickerWindow(NULL)
{
    ::GetLocalTime(&dateTime);
    updateMode = UpdateFromValue;
    UpdateText();
    updateMode = UpdateNone;
}

// A tree deleted while the user edits takes the native window with it.
CDateTimeUI::~CDateTimeUI()
{
    DiscardNativeEditor(pickerWindow);
}

LPCWSTR CDateTimeUI::GetClassName() const
{
    return L"DateTime";
}

LPVOID CDateTimeUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"DateTime") == 0)
        return this;
    return CLabelUI::FindInterface(pstrName);
}

UINT CDateTimeUI::GetFlags() const
{
    return (IsEnabled() ? FlagSetCursor : 0) | (IsKeyboardEnabled() ? FlagTabStop : 0);
}

HWND CDateTimeUI::GetNativeWindow() const
{
    return pickerWindow != NULL ? pickerWindow->GetHWND() : NULL;
}

void CDateTimeUI::SetTime(const SYSTEMTIME& time)
{
    dateTime = time;
    updateMode = UpdateFromValue;
    UpdateText();
    updateMode = UpdateNone;
    // An open picker shows the new date, or it would write its old one back.
    if (pickerWindow != NULL)
        pickerWindow->SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&dateTime));
}

void CDateTimeUI::UpdateText()
{
    if (updateMode == UpdateClear)
    {
        SetText(L"");
    }
    else if (updateMode == UpdateFromValue)
    {
        CUIString shown;
        shown.Format(L"%4d-%02d-%02d", dateTime.wYear, dateTime.wMonth, dateTime.wDay);
        SetText(shown);
    }
}

void CDateTimeUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CLabelUI::SetPos(rc, bNeedInvalidate);
    PlacePicker();
}

void CDateTimeUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    CLabelUI::MoveBy(dx, dy, bNeedInvalidate);
    PlacePicker();
}

void CDateTimeUI::PlacePicker()
{
    PlaceNativeEditor(pickerWindow);
}

// Another control took the window's focus without the native focus moving
// (a focus set from code): the picker must not stay open under it. Handing
// the native focus back to the window closes it with the picked date.
void CDateTimeUI::ClosePickerOnFocusLoss()
{
    CloseNativeEditor(pickerWindow, manager);
}

// A new picker, or the open one refreshed, shown with the focus.
void CDateTimeUI::OpenPicker()
{
    CDateTimeWnd* window = pickerWindow != NULL ? pickerWindow : new CDateTimeWnd;
    pickerWindow = window;
    // A window that died during creation has already cleared pickerWindow
    // and deleted its wrapper; one that was never made leaves both to us,
    // so that the next focus can try again.
    if (!window->Init(this))
    {
        if (pickerWindow == window && !::IsWindow(window->GetHWND()))
        {
            pickerWindow = NULL;
            delete window;
        }
        return;
    }
    window->ShowWindow(true, true);
}

void CDateTimeUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    if (IsIgnoredPointerEvent(event.kind))
        return;
    switch (event.kind)
    {
    case EventSetCursor:
        if (!IsEnabled())
            break;
        ::SetCursor(::LoadCursorW(NULL, IDC_IBEAM));
        return;
    case EventWindowSize:
        if (pickerWindow != NULL && manager != NULL)
            manager->SetFocusNeeded(this);
        break;
    case EventScrollWheel:
        if (pickerWindow != NULL)
            return;
        break;
    case EventSetFocus:
        if (IsEnabled() && pickerWindow == NULL)
            OpenPicker();
        // The picker covers only the date's line: the focus frame around it
        // shows on the rest of the control.
        if (IsEnabled())
            Invalidate();
        break;
    case EventKillFocus:
        ClosePickerOnFocusLoss();
        if (IsEnabled())
            Invalidate();
        break;
    default:
        if (IsPressEvent(event.kind))
        {
            if (!IsEnabled())
                return;
            if (manager != NULL)
                manager->ReleaseCapture();
            if (pickerWindow != NULL || IsFocused())
                OpenPicker();
            return;
        }
        break;
    }
    CLabelUI::HandleEvent(event);
}
