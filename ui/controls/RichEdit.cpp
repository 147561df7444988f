#include "ui/controls/RichEdit.h"

#include <imm.h>
#include <wchar.h>

#include <vector>

#include "ui/controls/ControlAttributes.h"
#include "ui/controls/ScrollBar.h"
#include "ui/controls/TxtWinHost.h"
#include "ui/core/AttributeValues.h"
#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"
#include "ui/render/ClipScope.h"
#include "ui/render/Color.h"
#include "ui/render/GdiScope.h"

namespace
{
// The edit notifications that reach the window as WM_NOTIFY.
const UINT kForwardedNotifications[] = {
    EN_MSGFILTER,     EN_SELCHANGE,   EN_DROPFILES,       EN_PROTECTED, EN_STOPNOUNDO,
    EN_SAVECLIPBOARD, EN_OLEOPFAILED, EN_OBJECTPOSITIONS, EN_LINK,      EN_DRAGDROPDONE,
};

// The notifications the control reports; the text services send none
// unless they are asked for.
const LPARAM kEventMask = ENM_CHANGE | ENM_SELCHANGE | ENM_LINK | ENM_DROPFILES;

bool IsKeyboardMessage(UINT msg)
{
    return msg >= WM_KEYFIRST && msg <= WM_SYSDEADCHAR;
}
bool IsSystemKeyMessage(UINT msg)
{
    return msg >= WM_SYSKEYDOWN && msg <= WM_SYSDEADCHAR;
}
bool IsMouseMessage(UINT msg)
{
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSEWHEEL;
}
bool IsButtonMessage(UINT msg)
{
    return msg >= WM_LBUTTONDOWN && msg <= WM_RBUTTONUP;
}
bool TakesFocus(UINT msg)
{
    return msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN;
}

// The pixels of the 32-bit DIB section selected into a DC. The framework's
// surfaces are top-down; on a bottom-up one the rows are mirrored, which the
// users below tolerate (they only touch what changed, or a caret line).
struct TDibView
{
    LPBYTE pixels = NULL;
    int stride = 0;
    RECT bounds = {};

    bool Open(HDC hDC)
    {
        DIBSECTION dib = {};
        HGDIOBJ bitmap = ::GetCurrentObject(hDC, OBJ_BITMAP);
        if (bitmap == NULL || ::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib))
            return false;
        if (dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmBits == NULL)
            return false;
        pixels = static_cast<LPBYTE>(dib.dsBm.bmBits);
        stride = dib.dsBm.bmWidthBytes;
        ::SetRect(&bounds, 0, 0, dib.dsBm.bmWidth, dib.dsBm.bmHeight);
        ::GdiFlush();
        return true;
    }
    LPDWORD Row(int y) const { return reinterpret_cast<LPDWORD>(pixels + static_cast<size_t>(y) * stride); }
};

// Text drawn by GDI into a 32-bit surface leaves the alpha byte at 0 or
// untouched, which a layered window shows as a hole. The scope remembers an
// area's pixels; at its end every pixel that changed is made opaque (the text
// services draw nothing translucent) and the others are left as they were.
class CGdiAlphaScope
{
public:
    CGdiAlphaScope(HDC hDC, const RECT& area, bool active) : rc(area)
    {
        if (!active || !view.Open(hDC) || !::IntersectRect(&rc, &rc, &view.bounds))
        {
            view.pixels = NULL;
            return;
        }
        saved.reserve(static_cast<size_t>(rc.right - rc.left) * (rc.bottom - rc.top));
        for (int y = rc.top; y < rc.bottom; ++y)
        {
            const DWORD* row = view.Row(y);
            saved.insert(saved.end(), row + rc.left, row + rc.right);
        }
    }

    ~CGdiAlphaScope()
    {
        if (view.pixels == NULL)
            return;
        ::GdiFlush();
        size_t i = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
        {
            LPDWORD row = view.Row(y);
            for (int x = rc.left; x < rc.right; ++x, ++i)
            {
                if (row[x] != saved[i])
                    row[x] |= 0xFF000000;
            }
        }
    }

    CGdiAlphaScope(const CGdiAlphaScope&) = delete;
    CGdiAlphaScope& operator=(const CGdiAlphaScope&) = delete;

private:
    TDibView view;
    RECT rc;
    std::vector<DWORD> saved;
};

