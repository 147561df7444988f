// The installation routine through a recording shell, in a fresh temporary
// folder per case: what the user is told, in which order, and what is on disk.

#include "installer/GameFolder.h"
#include "installer/SystemReason.h"
#include "tests/installer/install_test_support.h"

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

using namespace installtest;
using installer::PackageLookup;

struct InstallCase
{
    const char* what;
    std::vector<TestEntry> entries;
    std::function<void(RecordingShell&)> prepare;  // game probe and folder contents are made here
    std::vector<std::string> expectedLog;
    std::vector<std::pair<std::wstring, std::string>> expectedFiles;  // name -> content
    std::vector<std::wstring> expectedListing;                        // top-level names after the run
    installer::InstallStatus status = installer::kStatusDone;
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
         {},
         installer::kStatusGameMissing},
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
         {L"PatchBackup", kName39, L"data", L"empty.dat", L"z.bin", L"汉化说明.txt"}},
        {"stored size larger than the stream: the real, shorter content is written",
         {{L"short.txt", "abc", 10}},
         WithGame,
         {"load", "title [1/1] short.txt", "release", kDone, kNotes, kFixedTitle},
         {{L"short.txt", "abc"}},
         {L"PatchBackup", L"short.txt"}},
        {"stream longer than its stored size: error 4, the entry before it is taken back again",
         {{L"first.txt", "1"}, {L"long.txt", big, -1}, {L"third.txt", "3"}},
         WithGame,
         {"load", "title [1/3] first.txt", "title [2/3] long.txt", ErrorUndone(4), kFixedTitle},
         {},
         {},
         installer::kStatusCorruptEntry},
        {"corrupt stream: error 4 before its folder is created",
         {{L"sub\\bad.bin", "this is not zlib", 0, true}},
         WithGame,
         {"load", "title [1/1] sub\\bad.bin", ErrorUndone(4), kFixedTitle},
         {},
         {},
         installer::kStatusCorruptEntry},
        {"a folder level whose parent cannot exist: error 5, the entry before it is taken back again",
         {{L"ok.txt", "ok"}, {L"blocker\\inner\\f.txt", "f"}},
         [](RecordingShell& shell) {
             WithGame(shell);
             WriteFile(L"blocker", "a file where a folder is needed");
         },
         {"load", "title [1/2] ok.txt", "title [2/2] blocker\\inner\\f.txt",
          ErrorUndone(5, "无法创建文件夹“blocker\\inner”：系统找不到指定的路径。"), kFixedTitle},
         {{L"blocker", "a file where a folder is needed"}},
         {L"blocker"},
         installer::kStatusCreateDirectory},
        {"target is a folder: error 6, no temporary file left behind, the entry before it taken back",
         {{L"one.txt", "1"}, {L"taken", "2"}, {L"three.txt", "3"}},
         [](RecordingShell& shell) {
             WithGame(shell);
             CreateDirectoryW(L"taken", nullptr);
         },
         {"load", "title [1/3] one.txt", "title [2/3] taken",
          ErrorUndone(6, "无法写入文件“taken”：已有同名的文件夹。"), kFixedTitle},
         {},
         {L"taken"},
         installer::kStatusWriteFile},
        {"read-only existing target: error 6 and the original is kept",
         {{L"ro.txt", "new"}},
         [](RecordingShell& shell) {
             WithGame(shell);
             WriteFile(L"ro.txt", "original");
             SetFileAttributesW(L"ro.txt", FILE_ATTRIBUTE_READONLY);
         },
         {"load", "title [1/1] ro.txt", ErrorUndone(6, "无法写入文件“ro.txt”：文件为只读。"), kFixedTitle},
         {{L"ro.txt", "original"}},
         {L"ro.txt"},
         installer::kStatusWriteFile},
        {"existing file is replaced",
         {{L"game.dat", "patched"}},
         [](RecordingShell& shell) {
             WithGame(shell);
             WriteFile(L"game.dat", "original content that is longer");
         },
         {"load", "title [1/1] game.dat", "release", kDone, kNotes, kFixedTitle},
         {{L"game.dat", "patched"}, {L"PatchBackup\\1.orig", "original content that is longer"}},
         {L"PatchBackup", L"game.dat"}},
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
         {"load", "title [1/2] ok.txt", ErrorUndone(4), kFixedTitle},
         {},
         {},
         installer::kStatusCorruptEntry},
        {"stream reaching past the end of the resource: error 4",
         {{L"ok.txt", "ok"}, {L"far.txt", "far", 0, false, false, 0x7FFFFFF0}},
         WithGame,
         {"load", "title [1/2] ok.txt", ErrorUndone(4), kFixedTitle},
         {},
         {},
         installer::kStatusCorruptEntry},
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

    EXPECT_EQ(installer::InstallPackage(shell), c.status);

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

