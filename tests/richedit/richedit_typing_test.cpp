#include <gtest/gtest.h>

#include <string>

#include "richedit_window.h"
#include "ui/controls/Button.h"
#include "ui/controls/ScrollBar.h"
#include "ui/controls/TxtWinHost.h"

// The rich edit in a shown window, fed with the system's own key and mouse
// input: what the user types, selects and scrolls.

namespace
{
std::wstring Skin(LPCWSTR attributes, LPCWSTR after = L"")
{
    std::wstring xml = L"<Window size=\"300,200\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
                       L"<RichEdit name=\"edit\" inset=\"4,4,4,4\" ";
    return xml + attributes + L"/>" + after + L"</VerticalLayout></Window>";
}

std::wstring TextOf(CRichEditUI* edit)
{
    return static_cast<LPCWSTR>(edit->GetText());
}
}  // namespace

TEST(RichEditTyping, TypedTextArrivesWithOneTextChangedPerKey)
{
    CEditWindow w(Skin(L"").c_str());
    ASSERT_NE(w.Edit(), nullptr);
    ASSERT_NE(w.Edit()->GetTextHost(), nullptr) << "the text services were created";
    w.ClickInto(50, 20);
    ASSERT_EQ(w.Manager().GetFocus(), w.Edit());
    TypeText("hello world");
    EXPECT_TRUE(w.PumpUntil([&] { return TextOf(w.Edit()) == L"hello world"; })) << TextOf(w.Edit());
    w.Settle();
    EXPECT_EQ(w.Count(L"textchanged"), 11);
}

// Enter: "return" only where "wantreturn" or "wantctrlreturn" says the editor does not want it;
// otherwise it goes to the editor, which starts a paragraph where it has lines (a single-line
// editor takes it and inserts nothing).
TEST(RichEditTyping, EnterGivesAParagraphOrReturn)
{
    struct Case
    {
        LPCWSTR attributes;
        bool ctrl;
        LPCWSTR text;  // after "ab", Enter and "c"
        int returns;
    };
    const Case cases[] = {
        {L"", false, L"ab\rc", 0},
        {L"", true, L"ab\rc", 0},
        {L"wantreturn=\"false\"", false, L"abc", 1},
        {L"wantreturn=\"false\"", true, L"abc", 1},
        {L"wantctrlreturn=\"false\"", true, L"abc", 1},
        {L"wantctrlreturn=\"false\"", false, L"ab\rc", 0},
        {L"multiline=\"true\"", false, L"ab\rc", 0},
        {L"multiline=\"false\"", false, L"abc", 0},
        {L"multiline=\"false\" wantreturn=\"false\"", false, L"abc", 1},
        {L"multiline=\"false\" wantctrlreturn=\"false\"", true, L"abc", 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << "attributes " << std::string(c.attributes, c.attributes + wcslen(c.attributes))
                     << (c.ctrl ? " with Ctrl" : ""));
        CEditWindow w(Skin(c.attributes).c_str());
        w.ClickInto(50, 20);
        TypeText("ab");
        ASSERT_TRUE(w.PumpUntil([&] { return TextOf(w.Edit()) == L"ab"; }));
        PressKey(VK_RETURN, c.ctrl);
        TypeText("c");
        w.PumpUntil([&] { return TextOf(w.Edit()).find(L'c') != std::wstring::npos; });
        w.Settle();
        EXPECT_EQ(TextOf(w.Edit()), c.text);
        EXPECT_EQ(w.Count(L"return"), c.returns);
    }
}

TEST(RichEditTyping, ReadOnlyRefusesInput)
{
    CEditWindow w(Skin(L"readonly=\"true\" text=\"fixed\"").c_str());
    w.ClickInto(50, 20);
    EXPECT_EQ(w.Manager().GetFocus(), w.Edit());
    TypeText("xy");
    PressKey(VK_BACK);
    PressKey(VK_RETURN);
    w.Settle(300);
    EXPECT_EQ(TextOf(w.Edit()), L"fixed");
    EXPECT_EQ(w.Count(L"textchanged"), 0);
}

TEST(RichEditTyping, TheLimitStopsInput)
{
    CEditWindow w(Skin(L"maxchar=\"5\"").c_str());
    w.ClickInto(50, 20);
    TypeText("abcdefgh");
    w.PumpUntil([&] { return TextOf(w.Edit()).size() >= 5; });
    w.Settle(300);
    EXPECT_EQ(TextOf(w.Edit()), L"abcde");

    w.Edit()->SetLimitText(7);
    TypeText("xyz");
    w.PumpUntil([&] { return TextOf(w.Edit()).size() >= 7; });
    w.Settle(300);
    EXPECT_EQ(TextOf(w.Edit()), L"abcdexy") << "a new limit applies at once";
}

