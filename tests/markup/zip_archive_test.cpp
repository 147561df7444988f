#include "ui/markup/ZipArchive.h"

#include "tests/support/TempFolder.h"
#include "tests/support/zip_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ziptest;

namespace
{

struct TExtracted
{
    TZipResult result;
    std::string bytes;
};

// Extracts an entry the way the skin loader does: one buffer of the full size.
TExtracted ExtractWhole(CZipArchive* archive, int index)
{
    TZipEntry entry = {};
    TZipResult result = CZipArchive::GetEntry(archive, index, &entry);
    if (result != ZipOk)
        return {result, {}};
    std::string buffer(entry.uncompressedSize, '\0');
    result = CZipArchive::Extract(archive, index, &buffer[0], DWORD(buffer.size()), ZipSourceMemory);
    return {result, result == ZipMore || result == ZipOk ? buffer : std::string()};
}

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

std::vector<TMember> SkinEntries()
{
    TMember xml;
    xml.name = "Setup.xml";
    xml.data = "<Window size=\"400,300\"><Button name=\"Install\"/></Window>";
    TMember image;
    image.name = "IMAGES/BK.PNG";
    image.data = Repeat("pixel data ", 2000);
    image.method = 0;
    TMember described;
    described.name = "images/button.png";
    described.data = Repeat("button bytes ", 500);
    described.dataDescriptor = true;
    return {xml, image, described};
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string out(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!out.empty())
        ReadFile(file, &out[0], DWORD(out.size()), &got, nullptr);
    CloseHandle(file);
    return out;
}

bool IsDirectory(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint64_t FileTimeValue(const FILETIME& time)
{
    return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace

// --- reading good archives from every kind of source ------------------------

TEST(ZipArchive, ReadsStoredDeflatedAndDescribedEntriesFromEverySource)
{
    const std::vector<TMember> members = SkinEntries();
    const CTempFolder folder(L"ziptest");
    const std::wstring dir = folder.Path();
    for (const std::string& prefix : {std::string(), std::string(300, 'x')})
    {
        const TArchive zip = BuildZip(members, prefix, "skin archive");
        const std::wstring path = dir + L"skin.dat";
        ASSERT_TRUE(WriteFileBytes(path, zip.bytes));
        HANDLE handle =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);

        struct TSource
        {
            const char* what;
            const void* source;
            DWORD length;
            DWORD flags;
        } sources[] = {
            {"memory", zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory},
            {"file name", path.c_str(), 0, ZipSourceFileName},
            {"handle", handle, 0, ZipSourceHandle},
        };
        for (const TSource& s : sources)
        {
            SCOPED_TRACE(std::string(s.what) + (prefix.empty() ? "" : " with data in front"));
            CZipArchive* archive = CZipArchive::Open(s.source, s.length, s.flags);
            ASSERT_NE(archive, nullptr) << CZipArchive::GetLastResult();
            TZipEntry count = {};
            EXPECT_EQ(CZipArchive::GetEntry(archive, -1, &count), ZipOk);
            EXPECT_EQ(count.index, 3);
            for (int i = 0; i < 3; ++i)
            {
                TZipEntry entry = {};
                ASSERT_EQ(CZipArchive::GetEntry(archive, i, &entry), ZipOk);
                EXPECT_EQ(std::wstring(entry.name),
                          std::wstring(members[i].name.begin(), members[i].name.end()));
                EXPECT_EQ(entry.uncompressedSize, members[i].data.size());
                const TExtracted got = ExtractWhole(archive, i);
                EXPECT_EQ(got.result, ZipMore) << i;
                EXPECT_EQ(got.bytes, members[i].data) << i;
            }
            EXPECT_EQ(CZipArchive::Close(archive), ZipOk);
        }
        CloseHandle(handle);
    }
}

TEST(ZipArchive, MemoryExtractionContinuesAcrossCallsUntilNothingIsLeft)
{
    const std::vector<TMember> members = SkinEntries();
    const TArchive zip = BuildZip(members);
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);
    for (int index : {0, 1, 2})
    {
        std::string collected;
        char chunk[7];
        TZipResult result;
        int calls = 0;
        while ((result = CZipArchive::Extract(archive, index, chunk, sizeof chunk, ZipSourceMemory)) ==
                   ZipMore &&
               calls++ < 100000)
        {
            const size_t take = std::min(sizeof chunk, members[index].data.size() - collected.size());
            collected.append(chunk, take);
        }
        EXPECT_EQ(result, ZipOk);
        EXPECT_EQ(collected, members[index].data) << index;
    }

    // A lookup closes an entry left open, so the next extraction starts over.
    char head[5];
    ASSERT_EQ(CZipArchive::Extract(archive, 0, head, sizeof head, ZipSourceMemory), ZipMore);
    int index = -1;
    ASSERT_EQ(CZipArchive::FindEntry(archive, L"setup.xml", true, &index, nullptr), ZipOk);
    ASSERT_EQ(CZipArchive::Extract(archive, 0, head, sizeof head, ZipSourceMemory), ZipMore);
    EXPECT_EQ(std::string(head, 5), "<Wind");
    CZipArchive::Close(archive);
}

TEST(ZipArchive, TenByteStoredEntryGivesMoreThenOk)
{
    TMember e;
    e.name = "ten.bin";
    e.data = "0123456789";
    e.method = 0;
    const TArchive zip = BuildZip({e});
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);
    char buffer[10];
    EXPECT_EQ(CZipArchive::Extract(archive, 0, buffer, 10, ZipSourceMemory), ZipMore);
    EXPECT_EQ(CZipArchive::Extract(archive, 0, buffer, 10, ZipSourceMemory), ZipOk);
    CZipArchive::Close(archive);
}

