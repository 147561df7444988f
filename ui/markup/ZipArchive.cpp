#include "ui/markup/ZipArchive.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace
{

constexpr DWORD kReaderKind = 1;
constexpr DWORD kInputBufferSize = 16384;
constexpr DWORD kEndRecordSize = 22;
constexpr DWORD kCentralHeaderSize = 46;
constexpr DWORD kLocalHeaderSize = 30;
constexpr DWORD kMaxEndRecordSearch = 65535;
constexpr int kMaxCompareName = 256;
constexpr DWORD kMaxDirectoryCopy = 8 * 1024 * 1024;
constexpr WORD kMethodStored = 0;
constexpr WORD kMethodDeflated = 8;
constexpr WORD kFlagDataDescriptor = 0x08;
// Deflate cannot expand a byte of input into more than 1032 bytes of output.
constexpr uint64_t kMaxDeflateRatio = 1032;

TZipResult g_lastResult = ZipOk;

WORD Get16(const BYTE* p)
{
    return WORD(p[0] | (p[1] << 8));
}
DWORD Get32(const BYTE* p)
{
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

bool HasSignature(const BYTE* p, BYTE third, BYTE fourth)
{
    return p[0] == 0x50 && p[1] == 0x4B && p[2] == third && p[3] == fourth;
}

FILETIME ToFileTime(uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = DWORD(value);
    time.dwHighDateTime = DWORD(value >> 32);
    return time;
}

// Seconds since 1970 as a FILETIME (100 ns units since 1601). Done by
// arithmetic so that times before 1970 convert as well as later ones.
FILETIME UnixTimeToFileTime(int32_t seconds)
{
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
    return ToFileTime(uint64_t((int64_t(seconds) + kSecondsFrom1601To1970) * 10000000LL));
}

FILETIME DosTimeToFileTime(DWORD dosDateTime)
{
    FILETIME time = {};
    if (!DosDateTimeToFileTime(WORD(dosDateTime >> 16), WORD(dosDateTime), &time))
        time = FILETIME{};
    return time;
}

DWORD AttributesFromExternal(DWORD external)
{
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (external & (0x10 | 0x40000000))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (external & 0x20)
        attributes |= FILE_ATTRIBUTE_ARCHIVE;
    if (external & 0x02)
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (!(external & 0x800000) || (external & 0x01))
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (external & 0x04)
        attributes |= FILE_ATTRIBUTE_SYSTEM;
    return attributes;
}

// The "UT" block of the local extra field carries Unix times. Each time is
// taken only when it lies inside both the block and the field.
void ApplyExtendedTimestamp(const BYTE* extra, DWORD extraLength, TZipEntry& entry)
{
    DWORD pos = 0;
    while (extraLength - pos >= 4)
    {
        const WORD tag = Get16(extra + pos);
        const DWORD blockLength = Get16(extra + pos + 2);
        pos += 4;
        const DWORD available = extraLength - pos < blockLength ? extraLength - pos : blockLength;
        if (tag == 0x5455)
        {
            if (available < 1)
                return;
            const BYTE flags = extra[pos];
            DWORD at = 1;
            FILETIME* targets[3] = {&entry.modificationTime, &entry.accessTime, &entry.creationTime};
            for (int bit = 0; bit < 3; ++bit)
            {
                if (!(flags & (1 << bit)))
                    continue;
                if (available - at < 4)
                    return;
                *targets[bit] = UnixTimeToFileTime(int32_t(Get32(extra + pos + at)));
                at += 4;
            }
            return;
        }
        if (blockLength > extraLength - pos)
            return;
        pos += blockLength;
    }
}

bool IsAsciiLower(unsigned char c)
{
    return c >= 'a' && c <= 'z';
}

// Compares an archive name with the wanted one. Under a multi-byte code page
// the second byte of a double-byte character can look like an ASCII letter,
// so both bytes of such a character are compared exactly.
bool NamesEqual(const char* stored, int storedLength, const char* wanted, int wantedLength, bool ignoreCase)
{
    if (storedLength != wantedLength)
        return false;
    for (int i = 0; i < storedLength; ++i)
    {
        unsigned char a = static_cast<unsigned char>(stored[i]);
        unsigned char b = static_cast<unsigned char>(wanted[i]);
        if (ignoreCase && IsDBCSLeadByte(a) && i + 1 < storedLength)
        {
            if (a != b || stored[i + 1] != wanted[i + 1])
                return false;
            ++i;
            continue;
        }
        if (ignoreCase)
        {
            if (IsAsciiLower(a))
                a = static_cast<unsigned char>(a - 'a' + 'A');
            if (IsAsciiLower(b))
                b = static_cast<unsigned char>(b - 'a' + 'A');
        }
        if (a != b)
            return false;
    }
    return true;
}

bool IsSlash(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

bool IsAbsolutePath(const wchar_t* path)
{
    return IsSlash(path[0]) || (path[0] != 0 && path[1] == L':');
}

bool HasParentStepFollowedBySlash(const wchar_t* path)
{
    for (const wchar_t* p = path; p[0] != 0; ++p)
        if (p[0] == L'.' && p[1] == L'.' && IsSlash(p[2]))
            return true;
    return false;
}

// A ".." path component anywhere, also at the end without a slash.
bool HasParentComponent(const wchar_t* path)
{
    const wchar_t* start = path;
    for (const wchar_t* p = path;; ++p)
    {
        if (*p == 0 || IsSlash(*p))
        {
            if (p - start == 2 && start[0] == L'.' && start[1] == L'.')
                return true;
            if (*p == 0)
                return false;
            start = p + 1;
        }
    }
}

// Creates base + each level of the first length characters of relative.
void EnsureDirectory(const wchar_t* base, const wchar_t* relative, size_t length)
{
    wchar_t path[MAX_PATH * 2];
    const size_t baseLength = wcslen(base);
    if (baseLength + length >= MAX_PATH * 2)
        return;
    wmemcpy(path, base, baseLength);
    for (size_t i = 0; i < length; ++i)
    {
        path[baseLength + i] = relative[i];
        const bool levelEnds = IsSlash(relative[i]) || i + 1 == length;
        if (!levelEnds)
            continue;
        path[baseLength + i + 1] = 0;
        CreateDirectoryW(path, nullptr);
    }
}

}  // namespace

struct CZipArchive::TOpenEntry
{
    BYTE* input = nullptr;
    DWORD inputAvailable = 0;
    DWORD inputOffset = 0;
    z_stream stream = {};
    bool streamReady = false;
    uint64_t nextPosition = 0;
    DWORD remainingCompressed = 0;
    DWORD remainingUncompressed = 0;
    WORD method = 0;
    DWORD expectedCrc = 0;
    DWORD crc = 0;
    bool damaged = false;
};

// --- byte source ---------------------------------------------------------

bool CZipArchive::TSource::Seek(uint64_t absolute)
{
    if (memory)
    {
        if (absolute > memoryLength)
            return false;
        position = absolute;
        return true;
    }
    if (!seekable)
        return false;
    LARGE_INTEGER distance;
    distance.QuadPart = LONGLONG(absolute);
    if (absolute > uint64_t(INT64_MAX) || !SetFilePointerEx(file, distance, nullptr, FILE_BEGIN))
        return false;
    position = absolute;
    return true;
}

DWORD CZipArchive::TSource::Read(void* buffer, DWORD size)
{
    if (memory)
    {
        const uint64_t left = memoryLength - position;
        const DWORD count = left < size ? DWORD(left) : size;
        memcpy(buffer, memory + position, count);
        position += count;
        return count;
    }
    DWORD got = 0;
    if (!ReadFile(file, buffer, size, &got, nullptr))
    {
        readError = true;
        return 0;
    }
    position += got;
    return got;
}

bool CZipArchive::TSource::ReadExact(void* buffer, DWORD size)
{
    return Read(buffer, size) == size;
}

uint64_t CZipArchive::TSource::Length()
{
    if (memory)
        return memoryLength;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return 0;
    return uint64_t(size.QuadPart);
}

void CZipArchive::TSource::Close()
{
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    memory = nullptr;
}

// --- opening ---------------------------------------------------------------

CZipArchive::CZipArchive() = default;

CZipArchive::~CZipArchive()
{
    CloseEntry();
    free(directory);
    source.Close();
}

TZipResult CZipArchive::Finish(TZipResult result)
{
    g_lastResult = result;
    return result;
}

TZipResult CZipArchive::GetLastResult()
{
    return g_lastResult;
}

bool CZipArchive::IsPlausibleSize(const TZipEntry& entry)
{
    return uint64_t(entry.uncompressedSize) <= uint64_t(entry.compressedSize) * kMaxDeflateRatio + 64;
}

CZipArchive* CZipArchive::Open(const void* source, DWORD length, DWORD flags)
{
    CZipArchive* archive = new (std::nothrow) CZipArchive;
    if (!archive)
    {
        Finish(ZipBadArgs);
        return nullptr;
    }
    archive->kind = kReaderKind;
    const DWORD directoryLength = GetCurrentDirectoryW(MAX_PATH, archive->baseDirectory);
    if (directoryLength == 0 || directoryLength >= MAX_PATH)
    {
        archive->baseDirectory[0] = 0;
    }
    else if (!IsSlash(archive->baseDirectory[directoryLength - 1]))
    {
        archive->baseDirectory[directoryLength] = L'\\';
        archive->baseDirectory[directoryLength + 1] = 0;
    }

    TZipResult result = archive->OpenSource(source, length, flags);
    if (result == ZipOk)
        result = archive->ReadEndRecord();
    if (result == ZipOk)
        archive->LoadDirectory();
    if (result == ZipOk && !archive->MoveToFirst() && archive->entryCount > 0)
        result = ZipReadFailed;
    if (result != ZipOk)
    {
        delete archive;
        Finish(result);
        return nullptr;
    }
    Finish(ZipOk);
    return archive;
}

TZipResult CZipArchive::OpenSource(const void* from, DWORD length, DWORD flags)
{
    switch (flags)
    {
    case ZipSourceHandle:
    {
        HANDLE duplicate = nullptr;
        if (!DuplicateHandle(GetCurrentProcess(), HANDLE(from), GetCurrentProcess(), &duplicate, 0, FALSE,
                             DUPLICATE_SAME_ACCESS))
            return ZipDuplicateFailed;
        source.file = duplicate;
        if (GetFileType(duplicate) != FILE_TYPE_DISK)
            return ZipNotSeekable;
        source.seekable = true;
        return ZipOk;
    }
    case ZipSourceFileName:
    {
        if (!from)
            return ZipNoFile;
        HANDLE file = CreateFileW(static_cast<const wchar_t*>(from), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return ZipNoFile;
        source.file = file;
        source.seekable = GetFileType(file) == FILE_TYPE_DISK;
        return ZipOk;
    }
    case ZipSourceMemory:
        if (!from)
            return ZipBadArgs;
        source.memory = static_cast<const BYTE*>(from);
        source.memoryLength = length;
        return ZipOk;
    default:
        return ZipBadArgs;
    }
}

TZipResult CZipArchive::ReadEndRecord()
{
    // The end record is the last signature within the final 65535 bytes; a
    // comment can push it further away, and such an archive is not opened.
    // Windows of 1028 bytes step back 1024 at a time, so a signature across
    // two windows is still seen and an archive without comment costs one read.
    const uint64_t length = source.Length();
    const DWORD searchLength = length < kMaxEndRecordSearch ? DWORD(length) : kMaxEndRecordSearch;
    if (searchLength < kEndRecordSize)
        return ZipCorrupt;
    const uint64_t searchStart = length - searchLength;
    constexpr DWORD kWindowStep = 1024;
    BYTE window[kWindowStep + 4];
    uint64_t recordPosition = 0;
    bool found = false;
    for (DWORD back = 0; back < searchLength && !found;)
    {
        back = back + kWindowStep < searchLength ? back + kWindowStep : searchLength;
        const uint64_t windowStart = length - back;
        const uint64_t windowEnd =
            windowStart + kWindowStep + 4 < length ? windowStart + kWindowStep + 4 : length;
        const DWORD windowLength = DWORD(windowEnd - windowStart);
        if (!source.Seek(windowStart) || !source.ReadExact(window, windowLength))
            return ZipReadFailed;
        for (DWORD i = windowLength - 3; i-- > 0;)
        {
            if (HasSignature(window + i, 0x05, 0x06) && windowStart + i != 0)
            {
                recordPosition = windowStart + i;
                found = true;
                break;
            }
        }
    }
    if (!found || recordPosition < searchStart)
        return ZipCorrupt;

    BYTE record[kEndRecordSize];
    if (!source.Seek(recordPosition) || !source.ReadExact(record, kEndRecordSize))
        return ZipReadFailed;
    const WORD thisDisk = Get16(record + 4);
    const WORD directoryDisk = Get16(record + 6);
    const WORD entriesOnDisk = Get16(record + 8);
    const WORD entriesTotal = Get16(record + 10);
    centralDirectorySize = Get32(record + 12);
    centralDirectoryOffset = Get32(record + 16);
    const uint64_t directoryEnd = uint64_t(centralDirectoryOffset) + centralDirectorySize;
    if (thisDisk != 0 || directoryDisk != 0 || entriesOnDisk != entriesTotal || recordPosition < directoryEnd)
        return ZipCorrupt;
    entryCount = entriesTotal;
    archiveStart = recordPosition - directoryEnd;
    return ZipOk;
}

// --- central directory -------------------------------------------------------

void CZipArchive::LoadDirectory()
{
    if (source.memory || centralDirectorySize == 0 || centralDirectorySize > kMaxDirectoryCopy)
        return;
    BYTE* copy = static_cast<BYTE*>(malloc(centralDirectorySize));
    if (!copy)
        return;
    if (!source.Seek(archiveStart + centralDirectoryOffset) || !source.ReadExact(copy, centralDirectorySize))
    {
        free(copy);
        return;
    }
    directory = copy;
}

bool CZipArchive::ReadAt(uint64_t position, void* buffer, DWORD size)
{
    const uint64_t directoryStart = archiveStart + centralDirectoryOffset;
    if (directory && position >= directoryStart && position - directoryStart + size <= centralDirectorySize)
    {
        memcpy(buffer, directory + (position - directoryStart), size);
        return true;
    }
    return source.Seek(position) && source.ReadExact(buffer, size);
}

bool CZipArchive::ReadCentralHeader(uint64_t position, TCentralHeader& header, char* name, DWORD nameSize)
{
    BYTE raw[kCentralHeaderSize];
    if (!ReadAt(position, raw, kCentralHeaderSize))
        return false;
    if (!HasSignature(raw, 0x01, 0x02))
        return false;
    header.versionMadeBy = Get16(raw + 4);
    header.versionNeeded = Get16(raw + 6);
    header.flags = Get16(raw + 8);
    header.method = Get16(raw + 10);
    header.dosDateTime = Get32(raw + 12);
    header.crc = Get32(raw + 16);
    header.compressedSize = Get32(raw + 20);
    header.uncompressedSize = Get32(raw + 24);
    header.nameLength = Get16(raw + 28);
    header.extraLength = Get16(raw + 30);
    header.commentLength = Get16(raw + 32);
    header.startDisk = Get16(raw + 34);
    header.internalAttributes = Get16(raw + 36);
    header.externalAttributes = Get32(raw + 38);
    header.localHeaderOffset = Get32(raw + 42);
    if (name && nameSize > 0)
    {
        // The buffer is always terminated, also when the name fills it.
        const DWORD count = header.nameLength < nameSize ? header.nameLength : nameSize - 1;
        if (!ReadAt(position + kCentralHeaderSize, name, count))
            return false;
        name[count] = 0;
    }
    return true;
}

bool CZipArchive::MoveToFirst()
{
    currentIndex = 0;
    currentPosition = archiveStart + centralDirectoryOffset;
    currentOk = entryCount > 0 && ReadCentralHeader(currentPosition, current, nullptr, 0);
    return currentOk;
}

bool CZipArchive::MoveToNext()
{
    if (!currentOk || currentIndex + 1 >= entryCount)
    {
        currentOk = false;
        return false;
    }
    currentPosition += kCentralHeaderSize + current.nameLength + current.extraLength + current.commentLength;
    ++currentIndex;
    currentOk = ReadCentralHeader(currentPosition, current, nullptr, 0);
    return currentOk;
}

// Every step moves forward by at least one header, so a damaged directory
// ends the walk with a failure instead of a loop.
TZipResult CZipArchive::MoveTo(int index)
{
    if (!currentOk || index < currentIndex)
    {
        if (!MoveToFirst())
            return ZipReadFailed;
    }
    while (currentIndex < index)
    {
        if (!MoveToNext())
            return ZipReadFailed;
    }
    return ZipOk;
}

TZipResult CZipArchive::CheckLocalHeader(uint64_t& dataStart, DWORD& extraLength)
{
    BYTE raw[kLocalHeaderSize];
    const uint64_t position = archiveStart + current.localHeaderOffset;
    if (!source.Seek(position) || !source.ReadExact(raw, kLocalHeaderSize))
        return ZipReadFailed;
    if (!HasSignature(raw, 0x03, 0x04))
        return ZipCorrupt;
    const WORD flags = Get16(raw + 6);
    const WORD method = Get16(raw + 8);
    if (method != current.method || (method != kMethodStored && method != kMethodDeflated))
        return ZipCorrupt;
    if (!(flags & kFlagDataDescriptor))
    {
        if (Get32(raw + 14) != current.crc || Get32(raw + 18) != current.compressedSize ||
            Get32(raw + 22) != current.uncompressedSize)
            return ZipCorrupt;
    }
    const WORD nameLength = Get16(raw + 26);
    if (nameLength != current.nameLength)
        return ZipCorrupt;
    extraLength = Get16(raw + 28);
    dataStart = position + kLocalHeaderSize + nameLength + extraLength;
    return ZipOk;
}

TZipResult CZipArchive::FindEntry(CZipArchive* archive, const wchar_t* name, bool ignoreCase, int* index,
                                  TZipEntry* entry)
{
    if (!archive || !name)
        return Finish(ZipBadArgs);
    if (archive->kind != kReaderKind)
        return Finish(ZipWrongHandle);
    if (index)
        *index = -1;
    if (entry)
    {
        *entry = TZipEntry{};
        entry->index = -1;
    }

    // Backslashes become slashes before the conversion: in a double-byte code
    // page a converted character may contain the byte of a backslash.
    const size_t nameLength = wcslen(name);
    char wanted[MAX_PATH];
    int wantedLength = 0;
    if (nameLength < kMaxCompareName)
    {
        wchar_t slashed[kMaxCompareName];
        for (size_t i = 0; i <= nameLength; ++i)
            slashed[i] = name[i] == L'\\' ? L'/' : name[i];
        wantedLength =
            WideCharToMultiByte(CP_ACP, 0, slashed, int(nameLength), wanted, MAX_PATH - 1, nullptr, nullptr);
    }
    if (nameLength == 0 || wantedLength <= 0)
        return Finish(ZipNotFound);

    // The walk uses its own position, so the cursor stays where it was when
    // nothing is found.
    int found = -1;
    char stored[kMaxCompareName + 1];
    TCentralHeader header = {};
    uint64_t position = archive->archiveStart + archive->centralDirectoryOffset;
    for (int i = 0; i < archive->entryCount; ++i)
    {
        if (!archive->ReadCentralHeader(position, header, stored, sizeof stored))
            break;
        const int storedLength = header.nameLength < kMaxCompareName ? header.nameLength : kMaxCompareName;
        if (NamesEqual(stored, storedLength, wanted, wantedLength, ignoreCase))
        {
            found = i;
            break;
        }
        position += kCentralHeaderSize + header.nameLength + header.extraLength + header.commentLength;
    }
    if (found < 0)
        return Finish(ZipNotFound);

    archive->CloseEntry();
    archive->currentIndex = found;
    archive->currentPosition = position;
    archive->current = header;
    archive->currentOk = true;
    if (index)
        *index = found;
    if (entry)
        return GetEntry(archive, found, entry);
    return Finish(ZipOk);
}

TZipResult CZipArchive::GetEntry(CZipArchive* archive, int index, TZipEntry* entry)
{
    if (!archive || !entry)
        return Finish(ZipBadArgs);
    if (archive->kind != kReaderKind)
        return Finish(ZipWrongHandle);
    if (index < -1 || index >= archive->entryCount)
        return Finish(ZipBadArgs);
    archive->CloseEntry();
    if (index == -1)
    {
        *entry = TZipEntry{};
        entry->index = archive->entryCount;
        return Finish(ZipOk);
    }
    if (index == archive->cachedIndex)
    {
        *entry = archive->cachedEntry;
        return Finish(ZipOk);
    }
    const TZipResult result = archive->FillEntry(index, *entry);
    if (result == ZipOk)
    {
        archive->cachedEntry = *entry;
        archive->cachedIndex = index;
    }
    return Finish(result);
}

TZipResult CZipArchive::FillEntry(int index, TZipEntry& entry)
{
    TZipResult result = MoveTo(index);
    if (result != ZipOk)
        return result;
    char name[MAX_PATH];
    if (!ReadCentralHeader(currentPosition, current, name, sizeof name))
        return ZipReadFailed;

    uint64_t dataStart = 0;
    DWORD extraLength = 0;
    result = CheckLocalHeader(dataStart, extraLength);
    if (result != ZipOk)
        return result;
    BYTE* extra = nullptr;
    if (extraLength > 0)
    {
        extra = static_cast<BYTE*>(malloc(extraLength));
        if (!extra)
            return ZipReadFailed;
        if (!source.Seek(dataStart - extraLength) || !source.ReadExact(extra, extraLength))
        {
            free(extra);
            return ZipReadFailed;
        }
    }

    entry = TZipEntry{};
    entry.index = index;
    const int converted = MultiByteToWideChar(CP_ACP, 0, name, int(strlen(name)), entry.name, MAX_PATH - 1);
    entry.name[converted > 0 ? converted : 0] = 0;
    entry.attributes = AttributesFromExternal(current.externalAttributes);
    entry.modificationTime = entry.accessTime = entry.creationTime = DosTimeToFileTime(current.dosDateTime);
    if (extra)
        ApplyExtendedTimestamp(extra, extraLength, entry);
    free(extra);
    entry.compressedSize = current.compressedSize;
    entry.uncompressedSize = current.uncompressedSize;
    return ZipOk;
}

// --- reading an entry --------------------------------------------------------

TZipResult CZipArchive::OpenEntry()
{
    CloseEntry();
    uint64_t dataStart = 0;
    DWORD extraLength = 0;
    const TZipResult result = CheckLocalHeader(dataStart, extraLength);
    if (result != ZipOk)
        return result;
    // The data must lie in front of the central directory; this also keeps a
    // forged size from making the reader allocate or read without end.
    const uint64_t directoryStart = archiveStart + centralDirectoryOffset;
    if (dataStart + current.compressedSize > directoryStart)
        return ZipCorrupt;

    TOpenEntry* entry = new (std::nothrow) TOpenEntry;
    if (!entry)
        return ZipReadFailed;
    entry->input = static_cast<BYTE*>(malloc(kInputBufferSize));
    if (!entry->input)
    {
        delete entry;
        return ZipReadFailed;
    }
    entry->nextPosition = dataStart;
    entry->remainingCompressed = current.compressedSize;
    entry->remainingUncompressed = current.uncompressedSize;
    entry->method = current.method;
    entry->expectedCrc = current.crc;
    entry->crc = crc32(0, nullptr, 0);
    if (entry->method == kMethodDeflated)
    {
        if (inflateInit2(&entry->stream, -MAX_WBITS) != Z_OK)
        {
            free(entry->input);
            delete entry;
            return ZipReadFailed;
        }
        entry->streamReady = true;
    }
    openEntry = entry;
    return ZipOk;
}

void CZipArchive::CloseEntry()
{
    if (openEntry)
    {
        if (openEntry->streamReady)
            inflateEnd(&openEntry->stream);
        free(openEntry->input);
        delete openEntry;
        openEntry = nullptr;
    }
    openIndex = -1;
}

// Produces at most size bytes of the open entry. Returns the count, or -1
// when the source cannot be read. An entry whose data cannot yield its
// stated size and checksum is marked damaged; the loop ends on every path
// where neither input nor output moves.
int CZipArchive::ReadEntry(BYTE* buffer, DWORD size)
{
    TOpenEntry* entry = openEntry;
    if (!entry)
        return -1;
    if (size > entry->remainingUncompressed)
        size = entry->remainingUncompressed;
    DWORD produced = 0;
    while (produced < size && !entry->damaged)
    {
        if (entry->inputAvailable == 0 && entry->remainingCompressed > 0)
        {
            const DWORD chunk =
                entry->remainingCompressed < kInputBufferSize ? entry->remainingCompressed : kInputBufferSize;
            if (!source.Seek(entry->nextPosition) || !source.ReadExact(entry->input, chunk))
                return -1;
            entry->nextPosition += chunk;
            entry->remainingCompressed -= chunk;
            entry->inputAvailable = chunk;
            entry->inputOffset = 0;
        }
        const DWORD room = size - produced;
        if (entry->method == kMethodDeflated)
        {
            z_stream& stream = entry->stream;
            stream.next_in = entry->input + entry->inputOffset;
            stream.avail_in = entry->inputAvailable;
            stream.next_out = buffer + produced;
            stream.avail_out = room;
            const int status = inflate(&stream, Z_SYNC_FLUSH);
            const DWORD made = room - stream.avail_out;
            entry->inputOffset += entry->inputAvailable - stream.avail_in;
            entry->inputAvailable = stream.avail_in;
            entry->crc = crc32(entry->crc, buffer + produced, made);
            produced += made;
            if (status == Z_STREAM_END)
            {
                if (entry->remainingUncompressed - produced > 0)
                    entry->damaged = true;
                break;
            }
            if (status != Z_OK)
                entry->damaged = true;
        }
        else
        {
            if (entry->inputAvailable == 0)
            {
                entry->damaged = true;
                break;
            }
            const DWORD count = room < entry->inputAvailable ? room : entry->inputAvailable;
            memcpy(buffer + produced, entry->input + entry->inputOffset, count);
            entry->crc = crc32(entry->crc, buffer + produced, count);
            entry->inputOffset += count;
            entry->inputAvailable -= count;
            produced += count;
        }
    }
    entry->remainingUncompressed -= produced;
    if (entry->remainingUncompressed == 0 && entry->crc != entry->expectedCrc)
        entry->damaged = true;
    return int(produced);
}

// --- extraction ----------------------------------------------------------------

TZipResult CZipArchive::Extract(CZipArchive* archive, int index, void* destination, DWORD length, DWORD flags)
{
    if (!archive)
        return Finish(ZipBadArgs);
    if (archive->kind != kReaderKind)
        return Finish(ZipWrongHandle);
    if (index < 0 || !destination)
        return Finish(ZipBadArgs);
    switch (flags)
    {
    case ZipSourceMemory:
        return Finish(archive->ExtractToMemory(index, static_cast<BYTE*>(destination), length));
    case ZipSourceHandle:
    case ZipSourceFileName:
        return Finish(archive->ExtractToFile(index, destination, flags));
    default:
        return Finish(ZipBadArgs);
    }
}

TZipResult CZipArchive::ExtractToMemory(int index, BYTE* buffer, DWORD length)
{
    if (index != openIndex || !openEntry)
    {
        CloseEntry();
        if (index >= entryCount)
            return ZipBadArgs;
        if (MoveTo(index) != ZipOk || OpenEntry() != ZipOk)
        {
            CloseEntry();
            return ZipReadEntryFailed;
        }
        openIndex = index;
    }
    const int produced = ReadEntry(buffer, length);
    if (produced < 0)
    {
        CloseEntry();
        return ZipReadEntryFailed;
    }
    if (openEntry->damaged)
    {
        CloseEntry();
        return ZipCorrupt;
    }
    if (produced > 0)
        return ZipMore;
    CloseEntry();
    return ZipOk;
}

TZipResult CZipArchive::ExtractToFile(int index, void* destination, DWORD flags)
{
    CloseEntry();
    if (index >= entryCount)
        return ZipBadArgs;
    TZipEntry entry;
    TZipResult result = index == cachedIndex ? ZipOk : FillEntry(index, entry);
    if (result != ZipOk)
        return result;
    if (index == cachedIndex)
        entry = cachedEntry;
    cachedEntry = entry;
    cachedIndex = index;

    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
    {
        if (flags != ZipSourceFileName)
            return ZipOk;
        // A directory entry may only create directories below the base.
        if (IsAbsolutePath(entry.name) || HasParentComponent(entry.name))
            return ZipNoFile;
        EnsureDirectory(baseDirectory, entry.name, wcslen(entry.name));
        return ZipOk;
    }

    HANDLE file = HANDLE(destination);
    if (flags == ZipSourceFileName)
    {
        const wchar_t* name = static_cast<const wchar_t*>(destination);
        size_t directoryLength = 0;
        for (size_t i = 0; name[i] != 0; ++i)
            if (IsSlash(name[i]))
                directoryLength = i + 1;
        if (directoryLength > 0 && !IsAbsolutePath(name) && !HasParentStepFollowedBySlash(name))
            EnsureDirectory(baseDirectory, name, directoryLength);
        file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, entry.attributes, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return ZipNoFile;
    }

    if (MoveTo(index) != ZipOk || OpenEntry() != ZipOk)
    {
        result = ZipWriteFailed;
    }
    else
    {
        BYTE* block = static_cast<BYTE*>(malloc(kInputBufferSize));
        if (!block)
            result = ZipWriteFailed;
        while (block && result == ZipOk)
        {
            const int produced = ReadEntry(block, kInputBufferSize);
            if (produced < 0 || openEntry->damaged)
            {
                result = ZipWriteFailed;
                break;
            }
            if (produced == 0)
                break;
            DWORD written = 0;
            if (!WriteFile(file, block, DWORD(produced), &written, nullptr) || written != DWORD(produced))
                result = ZipWriteFailed;
        }
        free(block);
    }
    if (result == ZipOk && GetFileType(file) == FILE_TYPE_DISK)
        SetFileTime(file, &entry.creationTime, &entry.accessTime, &entry.modificationTime);
    if (flags == ZipSourceFileName)
        CloseHandle(file);
    CloseEntry();
    return result;
}

TZipResult CZipArchive::Close(CZipArchive* archive)
{
    if (!archive)
        return Finish(ZipBadArgs);
    if (archive->kind != kReaderKind)
        return Finish(ZipWrongHandle);
    archive->kind = 0;
    delete archive;
    return Finish(ZipOk);
}
