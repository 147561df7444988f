#include "installer/Backup.h"

#include "installer/PendingFile.h"
#include "installer/SystemReason.h"
#include "installer/WriteFaults.h"

#include <cerrno>
#include <cstdlib>
#include <direct.h>
#include <sstream>

namespace installer
{

const wchar_t kBackupFolder[] = L"PatchBackup";
const wchar_t kManifestFile[] = L"PatchBackup\\manifest.txt";

namespace
{

const wchar_t kManifestDraft[] = L"PatchBackup\\manifest.new";
const char kManifestHeader[] = "PatchBackup 1";
const char kNoDigest[] = "-";

struct KindName
{
    BackupRecord::Kind kind;
    const char* name;
};

const KindName kKindNames[] = {
    {BackupRecord::Kind::Installed, "installed"}, {BackupRecord::Kind::Replacing, "replacing"},
    {BackupRecord::Kind::Updating, "updating"},   {BackupRecord::Kind::NewFolder, "newfolder"},
    {BackupRecord::Kind::Folder, "folder"},
};

bool IsPending(const BackupRecord& record)
{
    return record.kind == BackupRecord::Kind::Replacing || record.kind == BackupRecord::Kind::Updating ||
           record.kind == BackupRecord::Kind::NewFolder;
}

bool IsFolder(const BackupRecord& record)
{
    return record.kind == BackupRecord::Kind::NewFolder || record.kind == BackupRecord::Kind::Folder;
}

std::string ToUtf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

bool FromUtf8(const std::string& text, std::wstring& out)
{
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), int(text.size()), nullptr, 0);
    if (size <= 0)
        return false;
    out.assign(size, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.c_str(), int(text.size()), out.data(), size);
    return true;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

std::string DigestText(const FileDigest& digest, bool present)
{
    return present ? std::to_string(digest.size) + "\t" + digest.sha256 : std::string("0\t") + kNoDigest;
}

bool ParseNumber(const std::string& text, std::uint64_t& value)
{
    if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

bool ParseDigest(const std::string& size, const std::string& hash, FileDigest& digest)
{
    if (!ParseNumber(size, digest.size))
        return false;
    digest.sha256 = hash == kNoDigest ? std::string() : hash;
    return hash == kNoDigest || (hash.size() == 64 && hash.find_first_not_of("0123456789abcdef") == std::string::npos);
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start))
    {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

bool ParseRecord(const std::string& line, BackupRecord& record)
{
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 8)
        return false;
    bool known = false;
    for (const KindName& kind : kKindNames)
    {
        if (fields[0] == kind.name)
        {
            record.kind = kind.kind;
            known = true;
        }
    }
    std::uint64_t slot = 0;
    if (!known || !ParseNumber(fields[1], slot) || slot > 0xFFFFFFFFu || (fields[2] != "0" && fields[2] != "1"))
        return false;
    record.slot = static_cast<unsigned>(slot);
    record.existed = fields[2] == "1";
    return ParseDigest(fields[3], fields[4], record.before) && ParseDigest(fields[5], fields[6], record.after) &&
           FromUtf8(fields[7], record.name);
}

// Reads a whole small file; false when it is not there or cannot be read.
bool ReadWholeFile(const wchar_t* path, std::string& content, DWORD& error)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        error = GetLastError();
        return false;
    }
    content.clear();
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0)
        content.append(buffer, got);
    error = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    return ok;
}

// Writes the draft through to the disk, so that the rename that follows publishes complete content.
bool WriteDraft(const std::wstring& draft, const std::string& content, DWORD& error)
{
    HANDLE file = CreateFileW(draft.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        error = GetLastError();
        return false;
    }
    DWORD written = 0;
    error = NextWriteFault();
    bool ok = error == ERROR_SUCCESS &&
              WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr) && written == content.size() &&
              FlushFileBuffers(file);
    if (!ok && error == ERROR_SUCCESS)
        error = GetLastError();
    CloseHandle(file);
    if (!ok)
        DeleteFileW(draft.c_str());
    return ok;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when the file at path holds exactly digest.
bool Holds(const std::wstring& path, const FileDigest& digest)
{
    FileDigest actual;
    return DigestFile(path, actual) && actual == digest;
}