// An opaque rectangle written straight into the surface, alpha included.
void FillOpaquePixels(HDC hDC, RECT rc, DWORD argb)
{
    TDibView view;
    if (!view.Open(hDC) || !::IntersectRect(&rc, &rc, &view.bounds))
        return;
    for (int y = rc.top; y < rc.bottom; ++y)
    {
        LPDWORD row = view.Row(y);
        for (int x = rc.left; x < rc.right; ++x)
            row[x] = argb | 0xFF000000;
    }
}
}  // namespace

CRichEditUI::CRichEditUI()
    : host(NULL),
      vscrollAutoShown(false),
      wantTab(true),
      wantReturn(true),
      wantCtrlReturn(true),
      transparent(true),
      rich(true),
      readOnly(false),
      textColor(0),
      font(-1),
      limitText(32767),
      style(ES_MULTILINE),
      drawCaret(true),
      initialised(false),
      returnTaken(false),
      textPadding()
{
}

CRichEditUI::~CRichEditUI()
{
    if (host == NULL)
        return;
    if (manager != NULL)
        manager->RemoveMessageFilter(this);
    host->Shutdown();
    host->Release();
    host = NULL;
}

LPCWSTR CRichEditUI::GetClassName() const
{
    return L"RichEdit";
}

LPVOID CRichEditUI::FindInterface(LPCWSTR pstrName)
{
    if (pstrName != NULL && wcscmp(pstrName, L"RichEdit") == 0)
        return static_cast<CRichEditUI*>(this);
    return CContainerUI::FindInterface(pstrName);
}

UINT CRichEditUI::GetFlags() const
{
    return IsEnabled() ? (FlagTabStop | FlagSetCursor) : 0;
}

SIZE CRichEditUI::EstimateSize(SIZE szAvailable)
{
    return CControlUI::EstimateSize(szAvailable);
}

// ---- Creation ----

void CRichEditUI::InitSelf()
{
    if (initialised || manager == NULL)
        return;
    initialised = true;
    host = new CTxtWinHost;
    if (!host->Init(this, style, text))
    {
        host->Shutdown();
        host->Release();
        host = NULL;
        return;
    }
    ITextServices* services = host->GetTextServices();
    host->SetTransparent(transparent);
    LRESULT ignored = 0;
    services->TxSendMessage(EM_SETLANGOPTIONS, 0, 0, &ignored);
    // The text services take the limit from this message only, never from the host.
    services->TxSendMessage(EM_EXLIMITTEXT, 0, limitText, &ignored);
    services->TxSendMessage(EM_SETEVENTMASK, 0, kEventMask, &ignored);
    services->OnTxInPlaceActivate(NULL);
    manager->AddMessageFilter(this);
    if (manager->IsLayered())
    {
        manager->KillTimer(this, CaretTimerId);
        manager->SetTimer(this, CaretTimerId, ::GetCaretBlinkTime());
    }
    if (!::IsRectEmpty(&itemRect))
        ApplyClientRect(TextArea());
}

// ---- Properties ----

void CRichEditUI::SetTransparent(bool bTransparent)
{
    transparent = bTransparent;
    if (host != NULL)
        host->SetTransparent(bTransparent);
    Invalidate();
}

void CRichEditUI::SetRich(bool bRich)
{
    rich = bRich;
    if (host != NULL)
        host->SetRich(bRich);
}

void CRichEditUI::SetReadOnly(bool bReadOnly)
{
    readOnly = bReadOnly;
    style = bReadOnly ? (style | ES_READONLY) : (style & ~ES_READONLY);
    LRESULT ignored = 0;
    TxSendMessage(EM_SETREADONLY, bReadOnly ? TRUE : FALSE, 0, &ignored);
}

void CRichEditUI::SetFont(int index)
{
    font = index;
    if (host != NULL && manager != NULL)
        host->SetFont(manager->GetFont(index));
    Invalidate();
}

void CRichEditUI::SetTextColor(DWORD dwTextColor)
{
    textColor = dwTextColor;
    if (host != NULL)
        host->SetColor(dwTextColor);
    Invalidate();
}

void CRichEditUI::SetLimitText(int count)
{
    limitText = count < 0 ? 0 : count;
    if (host == NULL)
        return;
    host->SetMaxLength(static_cast<DWORD>(limitText));
    LRESULT ignored = 0;
    TxSendMessage(EM_EXLIMITTEXT, 0, limitText, &ignored);
}