TEST(InstallPackageBytes, ErrorsBeforeAnyEntryAreTheStatusOfTheRun)
{
    TempFolder folder;
    RecordingShell shell;
    WithGame(shell);
    shell.lookup = PackageLookup::NotFound;
    EXPECT_EQ(installer::InstallPackage(shell), installer::kStatusNoResource);
    shell.lookup = PackageLookup::LoadFailed;
    EXPECT_EQ(installer::InstallPackage(shell), installer::kStatusLoadResource);
    shell.lookup = PackageLookup::Loaded;
    shell.package = MakePackage({{L"a.txt", "a"}});
    shell.package[13] = 1;
    EXPECT_EQ(installer::InstallPackage(shell), installer::kStatusSignature);
}

}  // namespace

namespace
{

using namespace installtest;

// A folder whose path is longer than any current directory may be, made and removed through
// extended-length names.
class LongFolder
{
public:
    LongFolder() : base_(L"install_long_")
    {
        std::wstring path = base_.Path();
        path.pop_back();
        for (int level = 0; path.size() <= 300; ++level)
        {
            path += L"\\" + std::wstring(60, wchar_t(L'a' + level));
            CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
        }
        path_ = path;
    }
    ~LongFolder() { RemoveTree(L"\\\\?\\" + base_.Path()); }

