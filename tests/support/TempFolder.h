#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary directory. It is removed at the end of
// the scope with everything in it, also what the code under test wrote there.
class CTempFolder
{
public:
    explicit CTempFolder(const wchar_t* prefix = L"test");
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }  // with a trailing backslash
    // Writes the file name (relative to the folder) and returns its full path.
    std::wstring Write(const wchar_t* name, const std::vector<BYTE>& bytes) const;
    std::wstring Write(const wchar_t* name, const std::string& bytes) const;

private:
    std::wstring m_path;
};

// Writes bytes to a file, replacing it; false when it cannot be written whole.
bool WriteFileBytes(const std::wstring& path, const void* data, size_t size);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Deletes a folder and everything below it.
void RemoveTree(const std::wstring& folder);
// The names in a folder, sorted, without "." and ".."; subfolders only when
// withFolders.
std::vector<std::wstring> ListFolder(const std::wstring& folder, bool withFolders);
