#include "ui/markup/ResourceLocations.h"

#include "tests/support/SkinFolder.h"
#include "tests/support/zip_writer.h"
#include "ui/markup/XmlMarkup.h"
#include "ui/markup/ZipArchive.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ziptest;

namespace
{

std::string Bytes(const CSkinData& data)
{
    return data.IsEmpty() ? std::string("<none>")
                          : std::string(reinterpret_cast<const char*>(data.GetData()), data.GetSize());
}

TMember Entry(const std::string& name, const std::string& data, uint16_t method = 8)
{
    TMember e;
    e.name = name;
    e.data = data;
    e.method = method;
    return e;
}

// Each test gets its own skin directory, which is also the current directory
// (where the last attempt of the image clients looks), and leaves the
// process-wide settings empty again.
class ResourceLocations : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_skin.reset(new CSkinFolder(L"skin"));
        m_dir = m_skin->Path();
        GetCurrentDirectoryW(MAX_PATH, m_saved);
        SetCurrentDirectoryW(m_dir.c_str());
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(m_saved);
        m_skin.reset();
    }

    void WriteSkinFile(const wchar_t* name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes(m_dir + name, bytes));
    }
    void WriteArchive(const std::vector<TMember>& entries, const wchar_t* name = L"Setup.dat")
    {
        ASSERT_TRUE(WriteFileBytes(m_dir + name, BuildZip(entries).bytes));
    }

    std::unique_ptr<CSkinFolder> m_skin;
    std::wstring m_dir;
    wchar_t m_saved[MAX_PATH] = {};
};

}  // namespace

TEST(ResourceSettings, ResourcePathGetsATrailingBackslash)
{
    struct TCase
    {
        const wchar_t* path;
        const wchar_t* stored;
    } cases[] = {
        {L"D:\\skin", L"D:\\skin\\"},
        {L"D:/skin/", L"D:/skin/"},
        {L"D:\\skin\\", L"D:\\skin\\"},
        {L"", L""},
        {nullptr, L""},
    };
    for (const TCase& c : cases)
    {
        CResourceLocations::SetResourcePath(c.path);
        EXPECT_STREQ(CResourceLocations::GetResourcePath().GetData(), c.stored);
    }
    CResourceLocations::SetResourcePath(L"");
}

TEST(ResourceSettings, InstancePathIsTheModuleDirectory)
{
    CResourceLocations::SetInstance(nullptr);
    EXPECT_TRUE(CResourceLocations::GetInstancePath().IsEmpty());

    HINSTANCE module = GetModuleHandleW(nullptr);
    CResourceLocations::SetInstance(module);
    EXPECT_EQ(CResourceLocations::GetInstance(), module);
    EXPECT_EQ(CResourceLocations::GetResourceModule(), module);
    wchar_t file[MAX_PATH];
    GetModuleFileNameW(module, file, MAX_PATH);
    const std::wstring full(file);
    const std::wstring expected = full.substr(0, full.rfind(L'\\') + 1);
    EXPECT_EQ(std::wstring(CResourceLocations::GetInstancePath().GetData()), expected);
    CResourceLocations::SetInstance(nullptr);
}

TEST_F(ResourceLocations, DirectoryFormReadsTheFileForEveryClient)
{
    WriteSkinFile(L"Setup.xml", "<Window/>");
    for (TSkinDataClient client : {SkinDataXml, SkinDataImage, SkinDataAnimation})
    {
        CSkinData data;
        EXPECT_TRUE(FetchSkinData(L"Setup.xml", client, data)) << client;
        EXPECT_EQ(Bytes(data), "<Window/>") << client;
        EXPECT_STREQ(data.GetError(), L"");
    }
}

