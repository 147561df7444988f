#pragma once

#include <windows.h>

#include "ui/controls/ControlAttributes.h"
#include "ui/controls/ControlTag.h"
#include "ui/controls/Label.h"
#include "ui/controls/NativeEditor.h"

class CEditUI;

// The system's single-line edit window laid over an edit control while the
// user types. One is made per editing session; it copies every change of its
// text into the control, closes itself when it loses the focus and deletes
// itself when its window is gone.
class CEditWnd : public CNativeEditorWnd<CEditUI>
{
public:
    // Toggles the painted caret of a layered window.
    enum
    {
        CaretTimerId = 20
    };

    CEditWnd();

    // Creates the window over control and gives it the focus. False when the
    // window cannot be made: the wrapper may then already be gone, so the
    // caller touches it only while the control still points at it.
    bool Init(CEditUI* control);
    // Where the editor belongs in the window's client area: the control's
    // text area, one font line high and centred, clipped by every ancestor;
    // empty when an ancestor is hidden or clips it away.
    RECT CalcPos() const;

    // ---- Overridables ----
    LPCWSTR GetWindowClassName() const override;
    LPCWSTR GetSuperClassName() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

protected:
    // ---- Implementation ----
    struct Handlers;
    void OnEditChanged();
    // The brush for a colour request; null leaves the system's colours.
    HBRUSH BackgroundBrush(HDC hDC);

    // ---- Data ----
    bool drawCaret;
};

// A single-line text box. Most of the time it is a label that paints its text
// (or one password character per character) and its state images; while it
// has the focus the text is edited in a CEditWnd laid over it. Every change
// sends "textchanged", Enter sends "return" (both queued).
class CEditUI : public CLabelUI
{
    friend class CEditWnd;
    friend class CNativeEditorWnd<CEditUI>;

public:
    CEditUI();
    ~CEditUI() override;

    // ---- Overridables ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    // A tab stop with the text cursor.
    UINT GetFlags() const override;
    // Its content is the value, not the name.
    DWORD GetAccessibleRole() override;
    DWORD GetAccessibleState() override;
    bool GetAccessibleValue(CUIString& value) override;
    CUIString GetAccessibleText() override;
    // A focused image shows the focus as well as a focus border does.
    bool HasFocusedLook() const override;
    // The open editor's window, or null.
    HWND GetNativeWindow() const override;
    // Also copied into an open editor.
    void SetText(LPCWSTR pstrText) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    // Hiding the control (or an ancestor) closes its editor.
    void SetVisible(bool bVisible = true) override;
    void SetInheritedVisible(bool bVisible = true) override;
    void SetEnabled(bool bEnable = true) override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    // Without a fixed height: one line of the font plus 8.
    SIZE EstimateSize(SIZE szAvailable) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // ---- Operations ----
    bool IsEditing() const { return editWindow != NULL; }
    void SetMaxChar(int max);
    int GetMaxChar() const { return maxChar; }
    void SetReadOnly(bool bReadOnly);
    bool IsReadOnly() const { return readOnly; }
    // Takes effect when the editor is next opened.
    void SetNumberOnly(bool bNumberOnly);
    bool IsNumberOnly() const { return (windowStyle & ES_NUMBER) != 0; }
    void SetPasswordMode(bool bPasswordMode);
    bool IsPasswordMode() const { return passwordMode; }
    void SetPasswordChar(WCHAR ch);
    WCHAR GetPasswordChar() const { return passwordChar; }
    void SetAutoSelectAll(bool bAutoSelectAll) { autoSelectAll = bAutoSelectAll; }
    bool IsAutoSelectAll() const { return autoSelectAll; }
    // 0xFFFFFFFF: the system's edit colours; below alpha 255 the skin behind
    // the editor shows through, tinted by this colour.
    void SetNativeEditBkColor(DWORD color) { nativeBkColor = color; }
    DWORD GetNativeEditBkColor() const { return nativeBkColor; }
    UINT GetButtonState() const { return buttonState; }
    LPCWSTR GetNormalImage() const { return normalImage.drawString; }
    void SetNormalImage(LPCWSTR pStrImage);
    LPCWSTR GetHotImage() const { return hotImage.drawString; }
    void SetHotImage(LPCWSTR pStrImage);
    LPCWSTR GetFocusedImage() const { return focusedImage.drawString; }
    void SetFocusedImage(LPCWSTR pStrImage);
    LPCWSTR GetDisabledImage() const { return disabledImage.drawString; }
    void SetDisabledImage(LPCWSTR pStrImage);

protected:
    // ---- Implementation ----
    void OpenEditor();
    void CloseEditorOnHide();
    void CloseEditor();
    // Moves or hides the open editor after the control moved.
    void PlaceEditor();
    // The editor's window is gone.
    void NativeEditorGone(const CWindowWnd* window);
    // Pointer events, in the order they are tried; false when the event is
    // not one of theirs.
    bool HandlePointer(TControlEvent& event);
    bool HandleHover(TControlEvent& event);

    // ---- Data ----
    CEditWnd* editWindow;  // owned by its window: deletes itself when the window is gone
    int maxChar;
    bool readOnly;
    bool passwordMode;
    bool autoSelectAll;
    WCHAR passwordChar;
    UINT buttonState;
    DWORD nativeBkColor;
    UINT windowStyle;  // extra styles of the next editor
    TDrawSpec normalImage;
    TDrawSpec hotImage;
    TDrawSpec focusedImage;
    TDrawSpec disabledImage;

    static const TAttributeRow<CEditUI> attributeTable[];
};

// The element name that makes this control in skins.
inline constexpr TControlTag kEditTags[] = {
    {L"Edit", AnyCase, MakeControl<CEditUI>},
};
