// Counts live operator-new blocks for the builder's leak checks. The
// replacement allocates exactly as the default one does.

#include <windows.h>

#include <cstdlib>
#include <new>

namespace
{
volatile LONG g_liveBlocks = 0;
}

long LiveHeapBlocks()
{
    return g_liveBlocks;
}

void* operator new(std::size_t size)
{
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr)
        throw std::bad_alloc();
    InterlockedIncrement(&g_liveBlocks);
    return block;
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* block) noexcept
{
    if (block == nullptr)
        return;
    InterlockedDecrement(&g_liveBlocks);
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    operator delete(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    operator delete(block);
}
