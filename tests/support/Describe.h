#pragma once
// Values as text, for comparisons and failure messages.

#include <windows.h>

#include <string>

// UTF-8 form of a wide text; an absent text is empty.
inline std::string Narrow(LPCWSTR text)
{
    if (text == NULL || *text == 0)
        return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, NULL, NULL);
    return out;
}

inline std::string Narrow(const std::wstring& text)
{
    return Narrow(text.c_str());
}

// "left,top,right,bottom".
inline std::string Show(const RECT& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom);
}
