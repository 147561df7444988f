#pragma once
// What the controls that lay a native window over themselves while the user
// edits (the edit, the date picker) share: the window's shell, and how the
// control places, closes and discards it.

#include <windows.h>

#include "ui/controls/Control.h"
#include "ui/core/MessageTable.h"
#include "ui/core/WindowWnd.h"

// A native window over a TOwner control while the user edits in it. The
// wrapper belongs to its window and deletes itself with the window's final
// message; the control only points at it. The subclass names the system
// class, creates the window and answers its own messages from a table of
// THandlers; the shell answers the messages every such window handles alike.
// TOwner tells the shell that the window is gone through
// NativeEditorGone(const CWindowWnd*), and must befriend the shell for it.
template <class TOwner> class CNativeEditorWnd : public CWindowWnd
{
public:
    // The control is being destroyed: nothing may reach it any more.
    void DetachOwner() { owner = NULL; }
    // Where the window belongs in the window's client area: area clipped by
    // the client area of every ancestor of the owner; empty when an ancestor
    // is hidden or clips it away, so that the editor never shows what an
    // ancestor hides.
    RECT ClippedByAncestors(RECT area) const
    {
        if (owner == NULL || !owner->ClipToAncestors(area, true, true))
            ::SetRectEmpty(&area);
        return area;
    }

    void OnFinalMessage(HWND hWnd) override
    {
        if (owner != NULL)
        {
            owner->Invalidate();
            if (CManagerUI* manager = Manager())
                manager->RemoveNativeWindow(hWnd);
            owner->NativeEditorGone(this);
        }
        delete this;
    }

protected:
    // A message handler of the subclass TWindow: sets handled when the
    // message needs nothing more; otherwise the system's procedure runs.
    template <class TWindow>
    using THandler = LRESULT (*)(TWindow& w, WPARAM wParam, LPARAM lParam, bool& handled);

    CNativeEditorWnd() : owner(NULL), bkBrush(NULL), initialised(false), destroying(false) {}
    ~CNativeEditorWnd() override
    {
        if (bkBrush != NULL)
            ::DeleteObject(bkBrush);
    }

    // The handler of uMsg from the subclass's table, then, unless it handled
    // the message, the shell's own answer or the system's procedure.
    template <class TWindow, size_t N>
    LRESULT Dispatch(const TMessageRow<THandler<TWindow>> (&rows)[N], UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (THandler<TWindow> handler = FindMessageHandler(rows, uMsg))
        {
            bool handled = false;
            const LRESULT result = handler(static_cast<TWindow&>(*this), wParam, lParam, handled);
            if (handled)
                return result;
        }
        switch (uMsg)
        {
        case WM_CREATE:
            RegisterForRepaint();
            break;
        case WM_DESTROY:
            // No further close requests from here on.
            destroying = true;
            break;
        case WM_PAINT:
            if (IsLayered())
                RegisterForRepaint();
            break;
        case WM_KILLFOCUS:
            return EndOnFocusLoss(wParam, lParam);
        default:
            break;
        }
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }

    // The manager of the owner, or null once the owner is gone.
    CManagerUI* Manager() const { return owner != NULL ? owner->GetManager() : NULL; }
    bool IsLayered() const
    {
        CManagerUI* manager = Manager();
        return manager != NULL && manager->IsLayered();
    }
    // Asks a layered window to compose this editor into its next picture.
    void RegisterForRepaint()
    {
        if (CManagerUI* manager = Manager())
            manager->AddNativeWindow(owner, hwnd);
    }

    // Whether the focus moving to next is still part of the editing (a
    // drop-down of the editor's own).
    virtual bool KeepsEditingWith(HWND) const { return false; }
    // The editing ends because the focus left: the last chance to take
    // what the user entered.
    virtual void OnEditingEnds() {}

    TOwner* owner;   // not owned; null once the control is destroyed
    HBRUSH bkBrush;  // owned
    bool initialised;
    bool destroying;  // WM_DESTROY has arrived: no further close requests

private:
    // Losing the focus ends the editing. The manager's window hears of a
    // focus that leaves for elsewhere, so that its focus control follows.
    LRESULT EndOnFocusLoss(WPARAM wParam, LPARAM lParam)
    {
        HWND self = hwnd;
        HWND next = reinterpret_cast<HWND>(wParam);
        const LRESULT result = CWindowWnd::HandleMessage(WM_KILLFOCUS, wParam, lParam);
        CManagerUI* manager = Manager();
        if (destroying || manager == NULL || KeepsEditingWith(next))
            return result;
        OnEditingEnds();
        HWND paintWindow = manager->GetPaintWindow();
        if (next != paintWindow && paintWindow != NULL)
            ::SendMessageW(paintWindow, WM_KILLFOCUS, wParam, lParam);
        // The manager may have deleted the control, and with it this window.
        if (::IsWindow(self))
            ::SendMessageW(self, WM_CLOSE, 0, 0);
        return result;
    }
};

// Moves an open editor to where it belongs, or hides it while nothing of it
// would show.
template <class TWindow> void PlaceNativeEditor(TWindow* editor)
{
    if (editor == NULL)
        return;
    const RECT rc = editor->CalcPos();
    HWND hWnd = editor->GetHWND();
    if (::IsRectEmpty(&rc))
        ::ShowWindow(hWnd, SW_HIDE);
    else
        ::SetWindowPos(hWnd, NULL, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// Closes an open editor as a user's click elsewhere would: the native focus
// goes back to the manager's window, and the editor, losing it, closes
// itself (and may clear editor on the way). One that did not hold the focus
// (the application was in the background) is closed directly.
template <class TWindow> void CloseNativeEditor(TWindow*& editor, CManagerUI* manager)
{
    if (editor == NULL)
        return;
    HWND paintWindow = manager != NULL ? manager->GetPaintWindow() : NULL;
    if (paintWindow != NULL && ::GetFocus() == editor->GetHWND())
        ::SetFocus(paintWindow);
    if (editor != NULL)
        editor->SendMessage(WM_CLOSE);
}

// Ends a control's native editor when the control goes first: the window's
// wrapper may outlive the control, so it is told first and then destroyed,
// and none of its handlers reaches the control afterwards. The pointer is
// cleared; the window's final message deletes the wrapper.
template <class TWindow> void DiscardNativeEditor(TWindow*& editor)
{
    if (editor == NULL)
        return;
    TWindow* window = editor;
    editor = NULL;
    window->DetachOwner();
    HWND hWnd = window->GetHWND();
    if (::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
    else
        delete window;
}
