#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls/Control.h"
#include "tests/support/Canvas.h"
#include "tests/support/Describe.h"
#include "ui/manager/Manager.h"

// A shown top-level window at a fixed place on the screen, built from skin
// XML, whose procedure offers every message to its manager as the
// application's window does. Input comes from the system (SendInput), so the
// tests that use it must not share the display with other tests.
class CEditorHost : public INotifyUI
{
public:
    enum
    {
        Left = 100,
        Top = 100
    };

    // xml is the body of a "Window" element: controls, fonts, defaults.
    CEditorHost(int width, int height, const wchar_t* xml, bool layered = false);
    ~CEditorHost();

    HWND Get() const { return m_hWnd; }
    CManagerUI& Manager() { return m_manager; }
    template <class T> T* Find(const wchar_t* name) const
    {
        return static_cast<T*>(m_manager.FindControlByName(name));
    }
    // Destroys the window now, as closing it would.
    void DestroyWindowNow();

    // Runs pending messages through the manager's pre-translation, as the
    // message loop does.
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

    // Notifications received: "<sender name>:<type>".
    std::vector<std::string> notes;
    size_t Count(const std::string& note) const;
    void Notify(TNotifyMsg& msg) override;

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    CManagerUI m_manager;
    HWND m_hWnd;
};

// System input, as a user produces it.
void ClickAt(int screenX, int screenY);
// Clicks the middle of a control of the host.
void ClickControl(const CEditorHost& host, const CControlUI* control);
// Presses and releases a virtual key.
void PressKey(WORD vk);
// Types lower-case letters, digits and blanks.
void TypeText(const char* text);

// Native child windows of parent whose class is className.
int CountChildWindows(HWND parent, const wchar_t* className);
// Top-level windows of this thread.
int CountThreadWindows();

// The window's client rectangle of a native child.
RECT ChildRect(HWND parent, HWND child);
