#pragma once
// One copy of the installer at a time: two copies unpacking into the same
// folder at once would fight over every file. The first copy owns a named
// mutex and marks its main window; a later copy finds that window, brings it
// (or the box it is showing) to the front, and ends without a window of its own.

#include <windows.h>

namespace installer
{

extern const wchar_t kRunningCopyMutex[];
extern const wchar_t kRunningCopyMark[];

// Holds the mutex for the life of the process.
class SingleInstance
{
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another copy held the mutex first.
    bool IsFirst() const { return first_; }

    // Lets go of the mutex early, for a copy this one starts to take its place.
    void Release();
    // Takes the mutex again after a Release, when the successor did not start.
    void Hold();

private:
    HANDLE mutex_ = nullptr;
    bool first_ = true;
};

// Releases the mutex of this process's SingleInstance and the mark of its main window, so that a
// copy it starts (elevated, say) runs instead of handing over to it.
void LetSuccessorRun();
// Undoes LetSuccessorRun when the successor could not be started: this copy is the running one again.
void KeepRunning(HWND mainWindow);

// Marks the main window as the one a later copy looks for.
void MarkAsRunningCopy(HWND window);

// The main window of the running copy (class "MarnetUI" with the mark), or null.
HWND FindRunningCopy();

// The window of the running copy the user should see: its box when it shows one, else the main window.
HWND FrontWindowOf(HWND mainWindow);

// Brings the running copy to the front, waiting up to waitMs for its window to appear (it may still
// be starting); false when none was found.
bool BringRunningCopyForward(DWORD waitMs);

}  // namespace installer
