#include <gtest/gtest.h>

#include <windows.h>

#include "ui/core/UIDefs.h"

TEST(EventKinds, KeyboardAndMouseRangesMatchTheKindTable)
{
    struct Case
    {
        int kind;
        bool keyboard;
        bool mouse;
    };
    const Case cases[] = {
        {2, false, false},
        {EventKeyDown, true, false},
        {EventSysKey, true, false},
        {7, false, false},
        {8, false, false},
        {EventMouseMove, false, true},
        {EventMouseHover, false, true},
        {EventButtonDown, false, true},
        {EventContextMenu, false, true},
        {EventScrollWheel, false, true},
        {19, false, false},
        {EventKillFocus, false, false},
        {EventSetCursor, false, false},
        {EventTimer, false, false},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(IsKeyboardEvent(c.kind), c.keyboard) << c.kind;
        EXPECT_EQ(IsMouseEvent(c.kind), c.mouse) << c.kind;
    }
}

namespace
{
// Sets exactly the given keys as held in this thread's key-state table.
void HoldKeys(std::initializer_list<int> keys)
{
    BYTE state[256] = {};
    for (int key : keys)
        state[key] = 0x80;
    ASSERT_TRUE(::SetKeyboardState(state));
}
}  // namespace

TEST(EventKinds, MapKeyStateReadsTheHeldKeys)
{
    struct Case
    {
        std::initializer_list<int> keys;
        WORD expected;
    };
    const Case cases[] = {
        {{}, 0},
        {{VK_MENU}, KeyStateAlt},
        {{VK_LBUTTON, VK_RBUTTON}, KeyStateLeftButton | KeyStateRightButton},
        {{VK_SHIFT, VK_CONTROL}, KeyStateShift | KeyStateControl},
        {{VK_MBUTTON, VK_XBUTTON1}, 0},  // the middle and extra buttons never map
        {{VK_LBUTTON, VK_RBUTTON, VK_SHIFT, VK_CONTROL, VK_MENU}, 0x2F},
    };
    for (const Case& c : cases)
    {
        HoldKeys(c.keys);
        EXPECT_EQ(MapKeyState(), c.expected);
    }
    HoldKeys({});
}

TEST(EventKinds, WheelDeltaSignChoosesLineUpOrDown)
{
    EXPECT_EQ(ScrollWheelEventCode(MAKEWPARAM(0, 120)), 0u);
    EXPECT_EQ(ScrollWheelEventCode(MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-120))), 1u);
    EXPECT_EQ(ScrollWheelEventCode(MAKEWPARAM(0, static_cast<WORD>(-1))), 1u);
    EXPECT_EQ(ScrollWheelEventCode(MAKEWPARAM(0, 240)), 0u);
}
