#include "ui/render/Color.h"

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