    const std::wstring& Path() const { return path_; }
    std::wstring Extended(const std::wstring& name) const { return L"\\\\?\\" + path_ + L"\\" + name; }
    std::vector<std::wstring> Listing() const { return ListFolder(L"\\\\?\\" + path_, true); }

private:
    CTempFolder base_;
    std::wstring path_;
};

std::string ReadExtended(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string content;
    char buffer[256];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

// A game folder too long to be the current directory: the game is found there, an original is set
// aside in its backup folder, entries and their folders are written there (deeper still), no
// temporary file stays, Notepad gets the notes by their full name, and the restore puts the game
// back as it was, all without touching the current directory.
TEST(InstallLongFolder, InstallsAndRestoresInAFolderLongerThanACurrentDirectoryMayBe)
{
    TempFolder elsewhere;  // the current directory, without the game
    LongFolder game;
    ASSERT_GT(game.Path().size(), 300u);
    ASSERT_TRUE(WriteFileBytes(game.Extended(L"tessaly.exe"), "MZ"));
    ASSERT_TRUE(WriteFileBytes(game.Extended(L"game.dat"), "original"));
    RecordingShell shell;
    shell.package =
        MakePackage({{L"汉化说明.txt", "notes"}, {L"data\\sub\\deep.pak", "deep"}, {L"game.dat", "patched"}});

    EXPECT_EQ(installer::InstallPackage(shell, installer::GameFolder(game.Path())), installer::kStatusDone);

    EXPECT_EQ(shell.log, (std::vector<std::string>{"load", "title [1/3] 汉化说明.txt",
                                                   "title [2/3] data\\sub\\deep.pak", "title [3/3] game.dat",
                                                   "release", kDone,
                                                   "start notepad.exe \"" + Narrow(game.Path()) + "\\汉化说明.txt\"",
                                                   kFixedTitle}));
    EXPECT_EQ(ReadExtended(game.Extended(L"汉化说明.txt")), "notes");
    EXPECT_EQ(ReadExtended(game.Extended(L"data\\sub\\deep.pak")), "deep");
    EXPECT_EQ(ReadExtended(game.Extended(L"game.dat")), "patched");
    EXPECT_EQ(game.Listing(), (std::vector<std::wstring>{L"PatchBackup", L"data", L"game.dat", L"tessaly.exe",
                                                         L"汉化说明.txt"}));
    EXPECT_EQ(ListFiles(), std::vector<std::wstring>{}) << "nothing is written to the current directory";

    RecordingShell restore;
    EXPECT_EQ(installer::RestorePackage(restore, installer::GameFolder(game.Path())), installer::kStatusDone);
    EXPECT_EQ(ReadExtended(game.Extended(L"game.dat")), "original");
    EXPECT_EQ(game.Listing(), (std::vector<std::wstring>{L"game.dat", L"tessaly.exe"}));
    EXPECT_EQ(ListFiles(), std::vector<std::wstring>{});
}

// A failure there is undone there, and its box names the entry and the reason.
TEST(InstallLongFolder, AFailedWriteThereIsUndoneAndNamesTheEntry)
{
    TempFolder elsewhere;
    LongFolder game;
    ASSERT_TRUE(WriteFileBytes(game.Extended(L"tessaly.exe"), "MZ"));
    ASSERT_TRUE(WriteFileBytes(game.Extended(L"game.dat"), "original"));
    ASSERT_TRUE(CreateDirectoryW(game.Extended(L"taken").c_str(), nullptr));
    RecordingShell shell;
    shell.package = MakePackage({{L"game.dat", "patched"}, {L"new\\added.txt", "added"}, {L"taken", "x"}});

    EXPECT_EQ(installer::InstallPackage(shell, installer::GameFolder(game.Path())), installer::kStatusWriteFile);

    EXPECT_EQ(shell.log, (std::vector<std::string>{"load", "title [1/3] game.dat", "title [2/3] new\\added.txt",
                                                   "title [3/3] taken",
                                                   ErrorUndone(6, "无法写入文件“taken”：已有同名的文件夹。"),
                                                   kFixedTitle}));
    EXPECT_EQ(ReadExtended(game.Extended(L"game.dat")), "original");
    EXPECT_EQ(game.Listing(), (std::vector<std::wstring>{L"game.dat", L"taken", L"tessaly.exe"}));
}

TEST(GameFolderPaths, NamesInTheFolderAreExtendedLengthPaths)
{
    struct
    {
        const wchar_t* folder;
        const wchar_t* display;
        const wchar_t* path;
    } cases[] = {
        {L"C:\\games\\tessaly", L"C:\\games\\tessaly", L"\\\\?\\C:\\games\\tessaly\\data\\a.pak"},
        {L"C:\\games\\tessaly\\", L"C:\\games\\tessaly", L"\\\\?\\C:\\games\\tessaly\\data\\a.pak"},
        {L"C:\\", L"C:\\", L"\\\\?\\C:\\data\\a.pak"},
        {L"\\\\server\\share\\game", L"\\\\server\\share\\game",
         L"\\\\?\\UNC\\server\\share\\game\\data\\a.pak"},
        {L"\\\\?\\C:\\games\\tessaly", L"C:\\games\\tessaly", L"\\\\?\\C:\\games\\tessaly\\data\\a.pak"},
        {L"\\\\?\\UNC\\server\\share", L"\\\\server\\share", L"\\\\?\\UNC\\server\\share\\data\\a.pak"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(Narrow(c.folder));
        const installer::GameFolder folder(c.folder);
        EXPECT_EQ(folder.Display(), c.display);
        EXPECT_EQ(folder.PathOf(L"data\\a.pak"), c.path);
    }
}

TEST(GameFolderPaths, TooLongForACurrentDirectoryFromMaxPathLessOne)
{
    const std::wstring root = L"C:\\";
    EXPECT_FALSE(installer::TooLongForCurrentDirectory(root + std::wstring(MAX_PATH - 2 - root.size(), L'x')));
    EXPECT_TRUE(installer::TooLongForCurrentDirectory(root + std::wstring(MAX_PATH - 1 - root.size(), L'x')));
    EXPECT_TRUE(installer::TooLongForCurrentDirectory(L"\\\\?\\" + root + std::wstring(300, L'x')));
}

// The reasons a player can act on are said in Chinese; others keep the system's text and number.
TEST(SystemReason, DescribesWriteFailuresInChinese)
{
    struct
    {
        DWORD error;
        const wchar_t* text;
    } cases[] = {
        {ERROR_ACCESS_DENIED, L"拒绝访问，没有写入权限。"},
        {ERROR_DISK_FULL, L"磁盘空间不足。"},
        {ERROR_HANDLE_DISK_FULL, L"磁盘空间不足。"},
        {ERROR_SHARING_VIOLATION, L"文件正被其他程序使用。"},
        {ERROR_FILE_READ_ONLY, L"文件为只读。"},
        {ERROR_WRITE_PROTECT, L"磁盘处于写保护状态。"},
        {installer::kTargetIsFolder, L"已有同名的文件夹。"},
        {ERROR_SUCCESS, L"原因不明。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(installer::DescribeSystemError(c.error), c.text) << c.error;

    const std::wstring other = installer::DescribeSystemError(ERROR_CRC);
    EXPECT_NE(other.find(L"系统错误 23"), std::wstring::npos) << Narrow(other);
    EXPECT_EQ(other.back(), L'。');
    EXPECT_EQ(installer::DescribeSystemError(0x20001234), L"系统错误 536875572。");
}

}  // namespace
