#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "richedit_window.h"
#include "tests/support/Canvas.h"
#include "ui/controls/ScrollBar.h"
#include "ui/controls/TxtWinHost.h"

// The control's properties and the host's answers to the text services,
// including the places where the text services need more than they ask for.

namespace
{
std::wstring Skin(LPCWSTR attributes)
{
    return std::wstring(L"<Window size=\"300,200\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
                        L"<RichEdit name=\"edit\" inset=\"4,4,4,4\" ") +
           attributes + L"/></VerticalLayout></Window>";
}

LRESULT Send(CRichEditUI* edit, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    LRESULT result = 0;
    edit->TxSendMessage(msg, wParam, lParam, &result);
    return result;
}

// The window's tree painted onto a canvas of the client size.
class CPicture
{
public:
    explicit CPicture(CEditWindow& w) : canvas(ClientWidth(w), ClientHeight(w), 0)
    {
        const RECT all = {0, 0, canvas.Width(), canvas.Height()};
        w.Manager().GetRoot()->Paint(canvas.Dc(), all, NULL);
        ::GdiFlush();
    }

    DWORD At(int x, int y) const { return canvas.At(x, y); }
    // Pixels of rc for which the test holds.
    template <class TTest> int Count(const RECT& rc, TTest test) const
    {
        int count = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                count += test(At(x, y)) ? 1 : 0;
        return count;
    }

private:
    static int ClientWidth(CEditWindow& w)
    {
        RECT rc;
        ::GetClientRect(w.Get(), &rc);
        return rc.right;
    }
    static int ClientHeight(CEditWindow& w)
    {
        RECT rc;
        ::GetClientRect(w.Get(), &rc);
        return rc.bottom;
    }

    CCanvas canvas;
};

int Red(DWORD p)
{
    return (p >> 16) & 0xFF;
}
int Green(DWORD p)
{
    return (p >> 8) & 0xFF;
}
int Blue(DWORD p)
{
    return p & 0xFF;
}
bool IsReddish(DWORD p)
{
    return Red(p) > 150 && Green(p) < 90 && Blue(p) < 90;
}
bool IsBluish(DWORD p)
{
    return Blue(p) > 150 && Red(p) < 90 && Green(p) < 90;
}
}  // namespace

TEST(RichEditControl, WithoutTextServicesTheTextIsTheStoredOne)
{
    CRichEditUI edit;
    edit.SetText(L"kept");
    EXPECT_EQ(CUIString(L"kept"), edit.GetText());
    LRESULT result = 7;
    EXPECT_EQ(edit.TxSendMessage(WM_CHAR, 'x', 0, &result), 1) << "nothing processes the message";
    long start = 5;
    long end = 5;
    edit.GetSel(start, end);
    EXPECT_EQ(CUIString(L"kept"), edit.GetText());
}

TEST(RichEditControl, AttributesSetTheEditStyle)
{
    struct Case
    {
        LPCWSTR name;
        LPCWSTR value;
        DWORD set;
        DWORD clear;
    };
    const Case cases[] = {
        {L"vscrollbar", L"true", WS_VSCROLL | ES_DISABLENOSCROLL, 0},
        {L"hscrollbar", L"true", WS_HSCROLL | ES_DISABLENOSCROLL, 0},
        {L"autovscroll", L"true", ES_AUTOVSCROLL, 0},
        {L"autohscroll", L"true", ES_AUTOHSCROLL, 0},
        {L"multiline", L"false", 0, ES_MULTILINE},
        {L"multiline", L"no", ES_MULTILINE, 0},
        {L"readonly", L"true", ES_READONLY, 0},
        {L"password", L"true", ES_PASSWORD, 0},
        {L"align", L"center", ES_CENTER, ES_RIGHT},
        {L"align", L"right", ES_RIGHT, ES_CENTER},
        {L"align", L"center right", ES_RIGHT, ES_CENTER},
        {L"align", L"right center", ES_RIGHT, ES_CENTER},
        {L"align", L"left", 0, ES_CENTER | ES_RIGHT},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << std::string(c.name, c.name + wcslen(c.name)) << "="
                                        << std::string(c.value, c.value + wcslen(c.value)));
        CRichEditUI edit;
        edit.SetAttribute(c.name, c.value);
        EXPECT_EQ(edit.GetStyle() & c.set, c.set);
        EXPECT_EQ(edit.GetStyle() & c.clear, 0u);
    }
    CRichEditUI edit;
    edit.SetAttribute(L"vscrollbar", L"true");
    EXPECT_NE(edit.GetVerticalScrollBar(), nullptr) << "the container creates its bar too";
    edit.SetAttribute(L"readonly", L"true");
    EXPECT_TRUE(edit.IsReadOnly());
    edit.SetAttribute(L"wanttab", L"false");
    edit.SetAttribute(L"wantreturn", L"false");
    edit.SetAttribute(L"textcolor", L" #FF112233");
    edit.SetAttribute(L"maxchar", L"12");
    EXPECT_FALSE(edit.IsWantTab());
    EXPECT_FALSE(edit.IsWantReturn());
    EXPECT_TRUE(edit.IsWantCtrlReturn());
    EXPECT_EQ(edit.GetTextColor(), 0xFF112233u);
    EXPECT_EQ(edit.GetLimitText(), 12);
    EXPECT_EQ(edit.GetFlags(), UINT(FlagTabStop | FlagSetCursor));
    edit.SetEnabled(false);
    EXPECT_EQ(edit.GetFlags(), 0u);
}

