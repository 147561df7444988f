#pragma once
// The originals an installation replaced, kept in a backup folder inside the
// game folder so that they can be put back: before an entry replaces a file,
// the file is renamed into the folder (same volume: no copy, no space), and a
// manifest records every step before it is taken. The manifest is replaced as
// a whole through a rename, so a kill at any moment leaves either the old or
// the new one; with the digests it records, what is on disk can always be told
// apart: the original, what we installed, or something changed since.
//
// Records, one per line (UTF-8, tab-separated):
//   installed  a file a completed installation placed; its original (if it
//              existed) is <slot>.orig
//   replacing  a file this run is placing for the first time; what it replaces
//              goes to <slot>.orig
//   updating   a file this run places again over an earlier installation's;
//              the earlier one goes to <slot>.prev until the run is complete
//   newfolder  a folder this run created; folder: one a completed run created
// A run that did not complete leaves replacing/updating/newfolder records;
// the next run (installing or restoring) undoes them first.

#include "installer/GameFolder.h"
#include "installer/Sha256.h"

#include <windows.h>

#include <string>
#include <vector>

namespace installer
{

class PendingFile;

extern const wchar_t kBackupFolder[];
extern const wchar_t kManifestFile[];

struct BackupRecord
{
    enum class Kind
    {
        Installed,
        Replacing,
        Updating,
        NewFolder,
        Folder
    };

    Kind kind = Kind::Installed;
    unsigned slot = 0;
    bool existed = false;  // installed: before the first installation; replacing/updating: before this run
    FileDigest before;     // installed: the original; replacing/updating: what this run replaced
    FileDigest after;      // what was (or is being) installed
    std::wstring name;     // relative to the game folder
};

class BackupManifest
{
public:
    // The backup of the game in the current directory.
    BackupManifest();
    // The backup of the game in folder.
    explicit BackupManifest(const GameFolder& folder);

    // Reads the manifest of the game folder; none is an empty manifest. False when it is there
    // but cannot be read or understood.
    bool Load();
    // Replaces the manifest on disk with records; with no records the manifest and the backup
    // folder go. On failure nothing on disk changed and error holds the reason.
    bool Save(const std::vector<BackupRecord>& records, DWORD& error);
    bool Save(DWORD& error) { return Save(records, error); }

    bool IsEmpty() const { return records.empty(); }
    bool HasPending() const;
    // The record of a completed installation of name (names compare ignoring case), or null.
    BackupRecord* FindInstalled(const std::wstring& name);
    unsigned NextSlot() const;

    const GameFolder& Folder() const { return folder_; }
    // A name relative to the game folder as the path every file operation takes.
    std::wstring PathOf(const std::wstring& relative) const { return folder_.PathOf(relative); }

    std::vector<BackupRecord> records;

private:
    GameFolder folder_;
};

// Where a record keeps the file it set aside, relative to the game folder.
std::wstring BackupPathOf(const BackupRecord& record);

// Text form of the records, and back (false on anything malformed); exposed for tests.
std::string FormatManifest(const std::vector<BackupRecord>& records);
bool ParseManifest(const std::string& text, std::vector<BackupRecord>& records);

// A failed step: what to report, the system's reason (also for telling missing rights apart),
// and the folder or file that could not be made or written, relative to the game folder.
struct StepFailure
{
    unsigned code = 0;
    DWORD reason = ERROR_SUCCESS;
    std::wstring name;
};

// The steps of one installation run, recorded before they are taken.
class InstallRun
{
public:
    explicit InstallRun(BackupManifest& manifest) : manifest_(manifest) {}

    // Creates the folder levels of name that are missing, recording each first. Fails with
    // folderCode when a level's parent is missing, with writeCode when the record cannot be kept.
    bool CreateFolders(const std::wstring& name, unsigned folderCode, unsigned writeCode, StepFailure& failure);
    // Puts the complete file in place of name, setting aside what was there.
    bool Replace(const std::wstring& name, PendingFile& file, const FileDigest& digest, unsigned writeCode,
                 StepFailure& failure);
    // Makes the run's steps part of the installation; false (with the reason) when the manifest
    // could not be written, and then the run is still pending.
    bool Commit(DWORD& error);

private:
    // Adds record to the manifest on disk; when it cannot, failure says so as writeCode.
    bool Record(const BackupRecord& record, unsigned writeCode, StepFailure& failure);

    BackupManifest& manifest_;
};

// Undoes every step of a run that did not complete, newest first: set-aside files go back and
// files the run added go. True when everything is as it was before the run.
bool UndoPendingRun(BackupManifest& manifest);

// Puts the originals back for every file still as we installed it and removes the files we
// added; names the files changed since (those stay, and so do their backups). The manifest and
// the folder go once nothing is left in them. False when something could not be put back.
bool RestoreOriginals(BackupManifest& manifest, std::vector<std::wstring>& changed);

}  // namespace installer
