#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>

#include "editor_test_support.h"
#include "ui/controls/Container.h"
#include "ui/controls/DateTime.h"
#include "ui/render/Color.h"

// The date control and its picker, driven with real key strokes and clicks.

namespace
{
const wchar_t kDates[] = L"<VerticalLayout>"
                         L"<Control name=\"first\" height=\"30\" />"
                         L"<DateTime name=\"date\" height=\"30\" />"
                         L"<DateTime name=\"other\" height=\"30\" />"
                         L"<Control name=\"rest\" />"
                         L"</VerticalLayout>";

SYSTEMTIME Date(WORD year, WORD month, WORD day)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    return time;
}

std::wstring Today()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

SYSTEMTIME PickerDate(HWND picker)
{
    SYSTEMTIME time = {};
    ::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return time;
}

// Opens the picker of date the way a user does: a click elsewhere first, so
// that the click on the control is never taken for the second of a double
// click, then a click on the control.
HWND OpenPicker(CEditorHost& host, CDateTimeUI* date)
{
    ClickControl(host, host.Find<CControlUI>(L"first"));
    host.PumpUntil([&] { return host.Manager().GetFocus() == host.Find<CControlUI>(L"first"); });
    ClickControl(host, date);
    host.PumpUntil([&] { return date->IsPicking(); });
    return date->GetNativeWindow();
}

// Clicks a point of a native window, in its client coordinates.
void ClickIn(HWND window, int x, int y)
{
    POINT pt = {x, y};
    ::ClientToScreen(window, &pt);
    ClickAt(pt.x, pt.y);
}

// Where the calendar shows a day of the month on display.
bool FindDay(HWND calendar, WORD year, WORD month, WORD day, POINT* where)
{
    RECT client = {};
    ::GetClientRect(calendar, &client);
    for (int y = 0; y < client.bottom; y += 2)
    {
        for (int x = 0; x < client.right; x += 2)
        {
            MCHITTESTINFO hit = {};
            hit.cbSize = MCHITTESTINFO_V1_SIZE;
            hit.pt.x = x;
            hit.pt.y = y;
            ::SendMessageW(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.uHit == MCHT_CALENDARDATE && hit.st.wYear == year && hit.st.wMonth == month &&
                hit.st.wDay == day)
            {
                where->x = x + 2;
                where->y = y + 2;
                return true;
            }
        }
    }
    return false;
}

// Selects the picker's first field (the month) by clicking it.
void SelectFirstField(CEditorHost& host, HWND picker)
{
    RECT client = {};
    ::GetClientRect(picker, &client);
    ClickIn(picker, 6, client.bottom / 2);
    host.PumpUntil([] { return false; }, 100);
}
}  // namespace

TEST(DateTime, ShowsTheDateAsYearMonthDayWithTheYearPaddedToFourPlaces)
{
    CDateTimeUI date;
    EXPECT_STREQ(date.GetText(), Today().c_str()) << "a new control shows today";
    struct TCase
    {
        SYSTEMTIME time;
        const wchar_t* text;
    };
    const TCase cases[] = {
        {Date(2026, 3, 7), L"2026-03-07"},
        {Date(999, 12, 31), L" 999-12-31"},
        {Date(12, 1, 1), L"  12-01-01"},
    };
    for (const TCase& c : cases)
    {
        date.SetTime(c.time);
        EXPECT_STREQ(date.GetText(), c.text);
    }
}

TEST(DateTime, APickedDateIsWrittenBackWhenThePickerLosesTheFocus)
{
    CEditorHost host(300, 200, kDates);
    CDateTimeUI* date = host.Find<CDateTimeUI>(L"date");
    date->SetTime(Date(2024, 2, 10));

    HWND picker = OpenPicker(host, date);
    ASSERT_TRUE(::IsWindow(picker));
    EXPECT_EQ(::GetFocus(), picker);
    const SYSTEMTIME shown = PickerDate(picker);
    EXPECT_EQ(shown.wYear, 2024);
    EXPECT_EQ(shown.wMonth, 2);
    EXPECT_EQ(shown.wDay, 10);

    // The picker's own keys change its selected field.
    SelectFirstField(host, picker);
    PressKey(VK_UP);
    host.PumpUntil([] { return false; }, 100);
    const SYSTEMTIME changed = PickerDate(picker);
    EXPECT_NE(changed.wYear * 10000 + changed.wMonth * 100 + changed.wDay, 20240210)
        << "the up key changed the date";
    EXPECT_STREQ(date->GetText(), L"2024-02-10") << "nothing is written while picking";

    ClickControl(host, host.Find<CControlUI>(L"rest"));
    ASSERT_TRUE(host.PumpUntil([&] { return !date->IsPicking(); }));
    EXPECT_FALSE(::IsWindow(picker));
    wchar_t expected[32] = {};
    swprintf(expected, 32, L"%04d-%02d-%02d", changed.wYear, changed.wMonth, changed.wDay);
    EXPECT_STREQ(date->GetText(), expected);
}

