#pragma once

#include "ui/controls/Combo.h"
#include "ui/core/WindowWnd.h"
#include "ui/manager/Manager.h"

// The combo's drop-down: a pop-up window owned by the combo's window, with a
// manager of its own whose root is a body holding the combo's rows. It
// closes when the focus goes to a window outside it, on Return, Escape, Tab
// and a click on a row, and it gives the rows back to the combo whenever it
// goes, closed or destroyed. It deletes itself after its last message.
class CComboWnd : public CWindowWnd, private ITranslateAccelerator
{
public:
    // Opens a drop-down below (or, near the bottom of the screen, above) the
    // combo and records it as the combo's drop-down; null when no window could
    // be made.
    static CComboWnd* Open(CComboUI* pOwner);

    LPCWSTR GetWindowClassName() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

    CManagerUI& GetManager() { return manager; }
    CComboBodyUI* GetBody() const { return body; }
    // Scrolls the combo's selected row into view.
    void EnsureVisible(int iIndex);
    // A row leaving the combo leaves the drop-down too.
    void ForgetItem(CControlUI* pControl);
    // Whether the rows are laid out in the drop-down (until they are given back).
    bool HoldsItems() const { return itemsLent; }

private:
    explicit CComboWnd(CComboUI* pOwner);
    // Where the drop-down goes, in screen coordinates.
    RECT PlaceBelowOrAbove() const;
    void ShareLook();
    void OnCreate();
    // Gives the rows back to the combo, with no place in its window; after a
    // close the combo also lays itself out again and takes the focus.
    void ReturnItems(bool bAfterClose);
    // The focus went to a window that is neither the drop-down nor inside it.
    bool FocusLeft() const;
    void CloseDropDown();
    // Tab and Shift+Tab close the drop-down, keeping the selection, and move
    // the focus on from the combo, as they would from the closed combo.
    LRESULT TranslateAccelerator(MSG* pMsg) override;

    CManagerUI manager;
    CComboUI* owner;     // not owned
    CComboBodyUI* body;  // the manager's root
    int previousSel;
    bool scrollBarPressed;
    bool itemsLent;     // the rows are children of the body
    int tabAfterClose;  // 1 forward, -1 backward, 0 stay on the combo
};