void CRichEditUI::SetTextPadding(RECT rc)
{
    textPadding = rc;
    NeedUpdate();
}

RECT CRichEditUI::GetTextRect() const
{
    return host != NULL ? host->GetClientRect() : CUIRect();
}

void CRichEditUI::SetStyleBits(DWORD set, DWORD clear)
{
    style = (style & ~clear) | set;
}

// "left", "center" and "right" are looked for in this order: the last found wins.
void CRichEditUI::SetAlign(LPCWSTR value)
{
    if (wcsstr(value, L"left") != NULL)
        SetStyleBits(0, ES_CENTER | ES_RIGHT);
    if (wcsstr(value, L"center") != NULL)
        SetStyleBits(ES_CENTER, ES_RIGHT);
    if (wcsstr(value, L"right") != NULL)
        SetStyleBits(ES_RIGHT, ES_CENTER);
}

// ---- Attributes ----

// The style bits take effect when the text services are created. The scroll
// bar names also reach the container, which creates or drops its bar.
const TAttributeRow<CRichEditUI> CRichEditUI::attributeTable[] = {
    {L"vscrollbar",
     [](CRichEditUI& c, LPCWSTR v) {
         if (ParseBool(v))
             c.SetStyleBits(WS_VSCROLL | ES_DISABLENOSCROLL, 0);
         c.CContainerUI::SetAttribute(L"vscrollbar", v);
     }},
    {L"hscrollbar",
     [](CRichEditUI& c, LPCWSTR v) {
         if (ParseBool(v))
             c.SetStyleBits(WS_HSCROLL | ES_DISABLENOSCROLL, 0);
         c.CContainerUI::SetAttribute(L"hscrollbar", v);
     }},
    {L"autovscroll",
     [](CRichEditUI& c, LPCWSTR v) {
         if (ParseBool(v))
             c.SetStyleBits(ES_AUTOVSCROLL, 0);
     }},
    {L"autohscroll",
     [](CRichEditUI& c, LPCWSTR v) {
         if (ParseBool(v))
             c.SetStyleBits(ES_AUTOHSCROLL, 0);
     }},
    {L"wanttab", [](CRichEditUI& c, LPCWSTR v) { c.SetWantTab(ParseBool(v)); }},
    {L"wantreturn", [](CRichEditUI& c, LPCWSTR v) { c.SetWantReturn(ParseBool(v)); }},
    {L"wantctrlreturn", [](CRichEditUI& c, LPCWSTR v) { c.SetWantCtrlReturn(ParseBool(v)); }},
    {L"transparent", [](CRichEditUI& c, LPCWSTR v) { c.SetTransparent(ParseBool(v)); }},
    {L"rich", [](CRichEditUI& c, LPCWSTR v) { c.SetRich(ParseBool(v)); }},
    {L"multiline",
     [](CRichEditUI& c, LPCWSTR v) {
         if (wcscmp(v, L"false") == 0)
             c.SetStyleBits(0, ES_MULTILINE);
     }},
    {L"readonly",
     [](CRichEditUI& c, LPCWSTR v) {
         if (ParseBool(v))
             c.SetReadOnly(true);
     }},
    {L"password",
     [](CRichEditUI& c, LPCWSTR v) {
         if (ParseBool(v))
             c.SetStyleBits(ES_PASSWORD, 0);
     }},
    {L"align", [](CRichEditUI& c, LPCWSTR v) { c.SetAlign(v); }},
    {L"font", [](CRichEditUI& c, LPCWSTR v) { c.SetFont(ParseInt(v)); }},
    {L"textcolor", [](CRichEditUI& c, LPCWSTR v) { c.SetTextColor(ParseColorValue(v, true)); }},
    {L"textpadding", [](CRichEditUI& c, LPCWSTR v) { c.SetTextPadding(c.ScaleSkin(ParseIntRect(v))); }},
    {L"maxchar", [](CRichEditUI& c, LPCWSTR v) { c.SetLimitText(ParseInt(v)); }},
};

void CRichEditUI::SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue)
{
    if (pstrName == NULL || pstrValue == NULL)
        return;
    if (!ApplyAttributeRow(attributeTable, *this, pstrName, pstrValue))
        CContainerUI::SetAttribute(pstrName, pstrValue);
}

// ---- Text ----

