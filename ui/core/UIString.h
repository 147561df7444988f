#pragma once

#include <windows.h>

// Wide (UTF-16) string with an inline buffer. Texts of up to 62 characters
// live inside the object; longer ones move to an exact-fit block on the
// process heap. The length is not cached: every operation that needs it counts
// to the terminator, so callers that loop keep their own copy.
class CUIString
{
public:
    enum
    {
        MAX_LOCAL_STRING_LEN = 63
    };

    CUIString();
    CUIString(WCHAR ch);
    CUIString(const CUIString& src);
    CUIString(LPCWSTR lpsz, int nLen = -1);
    ~CUIString();

    // Replaces the text by at most nLen characters of lpsz (stopping at its
    // terminator); a negative nLen takes the whole text, null is empty.
    // lpsz may point into this string.
    void Assign(LPCWSTR lpsz, int nLen = -1);
    // Appends; null appends nothing. lpsz may point into this string.
    void Append(LPCWSTR lpsz);
    void Append(const CUIString& str);
    void Append(WCHAR ch);
    void Empty();

    bool IsEmpty() const;
    int GetLength() const;
    LPCWSTR GetData() const;
    WCHAR GetAt(int nIndex) const;  // no range check
    operator LPCWSTR() const;

    const CUIString& operator=(const CUIString& src);
    const CUIString& operator=(LPCWSTR lpsz);  // null empties
    const CUIString& operator=(WCHAR ch);
    const CUIString& operator+=(const CUIString& src);
    const CUIString& operator+=(LPCWSTR lpsz);
    const CUIString& operator+=(WCHAR ch);
    CUIString operator+(const CUIString& src) const;
    CUIString operator+(LPCWSTR lpsz) const;

    // Ordinal comparisons of the 16-bit code units; null counts as empty.
    int Compare(LPCWSTR lpsz) const;
    int CompareNoCase(LPCWSTR lpsz) const;
    bool operator==(LPCWSTR lpsz) const;
    bool operator!=(LPCWSTR lpsz) const;
    bool operator<(LPCWSTR lpsz) const;

    void MakeLower();

    CUIString Left(int nLength) const;
    // Characters from iPos; a negative nLength means "to the end".
    CUIString Mid(int iPos, int nLength = -1) const;
    // -1 when absent or when iStart is outside the text.
    int Find(LPCWSTR pstrSub, int iStart = 0) const;
    int Find(WCHAR ch, int iStart = 0) const;
    int ReverseFind(WCHAR ch) const;
    // Replaces every occurrence, never searching inserted text again.
    // Returns the number of replacements; 0 for an empty search text.
    int Replace(LPCWSTR pstrFrom, LPCWSTR pstrTo);

    // wvsprintfW formatting. The result may be as long as wvsprintfW can
    // produce (1024 characters); longer output is cut there.
    int __cdecl Format(LPCWSTR pstrFormat, ...);

private:
    bool IsInline() const { return m_pstr == m_szBuffer; }
    bool Owns(LPCWSTR p) const;
    void ReleaseHeap();

    LPWSTR m_pstr;
    WCHAR m_szBuffer[MAX_LOCAL_STRING_LEN + 1];
};
