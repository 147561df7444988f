#include "ui/markup/XmlMarkup.h"

#include "ui/markup/ResourceLocations.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace
{

const int kErrorMessageChars = 99;
const int kErrorLocationChars = 49;

bool IsWhitespace(WCHAR ch)
{
    return ch > L'\0' && ch <= L' ';
}

void SkipWhitespace(LPWSTR& p)
{
    while (IsWhitespace(*p))
        ++p;
}

void SkipWhitespace(LPCWSTR& p, LPCWSTR pEnd)
{
    while (p < pEnd && IsWhitespace(*p))
        ++p;
}

// Where an unexpected character is reported: the text just after it, or the
// end of the text when the text ended instead.
LPWSTR PastOffending(LPWSTR p)
{
    return *p != L'\0' ? p + 1 : p;
}

void SkipIdentifier(LPWSTR& p)
{
    while (*p != L'\0' && (*p == L'_' || *p == L':' || ::IsCharAlphaNumericW(*p)))
        ++p;
}

// One character as the text stores it: a surrogate pair is one unit.
int CharUnits(LPCWSTR p)
{
    if (IS_HIGH_SURROGATE(p[0]) && IS_LOW_SURROGATE(p[1]))
        return 2;
    return 1;
}

// A terminated copy of `count` characters in a new buffer, or null.
LPWSTR NewText(size_t count)
{
    if (count >= INT_MAX)
        return NULL;
    LPWSTR p = static_cast<LPWSTR>(malloc((count + 1) * sizeof(WCHAR)));
    if (p)
        p[count] = L'\0';
    return p;
}

LPWSTR ConvertMultiByte(UINT codePage, const BYTE* pByte, DWORD dwSize)
{
    if (dwSize == 0)
        return NewText(0);
    if (dwSize > INT_MAX)
        return NULL;
    LPCSTR src = reinterpret_cast<LPCSTR>(pByte);
    int n = ::MultiByteToWideChar(codePage, 0, src, static_cast<int>(dwSize), NULL, 0);
    if (n <= 0)
        return NULL;
    LPWSTR p = NewText(static_cast<size_t>(n));
    if (!p)
        return NULL;
    ::MultiByteToWideChar(codePage, 0, src, static_cast<int>(dwSize), p, n);
    return p;
}

}  // namespace

// ---------------------------------------------------------------------------
// CXmlNode

CXmlNode::CXmlNode() : m_iPos(0), m_nAttributes(0), m_pOwner(NULL)
{
}

CXmlNode::CXmlNode(CXmlMarkup* pOwner, int iPos) : m_iPos(iPos), m_nAttributes(0), m_pOwner(pOwner)
{
}

bool CXmlNode::IsValid() const
{
    return m_pOwner != NULL;
}

LPCWSTR CXmlNode::GetName() const
{
    if (!m_pOwner)
        return NULL;
    return m_pOwner->m_pstrXML + m_pOwner->Element(m_iPos).nameOffset;
}

CXmlNode CXmlNode::GetChild() const
{
    if (!m_pOwner)
        return CXmlNode();
    int iPos = m_pOwner->Element(m_iPos).firstChild;
    return iPos == 0 ? CXmlNode() : CXmlNode(m_pOwner, iPos);
}

CXmlNode CXmlNode::GetSibling() const
{
    if (!m_pOwner)
        return CXmlNode();
    int iPos = m_pOwner->Element(m_iPos).nextSibling;
    return iPos == 0 ? CXmlNode() : CXmlNode(m_pOwner, iPos);
}

CXmlNode CXmlNode::GetParent() const
{
    if (!m_pOwner)
        return CXmlNode();
    int iPos = m_pOwner->Element(m_iPos).parent;
    return iPos == 0 ? CXmlNode() : CXmlNode(m_pOwner, iPos);
}

bool CXmlNode::HasChildren() const
{
    return m_pOwner && m_pOwner->Element(m_iPos).firstChild != 0;
}

bool CXmlNode::HasSiblings() const
{
    return m_pOwner && m_pOwner->Element(m_iPos).nextSibling != 0;
}