CUIString CRichEditUI::GetText() const
{
    if (host == NULL)
        return text;
    GETTEXTLENGTHEX lengthQuery = {GTL_DEFAULT, 1200};
    LRESULT length = 0;
    if (TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0, &length) != S_OK ||
        length < 0)
        return text;
    std::vector<WCHAR> buffer(static_cast<size_t>(length) + 1, 0);
    GETTEXTEX textQuery = {};
    textQuery.cb = static_cast<DWORD>(buffer.size() * sizeof(WCHAR));
    textQuery.flags = GT_DEFAULT;
    textQuery.codepage = 1200;
    LRESULT copied = 0;
    TxSendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&textQuery), reinterpret_cast<LPARAM>(&buffer[0]),
                  &copied);
    buffer.back() = 0;
    return CUIString(&buffer[0]);
}

void CRichEditUI::SetText(LPCWSTR pstrText)
{
    text = pstrText != NULL ? pstrText : L"";
    if (host == NULL)
        return;
    SetSel(0, -1);
    ReplaceSel(text, false);
}

void CRichEditUI::SetSel(long start, long end)
{
    CHARRANGE range = {start, end};
    LRESULT ignored = 0;
    TxSendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range), &ignored);
}

void CRichEditUI::GetSel(long& start, long& end) const
{
    CHARRANGE range = {0, 0};
    LRESULT ignored = 0;
    TxSendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range), &ignored);
    start = range.cpMin;
    end = range.cpMax;
}

void CRichEditUI::ReplaceSel(LPCWSTR replacement, bool canUndo)
{
    LRESULT ignored = 0;
    TxSendMessage(EM_REPLACESEL, canUndo ? TRUE : FALSE,
                  reinterpret_cast<LPARAM>(replacement != NULL ? replacement : L""), &ignored);
}

bool CRichEditUI::SetSelectionCharFormat(CHARFORMAT2W& format)
{
    format.cbSize = sizeof(format);
    LRESULT result = 0;
    return TxSendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format), &result) ==
               S_OK &&
           result != 0;
}

// ---- The text services ----

HRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* plresult) const
{
    if (host == NULL || host->GetTextServices() == NULL)
        return 1;
    LRESULT ignored = 0;
    LRESULT* result = plresult != NULL ? plresult : &ignored;
    if (msg == WM_CHAR && returnTaken && (wparam == '\r' || wparam == '\n'))
    {
        returnTaken = false;
        *result = 0;
        return S_OK;
    }
    if (msg == WM_KEYDOWN)
        returnTaken = false;
    if (msg == WM_KEYDOWN && wparam == VK_RETURN)
    {
        // Whether Enter is the editor's is the skin's to say, for single-line editors too.
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        const bool wanted = wantReturn && (!ctrl || wantCtrlReturn);
        if (!wanted)
        {
            returnTaken = true;
            if (manager != NULL)
                manager->SendNotify(const_cast<CRichEditUI*>(this), NotifyType::Return, 0, 0, true);
            *result = 0;
            return S_OK;
        }
    }
    return host->GetTextServices()->TxSendMessage(msg, wparam, lparam, result);
}

bool CRichEditUI::OnTxViewChanged()
{
    return true;
}

