#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "control_test_support.h"
#include "editor_test_support.h"
#include "list_test_support.h"
#include "tests/support/Canvas.h"
#include "ui/controls/Label.h"
#include "ui/controls/LinkFocus.h"
#include "ui/controls/List.h"
#include "ui/controls/ListItems.h"

// Links in text and in list rows, reached and followed by the keyboard.

namespace
{
RECT Line(int left, int top, int right, int bottom)
{
    RECT rc = {left, top, right, bottom};
    return rc;
}

// Entries as tagged text records them: "a" on one line, "b" broken over two
// lines (entries 1 and 2), then "a" again on the second line.
TEST(LinkEntries, TheKeyboardGoesFromLinkToLinkNotFromLineToLine)
{
    const RECT rects[] = {Line(0, 0, 20, 16), Line(30, 0, 90, 16), Line(0, 16, 25, 32), Line(40, 16, 60, 32)};
    const CUIString texts[] = {L"a", L"b", L"b", L"a"};
    const TLinkEntries links = {rects, texts, 4};
    struct TCase
    {
        int current;
        bool forward;
        int expected;
    };
    const TCase cases[] = {
        {-1, true, 0}, {0, true, 1}, {1, true, 3},   {3, true, -1},
        {-1, false, 3}, {3, false, 1}, {1, false, 0}, {0, false, -1},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "from " << c.current << (c.forward ? " forward" : " back"));
        EXPECT_EQ(links.AdjacentLink(c.current, c.forward), c.expected);
    }
    EXPECT_EQ(links.LinkEnd(1), 3) << "both lines of the broken link";
    EXPECT_FALSE(links.ContinuesLink(3)) << "a second link to the same target";
}

// The focused link is framed; nothing else of the text changes.
TEST(LinkFocusLook, OnlyTheFocusedLinkIsFramed)
{
    CManagerUI manager;
    manager.AddFont(0, L"Tahoma", 14, false, false, false);
    CTextUI text;
    text.SetManager(&manager, NULL, false);
    text.ApplyAttributeList(L"font=\"0\" showhtml=\"true\" text=\"{a x}one{/a} and {a y}two{/a}\"");
    text.SetPos(Rect(0, 0, 200, 40));
    CCanvas plain(200, 40, 0xFFFFFFFF);
    text.Paint(plain.Dc(), Rect(0, 0, 200, 40), NULL);
    ASSERT_EQ(text.GetLinkCount(), 2);

    TControlEvent focus = MakeEvent(EventSetFocus);
    text.DispatchEvent(focus);
    text.EnterByTab(false);
    ASSERT_EQ(text.GetFocusedLink(), 1) << "Shift+Tab arrives at the last link";
    CCanvas focused(200, 40, 0xFFFFFFFF);
    text.Paint(focused.Dc(), Rect(0, 0, 200, 40), NULL);

    RECT around = text.GetLinkRect(1);
    ::InflateRect(&around, 1, 0);
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < 40; ++y)
    {
        for (int x = 0; x < 200; ++x)
        {
            if (plain.Rgb(x, y) == focused.Rgb(x, y))
                continue;
            POINT pt = {x, y};
            (::PtInRect(&around, pt) ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 20) << "a frame around the second link";
    EXPECT_EQ(outside, 0) << "no frame around the whole text, nothing on the first link";
}

// A selected row's links keep contrast with the selection: the window's blue
// links would vanish on the selection's blue.
TEST(SelectedRowLinks, ReadOnTheSelectionOrTakeTheSkinsColour)
{
    struct TCase
    {
        const wchar_t* attributes;
        DWORD expected;  // the colour the link is drawn in
    };
    const TCase cases[] = {
        {L"", 0xFFFFFF},                                         // the selected text colour reads there
        {L"itemselectedlinkcolor=\"#FFFFE070\"", 0xFFE070},      // the skin's own choice
        {L"itemselectedtextcolor=\"#FF3060C0\"", 0xFFFFFF},      // neither reads: black or white
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "attributes: " << std::string(c.attributes, c.attributes + wcslen(c.attributes)));
        CListFixture fixture(0, 200, 40);
        fixture.list->ApplyAttributeList(L"itemshowhtml=\"true\" itemselectedbkcolor=\"#FF2F6FD0\" "
                                         L"itemselectedtextcolor=\"#FFFFFFFF\"");
        fixture.list->ApplyAttributeList(c.attributes);
        CListTextElementUI* row = new CListTextElementUI;
        row->SetText(L"{a x}WWWWWW{/a}");
        fixture.list->Add(row);
        fixture.list->SelectItem(0);
        fixture.LayOut();
        CCanvas canvas(200, 40, 0xFFFFFFFF);
        fixture.list->Paint(canvas.Dc(), Rect(0, 0, 200, 40), NULL);
        ASSERT_EQ(row->GetLinkCount(), 1);
        const RECT link = row->GetLinkRect(0);
        int linkPixels = 0;
        int bluePixels = 0;
        for (int y = link.top; y < link.bottom; ++y)
        {
            for (int x = link.left; x < link.right; ++x)
            {
                linkPixels += canvas.Rgb(x, y) == c.expected ? 1 : 0;
                bluePixels += canvas.Rgb(x, y) == 0x0000FF ? 1 : 0;
            }
        }
        EXPECT_GT(linkPixels, 20);
        EXPECT_EQ(bluePixels, 0) << "no link in the window's blue on the selection";
    }
}

