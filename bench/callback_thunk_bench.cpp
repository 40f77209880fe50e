// Cost of calling through a callback thunk (state saved and restored, x87 unit initialised) against a
// direct call of the same routine, for one argument (the device notifications) and for eight.
#include "device/callback_thunk.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

__attribute__((noinline)) std::uint64_t one(std::uint64_t a) { return a * 3 + 1; }

__attribute__((noinline)) std::uint64_t eight(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d,
                                              std::uint64_t e, std::uint64_t f, std::uint64_t g, std::uint64_t h)
{
    return a + b + c + d + e + f + g + h;
}

using One = std::uint64_t (*)(std::uint64_t);
using Eight = std::uint64_t (*)(std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t,
                                std::uint64_t, std::uint64_t, std::uint64_t);

void BM_DirectCallOneArgument(benchmark::State& state)
{
    One volatile target = &one;
    std::uint64_t x = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(x = target(x));
}
BENCHMARK(BM_DirectCallOneArgument);

void BM_ThunkCallOneArgument(benchmark::State& state)
{
    auto thunk = reinterpret_cast<One>(MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&one), 1));
    std::uint64_t x = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(x = thunk(x));
}
BENCHMARK(BM_ThunkCallOneArgument);

void BM_ThunkCallEightArguments(benchmark::State& state)
{
    auto thunk = reinterpret_cast<Eight>(MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&eight), 8));
    std::uint64_t x = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(x = thunk(x, 1, 2, 3, 4, 5, 6, 7));
}
BENCHMARK(BM_ThunkCallEightArguments);

void BM_MakeThunk(benchmark::State& state)
{
    // Every thunk keeps a page for the rest of the process; the program makes five.
    for (auto _ : state)
        benchmark::DoNotOptimize(MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&one), 1));
}
BENCHMARK(BM_MakeThunk)->Iterations(1000);

} // namespace
