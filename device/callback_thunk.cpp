// Making callback thunks: pick the processor's form, make the shared return tail once, copy the thunk
// into executable memory.
#include "device/callback_thunk.h"

#include "device/i386_thunk_code.h"
#include "platform/execmem/execmem.h"

#include <atomic>
#include <mutex>

namespace {

// The shared return tail. Written once under the lock, read without it afterwards.
std::atomic<const void*> g_tail{nullptr};
std::mutex g_tailLock;

std::vector<std::uint8_t> nativeTail()
{
#if defined(__x86_64__)
    return X8664ThunkReturnTail();
#elif defined(__i386__)
    return I386ThunkReturnTail();
#else
    return {};
#endif
}

std::vector<std::uint8_t> nativeThunk(std::uintptr_t target, int argumentCount, const void* tail)
{
#if defined(__x86_64__)
    return BuildX8664Thunk(target, argumentCount, reinterpret_cast<std::uintptr_t>(tail));
#elif defined(__i386__)
    return BuildI386Thunk(target, argumentCount, reinterpret_cast<std::uintptr_t>(tail));
#else
    (void)target;
    (void)argumentCount;
    (void)tail;
    return {};
#endif
}

// The tail, made now if this is the first thunk; nullptr when it cannot be made (a later thunk tries
// again).
const void* obtainTail()
{
    if (const void* tail = g_tail.load(std::memory_order_acquire))
        return tail;
    const std::lock_guard<std::mutex> lock(g_tailLock);
    if (const void* tail = g_tail.load(std::memory_order_acquire))
        return tail;
    const std::vector<std::uint8_t> code = nativeTail();
    const void* tail = platform::execmem::makeExecutable(code.data(), code.size());
    g_tail.store(tail, std::memory_order_release);
    return tail;
}

} // namespace

void* MakeCallbackThunk(std::uintptr_t targetAddress, int argumentCount)
{
    // Refuse bad requests before anything is allocated, the tail included.
    if (targetAddress == 0 || argumentCount < 0 || argumentCount > kMaxCallbackThunkArguments)
        return nullptr;
    if (nativeTail().empty())
        return nullptr;
    const void* tail = obtainTail();
    if (tail == nullptr)
        return nullptr;
    const std::vector<std::uint8_t> code = nativeThunk(targetAddress, argumentCount, tail);
    return platform::execmem::makeExecutable(code.data(), code.size());
}

const void* ThunkReturnTailAddress() { return g_tail.load(std::memory_order_acquire); }

std::vector<std::uint8_t> BuildI386Thunk(std::uint32_t target, int argumentCount, std::uint32_t tailAddress)
{
    std::vector<std::uint8_t> out(KELM_I386_THUNK_MAX_BYTES);
    out.resize(kelm_i386_thunk_build(target, argumentCount, tailAddress, out.data()));
    return out;
}

std::vector<std::uint8_t> I386ThunkReturnTail()
{
    std::vector<std::uint8_t> out(KELM_I386_TAIL_BYTES);
    out.resize(kelm_i386_thunk_tail(out.data()));
    return out;
}