void CRichEditUI::OnTxNotify(DWORD iNotify, void* pv)
{
    if (manager == NULL)
        return;
    if (iNotify == EN_CHANGE)
    {
        manager->SendNotify(this, NotifyType::TextChanged, 0, 0, true);
        return;
    }
    bool forwarded = false;
    for (UINT code : kForwardedNotifications)
        forwarded = forwarded || code == iNotify;
    NMHDR* header = static_cast<NMHDR*>(pv);
    const HWND window = manager->GetPaintWindow();
    if (!forwarded || header == NULL || window == NULL)
        return;
    header->hwndFrom = window;
    header->idFrom = static_cast<UINT_PTR>(::GetWindowLongW(window, GWL_ID));
    header->code = iNotify;
    ::SendMessageW(window, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
}

// ---- Scroll bars as the text services ask for them ----

void CRichEditUI::ShowScrollBars(int which, bool show)
{
    bool changed = false;
    if ((which == SB_VERT || which == SB_BOTH) && verticalScrollBar != NULL &&
        verticalScrollBar->IsVisible() != show)
    {
        verticalScrollBar->SetVisible(show);
        changed = true;
    }
    if ((which == SB_HORZ || which == SB_BOTH) && horizontalScrollBar != NULL &&
        horizontalScrollBar->IsVisible() != show)
    {
        horizontalScrollBar->SetVisible(show);
        changed = true;
    }
    // The bars take room from the text: the control is laid out again.
    if (changed)
        NeedUpdate();
}

void CRichEditUI::EnableScrollBars(int which, int arrows)
{
    const bool vertical = which == SB_VERT || which == SB_BOTH;
    const bool horizontal = which == SB_HORZ || which == SB_BOTH;
    if ((vertical && verticalScrollBar == NULL) || (horizontal && horizontalScrollBar == NULL))
        EnableScrollBar(vertical || verticalScrollBar != NULL, horizontal || horizontalScrollBar != NULL);
    // Under ES_DISABLENOSCROLL some text services disable a bar instead of
    // giving it an empty range: either way there is nothing to scroll.
    if (arrows == ESB_DISABLE_BOTH)
    {
        if (vertical && verticalScrollBar != NULL)
            verticalScrollBar->SetScrollRange(0);
        if (horizontal && horizontalScrollBar != NULL)
            horizontalScrollBar->SetScrollRange(0);
    }
    ShowScrollBars(which, arrows != ESB_DISABLE_BOTH);
}

void CRichEditUI::SetScrollBarRange(bool vertical, int range)
{
    CScrollBarUI* bar = vertical ? verticalScrollBar : horizontalScrollBar;
    if (bar == NULL)
        return;
    if (range > 0)
        bar->SetScrollRange(range);
    ShowScrollBars(vertical ? SB_VERT : SB_HORZ, range > 0);
}

// ---- Layout ----

CUIRect CRichEditUI::TextArea() const
{
    return InnerRect();
}

void CRichEditUI::ApplyClientRect(const CUIRect& textArea)
{
    if (host == NULL)
        return;
    CUIRect client(textArea.left + textPadding.left, textArea.top + textPadding.top,
                   textArea.right - textPadding.right, textArea.bottom - textPadding.bottom);
    if (client.right < client.left)
        client.right = client.left;
    if (client.bottom < client.top)
        client.bottom = client.top;
    host->SetClientRect(client);
}

// Whether the text at the given width is taller than the given height. Text
// services that cannot measure count as fitting: no bar is forced on them.
bool CRichEditUI::NaturalHeightExceeds(int width, int height) const
{
    LONG natural = 0;
    return host != NULL && host->NaturalHeight(width, natural) && natural > height;
}

void CRichEditUI::FitVerticalScrollBar(int childHeight, bool wasVisible)
{
    if (host == NULL || verticalScrollBar == NULL || !wasVisible)
        return;
    if (verticalScrollBar->IsVisible() && !vscrollAutoShown)
        return;
    const RECT client = host->GetClientRect();
    if (NaturalHeightExceeds(client.right - client.left, childHeight))
    {
        verticalScrollBar->SetVisible(true);
        verticalScrollBar->SetScrollPos(0, true);
        vscrollAutoShown = true;
    }
    else if (vscrollAutoShown)
    {
        verticalScrollBar->SetVisible(false);
        vscrollAutoShown = false;
    }
}

void CRichEditUI::PlaceScrollBars(const CUIRect& textArea)
{
    if (IsBarShown(verticalScrollBar))
    {
        const int width = verticalScrollBar->GetFixedWidth();
        verticalScrollBar->SetPos(
            CUIRect(textArea.right, textArea.top, textArea.right + width, textArea.bottom), false);
    }
    if (IsBarShown(horizontalScrollBar))
    {
        const int height = horizontalScrollBar->GetFixedHeight();
        horizontalScrollBar->SetPos(
            CUIRect(textArea.left, textArea.bottom, textArea.right, textArea.bottom + height), false);
    }
}

void CRichEditUI::SetPos(RECT rc, bool bNeedInvalidate)
{
    CControlUI::SetPos(rc, bNeedInvalidate);

    const bool verticalWasVisible = IsBarShown(verticalScrollBar);
    CUIRect textArea = TextArea();
    if (host != NULL)
        ApplyClientRect(textArea);

    // The text services may have shown or hidden a bar on the new width; a
    // bar this control showed on its own goes again once the text fits.
    const RECT client = GetTextRect();
    FitVerticalScrollBar(client.bottom - client.top, verticalWasVisible);
    const CUIRect settled = TextArea();
    if (!::EqualRect(&settled, &textArea))
    {
        textArea = settled;
        ApplyClientRect(textArea);
    }

    PlaceScrollBars(textArea);

    CUIRect childArea = textArea;
    if (IsBarShown(verticalScrollBar))
    {
        childArea.top -= verticalScrollBar->GetScrollPos();
        childArea.bottom += verticalScrollBar->GetScrollRange() - verticalScrollBar->GetScrollPos();
    }
    if (IsBarShown(horizontalScrollBar))
    {
        childArea.left -= horizontalScrollBar->GetScrollPos();
        childArea.right += horizontalScrollBar->GetScrollRange() - horizontalScrollBar->GetScrollPos();
    }
    FillWithChildren(childArea);
}

void CRichEditUI::MoveBy(int dx, int dy, bool bNeedInvalidate)
{
    CContainerUI::MoveBy(dx, dy, bNeedInvalidate);
    ApplyClientRect(TextArea());
}

// ---- Events ----

void CRichEditUI::HandleEvent(TControlEvent& event)
{
    if (PassUnreachableMouseEvent(event))
        return;
    ITextServices* services = host != NULL ? host->GetTextServices() : NULL;
    switch (event.kind)
    {
    case EventSetCursor:
        if (IsEnabled() && services != NULL && IsPointInTextArea(event.point))
        {
            const RECT client = host->GetClientRect();
            services->OnTxSetCursor(DVASPECT_CONTENT, -1, NULL, NULL, manager->GetPaintDC(), NULL, &client,
                                    event.point.x, event.point.y);
            return;
        }
        break;
    case EventWindowSize:
        if (host != NULL)
            host->SetFlag(CTxtWinHost::FlagCaretRepaint, true);
        break;
    case EventSetFocus:
    case EventKillFocus:
    {
        // The flag comes first: the services show or hide their caret while
        // they handle the message, and only a focused control shows one.
        const bool gained = event.kind == EventSetFocus;
        focused = gained;
        if (services != NULL)
        {
            services->OnTxInPlaceActivate(NULL);
            LRESULT ignored = 0;
            services->TxSendMessage(gained ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, &ignored);
        }
        if (!gained && host != NULL)
            host->DropCaret();
        Invalidate();
        return;
    }
    case EventTimer:
        if (event.wParam == CaretTimerId)
        {
            OnCaretTimer();
            return;
        }
        if (services != NULL)
        {
            LRESULT ignored = 0;
            services->TxSendMessage(WM_TIMER, event.wParam, event.lParam, &ignored);
            return;
        }
        break;
    case EventScrollWheel:
        if (event.keyState & KeyStateControl)
            return;
        break;
    case EventButtonDown:
    case EventButtonUp:
    case EventDoubleClick:
    case EventMouseMove:
        // The message filter has given the raw messages to the text services.
        return;
    default:
        if (IsKeyboardEvent(event.kind))
            return;
        break;
    }
    CContainerUI::HandleEvent(event);
}

void CRichEditUI::OnCaretTimer()
{
    if (manager == NULL || !manager->IsLayered() || !IsFocused() ||
        ::GetFocus() != manager->GetPaintWindow() || host == NULL)
        return;
    drawCaret = !drawCaret;
    POINT at = {};
    ::GetCaretPos(&at);
    const SIZE size = host->GetCaretSize();
    RECT area = {at.x, at.y, at.x + size.cx, at.y + size.cy};
    if (!::IntersectRect(&area, &area, &itemRect) || !ClipToAncestors(area, false))
        return;
    manager->InvalidateRect(area);
}

bool CRichEditUI::IsPointInTextArea(POINT pt) const
{
    const RECT client = GetTextRect();
    return ::PtInRect(&client, pt) != FALSE;
}

// Without the text services' capture, a mouse message goes to them only over
// the text and while nothing else holds the mouse; a button message only when
// this control is the one under the pointer.
bool CRichEditUI::AcceptsMouseMessage(UINT uMsg, LPARAM lParam) const
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (uMsg == WM_SETCURSOR)
    {
        ::GetCursorPos(&pt);
        ::ScreenToClient(manager->GetPaintWindow(), &pt);
    }
    else if (uMsg == WM_MOUSEWHEEL)
        ::ScreenToClient(manager->GetPaintWindow(), &pt);
    if (IsButtonMessage(uMsg) && manager->FindControlAt(pt) != this)
        return false;
    return IsPointInTextArea(pt) && !manager->IsCaptured();
}

