#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/manager/Manager.h"

class CControlUI;

// A shown top-level window, topmost at a fixed place on the screen, whose
// procedure offers every message to its own manager as the application's
// window does, and whose pump pre-translates as the product's message loop.
// Its tree is built from a whole skin document. Tests drive it with the
// system's own input (RealInput.h), so they must not share the display with
// other tests.
class CShownWindow : public INotifyUI
{
public:
    enum
    {
        Left = 100,
        Top = 100
    };

    CShownWindow(LPCWSTR document, int width, int height, bool layered = false);
    ~CShownWindow();
    CShownWindow(const CShownWindow&) = delete;
    CShownWindow& operator=(const CShownWindow&) = delete;

    HWND Get() const { return m_hWnd; }
    CManagerUI& Manager() { return m_manager; }
    template <class T> T* Find(const wchar_t* name) const
    {
        return static_cast<T*>(m_manager.FindControlByName(name));
    }
    // Destroys the window now, as closing it would.
    void DestroyWindowNow();

    // Runs pending messages through the manager's pre-translation.
    void Pump();
    // Pumps until done() or until ms have passed; false on timeout.
    template <class TDone> bool PumpUntil(TDone done, DWORD ms = 3000)
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
    // Pumps for a while, so that input already sent has surely arrived.
    void Settle(DWORD ms = 150);

    // A point of the client area in screen coordinates.
    POINT Screen(int x, int y) const;

    // Notifications received: "<sender name>:<type>".
    std::vector<std::string> notes;
    size_t Count(const std::string& note) const;
    // WM_NOTIFY codes that reached the window.
    std::vector<UINT> notifyCodes;

private:
    void Notify(TNotifyMsg& msg) override;
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    CManagerUI m_manager;
    HWND m_hWnd;
};

// "<Window>" + body + "</Window>": a document of controls, fonts and defaults
// for a window whose size the host gives.
std::wstring WindowDocument(const wchar_t* body);

// Clicks the middle of a control of the window with the system's input.
void ClickControl(const CShownWindow& window, const CControlUI* control);
