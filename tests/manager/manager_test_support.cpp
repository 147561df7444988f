#include "manager_test_support.h"

int CCountedControl::alive = 0;

CTestWindow::CTestWindow()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.lpszClassName = L"ManagerTestWindow";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"manager test", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, NULL,
                               NULL, wc.hInstance, NULL);
}

CTestWindow::~CTestWindow()
{
    ::DestroyWindow(m_hWnd);
}
