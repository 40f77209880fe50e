/* Byte generator of the i386 callback thunk and its return tail (see i386_thunk_code.h). The frame the
 * thunk builds, relative to ebp after its first two instructions:
 *   +8 up  the caller's arguments        -8   saved ebx
 *   +4     the caller's return address   -12  saved esi
 *    0     the caller's ebp              -16  saved edi
 *   -4     bytes to remove on return (0) -20  saved x87 control word */
#include "device/i386_thunk_code.h"

#include <string.h>

static size_t put(uint8_t *out, size_t at, const uint8_t *bytes, size_t count)
{
    memcpy(out + at, bytes, count);
    return at + count;
}

static size_t put32(uint8_t *out, size_t at, uint32_t value)
{
    out[at] = (uint8_t)(value & 0xFF);
    out[at + 1] = (uint8_t)((value >> 8) & 0xFF);
    out[at + 2] = (uint8_t)((value >> 16) & 0xFF);
    out[at + 3] = (uint8_t)((value >> 24) & 0xFF);
    return at + 4;
}

size_t kelm_i386_thunk_build(uint32_t target, int32_t argumentCount, uint32_t tailAddress, uint8_t *out)
{
    static const uint8_t prologue[] = {
        0x55,             /* push ebp */
        0x8B, 0xEC,       /* mov ebp, esp */
        0x6A, 0x00,       /* push 0: bytes to remove on return */
        0x53,             /* push ebx */
        0x56,             /* push esi */
        0x57,             /* push edi */
        0x6A, 0x00,       /* push 0: room for the control word */
        0xD9, 0x3C, 0x24, /* fnstcw [esp] */
        0xDB, 0xE3,       /* fninit */
    };
    static const uint8_t copy[] = {
        0x2B, 0xE1,       /* sub esp, ecx */
        0x8D, 0x75, 0x08, /* lea esi, [ebp+8] */
        0x8D, 0x3C, 0x24, /* lea edi, [esp] */
        0xFC,             /* cld */
        0xF3, 0xA4,       /* rep movsb */
        0x8B, 0x4D, 0xF8, /* mov ecx, [ebp-8] */
        0x8B, 0x75, 0xF4, /* mov esi, [ebp-12] */
        0x8B, 0x7D, 0xF0, /* mov edi, [ebp-16] */
    };
    static const uint8_t jumpToTarget[] = {0xFF, 0xE0}; /* jmp eax */
    size_t at = 0;

    if (target == 0 || argumentCount < 0 || argumentCount > KELM_I386_THUNK_MAX_ARGUMENTS)
        return 0;
    at = put(out, at, prologue, sizeof prologue);
    if (argumentCount != 0) {
        out[at++] = 0xB9; /* mov ecx, argument bytes */
        at = put32(out, at, (uint32_t)argumentCount * 4u);
        at = put(out, at, copy, sizeof copy);
    }
    out[at++] = 0xB8; /* mov eax, target */
    at = put32(out, at, target);
    out[at++] = 0x68; /* push tail: the target returns into it */
    at = put32(out, at, tailAddress);
    at = put(out, at, jumpToTarget, sizeof jumpToTarget);
    return at;
}

size_t kelm_i386_thunk_tail(uint8_t *out)
{
    static const uint8_t tail[KELM_I386_TAIL_BYTES] = {
        0x8B, 0x4D, 0xFC,       /* mov ecx, [ebp-4]: bytes to remove */
        0x8B, 0x5D, 0xF8,       /* mov ebx, [ebp-8] */
        0x8B, 0x75, 0xF4,       /* mov esi, [ebp-12] */
        0x8B, 0x7D, 0xF0,       /* mov edi, [ebp-16] */
        0xD9, 0x6D, 0xEC,       /* fldcw [ebp-20] */
        0x8B, 0xE5,             /* mov esp, ebp */
        0x5D,                   /* pop ebp */
        0x8D, 0x64, 0x0C, 0x04, /* lea esp, [esp+ecx+4]: past the return address and removed bytes */
        0xF7, 0xD9,             /* neg ecx */
        0x8B, 0x4C, 0x0C, 0xFC, /* mov ecx, [esp+ecx-4]: the return address */
        0xFF, 0xE1,             /* jmp ecx */
    };
    memcpy(out, tail, sizeof tail);
    return sizeof tail;
}