// --- lookup ----------------------------------------------------------------------

TEST(ZipArchive, FindEntryFoldsAsciiCaseAndSlashesOnly)
{
    std::vector<TMember> members = SkinEntries();
    TMember accented;
    accented.name = "caf\xE9.png";  // the code page's bytes, as an archiver on that system stores them
    accented.data = "x";
    members.push_back(accented);
    const TArchive zip = BuildZip(members);
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);
    const bool singleByte = GetACP() == 1252;

    struct TCase
    {
        const wchar_t* name;
        bool ignoreCase;
        int expected;
    } cases[] = {
        {L"images\\bk.png", true, 1},
        {L"images\\bk.png", false, -1},
        {L"IMAGES/BK.PNG", false, 1},
        {L"Setup.xml", false, 0},
        {L"SETUP.XML", true, 0},
        {L"images/button.png", true, 2},
        {L"Setup.xm", true, -1},
        {L"Setup.xmll", true, -1},
        {L"", true, -1},
        {L"caf\u00E9.png", true, singleByte ? 3 : -1},
        {L"CAF\u00C9.PNG", true, -1},  // no folding beyond ASCII
    };
    for (const TCase& c : cases)
    {
        int index = -7;
        TZipEntry entry = {};
        const TZipResult result = CZipArchive::FindEntry(archive, c.name, c.ignoreCase, &index, &entry);
        EXPECT_EQ(index, c.expected) << c.name;
        EXPECT_EQ(result, c.expected >= 0 ? ZipOk : ZipNotFound) << c.name;
        if (c.expected >= 0)
        {
            EXPECT_EQ(entry.index, c.expected);
        }
        else
        {
            EXPECT_EQ(entry.index, -1);
        }
    }
    CZipArchive::Close(archive);
}

