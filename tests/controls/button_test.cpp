#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "control_test_support.h"
#include "tests/support/SkinFolder.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/Button.h"
#include "ui/builder/LayoutBuilder.h"

namespace
{
// Notification types in the order they arrived.
std::vector<std::wstring> Types(const CNotifyRecorder& notes)
{
    std::vector<std::wstring> types;
    for (const CNotifyRecorder::TRecord& record : notes.records)
        types.push_back(record.type);
    return types;
}

// A button at (10,10)-(60,30) in a window-less manager whose notifications
// are recorded.
class ButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        manager.AddNotifier(&notes);
        button.SetManager(&manager, NULL, false);
        button.SetPos(Rect(10, 10, 60, 30));
    }

    void Send(TControlEvent event) { button.DispatchEvent(event); }
    int Clicks() const
    {
        int clicks = 0;
        for (const CNotifyRecorder::TRecord& record : notes.records)
            clicks += record.type == L"click" && record.sender == &button ? 1 : 0;
        return clicks;
    }

    CManagerUI manager;
    CNotifyRecorder notes;
    CButtonUI button;
};

// ---- The click rule ----

struct TPointerStep
{
    EventKind kind;
    int x;
    int y;
    bool pushedAfter;
};

struct TClickCase
{
    const char* name;
    bool enabled;
    std::vector<TPointerStep> steps;
    int clicks;
};

TEST_F(ButtonTest, ClickNeedsPressAndReleaseInsideWhileEnabled)
{
    const int in = 20, out = 80;
    const TClickCase cases[] = {
        {"in/in", true, {{EventButtonDown, in, in, true}, {EventButtonUp, in, in, false}}, 1},
        {"in/out/in",
         true,
         {{EventButtonDown, in, in, true},
          {EventMouseMove, out, in, false},
          {EventMouseMove, in, in, true},
          {EventButtonUp, in, in, false}},
         1},
        {"in/out",
         true,
         {{EventButtonDown, in, in, true}, {EventMouseMove, out, in, false}, {EventButtonUp, out, in, false}},
         0},
        {"out/in",
         true,
         {{EventButtonDown, out, out, false},
          {EventMouseMove, in, in, false},
          {EventButtonUp, in, in, false}},
         0},
        {"double click counts as a press",
         true,
         {{EventDoubleClick, in, in, true}, {EventButtonUp, in, in, false}},
         1},
        {"disabled", false, {{EventButtonDown, in, in, false}, {EventButtonUp, in, in, false}}, 0},
    };
    for (const TClickCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        notes.records.clear();
        button.SetEnabled(c.enabled);
        for (const TPointerStep& step : c.steps)
        {
            Send(MakeEvent(step.kind, step.x, step.y));
            EXPECT_EQ((button.GetButtonState() & StatePushed) != 0, step.pushedAfter) << step.kind;
        }
        EXPECT_EQ(Clicks(), c.clicks);
        EXPECT_EQ(button.GetButtonState() & (StatePushed | StateCaptured), 0u);
    }
}

TEST_F(ButtonTest, SpaceAndReturnActivateOnlyAnEnabledKeyboardButton)
{
    struct
    {
        WORD key;
        bool enabled;
        bool keyboard;
        int clicks;
    } const cases[] = {
        {VK_SPACE, true, true, 1},  {VK_RETURN, true, true, 1}, {L'A', true, true, 0},
        {VK_SPACE, false, true, 0}, {VK_SPACE, true, false, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << "key " << c.key << " enabled " << c.enabled << " keyboard " << c.keyboard);
        notes.records.clear();
        button.SetEnabled(c.enabled);
        button.SetKeyboardEnabled(c.keyboard);
        Send(KeyDown(c.key));
        EXPECT_EQ(Clicks(), c.clicks);
    }
}