// A focused rich edit keeps Tab for its text unless it does not want it; then
// Tab moves the focus on.
TEST(RichEditTyping, TabIsTextOrMovesTheFocus)
{
    const LPCWSTR next = L"<Button name=\"next\" height=\"30\" text=\"next\"/>";
    {
        CEditWindow w(Skin(L"", next).c_str());
        w.ClickInto(50, 20);
        TypeText("a");
        PressKey(VK_TAB);
        TypeText("b");
        EXPECT_TRUE(w.PumpUntil([&] { return TextOf(w.Edit()) == L"a\tb"; })) << TextOf(w.Edit());
        EXPECT_EQ(w.Manager().GetFocus(), w.Edit());
    }
    {
        CEditWindow w(Skin(L"wanttab=\"false\"", next).c_str());
        w.ClickInto(50, 20);
        TypeText("a");
        ASSERT_TRUE(w.PumpUntil([&] { return TextOf(w.Edit()) == L"a"; }));
        PressKey(VK_TAB);
        EXPECT_TRUE(
            w.PumpUntil([&] { return w.Manager().GetFocus() == w.Manager().FindControlByName(L"next"); }));
        TypeText("b");
        w.Settle();
        EXPECT_EQ(TextOf(w.Edit()), L"a") << "the keys went with the focus";
    }
}

// Ctrl+Tab (and Ctrl+Shift+Tab) always leave a control that takes Tab, so
// the keyboard is never trapped in it.
TEST(RichEditTyping, CtrlTabLeavesAControlThatTakesTab)
{
    const LPCWSTR around = L"<Button name=\"next\" height=\"30\" text=\"next\"/>";
    CEditWindow w((L"<Window size=\"300,200\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
                   L"<Button name=\"before\" height=\"30\" text=\"before\"/>"
                   L"<RichEdit name=\"edit\" inset=\"4,4,4,4\"/>" +
                   std::wstring(around) + L"</VerticalLayout></Window>")
                      .c_str());
    w.ClickInto(50, 40);
    ASSERT_TRUE(w.PumpUntil([&] { return w.Manager().GetFocus() == w.Edit(); }));
    PressKey(VK_TAB, true);
    EXPECT_TRUE(
        w.PumpUntil([&] { return w.Manager().GetFocus() == w.Manager().FindControlByName(L"next"); }));
    EXPECT_EQ(TextOf(w.Edit()), L"") << "no tab was typed";

    w.Edit()->SetFocus();
    ASSERT_TRUE(w.PumpUntil([&] { return w.Manager().GetFocus() == w.Edit(); }));
    PressKey(VK_TAB, true, true);
    EXPECT_TRUE(
        w.PumpUntil([&] { return w.Manager().GetFocus() == w.Manager().FindControlByName(L"before"); }));
}

// The caret shows only in the control that has the focus.
TEST(RichEditTyping, NoCaretWithoutTheFocus)
{
    const LPCWSTR next = L"<Button name=\"next\" height=\"30\" text=\"next\"/>";
    CEditWindow w(Skin(L"text=\"abc\"", next).c_str());
    w.Manager().FindControlByName(L"next")->SetFocus();
    w.Settle();
    EXPECT_FALSE(w.Edit()->GetTextHost()->HasFlag(CTxtWinHost::FlagCaretShown)) << "never focused";

    w.Edit()->SetFocus();
    w.Settle();
    EXPECT_TRUE(w.Edit()->GetTextHost()->HasFlag(CTxtWinHost::FlagCaretShown));
    w.Manager().FindControlByName(L"next")->SetFocus();
    w.Settle();
    EXPECT_FALSE(w.Edit()->GetTextHost()->HasFlag(CTxtWinHost::FlagCaretShown)) << "focus gone";
}

TEST(RichEditTyping, DraggingTheMouseSelects)
{
    CEditWindow w(Skin(L"text=\"hello world and more words\"").c_str());
    const RECT text = w.Edit()->GetTextRect();
    const int y = text.top + 6;
    MoveMouse(w.Screen(text.left + 1, y));
    w.Settle(50);
    MouseButton(true);
    ASSERT_TRUE(w.PumpUntil([&] { return w.Manager().IsCaptured(); })) << "the text services hold the mouse";
    for (int x = text.left + 5; x <= text.left + 40; x += 5)
    {
        MoveMouse(w.Screen(x, y));
        w.Settle(20);
    }
    MouseButton(false);
    EXPECT_TRUE(w.PumpUntil([&] { return !w.Manager().IsCaptured(); }))
        << "the text services gave the mouse back";
    w.Settle();
    long start = -1;
    long end = -1;
    w.Edit()->GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_GT(end, 2);
    EXPECT_LT(end, 26) << "the drag ended inside the text";
    EXPECT_EQ(w.Manager().GetFocus(), w.Edit());
    bool selChange = false;
    for (UINT code : w.notifyCodes)
        selChange = selChange || code == EN_SELCHANGE;
    EXPECT_TRUE(selChange) << "selection changes reach the window as WM_NOTIFY";
}

