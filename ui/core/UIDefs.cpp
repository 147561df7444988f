#include "ui/core/UIDefs.h"

namespace
{
bool IsKeyDown(int virtualKey)
{
    return (::GetKeyState(virtualKey) & 0x8000) != 0;
}
}  // namespace

WORD MapKeyState()
{
    static const struct
    {
        int virtualKey;
        WORD bit;
    } kMap[] = {
        {VK_LBUTTON, KeyStateLeftButton}, {VK_RBUTTON, KeyStateRightButton},
        {VK_SHIFT, KeyStateShift},        {VK_CONTROL, KeyStateControl},
        {VK_MENU, KeyStateAlt},
    };
    WORD state = 0;
    for (const auto& entry : kMap)
    {
        if (IsKeyDown(entry.virtualKey))
            state |= entry.bit;
    }
    return state;
}

WPARAM ScrollWheelEventCode(WPARAM wheelMessageWParam)
{
    const short delta = static_cast<short>(HIWORD(wheelMessageWParam));
    return delta < 0 ? SB_LINEDOWN : SB_LINEUP;
}
