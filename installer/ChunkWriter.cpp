#include "installer/ChunkWriter.h"

#include "installer/LockScope.h"
#include "installer/WriteFaults.h"

#include <new>

namespace installer
{

namespace
{

constexpr SIZE_T kWriterStackSize = 64 * 1024;

}  // namespace

ChunkWriter::ChunkWriter()
{
    for (std::size_t i = 0; i < kChunksInFlight; ++i)
    {
        std::unique_ptr<unsigned char[]> chunk(new (std::nothrow) unsigned char[kChunkSize]);
        if (!chunk)
            return;
        free_.push_back(chunk.get());
        storage_.push_back(std::move(chunk));
    }
    ready_ = true;
    // The writer needs little stack; the default would reserve (and under Wine commit) megabytes.
    thread_ = CreateThread(nullptr, kWriterStackSize, &ChunkWriter::ThreadMain, this,
                           STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
}

ChunkWriter::~ChunkWriter()
{
    if (thread_ == nullptr)
        return;
    {
        ExclusiveLock hold(lock_);
        stopping_ = true;
    }
    WakeConditionVariable(&work_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
}

void ChunkWriter::Begin(HANDLE file)
{
    ExclusiveLock hold(lock_);
    file_ = file;
    failed_ = file == INVALID_HANDLE_VALUE;
    error_ = failed_ ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
}

unsigned char* ChunkWriter::Acquire()
{
    ExclusiveLock hold(lock_);
    while (free_.empty())
        SleepConditionVariableSRW(&done_, &lock_, INFINITE, 0);
    unsigned char* chunk = free_.back();
    free_.pop_back();
    return chunk;
}

void ChunkWriter::Submit(unsigned char* chunk, std::size_t size)
{
    if (size == 0)
        return Release(chunk);
    if (thread_ == nullptr)
    {
        // Without a thread nothing else touches the state.
        failed_ = failed_ || !WriteChunk(chunk, size);
        free_.push_back(chunk);
        return;
    }
    {
        ExclusiveLock hold(lock_);
        queue_.push_back({chunk, size});
    }
    WakeConditionVariable(&work_);
}

bool ChunkWriter::Finish()
{
    ExclusiveLock hold(lock_);
    while (!queue_.empty() || writing_ > 0)
        SleepConditionVariableSRW(&done_, &lock_, INFINITE, 0);
    file_ = INVALID_HANDLE_VALUE;
    return !failed_;
}

DWORD WINAPI ChunkWriter::ThreadMain(void* self)
{
    static_cast<ChunkWriter*>(self)->Run();
    return 0;
}

void ChunkWriter::Run()
{
    ExclusiveLock hold(lock_);
    for (;;)
    {
        while (queue_.empty() && !stopping_)
            SleepConditionVariableSRW(&work_, &lock_, INFINITE, 0);
        if (queue_.empty())
            return;  // stopping, and nothing left to write
        const Job job = queue_.front();
        queue_.pop_front();
        ++writing_;
        // After a failure the entry's remaining chunks are only given back: the stream is still
        // inflated to its end to tell a damaged entry from a failed write.
        bool written = true;
        if (!failed_)
        {
            ExclusiveUnlock writeUnlocked(lock_);
            written = WriteChunk(job.chunk, job.size);
        }
        failed_ = failed_ || !written;
        --writing_;
        free_.push_back(job.chunk);
        WakeAllConditionVariable(&done_);
    }
}

// The caller knows the file is not swapped meanwhile: Begin runs only between entries.
bool ChunkWriter::WriteChunk(const unsigned char* data, std::size_t size)
{
    if (file_ == INVALID_HANDLE_VALUE)
        return false;
    if (const DWORD fault = NextWriteFault())
    {
        error_ = fault;
        return false;
    }
    while (size > 0)
    {
        DWORD written = 0;
        if (!WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) || written == 0)
        {
            error_ = written == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : GetLastError();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void ChunkWriter::Release(unsigned char* chunk)
{
    {
        ExclusiveLock hold(lock_);
        free_.push_back(chunk);
    }
    WakeAllConditionVariable(&done_);
}

}  // namespace installer
