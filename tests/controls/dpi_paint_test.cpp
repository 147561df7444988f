#include <gtest/gtest.h>

#include "control_test_support.h"
#include "ui/controls/BoxLayout.h"
#include "ui/controls/Label.h"
#include "ui/controls/ScrollBar.h"
#include "ui/builder/LayoutBuilder.h"

// A skin on a high-DPI window paints as the same tree would with every
// length of the skin multiplied by the scale: lengths, borders, insets,
// paddings, float positions and font heights alike.

namespace
{
const int kWidth = 120;
const int kHeight = 90;

const wchar_t kSkin[] =
    L"<Window><Font id=\"1\" name=\"Arial\" size=\"14\"/>"
    L"<VBox bkcolor=\"#FF203040\" inset=\"4,4,4,4\" childpadding=\"3\">"
    L"<HBox height=\"20\" padding=\"2,0,0,0\"><Control width=\"30\" bkcolor=\"#FFFF0000\"/>"
    L"<Control bkcolor=\"#FF00FF00\" bordersize=\"2\" bordercolor=\"#FF0000FF\"/></HBox>"
    L"<Label text=\"Setup\" height=\"24\" font=\"1\" textcolor=\"#FFFFFF00\" textpadding=\"5,0,0,0\"/>"
    L"<Control float=\"true\" pos=\"90,60,110,80\" bkcolor=\"#FFFFFFFF\"/>"
    L"</VBox></Window>";

// The same tree in code, in the window's pixels at scale num/den.
CControlUI* BuildInCode(CManagerUI& manager, int num, int den)
{
    const auto px = [=](int v) { return ::MulDiv(v, num, den); };
    manager.AddFont(1, L"Arial", px(14), false, false, false);
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFF203040);
    root->SetInset(px(4), px(4), px(4), px(4));
    root->SetChildPadding(px(3));
    CHorizontalLayoutUI* row = new CHorizontalLayoutUI;
    row->SetFixedHeight(px(20));
    row->SetPadding(px(2), 0, 0, 0);
    CControlUI* red = new CControlUI;
    red->SetFixedWidth(px(30));
    red->SetBkColor(0xFFFF0000);
    CControlUI* green = new CControlUI;
    green->SetBkColor(0xFF00FF00);
    green->SetBorderSize(px(2));
    green->SetBorderColor(0xFF0000FF);
    row->Add(red);
    row->Add(green);
    CLabelUI* label = new CLabelUI;
    label->SetTextColor(0xFFFFFF00);
    label->SetFont(1);
    label->SetText(L"Setup");
    label->SetFixedHeight(px(24));
    label->SetTextPadding(CUIRect(px(5), 0, 0, 0));
    CControlUI* floating = new CControlUI;
    floating->SetFloat(true);
    floating->SetFixedXY(px(90), px(60));
    floating->SetFixedWidth(px(20));
    floating->SetFixedHeight(px(20));
    floating->SetBkColor(0xFFFFFFFF);
    root->Add(row);
    root->Add(label);
    root->Add(floating);
    return root;
}

void PaintTree(CManagerUI& manager, CControlUI* root, CCanvas& canvas)
{
    ASSERT_TRUE(manager.AttachRoot(root));
    root->SetPos(Rect(0, 0, canvas.Width(), canvas.Height()));
    root->Paint(canvas.Dc(), Rect(0, 0, canvas.Width(), canvas.Height()), NULL);
}

TEST(DpiPaint, ASkinAtAHigherDpiPaintsLikeItsTreeWithScaledLengths)
{
    struct TCase
    {
        int dpi;
        int num;
        int den;
    };
    for (const TCase& c : {TCase{96, 1, 1}, TCase{144, 3, 2}, TCase{192, 2, 1}})
    {
        SCOPED_TRACE(c.dpi);
        const int width = ::MulDiv(kWidth, c.num, c.den);
        const int height = ::MulDiv(kHeight, c.num, c.den);
        CManagerUI skinManager;
        skinManager.SetDpi(c.dpi);
        CLayoutBuilder builder;
        CControlUI* built = builder.Create(kSkin, NULL, &skinManager);
        ASSERT_NE(built, nullptr);
        CCanvas fromSkin(width, height, 0xFF000000);
        PaintTree(skinManager, built, fromSkin);

        CManagerUI codeManager;
        CCanvas fromCode(width, height, 0xFF000000);
        PaintTree(codeManager, BuildInCode(codeManager, c.num, c.den), fromCode);

        // The red control begins after the inset and the row's padding.
        const int redLeft = ::MulDiv(4, c.num, c.den) + ::MulDiv(2, c.num, c.den);
        EXPECT_EQ(fromSkin.Rgb(redLeft, ::MulDiv(5, c.num, c.den)), 0xFF0000u);
        EXPECT_NE(fromSkin.Rgb(redLeft - 1, ::MulDiv(5, c.num, c.den)), 0xFF0000u);
        int yellow = 0;
        int differing = 0;
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                yellow += fromSkin.Rgb(x, y) == 0xFFFF00u ? 1 : 0;
                differing += fromSkin.Rgb(x, y) != fromCode.Rgb(x, y) ? 1 : 0;
            }
        }
        EXPECT_GT(yellow, 0) << "the label's text";
        EXPECT_EQ(differing, 0);
    }
}

// A container's own scroll bar is as thick as the skin's default, scaled.
TEST(DpiPaint, AScrollBarsDefaultThicknessIsScaled)
{
    for (int dpi : {96, 144})
    {
        CManagerUI manager;
        manager.SetDpi(dpi);
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(L"<Window><VBox vscrollbar=\"true\"/></Window>", NULL, &manager);
        ASSERT_NE(root, nullptr);
        CContainerUI* box = static_cast<CContainerUI*>(root->FindInterface(L"Container"));
        ASSERT_NE(box, nullptr);
        ASSERT_NE(box->GetVerticalScrollBar(), nullptr);
        CContainerUI reference;
        reference.EnableScrollBar(true, false);
        EXPECT_EQ(box->GetVerticalScrollBar()->GetFixedWidth(),
                  ::MulDiv(reference.GetVerticalScrollBar()->GetFixedWidth(), dpi, 96));
        root->Delete();
    }
}
}  // namespace
