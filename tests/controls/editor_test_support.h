#pragma once

#include <windows.h>

#include "tests/support/Canvas.h"
#include "tests/support/Describe.h"
#include "tests/support/RealInput.h"
#include "tests/support/ShownWindow.h"
#include "ui/controls/Control.h"

// The shown window of the edit and date picker tests, built from the body of
// a "Window" element: controls, fonts, defaults.
class CEditorHost : public CShownWindow
{
public:
    CEditorHost(int width, int height, const wchar_t* xml, bool layered = false)
        : CShownWindow(WindowDocument(xml).c_str(), width, height, layered)
    {
    }
};

// Native child windows of parent whose class is className.
int CountChildWindows(HWND parent, const wchar_t* className);
// Top-level windows of this thread.
int CountThreadWindows();

// The window's client rectangle of a native child.
RECT ChildRect(HWND parent, HWND child);
