#pragma once
// What the controls that lay a native window over themselves while the user
// edits (the edit, the date picker) share.

#include <windows.h>

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
