#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls/RichEdit.h"
#include "ui/manager/Manager.h"

// A shown window whose control tree is built from skin XML and fed with the
// system's own input, with a message loop that pre-translates as the
// product's does (Tab moves the focus unless a rich edit claims it).
class CEditWindow : public INotifyUI
{
public:
    // xml: the window's document; the rich edit in it is named "edit".
    explicit CEditWindow(LPCWSTR xml, int width = 300, int height = 200);
    ~CEditWindow();

    HWND Get() const { return window; }
    CManagerUI& Manager() { return manager; }
    CRichEditUI* Edit() const { return edit; }

    // Runs pending messages until done returns true, for at most ms milliseconds.
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
    void Pump();
    // Pumps for a while, so that input already sent has surely arrived.
    void Settle(DWORD ms = 150);

    // Puts the keyboard focus into the edit with a real click on its text.
    void ClickInto(int x, int y);
    // A point of the window's client area in screen coordinates.
    POINT Screen(int x, int y) const;

    // Notification types received, in order ("textchanged", "return", ...).
    std::vector<std::wstring> notes;
    int Count(LPCWSTR type) const;
    // WM_NOTIFY codes that reached the window.
    std::vector<UINT> notifyCodes;

private:
    void Notify(TNotifyMsg& msg) override;
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    CManagerUI manager;
    HWND window;
    CRichEditUI* edit;
};

// System input, as the keyboard and the mouse would give it.
void PressKey(WORD vk, bool ctrl = false, bool shift = false);
void TypeText(const char* lowercaseLettersAndSpaces);
void MouseTo(POINT screen);
void MouseButton(bool down);
