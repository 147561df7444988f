#include "tests/support/RealInput.h"

namespace
{
// Absolute pointer input counts in 1/65535ths of the screen.
LONG Normalized(int coordinate, int metric)
{
    return static_cast<LONG>(coordinate * 65535 / (::GetSystemMetrics(metric) - 1));
}

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
}

void SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}
}  // namespace

void MoveMouse(int screenX, int screenY)
{
    ::SetCursorPos(screenX, screenY);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalized(screenX, SM_CXSCREEN),
              Normalized(screenY, SM_CYSCREEN));
}

void MoveMouse(POINT screen)
{
    MoveMouse(screen.x, screen.y);
}

void MouseButton(bool down)
{
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
}

void ClickAt(int screenX, int screenY)
{
    MoveMouse(screenX, screenY);
    MouseButton(true);
    MouseButton(false);
}

void PressKey(WORD vk, bool ctrl, bool shift)
{
    if (ctrl)
        SendKey(VK_CONTROL, false);
    if (shift)
        SendKey(VK_SHIFT, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (shift)
        SendKey(VK_SHIFT, true);
    if (ctrl)
        SendKey(VK_CONTROL, true);
}

void TypeText(const char* text)
{
    // Upper-case letters, digits and the blank are their own virtual keys.
    for (const char* p = text; *p != '\0'; ++p)
        PressKey(static_cast<WORD>(*p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p));
}
