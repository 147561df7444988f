// Stands in for Notepad beside the installer under test: the installer's
// process search finds it first, and it records the command line it got in
// "notepad-cmdline.txt" beside itself (the current directory may be elsewhere,
// as for a game folder too long to be one).
#include <windows.h>

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    std::vector<wchar_t> self(32768);
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0 || length >= self.size())
        return 1;
    std::wstring record(self.data(), length);
    record = L"\\\\?\\" + record.substr(0, record.find_last_of(L'\\') + 1) + L"notepad-cmdline.txt";
    HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const wchar_t* line = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, line, lstrlenW(line) * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return 0;
}
