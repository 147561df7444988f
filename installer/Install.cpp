#include "installer/Install.h"

#include "installer/Backup.h"
#include "installer/ChunkWriter.h"
#include "installer/GameFolder.h"
#include "installer/PackageFormat.h"
#include "installer/PendingFile.h"
#include "installer/Sha256.h"
#include "installer/SystemReason.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>
#include <zlib.h>

namespace installer
{

const wchar_t kWindowTitle[] = L"【Lumora】Tessaly 简体中文化补丁v1.0 安装程序";
const wchar_t kProbeFile[] = L"tessaly.exe";
const wchar_t kNotesCommandLine[] = L"notepad.exe 汉化说明.txt";
const wchar_t kSetupCaption[] = L"安装程序";

namespace
{

const wchar_t kGameMissingText[] = L"请将安装程序放到游戏目录下运行。";
const wchar_t kGameMissingCaption[] = L"安装检查";
const wchar_t kCompletedText[] = L"安装完成";

const wchar_t kUndoneText[] = L"\n\n游戏文件未被改动：已替换的文件均已恢复原状。";
const wchar_t kUndoIncompleteText[] =
    L"\n\n部分文件未能恢复原状，原文件保存在“PatchBackup”文件夹中。"
    L"请关闭正在使用游戏文件的程序，然后再次运行安装程序。";
const wchar_t kNoRightsText[] =
    L"\n\n安装程序没有写入游戏文件夹的权限（例如游戏位于“Program Files”下）。游戏文件未被改动。\n"
    L"是否以管理员身份重新运行安装程序？";
const wchar_t kBackupDamagedText[] =
    L"备份文件夹“PatchBackup”中的清单无法读取，无法确认游戏文件的状态。\n"
    L"为避免丢失原始文件，本次操作已取消。";
const wchar_t kRestoredText[] = L"已还原游戏的原始文件，补丁已移除。";
const wchar_t kRestoredButChangedText[] =
    L"已还原游戏的原始文件。以下文件在安装补丁后被修改过，已保留原样，"
    L"其原始文件仍在“PatchBackup”文件夹中：";
const wchar_t kRestoreFailedText[] =
    L"部分原始文件未能还原，备份仍保存在“PatchBackup”文件夹中。请关闭游戏后再试一次。";
const wchar_t kNothingToRestoreText[] = L"没有找到补丁的备份，游戏文件无需还原。";

std::wstring InternalErrorText(unsigned code)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"内部错误\n错误代码: [0x%08X]", code);
    return text;
}

void ShowInternalError(IInstallShell& shell, unsigned code)
{
    shell.ShowMessage(InternalErrorText(code).c_str(), kSetupCaption, kIconError);
}

// A failure once the title shows progress puts the fixed title back.
InstallStatus FailEntry(IInstallShell& shell, unsigned code)
{
    ShowInternalError(shell, code);
    shell.SetTitle(kWindowTitle);
    return static_cast<InstallStatus>(code);
}

bool LacksRights(DWORD reason)
{
    return reason == ERROR_ACCESS_DENIED || reason == ERROR_PRIVILEGE_NOT_HELD;
}

// The line under a failed folder or file: which one, and why, in the player's words.
std::wstring FailedWriteLine(const StepFailure& failure)
{
    if (failure.name.empty())
        return std::wstring();
    const wchar_t* what = failure.code == kStatusCreateDirectory ? L"\n无法创建文件夹“" : L"\n无法写入文件“";
    return what + failure.name + L"”：" + DescribeSystemError(failure.reason);
}

// Reports a failed entry after its run was undone: the same numbered error, what could not be
// written and why, and what became of the game's files; when rights were missing, the offer to
// start again as administrator.
InstallStatus FailRun(IInstallShell& shell, const StepFailure& failure, bool undone)
{
    std::wstring text = InternalErrorText(failure.code) + FailedWriteLine(failure);
    if (undone && LacksRights(failure.reason))
    {
        text += kNoRightsText;
        if (shell.AskYesNo(text.c_str(), kSetupCaption, kIconError))
            shell.RestartElevated();
    }
    else
    {
        text += undone ? kUndoneText : kUndoIncompleteText;
        shell.ShowMessage(text.c_str(), kSetupCaption, kIconError);
    }
    shell.SetTitle(kWindowTitle);
    return static_cast<InstallStatus>(failure.code);
}

InstallStatus ReportDamagedBackup(IInstallShell& shell)
{
    shell.ShowMessage(kBackupDamagedText, kSetupCaption, kIconError);
    return kStatusBackupDamaged;
}

bool GameIsPresent(const GameFolder& folder)
{
    FILE* probe = nullptr;
    if (_wfopen_s(&probe, folder.PathOf(kProbeFile).c_str(), L"rb") != 0 || probe == nullptr)
        return false;
    std::fclose(probe);
    return true;
}