TEST(ZipArchive, LongNamesAreCutAndAlwaysTerminated)
{
    // Stored names of 255 to 300 bytes: a lookup compares at most 256 bytes and
    // a reported name holds at most 259 characters, terminated even when the
    // stored name fills the buffer exactly.
    std::vector<TMember> members;
    for (size_t length : {255u, 256u, 259u, 260u, 300u})
    {
        TMember e;
        e.name = std::string(length - 4, 'n') + ".png";
        e.data = std::to_string(length);
        members.push_back(e);
    }
    const TArchive zip = BuildZip(members);
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);
    for (size_t i = 0; i < members.size(); ++i)
    {
        TZipEntry entry;
        memset(&entry, 0x41, sizeof entry);
        ASSERT_EQ(CZipArchive::GetEntry(archive, int(i), &entry), ZipOk);
        const size_t expected = std::min<size_t>(members[i].name.size(), 259);
        EXPECT_EQ(wcsnlen(entry.name, 260), expected) << members[i].name.size();
    }
    const std::wstring name255(members[0].name.begin(), members[0].name.end());
    int index = -1;
    EXPECT_EQ(CZipArchive::FindEntry(archive, name255.c_str(), true, &index, nullptr), ZipOk);
    EXPECT_EQ(index, 0);
    const std::wstring name256(members[1].name.begin(), members[1].name.end());
    EXPECT_EQ(CZipArchive::FindEntry(archive, name256.c_str(), true, &index, nullptr), ZipNotFound);
    CZipArchive::Close(archive);
}

// --- archives that cannot be opened -----------------------------------------------

TEST(ZipArchive, OpenRefusesArchivesWithoutAUsableEndRecord)
{
    const std::vector<TMember> members = SkinEntries();
    struct TCase
    {
        const char* what;
        std::string bytes;
        bool opens;
    };
    std::vector<TCase> cases;
    // The end record must start within the last 65535 bytes.
    cases.push_back({"comment of 65513 bytes", BuildZip(members, "", std::string(65513, 'c')).bytes, true});
    cases.push_back({"comment of 65514 bytes", BuildZip(members, "", std::string(65514, 'c')).bytes, false});
    cases.push_back({"empty", std::string(), false});
    cases.push_back({"no end record", std::string(5000, 'z'), false});
    cases.push_back({"end record at offset 0", BuildZip({}).bytes, false});
    {
        TArchive zip = BuildZip(members);
        Put16(zip.bytes, zip.endRecord + EndDisk, 1);
        cases.push_back({"second disk", zip.bytes, false});
    }
    {
        TArchive zip = BuildZip(members);
        Put16(zip.bytes, zip.endRecord + EndEntriesOnDisk, 2);
        cases.push_back({"entry counts differ", zip.bytes, false});
    }
    {
        TArchive zip = BuildZip(members);
        Put32(zip.bytes, zip.endRecord + EndDirectorySize, uint32_t(zip.endRecord) + 1);
        cases.push_back({"directory does not fit before the end record", zip.bytes, false});
    }
    {
        TArchive zip = BuildZip(members);
        Put32(zip.bytes, zip.endRecord + EndDirectoryOffset, 0xFFFFFFF0u);
        Put32(zip.bytes, zip.endRecord + EndDirectorySize, 0x20u);
        cases.push_back({"offset and size overflow 32 bits", zip.bytes, false});
    }
    {
        TArchive zip = BuildZip(members);
        zip.bytes[zip.centralHeaders[0]] = 'Q';
        cases.push_back({"first central header damaged", zip.bytes, false});
    }
    for (const TCase& c : cases)
    {
        CZipArchive* archive = CZipArchive::Open(c.bytes.data(), DWORD(c.bytes.size()), ZipSourceMemory);
        EXPECT_EQ(archive != nullptr, c.opens) << c.what;
        if (archive)
        {
            EXPECT_EQ(ExtractWhole(archive, 0).bytes, members[0].data) << c.what;
            CZipArchive::Close(archive);
        }
        else
        {
            EXPECT_NE(CZipArchive::GetLastResult(), ZipOk) << c.what;
        }
    }
}

TEST(ZipArchive, OpenReportsSourceFailures)
{
    EXPECT_EQ(CZipArchive::Open(L"Z:\\no\\such\\archive.dat", 0, ZipSourceFileName), nullptr);
    EXPECT_EQ(CZipArchive::GetLastResult(), ZipNoFile);
    EXPECT_EQ(CZipArchive::Open("x", 1, 9), nullptr);
    EXPECT_EQ(CZipArchive::GetLastResult(), ZipBadArgs);

    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    EXPECT_EQ(CZipArchive::Open(readEnd, 0, ZipSourceHandle), nullptr);
    EXPECT_EQ(CZipArchive::GetLastResult(), ZipNotSeekable);
    CloseHandle(readEnd);
    CloseHandle(writeEnd);

    EXPECT_EQ(CZipArchive::Close(nullptr), ZipBadArgs);
}

