#pragma once
// A file that becomes an installed entry only once it is complete. It is
// created in the game folder under a name of ours ("~setup-PID-N.tmp")
// and marked for deletion at once, so that it vanishes by itself when the
// process dies before the entry is in place (power loss, a killed process):
// the system removes it when its last handle goes. Placing it clears the mark
// and renames it over its target through the same handle.

#include <windows.h>

#include <string>

namespace installer
{

class PendingFile
{
public:
    // In the current directory.
    PendingFile();
    // In folder: a path ending with a backslash, an extended-length one for long folders.
    explicit PendingFile(const std::wstring& folder);
    // Closes the file; one that was not placed is gone afterwards.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    // The handle to write through; INVALID_HANDLE_VALUE when the file could not be created.
    HANDLE Handle() const { return file_; }
    // The name the file was created under, relative to its folder.
    const std::wstring& Name() const { return name_; }
    // Why the file could not be created or placed (the system's error code), when it could not.
    DWORD Error() const { return error_; }

    // Moves the complete file over target (relative to the current directory, or absolute) and
    // closes it; false when it cannot, and then the target is untouched and the file still goes.
    bool PlaceAs(const std::wstring& target);

private:
    bool MarkForDeletion(bool remove);
    bool Fail(DWORD error);

    std::wstring name_;
    std::wstring path_;  // the folder and the name
    HANDLE file_ = INVALID_HANDLE_VALUE;
    DWORD error_ = ERROR_SUCCESS;
    bool marked_ = false;
};

}  // namespace installer
