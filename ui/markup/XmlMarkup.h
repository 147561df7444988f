#pragma once

#include <windows.h>

// Encodings of LoadFromMemory and LoadFromFile.
enum
{
    XMLFILE_ENCODING_UTF8 = 0,
    XMLFILE_ENCODING_UNICODE = 1,  // UTF-16 with a byte-order mark
    XMLFILE_ENCODING_ANSI = 2,     // the system code page
};

// One element of a parsed document. Offsets count characters from the start
// of the markup's text; indexes refer to the markup's element table, where 0
// is a reserved slot and therefore also means "none".
struct TXmlElement
{
    int nameOffset;
    int firstChild;
    int nextSibling;
    int parent;
    int dataOffset;  // end of the start tag's attribute region
};

class CXmlMarkup;

// Designates one element of a markup. A plain value: it owns nothing and must
// not outlive (or survive a reload of) its markup. Attributes are located the
// first time they are asked for.
class CXmlNode
{
    friend class CXmlMarkup;

public:
    enum
    {
        MAX_XML_ATTRIBUTES = 64
    };

    CXmlNode();

    bool IsValid() const;
    // Points into the markup's text; null for an invalid node.
    LPCWSTR GetName() const;
    CXmlNode GetChild() const;
    CXmlNode GetSibling() const;
    CXmlNode GetParent() const;
    bool HasChildren() const;
    bool HasSiblings() const;

    bool HasAttributes() const;
    // At most MAX_XML_ATTRIBUTES; later attributes are parsed but unreachable.
    int GetAttributeCount() const;
    // The empty text for an index out of range, null for an invalid node.
    LPCWSTR GetAttributeName(int iIndex) const;
    LPCWSTR GetAttributeValue(int iIndex) const;
    // The first attribute named exactly pstrName (case-sensitive), or null.
    LPCWSTR GetAttributeValue(LPCWSTR pstrName) const;
    // Copies at most cchMax characters of the value and a terminator into
    // pstrValue, which holds cchMax + 1 characters. false when not found.
    bool GetAttributeValue(LPCWSTR pstrName, LPWSTR pstrValue, SIZE_T cchMax) const;

private:
    CXmlNode(CXmlMarkup* pOwner, int iPos);
    void MapAttributes() const;

    struct TAttribute
    {
        int nameOffset;
        int valueOffset;
    };

    int m_iPos;
    mutable int m_nAttributes;  // 0 also means "not located yet"
    mutable TAttribute m_aAttributes[MAX_XML_ATTRIBUTES];
    CXmlMarkup* m_pOwner;
};

// One XML document held as a single wide-character buffer and parsed in place:
// names and values are cut out by writing terminators, entities are decoded
// over the characters they replace. Accepts what skins use: elements,
// double-quoted attributes, the five named entities, comments and processing
// instructions (skipped). Strict about tags, lenient about a document that
// ends while its root or a child of the root is still open.
class CXmlMarkup
{
    friend class CXmlNode;

public:
    enum
    {
        MAX_NESTING_DEPTH = 256
    };

    explicit CXmlMarkup(LPCWSTR pstrXML = NULL);
    ~CXmlMarkup();

    bool LoadFromString(LPCWSTR pstrXML);
    bool LoadFromMemory(const BYTE* pByte, DWORD dwSize, int encoding = XMLFILE_ENCODING_UTF8);
    // Reads a skin file through the skin locations (directory or archive).
    bool LoadFromFile(LPCWSTR pstrFilename, int encoding = XMLFILE_ENCODING_UTF8);
    void Release();
    // A document has been loaded (it may still hold no element).
    bool IsValid() const;

    // With false, a run of whitespace after a blank in text or values is dropped.
    void SetPreserveWhitespace(bool bPreserve = true);
    // The last failure: what was expected, and up to 49 characters of the text
    // where it happened.
    LPCWSTR GetLastErrorMessage() const;
    LPCWSTR GetLastErrorLocation() const;
    // Records a failure that happened before parsing (for example a file that
    // could not be read); the location is empty. Always returns false.
    bool Fail(LPCWSTR pstrMessage);

    // Element 1, or an invalid node when the document holds no element.
    CXmlNode GetRoot();

private:
    CXmlMarkup(const CXmlMarkup&) = delete;
    CXmlMarkup& operator=(const CXmlMarkup&) = delete;

    bool AdoptText(LPWSTR pstrText);
    bool Parse();
    bool ParseElements(LPWSTR& pstrText, int iParent, int iDepth);
    bool ParseAttributes(LPWSTR& pstrText);
    bool ParseData(LPWSTR& pstrText, LPWSTR& pstrDest, WCHAR cEnd);
    void ParseEntity(LPWSTR& pstrText, LPWSTR& pstrDest);
    int ReserveElement();
    bool SetError(LPCWSTR pstrMessage, LPCWSTR pstrLocation);
    const TXmlElement& Element(int iPos) const { return m_pElements[iPos]; }

    LPWSTR m_pstrXML;
    TXmlElement* m_pElements;
    int m_nElements;
    int m_nReservedElements;
    WCHAR m_szErrorMsg[100];
    WCHAR m_szErrorXML[50];
    bool m_bPreserveWhitespace;
};
