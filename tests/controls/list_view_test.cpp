#include "list_test_support.h"

#include <set>
#include <utility>

#include "ui/controls/ScrollBar.h"

namespace
{
// Ten rows of 20 in a body 100 high with a vertical bar; rows 0, 4 and 8 disabled.
class ListKeys : public testing::Test
{
protected:
    ListKeys() : f(10)
    {
        f.list->EnableScrollBar(true, false);
        for (int disabled : {0, 4, 8})
            f.list->GetItemAt(disabled)->SetEnabled(false);
        f.LayOut();
    }

    // The selected row lies inside the body.
    bool SelectionVisible() const
    {
        const RECT body = f.list->GetList()->GetPos();
        const RECT row = f.list->GetItemAt(f.list->GetCurSel())->GetPos();
        return row.top >= body.top && row.bottom <= body.bottom;
    }

    CListFixture f;
};

TEST_F(ListKeys, MovesSkipDisabledRows)
{
    struct TCase
    {
        const char* what;
        int start;
        WORD key;
        int expected;
    };
    const TCase cases[] = {
        {"down from nothing", -1, VK_DOWN, 1},
        {"up from the first selectable row", 1, VK_UP, 1},
        {"down over a disabled row", 3, VK_DOWN, 5},
        {"up over a disabled row", 5, VK_UP, 3},
        {"down to the last row", 7, VK_DOWN, 9},
        {"down from the last row", 9, VK_DOWN, 9},
        {"up from the last row", 9, VK_UP, 7},
        {"home", 5, VK_HOME, 1},
        {"end", 2, VK_END, 9},
        {"another key does nothing", 2, VK_ESCAPE, 2},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        f.list->SelectItem(c.start);
        TControlEvent key = KeyDown(c.key);
        f.list->DispatchEvent(key);
        EXPECT_EQ(f.list->GetCurSel(), c.expected);
        if (c.expected >= 0)
        {
            EXPECT_TRUE(SelectionVisible());
        }
    }
}

TEST_F(ListKeys, KeysOfAFocusedRowReachTheList)
{
    f.list->SelectItem(2);
    TControlEvent key = KeyDown(VK_DOWN);
    f.list->GetItemAt(2)->DispatchEvent(key);
    EXPECT_EQ(f.list->GetCurSel(), 3);

    f.notes.records.clear();
    TControlEvent enter = KeyDown(VK_RETURN);
    f.list->DispatchEvent(enter);
    ASSERT_EQ(f.notes.records.size(), 1u);
    EXPECT_EQ(f.notes.records[0].type, L"itemactivate");
    EXPECT_EQ(f.notes.records[0].sender, f.list->GetItemAt(3));
}

TEST_F(ListKeys, EndOnADisabledLastRowClearsTheSelection)
{
    f.list->GetItemAt(9)->SetEnabled(false);
    f.list->SelectItem(5);
    TControlEvent key = KeyDown(VK_END);
    f.list->DispatchEvent(key);
    EXPECT_EQ(f.list->GetCurSel(), -1);
}

// Page Down and Page Up move the selection by a view of rows and keep it in
// view; without a selection they scroll by a page.
TEST_F(ListKeys, PagesMoveTheSelectionAndKeepItInView)
{
    f.list->SelectItem(2);
    const int rowHeight = f.list->GetItemAt(2)->GetPos().bottom - f.list->GetItemAt(2)->GetPos().top;
    const int view = f.list->GetList()->GetPos().bottom - f.list->GetList()->GetPos().top;
    const int rows = view / rowHeight - 1 > 1 ? view / rowHeight - 1 : 1;
    TControlEvent down = KeyDown(VK_NEXT);
    f.list->DispatchEvent(down);
    EXPECT_EQ(f.list->GetCurSel(), 2 + rows);
    EXPECT_TRUE(SelectionVisible());
    TControlEvent up = KeyDown(VK_PRIOR);
    f.list->DispatchEvent(up);
    EXPECT_EQ(f.list->GetCurSel(), 2);
    EXPECT_TRUE(SelectionVisible());

    f.list->SelectItem(-1);
    f.list->SetScrollPos(CUISize(0, 0));
    f.list->DispatchEvent(down);
    EXPECT_EQ(f.list->GetScrollPos().cy, view);
    EXPECT_EQ(f.list->GetCurSel(), -1);
}

// The wheel scrolls a line, or with "scrollselect" moves the selection.
TEST_F(ListKeys, WheelScrollsOrSelects)
{
    f.list->SelectItem(2);
    TControlEvent wheel = MakeEvent(EventScrollWheel, 50, 50, 1);
    f.list->GetList()->DispatchEvent(wheel);
    EXPECT_GT(f.list->GetScrollPos().cy, 0);
    EXPECT_EQ(f.list->GetCurSel(), 2);

    f.list->SetScrollSelect(true);
    f.list->DispatchEvent(wheel);
    EXPECT_EQ(f.list->GetCurSel(), 3);
    TControlEvent back = MakeEvent(EventScrollWheel, 50, 50, 0);
    f.list->DispatchEvent(back);
    f.list->DispatchEvent(back);
    EXPECT_EQ(f.list->GetCurSel(), 1);
}

// A clicked row is selected, reports "itemclick" and the list "itemselect".
TEST(ListMouse, ClickSelectsAndDoubleClickActivates)
{
    CListFixture f(5);
    CControlUI* row = f.manager.FindControlAt(CUIPoint(50, 45));
    ASSERT_EQ(row, f.list->GetItemAt(2));
    TControlEvent down = MakeEvent(EventButtonDown, 50, 45);
    row->DispatchEvent(down);
    EXPECT_EQ(f.list->GetCurSel(), 2);
    TControlEvent twice = MakeEvent(EventDoubleClick, 50, 45);
    row->DispatchEvent(twice);
    std::vector<std::wstring> kinds;
    for (const CNotifyRecorder::TRecord& record : f.notes.records)
        kinds.push_back(record.type);
    EXPECT_EQ(kinds, (std::vector<std::wstring>{L"itemclick", L"setfocus", L"itemselect", L"itemactivate"}));
}

// Three columns of 50, 50 and the rest under a 20 pixel header.
class ListColumns : public testing::Test
{
protected:
    ListColumns() : list(new CListUI)
    {
        list->GetListInfo()->itemHeight = 20;
        list->GetHeader()->SetFixedHeight(20);
        for (int width : {50, 50, 0})
        {
            CListHeaderItemUI* column = new CListHeaderItemUI;
            column->SetFixedWidth(width);
            list->Add(column);
            columns.push_back(column);
        }
        for (int i = 0; i < 20; ++i)
            list->Add(new CListTextElementUI);
        manager.AttachRoot(list);
        manager.AddNotifier(&notes);
        list->SetPos(CUIRect(0, 0, 300, 100));
    }

