#include "ui/core/AttributeValues.h"

#include <cwchar>

#include "ui/core/Numeric.h"

bool AttributeIs(LPCWSTR name, LPCWSTR known)
{
    return std::wcscmp(name, known) == 0;
}

namespace
{
wchar_t AsciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
}  // namespace

bool NameIsNoCase(LPCWSTR name, LPCWSTR known)
{
    for (;; ++name, ++known)
    {
        if (AsciiLower(*name) != AsciiLower(*known))
            return false;
        if (*name == L'\0')
            return true;
    }
}

bool ParseBool(LPCWSTR value)
{
    return std::wcscmp(value, L"true") == 0;
}

bool ParseBoolIgnoringCase(LPCWSTR value)
{
    return value != NULL && _wcsicmp(value, L"true") == 0;
}

int ParseInt(LPCWSTR value)
{
    return SaturateInt(std::wcstoll(value, NULL, 10));
}

void ParseIntList(LPCWSTR text, int* values, int count)
{
    LPCWSTR p = text != NULL ? text : L"";
    for (int i = 0; i < count; ++i)
    {
        values[i] = 0;
        if (*p == L'\0')
            continue;
        wchar_t* end = NULL;
        values[i] = static_cast<int>(std::wcstol(p, &end, 10));
        p = *end == L'\0' ? end : end + 1;  // step over the one separator
    }
}

RECT ParseIntRect(LPCWSTR text)
{
    int v[4];
    ParseIntList(text, v, 4);
    RECT rc = {v[0], v[1], v[2], v[3]};
    return rc;
}