TEST(DateTime, ThePickerOpensAtTheDateTheTextShows)
{
    CEditorHost host(300, 200, kDates);
    CDateTimeUI* date = host.Find<CDateTimeUI>(L"date");
    struct TCase
    {
        const wchar_t* text;
        WORD year;
        WORD month;
        WORD day;
    };
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    const TCase cases[] = {
        {L"2031-07-15", 2031, 7, 15},
        // Not a date the picker can hold: the last date the control had.
        {L"2031-02-30", 2031, 7, 15},
        {L" 999-12-31", 2031, 7, 15},
        {L"soon", 2031, 7, 15},
        {L"", now.wYear, now.wMonth, now.wDay},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(Narrow(c.text));
        host.Find<CControlUI>(L"first")->SetFocus();
        host.Pump();
        date->SetText(c.text);
        date->SetFocus();
        host.Pump();
        ASSERT_TRUE(date->IsPicking());
        const SYSTEMTIME shown = PickerDate(date->GetNativeWindow());
        EXPECT_EQ(shown.wYear, c.year);
        EXPECT_EQ(shown.wMonth, c.month);
        EXPECT_EQ(shown.wDay, c.day);
        EXPECT_STREQ(date->GetText(), c.text) << "opening changes no text";
    }
}

TEST(DateTime, EscapeKeepsTheTextAndBackspaceOrDeleteClearIt)
{
    CEditorHost host(300, 200, kDates);
    CDateTimeUI* date = host.Find<CDateTimeUI>(L"date");

    struct TCase
    {
        const char* name;
        WORD key;
        const wchar_t* text;
    };
    const TCase cases[] = {
        {"escape", VK_ESCAPE, L"2024-02-10"},
        {"backspace", VK_BACK, L""},
        {"delete", VK_DELETE, L""},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        date->SetTime(Date(2024, 2, 10));
        HWND picker = OpenPicker(host, date);
        ASSERT_TRUE(::IsWindow(picker));
        SelectFirstField(host, picker);
        PressKey(VK_UP);
        PressKey(c.key);
        ASSERT_TRUE(host.PumpUntil([&] { return !date->IsPicking(); })) << "the key closes the picker";
        EXPECT_FALSE(::IsWindow(picker));
        EXPECT_STREQ(date->GetText(), c.text);
        // Leaving the control afterwards changes nothing more.
        host.Find<CControlUI>(L"rest")->SetFocus();
        host.Pump();
        EXPECT_STREQ(date->GetText(), c.text);
    }

    // An emptied control opens at today.
    HWND picker = OpenPicker(host, date);
    ASSERT_TRUE(::IsWindow(picker));
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    const SYSTEMTIME shown = PickerDate(picker);
    EXPECT_EQ(shown.wYear, now.wYear);
    EXPECT_EQ(shown.wMonth, now.wMonth);
    EXPECT_EQ(shown.wDay, now.wDay);
}

