/* The i386 callback thunk, executed: a static 32-bit program (run under qemu-i386 by CTest) that
 * generates thunks and the return tail with the program's own generator, maps them executable (mapped
 * writable, filled, switched to read+execute) and calls through them with a target that clobbers
 * ebx, esi, edi and the x87 control word. Exit status 0 when every check holds; each failure is
 * printed. */
#include "device/i386_thunk_code.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>

typedef struct {
    uint32_t thunk;
    uint32_t count;
    const uint32_t *args;
    uint32_t result;
    uint32_t *argsAfter;
    uint32_t before[6];
    uint32_t after[6];
} Probe32;

extern void kelm_probe32_call(Probe32 *probe);
extern void kelm_probe32_target(void);
extern uint32_t kelm_probe32_seen[129];
extern const uint16_t kelm_probe32_harness_cw;

static int failures;

#define CHECK(cond, ...)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            ++failures;                                                                                      \
            printf("FAIL %s:%d: ", __FILE__, __LINE__);                                                      \
            printf(__VA_ARGS__);                                                                             \
            printf("\n");                                                                                    \
        }                                                                                                    \
    } while (0)

static void *executable(const uint8_t *code, size_t size)
{
    void *block = mmap(NULL, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return NULL;
    memcpy(block, code, size);
    if (mprotect(block, 4096, PROT_READ | PROT_EXEC) != 0)
        return NULL;
    return block;
}

static void runWithCount(uint32_t tail, int count)
{
    static const char *const slots[6] = {"ebx", "esi", "edi", "ebp", "esp", "x87 control word"};
    uint8_t code[KELM_I386_THUNK_MAX_BYTES];
    uint32_t args[KELM_I386_THUNK_MAX_ARGUMENTS];
    uint32_t argsAfter[KELM_I386_THUNK_MAX_ARGUMENTS];
    Probe32 probe;
    size_t length;
    void *thunk;
    int i;

    length = kelm_i386_thunk_build((uint32_t)(uintptr_t)&kelm_probe32_target, count, tail, code);
    CHECK(length == (count == 0 ? 27u : 52u), "count %d: thunk of %u bytes", count, (unsigned)length);
    thunk = executable(code, length);
    CHECK(thunk != NULL, "count %d: no executable block", count);
    if (thunk == NULL)
        return;

    for (i = 0; i < count; ++i)
        args[i] = 0xA0000000u + (uint32_t)i * 0x01010101u + 7u;
    memset(argsAfter, 0, sizeof argsAfter);
    memset(kelm_probe32_seen, 0, 129 * sizeof(uint32_t));
    memset(&probe, 0, sizeof probe);
    probe.thunk = (uint32_t)(uintptr_t)thunk;
    probe.count = (uint32_t)count;
    probe.args = args;
    probe.argsAfter = argsAfter;
    kelm_probe32_call(&probe);

    CHECK(probe.before[0] == 0x11111111u && probe.before[5] == kelm_probe32_harness_cw,
          "count %d: the harness did not set its state", count);
    for (i = 0; i < 6; ++i)
        CHECK(probe.after[i] == probe.before[i], "count %d: %s was %#x, is %#x after the call", count, slots[i],
              probe.before[i], probe.after[i]);
    CHECK(probe.result == (count == 0 ? 0x5EED5EEDu : (args[0] ^ 0x5EED5EEDu)), "count %d: result %#x", count,
          probe.result);
    for (i = 0; i < count; ++i) {
        CHECK(kelm_probe32_seen[i] == args[i], "count %d: target saw argument %d as %#x", count, i,
              kelm_probe32_seen[i]);
        CHECK(argsAfter[i] == args[i], "count %d: the caller's argument %d was written through", count, i);
    }
    CHECK((kelm_probe32_seen[128] & 0xFFFFu) == 0x037Fu, "count %d: target entered with control word %#x", count,
          kelm_probe32_seen[128] & 0xFFFFu);
}

int main(void)
{
    static const int counts[] = {0, 1, 2, 5, 127, 128};
    uint8_t tailCode[KELM_I386_TAIL_BYTES];
    uint8_t scratch[KELM_I386_THUNK_MAX_BYTES];
    void *tail;
    size_t i;

    CHECK(kelm_i386_thunk_tail(tailCode) == 30u, "tail length");
    tail = executable(tailCode, sizeof tailCode);
    CHECK(tail != NULL, "no executable block for the tail");
    if (tail == NULL)
        return 1;

    for (i = 0; i < sizeof counts / sizeof counts[0]; ++i)
        runWithCount((uint32_t)(uintptr_t)tail, counts[i]);
    CHECK(kelm_i386_thunk_build(0x1000, 129, (uint32_t)(uintptr_t)tail, scratch) == 0, "129 arguments made a thunk");
    CHECK(kelm_i386_thunk_build(0, 1, (uint32_t)(uintptr_t)tail, scratch) == 0, "target 0 made a thunk");

    if (failures == 0)
        printf("i386 thunk: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