    void Drag(CListHeaderItemUI* column, POINT from, const std::vector<int>& moves)
    {
        TControlEvent down = MakeEvent(EventButtonDown, from.x, from.y);
        column->DispatchEvent(down);
        for (int x : moves)
        {
            TControlEvent move = MakeEvent(EventMouseMove, x, from.y);
            column->DispatchEvent(move);
        }
        TControlEvent up = MakeEvent(EventButtonUp, moves.back(), from.y);
        column->DispatchEvent(up);
        list->SetPos(list->GetPos());
    }

    std::vector<std::pair<int, int>> Columns() const
    {
        std::vector<std::pair<int, int>> spans;
        const TListInfo& info = *list->GetListInfo();
        for (int i = 0; i < info.columnCount; ++i)
            spans.push_back(std::make_pair(static_cast<int>(info.columns[i].left),
                                           static_cast<int>(info.columns[i].right)));
        return spans;
    }

    CManagerUI manager;
    CListUI* list;
    std::vector<CListHeaderItemUI*> columns;
    CNotifyRecorder notes;
};

typedef std::vector<std::pair<int, int>> TSpans;

TEST_F(ListColumns, DraggingASeparatorResizesTheColumn)
{
    EXPECT_EQ(Columns(), (TSpans{{0, 50}, {50, 100}, {100, 300}}));
    ExpectRect(list->GetItemAt(0)->GetPos(), Rect(0, 20, 300, 40));

    Drag(columns[0], CUIPoint(48, 10), {58, 68, 78});
    EXPECT_EQ(Columns(), (TSpans{{0, 80}, {80, 130}, {130, 300}}));
    EXPECT_TRUE(notes.records.empty()) << "a drag is no header click";

    // The minimum width (16) stops the drag at the last width above it.
    Drag(columns[0], CUIPoint(78, 10), {68, 58, 48, 38, 28, 18, 8, -2, -12});
    EXPECT_EQ(Columns(), (TSpans{{0, 20}, {20, 70}, {70, 300}}));
}

TEST_F(ListColumns, LeftSeparatorAndHeaderClick)
{
    columns[1]->SetSepWidth(-4);
    Drag(columns[1], CUIPoint(51, 10), {41});
    EXPECT_EQ(Columns(), (TSpans{{0, 50}, {50, 110}, {110, 300}})) << "dragging the left edge left widens";

    TControlEvent press = MakeEvent(EventButtonDown, 25, 10);
    columns[0]->DispatchEvent(press);
    ASSERT_EQ(notes.records.size(), 1u);
    EXPECT_EQ(notes.records[0].type, L"headerclick");
    EXPECT_EQ(notes.records[0].sender, columns[0]);
}

// A separator drawn one pixel wide still gives the pointer a few pixels to grab.
TEST_F(ListColumns, AThinSeparatorIsGrabbedAFewPixelsWide)
{
    columns[0]->SetSepWidth(1);
    Drag(columns[0], CUIPoint(45, 10), {55});
    EXPECT_EQ(Columns(), (TSpans{{0, 60}, {60, 110}, {110, 300}}));
    EXPECT_TRUE(notes.records.empty()) << "a drag is no header click";

    TControlEvent press = MakeEvent(EventButtonDown, 40, 10);
    columns[0]->DispatchEvent(press);
    ASSERT_EQ(notes.records.size(), 1u) << "farther in, a press is a click";
}

// Scrolled sideways, the header and the columns follow the rows.
TEST_F(ListColumns, HorizontalScrollMovesTheHeader)
{
    columns[2]->SetFixedWidth(400);
    list->EnableScrollBar(false, true);
    list->SetPos(list->GetPos());
    ASSERT_TRUE(list->GetHorizontalScrollBar()->IsVisible());
    list->SetScrollPos(CUISize(100, 0));
    EXPECT_EQ(Columns(), (TSpans{{-100, -50}, {-50, 0}, {0, 400}}));
    ExpectRect(columns[0]->GetPos(), Rect(-100, 0, -50, 20));
    list->SetPos(list->GetPos());
    EXPECT_EQ(Columns(), (TSpans{{-100, -50}, {-50, 0}, {0, 400}})) << "a new layout keeps the scroll";
}

// Text rows ask the list's callback for every column of the rows that are
// painted, and only of those.
class CRecordingCallback : public IListTextCallback
{
public:
    LPCWSTR GetItemText(CControlUI*, int iIndex, int iSubItem) override
    {
        asked.insert(std::make_pair(iIndex, iSubItem));
        text = L"r" + std::to_wstring(iIndex) + L"c" + std::to_wstring(iSubItem);
        return text.c_str();
    }
    std::set<std::pair<int, int>> asked;
    std::wstring text;
};

TEST_F(ListColumns, TextCallbackSuppliesTheColumnsOfPaintedRows)
{
    CRecordingCallback callback;
    list->SetTextCallback(&callback);
    list->SetPos(list->GetPos());
    CCanvas canvas(300, 100, 0xFFFFFF);

    callback.asked.clear();
    list->Paint(canvas.Dc(), list->GetPos(), NULL);
    std::set<std::pair<int, int>> expected;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            expected.insert(std::make_pair(row, column));
    EXPECT_EQ(callback.asked, expected) << "four rows of 20 fit under the header";

    list->SetScrollPos(CUISize(0, 0));
    list->EnableScrollBar(true, false);
    list->SetPos(list->GetPos());
    list->PageDown();
    callback.asked.clear();
    list->Paint(canvas.Dc(), list->GetPos(), NULL);
    EXPECT_EQ(callback.asked.count(std::make_pair(0, 0)), 0u);
    EXPECT_EQ(callback.asked.count(std::make_pair(5, 2)), 1u);

    // Without a callback the rows fall back to their own column texts.
    list->SetTextCallback(NULL);
    CListTextElementUI* row =
        static_cast<CListTextElementUI*>(list->GetItemAt(0)->FindInterface(L"ListTextElement"));
    row->SetText(1, L"own");
    EXPECT_STREQ(row->GetText(1), L"own");
    EXPECT_STREQ(row->GetText(7), L"");
}

// Tagged text with links in two columns: the links are numbered across the
// columns and a release over one reports its number.
TEST_F(ListColumns, LinksAcrossColumns)
{
    list->GetListInfo()->showHtml = true;
    CListTextElementUI* row =
        static_cast<CListTextElementUI*>(list->GetItemAt(0)->FindInterface(L"ListTextElement"));
    row->SetText(0, L"{a one}x{/a} {a two}y{/a}");
    row->SetText(1, L"{a three}z{/a}");
    list->SetPos(list->GetPos());
    CCanvas canvas(300, 100, 0xFFFFFF);
    list->Paint(canvas.Dc(), list->GetPos(), NULL);
    ASSERT_EQ(row->GetLinkCount(), 3);
    const RECT third = row->GetLinkRect(2);
    EXPECT_GE(third.left, 50) << "in the second column";
    EXPECT_TRUE(row->GetFlags() & FlagSetCursor);

    const POINT inside = {(third.left + third.right) / 2, (third.top + third.bottom) / 2};
    TControlEvent up = MakeEvent(EventButtonUp, inside.x, inside.y);
    row->DispatchEvent(up);
    ASSERT_FALSE(notes.records.empty());
    EXPECT_EQ(notes.records.back().type, L"link");
    EXPECT_EQ(notes.records.back().wParam, 2u);
}

// Alternate rows, hot, selected and disabled rows in their colours.
TEST(ListPaint, RowBackgroundsFollowTheirState)
{
    CListFixture f(5);
    TListInfo& info = *f.list->GetListInfo();
    info.alternateBk = true;
    info.bkColor = 0xFFFF0000;
    info.hotBkColor = 0xFF00FF00;
    info.selectedBkColor = 0xFF0000FF;
    info.disabledBkColor = 0xFF808080;
    for (int i = 0; i < 5; ++i)
        f.list->GetItemAt(i)->SetText(L"");
    f.list->SelectItem(2);
    TControlEvent enter = MakeEvent(EventMouseEnter, 50, 70);
    f.list->GetItemAt(3)->DispatchEvent(enter);
    f.list->GetItemAt(4)->SetEnabled(false);

    CCanvas canvas(200, 100, 0xFFFFFF);
    f.list->Paint(canvas.Dc(), f.list->GetPos(), NULL);
    const DWORD expected[] = {0xFF0000, 0xFFFFFF, 0x0000FF, 0x00FF00, 0x808080};
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(NearColor(canvas.Rgb(100, i * 20 + 10), expected[i], 2))
            << "row " << i << ": " << std::hex << canvas.Rgb(100, i * 20 + 10);
}

// With a row line of 1 and no padding the rows are 1 apart and the line
// is drawn in the gap.
TEST(ListPaint, RowLinesInTheGaps)
{
    CListFixture f(3);
    f.list->GetListInfo()->hLineSize = 1;
    f.list->GetListInfo()->hLineColor = 0xFF00FF00;
    f.LayOut();
    ExpectRect(f.list->GetItemAt(1)->GetPos(), Rect(0, 21, 200, 41));
    CCanvas canvas(200, 100, 0xFFFFFF);
    f.list->Paint(canvas.Dc(), f.list->GetPos(), NULL);
    EXPECT_TRUE(NearColor(canvas.Rgb(100, 20), 0x00FF00, 2));
    EXPECT_TRUE(NearColor(canvas.Rgb(100, 41), 0x00FF00, 2));
    EXPECT_TRUE(NearColor(canvas.Rgb(100, 30), 0xFFFFFF, 2));
}

class CCountingRow : public CListLabelElementUI
{
public:
    bool PaintContent(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override
    {
        ++paints;
        return CListLabelElementUI::PaintContent(hDC, rcPaint, pStopControl);
    }
    int paints = 0;
};

// Painting and hit testing visit the rows that can be seen, wherever the
// list is scrolled, and find the same rows a full walk would.
TEST(ListPaint, OnlyVisibleRowsArePaintedAndHit)
{
    CManagerUI manager;
    CListUI* list = new CListUI;
    list->GetListInfo()->itemHeight = 20;
    list->GetHeader()->SetVisible(false);
    list->EnableScrollBar(true, false);
    std::vector<CCountingRow*> rows;
    for (int i = 0; i < 1000; ++i)
    {
        rows.push_back(new CCountingRow);
        list->Add(rows.back());
    }
    rows[501]->SetVisible(false);
    manager.AttachRoot(list);
    list->SetPos(CUIRect(0, 0, 200, 100));
    list->SetScrollPos(CUISize(0, 10010));
    CCanvas canvas(200, 100, 0xFFFFFF);
    list->Paint(canvas.Dc(), list->GetPos(), NULL);

    std::vector<int> painted;
    for (int i = 0; i < 1000; ++i)
        if (rows[i]->paints > 0)
            painted.push_back(i);
    EXPECT_EQ(painted, (std::vector<int>{500, 502, 503, 504, 505, 506})) << "a half row at each edge";

    struct TCase
    {
        int y;
        int row;  // -1: none
    };
    const TCase cases[] = {{0, 500}, {9, 500}, {10, 502}, {29, 502}, {30, 503}, {99, 506}};
    for (const TCase& c : cases)
    {
        CControlUI* hit = manager.FindControlAt(CUIPoint(50, c.y));
        EXPECT_EQ(hit, c.row < 0 ? nullptr : static_cast<CControlUI*>(rows[c.row])) << "y " << c.y;
    }
    EXPECT_EQ(manager.FindControlAt(CUIPoint(195, 50)), list->GetVerticalScrollBar())
        << "the bar before the rows";
}
}  // namespace

namespace
{
// A row's size is measured once and again only when the look it is
// measured in changes.
TEST(ListRows, LabelSizeIsMeasuredOnce)
{
    CManagerUI manager;
    CListUI* list = new CListUI;
    CListLabelElementUI* row = new CListLabelElementUI;
    row->SetText(L"hello");
    list->Add(row);
    manager.AttachRoot(list);
    const SIZE first = row->EstimateSize(CUISize(200, 100));
    row->EstimateSize(CUISize(150, 100));
    EXPECT_EQ(row->GetMeasureCount(), 1) << "one line does not depend on the width offered";
    EXPECT_GT(first.cx, 0);

    list->SetAttribute(L"itemtextpadding", L"5,0,5,0");
    const SIZE padded = row->EstimateSize(CUISize(200, 100));
    EXPECT_EQ(row->GetMeasureCount(), 2);
    EXPECT_EQ(padded.cx, first.cx + 10);
    row->SetText(L"hello world");
    row->EstimateSize(CUISize(200, 100));
    EXPECT_EQ(row->GetMeasureCount(), 3);

    CListLabelElementUI orphan;
    EXPECT_EQ(orphan.EstimateSize(CUISize(200, 100)).cx, 0)
        << "without an owner there is no look to measure in";
}

// A box row puts its n-th child in the n-th column and leaves children
// beyond the last column where they are.
TEST(ListRows, BoxRowPlacesChildrenInColumns)
{
    CManagerUI manager;
    CListUI* list = new CListUI;
    list->GetListInfo()->itemHeight = 20;
    list->GetListInfo()->vLineSize = 2;
    list->GetHeader()->SetFixedHeight(20);
    for (int width : {60, 80})
    {
        CListHeaderItemUI* column = new CListHeaderItemUI;
        column->SetFixedWidth(width);
        list->Add(column);
    }
    CListHBoxElementUI* row = new CListHBoxElementUI;
    CControlUI* children[3];
    for (CControlUI*& child : children)
    {
        child = new CControlUI;
        row->Add(child);
    }
    children[1]->SetPadding(3, 2, 4, 1);
    list->Add(row);
    manager.AttachRoot(list);
    list->SetPos(CUIRect(0, 0, 300, 100));
    ExpectRect(row->GetPos(), Rect(0, 20, 140, 40));
    ExpectRect(children[0]->GetPos(), Rect(0, 20, 58, 40));
    ExpectRect(children[1]->GetPos(), Rect(63, 22, 136, 39));
    ExpectRect(children[2]->GetPos(), Rect(0, 0, 0, 0));
}
}  // namespace

namespace
{
// Rows out of view are moved only when needed; whatever the scrolling,
// the rows in view, a row scrolled to, and after a change every row, are
// where the content puts them.
TEST(ListScroll, RowsAreWhereTheContentPutsThem)
{
    CListFixture f(1000);
    f.list->EnableScrollBar(true, false);
    f.LayOut();
    auto expectInView = [&](const char* step) {
        SCOPED_TRACE(step);
        const int pos = f.list->GetScrollPos().cy;
        CCanvas canvas(200, 100, 0xFFFFFF);
        f.list->Paint(canvas.Dc(), f.list->GetPos(), NULL);
        for (int y = 0; y < 100; y += 7)
        {
            CControlUI* hit = f.manager.FindControlAt(CUIPoint(50, y));
            ASSERT_NE(hit, nullptr);
            const int index = f.list->GetItemIndex(hit);
            EXPECT_EQ(index, (y + pos) / 20) << "y " << y;
            EXPECT_EQ(hit->GetPos().top, index * 20 - pos);
        }
    };
    f.list->SetScrollPos(CUISize(0, 5000));
    expectInView("far down");
    f.list->SetScrollPos(CUISize(0, 4990));
    expectInView("a little back");
    f.list->PageUp();
    expectInView("a page up");
    f.list->SetScrollPos(CUISize(0, 0));
    expectInView("back at the top");
    f.list->EndDown();
    expectInView("at the end");

    ASSERT_TRUE(f.list->SelectItem(300));
    EXPECT_EQ(f.list->GetItemAt(300)->GetPos().top, 0) << "a row above the view comes in at the top";
    expectInView("after selecting");

    // A removal brings every row to its place before the rows change.
    f.list->RemoveAt(0);
    const int pos = f.list->GetScrollPos().cy;
    for (int i = 0; i < f.list->GetCount(); ++i)
    {
        if (f.list->GetItemAt(i)->GetPos().top != (i + 1) * 20 - pos)
        {
            ADD_FAILURE() << "row " << i << " at " << f.list->GetItemAt(i)->GetPos().top;
            break;
        }
    }
    f.LayOut();
    expectInView("laid out again");
}
}  // namespace