// A text with links, a list whose selected row has links, and a button on
// either side, used with the system's own key strokes.
const wchar_t kLinks[] =
    L"<VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<Button name=\"first\" height=\"30\" text=\"first\"/>"
    L"<Text name=\"text\" height=\"30\" showhtml=\"true\" text=\"Read {a a}one{/a} or {a b}two{/a}.\"/>"
    L"<List name=\"list\" height=\"80\" itemshowhtml=\"true\" itemheight=\"24\" header=\"hidden\">"
    L"<ListTextElement name=\"plain\" text=\"plain\"/>"
    L"<ListTextElement name=\"row\" text=\"{a x}open{/a} or {a y}log{/a}\" selected=\"true\"/>"
    L"</List>"
    L"<Button name=\"last\" height=\"30\" text=\"last\"/>"
    L"</VerticalLayout>";

class KeyboardLinks : public testing::Test
{
protected:
    KeyboardLinks() : host(300, 220, kLinks)
    {
        text = host.Find<CTextUI>(L"text");
        row = host.Find<CListTextElementUI>(L"row");
        host.Manager().AddNotifier(&notes);
    }
    ~KeyboardLinks() override { host.Manager().RemoveNotifier(&notes); }

    // Where the focus is: the control's name, with the link the keyboard is on.
    std::string Where()
    {
        CControlUI* focus = host.Manager().GetFocus();
        if (focus == NULL)
            return "none";
        std::string where = Narrow(focus->GetName());
        if (focus == text)
            where += ":" + std::to_string(text->GetFocusedLink());
        else if (focus == host.Find<CControlUI>(L"list"))
            where += ":" + std::to_string(row->GetFocusedLink());
        return where;
    }

    static std::string Narrow(const wchar_t* wide)
    {
        std::string narrow;
        for (; wide != NULL && *wide != L'\0'; ++wide)
            narrow += static_cast<char>(*wide);
        return narrow;
    }

