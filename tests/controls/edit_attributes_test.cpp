#include <gtest/gtest.h>

#include <windows.h>

#include "editor_test_support.h"
#include "ui/controls/Edit.h"
#include "ui/manager/Manager.h"
#include "ui/builder/LayoutBuilder.h"

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
    const TTag tags[] = {
        {L"Edit", L"Edit"}, {L"edit", L"Edit"}, {L"DateTime", L"DateTime"}, {L"DATETIME", L"DateTime"}};
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

namespace
{
TControlEvent EventAt(EventKind kind, int x, int y)
{
    TControlEvent event = {};
    event.kind = kind;
    event.point.x = x;
    event.point.y = y;
    return event;
}

DWORD PaintedCentre(CEditUI& edit)
{
    const RECT rc = edit.GetPos();
    CCanvas dc(rc.right, rc.bottom, 0xFF123456);
    edit.Paint(dc.Dc(), rc, NULL);
    return dc.Rgb(rc.right / 2, rc.bottom / 2);
}
}  // namespace

TEST(EditAttributes, TheStateImageFollowsDisabledThenFocusedThenHotAndFallsBackToNormal)
{
    CManagerUI manager;
    CEditUI edit;
    edit.SetManager(&manager, NULL, false);
    edit.SetPos(CUIRect(0, 0, 40, 20));
    edit.ApplyAttributeList(L"normalimage=\"color='#FFFF0000'\" hotimage=\"color='#FF00FF00'\" "
                            L"disabledimage=\"color='#FF808080'\"");
    EXPECT_EQ(PaintedCentre(edit), 0xFF0000u) << "normal";

    TControlEvent enter = EventAt(EventMouseEnter, 10, 10);
    edit.DispatchEvent(enter);
    EXPECT_NE(edit.GetButtonState() & StateHot, 0u);
    EXPECT_EQ(PaintedCentre(edit), 0x00FF00u) << "hot";

    // Focused without a focused image: the normal one. (The window-less
    // manager cannot open an editor; the focus is still the control's.)
    TControlEvent focus = EventAt(EventSetFocus, 0, 0);
    edit.DispatchEvent(focus);
    EXPECT_TRUE(edit.IsFocused());
    EXPECT_FALSE(edit.IsEditing());
    EXPECT_EQ(PaintedCentre(edit), 0xFF0000u) << "focused, no image of its own";
    edit.SetFocusedImage(L"color='#FF0000FF'");
    EXPECT_EQ(PaintedCentre(edit), 0x0000FFu) << "focused beats hot";

    edit.SetEnabled(false);
    EXPECT_EQ(PaintedCentre(edit), 0x808080u) << "disabled beats everything";
    EXPECT_EQ(edit.GetButtonState() & StateHot, 0u) << "disabling forgets the hot state";
}
