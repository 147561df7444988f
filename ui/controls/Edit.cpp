#include "ui/controls/Edit.h"

#include <olectl.h>
#include <wchar.h>

#include <vector>

#include "ui/manager/Manager.h"
#include "ui/render/Color.h"
#include "ui/render/Renderer.h"

namespace
{
const DWORD kSystemColors = 0xFFFFFFFF;

bool IsPressEvent(int kind)
{
    return kind == EventButtonDown || kind == EventDoubleClick || kind == EventRightButtonDown;
}

bool IsIgnoredPointerEvent(int kind)
{
    return kind == EventMouseMove || kind == EventButtonUp || kind == EventContextMenu;
}
}  // namespace

// ---- CEditWnd ----

CEditWnd::CEditWnd() : drawCaret(false)
{
}

LPCWSTR CEditWnd::GetWindowClassName() const
{
    return L"EditWnd";
}

LPCWSTR CEditWnd::GetSuperClassName() const
{
    return L"Edit";
}

RECT CEditWnd::CalcPos() const
{
    CManagerUI* manager = Manager();
    RECT rc = {0, 0, 0, 0};
    if (manager == NULL)
        return rc;
    rc = owner->TextRect();

    // One line of the font, centred in the text area.
    const TFontEntry* font = manager->GetFontInfo(owner->GetFont());
    const int lineHeight = font != NULL ? font->metrics.tmHeight : 0;
    if (lineHeight > 0 && lineHeight < rc.bottom - rc.top)
    {
        rc.top += (rc.bottom - rc.top - lineHeight) / 2;
        rc.bottom = rc.top + lineHeight;
    }

    return ClippedByAncestors(rc);
}

bool CEditWnd::Init(CEditUI* control)
{
    owner = control;
    CManagerUI* manager = Manager();
    if (manager == NULL)
        return false;

    UINT style = owner->windowStyle | WS_CHILD | ES_AUTOHSCROLL;
    const UINT textStyle = owner->GetTextStyle();
    if (textStyle & DT_CENTER)
        style |= ES_CENTER;
    else if (textStyle & DT_RIGHT)
        style |= ES_RIGHT;
    if (owner->passwordMode)
        style |= ES_PASSWORD;
    // A failed creation may already have ended this wrapper (its final
    // message runs when the window dies during creation): leave it alone.
    HWND window = Create(manager->GetPaintWindow(), NULL, style, 0, CalcPos());
    if (window == NULL)
        return false;

    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(manager->GetFont(owner->GetFont())), TRUE);
    ::SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(owner->maxChar), 0);
    if (owner->passwordMode)
        ::SendMessageW(window, EM_SETPASSWORDCHAR, owner->passwordChar, 0);
    const CUIString text = owner->GetText();
    ::SetWindowTextW(window, text);
    ::SendMessageW(window, EM_SETMODIFY, FALSE, 0);
    ::SendMessageW(window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    ::EnableWindow(window, owner->IsEnabled() ? TRUE : FALSE);
    ::SendMessageW(window, EM_SETREADONLY, owner->readOnly ? TRUE : FALSE, 0);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ::SetFocus(window);
    // Taking the focus runs other windows' handlers; they may have closed us.
    if (!::IsWindow(window))
        return false;

    const int length = text.GetLength();
    if (owner->autoSelectAll)
        ::SendMessageW(window, EM_SETSEL, 0, length > 0 ? length : 1);
    else
        ::SendMessageW(window, EM_SETSEL, length, length);
    initialised = true;
    return true;
}

// Each message this window handles itself, with the rule it follows. The
// shell answers creation, destruction, painting and the loss of the focus
// alike for every native editor; the rest goes to the system's edit
// procedure.
struct CEditWnd::Handlers
{
    static const TMessageRow<THandler<CEditWnd>> table[];

    static LRESULT Default(CEditWnd& w, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        return w.CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }

