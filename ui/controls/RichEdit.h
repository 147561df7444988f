#pragma once

#include <windows.h>
#include <richedit.h>

#include "ui/controls/Container.h"
#include "ui/controls/ControlAttributes.h"
#include "ui/controls/ControlTag.h"

class CTxtWinHost;

// A multi-line, optionally rich-text editor without a window of its own. The
// editing engine is the platform's windowless text services, hosted through
// CTxtWinHost: the control hands them the window's raw mouse and keyboard
// messages through the manager's message filter, lets them draw into the
// paint DC, and mirrors their scroll-bar requests onto its own scroll bars.
// It reports "textchanged" and "return"; other edit notifications reach the
// window as WM_NOTIFY.
//
// The edit style (multi-line, read-only, password, alignment, scroll bars)
// is read when the text services are created, when the control joins its
// window: attributes that set it come before that.
class CRichEditUI : public CContainerUI, public IMessageFilterUI
{
public:
    // The manager timer that blinks the caret in a layered window.
    static const UINT CaretTimerId = 20;

    CRichEditUI();
    ~CRichEditUI() override;

    // ---- Control interface overrides ----
    LPCWSTR GetClassName() const override;
    LPVOID FindInterface(LPCWSTR pstrName) override;
    UINT GetFlags() const override;
    // Editable text: its content is the value, not the name.
    DWORD GetAccessibleRole() override;
    DWORD GetAccessibleState() override;
    bool GetAccessibleValue(CUIString& value) override;
    CUIString GetAccessibleText() override;
    // The caret shows where the focus is.
    bool HasFocusedLook() const override;
    // The text services' text; without them the stored text.
    CUIString GetText() const override;
    void SetText(LPCWSTR pstrText) override;
    void SetPos(RECT rc, bool bNeedInvalidate = true) override;
    void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
    // Creates the text services, once.
    void InitSelf() override;
    void HandleEvent(TControlEvent& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void ScaleGeometry(int fromDpi, int toDpi) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

    // ---- Scrolling: each step is one message to the text services ----
    void SetScrollPos(SIZE szPos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;

    // ---- Own overridables ----
    // Hands a message to the text services; 1 (not processed) without them.
    // Enter that the control does not want becomes the "return" notification.
    virtual HRESULT TxSendMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* plresult) const;
    // Whether a view change of the text services repaints the control.
    virtual bool OnTxViewChanged();
    // Edit notifications of the text services.
    virtual void OnTxNotify(DWORD iNotify, void* pv);

    // ---- Scroll bars as the text services ask for them ----
    // SB_VERT, SB_HORZ or SB_BOTH shown or hidden.
    void ShowScrollBars(int which, bool show);
    // Creates the bars when missing; an ESB_DISABLE_BOTH request means that
    // there is nothing to scroll, and the bars go.
    void EnableScrollBars(int which, int arrows);
    // A range of 0 or less hides the bar, a positive one shows it.
    void SetScrollBarRange(bool vertical, int range);

    // ---- IMessageFilterUI ----
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // ---- Operations ----
    bool IsWantTab() const { return wantTab; }
    void SetWantTab(bool want) { wantTab = want; }
    bool IsWantReturn() const { return wantReturn; }
    void SetWantReturn(bool want) { wantReturn = want; }
    bool IsWantCtrlReturn() const { return wantCtrlReturn; }
    void SetWantCtrlReturn(bool want) { wantCtrlReturn = want; }
    bool IsTransparent() const { return transparent; }
    void SetTransparent(bool bTransparent);
    bool IsRich() const { return rich; }
    void SetRich(bool bRich);
    bool IsReadOnly() const { return readOnly; }
    // Read-only takes effect at once, also after the services exist.
    void SetReadOnly(bool bReadOnly);
    int GetFont() const { return font; }
    // Index into the window's font table; -1 is the default font.
    void SetFont(int index);
    DWORD GetTextColor() const { return textColor; }
    void SetTextColor(DWORD dwTextColor);
    int GetLimitText() const { return limitText; }
    // The most characters the text may hold; typing stops there.
    void SetLimitText(int count);
    DWORD GetStyle() const { return style; }
    RECT GetTextPadding() const { return textPadding; }
    void SetTextPadding(RECT rc);
    // The host's client rectangle: where the text is drawn, or empty.
    RECT GetTextRect() const;
    CTxtWinHost* GetTextHost() const { return host; }
    // Where the caret is drawn in a layered window, and whether it shows now.
    bool IsCaretDrawn() const { return drawCaret; }

    // Selection and editing through the text services.
    void SetSel(long start, long end);
    void GetSel(long& start, long& end) const;
    void ReplaceSel(LPCWSTR text, bool canUndo = false);
    // Applies a character format to the selection.
    bool SetSelectionCharFormat(CHARFORMAT2W& format);

protected:
    // ---- Implementation ----
    static const TAttributeRow<CRichEditUI> attributeTable[];
    void SetStyleBits(DWORD set, DWORD clear);
    void SetAlign(LPCWSTR value);

    // The text area: the item rectangle less the inset and the visible bars.
    CUIRect TextArea() const;
    void ApplyClientRect(const CUIRect& textArea);
    void FitVerticalScrollBar(int childHeight, bool wasVisible);
    bool NaturalHeightExceeds(int width, int height) const;
    void PlaceScrollBars(const CUIRect& textArea);
    void PaintCaret(HDC hDC);
    void OnCaretTimer();
    void SendScroll(UINT msg, WORD code, WORD position = 0) const;
    // The handling of mouse messages by the message filter.
    bool AcceptsMouseMessage(UINT uMsg, LPARAM lParam) const;
    bool IsPointInTextArea(POINT pt) const;

    CTxtWinHost* host;  // owned reference
    bool vscrollAutoShown;
    bool wantTab;
    bool wantReturn;
    bool wantCtrlReturn;
    bool transparent;
    bool rich;
    bool readOnly;
    DWORD textColor;
    int font;
    int limitText;
    DWORD style;
    bool drawCaret;
    bool initialised;
    // Enter became "return": the character that follows it is not text.
    mutable bool returnTaken;
    CUIRect textPadding;
};

// The element name that makes this control in skins.
inline constexpr TControlTag kRichEditTags[] = {
    {L"RichEdit", AnyCase, MakeControl<CRichEditUI>},
};
