#pragma once
// Where the main window goes once its skin is built: the skin's "size" when it
// is usable, never smaller than the skin's minimum size, never larger than the
// work area of its monitor, and centred on that work area.

#include <windows.h>

namespace installer
{

// Used when the skin gives no usable size and no minimum size.
constexpr SIZE kDefaultWindowSize = {480, 320};
// A side shorter than this shows no more than a piece of the caption.
constexpr LONG kSmallestWindowSide = 64;

// The outer size of the window for the skin's "size" (requested) and "mininfo" (minimum), either of
// which may be missing (zero), partial, negative or absurd, on a work area of the given size.
SIZE ChooseWindowSize(SIZE requested, SIZE minimum, SIZE workArea);

// The rectangle of the given size centred on the work area (its left and top inside the area).
RECT CentreOn(SIZE size, const RECT& workArea);

// Sizes the window as ChooseWindowSize says and centres it on the work area of its monitor.
void PlaceWindow(HWND window, SIZE requested, SIZE minimum);

}  // namespace installer
