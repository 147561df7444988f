#pragma once
// Skin attributes hold lists of decimal numbers separated by exactly one
// character ("1,2,3,4", "400;300"). Every reader of such a list goes through
// here, so that they all stop at the end of the text the same way.

#include <windows.h>

// Reads count numbers; numbers missing at the end of the text (or a null text) read as 0.
void ParseIntList(LPCWSTR text, int* values, int count);

// The four numbers of a rectangle: left, top, right, bottom.
RECT ParseIntRect(LPCWSTR text);
