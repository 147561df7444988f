#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "tests/support/ManagerProbe.h"
#include "tests/support/TestWindow.h"
#include "ui/controls/Progress.h"

// A slider as the root of a real window, fed through the window procedure:
// the manager hit-tests it, takes the capture for a drag and routes the wheel.

namespace
{
// The slider's value at each "valuechanged" it sends.
class CValueLog : public INotifyUI
{
public:
    void Notify(TNotifyMsg& msg) override
    {
        if (msg.type == NotifyType::ValueChanged)
            values.push_back(static_cast<CSliderUI*>(msg.sender)->GetValue());
    }
    std::vector<int> values;
};

// A 110 x 20 slider over 0..100 with a 10-pixel thumb: x = 5 + value.
class SliderWindow : public testing::Test
{
protected:
    SliderWindow() : host(manager, 200, 60)
    {
        slider = new CSliderUI;
        manager.AttachRoot(slider);
        manager.AddNotifier(&values);
        slider->SetPos(CUIRect(0, 0, 110, 20), false);
    }
    ~SliderWindow() override { manager.RemoveNotifier(&values); }

    void Send(UINT message, WPARAM wParam, int x, int y)
    {
        ::SendMessageW(host.Get(), message, wParam, MAKELPARAM(x, y));
    }
    // Wheel messages carry screen coordinates.
    void Wheel(int notches, int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(host.Get(), &pt);
        ::SendMessageW(host.Get(), WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA),
                       MAKELPARAM(pt.x, pt.y));
    }

    CManagerProbe manager;
    CHostWindow host;
    CValueLog values;
    CSliderUI* slider;  // owned by the manager
};

TEST_F(SliderWindow, DragReportsOnReleaseOrOnEveryMoveWithImm)
{
    struct
    {
        const char* name;
        bool imm;
        std::vector<int> reported;
    } const cases[] = {
        {"without imm", false, {100}},
        {"with imm", true, {50, 80, 100}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        slider->SetSendMove(c.imm);
        slider->SetValue(0);
        values.values.clear();

        Send(WM_MOUSEMOVE, 0, 30, 10);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, 30, 10);
        EXPECT_EQ(slider->GetValue(), 25) << "the press moves the thumb to the pointer";
        EXPECT_TRUE(values.values.empty()) << "a press reports nothing";
        EXPECT_EQ(::GetCapture(), host.Get());
        EXPECT_NE(slider->GetSliderState() & StateCaptured, 0u);

        Send(WM_MOUSEMOVE, MK_LBUTTON, 55, 10);
        EXPECT_EQ(slider->GetValue(), 50);
        Send(WM_MOUSEMOVE, MK_LBUTTON, 85, 150);  // the capture keeps the drag going below the window
        EXPECT_EQ(slider->GetValue(), 80);
        Send(WM_LBUTTONUP, 0, 300, 10);  // beyond the right end
        EXPECT_EQ(slider->GetValue(), 100);
        EXPECT_EQ(values.values, c.reported);
        EXPECT_EQ(slider->GetSliderState() & StateCaptured, 0u);
        EXPECT_EQ(::GetCapture(), (HWND)NULL);
    }
}

// Every notch moves by "step" within the range and reports, also when the
// value is already at the end it pushes against.
TEST_F(SliderWindow, WheelStepsAndReportsAtTheEnds)
{
    slider->SetChangeStep(30);
    slider->SetValue(90);
    Wheel(1, 50, 10);
    EXPECT_EQ(slider->GetValue(), 100);
    Wheel(1, 50, 10);
    EXPECT_EQ(slider->GetValue(), 100);
    slider->SetValue(10);
    Wheel(-1, 50, 10);
    EXPECT_EQ(slider->GetValue(), 0);
    Wheel(-1, 50, 10);
    EXPECT_EQ(slider->GetValue(), 0);
    EXPECT_EQ(values.values, (std::vector<int>{100, 100, 0, 0}));
}

TEST_F(SliderWindow, DisabledSliderIgnoresThePress)
{
    slider->SetEnabled(false);
    slider->SetValue(40);
    Send(WM_MOUSEMOVE, 0, 90, 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 90, 10);
    Send(WM_LBUTTONUP, 0, 90, 10);
    EXPECT_EQ(slider->GetValue(), 40);
    EXPECT_TRUE(values.values.empty());
}
}  // namespace
