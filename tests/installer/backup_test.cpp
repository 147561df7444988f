// Originals kept and put back: installations that are all or nothing, the
// restore, runs cut short by a killed process, and the manifest's text form.
// Each case works in a game folder of its own and compares whole folder trees,
// contents included, before and after.

#include "installer/Backup.h"
#include "installer/WriteFaults.h"
#include "tests/installer/install_test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace
{

using namespace installtest;
using installer::BackupRecord;
using installer::InstallStatus;

const std::string kFolderMark = "<folder>";

// Every file and folder below folder with its content, so that two trees compare byte for byte.
void AddTree(const std::wstring& folder, std::map<std::wstring, std::string>& tree)
{
    for (const std::wstring& name : ListFolder(folder, true))
    {
        const std::wstring path = folder == L"." ? name : folder + L"\\" + name;
        if (IsDirectory(path))
        {
            tree[path] = kFolderMark;
            AddTree(path, tree);
            continue;
        }
        std::string content;
        EXPECT_TRUE(ReadFile(path, content)) << Narrow(path);
        tree[path] = content;
    }
}

std::map<std::wstring, std::string> Tree()
{
    std::map<std::wstring, std::string> tree;
    AddTree(L".", tree);
    return tree;
}

// A game as the player has it: the probe, two files the patch replaces, one it leaves alone.
void MakeGame()
{
    WriteFile(L"tessaly.exe", "MZ game");
    WriteFile(L"data.pak", "original pak");
    WriteFile(L"text.dat", "original text");
    CreateDirectoryW(L"save", nullptr);
    WriteFile(L"save\\slot1.sav", "my progress");
}

// Replaces two originals, adds a file, and adds one in a folder of its own.
std::vector<TestEntry> Patch(const std::string& version = "1")
{
    return {{L"data.pak", "patched pak v" + version},
            {L"new.txt", "added v" + version},
            {L"newdir\\deep.txt", "deep v" + version},
            {L"text.dat", "patched text v" + version}};
}

const std::string kRestored = "box 安装程序 | 已还原游戏的原始文件，补丁已移除。 | 64";

// Ends the run at the given title like a killed process would: no undo, no box, no cleanup but
// what the system does for a dying process (handles closed, files marked for deletion gone).
class KillingShell : public RecordingShell
{
public:
    explicit KillingShell(int killAtTitle) : killAt_(killAtTitle) {}
    void SetTitle(const wchar_t* title) override
    {
        if (++titles_ == killAt_)
            throw std::runtime_error("killed");
        RecordingShell::SetTitle(title);
    }

private:
    int killAt_;
    int titles_ = 0;
};

// Asks to stop once the given title has been shown.
class StoppingShell : public RecordingShell
{
public:
    explicit StoppingShell(int stopAfterTitle) : stopAfter_(stopAfterTitle) {}
    void SetTitle(const wchar_t* title) override
    {
        ++titles_;
        RecordingShell::SetTitle(title);
    }
    bool StopRequested() override { return titles_ >= stopAfter_; }

private:
    int stopAfter_;
    int titles_ = 0;
};

InstallStatus Install(const std::vector<TestEntry>& entries, RecordingShell& shell)
{
    shell.package = MakePackage(entries);
    return installer::InstallPackage(shell);
}

InstallStatus Install(const std::vector<TestEntry>& entries)
{
    RecordingShell shell;
    return Install(entries, shell);
}

// Write faults are process-wide: every case that sets them puts them back.
class FaultScope
{
public:
    explicit FaultScope(const char* settings) { installer::ConfigureWriteFaults(settings); }
    ~FaultScope() { installer::ConfigureWriteFaults(""); }
};

TEST(Restore, PutsEveryOriginalBackAndRemovesWhatWasAdded)
{
    TempFolder folder;
    MakeGame();
    const auto before = Tree();
    ASSERT_EQ(Install(Patch()), installer::kStatusDone);
    std::string content;
    ASSERT_TRUE(ReadFile(L"data.pak", content));
    EXPECT_EQ(content, "patched pak v1");
    EXPECT_TRUE(IsDirectory(L"PatchBackup"));

    RecordingShell shell;
    EXPECT_EQ(installer::RestorePackage(shell), installer::kStatusDone);
    EXPECT_EQ(shell.log, std::vector<std::string>{kRestored});
    EXPECT_EQ(Tree(), before);
}

TEST(Restore, AfterTwoInstallationsGivesTheTrueOriginals)
{
    TempFolder folder;
    MakeGame();
    const auto before = Tree();
    ASSERT_EQ(Install(Patch("1")), installer::kStatusDone);
    ASSERT_EQ(Install(Patch("2")), installer::kStatusDone);
    std::string content;
    ASSERT_TRUE(ReadFile(L"text.dat", content));
    EXPECT_EQ(content, "patched text v2");
    // The first installation's files were only kept until the second was complete.
    EXPECT_EQ(ListFolder(L"PatchBackup", true), (std::vector<std::wstring>{L"1.orig", L"5.orig", L"manifest.txt"}));

    RecordingShell shell;
    EXPECT_EQ(installer::RestorePackage(shell), installer::kStatusDone);
    EXPECT_EQ(Tree(), before);
}

TEST(Restore, LeavesAFileChangedSinceTheInstallationAndNamesIt)
{
    TempFolder folder;
    MakeGame();
    ASSERT_EQ(Install(Patch()), installer::kStatusDone);
    WriteFile(L"text.dat", "edited by the player");
    WriteFile(L"new.txt", "also edited");

    RecordingShell shell;
    EXPECT_EQ(installer::RestorePackage(shell), installer::kStatusFilesChanged);
    ASSERT_EQ(shell.log.size(), 1u);
    EXPECT_NE(shell.log[0].find("\nnew.txt\ntext.dat |"), std::string::npos) << shell.log[0];
    std::string content;
    ASSERT_TRUE(ReadFile(L"text.dat", content));
    EXPECT_EQ(content, "edited by the player");
    ASSERT_TRUE(ReadFile(L"data.pak", content));
    EXPECT_EQ(content, "original pak");
    EXPECT_FALSE(IsDirectory(L"newdir"));
    // The changed file's original stays in the backup, and only its record in the manifest.
    installer::BackupManifest manifest;
    ASSERT_TRUE(manifest.Load());
    ASSERT_EQ(manifest.records.size(), 2u);
    EXPECT_EQ(manifest.records[0].name, L"new.txt");
    EXPECT_EQ(manifest.records[1].name, L"text.dat");
    ASSERT_TRUE(ReadFile(installer::BackupPathOf(manifest.records[1]), content));
    EXPECT_EQ(content, "original text");
}

TEST(Restore, WithoutABackupSaysSoAndChangesNothing)
{
    TempFolder folder;
    MakeGame();
    const auto before = Tree();
    RecordingShell shell;
    EXPECT_EQ(installer::RestorePackage(shell), installer::kStatusNothingToRestore);
    EXPECT_EQ(shell.log, std::vector<std::string>{"box 安装程序 | 没有找到补丁的备份，游戏文件无需还原。 | 64"});
    EXPECT_EQ(Tree(), before);
}

TEST(Restore, ADamagedManifestStopsInstallAndRestoreAlike)
{
    TempFolder folder;
    MakeGame();
    CreateDirectoryW(L"PatchBackup", nullptr);
    WriteFile(L"PatchBackup\\manifest.txt", "PatchBackup 1\ninstalled\t1\t1\t3");
    const auto before = Tree();
    RecordingShell install;
    EXPECT_EQ(Install(Patch(), install), installer::kStatusBackupDamaged);
    RecordingShell restore;
    EXPECT_EQ(installer::RestorePackage(restore), installer::kStatusBackupDamaged);
    EXPECT_EQ(Tree(), before);
    EXPECT_EQ(install.log.back(), restore.log.back());
}

// A failure at any entry leaves the game folder exactly as it was, whatever the cause.
TEST(AllOrNothing, AFailureAtAnEntryLeavesTheFolderAsItWas)
{
    struct
    {
        const char* what;
        std::function<void()> prepare;  // before the picture of the folder is taken
        std::function<HANDLE()> during;  // while the installation runs; a handle closed afterwards
        std::vector<TestEntry> entries;
        int code;
        std::string why;  // the line naming what could not be written, and why
    } cases[] = {
        {"the last entry is damaged", nullptr, nullptr,
         {{L"data.pak", "p"}, {L"new.txt", "n"}, {L"newdir\\deep.txt", "d"}, {L"text.dat", "junk", 0, true}}, 4,
         ""},
        {"a folder stands where the third file goes",
         [] { CreateDirectoryW(L"blocked", nullptr); }, nullptr,
         {{L"data.pak", "p"}, {L"newdir\\deep.txt", "d"}, {L"blocked", "b"}, {L"text.dat", "t"}}, 6,
         "无法写入文件“blocked”：已有同名的文件夹。"},
        {"the last original is locked by a running game", nullptr,
         [] {
             return CreateFileW(L"text.dat", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         },
         Patch(), 6, "无法写入文件“text.dat”：文件正被其他程序使用。"},
        {"a folder level cannot be made", [] { WriteFile(L"blocker", "a file"); }, nullptr,
         {{L"data.pak", "p"}, {L"new.txt", "n"}, {L"blocker\\x\\y.txt", "y"}}, 5,
         "无法创建文件夹“blocker\\x”：系统找不到指定的路径。"},
    };
    for (auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        MakeGame();
        if (c.prepare)
            c.prepare();
        const auto before = Tree();
        HANDLE held = c.during ? c.during() : INVALID_HANDLE_VALUE;
        RecordingShell shell;
        EXPECT_EQ(Install(c.entries, shell), static_cast<InstallStatus>(c.code));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(shell.log.end()[-2], ErrorUndone(c.code, c.why));
        EXPECT_EQ(Tree(), before);
    }
}

// A full disk at every write the installation makes in turn (file data and manifest alike): each
// run fails with error 6 and loses nothing, over the bare game and over an earlier installation.
TEST(AllOrNothing, AFullDiskAtAnyWriteLosesNothing)
{
    for (const bool overEarlier : {false, true})
    {
        bool completed = false;
        for (int write = 1; write < 40 && !completed; ++write)
        {
            SCOPED_TRACE(std::string(overEarlier ? "over an earlier installation" : "over the game") +
                         ", failing write " + std::to_string(write));
            TempFolder folder;
            MakeGame();
            if (overEarlier)
            {
                ASSERT_EQ(Install(Patch("1")), installer::kStatusDone);
            }
            const auto before = Tree();
            FaultScope fault(("fail=" + std::to_string(write)).c_str());
            RecordingShell shell;
            const InstallStatus status = Install(Patch("2"), shell);
            completed = status == installer::kStatusDone;
            if (completed)
                break;
            EXPECT_EQ(status, installer::kStatusWriteFile);
            // The box names the entry or the manifest that could not be written, and says why.
            ASSERT_GE(shell.log.size(), 2u);
            EXPECT_NE(shell.log.end()[-2].find("\n无法写入文件“"), std::string::npos) << shell.log.end()[-2];
            EXPECT_NE(shell.log.end()[-2].find("”：磁盘空间不足。\n"), std::string::npos) << shell.log.end()[-2];
            EXPECT_EQ(Tree(), before);
        }
        EXPECT_TRUE(completed) << "the installation never got past the injected faults";
    }
}

TEST(AllOrNothing, MissingRightsOfferTheAdministratorAndChangeNothing)
{
    for (const bool yes : {false, true})
    {
        TempFolder folder;
        MakeGame();
        const auto before = Tree();
        FaultScope fault("deny=3");
        RecordingShell shell;
        shell.answerYes = yes;
        EXPECT_EQ(Install(Patch(), shell), installer::kStatusWriteFile);
        EXPECT_EQ(Tree(), before);
        const auto ask = std::find_if(shell.log.begin(), shell.log.end(),
                                      [](const std::string& line) { return line.rfind("ask ", 0) == 0; });
        ASSERT_NE(ask, shell.log.end());
        EXPECT_NE(ask->find("[0x00000006]"), std::string::npos);
        EXPECT_NE(ask->find("：拒绝访问，没有写入权限。"), std::string::npos);
        EXPECT_NE(ask->find("没有写入游戏文件夹的权限"), std::string::npos);
        EXPECT_NE(ask->find("以管理员身份重新运行"), std::string::npos);
        EXPECT_EQ(std::count(shell.log.begin(), shell.log.end(), "elevate"), yes ? 1 : 0);
    }
}

TEST(Progress, CountsEntriesInPlaceAndDropsToNothingWhenARunIsUndone)
{
    TempFolder folder;
    MakeGame();
    RecordingShell done;
    ASSERT_EQ(Install(Patch(), done), installer::kStatusDone);
    EXPECT_EQ(done.progress, (std::vector<std::string>{"0/4", "1/4", "2/4", "3/4", "4/4"}));
    RecordingShell failed;
    std::vector<TestEntry> broken = Patch("2");
    broken[2].garbageStream = true;
    ASSERT_EQ(Install(broken, failed), installer::kStatusCorruptEntry);
    EXPECT_EQ(failed.progress, (std::vector<std::string>{"0/4", "1/4", "2/4", "0/4"}));
}

TEST(AllOrNothing, StoppingMidwayUndoesTheRunWithoutABox)
{
    TempFolder folder;
    MakeGame();
    ASSERT_EQ(Install(Patch("1")), installer::kStatusDone);
    const auto before = Tree();
    StoppingShell shell(3);
    EXPECT_EQ(Install(Patch("2"), shell), installer::kStatusStopped);
    EXPECT_EQ(shell.log, (std::vector<std::string>{"load", "title [1/4] data.pak", "title [2/4] new.txt",
                                                   "title [3/4] newdir\\deep.txt", kFixedTitle}));
    EXPECT_EQ(Tree(), before);
}

// A process killed between two entries leaves its steps recorded; whichever run comes next
// undoes them first.
TEST(Interrupted, AKilledInstallationIsUndoneByTheNextRun)
{
    for (const bool thenRestore : {false, true})
    {
        SCOPED_TRACE(thenRestore ? "restore next" : "install next");
        TempFolder folder;
        MakeGame();
        const auto before = Tree();
        KillingShell killed(4);
        EXPECT_THROW(Install(Patch(), killed), std::runtime_error);
        installer::BackupManifest manifest;
        ASSERT_TRUE(manifest.Load());
        EXPECT_TRUE(manifest.HasPending());

        RecordingShell next;
        if (thenRestore)
        {
            EXPECT_EQ(installer::RestorePackage(next), installer::kStatusDone);
        }
        else
        {
            ASSERT_EQ(Install(Patch(), next), installer::kStatusDone);
            std::string content;
            ASSERT_TRUE(ReadFile(L"text.dat", content));
            EXPECT_EQ(content, "patched text v1");
            RecordingShell restore;
            EXPECT_EQ(installer::RestorePackage(restore), installer::kStatusDone);
        }
        EXPECT_EQ(Tree(), before);
    }
}

// Killed after an original was set aside and before the new file took its place.
TEST(Interrupted, AnOriginalSetAsideIsFoundAndPutBack)
{
    TempFolder folder;
    MakeGame();
    const auto before = Tree();
    KillingShell killed(2);
    EXPECT_THROW(Install(Patch(), killed), std::runtime_error);
    ASSERT_TRUE(DeleteFileW(L"data.pak"));

    RecordingShell next;
    EXPECT_EQ(installer::RestorePackage(next), installer::kStatusDone);
    EXPECT_EQ(Tree(), before);
}

// Killed after some originals were back: the manifest still lists them, and a new run finishes.
TEST(Interrupted, AKilledRestoreFinishesWhenRunAgain)
{
    TempFolder folder;
    MakeGame();
    const auto before = Tree();
    ASSERT_EQ(Install(Patch()), installer::kStatusDone);
    installer::BackupManifest manifest;
    ASSERT_TRUE(manifest.Load());
    const BackupRecord& last = manifest.records.back();
    ASSERT_EQ(last.name, L"text.dat");
    ASSERT_TRUE(MoveFileExW(installer::BackupPathOf(last).c_str(), L"text.dat", MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(DeleteFileW(L"newdir\\deep.txt"));

    RecordingShell shell;
    EXPECT_EQ(installer::RestorePackage(shell), installer::kStatusDone);
    EXPECT_EQ(Tree(), before);
}

TEST(Manifest, ReadsBackWhatItWrites)
{
    BackupRecord installed;
    installed.kind = BackupRecord::Kind::Installed;
    installed.slot = 7;
    installed.existed = true;
    installed.before = {12, std::string(64, 'a')};
    installed.after = {0, std::string(64, 'f')};
    installed.name = L"data\\中文 名.pak";
    BackupRecord added = installed;
    added.kind = BackupRecord::Kind::Replacing;
    added.existed = false;
    added.before = {};
    BackupRecord folder;
    folder.kind = BackupRecord::Kind::NewFolder;
    folder.slot = 8;
    folder.name = L"data";

    const std::string text = installer::FormatManifest({installed, added, folder});
    std::vector<BackupRecord> read;
    ASSERT_TRUE(installer::ParseManifest(text, read));
    EXPECT_EQ(installer::FormatManifest(read), text);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].name, installed.name);
    EXPECT_EQ(read[0].before, installed.before);
    EXPECT_EQ(read[1].kind, BackupRecord::Kind::Replacing);
    EXPECT_FALSE(read[1].existed);
    EXPECT_EQ(read[2].kind, BackupRecord::Kind::NewFolder);
}

TEST(Manifest, RejectsWhatItDidNotWrite)
{
    const std::string hash(64, '0');
    const std::string good = "PatchBackup 1\ninstalled\t1\t1\t3\t" + hash + "\t4\t" + hash + "\ta.txt\n";
    std::vector<BackupRecord> records;
    ASSERT_TRUE(installer::ParseManifest(good, records));
    const struct
    {
        const char* what;
        std::string text;
    } cases[] = {
        {"no header", good.substr(good.find('\n') + 1)},
        {"cut short in its last line", good.substr(0, good.size() - 3)},
        {"an unknown kind", "PatchBackup 1\ninstaled\t1\t1\t3\t" + hash + "\t4\t" + hash + "\ta.txt\n"},
        {"a short digest", "PatchBackup 1\ninstalled\t1\t1\t3\tabc\t4\t" + hash + "\ta.txt\n"},
        {"a size that is not a number", "PatchBackup 1\ninstalled\t1\t1\tx\t" + hash + "\t4\t" + hash + "\ta.txt\n"},
        {"a field missing", "PatchBackup 1\ninstalled\t1\t1\t3\t" + hash + "\t4\ta.txt\n"},
        {"a name that is not UTF-8", "PatchBackup 1\ninstalled\t1\t1\t3\t" + hash + "\t4\t" + hash + "\t\xFF\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(installer::ParseManifest(c.text, records));
    }
}

TEST(Manifest, DigestsAreSha256)
{
    installer::Sha256 hash;
    ASSERT_TRUE(hash.IsReady());
    hash.Add("abc", 3);
    const installer::FileDigest digest = hash.Finish();
    EXPECT_EQ(digest.size, 3u);
    EXPECT_EQ(digest.sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
