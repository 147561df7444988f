#include "tests/support/TempFolder.h"

#include <algorithm>

CTempFolder::CTempFolder(const wchar_t* prefix)
{
    static int counter = 0;
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    // The process id and a counter keep folders of parallel test programs and
    // of one program's tests apart; the loop skips leftovers of an earlier run.
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const std::wstring path = std::wstring(base) + prefix + L"-" +
                                  std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++counter) + L"\\";
        if (::CreateDirectoryW(path.c_str(), NULL))
        {
            m_path = path;
            return;
        }
    }
}

CTempFolder::~CTempFolder()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

std::wstring CTempFolder::Write(const wchar_t* name, const std::vector<BYTE>& bytes) const
{
    const std::wstring path = m_path + name;
    WriteFileBytes(path, bytes.data(), bytes.size());
    return path;
}

std::wstring CTempFolder::Write(const wchar_t* name, const std::string& bytes) const
{
    const std::wstring path = m_path + name;
    WriteFileBytes(path, bytes.data(), bytes.size());
    return path;
}

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size)
{
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        size == 0 || (::WriteFile(file, data, static_cast<DWORD>(size), &written, NULL) && written == size);
    ::CloseHandle(file);
    return ok;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

void RemoveTree(const std::wstring& folder)
{
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\')
        base += L'\\';
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((base + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = base + name;
            // A link to a folder goes with its own entry; what it points at stays.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            {
                RemoveTree(path);
            }
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            {
                ::RemoveDirectoryW(path.c_str());
            }
            else
            {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(base.c_str());
}

std::vector<std::wstring> ListFolder(const std::wstring& folder, bool withFolders)
{
    std::vector<std::wstring> names;
    std::wstring pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (withFolders || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}
