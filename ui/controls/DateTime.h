#pragma once

#include <windows.h>

#include "ui/controls/ControlTag.h"
#include "ui/controls/Label.h"
#include "ui/controls/NativeEditor.h"

class CDateTimeUI;

// The system's date picker laid over a date control while it has the focus.
// One is made per editing session; it writes the chosen date back when it
// closes and deletes itself when its window is gone.
class CDateTimeWnd : public CNativeEditorWnd<CDateTimeUI>
{
public:
    // Creates the window over control when there is none yet, loads the
    // control's date into it and gives it the focus. False when the window
    // cannot be made: the wrapper may then already be gone, so the caller
    // touches it only while the control still points at it.
    bool Init(CDateTimeUI* control);
    // The control's rectangle clipped by every ancestor; empty when an
    // ancestor is hidden or clips it away.
    RECT CalcPos() const;

    // ---- Overridables ----
    LPCWSTR GetWindowClassName() const override;
    LPCWSTR GetSuperClassName() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

protected:
    // ---- Implementation ----
    struct Handlers;
    // The drop-down calendar takes the focus from the picker while it is
    // open (the system does so on some platforms): that is still picking.
    bool KeepsEditingWith(HWND next) const override { return IsOwnCalendar(next); }
    // Losing the focus ends the picking with the chosen date.
    void OnEditingEnds() override { WriteBack(); }
    // Whether hWnd is this picker's drop-down calendar or inside it.
    bool IsOwnCalendar(HWND hWnd) const;
    // Copies the picked date into the control unless the editing was
    // cleared or cancelled.
    void WriteBack();
};

// A label showing a date as year-month-day (the year padded with blanks to
// four places). While focused, the date is picked in a CDateTimeWnd laid
// over it; Backspace or Delete there clears the text, Escape keeps it.
class CDateTimeUI : public CLabelUI
{
    friend class CDateTimeWnd;
    friend class CNativeEditorWnd<CDateTimeUI>;

public:
    // How the text follows the next change.
    enum TUpdateMode
    {
        UpdateNone = 0,
        UpdateFromValue = 1,
        UpdateClear = 2,
        UpdateCancelled = 3,
    };

    CDateTimeUI();
    ~CDateTimeUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // A tab stop with the text cursor.
    UINT GetFlags() const override;
    // The date shown is the value, not the name.
    DWORD GetAccessibleRole() override;
    bool GetAccessibleValue(CUIString& value) override;
    CUIString GetAccessibleText() override;
    // The open picker's window, or null.
    HWND GetNativeWindow() const override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    void HandleEvent(TControlEvent& event) override;

    // ---- Operations ----
    bool IsPicking() const { return pickerWindow != NULL; }
    const SYSTEMTIME& GetTime() const { return dateTime; }
    // Takes the date and shows it, in an open picker too.
    void SetTime(const SYSTEMTIME& time);
    // Applies the pending update mode to the text: the date, or nothing.
    void UpdateText();

protected:
    // ---- Implementation ----
    void OpenPicker();
    void PlacePicker();
    // The picker's window is gone.
    void NativeEditorGone(const CWindowWnd* window);
    void ClosePickerOnFocusLoss();

    // ---- Data ----
    SYSTEMTIME dateTime;
    int updateMode;
    CDateTimeWnd* pickerWindow;  // owned by its window: deletes itself when the window is gone
};

// The element name that makes this control in skins.
inline constexpr TControlTag kDateTimeTags[] = {
    {L"DateTime", AnyCase, MakeControl<CDateTimeUI>},
};
