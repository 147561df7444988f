#include "richedit_window.h"

#include "ui/controls/Control.h"
#include "ui/markup/LayoutBuilder.h"

namespace
{
const int kLeft = 100;
const int kTop = 100;

void SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}
}  // namespace

CEditWindow::CEditWindow(LPCWSTR xml, int width, int height) : window(NULL), edit(NULL)
{
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = L"RichEditTestHost";
    ::RegisterClassW(&wc);
    window = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"rich edit test", WS_POPUP, kLeft, kTop,
                               width, height, NULL, NULL, wc.hInstance, NULL);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    manager.Init(window);
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(xml, NULL, &manager);
    manager.AttachRoot(root);
    manager.AddNotifier(this);
    edit = static_cast<CRichEditUI*>(manager.FindControlByName(L"edit"));
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    ::UpdateWindow(window);
    Settle();
}

CEditWindow::~CEditWindow()
{
    manager.RemoveNotifier(this);
    ::DestroyWindow(window);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    Pump();
}

void CEditWindow::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        if (CManagerUI::PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CEditWindow::Settle(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms)
    {
        Pump();
        ::Sleep(5);
    }
}

POINT CEditWindow::Screen(int x, int y) const
{
    POINT pt = {x, y};
    ::ClientToScreen(window, &pt);
    return pt;
}

void CEditWindow::ClickInto(int x, int y)
{
    MouseTo(Screen(x, y));
    Settle(50);
    MouseButton(true);
    MouseButton(false);
    Settle();
}

int CEditWindow::Count(LPCWSTR type) const
{
    int count = 0;
    for (const std::wstring& note : notes)
        count += note == type ? 1 : 0;
    return count;
}

void CEditWindow::Notify(TNotifyMsg& msg)
{
    notes.push_back(static_cast<LPCWSTR>(msg.type));
}

LRESULT CALLBACK CEditWindow::Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CEditWindow* owner = reinterpret_cast<CEditWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (owner == NULL)
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NOTIFY && lParam != 0)
        owner->notifyCodes.push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
    LRESULT result = 0;
    if (owner->manager.MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

void PressKey(WORD vk, bool ctrl, bool shift)
{
    if (ctrl)
        SendKey(VK_CONTROL, false);
    if (shift)
        SendKey(VK_SHIFT, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (shift)
        SendKey(VK_SHIFT, true);
    if (ctrl)
        SendKey(VK_CONTROL, true);
}

void TypeText(const char* text)
{
    for (const char* c = text; *c != 0; ++c)
    {
        const WORD vk =
            *c == ' ' ? VK_SPACE : static_cast<WORD>(*c >= 'a' && *c <= 'z' ? *c - 'a' + 'A' : *c);
        PressKey(vk);
    }
}

void MouseTo(POINT screen)
{
    ::SetCursorPos(screen.x, screen.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
}

void MouseButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(input));
}
