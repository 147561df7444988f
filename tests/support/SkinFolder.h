#pragma once
// A fresh folder in the temporary directory that the skin locations point at
// while it lives. The previous skin settings come back when it ends, and the
// files written into it are removed with it.

#include "ui/markup/ResourceLocations.h"

#include <windows.h>

#include <string>

class CSkinFolder
{
public:
    explicit CSkinFolder(const wchar_t* prefix)
        : m_oldPath(CResourceLocations::GetResourcePath()),
          m_oldZip(CResourceLocations::GetResourceZip()),
          m_oldZipCached(CResourceLocations::IsResourceZipCached())
    {
        static int counter = 0;
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        m_path = std::wstring(base) + prefix + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                 std::to_wstring(++counter) + L"\\";
        ::CreateDirectoryW(m_path.c_str(), NULL);
        CResourceLocations::SetResourceZip(L"", false);
        CResourceLocations::SetResourcePath(m_path.c_str());
    }

    ~CSkinFolder()
    {
        CResourceLocations::SetResourcePath(m_oldPath);
        CResourceLocations::SetResourceZip(m_oldZip, m_oldZipCached);
        RemoveFiles();
        ::RemoveDirectoryW(m_path.c_str());
    }

    CSkinFolder(const CSkinFolder&) = delete;
    CSkinFolder& operator=(const CSkinFolder&) = delete;

    // The folder's path, with a trailing backslash.
    const std::wstring& Path() const { return m_path; }

private:
    void RemoveFiles()
    {
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((m_path + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((m_path + found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }

    std::wstring m_path;
    CUIString m_oldPath;
    CUIString m_oldZip;
    bool m_oldZipCached;
};
