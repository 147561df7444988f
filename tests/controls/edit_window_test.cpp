#include <gtest/gtest.h>

#include <windows.h>

#include "editor_test_support.h"
#include "ui/controls/Container.h"
#include "ui/controls/Edit.h"
#include "ui/builder/LayoutBuilder.h"

// The editor's window over its control: where it is put, when it goes, and
// what it leaves behind.

namespace
{
// Five edits of 40 pixels in a list of 100 that scrolls.
const wchar_t kScrolledList[] =
    L"<VerticalLayout>"
    L"<VerticalLayout name=\"list\" height=\"100\" vscrollbar=\"true\">"
    L"<Edit name=\"e1\" height=\"40\" /><Edit name=\"e2\" height=\"40\" /><Edit name=\"e3\" height=\"40\" />"
    L"<Edit name=\"e4\" height=\"40\" /><Edit name=\"e5\" height=\"40\" />"
    L"</VerticalLayout>"
    L"<Control name=\"rest\" />"
    L"</VerticalLayout>";

int FontHeight(CManagerUI& manager)
{
    const TFontEntry* font = manager.GetFontInfo(-1);
    return font != NULL ? font->metrics.tmHeight : 0;
}

void OpenByFocus(CEditorHost& host, CEditUI* edit)
{
    edit->SetFocus();
    host.Pump();
}
}  // namespace

TEST(EditWindow, TheEditorIsOneLineCentredInTheTextAreaAndClippedByTheScrolledParent)
{
    CEditorHost host(300, 200, kScrolledList);
    CContainerUI* list = host.Find<CContainerUI>(L"list");
    CEditUI* e2 = host.Find<CEditUI>(L"e2");
    const int line = FontHeight(host.Manager());
    ASSERT_GT(line, 0);
    ASSERT_LT(line, 34);
    const RECT inner = list->GetClientPos();
    ASSERT_EQ(e2->GetPos().top, 40);

    OpenByFocus(host, e2);
    ASSERT_TRUE(e2->IsEditing());
    HWND editor = e2->GetNativeWindow();

    struct TCase
    {
        int scroll;
        int editTop;  // where e2 is then
        bool shown;
    };
    const TCase cases[] = {
        {0, 40, true},      // whole
        {30, 10, true},     // moved with the list
        {60, -20, true},    // top part scrolled away
        {100, -60, false},  // gone above the list: hidden, and so without the focus
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "scrolled by " << c.scroll);
        list->SetScrollPos(CUISize(0, c.scroll));
        host.Pump();
        ASSERT_EQ(e2->GetPos().top, c.editTop);
        if (!c.shown)
        {
            // The system moves the focus away from a window it hides.
            EXPECT_FALSE(e2->IsEditing());
            EXPECT_FALSE(::IsWindow(editor));
            continue;
        }
        ASSERT_TRUE(e2->IsEditing()) << "scrolling keeps the editor open";
        EXPECT_TRUE(::IsWindowVisible(editor));
        // The text area (padding 4,3,4,3) is 34 high: the line sits in its middle.
        const int lineTop = c.editTop + 3 + (34 - line) / 2;
        const RECT rc = ChildRect(host.Get(), editor);
        EXPECT_EQ(rc.left, inner.left + 4);
        EXPECT_EQ(rc.right, inner.right - 4);
        EXPECT_EQ(rc.top, lineTop > inner.top ? lineTop : inner.top);
        EXPECT_EQ(rc.bottom, lineTop + line);
    }
}

TEST(EditWindow, HidingAnAncestorClosesTheEditor)
{
    CEditorHost host(300, 200, kScrolledList);
    CEditUI* e1 = host.Find<CEditUI>(L"e1");
    OpenByFocus(host, e1);
    ASSERT_TRUE(e1->IsEditing());

    host.Find<CControlUI>(L"list")->SetVisible(false);
    host.Pump();
    EXPECT_FALSE(e1->IsEditing());
    EXPECT_EQ(CountChildWindows(host.Get(), L"EditWnd"), 0);
    EXPECT_EQ(host.Manager().GetFocus(), nullptr);
}

TEST(EditWindow, DeletingTheControlOrItsTreeOrItsWindowWhileEditingLeavesNoWindowBehind)
{
    const int before = CountThreadWindows();
    {
        CEditorHost host(300, 200, kScrolledList);
        CEditUI* e3 = host.Find<CEditUI>(L"e3");
        OpenByFocus(host, e3);
        ASSERT_EQ(CountChildWindows(host.Get(), L"EditWnd"), 1);
        host.Find<CContainerUI>(L"list")->Remove(e3);
        host.Pump();
        EXPECT_EQ(CountChildWindows(host.Get(), L"EditWnd"), 0) << "the control took its editor with it";
        TypeText("q");
        host.PumpUntil([] { return false; }, 100);
        EXPECT_EQ(host.Count("e3:textchanged"), 0u);

        // A whole tree replaced while one of its edits is open.
        CEditUI* e4 = host.Find<CEditUI>(L"e4");
        OpenByFocus(host, e4);
        ASSERT_TRUE(e4->IsEditing());
        host.Manager().AttachRoot(new CControlUI);
        host.PumpUntil([&] { return CountChildWindows(host.Get(), L"EditWnd") == 0; }, 1000);
        EXPECT_EQ(CountChildWindows(host.Get(), L"EditWnd"), 0);
    }
    {
        // The window destroyed under an open editor: the control outlives it.
        CEditorHost host(300, 200, kScrolledList);
        CEditUI* e1 = host.Find<CEditUI>(L"e1");
        OpenByFocus(host, e1);
        ASSERT_TRUE(e1->IsEditing());
        host.DestroyWindowNow();
        EXPECT_FALSE(e1->IsEditing());
        EXPECT_EQ(e1->GetNativeWindow(), (HWND)NULL);
    }
    EXPECT_EQ(CountThreadWindows(), before);
}