    // A layered window cannot show the system's caret: the editor paints one.
    static LRESULT OnCreate(CEditWnd& w, WPARAM, LPARAM, bool& handled)
    {
        handled = false;
        if (w.IsLayered())
            ::SetTimer(w.hwnd, CaretTimerId, ::GetCaretBlinkTime(), NULL);
        return 0;
    }

    // Enter does not go into the text: it is the application's.
    static LRESULT OnKeyDown(CEditWnd& w, WPARAM wParam, LPARAM, bool& handled)
    {
        handled = wParam == VK_RETURN;
        if (!handled)
            return 0;
        if (CManagerUI* manager = w.Manager())
            manager->SendNotify(w.owner, NotifyType::Return, 0, 0, true);
        return 0;
    }

    static LRESULT OnTimer(CEditWnd& w, WPARAM wParam, LPARAM, bool& handled)
    {
        handled = wParam == CaretTimerId;
        if (!handled)
            return 0;
        w.drawCaret = !w.drawCaret;
        ::InvalidateRect(w.hwnd, NULL, FALSE);
        return 0;
    }

    static LRESULT OnPrint(CEditWnd& w, WPARAM wParam, LPARAM lParam, bool& handled)
    {
        if (!w.IsLayered())
        {
            handled = false;
            return 0;
        }
        handled = true;
        const LRESULT result = Default(w, WM_PRINT, wParam, lParam);
        if (w.owner != NULL && w.owner->IsEnabled() && w.drawCaret)
        {
            POINT caret = {};
            RECT client = {};
            ::GetCaretPos(&caret);
            ::GetClientRect(w.hwnd, &client);
            const RECT line = {caret.x, 0, caret.x, client.bottom};
            CRenderer::DrawLine(reinterpret_cast<HDC>(wParam), line, 1, 0);
        }
        return result;
    }

    static LRESULT OnCommand(CEditWnd& w, WPARAM wParam, LPARAM, bool& handled)
    {
        handled = true;
        if (HIWORD(wParam) == EN_CHANGE)
            w.OnEditChanged();
        else if (HIWORD(wParam) == EN_UPDATE)
            ::InvalidateRect(w.hwnd, NULL, FALSE);
        return 0;
    }

    static LRESULT OnColorRequest(CEditWnd& w, WPARAM wParam, LPARAM, bool& handled)
    {
        handled = true;
        return reinterpret_cast<LRESULT>(w.BackgroundBrush(reinterpret_cast<HDC>(wParam)));
    }
};

const TMessageRow<CEditWnd::THandler<CEditWnd>> CEditWnd::Handlers::table[] = {
    {WM_CREATE, OnCreate},
    {WM_KEYDOWN, OnKeyDown},
    {WM_TIMER, OnTimer},
    {WM_PRINT, OnPrint},
    {OCM_COMMAND, OnCommand},
    {OCM_CTLCOLOREDIT, OnColorRequest},
    {OCM_CTLCOLORSTATIC, OnColorRequest},
};

LRESULT CEditWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return Dispatch<CEditWnd>(Handlers::table, uMsg, wParam, lParam);
}

HBRUSH CEditWnd::BackgroundBrush(HDC hDC)
{
    CManagerUI* manager = Manager();
    if (manager == NULL)
        return NULL;
    if (manager->IsLayered() && !manager->IsPainting())
        RegisterForRepaint();
    const DWORD color = owner->nativeBkColor;
    if (color == kSystemColors)
        return NULL;

    owner->FillDefaultColors();
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, ArgbToColorRef(owner->GetTextColor()));
    if (ColorAlpha(color) == 0xFF)
    {
        if (bkBrush == NULL)
            bkBrush = ::CreateSolidBrush(ArgbToColorRef(color));
        return bkBrush;
    }

    // Translucent: the skin behind the editor, tinted, as a pattern that
    // starts at the editor's own origin. The pattern is made anew for every
    // request (the skin may have changed); the previous one goes.
    RECT rc = {};
    ::GetWindowRect(hwnd, &rc);
    ::MapWindowPoints(NULL, manager->GetPaintWindow(), reinterpret_cast<LPPOINT>(&rc), 2);
    HBITMAP picture = CRenderer::GenerateBitmap(manager, rc, owner, color);
    if (picture == NULL)
        return bkBrush;
    HBRUSH pattern = ::CreatePatternBrush(picture);
    ::DeleteObject(picture);
    if (pattern == NULL)
        return bkBrush;
    if (bkBrush != NULL)
        ::DeleteObject(bkBrush);
    bkBrush = pattern;
    return bkBrush;
}

