#pragma once
// How control attribute values are read. Every control's attribute setter goes
// through here, so that names, numbers and booleans read the same way in all
// of them.

#include <windows.h>

// Attribute names of controls are case-sensitive.
bool AttributeIs(LPCWSTR name, LPCWSTR known);

// Element names of the markup ignore case: ASCII letters match in either case,
// every other character only itself, as the C locale compares. Unlike the
// runtime's comparison this asks nothing of the locale, which costs more than
// comparing a short name.
bool NameIsNoCase(LPCWSTR name, LPCWSTR known);

// Exactly "true" is true; anything else, "True" included, is false. The
// rule of control attributes and image descriptors.
bool ParseBool(LPCWSTR value);

// "true" in any case ("TRUE", "True") is true; anything else, or no value, is
// false. The rule of the window's own attributes and of the skin's resource
// elements (fonts, images, defaults).
bool ParseBoolIgnoringCase(LPCWSTR value);

// A decimal number as wcstol reads it; what cannot be read is 0, and values beyond int saturate.
int ParseInt(LPCWSTR value);

// Lists of decimal numbers separated by exactly one character ("1,2,3,4", "400;300").
// Reads count numbers; numbers missing at the end of the text (or a null text) read as 0.
void ParseIntList(LPCWSTR text, int* values, int count);

// The four numbers of a rectangle: left, top, right, bottom.
RECT ParseIntRect(LPCWSTR text);