bool CXmlNode::HasAttributes() const
{
    return GetAttributeCount() > 0;
}

int CXmlNode::GetAttributeCount() const
{
    if (!m_pOwner)
        return 0;
    if (m_nAttributes == 0)
        MapAttributes();
    return m_nAttributes;
}

LPCWSTR CXmlNode::GetAttributeName(int iIndex) const
{
    if (!m_pOwner)
        return NULL;
    if (iIndex < 0 || iIndex >= GetAttributeCount())
        return L"";
    return m_pOwner->m_pstrXML + m_aAttributes[iIndex].nameOffset;
}

LPCWSTR CXmlNode::GetAttributeValue(int iIndex) const
{
    if (!m_pOwner)
        return NULL;
    if (iIndex < 0 || iIndex >= GetAttributeCount())
        return L"";
    return m_pOwner->m_pstrXML + m_aAttributes[iIndex].valueOffset;
}

LPCWSTR CXmlNode::GetAttributeValue(LPCWSTR pstrName) const
{
    if (!m_pOwner || !pstrName)
        return NULL;
    int n = GetAttributeCount();
    for (int i = 0; i < n; ++i)
    {
        if (wcscmp(m_pOwner->m_pstrXML + m_aAttributes[i].nameOffset, pstrName) == 0)
            return m_pOwner->m_pstrXML + m_aAttributes[i].valueOffset;
    }
    return NULL;
}

bool CXmlNode::GetAttributeValue(LPCWSTR pstrName, LPWSTR pstrValue, SIZE_T cchMax) const
{
    LPCWSTR pstrFound = GetAttributeValue(pstrName);
    if (!pstrFound || !pstrValue)
        return false;
    size_t n = wcsnlen(pstrFound, cchMax);
    memcpy(pstrValue, pstrFound, n * sizeof(WCHAR));
    pstrValue[n] = L'\0';
    return true;
}

// The attribute region runs from just after the element name's terminator to
// dataOffset. Every step is bounded by that end: the region of "<Window >" at
// the very end of a document is followed by nothing but the buffer's terminator.
void CXmlNode::MapAttributes() const
{
    m_nAttributes = 0;
    LPCWSTR pstrText = m_pOwner->m_pstrXML;
    const TXmlElement& element = m_pOwner->Element(m_iPos);
    LPCWSTR pstrName = pstrText + element.nameOffset;
    LPCWSTR pEnd = pstrText + element.dataOffset;
    LPCWSTR p = pstrName + wcslen(pstrName) + 1;
    while (p < pEnd)
    {
        SkipWhitespace(p, pEnd);
        if (p >= pEnd)
            return;
        int nameOffset = static_cast<int>(p - pstrText);
        while (p < pEnd && *p != L'\0')
            ++p;
        if (p >= pEnd)
            return;
        ++p;
        SkipWhitespace(p, pEnd);
        if (p >= pEnd || *p != L'"')
            return;
        ++p;
        m_aAttributes[m_nAttributes].nameOffset = nameOffset;
        m_aAttributes[m_nAttributes].valueOffset = static_cast<int>(p - pstrText);
        if (++m_nAttributes >= MAX_XML_ATTRIBUTES)
            return;
        while (p < pEnd && *p != L'\0')
            ++p;
        ++p;
    }
}

// ---------------------------------------------------------------------------
// CXmlMarkup

CXmlMarkup::CXmlMarkup(LPCWSTR pstrXML)
    : m_pstrXML(NULL),
      m_pElements(NULL),
      m_nElements(0),
      m_nReservedElements(0),
      m_bPreserveWhitespace(true)
{
    m_szErrorMsg[0] = L'\0';
    m_szErrorXML[0] = L'\0';
    if (pstrXML)
        LoadFromString(pstrXML);
}

CXmlMarkup::~CXmlMarkup()
{
    Release();
}

bool CXmlMarkup::IsValid() const
{
    return m_pElements != NULL;
}

void CXmlMarkup::SetPreserveWhitespace(bool bPreserve)
{
    m_bPreserveWhitespace = bPreserve;
}

