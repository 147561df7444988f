#pragma once
// The installation routine: probes for the game, unpacks the embedded package
// into the current directory with progress in the window title, reports the
// outcome and opens the patch notes. It reaches its surroundings only through
// IInstallShell, so it runs without a window (tests, benchmarks).

#include <cstddef>

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
};

// Runs one complete installation in the current directory.
void InstallPackage(IInstallShell& shell);

}  // namespace installer
