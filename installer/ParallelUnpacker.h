#pragma once
// Unpacks the entries of a package on several threads, each entry inflated
// into a pending file of its own, and hands them to the installation strictly
// in table order: the installation places entry k only after the entries
// before it, so a failure at k still leaves the entries before it complete and
// k and those after it untouched. Work ahead is bounded: at most twice as many
// entries as there are workers, counted from the one the installation waits
// for, are taken up, and each worker has its own fixed chunk buffers. Work
// that is no longer wanted (a failure, a stop) ends at the worker's next chunk
// and its pending files go; a killed process loses them with its handles, as
// every pending file is marked for deletion from the start.

#include "installer/ChunkWriter.h"
#include "installer/PendingFile.h"
#include "installer/Sha256.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace installer
{

enum class Inflated
{
    Complete,
    Corrupt,
    Stopped
};

// An entry inflated into its pending file, waiting for its turn to be placed.
struct UnpackedEntry
{
    std::unique_ptr<PendingFile> output;
    Inflated inflated = Inflated::Stopped;
    bool written = false;
    DWORD writeError = ERROR_SUCCESS;  // why the file could not be made or written, when it could not
    FileDigest digest;
};

using StopQuery = std::function<bool()>;
// Inflates entry index into out through writer, asking stopRequested between chunks.
using EntryUnpack =
    std::function<void(std::uint32_t index, ChunkWriter& writer, const StopQuery& stopRequested, UnpackedEntry& out)>;

// For tests and benchmarks; an installation otherwise uses one worker per core.
struct UnpackSettings
{
    unsigned workers = 0;       // 0: one per core; 1: one thread, as on a single-core host
    unsigned failThreadAt = 0;  // the N-th worker thread of a run (from 1) is refused as by the system
};
void ConfigureUnpacking(const UnpackSettings& settings);

// How many workers an installation starts: the configured number, else the cores (at most 8).
unsigned UnpackWorkerCount();

class ParallelUnpacker
{
public:
    ParallelUnpacker(std::uint32_t count, EntryUnpack unpack);
    // Drops the work not taken and waits for the workers.
    ~ParallelUnpacker();
    ParallelUnpacker(const ParallelUnpacker&) = delete;
    ParallelUnpacker& operator=(const ParallelUnpacker&) = delete;

    // Starts the workers; false when one of them could not be had (its thread or its buffers),
    // and then none runs and nothing was unpacked.
    bool Start(unsigned workers);
    // Waits for entry index; entries are taken in table order, each once. stopRequested is asked
    // before anything else and again while waiting; false when it answered true.
    bool Take(std::uint32_t index, const StopQuery& stopRequested, UnpackedEntry& entry);
    // Drops every entry not taken: workers stop at their next chunk and the pending files go.
    // Returns once the workers have ended.
    void Cancel();

private:
    enum class SlotState
    {
        Free,
        Working,
        Ready
    };
    struct Slot
    {
        SlotState state = SlotState::Free;
        std::uint32_t index = 0;
        UnpackedEntry entry;
    };
    struct Worker
    {
        ParallelUnpacker* owner = nullptr;
        std::unique_ptr<ChunkWriter> writer;
        HANDLE thread = nullptr;
    };

    static DWORD WINAPI ThreadMain(void* worker);
    void Run(ChunkWriter& writer);
    bool MayTakeUp() const;
    void JoinWorkers();

    const std::uint32_t count_;
    const EntryUnpack unpack_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::vector<Slot> slots_;  // entry i waits in slots_[i % slots_.size()]
    std::uint32_t next_ = 0;   // the next entry a worker takes up
    std::uint32_t head_ = 0;   // the entry the installation waits for
    std::atomic<bool> cancelled_{false};
    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE room_ = CONDITION_VARIABLE_INIT;   // a slot was freed, or the work was dropped
    CONDITION_VARIABLE ready_ = CONDITION_VARIABLE_INIT;  // an entry is ready
};

}  // namespace installer
