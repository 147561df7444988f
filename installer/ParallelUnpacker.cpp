#include "installer/ParallelUnpacker.h"

#include "installer/LockScope.h"

#include <algorithm>
#include <new>

namespace installer
{

namespace
{

// zlib, the digest and the file calls need little stack; the default would reserve megabytes.
constexpr SIZE_T kWorkerStackSize = 256 * 1024;
constexpr unsigned kMostWorkers = 8;
// How often a waiting installation asks whether the user wants to stop.
constexpr DWORD kStopPollMs = 20;

UnpackSettings g_settings;

}  // namespace

void ConfigureUnpacking(const UnpackSettings& settings)
{
    g_settings = settings;
}

unsigned UnpackWorkerCount()
{
    if (g_settings.workers != 0)
        return std::min(g_settings.workers, kMostWorkers);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return std::clamp<unsigned>(system.dwNumberOfProcessors, 1, kMostWorkers);
}

ParallelUnpacker::ParallelUnpacker(std::uint32_t count, EntryUnpack unpack) : count_(count), unpack_(std::move(unpack))
{
}

ParallelUnpacker::~ParallelUnpacker()
{
    Cancel();
}

bool ParallelUnpacker::Start(unsigned workers)
{
    if (workers == 0 || !workers_.empty())
        return false;
    slots_.resize(2 * static_cast<std::size_t>(workers));
    bool refused = false;
    for (unsigned n = 1; n <= workers && !refused; ++n)
    {
        std::unique_ptr<Worker> worker(new (std::nothrow) Worker);
        if (worker)
            worker->writer.reset(new (std::nothrow) ChunkWriter);
        if (!worker || !worker->writer || !worker->writer->IsReady())
        {
            refused = true;
            break;
        }
        worker->owner = this;
        // Created suspended, so that none takes up an entry before all of them are there.
        if (n != g_settings.failThreadAt)
            worker->thread = CreateThread(nullptr, kWorkerStackSize, &ParallelUnpacker::ThreadMain, worker.get(),
                                          CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        refused = worker->thread == nullptr;
        if (!refused)
            workers_.push_back(std::move(worker));
    }
    // All or none: the threads that did start find the work dropped and end at once.
    if (refused)
        cancelled_ = true;
    for (const auto& worker : workers_)
        ResumeThread(worker->thread);
    if (refused)
        JoinWorkers();
    return !refused;
}

bool ParallelUnpacker::Take(std::uint32_t index, const StopQuery& stopRequested, UnpackedEntry& entry)
{
    if (stopRequested())
        return false;
    ExclusiveLock hold(lock_);
    Slot& slot = slots_[index % slots_.size()];
    while (!(slot.state == SlotState::Ready && slot.index == index))
    {
        SleepConditionVariableSRW(&ready_, &lock_, kStopPollMs, 0);
        ExclusiveUnlock ask(lock_);
        if (stopRequested())
            return false;
    }
    entry = std::move(slot.entry);
    slot.entry = UnpackedEntry();
    slot.state = SlotState::Free;
    head_ = index + 1;
    WakeAllConditionVariable(&room_);
    return true;
}

void ParallelUnpacker::Cancel()
{
    {
        ExclusiveLock hold(lock_);
        cancelled_ = true;
    }
    WakeAllConditionVariable(&room_);
    JoinWorkers();
    // The workers are gone: what they left in the slots is dropped with its pending files.
    for (Slot& slot : slots_)
        slot = Slot();
}

void ParallelUnpacker::JoinWorkers()
{
    for (const auto& worker : workers_)
    {
        WaitForSingleObject(worker->thread, INFINITE);
        CloseHandle(worker->thread);
    }
    workers_.clear();
}

DWORD WINAPI ParallelUnpacker::ThreadMain(void* worker)
{
    auto* self = static_cast<Worker*>(worker);
    self->owner->Run(*self->writer);
    return 0;
}

// Only entries within the slots ahead of the one the installation waits for are taken up.
bool ParallelUnpacker::MayTakeUp() const
{
    return next_ < count_ && next_ - head_ < slots_.size();
}

void ParallelUnpacker::Run(ChunkWriter& writer)
{
    const StopQuery dropped = [this] { return cancelled_.load(); };
    ExclusiveLock hold(lock_);
    for (;;)
    {
        while (!cancelled_ && next_ < count_ && !MayTakeUp())
            SleepConditionVariableSRW(&room_, &lock_, INFINITE, 0);
        if (cancelled_ || next_ >= count_)
            return;
        const std::uint32_t index = next_++;
        Slot& slot = slots_[index % slots_.size()];
        slot.state = SlotState::Working;
        slot.index = index;
        UnpackedEntry entry;
        {
            ExclusiveUnlock work(lock_);
            try
            {
                unpack_(index, writer, dropped, entry);
            }
            catch (const std::bad_alloc&)
            {
                entry.inflated = Inflated::Complete;
                entry.written = false;
                entry.writeError = ERROR_NOT_ENOUGH_MEMORY;
            }
        }
        slot.entry = std::move(entry);
        slot.state = SlotState::Ready;
        WakeAllConditionVariable(&ready_);
    }
}

}  // namespace installer