    // The first notification of a type that arrives, pumping for it.
    const CNotifyRecorder::TRecord* WaitFor(const wchar_t* type)
    {
        const CNotifyRecorder::TRecord* found = NULL;
        host.PumpUntil([&] {
            for (const CNotifyRecorder::TRecord& record : notes.records)
            {
                if (record.type == type)
                {
                    found = &record;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    void StartAtFirst()
    {
        host.Find<CControlUI>(L"first")->SetFocus();
        ASSERT_TRUE(host.PumpUntil([&] { return Where() == "first"; }));
        // The texts are drawn: their links are known.
        host.Settle();
        ASSERT_EQ(text->GetLinkCount(), 2);
        ASSERT_EQ(row->GetLinkCount(), 2);
    }

    CEditorHost host;
    CNotifyRecorder notes;
    CTextUI* text;
    CListTextElementUI* row;
};
}  // namespace

TEST_F(KeyboardLinks, TabVisitsEveryLinkBeforeLeavingAndShiftTabComesBack)
{
    StartAtFirst();
    struct TStep
    {
        bool ctrl;
        bool shift;
        const char* expected;
    };
    const TStep steps[] = {
        {false, false, "text:0"}, {false, false, "text:1"}, {false, false, "list:-1"},
        {false, false, "list:0"}, {false, false, "list:1"}, {false, false, "last"},
        {false, true, "list:1"},  {false, true, "list:0"},  {false, true, "list:-1"},
        {false, true, "text:1"},  {false, true, "text:0"},  {false, true, "first"},
        {false, false, "text:0"}, {true, false, "list:-1"}, {false, false, "list:0"},
        {true, true, "text:1"},
    };
    for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i)
    {
        const TStep& step = steps[i];
        SCOPED_TRACE(testing::Message() << "step " << i << (step.ctrl ? " Ctrl" : "")
                                        << (step.shift ? " Shift" : "") << "+Tab");
        PressKey(VK_TAB, step.ctrl, step.shift);
        EXPECT_TRUE(host.PumpUntil([&] { return Where() == step.expected; }, 1500)) << Where();
    }
}

// Return (and Space) on the focused link sends what a click on it sends;
// without a focused link Return keeps its meaning in the list.
TEST_F(KeyboardLinks, ReturnOrSpaceFollowsTheFocusedLinkAsAClickWould)
{
    StartAtFirst();
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    ASSERT_TRUE(host.PumpUntil([&] { return Where() == "text:1"; })) << Where();
    notes.records.clear();
    PressKey(VK_RETURN);
    const CNotifyRecorder::TRecord* link = WaitFor(L"link");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->sender, text);
    EXPECT_EQ(link->wParam, 1u);

    PressKey(VK_TAB);
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    ASSERT_TRUE(host.PumpUntil([&] { return Where() == "list:1"; })) << Where();
    notes.records.clear();
    PressKey(VK_SPACE);
    link = WaitFor(L"link");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->sender, row);
    EXPECT_EQ(link->wParam, 1u);
    EXPECT_EQ(notes.records.size(), 1u) << "nothing else: the row is not activated";

    // Moving the selection leaves the old row's links behind.
    PressKey(VK_UP);
    ASSERT_TRUE(host.PumpUntil([&] { return !row->IsSelected(); }));
    EXPECT_EQ(row->GetFocusedLink(), -1);
    notes.records.clear();
    PressKey(VK_RETURN);
    EXPECT_NE(WaitFor(L"itemactivate"), nullptr) << "Return activates the selected row";
    EXPECT_EQ(WaitFor(L"link"), nullptr);
}

// A container that can scroll is a tab stop whose arrows scroll it; one whose
// content fits is passed over.
TEST(KeyboardScroll, TabReachesAContainerOnlyWhileItCanScroll)
{
    CEditorHost host(300, 200,
                     L"<VerticalLayout bkcolor=\"#FFFFFFFF\">"
                     L"<Button name=\"first\" height=\"30\" text=\"first\"/>"
                     L"<VerticalLayout name=\"scroller\" height=\"60\" vscrollbar=\"true\">"
                     L"<Control name=\"tall\" height=\"300\"/></VerticalLayout>"
                     L"<Button name=\"last\" height=\"30\" text=\"last\"/>"
                     L"</VerticalLayout>");
    CContainerUI* scroller = host.Find<CContainerUI>(L"scroller");
    CControlUI* first = host.Find<CControlUI>(L"first");
    CControlUI* last = host.Find<CControlUI>(L"last");
    first->SetFocus();
    ASSERT_TRUE(host.PumpUntil([&] { return host.Manager().GetFocus() == first; }));
    host.Settle();

    PressKey(VK_TAB);
    ASSERT_TRUE(host.PumpUntil([&] { return host.Manager().GetFocus() == scroller; }));
    PressKey(VK_DOWN);
    EXPECT_TRUE(host.PumpUntil([&] { return scroller->GetScrollPos().cy > 0; }));
    PressKey(VK_END);
    EXPECT_TRUE(host.PumpUntil([&] { return scroller->GetScrollPos().cy == scroller->GetScrollRange().cy; }));
    PressKey(VK_TAB);
    EXPECT_TRUE(host.PumpUntil([&] { return host.Manager().GetFocus() == last; }));

    // Content that fits leaves nothing to scroll: the container is no stop.
    host.Find<CControlUI>(L"tall")->SetFixedHeight(20);
    host.Settle();
    first->SetFocus();
    ASSERT_TRUE(host.PumpUntil([&] { return host.Manager().GetFocus() == first; }));
    PressKey(VK_TAB);
    EXPECT_TRUE(host.PumpUntil([&] { return host.Manager().GetFocus() == last; }));
}
