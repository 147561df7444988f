#pragma once
// A fresh folder in the temporary directory that the skin locations point at
// while it lives. The previous skin settings come back when it ends, and the
// folder goes with everything written into it.

#include "tests/support/TempFolder.h"
#include "ui/markup/ResourceLocations.h"

#include <string>

class CSkinFolder
{
public:
    explicit CSkinFolder(const wchar_t* prefix)
        : m_folder(prefix),
          m_oldPath(CResourceLocations::GetResourcePath()),
          m_oldZip(CResourceLocations::GetResourceZip()),
          m_oldZipCached(CResourceLocations::IsResourceZipCached())
    {
        CResourceLocations::SetResourceZip(L"", false);
        CResourceLocations::SetResourcePath(m_folder.Path().c_str());
    }

    ~CSkinFolder()
    {
        CResourceLocations::SetResourcePath(m_oldPath);
        CResourceLocations::SetResourceZip(m_oldZip, m_oldZipCached);
    }

    CSkinFolder(const CSkinFolder&) = delete;
    CSkinFolder& operator=(const CSkinFolder&) = delete;

    // The folder's path, with a trailing backslash.
    const std::wstring& Path() const { return m_folder.Path(); }
    // Writes a file into the folder and returns its full path.
    template <class TBytes> std::wstring Write(const wchar_t* name, const TBytes& bytes) const
    {
        return m_folder.Write(name, bytes);
    }

private:
    CTempFolder m_folder;
    CUIString m_oldPath;
    CUIString m_oldZip;
    bool m_oldZipCached;
};
