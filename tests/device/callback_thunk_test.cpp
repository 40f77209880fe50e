// Callback thunks: the exact i386 bytes, the x86-64 thunk run for real (register and floating-point
// state across a target that clobbers everything, argument copies, alignment), the argument-count and
// target edge cases, one shared tail, and executable-only memory.
#include "device/callback_thunk.h"

#include "platform/execmem/execmem.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---- i386 bytes ---------------------------------------------------------------------------------

Bytes le32(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(I386Thunk, OneArgumentIsTheKnownFiftyTwoBytes)
{
    const Bytes expected = join({{0x55, 0x8B, 0xEC, 0x6A, 0x00, 0x53, 0x56, 0x57, 0x6A, 0x00, 0xD9, 0x3C, 0x24, 0xDB, 0xE3,
                                  0xB9, 0x04, 0x00, 0x00, 0x00, 0x2B, 0xE1, 0x8D, 0x75, 0x08, 0x8D, 0x3C, 0x24, 0xFC,
                                  0xF3, 0xA4, 0x8B, 0x4D, 0xF8, 0x8B, 0x75, 0xF4, 0x8B, 0x7D, 0xF0, 0xB8},
                                 le32(0x12345678),
                                 {0x68},
                                 le32(0x9ABCDEF0),
                                 {0xFF, 0xE0}});
    ASSERT_EQ(expected.size(), 52u);
    EXPECT_EQ(BuildI386Thunk(0x12345678, 1, 0x9ABCDEF0), expected);
}

TEST(I386Thunk, ReturnTailIsTheKnownThirtyBytes)
{
    const Bytes expected = {0x8B, 0x4D, 0xFC, 0x8B, 0x5D, 0xF8, 0x8B, 0x75, 0xF4, 0x8B, 0x7D, 0xF0, 0xD9, 0x6D, 0xEC,
                            0x8B, 0xE5, 0x5D, 0x8D, 0x64, 0x0C, 0x04, 0xF7, 0xD9, 0x8B, 0x4C, 0x0C, 0xFC, 0xFF, 0xE1};
    EXPECT_EQ(I386ThunkReturnTail(), expected);
}

struct I386CountCase {
    int count;
    std::size_t length; // 0: no thunk
    std::uint32_t argumentBytes;
};

class I386ThunkCount : public testing::TestWithParam<I386CountCase> {};

TEST_P(I386ThunkCount, LengthAndArgumentBytesFollowTheCount)
{
    const I386CountCase& c = GetParam();
    const Bytes code = BuildI386Thunk(0x11223344, c.count, 0x55667788);
    ASSERT_EQ(code.size(), c.length);
    if (c.length == 0)
        return;
    // Common prologue, then the target and the tail in the last twelve bytes.
    const Bytes prologue = {0x55, 0x8B, 0xEC, 0x6A, 0x00, 0x53, 0x56, 0x57, 0x6A, 0x00, 0xD9, 0x3C, 0x24, 0xDB, 0xE3};
    EXPECT_TRUE(std::equal(prologue.begin(), prologue.end(), code.begin()));
    EXPECT_EQ(Bytes(code.end() - 12, code.end()), join({{0xB8}, le32(0x11223344), {0x68}, le32(0x55667788), {0xFF, 0xE0}}));
    if (c.count != 0) {
        EXPECT_EQ(Bytes(code.begin() + 15, code.begin() + 20), join({{0xB9}, le32(c.argumentBytes)}));
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, I386ThunkCount,
                         testing::Values(I386CountCase{0, 27, 0}, I386CountCase{1, 52, 4}, I386CountCase{2, 52, 8},
                                         I386CountCase{128, 52, 512}, I386CountCase{129, 0, 0},
                                         I386CountCase{-1, 0, 0}, I386CountCase{0x40000001, 0, 0}),
                         [](const auto& info) { return "count_" + std::to_string(info.index); });

TEST(I386Thunk, TargetZeroGivesNoBytes) { EXPECT_TRUE(BuildI386Thunk(0, 1, 0x1000).empty()); }

} // namespace

// ---- x86-64, run for real -----------------------------------------------------------------------

// Layouts shared with thunk_probe_x86_64.S.
struct ThunkProbe {
    const void* thunk;
    std::uint64_t count;
    const std::uint64_t* args;
    std::uint64_t result;
    std::uint64_t* stackAfter;
    std::uint64_t before[8];
    std::uint64_t after[8];
};
static_assert(offsetof(ThunkProbe, before) == 40 && offsetof(ThunkProbe, after) == 104);

struct ProbeSeen {
    std::uint64_t args[128];
    std::uint64_t entryRsp;
    std::uint16_t controlWord;
    std::uint16_t pad;
    std::uint32_t mxcsr;
};
static_assert(offsetof(ProbeSeen, entryRsp) == 1024 && offsetof(ProbeSeen, mxcsr) == 1036);

extern "C" {
void kelm_probe_call(ThunkProbe* probe);
std::uint64_t kelm_probe_target();
extern ProbeSeen kelm_probe_seen;
extern const std::uint16_t kelm_probe_harness_cw;
extern const std::uint32_t kelm_probe_harness_mxcsr;
}

namespace {

const char* const kSlotNames[8] = {"rbx", "rbp", "r12", "r13", "r14", "r15", "rsp", "x87 cw | mxcsr"};

class X8664ThunkRun : public testing::TestWithParam<int> {};

TEST_P(X8664ThunkRun, TargetGetsCopiesAndCallerStateSurvivesAClobberingTarget)
{
    const int count = GetParam();
    void* thunk = MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&kelm_probe_target), count);
    ASSERT_NE(thunk, nullptr);

    std::vector<std::uint64_t> args(std::max(count, 6), 0);
    for (int i = 0; i < count; ++i)
        args[i] = 0xA000000000000000ull + static_cast<std::uint64_t>(i) * 0x0101010101ull + 7;
    std::vector<std::uint64_t> stackAfter(std::max(count - 6, 0), 0);
    std::memset(&kelm_probe_seen, 0, sizeof kelm_probe_seen);

    ThunkProbe probe{};
    probe.thunk = thunk;
    probe.count = static_cast<std::uint64_t>(count);
    probe.args = args.data();
    probe.stackAfter = stackAfter.data();
    kelm_probe_call(&probe);

    // The harness really set the state it claims, so the comparison below means something.
    EXPECT_EQ(probe.before[0], 0x1111111111111111ull);
    EXPECT_EQ(probe.before[7], kelm_probe_harness_cw | (std::uint64_t{kelm_probe_harness_mxcsr} << 32));
    for (int slot = 0; slot < 8; ++slot)
        EXPECT_EQ(probe.after[slot], probe.before[slot]) << kSlotNames[slot] << " changed across the thunk";

    EXPECT_EQ(probe.result, args[0] ^ 0x5EED5EED5EED5EEDull) << "rax must pass through";
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(kelm_probe_seen.args[i], args[i]) << "argument " << i;
    for (int i = 6; i < count; ++i)
        EXPECT_EQ(stackAfter[i - 6], args[i]) << "the caller's stack argument " << i << " was written through";
    EXPECT_EQ(kelm_probe_seen.entryRsp % 16, 8u) << "the target must be entered as after an aligned call";
    EXPECT_EQ(kelm_probe_seen.controlWord, 0x037F) << "the target gets a freshly initialised x87 unit";
    EXPECT_EQ(kelm_probe_seen.mxcsr, 0x1F80u) << "the target gets the default MXCSR";
}