// --- entries that cannot be read ------------------------------------------------------

TEST(ZipArchive, DamagedEntriesFailInsteadOfYieldingPartialData)
{
    const std::vector<TMember> members = SkinEntries();
    const size_t xmlData = [&] {
        const TArchive zip = BuildZip(members);
        return zip.localHeaders[0] + LocalHeaderSize + members[0].name.size();
    }();
    struct TCase
    {
        const char* what;
        void (*damage)(TArchive&, size_t dataStart);
        TZipResult getEntry;
        TZipResult extract;
    } cases[] = {
        {"unknown method 12",
         [](TArchive& z, size_t) {
             Put16(z.bytes, z.localHeaders[0] + LocalMethod, 12);
             Put16(z.bytes, z.centralHeaders[0] + CentralMethod, 12);
         },
         ZipCorrupt, ZipReadEntryFailed},
        {"local method differs",
         [](TArchive& z, size_t) { Put16(z.bytes, z.localHeaders[0] + LocalMethod, 0); }, ZipCorrupt,
         ZipReadEntryFailed},
        {"local CRC differs", [](TArchive& z, size_t) { Put32(z.bytes, z.localHeaders[0] + LocalCrc, 1); },
         ZipCorrupt, ZipReadEntryFailed},
        {"local size differs",
         [](TArchive& z, size_t) { Put32(z.bytes, z.localHeaders[0] + LocalUncompressed, 1); }, ZipCorrupt,
         ZipReadEntryFailed},
        {"local name length differs",
         [](TArchive& z, size_t) { Put16(z.bytes, z.localHeaders[0] + LocalNameLength, 3); }, ZipCorrupt,
         ZipReadEntryFailed},
        {"local signature missing", [](TArchive& z, size_t) { z.bytes[z.localHeaders[0]] = 0; }, ZipCorrupt,
         ZipReadEntryFailed},
        {"local header beyond the end",
         [](TArchive& z, size_t) { Put32(z.bytes, z.centralHeaders[0] + CentralLocalOffset, 0x7FFFFFFF); },
         ZipReadFailed, ZipReadEntryFailed},
        {"both CRCs wrong",
         [](TArchive& z, size_t) {
             Put32(z.bytes, z.localHeaders[0] + LocalCrc, 0xDEADBEEF);
             Put32(z.bytes, z.centralHeaders[0] + CentralCrc, 0xDEADBEEF);
         },
         ZipOk, ZipCorrupt},
        {"deflate stream damaged",
         [](TArchive& z, size_t data) {
             for (size_t i = 0; i < 6; ++i)
                 z.bytes[data + i] = char(0xFF);
         },
         ZipOk, ZipCorrupt},
        {"deflate stream cut short",
         [](TArchive& z, size_t) {
             Put32(z.bytes, z.localHeaders[0] + LocalCompressed, 10);
             Put32(z.bytes, z.centralHeaders[0] + CentralCompressed, 10);
         },
         ZipOk, ZipCorrupt},
        {"stream ends before the stated size",
         [](TArchive& z, size_t) {
             Put32(z.bytes, z.localHeaders[0] + LocalUncompressed, 100);
             Put32(z.bytes, z.centralHeaders[0] + CentralUncompressed, 100);
         },
         ZipOk, ZipCorrupt},
        {"compressed size reaches into the directory",
         [](TArchive& z, size_t) {
             Put32(z.bytes, z.localHeaders[0] + LocalCompressed, 0x100000);
             Put32(z.bytes, z.centralHeaders[0] + CentralCompressed, 0x100000);
         },
         ZipOk, ZipReadEntryFailed},
    };
    for (const TCase& c : cases)
    {
        TArchive zip = BuildZip(members);
        c.damage(zip, xmlData);
        CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
        ASSERT_NE(archive, nullptr) << c.what;
        TZipEntry entry = {};
        EXPECT_EQ(CZipArchive::GetEntry(archive, 0, &entry), c.getEntry) << c.what;
        std::string buffer(members[0].data.size() + 200, '\0');
        const DWORD length = std::max<DWORD>(entry.uncompressedSize, DWORD(members[0].data.size()));
        EXPECT_EQ(CZipArchive::Extract(archive, 0, &buffer[0], std::min<DWORD>(length, DWORD(buffer.size())),
                                       ZipSourceMemory),
                  c.extract)
            << c.what;
        // The other entries stay readable.
        EXPECT_EQ(ExtractWhole(archive, 1).bytes, members[1].data) << c.what;
        CZipArchive::Close(archive);
    }
}

