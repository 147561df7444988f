#include <gtest/gtest.h>

#include "layout_test_support.h"
#include "ui/builder/LayoutBuilder.h"

namespace
{
// Layouts and bars come out of skin XML by any of their names and take their
// attributes there: the inset, the gap, a bar turned on, a free-standing bar.
TEST(LayoutMarkup, SkinTreeIsLaidOut)
{
    CManagerUI manager;
    CLayoutBuilder builder;
    CControlUI* built =
        builder.Create(L"<Window><VBox inset=\"5,5,5,5\" childpadding=\"10\" vscrollbar=\"true\">"
                       L"<horizontallayout height=\"40\"><Control width=\"30\"/><Control/></horizontallayout>"
                       L"<scrollbar hor=\"true\" range=\"50\" value=\"20\"/>"
                       L"<Control height=\"30\"/>"
                       L"</VBox></Window>",
                       NULL, &manager);
    ASSERT_NE(built, nullptr);
    ASSERT_TRUE(manager.AttachRoot(built));
    CVerticalLayoutUI* root = static_cast<CVerticalLayoutUI*>(built->FindInterface(L"VerticalLayout"));
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->GetCount(), 3);
    CContainerUI* row = static_cast<CContainerUI*>(root->GetItemAt(0)->FindInterface(L"Container"));
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->GetClassName(), L"HorizontalLayout");
    CScrollBarUI* free = static_cast<CScrollBarUI*>(root->GetItemAt(1)->FindInterface(L"ScrollBar"));
    ASSERT_NE(free, nullptr);

    root->SetPos(CUIRect(0, 0, 200, 100));

    // Content 40 + 10 + 16 + 10 + 30 = 106 in an inner height of 90.
    ASSERT_TRUE(root->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(root->GetVerticalScrollBar()->GetScrollRange(), 16);
    ExpectRect(root->GetVerticalScrollBar()->GetPos(), 179, 5, 195, 95);
    ExpectRect(row->GetPos(), 5, 5, 179, 45);
    ExpectRect(row->GetItemAt(0)->GetPos(), 5, 5, 35, 45);
    ExpectRect(row->GetItemAt(1)->GetPos(), 35, 5, 179, 45);
    ExpectRect(free->GetPos(), 5, 55, 179, 71);
    EXPECT_TRUE(free->IsHorizontal());
    EXPECT_EQ(free->GetScrollPos(), 20);
    ExpectRect(root->GetItemAt(2)->GetPos(), 5, 81, 179, 111);
}
}  // namespace