TEST_F(ButtonTest, HiddenButtonIsNotActivatedAndDisablingForgetsItsState)
{
    button.SetVisible(false);
    EXPECT_FALSE(button.Activate());
    EXPECT_EQ(Clicks(), 0);
    button.SetVisible(true);

    Send(MakeEvent(EventMouseEnter, 20, 20));
    Send(MakeEvent(EventButtonDown, 20, 20));
    ASSERT_EQ(button.GetButtonState(), static_cast<UINT>(StateHot | StatePushed | StateCaptured));
    button.SetEnabled(false);
    EXPECT_EQ(button.GetButtonState(), 0u);
    Send(MakeEvent(EventButtonUp, 20, 20));
    EXPECT_EQ(Clicks(), 0);
}

TEST_F(ButtonTest, MouseLeaveInsideKeepsTheButtonHot)
{
    Send(MakeEvent(EventMouseEnter, 20, 20));
    Send(MakeEvent(EventMouseLeave, 20, 20));  // another control took the pointer
    EXPECT_NE(button.GetButtonState() & StateHot, 0u);
    Send(MakeEvent(EventMouseLeave, 80, 20));
    EXPECT_EQ(button.GetButtonState() & StateHot, 0u);
}

// ---- Fading ----

// Opacities of the normal image after each fade tick, towards the hot image
// on entering and back on leaving, until the fade ends.
std::vector<int> FadeRun(CButtonUI& button, EventKind kind, int x)
{
    TControlEvent move = MakeEvent(kind, x, 20);
    button.DispatchEvent(move);
    std::vector<int> alphas;
    for (int tick = 0; tick < 300; ++tick)
    {
        const int before = button.GetFadeAlpha();
        TControlEvent timer = MakeEvent(EventTimer, 0, 0, CButtonUI::FadeTimerId);
        button.DispatchEvent(timer);
        if (button.GetFadeAlpha() == before)
            break;
        alphas.push_back(button.GetFadeAlpha());
    }
    return alphas;
}

TEST_F(ButtonTest, FadeStepsStopAtTheEndsInsteadOfWrapping)
{
    struct
    {
        LPCWSTR delta;
        std::vector<int> in;
        std::vector<int> out;
    } const cases[] = {
        {L"51", {204, 153, 102, 51, 0}, {51, 102, 153, 204, 255}},
        {L"100", {155, 55, 0}, {100, 200, 255}},
        {L"200", {55, 0}, {200, 255}},
        {L"255", {0}, {255}},
        {L"511", {0}, {255}},  // only the low 8 bits count
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.delta);
        button.SetAttribute(L"fadedelta", c.delta);
        EXPECT_EQ(FadeRun(button, EventMouseEnter, 20), c.in);
        EXPECT_EQ(FadeRun(button, EventMouseLeave, 80), c.out);
    }
}

TEST_F(ButtonTest, OtherTimersBecomeTimerNotifications)
{
    button.SetAttribute(L"fadedelta", L"51");
    Send(MakeEvent(EventTimer, 0, 0, 5));
    EXPECT_EQ(button.GetFadeAlpha(), 255);
    EXPECT_EQ(Types(notes), std::vector<std::wstring>{L"timer"});
}

// ---- State images ----

const DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kGrey = 0x808080,
            kCyan = 0x00FFFF, kMagenta = 0xFF00FF;

CUIString ColorImage(DWORD rgb)
{
    CUIString descriptor;
    descriptor.Format(L"color='#FF%06X'", rgb);
    return descriptor;
}

enum TStates
{
    Hot = 1,
    Pushed = 2,
    Focused = 4,
    Disabled = 8,
};

// Puts a button into the given states the way the manager would.
void EnterStates(CButtonUI& button, int states)
{
    TControlEvent events[] = {MakeEvent(EventMouseEnter, 20, 20), MakeEvent(EventButtonDown, 20, 20),
                              MakeEvent(EventSetFocus)};
    for (int bit = 0; bit < 3; ++bit)
        if (states & (1 << bit))
            button.DispatchEvent(events[bit]);
    if (states & Disabled)
        button.SetEnabled(false);
}

class ButtonImages : public ButtonTest
{
protected:
    // A canvas with the button painted on white.
    void PaintOn(CCanvas& canvas, CButtonUI& target) { target.Paint(canvas.Dc(), Rect(0, 0, 70, 40), NULL); }

