#pragma once

#include <windows.h>

// The system's own input (SendInput), as a user's mouse and keyboard give it.
// It goes to whatever window is in front, so the tests that use it run alone,
// never beside another test on the same display.

// Puts the pointer at a point of the screen.
void MoveMouse(int screenX, int screenY);
void MoveMouse(POINT screen);
// Presses or releases the left button where the pointer is.
void MouseButton(bool down);
// Moves the pointer to a point of the screen and clicks the left button there.
void ClickAt(int screenX, int screenY);
// Presses and releases a virtual key, with Control and Shift held if asked.
void PressKey(WORD vk, bool ctrl = false, bool shift = false);
// Types lower-case letters, digits and blanks.
void TypeText(const char* text);
