#include "tests/support/ShownWindow.h"

#include "tests/support/Describe.h"
#include "tests/support/RealInput.h"
#include "ui/controls/Control.h"
#include "ui/builder/LayoutBuilder.h"

CShownWindow::CShownWindow(LPCWSTR document, int width, int height, bool layered) : m_hWnd(NULL)
{
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = L"ShownTestWindow";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"shown test window", WS_POPUP, Left, Top,
                               width, height, NULL, NULL, wc.hInstance, NULL);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_manager.Init(m_hWnd);
    if (layered)
        m_manager.SetLayered(true);
    m_manager.AddNotifier(this);
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(document, NULL, &m_manager);
    if (root != NULL)
        m_manager.AttachRoot(root);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_hWnd);
    ::UpdateWindow(m_hWnd);
    // Activation arrives through the display server and moves the focus:
    // it must have settled before a test moves it.
    PumpUntil([this] { return ::GetActiveWindow() == m_hWnd; }, 2000);
    Settle();
}

CShownWindow::~CShownWindow()
{
    m_manager.RemoveNotifier(this);
    DestroyWindowNow();
    Pump();
}

void CShownWindow::DestroyWindowNow()
{
    if (m_hWnd == NULL)
        return;
    ::DestroyWindow(m_hWnd);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    m_hWnd = NULL;
}

void CShownWindow::Pump()
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

void CShownWindow::Settle(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

POINT CShownWindow::Screen(int x, int y) const
{
    POINT pt = {x, y};
    ::ClientToScreen(m_hWnd, &pt);
    return pt;
}

size_t CShownWindow::Count(const std::string& note) const
{
    size_t count = 0;
    for (const std::string& line : notes)
        count += line == note ? 1 : 0;
    return count;
}

void CShownWindow::Notify(TNotifyMsg& msg)
{
    const std::string sender = msg.sender != NULL ? Narrow(msg.sender->GetName()) : std::string("(gone)");
    notes.push_back(sender + ":" + Narrow(msg.type));
}

LRESULT CALLBACK CShownWindow::Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CShownWindow* owner = reinterpret_cast<CShownWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (owner == NULL)
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NOTIFY && lParam != 0)
        owner->notifyCodes.push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
    LRESULT result = 0;
    if (owner->m_manager.MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

std::wstring WindowDocument(const wchar_t* body)
{
    return std::wstring(L"<Window>") + body + L"</Window>";
}

void ClickControl(const CShownWindow& window, const CControlUI* control)
{
    const RECT rc = control->GetPos();
    const POINT pt = window.Screen((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ClickAt(pt.x, pt.y);
}
