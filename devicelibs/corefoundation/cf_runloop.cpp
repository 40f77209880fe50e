// Per-thread run loops: a queue of posted functions that CFRunLoopRun drains on its own thread.
// The device library posts device notifications here from its event thread, so the program's
// callback runs on the thread that subscribed, inside that thread's CFRunLoopRun.
#include "cf_object.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

using namespace kelmcf;

namespace {

class RunLoop final : public Object {
public:
    static constexpr TypeId kType = TypeId::RunLoop;
    RunLoop() : Object(kType, false) {}

    // Both notify while holding the lock: once it is released, the loop's thread may run the posted
    // function, end, and free the loop, so nothing of it may be touched after the unlock.
    void post(void (*fn)(void *), void *ctx)
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({fn, ctx});
        wake_.notify_all();
    }

    void stop()
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
        wake_.notify_all();
    }

    // Runs posted functions until a stop, the deadline, or (when oneOnly) after one function.
    int32_t run(std::optional<std::chrono::steady_clock::time_point> deadline, bool oneOnly)
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (stopRequested_) {
                stopRequested_ = false;
                return kCFRunLoopRunStopped;
            }
            if (!queue_.empty()) {
                Item item = queue_.front();
                queue_.pop_front();
                lock.unlock();
                item.fn(item.ctx); // outside the lock: the function may post or stop
                lock.lock();
                if (oneOnly)
                    return kCFRunLoopRunHandledSource;
                continue;
            }
            if (!deadline) {
                wake_.wait(lock);
            } else if (wake_.wait_until(lock, *deadline) == std::cv_status::timeout && queue_.empty() &&
                       !stopRequested_) {
                return kCFRunLoopRunTimedOut;
            }
        }
    }

private:
    struct Item {
        void (*fn)(void *);
        void *ctx;
    };
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Item> queue_;
    bool stopRequested_ = false;
};

// The thread's own reference; released when the thread ends. Others may keep the loop alive with
// CFRetain (the device library does, for each subscriber).
struct ThreadRunLoop {
    RunLoop *loop = nullptr;
    ~ThreadRunLoop() { CFRelease(loop); }
};

RunLoop *currentLoop()
{
    thread_local ThreadRunLoop holder;
    if (holder.loop == nullptr)
        holder.loop = new RunLoop;
    return holder.loop;
}

RunLoop *loopOf(CFRunLoopRef rl)
{
    return const_cast<RunLoop *>(as<RunLoop>(rl));
}

} // namespace

extern "C" {

const CFStringRef kCFRunLoopDefaultMode = __CFStringMakeConstantString("kCFRunLoopDefaultMode");

KELM_CF_EXPORT CFRunLoopRef CFRunLoopGetCurrent(void) { return toRef(currentLoop()); }

KELM_CF_EXPORT void CFRunLoopRun(void) { currentLoop()->run(std::nullopt, false); }

KELM_CF_EXPORT int32_t CFRunLoopRunInMode(CFStringRef, CFTimeInterval seconds, Boolean returnAfterSourceHandled)
{
    const auto limit = std::chrono::duration<double>(seconds < 0 ? 0.0 : seconds);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::nanoseconds>(limit);
    return currentLoop()->run(deadline, returnAfterSourceHandled != 0);
}

KELM_CF_EXPORT void CFRunLoopStop(CFRunLoopRef rl)
{
    if (RunLoop *loop = loopOf(rl))
        loop->stop();
}

KELM_CF_EXPORT void CFRunLoopPerformFunction(CFRunLoopRef rl, void (*fn)(void *ctx), void *ctx)
{
    RunLoop *loop = loopOf(rl);
    if (loop == nullptr || fn == nullptr)
        return;
    loop->post(fn, ctx);
}

} // extern "C"
