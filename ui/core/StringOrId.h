#pragma once

#include <windows.h>

// Either a wide string or a 16-bit resource identifier, in one pointer-sized
// value (the platform's integer-resource convention: values below 0x10000 are
// identifiers). Lets one argument name a skin file or a resource number.
class CUIStringOrId
{
public:
    CUIStringOrId(LPCWSTR lpString) : m_lpstr(lpString) {}
    CUIStringOrId(WORD nID) : m_lpstr(MAKEINTRESOURCEW(nID)) {}

    bool IsId() const { return IS_INTRESOURCE(m_lpstr); }
    WORD GetId() const { return IsId() ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(m_lpstr)) : 0; }
    // The string, or null when the value is an identifier.
    LPCWSTR GetString() const { return IsId() ? NULL : m_lpstr; }
    // The raw value, as FindResourceW and friends take it.
    LPCWSTR m_lpstr;
};
