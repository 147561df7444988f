#include "installer/SystemReason.h"

#include <cstdio>

namespace installer
{

namespace
{

struct KnownReason
{
    DWORD error;
    const wchar_t* text;
};

// The reasons a player can act on: free space, close a program, change a file's properties.
const KnownReason kKnownReasons[] = {
    {ERROR_ACCESS_DENIED, L"拒绝访问，没有写入权限。"},
    {ERROR_PRIVILEGE_NOT_HELD, L"没有执行此操作所需的权限。"},
    {ERROR_FILE_READ_ONLY, L"文件为只读。"},
    {ERROR_WRITE_PROTECT, L"磁盘处于写保护状态。"},
    {ERROR_DISK_FULL, L"磁盘空间不足。"},
    {ERROR_HANDLE_DISK_FULL, L"磁盘空间不足。"},
    {ERROR_SHARING_VIOLATION, L"文件正被其他程序使用。"},
    {ERROR_LOCK_VIOLATION, L"文件正被其他程序使用。"},
    {ERROR_USER_MAPPED_FILE, L"文件正被其他程序使用。"},
    {ERROR_FILE_NOT_FOUND, L"系统找不到指定的文件。"},
    {ERROR_PATH_NOT_FOUND, L"系统找不到指定的路径。"},
    {ERROR_FILENAME_EXCED_RANGE, L"文件名或路径过长。"},
    {ERROR_INVALID_NAME, L"文件名、目录名或卷标语法不正确。"},
    {ERROR_NOT_READY, L"设备未就绪。"},
    {kTargetIsFolder, L"已有同名的文件夹。"},
};

// The system's own text for the error, in the user's language, without its line break.
std::wstring SystemText(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' ' ||
                               result.back() == L'.' || result.back() == L'。'))
        result.pop_back();
    return result;
}

}  // namespace

// The system refuses to replace a file that a program holds open as plain "access denied"; a
// player can act on "in use" (close the game), so that is told apart by asking for the file itself.
DWORD WhyNotReplaceable(const std::wstring& target, DWORD error)
{
    if (error != ERROR_ACCESS_DENIED)
        return error;
    HANDLE probe = CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe != INVALID_HANDLE_VALUE)
    {
        CloseHandle(probe);
        return error;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : error;
}

std::wstring DescribeSystemError(DWORD error)
{
    if (error == ERROR_SUCCESS)
        return L"原因不明。";
    for (const KnownReason& known : kKnownReasons)
    {
        if (known.error == error)
            return known.text;
    }
    wchar_t number[32];
    std::swprintf(number, 32, L"系统错误 %lu", static_cast<unsigned long>(error));
    const std::wstring system = SystemText(error);
    if (system.empty())
        return std::wstring(number) + L"。";
    return system + L"（" + number + L"）。";
}

}  // namespace installer