LPCWSTR CXmlMarkup::GetLastErrorMessage() const
{
    return m_szErrorMsg;
}

LPCWSTR CXmlMarkup::GetLastErrorLocation() const
{
    return m_szErrorXML;
}

void CXmlMarkup::Release()
{
    free(m_pstrXML);
    free(m_pElements);
    m_pstrXML = NULL;
    m_pElements = NULL;
    m_nElements = 0;
    m_nReservedElements = 0;
}

CXmlNode CXmlMarkup::GetRoot()
{
    if (m_nElements < 2)
        return CXmlNode();
    return CXmlNode(this, 1);
}

bool CXmlMarkup::Fail(LPCWSTR pstrMessage)
{
    Release();
    return SetError(pstrMessage, NULL);
}

bool CXmlMarkup::SetError(LPCWSTR pstrMessage, LPCWSTR pstrLocation)
{
    wcsncpy(m_szErrorMsg, pstrMessage ? pstrMessage : L"", kErrorMessageChars);
    m_szErrorMsg[kErrorMessageChars] = L'\0';
    wcsncpy(m_szErrorXML, pstrLocation ? pstrLocation : L"", kErrorLocationChars);
    m_szErrorXML[kErrorLocationChars] = L'\0';
    return false;
}

bool CXmlMarkup::LoadFromString(LPCWSTR pstrXML)
{
    Release();
    if (!pstrXML)
        pstrXML = L"";
    size_t n = wcslen(pstrXML);
    LPWSTR pstrText = NewText(n);
    if (!pstrText)
        return Fail(L"Out of memory");
    memcpy(pstrText, pstrXML, n * sizeof(WCHAR));
    return AdoptText(pstrText);
}

bool CXmlMarkup::LoadFromMemory(const BYTE* pByte, DWORD dwSize, int encoding)
{
    Release();
    if (!pByte && dwSize > 0)
        return Fail(L"No data");

    LPWSTR pstrText = NULL;
    switch (encoding)
    {
    case XMLFILE_ENCODING_UTF8:
        if (dwSize >= 3 && pByte[0] == 0xEF && pByte[1] == 0xBB && pByte[2] == 0xBF)
        {
            pByte += 3;
            dwSize -= 3;
        }
        pstrText = ConvertMultiByte(CP_UTF8, pByte, dwSize);
        break;
    case XMLFILE_ENCODING_ANSI:
        pstrText = ConvertMultiByte(CP_ACP, pByte, dwSize);
        break;
    case XMLFILE_ENCODING_UNICODE:
    {
        bool bLittle = dwSize >= 2 && pByte[0] == 0xFF && pByte[1] == 0xFE;
        bool bBig = dwSize >= 2 && pByte[0] == 0xFE && pByte[1] == 0xFF;
        if (!bLittle && !bBig)
            return Fail(L"Expected a UTF-16 byte-order mark");
        size_t nUnits = dwSize / 2 - 1;
        pstrText = NewText(nUnits);
        if (!pstrText)
            return Fail(L"Out of memory");
        const BYTE* src = pByte + 2;
        for (size_t i = 0; i < nUnits; ++i, src += 2)
        {
            pstrText[i] = bLittle ? static_cast<WCHAR>(src[0] | (src[1] << 8))
                                  : static_cast<WCHAR>((src[0] << 8) | src[1]);
        }
        break;
    }
    default:
        return Fail(L"Unknown encoding");
    }
    if (!pstrText)
        return Fail(L"Could not convert the document to text");
    return AdoptText(pstrText);
}

bool CXmlMarkup::AdoptText(LPWSTR pstrText)
{
    m_pstrXML = pstrText;
    if (Parse())
        return true;
    Release();
    return false;
}

int CXmlMarkup::ReserveElement()
{
    if (m_nElements >= m_nReservedElements)
    {
        int nGrowth = m_nReservedElements / 2 + 500;
        if (m_nReservedElements > INT_MAX / static_cast<int>(sizeof(TXmlElement)) - nGrowth)
            return -1;
        int nNew = m_nReservedElements + nGrowth;
        TXmlElement* pNew = static_cast<TXmlElement*>(realloc(m_pElements, nNew * sizeof(TXmlElement)));
        if (!pNew)
            return -1;
        m_pElements = pNew;
        m_nReservedElements = nNew;
    }
    return m_nElements++;
}

