#include "installer/Install.h"

#include "installer/ChunkWriter.h"
#include "installer/PackageFormat.h"
#include "installer/PendingFile.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <direct.h>
#include <string>
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

enum ErrorCode : unsigned
{
    kErrorNoResource = 1,
    kErrorLoadResource = 2,
    kErrorSignature = 3,
    kErrorCorruptEntry = 4,
    kErrorCreateDirectory = 5,
    kErrorWriteFile = 6,
};

void ShowInternalError(IInstallShell& shell, unsigned code)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"内部错误\n错误代码: [0x%08X]", code);
    shell.ShowMessage(text, kSetupCaption, kIconError);
}

// A failure once the title shows progress puts the fixed title back.
void FailEntry(IInstallShell& shell, unsigned code)
{
    ShowInternalError(shell, code);
    shell.SetTitle(kWindowTitle);
}

bool GameIsPresent()
{
    FILE* probe = nullptr;
    if (_wfopen_s(&probe, kProbeFile, L"rb") != 0 || probe == nullptr)
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

// Inflates one zlib stream chunk by chunk to the writer. The stream must end within its
// compressed bytes and yield at most the stored size; anything else is a corrupt entry.
bool InflateEntry(const EntryView& entry, ChunkWriter& writer)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    zs.next_in = const_cast<Bytef*>(entry.stream);
    zs.avail_in = entry.compressedSize;
    std::uint64_t produced = 0;
    int status = Z_OK;
    while (status == Z_OK)
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
        writer.Submit(chunk, got);
        if (status == Z_OK && got == 0 && zs.avail_in == 0)
            status = Z_DATA_ERROR;  // input ended before the stream did
    }
    inflateEnd(&zs);
    return status == Z_STREAM_END;
}

// Creates every directory level the name contains; false only when a level's parent is missing.
bool CreateEntryDirectories(const std::wstring& name)
{
    wchar_t directory[MAX_PATH];
    for (std::size_t slash = name.find(L'\\'); slash != std::wstring::npos;
         slash = name.find(L'\\', slash + 1))
    {
        const std::size_t length = slash < MAX_PATH - 1 ? slash : MAX_PATH - 1;
        name.copy(directory, length);
        directory[length] = 0;
        if (_wmkdir(directory) != 0 && errno == ENOENT)
            return false;
    }
    return true;
}

std::wstring ProgressTitle(std::uint32_t index, std::uint32_t count, const std::wstring& name)
{
    return L"[" + std::to_wstring(index + 1) + L"/" + std::to_wstring(count) + L"] " + name;
}

// Unpacks entry i; returns 0 or the error code to report.
// The entry is inflated into a pending file that replaces its target only once it is complete;
// until then the original target stays as it was.
unsigned InstallEntry(IInstallShell& shell, const PackageView& package, std::uint32_t index,
                      ChunkWriter& writer)
{
    EntryView entry;
    if (!package.ReadEntry(index, entry))
        return kErrorCorruptEntry;
    shell.SetTitle(ProgressTitle(index, package.EntryCount(), entry.name).c_str());

    PendingFile output;
    writer.Begin(output.Handle());
    const bool inflated = InflateEntry(entry, writer);
    // Every chunk is on disk (or failed) before the outcome is judged, in the same order as ever:
    // a damaged stream, then a folder that cannot be made, then a file that cannot be written.
    const bool written = writer.Finish();
    if (!inflated)
        return kErrorCorruptEntry;
    if (!CreateEntryDirectories(entry.name))
        return kErrorCreateDirectory;
    if (!written || !output.PlaceAs(entry.name))
        return kErrorWriteFile;
    return 0;
}

void OpenNotes(IInstallShell& shell)
{
    wchar_t commandLine[sizeof(kNotesCommandLine) / sizeof(wchar_t)];
    std::wmemcpy(commandLine, kNotesCommandLine, sizeof(kNotesCommandLine) / sizeof(wchar_t));
    shell.StartProcess(commandLine);
}

}  // namespace

void InstallPackage(IInstallShell& shell)
{
    if (!GameIsPresent())
    {
        shell.ShowMessage(kGameMissingText, kGameMissingCaption, kIconError);
        return;
    }

    const unsigned char* bytes = nullptr;
    std::size_t length = 0;
    switch (shell.LoadPackage(bytes, length))
    {
    case PackageLookup::NotFound:
        return FailEntry(shell, kErrorNoResource);
    case PackageLookup::LoadFailed:
        return FailEntry(shell, kErrorLoadResource);
    case PackageLookup::Loaded:
        break;
    }

    const PackageView package(bytes, length);
    if (bytes == nullptr || !package.HasHeader())
        return ShowInternalError(shell, kErrorSignature);
    if (!package.TableFits())
        return FailEntry(shell, kErrorCorruptEntry);

    ChunkWriter writer;
    if (!writer.IsReady())
        return FailEntry(shell, kErrorCorruptEntry);
    for (std::uint32_t i = 0; i < package.EntryCount(); ++i)
    {
        if (const unsigned error = InstallEntry(shell, package, i, writer))
            return FailEntry(shell, error);
    }

    shell.ReleasePackage();
    shell.ShowMessage(kCompletedText, kSetupCaption, kIconInformation);
    OpenNotes(shell);
    shell.SetTitle(kWindowTitle);
}

}  // namespace installer