LRESULT CRichEditUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (!IsVisible() || !IsEnabled() || manager == NULL || host == NULL)
        return 0;
    const bool mouse = IsMouseMessage(uMsg);
    if (mouse && !IsMouseEnabled())
        return 0;
    if (uMsg == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0)
        return 0;
    const bool keyboard = IsKeyboardMessage(uMsg);
    if (keyboard && !(IsFocused() && manager->GetFocus() == this))
        return 0;
    // Tab the control does not want is the window's, also where no message
    // loop moved the focus with it.
    if (!wantTab && ((uMsg == WM_KEYDOWN && wParam == VK_TAB) || (uMsg == WM_CHAR && wParam == '\t')))
        return 0;

    switch (uMsg)
    {
    case WM_IME_COMPOSITION:
    {
        if (!IsFocused())
            return 0;
        // The composition window follows the caret and the control's font.
        HWND window = manager->GetPaintWindow();
        HIMC context = ::ImmGetContext(window);
        if (context != NULL)
        {
            COMPOSITIONFORM form = {};
            form.dwStyle = CFS_FORCE_POSITION;
            ::GetCaretPos(&form.ptCurrentPos);
            ::ImmSetCompositionWindow(context, &form);
            LOGFONTW lf = {};
            HFONT hFont = manager->GetFont(font);
            if (hFont != NULL && ::GetObjectW(hFont, sizeof(lf), &lf) != 0)
                ::ImmSetCompositionFontW(context, &lf);
            ::ImmReleaseContext(window, context);
        }
        return 0;
    }
    case WM_CONTEXTMENU:
    {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ScreenToClient(manager->GetPaintWindow(), &pt);
        if (manager->FindControlAt(pt) != this)
            return 0;
        break;
    }
    case WM_HELP:
        break;
    case WM_SETCURSOR:
        break;
    default:
        if (!mouse && !keyboard)
            return 0;
        break;
    }

    const bool hostCapture = host->HasFlag(CTxtWinHost::FlagCapture);
    if ((mouse || uMsg == WM_SETCURSOR) && !hostCapture)
    {
        if (!AcceptsMouseMessage(uMsg, lParam))
            return 0;
        if (TakesFocus(uMsg))
        {
            if (!manager->IsNoActivate())
                ::SetFocus(manager->GetPaintWindow());
            SetFocus();
        }
    }

    LRESULT result = 0;
    const HRESULT hr = TxSendMessage(uMsg, wParam, lParam, &result);
    const bool processed = hr == S_OK;
    if (uMsg == WM_SETCURSOR || uMsg == WM_HELP)
        return result;
    // A move the services took is still the manager's too, so that hover
    // leaves the control the pointer came from.
    if (mouse)
        handled = (processed && uMsg != WM_MOUSEMOVE) || host->HasFlag(CTxtWinHost::FlagCapture);
    else if (IsSystemKeyMessage(uMsg))
        handled = processed;  // Alt+F4, Alt+Space and menu keys stay the window's
    else
        handled = keyboard || processed;
    return result;
}

