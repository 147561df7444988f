#include <gtest/gtest.h>

#include <windows.h>

#include "ui/controls/Edit.h"
#include "ui/manager/Manager.h"
#include "ui/markup/LayoutBuilder.h"

// The edit's own attributes and size, without a window.

TEST(EditAttributes, EachAttributeReachesItsSetterAndOthersGoToTheLabel)
{
    CEditUI edit;
    EXPECT_EQ(edit.GetMaxChar(), 255);
    EXPECT_EQ(edit.GetPasswordChar(), L'*');
    EXPECT_EQ(edit.GetNativeEditBkColor(), 0xFFFFFFFFu);
    EXPECT_EQ(edit.GetBkColor(), 0xFFFFFFFFu) << "an edit is white unless told otherwise";
    EXPECT_EQ(edit.GetTextPadding().left, 4);
    EXPECT_EQ(edit.GetTextPadding().top, 3);

    edit.ApplyAttributeList(L"readonly=\"true\" numberonly=\"true\" password=\"true\" autoselall=\"true\" "
                            L"maxchar=\"12\" nativebkcolor=\"#80102030\" normalimage=\"n.png\" "
                            L"hotimage=\"h.png\" focusedimage=\"f.png\" disabledimage=\"d.png\" "
                            L"textcolor=\"#FF112233\"");
    EXPECT_TRUE(edit.IsReadOnly());
    EXPECT_TRUE(edit.IsNumberOnly());
    EXPECT_TRUE(edit.IsPasswordMode());
    EXPECT_TRUE(edit.IsAutoSelectAll());
    EXPECT_EQ(edit.GetMaxChar(), 12);
    EXPECT_EQ(edit.GetNativeEditBkColor(), 0x80102030u);
    EXPECT_STREQ(edit.GetNormalImage(), L"n.png");
    EXPECT_STREQ(edit.GetHotImage(), L"h.png");
    EXPECT_STREQ(edit.GetFocusedImage(), L"f.png");
    EXPECT_STREQ(edit.GetDisabledImage(), L"d.png");
    EXPECT_EQ(edit.GetTextColor(), 0xFF112233u);

    edit.ApplyAttributeList(L"readonly=\"false\" numberonly=\"True\" password=\"no\"");
    EXPECT_FALSE(edit.IsReadOnly());
    EXPECT_FALSE(edit.IsNumberOnly()) << "only exactly \"true\" is true";
    EXPECT_FALSE(edit.IsPasswordMode());
}

TEST(EditAttributes, WithoutAFixedHeightAnEditIsOneFontLinePlusEight)
{
    CManagerUI manager;
    const TFontEntry* font = manager.GetFontInfo(-1);
    ASSERT_NE(font, nullptr);
    CEditUI edit;
    edit.SetManager(&manager, NULL, false);
    edit.SetFixedWidth(120);
    const SIZE available = {400, 400};
    EXPECT_EQ(edit.EstimateSize(available).cx, 120);
    EXPECT_EQ(edit.EstimateSize(available).cy, font->metrics.tmHeight + 8);
    edit.SetFixedHeight(50);
    EXPECT_EQ(edit.EstimateSize(available).cy, 50);
}

TEST(EditAttributes, TheBuilderKnowsBothEditorTags)
{
    struct TTag
    {
        const wchar_t* tag;
        const wchar_t* className;
    };
    const TTag tags[] = {{L"Edit", L"Edit"}, {L"edit", L"Edit"}, {L"DateTime", L"DateTime"}, {L"DATETIME", L"DateTime"}};
    for (const TTag& t : tags)
    {
        CControlUI* control = CLayoutBuilder::CreateControl(t.tag);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->GetClassName(), t.className);
        EXPECT_EQ(control->FindInterface(t.className), control);
        EXPECT_NE(control->FindInterface(L"Label"), nullptr);
        control->Delete();
    }
}