// One entry of the table, checked against the resource's length.
struct EntryView
{
    std::wstring name;
    const unsigned char* stream = nullptr;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
};

class PackageView
{
public:
    PackageView(const unsigned char* bytes, std::size_t length) : bytes_(bytes), length_(length) {}

    bool HasHeader() const { return length_ >= package::kHeaderSize && package::HasSignature(bytes_); }
    std::uint32_t EntryCount() const { return package::ReadU32(bytes_ + package::kEntryCountOffset); }
    bool TableFits() const { return package::DataAreaOffset(EntryCount()) <= length_; }

    // False when the name has no terminator or the stream reaches outside the resource.
    bool ReadEntry(std::uint32_t index, EntryView& entry) const
    {
        const unsigned char* record = bytes_ + package::EntryOffset(index);
        if (!ReadName(record, entry.name))
            return false;
        const std::uint64_t start =
            package::DataAreaOffset(EntryCount()) + package::ReadU32(record + package::kDataOffsetField);
        entry.compressedSize = package::ReadU32(record + package::kCompressedSizeField);
        entry.uncompressedSize = package::ReadU32(record + package::kUncompressedSizeField);
        if (start + entry.compressedSize > length_)
            return false;
        entry.stream = bytes_ + start;
        return true;
    }

private:
    static bool ReadName(const unsigned char* record, std::wstring& name)
    {
        name.clear();
        for (std::size_t i = 0; i < package::kNameUnits; ++i)
        {
            const wchar_t unit = static_cast<wchar_t>(record[2 * i] | (record[2 * i + 1] << 8));
            if (unit == 0)
                return true;
            name.push_back(unit);
        }
        return false;
    }

    const unsigned char* bytes_;
    std::size_t length_;
};

enum class Inflated
{
    Complete,
    Corrupt,
    Stopped
};

// Inflates one zlib stream chunk by chunk to the writer, taking the digest of what it produces.
// The stream must end within its compressed bytes and yield at most the stored size; anything
// else is a corrupt entry.
Inflated InflateEntry(IInstallShell& shell, const EntryView& entry, ChunkWriter& writer, FileDigest& digest)
{
    Sha256 hash;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return Inflated::Corrupt;
    zs.next_in = const_cast<Bytef*>(entry.stream);
    zs.avail_in = entry.compressedSize;
    std::uint64_t produced = 0;
    int status = Z_OK;
    bool stopped = false;
    while (status == Z_OK && !(stopped = shell.StopRequested()))
    {
        unsigned char* chunk = writer.Acquire();
        zs.next_out = chunk;
        zs.avail_out = static_cast<uInt>(ChunkWriter::kChunkSize);
        status = inflate(&zs, Z_NO_FLUSH);
        const std::size_t got = ChunkWriter::kChunkSize - zs.avail_out;
        produced += got;
        if (produced > entry.uncompressedSize)
        {
            writer.Submit(chunk, 0);
            status = Z_BUF_ERROR;
            break;
        }
        hash.Add(chunk, got);
        writer.Submit(chunk, got);
        if (status == Z_OK && got == 0 && zs.avail_in == 0)
            status = Z_DATA_ERROR;  // input ended before the stream did
    }
    inflateEnd(&zs);
    if (stopped)
        return Inflated::Stopped;
    if (status != Z_STREAM_END)
        return Inflated::Corrupt;
    digest = hash.Finish();
    return Inflated::Complete;
}

std::wstring ProgressTitle(std::uint32_t index, std::uint32_t count, const std::wstring& name)
{
    return L"[" + std::to_wstring(index + 1) + L"/" + std::to_wstring(count) + L"] " + name;
}

// Unpacks entry i as a step of the run; false with the failure to report, or with code 0 when
// the user stopped the installation.
// The entry is inflated into a pending file that takes its target's place only once it is
// complete; the target is set aside in the backup folder at that moment, not before.
bool InstallEntry(IInstallShell& shell, const GameFolder& folder, const PackageView& package, std::uint32_t index,
                  ChunkWriter& writer, InstallRun& run, StepFailure& failure)
{
    EntryView entry;
    if (!package.ReadEntry(index, entry))
    {
        failure = {kStatusCorruptEntry, ERROR_SUCCESS, {}};
        return false;
    }
    shell.SetTitle(ProgressTitle(index, package.EntryCount(), entry.name).c_str());

    PendingFile output(folder.PathOf(L""));
    writer.Begin(output.Handle());
    FileDigest digest;
    const Inflated inflated = InflateEntry(shell, entry, writer, digest);
    // Every chunk is on disk (or failed) before the outcome is judged, in the same order as ever:
    // a damaged stream, then a folder that cannot be made, then a file that cannot be written.
    const bool written = writer.Finish();
    if (inflated == Inflated::Stopped)
    {
        failure = {0, ERROR_CANCELLED, {}};
        return false;
    }
    if (inflated == Inflated::Corrupt)
    {
        failure = {kStatusCorruptEntry, ERROR_SUCCESS, {}};
        return false;
    }
    if (!run.CreateFolders(entry.name, kStatusCreateDirectory, kStatusWriteFile, failure))
        return false;
    if (!written)
    {
        failure = {kStatusWriteFile, output.IsOpen() ? writer.LastError() : output.Error(), entry.name};
        return false;
    }
    return run.Replace(entry.name, output, digest, kStatusWriteFile, failure);
}

