// Text drawing with a window manager's fonts, colours and tokens.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/Canvas.h"
#include "tests/support/Rects.h"
#include "ui/manager/Manager.h"
#include "ui/render/Renderer.h"

namespace
{

TEST(ManagerText, FontVariantsRegisterBesideTheSkinFontsWithoutReplacingThem)
{
    CManagerUI manager;
    manager.AddFont(0, L"Tahoma", 13, false, false, false);
    // Skin fonts on the numbers where variants begin.
    std::vector<HFONT> skinFonts;
    for (int id = 30000; id < 30200; ++id)
        skinFonts.push_back(manager.AddFont(id, L"Tahoma", 9, false, false, false));

    CCanvas canvas(200, 50);
    RECT rc = Rect(0, 0, 200, 50);
    int links = 0;
    CRenderer::DrawMarkupText(canvas.Dc(), &manager, rc, L"a{b}b{/b}", 0xFF000000, NULL, NULL, links, 0,
                              DT_CALCRECT);
    EXPECT_TRUE(manager.FindFont(L"Tahoma", 13, true, false, false) != NULL);
    for (int id = 30000; id < 30200; ++id)
        ASSERT_EQ(skinFonts[id - 30000], manager.GetFont(id)) << id;
}

TEST(ManagerText, LinkColoursAndTokensComeFromTheManager)
{
    CManagerUI manager;
    manager.AddFont(0, L"Tahoma", 13, false, false, false);
    manager.SetDefaultLinkFontColor(0xFF00FF00);
    CManagerUI::AddMultiLanguageString(77, L"WWWW");

    CCanvas canvas(200, 50);
    RECT rc = Rect(0, 0, 200, 50);
    RECT linkRects[2];
    CUIString linkTexts[2];
    int links = 2;
    CRenderer::DrawMarkupText(canvas.Dc(), &manager, rc, L"{a go}%{77}{/a}", 0xFF000000, linkRects, linkTexts,
                              links, 0, 0);
    ASSERT_EQ(1, links);
    EXPECT_STREQ(L"go", linkTexts[0]);
    int green = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            green += canvas.Rgb(x, y) == 0x00FF00 ? 1 : 0;
    EXPECT_GT(green, 0);

    RECT plain = Rect(0, 0, 200, 50);
    CRenderer::DrawText(canvas.Dc(), &manager, plain, L"%{77}", 0xFF000000, 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(linkRects[0].right - linkRects[0].left, plain.right - plain.left)
        << "the token became the same text in both drawers";
}

}  // namespace