bool CXmlMarkup::Parse()
{
    m_szErrorMsg[0] = L'\0';
    m_szErrorXML[0] = L'\0';
    if (ReserveElement() < 0)
        return SetError(L"Out of memory", NULL);
    memset(&m_pElements[0], 0, sizeof(TXmlElement));
    LPWSTR pstrText = m_pstrXML;
    return ParseElements(pstrText, 0, 1);
}

// One level of sibling elements under iParent; pstrText is the shared cursor.
// Returns with the cursor on the "<" of an end tag that belongs to the caller,
// or at the end of the text where the document may end there.
bool CXmlMarkup::ParseElements(LPWSTR& pstrText, int iParent, int iDepth)
{
    // The root and its direct children may be left open at the end of the text.
    const bool bMayEndHere = iParent == 0 || iParent == 1;
    int iPrevious = 0;
    SkipWhitespace(pstrText);
    for (;;)
    {
        if (*pstrText == L'\0' && bMayEndHere)
            return true;
        SkipWhitespace(pstrText);
        if (*pstrText != L'<')
            return SetError(L"Expected start tag", pstrText);
        if (pstrText[1] == L'/')
            return true;
        *pstrText++ = L'\0';
        SkipWhitespace(pstrText);

        // Comments, declarations and processing instructions are skipped whole.
        if (*pstrText == L'!' || *pstrText == L'?')
        {
            WCHAR chFirst = *pstrText == L'!' ? L'-' : L'?';
            while (*pstrText != L'\0' && !(pstrText[0] == chFirst && pstrText[1] == L'>'))
                pstrText += CharUnits(pstrText);
            if (*pstrText != L'\0')
                pstrText += 2;
            SkipWhitespace(pstrText);
            continue;
        }

        if (iDepth > MAX_NESTING_DEPTH)
            return SetError(L"Elements nested too deeply", pstrText);
        int iPos = ReserveElement();
        if (iPos < 0)
            return SetError(L"Out of memory", pstrText);
        TXmlElement& element = m_pElements[iPos];
        element.nameOffset = static_cast<int>(pstrText - m_pstrXML);
        element.firstChild = 0;
        element.nextSibling = 0;
        element.parent = iParent;
        element.dataOffset = element.nameOffset;
        if (iPrevious != 0)
            m_pElements[iPrevious].nextSibling = iPos;
        else if (iParent != 0)
            m_pElements[iParent].firstChild = iPos;
        iPrevious = iPos;

        LPCWSTR pstrName = pstrText;
        SkipIdentifier(pstrText);
        LPWSTR pstrNameEnd = pstrText;
        if (*pstrText == L'\0')
            return SetError(L"Error parsing element name", pstrNameEnd);
        if (!ParseAttributes(pstrText))
            return false;
        SkipWhitespace(pstrText);

        if (pstrText[0] == L'/' && pstrText[1] == L'>')
        {
            m_pElements[iPos].dataOffset = static_cast<int>(pstrText - m_pstrXML);
            *pstrText = L'\0';
            pstrText += 2;
            *pstrNameEnd = L'\0';
            SkipWhitespace(pstrText);
            continue;
        }
        if (*pstrText != L'>')
            return SetError(L"Expected start-tag closing", pstrText);
        ++pstrText;
        m_pElements[iPos].dataOffset = static_cast<int>(pstrText - m_pstrXML);

        LPWSTR pstrDest = pstrText;
        if (!ParseData(pstrText, pstrDest, L'<'))
            return false;
        if (*pstrText == L'\0' && bMayEndHere)
        {
            // The name still runs into ">" and the content: cut it before leaving.
            *pstrNameEnd = L'\0';
            *pstrDest = L'\0';
            return true;
        }
        if (*pstrText != L'<')
            return SetError(L"Expected end-tag start", pstrText);
        if (pstrText[1] != L'/')
        {
            if (!ParseElements(pstrText, iPos, iDepth + 1))
                return false;
        }

        if (pstrText[0] == L'<' && pstrText[1] == L'/')
        {
            *pstrDest = L'\0';
            *pstrText = L'\0';
            pstrText += 2;
            SkipWhitespace(pstrText);
            size_t nNameLen = static_cast<size_t>(pstrNameEnd - pstrName);
            // The name is not terminated yet, so compare exactly its length; a
            // shorter end-tag name stops at its own first differing character.
            if (wcsncmp(pstrText, pstrName, nNameLen) != 0)
                return SetError(L"Unmatched closing tag", pstrText);
            pstrText += nNameLen;
            SkipWhitespace(pstrText);
            if (*pstrText != L'>')
                return SetError(L"Unmatched closing tag", PastOffending(pstrText));
            ++pstrText;
        }
        *pstrNameEnd = L'\0';
        SkipWhitespace(pstrText);
    }
}

