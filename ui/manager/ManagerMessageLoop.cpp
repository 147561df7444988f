#include "ui/manager/Manager.h"

#include <wchar.h>

#include "ui/controls/Control.h"
#include "ui/controls/LinkFocus.h"
#include "ui/controls/RichEdit.h"
#include "ui/manager/ManagerEvents.h"

// The message loop, and what the managers see of a queued message before it
// is translated and dispatched: accelerators, Tab and Shift+Tab focus moves,
// Alt shortcut letters and system keys.

namespace
{
// Upper-cases one UTF-16 unit the way the system does for every script, not
// only for the Latin-1 range.
WCHAR UpperCaseUnit(WCHAR ch)
{
    WCHAR unit = ch;
    ::CharUpperBuffW(&unit, 1);
    return unit;
}

bool ClassNameContains(CControlUI* control, LPCWSTR part)
{
    LPCWSTR className = control->GetClassName();
    return className != NULL && wcsstr(className, part) != NULL;
}

struct TShortcutSearch
{
    WCHAR character;
    bool pickNext;
};

CControlUI* CALLBACK FindShortcut(CControlUI* pControl, LPVOID pData)
{
    TShortcutSearch* search = static_cast<TShortcutSearch*>(pData);
    if (!pControl->IsVisible())
        return NULL;
    const WCHAR shortcut = pControl->GetShortcut();
    if (shortcut != 0 && UpperCaseUnit(shortcut) == search->character)
        search->pickNext = true;
    // A label only names the control next to it.
    if (ClassNameContains(pControl, L"Label"))
        return NULL;
    return search->pickNext ? pControl : NULL;
}

// A focused rich edit that wants Tab keeps the key for its text.
bool FocusWantsTab(CControlUI* focus)
{
    if (focus == NULL || !focus->IsVisible() || !focus->IsEnabled() || !ClassNameContains(focus, L"RichEdit"))
        return false;
    const CRichEditUI* edit = static_cast<const CRichEditUI*>(focus->FindInterface(L"RichEdit"));
    return edit != NULL && edit->IsWantTab();
}

const UINT kShortcutSearchFlags = FindMeFirst | FindTopFirst | FindEnabled;
}  // namespace

bool CManagerUI::TranslateAccelerator(LPMSG pMsg)
{
    for (int i = 0; i < translateAccelerators.GetSize(); ++i)
    {
        if (static_cast<ITranslateAccelerator*>(translateAccelerators[i])->TranslateAccelerator(pMsg) == S_OK)
            return true;
    }
    return false;
}

bool CManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg)
    {
    case WM_KEYDOWN:
    {
        if (wParam != VK_TAB)
            return false;
        // Ctrl+Tab always moves on, so a control that takes Tab never traps the keyboard.
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        const bool forward = ::GetKeyState(VK_SHIFT) >= 0;
        if (FocusWantsTab(focus) && !ctrl)
            return false;
        // Links inside the focused control come before the next control.
        ITabLinksUI* links = ctrl ? NULL : AsTabLinks(focus);
        if (links != NULL && links->MoveLinkFocus(forward))
            return true;
        SetNextTabControl(forward);
        return true;
    }
    case WM_SYSCHAR:
    {
        if (root == NULL)
            return false;
        TShortcutSearch search = {UpperCaseUnit(static_cast<WCHAR>(wParam)), false};
        CControlUI* found = root->FindControl(FindShortcut, &search, kShortcutSearchFlags);
        if (found == NULL)
            return false;
        found->SetFocus();
        found->Activate();
        return true;
    }
    case WM_SYSKEYDOWN:
        if (focus != NULL)
        {
            TControlEvent event = KeyEvent(EventSysKey, lastMousePos, 0, 0);
            event.keyChar = LOWORD(wParam);
            Send(focus, event);
        }
        return false;
    default:
        return false;
    }
}

bool CManagerUI::PreTranslateMessage(const LPMSG pMsg)
{
    CPtrList& managers = ManagerList();
    const bool child = (::GetWindowLongW(pMsg->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    if (child)
    {
        // A child window's keys reach every manager whose window contains it.
        for (int i = managers.GetSize() - 1; i >= 0; --i)
        {
            CManagerUI* manager = static_cast<CManagerUI*>(managers[i]);
            for (HWND ancestor = ::GetParent(pMsg->hwnd); ancestor != NULL; ancestor = ::GetParent(ancestor))
            {
                if (manager->paintWindow != ancestor && manager->paintWindow != pMsg->hwnd)
                    continue;
                if (manager->TranslateAccelerator(pMsg))
                    return true;
                manager->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam);
            }
        }
        return false;
    }
    for (int i = 0; i < managers.GetSize(); ++i)
    {
        CManagerUI* manager = static_cast<CManagerUI*>(managers[i]);
        if (manager->paintWindow != pMsg->hwnd)
            continue;
        return manager->TranslateAccelerator(pMsg) ||
               manager->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam);
    }
    return false;
}

void CManagerUI::MessageLoop()
{
    MSG msg = {};
    // -1 is an error of the call itself (a bad argument); it ends the loop
    // rather than spinning on it.
    while (::GetMessageW(&msg, NULL, 0, 0) > 0)
    {
        if (CManagerUI::PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
