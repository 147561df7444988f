#include "ui/controls/ComboWnd.h"

#include <wchar.h>

#include "ui/controls/ScrollBar.h"

namespace
{
bool IsScrollBar(const CControlUI* control)
{
    return control != NULL && wcscmp(control->GetClassName(), L"ScrollBar") == 0;
}

POINT PointOf(LPARAM lParam)
{
    const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return pt;
}
}  // namespace

CComboWnd::CComboWnd(CComboUI* pOwner)
    : owner(pOwner),
      body(NULL),
      previousSel(pOwner->GetCurSel()),
      scrollBarPressed(false),
      itemsLent(false),
      tabAfterClose(0)
{
}

LPCWSTR CComboWnd::GetWindowClassName() const
{
    return L"ComboWnd";
}

CComboWnd* CComboWnd::Open(CComboUI* pOwner)
{
    CManagerUI* ownerManager = pOwner->GetManager();
    if (ownerManager == NULL || !::IsWindow(ownerManager->GetPaintWindow()))
        return NULL;
    CComboWnd* wnd = new CComboWnd(pOwner);
    pOwner->dropDown = wnd;
    const RECT rc = wnd->PlaceBelowOrAbove();
    // A creation that fails after the first message has already run the
    // final-message handler, which deleted the window object and cleared
    // the combo's drop-down.
    if (wnd->Create(ownerManager->GetPaintWindow(), NULL, WS_POPUP, WS_EX_TOOLWINDOW, rc) == NULL)
    {
        if (pOwner->dropDown == wnd)
        {
            pOwner->dropDown = NULL;
            delete wnd;
        }
        return NULL;
    }
    ::ShowWindow(wnd->GetHWND(), SW_SHOW);
    return wnd;
}

RECT CComboWnd::PlaceBelowOrAbove() const
{
    // As wide as the combo unless told otherwise; as high as the visible rows
    // plus the body's inset and border, up to the greatest height.
    const SIZE dropBox = owner->GetDropBoxSize();
    const RECT combo = owner->GetPos();
    const int width = dropBox.cx > 0 ? dropBox.cx : combo.right - combo.left;
    long long height = 0;
    for (int i = 0; i < owner->GetCount(); ++i)
    {
        CControlUI* row = owner->GetItemAt(i);
        if (row->IsVisible())
            height += row->EstimateSize(CUISize(width, dropBox.cy)).cy;
    }
    height += 4;
    if (height > dropBox.cy)
        height = dropBox.cy;

    RECT rc = {combo.left, combo.bottom, combo.left + width, combo.bottom + static_cast<int>(height)};
    HWND comboWindow = owner->GetManager()->GetPaintWindow();
    ::MapWindowPoints(comboWindow, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);

    // Near the bottom of the combo's monitor the drop-down opens above the box.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (::GetMonitorInfoW(::MonitorFromWindow(comboWindow, MONITOR_DEFAULTTONEAREST), &monitor) &&
        rc.bottom > monitor.rcWork.bottom)
    {
        POINT top = {combo.left, combo.top};
        ::ClientToScreen(comboWindow, &top);
        rc.bottom = top.y;
        rc.top = top.y - static_cast<int>(height);
    }
    return rc;
}

// The drop-down shows the rows as the combo's window would: in its default
// font and colours, and in the rows' own font.
void CComboWnd::ShareLook()
{
    CManagerUI* ownerManager = owner->GetManager();
    manager.SetDpi(ownerManager->GetDpi());
    if (const TFontEntry* font = ownerManager->GetDefaultFontInfo())
        manager.SetDefaultFont(font->faceName, font->size, font->bold, font->underline, font->italic);
    const int rowFont = owner->GetListInfo()->font;
    if (rowFont >= 0)
    {
        if (const TFontEntry* font = ownerManager->GetFontInfo(rowFont))
            manager.AddFont(rowFont, font->faceName, font->size, font->bold, font->underline, font->italic);
    }
    manager.SetDefaultFontColor(ownerManager->GetDefaultFontColor());
    manager.SetDefaultDisabledColor(ownerManager->GetDefaultDisabledColor());
    manager.SetDefaultLinkFontColor(ownerManager->GetDefaultLinkFontColor());
    manager.SetDefaultLinkHoverFontColor(ownerManager->GetDefaultLinkHoverFontColor());
    manager.SetDefaultSelectedBkColor(ownerManager->GetDefaultSelectedBkColor());
}

void CComboWnd::OnCreate()
{
    manager.Init(hwnd);
    ShareLook();
    body = new CComboBodyUI(owner);
    body->SetManager(&manager, NULL, false);
    if (LPCWSTR defaults = owner->GetManager()->GetDefaultAttributeList(L"VerticalLayout"))
        body->ApplyAttributeList(defaults);
    body->SetInset(1, 1, 1, 1);
    body->SetBkColor(0xFFFFFFFF);
    body->SetBorderColor(0xFFC6C7D2);
    body->SetBorderSize(1);
    body->SetAutoDestroy(false);
    body->EnableScrollBar(true, false);
    body->ApplyAttributeList(owner->GetDropBoxAttributeList());
    for (int i = 0; i < owner->GetCount(); ++i)
        body->Add(owner->GetItemAt(i));
    itemsLent = true;
    manager.AttachRoot(body);
    manager.AddTranslateAccelerator(this);
}

