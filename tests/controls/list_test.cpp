#include "list_test_support.h"

#include <functional>

namespace
{
// Every control added to a list lands in the header, in the header's
// columns or in the body, and a row learns its owner and index there.
TEST(ListChildren, RoutedToHeaderHeaderItemsOrBody)
{
    CListFixture f(0);
    CListHeaderUI* skinHeader = new CListHeaderUI;
    CListHeaderItemUI* first = new CListHeaderItemUI;
    CListHeaderItemUI* second = new CListHeaderItemUI;
    CListLabelElementUI* row = new CListLabelElementUI;
    CControlUI* plain = new CControlUI;

    struct TCase
    {
        const char* what;
        CControlUI* control;
        std::function<CControlUI*()> expectedParent;
        int expectedIndex;
    };
    const TCase cases[] = {
        {"a header replaces the empty one", skinHeader, [&] { return static_cast<CControlUI*>(f.list); }, 0},
        {"a header item joins the header", first,
         [&] { return static_cast<CControlUI*>(f.list->GetHeader()); }, 0},
        {"the next one follows it", second, [&] { return static_cast<CControlUI*>(f.list->GetHeader()); }, 1},
        {"a row goes to the body", row, [&] { return static_cast<CControlUI*>(f.list->GetList()); }, 0},
        {"so does any other control", plain, [&] { return static_cast<CControlUI*>(f.list->GetList()); }, 1},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(f.list->Add(c.control));
        EXPECT_EQ(c.control->GetParent(), c.expectedParent());
        EXPECT_EQ(f.list->GetItemIndex(c.control), c.expectedIndex);
    }
    EXPECT_EQ(f.list->GetHeader(), skinHeader);
    EXPECT_EQ(f.list->GetListInfo()->columnCount, 2);
    EXPECT_EQ(f.list->GetCount(), 2) << "the list counts its rows only";
    EXPECT_EQ(f.list->GetItemAt(0), row);
    EXPECT_EQ(row->GetIndex(), 0);
    EXPECT_EQ(row->GetOwner(), static_cast<IListOwnerUI*>(f.list));
}

// One header per list: once the header has columns, another is refused
// (and the builder deletes what it could not add).
TEST(ListChildren, SecondHeaderIsRefused)
{
    CListFixture f(1);
    ASSERT_TRUE(f.list->Add(new CListHeaderItemUI));
    CListHeaderUI* header = f.list->GetHeader();
    CListHeaderUI* second = new CListHeaderUI;
    EXPECT_FALSE(f.list->Add(second));
    EXPECT_FALSE(f.list->Add(header)) << "the header is already there";
    EXPECT_EQ(f.list->GetHeader(), header);
    delete second;

    CLayoutBuilder builder;
    CManagerUI manager;
    CControlUI* built =
        builder.Create(L"<Window><List><ListHeader><ListHeaderItem text=\"a\"/></ListHeader>"
                       L"<ListHeader><ListHeaderItem text=\"b\"/></ListHeader><ListLabelElement "
                       L"text=\"r\"/></List></Window>",
                       NULL, &manager);
    ASSERT_NE(built, nullptr);
    CListUI* list = static_cast<CListUI*>(built->FindInterface(L"List"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetHeader()->GetCount(), 1);
    EXPECT_EQ(list->GetHeader()->GetItemAt(0)->GetText(), CUIString(L"a"));
    EXPECT_EQ(list->GetCount(), 1);
    built->Delete();
}

// The selected and the expanded row are indexes: after every insertion,
// removal and move they still name the rows they named, and every row knows
// its new position.
TEST(ListChildren, SelectionAndExpansionFollowTheirRows)
{
    struct TCase
    {
        const char* what;
        std::function<void(CListUI&)> change;
        int selected;  // row (by original number) expected selected, -1 none
        int expanded;  // row expected expanded, -1 none
    };
    const TCase cases[] = {
        {"insert at the front", [](CListUI& l) { l.AddAt(new CListContainerElementUI, 0); }, 2, 3},
        {"insert between them", [](CListUI& l) { l.AddAt(new CListContainerElementUI, 3); }, 2, 3},
        {"insert at the end", [](CListUI& l) { l.AddAt(new CListContainerElementUI, 5); }, 2, 3},
        {"remove the first", [](CListUI& l) { l.RemoveAt(0); }, 2, 3},
        {"remove the last", [](CListUI& l) { l.RemoveAt(4); }, 2, 3},
        {"remove the expanded row", [](CListUI& l) { l.RemoveAt(3); }, 2, -1},
        // The row now at the removed index is the nearest selectable one at
        // or before it.
        {"remove the selected row", [](CListUI& l) { l.Remove(l.GetItemAt(2)); }, 3, 3},
        {"move the selected row up", [](CListUI& l) { l.SetItemIndex(l.GetItemAt(2), 0); }, 2, 3},
        {"move the first row down", [](CListUI& l) { l.SetItemIndex(l.GetItemAt(0), 4); }, 2, 3},
        {"move a run to the front", [](CListUI& l) { l.SetMultiItemIndex(l.GetItemAt(3), 2, 0); }, 2, 3},
        {"remove all", [](CListUI& l) { l.RemoveAll(); }, -1, -1},
    };
    for (const TCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CManagerUI manager;
        CListUI* list = new CListUI;
        list->GetListInfo()->itemHeight = 20;
        std::vector<CControlUI*> original;
        for (int i = 0; i < 5; ++i)
        {
            CListContainerElementUI* row = new CListContainerElementUI;
            row->SetExpandable(true);
            list->Add(row);
            original.push_back(row);
        }
        manager.AttachRoot(list);
        ASSERT_TRUE(list->SelectItem(2));
        ASSERT_TRUE(list->ExpandItem(3));

        c.change(*list);

        for (int i = 0; i < list->GetCount(); ++i)
            EXPECT_EQ(AsListItem(list->GetItemAt(i))->GetIndex(), i) << "row at " << i;
        if (c.selected < 0)
            EXPECT_EQ(list->GetCurSel(), -1);
        else
        {
            ASSERT_GE(list->GetCurSel(), 0);
            EXPECT_EQ(list->GetItemAt(list->GetCurSel()), original[c.selected]);
            EXPECT_TRUE(AsListItem(original[c.selected])->IsSelected());
        }
        if (c.expanded < 0)
            EXPECT_EQ(list->GetExpandedItem(), -1);
        else
        {
            ASSERT_GE(list->GetExpandedItem(), 0);
            EXPECT_EQ(list->GetItemAt(list->GetExpandedItem()), original[c.expanded]);
        }
    }
}

// Expanding through the list and through the row ends the same way: that
// row expanded, the one before collapsed, each told once.
TEST(ListExpansion, OneRowExpandedAtATime)
{
    CManagerUI manager;
    CNotifyRecorder notes;
    manager.AddNotifier(&notes);
    CListUI* list = new CListUI;
    CListContainerElementUI* rows[3];
    for (CListContainerElementUI*& row : rows)
    {
        row = new CListContainerElementUI;
        row->SetExpandable(true);
        list->Add(row);
    }
    manager.AttachRoot(list);

    ASSERT_TRUE(list->ExpandItem(0));
    ASSERT_TRUE(rows[2]->Expand(true));
    EXPECT_FALSE(rows[0]->IsExpanded());
    EXPECT_TRUE(rows[2]->IsExpanded());
    EXPECT_EQ(list->GetExpandedItem(), 2);
    ASSERT_TRUE(list->ExpandItem(2)) << "expanding the expanded row again";
    EXPECT_TRUE(rows[2]->IsExpanded());

    std::vector<std::wstring> kinds;
    for (const CNotifyRecorder::TRecord& record : notes.records)
        kinds.push_back(record.type);
    EXPECT_EQ(kinds, (std::vector<std::wstring>{L"itemexpand", L"itemcollapse", L"itemexpand"}));

    list->GetListInfo()->multiExpandable = true;
    ASSERT_TRUE(list->ExpandItem(1));
    EXPECT_TRUE(rows[1]->IsExpanded());
    EXPECT_TRUE(rows[2]->IsExpanded()) << "several rows may be open";
    EXPECT_FALSE(list->ExpandItem(7)) << "no such row";
}

// A row that was disabled while selected still gives the selection up.
TEST(ListSelection, DisabledRowIsDeselected)
{
    CListFixture f(3);
    ASSERT_TRUE(f.list->SelectItem(1));
    f.list->GetItemAt(1)->SetEnabled(false);
    ASSERT_TRUE(f.list->SelectItem(2));
    EXPECT_FALSE(f.Row(1)->IsSelected());
    EXPECT_TRUE(f.Row(2)->IsSelected());
    EXPECT_FALSE(f.list->SelectItem(1)) << "a disabled row cannot be selected";
    EXPECT_EQ(f.list->GetCurSel(), -1);
    EXPECT_EQ(f.Notes(L"itemselect"), (std::vector<std::string>{"1/-1", "2/1"}));
}

TEST(ListSelection, HidingTheSelectedRowClearsTheSelectionQuietly)
{
    CListFixture f(3);
    ASSERT_TRUE(f.list->SelectItem(1));
    f.list->GetItemAt(1)->SetVisible(false);
    EXPECT_EQ(f.list->GetCurSel(), -1);
    EXPECT_FALSE(f.Row(1)->IsSelected());
    EXPECT_EQ(f.Notes(L"itemselect").size(), 1u);
    EXPECT_FALSE(f.list->SelectItem(1)) << "hidden rows cannot be selected";
}

// The markup vocabulary of lists: the attributes reach the shared look.
TEST(ListMarkup, AttributesReachTheLook)
{
    CManagerUI manager;
    CLayoutBuilder builder;
    CControlUI* built = builder.Create(
        L"<Window><List header=\"hidden\" itemheight=\"24\" itemfont=\"2\" itemalign=\"right\" "
        L"itemvalign=\"bottom\""
        L" itemendellipsis=\"true\" itemtextpadding=\"1,2,3,4\" itemtextcolor=\"#FF112233\" "
        L"itembkcolor=\"#FF445566\""
        L" itemaltbk=\"true\" itemselectedbkcolor=\"#FF010203\" itemhotbkcolor=\"#FF040506\""
        L" itemdisabledtextcolor=\"#FF070809\" itemhlinesize=\"1\" itemhlinecolor=\"#FFABCDEF\" "
        L"itemvlinesize=\"2\""
        L" itemshowhtml=\"true\" multiexpanding=\"true\" scrollselect=\"true\" vscrollbar=\"true\">"
        L"<ListHeader height=\"30\"><ListHeaderItem text=\"A\" width=\"80\" sepwidth=\"-3\"/></ListHeader>"
        L"<ListTextElement/><ListLabelElement selected=\"false\"/><ListContainerElement expandable=\"true\"/>"
        L"<ListHBoxElement/></List></Window>",
        NULL, &manager);
    ASSERT_NE(built, nullptr);
    ASSERT_TRUE(manager.AttachRoot(built));
    CListUI* list = static_cast<CListUI*>(built->FindInterface(L"List"));
    ASSERT_NE(list, nullptr);
    const TListInfo& info = *list->GetListInfo();
    EXPECT_EQ(info.itemHeight, 24);
    EXPECT_EQ(info.font, 2);
    EXPECT_EQ(info.textStyle, static_cast<UINT>(DT_RIGHT | DT_BOTTOM | DT_SINGLELINE | DT_END_ELLIPSIS));
    const RECT padding = Rect(1, 2, 3, 4);
    EXPECT_TRUE(::EqualRect(&info.textPadding, &padding));
    EXPECT_EQ(info.textColor, 0xFF112233u);
    EXPECT_EQ(info.bkColor, 0xFF445566u);
    EXPECT_TRUE(info.alternateBk);
    EXPECT_EQ(info.selectedBkColor, 0xFF010203u);
    EXPECT_EQ(info.hotBkColor, 0xFF040506u);
    EXPECT_EQ(info.disabledTextColor, 0xFF070809u);
    EXPECT_EQ(info.hLineSize, 1);
    EXPECT_EQ(info.hLineColor, 0xFFABCDEFu);
    EXPECT_EQ(info.vLineSize, 2);
    EXPECT_TRUE(info.showHtml);
    EXPECT_TRUE(info.multiExpandable);
    EXPECT_TRUE(list->IsScrollSelect());
    EXPECT_FALSE(list->GetHeader()->IsVisible());
    EXPECT_NE(list->GetVerticalScrollBar(), nullptr) << "the body's bar";
    EXPECT_EQ(list->GetList()->GetVerticalScrollBar(), list->GetVerticalScrollBar());

    ASSERT_EQ(list->GetCount(), 4);
    const wchar_t* classes[] = {L"ListTextElement", L"ListLabelElement", L"ListContainerElement",
                                L"ListHBoxElement"};
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ(list->GetItemAt(i)->GetClassName(), classes[i]);
    EXPECT_EQ(list->GetCurSel(), 1) << "\"selected\" selects whatever its value";
    CListContainerElementUI* container =
        static_cast<CListContainerElementUI*>(list->GetItemAt(2)->FindInterface(L"ListContainerElement"));
    EXPECT_TRUE(container->IsExpandable());
    CListHeaderItemUI* column =
        static_cast<CListHeaderItemUI*>(list->GetHeader()->GetItemAt(0)->FindInterface(L"ListHeaderItem"));
    EXPECT_EQ(column->GetSepWidth(), -3);

    // A hidden header still lays out its columns.
    list->SetPos(CUIRect(10, 10, 210, 110));
    EXPECT_EQ(info.columnCount, 1);
    const RECT column0 = Rect(10, 10, 90, 40);
    EXPECT_TRUE(::EqualRect(&info.columns[0], &column0));
}

// "itemmultiline" turns wrapping on, and back to one line without
// touching word breaking.
TEST(ListMarkup, MultiLineAttribute)
{
    CListUI list;
    list.SetAttribute(L"itemmultiline", L"true");
    EXPECT_EQ(list.GetListInfo()->textStyle & (DT_SINGLELINE | DT_WORDBREAK),
              static_cast<UINT>(DT_WORDBREAK));
    list.SetAttribute(L"itemmultiline", L"false");
    EXPECT_EQ(list.GetListInfo()->textStyle & (DT_SINGLELINE | DT_WORDBREAK),
              static_cast<UINT>(DT_SINGLELINE | DT_WORDBREAK));
}
}  // namespace