INSTANTIATE_TEST_SUITE_P(Counts, X8664ThunkRun, testing::Values(0, 1, 2, 5, 6, 7, 8, 13, 127, 128),
                         [](const auto& info) { return "args_" + std::to_string(info.param); });

// A plain C++ target, as the program's own routines are.
std::uint64_t weighedSum(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d, std::uint64_t e,
                         std::uint64_t f, std::uint64_t g, std::uint64_t h)
{
    return a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f + 7 * g + 8 * h;
}

using WeighedSum = std::uint64_t (*)(std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t,
                                     std::uint64_t, std::uint64_t, std::uint64_t);

TEST(X8664Thunk, SeveralThreadsShareOneThunk)
{
    auto thunk = reinterpret_cast<WeighedSum>(MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&weighedSum), 8));
    ASSERT_NE(thunk, nullptr);
    constexpr int kThreads = 4;
    std::array<int, kThreads> wrong{};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (std::uint64_t i = 0; i < 20000; ++i) {
                const std::uint64_t base = i * kThreads + static_cast<std::uint64_t>(t);
                if (thunk(base, base + 1, base + 2, base + 3, base + 4, base + 5, base + 6, base + 7) !=
                    weighedSum(base, base + 1, base + 2, base + 3, base + 4, base + 5, base + 6, base + 7))
                    ++wrong[t];
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(std::accumulate(wrong.begin(), wrong.end(), 0), 0);
}

// ---- edge cases of making thunks ------------------------------------------------------------------

std::uint64_t nothing() { return 42; }

