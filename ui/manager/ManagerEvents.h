#pragma once

#include <windows.h>

#include "ui/core/UIDefs.h"

class CControlUI;

// Control events as the manager's message handlers build and deliver them.

TControlEvent MakeEvent(EventKind kind, CControlUI* sender, POINT pt, WORD keyState, WPARAM wParam,
                        LPARAM lParam);
// Delivers event to target, which becomes its sender unless one is set.
void Send(CControlUI* target, TControlEvent event);
// A keyboard event: the current key state, and the key's character from wParam.
TControlEvent KeyEvent(EventKind kind, POINT pt, WPARAM wParam, LPARAM lParam);
