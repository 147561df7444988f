#include "editor_test_support.h"

#include "ui/markup/LayoutBuilder.h"

CEditorHost::CEditorHost(int width, int height, const wchar_t* xml, bool layered) : m_hWnd(NULL)
{
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = L"EditorTestHost";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"editor test", WS_POPUP, Left, Top, width,
                               height, NULL, NULL, wc.hInstance, NULL);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_manager));
    m_manager.Init(m_hWnd);
    if (layered)
        m_manager.SetLayered(true);
    m_manager.AddNotifier(this);
    std::wstring document = L"<Window>";
    document += xml;
    document += L"</Window>";
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(document.c_str(), NULL, &m_manager);
    if (root != NULL)
        m_manager.AttachRoot(root);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_hWnd);
    ::UpdateWindow(m_hWnd);
    // Activation arrives through the display server and moves the focus:
    // it must have settled before a test moves it.
    PumpUntil([this] { return ::GetActiveWindow() == m_hWnd; }, 2000);
    PumpUntil([] { return false; }, 30);
}

CEditorHost::~CEditorHost()
{
    DestroyWindowNow();
    Pump();
}

void CEditorHost::DestroyWindowNow()
{
    if (m_hWnd == NULL)
        return;
    ::DestroyWindow(m_hWnd);
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    m_hWnd = NULL;
}

void CEditorHost::Pump()
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

size_t CEditorHost::Count(const std::string& note) const
{
    size_t count = 0;
    for (const std::string& line : notes)
        count += line == note ? 1 : 0;
    return count;
}

void CEditorHost::Notify(TNotifyMsg& msg)
{
    const std::string sender = msg.sender != NULL ? Narrow(msg.sender->GetName()) : std::string("(gone)");
    notes.push_back(sender + ":" + Narrow(msg.type));
}

LRESULT CALLBACK CEditorHost::Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CManagerUI* manager = reinterpret_cast<CManagerUI*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (manager != NULL && manager->MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

namespace
{
void SendMouse(DWORD flags, int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
}

void SendKey(WORD vk, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

struct TWindowCount
{
    const wchar_t* className;
    int count;
};

BOOL CALLBACK CountOne(HWND hWnd, LPARAM data)
{
    TWindowCount* counter = reinterpret_cast<TWindowCount*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    if (counter->className == NULL || wcscmp(name, counter->className) == 0)
        ++counter->count;
    return TRUE;
}
}  // namespace

void ClickAt(int screenX, int screenY)
{
    ::SetCursorPos(screenX, screenY);
    SendMouse(MOUSEEVENTF_MOVE, screenX, screenY);
    SendMouse(MOUSEEVENTF_LEFTDOWN, screenX, screenY);
    SendMouse(MOUSEEVENTF_LEFTUP, screenX, screenY);
}

void ClickControl(const CEditorHost& host, const CControlUI* control)
{
    const RECT rc = control->GetPos();
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(host.Get(), &pt);
    ClickAt(pt.x, pt.y);
}

void PressKey(WORD vk)
{
    SendKey(vk, 0);
    SendKey(vk, KEYEVENTF_KEYUP);
}

void TypeText(const char* text)
{
    for (const char* p = text; *p != '\0'; ++p)
    {
        const char c = *p;
        const WORD vk = (c >= 'a' && c <= 'z') ? static_cast<WORD>(c - 'a' + 'A') : static_cast<WORD>(c);
        PressKey(vk);
    }
}

int CountChildWindows(HWND parent, const wchar_t* className)
{
    TWindowCount counter = {className, 0};
    if (parent != NULL && ::IsWindow(parent))
        ::EnumChildWindows(parent, CountOne, reinterpret_cast<LPARAM>(&counter));
    return counter.count;
}

int CountThreadWindows()
{
    TWindowCount counter = {NULL, 0};
    ::EnumThreadWindows(::GetCurrentThreadId(), CountOne, reinterpret_cast<LPARAM>(&counter));
    return counter.count;
}

RECT ChildRect(HWND parent, HWND child)
{
    RECT rc = {};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(NULL, parent, reinterpret_cast<LPPOINT>(&rc), 2);
    return rc;
}
