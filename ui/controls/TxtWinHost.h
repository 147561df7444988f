#pragma once

#include <windows.h>
#include <ole2.h>
#include <imm.h>
#include <richedit.h>
#include <textserv.h>

#include "ui/core/ComRefCount.h"

class CRichEditUI;

// Interface identifiers of the windowless text services. The system's import
// libraries lack them, so they are defined once, beside the host.
extern const IID kTextServicesIid;
// The host interface as it is published, and as some text services ask for it.
extern const IID kTextHostIid;
extern const IID kTextHostAltIid;

// The host side of the platform's windowless text services for one rich edit
// control: it lends the services the manager's window, DC, timers, caret,
// capture and the control's scroll bars, and describes the control's look
// and behaviour (client rectangle, character and paragraph format, property
// bits). The methods after IUnknown are thiscall, as the services expect:
// they are plain virtuals, never STDMETHOD.
//
// The services call back while they are being created and while they are
// being destroyed, so every method copes with a missing services pointer and
// with an owner that is already gone.
class CTxtWinHost final : public CComRefCounted<ITextHost>
{
public:
    // Host flag bits.
    enum Flags
    {
        FlagAutoWordSel = 0x1,
        FlagWordWrap = 0x2,
        FlagAllowBeep = 0x4,
        FlagRich = 0x8,
        FlagSaveSelection = 0x10,
        FlagInPlaceActive = 0x20,
        FlagTransparent = 0x40,
        FlagTimer = 0x80,
        FlagCapture = 0x100,
        FlagCaretShown = 0x200,
        FlagCaretRepaint = 0x400,
    };

    CTxtWinHost();

    // Creates the text services for owner with the given edit style, and sets
    // the text. False (and no services) when the library, its entry point or
    // the text cannot be had.
    bool Init(CRichEditUI* owner, DWORD style, LPCWSTR text);
    // Adopts text services created elsewhere (takes a reference), for an
    // owner that may be null.
    void Attach(CRichEditUI* owner, ITextServices* services);
    // Releases the text services and forgets the owner; later calls from the
    // services find nothing to act on.
    void Shutdown();
    // Hides and destroys the caret when the window holds it for this control.
    void DropCaret();

    ITextServices* GetTextServices() const { return services; }
    DWORD GetStyle() const { return style; }
    bool HasFlag(DWORD flag) const { return (flags & flag) != 0; }
    void SetFlag(DWORD flag, bool on);

    // Stores the client rectangle and its extent, and tells the services.
    void SetClientRect(const RECT& rc);
    const RECT& GetClientRect() const { return clientRect; }
    SIZE GetCaretSize() const { return caretSize; }

    // Character format from a font of the manager's table and a text colour.
    void SetFont(HFONT font);
    void SetColor(DWORD argb);
    void SetTransparent(bool transparent);
    void SetRich(bool rich);
    void SetMaxLength(DWORD length) { maxLength = length; }
    DWORD GetMaxLength() const { return maxLength; }
    WCHAR GetPasswordChar() const { return passwordChar; }
    const CHARFORMAT2W& GetCharFormat() const { return charFormat; }

    // The services' natural height for the given width, or false when the
    // services cannot tell.
    bool NaturalHeight(int width, LONG& height) const;

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;

    // ---- ITextHost ----
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC hdc) override;
    BOOL TxShowScrollBar(INT fnBar, BOOL fShow) override;
    BOOL TxEnableScrollBar(INT fuSBFlags, INT fuArrowflags) override;
    BOOL TxSetScrollRange(INT fnBar, LONG nMinPos, INT nMaxPos, BOOL fRedraw) override;
    BOOL TxSetScrollPos(INT fnBar, INT nPos, BOOL fRedraw) override;
    void TxInvalidateRect(LPCRECT prc, BOOL fMode) override;
    void TxViewChange(BOOL fUpdate) override;
    BOOL TxCreateCaret(HBITMAP hbmp, INT xWidth, INT yHeight) override;
    BOOL TxShowCaret(BOOL fShow) override;
    BOOL TxSetCaretPos(INT x, INT y) override;
    BOOL TxSetTimer(UINT idTimer, UINT uTimeout) override;
    void TxKillTimer(UINT idTimer) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT lprcScroll, LPCRECT lprcClip, HRGN hrgnUpdate,
                          LPRECT lprcUpdate, UINT fuScroll) override;
    void TxSetCapture(BOOL fCapture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR hcur, BOOL fText) override;
    BOOL TxScreenToClient(LPPOINT lppt) override;
    BOOL TxClientToScreen(LPPOINT lppt) override;
    HRESULT TxActivate(LONG* plOldState) override;
    HRESULT TxDeactivate(LONG lNewState) override;
    HRESULT TxGetClientRect(LPRECT prc) override;
    HRESULT TxGetViewInset(LPRECT prc) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** ppCF) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** ppPF) override;
    COLORREF TxGetSysColor(int nIndex) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* pstyle) override;
    HRESULT TxGetMaxLength(DWORD* plength) override;
    HRESULT TxGetScrollBars(DWORD* pdwScrollBar) override;
    HRESULT TxGetPasswordChar(WCHAR* pch) override;
    HRESULT TxGetAcceleratorPos(LONG* pcp) override;
    HRESULT TxGetExtent(LPSIZEL lpExtent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* pcf) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* ppf) override;
    HRESULT TxGetPropertyBits(DWORD dwMask, DWORD* pdwBits) override;
    HRESULT TxNotify(DWORD iNotify, void* pv) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC himc) override;
    HRESULT TxGetSelectionBarWidth(LONG* lSelBarWidth) override;

private:
    ~CTxtWinHost();
    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    HWND Window() const;
    // Tells the services about a change of character format. Text services
    // that read the format only once also get it through EM_SETCHARFORMAT.
    void ApplyCharFormat();

    CRichEditUI* owner;       // not owned; null after Shutdown
    ITextServices* services;  // owned reference
    DWORD style;
    DWORD flags;
    SIZE caretSize;
    SIZE oldCaretSize;
    LONG selectionBarWidth;
    DWORD maxLength;
    RECT clientRect;
    SIZEL extent;  // client size in HIMETRIC
    CHARFORMAT2W charFormat;
    PARAFORMAT2 paraFormat;
    LONG acceleratorPos;
    WCHAR passwordChar;
};