// Notepad takes the notes by a name relative to the current directory when that is the game
// folder, else by their full name.
void OpenNotes(IInstallShell& shell, const GameFolder& folder)
{
    std::wstring commandLine = kNotesCommandLine;
    if (!folder.IsCurrentDirectory())
    {
        const std::size_t blank = commandLine.find(L' ');
        commandLine = commandLine.substr(0, blank + 1) + L"\"" + folder.Display() + L"\\" +
                      commandLine.substr(blank + 1) + L"\"";
    }
    shell.StartProcess(&commandLine[0]);
}

}  // namespace

InstallStatus InstallPackage(IInstallShell& shell)
{
    return InstallPackage(shell, GameFolder::Locate());
}

InstallStatus InstallPackage(IInstallShell& shell, const GameFolder& folder)
{
    if (!GameIsPresent(folder))
    {
        shell.ShowMessage(kGameMissingText, kGameMissingCaption, kIconError);
        return kStatusGameMissing;
    }

    const unsigned char* bytes = nullptr;
    std::size_t length = 0;
    switch (shell.LoadPackage(bytes, length))
    {
    case PackageLookup::NotFound:
        return FailEntry(shell, kStatusNoResource);
    case PackageLookup::LoadFailed:
        return FailEntry(shell, kStatusLoadResource);
    case PackageLookup::Loaded:
        break;
    }

    const PackageView package(bytes, length);
    if (bytes == nullptr || !package.HasHeader())
    {
        ShowInternalError(shell, kStatusSignature);
        return kStatusSignature;
    }
    if (!package.TableFits())
        return FailEntry(shell, kStatusCorruptEntry);

    // A run that was cut short (power loss, a killed process) is undone before anything else.
    BackupManifest manifest(folder);
    if (!manifest.Load() || !UndoPendingRun(manifest))
        return ReportDamagedBackup(shell);

    ChunkWriter writer;
    if (!writer.IsReady())
        return FailEntry(shell, kStatusCorruptEntry);
    InstallRun run(manifest);
    StepFailure failure;
    bool complete = true;
    for (std::uint32_t i = 0; i < package.EntryCount() && complete; ++i)
    {
        shell.SetProgress(i, package.EntryCount());
        complete = !shell.StopRequested() && InstallEntry(shell, folder, package, i, writer, run, failure);
    }
    if (complete && !run.Commit(failure.reason))
    {
        failure.code = kStatusWriteFile;
        failure.name = kManifestFile;
        complete = false;
    }
    if (!complete)
    {
        // A half-patched game does not start: everything this run did is undone.
        const bool undone = UndoPendingRun(manifest);
        shell.SetProgress(0, package.EntryCount());
        if (failure.code == 0 || shell.StopRequested())
        {
            shell.SetTitle(kWindowTitle);
            return undone ? kStatusStopped : ReportDamagedBackup(shell);
        }
        return FailRun(shell, failure, undone);
    }

    shell.SetProgress(package.EntryCount(), package.EntryCount());
    shell.ReleasePackage();
    shell.ShowMessage(kCompletedText, kSetupCaption, kIconInformation);
    OpenNotes(shell, folder);
    shell.SetTitle(kWindowTitle);
    return kStatusDone;
}

InstallStatus RestorePackage(IInstallShell& shell)
{
    return RestorePackage(shell, GameFolder::Locate());
}

InstallStatus RestorePackage(IInstallShell& shell, const GameFolder& folder)
{
    BackupManifest manifest(folder);
    if (!manifest.Load())
        return ReportDamagedBackup(shell);
    if (manifest.IsEmpty())
    {
        shell.ShowMessage(kNothingToRestoreText, kSetupCaption, kIconInformation);
        return kStatusNothingToRestore;
    }
    std::vector<std::wstring> changed;
    if (!RestoreOriginals(manifest, changed))
    {
        shell.ShowMessage(kRestoreFailedText, kSetupCaption, kIconError);
        return kStatusBackupDamaged;
    }
    if (changed.empty())
    {
        shell.ShowMessage(kRestoredText, kSetupCaption, kIconInformation);
        return kStatusDone;
    }
    std::wstring text = kRestoredButChangedText;
    for (const std::wstring& name : changed)
        text += L"\n" + name;
    shell.ShowMessage(text.c_str(), kSetupCaption, kIconInformation);
    return kStatusFilesChanged;
}

}  // namespace installer