    DWORD PaintedColor()
    {
        CCanvas canvas(70, 40, 0xFFFFFFFF);
        PaintOn(canvas, button);
        return canvas.Rgb(35, 20);
    }

    // A fresh button of the fixture's place with the given images and states.
    DWORD PaintedColor(const std::vector<std::pair<LPCWSTR, CUIString>>& images, int states)
    {
        CButtonUI fresh;
        fresh.SetManager(&manager, NULL, false);
        fresh.SetPos(Rect(10, 10, 60, 30));
        for (const auto& image : images)
            fresh.SetAttribute(image.first, image.second);
        EnterStates(fresh, states);
        CCanvas canvas(70, 40, 0xFFFFFFFF);
        PaintOn(canvas, fresh);
        return canvas.Rgb(35, 20);
    }
};

TEST_F(ButtonImages, EachStateFallsBackToTheNormalImage)
{
    // A state image that cannot be loaded counts as absent.
    const std::vector<std::pair<LPCWSTR, CUIString>> images = {
        {L"normalimage", ColorImage(kRed)}, {L"hotimage", L"missing.png"}, {L"focusedimage", L"missing.png"}};
    for (int states : {0, int(Hot), int(Pushed), int(Focused), int(Disabled)})
    {
        SCOPED_TRACE(states);
        EXPECT_EQ(PaintedColor(images, states), kRed);
    }
}

TEST_F(ButtonImages, StatesAreTriedDisabledPushedHotFocusedNormal)
{
    const std::vector<std::pair<LPCWSTR, CUIString>> images = {
        {L"normalimage", ColorImage(kRed)},    {L"hotimage", ColorImage(kGreen)},
        {L"pushedimage", ColorImage(kBlue)},   {L"focusedimage", ColorImage(kYellow)},
        {L"disabledimage", ColorImage(kGrey)},
    };
    struct
    {
        int states;
        DWORD expected;
    } const cases[] = {
        {0, kRed},
        {Hot, kGreen},
        {Pushed, kBlue},
        {Focused, kYellow},
        {Hot | Pushed, kBlue},
        {Hot | Focused, kGreen},
        {Focused | Disabled, kGrey},
        {Hot | Pushed | Focused | Disabled, kGrey},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.states);
        EXPECT_EQ(PaintedColor(images, c.states), c.expected);
    }
}

// A 24-bit bottom-up BMP of vertical bands, one colour (0xRRGGBB) each.
void WriteBandBmp(const std::wstring& path, int bandWidth, int height, const std::vector<DWORD>& bands)
{
    const int width = bandWidth * static_cast<int>(bands.size());
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const DWORD rgb = bands[x / bandWidth];
            BYTE* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
            p[0] = static_cast<BYTE>(rgb);
            p[1] = static_cast<BYTE>(rgb >> 8);
            p[2] = static_cast<BYTE>(rgb >> 16);
        }
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, &file, sizeof(file), &written, NULL);
    ::WriteFile(h, &info, sizeof(info), &written, NULL);
    ::WriteFile(h, pixels.data(), static_cast<DWORD>(pixels.size()), &written, NULL);
    ::CloseHandle(h);
}

// Five frames of 60 x 40 in one 300 x 40 picture in a skin folder of its own.
class ButtonFiveFrames : public ButtonImages
{
protected:
    void SetUp() override
    {
        ButtonImages::SetUp();
        m_skin.reset(new CSkinFolder(L"button_frames_"));
        WriteBandBmp(m_skin->Path() + L"five.bmp", 60, 40, {kRed, kBlue, kGreen, kYellow, kGrey});
    }

    void TearDown() override { m_skin.reset(); }

    std::unique_ptr<CSkinFolder> m_skin;
};

