// Mutated archives from valid seeds: every one must open or be refused, and
// every entry must extract or fail with a result code. A crash fails the test
// program, a hang its time limit. The generator is seeded, so a failure
// reproduces with the same iteration number.

#include "ui/markup/ResourceLocations.h"
#include "ui/markup/XmlMarkup.h"
#include "ui/markup/ZipArchive.h"

#include "tests/support/SkinFolder.h"
#include "tests/support/zip_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace ziptest;

namespace
{

std::string Text(size_t length, unsigned seed)
{
    std::string s;
    std::mt19937 gen(seed);
    static const char* const words[] = {"<Button", " name=", "\"ok\"", "/>",
                                        "\r\n",    "pos",    "image",  "</Window>"};
    while (s.size() < length)
        s += words[gen() % 8];
    s.resize(length);
    return s;
}

std::vector<TArchive> Seeds()
{
    std::vector<TArchive> seeds;
    TMember xml;
    xml.name = "Setup.xml";
    xml.data = "<Window size=\"400,300\"><Button name=\"Install\" text=\"&amp;\"/></Window>";
    TMember stored;
    stored.name = "images/bk.png";
    stored.data = Text(3000, 1);
    stored.method = 0;
    TMember described;
    described.name = "images/button.png";
    described.data = Text(20000, 2);
    described.dataDescriptor = true;
    TMember stamped;
    stamped.name = "a.gif";
    stamped.data = Text(500, 3);
    stamped.localExtra = std::string("UT\x0D\x00\x07", 5) + std::string(12, '\x11');
    seeds.push_back(BuildZip({xml, stored, described, stamped}));
    seeds.push_back(BuildZip({xml, stamped}, std::string(300, 'p'), "a comment"));

    std::vector<TMember> many;
    for (int i = 0; i < 12; ++i)
    {
        TMember e;
        e.name = "skin/part" + std::to_string(i) + ".png";
        e.data = Text(size_t(64 + 97 * i), 10u + unsigned(i));
        e.method = i % 3 == 0 ? 0 : 8;
        e.dataDescriptor = i % 4 == 1;
        many.push_back(e);
    }
    seeds.push_back(BuildZip(many));
    return seeds;
}

// Damage aimed at the fields the reader trusts, plus blind byte damage.
void Mutate(std::string& bytes, const TArchive& seed, std::mt19937& gen)
{
    const int count = 1 + int(gen() % 4);
    for (int m = 0; m < count && !bytes.empty(); ++m)
    {
        const size_t at = gen() % bytes.size();
        switch (gen() % 7)
        {
        case 0:
            bytes[at] = char(gen());
            break;
        case 1:
            bytes[at] = char(bytes[at] ^ (1 << (gen() % 8)));
            break;
        case 2:
        case 3:
        {
            std::vector<size_t> fields;
            for (size_t h : seed.localHeaders)
                for (size_t f : std::vector<size_t>{LocalBitFlags, LocalMethod, LocalCrc, LocalCompressed,
                                                    LocalUncompressed, LocalNameLength, LocalExtraLength})
                    fields.push_back(h + f);
            for (size_t h : seed.centralHeaders)
                for (size_t f :
                     std::vector<size_t>{CentralMethod, CentralCrc, CentralCompressed, CentralUncompressed,
                                         CentralNameLength, 30, 32, CentralExternal, CentralLocalOffset})
                    fields.push_back(h + f);
            for (size_t f : std::vector<size_t>{EndDisk, EndEntriesOnDisk, EndEntries, EndDirectorySize,
                                                EndDirectoryOffset})
                fields.push_back(seed.endRecord + f);
            const size_t field = fields[gen() % fields.size()];
            if (field + 4 > bytes.size())
                break;
            static const uint32_t values[] = {0, 1, 0xFFFF, 0xFFFFFFFFu, 0x7FFFFFFF, 0x10000, 0x400001};
            const uint32_t value =
                gen() % 2 ? values[gen() % 7] : Get32(bytes, field) + uint32_t(gen() % 64) - 32;
            if (gen() % 2)
                Put16(bytes, field, value & 0xFFFF);
            else
                Put32(bytes, field, value);
            break;
        }
        case 4:
            bytes.resize(at);
            break;
        case 5:
            bytes.insert(at, std::string(1 + gen() % 40, char(gen())));
            break;
        default:
            bytes.erase(at, 1 + gen() % 40);
            break;
        }
    }
}

bool IsKnownResult(TZipResult r)
{
    switch (r)
    {
    case ZipOk:
    case ZipNotFound:
    case ZipMore:
    case ZipCorrupt:
    case ZipReadFailed:
    case ZipBadArgs:
    case ZipReadEntryFailed:
        return true;
    default:
        return false;
    }
}

struct TTally
{
    int opened = 0;
    int extracted = 0;
};

void Exercise(const std::string& bytes, TTally& tally, int iteration)
{
    CZipArchive* archive = CZipArchive::Open(bytes.data(), DWORD(bytes.size()), ZipSourceMemory);
    if (!archive)
    {
        ASSERT_NE(CZipArchive::GetLastResult(), ZipOk) << iteration;
        return;
    }
    ++tally.opened;
    TZipEntry count = {};
    ASSERT_EQ(CZipArchive::GetEntry(archive, -1, &count), ZipOk) << iteration;
    std::vector<int> indexes;
    for (int i = 0; i < count.index && i < 16; ++i)
        indexes.push_back(i);
    if (count.index > 16)
        indexes.push_back(count.index - 1);
    for (int i : indexes)
    {
        TZipEntry entry = {};
        const TZipResult got = CZipArchive::GetEntry(archive, i, &entry);
        ASSERT_TRUE(IsKnownResult(got)) << iteration << " " << got;
        if (got == ZipOk)
        {
            int found = -1;
            const TZipResult lookup = CZipArchive::FindEntry(archive, entry.name, true, &found, nullptr);
            ASSERT_TRUE(IsKnownResult(lookup)) << iteration;
            ASSERT_TRUE(lookup != ZipOk || (found >= 0 && found <= i)) << iteration;
        }
        std::vector<BYTE> buffer;
        if (got == ZipOk && CZipArchive::IsPlausibleSize(entry) && entry.uncompressedSize <= (1u << 22))
        {
            buffer.resize(entry.uncompressedSize + 1);
            const TZipResult r =
                CZipArchive::Extract(archive, i, buffer.data(), entry.uncompressedSize, ZipSourceMemory);
            ASSERT_TRUE(IsKnownResult(r)) << iteration;
            if (r == ZipMore)
                ++tally.extracted;
        }
        else
        {
            // Piecewise, as far as a bounded number of calls goes.
            buffer.resize(4096);
            TZipResult r = ZipMore;
            for (int call = 0; call < 64 && r == ZipMore; ++call)
                r = CZipArchive::Extract(archive, i, buffer.data(), DWORD(buffer.size()), ZipSourceMemory);
            ASSERT_TRUE(IsKnownResult(r)) << iteration;
        }
    }
    ASSERT_EQ(CZipArchive::Close(archive), ZipOk);
}

}  // namespace

