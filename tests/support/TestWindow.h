#pragma once

#include <windows.h>

class CManagerUI;

// A hidden top-level window of the default window procedure, for code that
// needs a real window handle (timers, a manager's paint window); destroyed at
// the end of the scope.
class CTestWindow
{
public:
    explicit CTestWindow(DWORD style = WS_OVERLAPPEDWINDOW, int width = 200, int height = 150);
    ~CTestWindow();
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

// A top-level window whose procedure offers every message to its manager,
// as the application's window does. The manager is initialised on it.
class CHostWindow
{
public:
    CHostWindow(CManagerUI& manager, int width, int height, bool visible = false, DWORD style = WS_POPUP);
    ~CHostWindow();
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;

    HWND Get() const { return m_hWnd; }
    // Runs the window's pending messages, for at most ms milliseconds, until done returns true.
    template <class TDone> bool PumpUntil(TDone done, DWORD ms);
    // Runs every message waiting in the thread's queue.
    void Pump();

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd;
};

template <class TDone> bool CHostWindow::PumpUntil(TDone done, DWORD ms)
{
    const DWORD start = ::GetTickCount();
    while (!done())
    {
        if (::GetTickCount() - start > ms)
            return false;
        Pump();
        ::Sleep(5);
    }
    return true;
}
