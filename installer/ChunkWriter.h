#pragma once
// Writes an entry's inflated chunks to its file on a thread of its own, so
// that inflating the next chunk overlaps writing the last one. A fixed number
// of chunk buffers circulate between the two sides: the inflating side waits
// for a free one, so memory stays constant whatever the entry size. Without a
// thread (creation refused) the chunks are written at once by the caller.

#include <windows.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

namespace installer
{

class ChunkWriter
{
public:
    static constexpr std::size_t kChunkSize = 1 << 20;
    static constexpr std::size_t kChunksInFlight = 3;

    ChunkWriter();
    // Waits for the chunks still queued, then ends the thread.
    ~ChunkWriter();
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;

    // False when the chunk buffers could not be allocated; nothing else works then.
    bool IsReady() const { return ready_; }

    // Starts an entry: the chunks submitted until Finish go to file. An invalid handle makes
    // the entry fail, but its chunks are still taken.
    void Begin(HANDLE file);
    // A buffer of kChunkSize bytes to fill; waits until one is free.
    unsigned char* Acquire();
    // Queues the first size bytes of an acquired buffer; a size of 0 just gives it back.
    void Submit(unsigned char* chunk, std::size_t size);
    // Waits until the entry's chunks are written; false when a write failed or the file was invalid.
    bool Finish();
    // The system's reason for the last failed write of the entry (valid after Finish gave false).
    DWORD LastError() const { return error_; }

private:
    struct Job
    {
        unsigned char* chunk;
        std::size_t size;
    };

    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    bool WriteChunk(const unsigned char* data, std::size_t size);
    void Release(unsigned char* chunk);

    std::vector<std::unique_ptr<unsigned char[]>> storage_;
    std::vector<unsigned char*> free_;
    std::deque<Job> queue_;
    std::size_t writing_ = 0;  // chunks taken off the queue and not yet written
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool failed_ = false;
    DWORD error_ = ERROR_SUCCESS;
    bool stopping_ = false;
    bool ready_ = false;
    HANDLE thread_ = nullptr;
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE work_ = CONDITION_VARIABLE_INIT;  // a job arrived, or the writer is to stop
    CONDITION_VARIABLE done_ = CONDITION_VARIABLE_INIT;  // a chunk was written and its buffer freed
};

}  // namespace installer