TEST_F(ButtonFiveFrames, FramesGoNormalPushedHotFocusedDisabled)
{
    const std::vector<std::pair<LPCWSTR, CUIString>> images = {{L"fivestatusimage", L"five.bmp"}};
    struct
    {
        int states;
        DWORD expected;
    } const cases[] = {{0, kRed}, {Pushed, kBlue}, {Hot, kGreen}, {Focused, kYellow}, {Disabled, kGrey}};
    for (const auto& c : cases)
        EXPECT_EQ(PaintedColor(images, c.states), c.expected) << c.states;

    CButtonUI floating;
    floating.SetManager(&manager, NULL, false);
    floating.SetFloat(true);
    floating.SetAttribute(L"fivestatusimage", L"five.bmp");
    EXPECT_EQ(floating.GetFixedWidth(), 60);
    EXPECT_EQ(floating.GetFixedHeight(), 40);
}

TEST_F(ButtonImages, HotFillAndHotForegroundReplaceTheForegroundOnlyWhileHot)
{
    button.SetNormalImage(ColorImage(kRed));
    button.SetAttribute(L"foreimage", L"color='#FF00FFFF' dest='0,0,10,10'");
    button.SetAttribute(L"hotbkcolor", L"#FF00FF00");
    CCanvas normal(70, 40, 0xFFFFFFFF);
    PaintOn(normal, button);
    EXPECT_EQ(normal.Rgb(35, 20), kRed);
    EXPECT_EQ(normal.Rgb(12, 12), kCyan);

    EnterStates(button, Hot);
    CCanvas hot(70, 40, 0xFFFFFFFF);
    PaintOn(hot, button);
    EXPECT_EQ(hot.Rgb(35, 20), kGreen);
    EXPECT_EQ(hot.Rgb(12, 12), kGreen);  // no foreground over the hot fill

    button.SetHotForeImage(L"color='#FFFF00FF' dest='0,0,10,10'");
    CCanvas hotFore(70, 40, 0xFFFFFFFF);
    PaintOn(hotFore, button);
    EXPECT_EQ(hotFore.Rgb(12, 12), kMagenta);
    EXPECT_EQ(hotFore.Rgb(35, 20), kRed);  // the hot foreground wins over the fill
}

TEST_F(ButtonImages, CrossFadeMixesNormalAndHot)
{
    button.SetNormalImage(ColorImage(kRed));
    button.SetHotImage(ColorImage(kBlue));
    button.SetAttribute(L"fadedelta", L"128");
    EnterStates(button, Hot);
    TControlEvent tick = MakeEvent(EventTimer, 0, 0, CButtonUI::FadeTimerId);
    Send(tick);
    ASSERT_EQ(button.GetFadeAlpha(), 127);
    const DWORD mixed = PaintedColor();
    EXPECT_GT(mixed & 0xFF, 0x60u) << std::hex << mixed;
    EXPECT_GT((mixed >> 16) & 0xFF, 0x30u) << std::hex << mixed;
    Send(tick);
    EXPECT_EQ(PaintedColor(), kBlue);
}

// ---- Options and check boxes ----

class OptionTest : public testing::Test
{
protected:
    void SetUp() override { manager.AddNotifier(&notes); }

    // Options attached with init, so that they join their groups.
    void Attach(COptionUI& option, LPCWSTR group)
    {
        option.SetAttribute(L"group", group);
        option.SetManager(&manager, NULL, true);
        option.SetPos(Rect(0, 0, 20, 20));
    }

    void Click(COptionUI& option)
    {
        TControlEvent down = MakeEvent(EventButtonDown, 5, 5);
        TControlEvent up = MakeEvent(EventButtonUp, 5, 5);
        option.DispatchEvent(down);
        option.DispatchEvent(up);
    }

    CManagerUI manager;
    CNotifyRecorder notes;
};