// Removes what the folder holds of ours, then the folder when nothing else is in it.
void RemoveBackupFolder(const GameFolder& game)
{
    const std::wstring folder = game.PathOf(kBackupFolder) + L"\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::wstring name = found.cFileName;
            const bool ours = name == L"manifest.txt" || name == L"manifest.new" ||
                              (name.size() > 5 && (name.compare(name.size() - 5, 5, L".orig") == 0 ||
                                                   name.compare(name.size() - 5, 5, L".prev") == 0));
            if (ours && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(game.PathOf(kBackupFolder).c_str());
}

// Puts back what a replacing or updating record set aside, or removes the file it added.
bool UndoFileStep(const GameFolder& game, const BackupRecord& record)
{
    const std::wstring backup = game.PathOf(BackupPathOf(record));
    const std::wstring target = game.PathOf(record.name);
    if (record.existed)
    {
        // Without the set-aside file the original was never moved: it is still in place.
        if (!PathExists(backup))
            return true;
        return MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!FileExists(target))
        return true;
    // Only what this run wrote goes; anything else is not ours to delete.
    return Holds(target, record.after) && DeleteFileW(target.c_str()) != 0;
}

// One file of a completed installation back to its original; false when it was changed since.
bool RestoreFile(const GameFolder& game, const BackupRecord& record, bool& failed)
{
    const std::wstring backup = game.PathOf(BackupPathOf(record));
    const std::wstring target = game.PathOf(record.name);
    const bool installedStill = !FileExists(target) || Holds(target, record.after);
    if (!record.existed)
    {
        if (!installedStill)
            return false;
        if (FileExists(target) && !DeleteFileW(target.c_str()))
            failed = true;
        return true;
    }
    if (!PathExists(backup))
        return Holds(target, record.before);  // an earlier, interrupted restore got this far
    if (!installedStill)
        return false;
    if (!MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failed = true;
    return true;
}

}  // namespace

std::wstring BackupPathOf(const BackupRecord& record)
{
    const wchar_t* suffix = record.kind == BackupRecord::Kind::Updating ? L".prev" : L".orig";
    return std::wstring(kBackupFolder) + L"\\" + std::to_wstring(record.slot) + suffix;
}

std::string FormatManifest(const std::vector<BackupRecord>& records)
{
    std::string text = std::string(kManifestHeader) + "\n";
    for (const BackupRecord& record : records)
    {
        for (const KindName& kind : kKindNames)
            if (kind.kind == record.kind)
                text += kind.name;
        text += "\t" + std::to_string(record.slot) + "\t" + (record.existed ? "1" : "0");
        text += "\t" + DigestText(record.before, !record.before.sha256.empty());
        text += "\t" + DigestText(record.after, !record.after.sha256.empty());
        text += "\t" + ToUtf8(record.name) + "\n";
    }
    return text;
}

bool ParseManifest(const std::string& text, std::vector<BackupRecord>& records)
{
    records.clear();
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != kManifestHeader)
        return false;
    // Every line ends with a line feed: a manifest cut short is damaged, not shorter.
    if (text.empty() || text.back() != '\n')
        return false;
    while (std::getline(lines, line))
    {
        BackupRecord record;
        if (!ParseRecord(line, record))
            return false;
        records.push_back(record);
    }
    return true;
}

BackupManifest::BackupManifest() : folder_(GameFolder::Current())
{
}

BackupManifest::BackupManifest(const GameFolder& folder) : folder_(folder)
{
}

bool BackupManifest::Load()
{
    records.clear();
    std::string text;
    DWORD error = ERROR_SUCCESS;
    if (!ReadWholeFile(PathOf(kManifestFile).c_str(), text, error))
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return ParseManifest(text, records);
}

