// Executable blocks on POSIX: mmap read+write, copy, mprotect read+execute.
#include "platform/execmem/execmem.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace platform::execmem {

namespace {

std::atomic<std::size_t> g_blocks{0};

std::size_t pageSize()
{
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::size_t>(size) : 4096;
}

} // namespace

void* makeExecutable(const void* code, std::size_t size)
{
    if (code == nullptr || size == 0)
        return nullptr;
    const std::size_t page = pageSize();
    if (size > SIZE_MAX - page)
        return nullptr;
    const std::size_t length = (size + page - 1) / page * page;

    void* block = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
    std::memcpy(block, code, size);
    // The rest of the last page stays zero; nothing jumps there.
    if (::mprotect(block, length, PROT_READ | PROT_EXEC) != 0) {
        ::munmap(block, length);
        return nullptr;
    }
    // x86 keeps instruction fetch coherent with stores, but other targets need the cache flushed.
    __builtin___clear_cache(static_cast<char*>(block), static_cast<char*>(block) + size);
    g_blocks.fetch_add(1, std::memory_order_relaxed);
    return block;
}

std::size_t blockCount() { return g_blocks.load(std::memory_order_relaxed); }

} // namespace platform::execmem
