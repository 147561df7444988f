#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control_test_support.h"
#include "layout_test_support.h"
#include "tests/support/SkinFolder.h"
#include "ui/controls/ChildLayout.h"
#include "ui/controls/TabLayout.h"
#include "ui/controls/TileLayout.h"
#include "ui/builder/LayoutBuilder.h"

namespace
{
// ---- Tile layout ----

struct TTileCase
{
    const char* name;
    LPCWSTR attributes;  // for the layout
    int width;           // of the layout, 200 high, at (10,20)
    int children;        // 20 x 20 controls
    int hiddenChild;     // -1 for none
    int columns;
    std::vector<RECT> expected;  // every visible child, in order
};

TEST(TileLayout, CellsForFittingAndFixedColumns)
{
    const TTileCase cases[] = {
        {"three columns fit, spare width shared as the gap",
         L"",
         300,
         5,
         -1,
         3,
         {{10, 20, 90, 100},
          {120, 20, 200, 100},
          {230, 20, 310, 100},
          {10, 100, 90, 180},
          {120, 100, 200, 180}}},
        {"fixed columns with a gap",
         L"columns=\"2\" childpadding=\"10\"",
         300,
         3,
         -1,
         2,
         {{10, 20, 90, 100}, {100, 20, 180, 100}, {10, 100, 90, 180}}},
        {"fixed columns share the width",
         L"columns=\"2\"",
         300,
         2,
         -1,
         2,
         {{10, 20, 90, 100}, {230, 20, 310, 100}}},
        {"a hidden child leaves its cell empty",
         L"childvpadding=\"5\"",
         300,
         5,
         2,
         3,
         {{10, 20, 90, 100}, {120, 20, 200, 100}, {10, 105, 90, 185}, {120, 105, 200, 185}}},
        {"narrower than one cell: one column", L"", 50, 2, -1, 1, {{10, 20, 90, 100}, {10, 100, 90, 180}}},
        {"cell width 0: one column, no gap",
         L"itemsize=\"0,30\" childpadding=\"7\"",
         300,
         3,
         -1,
         1,
         {{10, 20, 10, 50}, {10, 50, 10, 80}, {10, 80, 10, 110}}},
        {"smaller cells: two fit, the rest of the width is the gap",
         L"itemsize=\"40,40\"",
         90,
         3,
         -1,
         2,
         {{10, 20, 50, 60}, {60, 20, 100, 60}, {10, 60, 50, 100}}},
    };
    for (const TTileCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTileLayoutUI tile;
        tile.ApplyAttributeList(c.attributes);
        std::vector<CControlUI*> children;
        for (int i = 0; i < c.children; ++i)
        {
            CControlUI* child = AddSized(&tile, 20, 20);
            if (i == c.hiddenChild)
                child->SetVisible(false);
            else
                children.push_back(child);
        }
        tile.SetPos(Rect(10, 20, 10 + c.width, 220));
        EXPECT_EQ(tile.GetColumns(), c.columns);
        ASSERT_EQ(children.size(), c.expected.size());
        for (size_t i = 0; i < children.size(); ++i)
        {
            SCOPED_TRACE(i);
            const RECT& e = c.expected[i];
            ExpectRect(children[i]->GetPos(), e.left, e.top, e.right, e.bottom);
        }
    }
}

TEST(TileLayout, MarginsAndMaximumSizeShrinkTheChildInsideItsCell)
{
    CTileLayoutUI tile;
    CControlUI* child = AddSized(&tile, 0, 0);
    child->SetPadding(5, 6, 7, 8);
    CControlUI* narrow = AddSized(&tile, 0, 0);
    narrow->SetMaxWidth(30);
    tile.SetPos(Rect(0, 0, 160, 100));
    // w = 80 - 12 = 68, h = 80 - 14 = 66; the edges move in by the margins once more.
    ExpectRect(child->GetPos(), 5, 6, 61, 58);
    ExpectRect(narrow->GetPos(), 80, 0, 110, 80);

    tile.ApplyAttributeList(L"childalign=\"center\" childvalign=\"bottom\"");
    narrow->SetMaxHeight(20);
    tile.SetPos(Rect(0, 0, 160, 100));
    ExpectRect(narrow->GetPos(), 105, 60, 135, 80);
}

TEST(TileLayout, GridWiderThanTheViewScrollsHorizontally)
{
    CManagerUI manager;
    CTileLayoutUI tile;
    tile.SetManager(&manager, NULL, false);
    tile.ApplyAttributeList(L"columns=\"2\" childpadding=\"10\" hscrollbar=\"true\"");
    AddSized(&tile, 0, 0);
    AddSized(&tile, 0, 0);
    tile.SetPos(Rect(0, 0, 150, 120));
    ASSERT_NE(tile.GetHorizontalScrollBar(), nullptr);
    EXPECT_TRUE(tile.GetHorizontalScrollBar()->IsVisible());
    EXPECT_EQ(tile.GetScrollRange().cx, 170 - 150) << "two cells of 80 and one gap of 10";
}

TEST(TileLayout, AttributesAndSetters)
{
    CTileLayoutUI tile;
    tile.ApplyAttributeList(L"itemsize=\"64,48\" columns=\"4\" childvpadding=\"-3\"");
    EXPECT_EQ(tile.GetItemSize().cx, 64);
    EXPECT_EQ(tile.GetItemSize().cy, 48);
    EXPECT_EQ(tile.GetFixedColumns(), 4);
    EXPECT_EQ(tile.GetChildVPadding(), 0);
    tile.SetColumns(-1);
    EXPECT_EQ(tile.GetFixedColumns(), 4) << "negative column counts are ignored";
    EXPECT_NE(tile.FindInterface(L"TileLayout"), nullptr);
    EXPECT_NE(tile.FindInterface(L"IContainer"), nullptr);
}

// ---- Tab layout ----

class TabLayoutTest : public testing::Test
{
protected:
    void SetUp() override
    {
        manager.AddNotifier(&notes);
        tab = new CTabLayoutUI;
        manager.AttachRoot(tab);
        for (int i = 0; i < 3; ++i)
            pages.push_back(AddSized(tab, 0, 0));
    }

