// A list in a real shown window whose header alone is laid out again: header
// items added while the list is shown, a column width set from code, a new
// header layout while the rows are scrolled sideways. The columns, the rows and
// the header must still agree, as they do after a layout of the whole list.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Canvas.h"
#include "tests/support/Rects.h"
#include "tests/support/ShownWindow.h"
#include "ui/controls/List.h"
#include "ui/controls/ListHeader.h"
#include "ui/controls/ListItems.h"
#include "ui/controls/ScrollBar.h"

namespace
{

const int kWidth = 300;
const int kHeight = 200;
const int kRowHeight = 24;

// Three text rows with three column texts each; white rows, black text.
std::wstring ListDocument(const wchar_t* header)
{
    return WindowDocument((std::wstring(L"<List name=\"list\" bkcolor=\"#FFFFFFFF\" itemheight=\"24\" "
                                        L"itemtextcolor=\"#FF000000\" itembkcolor=\"#FFFFFFFF\" "
                                        L"itemalign=\"left\" hscrollbar=\"true\">") +
                           header +
                           L"<ListTextElement name=\"r0\"/><ListTextElement name=\"r1\"/>"
                           L"<ListTextElement name=\"r2\"/></List>")
                              .c_str());
}

class ShownList
{
public:
    explicit ShownList(const wchar_t* header) : window(ListDocument(header).c_str(), kWidth, kHeight)
    {
        list = window.Find<CListUI>(L"list");
        for (int row = 0; row < list->GetCount(); ++row)
        {
            auto* text = static_cast<CListTextElementUI*>(list->GetItemAt(row));
            for (int column = 0; column < 3; ++column)
                text->SetText(column, L"WWWW");
        }
        window.Settle();
    }

    CListHeaderUI* Header() const { return list->GetHeader(); }
    CControlUI* Column(int i) const { return Header()->GetItemAt(i); }
    const RECT& Cell(int i) const { return list->GetListInfo()->columns[i]; }
    const RECT& Row(int i) const { return list->GetItemAt(i)->GetPos(); }

    // Every column as the header item above it has it, and the rows as wide as the columns.
    void ExpectColumnsFollowTheHeader() const
    {
        const TListInfo& info = *list->GetListInfo();
        ASSERT_EQ(info.columnCount, Header()->GetCount());
        for (int i = 0; i < info.columnCount; ++i)
        {
            SCOPED_TRACE("column " + std::to_string(i));
            ExpectRect(Cell(i), Column(i)->GetPos());
        }
        for (int row = 0; row < list->GetCount(); ++row)
        {
            SCOPED_TRACE("row " + std::to_string(row));
            EXPECT_EQ(Row(row).left, Cell(0).left);
            EXPECT_EQ(Row(row).right, Cell(info.columnCount - 1).right);
        }
    }

    // Dark pixels the window shows in a row's part under a column.
    int TextPixelsIn(int row, int column) const
    {
        CCanvas canvas(kWidth, kHeight);
        HDC screen = ::GetDC(window.Get());
        ::BitBlt(canvas.Dc(), 0, 0, kWidth, kHeight, screen, 0, 0, SRCCOPY);
        ::ReleaseDC(window.Get(), screen);
        const RECT cell = {Cell(column).left, Row(row).top, Cell(column).right, Row(row).bottom};
        int dark = 0;
        for (int y = cell.top; y < cell.bottom; ++y)
        {
            for (int x = cell.left; x < cell.right; ++x)
            {
                if (x >= 0 && y >= 0 && x < kWidth && y < kHeight && NearColor(canvas.Rgb(x, y), 0, 0x60))
                    ++dark;
            }
        }
        return dark;
    }

    CShownWindow window;
    CListUI* list;
};

// Header items added to a list that is already shown: every column gets its rectangle, the rows
// take the columns' width, and each column's text is drawn in it; with the header shown or hidden.
TEST(ListHeaderInWindow, ItemsAddedToAShownListMakeColumnsTheRowsDrawIn)
{
    for (const bool hidden : {false, true})
    {
        SCOPED_TRACE(hidden ? "hidden header" : "shown header");
        ShownList shown(L"");
        shown.Header()->SetVisible(!hidden);
        shown.window.Settle();
        ASSERT_EQ(shown.list->GetListInfo()->columnCount, 0);
        for (int width : {60, 80, 100})
        {
            auto* column = new CListHeaderItemUI;
            column->SetFixedWidth(width);
            column->SetText(L"H");
            ASSERT_TRUE(shown.list->Add(column));
        }
        shown.window.Settle();

        shown.ExpectColumnsFollowTheHeader();
        EXPECT_EQ(shown.Cell(0).left, 0);
        EXPECT_EQ(shown.Cell(0).right, 60);
        EXPECT_EQ(shown.Cell(2).right, 240);
        EXPECT_EQ(shown.Row(0).top, hidden ? 0 : shown.Cell(0).bottom) << "rows start below a shown header";
        for (int column = 0; column < 3; ++column)
            EXPECT_GT(shown.TextPixelsIn(0, column), 0) << "no text in column " << column;
    }
}

// A column width set from code, with the list shown: the columns after it move and the rows
// follow.
TEST(ListHeaderInWindow, AWidthSetFromCodeReachesTheRows)
{
    ShownList shown(L"<ListHeader><ListHeaderItem width=\"60\" text=\"A\"/><ListHeaderItem width=\"80\" "
                    L"text=\"B\"/><ListHeaderItem width=\"100\" text=\"C\"/></ListHeader>");
    ASSERT_EQ(shown.Row(0).right, 240);

    shown.Column(1)->SetFixedWidth(120);
    shown.window.Settle();

    shown.ExpectColumnsFollowTheHeader();
    EXPECT_EQ(shown.Cell(1).left, 60);
    EXPECT_EQ(shown.Cell(1).right, 180);
    EXPECT_EQ(shown.Row(0).right, 280);
    for (int column = 0; column < 3; ++column)
        EXPECT_GT(shown.TextPixelsIn(1, column), 0) << "no text in column " << column;
}

// Scrolled sideways, a header laid out again (a width set from code) keeps the scroll: header,
// columns and rows stay together.
TEST(ListHeaderInWindow, ScrolledSidewaysHeaderAndRowsStayAligned)
{
    ShownList shown(L"<ListHeader><ListHeaderItem width=\"150\" text=\"A\"/><ListHeaderItem width=\"150\" "
                    L"text=\"B\"/><ListHeaderItem width=\"150\" text=\"C\"/></ListHeader>");
    ASSERT_TRUE(shown.list->GetHorizontalScrollBar() != NULL && shown.list->GetHorizontalScrollBar()->IsVisible());
    shown.list->SetScrollPos(CUISize(50, 0));
    shown.window.Settle();
    ASSERT_EQ(shown.Cell(0).left, -50);

    shown.Column(2)->SetFixedWidth(160);
    shown.window.Settle();

    EXPECT_EQ(shown.list->GetScrollPos().cx, 50);
    shown.ExpectColumnsFollowTheHeader();
    EXPECT_EQ(shown.Cell(0).left, -50);
    EXPECT_EQ(shown.Cell(2).right, -50 + 460);
    EXPECT_EQ(shown.Row(0).left, -50);
}

}  // namespace
