// Stands in for Notepad beside the installer under test: the installer's
// process search finds it first, and it records the command line it got.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    HANDLE file = CreateFileW(L"notepad-cmdline.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const wchar_t* line = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, line, lstrlenW(line) * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return 0;
}
