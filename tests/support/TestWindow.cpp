#include "tests/support/TestWindow.h"

#include "ui/manager/Manager.h"

CTestWindow::CTestWindow(DWORD style, int width, int height)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.lpszClassName = L"PlainTestWindow";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"test window", style, 10, 10, width, height, NULL, NULL,
                               wc.hInstance, NULL);
}

CTestWindow::~CTestWindow()
{
    ::DestroyWindow(m_hWnd);
}

CHostWindow::CHostWindow(CManagerUI& manager, int width, int height, bool visible, DWORD style)
{
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = L"ManagerHostTestWindow";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"host test", style, 100, 100, width, height, NULL, NULL,
                               wc.hInstance, NULL);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&manager));
    manager.Init(m_hWnd);
    if (visible)
    {
        ::ShowWindow(m_hWnd, SW_SHOW);
        ::SetForegroundWindow(m_hWnd);
    }
}

CHostWindow::~CHostWindow()
{
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    ::DestroyWindow(m_hWnd);
}

void CHostWindow::Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK CHostWindow::Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CManagerUI* manager = reinterpret_cast<CManagerUI*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (manager != NULL && manager->MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}
