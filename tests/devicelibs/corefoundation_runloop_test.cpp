// Run loops of libCoreFoundation.so: functions posted from other threads run on the loop's own
// thread, in posting order, inside CFRunLoopRun, until CFRunLoopStop.
#include "corefoundation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Journal {
    std::mutex mutex;
    std::vector<std::pair<int, int>> entries; // (poster, sequence)
    std::vector<std::thread::id> threads;
};

struct Post {
    Journal *journal;
    int poster;
    int sequence;
};

void record(void *ctx)
{
    auto *post = static_cast<Post *>(ctx);
    {
        std::lock_guard lock(post->journal->mutex);
        post->journal->entries.emplace_back(post->poster, post->sequence);
        post->journal->threads.push_back(std::this_thread::get_id());
    }
    delete post;
}

void stopCurrent(void *) { CFRunLoopStop(CFRunLoopGetCurrent()); }

TEST(CoreFoundationRunLoop, RunsPostsFromManyThreadsOnItsOwnThreadInOrder)
{
    constexpr int kPosters = 4;
    constexpr int kPerPoster = 500;
    Journal journal;
    std::promise<CFRunLoopRef> loopReady;
    std::thread::id loopThread;
    std::thread runner([&] {
        loopThread = std::this_thread::get_id();
        CFRunLoopRef loop = CFRunLoopGetCurrent();
        CFRetain(loop);
        loopReady.set_value(loop);
        CFRunLoopRun();
    });
    CFRunLoopRef loop = loopReady.get_future().get();

    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p) {
        posters.emplace_back([&, p] {
            for (int i = 0; i < kPerPoster; ++i)
                CFRunLoopPerformFunction(loop, record, new Post{&journal, p, i});
        });
    }
    for (auto &t : posters)
        t.join();
    CFRunLoopPerformFunction(loop, stopCurrent, nullptr); // queued after every post above
    runner.join();
    CFRelease(loop);

    ASSERT_EQ(journal.entries.size(), static_cast<size_t>(kPosters * kPerPoster));
    std::vector<int> next(kPosters, 0);
    for (const auto &[poster, sequence] : journal.entries) {
        EXPECT_EQ(sequence, next[static_cast<size_t>(poster)]) << "poster " << poster;
        next[static_cast<size_t>(poster)] = sequence + 1;
    }
    for (const auto &id : journal.threads)
        ASSERT_EQ(id, loopThread);
}

TEST(CoreFoundationRunLoop, EachThreadHasItsOwnLoopAndStopsAreNeverLost)
{
    CFRunLoopRef mine = CFRunLoopGetCurrent();
    EXPECT_EQ(mine, CFRunLoopGetCurrent());
    CFRunLoopRef other = nullptr;
    std::thread([&] { other = CFRunLoopGetCurrent(); }).join();
    EXPECT_NE(mine, other);

    // A stop made before the loop runs makes the next run return at once.
    CFRunLoopStop(mine);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1e6, false), kCFRunLoopRunStopped);

    // A stop from another thread ends a plain CFRunLoopRun, whether it comes before or during the run.
    std::thread stopper([mine] { CFRunLoopStop(mine); });
    CFRunLoopRun();
    stopper.join();

    // Bounded runs: one function and return; nothing queued and a short limit times out.
    int calls = 0;
    CFRunLoopPerformFunction(mine, [](void *ctx) { ++*static_cast<int *>(ctx); }, &calls);
    CFRunLoopPerformFunction(mine, [](void *ctx) { ++*static_cast<int *>(ctx); }, &calls);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1e6, true), kCFRunLoopRunHandledSource);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1e6, true), kCFRunLoopRunHandledSource);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, false), kCFRunLoopRunTimedOut);

    // A function may post to its own loop and stop it; the later post waits for the next run.
    CFRunLoopPerformFunction(
        mine,
        [](void *ctx) {
            CFRunLoopPerformFunction(CFRunLoopGetCurrent(), [](void *c) { ++*static_cast<int *>(c); }, ctx);
            CFRunLoopStop(CFRunLoopGetCurrent());
        },
        &calls);
    CFRunLoopRun();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1e6, true), kCFRunLoopRunHandledSource);
    EXPECT_EQ(calls, 3);

    CFRunLoopPerformFunction(nullptr, stopCurrent, nullptr); // ignored
    CFRunLoopStop(nullptr);
}

} // namespace
