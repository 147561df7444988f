#pragma once

// Where skin items are looked for and how their bytes are brought into memory:
// a skin directory on disk or one zip skin archive in it, the executable's
// resources, and the item's name as a plain path. The settings are
// process-wide; the window manager's static resource operations forward here.

#include <windows.h>

#include "ui/core/UIString.h"

class CXmlMarkup;

class CResourceLocations
{
public:
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    // The module file's directory with its trailing backslash; empty without a module.
    static CUIString GetInstancePath();

    // A non-empty path gets a trailing backslash unless it already ends in a slash.
    static void SetResourcePath(LPCWSTR path);
    static const CUIString& GetResourcePath();

    // name is relative to the resource path; empty means no archive is used.
    // With keepOpen the archive is opened now and kept for every fetch, so the
    // resource path must be set first.
    static void SetResourceZip(LPCWSTR name, bool keepOpen);
    static const CUIString& GetResourceZip();
    static bool IsResourceZipCached();
    static HINSTANCE GetResourceModule();
};

// The client whose rules a fetch follows.
enum TSkinDataClient
{
    SkinDataXml,        // directory or archive only; 4 MiB at most; failures carry a message
    SkinDataImage,      // resource (with a type) or directory/archive, then the name as a path
    SkinDataAnimation,  // directory or archive, then the name as a path
};

// The bytes of one fetched skin item; owns them.
class CSkinData
{
public:
    CSkinData() = default;
    ~CSkinData();
    CSkinData(CSkinData&& other) noexcept;
    CSkinData& operator=(CSkinData&& other) noexcept;
    CSkinData(const CSkinData&) = delete;
    CSkinData& operator=(const CSkinData&) = delete;

    const BYTE* GetData() const { return m_pData; }
    DWORD GetSize() const { return m_dwSize; }
    bool IsEmpty() const { return m_pData == nullptr; }
    // Why the XML client got nothing; the empty text otherwise.
    LPCWSTR GetError() const { return m_pstrError; }

    void Reset();
    // Takes a buffer allocated with malloc.
    void Adopt(BYTE* data, DWORD size);
    void SetError(LPCWSTR message) { m_pstrError = message; }

private:
    BYTE* m_pData = nullptr;
    DWORD m_dwSize = 0;
    LPCWSTR m_pstrError = L"";
};

// Largest skin XML document that is read.
constexpr DWORD kMaxSkinXmlSize = 0x400000;

// Reads the named skin item by the rules of client. resourceType is used by
// the image client only: "*COLOR*" reads nothing, any other type looks in the
// executable's resources first (name may then be an integer identifier).
bool FetchSkinData(LPCWSTR name, TSkinDataClient client, CSkinData& data, LPCWSTR resourceType = nullptr);

// The XML client behind CXmlMarkup::LoadFromFile: releases the markup, fetches
// the named document and parses it, or records the failure message in the
// markup with an empty location.
bool LoadSkinMarkup(CXmlMarkup& markup, LPCWSTR name, int encoding);