void CComboWnd::ReturnItems(bool bAfterClose)
{
    if (!itemsLent)
        return;
    itemsLent = false;
    // Nothing of the drop-down's manager may keep pointing at the rows.
    for (int i = 0; i < body->GetCount(); ++i)
        manager.ForgetControl(body->GetItemAt(i));
    body->RemoveAll();
    owner->SetManager(owner->GetManager(), owner->GetParent(), false);
    // However the drop-down went, the rows keep no rectangle of it in the combo's window, where
    // they would catch the clicks meant for the box.
    owner->ParkItems();
    if (!bAfterClose)
        return;
    owner->SetPos(owner->IsFloat() ? owner->GetRelativePos() : owner->GetPos(), false);
    owner->SetFocus();
    if (tabAfterClose != 0 && owner->GetManager() != NULL)
        owner->GetManager()->SetNextTabControl(tabAfterClose > 0);
}

void CComboWnd::ForgetItem(CControlUI* pControl)
{
    if (!itemsLent || body == NULL)
        return;
    manager.ForgetControl(pControl);
    body->Remove(pControl, true);
}

void CComboWnd::EnsureVisible(int iIndex)
{
    if (owner->GetCurSel() < 0 || body == NULL)
        return;
    CControlUI* row = body->GetItemAt(iIndex);
    if (row == NULL)
        return;
    CUIRect band = body->GetPos();
    CScrollBarUI* hbar = body->GetHorizontalScrollBar();
    if (hbar != NULL && hbar->IsVisible())
        band.bottom -= hbar->GetFixedHeight();
    const RECT& pos = row->GetPos();
    if (pos.top >= band.top && pos.bottom <= band.bottom)
        return;
    int dy = 0;
    if (pos.top < band.top)
        dy = pos.top - band.top;
    if (pos.bottom > band.bottom)
        dy = pos.bottom - band.bottom;
    SIZE scroll = body->GetScrollPos();
    scroll.cy += dy;
    body->SetScrollPos(scroll);
}

// The search starts at the parent of the window holding the focus: a
// drop-down that still holds the focus itself has lost it for our purpose
// (the posted close requests of Return, Escape and a click find it so).
bool CComboWnd::FocusLeft() const
{
    HWND focused = ::GetFocus();
    for (HWND ancestor = focused != NULL ? ::GetParent(focused) : NULL; ancestor != NULL;
         ancestor = ::GetParent(ancestor))
    {
        if (ancestor == hwnd)
            return false;
    }
    return true;
}

void CComboWnd::CloseDropDown()
{
    Close(IDOK);
}

LRESULT CComboWnd::TranslateAccelerator(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_TAB || pMsg->hwnd != hwnd)
        return S_FALSE;
    tabAfterClose = ::GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    CloseDropDown();
    return S_OK;
}

LRESULT CComboWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg)
    {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != hwnd && FocusLeft())
        {
            PostMessage(WM_CLOSE);
            return 0;
        }
        break;
    case WM_CLOSE:
        ReturnItems(true);
        break;
    case WM_DESTROY:
        // Destroyed without a close (its owner window went, or the combo):
        // the rows must not stay children of a body about to be deleted.
        ReturnItems(false);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN)
        {
            // The row moved to by the keys is already selected: keep it.
            CloseDropDown();
            break;
        }
        if (wParam == VK_ESCAPE)
        {
            owner->SelectItem(previousSel, true, true);
            EnsureVisible(owner->GetCurSel());
            CloseDropDown();
            break;
        }
        {
            TControlEvent event = {};
            event.kind = EventKeyDown;
            event.sender = owner;
            event.timestamp = ::GetTickCount();
            event.keyChar = static_cast<WORD>(wParam);
            event.wParam = wParam;
            event.lParam = lParam;
            owner->HandleEvent(event);
            EnsureVisible(owner->GetCurSel());
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        scrollBarPressed = IsScrollBar(manager.FindControlAt(PointOf(lParam)));
        break;
    case WM_LBUTTONUP:
        if (scrollBarPressed)
            scrollBarPressed = false;
        else
        {
            CControlUI* control = manager.FindControlAt(PointOf(lParam));
            if (control != NULL && !IsScrollBar(control))
                CloseDropDown();
        }
        break;
    case WM_MOUSEWHEEL:
    {
        TControlEvent event = {};
        event.kind = EventScrollWheel;
        event.sender = owner;
        event.timestamp = ::GetTickCount();
        event.wParam = static_cast<short>(HIWORD(wParam)) < 0 ? 1 : 0;
        event.lParam = lParam;
        owner->HandleEvent(event);
        EnsureVisible(owner->GetCurSel());
        return 0;
    }
    default:
        break;
    }
    LRESULT result = 0;
    if (manager.MessageHandler(uMsg, wParam, lParam, result))
        return result;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CComboWnd::OnFinalMessage(HWND)
{
    owner->dropDown = NULL;
    owner->buttonState &= ~StatePushed;
    owner->Invalidate();
    delete this;
}