// ---- Painting ----

bool CRichEditUI::PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl)
{
    RECT rc;
    if (!::IntersectRect(&rc, &rcPaint, &itemRect))
        return true;
    CClipScope clip;
    CClipScope::ClipRect(hDC, rc, clip);
    CControlUI::PaintContent(hDC, rcPaint, pStopControl);

    ITextServices* services = host != NULL ? host->GetTextServices() : NULL;
    if (services != NULL)
    {
        const RECT client = host->GetClientRect();
        RECT drawn;
        if (::IntersectRect(&drawn, &client, &rc))
        {
            // The text services draw a partly visible last line whole; the
            // text area's clip keeps it out of the inset and the border.
            CClipScope textClip;
            CClipScope::ClipRect(hDC, drawn, textClip);
            CGdiAlphaScope alpha(hDC, drawn, manager != NULL && manager->IsLayered());
            RECT update = rcPaint;
            services->TxDraw(DVASPECT_CONTENT, 0, NULL, NULL, hDC, NULL, reinterpret_cast<LPCRECTL>(&client),
                             NULL, &update, NULL, 0, TXTVIEW_ACTIVE);
        }
        if (vscrollAutoShown && !NaturalHeightExceeds(client.right - client.left, client.bottom - client.top))
            NeedUpdate();
    }

    if (!items.IsEmpty() && !PaintChildren(hDC, rcPaint, pStopControl))
        return false;

    PaintCaret(hDC);

    return PaintScrollBars(hDC, rcPaint, pStopControl);
}

