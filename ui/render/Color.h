#pragma once

#include <windows.h>

// Colours are 0xAARRGGBB. Six-digit texts leave alpha 0: invisible in fills,
// while text drawing ignores alpha.

// Reads a colour text: an optional "#", then hexadecimal digits as wcstoul
// reads them (leading blanks and "0x" accepted, more than eight digits
// saturate to 0xFFFFFFFF, no digits give 0). With skipBlanks, characters of
// code 32 or less before the "#" are skipped first. Null reads as 0.
DWORD ParseColorValue(LPCWSTR text, bool skipBlanks = false);

inline BYTE ColorAlpha(DWORD argb)
{
    return static_cast<BYTE>(argb >> 24);
}
inline BYTE ColorRed(DWORD argb)
{
    return static_cast<BYTE>(argb >> 16);
}
inline BYTE ColorGreen(DWORD argb)
{
    return static_cast<BYTE>(argb >> 8);
}
inline BYTE ColorBlue(DWORD argb)
{
    return static_cast<BYTE>(argb);
}

// The red, green and blue of an ARGB colour as GDI's COLORREF; alpha dropped.
inline COLORREF ArgbToColorRef(DWORD argb)
{
    return RGB(ColorRed(argb), ColorGreen(argb), ColorBlue(argb));
}

// How well one colour reads on another: the ratio of their relative
// luminances (each plus 0.05), from 1 (the same) to 21 (black on white).
// Alpha is ignored.
double ContrastRatio(DWORD first, DWORD second);
// Text and links of ordinary size read on a background from this ratio on.
const double MinReadableContrast = 3.0;
// preferred when it reads on background, else fallback when that does, else
// black or white, whichever reads better.
DWORD ReadableColorOn(DWORD background, DWORD preferred, DWORD fallback);
