#include "ui/render/Color.h"

#include <math.h>
#include <wchar.h>

DWORD ParseColorValue(LPCWSTR text, bool skipBlanks)
{
    if (text == NULL)
        return 0;
    if (skipBlanks)
        while (*text != L'\0' && *text <= L' ')
            ++text;
    if (*text == L'#')
        ++text;
    // unsigned long is 32 bits on this target, so wcstoul's saturation is
    // exactly 0xFFFFFFFF.
    return static_cast<DWORD>(wcstoul(text, NULL, 16));
}

namespace
{
// The light a channel gives off on a standard display: the sRGB curve undone.
double LinearChannel(BYTE channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : pow((c + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(DWORD argb)
{
    return 0.2126 * LinearChannel(ColorRed(argb)) + 0.7152 * LinearChannel(ColorGreen(argb)) +
           0.0722 * LinearChannel(ColorBlue(argb));
}
}  // namespace

double ContrastRatio(DWORD first, DWORD second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return a > b ? (a + 0.05) / (b + 0.05) : (b + 0.05) / (a + 0.05);
}

DWORD ReadableColorOn(DWORD background, DWORD preferred, DWORD fallback)
{
    if (ContrastRatio(preferred, background) >= MinReadableContrast)
        return preferred;
    if (ContrastRatio(fallback, background) >= MinReadableContrast)
        return fallback;
    return RelativeLuminance(background) > 0.18 ? 0xFF000000 : 0xFFFFFFFF;
}