    // The "tabselect" notifications received (focus changes come as well).
    std::vector<CNotifyRecorder::TRecord> TabSelects() const
    {
        std::vector<CNotifyRecorder::TRecord> found;
        for (const CNotifyRecorder::TRecord& record : notes.records)
            if (record.type == L"tabselect")
                found.push_back(record);
        return found;
    }

    // Which pages are visible, as a string of 0 and 1.
    std::string Shown() const
    {
        std::string shown;
        for (int i = 0; i < tab->GetCount(); ++i)
            shown += tab->GetItemAt(i)->IsVisible() ? '1' : '0';
        return shown;
    }

    CManagerUI manager;
    CNotifyRecorder notes;
    CTabLayoutUI* tab;  // owned by the manager
    std::vector<CControlUI*> pages;
};

TEST_F(TabLayoutTest, FirstPageShownAndSelectingAnotherAnnouncesIt)
{
    EXPECT_EQ(tab->GetCurSel(), 0);
    EXPECT_EQ(Shown(), "100");
    ASSERT_TRUE(tab->SelectItem(2, true));
    EXPECT_EQ(tab->GetCurSel(), 2);
    EXPECT_EQ(Shown(), "001");
    const std::vector<CNotifyRecorder::TRecord> selects = TabSelects();
    ASSERT_EQ(selects.size(), 1u);
    EXPECT_EQ(selects[0].sender, tab);
    EXPECT_EQ(selects[0].wParam, 2u);
    EXPECT_EQ(selects[0].lParam, 0);

    EXPECT_TRUE(tab->SelectItem(2, true)) << "the current page again";
    EXPECT_FALSE(tab->SelectItem(3, true));
    EXPECT_FALSE(tab->SelectItem(-1, true));
    EXPECT_TRUE(tab->SelectItem(1, false));
    EXPECT_EQ(TabSelects().size(), 1u) << "no notification for the same page, a bad index or without notify";
    EXPECT_EQ(Shown(), "010");
}

struct TPageChange
{
    const char* name;
    int selectFirst;
    // What is done: remove the page at index (remove >= 0), else insert a new
    // page at index insertAt, else remove all.
    int remove;
    int insertAt;
    int selectionAfter;
    std::string shownAfter;
};

TEST_F(TabLayoutTest, SelectionAfterPagesAreAddedAndRemoved)
{
    const TPageChange cases[] = {
        {"removing the current page selects the first", 1, 1, -1, 0, "10"},
        {"removing the first while it is current shows the next", 0, 0, -1, 0, "10"},
        {"removing a page before the current keeps the page", 2, 0, -1, 1, "01"},
        {"removing a page after the current", 0, 2, -1, 0, "10"},
        {"inserting before the current page keeps the page", 1, -1, 0, 2, "0010"},
        {"inserting at the current index keeps the page", 1, -1, 1, 2, "0010"},
        {"inserting after the current page", 1, -1, 2, 1, "0100"},
        {"appending", 0, -1, 3, 0, "1000"},
        {"removing all", 1, -1, -1, -1, ""},
    };
    for (const TPageChange& c : cases)
    {
        SCOPED_TRACE(c.name);
        tab->RemoveAll();
        for (int i = 0; i < 3; ++i)
            AddSized(tab, 0, 0);
        ASSERT_TRUE(tab->SelectItem(c.selectFirst, false));
        notes.records.clear();
        if (c.remove >= 0)
            ASSERT_TRUE(tab->RemoveAt(c.remove));
        else if (c.insertAt >= 0)
            ASSERT_TRUE(tab->AddAt(new CSizedControl, c.insertAt));
        else
            tab->RemoveAll();
        EXPECT_EQ(tab->GetCurSel(), c.selectionAfter);
        EXPECT_EQ(Shown(), c.shownAfter);
        EXPECT_TRUE(TabSelects().empty()) << "changing the pages sends no tabselect";
    }
}

TEST_F(TabLayoutTest, OnlyTheCurrentPageIsPlacedWithinTheInsetAndItsMargins)
{
    tab->SetInset(4, 4, 4, 4);
    pages[1]->SetPadding(2, 3, 0, 0);
    pages[1]->SetFixedHeight(50);
    tab->SelectItem(1, false);
    tab->SetPos(Rect(0, 0, 100, 100));
    ExpectRect(pages[1]->GetPos(), 6, 7, 96, 57);
}

TEST(TabLayout, SelectedIdFromMarkupFindsThePagesInPlace)
{
    CManagerUI manager;
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><TabLayout selectedid=\"1\"><Control/><Control/><Control/></TabLayout></Window>", NULL,
        &manager);
    ASSERT_NE(root, nullptr);
    CTabLayoutUI* tab = static_cast<CTabLayoutUI*>(root->FindInterface(L"TabLayout"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->GetCurSel(), 1);
    EXPECT_FALSE(tab->GetItemAt(0)->IsVisible());
    EXPECT_TRUE(tab->GetItemAt(1)->IsVisible());
    EXPECT_STREQ(tab->GetCustomAttribute(L"selectedid"), L"1") << "the value goes on to the container";
    root->Delete();
}

// ---- Child layout ----

class ChildLayoutTest : public testing::Test
{
protected:
    ChildLayoutTest() : skin(L"childlayout") {}