TEST(ZipMutation, MutatedArchivesOpenOrFailWithAResult)
{
    const std::vector<TArchive> seeds = Seeds();
    std::mt19937 gen(0x5EED2025u);
    TTally tally;
    constexpr int kIterations = 4000;
    for (int iteration = 0; iteration < kIterations; ++iteration)
    {
        const TArchive& seed = seeds[size_t(iteration) % seeds.size()];
        std::string bytes = seed.bytes;
        Mutate(bytes, seed, gen);
        Exercise(bytes, tally, iteration);
        if (HasFatalFailure())
            return;
    }
    // The damage must leave enough archives readable for the entry paths to be exercised.
    EXPECT_GT(tally.opened, kIterations / 4);
    EXPECT_GT(tally.extracted, kIterations / 4);
}

TEST(ZipMutation, MutatedSkinArchivesLoadOrFailWithAMessage)
{
    const CSkinFolder skin(L"zipmut");
    const std::wstring dir = skin.Path();
    CResourceLocations::SetResourceZip(L"Setup.dat", false);

    const std::vector<TArchive> seeds = Seeds();
    std::mt19937 gen(0xA11CEu);
    for (int iteration = 0; iteration < 300; ++iteration)
    {
        const TArchive& seed = seeds[size_t(iteration) % 2];
        std::string bytes = seed.bytes;
        Mutate(bytes, seed, gen);
        HANDLE file =
            CreateFileW((dir + L"Setup.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(file);

        CXmlMarkup markup;
        if (!LoadSkinMarkup(markup, L"setup.xml", XMLFILE_ENCODING_UTF8))
        {
            ASSERT_STRNE(markup.GetLastErrorMessage(), L"") << iteration;
        }
        CSkinData data;
        FetchSkinData(L"a.gif", SkinDataImage, data);
        FetchSkinData(L"images\\button.png", SkinDataAnimation, data);
    }
}
