#include <gtest/gtest.h>

#include "control_test_support.h"
#include "ui/controls/BoxLayout.h"
#include "ui/controls/Label.h"
#include "ui/builder/LayoutBuilder.h"

namespace
{
const int kWidth = 120;
const int kHeight = 90;

// The tree of the skin below, made with setters: a dark box with an inset
// and gaps, a row of a fixed-width red control and a bordered green one, a
// label in font 1 from the default list and in its own colour over the
// list's, and a float control placed by its position.
CControlUI* BuildInCode(CManagerUI& manager)
{
    manager.AddFont(1, L"Arial", 14, false, false, false);
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFF203040);
    root->SetInset(4, 4, 4, 4);
    root->SetChildPadding(3);
    CHorizontalLayoutUI* row = new CHorizontalLayoutUI;
    row->SetFixedHeight(20);
    CControlUI* red = new CControlUI;
    red->SetFixedWidth(30);
    red->SetBkColor(0xFFFF0000);
    CControlUI* green = new CControlUI;
    green->SetBkColor(0xFF00FF00);
    green->SetBorderSize(2);
    green->SetBorderColor(0xFF0000FF);
    row->Add(red);
    row->Add(green);
    CLabelUI* label = new CLabelUI;
    label->SetTextColor(0xFFFFFF00);
    label->SetFont(1);
    label->SetText(L"Setup");
    label->SetFixedHeight(24);
    CControlUI* floating = new CControlUI;
    floating->SetFloat(true);
    floating->SetAttribute(L"pos", L"90,60,110,80");
    floating->SetBkColor(0xFFFFFFFF);
    root->Add(row);
    root->Add(label);
    root->Add(floating);
    return root;
}

const wchar_t kSkin[] =
    L"<Window><Font id=\"1\" name=\"Arial\" size=\"14\"/>"
    L"<Default name=\"Label\" value=\"textcolor=&quot;#FFFF00FF&quot; font=&quot;1&quot;\"/>"
    L"<VBox bkcolor=\"#FF203040\" inset=\"4,4,4,4\" childpadding=\"3\">"
    L"<HBox height=\"20\"><Control width=\"30\" bkcolor=\"#FFFF0000\"/>"
    L"<Control bkcolor=\"#FF00FF00\" bordersize=\"2\" bordercolor=\"#FF0000FF\"/></HBox>"
    L"<Label text=\"Setup\" height=\"24\" textcolor=\"#FFFFFF00\"/>"
    L"<Control float=\"true\" pos=\"90,60,110,80\" bkcolor=\"#FFFFFFFF\"/>"
    L"</VBox></Window>";

void PaintTree(CManagerUI& manager, CControlUI* root, CCanvas& canvas)
{
    ASSERT_TRUE(manager.AttachRoot(root));
    root->SetPos(Rect(0, 0, kWidth, kHeight));
    root->Paint(canvas.Dc(), Rect(0, 0, kWidth, kHeight), NULL);
}

TEST(BuilderPaint, SkinFromXmlPaintsLikeTheSameTreeBuiltInCode)
{
    CManagerUI skinManager;
    CLayoutBuilder builder;
    CControlUI* built = builder.Create(kSkin, NULL, &skinManager);
    ASSERT_NE(built, nullptr);
    EXPECT_STREQ(builder.GetLastErrorMessage(), L"");
    CCanvas fromSkin(kWidth, kHeight, 0xFF000000);
    PaintTree(skinManager, built, fromSkin);

    CManagerUI codeManager;
    CCanvas fromCode(kWidth, kHeight, 0xFF000000);
    PaintTree(codeManager, BuildInCode(codeManager), fromCode);

    // Spot checks that something was painted at all: the red control, the
    // green one's blue border, the float control.
    EXPECT_EQ(fromCode.Rgb(5, 5), 0xFF0000u);
    EXPECT_EQ(fromCode.Rgb(34, 4), 0x0000FFu);
    EXPECT_EQ(fromCode.Rgb(100, 70), 0xFFFFFFu);
    int yellow = 0;
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
    {
        for (int x = 0; x < kWidth; ++x)
        {
            yellow += fromCode.Rgb(x, y) == 0xFFFF00u ? 1 : 0;
            differing += fromSkin.Rgb(x, y) != fromCode.Rgb(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(yellow, 0) << "the label's text";
    EXPECT_EQ(differing, 0);
}
}  // namespace