    void Write(const wchar_t* name, const char* xml)
    {
        HANDLE file = ::CreateFileW((skin.Path() + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, xml, static_cast<DWORD>(strlen(xml)), &written, NULL);
        ::CloseHandle(file);
    }

    // Builds a window whose root holds one child layout of the file, and attaches it.
    CChildLayoutUI* AttachLayoutOf(const wchar_t* file)
    {
        std::wstring xml = L"<Window><VerticalLayout><ChildLayout name=\"top\" xmlfile=\"";
        xml += file;
        xml += L"\"/></VerticalLayout></Window>";
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(xml.c_str(), NULL, &manager);
        manager.AttachRoot(root);
        return static_cast<CChildLayoutUI*>(manager.FindControlByName(L"top"));
    }

    CSkinFolder skin;
    CManagerUI manager;
};

TEST_F(ChildLayoutTest, BuildsItsFileWhenAttached)
{
    Write(L"part.xml",
          "<Window><HorizontalLayout><Button name=\"inside\"/><Label/></HorizontalLayout></Window>");
    CChildLayoutUI* layout = AttachLayoutOf(L"part.xml");
    ASSERT_NE(layout, nullptr);
    ASSERT_EQ(layout->GetCount(), 1);
    EXPECT_STREQ(layout->GetItemAt(0)->GetClassName(), L"HorizontalLayout");
    EXPECT_NE(manager.FindControlByName(L"inside"), nullptr)
        << "built controls are registered with the window";
    EXPECT_STREQ(layout->GetBuildMessage(), L"");

    layout->Init();
    EXPECT_EQ(layout->GetCount(), 1) << "initialising again replaces the content";
    EXPECT_EQ(layout->FindInterface(L"IContainer"), nullptr);
    EXPECT_EQ(layout->FindInterface(L"Container"), nullptr);
}

TEST_F(ChildLayoutTest, MissingFileLeavesItEmpty)
{
    CChildLayoutUI* layout = AttachLayoutOf(L"missing.xml");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetCount(), 0);
    EXPECT_STRNE(layout->GetBuildMessage(), L"");
}

// The controls never reach up to the builder: a child layout made in code has
// no way to build its file until one is handed to it.
TEST_F(ChildLayoutTest, WithoutContentBuilderStaysEmptyAndSaysWhy)
{
    Write(L"part.xml", "<Window><Button name=\"inside\"/></Window>");
    CChildLayoutUI* layout = new CChildLayoutUI;
    layout->SetChildLayoutXML(L"part.xml");
    manager.AttachRoot(layout);
    layout->Init();
    EXPECT_EQ(layout->GetCount(), 0);
    EXPECT_NE(std::wstring(layout->GetBuildMessage()).find(L"nothing builds"), std::wstring::npos)
        << layout->GetBuildMessage();

    layout->SetContentBuilder(
        [](LPCWSTR file, CManagerUI* owner, CUIString& message) -> CControlUI* {
            CLayoutBuilder builder;
            CControlUI* content = builder.Create(file, NULL, owner);
            message = builder.GetLastErrorMessage();
            return content;
        });
    layout->Init();
    ASSERT_EQ(layout->GetCount(), 1);
    EXPECT_STREQ(layout->GetItemAt(0)->GetClassName(), L"Button");
}

// A file that contains itself, directly or through another child layout,
// is built once; the inner layout that would build it again stays empty and
// says why.
TEST_F(ChildLayoutTest, FileContainingItselfIsBuiltOnce)
{
    Write(L"self.xml", "<Window><VerticalLayout><ChildLayout name=\"again\" "
                       "xmlfile=\"SELF.xml\"/></VerticalLayout></Window>");
    Write(L"a.xml",
          "<Window><VerticalLayout><ChildLayout name=\"b\" xmlfile=\"b.xml\"/></VerticalLayout></Window>");
    Write(L"b.xml",
          "<Window><VerticalLayout><ChildLayout name=\"a\" xmlfile=\"a.xml\"/></VerticalLayout></Window>");
    struct
    {
        const wchar_t* file;
        const wchar_t* innermost;
    } const cases[] = {{L"self.xml", L"again"}, {L"a.xml", L"a"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.file)));
        CChildLayoutUI* layout = AttachLayoutOf(c.file);
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(layout->GetCount(), 1);
        CChildLayoutUI* inner = static_cast<CChildLayoutUI*>(manager.FindControlByName(c.innermost));
        ASSERT_NE(inner, nullptr);
        EXPECT_EQ(inner->GetCount(), 0);
        EXPECT_NE(std::wstring(inner->GetBuildMessage()).find(L"contains itself"), std::wstring::npos)
            << testing::PrintToString(std::wstring(inner->GetBuildMessage()));
    }
}
}  // namespace
