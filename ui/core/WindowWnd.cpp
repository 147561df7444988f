#include "ui/core/WindowWnd.h"

namespace
{
const wchar_t kWrapperProperty[] = L"WndX";

// Classes are registered in the executable module. The start-up module record
// lives in the skin settings, a layer above this one; for this single-module
// program both name the same executable.
HINSTANCE ModuleHandle()
{
    return ::GetModuleHandleW(NULL);
}

bool RegisteredOrExisting(ATOM atom)
{
    return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Where a window keeps its wrapper pointer: own classes in the user-data slot,
// superclasses in a window property so the system class keeps its slot.
struct TWrapperSlot
{
    CWindowWnd* (*get)(HWND);
    void (*set)(HWND, CWindowWnd*);
};

CWindowWnd* GetFromUserData(HWND hWnd)
{
    return reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
}

void SetUserData(HWND hWnd, CWindowWnd* pWnd)
{
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pWnd));
}

CWindowWnd* GetFromProperty(HWND hWnd)
{
    return static_cast<CWindowWnd*>(::GetPropW(hWnd, kWrapperProperty));
}

void SetProperty(HWND hWnd, CWindowWnd* pWnd)
{
    ::SetPropW(hWnd, kWrapperProperty, pWnd);
}

const TWrapperSlot kUserDataSlot = {GetFromUserData, SetUserData};
const TWrapperSlot kPropertySlot = {GetFromProperty, SetProperty};
}  // namespace

// Gives the shared window procedure access to the wrapper's handle and previous
// procedure without making them public.
class CWindowWndRouter
{
public:
    static LRESULT Route(const TWrapperSlot& slot, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        CWindowWnd* pWnd = NULL;
        if (uMsg == WM_NCCREATE)
        {
            const CREATESTRUCTW* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            pWnd = static_cast<CWindowWnd*>(pCreate->lpCreateParams);
            if (pWnd != NULL)
            {
                pWnd->hwnd = hWnd;
                slot.set(hWnd, pWnd);
            }
        }
        else
        {
            pWnd = slot.get(hWnd);
            if (uMsg == WM_NCDESTROY && pWnd != NULL)
                return Detach(slot, pWnd, hWnd, wParam, lParam);
        }
        if (pWnd == NULL)
            return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
        return pWnd->HandleMessage(uMsg, wParam, lParam);
    }

private:
    static LRESULT Detach(const TWrapperSlot& slot, CWindowWnd* pWnd, HWND hWnd, WPARAM wParam, LPARAM lParam)
    {
        const LRESULT result = ::CallWindowProcW(pWnd->previousProcedure, hWnd, WM_NCDESTROY, wParam, lParam);
        slot.set(hWnd, NULL);
        pWnd->hwnd = NULL;
        pWnd->OnFinalMessage(hWnd);  // may delete pWnd
        return result;
    }
};

CWindowWnd::CWindowWnd() : hwnd(NULL), previousProcedure(::DefWindowProcW)
{
}

LPCWSTR CWindowWnd::GetSuperClassName() const
{
    return NULL;
}

UINT CWindowWnd::GetClassStyle() const
{
    return 0;
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(previousProcedure, hwnd, uMsg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND)
{
}

HWND CWindowWnd::Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y,
                        int cx, int cy, HMENU hMenu)
{
    const bool registered = GetSuperClassName() != NULL ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered)
        return NULL;
    HWND hWnd = ::CreateWindowExW(dwExStyle, GetWindowClassName(), pstrName, dwStyle, x, y, cx, cy,
                                  hwndParent, hMenu, ModuleHandle(), this);
    // A creation that fails after WM_NCCREATE has already run OnFinalMessage,
    // which may have deleted this object: touch it only for a live window.
    if (hWnd == NULL)
        return NULL;
    hwnd = hWnd;
    return hWnd;
}

HWND CWindowWnd::Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
                        HMENU hMenu)
{
    return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top, hMenu);
}

void CWindowWnd::Close(UINT nRet)
{
    if (::IsWindow(hwnd))
        ::PostMessageW(hwnd, WM_CLOSE, static_cast<WPARAM>(nRet), 0);
}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus)
{
    if (!::IsWindow(hwnd))
        return;
    const int command = !bShow ? SW_HIDE : (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
    ::ShowWindow(hwnd, command);
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(hwnd, uMsg, wParam, lParam);
}

BOOL CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(hwnd, uMsg, wParam, lParam);
}

bool CWindowWnd::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = CWindowWnd::WindowProcedure;
    wc.hInstance = ModuleHandle();
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    return RegisteredOrExisting(::RegisterClassW(&wc));
}

bool CWindowWnd::RegisterSuperclass()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(NULL, GetSuperClassName(), &wc) &&
        !::GetClassInfoExW(ModuleHandle(), GetSuperClassName(), &wc))
        return false;
    // Taken on every registration so that each window of the class, not only
    // the first, passes unhandled messages to the system class.
    previousProcedure = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::SuperclassProcedure;
    wc.hInstance = ModuleHandle();
    wc.lpszClassName = GetWindowClassName();
    return RegisteredOrExisting(::RegisterClassExW(&wc));
}

LRESULT CALLBACK CWindowWnd::WindowProcedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return CWindowWndRouter::Route(kUserDataSlot, hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::SuperclassProcedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return CWindowWndRouter::Route(kPropertySlot, hWnd, uMsg, wParam, lParam);
}
