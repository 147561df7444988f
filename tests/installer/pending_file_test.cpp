// The pending file of an entry and the writer that fills it: a file that is not
// placed vanishes, also when the process dies, and the chunks arrive in order.

#include "installer/ChunkWriter.h"
#include "installer/PendingFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace
{

using installer::ChunkWriter;
using installer::PendingFile;

// A folder that is the current directory while it lives. The name is fixed by the caller, so that
// a death test's child process, which runs the test again, works in the same folder.
class WorkFolder
{
public:
    explicit WorkFolder(const std::wstring& name)
    {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + name;
        CreateDirectoryW(path_.c_str(), nullptr);
        GetCurrentDirectoryW(MAX_PATH, previous_);
        SetCurrentDirectoryW(path_.c_str());
    }
    ~WorkFolder()
    {
        for (const std::wstring& file : Files())
            DeleteFileW(file.c_str());
        SetCurrentDirectoryW(previous_);
        RemoveDirectoryW(path_.c_str());
    }

    static std::vector<std::wstring> Files() { return ListFolder(L".", false); }

private:
    std::wstring path_;
    wchar_t previous_[MAX_PATH];
};

std::string Content(const std::wstring& name)
{
    std::ifstream in(name.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(HANDLE file, const std::string& text)
{
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

TEST(PendingFile, HasANameOfOursAndVanishesUnlessPlaced)
{
    WorkFolder folder(L"pending_file_abandoned");
    {
        PendingFile pending;
        ASSERT_TRUE(pending.IsOpen());
        EXPECT_EQ(pending.Name().rfind(L"~setup-", 0), 0u);
        EXPECT_EQ(WorkFolder::Files(), std::vector<std::wstring>{pending.Name()});
        Write(pending.Handle(), "half an entry");
    }
    EXPECT_EQ(WorkFolder::Files(), std::vector<std::wstring>{});
}

TEST(PendingFile, PlacedOverTheTargetKeepsItsContent)
{
    WorkFolder folder(L"pending_file_placed");
    CreateDirectoryW(L"sub", nullptr);
    std::ofstream(L"sub\\target.dat", std::ios::binary) << "the original, longer than the new content";
    {
        PendingFile pending;
        Write(pending.Handle(), "patched");
        EXPECT_TRUE(pending.PlaceAs(L"sub\\target.dat"));
    }
    EXPECT_EQ(Content(L"sub\\target.dat"), "patched");
    EXPECT_EQ(WorkFolder::Files(), std::vector<std::wstring>{});
    DeleteFileW(L"sub\\target.dat");
    RemoveDirectoryW(L"sub");
}

TEST(PendingFile, AFailedPlacementLeavesTheTargetAndNoFile)
{
    WorkFolder folder(L"pending_file_refused");
    CreateDirectoryW(L"taken", nullptr);
    {
        PendingFile pending;
        Write(pending.Handle(), "x");
        EXPECT_FALSE(pending.PlaceAs(L"taken"));
    }
    EXPECT_EQ(WorkFolder::Files(), std::vector<std::wstring>{});
    DWORD attributes = GetFileAttributesW(L"taken");
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    RemoveDirectoryW(L"taken");
}

// A process killed while an entry is being written leaves no file behind.
TEST(PendingFileDeathTest, VanishesWhenTheProcessDies)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    WorkFolder folder(L"pending_file_killed");
    EXPECT_EXIT(
        {
            PendingFile pending;
            Write(pending.Handle(), std::string(1 << 20, 'k'));
            TerminateProcess(GetCurrentProcess(), 7);
        },
        ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(WorkFolder::Files(), std::vector<std::wstring>{});
}

// More chunks than buffers, of uneven sizes, arrive in order.
TEST(ChunkWriter, WritesEveryChunkInOrder)
{
    WorkFolder folder(L"chunk_writer_order");
    ChunkWriter writer;
    ASSERT_TRUE(writer.IsReady());
    std::string expected;
    {
        PendingFile pending;
        writer.Begin(pending.Handle());
        for (int i = 0; i < 10; ++i)
        {
            unsigned char* chunk = writer.Acquire();
            const std::size_t size = i == 4 ? 0 : (i % 3 == 0 ? ChunkWriter::kChunkSize : 1000 + i);
            std::fill(chunk, chunk + size, static_cast<unsigned char>('a' + i));
            expected.append(size, static_cast<char>('a' + i));
            writer.Submit(chunk, size);
        }
        EXPECT_TRUE(writer.Finish());
        EXPECT_TRUE(pending.PlaceAs(L"out.bin"));
    }
    EXPECT_EQ(Content(L"out.bin"), expected);
}

// A file that refuses writes fails the entry, yet every chunk is still taken, and the next
// entry starts afresh.
TEST(ChunkWriter, AFailedWriteFailsTheEntryWithoutBlocking)
{
    WorkFolder folder(L"chunk_writer_failure");
    std::ofstream(L"readable.bin") << "r";
    HANDLE readOnly = CreateFileW(L"readable.bin", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
    ChunkWriter writer;
    for (HANDLE file : {readOnly, INVALID_HANDLE_VALUE})
    {
        writer.Begin(file);
        for (std::size_t i = 0; i < 3 * ChunkWriter::kChunksInFlight; ++i)
            writer.Submit(writer.Acquire(), 100);
        EXPECT_FALSE(writer.Finish());
    }
    CloseHandle(readOnly);

    PendingFile pending;
    writer.Begin(pending.Handle());
    unsigned char* chunk = writer.Acquire();
    chunk[0] = 'z';
    writer.Submit(chunk, 1);
    EXPECT_TRUE(writer.Finish());
}

}  // namespace