TEST(EditWindow, AnEditorThatCannotBeCreatedIsForgottenSoTheNextFocusTriesAgain)
{
    CEditorHost host(300, 200, L"<VerticalLayout name=\"root\" />");
    CManagerUI windowless;
    CEditUI* edit = new CEditUI;
    edit->SetManager(&windowless, NULL, false);
    edit->SetPos(CUIRect(0, 0, 200, 30));
    TControlEvent focus = {};
    focus.kind = EventSetFocus;
    edit->DispatchEvent(focus);
    EXPECT_FALSE(edit->IsEditing()) << "a child window needs a parent window";

    host.Find<CContainerUI>(L"root")->Add(edit);
    host.Manager().InitControls(edit, host.Find<CControlUI>(L"root"));
    edit->SetFocus();
    host.Pump();
    EXPECT_TRUE(edit->IsEditing());
}

TEST(EditWindow, APasswordEditPaintsOneBulletPerCharacterAndHidesTheEditorsText)
{
    CEditorHost host(300, 200,
                     L"<VerticalLayout><Edit name=\"secret\" height=\"30\" password=\"true\" text=\"abc\" />"
                     L"<Control /></VerticalLayout>");
    CManagerUI& manager = host.Manager();
    struct TShown
    {
        const wchar_t* text;
        bool password;
    };
    const TShown shown[] = {{L"abc", true}, {L"***", false}, {L"abc", false}};
    std::vector<std::vector<DWORD>> pictures;
    for (const TShown& s : shown)
    {
        CEditUI edit;
        edit.SetManager(&manager, NULL, false);
        edit.SetText(s.text);
        edit.SetPasswordMode(s.password);
        edit.SetTextColor(0xFF000000);
        const RECT rc = {0, 0, 120, 30};
        edit.SetPos(rc);
        CCanvas dc(120, 30, 0);
        edit.Paint(dc.Dc(), rc, NULL);
        std::vector<DWORD> pixels;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x)
                pixels.push_back(dc.Rgb(x, y));
        pictures.push_back(pixels);
    }
    EXPECT_TRUE(pictures[0] == pictures[1]) << "abc in password mode looks like ***";
    EXPECT_FALSE(pictures[0] == pictures[2]);

    CEditUI* secret = host.Find<CEditUI>(L"secret");
    OpenByFocus(host, secret);
    HWND editor = secret->GetNativeWindow();
    ASSERT_TRUE(::IsWindow(editor));
    EXPECT_NE(::GetWindowLongW(editor, GWL_STYLE) & ES_PASSWORD, 0);
    EXPECT_EQ(::SendMessageW(editor, EM_GETPASSWORDCHAR, 0, 0), L'*');
}

TEST(EditWindow, ALayeredWindowGetsTheCaretPaintedIntoTheEditorsPicture)
{
    CEditorHost host(
        300, 120,
        L"<VerticalLayout bkcolor=\"#FFFFFFFF\"><Edit name=\"typed\" height=\"30\" text=\"abc\" />"
        L"<Control /></VerticalLayout>",
        true);
    ASSERT_TRUE(host.Manager().IsLayered());
    CEditUI* typed = host.Find<CEditUI>(L"typed");
    ASSERT_TRUE(host.PumpUntil([&] { return typed->GetWidth() > 0; })) << "laid out on the layered timer";
    OpenByFocus(host, typed);
    HWND editor = typed->GetNativeWindow();
    ASSERT_TRUE(::IsWindow(editor));
    RECT client = {};
    ::GetClientRect(editor, &client);
    POINT caret = {};
    ::GetCaretPos(&caret);
    ASSERT_GT(caret.x, 0) << "the caret stands after the text";
    ASSERT_LT(caret.x + 4, client.right);

    // Each blink tick toggles the painted caret.
    const bool expectLine[] = {true, false};
    for (bool line : expectLine)
    {
        SCOPED_TRACE(line ? "caret on" : "caret off");
        ::SendMessageW(editor, WM_TIMER, CEditWnd::CaretTimerId, 0);
        CCanvas dc(client.right, client.bottom, 0xFFFFFFFF);
        ::SendMessageW(editor, WM_PRINT, reinterpret_cast<WPARAM>(dc.Dc()), PRF_CLIENT);
        EXPECT_EQ(dc.Rgb(caret.x, 0), line ? 0u : 0xFFFFFFu);
        EXPECT_EQ(dc.Rgb(caret.x, client.bottom - 1), line ? 0u : 0xFFFFFFu);
        EXPECT_EQ(dc.Rgb(caret.x + 3, 0), 0xFFFFFFu);
    }
}