// A layered window shows no system caret: the control draws it.
void CRichEditUI::PaintCaret(HDC hDC)
{
    if (host == NULL || manager == NULL || !manager->IsLayered() || !IsFocused() || !drawCaret ||
        !host->HasFlag(CTxtWinHost::FlagCaretShown))
        return;
    POINT at = {};
    ::GetCaretPos(&at);
    const SIZE size = host->GetCaretSize();
    const RECT caret = {at.x, at.y, at.x + (size.cx > 0 ? size.cx : 1), at.y + size.cy};
    RECT inside;
    if (!::IntersectRect(&inside, &caret, &itemRect) || !::IntersectRect(&inside, &inside, &paintRect))
        return;
    FillOpaquePixels(hDC, inside, 0xFF000000);
}

// ---- Scrolling ----

void CRichEditUI::SendScroll(UINT msg, WORD code, WORD position) const
{
    LRESULT ignored = 0;
    TxSendMessage(msg, MAKEWPARAM(code, position), 0, &ignored);
}

void CRichEditUI::LineUp()
{
    SendScroll(WM_VSCROLL, SB_LINEUP);
}
void CRichEditUI::PageUp()
{
    SendScroll(WM_VSCROLL, SB_PAGEUP);
}
void CRichEditUI::PageDown()
{
    SendScroll(WM_VSCROLL, SB_PAGEDOWN);
}
void CRichEditUI::HomeUp()
{
    SendScroll(WM_VSCROLL, SB_TOP);
}
void CRichEditUI::EndDown()
{
    SendScroll(WM_VSCROLL, SB_BOTTOM);
}
void CRichEditUI::LineLeft()
{
    SendScroll(WM_HSCROLL, SB_LINELEFT);
}
void CRichEditUI::LineRight()
{
    SendScroll(WM_HSCROLL, SB_LINERIGHT);
}
void CRichEditUI::PageLeft()
{
    SendScroll(WM_HSCROLL, SB_PAGELEFT);
}
void CRichEditUI::PageRight()
{
    SendScroll(WM_HSCROLL, SB_PAGERIGHT);
}
void CRichEditUI::HomeLeft()
{
    SendScroll(WM_HSCROLL, SB_LEFT);
}
void CRichEditUI::EndRight()
{
    SendScroll(WM_HSCROLL, SB_RIGHT);
}

// In plain-text mode the last line may not scroll fully into view: a line
// step that moved nothing takes the bar to its end.
void CRichEditUI::LineDown()
{
    const bool barShown = IsBarShown(verticalScrollBar);
    const int before = barShown ? verticalScrollBar->GetScrollPos() : 0;
    SendScroll(WM_VSCROLL, SB_LINEDOWN);
    if (!rich && barShown && verticalScrollBar->GetScrollPos() <= before)
        verticalScrollBar->SetScrollPos(verticalScrollBar->GetScrollRange(), true);
}

void CRichEditUI::SetScrollPos(SIZE szPos)
{
    if (IsBarShown(verticalScrollBar))
    {
        const int before = verticalScrollBar->GetScrollPos();
        verticalScrollBar->SetScrollPos(szPos.cy, true);
        const int now = verticalScrollBar->GetScrollPos();
        if (now != before)
        {
            SendScroll(WM_VSCROLL, SB_THUMBPOSITION, static_cast<WORD>(now));
            if (!rich && now > before && verticalScrollBar->GetScrollPos() <= now)
                verticalScrollBar->SetScrollPos(now, true);
        }
    }
    if (IsBarShown(horizontalScrollBar))
    {
        const int before = horizontalScrollBar->GetScrollPos();
        horizontalScrollBar->SetScrollPos(szPos.cx, true);
        const int now = horizontalScrollBar->GetScrollPos();
        if (now != before)
            SendScroll(WM_HSCROLL, SB_THUMBPOSITION, static_cast<WORD>(now));
    }
}

void CRichEditUI::ScaleGeometry(int fromDpi, int toDpi)
{
    textPadding = Rescale(textPadding, fromDpi, toDpi);
    CContainerUI::ScaleGeometry(fromDpi, toDpi);
}