// The text services' scroll requests drive the control's own vertical bar.
TEST(RichEditTyping, ALongTextScrollsWithTheContainerBar)
{
    CEditWindow w(Skin(L"vscrollbar=\"true\"").c_str());
    CScrollBarUI* bar = w.Edit()->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->IsVisible()) << "nothing to scroll yet";
    std::wstring lines;
    for (int i = 0; i < 40; ++i)
        lines += L"line " + std::to_wstring(i) + L"\r";
    w.Edit()->SetText(lines.c_str());
    w.Settle();
    EXPECT_TRUE(bar->IsVisible());
    const RECT client = w.Edit()->GetTextRect();
    const RECT item = w.Edit()->GetPos();
    EXPECT_EQ(client.right, item.right - 4 - bar->GetFixedWidth()) << "the text makes room for the bar";
    EXPECT_GT(bar->GetScrollRange(), 40 * 10 - (client.bottom - client.top));
    EXPECT_EQ(bar->GetScrollPos(), 0);

    w.Edit()->EndDown();
    w.Settle();
    EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange()) << "the end of the text is the end of the bar";
    w.Edit()->LineUp();
    w.Settle();
    EXPECT_LT(bar->GetScrollPos(), bar->GetScrollRange());
    EXPECT_GT(bar->GetScrollPos(), 0);

    // The bar's own thumb position goes back to the text services.
    w.Edit()->SetScrollPos(CUISize(0, 30));
    w.Settle();
    EXPECT_EQ(bar->GetScrollPos(), 30);
    LRESULT firstLine = 0;
    w.Edit()->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &firstLine);
    EXPECT_GT(firstLine, 0);

    // The wheel scrolls the text by lines.
    w.Edit()->HomeUp();
    w.Settle();
    ASSERT_EQ(bar->GetScrollPos(), 0);
    const POINT over = w.Screen((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    LRESULT ignored = 0;
    w.Manager().MessageHandler(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                               MAKELPARAM(over.x, over.y), ignored);
    w.Settle();
    EXPECT_GT(bar->GetScrollPos(), 0);

    // A short text needs no bar.
    w.Edit()->SetText(L"short");
    w.Settle();
    EXPECT_FALSE(bar->IsVisible());
    const RECT wide = w.Edit()->GetTextRect();
    EXPECT_EQ(wide.right, item.right - 4);
}

TEST(RichEditTyping, DestroyingTheFocusedControlIsSafe)
{
    CEditWindow w(Skin(L"text=\"bye\"").c_str());
    w.ClickInto(50, 20);
    ASSERT_EQ(w.Manager().GetFocus(), w.Edit());
    TypeText("a");
    CContainerUI* parent = static_cast<CContainerUI*>(w.Edit()->GetParent());
    ASSERT_TRUE(parent->Remove(w.Edit()));
    w.Settle();
    EXPECT_EQ(w.Manager().GetFocus(), nullptr);
    EXPECT_EQ(w.Manager().FindControlByName(L"edit"), nullptr);
    // Keys, clicks and timers after it went reach no dead control.
    TypeText("bc");
    PressKey(VK_TAB);
    w.ClickInto(50, 20);
    w.Settle(300);
    EXPECT_FALSE(w.Manager().IsCaptured());
}

// Without word wrap a long line scrolls sideways with the horizontal bar.
TEST(RichEditTyping, ALongLineScrollsWithTheHorizontalBar)
{
    CEditWindow w(Skin(L"hscrollbar=\"true\" autohscroll=\"true\"").c_str());
    CScrollBarUI* bar = w.Edit()->GetHorizontalScrollBar();
    ASSERT_NE(bar, nullptr);
    std::wstring line;
    for (int i = 0; i < 30; ++i)
        line += L"word" + std::to_wstring(i) + L" ";
    w.Edit()->SetText(line.c_str());
    w.Settle();
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_GT(bar->GetScrollRange(), 100);
    LRESULT lines = 0;
    w.Edit()->TxSendMessage(EM_GETLINECOUNT, 0, 0, &lines);
    EXPECT_EQ(lines, 1) << "no word wrap";
    w.Edit()->EndRight();
    w.Settle();
    EXPECT_EQ(bar->GetScrollPos(), bar->GetScrollRange());
}

// Moving from another control onto the text hands the hover over: the
// control the pointer left is no longer hot.
TEST(RichEditTyping, HoverFollowsThePointerOntoTheText)
{
    CEditWindow w(Skin(L"text=\"abc\"", L"<Button name=\"next\" height=\"40\" text=\"next\"/>").c_str());
    CButtonUI* button = static_cast<CButtonUI*>(w.Manager().FindControlByName(L"next"));
    const RECT b = button->GetPos();
    const RECT text = w.Edit()->GetTextRect();
    LRESULT ignored = 0;
    w.Manager().MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM((b.left + b.right) / 2, (b.top + b.bottom) / 2),
                               ignored);
    ASSERT_NE(button->GetButtonState() & StateHot, 0u);
    w.Manager().MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM(text.left + 5, text.top + 5), ignored);
    EXPECT_EQ(button->GetButtonState() & StateHot, 0u);
}
