// The main window's size from what the skin asks for, and its place on a work area.

#include "installer/WindowPlacement.h"

#include <gtest/gtest.h>

namespace
{

using installer::CentreOn;
using installer::ChooseWindowSize;

TEST(WindowPlacement, ChoosesAUsableSizeWithinTheWorkArea)
{
    const SIZE work = {1000, 700};
    struct
    {
        const char* what;
        SIZE requested, minimum, expected;
    } cases[] = {
        {"the skin's size", {606, 425}, {0, 0}, {606, 425}},
        {"no size: the default", {0, 0}, {0, 0}, {480, 320}},
        {"one number: the default", {606, 0}, {0, 0}, {480, 320}},
        {"negative: the default", {-606, -425}, {0, 0}, {480, 320}},
        {"too small to show anything: the default", {1, 1}, {0, 0}, {480, 320}},
        {"no size but a minimum: the minimum", {0, 0}, {500, 400}, {500, 400}},
        {"smaller than the minimum: grown to it", {300, 500}, {500, 400}, {500, 500}},
        {"a minimum of one side applies to that side", {300, 200}, {0, 250}, {300, 250}},
        {"larger than the work area: the work area", {99999, 99999}, {0, 0}, {1000, 700}},
        {"a minimum larger than the work area: the work area", {0, 0}, {5000, 5000}, {1000, 700}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const SIZE size = ChooseWindowSize(c.requested, c.minimum, work);
        EXPECT_EQ(size.cx, c.expected.cx);
        EXPECT_EQ(size.cy, c.expected.cy);
    }
}

TEST(WindowPlacement, CentresOnTheWorkAreaWhereverItIs)
{
    struct
    {
        const char* what;
        SIZE size;
        RECT work, expected;
    } cases[] = {
        {"primary monitor", {600, 400}, {0, 0, 1280, 800}, {340, 200, 940, 600}},
        {"odd free space rounds up and left", {601, 401}, {0, 0, 1280, 800}, {339, 199, 940, 600}},
        {"a taskbar on top", {600, 400}, {0, 40, 1280, 800}, {340, 220, 940, 620}},
        {"a monitor left of the primary one", {600, 400}, {-1920, 0, 0, 1080}, {-1260, 340, -660, 740}},
        {"as large as the area", {1280, 800}, {0, 0, 1280, 800}, {0, 0, 1280, 800}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const RECT r = CentreOn(c.size, c.work);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

}  // namespace
