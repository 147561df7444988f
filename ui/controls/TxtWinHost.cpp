#include "ui/controls/TxtWinHost.h"

#include <wchar.h>

#include "ui/controls/RichEdit.h"
#include "ui/controls/ScrollBar.h"
#include "ui/core/Numeric.h"
#include "ui/manager/Manager.h"

// {8D33F740-CF58-11CE-A89D-00AA006CADC5}
const IID kTextServicesIid = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
// {C5BDD8D0-D26E-11CE-A89E-00AA006CADC5}
const IID kTextHostIid = {0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
// {13E670F4-1A5A-11CF-ABEB-00AA00B65EA1}
const IID kTextHostAltIid = {0x13E670F4, 0x1A5A, 0x11CF, {0xAB, 0xEB, 0x00, 0xAA, 0x00, 0xB6, 0x5E, 0xA1}};

namespace
{
// Scroll-bar, auto-scroll and no-hide bits of the edit style that the text
// services may see.
const DWORD kScrollStyleBits = WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;
const DWORD kParaFormatMask = 0x8001003F;
const LONG kTabStopTwips = 720;
const int kHimetricPerInch = 2540;
const int kTwipsPerInch = 1440;

// The text services live in this library for the rest of the process.
HMODULE TextServicesLibrary()
{
    static HMODULE library = ::LoadLibraryW(L"msftedit.dll");
    return library;
}

// An identifier the library exports under a name, or null.
const IID* ExportedIid(LPCSTR name)
{
    HMODULE library = TextServicesLibrary();
    return library != NULL
               ? reinterpret_cast<const IID*>(reinterpret_cast<void*>(::GetProcAddress(library, name)))
               : NULL;
}

// A DC for measuring while the owner has no window: the text services may ask
// for one while they are created or destroyed.
HDC FallbackDC()
{
    static HDC dc = ::CreateCompatibleDC(NULL);
    return dc;
}

// Runs a callback that reaches into the framework; nothing it throws may
// leave a COM method.
template <class TResult, class TBody> TResult Shielded(TResult failure, TBody body)
{
    try
    {
        return body();
    }
    catch (...)
    {
        return failure;
    }
}

COLORREF ColorRefOf(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}
}  // namespace

CTxtWinHost::CTxtWinHost()
    : owner(NULL),
      services(NULL),
      style(0),
      flags(0),
      caretSize(),
      oldCaretSize(),
      selectionBarWidth(0),
      maxLength(0),
      clientRect(),
      extent(),
      charFormat(),
      paraFormat(),
      acceleratorPos(-1),
      passwordChar(0)
{
    charFormat.cbSize = sizeof(charFormat);
    paraFormat.cbSize = sizeof(paraFormat);
}

CTxtWinHost::~CTxtWinHost()
{
    Shutdown();
}

HWND CTxtWinHost::Window() const
{
    CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
    return manager != NULL ? manager->GetPaintWindow() : NULL;
}

void CTxtWinHost::SetFlag(DWORD flag, bool on)
{
    flags = on ? (flags | flag) : (flags & ~flag);
}

bool CTxtWinHost::Init(CRichEditUI* pOwner, DWORD dwStyle, LPCWSTR text)
{
    owner = pOwner;
    style = dwStyle;
    maxLength = static_cast<DWORD>(owner->GetLimitText());
    CManagerUI* manager = owner->GetManager();
    if (manager != NULL)
        SetFont(manager->GetFont(owner->GetFont()));
    SetColor(owner->GetTextColor());

    paraFormat.dwMask = kParaFormatMask;
    paraFormat.wAlignment = PFA_LEFT;
    if (style & ES_CENTER)
        paraFormat.wAlignment = PFA_CENTER;
    else if (style & ES_RIGHT)
        paraFormat.wAlignment = PFA_RIGHT;
    paraFormat.cTabCount = 1;
    paraFormat.rgxTabs[0] = kTabStopTwips;

    SetFlag(FlagRich, owner->IsRich());
    SetFlag(FlagWordWrap, (style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0);
    SetFlag(FlagInPlaceActive, true);
    // Some text services read the back style only once, while they are created.
    SetFlag(FlagTransparent, owner->IsTransparent());
    // A password shows as stars; the character 0 would show the password itself.
    passwordChar = (style & ES_PASSWORD) ? L'*' : 0;

    HMODULE library = TextServicesLibrary();
    PCreateTextServices create =
        library != NULL ? reinterpret_cast<PCreateTextServices>(
                              reinterpret_cast<void*>(::GetProcAddress(library, "CreateTextServices")))
                        : NULL;
    if (create == NULL)
        return false;
    IUnknown* unknown = NULL;
    if (FAILED(create(NULL, this, &unknown)) || unknown == NULL)
        return false;
    void* found = NULL;
    HRESULT hr = unknown->QueryInterface(kTextServicesIid, &found);
    const IID* exported = ExportedIid("IID_ITextServices");
    if (FAILED(hr) && exported != NULL)
        hr = unknown->QueryInterface(*exported, &found);
    unknown->Release();
    if (FAILED(hr) || found == NULL)
        return false;
    services = static_cast<ITextServices*>(found);

    if (text != NULL && *text != 0 && FAILED(services->TxSetText(text)))
    {
        Shutdown();
        return false;
    }
    return true;
}

void CTxtWinHost::Attach(CRichEditUI* pOwner, ITextServices* pServices)
{
    Shutdown();
    owner = pOwner;
    services = pServices;
    if (services != NULL)
        services->AddRef();
}

void CTxtWinHost::Shutdown()
{
    if (services != NULL)
    {
        ITextServices* released = services;
        services = NULL;
        released->OnTxInPlaceDeactivate();
        released->Release();
    }
    CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
    if (manager != NULL && HasFlag(FlagCapture))
        manager->ReleaseCapture();
    SetFlag(FlagCapture, false);
    DropCaret();
    owner = NULL;
}

void CTxtWinHost::SetClientRect(const RECT& rc)
{
    if (::EqualRect(&rc, &clientRect))
        return;
    clientRect = rc;
    HDC dc = TxGetDC();
    const int dpiX = dc != NULL ? ::GetDeviceCaps(dc, LOGPIXELSX) : 96;
    const int dpiY = dc != NULL ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    extent.cx = ::MulDiv(rc.right - rc.left, kHimetricPerInch, dpiX > 0 ? dpiX : 96);
    extent.cy = ::MulDiv(rc.bottom - rc.top, kHimetricPerInch, dpiY > 0 ? dpiY : 96);
    // Both bits: text services that wrap to the client rectangle re-read it
    // only on the client-rectangle bit.
    const DWORD bits = TXTBIT_VIEWINSETCHANGE | TXTBIT_CLIENTRECTCHANGE;
    if (services != NULL)
        services->OnTxPropertyBitsChange(bits, bits);
}

void CTxtWinHost::SetFont(HFONT font)
{
    LOGFONTW lf = {};
    if (font == NULL || ::GetObjectW(font, sizeof(lf), &lf) == 0)
        return;
    HDC dc = TxGetDC();
    const int dpiY = dc != NULL ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    LONG twips = ::MulDiv(lf.lfHeight, -kTwipsPerInch, dpiY > 0 ? dpiY : 96);
    if (twips < 0)
        twips = -twips;
    charFormat.dwMask |=
        CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_FACE | CFM_OFFSET | CFM_CHARSET;
    charFormat.yHeight = twips;
    charFormat.yOffset = 0;
    charFormat.dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
    if (lf.lfWeight >= FW_BOLD)
        charFormat.dwEffects |= CFE_BOLD;
    if (lf.lfItalic)
        charFormat.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline)
        charFormat.dwEffects |= CFE_UNDERLINE;
    charFormat.bCharSet = lf.lfCharSet;
    charFormat.bPitchAndFamily = lf.lfPitchAndFamily;
    wcsncpy(charFormat.szFaceName, lf.lfFaceName, LF_FACESIZE - 1);
    charFormat.szFaceName[LF_FACESIZE - 1] = 0;
    ApplyCharFormat();
}

void CTxtWinHost::SetColor(DWORD argb)
{
    charFormat.dwMask |= CFM_COLOR;
    charFormat.crTextColor = ColorRefOf(argb);
    charFormat.dwEffects &= ~CFE_AUTOCOLOR;
    ApplyCharFormat();
}

void CTxtWinHost::ApplyCharFormat()
{
    if (services == NULL)
        return;
    services->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
    LRESULT ignored = 0;
    services->TxSendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&charFormat), &ignored);
    services->TxSendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&charFormat), &ignored);
}

