#include <gtest/gtest.h>

#include <windows.h>

#include "control_test_support.h"
#include "tests/support/Canvas.h"
#include "ui/controls/Button.h"
#include "ui/controls/Edit.h"

namespace
{
// Pixels unlike the background on the line two pixels inside the top edge,
// where the framework's focus frame lies.
int FrameLinePixels(CControlUI& control, DWORD background)
{
    CCanvas canvas(60, 30, background);
    control.SetPos(Rect(0, 0, 60, 30));
    control.Paint(canvas.Dc(), Rect(0, 0, 60, 30), NULL);
    int other = 0;
    for (int x = 4; x < 56; ++x)
        other += canvas.Rgb(x, 2) != (background & 0xFFFFFF) ? 1 : 0;
    return other;
}

void Focus(CControlUI& control)
{
    TControlEvent event = MakeEvent(EventSetFocus);
    control.DispatchEvent(event);
}

// The frame's dots take the window's text colour and lie on a line of the
// opposite brightness, so that the frame shows on any background.
TEST(FocusLook, TheFrameShowsOnLightAndDarkBackgrounds)
{
    const DWORD textColors[] = {0xFF000000, 0xFFFFFFFF, 0xFF2A2D3A};
    const DWORD backgrounds[] = {0xFF000000, 0xFFFFFFFF, 0xFF2A2D3A, 0xFF2F6FD0};
    for (DWORD text : textColors)
    {
        for (DWORD background : backgrounds)
        {
            SCOPED_TRACE(testing::Message() << std::hex << "text " << text << " on " << background);
            CManagerUI manager;
            manager.SetDefaultFontColor(text);
            CButtonUI button;
            button.SetManager(&manager, NULL, false);
            Focus(button);
            // At least every other pixel of the line: the dots or the line between them.
            EXPECT_GE(FrameLinePixels(button, background), 24);
        }
    }
}

// A focused image or colour shows the focus only while the hot and pushed
// looks leave it on screen: a hovered button gets the frame.
TEST(FocusLook, AButtonUnderThePointerKeepsShowingTheFocus)
{
    CManagerUI manager;
    CButtonUI button;
    button.SetManager(&manager, NULL, false);
    button.ApplyAttributeList(L"focusedimage=\"color='#FFFFFFFF'\" hotimage=\"color='#FFFFFFFF'\"");
    Focus(button);
    EXPECT_EQ(FrameLinePixels(button, 0xFFFFFFFF), 0) << "the focused image shows it";
    TControlEvent enter = MakeEvent(EventMouseEnter);
    enter.point.x = 10;
    enter.point.y = 10;
    button.DispatchEvent(enter);
    ASSERT_NE(button.GetButtonState() & StateHot, 0u);
    EXPECT_GT(FrameLinePixels(button, 0xFFFFFFFF), 0) << "hot hides the focused image: the frame shows";
}

TEST(FocusLook, ASelectedOptionShowsTheFrameOverItsSelectedLook)
{
    CManagerUI manager;
    COptionUI option;
    option.SetManager(&manager, NULL, false);
    option.ApplyAttributeList(L"focusedtextcolor=\"#FFFF0000\"");
    Focus(option);
    EXPECT_EQ(FrameLinePixels(option, 0xFFFFFFFF), 0);
    option.SetSelected(true, false);
    EXPECT_GT(FrameLinePixels(option, 0xFFFFFFFF), 0);
}

// An edit's own focused image is its focus look; a disabled edit that kept
// the focus shows none.
TEST(FocusLook, AnEditsFocusedImageCountsAndADisabledEditShowsNoFocus)
{
    struct
    {
        const char* name;
        const wchar_t* attributes;
        bool enabled;
        bool frame;
    } const cases[] = {
        {"plain", L"", true, true},
        {"focused image", L"focusedimage=\"color='#FFFFF4C8'\"", true, false},
        {"focus border", L"bordersize=\"1\" focusbordercolor=\"#FFFF0000\"", true, false},
        {"disabled", L"", false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CManagerUI manager;
        CEditUI edit;
        edit.SetManager(&manager, NULL, false);
        edit.ApplyAttributeList(c.attributes);
        Focus(edit);
        edit.SetEnabled(c.enabled);
        // The focused image is a light fill: count only the dark dots.
        CCanvas canvas(60, 30, 0xFFFFFFFF);
        edit.SetPos(Rect(0, 0, 60, 30));
        edit.Paint(canvas.Dc(), Rect(0, 0, 60, 30), NULL);
        int dots = 0;
        for (int x = 4; x < 56; ++x)
            dots += canvas.Rgb(x, 2) == 0x000000 ? 1 : 0;
        EXPECT_EQ(dots > 0, c.frame);
    }
}
}  // namespace
