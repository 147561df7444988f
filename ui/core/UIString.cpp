#include "ui/core/UIString.h"

#include <limits.h>
#include <stdarg.h>
#include <stdint.h>
#include <string.h>
#include <wchar.h>

namespace
{

// wvsprintfW never writes more than 1024 characters and a terminator, so this
// buffer bounds Format whatever the arguments are.
const int kFormatBufferChars = 1025;

LPCWSTR NonNull(LPCWSTR p)
{
    return p ? p : L"";
}

LPWSTR AllocChars(size_t nChars)
{
    if (nChars > SIZE_MAX / sizeof(WCHAR))
        return NULL;
    return static_cast<LPWSTR>(::HeapAlloc(::GetProcessHeap(), 0, nChars * sizeof(WCHAR)));
}

// Copies up to nLen characters of a source that may overlap the destination,
// stops at the source's terminator and pads with terminators through dst[nLen].
void CopyPadded(LPWSTR dst, LPCWSTR src, int nLen)
{
    size_t nCopy = wcsnlen(src, static_cast<size_t>(nLen));
    memmove(dst, src, nCopy * sizeof(WCHAR));
    for (size_t i = nCopy; i <= static_cast<size_t>(nLen); ++i)
        dst[i] = L'\0';
}

}  // namespace

CUIString::CUIString() : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
}

CUIString::CUIString(WCHAR ch) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = ch;
    m_szBuffer[1] = L'\0';
}

CUIString::CUIString(const CUIString& src) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(src.m_pstr);
}

CUIString::CUIString(LPCWSTR lpsz, int nLen) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(lpsz, nLen);
}

CUIString::~CUIString()
{
    ReleaseHeap();
}

bool CUIString::Owns(LPCWSTR p) const
{
    uintptr_t addr = reinterpret_cast<uintptr_t>(p);
    uintptr_t begin = reinterpret_cast<uintptr_t>(m_pstr);
    uintptr_t end = reinterpret_cast<uintptr_t>(m_pstr + GetLength());
    return addr >= begin && addr <= end;
}

void CUIString::ReleaseHeap()
{
    if (!IsInline())
    {
        ::HeapFree(::GetProcessHeap(), 0, m_pstr);
        m_pstr = m_szBuffer;
    }
}

void CUIString::Assign(LPCWSTR lpsz, int nLen)
{
    lpsz = NonNull(lpsz);
    if (nLen < 0)
        nLen = static_cast<int>(wcslen(lpsz));

    // The source may lie inside this string, so every path copies it into
    // its destination before the old block is freed.
    if (nLen < MAX_LOCAL_STRING_LEN)
    {
        CopyPadded(m_szBuffer, lpsz, nLen);
        ReleaseHeap();
        return;
    }
    if (GetLength() >= nLen)
    {
        CopyPadded(m_pstr, lpsz, nLen);
        return;
    }
    LPWSTR pNew = AllocChars(static_cast<size_t>(nLen) + 1);
    if (!pNew)
    {
        Empty();
        return;
    }
    CopyPadded(pNew, lpsz, nLen);
    ReleaseHeap();
    m_pstr = pNew;
}

void CUIString::Append(LPCWSTR lpsz)
{
    if (!lpsz || !*lpsz)
        return;
    size_t nAdd = wcslen(lpsz);
    size_t nCur = static_cast<size_t>(GetLength());
    size_t nNew = nCur + nAdd;
    if (nNew > INT_MAX - 1)
        return;

    if (nNew < MAX_LOCAL_STRING_LEN)
    {
        // Inline source and destination ranges never overlap here: the text
        // is copied to just past the current terminator.
        memmove(m_pstr + nCur, lpsz, nAdd * sizeof(WCHAR));
        m_pstr[nNew] = L'\0';
        return;
    }
    if (!IsInline() && !Owns(lpsz))
    {
        LPWSTR pNew =
            static_cast<LPWSTR>(::HeapReAlloc(::GetProcessHeap(), 0, m_pstr, (nNew + 1) * sizeof(WCHAR)));
        if (!pNew)
            return;
        m_pstr = pNew;
        memcpy(m_pstr + nCur, lpsz, nAdd * sizeof(WCHAR));
        m_pstr[nNew] = L'\0';
        return;
    }
    // Growing out of the inline buffer, or appending a part of ourselves:
    // build the new block completely before the old storage goes away.
    LPWSTR pNew = AllocChars(nNew + 1);
    if (!pNew)
        return;
    memcpy(pNew, m_pstr, nCur * sizeof(WCHAR));
    memcpy(pNew + nCur, lpsz, nAdd * sizeof(WCHAR));
    pNew[nNew] = L'\0';
    ReleaseHeap();
    m_pstr = pNew;
}

void CUIString::Append(const CUIString& str)
{
    Append(str.m_pstr);
}

void CUIString::Append(WCHAR ch)
{
    WCHAR sz[2] = {ch, L'\0'};
    Append(sz);
}

void CUIString::Empty()
{
    ReleaseHeap();
    m_szBuffer[0] = L'\0';
}

bool CUIString::IsEmpty() const
{
    return m_pstr[0] == L'\0';
}

int CUIString::GetLength() const
{
    return static_cast<int>(wcslen(m_pstr));
}