TEST_F(OptionTest, SelectingInAGroupAnnouncesOnlyTheNewSelection)
{
    COptionUI first, second, third;
    Attach(first, L"g");
    Attach(second, L"g");
    Attach(third, L"g");
    first.SetSelected(true, false);
    ASSERT_TRUE(notes.records.empty());

    second.SetSelected(true);
    ASSERT_EQ(notes.records.size(), 1u);
    EXPECT_EQ(notes.records[0].type, L"selectchanged");
    EXPECT_EQ(notes.records[0].sender, &second);
    EXPECT_FALSE(first.IsSelected());
    EXPECT_TRUE(second.IsSelected());

    notes.records.clear();
    Click(third);
    EXPECT_EQ(Types(notes), (std::vector<std::wstring>{L"click", L"selectchanged"}));
    EXPECT_TRUE(third.IsSelected());
    EXPECT_FALSE(second.IsSelected());

    notes.records.clear();
    Click(third);  // a selected radio option stays selected, silently
    EXPECT_EQ(Types(notes), std::vector<std::wstring>{L"click"});
    EXPECT_TRUE(third.IsSelected());
}

TEST_F(OptionTest, CheckBoxTogglesWithClickThenSelectChanged)
{
    CCheckBoxUI box;
    box.SetManager(&manager, NULL, true);
    box.SetPos(Rect(0, 0, 20, 20));
    for (bool expected : {true, false, true})
    {
        notes.records.clear();
        Click(box);
        EXPECT_EQ(Types(notes), (std::vector<std::wstring>{L"click", L"selectchanged"}));
        EXPECT_EQ(box.IsSelected(), expected);
    }
    EXPECT_EQ(box.FindInterface(L"Option"), &box);
    EXPECT_STREQ(box.GetClassName(), L"CheckBox");
}

TEST_F(OptionTest, SelectedAttributeDeselectsTheGroupInThatWindowOnly)
{
    COptionUI member;
    Attach(member, L"g");
    member.SetSelected(true, false);
    CManagerUI otherWindow;
    COptionUI elsewhere;
    elsewhere.SetManager(&otherWindow, NULL, true);
    elsewhere.SetAttribute(L"group", L"g");
    elsewhere.SetAttribute(L"selected", L"true");
    EXPECT_TRUE(member.IsSelected());

    COptionUI built;
    built.SetManager(&manager, NULL, false);  // lent while configured, as the builder does
    built.SetAttribute(L"group", L"g");
    built.SetAttribute(L"selected", L"true");
    EXPECT_TRUE(built.IsSelected());
    EXPECT_FALSE(member.IsSelected());
}

TEST_F(OptionTest, OptionDestroyedAfterDetachingLeavesItsGroup)
{
    COptionUI stays;
    Attach(stays, L"g");
    COptionUI* leaving = new COptionUI;
    Attach(*leaving, L"g");
    ASSERT_EQ(manager.GetOptionGroup(L"g")->GetSize(), 2);

    leaving->SetManager(NULL, NULL, false);
    leaving->Delete();
    CPtrList* group = manager.GetOptionGroup(L"g");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetSize(), 1);
    EXPECT_EQ(group->GetAt(0), &stays);
    stays.SetSelected(true);  // would reach the destroyed option through the group
    EXPECT_TRUE(stays.IsSelected());
}

TEST_F(OptionTest, ChangingGroupWhileDetachedLeavesTheOldOne)
{
    COptionUI option;
    Attach(option, L"a");
    option.SetManager(NULL, NULL, false);
    option.SetGroup(L"b");
    EXPECT_EQ(manager.GetOptionGroup(L"a"), nullptr);
    option.SetManager(&manager, NULL, true);
    ASSERT_NE(manager.GetOptionGroup(L"b"), nullptr);
    EXPECT_EQ(manager.GetOptionGroup(L"b")->GetSize(), 1);
}

TEST_F(OptionTest, DisablingKeepsOnlyTheSelectedBit)
{
    COptionUI option;
    Attach(option, L"");
    option.SetSelected(true, false);
    TControlEvent enter = MakeEvent(EventMouseEnter, 5, 5);
    option.DispatchEvent(enter);
    option.SetEnabled(false);
    EXPECT_EQ(option.GetButtonState(), static_cast<UINT>(StateSelected));
}