TEST(ZipArchive, StoredEntryWithTooFewBytesStopsAndReportsCorruption)
{
    TMember e;
    e.name = "short.bin";
    e.data = "0123456789";
    e.method = 0;
    TArchive zip = BuildZip({e});
    // Twenty bytes promised, ten present: the copy must stop rather than wait for more.
    Put32(zip.bytes, zip.localHeaders[0] + LocalUncompressed, 20);
    Put32(zip.bytes, zip.centralHeaders[0] + CentralUncompressed, 20);
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);
    char buffer[20];
    EXPECT_EQ(CZipArchive::Extract(archive, 0, buffer, sizeof buffer, ZipSourceMemory), ZipCorrupt);
    // In small steps the first ten bytes come out before the shortage shows.
    EXPECT_EQ(CZipArchive::Extract(archive, 0, buffer, 10, ZipSourceMemory), ZipMore);
    EXPECT_EQ(CZipArchive::Extract(archive, 0, buffer, 10, ZipSourceMemory), ZipCorrupt);
    CZipArchive::Close(archive);
}

TEST(ZipArchive, ImplausibleSizesAreRecognisedBeforeAllocation)
{
    TZipEntry entry = {};
    entry.compressedSize = 100;
    entry.uncompressedSize = 100 * 1032;
    EXPECT_TRUE(CZipArchive::IsPlausibleSize(entry));
    entry.uncompressedSize = 0xFFFFFFFFu;
    EXPECT_FALSE(CZipArchive::IsPlausibleSize(entry));
    entry.compressedSize = 0;
    entry.uncompressedSize = 0;
    EXPECT_TRUE(CZipArchive::IsPlausibleSize(entry));
}

TEST(ZipArchive, IndexesOutsideTheDirectoryAreRefused)
{
    const TArchive zip = BuildZip(SkinEntries());
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);
    TZipEntry entry;
    char buffer[16];
    EXPECT_EQ(CZipArchive::GetEntry(archive, -2, &entry), ZipBadArgs);
    EXPECT_EQ(CZipArchive::GetEntry(archive, 3, &entry), ZipBadArgs);
    EXPECT_EQ(CZipArchive::Extract(archive, -1, buffer, sizeof buffer, ZipSourceMemory), ZipBadArgs);
    EXPECT_EQ(CZipArchive::Extract(archive, -5, buffer, sizeof buffer, ZipSourceFileName), ZipBadArgs);
    EXPECT_EQ(CZipArchive::Extract(archive, 3, buffer, sizeof buffer, ZipSourceMemory), ZipBadArgs);
    EXPECT_EQ(CZipArchive::GetLastResult(), ZipBadArgs);
    CZipArchive::Close(archive);
}

TEST(ZipArchive, BrokenDirectoryEndsTheWalkWithAFailure)
{
    const std::vector<TMember> members = SkinEntries();
    TArchive zip = BuildZip(members);
    zip.bytes[zip.centralHeaders[1] + 1] = 'X';
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);
    TZipEntry entry;
    EXPECT_EQ(CZipArchive::GetEntry(archive, 0, &entry), ZipOk);
    EXPECT_EQ(CZipArchive::GetEntry(archive, 2, &entry), ZipReadFailed);
    int index = 0;
    EXPECT_EQ(CZipArchive::FindEntry(archive, L"images/button.png", true, &index, &entry), ZipNotFound);
    EXPECT_EQ(ExtractWhole(archive, 0).bytes, members[0].data);
    CZipArchive::Close(archive);
}

