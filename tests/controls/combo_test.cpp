#include "list_test_support.h"

#include "ui/controls/Button.h"
#include "ui/controls/Combo.h"
#include "ui/controls/ComboWnd.h"
#include "ui/manager/ManagerAccessible.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestWindow.h"

#include <functional>

namespace
{
// ---- Without a window ----

class CComboRows
{
public:
    explicit CComboRows(int rows) : combo(new CComboUI)
    {
        combo->GetListInfo()->itemHeight = 20;
        for (int i = 0; i < rows; ++i)
        {
            CListLabelElementUI* row = new CListLabelElementUI;
            row->SetText((L"item " + std::to_wstring(i)).c_str());
            combo->Add(row);
        }
        manager.AttachRoot(combo);
        manager.AddNotifier(&notes);
        combo->SetPos(CUIRect(0, 0, 150, 24));
    }

    CManagerUI manager;
    CComboUI* combo;
    CNotifyRecorder notes;
};

TEST(Combo, SelectionByIndexKeysAndWheel)
{
    CComboRows c(3);
    EXPECT_TRUE(c.combo->SelectItem(10)) << "past the end selects the last row";
    EXPECT_EQ(c.combo->GetCurSel(), 2);
    EXPECT_EQ(c.combo->GetText(), CUIString(L"item 2"));

    struct TCase
    {
        const char* what;
        int start;
        TControlEvent event;
        int expected;
    };
    const TCase cases[] = {
        {"up", 1, KeyDown(VK_UP), 0},
        {"up from the first", 0, KeyDown(VK_UP), 0},
        {"page down", 0, KeyDown(VK_NEXT), 1},
        {"end", 0, KeyDown(VK_END), 2},
        {"home", 2, KeyDown(VK_HOME), 0},
        {"wheel down", 0, MakeEvent(EventScrollWheel, 5, 5, 1), 1},
        {"wheel up", 2, MakeEvent(EventScrollWheel, 5, 5, 0), 1},
        {"another key", 1, KeyDown(VK_LEFT), 1},
    };
    for (const TCase& k : cases)
    {
        SCOPED_TRACE(k.what);
        c.combo->SelectItem(k.start);
        TControlEvent event = k.event;
        c.combo->DispatchEvent(event);
        EXPECT_EQ(c.combo->GetCurSel(), k.expected);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(AsListItem(c.combo->GetItemAt(i))->IsSelected(), i == k.expected) << "row " << i;
    }

    c.combo->SelectItem(0);
    c.combo->GetItemAt(1)->SetEnabled(false);
    EXPECT_FALSE(c.combo->SelectItem(1));
    EXPECT_EQ(c.combo->GetCurSel(), -1);
    EXPECT_FALSE(c.combo->ExpandItem(0, true)) << "combos do not expand rows";
}

TEST(Combo, RemovingTheSelectedRowSelectsTheOneInItsPlace)
{
    CComboRows c(3);
    c.combo->SelectItem(1);
    c.combo->RemoveAt(1);
    EXPECT_EQ(c.combo->GetCurSel(), 1);
    EXPECT_EQ(c.combo->GetText(), CUIString(L"item 2"));
    EXPECT_EQ(AsListItem(c.combo->GetItemAt(1))->GetIndex(), 1);
    c.combo->AddAt(new CListLabelElementUI, 0);
    EXPECT_EQ(c.combo->GetCurSel(), 2);
    EXPECT_EQ(c.combo->GetText(), CUIString(L"item 2"));
}

class CTextCounter : public CListLabelElementUI
{
public:
    void DrawItemText(HDC hDC, const RECT& rc) override
    {
        ++draws;
        lastRect = rc;
        CListLabelElementUI::DrawItemText(hDC, rc);
    }
    int draws = 0;
    RECT lastRect = {};
};

// The box shows the selected row in its padding, unless told not to.
TEST(Combo, BoxPaintsTheSelectedRow)
{
    CManagerUI manager;
    CComboUI* combo = new CComboUI;
    CTextCounter* row = new CTextCounter;
    combo->Add(row);
    combo->SetAttribute(L"textpadding", L"4,2,20,2");
    manager.AttachRoot(combo);
    combo->SetPos(CUIRect(0, 0, 150, 24));
    combo->SelectItem(0);
    CCanvas canvas(150, 24, 0xFFFFFF);
    combo->Paint(canvas.Dc(), combo->GetPos(), NULL);
    EXPECT_EQ(row->draws, 1);
    ExpectRect(row->lastRect, Rect(4, 2, 130, 22));
    ExpectRect(row->GetPos(), Rect(0, 0, 0, 0));  // closed, the rows are not laid out

    combo->SetAttribute(L"showtext", L"false");
    combo->Paint(canvas.Dc(), combo->GetPos(), NULL);
    EXPECT_EQ(row->draws, 1);
}

TEST(Combo, Markup)
{
    CManagerUI manager;
    CLayoutBuilder builder;
    CControlUI* built = builder.Create(
        L"<Window><ComboBox dropboxsize=\"200,90\" dropbox=\"bkcolor=&quot;#FF00FF00&quot;\" "
        L"itemheight=\"18\""
        L" itemalign=\"center\" itemvalign=\"bottom\" itemselectedbkcolor=\"#FF112233\" "
        L"textpadding=\"1,2,3,4\">"
        L"<ListLabelElement text=\"a\"/><ListLabelElement text=\"b\" selected=\"true\"/></ComboBox></Window>",
        NULL, &manager);
    ASSERT_NE(built, nullptr);
    CComboUI* combo = static_cast<CComboUI*>(built->FindInterface(L"Combo"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetDropBoxSize().cx, 200);
    EXPECT_EQ(combo->GetDropBoxSize().cy, 90);
    EXPECT_STREQ(combo->GetDropBoxAttributeList(), L"bkcolor=\"#FF00FF00\"");
    EXPECT_EQ(combo->GetListInfo()->itemHeight, 18);
    EXPECT_EQ(combo->GetListInfo()->selectedBkColor, 0xFF112233u);
    EXPECT_EQ(combo->GetListInfo()->textStyle, static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE))
        << "a combo has no vertical alignment of its own";
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(combo->GetText(), CUIString(L"b"));
    built->Delete();
}

// ---- In a real window ----

const int kLeft = 100;
const int kTop = 100;

// A key pressed in a window of this thread. Posted rather than typed, so
// that it reaches the window the test means whichever window the system
// thinks is in front.
void Key(HWND target, WORD key)
{
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

template <class TDone> bool PumpUntil(TDone done, DWORD ms = 3000)
{
    const DWORD start = ::GetTickCount();
    while (!done())
    {
        if (::GetTickCount() - start > ms)
            return false;
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            if (!CManagerUI::PreTranslateMessage(&msg))
            {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        ::Sleep(5);
    }
    return true;
}

void Pump(DWORD ms = 100)
{
    PumpUntil([] { return false; }, ms);
}

// A window with a combo of three rows 20 high at 10,10 - 160,34.
class ComboWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        ::SetWindowPos(host.Get(), HWND_TOPMOST, kLeft, kTop, 300, 250, SWP_SHOWWINDOW);
        root = new CContainerUI;
        root->SetBkColor(0xFFFFFFFF);
        combo = new CComboUI;
        combo->SetFloat(true);
        combo->SetAttribute(L"pos", L"10,10,160,34");
        combo->GetListInfo()->itemHeight = 20;
        for (int i = 0; i < 3; ++i)
        {
            CListLabelElementUI* row = new CListLabelElementUI;
            row->SetText((L"item " + std::to_wstring(i)).c_str());
            combo->Add(row);
            rows.push_back(row);
        }
        root->Add(combo);
        manager.AttachRoot(root);
        manager.AddNotifier(&notes);
        ::SetForegroundWindow(host.Get());
        Pump();
    }

    HWND DropDownWindow() const
    {
        return combo->GetDropDown() != NULL ? combo->GetDropDown()->GetHWND() : NULL;
    }
    bool Open() const { return DropDownWindow() != NULL && ::IsWindowVisible(DropDownWindow()); }
    bool Closed() const { return combo->GetDropDown() == NULL; }
    int Count(const wchar_t* type) const
    {
        int n = 0;
        for (const CNotifyRecorder::TRecord& record : notes.records)
            n += record.type == type ? 1 : 0;
        return n;
    }
    // Every row is the combo's again, in its window.
    void ExpectRowsReturned() const
    {
        for (CControlUI* row : rows)
        {
            EXPECT_EQ(row->GetParent(), combo);
            EXPECT_EQ(row->GetManager(), &manager);
            // No rectangle of the drop-down stays behind, where the row would catch clicks.
            ExpectRect(row->GetPos(), Rect(0, 0, 0, 0));
        }
    }
    void OpenWithClick()
    {
        ClickAt(kLeft + 80, kTop + 20);
        ASSERT_TRUE(PumpUntil([this] { return Open(); }));
        Pump(50);
        ASSERT_TRUE(Open());
    }

    CManagerUI manager;
    CHostWindow host{manager, 300, 250, true};
    CContainerUI* root = NULL;
    CComboUI* combo = NULL;
    std::vector<CControlUI*> rows;
    CNotifyRecorder notes;
};

TEST_F(ComboWindow, ClickOpensBelowAndAClickedRowIsSelected)
{
    OpenWithClick();
    if (HasFatalFailure())
        return;
    EXPECT_EQ(Count(L"dropdown"), 1);
    RECT drop;
    ::GetWindowRect(DropDownWindow(), &drop);
    ExpectRect(drop, Rect(kLeft + 10, kTop + 34, kLeft + 160, kTop + 34 + 64));
    EXPECT_EQ(rows[0]->GetParent(), combo->GetDropDown()->GetBody());
    EXPECT_EQ(rows[0]->GetManager(), &combo->GetDropDown()->GetManager());
    combo->SetPos(combo->GetPos());
    ExpectRect(rows[1]->GetPos(), Rect(1, 21, 149, 41));  // a layout of the window leaves the open rows alone

    ClickAt(drop.left + 50, drop.top + 1 + 20 + 10);
    ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(Count(L"itemselect"), 1);
    EXPECT_EQ(::FindWindowW(L"ComboWnd", NULL), (HWND)NULL);
    ExpectRowsReturned();
    EXPECT_EQ(manager.GetFocus(), combo) << "the combo takes the focus back";
}

// However the drop-down closed, a click on the closed box opens it again: no row answers for the box.
TEST_F(ComboWindow, AClickOnTheClosedBoxOpensItAgainHoweverItClosed)
{
    struct
    {
        const char* way;
        std::function<void()> close;
    } ways[] = {
        {"a click on a row",
         [this] {
             RECT drop;
             ::GetWindowRect(DropDownWindow(), &drop);
             ClickAt(drop.left + 50, drop.top + 1 + 10);
         }},
        {"Return", [this] { Key(DropDownWindow(), VK_RETURN); }},
        {"Escape", [this] { Key(DropDownWindow(), VK_ESCAPE); }},
        {"a click elsewhere in the window", [] { ClickAt(kLeft + 250, kTop + 200); }},
        {"the focus going to the window", [this] { ::SetFocus(host.Get()); }},
    };
    for (const auto& way : ways)
    {
        SCOPED_TRACE(way.way);
        OpenWithClick();
        if (HasFatalFailure())
            return;
        way.close();
        ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
        // Long enough that the click below is not the second half of a double click with the one
        // that opened the drop-down.
        Pump(::GetDoubleClickTime() + 50);
        ExpectRowsReturned();
        EXPECT_EQ(manager.FindControlAt(POINT{80, 20}), combo);

        const int opened = Count(L"dropdown");
        const int selected = combo->GetCurSel();
        ClickAt(kLeft + 80, kTop + 20);
        EXPECT_TRUE(PumpUntil([this] { return Open(); })) << "the click opens the drop-down";
        EXPECT_EQ(Count(L"dropdown"), opened + 1);
        EXPECT_EQ(combo->GetCurSel(), selected) << "and selects nothing";
        Key(DropDownWindow(), VK_ESCAPE);
        ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
        // The next click on the same spot must not make a double click with this one.
        Pump(::GetDoubleClickTime() + 50);
    }
}

TEST_F(ComboWindow, KeysOpenMoveAndEscapeRestores)
{
    combo->SelectItem(1);
    combo->SetFocus();
    Key(host.Get(), VK_F4);
    ASSERT_TRUE(PumpUntil([this] { return Open(); }));
    Key(DropDownWindow(), VK_DOWN);
    ASSERT_TRUE(PumpUntil([this] { return combo->GetCurSel() == 2; }));
    EXPECT_TRUE(Open()) << "moving with the keys keeps the drop-down open";
    Key(DropDownWindow(), VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
    EXPECT_EQ(combo->GetCurSel(), 1) << "Escape restores the selection it opened with";
    ExpectRowsReturned();
}

TEST_F(ComboWindow, ReturnKeepsTheMovedSelection)
{
    combo->SelectItem(0);
    combo->SetFocus();
    Key(host.Get(), VK_F4);
    ASSERT_TRUE(PumpUntil([this] { return Open(); }));
    Key(DropDownWindow(), VK_DOWN);
    ASSERT_TRUE(PumpUntil([this] { return combo->GetCurSel() == 1; }));
    Key(DropDownWindow(), VK_RETURN);
    ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
    EXPECT_EQ(combo->GetCurSel(), 1);
    ExpectRowsReturned();
}

// Tab in the drop-down closes it, keeps the row moved to, and moves the focus
// on from the combo as Tab on the closed combo would.
TEST_F(ComboWindow, TabKeepsTheSelectionAndMovesTheFocusOn)
{
    CButtonUI* next = new CButtonUI;
    next->SetFloat(true);
    next->SetAttribute(L"pos", L"10,100,100,130");
    root->Add(next);
    combo->SelectItem(0);
    combo->SetFocus();
    Key(host.Get(), VK_F4);
    ASSERT_TRUE(PumpUntil([this] { return Open(); }));
    Key(DropDownWindow(), VK_DOWN);
    ASSERT_TRUE(PumpUntil([this] { return combo->GetCurSel() == 1; }));
    Key(DropDownWindow(), VK_TAB);
    ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
    EXPECT_EQ(combo->GetCurSel(), 1);
    ExpectRowsReturned();
    EXPECT_TRUE(PumpUntil([&] { return manager.GetFocus() == next; })) << "the focus moved on";
}

TEST_F(ComboWindow, ClickElsewhereCloses)
{
    OpenWithClick();
    if (HasFatalFailure())
        return;
    ClickAt(kLeft + 250, kTop + 200);
    ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
    EXPECT_EQ(combo->GetCurSel(), -1);
    ExpectRowsReturned();
}

// A row removed while the drop-down is open leaves the drop-down too.
TEST_F(ComboWindow, RemovingARowWhileOpen)
{
    OpenWithClick();
    if (HasFatalFailure())
        return;
    CControlUI* removed = rows[1];
    ASSERT_TRUE(combo->Remove(removed, true));
    EXPECT_EQ(combo->GetDropDown()->GetBody()->GetCount(), 2);
    rows.erase(rows.begin() + 1);
    ClickAt(kLeft + 250, kTop + 200);
    ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
    ExpectRowsReturned();
    EXPECT_EQ(AsListItem(rows[1])->GetIndex(), 1);
    removed->Delete();
}

// The window goes while the drop-down is open: the drop-down goes first and
// gives the rows back; nothing is left behind.
TEST_F(ComboWindow, DestroyingTheWindowWhileOpen)
{
    OpenWithClick();
    if (HasFatalFailure())
        return;
    ::DestroyWindow(host.Get());
    Pump(50);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(::FindWindowW(L"ComboWnd", NULL), (HWND)NULL);
    ExpectRowsReturned();
}

// The combo goes while its drop-down is open.
TEST_F(ComboWindow, DeletingTheComboWhileOpen)
{
    OpenWithClick();
    if (HasFatalFailure())
        return;
    root->Remove(combo);
    combo = NULL;
    ASSERT_TRUE(PumpUntil([] { return ::FindWindowW(L"ComboWnd", NULL) == NULL; }));
    Pump(50);
    EXPECT_EQ(root->GetCount(), 0);
}
// A screen reader opens the combo through its default action, "Open": the
// drop-down shows once the window's loop turns, as after a click, and the
// chosen row's text is the combo's value.
TEST_F(ComboWindow, AScreenReadersOpenDropsTheListDown)
{
    combo->SelectItem(2);
    IAccessible* object = CreateControlAccessible(combo);
    ASSERT_NE(object, nullptr);
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = NULL;
    ASSERT_EQ(object->get_accDefaultAction(self, &text), S_OK);
    EXPECT_STREQ(text, L"Open");
    ::SysFreeString(text);
    ASSERT_EQ(object->get_accValue(self, &text), S_OK);
    EXPECT_STREQ(text, L"item 2");
    ::SysFreeString(text);

    ASSERT_EQ(object->accDoDefaultAction(self), S_OK);
    EXPECT_TRUE(Closed()) << "the call only queues the action";
    ASSERT_TRUE(PumpUntil([this] { return Open(); }));
    EXPECT_EQ(Count(L"dropdown"), 1);
    Key(DropDownWindow(), VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([this] { return Closed(); }));
    ExpectRowsReturned();

    combo->SetEnabled(false);
    EXPECT_EQ(object->accDoDefaultAction(self), E_FAIL) << "a disabled combo does not open";
    Pump(50);
    EXPECT_TRUE(Closed());
    object->Release();
}
}  // namespace