void CTxtWinHost::SetTransparent(bool transparent)
{
    SetFlag(FlagTransparent, transparent);
    if (services != NULL)
        services->OnTxPropertyBitsChange(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetRich(bool rich)
{
    SetFlag(FlagRich, rich);
    if (services == NULL)
        return;
    services->OnTxPropertyBitsChange(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
    // Text services that read the mode only once still switch an empty text.
    LRESULT ignored = 0;
    services->TxSendMessage(EM_SETTEXTMODE, rich ? TM_RICHTEXT : TM_PLAINTEXT, 0, &ignored);
}

bool CTxtWinHost::NaturalHeight(int width, LONG& height) const
{
    if (services == NULL)
        return false;
    LONG naturalWidth = width;
    LONG naturalHeight = 0;
    SIZEL emptyExtent = {-1, -1};
    HDC dc = const_cast<CTxtWinHost*>(this)->TxGetDC();
    const HRESULT hr = services->TxGetNaturalSize(DVASPECT_CONTENT, dc, NULL, NULL, TXTNS_FITTOCONTENT,
                                                  &emptyExtent, &naturalWidth, &naturalHeight);
    if (FAILED(hr))
        return false;
    height = naturalHeight;
    return true;
}

// ---- IUnknown ----

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    *ppv = NULL;
    const IID* exported = ExportedIid("IID_ITextHost");
    const bool host = IsEqualIID(riid, kTextHostIid) || IsEqualIID(riid, kTextHostAltIid) ||
                      (exported != NULL && IsEqualIID(riid, *exported));
    if (!IsEqualIID(riid, IID_IUnknown) && !host)
        return E_NOINTERFACE;
    *ppv = static_cast<ITextHost*>(this);
    AddRef();
    return S_OK;
}

// ---- ITextHost: window, DC and scroll bars ----

HDC CTxtWinHost::TxGetDC()
{
    CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
    HDC dc = manager != NULL ? manager->GetPaintDC() : NULL;
    return dc != NULL ? dc : FallbackDC();
}

INT CTxtWinHost::TxReleaseDC(HDC)
{
    return 1;
}

BOOL CTxtWinHost::TxShowScrollBar(INT fnBar, BOOL fShow)
{
    if (owner == NULL)
        return FALSE;
    return Shielded(FALSE, [&] {
        owner->ShowScrollBars(fnBar, fShow != FALSE);
        return TRUE;
    });
}

BOOL CTxtWinHost::TxEnableScrollBar(INT fuSBFlags, INT fuArrowflags)
{
    if (owner == NULL)
        return FALSE;
    return Shielded(FALSE, [&] {
        owner->EnableScrollBars(fuSBFlags, fuArrowflags);
        return TRUE;
    });
}

BOOL CTxtWinHost::TxSetScrollRange(INT fnBar, LONG nMinPos, INT nMaxPos, BOOL)
{
    if (owner == NULL)
        return FALSE;
    return Shielded(FALSE, [&] {
        const bool vertical = fnBar == SB_VERT;
        const long long page =
            vertical ? clientRect.bottom - clientRect.top : clientRect.right - clientRect.left;
        const long long range = static_cast<long long>(nMaxPos) - nMinPos - page;
        owner->SetScrollBarRange(vertical, SaturateInt(range));
        return TRUE;
    });
}

BOOL CTxtWinHost::TxSetScrollPos(INT fnBar, INT nPos, BOOL)
{
    if (owner == NULL)
        return FALSE;
    return Shielded(FALSE, [&] {
        CScrollBarUI* bar =
            fnBar == SB_VERT ? owner->GetVerticalScrollBar() : owner->GetHorizontalScrollBar();
        if (bar != NULL)
            bar->SetScrollPos(nPos, true);
        return TRUE;
    });
}

void CTxtWinHost::TxInvalidateRect(LPCRECT prc, BOOL)
{
    CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
    if (manager == NULL)
        return;
    Shielded(0, [&] {
        manager->InvalidateRect(prc != NULL ? *prc : clientRect);
        return 0;
    });
}

void CTxtWinHost::TxViewChange(BOOL)
{
    if (owner == NULL)
        return;
    Shielded(0, [&] {
        if (owner->OnTxViewChanged())
            owner->Invalidate();
        return 0;
    });
}

// ---- ITextHost: caret, timers, capture, focus, cursor ----

BOOL CTxtWinHost::TxCreateCaret(HBITMAP hbmp, INT xWidth, INT yHeight)
{
    caretSize.cx = xWidth;
    caretSize.cy = yHeight;
    const HWND window = Window();
    return window != NULL ? ::CreateCaret(window, hbmp, xWidth, yHeight) : FALSE;
}

// The text services show their caret when they are activated, focused or not;
// a caret without the focus would tell the user that typing goes here.
BOOL CTxtWinHost::TxShowCaret(BOOL fShow)
{
    const bool show = fShow != FALSE && owner != NULL && owner->IsFocused();
    SetFlag(FlagCaretShown, show);
    const HWND window = Window();
    if (window == NULL)
        return FALSE;
    if (!show)
    {
        ::HideCaret(window);
        return TRUE;
    }
    return ::ShowCaret(window);
}

void CTxtWinHost::DropCaret()
{
    SetFlag(FlagCaretShown, false);
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    const HWND window = Window();
    if (window != NULL && ::GetGUIThreadInfo(::GetCurrentThreadId(), &thread) && thread.hwndCaret == window)
        ::DestroyCaret();
}

BOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
    if (manager == NULL)
        return FALSE;
    return Shielded(FALSE, [&] {
        POINT old = {};
        ::GetCaretPos(&old);
        const RECT oldArea = {old.x, old.y, old.x + oldCaretSize.cx, old.y + oldCaretSize.cy};
        if (manager->IsLayered())
        {
            // The caret is painted with the window: both places need painting.
            manager->InvalidateRect(oldArea);
            const RECT newArea = {x, y, x + caretSize.cx, y + caretSize.cy};
            manager->InvalidateRect(newArea);
        }
        else if (HasFlag(FlagCaretRepaint))
        {
            manager->InvalidateRect(oldArea);
            SetFlag(FlagCaretRepaint, false);
        }
        oldCaretSize = caretSize;
        return ::SetCaretPos(x, y);
    });
}

BOOL CTxtWinHost::TxSetTimer(UINT idTimer, UINT uTimeout)
{
    CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
    if (manager == NULL)
        return FALSE;
    return Shielded(FALSE, [&] {
        SetFlag(FlagTimer, true);
        // The manager refuses to start a running timer again: the services
        // re-arm theirs with a new period, so the old one stops first.
        manager->KillTimer(owner, idTimer);
        return manager->SetTimer(owner, idTimer, uTimeout) ? TRUE : FALSE;
    });
}

void CTxtWinHost::TxKillTimer(UINT idTimer)
{
    CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
    if (manager != NULL)
        Shielded(false, [&] { return manager->KillTimer(owner, idTimer); });
    SetFlag(FlagTimer, false);
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT)
{
}

void CTxtWinHost::TxSetCapture(BOOL fCapture)
{
    CManagerUI* manager = owner != NULL ? owner->GetManager() : NULL;
    if (manager == NULL)
        return;
    if (fCapture)
        manager->SetCapture();
    else
        manager->ReleaseCapture();
    SetFlag(FlagCapture, fCapture != FALSE);
}

void CTxtWinHost::TxSetFocus()
{
    if (owner != NULL)
        Shielded(0, [&] {
            owner->SetFocus();
            return 0;
        });
}

void CTxtWinHost::TxSetCursor(HCURSOR hcur, BOOL)
{
    ::SetCursor(hcur);
}

BOOL CTxtWinHost::TxScreenToClient(LPPOINT lppt)
{
    const HWND window = Window();
    return window != NULL && lppt != NULL ? ::ScreenToClient(window, lppt) : FALSE;
}

BOOL CTxtWinHost::TxClientToScreen(LPPOINT lppt)
{
    const HWND window = Window();
    return window != NULL && lppt != NULL ? ::ClientToScreen(window, lppt) : FALSE;
}

HRESULT CTxtWinHost::TxActivate(LONG*)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG)
{
    return S_OK;
}

