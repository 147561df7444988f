// The package builder: what it lays out is read back by an independent reader
// here that trusts nothing (bounds, order, stream headers), and what it refuses
// is refused with a message naming the entry.

#include "installer/PackageFormat.h"
#include "tools/pkgbuild/PackageWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<unsigned char>;

struct ReadEntry
{
    std::u16string name;
    std::uint32_t dataOffset, uncompressedSize, compressedSize;
    Bytes stream;
    Bytes content;
};

// Reads a package strictly: every table field and stream inside the bytes,
// names NUL-terminated, streams back to back from offset 0 to the very end.
::testing::AssertionResult ReadPackage(const Bytes& package, std::vector<ReadEntry>& entries)
{
    using namespace package;
    entries.clear();
    if (package.size() < kHeaderSize)
        return ::testing::AssertionFailure() << "shorter than the header";
    if (!HasSignature(package.data()))
        return ::testing::AssertionFailure() << "wrong signature";
    const std::uint32_t count = ReadU32(&package[kEntryCountOffset]);
    const std::uint64_t dataStart = DataAreaOffset(count);
    if (dataStart > package.size())
        return ::testing::AssertionFailure() << "table beyond the end";
    std::uint64_t expectedOffset = 0;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        const unsigned char* record = &package[static_cast<std::size_t>(EntryOffset(i))];
        ReadEntry entry;
        std::size_t unit = 0;
        for (; unit < kNameUnits && (record[2 * unit] || record[2 * unit + 1]); ++unit)
        {
            entry.name += static_cast<char16_t>(record[2 * unit] | (record[2 * unit + 1] << 8));
        }
        if (unit == kNameUnits)
            return ::testing::AssertionFailure() << "entry " << i << ": name without NUL";
        for (std::size_t rest = 2 * unit; rest < kNameBytes; ++rest)
        {
            if (record[rest])
                return ::testing::AssertionFailure() << "entry " << i << ": name not zero-filled";
        }
        entry.dataOffset = ReadU32(record + kDataOffsetField);
        entry.uncompressedSize = ReadU32(record + kUncompressedSizeField);
        entry.compressedSize = ReadU32(record + kCompressedSizeField);
        if (entry.dataOffset != expectedOffset)
        {
            return ::testing::AssertionFailure()
                   << "entry " << i << ": offset " << entry.dataOffset << ", expected " << expectedOffset;
        }
        expectedOffset += entry.compressedSize;
        if (dataStart + expectedOffset > package.size())
            return ::testing::AssertionFailure() << "entry " << i << ": stream beyond the end";
        const auto begin = package.begin() + static_cast<std::ptrdiff_t>(dataStart + entry.dataOffset);
        entry.stream.assign(begin, begin + entry.compressedSize);
        if (entry.stream.size() < 2 || entry.stream[0] != 0x78 || entry.stream[1] != 0x9C)
            return ::testing::AssertionFailure() << "entry " << i << ": stream header is not 78 9C";
        entry.content.resize(entry.uncompressedSize);
        uLongf produced = entry.uncompressedSize;
        Bytef dummy = 0;
        if (uncompress(entry.content.empty() ? &dummy : entry.content.data(), &produced, entry.stream.data(),
                       entry.compressedSize) != Z_OK ||
            produced != entry.uncompressedSize)
        {
            return ::testing::AssertionFailure() << "entry " << i << ": stream does not inflate to its size";
        }
        entries.push_back(std::move(entry));
    }
    if (dataStart + expectedOffset != package.size())
        return ::testing::AssertionFailure() << "bytes after the last stream";
    return ::testing::AssertionSuccess();
}

Bytes Noise(std::size_t size, std::uint32_t seed)
{
    Bytes out(size);
    for (unsigned char& b : out)
    {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(seed >> 24);
    }
    return out;
}

Bytes Text(std::size_t size)
{
    const std::string line = "第一章 旅途的开始 The journey begins.\r\n";
    Bytes out;
    while (out.size() < size)
        out.insert(out.end(), line.begin(), line.end());
    out.resize(size);
    return out;
}

Bytes Compress(const Bytes& source)
{
    uLongf size = compressBound(static_cast<uLong>(source.size()));
    Bytes out(size);
    compress(out.data(), &size, source.data(), static_cast<uLong>(source.size()));
    out.resize(size);
    return out;
}

const std::u16string k39Units = u"abcdefghijklmnopqrstuvwxyz0123456789.ab";

std::vector<package::SourceEntry> SampleEntries()
{
    return {
        {u"汉化说明.txt", Text(2000)},
        {u"empty.dat", {}},
        // Larger than the builder's working chunks in both directions.
        {u"voice.pak", Noise(700 * 1024, 7)},
        {u"data\\script.dat", Text(900 * 1024)},
        {k39Units, {'x'}},
    };
}

TEST(PackageWriter, RoundTripKeepsNamesContentAndLayout)
{
    const auto sources = SampleEntries();
    Bytes package;
    std::string error;
    ASSERT_TRUE(package::BuildPackage(sources, package, error)) << error;
    EXPECT_TRUE(error.empty());

    std::vector<ReadEntry> entries;
    ASSERT_TRUE(ReadPackage(package, entries));
    ASSERT_EQ(entries.size(), sources.size());
    EXPECT_EQ(package::ReadU32(&package[package::kEntryCountOffset]), sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i)
    {
        SCOPED_TRACE(package::ToUtf8(sources[i].name));
        EXPECT_EQ(entries[i].name, sources[i].name);
        EXPECT_EQ(entries[i].content, sources[i].bytes);
        // The same stream zlib's own one-shot compress() makes at the default level.
        EXPECT_EQ(entries[i].stream, Compress(sources[i].bytes));
    }
    EXPECT_EQ(entries[1].compressedSize, 8u) << "an empty entry is still a complete stream";
}