// --- entry details -------------------------------------------------------------------

TEST(ZipArchive, ExtendedTimestampIsReadOnlyWithinItsBlock)
{
    auto block = [](uint8_t flags, uint32_t declaredLength, std::vector<int32_t> times) {
        std::string s;
        Append16(s, 0x5455);
        Append16(s, declaredLength);
        s.push_back(char(flags));
        for (int32_t t : times)
            Append32(s, uint32_t(t));
        return s;
    };
    constexpr uint64_t k1970 = 116444736000000000ULL;
    constexpr uint64_t kDay = 864000000000ULL;
    FILETIME dos = {};
    ASSERT_TRUE(DosDateTimeToFileTime(0x5A8C, 0x6000, &dos));
    const uint64_t dosValue = FileTimeValue(dos);

    struct TCase
    {
        const char* what;
        std::string extra;
        uint64_t modification, access, creation;
    } cases[] = {
        {"all three", block(7, 13, {86400, 0, -86400}), k1970 + kDay, k1970, k1970 - kDay},
        {"modification only", block(1, 5, {86400}), k1970 + kDay, dosValue, dosValue},
        {"before 1970 and the earliest 32-bit time", block(3, 9, {-86400, INT32_MIN}), k1970 - kDay,
         k1970 - uint64_t(2147483648LL) * 10000000ULL, dosValue},
        {"flags promise more than the block holds", block(7, 5, {86400, 1, 2}), k1970 + kDay, dosValue,
         dosValue},
        {"block longer than the field", block(7, 200, {86400}), k1970 + kDay, dosValue, dosValue},
        {"flags byte only", block(7, 1, {}), dosValue, dosValue, dosValue},
        {"empty block", block(7, 0, {}).substr(0, 4), dosValue, dosValue, dosValue},
        {"after another block", std::string("\x0A\x00\x02\x00zz", 6) + block(1, 5, {0}), k1970, dosValue,
         dosValue},
        {"three stray bytes", std::string("UT\x05", 3), dosValue, dosValue, dosValue},
    };
    for (const TCase& c : cases)
    {
        TMember e;
        e.name = "t.png";
        e.data = "t";
        e.localExtra = c.extra;
        const TArchive zip = BuildZip({e});
        CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
        ASSERT_NE(archive, nullptr) << c.what;
        TZipEntry entry = {};
        ASSERT_EQ(CZipArchive::GetEntry(archive, 0, &entry), ZipOk) << c.what;
        EXPECT_EQ(FileTimeValue(entry.modificationTime), c.modification) << c.what;
        EXPECT_EQ(FileTimeValue(entry.accessTime), c.access) << c.what;
        EXPECT_EQ(FileTimeValue(entry.creationTime), c.creation) << c.what;
        EXPECT_EQ(ExtractWhole(archive, 0).bytes, "t") << c.what;
        CZipArchive::Close(archive);
    }
}