TEST_F(ResourceLocations, ArchiveFormIgnoresCaseAndSlashesAndNeverTheDirectory)
{
    WriteArchive({Entry("Setup.xml", "<Window from=\"archive\"/>"), Entry("images/bk.png", "png bytes", 0)});
    WriteSkinFile(L"Setup.xml", "<Window from=\"directory\"/>");
    WriteSkinFile(L"only-here.xml", "<Window/>");
    for (bool keepOpen : {false, true})
    {
        CResourceLocations::SetResourceZip(L"Setup.dat", keepOpen);
        EXPECT_EQ(CResourceLocations::IsResourceZipCached(), keepOpen);
        EXPECT_STREQ(CResourceLocations::GetResourceZip().GetData(), L"Setup.dat");
        for (int round = 0; round < 2; ++round)
        {
            CSkinData data;
            EXPECT_TRUE(FetchSkinData(L"setup.XML", SkinDataXml, data));
            EXPECT_EQ(Bytes(data), "<Window from=\"archive\"/>");
            EXPECT_TRUE(FetchSkinData(L"IMAGES\\BK.png", SkinDataImage, data));
            EXPECT_EQ(Bytes(data), "png bytes");
            EXPECT_FALSE(FetchSkinData(L"only-here.xml", SkinDataXml, data));
            EXPECT_STREQ(data.GetError(), L"Could not find ziped file");
        }
    }
}

TEST_F(ResourceLocations, FourMebibytesAreTheLimitOfSkinXml)
{
    const std::string limit(kMaxSkinXmlSize, 'a');
    const std::string over(kMaxSkinXmlSize + 1, 'a');
    WriteSkinFile(L"limit.xml", limit);
    WriteSkinFile(L"over.xml", over);
    WriteArchive({Entry("limit.xml", limit), Entry("over.xml", over)});
    for (const wchar_t* archive : {L"", L"Setup.dat"})
    {
        CResourceLocations::SetResourceZip(archive, false);
        CSkinData data;
        EXPECT_TRUE(FetchSkinData(L"limit.xml", SkinDataXml, data)) << archive;
        EXPECT_EQ(data.GetSize(), kMaxSkinXmlSize);
        EXPECT_EQ(Bytes(data), limit);
        EXPECT_FALSE(FetchSkinData(L"over.xml", SkinDataXml, data)) << archive;
        EXPECT_TRUE(data.IsEmpty());
        EXPECT_STREQ(data.GetError(), L"File too large") << archive;
        // Images know no such limit.
        EXPECT_TRUE(FetchSkinData(L"over.xml", SkinDataImage, data)) << archive;
        EXPECT_EQ(data.GetSize(), kMaxSkinXmlSize + 1);
    }
}

TEST_F(ResourceLocations, EveryXmlFailureHasItsMessage)
{
    std::vector<TMember> entries = {Entry("empty.xml", "", 0),
                                    Entry("big.xml", std::string(kMaxSkinXmlSize + 1, ' ')),
                                    Entry("bad.xml", std::string(2000, 'q'))};
    TArchive zip = BuildZip(entries);
    // bad.xml: a CRC that the data does not match, so all bytes arrive but are wrong.
    Put32(zip.bytes, zip.localHeaders[2] + LocalCrc, 0xDEADBEEF);
    Put32(zip.bytes, zip.centralHeaders[2] + CentralCrc, 0xDEADBEEF);
    ASSERT_TRUE(WriteFileBytes(m_dir + L"Setup.dat", zip.bytes));
    WriteSkinFile(L"empty.xml", "");
    WriteSkinFile(L"big.xml", std::string(kMaxSkinXmlSize + 1, ' '));

    struct TCase
    {
        const wchar_t* archive;
        bool keepOpen;
        const wchar_t* name;
        const wchar_t* message;
    } cases[] = {
        {L"", false, L"missing.xml", L"Error opening file"},
        {L"", false, L"empty.xml", L"File is empty"},
        {L"", false, L"big.xml", L"File too large"},
        {L"Missing.dat", false, L"Setup.xml", L"Error opening zip file"},
        {L"Missing.dat", true, L"Setup.xml", L"Error opening zip file"},
        {L"Setup.dat", false, L"missing.xml", L"Could not find ziped file"},
        {L"Setup.dat", false, L"empty.xml", L"File is empty"},
        {L"Setup.dat", false, L"big.xml", L"File too large"},
        {L"Setup.dat", false, L"bad.xml", L"Could not unzip file"},
        {L"Setup.dat", true, L"bad.xml", L"Could not unzip file"},
    };
    for (const TCase& c : cases)
    {
        CResourceLocations::SetResourceZip(c.archive, c.keepOpen);
        CSkinData data;
        EXPECT_FALSE(FetchSkinData(c.name, SkinDataXml, data)) << c.archive << L" " << c.name;
        EXPECT_TRUE(data.IsEmpty());
        EXPECT_STREQ(data.GetError(), c.message) << c.archive << L" " << c.name;
    }
}