TEST(PackageWriter, SameEntriesGiveSameBytes)
{
    Bytes first, second;
    std::string error;
    ASSERT_TRUE(package::BuildPackage(SampleEntries(), first, error)) << error;
    ASSERT_TRUE(package::BuildPackage(SampleEntries(), second, error)) << error;
    EXPECT_EQ(first, second);
}

TEST(PackageWriter, EmptyListGivesHeaderOnly)
{
    Bytes package;
    std::string error;
    ASSERT_TRUE(package::BuildPackage({}, package, error)) << error;
    ASSERT_EQ(package.size(), package::kHeaderSize);
    EXPECT_TRUE(package::HasSignature(package.data()));
    EXPECT_EQ(package::ReadU32(&package[package::kEntryCountOffset]), 0u);
}

TEST(PackageWriter, AcceptsPlainRelativePaths)
{
    for (const std::u16string& name :
         {std::u16string(u"汉化说明.txt"), k39Units, std::u16string(u"dir\\sub\\file.bin"),
          std::u16string(u"..a"), std::u16string(u"CONSOLE.txt"), std::u16string(u"COM10"),
          std::u16string(u"nul_file"), std::u16string(u"a b.c d"), std::u16string(u"\U0001F600.txt")})
    {
        std::string error;
        EXPECT_TRUE(package::ValidateEntryName(name, error)) << error;
    }
}

struct RefusedName
{
    std::u16string name;
    const char* reason;  // a word the message must contain
};

TEST(PackageWriter, RefusesNamesThatAreNotPlainRelativePaths)
{
    const RefusedName cases[] = {
        {u"", "empty"},
        {k39Units + u"x", "39"},
        {u"\\windows\\x.dll", "absolute"},
        {u"\\\\server\\share\\x", "absolute"},
        {u"C:\\game\\x.dat", "drive"},
        {u"C:x.dat", "drive"},
        {u"file.txt:stream", "colon"},
        {u"..\\x.dat", "\"..\""},
        {u"data\\..\\..\\x.dat", "\"..\""},
        {u".\\x.dat", "\".\""},
        {u"data\\", "empty path part"},
        {u"data\\\\x.dat", "empty path part"},
        {u"data/x.dat", "character"},
        {u"a*b", "character"},
        {u"a?b", "character"},
        {u"a<b>", "character"},
        {u"a|b", "character"},
        {u"a\"b", "character"},
        {u"tab\there", "character"},
        {u"CON", "device"},
        {u"nul.txt", "device"},
        {u"data\\Com1.dat", "device"},
        {u"LPT9", "device"},
        {u"aux .txt", "device"},
        {u"name.", "dot"},
        {u"data \\x", "blank"},
        {std::u16string(u"bad") + char16_t(0xD800) + u".txt", "surrogate"},
    };
    for (const RefusedName& c : cases)
    {
        const std::string shown = "entry \"" + package::ToUtf8(c.name) + "\"";
        SCOPED_TRACE(shown);
        std::string error;
        EXPECT_FALSE(package::ValidateEntryName(c.name, error));
        EXPECT_NE(error.find(shown), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;

        // The builder refuses the whole package, whatever else is in it.
        std::vector<package::SourceEntry> entries = {{u"good.txt", {'a'}}, {c.name, {'b'}}};
        Bytes package = {1, 2, 3};
        EXPECT_FALSE(package::BuildPackage(entries, package, error));
        EXPECT_TRUE(package.empty());
        EXPECT_NE(error.find(shown), std::string::npos) << error;
    }
}

TEST(PackageWriter, RefusesEntriesThatMeetOnDisk)
{
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"Data\\File.txt", u"data\\FILE.TXT"},
        {u"Überblick.txt", u"überblick.txt"},
        {u"ДАННЫЕ.dat", u"данные.dat"},
        {u"data", u"DATA\\x.dat"},  // a file where the other needs a directory
        {u"data\\x\\y", u"Data\\X"},
    };
    for (const auto& [first, second] : cases)
    {
        SCOPED_TRACE(package::ToUtf8(first) + " / " + package::ToUtf8(second));
        std::vector<package::SourceEntry> entries = {{first, {'1'}}, {u"other.txt", {}}, {second, {'2'}}};
        Bytes package;
        std::string error;
        EXPECT_FALSE(package::BuildPackage(entries, package, error));
        EXPECT_NE(error.find(package::ToUtf8(first)), std::string::npos) << error;
        EXPECT_NE(error.find(package::ToUtf8(second)), std::string::npos) << error;
    }
    // Different names that only look alike stay apart.
    std::vector<package::SourceEntry> distinct = {
        {u"data.txt", {}}, {u"data.txt2", {}}, {u"data2\\a", {}}, {u"data\\a", {}}};
    Bytes package;
    std::string error;
    EXPECT_TRUE(package::BuildPackage(distinct, package, error)) << error;
}

TEST(PackageWriter, Utf8ConversionRefusesMalformedInput)
{
    std::u16string text;
    ASSERT_TRUE(package::FromUtf8("汉化说明.txt \xF0\x9F\x98\x80", text));
    EXPECT_EQ(text, u"汉化说明.txt \U0001F600");
    EXPECT_EQ(package::ToUtf8(text), "汉化说明.txt \xF0\x9F\x98\x80");
    for (const char* bad : {"\xC0\xAF", "\xE6\xB1", "\xED\xA0\x80", "\xFF", "a\x80"})
    {
        EXPECT_FALSE(package::FromUtf8(bad, text)) << bad;
    }
}

}  // namespace
