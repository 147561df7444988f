#include "richedit_window.h"

#include "tests/support/Describe.h"

void CEditWindow::ClickInto(int x, int y)
{
    MoveMouse(Screen(x, y));
    Settle(50);
    MouseButton(true);
    MouseButton(false);
    Settle();
}

int CEditWindow::Count(LPCWSTR type) const
{
    return static_cast<int>(CShownWindow::Count("edit:" + Narrow(type)));
}
