#pragma once

#include <windows.h>

#include <string>

#include "ui/markup/XmlMarkup.h"

// Bytes placed so that they end exactly where an inaccessible page begins:
// reading even one byte past them faults instead of going unnoticed.
class GuardedBytes
{
public:
    explicit GuardedBytes(const std::string& bytes)
    {
        SYSTEM_INFO si;
        ::GetSystemInfo(&si);
        const size_t page = si.dwPageSize;
        const size_t dataPages = (bytes.size() + page - 1) / page;
        m_total = (dataPages + 1) * page;
        m_base = static_cast<BYTE*>(::VirtualAlloc(NULL, m_total, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(m_base + dataPages * page, page, PAGE_NOACCESS, &old);
        m_data = m_base + dataPages * page - bytes.size();
        memcpy(m_data, bytes.data(), bytes.size());
        m_size = static_cast<DWORD>(bytes.size());
    }
    ~GuardedBytes() { ::VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    const BYTE* data() const { return m_data; }
    DWORD size() const { return m_size; }

private:
    BYTE* m_base = nullptr;
    BYTE* m_data = nullptr;
    size_t m_total = 0;
    DWORD m_size = 0;
};

inline std::wstring Str(LPCWSTR p)
{
    return p ? std::wstring(p) : std::wstring(L"(null)");
}

// Element tree as text: name, attributes in document order, children in
// braces; top-level siblings follow the root separated by blanks.
inline std::wstring DumpElement(const CXmlNode& node)
{
    std::wstring out = Str(node.GetName());
    for (int i = 0; i < node.GetAttributeCount(); ++i)
        out += L" " + Str(node.GetAttributeName(i)) + L"=\"" + Str(node.GetAttributeValue(i)) + L"\"";
    if (node.HasChildren())
    {
        out += L" {";
        bool first = true;
        for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling())
        {
            if (!first)
                out += L" ";
            out += DumpElement(child);
            first = false;
        }
        out += L"}";
    }
    return out;
}

inline std::wstring DumpDocument(CXmlMarkup& markup)
{
    std::wstring out;
    for (CXmlNode node = markup.GetRoot(); node.IsValid(); node = node.GetSibling())
    {
        if (!out.empty())
            out += L" ";
        out += DumpElement(node);
    }
    return out;
}

inline bool LoadGuarded(CXmlMarkup& markup, const std::string& bytes, int encoding = XMLFILE_ENCODING_UTF8)
{
    GuardedBytes buffer(bytes);
    return markup.LoadFromMemory(buffer.data(), buffer.size(), encoding);
}