void CEditWnd::OnEditChanged()
{
    CManagerUI* manager = Manager();
    if (!initialised || manager == NULL)
        return;
    const int length = ::GetWindowTextLengthW(hwnd);
    std::vector<WCHAR> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    ::GetWindowTextW(hwnd, buffer.data(), static_cast<int>(buffer.size()));
    // Straight into the control: its setter would copy the text back here.
    owner->text = buffer.data();
    owner->needEstimate = true;
    manager->SendNotify(owner, NotifyType::TextChanged, 0, 0, true);
    if (manager->IsLayered())
        owner->Invalidate();
}

void CEditUI::NativeEditorGone(const CWindowWnd* window)
{
    if (editWindow == window)
        editWindow = NULL;
}

// ---- CEditUI ----

CEditUI::CEditUI()
    : editWindow(NULL),
      maxChar(255),
      readOnly(false),
      passwordMode(false),
      autoSelectAll(false),
      passwordChar(L'*'),
      buttonState(0),
      nativeBkColor(kSystemColors),
      windowStyle(0)
{
    SetTextPadding(CUIRect(4, 3, 4, 3));
    SetBkColor(0xFFFFFFFF);
}

// A tree deleted while the user edits takes the native window with it.
CEditUI::~CEditUI()
{
    DiscardNativeEditor(editWindow);
}

LPCWSTR CEditUI::GetClassName() const
{
    return L"Edit";
}

LPVOID CEditUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"Edit") == 0)
        return this;
    return CLabelUI::FindInterface(pstrName);
}

UINT CEditUI::GetFlags() const
{
    return (IsEnabled() ? FlagSetCursor : 0) | (IsKeyboardEnabled() ? FlagTabStop : 0);
}

HWND CEditUI::GetNativeWindow() const
{
    return editWindow != NULL ? editWindow->GetHWND() : NULL;
}

void CEditUI::SetText(LPCWSTR pstrText)
{
    CLabelUI::SetText(pstrText);
    if (editWindow != NULL)
        ::SetWindowTextW(editWindow->GetHWND(), text);
    Invalidate();
}

void CEditUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CLabelUI::SetPos(rc, bNeedInvalidate);
    PlaceEditor();
}

void CEditUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    CLabelUI::MoveBy(dx, dy, bNeedInvalidate);
    PlaceEditor();
}

void CEditUI::PlaceEditor()
{
    PlaceNativeEditor(editWindow);
}

void CEditUI::SetVisible(bool bVisible)
{
    CLabelUI::SetVisible(bVisible);
    CloseEditorOnHide();
}

void CEditUI::SetInheritedVisible(bool bVisible)
{
    CLabelUI::SetInheritedVisible(bVisible);
    CloseEditorOnHide();
}

// A hidden control cannot keep the focus: the manager takes the native focus
// back to its window, and the editor, losing it, closes.
void CEditUI::CloseEditorOnHide()
{
    if (IsVisible() || editWindow == NULL)
        return;
    if (manager != NULL && manager->GetFocus() == this)
        manager->SetFocus(NULL, true);
    CloseEditor();
}

