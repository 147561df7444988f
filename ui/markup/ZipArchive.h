#pragma once

// Reader for the skin archive: a plain zip file (stored and deflated entries,
// optional data descriptors, other data allowed in front of the archive).
// No ZIP64, multi-disk archives or encryption.

#include <windows.h>

#include <cstdint>

enum TZipResult : DWORD
{
    ZipOk = 0,
    ZipDuplicateFailed = 0x100,
    ZipNoFile = 0x200,
    ZipWriteFailed = 0x400,
    ZipNotFound = 0x500,
    ZipMore = 0x600,
    ZipCorrupt = 0x700,
    ZipReadFailed = 0x800,
    ZipBadArgs = 0x10000,
    ZipWrongHandle = 0x80000,
    ZipAlreadyOpen = 0x1000000,
    ZipNotSeekable = 0x2000000,
    ZipReadEntryFailed = 0x5000000,
};

// The kind of source of Open and the kind of destination of Extract.
enum TZipFlags : DWORD
{
    ZipSourceHandle = 1,
    ZipSourceFileName = 2,
    ZipSourceMemory = 3,
};

struct TZipEntry
{
    int index;  // for the request with index -1: the entry count
    wchar_t name[260];
    DWORD attributes;  // FILE_ATTRIBUTE_* bits
    FILETIME accessTime;
    FILETIME creationTime;
    FILETIME modificationTime;
    DWORD compressedSize;
    DWORD uncompressedSize;
};

class CZipArchive
{
public:
    // source is a HANDLE, a wide file name or a memory block of length bytes,
    // as flags say. A memory block is not copied and must outlive the archive.
    // Null on failure; the reason is in GetLastResult.
    static CZipArchive* Open(const void* source, DWORD length, DWORD flags);

    // ignoreCase folds ASCII letters only; backslashes in name match slashes.
    static TZipResult FindEntry(CZipArchive* archive, const wchar_t* name, bool ignoreCase, int* index,
                                TZipEntry* entry);
    static TZipResult GetEntry(CZipArchive* archive, int index, TZipEntry* entry);

    // To memory: ZipMore while bytes are produced (the entry stays open and the
    // next call with the same index continues), ZipOk once nothing is left.
    // A damaged entry (stream ends early, bad data, CRC mismatch, input shorter
    // than the sizes claim) gives ZipCorrupt, never a partial success.
    static TZipResult Extract(CZipArchive* archive, int index, void* destination, DWORD length, DWORD flags);
    static TZipResult Close(CZipArchive* archive);

    // Result of the most recent operation of any archive.
    static TZipResult GetLastResult();

    // Whether the entry's uncompressed size could come out of its compressed
    // bytes at all; callers check this before allocating a buffer of that size.
    static bool IsPlausibleSize(const TZipEntry& entry);

    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

private:
    struct TSource
    {
        HANDLE file = INVALID_HANDLE_VALUE;
        bool seekable = false;
        bool readError = false;
        const BYTE* memory = nullptr;
        uint64_t memoryLength = 0;
        uint64_t position = 0;

        bool Seek(uint64_t absolute);
        DWORD Read(void* buffer, DWORD size);
        bool ReadExact(void* buffer, DWORD size);
        uint64_t Length();
        void Close();
    };

    struct TCentralHeader
    {
        WORD versionMadeBy, versionNeeded, flags, method;
        DWORD dosDateTime, crc, compressedSize, uncompressedSize;
        WORD nameLength, extraLength, commentLength, startDisk, internalAttributes;
        DWORD externalAttributes, localHeaderOffset;
    };

    struct TOpenEntry;

    CZipArchive();
    ~CZipArchive();

    TZipResult OpenSource(const void* source, DWORD length, DWORD flags);
    TZipResult ReadEndRecord();
    void LoadDirectory();
    bool ReadAt(uint64_t position, void* buffer, DWORD size);

    bool ReadCentralHeader(uint64_t position, TCentralHeader& header, char* name, DWORD nameSize);
    bool MoveToFirst();
    bool MoveToNext();
    TZipResult MoveTo(int index);
    TZipResult CheckLocalHeader(uint64_t& dataStart, DWORD& extraLength);

    TZipResult FillEntry(int index, TZipEntry& entry);
    TZipResult OpenEntry();
    int ReadEntry(BYTE* buffer, DWORD size);
    void CloseEntry();

    TZipResult ExtractToMemory(int index, BYTE* buffer, DWORD length);
    TZipResult ExtractToFile(int index, void* destination, DWORD flags);

    static TZipResult Finish(TZipResult result);

    DWORD kind = 0;
    TSource source;
    int entryCount = 0;
    uint64_t archiveStart = 0;
    DWORD centralDirectoryOffset = 0;
    DWORD centralDirectorySize = 0;
    // A copy of a file archive's central directory, so that walking it costs
    // no reads; null when it was not loaded (reads then go to the source).
    BYTE* directory = nullptr;

    int currentIndex = 0;
    uint64_t currentPosition = 0;
    bool currentOk = false;
    TCentralHeader current = {};

    TOpenEntry* openEntry = nullptr;
    int openIndex = -1;
    TZipEntry cachedEntry = {};
    int cachedIndex = -1;
    wchar_t baseDirectory[MAX_PATH + 2] = {};
};