bool BackupManifest::Save(const std::vector<BackupRecord>& next, DWORD& error)
{
    error = ERROR_SUCCESS;
    if (next.empty())
    {
        RemoveBackupFolder(folder_);
        records.clear();
        return true;
    }
    if (!CreateDirectoryW(PathOf(kBackupFolder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    {
        error = GetLastError();
        return false;
    }
    const std::wstring draft = PathOf(kManifestDraft);
    bool published = WriteDraft(draft, FormatManifest(next), error);
    if (published &&
        !MoveFileExW(draft.c_str(), PathOf(kManifestFile).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        error = GetLastError();
        DeleteFileW(draft.c_str());
        published = false;
    }
    if (!published)
    {
        // A folder made for a first manifest that could not be written goes again.
        if (records.empty())
            RemoveBackupFolder(folder_);
        return false;
    }
    if (&next != &records)
        records = next;
    return true;
}

bool BackupManifest::HasPending() const
{
    for (const BackupRecord& record : records)
        if (IsPending(record))
            return true;
    return false;
}

BackupRecord* BackupManifest::FindInstalled(const std::wstring& name)
{
    for (BackupRecord& record : records)
        if (record.kind == BackupRecord::Kind::Installed && SameName(record.name, name))
            return &record;
    return nullptr;
}

unsigned BackupManifest::NextSlot() const
{
    unsigned next = 1;
    for (const BackupRecord& record : records)
        if (record.slot >= next)
            next = record.slot + 1;
    return next;
}

bool InstallRun::Record(const BackupRecord& record, unsigned writeCode, StepFailure& failure)
{
    std::vector<BackupRecord> next = manifest_.records;
    next.push_back(record);
    if (manifest_.Save(next, failure.reason))
        return true;
    failure.code = writeCode;
    failure.name = kManifestFile;
    return false;
}

bool InstallRun::CreateFolders(const std::wstring& name, unsigned folderCode, unsigned writeCode,
                               StepFailure& failure)
{
    for (std::size_t slash = name.find(L'\\'); slash != std::wstring::npos; slash = name.find(L'\\', slash + 1))
    {
        const std::wstring folder = name.substr(0, slash);
        const std::wstring path = manifest_.PathOf(folder);
        if (PathExists(path))
            continue;
        BackupRecord record;
        record.kind = BackupRecord::Kind::NewFolder;
        record.slot = manifest_.NextSlot();
        record.name = folder;
        if (!Record(record, writeCode, failure))
            return false;
        // A level that cannot be made for another reason than a missing parent shows up as
        // a file that cannot be written, as it always has.
        if (_wmkdir(path.c_str()) != 0 && errno == ENOENT)
        {
            const DWORD reason = static_cast<DWORD>(_doserrno);
            failure = {folderCode, reason != ERROR_SUCCESS ? reason : ERROR_PATH_NOT_FOUND, folder};
            return false;
        }
    }
    return true;
}

bool InstallRun::Replace(const std::wstring& name, PendingFile& file, const FileDigest& digest, unsigned writeCode,
                         StepFailure& failure)
{
    failure.code = writeCode;
    failure.name = name;
    const std::wstring target = manifest_.PathOf(name);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A folder in the way, or a file its owner marked read-only, is not ours to replace.
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        failure.reason = kTargetIsFolder;
        return false;
    }
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
    {
        failure.reason = ERROR_FILE_READ_ONLY;
        return false;
    }
    if (!file.IsOpen())
    {
        failure.reason = file.Error();
        return false;
    }

    BackupRecord record;
    const BackupRecord* installed = manifest_.FindInstalled(name);
    record.kind = installed ? BackupRecord::Kind::Updating : BackupRecord::Kind::Replacing;
    record.slot = installed ? installed->slot : manifest_.NextSlot();
    record.existed = exists;
    record.after = digest;
    record.name = name;
    if (exists && !DigestFile(target, record.before))
    {
        failure.reason = GetLastError();
        return false;
    }
    if (!Record(record, writeCode, failure))
        return false;
    if (exists &&
        !MoveFileExW(target.c_str(), manifest_.PathOf(BackupPathOf(record)).c_str(), MOVEFILE_REPLACE_EXISTING))
    {
        failure.reason = WhyNotReplaceable(target, GetLastError());
        return false;
    }
    if (!file.PlaceAs(target))
    {
        failure.reason = file.Error();
        return false;
    }
    return true;
}

bool InstallRun::Commit(DWORD& error)
{
    std::vector<BackupRecord> next;
    std::vector<std::wstring> superseded;
    for (const BackupRecord& record : manifest_.records)
    {
        if (record.kind == BackupRecord::Kind::Installed || record.kind == BackupRecord::Kind::Folder)
        {
            next.push_back(record);
            continue;
        }
        if (record.kind == BackupRecord::Kind::NewFolder)
        {
            BackupRecord folder = record;
            folder.kind = BackupRecord::Kind::Folder;
            next.push_back(folder);
            continue;
        }
        if (record.kind == BackupRecord::Kind::Replacing)
        {
            BackupRecord installed = record;
            installed.kind = BackupRecord::Kind::Installed;
            next.push_back(installed);
            continue;
        }
        // Updating: the true original stays; only what is installed changes.
        for (BackupRecord& installed : next)
            if (installed.kind == BackupRecord::Kind::Installed && SameName(installed.name, record.name))
                installed.after = record.after;
        if (record.existed)
            superseded.push_back(manifest_.PathOf(BackupPathOf(record)));
    }
    if (!manifest_.Save(next, error))
        return false;
    for (const std::wstring& path : superseded)
        DeleteFileW(path.c_str());
    return true;
}

bool UndoPendingRun(BackupManifest& manifest)
{
    std::vector<BackupRecord> kept;
    bool complete = true;
    for (auto record = manifest.records.rbegin(); record != manifest.records.rend(); ++record)
    {
        if (!IsPending(*record))
        {
            kept.insert(kept.begin(), *record);
            continue;
        }
        if (IsFolder(*record))
        {
            RemoveDirectoryW(manifest.PathOf(record->name).c_str());  // stays when something else is in it
            continue;
        }
        if (!UndoFileStep(manifest.Folder(), *record))
        {
            kept.insert(kept.begin(), *record);
            complete = false;
        }
    }
    if (kept.size() == manifest.records.size())
        return complete;
    DWORD error = ERROR_SUCCESS;
    // When the shorter manifest cannot be written the old one still holds: the steps undone
    // are found undone again next time.
    manifest.Save(kept, error);
    return complete;
}

bool RestoreOriginals(BackupManifest& manifest, std::vector<std::wstring>& changed)
{
    changed.clear();
    if (!UndoPendingRun(manifest))
        return false;
    std::vector<BackupRecord> kept;
    bool failed = false;
    for (auto record = manifest.records.rbegin(); record != manifest.records.rend(); ++record)
    {
        if (IsFolder(*record))
        {
            RemoveDirectoryW(manifest.PathOf(record->name).c_str());
            continue;
        }
        bool stepFailed = false;
        if (RestoreFile(manifest.Folder(), *record, stepFailed) && !stepFailed)
            continue;
        failed = failed || stepFailed;
        if (!stepFailed)
            changed.insert(changed.begin(), record->name);
        kept.insert(kept.begin(), *record);
    }
    DWORD error = ERROR_SUCCESS;
    return manifest.Save(kept, error) && !failed;
}

}  // namespace installer