TEST_F(OptionTest, SelectedLookAndNoPushedImage)
{
    COptionUI option;
    Attach(option, L"");
    option.SetNormalImage(ColorImage(kRed));
    option.SetPushedImage(ColorImage(kBlue));
    option.SetAttribute(L"selectedbkcolor", L"#FF00FF00");
    option.SetAttribute(L"foreimage", L"color='#FFFFFF00' dest='0,0,4,4'");

    TControlEvent down = MakeEvent(EventButtonDown, 5, 5);
    option.DispatchEvent(down);
    CCanvas pushed(20, 20, 0xFFFFFFFF);
    option.Paint(pushed.Dc(), Rect(0, 0, 20, 20), NULL);
    EXPECT_EQ(pushed.Rgb(10, 10), kRed);
    EXPECT_EQ(pushed.Rgb(1, 1), kYellow);
    EXPECT_NE(option.GetButtonState() & StatePushed, 0u);  // only hidden while painting

    option.SetSelected(true, false);
    CCanvas selected(20, 20, 0xFFFFFFFF);
    option.Paint(selected.Dc(), Rect(0, 0, 20, 20), NULL);
    EXPECT_EQ(selected.Rgb(10, 10), kGreen);
    EXPECT_EQ(selected.Rgb(1, 1), kYellow);
}
}  // namespace

namespace
{
TEST(ButtonSkin, BuiltOptionsKeepTheLastSelectionOfTheirGroup)
{
    CManagerUI manager;
    CNotifyRecorder notes;
    manager.AddNotifier(&notes);
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(L"<Window><Container>"
                                      L"<option name=\"a\" group=\"g\" selected=\"true\"/>"
                                      L"<OPTION name=\"b\" group=\"g\" selected=\"true\"/>"
                                      L"<CheckBox name=\"c\" selected=\"true\"/>"
                                      L"<Button name=\"ok\"/><Label name=\"l\"/><text name=\"t\"/>"
                                      L"</Container></Window>",
                                      NULL, &manager);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(manager.AttachRoot(root));

    COptionUI* a = static_cast<COptionUI*>(manager.FindControlByName(L"a")->FindInterface(L"Option"));
    COptionUI* b = static_cast<COptionUI*>(manager.FindControlByName(L"b")->FindInterface(L"Option"));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    ASSERT_NE(manager.GetOptionGroup(L"g"), nullptr);
    EXPECT_EQ(manager.GetOptionGroup(L"g")->GetSize(), 2);

    const std::pair<LPCWSTR, LPCWSTR> classes[] = {
        {L"c", L"CheckBox"}, {L"ok", L"Button"}, {L"l", L"Label"}, {L"t", L"Text"}};
    for (const auto& entry : classes)
        EXPECT_STREQ(manager.FindControlByName(entry.first)->GetClassName(), entry.second);
    // Every selection announced itself while the skin was built, and no deselection did.
    EXPECT_EQ(Types(notes),
              (std::vector<std::wstring>{L"selectchanged", L"selectchanged", L"selectchanged"}));
}
}  // namespace

namespace
{
TEST(ButtonFadeTimer, RunsFromAHoverChangeToTheEndOfTheFade)
{
    // A manager that needs real system timers needs a window.
    CTestWindow window(WS_POPUP, 100, 50);
    ASSERT_NE(window.Get(), (HWND)NULL);
    CManagerUI manager;
    manager.Init(window.Get());
    CButtonUI button;
    button.SetManager(&manager, NULL, false);
    button.SetPos(Rect(10, 10, 60, 30));
    TControlEvent enter = MakeEvent(EventMouseEnter, 20, 20);
    TControlEvent leave = MakeEvent(EventMouseLeave, 80, 20);
    TControlEvent tick = MakeEvent(EventTimer, 0, 0, CButtonUI::FadeTimerId);

    button.DispatchEvent(enter);  // no fading, no timer
    EXPECT_FALSE(manager.KillTimer(&button, CButtonUI::FadeTimerId));
    button.DispatchEvent(leave);

    button.SetFadeDelta(51);
    button.DispatchEvent(enter);
    for (int i = 0; i < 5; ++i)
        button.DispatchEvent(tick);
    ASSERT_EQ(button.GetFadeAlpha(), 0);
    EXPECT_FALSE(manager.KillTimer(&button, CButtonUI::FadeTimerId));  // the button stopped it

    button.DispatchEvent(leave);
    button.DispatchEvent(tick);
    EXPECT_EQ(button.GetFadeAlpha(), 51);
    EXPECT_TRUE(manager.KillTimer(&button, CButtonUI::FadeTimerId));  // still fading back
}
}  // namespace

