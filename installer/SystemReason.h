#pragma once
// Why the system refused a file or folder operation, told to the player in
// Chinese: the installer's boxes speak the player's language, whatever
// language the system itself answers in.

#include <windows.h>

#include <string>

namespace installer
{

// A reason the system does not name itself: the target of a file is a folder of the same name.
constexpr DWORD kTargetIsFolder = 336;  // ERROR_DIRECTORY_NOT_SUPPORTED

// The reason a file could not be replaced or moved: the system says "access denied" for a file
// another program holds open, which becomes "in use" when that is why.
DWORD WhyNotReplaceable(const std::wstring& path, DWORD error);

// One sentence ending with "。"; for reasons without a text of ours, the system's own text in the
// user's language and the error number.
std::wstring DescribeSystemError(DWORD error);

}  // namespace installer
