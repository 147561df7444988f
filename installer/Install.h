#pragma once
// The installation routine: probes for the game, unpacks the embedded package
// into the game folder with progress in the window title, reports the
// outcome and opens the patch notes. An installation is all or nothing: every
// file it replaces is set aside in the backup folder first, and a failure puts
// them all back. The restore routine puts the originals back for good. Both
// reach their surroundings only through IInstallShell, so they run without a
// window (tests, benchmarks, silent mode) and on any thread.

#include <cstddef>
#include <cstdint>

namespace installer
{

extern const wchar_t kWindowTitle[];
extern const wchar_t kProbeFile[];
extern const wchar_t kNotesCommandLine[];
extern const wchar_t kSetupCaption[];  // of every box but the presence check and the start-up hint

enum : unsigned
{
    kIconError = 0x10,        // MB_ICONERROR
    kIconInformation = 0x40,  // MB_ICONINFORMATION
};

// What a run ended with; also the exit code of a silent run. 1 to 6 are the internal errors
// the boxes show.
enum InstallStatus : unsigned
{
    kStatusDone = 0,
    kStatusNoResource = 1,
    kStatusLoadResource = 2,
    kStatusSignature = 3,
    kStatusCorruptEntry = 4,
    kStatusCreateDirectory = 5,
    kStatusWriteFile = 6,
    kStatusGameMissing = 7,     // tessaly.exe is not in the current folder
    kStatusStopped = 8,         // the user stopped the installation; nothing changed
    kStatusBackupDamaged = 9,   // the backup's manifest cannot be read, or an undo did not complete
    kStatusNothingToRestore = 10,
    kStatusFilesChanged = 11,   // restored, except files changed since the installation
    kStatusAlreadyRunning = 12, // another copy runs (silent runs only; others bring it forward)
};

enum class PackageLookup
{
    Loaded,
    NotFound,
    LoadFailed
};

class IInstallShell
{
public:
    virtual ~IInstallShell() = default;
    // Finds and loads the package; on Loaded, bytes/length describe it until ReleasePackage.
    virtual PackageLookup LoadPackage(const unsigned char*& bytes, std::size_t& length) = 0;
    // Called on the success path only, after the last entry.
    virtual void ReleasePackage() = 0;
    virtual void SetTitle(const wchar_t* title) = 0;
    // Modal: returns once the user has closed the box.
    virtual void ShowMessage(const wchar_t* text, const wchar_t* caption, unsigned icon) = 0;
    // The command line buffer is writable; true when the process started.
    virtual bool StartProcess(wchar_t* commandLine) = 0;
    // A modal question with Yes and No; true for Yes. Unanswerable (silent) shells say No.
    virtual bool AskYesNo(const wchar_t* text, const wchar_t* caption, unsigned icon) = 0;
    // Starts the installer again with the same arguments, asking the system for administrator
    // rights; true when the new copy started.
    virtual bool RestartElevated() = 0;
    // Asked between chunks and entries: true once the user wants the installation stopped.
    virtual bool StopRequested() { return false; }
    // How many entries are in place out of count: 0 before the first, count once all are, and
    // 0 again when a run is undone.
    virtual void SetProgress(std::uint32_t /*done*/, std::uint32_t /*count*/) {}
};

class GameFolder;

// Runs one complete installation in the game folder: the current directory, or the program's own
// folder when that is too long to be a current directory (see GameFolder).
InstallStatus InstallPackage(IInstallShell& shell);
InstallStatus InstallPackage(IInstallShell& shell, const GameFolder& folder);

// Puts back the originals the installations in the game folder replaced.
InstallStatus RestorePackage(IInstallShell& shell);
InstallStatus RestorePackage(IInstallShell& shell, const GameFolder& folder);

}  // namespace installer