namespace
{
TEST(ButtonCaption, StateColoursArePushedThenHotThenFocused)
{
    const DWORD normal = 0x000080, hot = 0x00A000, pushed = 0xC00000, focused = 0x8000C0, disabled = 0x606060;
    const std::vector<DWORD> all = {normal, hot, pushed, focused, disabled};
    struct
    {
        int states;
        DWORD expected;
    } const cases[] = {
        {0, normal},
        {Hot, hot},
        {Pushed, pushed},
        {Focused, focused},
        {Hot | Pushed, pushed},
        {Hot | Focused, hot},
        {Disabled, disabled},
    };
    CManagerUI manager;
    manager.AddFont(0, L"Tahoma", 22, true, false, false);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.states);
        CButtonUI button;
        button.SetManager(&manager, NULL, false);
        button.ApplyAttributeList(
            L"font=\"0\" text=\"MWM\" textcolor=\"#FF000080\" hottextcolor=\"#FF00A000\" "
            L"pushedtextcolor=\"#FFC00000\" focusedtextcolor=\"#FF8000C0\" "
            L"disabledtextcolor=\"#FF606060\"");
        button.SetPos(Rect(10, 10, 60, 30));
        EnterStates(button, c.states);
        CCanvas canvas(70, 40, 0xFFFFFFFF);
        button.Paint(canvas.Dc(), Rect(0, 0, 70, 40), NULL);
        for (DWORD colour : all)
            EXPECT_EQ(HasPixel(canvas, colour), colour == c.expected) << std::hex << colour;
    }
}

TEST(ButtonCaption, SelectedOptionUsesItsOwnColourAndNoStateColours)
{
    CManagerUI manager;
    manager.AddFont(0, L"Tahoma", 22, true, false, false);
    COptionUI option;
    option.SetManager(&manager, NULL, false);
    option.ApplyAttributeList(L"font=\"0\" text=\"MWM\" textcolor=\"#FF000080\" hottextcolor=\"#FF00A000\" "
                              L"selectedtextcolor=\"#FFC00000\"");
    option.SetPos(Rect(10, 10, 60, 30));
    option.SetSelected(true, false);
    EnterStates(option, Hot);
    CCanvas canvas(70, 40, 0xFFFFFFFF);
    option.Paint(canvas.Dc(), Rect(0, 0, 70, 40), NULL);
    EXPECT_TRUE(HasPixel(canvas, 0xC00000));
    EXPECT_FALSE(HasPixel(canvas, 0x00A000));
}
}  // namespace

// The press is over before the click runs: a click that shows a box shows it
// over a button that no longer looks pressed.
TEST(ButtonPress, TheButtonIsNoLongerPushedWhileItsClickRuns)
{
    struct TWatch
    {
        CButtonUI* button;
        UINT stateDuringClick = ~0u;
        bool OnNotify(void* param)
        {
            if (static_cast<TNotifyMsg*>(param)->type == NotifyType::Click)
                stateDuringClick = button->GetButtonState();
            return true;
        }
    };
    CManagerUI manager;
    CButtonUI button;
    button.SetManager(&manager, NULL, false);
    button.SetPos(Rect(0, 0, 80, 30));
    TWatch watch = {&button};
    button.notifyHandlers += MakeDelegate(&watch, &TWatch::OnNotify);
    TControlEvent down = MakeEvent(EventButtonDown, 20, 20);
    button.DispatchEvent(down);
    TControlEvent up = MakeEvent(EventButtonUp, 20, 20);
    button.DispatchEvent(up);
    ASSERT_NE(watch.stateDuringClick, ~0u) << "the click ran";
    EXPECT_EQ(watch.stateDuringClick & (StatePushed | StateCaptured), 0u);
}
