#include "installer/PendingFile.h"

#include "installer/SystemReason.h"

#include <cstring>
#include <memory>
#include <vector>

namespace installer
{

namespace
{

// Names taken by other files (another copy's leftovers, say) are skipped; this many are tried.
constexpr unsigned kNameAttempts = 1000;

std::wstring PendingName(unsigned attempt)
{
    return L"~setup-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
}

const wchar_t kExtendedPrefix[] = L"\\\\?\\";

// The target as an absolute NT path: renaming through a handle takes no name relative to the
// current directory. An extended-length path is one already, but for its prefix.
bool FullNtPath(const std::wstring& relative, std::wstring& full)
{
    if (relative.compare(0, 4, kExtendedPrefix) == 0)
    {
        full = L"\\??\\" + relative.substr(4);
        return true;
    }
    const DWORD needed = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return false;
    std::vector<wchar_t> buffer(needed);
    const DWORD length = GetFullPathNameW(relative.c_str(), needed, buffer.data(), nullptr);
    if (length == 0 || length >= needed)
        return false;
    full = L"\\??\\" + std::wstring(buffer.data(), length);
    return true;
}

bool RenameByHandle(HANDLE file, const std::wstring& target)
{
    std::wstring path;
    if (!FullNtPath(target, path))
        return false;
    const std::size_t nameBytes = path.size() * sizeof(wchar_t);
    const std::size_t size = sizeof(FILE_RENAME_INFO) + nameBytes;
    std::vector<unsigned char> storage(size, 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(storage.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, path.c_str(), nameBytes);
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(size)) != 0;
}

}  // namespace

PendingFile::PendingFile() : PendingFile(std::wstring())
{
}

PendingFile::PendingFile(const std::wstring& folder)
{
    for (unsigned attempt = 1; attempt <= kNameAttempts; ++attempt)
    {
        name_ = PendingName(attempt);
        path_ = folder + name_;
        file_ = CreateFileW(path_.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (file_ == INVALID_HANDLE_VALUE)
    {
        error_ = GetLastError();
        name_.clear();
        path_.clear();
        return;
    }
    // Without the mark (a file system that refuses it) the file is still removed on every
    // orderly path, by the destructor.
    marked_ = MarkForDeletion(true);
}

PendingFile::~PendingFile()
{
    if (file_ == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(file_);
    if (!marked_)
        DeleteFileW(path_.c_str());
}

bool PendingFile::MarkForDeletion(bool remove)
{
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return SetFileInformationByHandle(file_, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

bool PendingFile::Fail(DWORD error)
{
    error_ = error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
    return false;
}

bool PendingFile::PlaceAs(const std::wstring& target)
{
    if (file_ == INVALID_HANDLE_VALUE)
        return false;
    // A read-only target stays as it is, even where the rename would be allowed to replace it.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return Fail(ERROR_FILE_READ_ONLY);
    // A file marked for deletion cannot be renamed, so the mark goes first.
    if (marked_)
    {
        if (!MarkForDeletion(false))
            return Fail(GetLastError());
        marked_ = false;
    }
    if (!RenameByHandle(file_, target))
    {
        const DWORD error = WhyNotReplaceable(target, GetLastError());
        marked_ = MarkForDeletion(true);
        return Fail(error);
    }
    const bool closed = CloseHandle(file_) != 0;
    const DWORD error = closed ? ERROR_SUCCESS : GetLastError();
    file_ = INVALID_HANDLE_VALUE;
    return closed || Fail(error);
}

}  // namespace installer