// The text services ask for the host under the published identifier or under
// their own; both are answered, nothing else is.
TEST(RichEditHost, AnswersBothHostIdentifiers)
{
    CTxtWinHost* host = new CTxtWinHost;
    const IID* const answered[] = {&IID_IUnknown, &kTextHostIid, &kTextHostAltIid};
    for (const IID* iid : answered)
    {
        void* found = NULL;
        EXPECT_EQ(host->QueryInterface(*iid, &found), S_OK);
        EXPECT_EQ(found, static_cast<ITextHost*>(host));
        host->Release();
    }
    void* found = reinterpret_cast<void*>(1);
    EXPECT_EQ(host->QueryInterface(kTextServicesIid, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(host->QueryInterface(IID_IUnknown, NULL), E_POINTER);
    EXPECT_EQ(host->Release(), 0u);
}

// The text services call their host before it knows them and while they go
// away: every answer must work without them and without an owner.
TEST(RichEditHost, WorksWithoutServicesOrOwner)
{
    CTxtWinHost* host = new CTxtWinHost;
    EXPECT_NE(host->TxGetDC(), (HDC)NULL) << "something to measure with";
    EXPECT_EQ(host->TxReleaseDC(host->TxGetDC()), 1);
    EXPECT_FALSE(host->TxShowScrollBar(SB_VERT, TRUE));
    EXPECT_FALSE(host->TxEnableScrollBar(SB_BOTH, ESB_ENABLE_BOTH));
    EXPECT_FALSE(host->TxSetScrollRange(SB_VERT, 0, 500, TRUE));
    EXPECT_FALSE(host->TxSetScrollPos(SB_VERT, 10, TRUE));
    host->TxInvalidateRect(NULL, TRUE);
    host->TxViewChange(TRUE);
    EXPECT_FALSE(host->TxSetTimer(1, 100));
    host->TxKillTimer(1);
    host->TxSetCapture(TRUE);
    host->TxSetFocus();
    EXPECT_FALSE(host->TxSetCaretPos(1, 1));
    EXPECT_EQ(host->TxNotify(EN_CHANGE, NULL), S_OK);
    EXPECT_EQ(host->TxNotify(EN_REQUESTRESIZE, NULL), S_OK);
    host->SetClientRect(CUIRect(0, 0, 100, 50));
    host->SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    host->SetColor(0xFF00FF00);
    SIZEL extent = {};
    EXPECT_EQ(host->TxGetExtent(&extent), S_OK);
    EXPECT_GT(extent.cx, 0);
    EXPECT_EQ(host->TxGetClientRect(NULL), E_INVALIDARG);
    LONG height = 0;
    EXPECT_FALSE(host->NaturalHeight(100, height));
    host->Shutdown();
    EXPECT_EQ(host->Release(), 0u);
}

TEST(RichEditHost, AsksForTheNotificationsItReports)
{
    CEditWindow w(Skin(L"").c_str());
    ASSERT_NE(w.Edit()->GetTextHost(), nullptr);
    const LRESULT mask = Send(w.Edit(), EM_GETEVENTMASK);
    EXPECT_EQ(mask & ENM_CHANGE, ENM_CHANGE);
    EXPECT_EQ(mask & ENM_SELCHANGE, ENM_SELCHANGE);

    w.Edit()->SetText(L"set");
    EXPECT_TRUE(w.PumpUntil([&] { return w.Count(L"textchanged") == 1; }));
    EXPECT_EQ(CUIString(L"set"), w.Edit()->GetText());
}

TEST(RichEditHost, RearmingATimerSucceeds)
{
    CEditWindow w(Skin(L"").c_str());
    CTxtWinHost* host = w.Edit()->GetTextHost();
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(host->TxSetTimer(5, 1000));
    EXPECT_TRUE(host->TxSetTimer(5, 20)) << "a running timer takes its new period";
    EXPECT_TRUE(host->HasFlag(CTxtWinHost::FlagTimer));
    host->TxKillTimer(5);
    EXPECT_FALSE(host->HasFlag(CTxtWinHost::FlagTimer));
    EXPECT_FALSE(w.Manager().KillTimer(w.Edit(), 5)) << "stopped already";
}

// A password shows as the same number of stars, never as itself.
TEST(RichEditPaint, PasswordsShowStars)
{
    std::vector<DWORD> shown[2];
    const LPCWSTR skins[2] = {L"password=\"true\" text=\"secret\"", L"text=\"******\""};
    for (int i = 0; i < 2; ++i)
    {
        CEditWindow w(Skin(skins[i]).c_str());
        const RECT text = w.Edit()->GetTextRect();
        CPicture picture(w);
        for (int y = text.top; y < text.top + 20; ++y)
            for (int x = text.left; x < text.left + 100; ++x)
                shown[i].push_back(picture.At(x, y));
    }
    EXPECT_TRUE(shown[0] == shown[1]);
    int inked = 0;
    for (DWORD p : shown[0])
        inked += Red(p) < 128 ? 1 : 0;
    EXPECT_GT(inked, 10) << "the stars were drawn";
}

// A narrower client rectangle wraps the text again.
TEST(RichEditHost, ANewWidthWrapsTheText)
{
    CEditWindow w(Skin(L"text=\"one two three four five six seven eight nine ten eleven twelve\"").c_str());
    const LRESULT wide = Send(w.Edit(), EM_GETLINECOUNT);
    ::SetWindowPos(w.Get(), NULL, 0, 0, 120, 200, SWP_NOMOVE | SWP_NOZORDER);
    w.Settle();
    EXPECT_EQ(w.Edit()->GetTextRect().right, 120 - 4);
    EXPECT_GT(Send(w.Edit(), EM_GETLINECOUNT), wide);
}

// Colours: the control's text colour, also when it changes after creation,
// and a run coloured on its own.
TEST(RichEditPaint, ColouredRunsShowInTheirColours)
{
    CEditWindow w(Skin(L"font=\"-1\" textcolor=\"#FF0000FF\" text=\"WWWWWWWW MMMMMMMM\"").c_str());
    const RECT text = w.Edit()->GetTextRect();
    const RECT firstLine = {text.left, text.top, text.right, text.top + 20};
    {
        CPicture picture(w);
        EXPECT_GT(picture.Count(firstLine, IsBluish), 20) << "text in the control's colour";
        EXPECT_EQ(picture.Count(firstLine, IsReddish), 0);
    }

    w.Edit()->SetSel(0, 8);
    CHARFORMAT2W red = {};
    red.dwMask = CFM_COLOR;
    red.crTextColor = RGB(255, 0, 0);
    ASSERT_TRUE(w.Edit()->SetSelectionCharFormat(red));
    w.Edit()->SetSel(0, 0);
    w.Settle();
    {
        CPicture picture(w);
        const RECT left = {text.left, text.top, text.left + 30, text.top + 20};
        EXPECT_GT(picture.Count(left, IsReddish), 5) << "the run in its own colour";
        EXPECT_EQ(picture.Count(left, IsBluish), 0);
        EXPECT_GT(picture.Count(firstLine, IsBluish), 5) << "the rest keeps the control's colour";
    }

    w.Edit()->SetTextColor(0xFF00C000);
    w.Settle();
    {
        CPicture picture(w);
        EXPECT_EQ(picture.Count(firstLine, IsBluish), 0) << "a new colour applies at once";
        EXPECT_GT(
            picture.Count(firstLine, [](DWORD p) { return Green(p) > 150 && Red(p) < 90 && Blue(p) < 90; }),
            20);
    }
}

// A line the text area cuts through is drawn only as far as the text area:
// the padding below it and the border stay clear. Several heights, so that
// some of them cut a line in the middle.
TEST(RichEditPaint, APartlyShownLineStaysInTheTextArea)
{
    for (int height = 44; height <= 54; height += 2)
    {
        const std::wstring attributes = L"height=\"" + std::to_wstring(height) +
                                        L"\" textpadding=\"0,0,0,16\" textcolor=\"#FF0000FF\" "
                                        L"text=\"MMMM MMMM\nMMMM MMMM\nMMMM MMMM\nMMMM MMMM\nMMMM MMMM\"";
        CEditWindow w(Skin(attributes.c_str()).c_str());
        const RECT text = w.Edit()->GetTextRect();
        const RECT item = w.Edit()->GetPos();
        CPicture picture(w);
        EXPECT_GT(picture.Count(text, IsBluish), 20) << "height " << height << ": the text was drawn";
        const RECT below = {item.left, text.bottom, item.right, item.bottom};
        EXPECT_EQ(picture.Count(below, IsBluish), 0) << "height " << height << ": text below the text area";
    }
}

// GDI leaves text pixels transparent in a 32-bit surface; a layered window
// would show holes where the letters are.
TEST(RichEditPaint, TextIsOpaqueInALayeredWindow)
{
    CEditWindow w(Skin(L"textcolor=\"#FF0000FF\" text=\"MMMMMMMM\"").c_str());
    w.Manager().SetLayered(true);
    ASSERT_TRUE(w.Manager().IsLayered());
    w.Settle();
    CPicture picture(w);
    const RECT text = w.Edit()->GetTextRect();
    const RECT line = {text.left, text.top, text.right, text.top + 20};
    EXPECT_GT(picture.Count(line, IsBluish), 20) << "letters were drawn";
    EXPECT_EQ(picture.Count(line, [](DWORD p) { return IsBluish(p) && (p >> 24) != 0xFF; }), 0)
        << "no letter pixel is left transparent";
}

// The caret follows the text: the system caret on the window, and in a
// layered window, which shows no system caret, a line the control paints.
TEST(RichEditPaint, TheCaretStandsAtTheInsertionPoint)
{
    CEditWindow w(Skin(L"text=\"abc\"").c_str());
    w.Edit()->SetFocus();
    w.Edit()->SetSel(3, 3);
    w.Settle();
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    ASSERT_TRUE(::GetGUIThreadInfo(::GetCurrentThreadId(), &thread));
    EXPECT_EQ(thread.hwndCaret, w.Get());
    const RECT text = w.Edit()->GetTextRect();
    EXPECT_GT(thread.rcCaret.left, text.left + 5) << "after the third letter";
    EXPECT_GE(thread.rcCaret.top, text.top);
    EXPECT_LT(thread.rcCaret.bottom, text.top + 30);

    w.Manager().SetLayered(true);
    ASSERT_TRUE(w.Manager().IsLayered());
    w.Edit()->SetSel(1, 1);
    w.Settle();
    ASSERT_TRUE(w.PumpUntil([&] { return w.Edit()->IsCaretDrawn(); }));
    POINT caret = {};
    ::GetCaretPos(&caret);
    CPicture picture(w);
    EXPECT_EQ(picture.At(caret.x, caret.y + 2), 0xFF000000u) << "an opaque black caret line";
}

namespace
{
// Text services that answer nothing but their reference count.
class CSilentServices : public ITextServices
{
public:
    ULONG refs = 1;
    DWORD changedBits = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override
    {
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT TxSendMessage(UINT, WPARAM, LPARAM, LRESULT*) override { return E_NOTIMPL; }
    HRESULT TxDraw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECTL, LPCRECTL, LPRECT,
                   BOOL(CALLBACK*)(DWORD), DWORD, LONG) override
    {
        return E_NOTIMPL;
    }
    HRESULT TxGetHScroll(LONG*, LONG*, LONG*, LONG*, BOOL*) override { return E_NOTIMPL; }
    HRESULT TxGetVScroll(LONG*, LONG*, LONG*, LONG*, BOOL*) override { return E_NOTIMPL; }
    HRESULT OnTxSetCursor(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECT, INT, INT) override
    {
        return E_NOTIMPL;
    }
    HRESULT TxQueryHitPoint(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECT, INT, INT, DWORD*) override
    {
        return E_NOTIMPL;
    }
    HRESULT OnTxInPlaceActivate(LPCRECT) override { return E_NOTIMPL; }
    HRESULT OnTxInPlaceDeactivate() override { return E_NOTIMPL; }
    HRESULT OnTxUIActivate() override { return E_NOTIMPL; }
    HRESULT OnTxUIDeactivate() override { return E_NOTIMPL; }
    HRESULT TxGetText(BSTR*) override { return E_NOTIMPL; }
    HRESULT TxSetText(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT TxGetCurTargetX(LONG*) override { return E_NOTIMPL; }
    HRESULT TxGetBaseLinePos(LONG*) override { return E_NOTIMPL; }
    HRESULT TxGetNaturalSize(DWORD, HDC, HDC, DVTARGETDEVICE*, DWORD, const SIZEL*, LONG* width,
                             LONG* height) override
    {
        *width = 999999;
        *height = 999999;
        return E_NOTIMPL;
    }
    HRESULT TxGetDropTarget(IDropTarget**) override { return E_NOTIMPL; }
    HRESULT OnTxPropertyBitsChange(DWORD mask, DWORD) override
    {
        changedBits |= mask;
        return E_NOTIMPL;
    }
    HRESULT TxGetCachedSize(DWORD*, DWORD*) override { return E_NOTIMPL; }
};
}  // namespace

// Text services may not measure: the host says so instead of passing on
// whatever the failed call left behind. A new client rectangle is announced
// as such, not only as a new inset.
TEST(RichEditHost, CopesWithServicesThatAnswerNothing)
{
    CSilentServices services;
    CTxtWinHost* host = new CTxtWinHost;
    host->Attach(NULL, &services);
    EXPECT_EQ(services.refs, 2u);
    LONG height = 17;
    EXPECT_FALSE(host->NaturalHeight(100, height));
    EXPECT_EQ(height, 17);
    host->SetClientRect(CUIRect(0, 0, 50, 50));
    // Text services that wrap to the client rectangle re-read it on this bit.
    EXPECT_EQ(services.changedBits & TXTBIT_CLIENTRECTCHANGE, DWORD(TXTBIT_CLIENTRECTCHANGE));
    host->Release();
    EXPECT_EQ(services.refs, 1u) << "the host let its services go";
}

// Without the wish for Tab, the key is the window's even when it reaches the
// window without a message loop that moves the focus.
TEST(RichEditHost, UnwantedTabIsNeverText)
{
    CEditWindow w(Skin(L"wanttab=\"false\" text=\"a\"").c_str());
    w.Edit()->SetFocus();
    w.Edit()->SetSel(1, 1);
    LRESULT result = 0;
    w.Manager().MessageHandler(WM_KEYDOWN, VK_TAB, 0, result);
    w.Manager().MessageHandler(WM_CHAR, '\t', 0, result);
    w.Manager().MessageHandler(WM_CHAR, 'b', 0, result);
    EXPECT_EQ(CUIString(L"ab"), w.Edit()->GetText());
}

// System keys the text services leave alone stay the window's: Alt+F4 still
// closes it while the rich edit has the focus.
TEST(RichEditHost, SystemKeysStayTheWindows)
{
    CEditWindow w(Skin(L"text=\"a\"").c_str());
    w.Edit()->SetFocus();
    LRESULT result = 0;
    EXPECT_FALSE(w.Manager().MessageHandler(WM_SYSKEYDOWN, VK_F4, 0x20000000, result));
    EXPECT_FALSE(w.Manager().MessageHandler(WM_SYSCHAR, ' ', 0x20000000, result));
    EXPECT_TRUE(w.Manager().MessageHandler(WM_KEYDOWN, VK_END, 0, result))
        << "ordinary keys are the editor's";
}