TEST(DateTime, TheDropDownCalendarKeepsThePickerOpenUntilItCloses)
{
    CEditorHost host(300, 300, kDates);
    CDateTimeUI* date = host.Find<CDateTimeUI>(L"date");
    date->SetTime(Date(2024, 2, 10));
    HWND picker = OpenPicker(host, date);
    ASSERT_TRUE(::IsWindow(picker));

    // The button at the right end drops the calendar, which takes the focus
    // on some systems.
    RECT client = {};
    ::GetClientRect(picker, &client);
    ClickIn(picker, client.right - 4, client.bottom / 2);
    HWND calendar = NULL;
    ASSERT_TRUE(host.PumpUntil([&] {
        calendar = reinterpret_cast<HWND>(::SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
        return calendar != NULL && ::IsWindowVisible(calendar);
    })) << "the calendar drops down";
    host.PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(date->IsPicking()) << "picking goes on in the calendar";
    EXPECT_STREQ(date->GetText(), L"2024-02-10");

    // A click on the 20th picks it and closes the calendar, and with it the picking.
    POINT day = {};
    ASSERT_TRUE(FindDay(calendar, 2024, 2, 20, &day));
    ClickIn(calendar, day.x, day.y);
    ASSERT_TRUE(host.PumpUntil([&] { return !date->IsPicking(); }));
    EXPECT_FALSE(::IsWindow(picker));
    EXPECT_STREQ(date->GetText(), L"2024-02-20");
    EXPECT_EQ(CountChildWindows(host.Get(), L"DateTimeWnd"), 0);
}

TEST(DateTime, APickerThatCannotBeCreatedIsForgottenSoTheNextFocusTriesAgain)
{
    CEditorHost host(300, 200, L"<VerticalLayout name=\"root\" />");
    CManagerUI windowless;
    CDateTimeUI* date = new CDateTimeUI;
    date->SetManager(&windowless, NULL, false);
    date->SetPos(CUIRect(0, 0, 200, 30));
    TControlEvent focus = {};
    focus.kind = EventSetFocus;
    date->DispatchEvent(focus);
    EXPECT_FALSE(date->IsPicking()) << "a child window needs a parent window";

    host.Find<CContainerUI>(L"root")->Add(date);
    host.Manager().InitControls(date, host.Find<CControlUI>(L"root"));
    date->SetFocus();
    host.Pump();
    EXPECT_TRUE(date->IsPicking());
}

TEST(DateTime, DeletingTheControlWhilePickingLeavesNoWindowBehind)
{
    const int before = CountThreadWindows();
    {
        CEditorHost host(300, 200, kDates);
        CDateTimeUI* date = host.Find<CDateTimeUI>(L"date");
        HWND picker = OpenPicker(host, date);
        ASSERT_TRUE(::IsWindow(picker));
        host.Find<CContainerUI>(L"date")->GetParent();
        static_cast<CContainerUI*>(date->GetParent())->Remove(date);
        host.Pump();
        EXPECT_FALSE(::IsWindow(picker));
        EXPECT_EQ(CountChildWindows(host.Get(), L"DateTimeWnd"), 0);
        PressKey(VK_DELETE);
        host.PumpUntil([] { return false; }, 100);

        // The window destroyed under an open picker: the control outlives it.
        CDateTimeUI* other = host.Find<CDateTimeUI>(L"other");
        picker = OpenPicker(host, other);
        ASSERT_TRUE(::IsWindow(picker));
        host.DestroyWindowNow();
        EXPECT_FALSE(other->IsPicking());
    }
    EXPECT_EQ(CountThreadWindows(), before);
}

namespace
{
// The ink of dark text inside a control, read from the screen: the first and
// last rows and the first column that hold a dark pixel, in client
// coordinates; false when there is none.
struct TInk
{
    int top;
    int bottom;
    int left;
};

bool ScreenInk(const CEditorHost& host, const RECT& area, TInk* ink)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    CCanvas canvas(width, height);
    const POINT origin = host.Screen(area.left, area.top);
    HDC screen = ::GetDC(NULL);
    ::BitBlt(canvas.Dc(), 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    ::ReleaseDC(NULL, screen);
    *ink = {INT_MAX, INT_MIN, INT_MAX};
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            const DWORD rgb = canvas.Rgb(x, y);
            if (ColorRed(rgb) + ColorGreen(rgb) + ColorBlue(rgb) > 3 * 96)
                continue;
            ink->top = std::min<int>(ink->top, area.top + y);
            ink->bottom = std::max<int>(ink->bottom, area.top + y);
            ink->left = std::min<int>(ink->left, area.left + x);
        }
    }
    return ink->top <= ink->bottom;
}
}  // namespace

// The open picker shows the date where the closed control shows it: the same
// text, centred in the control, not at its top.
TEST(DateTime, TheOpenPickerShowsTheDateWhereTheClosedControlDoes)
{
    CEditorHost host(300, 200,
                     L"<VerticalLayout bkcolor=\"#FFFFFFFF\">"
                     L"<Button name=\"first\" height=\"30\" text=\"first\"/>"
                     L"<DateTime name=\"date\" height=\"40\" text=\"2026-03-07\" textpadding=\"8,0,8,0\" "
                     L"bkcolor=\"#FFFFFFFF\" bordercolor=\"#FFB8BDCC\" bordersize=\"1\"/>"
                     L"<Control name=\"rest\" />"
                     L"</VerticalLayout>");
    CDateTimeUI* date = host.Find<CDateTimeUI>(L"date");
    ASSERT_TRUE(host.PumpUntil([&] { return host.Manager().GetFocus() == host.Find<CControlUI>(L"first"); }));
    host.Settle();
    ASSERT_FALSE(date->IsPicking());
    // The date's own text, inside the border and the focus frame; the
    // picker's drop-down button lies to its right.
    RECT area = date->GetPos();
    area.right = area.left + 120;
    ::InflateRect(&area, -4, -4);
    TInk closed = {};
    ASSERT_TRUE(ScreenInk(host, area, &closed));

    ClickControl(host, date);
    ASSERT_TRUE(host.PumpUntil([&] { return date->IsPicking(); }));
    host.Settle(300);
    TInk open = {};
    ASSERT_TRUE(ScreenInk(host, area, &open));
    EXPECT_NEAR(open.top, closed.top, 1);
    EXPECT_NEAR(open.bottom, closed.bottom, 1);
    EXPECT_NEAR(open.left, closed.left, 2);
    const RECT& pos = date->GetPos();
    EXPECT_NEAR(open.top - pos.top, pos.bottom - 1 - open.bottom, 2) << "centred in the control";

    // Around the picker's line the control shows its focus frame, below it too.
    const RECT frameBottom = {pos.left + 4, pos.bottom - 3, pos.left + 100, pos.bottom - 2};
    TInk frame = {};
    EXPECT_TRUE(ScreenInk(host, frameBottom, &frame)) << "the focus frame's bottom line";
}
