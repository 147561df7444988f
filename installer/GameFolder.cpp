#include "installer/GameFolder.h"

#include "installer/Install.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace installer
{

namespace
{

const wchar_t kExtendedPrefix[] = L"\\\\?\\";
const wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

std::wstring WithoutTrailingSeparator(std::wstring path)
{
    // A drive's root keeps its backslash: "C:" alone would mean that drive's current directory.
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

// The form the user knows: no extended-length prefix.
std::wstring Plain(const std::wstring& path)
{
    if (StartsWith(path, kExtendedUncPrefix))
        return L"\\\\" + path.substr(std::wcslen(kExtendedUncPrefix));
    if (StartsWith(path, kExtendedPrefix))
        return path.substr(std::wcslen(kExtendedPrefix));
    return path;
}

std::wstring Extended(const std::wstring& plain)
{
    if (StartsWith(plain, L"\\\\"))
        return kExtendedUncPrefix + plain.substr(2);
    return kExtendedPrefix + plain;
}

std::wstring CurrentDirectory()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

// The executable's folder, however long its path.
std::wstring ExecutableFolder()
{
    // Extended-length paths stop at 32,767 units; the buffer grows no further.
    constexpr std::size_t kLongestPath = 32768;
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
        {
            const std::wstring path(buffer.data(), length);
            const std::size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
        }
        if (buffer.size() >= kLongestPath)
            return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool TooLongForCurrentDirectory(const std::wstring& folder)
{
    // The system stores a current directory with a trailing backslash and a terminator in
    // MAX_PATH units.
    return WithoutTrailingSeparator(Plain(folder)).size() + 2 > MAX_PATH;
}

GameFolder::GameFolder(const std::wstring& folder)
    : display_(WithoutTrailingSeparator(Plain(folder))),
      prefixed_(Extended(display_))
{
    if (prefixed_.back() != L'\\')
        prefixed_ += L'\\';
}

GameFolder GameFolder::Current()
{
    return GameFolder(CurrentDirectory());
}

GameFolder GameFolder::Locate()
{
    const GameFolder current = Current();
    if (FileExists(current.PathOf(kProbeFile)))
        return current;
    // Started from a folder the system could not make current: it is where the program lies.
    const std::wstring executable = ExecutableFolder();
    if (!executable.empty() && TooLongForCurrentDirectory(executable))
        return GameFolder(executable);
    return current;
}

std::wstring GameFolder::PathOf(const std::wstring& relative) const
{
    return prefixed_ + relative;
}

bool GameFolder::IsCurrentDirectory() const
{
    return SamePath(display_, WithoutTrailingSeparator(CurrentDirectory()));
}

}  // namespace installer