TEST_F(ResourceLocations, UnreadableFileIsReported)
{
    // A pipe opens like a file, but no whole-file read of a known size works on it.
    HANDLE pipe = CreateNamedPipeW(L"\\\\.\\pipe\\skinpipe", PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096,
                                   4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    CResourceLocations::SetResourcePath(L"\\\\.\\pipe\\");
    CSkinData data;
    EXPECT_FALSE(FetchSkinData(L"skinpipe", SkinDataXml, data));
    EXPECT_STREQ(data.GetError(), L"Could not read file");
    CloseHandle(pipe);
}

TEST_F(ResourceLocations, DamagedOrForgedEntriesGiveImagesNoBytes)
{
    std::vector<TMember> entries = {Entry("crc.png", std::string(3000, 'p')), Entry("huge.png", "tiny"),
                                    Entry("short.png", "0123456789", 0)};
    TArchive zip = BuildZip(entries);
    Put32(zip.bytes, zip.localHeaders[0] + LocalCrc, 1);
    Put32(zip.bytes, zip.centralHeaders[0] + CentralCrc, 1);
    // A size the few compressed bytes could never produce: nothing is allocated for it.
    Put32(zip.bytes, zip.localHeaders[1] + LocalUncompressed, 0xFFFFFFF0u);
    Put32(zip.bytes, zip.centralHeaders[1] + CentralUncompressed, 0xFFFFFFF0u);
    Put32(zip.bytes, zip.localHeaders[2] + LocalUncompressed, 20);
    Put32(zip.bytes, zip.centralHeaders[2] + CentralUncompressed, 20);
    ASSERT_TRUE(WriteFileBytes(m_dir + L"Setup.dat", zip.bytes));
    CResourceLocations::SetResourceZip(L"Setup.dat", true);
    for (const wchar_t* name : {L"crc.png", L"huge.png", L"short.png"})
    {
        for (TSkinDataClient client : {SkinDataImage, SkinDataAnimation})
        {
            CSkinData data;
            EXPECT_FALSE(FetchSkinData(name, client, data)) << name;
            EXPECT_TRUE(data.IsEmpty());
            EXPECT_STREQ(data.GetError(), L"");
        }
    }
}

TEST_F(ResourceLocations, ImageClientsLookInTheirOrder)
{
    WriteArchive({Entry("both.png", "from archive"), Entry("archived.png", "only archived")});
    WriteSkinFile(L"both.png", "from path");
    WriteSkinFile(L"loose.png", "loose file");
    CResourceLocations::SetInstance(GetModuleHandleW(nullptr));
    CResourceLocations::SetResourceZip(L"Setup.dat", false);

    struct TCase
    {
        TSkinDataClient client;
        LPCWSTR name;
        LPCWSTR type;
        const char* expected;
    } cases[] = {
        {SkinDataImage, L"both.png", nullptr, "from archive"},
        {SkinDataImage, L"loose.png", nullptr, "loose file"},
        {SkinDataImage, L"nowhere.png", nullptr, "<none>"},
        // With a type the resource comes first and the archive is not consulted.
        {SkinDataImage, L"both.png", L"PNG", "from path"},
        {SkinDataImage, L"archived.png", L"PNG", "<none>"},
        {SkinDataImage, MAKEINTRESOURCEW(4711), L"PNG", "<none>"},
        {SkinDataImage, L"both.png", L"*COLOR*", "<none>"},
        {SkinDataImage, L"FF00FF", L"*COLOR*", "<none>"},
        {SkinDataAnimation, L"both.png", nullptr, "from archive"},
        {SkinDataAnimation, L"loose.png", nullptr, "loose file"},
        {SkinDataAnimation, L"nowhere.gif", nullptr, "<none>"},
    };
    for (const TCase& c : cases)
    {
        CSkinData data;
        const bool found = FetchSkinData(c.name, c.client, data, c.type);
        const std::string what =
            IS_INTRESOURCE(c.name) ? std::string("#id") : std::string(c.name, c.name + wcslen(c.name));
        EXPECT_EQ(found, std::string(c.expected) != "<none>") << what;
        EXPECT_EQ(Bytes(data), c.expected) << what;
        EXPECT_STREQ(data.GetError(), L"") << what;
    }

    // An absolute path as the last attempt, from the archive form too.
    const std::wstring absolute = m_dir + L"loose.png";
    CSkinData data;
    EXPECT_TRUE(FetchSkinData(absolute.c_str(), SkinDataImage, data));
    EXPECT_EQ(Bytes(data), "loose file");
    CResourceLocations::SetInstance(nullptr);
}

TEST_F(ResourceLocations, ImageResourceOfTheModuleComesFirst)
{
    // Any module with resources serves; the system's kernel32 carries a version resource.
    HINSTANCE module = GetModuleHandleW(L"kernel32.dll");
    HRSRC version = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
    ASSERT_NE(version, nullptr);
    const std::string expected(static_cast<const char*>(LockResource(LoadResource(module, version))),
                               SizeofResource(module, version));
    WriteSkinFile(L"1", "a file named like the identifier");
    CResourceLocations::SetInstance(module);
    CSkinData data;
    EXPECT_TRUE(FetchSkinData(MAKEINTRESOURCEW(1), SkinDataImage, data, MAKEINTRESOURCEW(16)));
    EXPECT_EQ(Bytes(data), expected);
    EXPECT_TRUE(FetchSkinData(L"#1", SkinDataImage, data, MAKEINTRESOURCEW(16)));
    EXPECT_EQ(Bytes(data), expected);
    CResourceLocations::SetInstance(nullptr);
}

TEST_F(ResourceLocations, SettingTheSameArchiveAgainDoesNotReopenIt)
{
    // Kept open while it does not exist yet: the open fails and is not retried
    // by a second call with the same settings.
    CResourceLocations::SetResourceZip(L"Setup.dat", true);
    WriteArchive({Entry("Setup.xml", "<Window/>")});
    CResourceLocations::SetResourceZip(L"Setup.dat", true);
    CSkinData data;
    EXPECT_FALSE(FetchSkinData(L"Setup.xml", SkinDataXml, data));
    EXPECT_STREQ(data.GetError(), L"Error opening zip file");

    // A changed setting does open it, and clearing the name closes it again.
    CResourceLocations::SetResourceZip(L"Setup.dat", false);
    CResourceLocations::SetResourceZip(L"Setup.dat", true);
    EXPECT_TRUE(FetchSkinData(L"Setup.xml", SkinDataXml, data));
    EXPECT_FALSE(DeleteFileW((m_dir + L"Setup.dat").c_str()));
    CResourceLocations::SetResourceZip(L"", true);
    EXPECT_TRUE(DeleteFileW((m_dir + L"Setup.dat").c_str()));
}

TEST_F(ResourceLocations, MarkupLoadsFromTheArchiveOrKeepsTheMessage)
{
    // A document of exactly the limit parses; one byte more is refused before parsing.
    const std::string open = "<Window>", close = "</Window>";
    const std::string limit = open + std::string(kMaxSkinXmlSize - open.size() - close.size(), ' ') + close;
    WriteArchive({Entry("Setup.xml", "\xEF\xBB\xBF<Window caption=\"\xE5\xAE\x89\"><Button/></Window>"),
                  Entry("limit.xml", limit), Entry("over.xml", limit + " ")});
    CResourceLocations::SetResourceZip(L"Setup.dat", false);

    CXmlMarkup markup;
    ASSERT_TRUE(LoadSkinMarkup(markup, L"SETUP.xml", XMLFILE_ENCODING_UTF8)) << markup.GetLastErrorMessage();
    CXmlNode root = markup.GetRoot();
    EXPECT_STREQ(root.GetName(), L"Window");
    EXPECT_STREQ(root.GetAttributeValue(L"caption"), L"\u5B89");
    EXPECT_STREQ(root.GetChild().GetName(), L"Button");

    EXPECT_TRUE(LoadSkinMarkup(markup, L"limit.xml", XMLFILE_ENCODING_UTF8)) << markup.GetLastErrorMessage();
    EXPECT_STREQ(markup.GetRoot().GetName(), L"Window");

    // A failed load leaves the markup released, with the message and an empty location.
    EXPECT_FALSE(LoadSkinMarkup(markup, L"over.xml", XMLFILE_ENCODING_UTF8));
    EXPECT_STREQ(markup.GetLastErrorMessage(), L"File too large");
    EXPECT_STREQ(markup.GetLastErrorLocation(), L"");
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_FALSE(LoadSkinMarkup(markup, L"missing.xml", XMLFILE_ENCODING_UTF8));
    EXPECT_STREQ(markup.GetLastErrorMessage(), L"Could not find ziped file");
}