// ---- ITextHost: what the services ask about the control ----

HRESULT CTxtWinHost::TxGetClientRect(LPRECT prc)
{
    if (prc == NULL)
        return E_INVALIDARG;
    *prc = clientRect;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT prc)
{
    if (prc == NULL)
        return E_INVALIDARG;
    ::SetRectEmpty(prc);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** ppCF)
{
    if (ppCF == NULL)
        return E_INVALIDARG;
    *ppCF = reinterpret_cast<const CHARFORMATW*>(&charFormat);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** ppPF)
{
    if (ppPF == NULL)
        return E_INVALIDARG;
    *ppPF = reinterpret_cast<const PARAFORMAT*>(&paraFormat);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int nIndex)
{
    return ::GetSysColor(nIndex);
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* pstyle)
{
    if (pstyle == NULL)
        return E_INVALIDARG;
    *pstyle = HasFlag(FlagTransparent) ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* plength)
{
    if (plength == NULL)
        return E_INVALIDARG;
    *plength = maxLength;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* pdwScrollBar)
{
    if (pdwScrollBar == NULL)
        return E_INVALIDARG;
    *pdwScrollBar = style & kScrollStyleBits;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(WCHAR* pch)
{
    if (pch == NULL)
        return E_INVALIDARG;
    *pch = passwordChar;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pcp)
{
    if (pcp == NULL)
        return E_INVALIDARG;
    *pcp = acceleratorPos;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL lpExtent)
{
    if (lpExtent == NULL)
        return E_INVALIDARG;
    *lpExtent = extent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*)
{
    return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*)
{
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD dwMask, DWORD* pdwBits)
{
    if (pdwBits == NULL)
        return E_INVALIDARG;
    DWORD bits = 0;
    if (HasFlag(FlagRich))
        bits |= TXTBIT_RICHTEXT;
    if (style & ES_MULTILINE)
        bits |= TXTBIT_MULTILINE;
    if (style & ES_READONLY)
        bits |= TXTBIT_READONLY;
    if (style & ES_PASSWORD)
        bits |= TXTBIT_USEPASSWORD;
    if (!(style & ES_NOHIDESEL))
        bits |= TXTBIT_HIDESELECTION;
    if (HasFlag(FlagAutoWordSel))
        bits |= TXTBIT_AUTOWORDSEL;
    if (HasFlag(FlagWordWrap))
        bits |= TXTBIT_WORDWRAP;
    if (HasFlag(FlagAllowBeep))
        bits |= TXTBIT_ALLOWBEEP;
    if (HasFlag(FlagSaveSelection))
        bits |= TXTBIT_SAVESELECTION;
    *pdwBits = bits & dwMask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD iNotify, void* pv)
{
    if (owner == NULL)
        return S_OK;
    return Shielded(E_FAIL, [&] {
        if (iNotify == EN_REQUESTRESIZE)
        {
            const REQRESIZE* request = static_cast<const REQRESIZE*>(pv);
            if (request != NULL)
            {
                RECT rc = clientRect;
                rc.right = rc.left + (request->rc.right - request->rc.left);
                rc.bottom = rc.top + (request->rc.bottom - request->rc.top);
                SetClientRect(rc);
            }
            return S_OK;
        }
        owner->OnTxNotify(iNotify, pv);
        return S_OK;
    });
}

HIMC CTxtWinHost::TxImmGetContext()
{
    return NULL;
}

void CTxtWinHost::TxImmReleaseContext(HIMC)
{
}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* lSelBarWidth)
{
    if (lSelBarWidth == NULL)
        return E_INVALIDARG;
    *lSelBarWidth = selectionBarWidth;
    return S_OK;
}