// Cursor just after an element name. Cuts out name="value" pairs; the name of
// the first attribute also ends the element name.
bool CXmlMarkup::ParseAttributes(LPWSTR& pstrText)
{
    if (*pstrText == L'>' || *pstrText == L'/')
        return true;
    *pstrText++ = L'\0';
    for (;;)
    {
        SkipWhitespace(pstrText);
        if (*pstrText == L'\0' || *pstrText == L'/' || *pstrText == L'>')
            return true;
        SkipIdentifier(pstrText);
        LPWSTR pstrIdentifierEnd = pstrText;
        SkipWhitespace(pstrText);
        if (*pstrText != L'=')
            return SetError(L"Error while parsing attributes", pstrText);
        *pstrText++ = L' ';
        *pstrIdentifierEnd = L'\0';
        SkipWhitespace(pstrText);
        if (*pstrText != L'"')
            return SetError(L"Expected attribute value", PastOffending(pstrText));
        ++pstrText;
        LPWSTR pstrDest = pstrText;
        if (!ParseData(pstrText, pstrDest, L'"'))
            return false;
        if (*pstrText == L'\0')
            return SetError(L"Error while parsing attribute string", pstrText);
        *pstrDest = L'\0';
        if (pstrText != pstrDest)
            *pstrText = L' ';
        ++pstrText;
    }
}

// Decodes in place from pstrText to pstrDest (never ahead of pstrText) until
// cEnd or the end of the text. The gap left behind by decoding is blanked so
// that no stale terminator or quote sits between the value and the cursor.
bool CXmlMarkup::ParseData(LPWSTR& pstrText, LPWSTR& pstrDest, WCHAR cEnd)
{
    while (*pstrText != L'\0' && *pstrText != cEnd)
    {
        if (*pstrText == L'&')
        {
            ++pstrText;
            ParseEntity(pstrText, pstrDest);
        }
        else if (*pstrText == L' ')
        {
            *pstrDest++ = *pstrText++;
            if (!m_bPreserveWhitespace)
                SkipWhitespace(pstrText);
        }
        else
        {
            int n = CharUnits(pstrText);
            while (n-- > 0)
                *pstrDest++ = *pstrText++;
        }
    }
    for (LPWSTR p = pstrDest + 1; p < pstrText; ++p)
        *p = L' ';
    return true;
}

void CXmlMarkup::ParseEntity(LPWSTR& pstrText, LPWSTR& pstrDest)
{
    static const struct
    {
        const wchar_t* name;  // text after "&", with the semicolon
        size_t length;
        WCHAR ch;
    } kEntities[] = {
        {L"amp;", 4, L'&'}, {L"apos;", 5, L'\''}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'},
    };
    for (const auto& entity : kEntities)
    {
        if (wcsncmp(pstrText, entity.name, entity.length) == 0)
        {
            *pstrDest++ = entity.ch;
            pstrText += entity.length;
            return;
        }
    }
    *pstrDest++ = L'&';
}

bool CXmlMarkup::LoadFromFile(LPCWSTR pstrFilename, int encoding)
{
    return LoadSkinMarkup(*this, pstrFilename, encoding);
}