LPCWSTR CUIString::GetData() const
{
    return m_pstr;
}

WCHAR CUIString::GetAt(int nIndex) const
{
    return m_pstr[nIndex];
}

CUIString::operator LPCWSTR() const
{
    return m_pstr;
}

const CUIString& CUIString::operator=(const CUIString& src)
{
    Assign(src.m_pstr);
    return *this;
}

const CUIString& CUIString::operator=(LPCWSTR lpsz)
{
    if (lpsz)
        Assign(lpsz);
    else
        Empty();
    return *this;
}

const CUIString& CUIString::operator=(WCHAR ch)
{
    WCHAR sz[2] = {ch, L'\0'};
    Assign(sz);
    return *this;
}

const CUIString& CUIString::operator+=(const CUIString& src)
{
    Append(src.m_pstr);
    return *this;
}

const CUIString& CUIString::operator+=(LPCWSTR lpsz)
{
    Append(lpsz);
    return *this;
}

const CUIString& CUIString::operator+=(WCHAR ch)
{
    Append(ch);
    return *this;
}

CUIString CUIString::operator+(const CUIString& src) const
{
    CUIString s(*this);
    s.Append(src.m_pstr);
    return s;
}

CUIString CUIString::operator+(LPCWSTR lpsz) const
{
    CUIString s(*this);
    s.Append(lpsz);
    return s;
}

int CUIString::Compare(LPCWSTR lpsz) const
{
    return wcscmp(m_pstr, NonNull(lpsz));
}

int CUIString::CompareNoCase(LPCWSTR lpsz) const
{
    return _wcsicmp(m_pstr, NonNull(lpsz));
}

bool CUIString::operator==(LPCWSTR lpsz) const
{
    return Compare(lpsz) == 0;
}

bool CUIString::operator!=(LPCWSTR lpsz) const
{
    return Compare(lpsz) != 0;
}

bool CUIString::operator<(LPCWSTR lpsz) const
{
    return Compare(lpsz) < 0;
}

void CUIString::MakeLower()
{
    _wcslwr(m_pstr);
}

CUIString CUIString::Left(int nLength) const
{
    int nLen = GetLength();
    if (nLength < 0)
        nLength = 0;
    if (nLength > nLen)
        nLength = nLen;
    return CUIString(m_pstr, nLength);
}

CUIString CUIString::Mid(int iPos, int nLength) const
{
    int nLen = GetLength();
    // Callers keep iPos within the text; clamping only keeps a slip harmless.
    if (iPos < 0)
        iPos = 0;
    if (iPos > nLen)
        iPos = nLen;
    if (nLength < 0 || nLength > nLen - iPos)
        nLength = nLen - iPos;
    if (nLength <= 0)
        return CUIString();
    return CUIString(m_pstr + iPos, nLength);
}

int CUIString::Find(LPCWSTR pstrSub, int iStart) const
{
    if (!pstrSub)
        return -1;
    if (iStart != 0 && (iStart < 0 || iStart > GetLength()))
        return -1;
    // The runtime's wcsstr does not agree everywhere on an empty needle.
    if (!*pstrSub)
        return iStart;
    LPCWSTR p = wcsstr(m_pstr + iStart, pstrSub);
    return p ? static_cast<int>(p - m_pstr) : -1;
}

int CUIString::Find(WCHAR ch, int iStart) const
{
    if (ch == L'\0')
        return -1;
    if (iStart != 0 && (iStart < 0 || iStart >= GetLength()))
        return -1;
    LPCWSTR p = wcschr(m_pstr + iStart, ch);
    return p ? static_cast<int>(p - m_pstr) : -1;
}

int CUIString::ReverseFind(WCHAR ch) const
{
    if (ch == L'\0')
        return -1;
    LPCWSTR p = wcsrchr(m_pstr, ch);
    return p ? static_cast<int>(p - m_pstr) : -1;
}

int CUIString::Replace(LPCWSTR pstrFrom, LPCWSTR pstrTo)
{
    // An empty search text matches everywhere and would never finish.
    if (!pstrFrom || !*pstrFrom)
        return 0;
    // Own copies: either argument may point into this string, which every
    // replacement rewrites.
    CUIString sFrom(pstrFrom);
    CUIString sTo(pstrTo);
    int nFrom = sFrom.GetLength();
    int nTo = sTo.GetLength();

    int nCount = 0;
    int iPos = Find(sFrom.m_pstr, 0);
    while (iPos >= 0)
    {
        CUIString sNew = Left(iPos) + sTo + Mid(iPos + nFrom);
        Assign(sNew.m_pstr);
        iPos = Find(sFrom.m_pstr, iPos + nTo);
        ++nCount;
    }
    return nCount;
}

int __cdecl CUIString::Format(LPCWSTR pstrFormat, ...)
{
    CUIString sFormat(pstrFormat);
    WCHAR szBuffer[kFormatBufferChars] = {0};
    va_list argList;
    va_start(argList, pstrFormat);
    int iRet = ::wvsprintfW(szBuffer, sFormat.m_pstr, argList);
    va_end(argList);
    szBuffer[kFormatBufferChars - 1] = L'\0';
    Assign(szBuffer);
    return iRet;
}