TEST(ZipArchive, AttributesFollowDosAndUnixBits)
{
    struct TCase
    {
        uint32_t external;
        DWORD attributes;
    } cases[] = {
        {0x00000000, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_READONLY},
        {0x00800020, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE},
        {0x00800010, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY},
        {0x40800000, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY},
        {0x00800007,
         FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
    };
    for (const TCase& c : cases)
    {
        TMember e;
        e.name = "a";
        e.externalAttributes = c.external;
        const TArchive zip = BuildZip({e});
        CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
        ASSERT_NE(archive, nullptr);
        TZipEntry entry = {};
        ASSERT_EQ(CZipArchive::GetEntry(archive, 0, &entry), ZipOk);
        EXPECT_EQ(entry.attributes, c.attributes) << std::hex << c.external;
        CZipArchive::Close(archive);
    }
}

// --- extraction to files ----------------------------------------------------------------

TEST(ZipArchive, ExtractionToFilesStaysBelowTheBaseDirectory)
{
    const CTempFolder folder(L"ziptest");
    const std::wstring outer = folder.Path();
    const std::wstring work = outer + L"work\\";
    ASSERT_TRUE(CreateDirectoryW(work.c_str(), nullptr));
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(work.c_str()));

    const uint32_t kDirectory = 0x00800010;
    std::vector<TMember> members(5);
    members[0].name = "sub/dir/";
    members[0].externalAttributes = kDirectory;
    members[1].name = "../escape/";
    members[1].externalAttributes = kDirectory;
    members[2].name = "C:/rooted/";
    members[2].externalAttributes = kDirectory;
    members[3].name = "deep/..";
    members[3].externalAttributes = kDirectory;
    members[4].name = "notes.txt";
    members[4].data = Repeat("installed text\r\n", 100);
    const TArchive zip = BuildZip(members);
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);

    EXPECT_EQ(CZipArchive::Extract(archive, 0, const_cast<wchar_t*>(L"ignored"), 0, ZipSourceFileName),
              ZipOk);
    EXPECT_TRUE(IsDirectory(work + L"sub\\dir"));
    EXPECT_EQ(CZipArchive::Extract(archive, 1, const_cast<wchar_t*>(L"ignored"), 0, ZipSourceFileName),
              ZipNoFile);
    EXPECT_FALSE(IsDirectory(outer + L"escape"));
    EXPECT_EQ(CZipArchive::Extract(archive, 2, const_cast<wchar_t*>(L"ignored"), 0, ZipSourceFileName),
              ZipNoFile);
    EXPECT_EQ(CZipArchive::Extract(archive, 3, const_cast<wchar_t*>(L"ignored"), 0, ZipSourceFileName),
              ZipNoFile);

    EXPECT_EQ(CZipArchive::Extract(archive, 4, const_cast<wchar_t*>(L"a/b\\c.txt"), 0, ZipSourceFileName),
              ZipOk);
    EXPECT_EQ(ReadFileBytes(work + L"a\\b\\c.txt"), members[4].data);

    // A parent step creates no directory; the file still goes where its name points.
    EXPECT_EQ(CZipArchive::Extract(archive, 4, const_cast<wchar_t*>(L"../x.txt"), 0, ZipSourceFileName),
              ZipOk);
    EXPECT_EQ(ReadFileBytes(outer + L"x.txt"), members[4].data);
    EXPECT_EQ(CZipArchive::Extract(archive, 4, const_cast<wchar_t*>(L"../made/y.txt"), 0, ZipSourceFileName),
              ZipNoFile);
    EXPECT_FALSE(IsDirectory(outer + L"made"));

    HANDLE handle =
        CreateFileW((work + L"h.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CZipArchive::Extract(archive, 4, handle, 0, ZipSourceHandle), ZipOk);
    CloseHandle(handle);
    EXPECT_EQ(ReadFileBytes(work + L"h.txt"), members[4].data);

    CZipArchive::Close(archive);
    SetCurrentDirectoryW(saved);
}

TEST(ZipArchive, DamagedEntryFailsExtractionToAFile)
{
    const CTempFolder folder(L"ziptest");
    const std::wstring dir = folder.Path();
    std::vector<TMember> members = SkinEntries();
    TArchive zip = BuildZip(members);
    Put32(zip.bytes, zip.localHeaders[0] + LocalCrc, 0xDEADBEEF);
    Put32(zip.bytes, zip.centralHeaders[0] + CentralCrc, 0xDEADBEEF);
    CZipArchive* archive = CZipArchive::Open(zip.bytes.data(), DWORD(zip.bytes.size()), ZipSourceMemory);
    ASSERT_NE(archive, nullptr);
    const std::wstring target = dir + L"out.xml";
    EXPECT_EQ(CZipArchive::Extract(archive, 0, const_cast<wchar_t*>(target.c_str()), 0, ZipSourceFileName),
              ZipWriteFailed);
    CZipArchive::Close(archive);
}