TEST(EditWindow, ATranslucentNativeBackgroundShowsTheSkinBehindTintedAndKeepsOneBrush)
{
    CEditorHost host(
        300, 120,
        L"<VerticalLayout bkcolor=\"#FFFF0000\">"
        L"<Edit name=\"tinted\" height=\"30\" bkcolor=\"#FF0000FF\" nativebkcolor=\"#80000000\" />"
        L"<Edit name=\"green\" height=\"30\" nativebkcolor=\"#FF00FF00\" />"
        L"<Edit name=\"plain\" height=\"30\" />"
        L"</VerticalLayout>");
    struct TCase
    {
        const wchar_t* name;
        DWORD background;
    };
    // Behind "tinted" lies the red layout, not its own blue: half of it is left.
    const TCase cases[] = {{L"tinted", 0x7F0000}, {L"green", 0x00FF00}, {L"plain", 0xFFFFFF}};
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(Narrow(c.name));
        CEditUI* edit = host.Find<CEditUI>(c.name);
        OpenByFocus(host, edit);
        HWND editor = edit->GetNativeWindow();
        ASSERT_TRUE(::IsWindow(editor));
        RECT client = {};
        ::GetClientRect(editor, &client);
        CCanvas dc(client.right, client.bottom, 0xFF123456);
        ::SendMessageW(editor, WM_PRINT, reinterpret_cast<WPARAM>(dc.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
        const DWORD pixel = dc.Rgb(client.right - 2, client.bottom / 2);
        for (int shift = 0; shift < 24; shift += 8)
            EXPECT_NEAR(static_cast<int>((pixel >> shift) & 0xFF),
                        static_cast<int>((c.background >> shift) & 0xFF), 2)
                << std::hex << pixel;
    }

    // Every request of the translucent editor makes a new pattern and frees the old.
    CEditUI* tinted = host.Find<CEditUI>(L"tinted");
    OpenByFocus(host, tinted);
    HWND editor = tinted->GetNativeWindow();
    HDC dc = ::GetDC(editor);
    HGDIOBJ first = reinterpret_cast<HGDIOBJ>(::SendMessageW(
        host.Get(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(editor)));
    HGDIOBJ second = reinterpret_cast<HGDIOBJ>(::SendMessageW(
        host.Get(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(editor)));
    ::ReleaseDC(editor, dc);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(::GetObjectType(first), 0u) << "the previous pattern is deleted";
    EXPECT_EQ(::GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));
    host.Find<CControlUI>(L"plain")->SetFocus();
    host.Pump();
    EXPECT_FALSE(tinted->IsEditing());
    EXPECT_EQ(::GetObjectType(second), 0u) << "the last one goes with the editor";
}

TEST(EditWindow, TheEditorOpensWithTheCaretAfterTheTextOrEverythingSelected)
{
    CEditorHost host(300, 200,
                     L"<VerticalLayout><Edit name=\"caret\" height=\"30\" text=\"hello\" />"
                     L"<Edit name=\"all\" height=\"30\" text=\"hello\" autoselall=\"true\" />"
                     L"<Control /></VerticalLayout>");
    struct TCase
    {
        const wchar_t* name;
        DWORD start;
        DWORD end;
    };
    const TCase cases[] = {{L"caret", 5, 5}, {L"all", 0, 5}};
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(Narrow(c.name));
        CEditUI* edit = host.Find<CEditUI>(c.name);
        OpenByFocus(host, edit);
        ASSERT_TRUE(edit->IsEditing());
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageW(edit->GetNativeWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, c.start);
        EXPECT_EQ(end, c.end);
    }
}

TEST(EditWindow, TextChangedAndReturnAreQueuedNotSentFromInsideTheEditor)
{
    CEditorHost host(300, 200,
                     L"<VerticalLayout><Edit name=\"typed\" height=\"30\" /><Control /></VerticalLayout>");
    CEditUI* typed = host.Find<CEditUI>(L"typed");
    OpenByFocus(host, typed);
    HWND editor = typed->GetNativeWindow();
    ASSERT_TRUE(::IsWindow(editor));
    host.notes.clear();

    ::SetWindowTextW(editor, L"new");
    ::SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_STREQ(typed->GetText(), L"new") << "the text is copied at once";
    EXPECT_EQ(host.Count("typed:textchanged"), 0u);
    EXPECT_EQ(host.Count("typed:return"), 0u);
    host.Pump();
    EXPECT_EQ(host.Count("typed:textchanged"), 1u);
    EXPECT_EQ(host.Count("typed:return"), 1u);
}