// Closes an open editor as a user's click elsewhere would: the native focus
// goes back to the window, and the editor, losing it, closes itself. One
// that did not hold the focus (the application was in the background) is
// closed directly.
void CEditUI::CloseEditor()
{
    CloseNativeEditor(editWindow, manager);
}

void CEditUI::SetEnabled(bool bEnable)
{
    CLabelUI::SetEnabled(bEnable);
    if (!IsEnabled())
        buttonState = 0;
}

void CEditUI::OpenEditor()
{
    if (editWindow != NULL)
        return;
    CEditWnd* window = new CEditWnd;
    editWindow = window;
    // A window that died during creation has already cleared editWindow and
    // deleted its wrapper; one that was never made leaves both to us, so
    // that the next focus can try again.
    if (!window->Init(this) && editWindow == window)
    {
        editWindow = NULL;
        delete window;
    }
}

// ---- Events ----

bool CEditUI::HandlePointer(TControlEvent& event)
{
    if (IsIgnoredPointerEvent(event.kind))
        return true;
    if (!IsPressEvent(event.kind))
        return false;
    if (!IsEnabled())
        return true;
    if (manager != NULL)
        manager->ReleaseCapture();
    if (IsFocused() && editWindow == NULL)
    {
        OpenEditor();
        return true;
    }
    if (editWindow != NULL && !autoSelectAll)
    {
        // The press goes on into the editor, which puts the caret there.
        const POINT at = {event.point.x - itemRect.left - textPadding.left,
                          event.point.y - itemRect.top - textPadding.top};
        editWindow->SendMessage(EM_SETSEL, 0, 0);
        editWindow->SendMessage(WM_LBUTTONDOWN, event.wParam, MAKELPARAM(at.x, at.y));
    }
    return true;
}

bool CEditUI::HandleHover(TControlEvent& event)
{
    return TrackHover(event, itemRect, buttonState) == HoverCovered;
}

void CEditUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    switch (event.kind)
    {
    case EventSetCursor:
        if (!IsEnabled())
            break;
        ::SetCursor(::LoadCursorW(NULL, IDC_IBEAM));
        return;
    case EventWindowSize:
        // The editor goes with the layout; it comes back once that is done.
        if (editWindow != NULL && manager != NULL)
            manager->SetFocusNeeded(this);
        break;
    case EventScrollWheel:
        if (editWindow != NULL)
            return;
        break;
    case EventSetFocus:
        if (IsEnabled() && editWindow == NULL)
        {
            OpenEditor();
            Invalidate();
        }
        break;
    case EventKillFocus:
        // Also when the focus moved in code, without the native focus: the
        // editor must not keep the keyboard for a control that lost it.
        CloseEditor();
        if (IsEnabled())
            Invalidate();
        break;
    default:
        if (HandlePointer(event) || HandleHover(event))
            return;
        break;
    }
    CLabelUI::HandleEvent(event);
}

// ---- Attributes ----

const TAttributeRow<CEditUI> CEditUI::attributeTable[] = {
    {L"readonly", [](CEditUI& c, LPCWSTR v) { c.SetReadOnly(ParseBool(v)); }},
    {L"numberonly", [](CEditUI& c, LPCWSTR v) { c.SetNumberOnly(ParseBool(v)); }},
    {L"password", [](CEditUI& c, LPCWSTR v) { c.SetPasswordMode(ParseBool(v)); }},
    {L"autoselall", [](CEditUI& c, LPCWSTR v) { c.SetAutoSelectAll(ParseBool(v)); }},
    {L"maxchar", [](CEditUI& c, LPCWSTR v) { c.SetMaxChar(ParseInt(v)); }},
    {L"normalimage", [](CEditUI& c, LPCWSTR v) { c.SetNormalImage(v); }},
    {L"hotimage", [](CEditUI& c, LPCWSTR v) { c.SetHotImage(v); }},
    {L"focusedimage", [](CEditUI& c, LPCWSTR v) { c.SetFocusedImage(v); }},
    {L"disabledimage", [](CEditUI& c, LPCWSTR v) { c.SetDisabledImage(v); }},
    {L"nativebkcolor", [](CEditUI& c, LPCWSTR v) { c.SetNativeEditBkColor(ParseColorValue(v)); }},
};

void CEditUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CEditUI::SetMaxChar(int max)
{
    maxChar = max;
    if (editWindow != NULL)
        editWindow->SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChar));
}

void CEditUI::SetReadOnly(bool bReadOnly)
{
    if (readOnly == bReadOnly)
        return;
    readOnly = bReadOnly;
    if (editWindow != NULL)
        editWindow->SendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE);
    Invalidate();
}

void CEditUI::SetNumberOnly(bool bNumberOnly)
{
    if (bNumberOnly)
        windowStyle |= ES_NUMBER;
    else
        windowStyle &= ~static_cast<UINT>(ES_NUMBER);
}

void CEditUI::SetPasswordMode(bool bPasswordMode)
{
    if (passwordMode == bPasswordMode)
        return;
    passwordMode = bPasswordMode;
    Invalidate();
}

void CEditUI::SetPasswordChar(WCHAR ch)
{
    if (passwordChar == ch)
        return;
    passwordChar = ch;
    if (editWindow != NULL)
        editWindow->SendMessage(EM_SETPASSWORDCHAR, passwordChar);
    Invalidate();
}

void CEditUI::SetNormalImage(LPCWSTR pStrImage)
{
    ReplaceImage(normalImage, pStrImage);
}
void CEditUI::SetHotImage(LPCWSTR pStrImage)
{
    ReplaceImage(hotImage, pStrImage);
}
void CEditUI::SetFocusedImage(LPCWSTR pStrImage)
{
    ReplaceImage(focusedImage, pStrImage);
}
void CEditUI::SetDisabledImage(LPCWSTR pStrImage)
{
    ReplaceImage(disabledImage, pStrImage);
}

// ---- Measuring and painting ----

SIZE CEditUI::EstimateSize(SIZE szAvailable)
{
    if (fixedHeight > 0 || manager == NULL)
        return fixedHeight > 0 ? CLabelUI::EstimateSize(szAvailable) : CUISize(fixedWidth, fixedHeight);
    const TFontEntry* info = manager->GetFontInfo(font);
    return CUISize(fixedWidth, (info != NULL ? info->metrics.tmHeight : 0) + manager->ScaleSkin(8));
}

bool CEditUI::HasFocusedLook() const
{
    return !focusedImage.drawString.IsEmpty() || CLabelUI::HasFocusedLook();
}

void CEditUI::PaintStatusImage(HDC hDC)
{
    buttonState = IsFocused() ? (buttonState | StateFocused) : (buttonState & ~StateFocused);
    buttonState = IsEnabled() ? (buttonState & ~StateDisabled) : (buttonState | StateDisabled);

    TDrawSpec* chosen = NULL;
    if (buttonState & StateDisabled)
        chosen = &disabledImage;
    else if (buttonState & StateFocused)
        chosen = &focusedImage;
    else if (buttonState & StateHot)
        chosen = &hotImage;
    if (chosen != NULL && !chosen->drawString.IsEmpty() && DrawImage(hDC, *chosen))
        return;
    DrawImage(hDC, normalImage);
}

// The text is painted whether or not the editor is open: the open editor
// covers it.
void CEditUI::PaintText(HDC hDC)
{
    FillDefaultColors();
    if (text.IsEmpty())
        return;
    CUIString shown;
    if (passwordMode)
    {
        for (LPCWSTR p = text; *p != L'\0'; p = ::CharNextW(p))
            shown += passwordChar;
    }
    else
    {
        shown = text;
    }
    RECT rc = TextRect();
    CRenderer::DrawText(hDC, manager, rc, shown, StateTextColor(), font, textStyle | DT_SINGLELINE);
}