TEST(MakeCallbackThunk, CountLimitsAndTargetZero)
{
    const std::uintptr_t target = reinterpret_cast<std::uintptr_t>(&nothing);
    struct Case {
        std::uintptr_t target;
        int count;
        bool made;
    };
    const Case cases[] = {{target, 0, true}, {target, 1, true},       {target, 128, true},
                          {target, 129, false}, {target, -1, false}, {0, 1, false}};
    for (const Case& c : cases) {
        const std::size_t blocksBefore = platform::execmem::blockCount();
        const bool tailExisted = ThunkReturnTailAddress() != nullptr;
        void* thunk = MakeCallbackThunk(c.target, c.count);
        EXPECT_EQ(thunk != nullptr, c.made) << "target " << c.target << " count " << c.count;
        const std::size_t expectedBlocks = c.made ? (tailExisted ? 1 : 2) : 0;
        EXPECT_EQ(platform::execmem::blockCount() - blocksBefore, expectedBlocks)
            << "target " << c.target << " count " << c.count;
    }
    auto zeroArguments = reinterpret_cast<std::uint64_t (*)()>(MakeCallbackThunk(target, 0));
    ASSERT_NE(zeroArguments, nullptr);
    EXPECT_EQ(zeroArguments(), 42u);
}

TEST(MakeCallbackThunk, OneTailHoweverManyThunks)
{
    ASSERT_NE(MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&nothing), 1), nullptr);
    const void* tail = ThunkReturnTailAddress();
    ASSERT_NE(tail, nullptr);
    const std::size_t blocksBefore = platform::execmem::blockCount();
    constexpr int kThunks = 20;
    for (int i = 0; i < kThunks; ++i) {
        const auto* code = static_cast<const std::uint8_t*>(
            MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&nothing), i % 10));
        ASSERT_NE(code, nullptr);
        // Every thunk jumps to the same tail: its address is the immediate of the last mov r11.
        const Bytes expected = BuildX8664Thunk(reinterpret_cast<std::uintptr_t>(&nothing), i % 10,
                                               reinterpret_cast<std::uintptr_t>(tail));
        EXPECT_EQ(Bytes(code, code + expected.size()), expected);
    }
    EXPECT_EQ(platform::execmem::blockCount() - blocksBefore, std::size_t{kThunks});
    EXPECT_EQ(ThunkReturnTailAddress(), tail);
    const Bytes tailCode = X8664ThunkReturnTail();
    EXPECT_EQ(Bytes(static_cast<const std::uint8_t*>(tail), static_cast<const std::uint8_t*>(tail) + tailCode.size()),
              tailCode);
}

// ---- executable, never writable --------------------------------------------------------------------

// Permissions ("r-xp"...) of the mapping of /proc/self/maps that holds `address`, or "" when none does.
std::string mappingPermissions(const void* address)
{
    const auto where = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range, permissions;
        fields >> range >> permissions;
        const std::size_t dash = range.find('-');
        const std::uintptr_t start = std::stoull(range.substr(0, dash), nullptr, 16);
        const std::uintptr_t end = std::stoull(range.substr(dash + 1), nullptr, 16);
        if (where >= start && where < end)
            return permissions;
    }
    return "";
}

TEST(ExecutableMemory, ThunkAndTailAreReadExecuteOnly)
{
    void* thunk = MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&nothing), 1);
    ASSERT_NE(thunk, nullptr);
    EXPECT_EQ(mappingPermissions(thunk), "r-xp");
    EXPECT_EQ(mappingPermissions(ThunkReturnTailAddress()), "r-xp");
}

TEST(ExecutableMemory, WritingToAThunkFaults)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    void* thunk = MakeCallbackThunk(reinterpret_cast<std::uintptr_t>(&nothing), 1);
    ASSERT_NE(thunk, nullptr);
    EXPECT_DEATH(*static_cast<volatile std::uint8_t*>(thunk) = 0xC3, "");
}

TEST(ExecutableMemory, BlocksHoldTheCodeAndBadRequestsMakeNothing)
{
    const std::uint8_t code[] = {0xB8, 0x2A, 0x00, 0x00, 0x00, 0xC3}; // mov eax, 42; ret
    const std::size_t before = platform::execmem::blockCount();
    EXPECT_EQ(platform::execmem::makeExecutable(nullptr, 6), nullptr);
    EXPECT_EQ(platform::execmem::makeExecutable(code, 0), nullptr);
    EXPECT_EQ(platform::execmem::blockCount(), before);

    void* block = platform::execmem::makeExecutable(code, sizeof code);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(platform::execmem::blockCount(), before + 1);
    EXPECT_EQ(std::memcmp(block, code, sizeof code), 0);
    EXPECT_EQ(reinterpret_cast<int (*)()>(block)(), 42);
}

} // namespace
