#pragma once

#include <windows.h>

// Ties one native window to one object: registers the class on first use,
// creates the window with the object as creation parameter, finds the object
// again in a static window procedure and routes every message to the virtual
// HandleMessage. A derived class allocated per window deletes itself in
// OnFinalMessage; the wrapper never owns its own lifetime.
class CWindowWnd
{
public:
    CWindowWnd();
    virtual ~CWindowWnd() = default;

    // Overridables, in this order.
    virtual LPCWSTR GetWindowClassName() const = 0;
    // Non-null registers a superclass of that system class instead of an own class.
    virtual LPCWSTR GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    // Base: hands the message to previousProcedure.
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // The last the wrapper hears of its window; hwnd is already null.
    virtual void OnFinalMessage(HWND hWnd);

    // Registers the class and creates the window; null when either fails.
    HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU hMenu = NULL);
    HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
                HMENU hMenu = NULL);

    HWND GetHWND() const { return hwnd; }
    operator HWND() const { return hwnd; }

    // Posts WM_CLOSE with the code as wParam; nothing once the window is gone.
    void Close(UINT nRet = IDOK);
    // show+takeFocus: SW_SHOWNORMAL; show alone: SW_SHOWNOACTIVATE; else SW_HIDE.
    void ShowWindow(bool bShow = true, bool bTakeFocus = true);
    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    static LRESULT CALLBACK WindowProcedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SuperclassProcedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

protected:
    friend class CWindowWndRouter;

    HWND hwnd;
    WNDPROC previousProcedure;

private:
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;
};
