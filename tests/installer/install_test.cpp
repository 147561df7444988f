// The installation routine through a recording shell, in a fresh temporary
// folder per case: what the user is told, in which order, and what is on disk.

#include "installer/Install.h"
#include "installer/PackageFormat.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using installer::PackageLookup;

std::string Narrow(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

// Records every call in order as one readable line.
class RecordingShell : public installer::IInstallShell
{
public:
    std::vector<unsigned char> package;
    PackageLookup lookup = PackageLookup::Loaded;
    bool processStarts = true;
    std::vector<std::string> log;

    PackageLookup LoadPackage(const unsigned char*& bytes, std::size_t& length) override
    {
        log.push_back("load");
        bytes = package.data();
        length = package.size();
        return lookup;
    }
    void ReleasePackage() override { log.push_back("release"); }
    void SetTitle(const wchar_t* title) override { log.push_back("title " + Narrow(title)); }
    void ShowMessage(const wchar_t* text, const wchar_t* caption, unsigned icon) override
    {
        std::ostringstream line;
        line << "box " << Narrow(caption) << " | " << Narrow(text) << " | " << icon;
        log.push_back(line.str());
    }
    bool StartProcess(wchar_t* commandLine) override
    {
        log.push_back("start " + Narrow(commandLine));
        return processStarts;
    }
};

const std::string kFixedTitle = "title 【Lumora】Tessaly 简体中文化补丁v1.0 安装程序";
const std::string kDone = "box 安装程序 | 安装完成 | 64";
const std::string kNotes = "start notepad.exe 汉化说明.txt";
std::string Error(int code)
{
    return "box 安装程序 | 内部错误\n错误代码: [0x0000000" + std::to_string(code) + "] | 16";
}

// A package entry as the test wants it laid out, including deliberately broken ones.
struct TestEntry
{
    std::wstring name;
    std::string content;
    long storedSizeDelta = 0;          // added to the real uncompressed size
    bool garbageStream = false;        // bytes that are not a zlib stream
    bool unterminatedName = false;     // 40 units of name, no NUL
    std::uint32_t offsetOverride = 0;  // non-zero: dataOffset to store instead
};

std::vector<unsigned char> Compress(const std::string& content)
{
    uLongf size = compressBound(content.size());
    std::vector<unsigned char> out(size);
    compress(out.data(), &size, reinterpret_cast<const Bytef*>(content.data()), content.size());
    out.resize(size);
    return out;
}

std::vector<unsigned char> MakePackage(const std::vector<TestEntry>& entries)
{
    std::vector<unsigned char> table(package::kHeaderSize + entries.size() * package::kEntrySize);
    std::vector<unsigned char> data;
    std::copy(package::kSignature, package::kSignature + package::kSignatureSize, table.begin());
    package::WriteU32(&table[package::kEntryCountOffset], static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i)
    {
        const TestEntry& e = entries[i];
        unsigned char* record = &table[package::EntryOffset(static_cast<std::uint32_t>(i))];
        for (std::size_t u = 0; u < e.name.size() && u < package::kNameUnits; ++u)
        {
            record[2 * u] = static_cast<unsigned char>(e.name[u]);
            record[2 * u + 1] = static_cast<unsigned char>(e.name[u] >> 8);
        }
        if (e.unterminatedName)
            for (std::size_t u = 0; u < package::kNameBytes; u += 2)
                record[u] = record[u] ? record[u] : 'x';
        std::vector<unsigned char> stream =
            e.garbageStream ? std::vector<unsigned char>(e.content.begin(), e.content.end())
                            : Compress(e.content);
        package::WriteU32(record + package::kDataOffsetField,
                          e.offsetOverride ? e.offsetOverride : static_cast<std::uint32_t>(data.size()));
        package::WriteU32(record + package::kUncompressedSizeField,
                          static_cast<std::uint32_t>(long(e.content.size()) + e.storedSizeDelta));
        package::WriteU32(record + package::kCompressedSizeField, static_cast<std::uint32_t>(stream.size()));
        data.insert(data.end(), stream.begin(), stream.end());
    }
    table.insert(table.end(), data.begin(), data.end());
    return table;
}

// A fresh folder that is the current directory for one case and is removed with what was written into it.
class TempFolder
{
public:
    TempFolder() : folder_(L"install_test_")
    {
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(folder_.Path().c_str());
    }
    ~TempFolder() { SetCurrentDirectoryW(previous_); }

private:
    CTempFolder folder_;
    wchar_t previous_[MAX_PATH];
};

bool ReadFile(const std::wstring& name, std::string& content)
{
    std::ifstream in(name.c_str(), std::ios::binary);
    if (!in)
        return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void WriteFile(const std::wstring& name, const std::string& content)
{
    std::ofstream(name.c_str(), std::ios::binary) << content;
}

bool IsDirectory(const std::wstring& name)
{
    DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Every file in the folder but the probe, so that stray temporary files show up too.
std::vector<std::wstring> ListFiles()
{
    std::vector<std::wstring> names = ListFolder(L".", true);
    names.erase(std::remove(names.begin(), names.end(), L"tessaly.exe"), names.end());
    return names;
}

std::string Repeat(const std::string& unit, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += unit;
    return out;
}

struct InstallCase
{
    const char* what;
    std::vector<TestEntry> entries;
    std::function<void(RecordingShell&)> prepare;  // game probe and folder contents are made here
    std::vector<std::string> expectedLog;
    std::vector<std::pair<std::wstring, std::string>> expectedFiles;  // name -> content
    std::vector<std::wstring> expectedListing;                        // top-level names after the run
};

void WithGame(RecordingShell&)
{
    WriteFile(L"tessaly.exe", "MZ");
}

const std::wstring kName39 = L"abcdefghijklmnopqrstuvwxyz0123456789.db";  // 39 units

std::vector<InstallCase> Cases()
{
    const std::string notes = "\xFF\xFE" + std::string("n\0o\0t\0e\0s\0", 10);
    const std::string big = Repeat("record;", 300000);  // more than one 1 MB chunk of output
    return {
        {"no game executable: only the presence box, the package is not even looked up",
         {{L"a.txt", "a"}},
         nullptr,
         {"box 安装检查 | 请将安装程序放到游戏目录下运行。 | 16"},
         {},
         {}},
        {"empty package completes at once",
         {},
         WithGame,
         {"load", "release", kDone, kNotes, kFixedTitle},
         {},
         {}},
        {"five entries: titles in order, Chinese names, an empty file, a 39-unit name, a folder",
         {{L"汉化说明.txt", notes},
          {L"empty.dat", ""},
          {kName39, big},
          {L"data\\中文.pak", "pak"},
          {L"z.bin", "z"}},
         WithGame,
         {"load", "title [1/5] 汉化说明.txt", "title [2/5] empty.dat", "title [3/5] " + Narrow(kName39),
          "title [4/5] data\\中文.pak", "title [5/5] z.bin", "release", kDone, kNotes, kFixedTitle},
         {{L"汉化说明.txt", notes},
          {L"empty.dat", ""},
          {kName39, big},
          {L"data\\中文.pak", "pak"},
          {L"z.bin", "z"}},
         {kName39, L"data", L"empty.dat", L"z.bin", L"汉化说明.txt"}},
        {"stored size larger than the stream: the real, shorter content is written",
         {{L"short.txt", "abc", 10}},
         WithGame,
         {"load", "title [1/1] short.txt", "release", kDone, kNotes, kFixedTitle},
         {{L"short.txt", "abc"}},
         {L"short.txt"}},
        {"stream longer than its stored size: error 4, earlier entries stay, nothing else is touched",
         {{L"first.txt", "1"}, {L"long.txt", big, -1}, {L"third.txt", "3"}},
         WithGame,
         {"load", "title [1/3] first.txt", "title [2/3] long.txt", Error(4), kFixedTitle},
         {{L"first.txt", "1"}},
         {L"first.txt"}},
        {"corrupt stream: error 4 before its folder is created",
         {{L"sub\\bad.bin", "this is not zlib", 0, true}},
         WithGame,
         {"load", "title [1/1] sub\\bad.bin", Error(4), kFixedTitle},
         {},
         {}},
        {"a folder level whose parent cannot exist: error 5",
         {{L"ok.txt", "ok"}, {L"blocker\\inner\\f.txt", "f"}},
         [](RecordingShell& shell) {
             WithGame(shell);
             WriteFile(L"blocker", "a file where a folder is needed");
         },
         {"load", "title [1/2] ok.txt", "title [2/2] blocker\\inner\\f.txt", Error(5), kFixedTitle},
         {{L"ok.txt", "ok"}, {L"blocker", "a file where a folder is needed"}},
         {L"blocker", L"ok.txt"}},
        {"target is a folder: error 6, no temporary file left behind",
         {{L"one.txt", "1"}, {L"taken", "2"}, {L"three.txt", "3"}},
         [](RecordingShell& shell) {
             WithGame(shell);
             CreateDirectoryW(L"taken", nullptr);
         },
         {"load", "title [1/3] one.txt", "title [2/3] taken", Error(6), kFixedTitle},
         {{L"one.txt", "1"}},
         {L"one.txt", L"taken"}},
        {"read-only existing target: error 6 and the original is kept",
         {{L"ro.txt", "new"}},
         [](RecordingShell& shell) {
             WithGame(shell);
             WriteFile(L"ro.txt", "original");
             SetFileAttributesW(L"ro.txt", FILE_ATTRIBUTE_READONLY);
         },
         {"load", "title [1/1] ro.txt", Error(6), kFixedTitle},
         {{L"ro.txt", "original"}},
         {L"ro.txt"}},
        {"existing file is replaced",
         {{L"game.dat", "patched"}},
         [](RecordingShell& shell) {
             WithGame(shell);
             WriteFile(L"game.dat", "original content that is longer");
         },
         {"load", "title [1/1] game.dat", "release", kDone, kNotes, kFixedTitle},
         {{L"game.dat", "patched"}},
         {L"game.dat"}},
        {"Notepad cannot start: nothing is said, the title still returns",
         {},
         [](RecordingShell& shell) {
             WithGame(shell);
             shell.processStarts = false;
         },
         {"load", "release", kDone, kNotes, kFixedTitle},
         {},
         {}},
        {"name without a terminator: error 4",
         {{L"ok.txt", "ok"}, {L"n", "x", 0, false, true}},
         WithGame,
         {"load", "title [1/2] ok.txt", Error(4), kFixedTitle},
         {{L"ok.txt", "ok"}},
         {L"ok.txt"}},
        {"stream reaching past the end of the resource: error 4",
         {{L"ok.txt", "ok"}, {L"far.txt", "far", 0, false, false, 0x7FFFFFF0}},
         WithGame,
         {"load", "title [1/2] ok.txt", Error(4), kFixedTitle},
         {{L"ok.txt", "ok"}},
         {L"ok.txt"}},
    };
}

class InstallTable : public ::testing::TestWithParam<int>
{
};

TEST_P(InstallTable, ReportsAndWritesAsExpected)
{
    const InstallCase c = Cases()[GetParam()];
    SCOPED_TRACE(c.what);
    TempFolder folder;
    RecordingShell shell;
    shell.package = MakePackage(c.entries);
    if (c.prepare)
        c.prepare(shell);

    installer::InstallPackage(shell);

    EXPECT_EQ(shell.log, c.expectedLog);
    for (const auto& [name, content] : c.expectedFiles)
    {
        std::string actual;
        ASSERT_TRUE(ReadFile(name, actual)) << Narrow(name);
        EXPECT_EQ(actual, content) << Narrow(name);
    }
    EXPECT_EQ(ListFiles(), c.expectedListing);
}

INSTANTIATE_TEST_SUITE_P(Cases, InstallTable, ::testing::Range(0, int(Cases().size())));

// Damage to the package itself, found before any entry is touched.
TEST(InstallPackageBytes, RejectsDamagedHeadersAndTables)
{
    TempFolder folder;
    const std::vector<unsigned char> good = MakePackage({{L"a.txt", "a"}});
    struct
    {
        const char* what;
        std::vector<unsigned char> bytes;
        std::vector<std::string> log;
    } cases[] = {
        {"signature bytes 12-15 altered", good, {"load", Error(3)}},
        {"shorter than a header",
         std::vector<unsigned char>(good.begin(), good.begin() + 19),
         {"load", Error(3)}},
        {"table reaches past the end",
         std::vector<unsigned char>(good.begin(), good.begin() + 100),
         {"load", Error(4), kFixedTitle}},
        {"entry count that wraps 32-bit arithmetic", good, {"load", Error(4), kFixedTitle}},
    };
    cases[0].bytes[14] = 2;
    package::WriteU32(&cases[3].bytes[package::kEntryCountOffset], 0x2C8590B3u);  // 20 + N*92 wraps to ~0
    for (auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        RecordingShell shell;
        WithGame(shell);
        shell.package = c.bytes;
        installer::InstallPackage(shell);
        EXPECT_EQ(shell.log, c.log);
        EXPECT_EQ(ListFiles(), std::vector<std::wstring>{});
    }
}

TEST(InstallPackageBytes, ReportsMissingAndUnloadableResource)
{
    TempFolder folder;
    for (auto [lookup, code] :
         {std::pair{PackageLookup::NotFound, 1}, std::pair{PackageLookup::LoadFailed, 2}})
    {
        RecordingShell shell;
        WithGame(shell);
        shell.lookup = lookup;
        installer::InstallPackage(shell);
        EXPECT_EQ(shell.log, (std::vector<std::string>{"load", Error(code), kFixedTitle}));
    }
}

TEST(InstallPackageBytes, SecondRunOverwritesAndReusesFolders)
{
    TempFolder folder;
    RecordingShell shell;
    WithGame(shell);
    shell.package = MakePackage({{L"dir\\file.txt", "v1"}});
    installer::InstallPackage(shell);
    shell.package = MakePackage({{L"dir\\file.txt", "v2"}});
    shell.log.clear();
    installer::InstallPackage(shell);
    EXPECT_EQ(shell.log, (std::vector<std::string>{"load", "title [1/1] dir\\file.txt", "release", kDone,
                                                   kNotes, kFixedTitle}));
    std::string content;
    ASSERT_TRUE(ReadFile(L"dir\\file.txt", content));
    EXPECT_EQ(content, "v2");
    EXPECT_TRUE(IsDirectory(L"dir"));
}

}  // namespace
